#include "ui/slide_bar.h"

#include <algorithm>
#include <cmath>

#include "app/app_object.h"
#include "app/game_math.h"
#include "app/gfx/cursor.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "ui/control_focus.h"
#include "ui/control_frame.h"
#include "ui/screen.h"

bool (*g_uiKeyHeld)(uint32_t) = plat::IsKeyHeld;

namespace {

constexpr uint32_t kBarFill = 0xFF8C8C8Cu;
constexpr uint32_t kBarOutline = 0xFF4B964Bu;
constexpr int32_t kMiddle = 5000;
constexpr int32_t kStep = 100;
constexpr int32_t kFineStep = 10;
constexpr int32_t kShiftFactor = 10;
constexpr int32_t kShiftSnap = 1000;
constexpr int32_t kWheelDelta = 120;
constexpr int32_t kRedFrom = 175;  // past this the other channels fade

ControlInit AsSlideBar(ControlInit init) {
  init.kind = kKindSlideBar;
  init.fillNormal = init.fillSelected = kBarFill;
  init.outlineColour = kBarOutline;
  return init;
}

// The largest r with r^k <= v, for v >= 0 and k >= 1: exact, where the
// float root of a perfect power can land just below it.
int64_t IntegerRoot(int64_t v, int k) {
  if (v <= 0) return 0;
  if (k <= 1) return v;
  auto powAtMost = [&](int64_t r) {  // r^k <= v, without overflow
    int64_t p = 1;
    for (int i = 0; i < k; ++i) {
      if (p > v / r) return false;
      p *= r;
    }
    return p <= v;
  };
  int64_t r = static_cast<int64_t>(std::pow(static_cast<double>(v), 1.0 / k));
  r = std::max<int64_t>(r, 1);
  while (r > 1 && !powAtMost(r)) --r;
  while (powAtMost(r + 1)) ++r;
  return r;
}

// w^k saturated to the int32 range.
int32_t IntegerPower(int64_t w, int k) {
  int64_t p = 1;
  for (int i = 0; i < k; ++i) {
    p *= w;
    if (p > INT32_MAX) return INT32_MAX;
  }
  return static_cast<int32_t>(p);
}

// A float maximum or value that cannot scale a bar (zero, negative, NaN)
// reads as none.
bool Usable(float v) { return v > 0.0f && std::isfinite(v); }

float Root(float v, uint16_t k) { return k ? GamePow(v, 1.0f / static_cast<float>(k)) : v; }

int32_t PositionOfFloatRoot(float root, float maximum) {
  if (!Usable(root) || !Usable(maximum)) return 0;
  const float scaled = root * static_cast<float>(kSliderRange) / maximum;
  if (!(scaled < static_cast<float>(kSliderRange))) return kSliderRange;
  return SliderClamp(static_cast<int64_t>(scaled) + 1);
}

void Notify(Control* bar) {
  if (bar->owner) bar->owner->OnControlChange(bar, bar->id);
}

// The bar's long side and cross side in pixels.
void Extent(const plat::Rect& r, bool vertical, int32_t& along, int32_t& across) {
  along = vertical ? r.bottom - r.top : r.right - r.left;
  across = vertical ? r.right - r.left : r.bottom - r.top;
}

}  // namespace

SlideBarControl::SlideBarControl(const ControlInit& init, const SlideBarInit& bar)
    : Control(AsSlideBar(init)), position(bar.position), lowMark(bar.lowMark), highMark(bar.highMark) {}

int32_t SliderClamp(int64_t p) { return static_cast<int32_t>(std::clamp<int64_t>(p, 0, kSliderRange)); }

int32_t SliderSnapToNotches(int32_t p, uint16_t notches) {
  if (!notches) return p;
  const int32_t step = kSliderRange / notches;
  if (step <= 0) return SliderClamp(p);
  return SliderClamp(int64_t{(p + kMiddle / notches) / step} * step + 1);
}

uint32_t SliderColour(uint32_t fill, int32_t position, int32_t lowMark, int32_t highMark) {
  int32_t red = (fill >> 16) & 0xFF, green = (fill >> 8) & 0xFF, blue = fill & 0xFF;
  if (lowMark > 0 && position < lowMark) red += (lowMark - position) * 255 / lowMark;
  if (highMark > 0 && highMark < kSliderRange && position > highMark)
    red += (position - highMark) * 255 / (kSliderRange - highMark);
  if (red > kRedFrom) {
    green = std::max(0, green - (red - kRedFrom));
    blue = std::max(0, blue - (red - kRedFrom));
  }
  red = std::min(red, 255);
  return (fill & 0xFF000000u) | static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 |
         static_cast<uint32_t>(blue);
}

void SlideBarControl::MoveTo(int32_t p) {
  p = SliderClamp(p);
  if (p == position) return;
  position = static_cast<uint16_t>(p);
  Notify(this);
  Invalidate();
}

void SlideBarControl::SetSelected(int32_t p) {
  rememberedPosition = position;
  p = SliderClamp(p);
  if (p == position) return;
  position = static_cast<uint16_t>(p);
  Invalidate();
  Notify(this);
}

void SlideBarControl::ToggleSelected() {
  if (position != rememberedPosition) SetSelected(rememberedPosition);
}

void SlideBarControl::TrackPointer(int32_t x, int32_t y) {
  const plat::Rect r = ControlAbsoluteRect(this);
  const bool vertical = flags & kSlideVertical;
  int32_t along, across;
  Extent(r, vertical, along, across);
  const int32_t zone = across / 3;
  const int32_t track = along - 2 * zone;
  if (track <= 0) return;
  const int32_t start = (vertical ? r.top : r.left) + zone - zone / 4;
  const int32_t offset = std::clamp((vertical ? y : x) - start, 0, track);
  int32_t p = static_cast<int32_t>(int64_t{offset} * kSliderRange / track);
  if (flags & kSlideReversed) p = kSliderRange - p;
  if (g_uiKeyHeld(plat::kVkShift)) p = (p + kShiftSnap / 2) / kShiftSnap * kShiftSnap;
  MoveTo(SliderSnapToNotches(p, notches));
}

void SlideBarControl::MoveBySteps(int32_t steps, bool shift, bool snap) {
  int64_t step = notches ? kSliderRange / notches : (g_uiKeyHeld(plat::kVkMenu) ? kFineStep : kStep);
  if (shift) step *= kShiftFactor;
  int64_t delta = steps * step;
  if (flags & kSlideReversed) delta = -delta;
  if (flags & kSlideVertical) delta = -delta;
  const int32_t p = SliderClamp(position + delta);
  MoveTo(snap ? SliderSnapToNotches(p, notches) : p);
}

int32_t SlideBarControl::HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  if (flags & kSlideFill) return 0;
  const auto x = static_cast<int32_t>(p2), y = static_cast<int32_t>(p3);
  switch (static_cast<uint32_t>(message)) {
    case plat::kWmLButtonDown: {
      SetCaptureControl(this, message, p1, p2, p3);
      state |= kStatePressed;
      if (owner) owner->OnCommand(this, id);
      TrackPointer(x, y);
      const plat::Rect r = ControlAbsoluteRect(this);
      plat::ClipCursorToRect(g_platform.mainWindow, &r);
      HideCursor(g_platform);
      break;
    }
    case plat::kWmLButtonUp:
      state &= ~kStatePressed;
      plat::ClipCursorToRect(g_platform.mainWindow, nullptr);
      ShowCurrentCursor(g_platform);
      break;
    case plat::kWmLButtonDblClk:
      position = static_cast<uint16_t>(defaultPosition ? defaultPosition : kMiddle);
      if (owner) {
        owner->OnControlChange(this, id);
        owner->OnActivate(this, id);
      }
      Invalidate();
      break;
    case plat::kWmRButtonDown:
    case plat::kWmRButtonDblClk:
    case plat::kWmMButtonDown:
    case plat::kWmMButtonDblClk:
      if (g_controls.capture == this) ReleaseCaptureControl(nullptr, message, p1, p2, p3);
      break;
    default:
      break;
  }
  if (owner) owner->OnControlMessage(state, state, id, message, p1, p2, p3, this, 0);
  return 0;
}

int32_t SlideBarControl::HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  if (flags & kSlideFill) return 0;
  const bool shift = g_uiKeyHeld(plat::kVkShift);
  switch (message) {
    case static_cast<int32_t>(plat::kWmMouseMove):
      if (state & kStatePressed) TrackPointer(static_cast<int32_t>(p2), static_cast<int32_t>(p3));
      return 0;
    case static_cast<int32_t>(plat::kWmKeyDown):
      switch (static_cast<uint32_t>(p1)) {
        case plat::kVkLeft:
        case plat::kVkDown: MoveBySteps(-1, shift, true); return 0;
        case plat::kVkRight:
        case plat::kVkUp: MoveBySteps(1, shift, true); return 0;
        default: return 1;
      }
    case static_cast<int32_t>(plat::kWmMouseWheel): {
      const auto high = static_cast<int16_t>((static_cast<uint64_t>(p1) >> 16) & 0xFFFF);
      MoveBySteps(high / kWheelDelta, shift, false);
      return 0;
    }
    case static_cast<int32_t>(plat::kWmChar):
      if (p1 == plat::kVkBack && !(state & kStatePressed)) {
        ToggleSelected();
        if (g_controls.capture == this) ReleaseCaptureControl(nullptr, message, p1, p2, p3);
      }
      return 1;
    case kControlEnter:
      if (owner) owner->OnMouseEnter(this, id);
      rememberedPosition = position;
      return 0;
    case kControlLeave:
      plat::ClipCursorToRect(g_platform.mainWindow, nullptr);
      RestoreCursor(g_platform);
      state &= ~kStatePressed;
      if (owner) owner->OnMouseLeave(this, id);
      return 0;
    default:
      return 1;
  }
}

int32_t SlideBarControl::Draw(const plat::Rect*) {
  if (!ControlBeginDraw(this)) return 0;
  const plat::Rect r = ControlAbsoluteRect(this);
  const bool vertical = flags & kSlideVertical;
  const bool reversed = flags & kSlideReversed;
  const int32_t drawn = reversed ? kSliderRange - position : position;
  int32_t along, across;
  Extent(r, vertical, along, across);
  const ControlLookState look = ControlLookOf(this);
  const uint32_t full = SliderColour(look.fill, position, lowMark, highMark);
  const uint32_t half = (flags & kSlideFullAlpha) ? full : (full >> 1) & 0x7F7F7F7Fu;
  const int32_t base = vertical ? r.top : r.left;
  // A span along the bar, drawn across its whole width.
  auto fill = [&](int32_t from, int32_t to, uint32_t colour, int32_t outlineWidth) {
    if (to <= from) return;
    if (vertical)
      FillRect2D(colour, g_renderer, r.left, base + from, r.right, base + to, 0, look.outline, outlineWidth, 0);
    else
      FillRect2D(colour, g_renderer, base + from, r.top, base + to, r.bottom, 0, look.outline, outlineWidth, 0);
  };
  fill(0, along, half, 0);
  if (rawMarker) {
    const int32_t mark = static_cast<int32_t>(int64_t{reversed ? kSliderRange - rawMarker : rawMarker} * along /
                                              kSliderRange);
    const uint32_t dark = (half >> 1) & 0x7F7F7F7Fu;
    if (reversed) fill(mark, along, dark | 0xFF000000u, 0);
    else fill(0, mark, dark | 0xFF000000u, 0);
  }
  if (flags & kSlideFill) {
    const int32_t end = static_cast<int32_t>(int64_t{position} * along / kSliderRange);
    if (reversed) fill(along - end, along, full, look.outlineWidth);
    else fill(0, end, full, look.outlineWidth);
    return 0;
  }
  int32_t thumb, from;
  if (flags & kSlidePlain) {
    thumb = thumbLength ? static_cast<int32_t>(int64_t{thumbLength} * along / kSliderRange) : across;
    from = static_cast<int32_t>(int64_t{along - thumb} * drawn / kSliderRange);
  } else {
    const int32_t zone = across / 3;
    const int32_t track = along - 2 * zone;
    thumb = thumbLength ? static_cast<int32_t>(int64_t{thumbLength} * track / kSliderRange) : zone;
    from = static_cast<int32_t>(int64_t{track - thumb} * drawn / kSliderRange) + zone / 2;
  }
  fill(from, from + std::max(thumb, 1), full, look.outlineWidth);
  return 0;
}

void SliderSetPosition(SlideBarControl* bar, int32_t p) {
  if (!bar) return;
  const auto value = static_cast<uint16_t>(SliderClamp(p));
  // Panels set their bars on every refresh: a bar is drawn again only when
  // it moved.
  if (bar->position == value) return;
  bar->position = value;
  bar->Invalidate();
}

void SliderSetDefault(SlideBarControl* bar, int32_t p) {
  if (!bar) return;
  const auto value = static_cast<uint16_t>(SliderClamp(p));
  // Panels set their bars on every refresh: a bar is drawn again only when
  // it moved.
  if (bar->defaultPosition == value) return;
  bar->defaultPosition = value;
  bar->Invalidate();
}

void SlideBarSetThumbLength(SlideBarControl* bar, int32_t p) {
  if (!bar) return;
  const auto value = static_cast<uint16_t>(SliderClamp(p));
  // Panels set their bars on every refresh: a bar is drawn again only when
  // it moved.
  if (bar->thumbLength == value) return;
  bar->thumbLength = value;
  bar->Invalidate();
}

void SliderSetThumbNotify(SlideBarControl* bar, int32_t p) {
  if (!bar) return;
  SlideBarSetThumbLength(bar, p);
  Notify(bar);
}

void SliderSetMaxInt(SlideBarControl* bar, int32_t m) {
  if (!bar) return;
  if (m == 0) m = kSliderRange;
  bar->maximum = static_cast<uint32_t>(bar->exponent ? static_cast<int32_t>(IntegerRoot(m, bar->exponent)) : m);
}

void SliderSetMaxFloat(SlideBarControl* bar, float m) {
  if (!bar) return;
  if (!Usable(m)) m = 1.0f;
  bar->maximum = std::bit_cast<uint32_t>(Root(m, bar->exponent));
}

int32_t SliderPositionOfInt(const SlideBarControl* bar, int32_t v) {
  if (!bar) return 0;
  // A negative value has no root: it sits at the start like 0.
  const int64_t root = bar->exponent ? IntegerRoot(v, bar->exponent) : v;
  if (root == 0 || bar->MaximumInt() == 0) return 0;
  return SliderClamp(root * kSliderRange / bar->MaximumInt() + 1);
}

int32_t SliderPositionOfFloat(const SlideBarControl* bar, float v) {
  if (!bar) return 0;
  if (bar->exponent && !(v > 0.0f)) return 0;
  return PositionOfFloatRoot(Root(v, bar->exponent), bar->MaximumFloat());
}

void SliderSetValueInt(SlideBarControl* bar, int32_t v) { SliderSetPosition(bar, SliderPositionOfInt(bar, v)); }
void SliderSetValueFloat(SlideBarControl* bar, float v) { SliderSetPosition(bar, SliderPositionOfFloat(bar, v)); }

void SliderSetValueIntNotify(SlideBarControl* bar, int32_t v) {
  if (bar) bar->SetSelected(SliderPositionOfInt(bar, v));
}

void SliderSetValueFloatNotify(SlideBarControl* bar, float v) {
  if (bar) bar->SetSelected(SliderPositionOfFloat(bar, v));
}

void SliderSetDefaultFloat(SlideBarControl* bar, float v) { SliderSetDefault(bar, SliderPositionOfFloat(bar, v)); }
void SliderSetThumbFloat(SlideBarControl* bar, float v) { SliderSetThumbNotify(bar, SliderPositionOfFloat(bar, v)); }

void SliderSetValueIntRaw(SlideBarControl* bar, int32_t v) {
  if (!bar) return;
  const auto marker = static_cast<uint16_t>(SliderPositionOfInt(bar, v));
  if (bar->rawMarker == marker) return;
  bar->rawMarker = marker;
  bar->Invalidate();
}

int32_t SliderGetValueInt(const SlideBarControl* bar) {
  if (!bar) return 0;
  const int64_t w = (int64_t{bar->position} + 1) * bar->MaximumInt() / kSliderRange;
  if (bar->exponent) return IntegerPower(w, bar->exponent);
  return static_cast<int32_t>(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX));
}

float SliderGetValueFloat(const SlideBarControl* bar) {
  if (!bar) return 0.0f;
  const float w = static_cast<float>(bar->position) * bar->MaximumFloat() / static_cast<float>(kSliderRange);
  return bar->exponent ? GamePow(w, static_cast<float>(bar->exponent)) : w;
}

void SliderSetMaxAndValueFloat(SlideBarControl* bar, float maximum, float value) {
  if (!bar) return;
  SliderSetMaxFloat(bar, maximum);
  SliderSetValueFloat(bar, value);
}
