#pragma once
// The scroller: a slide bar between two arrow buttons, with a small screen
// of its own that hears its three children and passes what matters on to
// the scroller's owner. List boxes scroll through one.
#include <cstdint>
#include <memory>

#include "ui/control.h"
#include "ui/screen.h"

class BitmapControl;
class SlideBarControl;

// Scroller flags: vertical (else horizontal), no arrow zones, and arrows
// made but not attached (the bar still leaves their room).
inline constexpr uint32_t kScrollVertical = 0x200;
inline constexpr uint32_t kScrollNoArrowZones = 0x400;
inline constexpr uint32_t kScrollArrowsDetached = 0x2000;
// The thumb never gets shorter than a fifth of the track.
inline constexpr int32_t kScrollMinThumb = 2000;

class ScrollerControl;

// Hears the bar and the arrows: an arrow's command is a wheel notch for the
// bar; keys and the wheel from any child go to the bar; enter, leave and
// change reach the scroller's owner as the scroller's.
class ScrollerScreen final : public Screen {
 public:
  explicit ScrollerScreen(ScrollerControl* scroller) : Screen(nullptr), scroller_(scroller) {}
  void OnCommand(Control* control, int32_t id) override;
  int32_t OnControlMessage(uint32_t, uint32_t, int32_t, int32_t message, intptr_t p1, intptr_t p2, intptr_t p3,
                           Control*, int32_t) override;
  void OnMouseEnter(Control*, int32_t) override;
  void OnMouseLeave(Control*, int32_t) override;
  void OnControlChange(Control*, int32_t) override;

 private:
  ScrollerControl* scroller_;
};

class ScrollerControl : public Control {
 public:
  // Kind 20 over the rectangle, with its bar and arrows laid out.
  ScrollerControl(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t flags, int32_t id,
                  Screen* owner);
  ~ScrollerControl() override;

  int32_t Draw(const plat::Rect* clip) override;
  // Every input message goes to the bar.
  int32_t HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override;
  // The bar's position and its remembered one swap; the owner hears it.
  void ToggleSelected() override;
  // The bar remembers its position and moves to p; the owner hears it.
  void SetSelected(int32_t p) override;
  // A scroller's children and screen are its own: a copy is a plain control.
  Control* Clone() const override { return Control::Clone(); }

  // Moves the arrows and the bar for a new height (vertical) or width.
  void Resize(int32_t width, int32_t height);
  // The long side's arrow zone in pixels (0 without arrow zones).
  int32_t ArrowZone() const;
  // Tells the owner of a change, as the scroller's.
  void NotifyOwner();

  SlideBarControl* bar = nullptr;
  BitmapControl* arrows[2] = {};  // id 1 and id -1
  std::unique_ptr<ScrollerScreen> screen;
  uint8_t arrowFill[2] = {1, 1};   // cleared for lists whose arrows show no fill
  int32_t settings[3] = {};        // set by the text box factory, kept with the control
};

// The bar's thumb length, clamped to 2000..10000.
void ScrollerSetThumb(ScrollerControl* scroller, int32_t p);
// Moves the bar without notification.
void ScrollerSetPosition(ScrollerControl* scroller, int32_t p);
int32_t ScrollerPosition(const ScrollerControl* scroller);
