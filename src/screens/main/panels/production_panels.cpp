#include "screens/main/panels/production_panels.h"

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/hex_cell_lookup.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/data_tables.h"
#include "world/record_helpers.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// Row flags of the panels' lists.
// The facility kind of a silo base.
constexpr uint8_t kSiloKind = 2;

uint32_t SelectedHex() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexPosition& hex = g_world.gameState.currentHex;
  return PackHex(hex.x, hex.y);
}

// The selected hex's facility, when one is there. Call under the lock.
const UnitRecord* SelectedFacility() {
  plat::CriticalSectionLock lock(g_simulationLock);
  return GetActiveObject(SelectedCell(g_world), false);
}

}  // namespace

int32_t AutoProductionBranch(const UnitClassRecord* cls) {
  if (!cls || cls->baseKind != 0) return 0;
  if (cls->flags & kClassHaven) return 2;
  if (cls->flags & kClassAirBase) return 1;
  return 0;
}

int32_t ProductionEventMode(intptr_t panelId, const UnitClassRecord* cls) {
  if (panelId != 0) return static_cast<int32_t>(panelId);
  const bool siloBase = cls && !(cls->flags & kClassExcludedKinds) && (cls->flags & kClassSettlement) &&
                        cls->baseKind == kSiloKind;
  return siloBase ? kProductionSiloBase : 0;
}

AutoProductionPanel::AutoProductionPanel() : Screen("MAP1_ss6d", FormLookups{.tags = kAutoProductionTags, .ids = {}}) {}

void AutoProductionPanel::BindControls() {
  BindDockedBuildList(*this, list, buildList, statParent);
}

void AutoProductionPanel::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* f = currentForm;
  OpenDockedBuildList(f, list, 0, SelectedCell(g_world));
  bool computerBuilds = false, present = false, barred = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitRecord* facility = SelectedFacility();
    branch = AutoProductionBranch(facility ? ClassRecordAt(w, facility->classIndex) : nullptr);
    list.category = branch;
    const int32_t local = w.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers)
      computerBuilds = (w.players[local].displayPolicy.militaryFlags & kMilitaryUnitAutoBuild) != 0;
    present = facility != nullptr;
    barred = facility && (facility->ordersShown[kStateFlags] & kStateDeployDue);
  }
  SetHidden(Tag(f, "HIDEAUTO"), !computerBuilds);
  if (present) SetControlFlag(Tag(f, "ALLOWAUTO"), kStateSelected, barred ? 0 : 1);
  ScreenSlotSelectMapMode(g_screens);
}

void AutoProductionPanel::Refresh() { FillBuildList(currentForm, list, 0, 0); }

void AutoProductionPanel::OnCommand(Control* control, int32_t controlId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  if (ControlTagMatches(control->tag, "ALLOWAUTO")) {
    PostArgs(kCmdHexStack299, HexValueArgs{.hex = SelectedHex(), .value = control->Selected() ? 0u : 1u});
    return;
  }
  const int32_t value = control == buildList ? static_cast<int32_t>(buildList->selectedValue) : controlId;
  OnBuildListCommand(currentForm, list, SelectedCell(g_world), control, value, &g_screens.mapScreen.base, nullptr);
}

void AutoProductionPanel::OnControlChange(Control* control, int32_t) {
  const intptr_t value = control && control == buildList ? buildList->selectedValue : 0;
  OnBuildListChange(control, currentForm, list, value,
                    BuildListChange{.details = &g_screens.militaryClass[0], .detailsParent = statParent});
}

void AutoProductionPanel::OnActivate(Control* control, int32_t) {
  if (!control || control != buildList) return;
  if (const intptr_t item = buildList->selectedValue; item != 0)
    g_screens.unitBuild.Popup(item, &BuildListClasses());
}

BaseProductionPanel::BaseProductionPanel() : Screen("MAP1_ss6f", FormLookups{.tags = kBaseProductionTags, .ids = {}}) {}

void BaseProductionPanel::BindControls() {
  DockInSecondBotbar2(*this);
  queList = MakeListBox("QUELIST", 0, currentForm, kListIndicators, this);
  prodList = MakeListBox("PRODLIST", 0, currentForm, kListIndicators, this);
  // Rows of both lists are picked one by one, not as one radio group.
  for (ListBoxControl* list : {queList, prodList})
    if (list) list->flags &= ~kCtlRadio;
}

void BaseProductionPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void BaseProductionPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const auto refresh = g_productionListLinks.refreshBaseProduction;
  if (!refresh) return;
  if (id == 0) {
    refresh(currentForm, SelectedCell(g_world), kProductionSelectedBase, &listA, &listB);
  } else {
    refresh(currentForm, nullptr, kProductionNoBase, &listA, &listB);
  }
}

void BaseProductionPanel::OnCommand(Control* control, int32_t controlId) {
  if (g_productionListLinks.onCommand) g_productionListLinks.onCommand(currentForm, control, controlId);
}

void BaseProductionPanel::OnControlChange(Control* control, int32_t) {
  if (g_productionListLinks.onChange) g_productionListLinks.onChange(currentForm, control);
}

void BaseProductionPanel::OnActivate(Control* control, int32_t controlId) {
  int32_t mode = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* facility = SelectedFacility();
    mode = ProductionEventMode(id, facility ? ClassRecordAt(g_world, facility->classIndex) : nullptr);
  }
  if (const auto onEvent = g_productionListLinks.onEvent)
    onEvent(currentForm, control, controlId, &listA, &listB, mode);
}
