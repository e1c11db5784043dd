#include "ui/mouse.h"

#include "platform/clock.h"
#include "platform/messages.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "ui/tooltip.h"
#include "ui/ui_screen_hooks.h"
#include "world/text/ui_options.h"

namespace {

constexpr int32_t Msg(uint32_t message) { return static_cast<int32_t>(message); }

bool IsButtonRelease(uint32_t message) {
  return message == plat::kWmLButtonUp || message == plat::kWmRButtonUp || message == plat::kWmMButtonUp ||
         message == plat::kWmXButtonUp;
}

bool Disabled(const Control* c) { return (c->state & kStateDisabled) != 0; }

bool IsButtonPress(uint32_t message) {
  return message == plat::kWmLButtonDown || message == plat::kWmLButtonDblClk || message == plat::kWmRButtonDown ||
         message == plat::kWmRButtonDblClk || message == plat::kWmMButtonDown || message == plat::kWmMButtonDblClk;
}

// A press anywhere but in the field being typed into (or its scroller) ends
// the typing first, so the field's text is in before the press acts: an OK
// pressed with a field still in edit reads what was typed.
void EndEditOutside(const Control* hit) {
  const Control* edit = g_controls.edit;
  if (!edit) return;
  for (const Control* c = hit; c; c = c->parent)
    if (c == edit) return;
  EndTextEdit();
}

Control* ControlUnder(const ScreenManager& ui, int32_t x, int32_t y) {
  return ui.rootForm ? ControlHitTest(ui.rootForm, x, y, kAnyDepth, 0) : nullptr;
}

// The repeat period of an auto-repeat control; 0 for none. Held down, a
// hover-repeat control repeats four times as fast as when rested on; a
// plain one repeats only while held.
uint32_t RepeatPeriod(const Control* c, bool leftDown) {
  const bool hoverRepeat = (c->flags & kCtlDeselectOnKillFocus) != 0;
  if (leftDown) return hoverRepeat ? g_uiOptions.repeatmoms / 4 : g_uiOptions.repeatbutms;
  return hoverRepeat ? g_uiOptions.repeatmoms : 0;
}

void AutoRepeat(ScreenManager& ui, Control* target, uint32_t keyState, int32_t x, int32_t y) {
  const uint32_t period = RepeatPeriod(target, (keyState & plat::kMkLButton) != 0);
  const bool hoverRepeat = (target->flags & kCtlDeselectOnKillFocus) != 0;
  if (period == 0 || !(target->Selected() || hoverRepeat)) return;
  // The deadline is the last press plus the double-click time, so the first
  // repeat waits that long and a period more.
  if (!plat::TickAfter(ui.nowTick, g_controls.doubleClickDeadline + period)) return;
  target->state &= ~kStateSelected;
  target->HandleMouse(Msg(plat::kWmLButtonDown), keyState, x, y);
}

void HoverHeld(Control* target, uint32_t keyState, int32_t x, int32_t y) {
  if (g_controls.capture != target) {
    SetFocusControl(target);
    SetCaptureControl(target, Msg(plat::kWmMouseMove), keyState, x, y);
  }
  constexpr uint32_t kPressOnHover = kCtlButton | kCtlCommand;
  if (!target->Selected() && (target->flags & kPressOnHover) == kPressOnHover)
    target->HandleMouse(Msg(plat::kWmLButtonDown), keyState, x, y);
}

void FocusOnHover(Control* target) {
  if (target->flags & kCtlShowFocus) {
    if (g_controls.focus != target) SetFocusControl(target);
    return;
  }
  Control* focus = g_controls.focus;
  if (focus && (focus->flags & (kCtlDeselectOnKillFocus | kCtlShowFocus))) ControlKillFocus(focus);
}

void TooltipAfterRest(ScreenManager& ui, Control* target) {
  const char* text = ControlTooltipText(target);
  const uint32_t wait = g_uiOptions.waittooltip;
  if (!text || !*text || wait == 0) return;
  // Elapsed time, so the wait holds across the wrap of the tick.
  if (ui.nowTick - ui.lastInputTick <= wait) return;
  if (ui.tooltipShown && ui.tooltipControl == target) return;
  Tooltip* tooltip = g_uiScreenHooks.tooltip;
  if (!tooltip) return;
  tooltip->Show(reinterpret_cast<intptr_t>(text), nullptr);
  ui.tooltipControl = target;
}

}  // namespace

const char* ControlTooltipText(const Control* control) {
  if (!control) return nullptr;
  // A string kind shows its own text; its record's text word is kept apart.
  if (const auto* string = dynamic_cast<const StringControl*>(control)) return string->recordText.c_str();
  return control->text.c_str();
}

plat::LResult OnMouseMessage(ScreenManager& ui, uint32_t message, plat::WParam wParam, int x, int y) {
  NoteUserInput(ui);
  const auto p1 = static_cast<intptr_t>(wParam);
  if (Control* holder = g_controls.capture; holder && IsButtonRelease(message))
    return holder->HandleMouse(Msg(message), p1, x, y);
  Control* hit = ControlUnder(ui, x, y);
  if (!hit) return 0;
  if (IsButtonPress(message)) EndEditOutside(hit);
  if (Disabled(hit)) {
    ReleaseCaptureControl(hit, Msg(message), p1, x, y);
    return 0;
  }
  if ((hit->flags & kCtlButton) && (message == plat::kWmLButtonDown || message == plat::kWmLButtonDblClk))
    PlayPopupSound(kSoundClick);
  return hit->HandleMouse(Msg(message), p1, x, y);
}

plat::LResult OnMouseWheel(ScreenManager& ui, plat::WParam wParam, int x, int y) {
  NoteUserInput(ui);
  const auto p1 = static_cast<intptr_t>(wParam);
  // Layers beside the root form first, then the root form's tree, failing a
  // child the root form itself.
  Control* hit = ui.rootForm ? ControlHitTest(ui.rootForm, x, y, kAnyDepth, 1) : nullptr;
  if (hit && hit->kind == kKindSlideBar && !(hit->flags & kSlideFill) && !Disabled(hit)) {
    SetCaptureControl(hit, Msg(plat::kWmMouseWheel), p1, x, y);
  } else {
    // Over a list's rows the wheel scrolls that list, not whatever last
    // held the capture, nor the map under it.
    for (Control* c = hit; c; c = c->parent)
      if (c->kind == kKindListBox) return Disabled(c) ? 0 : c->HandleInput(Msg(plat::kWmMouseWheel), p1, x, y);
  }
  if (Control* holder = g_controls.capture) return holder->HandleInput(Msg(plat::kWmMouseWheel), p1, x, y);
  if (ui.mode == kUiFrontEnd || !ui.mapArea) return 0;
  return ui.mapArea->HandleInput(Msg(plat::kWmMouseWheel), p1, x, y);
}

void HoverAndEdgeScroll(ScreenManager& ui, uint32_t keyState, int32_t x, int32_t y) {
  if (g_uiScreenHooks.edgeScroll) g_uiScreenHooks.edgeScroll(ui, x, y);
  Control* holder = g_controls.capture;
  Control* target = holder && (holder->state & kStatePressed) ? holder : ControlUnder(ui, x, y);
  if (!target) {
    if (holder) ReleaseCaptureControl(nullptr, Msg(plat::kWmMouseMove), keyState, x, y);
    return;
  }
  if (target->flags & kCtlAutoRepeat) {
    AutoRepeat(ui, target, keyState, x, y);
  } else if (target->flags & kCtlDeselectOnKillFocus) {
    HoverHeld(target, keyState, x, y);
  } else {
    FocusOnHover(target);
  }
  if (!(keyState & plat::kMkLButton)) {
    target->state &= ~kStatePressed;
    TooltipAfterRest(ui, target);
  }
  if (g_controls.capture == target) {
    target->HandleInput(Msg(plat::kWmMouseMove), keyState, x, y);
  } else {
    ReleaseCaptureControl(target, Msg(plat::kWmMouseMove), keyState, x, y);
  }
}
