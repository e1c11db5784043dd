#include "screens/main/popups/combat_odds_popup.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "app/game_math.h"
#include "platform/fpenv.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/full_side_panel.h"
#include "screens/common/region_row.h"
#include "screens/common/units/combat_odds.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "units/combat/unit_attack.h"
#include "units/combat/unit_fire.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/text/editor_bar_readouts.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "records/unit_table_arrays.h"
#include "world/world.h"

namespace {

// The defenders are the units at war with the local player.
constexpr uint32_t kEnemyRelation = 8;

}  // namespace

// It takes the whole side-panel box of the side screens column.
int32_t CombatOddsPopup::AttachForm(Control*) { return AttachFullSidePanel(*this); }

void CombatOddsPopup::BindControls() {
  attackers = MakeListBox("OLIST", 0, currentForm, kListIndicators, this);
  defenders = MakeListBox("DLIST", 0, currentForm, kListIndicators, this);
  MarkScreenFlag1(*this);
  attackSide = FormFindControlByTag(currentForm, "OPAR");
  attackFactors = FormFindControlByTag(currentForm, "OPAR2");
  defenceSide = FormFindControlByTag(currentForm, "DPAR");
  defenceFactors = FormFindControlByTag(currentForm, "DPAR2");
}

void CombatOddsPopup::Refresh() {
  if (!g_uiOptions.sidescreens || !currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  World& world = g_world;
  const uint32_t target = CombatTargetHex(world, g_screens);
  CollectHexStackUnits(world, target, world.gameState.localPlayer, kEnemyRelation);
  FillCombatOdds(currentForm, target);
}

void CombatOddsPopup::ShowUnitOf(ListBoxControl* list, int32_t rowId) {
  if (!list || rowId == 0) return;
  ScreenParameterList pages;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& world = g_world;
    const ListHolder& units = list == attackers ? g_screens.SelectionList() : HexStackList();
    for (const ListItem28* item = FirstInHolder(units); item; item = NextInHolder(units, item))
      if (const UnitRecord* unit = RefUnit(world, *item)) pages.entries.push_back(static_cast<intptr_t>(unit->id));
  }
  g_screens.unitDetail.Popup(static_cast<intptr_t>(static_cast<uint32_t>(rowId)), &pages);
}

void CombatOddsPopup::OnCommand(Control* control, int32_t) {
  if (!control) return;
  ListBoxControl* list = nullptr;
  if (ControlTagMatches(control->tag, "OINF")) {
    list = attackers;
  } else if (ControlTagMatches(control->tag, "DINF")) {
    list = defenders;
  } else {
    return;
  }
  // With no row chosen Info shows the side's first unit, the one the list
  // leads with, rather than nothing.
  const Control* row = list ? ListNextSelected(list, nullptr) : nullptr;
  if (!row && list) row = ListNextRow(list, nullptr);
  if (row) ShowUnitOf(list, row->id);
}

void CombatOddsPopup::OnActivate(Control* control, int32_t id) {
  if (control && (control == attackers || control == defenders)) ShowUnitOf(static_cast<ListBoxControl*>(control), id);
}
