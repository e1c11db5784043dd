#include "screens/common/product_period.h"

#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "world/text/ui_options.h"

namespace {

constexpr float kDaysInYear = 365.0f;

}  // namespace

void SetProductPeriod(bool pressed) {
  g_uiOptions.dayannual = pressed ? 1 : 0;
  g_screens.productScreen.graphTimeScale = pressed ? kDaysInYear : 1.0f;
  RedrawGameRoot(g_screens);
  RefreshDockedPanels(g_screens, 0);
}

float ProductPeriodDivisor() { return g_screens.productScreen.graphTimeScale; }

void ProductPeriodPanel::OnCommand(Control* control, int32_t) {
  SetProductPeriod(control && control->Selected());
  Refresh();
}
