#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/calendar.h"
#include "editor/editor_clear_units.h"
#include "editor/editor_screens.h"
#include "editor/editor_setup_dialogs.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "sim/daily/elimination.h"
#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/map_data.h"
#include "world/unit_class_flags.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

class EditorSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_editorScreens = EditorScreens{};
    ASSERT_EQ(ResizeMap(g_world, 240, 120), 0);
    g_world.unitClasses.assign(4, UnitClassRecord{});
    g_world.unitClasses[3].flags = kClassSettlementPopulation;
  }
  void TearDown() override {
    std::vector<UnitRecord*> left;
    for (UnitRecord* u = g_world.units; u && (left.empty() || u != left.front()); u = u->next) left.push_back(u);
    for (UnitRecord* u : left) delete u;
    g_world.units = nullptr;
    ReindexUnits(g_world);
    for (HexCell& cell : g_world.cells) FreeHexStack(cell);
  }
  // A unit of its own record, in the ring at (x, y); a facility leads its hex.
  UnitRecord& Place(uint32_t id, int16_t cls, bool facility, int16_t x, int16_t y) {
    auto* u = new UnitRecord{};
    u->id = id, u->classIndex = cls, u->x = x, u->y = y;
    if (facility) {
      u->unitFlags |= kUnitFacility;
      MakeHexStack(g_world.cells[static_cast<size_t>(y) * 240 + x])->lead = u;
    }
    InsertUnitInRing(g_world, *u);
    return *u;
  }
  std::set<uint32_t> Ids() const {
    std::set<uint32_t> ids;
    for (UnitRecord* u = g_world.units; u; u = u->next == g_world.units ? nullptr : u->next) ids.insert(u->id);
    return ids;
  }

  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<uint8_t>> cellBytes_{g_world.cellBytes};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<MapHeader> header_{g_world.mapHeader};
  GlobalGuard<int32_t> width_{g_world.mapWidth};
  GlobalGuard<int32_t> height_{g_world.mapHeight};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<UnitRecord*> units_{g_world.units};
  GlobalGuard<EditorScreens> screens_{g_editorScreens};
};

TEST_F(EditorSetupTest, TheMapDialogKeepsItsFieldsInRange) {
  MapSetupDialog dialog;
  controltest::PanelForm form(dialog, "MAPEDITOR_POPUP1",
                              {"MAPX", "MAPY", "HEXWIDTH", "ZRECTX", "ZRECTY", "ZRECTW", "ZRECTH", "OKBUT"});
  const struct {
    const char *x, *y, *hex, *rect[4];
    int32_t width, height, hexWidth, stored[4];
    float area;
  } kRows[] = {
      {"5", "1000", "76", {"700", "300", "200", "200"}, 240, 120, 20, {700, 300, 800, 400}, 1.0f},
      {"100", "50", "25", {"0", "0", "800", "400"}, 100, 50, 25, {0, 0, 800, 400}, 1.5625f},
      {"100", "50", "0", {"900", "0", "10", "10"}, 100, 50, 25, {0, 0, 0, 0}, 1.5625f},
  };
  g_world.mapHeader.hexScale = 20;
  g_world.mapHeader.scaleSquared = 1.0f;
  for (const auto& row : kRows) {
    form["MAPX"]->SetText(row.x);
    form["MAPY"]->SetText(row.y);
    form["HEXWIDTH"]->SetText(row.hex);
    const char* tags[4] = {"ZRECTX", "ZRECTY", "ZRECTW", "ZRECTH"};
    for (int i = 0; i < 4; ++i) form[tags[i]]->SetText(row.rect[i]);
    dialog.id = 0;
    dialog.OnCommand(form["OKBUT"], 0);
    const MapHeader& h = g_world.mapHeader;
    EXPECT_EQ(h.width, row.width) << row.x;
    EXPECT_EQ(h.height, row.height) << row.y;
    EXPECT_EQ(h.hexScale, static_cast<uint32_t>(row.hexWidth)) << row.hex;
    EXPECT_FLOAT_EQ(h.scaleSquared, row.area) << row.hex;
    int32_t rect[4];
    std::memcpy(rect, reinterpret_cast<const uint8_t*>(&h) + 256, sizeof rect);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(rect[i], row.stored[i]) << row.rect[0] << " " << i;
  }
}

TEST_F(EditorSetupTest, ASmallerMapFreesTheUnitsAndCapitalsPastItsEdge) {
  GlobalGuard players(g_world.players);
  Place(1, 1, false, 150, 60);
  Place(2, 1, false, 20, 20);
  SetCapitalHex(g_world.players[2].simPolicy, {150, 60});
  SetCapitalHex(g_world.players[2].displayPolicy, {150, 60});
  SetCapitalHex(g_world.players[3].simPolicy, {20, 20});
  ASSERT_EQ(ResizeEditorMap(g_world, 100, 50), 0);
  EXPECT_EQ(Ids(), std::set<uint32_t>{2});
  EXPECT_EQ(CapitalHex(g_world.players[2].simPolicy), CapitalPosition{});
  EXPECT_EQ(CapitalHex(g_world.players[2].displayPolicy), CapitalPosition{});
  EXPECT_EQ(CapitalHex(g_world.players[3].simPolicy), (CapitalPosition{20, 20}));
}

TEST_F(EditorSetupTest, TheScenarioDialogStoresTheLevelAndTheStartDate) {
  ScenarioSetupDialog dialog;
  controltest::PanelForm form(dialog, "MAPEDITOR_POPUP2", {"LEVELM", "STARTYEAR", "STARTMONTH", "STARTDAY", "OKBUT"});
  // The second of the sixteen map settings.
  ControlAddChild(form.root, new StringControl(controltest::Init(nullptr, &dialog, 0, 0, 40, 12), StringInit{}))->id = 12;
  auto* level = static_cast<SlideBarControl*>(
      ControlAddChild(form.root, new SlideBarControl(controltest::Init("LMSLDR", &dialog, 0, 0, 100, 8), {})));
  const auto day = [](int16_t y, uint8_t m, uint8_t d) {
    GameDate date;
    date.year = y, date.month = m, date.day = d;
    DateToDayNumber(date);
    return static_cast<uint32_t>(date.dayNumber);
  };
  const struct {
    const char *year, *month, *dayText;
    uint32_t startDay;
  } kRows[] = {{"0", "5", "1", day(1, 5, 1)},
               {"3000", "5", "1", day(2500, 5, 1)},
               {"2011", "13", "1", day(2012, 1, 1)},
               {"2011", "2", "31", day(2011, 3, 3)}};
  for (const auto& row : kRows) {
    g_world.mapHeader.newMapWord = 100;
    dialog.id = 0;
    dialog.Refresh();
    EXPECT_EQ(SliderGetValueInt(level), 7);
    EXPECT_EQ(form.Text("LEVELM"), "128");
    form["STARTYEAR"]->SetText(row.year);
    form["STARTMONTH"]->SetText(row.month);
    form["STARTDAY"]->SetText(row.dayText);
    form[12]->SetText("300");
    dialog.OnCommand(form["OKBUT"], 0);
    EXPECT_EQ(g_world.mapHeader.newMapWord, 128u);
    EXPECT_EQ(g_world.mapHeader.startDay, row.startDay) << row.year << "-" << row.month << "-" << row.dayText;
    EXPECT_EQ(g_world.gameState.currentDay, row.startDay);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&g_world.mapHeader)[566], 300 & 0xFF);
  }
  // A new scenario opens on 1 May 2010, a normal climate and level 1.
  auto* temperature = static_cast<SlideBarControl*>(
      ControlAddChild(form.root, new SlideBarControl(controltest::Init("TEMPAVGSLDR", &dialog, 0, 0, 100, 8), {})));
  dialog.id = 1;
  dialog.Refresh();
  EXPECT_EQ(form.Text("STARTYEAR") + "-" + form.Text("STARTMONTH") + "-" + form.Text("STARTDAY"), "2010-5-1");
  EXPECT_NEAR(SliderGetValueFloat(temperature), 0.5f, 1e-4f);
  EXPECT_EQ(form.Text("LEVELM"), "1");
}

TEST_F(EditorSetupTest, EachClearingTakesOnlyItsKindAndFreesIt) {
  const struct {
    EditorClear what;
    std::set<uint32_t> left;
  } kRows[] = {{EditorClear::kUnits, {3, 4}},
               {EditorClear::kFacilities, {1, 2, 4, 5}},
               {EditorClear::kSettlements, {1, 2, 3, 5}}};
  for (const auto& row : kRows) {
    // The ring's head (id 1) is among the units.
    Place(1, 1, false, 1, 1);
    Place(2, 1, false, 2, 1);
    Place(3, 2, true, 3, 1);
    Place(4, 3, true, 4, 1);
    Place(5, 1, false, 5, 1);
    HexExtra* label = GetHexExtra(g_world, g_world.cells[240 + 4]);
    label->bytes4[0] = 7;
    label->pairB[0] = 3;
    ClearEditorUnits(g_world, row.what);
    EXPECT_EQ(Ids(), row.left) << static_cast<int>(row.what);
    const bool peopleGone = row.what == EditorClear::kSettlements;
    EXPECT_EQ(label->bytes4[0], peopleGone ? 0 : 7);
    EXPECT_EQ(label->pairA[0], peopleGone ? 1 : 0);
    TearDown();
  }
}

TEST_F(EditorSetupTest, ThePlayerVariablesChooseTheLocalPlayerAndWeighTheRows) {
  GlobalGuard players(g_world.players);
  GlobalGuard rates(g_world.techEffects[5]);
  GlobalGuard local(g_world.localPlayerRecord);
  PlayerVariablesPanel panel;
  std::vector<int32_t> ids;
  for (int32_t i = 16; i <= 26; ++i) ids.push_back(i);
  controltest::PanelForm form(panel, "MAPEDITOR_SS2", {"PVAR"}, {}, {}, 63);
  for (int32_t id : ids) {
    auto* amount = new StringControl(controltest::Init(nullptr, &panel, 0, 0, 40, 12), StringInit{.bufferSize = 63});
    ControlAddChild(form.root, amount)->id = id;
  }
  g_world.gameState.highestPlayer = 6;
  for (int i = 0; i < kProductCount; ++i) {
    le::StoreF32(g_world.players[5].products[i].bytes + 0, 2.0f);   // the row's factor
    le::StoreF32(g_world.players[5].products[i].bytes + 16, 3.0f);  // its amount
    g_world.techEffects[5][54 + i] = g_world.techEffects[5][66 + i] = 1.0f;
  }
  g_world.techEffects[5][0] = 10.0f;
  panel.id = 4;
  panel.OnCommand(nullptr, 3);  // next
  EXPECT_EQ(panel.id, 5);
  EXPECT_EQ(g_world.gameState.localPlayer, 5);
  EXPECT_EQ(g_world.localPlayerRecord, &g_world.players[5]);
  SetControlFlag(form["PVAR"], kStateSelected, 1);
  panel.Refresh();
  // 3 x 2 for rows 0 to 7; rows 8 to 10 also x the scale 10.
  for (int i = 0; i < kProductCount; ++i) EXPECT_EQ(form[16 + i]->text, i < 8 ? "6" : "60") << i;
  panel.id = 0;
  panel.OnCommand(nullptr, 1);  // previous stays at 0
  EXPECT_EQ(panel.id, 0);
}

}  // namespace
