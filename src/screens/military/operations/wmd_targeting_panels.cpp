#include "screens/military/operations/wmd_targeting_panels.h"

#include <string>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/player_relations.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/region_row.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/units/class_icon.h"
#include "screens/military/department/department_text.h"
#include "screens/military/operations/intelligence_panel.h"
#include "screens/screen_set.h"
#include "sim/daily/elimination.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/player_list_rows.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "units/hex_geometry.h"
#include "units/unit_texts.h"
#include "world/hex_extra.h"
#include "world/object_hex.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int32_t kWeaponKinds = 4;
constexpr int32_t kConventionalLine = 665;
constexpr int32_t kNuclearLine = 666;
constexpr int32_t kChemicalLine = 667;
constexpr const char* kKindButtons[kWeaponKinds] = {"CONVTARG", "CHEMTARG", "LNUKETARG", "HNUKETARG"};
constexpr const char* kRegionButtons[] = {"OFFOPS", "INTELBUT", "REVIEW"};

bool TakesPartHere(const PlayerRecord& r) { return r.kind != kKindEmpty && r.kind != kKindOut; }

uint32_t PackedHexOf(const World& world, int32_t cell) {
  const int32_t width = MapShape(world).width;
  if (width <= 0 || cell < 0) return 0;
  return static_cast<uint32_t>(cell % width) | (static_cast<uint32_t>(cell / width) << 16);
}

}  // namespace

// Rebuilds a list of target rows, keeping the pick and the scroll position.
// Emptying it tells its owner that nothing is picked; the kept pick is told
// again when it is still listed.
void FillTargetRows(ListBoxControl* list, const std::vector<int32_t>& cells) {
  if (!list) return;
  const int32_t kept = list->selectedId;
  const int32_t scroll = list->scrollOffset;
  ListClear(list, 0);
  for (int32_t cell : cells) ListAddIconItem(list, g_screens.wmdTargetInfoFill.get(), 0, 0, TargetRowId(cell), 0, 0, 1);
  list->scrollOffset = scroll;
  ListLayoutRows(list);
  ListSetSelection(0, list, kept, 0);
}

int32_t CapitalCell(const World& world, const PlayerRecord& region) {
  const CapitalPosition at = CapitalHex(region.simPolicy);
  if (at.x == 0 && at.y == 0) return -1;
  const HexMapShape map = MapShape(world);
  if (map.width <= 0 || at.y < 0 || at.y >= map.height) return -1;
  const int64_t cell = static_cast<int64_t>(at.y) * map.width + WrapX(at.x, map.width);
  // A damaged save may hold a row the cells do not reach.
  if (cell >= static_cast<int64_t>(world.cells.size())) return -1;
  return static_cast<int32_t>(cell);
}

std::vector<int32_t> WmdTargetCells(const World& world, const PlayerRecord& viewer) {
  std::vector<int32_t> cells;
  const int32_t highest = world.gameState.highestPlayer < kMaxPlayers ? world.gameState.highestPlayer : kMaxPlayers - 1;
  for (int p = 1; p <= highest; ++p) {
    const PlayerRecord& r = world.players[p];
    if (!TakesPartHere(r) || RelationClassOf(viewer, 0, p) != kRelationHostile) continue;
    const int32_t cell = CapitalCell(world, r);
    if (cell >= 0) cells.push_back(cell);
  }
  return cells;
}

void CentreOnCell(int32_t cell) {
  uint32_t packed = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (cell < 0 || cell >= static_cast<int32_t>(g_world.cells.size())) return;
    packed = PackedHexOf(g_world, cell);
    SetObjectHex(g_world, static_cast<int16_t>(packed & 0xFFFFu), static_cast<int32_t>(packed >> 16),
                 g_world.gameState.viewHex);
  }
  if (g_ui.mapView) CentreMapOnHex(*g_ui.mapView, packed);
}

void FillTargetInfo(Control* form, const World& world, int32_t viewer, int32_t cell) {
  if (!form || cell < 0 || cell >= static_cast<int32_t>(world.cells.size())) return;
  const HexCell& hex = world.cells[static_cast<size_t>(cell)];
  const int owner = CellOwner(hex.word);
  const HexUnitStack* stack = LoadHexStack(hex);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  // A foreign facility not yet made out shows as land.
  const bool facility = lead && !(lead->unitFlags & kUnitGone) && lead->classIndex != 0 &&
                        (owner == viewer || !(lead->unitFlags & kUnitProvisional));
  Control* picture = Tag(form, "INDPIC");
  SetHidden(picture, !facility);
  SetHidden(Tag(form, "LANDPIC"), facility);
  if (facility && picture) DrawUnitClassIcon(lead->classIndex, nullptr, nullptr, picture, true, -1);
  FillRegionRow(Tag(form, "FLAG"), nullptr, owner);
  SetControlText(Tag(form, "LOCATION"), HexPositionText(world, PackedHexOf(world, cell)).c_str());
}

namespace {

class WmdTargetingPanel : public Screen {
 public:
  WmdTargetingPanel() : Screen("OPS1_SS4", FormLookups{.tags = kWmdTargetingTags, .ids = {}}) {}
  void BindControls() override {
    DockInBotbar2(*this);
    list = MakeListBox("REGIONLIST", 0, currentForm, kListIndicators, this);
  }
  void OnOpen() override {
    if (Control* offensive = Tag(currentForm, "OFFOPS")) ControlClearSelection(offensive, 0);
    ClearRegionChoice(list);
    ScreenSlotResetMapMode(g_screens);
  }
  void Refresh() override {
    FillIntelligenceRegions(list);
    SetHidden(Tag(currentForm, "PRETARG"), false);
    // No stock of pre-targeted weapons is kept.
    for (const char* tag : {"CONV", "CHEM", "LNUKE", "HNUKE"}) SetInt(Tag(currentForm, tag), 0);
  }
  void OnCommand(Control* control, int32_t id) override {
    if (!control || ClosedByReleasedRadio(control)) return;
    ScreenSet& s = g_screens;
    const intptr_t region = list ? list->selectedId : 0;
    if (Is(control, "OFFOPS")) {
      s.hostilityPanel.Show(region, nullptr);
    } else if (Is(control, "INTELBUT")) {
      s.launchPanel.Show(region, nullptr);
    } else if (Is(control, "REVIEW")) {
      s.opsScheduleList.Show(region, nullptr);
    } else if (Is(control, "PRETARG")) {
      s.wmdTargetList.Show(kKeepScreenId, nullptr);
    } else if (control == list) {
      if (id == 0) {
        ScreenSlotResetMapMode(s);
        return;
      }
      RetargetRegionPages({&s.hostilityPanel, &s.launchPanel, &s.opsScheduleList}, id);
      // The page open three deep follows the new region.
      Control* third = s.dockLevel3.parent2;
      Control* docked = third && !third->Hidden() ? third->firstChild : nullptr;
      if (docked && docked->owner) docked->owner->Show(kKeepScreenId, nullptr);
    }
  }
  // Picking a region shows the buttons of its pages.
  void OnControlChange(Control* control, int32_t id) override {
    if (!control || control != list) return;
    for (const char* tag : kRegionButtons) SetHidden(Tag(currentForm, tag), id == 0);
  }

  ListBoxControl* list = nullptr;
};

}  // namespace

std::unique_ptr<Screen> MakeWmdTargetingPanel() { return std::make_unique<WmdTargetingPanel>(); }

void WmdTargetListPanel::BindControls() {
  DockInSecondBotbar2(*this);
  targetParent = Tag(currentForm, "TARGPARENT");
  targetParent2 = Tag(currentForm, "TARGPARENT2");
  list = MakeListBox("TARGLIST", 0, currentForm, kListIndicators, this);
}

void WmdTargetListPanel::OnOpen() {
  SetHidden(targetParent2, true);
  ScreenSlotSelectMapMode(g_screens);
}

void WmdTargetListPanel::Refresh() {
  std::vector<int32_t> cells;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const PlayerRecord* viewer = LocalPlayer(g_world)) cells = WmdTargetCells(g_world, *viewer);
  }
  FillTargetRows(list, cells);
}

void WmdTargetListPanel::OnControlChange(Control* control, int32_t id) {
  if (!control || control != list) return;
  ScreenSet& s = g_screens;
  SetHidden(Tag(s.wmdTargetKind->currentForm, "UNTARG"), id == 0);
  SetHidden(Tag(currentForm, "AUTOTARG"), id != 0);
  if (id != 0) {
    s.wmdTargetOwner->Show(id, nullptr);
  } else {
    s.wmdTargetKind->Show(kKeepScreenId, nullptr);
  }
}

namespace {

class WmdTargetKindPanel : public Screen {
 public:
  WmdTargetKindPanel() : Screen("OPS1_SS4d1", FormLookups{.tags = kWmdTargetKindTags, .ids = {}}) {}
  void BindControls() override { hostLink = &g_screens.wmdTargetList.targetParent; }
  void OnOpen() override {
    if (Control* first = Tag(currentForm, "CONVTARG")) ControlClearSelection(first, 0);
  }
  void OnCommand(Control* control, int32_t) override {
    for (int32_t kind = 0; kind < kWeaponKinds; ++kind) {
      if (Is(control, kKindButtons[kind])) {
        g_screens.wmdYield->Show(kind, nullptr);
        return;
      }
    }
    if (Is(control, "UNTARG")) g_screens.wmdTargetList.Refresh();
  }
};

class WmdYieldPanel : public Screen {
 public:
  WmdYieldPanel() : Screen("OPS1_SS4d1a", FormLookups{.tags = kWmdYieldTags, .ids = kWmdYieldIds}) {}
  void BindControls() override { hostLink = &g_screens.wmdTargetList.targetParent2; }
  void OnOpen() override {
    const intptr_t kind = id;
    SetHidden(FormFindControlById(currentForm, kConventionalLine), kind != 0);
    SetHidden(FormFindControlById(currentForm, kNuclearLine), kind != 2 && kind != 3);
    SetHidden(FormFindControlById(currentForm, kChemicalLine), kind != 1);
    const bool known = kind >= 0 && kind < kWeaponKinds;
    SetControlText(Tag(currentForm, "YIELD"),
                   known ? TextListText(kListWeapdetail, static_cast<int>(kind)) : "");
    WmdTargetListPanel& targets = g_screens.wmdTargetList;
    if (targets.list) {
      for (Control* row = targets.list->firstRow; row; row = ListNextRow(targets.list, row))
        SetControlFlag(row, kStateSelected, 0);
    }
    SetHidden(targets.targetParent2, false);
  }
};

class WmdTargetOwnerPanel : public Screen {
 public:
  WmdTargetOwnerPanel() : Screen("OPS1_SS4d2", FormLookups{.tags = kWmdTargetOwnerTags, .ids = kWmdYieldIds}) {}
  void BindControls() override { hostLink = &g_screens.wmdTargetList.targetParent2; }
  void OnOpen() override {
    target = TargetRowCell(id);
    SetHidden(g_screens.wmdTargetList.targetParent2, false);
  }
  void Refresh() override {
    SetHidden(FormFindControlById(currentForm, kConventionalLine), false);
    SetHidden(FormFindControlById(currentForm, kNuclearLine), true);
    SetHidden(FormFindControlById(currentForm, kChemicalLine), true);
    Control* yield = Tag(currentForm, "YIELD");
    SetHidden(yield, true);
    SetControlFlag(yield, kStateSelected, 0);
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* viewer = LocalPlayer(g_world);
    if (!viewer || target < 0 || target >= static_cast<int32_t>(g_world.cells.size())) return;
    const int owner = CellOwner(g_world.cells[static_cast<size_t>(target)].word);
    SetControlText(Tag(currentForm, "OWNER"), RegionDisplayName(g_world, owner));
    SetControlText(Tag(currentForm, "RELATION"),
                   TextListText(kListDiprel, RelationWord(RelationClassOf(*viewer, 0, owner))));
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "CENTRE") && target >= 0) CentreOnCell(target);
  }

  int32_t target = -1;  // the cell, -1 for none
};

class WmdTargetInfoFill : public Screen {
 public:
  WmdTargetInfoFill() : Screen("OPS1_SS4dfill", FormLookups{.tags = kWmdTargetInfoTags, .ids = {}}) {}
  void OnOpen() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    FillTargetInfo(currentForm, g_world, g_world.gameState.localPlayer, TargetRowCell(id));
  }
};

}  // namespace

std::unique_ptr<Screen> MakeWmdTargetKindPanel() { return std::make_unique<WmdTargetKindPanel>(); }
std::unique_ptr<Screen> MakeWmdYieldPanel() { return std::make_unique<WmdYieldPanel>(); }
std::unique_ptr<Screen> MakeWmdTargetOwnerPanel() { return std::make_unique<WmdTargetOwnerPanel>(); }
std::unique_ptr<Screen> MakeWmdTargetInfoFill() { return std::make_unique<WmdTargetInfoFill>(); }
