#include "ui/popups.h"

#include "app/audio/sound_system.h"
#include "platform/messages.h"
#include "platform/status.h"
#include "ui/box_control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/ui_screen_hooks.h"
#include "ui/panel_vocabulary.h"
#include "world/text/ui_options.h"

#include <vector>

PopupSoundSeam g_popupSounds;

namespace {

// Halving rounds toward zero, so a form one pixel wider than an even room
// sits one pixel further left.
int32_t Centred(int32_t at, int32_t room, int32_t size) { return at == -1 ? (room - size) / 2 : at; }

void ReleaseInputHolders() {
  ReleaseCaptureControl(nullptr, kControlLeave, 0, 0, 0);
  ControlKillFocus(nullptr);
  EndTextEdit();
}

}  // namespace

void SetUiPanelDepth(ScreenManager& ui, int32_t depth) {
  if (ui.mapView && g_uiScreenHooks.setPanelDepth) {
    g_uiScreenHooks.setPanelDepth(ui, depth);
  } else {
    ui.panelDepth = depth;
  }
}

bool IsPopupFrame(const Control* control) {
  const Screen* frames = g_uiScreenHooks.popupFrames;
  return control && frames && control->owner == frames;
}

void PlayPopupSound(int32_t number) {
  if (g_sound.muted) return;
  if (g_popupSounds.uiSound) {
    g_popupSounds.uiSound(number);
  } else {
    PlayUiSound(g_sound, number);
  }
}

void MessageBeep(uint32_t) {
  if (g_popupSounds.beep) g_popupSounds.beep();
}

int32_t OpenPopup(ScreenManager& ui, Control* form, uint32_t flags, int32_t x, int32_t y, int32_t noFill,
                  const plat::Rect& frame) {
  if (!form || form->parent || !ui.rootForm) {
    ui.keepPopups = 0;
    return plat::kFail;
  }
  if ((ui.lastPopupFlags & kPopupExclusive) || ui.uiLock) {
    // A refused re-open must not leave the next pop-up keeping the others.
    ui.keepPopups = 0;
    MessageBeep(0);
    return plat::kFail;
  }
  if (ui.keepPopups) {
    ui.keepPopups = 0;
  } else if (!(flags & kPopupStacked)) {
    Screen* replaced = CloseAllPopups(ui, 0);
    if (form->owner) form->owner->returnTo = replaced;
    ui.savedPanelDepth = ui.panelDepth;
    SetUiPanelDepth(ui, 0);
  }
  ReleaseInputHolders();
  PlayPopupSound(kSoundPopupOpened);

  ControlInit init;
  init.kind = kKindBox;
  init.frameStyle = noFill ? 1 : 0;
  init.id = static_cast<int32_t>(flags & 0xFFu);
  init.owner = g_uiScreenHooks.popupFrames;
  init.left = frame.left;
  init.top = frame.top;
  init.width = frame.right - frame.left;
  init.height = frame.bottom - frame.top;
  auto* box = new BoxControl(init);
  box->index = kGeneratedFrameIndex;

  const uint32_t alpha = (flags & kPopupOpaque) ? 0xFFu : g_uiOptions.popupalpha;
  SetAlpha(form->fills[kLookNormal], alpha);
  const int32_t width = form->rect.right - form->rect.left, height = form->rect.bottom - form->rect.top;
  RectMoveTo(&form->rect, Centred(x, init.width, width), Centred(y, init.height, height));
  ControlAddChild(box, form);

  Control* root = ui.rootForm;
  Control* topmost = root->firstChild ? root->firstChild->PrevInRing() : nullptr;
  if (!topmost && root->firstChild) topmost = root->firstChild;
  if (topmost && topmost->userWord == kAlwaysOnTopMark) {
    // Just before the marked control in the ring, so it stays the last.
    topmost->AppendSibling(box);
    if (root->firstChild == topmost) root->firstChild = box;
  } else {
    ControlAddChild(root, box);
  }
  form->flags |= kCtlAlwaysRedraw;
  if (alpha < 0xFF || form->frameStyle == 1) root->flags |= kCtlAlwaysRedraw;
  ++ui.popupCount;
  ui.lastPopupFlags = static_cast<uint8_t>(flags & 0xFFu);
  return 0;
}

int32_t ClosePopupForm(ScreenManager& ui, Control* form, int32_t noReturn, int32_t keepDepth) {
  if (!form) return 0;
  bool stacked = false;
  Control* frame = form->parent;
  const bool framed = IsPopupFrame(frame);
  if (framed) {
    stacked = (static_cast<uint32_t>(frame->id) & kPopupStacked) != 0;
    form->Unlink();
    frame->Unlink();
    if (frame->index == kGeneratedFrameIndex) delete frame;
  }
  form->flags &= ~kCtlAlwaysRedraw;
  // A form that is not open leaves the count and the last pop-up's flags
  // to the pop-ups that are.
  if (framed) {
    if (ui.popupCount) --ui.popupCount;
    ui.lastPopupFlags = 0;
  }
  if (ui.popupCount == 0 && ui.rootForm) ui.rootForm->flags &= ~kCtlAlwaysRedraw;
  ReleaseInputHolders();
  PlayPopupSound(kSoundPopupClosed);
  if (stacked) return 0;

  Screen* screen = form->owner;
  if (!noReturn && screen && screen->returnTo) {
    Screen* back = screen->returnTo;
    screen->returnTo = nullptr;
    ui.keepPopups = 1;
    back->Popup(back->id, back->parameterList);
  }
  // The depth is given back once, by a pop-up that was open: a form closed
  // again, or the next pop-up to close long after, must not reopen panels
  // the player has closed since.
  if (!keepDepth && framed && ui.savedPanelDepth) {
    SetUiPanelDepth(ui, ui.savedPanelDepth);
    ui.savedPanelDepth = 0;
    RequestFullRefresh(ui);
  }
  return 0;
}

Screen* CloseAllPopups(ScreenManager& ui, int32_t clearDepth) {
  if (clearDepth) ui.savedPanelDepth = 0;
  Screen* first = nullptr;
  Control* root = ui.rootForm;
  if (!root || !root->firstChild) return nullptr;
  // Frames leave the ring as they close: walk a snapshot of it.
  std::vector<Control*> children;
  Control* child = root->firstChild;
  do {
    children.push_back(child);
    child = child->NextInRing();
  } while (child && child != root->firstChild);
  for (Control* frame : children) {
    if (!IsPopupFrame(frame) || frame->parent != root || !frame->firstChild) continue;
    Screen* screen = frame->firstChild->owner;
    if (!first) first = screen;
    if (screen) {
      screen->Close(1);
    } else {
      ClosePopupForm(ui, frame->firstChild, 1, 0);
    }
  }
  return first;
}

int32_t PopupFrameClick(ScreenManager& ui, Control* frame, int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  if (!IsPopupFrame(frame)) return 0;
  const bool modal = (static_cast<uint32_t>(frame->id) & kPopupModal) != 0;
  const auto msg = static_cast<uint32_t>(message);
  const bool left = msg == plat::kWmLButtonDown, leftDouble = msg == plat::kWmLButtonDblClk;
  const bool other = msg == plat::kWmRButtonDown || msg == plat::kWmMButtonDown;
  if (!left && !leftDouble && !other) return 0;
  if (modal) {
    if (!leftDouble) MessageBeep(0);
    return 0;
  }
  Control* form = frame->firstChild;
  Screen* screen = form ? form->owner : nullptr;
  if (screen) {
    screen->returnTo = nullptr;
    screen->Close(0);
  } else if (form) {
    ClosePopupForm(ui, form, 0, 0);
  }
  if (leftDouble || other) {
    OnMouseMessage(ui, msg, static_cast<plat::WParam>(p1), static_cast<int>(p2), static_cast<int>(p3));
  }
  return 0;
}

int32_t PopupFrameScreen::OnControlMessage(uint32_t, uint32_t, int32_t, int32_t message, intptr_t p1, intptr_t p2,
                                           intptr_t p3, Control* control, int32_t) {
  return PopupFrameClick(g_ui, control, message, p1, p2, p3);
}

