#pragma once
// The economy pop-ups the hotkeys open: production (POPUP_PRODUCT1),
// industry (POPUP_INDUSTRY) and help (POPUP_HELP1). Their pages come with
// the economy screens.
#include "screens/economy/industry/industry_popup.h"
#include "ui/screen.h"

class ProductPopup : public Screen {
 public:
  ProductPopup() : Screen("POPUP_PRODUCT1") {}
};

class HelpPopup : public Screen {
 public:
  HelpPopup() : Screen("POPUP_HELP1") {}
};

