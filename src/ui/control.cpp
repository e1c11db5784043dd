#include "ui/control.h"

#include <cstring>

#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "ui/control_focus.h"
#include "ui/screen.h"

Control::Control(const ControlInit& init)
    : kind(init.kind),
      flags(init.flags),
      state(init.state | kStateDirty | (init.flags & kCtlStartHidden ? kStateHidden : 0)),
      frameStyle(init.frameStyle),
      outlineWidths{init.outlineWidth, init.outlineWidth, init.outlineWidth},
      fills{init.fillNormal, init.fillSelected, init.fillSelected},
      outlines{init.outlineColour, init.outlineColour, init.outlineColour},
      id(init.id),
      owner(init.owner),
      rect{init.left, init.top, init.left + init.width, init.top + init.height} {
  SetControlTag(this, init.tag);
  if (init.text) {
    text = init.text;
    hasText = true;
  }
}

Control::Control(const Control& o)
    : ListNode(),
      kind(o.kind),
      index(0xFFFF),
      flags(o.flags),
      state(o.state),
      frameStyle(o.frameStyle),
      id(o.id),
      hostedScreen(o.hostedScreen),
      text(o.text),
      hasText(o.hasText),
      owner(o.owner),
      userWord(o.userWord),
      rect(o.rect),
      placeShiftX(o.placeShiftX),
      placeShiftY(o.placeShiftY) {
  std::memcpy(tag, o.tag, sizeof tag);
  std::memcpy(outlineWidths, o.outlineWidths, sizeof outlineWidths);
  std::memcpy(fills, o.fills, sizeof fills);
  std::memcpy(outlines, o.outlines, sizeof outlines);
}

Control::~Control() {
  while (firstChild) delete firstChild;
  ForgetControlGlobals(this);
  if (parent) {
    if (parent->firstChild == this) parent->firstChild = NextInRing();
    parent->Invalidate();
    parent = nullptr;
  }
  ListNode::Unlink();
}

void* Control::operator new(size_t bytes) {
  void* block = AllocZeroed(bytes);
  if (!block) throw std::bad_alloc();
  return block;
}

void Control::operator delete(void* block) { FreeZeroed(block); }

ListNode* Control::Append(ListNode* node) {
  auto* other = static_cast<Control*>(node);
  if (!other || other == this) return other;
  other->Unlink();
  other->state |= kStateDirty;
  other->parent = parent;
  ListNode::Append(other);
  if (parent) parent->Invalidate();
  return other;
}

ListNode* Control::Prepend(ListNode* node) {
  auto* other = static_cast<Control*>(node);
  if (!other || other == this) return other;
  other->Unlink();
  other->state |= kStateDirty;
  other->parent = parent;
  ListNode::Prepend(other);
  if (parent) parent->Invalidate();
  return other;
}

ListNode* Control::ReplaceWith(ListNode* node) {
  auto* other = static_cast<Control*>(node);
  if (!other || other == this) return other;
  other->Unlink();
  Control* owner = parent;
  const bool wasFirst = owner && owner->firstChild == this;
  other->parent = owner;
  RectMoveTo(&other->rect, rect.left, rect.top);
  other->state |= kStateDirty;
  ListNode::Append(other);
  Unlink();
  if (wasFirst) owner->firstChild = other;
  return other;
}

ListNode* Control::Unlink() {
  if (parent) {
    if (parent->firstChild == this) parent->firstChild = NextInRing();
    parent->Invalidate();
    parent = nullptr;
  }
  return ListNode::Unlink();
}

void Control::DeleteChain() {
  while (Control* other = NextInRing()) delete other;
  delete this;
}

int32_t Control::Draw(const plat::Rect*) {
  state &= ~kStateDirty;
  if ((flags & kCtlOwnerDraw) && owner) owner->OnDrawControl(this, id);
  return 0;
}

uint32_t Control::SetState(uint32_t newState, int32_t drawNow, const plat::Rect* clip, int32_t message, intptr_t,
                           intptr_t, intptr_t, int32_t notify) {
  const uint32_t before = state;
  if ((flags & kCtlRadio) && !(before & kStateSelected) && (newState & kStateSelected))
    ControlClearSelection(this, notify);
  if (newState != state) {
    state = newState;
    Invalidate();
    if (drawNow) Draw(clip);
  }
  if (owner && notify) {
    const bool nowSelected = !(before & kStateSelected) && (state & kStateSelected);
    const bool command = nowSelected || message == static_cast<int32_t>(plat::kWmLButtonDown) ||
                         message == static_cast<int32_t>(plat::kWmLButtonDblClk);
    if ((before ^ state) & kStateSelected) owner->OnControlChange(this, id);
    if (command) owner->OnCommand(this, id);
  }
  return state;
}

int32_t Control::HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  const auto msg = static_cast<uint32_t>(message);
  switch (msg) {
    case plat::kWmLButtonDown:
    case plat::kWmLButtonDblClk:
      g_controls.doubleClickDeadline = plat::TickCount() + plat::kDoubleClickMs;
      if (g_controls.capture && g_controls.capture != this) ReleaseCaptureControl(this, message, p1, p2, p3);
      state |= kStatePressed;
      if (flags & kCtlButton) {
        SetCaptureControl(this, message, p1, p2, p3);
        const bool select = (flags & kCtlRadio) && !(flags & kCtlToggle);
        SetState(select ? state | kStateSelected : state ^ kStateSelected, 0, nullptr, message, p1, p2, p3, 1);
      } else if (flags & kCtlCaptureOnly) {
        SetCaptureControl(this, message, p1, p2, p3);
      } else if (flags & (kCtlCommand | kCtlRadio)) {
        SetCaptureControl(this, message, p1, p2, p3);
        if (owner) owner->OnCommand(this, id);
      }
      if (msg == plat::kWmLButtonDblClk && owner) owner->OnActivate(this, id);
      break;
    case plat::kWmLButtonUp:
      if (flags & kCtlMomentary) SetState(state & ~kStateSelected, 0, nullptr, message, p1, p2, p3, 1);
      state &= ~kStatePressed;
      break;
    case plat::kWmRButtonDown:
    case plat::kWmRButtonDblClk:
    case plat::kWmMButtonDown:
    case plat::kWmMButtonDblClk:
      if (g_controls.capture && g_controls.capture != this) ReleaseCaptureControl(this, message, p1, p2, p3);
      break;
    default:
      break;
  }
  if (owner) owner->OnControlMessage(state, state, id, message, p1, p2, p3, this, 0);
  return 0;
}

int32_t Control::HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  if (owner) owner->OnControlMessage(state, state, id, message, p1, p2, p3, this, 0);
  switch (message) {
    case kControlEnter:
      if (owner) owner->OnMouseEnter(this, id);
      return 0;
    case kControlLeave:
      if (flags & kCtlMomentary) SetState(state & ~kStateSelected, 0, nullptr, message, p1, p2, p3, 1);
      state &= ~(kStateFocused | kStatePressed);
      if (owner) {
        owner->OnMouseLeave(this, id);
        if (owner->currentForm == this) owner->OnLeave();
      }
      return 0;
    case static_cast<int32_t>(plat::kWmKeyDown):
    case static_cast<int32_t>(plat::kWmMouseMove):
    case static_cast<int32_t>(plat::kWmMouseWheel):
      return 0;
    default:
      return 1;
  }
}

void Control::ToggleSelected() { SetState(state ^ kStateSelected, 0, nullptr, 0, 0, 0, 0, 1); }

void Control::Invalidate() {
  state |= kStateDirty;
  const bool covers = frameStyle != 1 && (fills[kLookNormal] >> 24) == 0xFF && !(state & kStateHidden);
  if (parent && !covers) parent->Invalidate();
}

Control* Control::Clone() const { return new Control(*this); }

void Control::SetSelected(int32_t on) {
  const uint32_t bit = on ? kStateSelected : 0;
  if ((state & kStateSelected) == bit) return;
  SetState((state & ~kStateSelected) | bit, 0, nullptr, kControlSelect, 0, 0, 0, 1);
}

void Control::SetText(const char*) {
  Invalidate();
  if (owner) owner->OnControlChange(this, id);
}

void SetControlTag(Control* control, const char* tag) {
  if (!control) return;
  std::memset(control->tag, 0, sizeof control->tag);
  if (tag) std::memcpy(control->tag, tag, strnlen(tag, kTagSize));
}

bool ControlTagMatches(const char* stored, const char* query) {
  return stored && query && std::strncmp(stored, query, kTagSize) == 0;
}

plat::Rect ControlAbsoluteRect(const Control* control) {
  if (!control) return {};
  plat::Rect r = control->rect;
  for (const Control* a = control->parent; a; a = a->parent) {
    r.left += a->rect.left;
    r.right += a->rect.left;
    r.top += a->rect.top;
    r.bottom += a->rect.top;
  }
  return r;
}

void RectMoveTo(plat::Rect* rect, int32_t left, int32_t top) {
  if (!rect) return;
  rect->right = left + (rect->right - rect->left);
  rect->bottom = top + (rect->bottom - rect->top);
  rect->left = left;
  rect->top = top;
}

uint32_t SetControlFlag(Control* control, uint32_t bits, int32_t on) {
  if (!control) return 0;
  const uint32_t next = on ? control->state | bits : control->state & ~bits;
  return control->SetState(next, 0, nullptr, 0, 0, 0, 0, 0);
}

uint32_t ControlSetStyleArgs(Control* control, uint32_t mask, int32_t notify, int32_t message, intptr_t p1,
                             intptr_t p2, intptr_t p3) {
  if (!control) return 0;
  return control->SetState(control->state ^ mask, 0, nullptr, message, p1, p2, p3, notify);
}

void ControlSetText(Control* control, const char* text) {
  if (!control) return;
  control->text.assign(text ? text : "");
  control->hasText = !control->text.empty();
}

void ControlClearSelection(Control* control, int32_t notify) {
  if (!control) return;
  auto deselect = [notify](Control* c) {
    c->SetState(c->state & ~kStateSelected, 0, nullptr, 0, 0, 0, 0, notify);
  };
  if (control->flags & kCtlRadio) deselect(control);
  for (Control* c = control->NextInRing(); c && c != control; c = c->NextInRing())
    if (c->flags & kCtlRadio) deselect(c);
}

void ControlClearFocusMarks(Control* control) {
  if (!control) return;
  control->state &= ~kStateFocused;
  for (Control* c = control->NextInRing(); c && c != control; c = c->NextInRing()) c->state &= ~kStateFocused;
}
