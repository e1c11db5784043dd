#pragma once
// The mouse: button messages and the wheel routed to the control under the
// pointer (or the one holding the capture), the click sound, and what the
// pointer resting on a control does each frame: auto-repeat, hover-held and
// focus-on-hover controls, the delayed tooltip, and edge scrolling of the
// map (through the screens' hook). The entry points from the window (OnMouseMessage, OnMouseWheel) are
// declared with the interface root's others in ui/screen_manager.h. Window
// thread only.
#include <cstdint>

class Control;
struct ScreenManager;

// The interface sound of a click on a clickable control.
inline constexpr int32_t kSoundClick = 5;

// The text a control shows as its tooltip: the text word of its form
// record; null or empty for none.
const char* ControlTooltipText(const Control* control);

// Once a frame, with the polled pointer (screen pixels) and the MK_ word of
// the buttons and keys held.
void HoverAndEdgeScroll(ScreenManager& ui, uint32_t keyState, int32_t x, int32_t y);
