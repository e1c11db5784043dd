#include "screens/military/department/department_text.h"

#include "platform/fpenv.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/string_control.h"

void SetFractionText(Control* control, float fraction) {
  if (!control) return;
  char text[48];
  plat::FormatText(text, sizeof text, "%3.0f %%", static_cast<double>(fraction) * 100.0);
  SetControlText(control, text);
}

void SetPressed(Control* control, bool on) {
  if (!control) return;
  const uint32_t state = on ? control->state | kStateSelected : control->state & ~kStateSelected;
  if (state == control->state) return;
  control->state = state;
  control->Invalidate();
}
