#pragma once
// A screen shown again where its form already hangs: the form attached
// afresh, then opened and refreshed, as a Back button or a changed choice
// asks of a department page or side panel.
#include "ui/screen.h"

inline void ReopenScreen(Screen& screen) {
  screen.AttachForm(nullptr);
  screen.OnOpen();
  screen.Refresh();
}
