#pragma once
// The period the economy's figures count in, a day or a year: the day/year
// toggle every product panel shares, and the divisor it sets.
#include <cstdint>

#include "ui/screen.h"

// The toggle's state becomes the period: the options' day/year flag and the
// graphs' time scale (365 while pressed, else 1); the interface redraws and
// the docked panels below the main one refresh.
void SetProductPeriod(bool pressed);
// What a yearly figure is divided by to show: 365 while the toggle is
// pressed (the figures show per day), else 1.
float ProductPeriodDivisor();

// A panel with a day/year toggle: its command is the toggle.
class ProductPeriodPanel : public Screen {
 public:
  using Screen::Screen;
  // Any command comes from the toggle: its pressed state is the period;
  // the panel shows its figures for it.
  void OnCommand(Control* control, int32_t id) override;
};
