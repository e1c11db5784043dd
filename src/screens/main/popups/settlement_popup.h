#pragma once
// The region's settlement list pop-up (POPUP_SETTLEMENTb), opened with a
// player number. Its rows come with the main screen.
#include "ui/screen.h"

class SettlementListPopup : public Screen {
 public:
  SettlementListPopup() : Screen("POPUP_SETTLEMENTb") {}
};
