#pragma once
// The class sheet page (MILITARY1_ss4a1): one unit class's header, picture
// and specification box, shown inside another screen's form with the class
// index as its id. Its fill comes with the military screens; until then it
// shows its form as it stands.
#include "ui/screen.h"

class UnitPicturePanel : public Screen {
 public:
  explicit UnitPicturePanel(const char* formName = "MILITARY1_ss4a1") : Screen(formName) {}
};
