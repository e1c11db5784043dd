#include "screens/main/popups/settlement_popup.h"

#include <algorithm>
#include <cstring>

#include "app/number_text.h"
#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/region_row.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/common/units/class_icon.h"
#include "screens/main/panels/hex_info_panel.h"
#include "screens/screen_set.h"
#include "sim/daily/elimination.h"
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
#include "units/hex_geometry.h"
#include "units/hex_owner.h"
#include "world/hex_extra.h"
#include "world/object_hex.h"
#include "world/scenario_settings.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "world/local_player.h"

namespace {

constexpr size_t kPlaceNameLimit = 47;

int32_t CellColumn(const World& world, uint32_t cellIndex) {
  return world.mapWidth > 0 ? static_cast<int32_t>(cellIndex % static_cast<uint32_t>(world.mapWidth)) : 0;
}
int32_t CellRow(const World& world, uint32_t cellIndex) {
  return world.mapWidth > 0 ? static_cast<int32_t>(cellIndex / static_cast<uint32_t>(world.mapWidth)) : 0;
}
uint32_t CellHex(const World& world, uint32_t cellIndex) {
  return PackHex(CellColumn(world, cellIndex), CellRow(world, cellIndex));
}

const HexCell* CellAt(const World& world, int64_t cellIndex) {
  return cellIndex >= 0 && static_cast<size_t>(cellIndex) < world.cells.size()
             ? &world.cells[static_cast<size_t>(cellIndex)]
             : nullptr;
}

// The hex's lead is a settlement that stands: not gone, with a class that
// holds people.
bool SettlementStandsOn(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || (lead->unitFlags & kUnitGone) || lead->classIndex == 0) return false;
  const UnitClassRecord* cls = UnitClassOf(world, *lead);
  return cls && (cls->flags & kClassSettlementPopulation);
}

double SortKey(const World& world, uint32_t cellIndex, int32_t sort) {
  const HexCell& cell = world.cells[cellIndex];
  switch (sort) {
    case kSortByName:
      return SettlementNameKey(SettlementName(world, cellIndex));
    case kSortByPosition:
      return -(static_cast<double>(CellColumn(world, cellIndex)) * 10000.0 + CellRow(world, cellIndex));
    case kSortByLoyalty:
      return SettlementLoyalty(world, cell);
    default:
      return HexPeopleWeight(world, cell);
  }
}

}  // namespace

std::string SettlementName(const World& world, uint32_t cellIndex) {
  const HexCell* cell = CellAt(world, cellIndex);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  const HexExtra* label = stack ? stack->extra : nullptr;
  if (label && label->text && label->text[0]) return std::string(label->text, strnlen(label->text, kPlaceNameLimit));
  char text[32];
  plat::FormatText(text, sizeof text, "X:%03d Y:%03d", CellColumn(world, cellIndex), CellRow(world, cellIndex));
  return text;
}

float SettlementLoyalty(const World& world, const HexCell& cell) {
  if (const UnitRecord* facility = OpenUnit(cell)) return facility->morale;
  return world.players[CellLoyalTo(cell.word)].efficiency;
}

double SettlementNameKey(const std::string& name) {
  double key = 0.0, weight = 1.0;
  for (const char c : name) {
    key += (255.0 - static_cast<unsigned char>(c)) * weight;
    weight /= 256.0;
  }
  return key;
}

uint32_t RegionCapitalHex(const World& world, int32_t region) {
  if (!IsPlayerSlot(region)) return 0;
  const CapitalPosition c = CapitalHex(world.players[region].displayPolicy);
  return PackHex(c.x, c.y);
}

std::vector<SettlementRow> CollectSettlements(const World& world, int32_t region, int32_t sort) {
  std::vector<SettlementRow> rows;
  if (!IsPlayerSlot(region) || !world.units) return rows;
  const HexMapShape map = MapShape(world);
  const UnitRecord* unit = world.units;
  do {
    const int64_t index = HexCellIndex(map, MakeHexPos(unit->x, unit->y));
    const HexCell* cell = CellAt(world, index);
    const bool listed = std::any_of(rows.begin(), rows.end(),
                                    [index](const SettlementRow& r) { return r.cellIndex == static_cast<uint32_t>(index); });
    if ((unit->unitFlags & kUnitFacility) && unit->owner == region && cell && !listed &&
        SettlementStandsOn(world, *cell))
      rows.push_back({static_cast<uint32_t>(index), SortKey(world, static_cast<uint32_t>(index), sort)});
    unit = unit->next;
  } while (unit && unit != world.units);
  return rows;
}

void SortSettlementRows(std::vector<SettlementRow>& rows) {
  std::stable_sort(rows.begin(), rows.end(), [](const SettlementRow& a, const SettlementRow& b) { return a.key > b.key; });
}

namespace {

class SettlementPopup : public Screen {
 public:
  SettlementPopup() : Screen("POPUP_SETTLEMENT", FormLookups{.tags = kSettlementListTags, .ids = {}}) {}
  // Makes the list and sorts it by population. Its rows are settlement
  // cards, one a hex, under the header's columns.
  void BindControls() override {
    list = MakeListBox("CITYLIST", 0, currentForm, kListIndicators, this);
    ListUseFormRows(list);
    sort = kSortByPopulation;
  }
  // Opens on the list's top with nothing chosen.
  void OnOpen() override {
    if (!list) return;
    ListClear(list, 1);
    ListResetScroll(list);
  }
  // Lists the settlements again, keeping the chosen row and the scroll; with
  // none chosen the selected hex's row, else the capital's, else the first.
  void Refresh() override {
    if (!list) return;
    const int32_t region = static_cast<int32_t>(id);
    const int64_t kept = ChosenCell();
    const int32_t keptScroll = list->scrollOffset;
    ListClear(list, 1);
    uint32_t selectedHex = 0, capital = 0;
    int32_t local = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const World& world = g_world;
      local = world.gameState.localPlayer;
      std::vector<SettlementRow> rows = CollectSettlements(world, region, sort);
      SortSettlementRows(rows);
      // A row is its hex's cell index; hex (0,0) is the map's "no hex" and
      // holds no settlement.
      for (const SettlementRow& row : rows)
        if (row.cellIndex != 0)
          ListAddIconItem(list, g_screens.settlementCard.get(), Width(list), 0, static_cast<int32_t>(row.cellIndex), 0,
                          0, 0);
      const HexPosition& hex = world.gameState.currentHex;
      if (hex.x != 0 || hex.y != 0) selectedHex = PackHex(hex.x, hex.y);
      capital = RegionCapitalHex(world, local);
    }
    ListLayoutRows(list);
    auto rowOfHex = [this](uint32_t packed) -> int32_t {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (packed == 0 || g_world.mapWidth <= 0) return 0;
      const int64_t index = HexCellIndex(MapShape(g_world), packed);
      return index > 0 ? static_cast<int32_t>(index) : 0;
    };
    if (kept > 0) ListSetSelection(0, list, static_cast<int32_t>(kept), 0);
    list->scrollOffset = keptScroll;
    ListLayoutRows(list);
    if (list->selectedId == 0) ListSetSelection(0, list, rowOfHex(selectedHex), 0);
    if (list->selectedId == 0) ListSetSelection(0, list, rowOfHex(capital), 0);
    if (list->selectedId == 0 && list->firstRow) ListSelectItem(0, list, list->firstRow, 0);
    if (list->selectedId == 0) ShowDetails();
    if (region != local) {
      SetHidden(FormFindControlByTag(currentForm, "CAPITALBUT"), true);
      SetHidden(FormFindControlByTag(currentForm, "GRIDCAP2"), true);
    }
  }
  // CLOSEBUT, CAPITALBUT (the capital to the chosen hex), CENTRE (the map
  // to it) and the header's sort buttons.
  void OnCommand(Control* control, int32_t commandId) override {
    if (!control || control == list) return;
    if (ControlTagMatches(control->tag, "CLOSEBUT")) {
      Close(0);
    } else if (ControlTagMatches(control->tag, "CAPITALBUT")) {
      const int64_t chosen = ChosenCell();
      uint32_t hex = 0;
      if (chosen >= 0) {
        plat::CriticalSectionLock lock(g_simulationLock);
        World& world = g_world;
        hex = CellHex(world, static_cast<uint32_t>(chosen));
        const int32_t local = world.gameState.localPlayer;
        // The editor has no turn to wait for: both copies at once.
        if (g_ui.mode == kUiMapEditor && IsPlayerSlot(local)) {
          const CapitalPosition at{static_cast<int16_t>(PackedHexColumn(hex)), static_cast<int16_t>(PackedHexRow(hex))};
          SetCapitalHex(world.players[local].displayPolicy, at);
          SetCapitalHex(world.players[local].simPolicy, at);
        }
      }
      if (hex != 0 && g_ui.mode != kUiMapEditor) PostArgs(kCmdRelationSet298, HexArgs{.hex = hex});
      Refresh();
    } else if (ControlTagMatches(control->tag, "CENTRE")) {
      if (const int64_t chosen = ChosenCell(); chosen >= 0) CentreOn(chosen);
    } else if (ControlTagMatches(control->tag, "HDR")) {
      const int32_t order = commandId - kSettlementSortBase;
      if (order < kSortByName || order > kSortByLoyalty) return;
      sort = order;
      Refresh();
    }
  }
  // An activated row centres the map on its hex.
  void OnActivate(Control* control, int32_t rowId) override {
    if (control && control == list && rowId > 0) CentreOn(rowId);
  }
  // A newly chosen row selects its hex and shows its details.
  void OnControlChange(Control* control, int32_t) override {
    if (control && control == list) ShowDetails();
  }

  ListBoxControl* list = nullptr;
  int32_t sort = kSortByPopulation;

 private:
  // The chosen row's cell index, or -1.
  int64_t ChosenCell() const { return list && list->selectedId > 0 ? static_cast<int64_t>(list->selectedId) : -1; }
  void ShowDetails() {
    Control* f = currentForm;
    if (!f) return;
    auto tagged = [f](const char* tag) { return FormFindControlByTag(f, tag); };
    const int64_t chosen = ChosenCell();
    if (chosen < 0) {
      SetText(tagged("NAME"), "None Selected");
      for (const char* tag : {"SOMETHING", "CENTRE", "CAPITAL"}) SetHidden(tagged(tag), true);
      return;
    }
    plat::CriticalSectionLock lock(g_simulationLock);
    World& world = g_world;
    const HexCell* cell = CellAt(world, chosen);
    if (!cell) return;
    const uint32_t hex = CellHex(world, static_cast<uint32_t>(chosen));
    SetObjectHex(world, CellColumn(world, static_cast<uint32_t>(chosen)), CellRow(world, static_cast<uint32_t>(chosen)),
                 world.gameState.currentHex);
    const int32_t local = world.gameState.localPlayer;
    const HexUnitStack* stack = LoadHexStack(*cell);
    if (const UnitRecord* lead = stack ? stack->lead : nullptr)
      DrawUnitClassIcon(lead->classIndex, nullptr, UnitClassOf(world, *lead), tagged("CITYPIC"), true, -1);
    SetText(tagged("NAME"), SettlementName(world, static_cast<uint32_t>(chosen)).c_str());
    const uint32_t localCapital = RegionCapitalHex(world, local);
    const bool capital = localCapital != 0 && hex == localCapital;
    SetHidden(tagged("CAPITAL"), !capital);
    if (static_cast<int32_t>(id) == local) {
      SetHidden(tagged("CAPITALBUT"), capital);
      SetHidden(tagged("GRIDCAP2"), capital || !(world.scenario.head.gameFlags & kGameFlagNoCapitalMove));
    }
    SetNumber(tagged("POPULATION"), HexPeopleWeight(world, *cell));
    SetFormatted(tagged("LOYALTY"), "%3.0f %%", SettlementLoyalty(world, *cell) * 100.0f);
    SetHidden(tagged("SOMETHING"), false);
    SetHidden(tagged("CENTRE"), false);
    FillRegionRow(tagged("FLAG"), "Loyal to ", CellLoyalTo(cell->word));
    const PlayerRecord& region = world.players[IsPlayerSlot(local) ? local : 0];
    // A region without people has no rural share to speak of.
    if (region.population > 0.0f) {
      const float f = region.ruralPopulation / region.population;
      SetFormatted(tagged("PERURB"), "%3.1f %%", (1.0f - f) * 100.0f);
      SetFormatted(tagged("PERRUR"), "%3.1f %%", f * 100.0f);
    } else {
      SetText(tagged("PERURB"), "-");
      SetText(tagged("PERRUR"), "-");
    }
  }
  void CentreOn(int64_t cellIndex) {
    uint32_t hex = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      World& world = g_world;
      if (!CellAt(world, cellIndex)) return;
      const auto index = static_cast<uint32_t>(cellIndex);
      SetObjectHex(world, CellColumn(world, index), CellRow(world, index), world.gameState.currentHex);
      hex = CellHex(world, index);
    }
    CentreMapOnHex(g_mapView, hex);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeSettlementPopup() { return std::make_unique<SettlementPopup>(); }

namespace {

class SettlementInfoPanel : public Screen {
 public:
  SettlementInfoPanel()
      : Screen("POPUP_SETTLEMENTb", FormLookups{.tags = kSettlementCardTags, .ids = kSettlementCardIds}) {}
  void Refresh() override {
    Control* f = currentForm;
    if (!f) return;
    // The card's own fields only: the region row filled into FLAG brings
    // controls of its own, numbered as these are.
    auto child = [f](int32_t childId) { return FindControlById(f->firstChild, childId, 0, 1); };
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& world = g_world;
    const HexCell* cell = CellAt(world, static_cast<int64_t>(id));
    if (!cell) return;
    const auto index = static_cast<uint32_t>(id);
    const uint32_t ownerCapital = RegionCapitalHex(world, CellOwner(cell->word));
    const bool capital = ownerCapital != 0 && CellHex(world, index) == ownerCapital;
    SetText(child(kCardNameId), SettlementName(world, index).c_str());
    char text[32];
    plat::FormatText(text, sizeof text, "X:%03d Y:%03d", CellColumn(world, index), CellRow(world, index));
    SetText(child(kCardPositionId), text);
    SetHidden(child(kCardCapitalId), !capital);
    SetNumber(child(kCardPopulationId), HexPeopleWeight(world, *cell));
    SetFormatted(child(kCardLoyaltyId), "%3.0f %%", SettlementLoyalty(world, *cell) * 100.0f);
    FillRegionRow(FormFindControlByTag(f, "FLAG"), "Loyal To ", CellLoyalTo(cell->word));
    // The capital's figures stand out.
    for (const int32_t childId : {kCardNameId, kCardPositionId, kCardPopulationId, kCardLoyaltyId})
      if (Control* c = child(childId)) c->flags = capital ? c->flags | kCtlButton : c->flags & ~kCtlButton;
  }
};

}  // namespace

std::unique_ptr<Screen> MakeSettlementInfoPanel() { return std::make_unique<SettlementInfoPanel>(); }
