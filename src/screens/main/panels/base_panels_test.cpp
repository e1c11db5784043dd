// The base panel, the facility actions and their three small screens for
// the bases of a small world.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/main/facility_status.h"
#include "screens/main/map/map_view.h"
#include "screens/main/map_input/map_click.h"
#include "screens/main/panels/base_panels.h"
#include "screens/main/panels/facility_actions_panel.h"
#include "screens/main/panels/facility_figures.h"
#include "screens/main/panels/facility_sub_panels.h"
#include "screens/main/popups/object_popups.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/daily/research_fields.h"
#include "sim/hex_state.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/list_holder.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;
constexpr int kOther = 2;
constexpr int32_t kBase = 4020;
constexpr int32_t kWorks = 4050;
constexpr int32_t kTown = 4010;
constexpr uint32_t kBuilding = kPostureInReserve | kPostureUnderConstruction;
constexpr uint32_t kBuildingState = kStateHeldSlot;

// A form of tagged strings for a screen to fill; PRODLIST is left a plain
// box for the panel's list to take over.
struct TestForm {
  TestForm(Screen& owner, const char* name, std::initializer_list<const char*> tags) : owner_(&owner) {
    root = new Control(controltest::Init(name, &owner, 0, 0, 220, 194));
    for (const char* tag : tags) {
      const ControlInit init = controltest::Init(tag, &owner, 0, 0, 40, 12);
      ControlAddChild(root, std::strcmp(tag, "PRODLIST") == 0 ? new Control(init)
                                                              : new StringControl(init, StringInit{.bufferSize = 63}));
    }
    owner.currentForm = owner.form = root;
  }
  ~TestForm() {
    owner_->currentForm = owner_->form = nullptr;
    delete root;
  }
  TestForm(const TestForm&) = delete;
  TestForm& operator=(const TestForm&) = delete;
  Control* operator[](const char* tag) const { return FormFindControlByTag(root, tag); }
  Control* root;

 private:
  Screen* owner_;
};

class BasePanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_ui.mode = kUiInGame;
    UseMap(8, 8, false, 1);
    World& w = g_world;
    w.terrains.assign(2, TerrainRecord{});
    w.unitClasses.assign(4130, UnitClassRecord{});
    w.worldEconomy.assign(1024, 0);
    w.mapHeader.scaleSquared = 1.0f;
    w.gameState.localPlayer = kLocal;
    for (int p : {kLocal, kOther}) {
      w.players[p] = PlayerRecord{};
      w.players[p].number = static_cast<uint8_t>(p);
      w.players[p].gdpPerCapita = 1.0f;
      w.players[p].costFactor = 1.0f;
    }
    for (int i = 0; i < 7; ++i) SetText(kListUgstatus, i, "status" + std::to_string(i));
    for (int i = 0; i < 3; ++i) SetText(kListMilbranch, i, "branch" + std::to_string(i));
    Class(kBase, kClassFacility | kClassSettlement).baseSlots = 4;
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_commandLog.Clear();
    SetRing({});
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    for (const auto& [at, old] : texts_) {
      std::free(g_textLists.entries[at]);
      g_textLists.entries[at] = old;
    }
  }

  static void UseMap(int32_t columns, int32_t rows, bool wraps, uint32_t km) {
    World& w = g_world;
    for (HexCell& c : w.cells) FreeHexStack(c);
    w.mapWidth = w.mapHeader.width = columns;
    w.mapHeight = w.mapHeader.height = rows;
    w.mapHeader.hexScale = km;
    reinterpret_cast<uint8_t*>(&w.mapHeader)[kMapWrapByte] = wraps ? 1 : 0;
    const uint32_t own = WithCellLoyalTo(WithCellOwner(WithCellTerrain(0, 1), kLocal), kLocal);
    w.cells.assign(static_cast<size_t>(columns * rows), HexCell{nullptr, own});
    w.cellBytes.assign(static_cast<size_t>(columns * rows), 100);
  }
  static HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(y * g_world.mapWidth + x)]; }
  static uint32_t Index(int x, int y) { return static_cast<uint32_t>(y * g_world.mapWidth + x); }
  static void Select(int16_t x, int16_t y) { g_world.gameState.currentHex = {x, y, Index(x, y), 0}; }
  static void Own(int x, int y, int owner) {
    Cell(x, y).word = WithCellLoyalTo(WithCellOwner(Cell(x, y).word, owner), owner);
  }
  static UnitClassRecord& Class(int32_t c, uint32_t flags) {
    UnitClassRecord& r = g_world.unitClasses[static_cast<size_t>(c)];
    r.flags = flags;
    return r;
  }
  // The hex's facility: running at strength 1 unless told otherwise.
  UnitRecord& Facility(int x, int y, int32_t cls, float strength = 1.0f) {
    UnitRecord& u = units_.emplace_back();
    u.classIndex = static_cast<int16_t>(cls);
    u.strength = strength;
    u.owner = static_cast<uint8_t>(CellOwner(Cell(x, y).word));
    u.x = static_cast<int16_t>(x), u.y = static_cast<int16_t>(y);
    u.id = 0x100 + static_cast<uint32_t>(units_.size());
    u.unitFlags = kUnitFacility;
    MakeHexStack(Cell(x, y))->lead = &u;
    return u;
  }
  // A unit held in reserve at the hex.
  UnitRecord& Stored(int x, int y) {
    UnitRecord& u = units_.emplace_back();
    u.classIndex = kTown;
    u.owner = kLocal;
    u.x = static_cast<int16_t>(x), u.y = static_cast<int16_t>(y);
    u.id = 0x100 + static_cast<uint32_t>(units_.size());
    u.ordersShown[kPostureBits] = kPostureInReserve;
    return u;
  }
  static void SetRing(std::vector<UnitRecord*> ring) {
    for (size_t i = 0; i < ring.size(); ++i) {
      ring[i]->next = ring[(i + 1) % ring.size()];
      ring[i]->prev = ring[(i + ring.size() - 1) % ring.size()];
    }
    g_world.units = ring.empty() ? nullptr : ring[0];
    ReindexUnits(g_world);
    ++g_unitRecordEpoch;
  }
  void SetText(TextListId list, int index, const std::string& text) {
    const int at = TextListInfoOf(list).first + index;
    texts_.emplace_back(at, g_textLists.entries[at]);
    g_textLists.entries[at] = strdup(text.c_str());
  }
  static std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> Posted() {
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> out;
    for (const GameCommand& c : g_commandLog.Entries()) out.emplace_back(c.id, c.arg24, c.arg28, c.arg32);
    g_commandLog.Clear();
    return out;
  }

  GlobalGuard<int32_t> mode_{g_ui.mode};
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<uint8_t>> cellBytes_{g_world.cellBytes};
  GlobalGuard<std::vector<TerrainRecord>> terrains_{g_world.terrains};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<std::vector<uint8_t>> economy_{g_world.worldEconomy};
  GlobalGuard<MapHeader> header_{g_world.mapHeader};
  GlobalGuard<int32_t> width_{g_world.mapWidth};
  GlobalGuard<int32_t> height_{g_world.mapHeight};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<PlayerRecord> other_{g_world.players[kOther]};
  GlobalGuard<std::atomic<float>> pending_{g_world.pendingDeployments[kLocal]};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<int32_t> clickMode_{g_screens.mapClickMode};
  GlobalGuard<MapClickPending> pending2_{g_mapClickPending};
  GlobalGuard<int32_t> pickCursor_{g_mapView.hexPickCursor};
  GlobalGuard<int32_t> pickHex_{g_mapView.pickHex};
  GlobalGuard<intptr_t> basePopupId_{g_screens.basePopup.id};
  // Refreshing the actions shows their sub-screens with ids.
  GlobalGuard<intptr_t> actionsId_{g_screens.map1.ss6a.id};
  GlobalGuard<intptr_t> rallyId_{g_screens.map1.ss6c.id};
  GlobalGuard<intptr_t> reserveId_{g_screens.map1.ss6e.id};
  GlobalGuard<intptr_t> stopId_{g_screens.map1.settlement.outputCancel.id};
  std::deque<UnitRecord> units_;
  std::vector<std::pair<int, char*>> texts_;
};

TEST_F(BasePanelsTest, TheBasePanelShowsTheSelectedBase) {
  BasePanel panel;
  TestForm form(panel, "MAP1_ss6",
                {"BASETYPE", "BASENAME", "QUEUE", "CAPACITY", "NOTE", "CONDITION", "BASEDETAILS", "NAMEBUT"});
  UnitRecord& lead = Facility(3, 3, kBase);
  Select(3, 3);
  const std::string sixty(60, 'n');
  struct Row {
    uint32_t classFlags;  // besides a base's
    uint8_t level;
    uint32_t posture, state;
    float strength;
    size_t labelLength;
    int owner;
    const char* branch;
    const char* note;
    bool noteSelected;
    const char* condition;
    bool detailsHidden;
  };
  const Row rows[] = {
      {0, 100, 0, 0, 0.5f, 5, kLocal, "branch0", "status0", false, " 50 %", false},
      // Without supply the note says so, whatever the facility does.
      {kClassAirBase, 0, 0, 0, 0.5f, 5, kLocal, "branch1", "status6", false, " 50 %", false},
      {kClassHaven, 0, kPostureInReserve, 0, 0.5f, 5, kLocal, "branch2", "status6", false, " 50 %", false},
      {kClassHaven | kClassAirBase, 100, kBuilding, kBuildingState, 0.25f, 5, kLocal, "branch2", "status2", false,
       " 25 %", false},
      {0, 100, kBuilding, kBuildingState | kStatePausedBuild, 0.25f, 5, kLocal, "branch0", "status5", true, " 25 %",
       false},
      {0, 100, kPostureInReserve, kStateModeC, 1.3f, 60, kLocal, "branch0", "status3", false, "100 %", false},
      {0, 100, kPostureInReserve, 0, 0.0f, 60, kOther, "branch0", "status1", false, "  0 %", true},
  };
  for (const Row& r : rows) {
    Class(kBase, kClassFacility | kClassSettlement | r.classFlags);
    g_world.cellBytes[Index(3, 3)] = r.level;
    lead.ordersShown[kPostureBits] = r.posture;
    lead.ordersShown[kStateFlags] = r.state;
    lead.strength = r.strength;
    lead.leadValue = 3;
    Own(3, 3, r.owner);
    SetLockedText(g_world, GetHexExtra(g_world, Cell(3, 3))->text, sixty.substr(0, r.labelLength).c_str());
    panel.Refresh();
    EXPECT_EQ(form["BASETYPE"]->text, r.branch) << r.note;
    EXPECT_EQ(form["BASENAME"]->text, sixty.substr(0, std::min<size_t>(r.labelLength, 47))) << r.note;
    EXPECT_EQ(form["NOTE"]->text, r.note) << r.branch;
    EXPECT_EQ(form["NOTE"]->Selected(), r.noteSelected) << r.note;
    EXPECT_EQ(form["CONDITION"]->text, r.condition) << r.note;
    EXPECT_EQ(form["QUEUE"]->text, "3") << r.note;
    EXPECT_EQ(form["CAPACITY"]->text, "4") << r.note;
    EXPECT_EQ(form["BASEDETAILS"]->Hidden(), r.detailsHidden) << r.note;
  }
  // A concealed foreign base shows as no base: the panel keeps its texts;
  // so does a class that is no base, and no selection at all.
  lead.unitFlags = kUnitProvisional;
  g_world.cellBytes[Index(3, 3)] = 100;
  lead.ordersShown[kPostureBits] = 0;
  panel.Refresh();
  EXPECT_EQ(form["NOTE"]->text, "status1");
  lead.unitFlags = 0;
  Own(3, 3, kLocal);
  Class(kBase, kClassFacility);
  panel.Refresh();
  EXPECT_EQ(form["NOTE"]->text, "status1");
  Class(kBase, kClassFacility | kClassSettlement);
  g_world.gameState.currentHex = {};
  panel.Refresh();
  EXPECT_EQ(form["NOTE"]->text, "status1");
  Select(3, 3);
  panel.Refresh();
  EXPECT_EQ(form["NOTE"]->text, "status0");
}

TEST_F(BasePanelsTest, TheBaseListsItsStoredUnitsOrWaiting) {
  BasePanel panel;
  TestForm form(panel, "MAP1_ss6", {"PRODLIST"});
  panel.BindControls();
  ASSERT_NE(panel.prodList, nullptr);
  EXPECT_FALSE(panel.prodList->flags & kCtlRadio);
  UnitRecord& lead = Facility(2, 2, kBase);
  Select(2, 2);
  UnitRecord& first = Stored(2, 2);
  UnitRecord& second = Stored(2, 2);
  UnitRecord& elsewhere = Stored(3, 2);
  struct Row {
    std::vector<UnitRecord*> ring;
    std::vector<int32_t> rows;
  };
  const Row rows[] = {
      {{&lead}, {0}},
      {{&lead, &first, &elsewhere, &second}, {static_cast<int32_t>(first.id), static_cast<int32_t>(second.id)}},
      {{&lead, &elsewhere}, {0}},
  };
  for (const Row& r : rows) {
    SetRing(r.ring);
    panel.Refresh();
    std::vector<int32_t> ids;
    for (Control* row = panel.prodList->firstRow; row; row = ListNextRow(panel.prodList, row)) ids.push_back(row->id);
    EXPECT_EQ(ids, r.rows);
    std::vector<intptr_t> paging;
    for (int32_t id : r.rows)
      if (id != 0) paging.push_back(id);
    EXPECT_EQ(panel.units.entries, paging);
    if (r.rows == std::vector<int32_t>{0}) {
      Control* waiting = panel.prodList->firstRow;
      EXPECT_EQ(waiting->text, kBaseListEmpty);
      EXPECT_FALSE(waiting->flags & kCtlButton) << "a press does not select it";
    }
  }
}

TEST_F(BasePanelsTest, BaseDetailsOpensTheBasePopupOnlyOnAnOwnHex) {
  BasePanel panel;
  TestForm form(panel, "MAP1_ss6", {"BASEDETAILS"});
  Class(kBase, kClassFacility | kClassSettlement).loadableMask = 1;
  UnitRecord& lead = Facility(4, 4, kBase);
  lead.owner = kLocal;
  SetRing({&lead});
  Select(4, 4);
  struct Row {
    int owner;
    intptr_t popupId;
  };
  const Row rows[] = {{kOther, 77}, {kLocal, static_cast<intptr_t>(lead.id)}};
  for (const Row& r : rows) {
    g_screens.basePopup.id = 77;
    Own(4, 4, r.owner);
    SetHidden(form["BASEDETAILS"], false);
    panel.OnCommand(form["BASEDETAILS"], 0);
    EXPECT_EQ(g_screens.basePopup.id, r.popupId) << r.owner;
  }
  ListHolderClear(ObjectPopupList());
}

// Status 6 and 2 offer cancel and pause, 5 resume; demolition hides scrap
// and destroy and offers activation; a running facility offers to
// deactivate. A production class shows activate whenever it is not running,
// never pause or resume.
TEST_F(BasePanelsTest, TheActionButtonsFollowTheFacilityStatus) {
  TestForm form(g_screens.map1.ss6a, "MAP1_ss6a",
                {"CANCON", "PAUSE", "RESUME", "SCRAP", "DESTROY", "ACTIVATE", "DEACTIVATE", "NAMEBUT", "GOTOBUT"});
  UnitRecord& lead = Facility(3, 3, kBase);
  Class(kBase, kClassFacility | kClassSettlement).baseRoom = 1.0f;
  Class(kWorks, kClassFacility | kClassProduction);
  struct Row {
    int32_t cls;
    uint8_t level;
    uint32_t posture, state;
    int32_t status;
    std::vector<const char*> shown;
  };
  const Row rows[] = {
      {kBase, 0, kBuilding, kBuildingState, kFacilityBuildingNoSupply,
       {"CANCON", "PAUSE", "SCRAP", "DESTROY", "NAMEBUT", "GOTOBUT"}},
      {kBase, 100, kBuilding, kBuildingState, kFacilityBuilding,
       {"CANCON", "PAUSE", "SCRAP", "DESTROY", "NAMEBUT", "GOTOBUT"}},
      {kBase, 100, kBuilding, kBuildingState | kStatePausedBuild, kFacilityPaused,
       {"RESUME", "SCRAP", "DESTROY", "NAMEBUT", "GOTOBUT"}},
      {kBase, 100, kPostureInReserve, kStateModeC, kFacilityDemolishing, {"ACTIVATE", "NAMEBUT", "GOTOBUT"}},
      {kBase, 100, kPostureInReserve, 0, kFacilityInactive, {"SCRAP", "DESTROY", "ACTIVATE", "NAMEBUT", "GOTOBUT"}},
      {kBase, 100, 0, 0, kFacilityActive, {"SCRAP", "DESTROY", "DEACTIVATE", "NAMEBUT", "GOTOBUT"}},
      {kWorks, 100, kBuilding, kBuildingState, kFacilityBuilding,
       {"CANCON", "SCRAP", "DESTROY", "ACTIVATE", "NAMEBUT", "GOTOBUT"}},
  };
  for (const Row& r : rows) {
    lead.classIndex = static_cast<int16_t>(r.cls);
    g_world.cellBytes[Index(3, 3)] = r.level;
    lead.ordersShown[kPostureBits] = r.posture;
    lead.ordersShown[kStateFlags] = r.state;
    ASSERT_EQ(FacilityStatus(g_world, Index(3, 3)), r.status);
    UpdateFacilityActionButtons(form.root, Index(3, 3));
    std::vector<const char*> shown;
    for (const char* tag : kFacilityActionTags)
      if (form[tag] && !form[tag]->Hidden()) shown.push_back(tag);
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.end()),
              std::vector<std::string>(r.shown.begin(), r.shown.end()))
        << r.status;
  }
  // Another player's hex hides them all.
  Own(3, 3, kOther);
  UpdateFacilityActionButtons(form.root, Index(3, 3));
  for (const char* tag : kFacilityActionTags) {
    if (form[tag]) {
      EXPECT_TRUE(form[tag]->Hidden()) << tag;
    }
  }
}

// A class that yields products: with no needs its site gives all it asks
// (eff 1.0), so a facility at 0.99 gains nothing from an upgrade.
TEST_F(BasePanelsTest, UpgradeRallyAndNotesFollowTheFacility) {
  TestForm form(g_screens.map1.ss6a, "MAP1_ss6a",
                {"UPGBUT", "ACTIVATE", "RALLYBUT", "RALLYPARENT", "GRIDNOTEM", "GRIDNOUPG", "UPCAP", "INSRESBASE"});
  UnitRecord& lead = Facility(3, 3, kWorks);
  Class(kWorks, kClassFacility | kClassProduction);
  struct Row {
    float strength;
    bool upgrade;
  };
  for (const Row& r : {Row{0.99f, false}, Row{0.5f, true}, Row{0.97f, true}}) {
    lead.strength = r.strength;
    lead.ordersShown[kPostureBits] = 0;
    UpdateFacilityActionButtons(form.root, Index(3, 3));
    EXPECT_EQ(form["UPGBUT"]->Hidden(), !r.upgrade) << r.strength;
    EXPECT_TRUE(form["RALLYBUT"]->Hidden());
  }
  // A base of its own kind has a rally point; a stored unit is noted, and
  // with an upgrade class so is the upgrade it blocks.
  lead.classIndex = kBase;
  Class(kBase, kClassFacility | kClassSettlement).baseSlots = 2;
  g_world.unitClasses[kBase].successor = 4021;
  lead.ordersShown[kPostureBits] = kPostureInReserve;
  UnitRecord& stored = Stored(3, 3);
  struct NoteRow {
    std::vector<UnitRecord*> ring;
    bool noted;
  };
  for (const NoteRow& r : {NoteRow{{&lead}, false}, NoteRow{{&lead, &stored}, true}}) {
    SetRing(r.ring);
    UpdateFacilityActionButtons(form.root, Index(3, 3));
    EXPECT_FALSE(form["RALLYBUT"]->Hidden());
    EXPECT_FALSE(form["RALLYPARENT"]->Hidden());
    EXPECT_FALSE(form["UPCAP"]->Hidden());
    EXPECT_EQ(form["GRIDNOTEM"]->Hidden(), !r.noted);
    EXPECT_EQ(form["GRIDNOUPG"]->Hidden(), !r.noted);
    EXPECT_EQ(form["GRIDNOTEM"]->fills[kLookNormal] >> 24, kNoteFillAlpha);
  }
  // An idle base whose crew the reserve cannot man says so.
  g_world.unitClasses[kBase].valuePerPoint = 50;
  for (const auto& [soldiers, noted] : {std::pair{49.0f, true}, std::pair{50.0f, false}}) {
    g_world.players[kLocal].soldiers = soldiers;
    UpdateFacilityActionButtons(form.root, Index(3, 3));
    EXPECT_EQ(form["INSRESBASE"]->Hidden(), !noted) << soldiers;
  }
}

// GRIDDES: a settlement unit in the land chain of a supplied stack nearby
// hides it. A neighbour off the map is no hex: the unit at hex (0, 0) does
// not count for a facility on the map's edge.
TEST_F(BasePanelsTest, OnlyRealNeighboursHideTheSupplyNote) {
  TestForm form(g_screens.map1.ss6a, "MAP1_ss6a", {"GRIDDES"});
  Class(kTown, kClassSettlementPopulation);
  UnitRecord settler{};
  settler.classIndex = kTown;
  auto supplied = [](int x, int y) { HexPresenceFlags(*GetHexExtra(g_world, Cell(x, y))) = kPresenceRepair; };
  Facility(0, 3, kBase).efficiency = 0.0f;
  supplied(0, 0);
  MakeHexStack(Cell(0, 0))->chainA[0] = &settler;
  UpdateFacilityActionButtons(form.root, Index(0, 3));
  EXPECT_FALSE(form["GRIDDES"]->Hidden()) << "hex (0, 0) is no neighbour of (0, 3)";
  supplied(1, 3);
  MakeHexStack(Cell(1, 3))->chainA[0] = &settler;
  UpdateFacilityActionButtons(form.root, Index(0, 3));
  EXPECT_TRUE(form["GRIDDES"]->Hidden()) << "(1, 3) is";
  settler.unitFlags = kUnitMoved;
  UpdateFacilityActionButtons(form.root, Index(0, 3));
  EXPECT_FALSE(form["GRIDDES"]->Hidden());
  MakeHexStack(Cell(0, 0))->chainA[0] = nullptr;
  MakeHexStack(Cell(1, 3))->chainA[0] = nullptr;
}

TEST_F(BasePanelsTest, TheActionsPostTheirCommands) {
  Class(kWorks, kClassFacility | kClassProduction);
  UnitRecord& lead = Facility(2, 5, kBase);
  lead.targetStrength = 0.75f;
  // The commands' display passes change nothing on another player's hex.
  Own(2, 5, kOther);
  const uint32_t hex = 2u | 5u << 16;
  TestForm form(g_screens.map1.ss6a, "MAP1_ss6a",
                {"CANCON", "SCRAP", "DESTROY", "PAUSE", "RESUME", "ACTIVATE", "DEACTIVATE", "UPGBUT", "CAPITOL"});
  g_world.gameState.currentHex = {};
  FacilityConfirmBox& box = g_screens.map1.ss6b;
  GlobalGuard<intptr_t> boxId(box.id);
  struct Row {
    const char* tag;
    int32_t cls;
    bool withBox;
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> posted;
    intptr_t boxShown;  // -1: the box is not shown
  };
  const Row rows[] = {
      {"CANCON", kBase, true, {}, 1},
      {"SCRAP", kBase, true, {}, 0},
      {"DESTROY", kBase, true, {}, 2},
      {"CANCON", kBase, false, {{kCmdHexStack291, hex, 0, 0}}, -1},
      {"DESTROY", kBase, false, {{kCmdHexStack291, hex, 1, 0}}, -1},
      {"PAUSE", kBase, true, {{kCmdHexStack297, hex, 1, 0}}, -1},
      {"RESUME", kBase, true, {{kCmdHexStack297, hex, 0, 0}}, -1},
      {"ACTIVATE", kWorks, true, {{kCmdHexStack292, hex, 0, 0}}, -1},
      {"ACTIVATE", kBase, true, {{kCmdSetFacilityOutput, hex, 0, 0x3F400000u}}, -1},
      {"DEACTIVATE", kBase, true, {{kCmdHexStack293, hex, 1, 0}}, -1},
      {"UPGBUT", kWorks, false, {{kCmdSetFacilityOutput, hex, 0, 0x3F800000u}}, -1},
      {"CAPITOL", kBase, true, {{kCmdRelationSet298, hex, 0, 0}}, -1},
  };
  for (const Row& r : rows) {
    lead.classIndex = static_cast<int16_t>(r.cls);
    box.id = -1;
    OnFacilityActionCommand(form.root, form[r.tag], 0, Index(2, 5), nullptr, r.withBox ? &box : nullptr, nullptr,
                            nullptr);
    EXPECT_EQ(Posted(), r.posted) << r.tag;
    EXPECT_EQ(box.id, r.boxShown) << r.tag;
  }
}

// The confirm box's YES removes with 1 for destroy, 0 else; NO posts nothing.
TEST_F(BasePanelsTest, TheConfirmBoxRemovesOnYes) {
  Facility(2, 5, kBase);
  Own(2, 5, kOther);
  Select(2, 5);
  const uint32_t hex = 2u | 5u << 16;
  FacilityConfirmBox& box = g_screens.map1.ss6b;
  GlobalGuard<intptr_t> boxId(box.id);
  TestForm form(box, "MAP1_ss6b", {"YES", "NO", "DAYS"});
  struct Row {
    intptr_t id;
    const char* button;
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> posted;
  };
  const Row rows[] = {
      {2, "YES", {{kCmdHexStack291, hex, 1, 0}}},
      {0, "YES", {{kCmdHexStack291, hex, 0, 0}}},
      {1, "YES", {{kCmdHexStack291, hex, 0, 0}}},
      {2, "NO", {}},
      {1, "DAYS", {}},
  };
  for (const Row& r : rows) {
    box.id = r.id;
    box.OnCommand(form[r.button], 0);
    EXPECT_EQ(Posted(), r.posted) << r.id << r.button;
  }
}

// days = strength x buildDays / ((level / 125 + sup + 1) / 3) / 10; one day
// to destroy.
TEST_F(BasePanelsTest, TheConfirmBoxTellsHowLongTheRemovalTakes) {
  FacilityConfirmBox& box = g_screens.map1.ss6b;
  GlobalGuard<intptr_t> boxId(box.id);
  TestForm form(box, "MAP1_ss6b", {"DAYS", "BASETEXT", "CONFIRM", "CONFIRM2"});
  UnitRecord& lead = Facility(2, 2, kBase);
  g_world.unitClasses[kBase].buildWorkPerPoint = 30.0f;
  Select(2, 2);
  struct Row {
    intptr_t id;
    float strength, sup;
    uint8_t level;
    const char* days;
    bool confirmSelected, confirmHidden, confirm2Hidden;
  };
  const Row rows[] = {
      {2, 1.0f, 1.0f, 125, "1 Day", false, true, false},
      {0, 1.0f, 1.0f, 125, "3 Days", false, false, true},
      {1, 1.0f, 1.0f, 125, "3 Days", true, false, true},
      // (0 + 0 + 1) / 3: 9 days.
      {0, 1.0f, 0.0f, 0, "9 Days", false, false, true},
      {0, 0.0f, 1.0f, 125, "1 Day", false, false, true},
  };
  for (const Row& r : rows) {
    box.id = r.id;
    lead.strength = r.strength;
    lead.efficiency = r.sup;
    g_world.cellBytes[Index(2, 2)] = r.level;
    box.Refresh();
    EXPECT_EQ(form["DAYS"]->text, r.days) << r.id << " " << r.strength;
    EXPECT_EQ(form["CONFIRM"]->Selected(), r.confirmSelected) << r.id;
    EXPECT_EQ(form["CONFIRM"]->Hidden(), r.confirmHidden) << r.id;
    EXPECT_EQ(form["CONFIRM2"]->Hidden(), r.confirm2Hidden) << r.id;
    EXPECT_FALSE(form["BASETEXT"]->Hidden()) << "a base with room sends its units out";
  }
}

// (f x strength + 1) x costFactor / buildDays x size / divisor x upkeep, a
// year of it: active f 1, divisor 448000; idle f 2, divisor 1792000.
TEST_F(BasePanelsTest, TheUpkeepOfAYear) {
  UnitClassRecord& base = g_world.unitClasses[kBase];
  base.price = 448000.0f;
  UnitRecord& lead = Facility(1, 1, kBase);
  struct Row {
    uint32_t posture;
    float buildDays, upkeep, strength;
    float year;
  };
  const Row rows[] = {
      {0, 1.0f, 1.0f, 1.0f, 730.0f},
      {kPostureInReserve, 1.0f, 1.0f, 1.0f, 273.75f},
      {0, 2.0f, 1.0f, 1.0f, 365.0f},
      {0, 1.0f, 2.0f, 0.0f, 730.0f},
      {0, 0.0f, 1.0f, 1.0f, 0.0f},   // no build time: nothing to spread
      {0, -5.0f, 1.0f, 1.0f, 0.0f},
  };
  for (const Row& r : rows) {
    base.buildWorkPerPoint = r.buildDays;
    lead.ordersShown[kPostureBits] = r.posture;
    lead.strength = r.strength;
    g_world.players[kLocal].gdpPerCapita = r.upkeep;
    EXPECT_FLOAT_EQ(FacilityUpkeepPerYear(g_world, ViewFacility(g_world, Index(1, 1))), r.year)
        << r.posture << " " << r.buildDays;
  }
  EXPECT_FLOAT_EQ(FacilityUpkeepPerYear(g_world, ViewFacility(g_world, Index(2, 2))), 0.0f) << "no facility";
}

// 2 x crew x upkeep + (costFactor / buildDays) x size / 10 x strength x F x
// multiplier x 365, F = sites / 18 from 19 sites on.
TEST_F(BasePanelsTest, TheBaseCostsItsCrewAndItsRunning) {
  UnitClassRecord& base = g_world.unitClasses[kBase];
  base.price = 100.0f;
  base.valuePerPoint = 50;
  g_world.mapHeader.scaleSquared = 2.0f;
  PlayerRecord& owner = g_world.players[kLocal];
  owner.gdpPerCapita = 0.5f;
  UnitRecord& lead = Facility(1, 1, kBase);
  struct Row {
    float sites, buildDays, strength;
    uint32_t posture, flags;
    float year;
  };
  const Row rows[] = {
      {36.0f, 10.0f, 1.0f, 0, kClassSettlement, 1510.0f},
      {18.0f, 10.0f, 1.0f, 0, kClassSettlement, 780.0f},
      {19.0f, 10.0f, 1.0f, 0, kClassSettlement, 50.0f + 2.0f * 19.0f / 18.0f * 365.0f},
      // Running follows the strength; the crew does while the base works.
      {18.0f, 10.0f, 0.5f, 0, kClassSettlement, 390.0f},
      {18.0f, 10.0f, 0.5f, kPostureInReserve, kClassSettlement, 415.0f},
      {18.0f, 0.0f, 1.0f, 0, kClassSettlement, 50.0f},                   // no build time: no running
      {36.0f, 10.0f, 1.0f, 0, 0, 50.0f},                                 // no running cost at all
  };
  for (const Row& r : rows) {
    base.buildWorkPerPoint = r.buildDays;
    base.flags = kClassFacility | r.flags;
    SetRecordF32(owner, kCapacityByKind, r.sites);
    lead.strength = r.strength;
    lead.ordersShown[kPostureBits] = r.posture;
    EXPECT_FLOAT_EQ(BaseYearlyCost(g_world, ViewFacility(g_world, Index(1, 1))), r.year) << r.sites << " " << r.strength;
  }
}

TEST_F(BasePanelsTest, TheReservePanelShowsNoNegativeReserve) {
  ReserveForcePanel& panel = g_screens.map1.ss6e;
  TestForm form(panel, "MAP1_ss6e", {"ANNCOST", "RESFORCE", "RESUNITS"});
  UnitRecord& lead = Facility(1, 1, kBase);
  UnitRecord& stored = Stored(1, 1);
  SetRing({&lead, &stored});
  Select(1, 1);
  struct Row {
    float soldiers, promised;
    const char* shown;
  };
  const Row rows[] = {{-5.0f, 0.0f, "0"}, {1234.0f, 234.0f, "1,000"}, {10.0f, 20.0f, "0"}};
  for (const Row& r : rows) {
    g_world.players[kLocal].soldiers = r.soldiers;
    g_world.pendingDeployments[kLocal].store(r.promised);
    panel.Refresh();
    EXPECT_EQ(form["RESFORCE"]->text, r.shown) << r.soldiers;
    EXPECT_EQ(form["RESUNITS"]->text, "1");
  }
}

// RALLYBUT waits for a hex; the click posts the base's destination.
TEST_F(BasePanelsTest, RallyButtonAndAClickSetTheRallyPoint) {
  UseMap(100, 8, true, 20);
  UnitRecord& lead = Facility(98, 5, kBase);
  SetRing({&lead});
  Select(98, 5);
  TestForm form(g_screens.map1.ss6a, "MAP1_ss6a", {"RALLYBUT"});
  OnFacilityActionCommand(form.root, form["RALLYBUT"], 0, Index(98, 5), nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(g_screens.mapClickMode, kClickObjectDestination);
  EXPECT_EQ(g_mapClickPending.objectId, lead.id);
  EXPECT_EQ(g_mapView.hexPickCursor, 1);
  Own(98, 5, kOther);  // the display pass leaves the base as it is
  ExecuteHexClick(g_screens, MakeHexPos(1, 5));
  EXPECT_EQ(Posted(), (std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>>{
                          {kCmdLeadUnitSetDestination, 98u | 5u << 16, 1u | 5u << 16, 0}}));
  EXPECT_EQ(g_screens.mapClickMode, kClickNone);
  EXPECT_EQ(g_mapView.hexPickCursor, 0) << "the pick's cursor goes with it";
}

// Across the seam of a 100-column map (98, 5) to (1, 5) is 3 hexes.
TEST_F(BasePanelsTest, TheRallyPanelMeasuresAcrossTheSeam) {
  UseMap(100, 8, true, 20);
  RallyPointPanel& panel = g_screens.map1.ss6c;
  GlobalGuard<intptr_t> panelId(panel.id);
  TestForm form(panel, "MAP1_ss6c", {"HEADER", "RALLY", "SELECT", "CENTRE", "DISTANCE", "CITY"});
  UnitRecord& lead = Facility(98, 5, kBase);
  Select(98, 5);
  struct Row {
    intptr_t id;
    uint32_t rally;
    bool hexes;
    const char* distance;
    const char* city;
    const char* shownTag;
  };
  const Row rows[] = {
      {1, MakeHexPos(1, 5), true, " 3.0 Hexes", "X:001 Y:005", "RALLY"},
      {1, MakeHexPos(1, 5), false, "60.0 km", "X:001 Y:005", "RALLY"},
      {0, 0, false, " 0.0 km", "X:098 Y:005", "HEADER"},
      {1, MakeHexPos(95, 5), true, " 3.0 Hexes", "X:095 Y:005", "RALLY"},
  };
  for (const Row& r : rows) {
    panel.id = r.id;
    lead.ordersShown[kDestination] = r.rally;
    g_uiOptions.bdistancehexes = r.hexes;
    panel.Refresh();
    EXPECT_EQ(form["DISTANCE"]->text, r.distance) << r.city;
    EXPECT_EQ(form["CITY"]->text, r.city) << r.distance;
    EXPECT_FALSE(form["CENTRE"]->Hidden());
    for (const char* tag : {"HEADER", "RALLY", "SELECT"})
      EXPECT_EQ(form[tag]->Hidden(), std::strcmp(tag, r.shownTag) != 0) << tag << " " << r.id;
  }
  // A named hex shows its name.
  SetLockedText(g_world, GetHexExtra(g_world, Cell(1, 5))->text, "Harbour");
  lead.ordersShown[kDestination] = MakeHexPos(1, 5);
  panel.Refresh();
  EXPECT_EQ(form["CITY"]->text, "Harbour");
}

}  // namespace
