#include "screens/common/units/strength_rows.h"

#include "screens/common/frame/map_view_state.h"
#include "ui/control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"

void FlipStrengthRowsOnCommand(int32_t id) {
  if (id < 900 || id > 999) return;
  g_uiOptions.buishowspecsliders = g_uiOptions.buishowspecsliders == 0 ? 1 : 0;
  g_mapView.redrawPending = 1;
}

void ApplySpecView(Control* slider, Control* text, Control* hint) {
  const bool bars = g_uiOptions.buishowspecsliders != 0;
  SetHidden(slider, !bars);
  SetHidden(text, bars);
  if (!hint) return;
  const char* shown = text && IsStringKind(text) ? static_cast<StringControl*>(text)->GetText() : "";
  SetControlText(hint, bars && shown ? shown : "");
}

void ShowNumbersOrBars(Control* form) {
  for (int32_t t = 230; t <= 254; ++t)
    if (Control* text = Id(form, t)) ApplySpecView(Id(form, t - 100), text, Id(form, t + 700));
}
