#pragma once
// The command bars of the main screen: the department buttons (CMDBAR) and
// the two bars beside them. Their buttons and panels come with the main
// screen; here they are the screens the frame shows and hides.
#include "ui/screen.h"

class CmdBar : public Screen {
 public:
  CmdBar() : Screen("CMDBAR") {}

  int32_t dockedPanelMarker = 0;  // a docked panel is open under the bar
};

class CmdBar2 : public Screen {
 public:
  CmdBar2() : Screen("CMDBAR2") {}
};

class CmdBar3 : public Screen {
 public:
  CmdBar3() : Screen("CMDBAR3") {}
};

// The pop-up button of the third bar shows whether docked panels are open:
// selected while the depth is above 0.
void UpdatePopupButton(CmdBar3& bar, int32_t panelDepth);
