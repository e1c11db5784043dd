#pragma once
// The tooltip screen: its form is drawn over everything while a tooltip is
// shown. Opening it at the hovered control comes with the mouse handling.
#include "ui/screen.h"

class Tooltip : public Screen {
 public:
  Tooltip() : Screen("TOOLTIP") {}
};
