#pragma once
// The command bars of the main screen: the department buttons (CMDBAR) and
// the two bars beside them. Their buttons and panels come with the main
// screen; here they are the screens the frame shows and hides.
#include "ui/screen.h"

class CmdBar : public Screen {
 public:
  CmdBar() : Screen("CMDBAR") {}
};

class CmdBar2 : public Screen {
 public:
  CmdBar2() : Screen("CMDBAR2") {}
};

class CmdBar3 : public Screen {
 public:
  CmdBar3() : Screen("CMDBAR3") {}
};
