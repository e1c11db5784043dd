#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "app/calendar.h"
#include "editor/editor_clear_units.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "editor/editor_setup_dialogs.h"
#include "editor/facility_paint_panel.h"
#include "editor/facility_type_panel.h"
#include "records/hex_cell.h"
#include "units/hex_geometry.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "sim/daily/elimination.h"
#include "sim/facility_costs.h"
#include "units/hex_state.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/map_data.h"
#include "world/map_folders.h"
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
    for (UnitRecord* u : Units()) delete u;
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
  static std::vector<UnitRecord*> Units() {
    std::vector<UnitRecord*> all;
    for (UnitRecord* u = g_world.units; u; u = u->next == g_world.units ? nullptr : u->next) all.push_back(u);
    return all;
  }
  static std::set<uint32_t> Ids() {
    std::set<uint32_t> ids;
    for (const UnitRecord* u : Units()) ids.insert(u->id);
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

// Rows in order on one map of 240 x 120 with a unit and region 2's capital
// at (150, 60): sizes out of range keep it, the second row cuts both off.
TEST_F(EditorSetupTest, TheMapDialogKeepsItsFieldsInRangeAndASmallerMapWhatIsOnIt) {
  GlobalGuard players(g_world.players);
  Place(1, 1, false, 150, 60);
  Place(2, 1, false, 20, 20);
  for (PlayerPolicyBlock* block : {&g_world.players[2].simPolicy, &g_world.players[2].displayPolicy})
    SetCapitalHex(*block, {150, 60});
  MapSetupDialog dialog;
  const char* tags[] = {"MAPX", "MAPY", "HEXWIDTH", "ZRECTX", "ZRECTY", "ZRECTW", "ZRECTH"};
  controltest::PanelForm form(dialog, "MAPEDITOR_POPUP1", {tags[0], tags[1], tags[2], tags[3], tags[4], tags[5], tags[6], "OKBUT"});
  const struct {
    const char* texts[7];
    int32_t width, height, hexWidth, rect[4];
    float area;
  } kRows[] = {
      {{"5", "1000", "76", "700", "300", "200", "200"}, 240, 120, 20, {700, 300, 800, 400}, 1.0f},
      {{"100", "50", "25", "0", "0", "800", "400"}, 100, 50, 25, {0, 0, 800, 400}, 1.5625f},
      {{"100", "50", "0", "900", "0", "10", "10"}, 100, 50, 25, {0, 0, 0, 0}, 1.5625f},  // misses the picture
  };
  g_world.mapHeader.hexScale = 20;
  g_world.mapHeader.scaleSquared = 1.0f;
  for (const auto& row : kRows) {
    for (int i = 0; i < 7; ++i) form[tags[i]]->SetText(row.texts[i]);
    dialog.id = 0;
    dialog.OnCommand(form["OKBUT"], 0);
    const MapHeader& h = g_world.mapHeader;
    EXPECT_EQ(h.width * 1000 + h.height, row.width * 1000 + row.height) << row.texts[0];
    EXPECT_EQ(h.hexScale, static_cast<uint32_t>(row.hexWidth)) << row.texts[2];
    EXPECT_FLOAT_EQ(h.scaleSquared, row.area) << row.texts[2];
    int32_t rect[4];
    std::memcpy(rect, reinterpret_cast<const uint8_t*>(&h) + 256, sizeof rect);
    EXPECT_EQ(std::vector<int32_t>(rect, rect + 4), std::vector<int32_t>(row.rect, row.rect + 4)) << row.texts[3];
  }
  EXPECT_EQ(Ids(), std::set<uint32_t>{2});
  EXPECT_EQ(CapitalHex(g_world.players[2].simPolicy), CapitalPosition{});
  EXPECT_EQ(CapitalHex(g_world.players[2].displayPolicy), CapitalPosition{});
}

TEST_F(EditorSetupTest, TheScenarioDialogStoresTheLevelAndTheStartDate) {
  ScenarioSetupDialog dialog;
  controltest::PanelForm form(dialog, "MAPEDITOR_POPUP2", {"LEVELM", "STARTYEAR", "STARTMONTH", "STARTDAY", "OKBUT"});
  ControlAddChild(form.root, new StringControl(controltest::Init(nullptr, &dialog, 0, 0, 40, 12), StringInit{}))->id = 12;
  const auto slider = [&](const char* tag) {
    return static_cast<SlideBarControl*>(
        ControlAddChild(form.root, new SlideBarControl(controltest::Init(tag, &dialog, 0, 0, 100, 8), {})));
  };
  SlideBarControl* level = slider("LMSLDR");
  SlideBarControl* temperature = slider("TEMPAVGSLDR");
  const auto day = [](int16_t y, uint8_t m, uint8_t d) {
    GameDate date;
    date.year = y, date.month = m, date.day = d;
    DateToDayNumber(date);
    return static_cast<uint32_t>(date.dayNumber);
  };
  const struct {
    const char* date[3];
    uint32_t startDay;
  } kRows[] = {{{"0", "5", "1"}, day(1, 5, 1)},
               {{"3000", "5", "1"}, day(2500, 5, 1)},
               {{"2011", "13", "1"}, day(2012, 1, 1)},
               {{"2011", "2", "31"}, day(2011, 3, 3)}};
  for (const auto& row : kRows) {
    g_world.mapHeader.newMapWord = 100;
    dialog.id = 0;
    dialog.Refresh();
    EXPECT_EQ(SliderGetValueInt(level), 7);
    EXPECT_EQ(form.Text("LEVELM"), "128");
    form["STARTYEAR"]->SetText(row.date[0]);
    form["STARTMONTH"]->SetText(row.date[1]);
    form["STARTDAY"]->SetText(row.date[2]);
    form[12]->SetText("300");
    dialog.OnCommand(form["OKBUT"], 0);
    EXPECT_EQ(g_world.mapHeader.newMapWord, 128u);
    EXPECT_EQ(g_world.mapHeader.startDay, row.startDay) << row.date[0] << "-" << row.date[1] << "-" << row.date[2];
    EXPECT_EQ(g_world.gameState.currentDay, row.startDay);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&g_world.mapHeader)[566], 300 & 0xFF);
  }
  // A new scenario opens on 1 May 2010, a normal climate and level 1.
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
    // The ring's head (id 1) is a unit; 3 is a facility, 4 a settlement.
    for (uint32_t id = 1; id <= 5; ++id)
      Place(id, id == 4 ? 3 : id == 3 ? 2 : 1, id == 3 || id == 4, static_cast<int16_t>(id), 1);
    HexExtra* label = GetHexExtra(g_world, g_world.cells[240 + 4]);
    label->bytes4[0] = 7;  // people
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
  controltest::PanelForm form(panel, "MAPEDITOR_SS2", {"PVAR"});
  for (int32_t id = 16; id <= 26; ++id)
    ControlAddChild(form.root, new StringControl(controltest::Init(nullptr, &panel, 0, 0, 40, 12), StringInit{}))->id = id;
  g_world.gameState.highestPlayer = 6;
  for (int i = 0; i < kProductCount; ++i) {
    le::StoreF32(g_world.players[5].products[i].bytes + 0, 2.0f);   // the row's factor
    le::StoreF32(g_world.players[5].products[i].bytes + 16, 3.0f);  // its amount
    g_world.techEffects[5][54 + i] = g_world.techEffects[5][66 + i] = 1.0f;
  }
  g_world.techEffects[5][0] = 10.0f;
  SetControlFlag(form["PVAR"], kStateSelected, 1);
  panel.id = 4;
  panel.OnCommand(nullptr, 3);  // next
  EXPECT_EQ(g_world.gameState.localPlayer, 5);
  EXPECT_EQ(g_world.localPlayerRecord, &g_world.players[5]);
  // 3 x 2 for rows 0 to 7; rows 8 to 10 also x the scale 10.
  for (int i = 0; i < kProductCount; ++i) EXPECT_EQ(form[16 + i]->text, i < 8 ? "6" : "60") << i;
}

TEST_F(EditorSetupTest, TheFacilityPaletteAndTheCapitalMark) {
  // A palette at (10, 20)-(266, ...) scrolled by 32: cell 9 is the second
  // row's second cell; below the 64 cells and beside the sheet is none.
  const struct {
    int32_t x, y, scroll, value;
  } kClicks[] = {{50, 60, 0, 4009}, {50, 28, 32, 4009}, {50, 20 + 8 * 32, 0, 0}, {270, 60, 0, 0}, {5, 60, 0, 0}};
  for (const auto& c : kClicks)
    EXPECT_EQ(FacilityPaletteValue(10, 20, 266, c.x, c.y, c.scroll), c.value) << c.x << "," << c.y << "+" << c.scroll;
  GlobalGuard players(g_world.players);
  Place(3, 2, true, 3, 1);
  Place(4, 3, true, 4, 1);  // a settlement
  for (int x : {3, 4}) g_world.cells[240 + static_cast<size_t>(x)].word = WithCellOwner(0, 2);
  EXPECT_FALSE(MarkHexCapital(g_world, MakeHexPos(3, 1)));
  EXPECT_EQ(CapitalHex(g_world.players[2].simPolicy), CapitalPosition{});
  EXPECT_TRUE(MarkHexCapital(g_world, MakeHexPos(4, 1)));
  EXPECT_EQ(CapitalHex(g_world.players[2].simPolicy), (CapitalPosition{4, 1}));
  EXPECT_EQ(CapitalHex(g_world.players[2].displayPolicy), (CapitalPosition{4, 1}));
}

}  // namespace

namespace {

TEST(FacilityStrength, TheSurroundingsCapIt) {
  // need 50 and have 20 are the class's output 0.5 of product 0 at world
  // value 100 against room 0.2 (average 0.3 less the yield 0.1).
  const struct {
    float s, need, have, kept;
  } kRows[] = {{1.0f, 50, 20, 0.4f}, {0.3f, 50, 20, 0.3f}, {0.7f, 0, -5, 0.7f},
               {1.4f, 0, 0, 1.0f},   {0.5f, 50, -10, 0.0f}, {-0.2f, 0, 0, 0.0f}};
  for (const auto& r : kRows) EXPECT_FLOAT_EQ(CappedFacilityStrength(r.s, r.need, r.have), r.kept) << r.s << " " << r.have;
}

// Class 4003 on a hex of owner 1 whose counter stands at 41: the
// facility takes id 42 of player 1 and its pending status becomes the
// current one, except for a transport class.
TEST_F(EditorSetupTest, TheBrushPlacesAFacilityOfTheHexOwner) {
  GlobalGuard editor(g_editorMap);
  GlobalGuard players(g_world.players);
  GlobalGuard terrains(g_world.terrains);
  GlobalGuard folders(g_mapFolderHooks);
  g_mapFolderHooks.mapEditor = [] { return true; };
  // Land that units cross: a facility can stand on it.
  g_world.terrains.assign(1, TerrainRecord{});
  g_world.terrains[0].bytes[120] = 1;
  g_world.unitClasses.assign(4004, UnitClassRecord{});
  g_world.unitClasses[4003].strengthPerSize = 10;
  for (const uint32_t flags : {0u, kClassRoad}) {
    g_world.unitClasses[4003].flags = flags;
    HexCell& cell = g_world.cells[240 + 5];
    FreeHexStack(cell);
    cell.word = WithCellOwner(0, 1);
    GetHexExtra(g_world, cell)->pairB[1] = 2;  // a status pending
    g_world.players[1].commandCounter = 41;
    g_world.gameState.currentHex = HexPosition{5, 1, 240 + 5, 0};
    g_editorMap =
        EditorMapState{.brushKind = kBrushObject, .brushValue = 4003, .flags = kEditorEditing | kEditorKeepAttributes};
    EditorBrushAtHex(0);
    const HexUnitStack* stack = LoadHexStack(cell);
    ASSERT_TRUE(stack && stack->lead && stack->extra) << flags;
    EXPECT_EQ(stack->lead->id, (1u << 24) | 42u) << flags;
    EXPECT_EQ(stack->lead->classIndex, 4003) << flags;
    EXPECT_EQ(stack->extra->pairA[1], flags == 0 ? 2 : 0) << flags;
  }
}

TEST_F(EditorSetupTest, TheFacilityPanelWritesTheHexAndItsResetClearsIt) {
  GlobalGuard editor(g_editorMap);
  GlobalGuard palette(g_editorPalette);
  GlobalGuard terrains(g_world.terrains);
  g_world.terrains.assign(1, TerrainRecord{});
  g_world.terrains[0].bytes[kTerrainPopulationAt] = 10;  // base 199
  g_world.mapHeader.scaleSquared = 1.0f;
  g_world.unitClasses[3].flags |= kClassProduction;
  UnitRecord& f = Place(7, 3, true, 4, 1);
  f.strength = f.targetStrength = 1.0f;
  g_world.gameState.currentHex = HexPosition{4, 1, 240 + 4, 0};
  g_editorMap.flags = kEditorEditing;
  g_editorMap.brushKind = kBrushObject;
  FacilityPaintPanel panel;
  controltest::PanelForm form(panel, "MAPEDITORB_SS3", {"HEXNAME", "HEXPARK", "UGOFFLINE", "HEXPSTR", "FSTR", "PARUGSET"}, {10, 14});
  for (const char* tag : {"HEXPSLDR", "UGSTRSLDR"})
    ControlAddChild(form.root, new SlideBarControl(controltest::Init(tag, &panel, 0, 0, 100, 8), {}));
  auto* people = static_cast<SlideBarControl*>(form["HEXPSLDR"]);
  auto* strength = static_cast<SlideBarControl*>(form["UGSTRSLDR"]);
  panel.Refresh();
  EXPECT_NEAR(SliderGetValueFloat(people), 199.0f, 5e6f / 10000);
  // 500 reads back as 502.72 (position 465); 150 is below the base.
  const struct {
    float people, stored, strength;
    bool park;
  } kRows[] = {{500, 303.72f, 0.6f, true}, {150, 0, 0.25f, false}};
  const HexExtra* label = nullptr;
  for (const auto& r : kRows) {
    form["HEXNAME"]->SetText("Port");
    SliderSetValueFloat(people, r.people);
    SliderSetValueFloat(strength, r.strength);
    SetControlFlag(form["HEXPARK"], kStateSelected, r.park ? 1 : 0);
    panel.UpdateHexFacilityTexts();
    label = LoadHexStack(g_world.cells[240 + 4])->extra;
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->text, "Port");
    EXPECT_NEAR(HexSettlementPopulation(*label), r.stored, 0.05f) << r.people;
    EXPECT_EQ((label->pairA[0] & 1) + (label->pairB[0] & 1), r.park ? 2 : 0) << r.people;
    EXPECT_NEAR(f.strength, r.strength, 1.0f / 10000) << r.people;
    EXPECT_NEAR(f.targetStrength, r.strength, 1.0f / 10000) << "bit 18 sets the full strength";
  }
  panel.ResetHexFacility();
  EXPECT_EQ(f.classIndex, 1);
  EXPECT_STREQ(label->text, "");
  EXPECT_TRUE(form["PARUGSET"]->Hidden());
}

TEST_F(EditorSetupTest, TheLevelButtonsWrapWithinTheClassLevels) {
  GlobalGuard editor(g_editorMap);
  g_world.unitClasses[3].sweepLower = 1;
  g_world.unitClasses[3].sweepUpper = 3;
  UnitRecord& f = Place(7, 3, true, 4, 1);
  g_world.gameState.currentHex = HexPosition{4, 1, 240 + 4, 0};
  FacilityPaintPanel panel;
  const struct {
    uint8_t level;
    int32_t code;
    uint8_t stepped;
  } kRows[] = {{3, 20, 1}, {1, 21, 3}, {2, 20, 3}, {2, 21, 1}};
  for (const auto& r : kRows) {
    f.heading = r.level;
    g_editorMap.flags = kEditorEditing;
    panel.FacilityPanelAction(r.code);
    EXPECT_EQ(f.heading, r.stepped) << int{r.level} << " " << r.code;
    EXPECT_EQ(f.angle2, r.stepped);
    EXPECT_EQ(g_editorMap.brushValue, 3);
  }
  g_editorMap.flags = 0;  // editing off: nothing changes
  panel.FacilityPanelAction(20);
  EXPECT_EQ(f.heading, 1);
}

TEST_F(EditorSetupTest, TheTypeBrowserWrapsAndShowsAClassPastTheTableEmpty) {
  const struct {
    int32_t value, step, browsed;
  } kSteps[] = {{4063, 1, 4000}, {4000, -1, 3999}, {0, -1, 0}, {3, 1, 4}};
  for (const auto& r : kSteps) EXPECT_EQ(BrowsedFacilityClass(r.value, r.step), r.browsed) << r.value << " " << r.step;
  GlobalGuard editor(g_editorMap);
  std::strncpy(g_world.unitClasses[3].name, "Town", sizeof g_world.unitClasses[3].name);
  FacilityTypePanel panel;
  controltest::PanelForm form(panel, "MAPEDITORB_SS4", {"UDESC", "BURBAN"});
  g_editorMap.brushKind = kBrushObject;
  for (int32_t value : {3, 4063}) {
    g_editorMap.brushValue = value;
    panel.Refresh();
    const bool inTable = value == 3;
    EXPECT_EQ(form.Text("UDESC"), inTable ? "Town" : "") << value;
    EXPECT_EQ((form["BURBAN"]->state & kStateSelected) != 0, inTable) << value;
  }
}

}  // namespace
