#pragma once
// The tooltip screen: shown with the tip text as its id, it sizes its form
// round the text and places it above-right of the pointer, inside the
// screen; drawn over everything while shown.
#include <cstdint>

#include "ui/screen.h"

class Control;

// Measures a text in the control's font; false when it cannot. Tests
// replace it; null: the control's font.
using TooltipMeasure = bool (*)(const Control* control, const char* text, int32_t* width, int32_t* height);
extern TooltipMeasure g_tooltipMeasure;

class Tooltip : public Screen {
 public:
  Tooltip() : Screen("TOOLTIP") {}
  void BindControls() override;
  void OnOpen() override;

  Control* textControl = nullptr;
};
