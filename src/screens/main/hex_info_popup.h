#pragma once
// The hex information pop-up (MAP2): what the selected hex holds. Opened
// with the frame bars of the editor; its panels come with the main screen.
#include "ui/screen.h"

class HexInfoPopup : public Screen {
 public:
  HexInfoPopup() : Screen("MAP2") {}
  // Takes the whole side-panel box of the side screens column.
  int32_t AttachForm(Control* host) override;
};
