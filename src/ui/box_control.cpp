#include "ui/box_control.h"

#include "ui/control_frame.h"
#include "ui/control_tree.h"
#include "ui/screen.h"

namespace {

// What the hosted screen is told when its form is shown in a host box; the
// second argument is the box's width.
constexpr int32_t kHostNotifyShownInBox = 99;

ControlInit AsBox(ControlInit init) {
  init.kind = kKindBox;
  return init;
}

}  // namespace

BoxControl::BoxControl(const ControlInit& init) : Control(AsBox(init)) {}

int32_t BoxControl::Draw(const plat::Rect*) {
  if (!ControlBeginDraw(this)) return 0;
  ControlDrawFrame(this);
  if ((flags & kCtlHost) && !firstChild && hostedScreen) {
    Screen* screen = hostedScreen;
    screen->hostMark = static_cast<unsigned char>(tag[0]);
    screen->Show(id, nullptr);
    screen->OnHostNotify(kHostNotifyShownInBox, rect.right - rect.left);
    if (screen->currentForm) ControlAddChild(this, ControlDeepClone(screen->currentForm));
  }
  return 0;
}
