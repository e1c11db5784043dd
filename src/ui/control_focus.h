#pragma once
// The three controls the interface singles out (the one holding the mouse
// capture, the focused one and the one being typed into) and the
// double-click deadline. Window thread only; nothing here is locked.
#include <cstdint>

class Control;

struct ControlGlobals {
  Control* capture = nullptr;
  Control* focus = nullptr;
  Control* edit = nullptr;
  uint32_t doubleClickDeadline = 0;  // tick count in milliseconds
};

extern ControlGlobals g_controls;

// Gives the capture to the control (entered with kControlEnter), releasing the
// old one; nothing for a kCtlNoFocus control or the current holder.
void SetCaptureControl(Control* control, int32_t message, intptr_t p1, intptr_t p2, intptr_t p3);
// The holder loses the capture and its focused look and is left (kControlLeave).
void ReleaseCaptureControl(Control* newcomer, int32_t message, intptr_t p1, intptr_t p2, intptr_t p3);
// Moves the focus to the control and tells its owner.
void SetFocusControl(Control* control);
// The focused control loses the focus; with kCtlMomentary and
// kCtlDeselectOnKillFocus the control given (when any) is deselected.
void ControlKillFocus(Control* other);
// Makes the control the one being typed into, ending the edit before.
void TextEditSetActive(Control* control);
// Ends the current edit, when there is one.
void EndTextEdit();
// Forgets the control wherever a global holds it (it is going away).
void ForgetControlGlobals(const Control* control);
