#include "ui/control_focus.h"

#include "ui/control.h"
#include "ui/screen.h"

ControlGlobals g_controls;

void SetCaptureControl(Control* control, int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  if (!control || (control->flags & kCtlNoFocus) || g_controls.capture == control) return;
  if (g_controls.capture) ReleaseCaptureControl(control, message, p1, p2, p3);
  control->HandleInput(kControlEnter, p1, p2, p3);
  g_controls.capture = control;
}

void ReleaseCaptureControl(Control*, int32_t, intptr_t p1, intptr_t p2, intptr_t p3) {
  Control* holder = g_controls.capture;
  if (!holder) return;
  // Cleared before the leave goes out, so that a capture taken by whoever
  // answers the leave stands.
  g_controls.capture = nullptr;
  holder->state &= ~kStateFocused;
  holder->Invalidate();
  holder->HandleInput(kControlLeave, p1, p2, p3);
}

void SetFocusControl(Control* control) {
  if (!control || (control->flags & kCtlNoFocus) || g_controls.focus == control) return;
  if (g_controls.focus) ControlKillFocus(nullptr);
  control->state |= kStateFocused;
  control->Invalidate();
  g_controls.focus = control;
  if (control->owner) control->owner->OnSetFocus(control, control->id);
}

void ControlKillFocus(Control* other) {
  Control* focus = g_controls.focus;
  if (!focus) return;
  g_controls.focus = nullptr;
  focus->state &= ~kStateFocused;
  focus->Invalidate();
  if (focus->owner) focus->owner->OnKillFocus(focus, focus->id);
  const uint32_t deselect = kCtlDeselectOnKillFocus | kCtlMomentary;
  if (other && (focus->flags & deselect) == deselect) other->SetSelected(0);
}

void TextEditSetActive(Control* control) {
  if (!control || (control->flags & kCtlNoFocus) || g_controls.edit == control) return;
  EndTextEdit();
  control->state |= kStateEditing;
  control->Invalidate();
  g_controls.edit = control;
  if (control->owner) control->owner->OnBeginEdit(control, control->id);
}

void EndTextEdit() {
  Control* edit = g_controls.edit;
  if (!edit) return;
  g_controls.edit = nullptr;
  edit->state &= ~kStateEditing;
  edit->EditEnded();
  edit->Invalidate();
  if (edit->owner) edit->owner->OnEndEdit(edit, edit->id);
}

void ForgetControlGlobals(const Control* control) {
  if (g_controls.capture == control) g_controls.capture = nullptr;
  if (g_controls.focus == control) g_controls.focus = nullptr;
  if (g_controls.edit == control) g_controls.edit = nullptr;
}
