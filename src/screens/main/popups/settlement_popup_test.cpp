// The settlement list and card: which hexes are listed, the orders they
// sort in, and the list's buttons, for settlements of a small world.
#include "screens/main/popups/settlement_popup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/owned_test_form.h"
#include "screens/main/map/map_view.h"
#include "sim/command_log.h"
#include "sim/daily/elimination.h"
#include "sim/game_command.h"
#include "support/global_guard.h"
#include "support/world_map_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/hex_state.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/map_data.h"
#include "world/scenario_settings.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 16;
constexpr int kLocal = 1, kOther = 3;
constexpr int16_t kTown = 1, kDepot = 2;

class SettlementPopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResizeMap(g_world, kSide, kSide);
    g_world.terrains.assign(1, TerrainRecord{});
    g_world.unitClasses.assign(3, UnitClassRecord{});
    g_world.unitClasses[kTown].flags = kClassSettlementPopulation;
    g_world.gameState.localPlayer = kLocal;
    g_world.players[kLocal].efficiency = 0.5f;
    g_world.players[kOther].efficiency = 0.25f;
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_world.units = nullptr;
    ReindexUnits(g_world);
    ++g_unitRecordEpoch;
    FreeMapData(g_world);
    g_commandLog.Clear();
  }

  // A facility of the owner leading its hex, with the label's name (none
  // when null) and people.
  UnitRecord& Facility(int owner, int16_t cls, int16_t x, int16_t y, const char* name, float people = 0.0f) {
    units_.push_back(std::make_unique<UnitRecord>());
    UnitRecord& u = *units_.back();
    u.id = static_cast<uint32_t>(units_.size());
    u.owner = static_cast<uint8_t>(owner), u.classIndex = cls, u.x = x, u.y = y;
    u.unitFlags = kUnitFacility;
    u.morale = 0.9f;
    for (size_t i = 0; i < units_.size(); ++i) {
      units_[i]->next = units_[(i + 1) % units_.size()].get();
      units_[i]->prev = units_[(i + units_.size() - 1) % units_.size()].get();
    }
    g_world.units = units_.front().get();
    ReindexUnits(g_world);
    ++g_unitRecordEpoch;
    HexCell& cell = Cell(x, y);
    cell.word = WithCellLoyalTo(WithCellOwner(cell.word, owner), owner);
    MakeHexStack(cell)->lead = &u;
    HexExtra& label = *GetHexExtra(g_world, cell);
    if (name) label.text = strdup(name);
    SetHexSettlementPopulation(label, people);
    return u;
  }
  static HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(y * kSide + x)]; }
  static uint32_t Index(int x, int y) { return static_cast<uint32_t>(y * kSide + x); }
  // A hex's row id in the list: its cell index.
  static int32_t RowId(int x, int y) { return y * kSide + x; }
  static std::vector<uint32_t> Listed(int region, int32_t sort) {
    std::vector<SettlementRow> rows = CollectSettlements(g_world, region, sort);
    SortSettlementRows(rows);
    std::vector<uint32_t> cells;
    for (const SettlementRow& r : rows) cells.push_back(r.cellIndex);
    return cells;
  }

  std::vector<std::unique_ptr<UnitRecord>> units_;
  WorldMapGuard map_;
  GlobalGuard<uint32_t> rules_{g_world.scenario.head.gameFlags, 0u};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<PlayerRecord> other_{g_world.players[kOther]};
};

TEST(SettlementNameKeyTest, DescendingKeysReadAlphabetically) {
  // The first of each pair comes first; bytes above 127 (é) follow Z.
  for (const auto& [first, second] : {std::pair{"Apple", "Banana"}, {"Zulu", "\xE9tang"}, {"Newport", "Newton"}})
    EXPECT_GT(SettlementNameKey(first), SettlementNameKey(second)) << first;
}

TEST_F(SettlementPopupTest, TheRegionsSettlementsInEachOrder) {
  Facility(kLocal, kTown, 2, 5, "Birchwood", 500.0f).morale = 0.4f;
  Facility(kLocal, kTown, 1, 9, "Ashford", 100.0f).morale = 0.8f;
  Facility(kLocal, kTown, 7, 12, nullptr, 900.0f).morale = 0.6f;
  Facility(kLocal, kTown, 2, 1, "Cedar", 300.0f).morale = 0.5f;
  Facility(kLocal, kDepot, 4, 4, "Depot");         // not a settlement
  Facility(kOther, kTown, 3, 3, "Abroad", 800.0f);  // another region's
  Facility(kLocal, kTown, 5, 5, "Ruins").unitFlags |= kUnitGone;
  struct Row {
    int32_t sort;
    std::vector<uint32_t> cells;
  } rows[] = {
      {kSortByName, {Index(1, 9), Index(2, 5), Index(2, 1), Index(7, 12)}},
      {kSortByPosition, {Index(1, 9), Index(2, 1), Index(2, 5), Index(7, 12)}},
      {kSortByPopulation, {Index(7, 12), Index(2, 5), Index(2, 1), Index(1, 9)}},
      {kSortByLoyalty, {Index(1, 9), Index(7, 12), Index(2, 1), Index(2, 5)}},
  };
  for (const Row& r : rows) EXPECT_EQ(Listed(kLocal, r.sort), r.cells) << r.sort;
  EXPECT_EQ(Listed(kOther, kSortByName), std::vector<uint32_t>{Index(3, 3)});
  EXPECT_TRUE(Listed(kMaxPlayers, kSortByName).empty());
  EXPECT_EQ(SettlementName(g_world, Index(7, 12)), "X:007 Y:012");
  // A facility hidden from the others lends no loyalty: the region's counts.
  units_[1]->unitFlags |= kUnitProvisional;
  EXPECT_FLOAT_EQ(SettlementLoyalty(g_world, Cell(1, 9)), 0.5f);
}

// A form of the tagged controls and the header's four sort buttons.
struct ListForm : OwnedTestForm {
  explicit ListForm(Screen& popup)
      : OwnedTestForm(popup, new Control(controltest::Init("POPUP_SETTL", &popup, 0, 0, 500, 500))) {
    for (const char* tag : kSettlementListTags)
      ControlAddChild(root, new Control(controltest::Init(tag, &popup, 0, 0, 100, 100)));
    popup.BindControls();
  }
  ListBoxControl* List() const { return TagAs<ListBoxControl>(root, "CITYLIST"); }
};

std::vector<int32_t> RowIds(const ListBoxControl* list) {
  std::vector<int32_t> ids;
  for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row)) ids.push_back(row->id);
  return ids;
}

TEST_F(SettlementPopupTest, TheListChoosesCentresAndMovesTheCapital) {
  GlobalGuard<int32_t> mode(g_ui.mode, int32_t{kUiInGame});
  GlobalGuard panX(g_mapView.panX), panY(g_mapView.panY);
  GlobalGuard firstColumn(g_mapView.firstColumn), firstRow(g_mapView.firstRow);
  GlobalGuard endColumn(g_mapView.endColumn), endRow(g_mapView.endRow);
  Facility(kLocal, kTown, 2, 5, "Birchwood", 500.0f);
  Facility(kLocal, kTown, 1, 9, "Ashford", 100.0f);
  Facility(kOther, kTown, 3, 3, "Abroad", 800.0f);
  SetCapitalHex(g_world.players[kLocal].displayPolicy, CapitalPosition{1, 9});
  g_world.players[kLocal].population = 1000.0f, g_world.players[kLocal].ruralPopulation = 250.0f;
  std::unique_ptr<Screen> popup = MakeSettlementPopup();
  ListForm form(*popup);
  ListBoxControl* list = form.List();
  ASSERT_NE(list, nullptr);
  popup->id = kLocal, popup->OnOpen(), popup->Refresh();
  // By population; with no hex selected the capital's row is chosen, and
  // its hex selected.
  EXPECT_EQ(RowIds(list), (std::vector<int32_t>{RowId(2, 5), RowId(1, 9)}));
  EXPECT_EQ(g_world.gameState.currentHex.cellIndex, Index(1, 9));
  EXPECT_EQ(form["NAME"]->text, "Ashford");
  EXPECT_TRUE(form["CAPITALBUT"]->Hidden()) << "the capital is not made the capital again";
  EXPECT_EQ(form["PERRUR"]->text, "25.0 %");
  // A region without people has no share to show (not "nan %").
  g_world.players[kLocal].population = 0.0f;
  popup->Refresh();
  EXPECT_EQ(form["PERRUR"]->text, "-");
  EXPECT_EQ(form["PERURB"]->text, "-");
  // The header's name button (71) sorts by name; the chosen row stays.
  popup->OnCommand(form["HDR"], kSettlementSortBase + kSortByName);
  EXPECT_EQ(RowIds(list), (std::vector<int32_t>{RowId(1, 9), RowId(2, 5)}));
  EXPECT_EQ(list->selectedId, RowId(1, 9));

  // In a game the capital moves by command 298, the hex at byte 24; in the
  // editor both copies change at once.
  struct Row {
    int32_t mode;
    size_t commands;
    CapitalPosition display, sim;
  } rows[] = {{kUiInGame, 1, {1, 9}, {0, 0}}, {kUiMapEditor, 0, {2, 5}, {2, 5}}};
  for (const Row& r : rows) {
    g_ui.mode = r.mode;
    g_commandLog.Clear();
    ListSetSelection(0, list, RowId(2, 5), 0);
    EXPECT_EQ(g_world.gameState.currentHex.cellIndex, Index(2, 5));
    popup->OnCommand(form["CAPITALBUT"], 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), r.commands) << r.mode;
    for (const GameCommand& c : log) EXPECT_EQ(std::pair(c.id, c.arg24), std::pair(kCmdRelationSet298, PackHex(2, 5)));
    EXPECT_EQ(CapitalHex(g_world.players[kLocal].displayPolicy), r.display) << r.mode;
    EXPECT_EQ(CapitalHex(g_world.players[kLocal].simPolicy), r.sim) << r.mode;
  }

  // Another region's list offers no capital move.
  popup->id = kOther, popup->OnOpen(), popup->Refresh();
  EXPECT_EQ(RowIds(list), std::vector<int32_t>{RowId(3, 3)});
  EXPECT_TRUE(form["CAPITALBUT"]->Hidden());
  EXPECT_TRUE(form["GRIDCAP2"]->Hidden());
}

TEST_F(SettlementPopupTest, TheCardMarksTheCapital) {
  Facility(kLocal, kTown, 7, 12, nullptr, 1234.0f);
  Facility(kLocal, kTown, 2, 5, "Birchwood");
  SetCapitalHex(g_world.players[kLocal].displayPolicy, CapitalPosition{7, 12});
  std::unique_ptr<Screen> card = MakeSettlementInfoPanel();
  auto* root = new Control(controltest::Init("POPUP_SETTLb", card.get(), 0, 0, 220, 96));
  Control* child[6] = {};
  for (int32_t id : kSettlementCardIds) {
    ControlInit init = controltest::Init("C", card.get(), 0, 0, 100, 14);
    init.id = id;
    child[id] = ControlAddChild(root, new Control(init));
  }
  card->currentForm = card->form = root;
  struct Row {
    uint32_t cell;
    const char* name;
    const char* people;
    bool capital;
  } rows[] = {{Index(7, 12), "X:007 Y:012", "1,234", true}, {Index(2, 5), "Birchwood", "0", false}};
  for (const Row& r : rows) {
    card->id = r.cell;
    card->Refresh();
    EXPECT_EQ(child[kCardNameId]->text, r.name);
    EXPECT_EQ(child[kCardPopulationId]->text, r.people);
    EXPECT_EQ(child[kCardLoyaltyId]->text, " 90 %");
    EXPECT_EQ(child[kCardCapitalId]->Hidden(), !r.capital) << r.name;
    EXPECT_EQ((child[kCardNameId]->flags & kCtlButton) != 0, r.capital) << r.name;
  }
  card->currentForm = card->form = nullptr;
  delete root;
}

}  // namespace
