#include "screens/main/panels/settlement_panel.h"

#include "platform/threads.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_set.h"
#include "sim/daily/elimination.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "world/relation_fields.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "screens/docked_panels.h"
#include "ui/screen_manager.h"
#include "world/local_player.h"
#include "world/hex_extra.h"
#include "world/scenario_settings.h"
#include "world/text/text_lists.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// A map label's link-state bytes: a link in either direction (bits 4 and
// 5), broken when bit 3 is set as well.
constexpr uint8_t kLinkBits = 0x30;
constexpr uint8_t kLinkBroken = 0x08;

uint32_t PackedCapital(const PlayerPolicyBlock& block) {
  const CapitalPosition c = CapitalHex(block);
  return static_cast<uint16_t>(c.x) | static_cast<uint32_t>(static_cast<uint16_t>(c.y)) << 16;
}

}  // namespace

SettlementPanel::SettlementPanel() : Screen("MAP1_ss1b", FormLookups{.tags = kSettlementTags, .ids = kSettlementIds}) {
  outputPage.confirm = &outputConfirm;
  outputPage.cancel = &outputCancel;
  outputConfirm.hostScreen = this;
  outputCancel.hostScreen = this;
}

void SettlementPanel::BindControls() {
  DockInBotbar2(*this);
  subParent1 = FormFindControlByTag(currentForm, "SUBPARENT1");
  subParent2 = FormFindControlByTag(currentForm, "SUBPARENT2");
  subParent3 = FormFindControlByTag(currentForm, "SUBPARENT3");
  actions = FormFindControlById(currentForm, kSettlementActionsId);
}

void SettlementPanel::OnOpen() {
  outputPage.Show(kKeepScreenId, subParent3);
  ScreenSlotResetMapMode(g_screens);
}

void SettlementPanel::Refresh() {
  Control* f = currentForm;
  if (!f) return;
  auto tagged = [f](const char* tag) { return FormFindControlByTag(f, tag); };
  SettlementView v;
  int32_t status = 1;
  uint32_t pending = 0, capital = 0, ownerCapital = 0;
  uint8_t links[2] = {};
  bool noCapitalMove = false, noBase = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    v = ViewSelectedHex(w);
    status = SettlementStatus(w, v);
    if (const PlayerRecord* local = LocalPlayer(w)) {
      pending = TargetHex(local->displayPolicy);
      capital = PackedCapital(local->displayPolicy);
    }
    if (v.cell) {
      ownerCapital = PackedCapital(w.players[CellOwner(v.cell->word)].displayPolicy);
      if (const HexUnitStack* s = LoadHexStack(*v.cell); s && s->extra) {
        links[0] = s->extra->pairA[0];
        links[1] = s->extra->pairA[1];
      }
    }
    noCapitalMove = (w.scenario.head.gameFlags & kGameFlagNoCapitalMove) != 0;
    noBase = v.cls && (v.cls->flags & kClassSettlement) && v.cls->baseRoom == 0.0f;
  }
  const uint32_t flags = v.cls ? v.cls->flags : 0;
  const bool town = (flags & kClassSettlementPopulation) != 0;
  const bool linear = (flags & kClassRoad) != 0;
  SetHidden(subParent1, false);

  if (!(flags & kClassProduction)) {
    if (v.underConstruction) {
      constructionPage.Show(kKeepScreenId, subParent2);
    } else {
      conditionPage.Show(kKeepScreenId, subParent2);
    }
    upgradePage.Show(kKeepScreenId, subParent1);
    if (town) populationPage.Show(kKeepScreenId, subParent2);
    SetControlFlag(tagged("HEADER"), kStateSelected, 1);
  } else {
    upgradePage.Show(kKeepScreenId, subParent1);
    if (v.underConstruction) {
      constructionPage.Show(kKeepScreenId, subParent2);
    } else {
      facilityOutputPage.Show(kKeepScreenId, subParent2);
    }
    SetControlFlag(tagged("HEADER"), kStateSelected, 0);
  }
  outputPage.Refresh();

  const bool foreignOrLinear = !v.ownHex || (linear && !town);
  SetHidden(tagged("REPAIRBUT"), !v.ownHex || town || linear);
  const bool noDetails = foreignOrLinear || noBase;
  for (const char* tag : {"BASEDETAILS", "INDPIC", "HIDE1", "HIDE2"}) SetHidden(tagged(tag), noDetails);
  if (!noDetails && v.cls) DrawUnitClassIcon(v.classIndex, nullptr, v.cls, tagged("INDPIC"), true, -1);
  SetHidden(actions, foreignOrLinear);
  SetHidden(subParent3, foreignOrLinear);

  Control* note = tagged("NOTE");
  ControlSetText(note, TextListEntry(g_textLists, kListUgstatus, status));
  SetControlFlag(note, kStateSelected, v.underConstruction && v.repairOrdered);
  SetControlFlag(tagged("REPAIRBUT"), kStateSelected, v.repairOrdered);

  for (const char* tag : {"CAPITOL", "GRIDCAP1", "GRIDCAP2"}) SetHidden(tagged(tag), true);
  SetHidden(subParent3, true);
  if (town) {
    if (v.packed == pending) {
      if (pending == capital) {
        ControlSetText(note, "CAPITAL");
      } else {
        ControlSetText(note, "Pending Capital");
        SetHidden(tagged("CAPITOL"), false);
        SetHidden(tagged("GRIDCAP1"), false);
      }
    } else if (v.packed == capital) {
      ControlSetText(note, " Previous Capital");
      SetHidden(tagged("CAPITOL"), false);
      SetHidden(tagged("GRIDCAP1"), false);
    } else {
      if (v.ownHex) {
        SetHidden(tagged("CAPITOL"), false);
        SetHidden(tagged("GRIDCAP2"), !noCapitalMove);
      }
      ControlSetText(note, v.packed == ownerCapital ? "Regional Capital" : "");
    }
    SetHidden(actions, true);
    if (v.ownHex) {
      SetHidden(subParent3, false);
      cityOutputPage.Show(kKeepScreenId, subParent3);
    }
  } else if ((flags & kClassProduction) && v.ownHex) {
    SetHidden(subParent3, false);
  }

  const bool linked = ((links[0] | links[1]) & kLinkBits) != 0;
  const bool broken = (((links[0] & kLinkBits) && (links[0] & kLinkBroken)) ||
                       ((links[1] & kLinkBits) && (links[1] & kLinkBroken)));
  SetHidden(tagged("DESTRANSP"), !(v.ownHex && linked && !broken));
  SetHidden(tagged("REPTRANSP"), !(v.ownHex && linked && broken));
}

void SettlementPanel::OnCommand(Control* control, int32_t commandId) {
  if (!control) return;
  if (ControlTagMatches(control->tag, "HEADER")) {
    if (!control->Selected()) PopPopupsTo(g_ui, 1);
    return;
  }
  uint32_t hex = 0;
  bool ownHex = false;
  const HexCell* cell = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const SettlementView v = ViewSelectedHex(g_world);
    hex = v.packed;
    ownHex = v.ownHex;
    cell = v.cell;
  }
  if (ControlTagMatches(control->tag, "BASEDETAILS")) {
    if (ownHex) OpenObjectPopup(g_screens, cell, 0);
  } else if (ControlTagMatches(control->tag, "REPAIRBUT")) {
    PostArgs(kCmdHexStack294, HexValueArgs{.hex = hex, .value = control->Selected() ? 0u : 1u});
  } else if (commandId == kSettlementActionsId) {
    g_screens.mapScreen.facilityActions.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "CAPITOL")) {
    PostArgs(kCmdRelationSet298, HexArgs{.hex = hex});
  } else if (ControlTagMatches(control->tag, "NAMEBUT")) {
    g_screens.nameHex->Popup(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "DESTRANSP")) {
    PostArgs(kCmdHexStack295, HexArgs{.hex = hex});
  } else if (ControlTagMatches(control->tag, "REPTRANSP")) {
    PostArgs(kCmdHexStack296, HexArgs{.hex = hex});
  }
}
