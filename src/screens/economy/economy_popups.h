#pragma once
// The economy and research pop-ups the hotkeys open: production
// (POPUP_PRODUCT1), research (POPUP_RD), industry (POPUP_INDUSTRY) and help
// (POPUP_HELP1). Their pages come with the economy screens.
#include "ui/screen.h"

class ProductPopup : public Screen {
 public:
  ProductPopup() : Screen("POPUP_PRODUCT1") {}
};

class HelpPopup : public Screen {
 public:
  HelpPopup() : Screen("POPUP_HELP1") {}
};

// Opened with the product page to show (0 to 10).
class IndustryPopup : public Screen {
 public:
  IndustryPopup() : Screen("POPUP_INDUSTRY") {}
};
