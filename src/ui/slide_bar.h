#pragma once
// The slide bar: a horizontal or vertical bar whose position runs from 0 to
// 10000, which screens map to a value through a maximum and an optional
// power curve; and the value helpers through which screens set and read it.
#include <bit>
#include <cstdint>

#include "ui/control.h"

// Positions run over 0 to kSliderRange everywhere.
inline constexpr int32_t kSliderRange = 10000;

// Style flags of slide bars (besides the control's own).
inline constexpr uint32_t kSlideReversed = 0x100;  // position 0 at the right or bottom
inline constexpr uint32_t kSlideVertical = 0x200;
inline constexpr uint32_t kSlidePlain = 0x400;  // no end zones (so is kSlideFill)
inline constexpr uint32_t kSlideFill = 0x800;   // drawn from 0 to the position; takes no input
inline constexpr uint32_t kSlideFullAlpha = 0x20;  // the trough in the full colour, not halved

// Whether a key is held; the platform's answer, replaced in tests.
extern bool (*g_uiKeyHeld)(uint32_t virtualKey);

struct SlideBarInit {
  uint16_t position = 0;
  uint16_t lowMark = 0;
  uint16_t highMark = 0;
};

class SlideBarControl : public Control {
 public:
  SlideBarControl() { kind = kKindSlideBar; }
  // Kind 21 with the bar's colours; rectangle, flags, id and owner from the
  // init.
  SlideBarControl(const ControlInit& init, const SlideBarInit& bar);

  int32_t Draw(const plat::Rect* clip) override;
  int32_t HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override;
  int32_t HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override;
  // Swaps the position with the remembered one (notified) when they differ.
  void ToggleSelected() override;
  Control* Clone() const override { return new SlideBarControl(*this); }
  void SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const override;
  // Remembers the position and moves to p (clamped), notified, when it
  // differs.
  void SetSelected(int32_t p) override;

  uint16_t position = 0;
  uint16_t defaultPosition = 0;  // a double click's target; 0 means the middle
  uint16_t lowMark = 0;          // below it the colour turns towards red
  uint16_t notches = 0;          // 0: free movement
  uint16_t highMark = 0;         // above it the colour turns towards red; 0: none
  uint16_t rememberedPosition = 0;
  uint16_t thumbLength = 0;  // in ten-thousandths of the track; 0: default
  uint16_t exponent = 0;     // k of the power curve; 0: linear
  // The value at position 10000: an integer or the bits of a float, as the
  // helper that set it chose (forms store the one word); for a power curve,
  // its k-th root.
  uint32_t maximum = kSliderRange;
  int32_t MaximumInt() const { return static_cast<int32_t>(maximum); }
  float MaximumFloat() const { return std::bit_cast<float>(maximum); }
  // A second marker drawn as a darker trough up to it (memory only, never
  // notified).
  uint16_t rawMarker = 0;

 protected:
  SlideBarControl(const SlideBarControl&) = default;

 private:
  // Stores a new position, notifies and invalidates when it changed.
  void MoveTo(int32_t p);
  // Keys snap to the notches, the wheel moves by whole steps as it is.
  void MoveBySteps(int32_t steps, bool shift, bool snap);
  void TrackPointer(int32_t x, int32_t y);
};

// Clamps a position to 0..10000.
int32_t SliderClamp(int64_t p);
// The position snapped to the nearest of the bar's notches.
int32_t SliderSnapToNotches(int32_t p, uint16_t notches);
// The colour the bar is drawn in at its position: the look's fill turned
// towards red below the low mark and above the high mark.
uint32_t SliderColour(uint32_t fill, int32_t position, int32_t lowMark, int32_t highMark);

// The control as a slide bar; null when it is none (or null).
inline SlideBarControl* AsSlideBar(Control* control) { return dynamic_cast<SlideBarControl*>(control); }

void SliderSetPosition(SlideBarControl* bar, int32_t p);
void SliderSetDefault(SlideBarControl* bar, int32_t p);
void SliderSetThumbNotify(SlideBarControl* bar, int32_t p);
void SlideBarSetThumbLength(SlideBarControl* bar, int32_t p);
void SliderSetMaxInt(SlideBarControl* bar, int32_t m);
void SliderSetMaxFloat(SlideBarControl* bar, float m);
// The position of a value; none of them notify.
int32_t SliderPositionOfInt(const SlideBarControl* bar, int32_t v);
int32_t SliderPositionOfFloat(const SlideBarControl* bar, float v);
void SliderSetValueInt(SlideBarControl* bar, int32_t v);
void SliderSetValueFloat(SlideBarControl* bar, float v);
// The bar's maximum, then its value (no notice); a null bar takes nothing.
void SliderSetMaxAndValueFloat(SlideBarControl* bar, float maximum, float value);
void SliderSetValueIntNotify(SlideBarControl* bar, int32_t v);
void SliderSetValueFloatNotify(SlideBarControl* bar, float v);
void SliderSetDefaultFloat(SlideBarControl* bar, float v);
void SliderSetThumbFloat(SlideBarControl* bar, float v);
// The second marker at the position of the value.
void SliderSetValueIntRaw(SlideBarControl* bar, int32_t v);
int32_t SliderGetValueInt(const SlideBarControl* bar);
float SliderGetValueFloat(const SlideBarControl* bar);
