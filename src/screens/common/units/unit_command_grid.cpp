#include "screens/common/units/unit_command_grid.h"

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/unit_deploy.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// A class the game keeps for units that may not be ordered about.
constexpr int16_t kInactiveClass = 99;

UnitRecord* GridUnit(uint32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  UnitRecord* u = id != 0 ? FindUnitById(g_world, id) : nullptr;
  return u && u->classIndex != 0 ? u : nullptr;
}

bool Active(const UnitRecord& u) {
  return !(u.unitFlags & kUnitGone) && u.classIndex != 0 && !(u.ordersShown[kPostureBits] & 1u);
}

Screen* SubPanel(ScreenSet& s, int32_t id) {
  switch (id) {
    case 101: return s.unitBenefit.get();
    case 102: return s.carriedUnitNotice.get();
    case 103: return s.unitSplitConfirm.get();
    case 104: return s.unitEngagement.get();
    case 105: return &s.unitCargo;
    case 106: return &s.unitRefit;
    case 107: return s.unitRecover.get();
    case 108: return &s.unitTransfer;
    case 113: return &s.unitCargoLoad;
    default: return nullptr;
  }
}

void RefreshOwner(Control* form) {
  if (form && form->owner) form->owner->Refresh();
  g_mapView.redrawPending = 1;
}

}  // namespace

void UpdateUnitCommandGrid(Control* form, uint32_t unitId) {
  if (!form) return;
  for (const char* tag : {"GRIDDEPLOY", "GRIDINACT", "GRIDSPLIT1", "GRIDTIP"}) StyleOverlay(Tag(form, tag));
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = GridUnit(unitId);
  const UnitClassRecord* k = u ? ClassRecordAt(g_world, u->classIndex) : nullptr;
  if (!u || !k) return;
  const bool active = Active(*u);
  SetHidden(Id(form, 102), u->carrier == 0);
  SetHidden(Id(form, 105), k->cargoSlots == 0);
  SetHidden(Id(form, 108), !active);
  SetHidden(Id(form, 110), active);
  SetHidden(Tag(form, "GRIDDEPLOY"), true);
  SetHidden(Tag(form, "GRIDINACT"), true);
  const int32_t local = g_world.gameState.localPlayer;
  const float reserve = local >= 0 && local < kMaxPlayers ? g_world.players[local].soldiers : 0.0f;
  if (!active && reserve < static_cast<float>(k->valuePerPoint) * u->strength)
    SetHidden(Tag(form, "GRIDDEPLOY"), false);
  if (u->classIndex == kInactiveClass) SetHidden(Tag(form, "GRIDINACT"), false);
  SetHidden(Id(form, 111), u->ordersShown[kOrderId] == 0);
  const bool splits = active && k->strengthPerSize != 1;
  SetHidden(Id(form, 103), !splits);
  SetHidden(Tag(form, "GRIDSPLIT1"),
            splits && u->strength > 5.0f && u->strength > static_cast<float>(k->strengthPerSize) / 2.0f);
  SetHidden(Tag(form, "GRIDTIP"), !(u->ordersShown[kOrderMask] & kMaskTraining));
  SetHidden(Id(form, 113), u->carrier != 0 || u->moveKind >= 2);
  SetHidden(Id(form, 106), true);
}

bool OnUnitCommandGrid(Control* form, Control* control, int32_t id, uint32_t unitId, Control* host, Screen* reset) {
  ScreenSet& s = g_screens;
  if (!control) return false;
  if ((control->flags & kCtlRadio) && !(control->state & kStateSelected)) {
    s.unitCommands.Show(kKeepScreenId, nullptr);
    return true;
  }
  if (Screen* panel = SubPanel(s, id)) {
    if (reset && id != 113) reset->Show(kKeepScreenId, nullptr);
    panel->Show(unitId, host);
    return true;
  }
  if (id == 110) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (UnitRecord* u = GridUnit(unitId)) PlaceUnitOnMap(g_world, *u);
    }
    RefreshOwner(form);
    return true;
  }
  if (id == 111) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (const UnitRecord* u = GridUnit(unitId)) {
        PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = u->id});
        if (u->kind == 1 && Active(*u) && u->carrier == 0)
          PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = u->id, .flags = 2, .mask = 0});
      }
    }
    RefreshOwner(form);
    return true;
  }
  return false;
}

bool OnUnitCommandGrid(Control* form, Control* control) {
  const intptr_t unit = form && form->owner ? form->owner->id : 0;
  return OnUnitCommandGrid(form, control, control ? control->id : 0, unit > 0 ? static_cast<uint32_t>(unit) : 0u,
                           nullptr, nullptr);
}

void CloseGridSubPanel(Screen& panel, bool confirmed) {
  Screen* owner = panel.host ? panel.host->owner : nullptr;
  if (owner) {
    owner->OnOpen();
    owner->Refresh();
  }
  // The map's unit tab is itself the dock's third level: its grid is what
  // closing goes back to, so that level stays open.
  Control* third = DockHost(g_screens, 3);
  const bool ownerIsThirdLevel = owner && owner->currentForm && third && owner->currentForm->parent == third;
  if (g_ui.panelDepth == 3 && !ownerIsThirdLevel) SetPanelDepth(2, 1, g_mapView);
  UpdatePopupButton(g_screens.mailBar);
  if (confirmed) RefreshDockedPanels(g_screens);
}

void GridSubPanel::OnCommand(Control* control, int32_t) {
  if (control && ControlTagMatches(control->tag, "BACK")) CloseGridSubPanel(*this, false);
}

void UnitCommandPanel::OnOpen() {
  if (Control* first = Id(currentForm, 104)) ControlClearSelection(first, 0);
  if (!embeddedIn_) g_screens.emptyUnitDetail.Show(kKeepScreenId, nullptr);
}

void UnitCommandPanel::Refresh() {
  unit = id > 0 ? static_cast<uint32_t>(id) : 0u;
  UpdateUnitCommandGrid(currentForm, unit);
}

void UnitCommandPanel::OnCommand(Control* control, int32_t controlId) {
  if (embeddedIn_) {
    embeddedIn_->OnCommand(control, controlId);
    return;
  }
  OnUnitCommandGrid(currentForm, control, controlId, unit, nullptr, nullptr);
}
