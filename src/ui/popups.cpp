#include "ui/popups.h"

#include "platform/status.h"
#include "ui/box_control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"

namespace {

constexpr uint16_t kGeneratedIndex = 0xFFFF;

int32_t Centred(int32_t at, int32_t room, int32_t size) { return at == -1 ? (room - size) / 2 : at; }

}  // namespace

int32_t OpenPopup(ScreenManager& ui, Control* form, uint32_t flags, int32_t x, int32_t y, int32_t noFill,
                  const plat::Rect& frame) {
  if (!form || form->parent || !ui.rootForm) return plat::kFail;
  ControlInit init;
  init.kind = kKindBox;
  init.flags = flags & 0xFFu;
  init.frameStyle = noFill ? 1 : 0;
  init.left = frame.left;
  init.top = frame.top;
  init.width = frame.right - frame.left;
  init.height = frame.bottom - frame.top;
  auto* box = new BoxControl(init);
  box->index = kGeneratedIndex;
  box->owner = &g_screens.popupFrames;
  const int32_t width = form->rect.right - form->rect.left, height = form->rect.bottom - form->rect.top;
  RectMoveTo(&form->rect, Centred(x, init.width, width), Centred(y, init.height, height));
  ControlAddChild(box, form);
  ControlAddChild(ui.rootForm, box);
  return 0;
}

int32_t ClosePopupForm(ScreenManager&, Control* form, int32_t, int32_t) {
  if (!form) return 0;
  Control* frame = form->parent;
  if (!frame || frame->owner != &g_screens.popupFrames) return 0;
  form->Unlink();
  delete frame;
  return 0;
}
