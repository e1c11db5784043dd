#include "screens/economy/policy/domestic_policy_screen.h"

#include <cmath>

#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/frame/command_bars.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/slide_bar.h"
#include "world/local_player.h"
#include "world/world.h"

namespace {

// The department's summary in its place again: docked, its side panel and
// button bar open, refreshed.
void ReopenDepartment() {
  DomesticPolicyScreen& d = g_screens.policyScreen;
  ReopenScreen(d);
}

}  // namespace

int32_t DomesticPolicyScreen::AttachForm(Control*) {
  pageId = OpenChildPopup(*this, kDomesticPolicyPanel);
  return pageId;
}

void DomesticPolicyScreen::OnOpen() {
  RefreshPolicySidePanel();
  cabinetLink.Show(0, butParent);
}

void DomesticPolicyScreen::BindControls() {
  g_panelFlags[kDomesticPolicyPanel] |= kPanelFlagMarked;
  butParent = FormFindControlByTag(form, "BUTPARENT");
}

void DomesticPolicyScreen::OnCommand(Control* control, int32_t id) {
  if (Is(control, "ANNDAYBUT")) ProductPeriodPanel::OnCommand(control, id);
}

void DomesticPolicyScreen::Refresh() {
  for (const char* tag : {"ANNDAYBUT", "ANNDAYTEXT1", "ANNDAYTEXT2", "ANNDAYTEXT3"})
    Press(Tag(*this, tag), AmountsPerDay());
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  if (!r) return;
  const PlayerPolicyBlock& b = r->displayPolicy;
  const float divisor = AmountsDivisor();
  SetMoneyShort(Tag(*this, "SOCIALCOST"), SocialCost(*r, b) / divisor);
  SetMoneyShort(Tag(*this, "RECCOST"), RecommendedSocialCost(*r) / divisor);
  SetPercent(Tag(*this, "DAR"), "%3.0f %%", r->approval);
  // The rating the daily step moves towards the achieved level of the last
  // social service.
  SetPercent(Tag(*this, "CAR"), "%3.0f %%", r->gdpInput6);
  const float whole = std::floor(r->techLevel);
  SetFigure(Tag(*this, "TECHLEV"), whole);
  Control* migration = Tag(*this, "MIG");
  SetFigure(migration, std::floor(r->immigrationPerYear - r->emigrationPerYear));
  Press(migration, r->immigrationPerYear < r->emigrationPerYear);
  SetMoneyShort(Tag(*this, "SPENDAMNT"), ResearchSpending(*r, b) / divisor);
  SetPercent(Tag(*this, "REFF"), "%3.0f %%", r->researchEfficiency);
  if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(*this, "TECHSLDR"))) {
    SliderSetMaxFloat(bar, 1.0f);
    SliderSetPosition(bar, 0);
    SliderSetValueFloatNotify(bar, r->techLevel - whole);
  }
}

void DomesticPolicyCabinetLink::OnCommand(Control* control, int32_t id) {
  const Control* mapHost = g_screens.mapScreen.host;
  if (currentForm && mapHost && currentForm->parent == mapHost) ReopenDepartment();
  if (ReleasedGroupButton(control)) {
    PopPopupsTo(g_ui, 1);
    return;
  }
  DomesticPolicyScreen& d = g_screens.policyScreen;
  if (Is(control, "CABINET")) {
    g_screens.cabinetPriorities.Show(kDomesticCabinetPost, nullptr);
    return;
  }
  switch (id) {
    case 2: d.migration.Show(kKeepScreenId, nullptr); break;
    case 3: d.facilityList.Show(kKeepScreenId, nullptr); break;
    case 4: g_screens.researchFunding.Show(kKeepScreenId, nullptr); break;
    case 5: d.investment.Show(kKeepScreenId, nullptr); break;
    default: break;
  }
}
