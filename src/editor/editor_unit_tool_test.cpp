#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "editor/editor_class_lists.h"
#include "editor/editor_map_input.h"
#include "editor/editor_screens.h"
#include "editor/editor_unit_attributes.h"
#include "editor/editor_unit_tool.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/slide_bar.h"
#include "units/unit_queries.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/map_data.h"
#include "world/unit_class_flags.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

constexpr int kWidth = 20;
enum : int16_t { kTank = 1, kShip = 2, kBase = 3, kPort = 4 };

class EditorUnitToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_editorScreens = EditorScreens{};
    g_editorLinks = EditorScreenLinks{};
    ASSERT_EQ(ResizeMap(g_world, kWidth, 10), 0);
    g_world.unitClasses.assign(8, UnitClassRecord{});
    const auto named = [](int16_t c, const char* name, uint8_t kind, uint32_t flags) {
      UnitClassRecord& cls = g_world.unitClasses[static_cast<size_t>(c)];
      std::strncpy(cls.name, name, sizeof cls.name - 1);
      cls.kind = kind, cls.flags = flags, cls.strengthPerSize = 10, cls.buildWorkPerPoint = 2.0f;
    };
    named(kTank, "Tank", 0, 0);
    named(kShip, "Frigate", 2, 0);
    named(kBase, "Base", 0, kClassFacility | kClassSettlement);
    named(kPort, "Port", 0, kClassFacility | kClassSettlement | kClassHaven);
    for (int16_t c : {kBase, kPort}) g_world.unitClasses[static_cast<size_t>(c)].loadableMask = 1;
    g_world.players[1].number = 1;
    g_world.players[1].commandCounter = 41;
    g_world.localPlayerRecord = &g_world.players[1];
    g_world.gameState.localPlayer = 1;
    form_ = std::make_unique<controltest::PanelForm>(panel_, "MAPEDITORB_SS6",
                                                     std::initializer_list<const char*>{"RES", "GAR", "UNITNAME"});
    for (const char* tag : {"MAXSTRSLDR", "SSTRSLDR", "DAYSSLDR", "EXPSLDR", "MORSLDR", "EFFSLDR", "SENTSLDR", "ALESLDR"})
      ControlAddChild(form_->root, new SlideBarControl(controltest::Init(tag, &panel_, 0, 0, 100, 8), {}));
  }
  void TearDown() override {
    form_.reset();
    for (UnitRecord* u = g_world.units; u;) {
      UnitRecord* next = u->next == g_world.units ? nullptr : u->next;
      delete u;
      u = next;
    }
    g_world.units = nullptr;
    ReindexUnits(g_world);
    for (HexCell& cell : g_world.cells) FreeHexStack(cell);
  }
  // A confirmed facility of the class leading the hex (x, 1), which region
  // 1 owns.
  UnitRecord& Facility(int16_t cls, int16_t x) {
    auto* u = new UnitRecord{};
    u->id = 100u + static_cast<uint32_t>(x), u->classIndex = cls, u->x = x, u->y = 1;
    u->unitFlags = kUnitFacility;
    HexCell& cell = g_world.cells[static_cast<size_t>(kWidth + x)];
    cell.word = WithCellOwner(cell.word, 1);
    MakeHexStack(cell)->lead = u;
    InsertUnitInRing(g_world, *u);
    return *u;
  }
  void Slide(const char* tag, float v) { SliderSetValueFloatNotify(static_cast<SlideBarControl*>((*form_)[tag]), v); }
  void Check(const char* tag, bool on) { SetControlFlag((*form_)[tag], kStateSelected, on ? 1 : 0); }
  static bool InStack(const UnitRecord& u) {
    const HexUnitStack* s = LoadHexStack(g_world.cells[static_cast<size_t>(kWidth + u.x)]);
    if (!s) return false;
    for (const UnitRecord* head : s->chainB)
      for (const UnitRecord* v = head; v; v = v->nextInChainB)
        if (v == &u) return true;
    return false;
  }

  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<uint8_t>> cellBytes_{g_world.cellBytes};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<std::vector<uint8_t>> designs_{g_world.designRows};
  GlobalGuard<MapHeader> header_{g_world.mapHeader};
  GlobalGuard<int32_t> width_{g_world.mapWidth};
  GlobalGuard<int32_t> height_{g_world.mapHeight};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<UnitRecord*> units_{g_world.units};
  GlobalGuard<PlayerRecord*> local_{g_world.localPlayerRecord};
  GlobalGuard<EditorUnitClassChoice> classChoice_{g_editorUnitClass};
  GlobalGuard<decltype(g_world.players)> players_{g_world.players};
  GlobalGuard<EditorScreens> screens_{g_editorScreens};
  GlobalGuard<EditorScreenLinks> links_{g_editorLinks};
  GlobalGuard<EditorMapState> map_{g_editorMap};
  EditorUnitToolPanel panel_;
  std::unique_ptr<controltest::PanelForm> form_;
};

TEST_F(EditorUnitToolTest, ThePlacedUnitTakesTheSliders) {
  // Size 1.5 and half strength; a ship takes neither.
  const struct {
    int16_t cls;
    float strength, factor;
  } kRows[] = {{kTank, 7.5f, 1.5f}, {kShip, 15.0f, 1.0f}};
  uint32_t counter = 41;
  for (const auto& r : kRows) {
    g_world.gameState.currentHex = HexPosition{3, 1, kWidth + 3, 0};
    SetEditorUnitClass(r.cls);
    panel_.FillEquipmentPanel();
    Slide("MAXSTRSLDR", 1.0f);
    Slide("SSTRSLDR", 0.5f);
    UnitRecord* u = panel_.PlaceUnit(g_world);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->id, (1u << 24) | ++counter);
    EXPECT_EQ(u->classIndex, r.cls);
    // within a step of each slider: 15 x 0.0001 and 10 x 0.5 x 0.0001
    EXPECT_NEAR(u->strength, r.strength, 20.0f / 10000) << r.cls;
    EXPECT_NEAR(u->targetStrength, r.factor, 1.0f / 10000) << r.cls;
    EXPECT_NEAR(u->efficiency, 0.8f, 1.5f / 10000);
    EXPECT_NEAR(u->morale, 0.75f, 1.0f / 10000);
    EXPECT_FALSE(u->unitFlags & kUnitProvisional);
    EXPECT_EQ(u->orders[kPostureBits] & 3u, 0u);
    EXPECT_TRUE(InStack(*u));
  }
}

TEST_F(EditorUnitToolTest, ReserveAndGarrisonFollowTheHexFacility) {
  Facility(kBase, 5);  // holds land units
  Facility(kPort, 6);  // holds ships only
  // A tank's build work is 10 x 2 x 1 + 1 = 21 days.
  const struct {
    int16_t x;
    bool res, gar;
    bool reserve;
    float days;
    bool garrison;
  } kRows[] = {{5, true, false, true, 21.0f * 0.5f, false},
               {6, true, false, false, 0.0f, false},
               {5, false, true, false, 0.0f, true},
               {4, false, true, false, 0.0f, false}};
  for (const auto& r : kRows) {
    Check("RES", r.res);
    Check("GAR", r.gar);
    g_world.gameState.currentHex = HexPosition{r.x, 1, static_cast<uint32_t>(kWidth + r.x), 0};
    SetEditorUnitClass(kTank);
    panel_.FillEquipmentPanel();
    Slide("DAYSSLDR", 0.5f);
    UnitRecord* u = panel_.PlaceUnit(g_world);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ((u->orders[kPostureBits] & kPostureInReserve) != 0, r.reserve) << r.x;
    EXPECT_EQ(InStack(*u), !r.reserve) << r.x;
    EXPECT_NEAR(u->buildWork, r.days, 0.01f) << r.x;
    EXPECT_EQ((u->unitFlags & 0x100000u) != 0, r.garrison) << r.x;
    EXPECT_EQ(u->ordersShown[kPostureBits], u->orders[kPostureBits]);
  }
}

TEST_F(EditorUnitToolTest, TheAvailabilityResetTakesAllClassesOrThePage) {
  g_world.gameState.designRowBytes = 8;
  g_world.designRows.assign(8 * 32, 0);
  g_world.players[1].techLevel = 40.0f;
  g_world.unitClasses[5] = g_world.unitClasses[kTank];
  g_world.unitClasses[5].flags = 1u << 21;  // never made available
  g_world.unitClasses[6] = g_world.unitClasses[kTank];
  g_world.unitClasses[6].flags = kClassObsolete;
  const struct {
    int32_t id;
    uint8_t tank, ship;
  } kRows[] = {{999, 1, 1}, {7, 1, 0}};  // page 0 is the land page
  for (const auto& r : kRows) {
    std::fill(g_world.designRows.begin(), g_world.designRows.end(), uint8_t{1});
    g_world.designRows[8 + kTank] = g_world.designRows[8 + kShip] = 0;
    panel_.page = 0;
    Control button(controltest::Init("RESETRES", &panel_, 0, 0, 10, 10));
    button.id = r.id;
    panel_.OnCommand(&button, r.id);
    const uint8_t want[8] = {0, r.tank, r.ship, 0, 0, 0, 0, 0};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(ClassAvailabilityByte(g_world, 1, c) & 1u, want[c]) << r.id << " class " << c;
  }
}

// The pop-up that hosts the attribute panel, counting its closings.
class HostPopup : public Screen {
 public:
  HostPopup() : Screen("POPUP_MILITARY1") {}
  int32_t Close(int32_t) override { return ++closed; }
  int closed = 0;
};

const UnitRecord* g_forgotten = nullptr;

TEST_F(EditorUnitToolTest, TheAttributePanelEditsTheUnitAndDeletesIt) {
  EXPECT_EQ(SteppedUnitFrame(23, 1), 0);
  EXPECT_EQ(SteppedUnitFrame(0, -1), 23);
  Facility(kBase, 5);
  g_world.gameState.currentHex = HexPosition{5, 1, kWidth + 5, 0};
  SetEditorUnitClass(kTank);
  panel_.FillEquipmentPanel();
  Check("RES", true);
  UnitRecord* u = panel_.PlaceUnit(g_world);
  ASSERT_NE(u, nullptr);
  u->buildWork = 0.0f;
  u->strength = 5.0f;
  u->heading = 23;
  ReindexUnits(g_world);
  EditorUnitAttributesPanel attributes;
  HostPopup popup;
  attributes.popup = &popup;
  popup.parameterList = new ScreenParameterList{{7, static_cast<intptr_t>(u->id)}, static_cast<intptr_t>(u->id), nullptr};
  controltest::PanelForm form(attributes, "MAPEDITORB_SS6C", {"RES", "NEXTFR", "RESET", "DEL", "STR", "MAXSTR"});
  for (const char* tag : {"MAXSTRSLDR", "SSTRSLDR", "DAYSSLDR"})
    ControlAddChild(form.root, new SlideBarControl(controltest::Init(tag, &attributes, 0, 0, 100, 8), {}));
  attributes.id = static_cast<int32_t>(u->id);
  attributes.OnOpen();
  EXPECT_TRUE(form.Shown("RES") && (form["RES"]->state & kStateSelected));
  attributes.OnCommand(form["NEXTFR"], 0);
  EXPECT_EQ(u->heading + u->wantedHeading + u->angle2 + u->wantedAngle2, 0);
  // Size 1.0 to 1.5 keeps half strength: 5 of 10 becomes 7.5 of 15.
  SliderSetValueFloatNotify(static_cast<SlideBarControl*>(form["MAXSTRSLDR"]), 1.0f);
  EXPECT_NEAR(u->strength, 7.5f, 20.0f / 10000);
  EXPECT_EQ(form.Text("STR"), "7");
  attributes.OnCommand(form["RESET"], 0);
  EXPECT_EQ(u->strength, 10.0f);
  EXPECT_EQ(u->targetStrength, 1.0f);
  EXPECT_TRUE(u->orders[kPostureBits] & kPostureInReserve);
  g_forgotten = nullptr;
  g_editorLinks.forgetUnit = [](const UnitRecord& unit) { g_forgotten = &unit; };
  const uint32_t gone = u->id;
  attributes.OnCommand(form["DEL"], 0);
  EXPECT_EQ(g_forgotten, u);
  EXPECT_EQ(FindUnitById(g_world, gone), nullptr);
  EXPECT_EQ(popup.parameterList->entries, std::vector<intptr_t>{7});
  EXPECT_EQ(popup.closed, 1);
  EXPECT_EQ(attributes.id, 0);
}

}  // namespace
