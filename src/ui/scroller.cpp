#include "ui/scroller.h"

#include <algorithm>

#include "platform/messages.h"
#include "ui/bitmap_control.h"
#include "ui/control_frame.h"
#include "ui/control_tree.h"
#include "ui/slide_bar.h"

namespace {

constexpr uint32_t kArrowFlags = 0x800E1;
constexpr uint32_t kArrowColour = 0xFF696969u;
constexpr uint32_t kBarFlags = 0x80400;
constexpr uint32_t kBarOutline = 0xFF787878u;
constexpr int32_t kArrowImageSize = 12;
constexpr plat::Point kArrowUpImage{252, 122};    // also the left arrow of a horizontal scroller
constexpr plat::Point kArrowDownImage{267, 122};  // also the right arrow
constexpr int32_t kWheelNotch = 120;

BitmapControl* MakeArrow(int32_t id, plat::Point image, Screen* owner) {
  ControlInit init;
  init.kind = kKindBitmap;
  init.flags = kArrowFlags;
  init.fillNormal = init.fillSelected = kArrowColour;
  init.outlineColour = kArrowColour;
  init.id = id;
  init.owner = owner;
  const BitmapImage look{0, {image.x, image.y, image.x + kArrowImageSize, image.y + kArrowImageSize}};
  return new BitmapControl(init, look, look, look);
}

void Wheel(SlideBarControl* bar, int32_t notches) {
  const auto high = static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(notches * kWheelNotch)));
  bar->HandleInput(static_cast<int32_t>(plat::kWmMouseWheel), static_cast<intptr_t>(high << 16), 0, 0);
}

}  // namespace

void ScrollerScreen::OnCommand(Control* control, int32_t id) {
  if (control && control != scroller_->bar && (id == 1 || id == -1)) Wheel(scroller_->bar, id);
}

int32_t ScrollerScreen::OnControlMessage(uint32_t, uint32_t, int32_t, int32_t message, intptr_t p1, intptr_t p2,
                                         intptr_t p3, Control* control, int32_t) {
  const bool forBar = message == static_cast<int32_t>(plat::kWmKeyDown) ||
                      message == static_cast<int32_t>(plat::kWmMouseWheel);
  if (forBar && control != scroller_->bar) scroller_->bar->HandleInput(message, p1, p2, p3);
  return 0;
}

void ScrollerScreen::OnMouseEnter(Control*, int32_t) {
  if (scroller_->owner) scroller_->owner->OnMouseEnter(scroller_, scroller_->id);
}

void ScrollerScreen::OnMouseLeave(Control*, int32_t) {
  if (scroller_->owner) scroller_->owner->OnMouseLeave(scroller_, scroller_->id);
}

void ScrollerScreen::OnControlChange(Control*, int32_t) { scroller_->NotifyOwner(); }

ScrollerControl::ScrollerControl(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t scrollFlags,
                                 int32_t scrollId, Screen* scrollOwner)
    : screen(std::make_unique<ScrollerScreen>(this)) {
  kind = kKindScroller;
  flags = scrollFlags;
  id = scrollId;
  owner = scrollOwner;
  rect = {left, top, left + width, top + height};
  const bool vertical = flags & kScrollVertical;
  ControlInit barInit;
  barInit.flags = kBarFlags | (flags & kScrollVertical);
  barInit.owner = screen.get();
  bar = new SlideBarControl(barInit, SlideBarInit{});
  bar->outlines[0] = bar->outlines[1] = bar->outlines[2] = kBarOutline;
  arrows[0] = MakeArrow(1, vertical ? kArrowUpImage : kArrowDownImage, screen.get());
  arrows[1] = MakeArrow(-1, vertical ? kArrowDownImage : kArrowUpImage, screen.get());
  ControlAddChild(this, bar);
  if (!(flags & kScrollArrowsDetached)) {
    ControlAddChild(this, arrows[0]);
    ControlAddChild(this, arrows[1]);
  }
  Resize(width, height);
}

ScrollerControl::~ScrollerControl() {
  // Detached arrows are in no tree: nothing else would free them.
  for (BitmapControl*& arrow : arrows) {
    if (arrow && arrow->parent != this) delete arrow;
    arrow = nullptr;
  }
  while (firstChild) delete firstChild;
}

int32_t ScrollerControl::ArrowZone() const {
  if (flags & kScrollNoArrowZones) return 0;
  return (flags & kScrollVertical) ? rect.right - rect.left : rect.bottom - rect.top;
}

void ScrollerControl::Resize(int32_t width, int32_t height) {
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  const int32_t zone = ArrowZone();
  if (flags & kScrollVertical) {
    bar->rect = {0, zone, width, std::max(zone, height - zone)};
    arrows[0]->rect = {0, 0, width, zone};
    arrows[1]->rect = {0, height - zone, width, height};
  } else {
    bar->rect = {zone, 0, std::max(zone, width - zone), height};
    arrows[0]->rect = {width - zone, 0, width, height};
    arrows[1]->rect = {0, 0, zone, height};
  }
  Invalidate();
}

void ScrollerControl::NotifyOwner() {
  if (owner) owner->OnControlChange(this, id);
}

int32_t ScrollerControl::Draw(const plat::Rect*) {
  if (!ControlBeginDraw(this)) return 0;
  ControlDrawFrame(this);
  return 0;
}

int32_t ScrollerControl::HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  return bar->HandleInput(message, p1, p2, p3);
}

void ScrollerControl::ToggleSelected() {
  if (bar->position == bar->rememberedPosition) return;
  const uint16_t was = bar->position;
  SliderSetPosition(bar, bar->rememberedPosition);
  bar->rememberedPosition = was;
  Invalidate();
  NotifyOwner();
}

void ScrollerControl::SetSelected(int32_t p) {
  bar->rememberedPosition = bar->position;
  SliderSetPosition(bar, p);
  Invalidate();
  NotifyOwner();
}

void ScrollerSetThumb(ScrollerControl* scroller, int32_t p) {
  if (!scroller) return;
  SlideBarSetThumbLength(scroller->bar, std::clamp(p, kScrollMinThumb, kSliderRange));
  scroller->Invalidate();
}

void ScrollerSetPosition(ScrollerControl* scroller, int32_t p) {
  if (scroller) SliderSetPosition(scroller->bar, p);
}

int32_t ScrollerPosition(const ScrollerControl* scroller) { return scroller ? scroller->bar->position : 0; }
