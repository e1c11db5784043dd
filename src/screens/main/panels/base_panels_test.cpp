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
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_kinds.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/main/map/map_view.h"
#include "screens/common/frame/map_click.h"
#include "screens/main/panels/base_panels.h"
#include "screens/common/facilities/facility_actions.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/daily/facility_running.h"
#include "sim/daily/research_fields.h"
#include "units/hex_state.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "support/world_map_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1, kOther = 2;
constexpr int32_t kBase = 4020, kWorks = 4050, kTown = 4010;
constexpr uint32_t kBuilding = kPostureInReserve | kPostureUnderConstruction;
using Posted = std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>>;

using TestForm = controltest::PanelForm;

class BasePanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_ui.mode = kUiInGame;
    UseMap(8, 8, false, 1);
    World& w = g_world;
    w.terrains.assign(2, TerrainRecord{});
    w.unitClasses.assign(4130, UnitClassRecord{});
    w.mapHeader.scaleSquared = 1.0f;
    w.gameState.localPlayer = kLocal;
    for (int p : {kLocal, kOther}) w.players[p] = PlayerRecord{}, w.players[p].gdpPerCapita = 1.0f;
    w.players[kLocal].costFactor = 1.0f;
    for (int i = 0; i < 7; ++i) SetText(TextListInfoOf(kListUgstatus).first + i, "status" + std::to_string(i));
    Class(kBase, kClassSettlement).baseSlots = 4;
    Class(kWorks, kClassProduction);
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_commandLog.Clear();
    testsupport::LinkUnitRing({});
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    for (const auto& [at, old] : texts_) std::free(g_textLists.entries[at]), g_textLists.entries[at] = old;
  }
  static void UseMap(int32_t columns, int32_t rows, bool wraps, uint32_t km) {
    World& w = g_world;
    w.mapWidth = w.mapHeader.width = columns;
    w.mapHeight = w.mapHeader.height = rows;
    w.mapHeader.hexScale = km;
    reinterpret_cast<uint8_t*>(&w.mapHeader)[kMapWrapByte] = wraps ? 1 : 0;
    const uint32_t own = WithCellLoyalTo(WithCellOwner(WithCellTerrain(0, 1), kLocal), kLocal);
    w.cells.assign(static_cast<size_t>(columns * rows), HexCell{nullptr, own});
    w.cellBytes.assign(static_cast<size_t>(columns * rows), 100);
  }
  static HexCell& Cell(int x, int y) { return g_world.cells[Index(x, y)]; }
  static uint32_t Index(int x, int y) { return static_cast<uint32_t>(y * g_world.mapWidth + x); }
  static void Select(int16_t x, int16_t y) { g_world.gameState.currentHex = {x, y, Index(x, y), 0}; }
  static void Own(int x, int y, int p) { Cell(x, y).word = WithCellLoyalTo(WithCellOwner(Cell(x, y).word, p), p); }
  static UnitClassRecord& Class(int32_t c, uint32_t flags) {
    g_world.unitClasses[static_cast<size_t>(c)].flags = kClassFacility | flags;
    return g_world.unitClasses[static_cast<size_t>(c)];
  }
  // The hex's facility (running, strength 1), or a unit stored there.
  UnitRecord& Unit(int x, int y, int32_t cls, bool facility = true) {
    UnitRecord& u = units_.emplace_back();
    u.classIndex = static_cast<int16_t>(cls);
    u.strength = 1.0f;
    u.owner = kLocal;
    u.x = static_cast<int16_t>(x), u.y = static_cast<int16_t>(y);
    u.id = 0x100 + static_cast<uint32_t>(units_.size());
    u.unitFlags = facility ? kUnitFacility : 0;
    u.ordersShown[kPostureBits] = facility ? 0 : kPostureInReserve;
    if (facility) MakeHexStack(Cell(x, y))->lead = &u;
    return u;
  }
  void SetText(int at, const std::string& text) {
    texts_.emplace_back(at, g_textLists.entries[at]);
    g_textLists.entries[at] = strdup(text.c_str());
  }
  static Posted Log() {
    Posted out;
    for (const GameCommand& c : g_commandLog.Entries()) out.emplace_back(c.id, c.arg24, c.arg28, c.arg32);
    g_commandLog.Clear();
    return out;
  }

  GlobalGuard<int32_t> mode_{g_ui.mode}, depth_{g_ui.panelDepth}, clickMode_{g_screens.mapClickMode};
  GlobalGuard<int32_t> cursor_{g_mapView.hexPickCursor}, pick_{g_mapView.pickHex};
  WorldMapGuard map_;
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]}, other_{g_world.players[kOther]};
  GlobalGuard<std::atomic<float>> promised_{g_world.pendingDeployments[kLocal]};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<MapClickPending> pending_{g_mapClickPending};
  GlobalGuard<UnitRecord*> ring_{g_world.units};
  // The panels show their sub-screens and pop-ups with ids, nowhere.
  struct Detached {
    explicit Detached(Screen& s) : id(s.id), host(s.host, nullptr), link(s.hostLink, nullptr) {}
    GlobalGuard<intptr_t> id;
    GlobalGuard<Control*> host;
    GlobalGuard<Control**> link;
  };
  Detached screens_[6] = {Detached{g_screens.basePopup}, Detached{g_screens.mapScreen.facilityActions}, Detached{g_screens.mapScreen.facilityConfirm},
                          Detached{g_screens.mapScreen.rallyPointPanel}, Detached{g_screens.mapScreen.reserveForce},
                          Detached{g_screens.mapScreen.settlement.outputCancel}};
  std::deque<UnitRecord> units_;
  std::vector<std::pair<int, char*>> texts_;
};

TEST_F(BasePanelsTest, TheBasePanelShowsTheSelectedBase) {
  BasePanel panel;
  TestForm form(panel, "FORM", {"NOTE", "CONDITION", "BASENAME", "BASEDETAILS", "PRODLIST"}, {}, {"PRODLIST"});
  panel.BindControls();
  UnitRecord& lead = Unit(3, 3, kBase);
  Select(3, 3);
  struct Row {
    uint8_t level;
    uint32_t posture;
    float strength;
    size_t label;
    int owner;
    const char *note, *condition;
  };
  // Without supply the note says so whatever the base does; the strength
  // shows capped; a name shows 47 characters at most.
  const Row rows[] = {{100, 0, 0.5f, 5, kLocal, "status0", " 50 %"},
                      {0, 0, 1.3f, 60, kLocal, "status6", "100 %"},
                      {0, kPostureInReserve, 0.0f, 60, kOther, "status6", "  0 %"},
                      {100, kPostureInReserve, 0.0f, 60, kOther, "status1", "  0 %"}};
  const std::string sixty(60, 'n');
  for (const Row& r : rows) {
    g_world.cellBytes[Index(3, 3)] = r.level;
    lead.ordersShown[kPostureBits] = r.posture;
    lead.strength = r.strength;
    Own(3, 3, r.owner);
    SetLockedText(g_world, GetHexExtra(g_world, Cell(3, 3))->text, sixty.substr(0, r.label).c_str());
    panel.Refresh();
    EXPECT_EQ(form["NOTE"]->text, r.note);
    EXPECT_EQ(form["CONDITION"]->text, r.condition) << r.note;
    EXPECT_EQ(form["BASENAME"]->text, sixty.substr(0, std::min<size_t>(r.label, 47))) << r.note;
    EXPECT_EQ(form["BASEDETAILS"]->Hidden(), r.owner != kLocal) << r.note;
  }
  // A base holding no unit lists "Waiting", which a press does not select.
  Control* waiting = panel.prodList->firstRow;
  ASSERT_NE(waiting, nullptr);
  EXPECT_EQ(waiting->text, kBaseListEmpty);
  EXPECT_FALSE(waiting->flags & kCtlButton);
  UnitRecord& stored = Unit(3, 3, kTown, false);
  testsupport::LinkUnitRing({&lead, &stored});
  panel.Refresh();
  EXPECT_EQ(panel.prodList->firstRow->id, static_cast<int32_t>(stored.id));
  EXPECT_EQ(panel.units.entries, std::vector<intptr_t>{stored.id});
  // BASEDETAILS on a foreign hex does nothing; on the player's own it opens
  // the base's pop-up.
  Class(kBase, kClassSettlement).loadableMask = 1;
  lead.ordersShown[kPostureBits] = 0;
  for (const auto& [owner, opened] : {std::pair{kOther, 77}, std::pair{kLocal, static_cast<int>(lead.id)}}) {
    g_screens.basePopup.id = 77;
    Own(3, 3, owner);
    panel.OnCommand(form["BASEDETAILS"], 0);
    EXPECT_EQ(g_screens.basePopup.id, opened) << owner;
  }
  ListHolderClear(ObjectPopupList());
}

TEST_F(BasePanelsTest, TheActionButtonsFollowTheFacility) {
  TestForm form(g_screens.mapScreen.facilityActions, "FORM", {"CANCON", "PAUSE", "SCRAP", "DESTROY", "ACTIVATE", "UPGBUT", "GRIDNOTEM", "GRIDDES"});
  UnitRecord& lead = Unit(0, 3, kBase);
  UnitRecord& stored = Unit(0, 3, kTown, false);
  // A settlement unit beside the hex keeps the supply note away; one at hex
  // (0, 0) is no neighbour of (0, 3), whose western neighbours are off the map.
  UnitRecord settler{};
  settler.classIndex = kTown;
  Class(kTown, kClassSettlementPopulation);
  for (auto [x, y] : {std::pair{0, 0}, std::pair{1, 3}})
    HexPresenceFlags(*GetHexExtra(g_world, Cell(x, y))) = kPresenceRepair;
  struct Row {
    int32_t cls;
    uint8_t level;
    uint32_t posture, state;
    float strength;
    bool withStored, settlerBeside;
    std::vector<std::string> shown;
  };
  const Row rows[] = {
      {kBase, 0, kBuilding, kStateHeldSlot, 1.0f, false, false, {"CANCON", "PAUSE", "SCRAP", "DESTROY", "GRIDDES"}},
      {kBase, 100, kPostureInReserve, kStateModeC, 1.0f, true, false, {"ACTIVATE", "GRIDNOTEM"}},
      {kBase, 100, 0, 0, 1.0f, false, true, {"SCRAP", "DESTROY"}},
      // A site that gives all its class needs (eff 1.0): at 0.99 an upgrade
      // gains nothing, at 0.5 it does.
      {kWorks, 100, kPostureInReserve, 0, 0.99f, false, false, {"SCRAP", "DESTROY", "ACTIVATE", "GRIDDES"}},
      {kWorks, 100, kPostureInReserve, 0, 0.5f, false, false, {"SCRAP", "DESTROY", "ACTIVATE", "UPGBUT", "GRIDDES"}},
  };
  for (const Row& r : rows) {
    lead.classIndex = static_cast<int16_t>(r.cls);
    g_world.cellBytes[Index(0, 3)] = r.level;
    lead.ordersShown[kPostureBits] = r.posture;
    lead.ordersShown[kStateFlags] = r.state;
    lead.strength = r.strength;
    MakeHexStack(Cell(0, 0))->chainA[0] = &settler;
    MakeHexStack(Cell(1, 3))->chainA[0] = r.settlerBeside ? &settler : nullptr;
    testsupport::LinkUnitRing(r.withStored ? std::vector<UnitRecord*>{&lead, &stored} : std::vector<UnitRecord*>{&lead});
    UpdateFacilityActionButtons(form.root, Index(0, 3));
    std::vector<std::string> shown;
    for (const char* tag : kFacilityActionTags)
      if (form[tag] && !form[tag]->Hidden()) shown.emplace_back(tag);
    EXPECT_EQ(shown, r.shown) << r.cls << " " << r.posture << " " << r.strength;
  }
  MakeHexStack(Cell(0, 0))->chainA[0] = MakeHexStack(Cell(1, 3))->chainA[0] = nullptr;
}

TEST_F(BasePanelsTest, TheActionsAndTheConfirmBoxPostTheirCommands) {
  UnitRecord& lead = Unit(2, 5, kBase);
  lead.targetStrength = 0.75f;
  Own(2, 5, kOther);  // the display passes change nothing on another's hex
  Select(2, 5);
  const uint32_t hex = 2u | 5u << 16;
  FacilityConfirmBox& box = g_screens.mapScreen.facilityConfirm;
  TestForm form(g_screens.mapScreen.facilityActions, "FORM", {"CANCON", "SCRAP", "DESTROY", "PAUSE", "ACTIVATE"});
  TestForm boxForm(box, "FORM", {"YES", "NO"});
  struct Row {
    const char* tag;
    int32_t cls;
    Posted posted;
    intptr_t boxId;  // the box's id, then its YES
    Posted confirmed;
  };
  const Row rows[] = {
      {"CANCON", kBase, {}, 1, {{kCmdHexStack291, hex, 0, 0}}},
      {"SCRAP", kBase, {}, 0, {{kCmdHexStack291, hex, 0, 0}}},
      {"DESTROY", kBase, {}, 2, {{kCmdHexStack291, hex, 1, 0}}},
      {"PAUSE", kBase, {{kCmdHexStack297, hex, 1, 0}}, -1, {}},
      {"ACTIVATE", kWorks, {{kCmdHexStack292, hex, 0, 0}}, -1, {}},
      {"ACTIVATE", kBase, {{kCmdSetFacilityOutput, hex, 0, 0x3F400000u}}, -1, {}},
  };
  for (const Row& r : rows) {
    lead.classIndex = static_cast<int16_t>(r.cls);
    box.id = -1;
    OnFacilityActionCommand(form.root, form[r.tag], 0, Index(2, 5), nullptr, &box, nullptr, nullptr);
    EXPECT_EQ(Log(), r.posted) << r.tag;
    EXPECT_EQ(box.id, r.boxId) << r.tag;
    if (r.boxId < 0) continue;
    box.OnCommand(boxForm["YES"], 0);
    EXPECT_EQ(Log(), r.confirmed) << r.tag;
    box.OnCommand(boxForm["NO"], 0);
    EXPECT_EQ(Log(), Posted{}) << r.tag;
  }
  // Without a box the removal is posted at once.
  OnFacilityActionCommand(form.root, form["DESTROY"], 0, Index(2, 5), nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(Log(), (Posted{{kCmdHexStack291, hex, 1, 0}}));
}

// Upkeep and the base's yearly cost: a year of what the day charges for the
// facility as it stands, (strength + 1) x price / buildDays x size / 448000
// x upkeep working, (2 x strength + 1) / 1792000 idle, nothing mothballed,
// under repair or for the world's hexes; the crew is paid by no day, and the
// site count makes it no dearer. Removal: strength x buildDays / ((level /
// 125 + sup + 1) / 3) / 10, one day to destroy.
TEST_F(BasePanelsTest, UpkeepRemovalDaysAndTheBasesYearlyCost) {
  UnitClassRecord& base = g_world.unitClasses[kBase];
  base.valuePerPoint = 50;
  g_world.mapHeader.scaleSquared = 2.0f;
  PlayerRecord& owner = g_world.players[kLocal];
  owner.gdpPerCapita = 0.5f;
  SetRecordF32(owner, kCapacityByKind, 36.0f);
  UnitRecord& lead = Unit(1, 1, kBase);
  lead.efficiency = 1.0f;
  g_world.cellBytes[Index(1, 1)] = 125;  // (1 + 1 + 1) / 3: removal takes a tenth of the build time
  const FacilityView v = ViewFacility(g_world, Index(1, 1));
  struct Row {
    float price, days;
    uint32_t posture, state;
    float target;
    int32_t kind;
    bool idle, forNothing;
    float upkeep, removal;
  };
  const Row rows[] = {
      {448000.0f, 1.0f, 0, 0, 1.0f, kKindHuman, false, false, 730.0f, 0.1f},
      {448000.0f, 1.0f, kPostureInReserve, 0, 1.0f, kKindHuman, true, false, 273.75f, 0.1f},
      {100.0f, 10.0f, 0, 0, 1.0f, kKindHuman, false, false, 20.0f / 448000.0f * 365.0f, 1.0f},
      {448000.0f, 0.0f, 0, 0, 1.0f, kKindHuman, false, false, 0.0f, 0.0f},  // no build time: nothing
      {448000.0f, -5.0f, 0, 0, 1.0f, kKindHuman, false, false, 0.0f, -0.5f},
      // Mothballed, or idle and repairing in its slot: charged nothing.
      {448000.0f, 1.0f, kPostureInReserve, kStatePausedBuild, 1.0f, kKindHuman, true, true, 0.0f, 0.1f},
      {448000.0f, 1.0f, kPostureInReserve, kStateHeldSlot, 2.0f, kKindHuman, true, true, 0.0f, 0.1f},
      {448000.0f, 1.0f, 0, 0, 1.0f, kKindWorld, false, false, 0.0f, 0.1f},
  };
  for (const Row& r : rows) {
    base.price = r.price, base.buildWorkPerPoint = r.days;
    lead.ordersShown[kPostureBits] = r.posture;
    lead.ordersShown[kStateFlags] = r.state;
    lead.targetStrength = r.target;
    owner.kind = r.kind;
    const float charged = r.kind == kKindWorld ? 0.0f
                                               : FacilityRunningCharge(g_world, base, lead.strength,
                                                                       owner.gdpPerCapita, r.idle, r.forNothing) *
                                                     365.0f;
    EXPECT_FLOAT_EQ(charged, r.upkeep) << r.days << " " << r.posture << " " << r.state;
    EXPECT_FLOAT_EQ(FacilityUpkeepPerYear(g_world, v), charged) << r.days << " " << r.posture << " " << r.state;
    EXPECT_FLOAT_EQ(RemovalDays(g_world, v, 0), r.removal) << r.days;
    EXPECT_FLOAT_EQ(RemovalDays(g_world, v, 2), 1.0f) << r.days;
  }
}

TEST_F(BasePanelsTest, TheSmallPanelsShowDaysReserveAndRallyPoint) {
  UseMap(100, 8, true, 20);
  UnitRecord& lead = Unit(98, 5, kBase);
  testsupport::LinkUnitRing({&lead});
  Select(98, 5);
  // Confirm: strength 1, buildDays 30, level 125, sup 1 is three days.
  FacilityConfirmBox& box = g_screens.mapScreen.facilityConfirm;
  TestForm boxForm(box, "FORM", {"DAYS"});
  g_world.unitClasses[kBase].buildWorkPerPoint = 30.0f;
  g_world.cellBytes[Index(98, 5)] = 125;
  lead.efficiency = 1.0f;
  for (const auto& [id, days] : {std::pair{0, "3 Days"}, std::pair{2, "1 Day"}}) {
    box.id = id;
    box.Refresh();
    EXPECT_EQ(boxForm["DAYS"]->text, days);
  }
  // Reserve: never below 0.
  TestForm reserveForm(g_screens.mapScreen.reserveForce, "FORM", {"RESFORCE"});
  for (const auto& [soldiers, shown] : {std::pair{-5.0f, "0"}, std::pair{1234.0f, "1,234"}}) {
    g_world.players[kLocal].soldiers = soldiers;
    g_screens.mapScreen.reserveForce.Refresh();
    EXPECT_EQ(reserveForm["RESFORCE"]->text, shown);
  }
  // Rally: RALLYBUT waits for a hex, the click posts the base's destination,
  // and the panel measures across the seam of the 100-column map.
  TestForm actions(g_screens.mapScreen.facilityActions, "FORM", {"RALLYBUT"});
  OnFacilityActionCommand(actions.root, actions["RALLYBUT"], 0, Index(98, 5), nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(std::tuple(g_screens.mapClickMode, g_mapClickPending.objectId, g_mapView.hexPickCursor),
            std::tuple(int32_t{kClickObjectDestination}, lead.id, 1));
  Own(98, 5, kOther);
  ExecuteHexClick(g_screens, MakeHexPos(1, 5));
  EXPECT_EQ(Log(), (Posted{{kCmdLeadUnitSetDestination, 98u | 5u << 16, 1u | 5u << 16, 0}}));
  EXPECT_EQ(std::tuple(g_screens.mapClickMode, g_mapView.hexPickCursor), std::tuple(int32_t{kClickNone}, 0));
  TestForm rally(g_screens.mapScreen.rallyPointPanel, "FORM", {"DISTANCE", "CITY", "CENTRE"});
  lead.ordersShown[kDestination] = MakeHexPos(1, 5);
  for (const auto& [hexes, distance] : {std::pair{1, " 3.0 Hexes"}, std::pair{0, "60.0 km"}}) {
    g_uiOptions.bdistancehexes = hexes;
    g_screens.mapScreen.rallyPointPanel.Refresh();
    EXPECT_EQ(std::tuple(rally["DISTANCE"]->text, rally["CITY"]->text), std::tuple(distance, "X:001 Y:005"));
  }
}

}  // namespace
