#include "screens/military/operations/operations_screen.h"

#include <cmath>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/common/product_period.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/satellite_figures.h"
#include "screens/military/department/department_text.h"
#include "screens/military/department/military_figures.h"
#include "screens/military/department/military_screen.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/player_services.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/world.h"

namespace {

constexpr int32_t kOperationsDepartment = 2;
constexpr int32_t kInitiativeTop = 100;

// The bar's integer maximum: with a power curve the top must still read
// 100, so the maximum is its k-th root.
int32_t InitiativeMaximum(const SlideBarControl& bar) {
  if (bar.exponent == 0) return kInitiativeTop;
  return static_cast<int32_t>(std::pow(static_cast<double>(kInitiativeTop), 1.0 / bar.exponent));
}

}  // namespace

OperationsFigures LocalOperationsFigures() {
  plat::CriticalSectionLock lock(g_simulationLock);
  OperationsFigures f;
  const int32_t local = g_world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return f;
  const PlayerRecord& r = g_world.players[local];
  const MilitaryFigures m = MilitaryFiguresOf(r);
  f.militaryApproval = m.militaryApproval;
  f.alertLevel = m.alertLevel;
  f.defcon = m.defcon;
  f.governmentType = m.governmentType;
  const SatelliteView sat = ReadSatelliteView(g_world, local);
  for (int k = 0; k < 3; ++k) {
    f.satellites[k] = sat.inOrbit[k];
    f.satelliteAvailable[k] = SatelliteTypeAvailable(sat, k);
  }
  f.intelBaseCost = r.intelBaseCost;
  f.milspendintel = r.displayPolicy.milspendintel;
  f.milinitiativeoff = r.displayPolicy.milinitiativeoff;
  return f;
}

void FillOperationsPage(Control* form, const OperationsFigures& f, float periodDivisor) {
  if (!form) return;
  auto at = [form](const char* tag) { return Tag(form, tag); };
  if (Control* c = at("ANNDAYTEXT")) c->SetSelected(periodDivisor > 1.0f);
  // The alert's own figures read as the military page shows them.
  MilitaryFigures alert;
  alert.defcon = f.defcon;
  alert.governmentType = f.governmentType;
  alert.alertLevel = f.alertLevel;
  FillMilitarySummary(form, alert);
  SetFractionText(at("MILAPR"), f.militaryApproval);
  SetFractionText(at("INTEFF"), f.intelEfficiency);
  SetFractionText(at("CINTEFF"), f.counterIntelEfficiency);
  for (int k = 0; k < 3; ++k) {
    Control* c = FormFindControlById(form, kOperationsSatelliteIds[k]);
    if (!c) continue;
    if (f.satellites[k] == 0 && !f.satelliteAvailable[k]) {
      SetControlText(c, "N/A");
    } else {
      SetInt(c, f.satellites[k]);
    }
  }
  SetChargedMoney(at("SPENDING"), static_cast<double>(f.intelBaseCost * f.milspendintel / periodDivisor),
                  IsCharged(f.intelBaseCost));
  if (auto* bar = dynamic_cast<SlideBarControl*>(at("OFFSLDR"))) {
    SliderSetMaxInt(bar, InitiativeMaximum(*bar));
    SliderSetValueInt(bar, f.milinitiativeoff);
  }
  SetInt(at("OFFDESC"), f.milinitiativeoff);
}

int32_t OperationsScreen::AttachForm(Control*) {
  id = OpenChildPopup(*this, kOperationsDepartment);
  return 0;
}

void OperationsScreen::BindControls() { g_panelFlags[kOperationsDepartment] |= kPanelFlagMarked; }

void OperationsScreen::OnOpen() {
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = g_world.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers) RecalcPlayerTotals(g_world, g_world.players[local], 0);
  }
  ScreenSet& s = g_screens;
  OpenSidePanels(*s.operationsSidePanel, *s.militaryCostSide);
}

void OperationsScreen::Refresh() {
  OperationsFigures figures;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    figures = LocalOperationsFigures();
  }
  FillOperationsPage(currentForm, figures, ProductPeriodDivisor());
}

void OperationsScreen::OnCommand(Control* control, int32_t) {
  if (!control) return;
  // A toggle the click left released closes the docked panels and does
  // nothing else, whatever it is.
  if ((control->flags & kCtlRadio) && !(control->state & kStateSelected)) {
    PopPopupsTo(g_ui, 1);
    return;
  }
  ScreenSet& s = g_screens;
  Screen* panel = nullptr;
  if (Is(control, "DEFCONBUT")) {
    panel = s.defconPanel.get();
  } else if (Is(control, "INTELBUT")) {
    panel = &s.intelligencePanel;
  } else if (Is(control, "RULESBUT")) {
    panel = s.missionRules.get();
  } else if (Is(control, "MILOPS")) {
    panel = s.wmdTargeting.get();
  } else if (Is(control, "CABINET")) {
    s.cabinetPriorities.Show(0, nullptr);
    return;
  }
  if (panel) panel->Show(kKeepScreenId, nullptr);
}

void OperationsScreen::OnControlChange(Control* control, int32_t) {
  auto* bar = dynamic_cast<SlideBarControl*>(control);
  if (!bar || !Is(control, "OFFSLDR")) return;
  const int32_t v = SliderGetValueInt(bar);
  PostArgs(kCmdMilInitiativeOff, SettingArgs{.value = static_cast<uint32_t>(v)});
  PostArgs(kCmdMilInitiativeDef, SettingArgs{.value = static_cast<uint32_t>(v)});
  uint8_t now = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    now = LocalOperationsFigures().milinitiativeoff;
  }
  SetInt(Tag(currentForm, "OFFDESC"), now);
}
