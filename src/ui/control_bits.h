#pragma once
// The names of a control's style flags (fixed by its form) and state bits
// (changed at run time), one name per bit, and its kinds as forms number them.
#include <cstdint>

// Style flags.
inline constexpr uint32_t kCtlButton = 0x1;            // a left press toggles or selects and takes the capture
inline constexpr uint32_t kCtlToggle = 0x4;            // with kCtlRadio: a press toggles instead of selecting
inline constexpr uint32_t kCtlCaptureOnly = 0x8;       // a left press only takes the capture
inline constexpr uint32_t kCtlRadio = 0x10;            // selecting it deselects its radio siblings
inline constexpr uint32_t kCtlTexturedFrame = 0x20;    // nine-piece button frame
inline constexpr uint32_t kCtlCommand = 0x40;          // a left press takes the capture and sends a command
inline constexpr uint32_t kCtlMomentary = 0x80;        // deselected on button up and on leave
inline constexpr uint32_t kCtlMirrorX = 0x100;         // bitmaps: mirrored horizontally
inline constexpr uint32_t kCtlMirrorY = 0x200;         // bitmaps: mirrored vertically
inline constexpr uint32_t kCtlPlainFrame = 0x400;      // a filled frame even with kCtlTexturedFrame
inline constexpr uint32_t kCtlInvertLook = 0x800;      // the selected look when not selected, and back
inline constexpr uint32_t kCtlTintFrame = 0x1000;      // the textured frame is tinted with the fill colour
inline constexpr uint32_t kCtlFocusReplaces = 0x2000;  // the focused fill replaces the fill (else ORed in)
inline constexpr uint32_t kCtlClipText = 0x4000;       // string kinds clip to their own rectangle
inline constexpr uint32_t kCtlMultiLine = 0x8000;      // string kinds: several lines; bitmaps: back and forth
inline constexpr uint32_t kCtlStartHidden = 0x10000;   // made hidden (copied into kStateHidden)
inline constexpr uint32_t kCtlClickThrough = 0x20000;  // ignored by hit testing, and so are its children
inline constexpr uint32_t kCtlOwnsText = 0x80000;      // text kinds: the text buffer is the control's own
// The focused look while kStateFocused is set; the mouse calls it
// "focus on hover": the pointer resting on it gives it the focus.
inline constexpr uint32_t kCtlShowFocus = 0x200000;
// Drawn on every walk, after a flush of the batches: so is a form shown as a
// pop-up; on the root form, a see-through pop-up is open. Was kCtlShownAsPopup.
inline constexpr uint32_t kCtlAlwaysRedraw = 0x400000;
inline constexpr uint32_t kCtlAnimate = 0x800000;       // bitmaps: the animation always runs
inline constexpr uint32_t kCtlAnimateWhenOn = 0x1000000;  // bitmaps: the animation runs while the state is not 0
// The same bit on the minimap control: the map moved and the view box is to
// follow it.
inline constexpr uint32_t kCtlViewBoxChanged = 0x1000000;
inline constexpr uint32_t kCtlOwnerDraw = 0x2000000;      // Draw asks the owner screen to draw
inline constexpr uint32_t kCtlNoFocus = 0x4000000;        // never takes the capture, the focus or text editing
// With kCtlMomentary: losing the focus deselects the control handed to
// ControlKillFocus. The mouse calls the same bit "hover-held" (and, with
// kCtlAutoRepeat, "hover-repeat"): the pointer resting on it gives it the
// focus and the capture, and with kCtlButton and kCtlCommand a press too.
inline constexpr uint32_t kCtlDeselectOnKillFocus = 0x8000000;
// Held down (or, hover-held, rested on) it is pressed again at the repeat
// period of the options.
inline constexpr uint32_t kCtlAutoRepeat = 0x10000000;
inline constexpr uint32_t kCtlHost = 0x20000000;         // shows the form of its hosted screen
inline constexpr uint32_t kCtlFlushBefore = 0x40000000;  // the pending batches are drawn before it

// State bits. Other parts of the interface call kStateSelected "pressed" or
// "checked", kStateFocused the "mouse capture" look, and "style 0x10000
// hides" means kStateHidden.
inline constexpr uint32_t kStateSelected = 0x1;
inline constexpr uint32_t kStateDisabled = 0x8;
inline constexpr uint32_t kStateHidden = 0x10000;   // not drawn, not hit
inline constexpr uint32_t kStateDirty = 0x1000000;  // must be redrawn; Draw clears it
inline constexpr uint32_t kStateEditing = 0x2000000;
inline constexpr uint32_t kStateFocused = 0x4000000;  // highlight; cleared on leave and capture release
// The left button went down over it; the mouse keeps it the hover target
// (the "hover-held capture active" bit) until the button comes up.
inline constexpr uint32_t kStatePressed = 0x8000000;

// Control kinds: the numbers form files store.
enum ControlKind : int16_t {
  kKindNull = 0,
  kKindBox = 1,
  kKindText = 2,
  kKindString = 3,
  kKindPlainBitmap = 4,
  kKindIcon = 5,
  kKindBitmap = 6,
  kKindAnim = 16,
  kKindEdit = 17,
  kKindEditNumber = 18,
  kKindListBox = 19,
  kKindScroller = 20,
  kKindSlideBar = 21,
  kKindTextBox = 23,
};

// Messages a control receives besides the window's own: the capture moved
// onto it, it left it, and a selection made by code (never a click).
inline constexpr int32_t kControlEnter = -1;
inline constexpr int32_t kControlLeave = -2;
inline constexpr int32_t kControlSelect = -3;

