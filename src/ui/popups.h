#pragma once
// Pop-ups: a form opened over the screen inside a frame of its own, a child
// of the root form (the last child is the topmost). Opening one closes the
// others and remembers the screen it replaced, so closing it brings that one
// back; stacked pop-ups do neither. Window thread only.
#include <cstdint>

#include "platform/window.h"
#include "ui/control_bits.h"
#include "ui/screen.h"

class Control;
struct ScreenManager;

// Open flags, kept in the frame's id.
inline constexpr uint32_t kPopupOpaque = 0x1;     // the form's fill alpha is 0xFF, not the option's
inline constexpr uint32_t kPopupModal = 0x2;      // a click outside the form beeps instead of closing it
inline constexpr uint32_t kPopupExclusive = 0x4;  // while the last opened, no other pop-up opens
inline constexpr uint32_t kPopupStacked = 0x80;   // closes nothing on open, brings nothing back on close
// The user word of a root child that stays above every pop-up frame.
inline constexpr uint32_t kAlwaysOnTopMark = 0xABCDABCDu;
// The index of a generated frame: deleted when its pop-up closes.
inline constexpr uint16_t kGeneratedFrameIndex = 0xFFFF;

// The interface sounds of pop-ups, the side pop-up and the docked panels.
inline constexpr int32_t kSoundPopupOpened = 6;
inline constexpr int32_t kSoundPopupClosed = 7;
inline constexpr int32_t kSoundSidePopup = 8;
inline constexpr int32_t kSoundOrdersLocked = 9;  // a unit's orders locked or freed

// Where the pop-up code's sounds and beeps go. Tests count them; null: the
// game's sound system, and no beep (the platform has no system blip).
struct PopupSoundSeam {
  void (*uiSound)(int32_t number) = nullptr;
  void (*beep)() = nullptr;
};
extern PopupSoundSeam g_popupSounds;
// Interface sound n, nothing while sound is muted.
void PlayPopupSound(int32_t number);
void MessageBeep(uint32_t kind);

// The form-less screen that owns every pop-up frame; mouse messages that hit
// a frame outside its form arrive at its OnControlMessage.
class PopupFrameScreen : public Screen {
 public:
  PopupFrameScreen() : Screen(nullptr) {}
  int32_t OnControlMessage(uint32_t state1, uint32_t state2, int32_t id, int32_t message, intptr_t p1,
                           intptr_t p2, intptr_t p3, Control* control, int32_t zero) override;
};

// Opens the form in a new frame covering the frame rectangle (left, top,
// right, bottom), the form's top-left at (x, y) in it, -1 centring it. A
// no-fill frame is not drawn. kFail when the form is shown already, or
// (with a beep) while an exclusive pop-up is the last opened or the
// interface is locked; else 0.
int32_t OpenPopup(ScreenManager& ui, Control* form, uint32_t flags, int32_t x, int32_t y, int32_t noFill,
                  const plat::Rect& frame);
// Closes the form's pop-up (a form without a frame only loses its pop-up
// style). Unless the pop-up was stacked: with noReturn 0 the screen it
// replaced opens again, and without keepDepth the saved panel depth comes
// back. 0.
int32_t ClosePopupForm(ScreenManager& ui, Control* form, int32_t noReturn, int32_t keepDepth);
// Closes every pop-up, bringing none back; the screen of the lowest closed,
// or null. With clearDepth the saved panel depth is forgotten.
Screen* CloseAllPopups(ScreenManager& ui, int32_t clearDepth);
// The docked panels' depth: the screens' map layout follows it while there
// is a map view, else only the depth word changes.
void SetUiPanelDepth(ScreenManager& ui, int32_t depth);
// Whether the control is a pop-up's frame (owned by the frames' screen).
bool IsPopupFrame(const Control* control);
// A mouse message hit a pop-up frame outside its form.
int32_t PopupFrameClick(ScreenManager& ui, Control* frame, int32_t message, intptr_t p1, intptr_t p2, intptr_t p3);
