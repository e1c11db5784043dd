#pragma once
// Pop-ups: a form opened over the screen inside a frame of its own, a child
// of the root form (the last child is the topmost). The stacking of pop-ups,
// their return screens and depths come with the rest of the pop-up code.
#include <cstdint>

#include "platform/window.h"
#include "ui/screen.h"

class Control;
struct ScreenManager;

// The form-less screen that owns every pop-up frame.
class PopupFrameScreen : public Screen {
 public:
  PopupFrameScreen() : Screen(nullptr) {}
};

// Opens the form in a new frame covering the frame rectangle, the form's
// top-left at (x, y) in it, -1 centring it. kFail when there is no form or
// it is shown already; else 0.
int32_t OpenPopup(ScreenManager& ui, Control* form, uint32_t flags, int32_t x, int32_t y, int32_t noFill,
                  const plat::Rect& frame);
// Takes the form out of its pop-up frame and deletes the frame; a form
// without a frame is left where it is. 0.
int32_t ClosePopupForm(ScreenManager& ui, Control* form, int32_t noReturn, int32_t keepDepth);
