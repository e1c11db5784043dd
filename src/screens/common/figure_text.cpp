#include "screens/common/figure_text.h"

#include "app/number_text.h"
#include "platform/fpenv.h"
#include "ui/control.h"

void SetPercentText(Control* control, float percent) {
  char text[32];
  plat::FormatText(text, sizeof text, "%3.0f %%", static_cast<double>(percent));
  ControlSetText(control, text);
}

void SetAmountText(Control* control, float value, int32_t currency, int32_t decimals) {
  char text[kNumberTextSize];
  FormatNumberText(text, currency, decimals, "", 0, "", 0, static_cast<double>(value));
  ControlSetText(control, text);
}
