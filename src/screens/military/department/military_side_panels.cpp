#include "screens/military/department/military_side_panels.h"

#include <algorithm>

#include "records/player_policy.h"
#include "screens/common/frame/side_panel.h"
#include "screens/military/department/department_text.h"
#include "screens/military/department/military_figures.h"
#include "screens/screen_set.h"
#include "sim/player_services.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/world.h"

namespace {

constexpr float kDaysPerYear = 365.0f;
constexpr int kSalaryFactor = 0;
// The missile kinds shown: nuclear, chemical and conventional (kind 1 is
// never shown).
constexpr int kShownMissileKinds[] = {0, 2, 3};
constexpr const char* kUnitTags[] = {"LAND", "AIR", "SEA", "SUB"};
constexpr const char* kReserveTags[] = {"LANDRES", "AIRRES", "SEARES", "SUBRES"};
constexpr const char* kMissileReserveTags[] = {"NUKERES", "CHEMRES", "CONVRES"};
constexpr const char* kMissileTags[] = {"NUKE", "CHEM", "CONV"};

}  // namespace

void FillMilitaryCapacity(Control* form, const MilitaryFigures& f, bool withUsed) {
  auto at = [form](const char* tag) { return Tag(form, tag); };
  SetPressed(at("AUTOBUILD"), (f.militaryFlags & kMilitaryUnitAutoBuild) != 0);
  SetPressed(at("AUTOBUILD2"), (f.militaryFlags & kMilitaryMissileAutoBuild) != 0);
  SetInt(at("PRODCAPMAX"), f.productionCapacity);
  if (withUsed) {
    const int32_t used = f.productionCapacityUsed[0] + f.productionCapacityUsed[1] + f.productionCapacityUsed[2];
    SetInt(at("PRODCAPUSED"), used);
  }
  for (int k = 0; k < 4; ++k) SetFigure(at(kUnitTags[k]), f.unitCounts[k]);
  for (int k = 0; k < 4; ++k) SetFigure(at(kReserveTags[k]), f.reserveUnitCounts[k]);
  SetInt(at("MISMAX"), f.militaryCapacity);
  if (withUsed) SetInt(at("MISUSED"), f.militaryCapacityUsed);
  for (int k = 0; k < 3; ++k) SetFigure(at(kMissileReserveTags[k]), f.missileReserveCounts[kShownMissileKinds[k]]);
  for (int k = 0; k < 3; ++k) SetFigure(at(kMissileTags[k]), f.missileCounts[kShownMissileKinds[k]]);
}

void FillMilitaryCosts(Control* form, const MilitaryFigures& f) {
  auto at = [form](const char* tag) { return Tag(form, tag); };
  // The research level paid for is capped by the root of the research
  // maximum.
  const float level = std::min(f.milspendresearch, f.researchLevelCap);
  const float salaries = GovernmentFactor(f.governmentType, kSalaryFactor) * f.salaryBaseCost * f.milspendsalary;
  const float intelligence = f.intelBaseCost * f.milspendintel;
  const float maintenance = f.maintenanceBaseCost * f.milspendmaint;
  const float research = f.researchBaseCost * level;
  const float preparation = f.readinessValue;
  // Lines whose base cost nothing sets are charged nothing: they give way.
  SetChargedMoney(at("COSTSAL"), salaries, IsCharged(f.salaryBaseCost));
  SetChargedMoney(at("COSTNEWEQ"), intelligence, IsCharged(f.intelBaseCost));
  SetChargedMoney(at("COSTMAIN"), maintenance, IsCharged(f.maintenanceBaseCost));
  SetMoneyShort(at("COSTRES"), research);
  SetMoneyShort(at("COSTPREP"), preparation);
  SetMoneyShort(at("COSTTRAIN"), f.trainingCostDaily * kDaysPerYear);
  SetMoneyShort(at("COSTBUILD"), f.buildCostDaily * kDaysPerYear);
  SetMoneyShort(at("COSTTOTAL"), salaries + intelligence + maintenance + research + preparation);
  SetHidden(at("SHORTBOX"), !(f.militaryShortageDaily > 0.0f));
  SetMoneyShort(at("SHORTAGE"), f.militaryShortageDaily * kDaysPerYear);
}

namespace {

class MilitaryCapacitySidePanel : public SidePanel {
 public:
  MilitaryCapacitySidePanel()
      : SidePanel("MILITARY2", FormLookups{.tags = kMilitaryCapacityTags, .ids = {}}, kPanelTop) {}
  void BindControls() override { MarkScreenFlag1(*this); }
  void Fill() override { FillMilitaryCapacity(currentForm, LockedLocalMilitaryFigures(), false); }
};

class MilitaryCostSidePanel : public SidePanel {
 public:
  MilitaryCostSidePanel() : SidePanel("MILITARY3", FormLookups{.tags = kMilitaryCostTags, .ids = {}}, kPanelBottom) {}
  void Fill() override { FillMilitaryCosts(currentForm, LockedLocalMilitaryFigures()); }
};

}  // namespace

std::unique_ptr<Screen> MakeMilitaryCapacitySidePanel() { return std::make_unique<MilitaryCapacitySidePanel>(); }

std::unique_ptr<Screen> MakeMilitaryCostSidePanel() { return std::make_unique<MilitaryCostSidePanel>(); }
