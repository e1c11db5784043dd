#pragma once
// The title bar across the top of the main screen.
#include <cstdint>

#include "ui/screen.h"

class TitleBar : public Screen {
 public:
  TitleBar() : Screen("TITLEBAR") {}

  int32_t transparent = 0;  // the btitlebartransp option, copied in by the game frame
};

// Shows the title bar afresh when the current player changes: the pending
// id (when one is set) becomes the bar's, the bar is attached, opened and
// refreshed, the root's title-bar state is reset and the side screens are
// laid out again. Nothing when flag is 0.
void RefreshTitleBar(int32_t flag);
