#pragma once
// The frame every control class draws first (a filled and outlined box, or
// the nine-piece textured button frame of the interface's first bitmap set),
// the look it is drawn in, and the common start of every class's Draw.
#include <cstdint>

#include "platform/window.h"

class Control;

// Where the button-frame pieces sit in bitmap set 0 (texels).
inline constexpr int32_t kFramePieceLeft = 6;           // normal look: columns 6 to 70
inline constexpr int32_t kFramePieceSelectedLeft = 78;  // selected look: columns 78 to 142
inline constexpr int32_t kFramePieceWidth = 64;
inline constexpr int32_t kFramePieceTop = 390;  // rows 390 to 406
inline constexpr int32_t kFramePieceHeight = 16;
// With three columns or rows the corner pieces keep this size.
inline constexpr int32_t kFrameCorner = 5;

// The look a control is drawn in.
struct ControlLookState {
  bool selected = false;  // the selected bit, inverted by kCtlInvertLook
  bool focused = false;   // kCtlShowFocus with kStateFocused
  int look = 0;           // the ControlLook of the outline colour
  uint32_t fill = 0;      // the fill colour of the look
  uint32_t outline = 0;
  int32_t outlineWidth = 0;
};
ControlLookState ControlLookOf(const Control* control);

// Draws the control's frame at its place on the screen.
void ControlDrawFrame(Control* control);

// The common start of every class's Draw: clears the dirty bit and asks the
// owner of an owner-drawn control; with kCtlFlushBefore draws the pending
// batches. False for a hidden control, which draws nothing more.
bool ControlBeginDraw(Control* control);
