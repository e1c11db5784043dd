#include "screens/main/command_bars.h"

#include "ui/control.h"
#include "ui/control_tree.h"

void UpdatePopupButton(CmdBar3& bar, int32_t panelDepth) {
  Control* button = bar.currentForm ? FormFindControlByTag(bar.currentForm, "POPUP") : nullptr;
  if (button) SetControlFlag(button, kStateSelected, panelDepth > 0 ? 1 : 0);
}
