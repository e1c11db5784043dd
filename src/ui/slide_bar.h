#pragma once
// The slide bar (kind 21): a bar whose position runs from 0 to 10000 and
// maps to a value through a maximum and an optional power curve. Forms load
// and save its fields; its drawing and input come with the slide bar code.
#include <cstdint>

#include "ui/control.h"

class SlideBarControl : public Control {
 public:
  SlideBarControl() { kind = kKindSlideBar; }

  Control* Clone() const override { return new SlideBarControl(*this); }
  void SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const override;

  uint16_t position = 0;            // 0..10000
  uint16_t defaultPosition = 0;     // restored by a double-click (5000 when 0)
  uint16_t lowMark = 0;
  uint16_t notches = 0;             // 0 moves freely
  uint16_t highMark = 0;            // 0 for none
  uint16_t rememberedPosition = 0;  // restored by backspace
  uint16_t thumbLength = 0;         // in ten-thousandths of the track; 0 the default
  uint16_t exponent = 0;            // 0 linear
  uint32_t maximum = 0;             // the bits of an integer or a float maximum

 protected:
  SlideBarControl(const SlideBarControl&) = default;
};
