// The hex information pop-up's columns on a small world: the panel each
// column shows, its figures, the plain panel's bars and the industry panels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "records/unit_flags.h"
#include "screens/main/popups/hex_info_popup.h"
#include "sim/daily/product_fields.h"
#include "units/hex_state.h"
#include "world/hex_extra.h"
#include "support/global_guard.h"
#include "support/world_map_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/slide_bar.h"
#include "world/terrain_flags.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 6, kLocal = 1, kOther = 2;
constexpr int32_t kWorks = 4050;  // production, without an effect multiplier
constexpr int32_t kTown = 4060;

void PutFloat(uint8_t* at, float v) { std::memcpy(at, &v, sizeof v); }

// The pop-up's forms with its panels', deleted innermost first (a shown
// panel's form hangs in its host).
class Forms {
 public:
  explicit Forms(HexInfoPopup& p) {
    Control* root = Root(p, "MAP2");
    for (int32_t tab = 100; tab <= 107; ++tab) Add(root, nullptr, tab);
    for (std::string letter : {"S", "C"}) {
      Control* first = Add(root, (letter + "PAR1").c_str());
      for (int32_t id : {1, 2, 3, 6}) Add(first, nullptr, id);
      for (int32_t id : {4, 5, 14}) Add(first, nullptr, id, true);
      Control* second = Add(root, (letter + "PAR2").c_str());
      for (int32_t id : {11, 13}) Add(second, nullptr, id);
      Add(root, (letter + "PAR3").c_str());
    }
    for (const char* tag : {"NAMEHIDE", "DISTTEXT", "DISTANCE"}) Add(root, tag);
    for (HexInfoMainPanel& plain : p.plainPanels)
      for (int32_t id : kHexInfoMainIds) Add(Root(plain, "MAP2_ss1"), nullptr, id, true);
    for (HexIndustryPanel& q : p.industryPanels) {
      Control* panel = Root(q, "MAP2_ss2");
      for (const char* tag : kHexIndustryTags) Add(panel, tag);
      for (int32_t id : kHexIndustryIds) Add(panel, nullptr, id);
      for (const char* tag : kHexIndustryStatusTags) Add(Root(q.status, "MAP2_ss2a"), tag);
      for (const char* tag : kHexIndustrySharesTags) Add(Root(q.shares, "MAP2_ss2b"), tag);
      Add(Root(q.days, "MAP2_ss2c"), "DAYS");
      Root(q.graph, "PRODUCT_GRAPH");
      q.BindControls();
    }
    p.BindControls();
  }
  ~Forms() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      it->first->form = it->first->currentForm = nullptr;
      delete it->second;
    }
  }

 private:
  Control* Root(Screen& s, const char* name) {
    if (s.form) return s.form;
    s.form = s.currentForm = new Control(controltest::Init(name, &s, 0, 0, 104, 126));
    made_.emplace_back(&s, s.form);
    return s.form;
  }
  static Control* Add(Control* parent, const char* tag, int32_t id = 0, bool bar = false) {
    ControlInit init = controltest::Init(tag, parent->owner, 0, 0, 100, 12);
    init.id = id;
    return ControlAddChild(parent, bar ? new SlideBarControl(init, {}) : new Control(init));
  }
  std::vector<std::pair<Screen*, Control*>> made_;
};

class HexColumnsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = w.mapHeader.width = w.mapHeader.height = kSide;
    w.cells.assign(kSide * kSide, HexCell{nullptr, WithCellLoyalTo(WithCellOwner(1u << 24, kLocal), kLocal)});
    w.cellBytes.assign(kSide * kSide, 125);
    w.terrains.assign(3, TerrainRecord{});
    w.unitClasses.assign(4130, UnitClassRecord{});
    std::strcpy(w.unitClasses[0].name, "Open ground");
    UnitClassRecord& works = w.unitClasses[kWorks];  // needs 1.0 of product 0
    std::strcpy(works.name, "Works");
    works.flags = kClassProduction | kClassSpecialWeaponB, works.hasExtra = true;
    PutFloat(works.extra.data(), 1.0f);
    std::strcpy(w.unitClasses[kTown].name, "Town");
    w.unitClasses[kTown].flags = kClassSettlement | kClassSettlementPopulation;
    w.worldEconomy.assign(1024, 0);
    PutFloat(w.worldEconomy.data() + 4, 2.0f);    // product 0's price
    PutFloat(w.worldEconomy.data() + 804, 1.0f);  // the goods scale
    w.gameState = GameState{};
    w.gameState.localPlayer = kLocal;
    for (int p : {kLocal, kOther}) {
      w.players[p] = PlayerRecord{};
      w.players[p].efficiency = 0.5f;  // the region's loyalty
      product::Set(w.players[p], 0, product::kProductivity, 1.0f);
      w.techEffects[p][72] = 1.0f;  // product 0's output factor
    }
    g_uiOptions.sidescreens = g_uiOptions.bdistancehexes = 1;
    for (int i = 0; i < 8; ++i) SetText(kListProdtabs, i, "tab" + std::to_string(i));
    for (int i = 0; i < 7; ++i) SetText(kListUgstatus, i, "status" + std::to_string(i));
  }
  void TearDown() override {
    for (HexCell& c : g_world.cells) c.stack = nullptr;  // the test's own
    for (const auto& [list, index] : texts_) {
      std::free(g_textLists.entries[TextListInfoOf(list).first + index]);
      g_textLists.entries[TextListInfoOf(list).first + index] = nullptr;
    }
  }
  void SetText(TextListId list, int index, const std::string& text) {
    char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
    std::free(entry);
    entry = strdup(text.c_str());
    texts_.emplace_back(list, index);
  }
  static int32_t At(int x, int y) { return y * kSide + x; }
  static HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(At(x, y))]; }
  static void Place(HexPosition& hex, int x, int y) {
    hex = {static_cast<int16_t>(x), static_cast<int16_t>(y), x || y ? static_cast<uint32_t>(At(x, y)) : 0u, 0};
  }
  static void Terrain(int t, float own, float area) {
    PutFloat(g_world.terrains[static_cast<size_t>(t)].bytes, own);
    PutFloat(g_world.terrains[static_cast<size_t>(t)].bytes + 48, area);
  }

  HexInfoPopup popup;
  UnitRecord facility{};
  HexExtra label{};
  HexUnitStack stack{.extra = &label, .lead = &facility};
  WorldMapGuard map_;
  GlobalGuard<std::vector<uint8_t>> economy_{g_world.worldEconomy};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]}, other_{g_world.players[kOther]};
  GlobalGuard<float[kTechEffectMultipliers]> localEffects_{g_world.techEffects[kLocal]};
  GlobalGuard<float[kTechEffectMultipliers]> otherEffects_{g_world.techEffects[kOther]};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  std::vector<std::pair<TextListId, int>> texts_;
};

TEST_F(HexColumnsTest, EachColumnShowsThePlainPanelOrAKnownFacilitysIndustry) {
  Forms forms(popup);
  auto tagged = [this](const char* tag) { return FormFindControlByTag(popup.currentForm, tag); };
  facility.classIndex = kWorks;
  enum Panel { kNone, kPlain, kIndustry };
  // The facility stands on (2, 2), the owner's, with the flags; (0, 0) is
  // no hex. Then each column's panel, NAMEHIDE shown, the distance.
  struct Row { int sx, sy, cx, cy, owner; uint32_t flags; Panel selected, cursor; bool names; const char* distance; };
  const Row rows[] = {
      {2, 2, 2, 2, kLocal, 0, kIndustry, kPlain, true, " 0.0 Hexes"},  // the pointer on the selection
      {4, 2, 2, 2, kOther, 0, kPlain, kIndustry, true, " 2.0 Hexes"},
      {4, 2, 2, 2, kOther, kUnitProvisional, kPlain, kPlain, true, " 2.0 Hexes"},  // concealed
      {4, 2, 2, 2, kLocal, kUnitProvisional, kPlain, kIndustry, true, " 2.0 Hexes"},
      {2, 2, 0, 0, kLocal, 0, kIndustry, kNone, false, nullptr},  // one role only
      {0, 0, 2, 2, kLocal, 0, kNone, kIndustry, false, nullptr},
  };
  for (const Row& r : rows) {
    Cell(2, 2).word = WithCellOwner(Cell(2, 2).word, r.owner);
    Cell(2, 2).stack = &stack;
    facility.unitFlags = r.flags;
    Place(g_world.gameState.currentHex, r.sx, r.sy);
    Place(g_world.gameState.viewHex, r.cx, r.cy);
    for (Control* column : popup.columns) ControlAttachForm(column, nullptr);
    popup.distanceShown = {-2, -2};
    popup.Refresh();
    const Panel expected[2] = {r.selected, r.cursor};
    for (int role = 0; role < 2; ++role) {
      const Control* shown = popup.columns[role]->firstChild;
      const Panel got = !shown                                        ? kNone
                        : shown == popup.plainPanels[role].currentForm ? kPlain
                        : shown == popup.industryPanels[role].currentForm ? kIndustry : kNone;
      EXPECT_EQ(got, expected[role]) << r.sx << r.cx << r.owner << " role " << role;
      EXPECT_EQ(popup.columns[role]->Hidden(), expected[role] == kNone) << r.sx << r.cx;
    }
    EXPECT_EQ(!tagged("NAMEHIDE")->Hidden(), r.names) << r.sx << r.cx;
    EXPECT_EQ(tagged("DISTANCE")->Hidden(), r.distance == nullptr) << r.sx << r.cx;
    EXPECT_EQ(tagged("DISTTEXT")->Hidden(), r.distance == nullptr) << r.sx << r.cx;
    if (r.distance) {
      EXPECT_EQ(tagged("DISTANCE")->text, r.distance) << r.sx << r.cx;
    }
  }
  // The same pair writes nothing again; with the side screens off nothing
  // changes at all.
  Place(g_world.gameState.currentHex, 4, 2);
  popup.Refresh();
  ControlSetText(tagged("DISTANCE"), "kept");
  popup.Refresh();
  EXPECT_EQ(tagged("DISTANCE")->text, "kept");
  g_uiOptions.sidescreens = 0;
  Place(g_world.gameState.currentHex, 4, 4);
  ControlAttachForm(popup.columns[0], nullptr);
  popup.Refresh();
  EXPECT_EQ(tagged("DISTANCE")->text, "kept");
  EXPECT_EQ(popup.columns[0]->firstChild, nullptr);
  EXPECT_EQ(FormFindControlById(popup.currentForm, 100)->text, "tab0");
  EXPECT_NE(popup.refreshRequest & kScreenRefreshAsked, 0u) << "every refresh walk refreshes the pop-up";
}

TEST_F(HexColumnsTest, TheColumnGivesPeopleLoyaltyAndCover) {
  Forms forms(popup);
  Control* first = FormFindControlByTag(popup.currentForm, "SPAR1");
  auto bar = [first](int32_t id) { return static_cast<SlideBarControl*>(FormFindControlById(first, id)); };
  g_world.unitClasses[kWorks].defenceValues[3] = 25;
  facility.morale = 0.8f;
  Cell(3, 3).stack = &stack;
  Place(g_world.gameState.currentHex, 3, 3);
  // People b x b + 99 for density b, plus the label's; cover a tenth of the
  // ground byte, raised by a visible facility, under 0.3 taken as 1.0;
  // loyalty the open facility's, else the loyal region's.
  struct Row { uint8_t density; float labelPeople; uint8_t ground; int16_t cls; uint32_t flags; const char* people; float cover; const char *loyalty, *name; };
  const Row rows[] = {
      {10, 500.0f, 2, 0, 0, "699", 1.0f, "50 %", "Open ground"},
      {3, 0.0f, 20, kWorks, 0, "108", 2.5f, "80 %", "Works"},
      {0, 0.0f, 20, kWorks, kUnitProvisional, "0", 2.0f, "50 %", "Works"},  // hidden, but shown on an own hex
  };
  for (const Row& r : rows) {
    g_world.terrains[1].bytes[98] = r.density;
    g_world.terrains[1].bytes[kTerrainGroundDefenceAt] = r.ground;
    SetHexSettlementPopulation(label, r.labelPeople);
    facility.classIndex = r.cls, facility.unitFlags = r.flags;
    popup.Refresh();
    EXPECT_EQ(FormFindControlById(first, 3)->text, r.people) << int{r.density};
    EXPECT_NEAR(SliderGetValueFloat(bar(14)), r.cover, 0.001f) << int{r.ground};
    EXPECT_EQ(bar(4)->text, r.loyalty) << r.cls;
    EXPECT_EQ(FormFindControlById(first, 2)->text, r.name) << r.cls;
    EXPECT_EQ(bar(5)->text, "50 %");  // level 125 of 250
  }
}

TEST_F(HexColumnsTest, ThePlainPanelsBarsAreTheAreaAndTheHexsOwnYield) {
  Forms forms(popup);
  HexInfoMainPanel& panel = popup.plainPanels[1];
  auto* bar = static_cast<SlideBarControl*>(FormFindControlById(panel.currentForm, 1));
  facility.classIndex = kWorks, facility.strength = 1.0f;
  PutFloat(g_world.unitClasses[kWorks].extra.data(), 0.2f);
  // The hex's area value counts twice and each neighbour on the map once,
  // over 8: (0.6 + 6 x 0.6) / 8 = 0.525; in row 0 three neighbours are off
  // the map: (0.6 + 3 x 0.6) / 8 = 0.3. A facility's output (0.2) adds to
  // the area only where its class needs no local resources.
  struct Row { int y; float own; bool works; uint32_t extra; uint8_t labelFlags; float shown, mark; };
  const Row rows[] = {
      {2, 0.0f, false, 0, 0, 0.525f, 0.0f},   {2, 0.4f, false, 0, 0, 0.525f, 0.4f},
      {2, 0.7f, false, 0, 0, 0.7f, 0.7f},     {0, 0.0f, false, 0, 0, 0.3f, 0.0f},
      {2, 0.4f, false, 0, kSlotNoYield, 0.525f, 0.0f},
      {2, 0.4f, true, 0, 0, 0.525f, 0.525f},  {2, 0.4f, true, kClassFullAvailability, 0, 0.725f, 0.6f},
  };
  Terrain(1, 0.0f, 0.6f);
  for (const Row& r : rows) {
    for (HexCell& c : g_world.cells) c.word = WithCellTerrain(c.word, 1), c.stack = nullptr;
    Cell(2, r.y).word = WithCellTerrain(Cell(2, r.y).word, 2);
    Cell(2, r.y).stack = &stack;
    Terrain(2, r.own, 0.3f);
    g_world.unitClasses[kWorks].flags = kClassProduction | kClassSpecialWeaponB | r.extra;
    facility.classIndex = r.works ? kWorks : 0;
    HexSlotSimFlags(label, 0) = r.labelFlags;
    panel.Show(At(2, r.y), nullptr);
    EXPECT_NEAR(SliderGetValueFloat(bar), r.shown, 0.001f) << r.y << r.own << r.works;
    EXPECT_NEAR(bar->rawMarker, SliderPositionOfFloat(bar, r.mark), 1) << r.y << r.own << r.works;
  }
  EXPECT_EQ(bar->flags & kSlideReversed, 0u);  // the selected hex's column faces the other way
  popup.plainPanels[0].Show(At(2, 2), nullptr);
  EXPECT_NE(static_cast<SlideBarControl*>(FormFindControlById(popup.plainPanels[0].currentForm, 1))->flags & kSlideReversed, 0u);
}

TEST_F(HexColumnsTest, TheIndustryPanelsShowStatusShareAndDays) {
  Forms forms(popup);
  HexIndustryPanel& panel = popup.industryPanels[1];
  auto tagged = [](Screen& s, const char* tag) { return FormFindControlByTag(s.currentForm, tag); };
  Terrain(1, 0.0f, 0.5f);
  facility.strength = facility.morale = 1.0f;
  label.text = strdup("Westholm");
  Cell(2, 2).stack = &stack;
  // The works need 2 (1.0 at price 2) and the ground gives half: e = 0.5,
  // e' = 0.425; level 125 and loyalty 1 carry it fully: 0.85 against the
  // local region's 1.7, 50 %. Being built, 2.3 days of work read 3. At level
  // 0 the rate is 2/3: a third of the share, 3.45 days.
  enum Sub { kNoSub, kShares, kDays };
  struct Row { int owner; int16_t cls; bool building; uint8_t level; float reference; const char* column; const char *upgrade, *note; bool info, perc; Sub sub; const char* figure; };
  const Row rows[] = {
      {kLocal, kWorks, false, 125, 1.7f, "CPAR3", "Works", "status0", true, true, kShares, " 50 %"},
      {kLocal, kWorks, false, 125, 0.0f, "CPAR3", "Works", "status0", true, true, kShares, "-"},
      {kLocal, kWorks, false, 0, 1.7f, "SPAR3", "Works", "status6", false, true, kShares, " 33 %"},
      {kOther, kWorks, false, 125, 1.7f, "CPAR3", "Works", "status0", false, false, kShares, " 50 %"},
      {kLocal, kWorks, true, 125, 1.7f, "CPAR3", "Works", "status2", true, true, kDays, "3"},
      {kLocal, kWorks, true, 0, 1.7f, "CPAR3", "Works", "status6", true, true, kDays, "4"},
      {kLocal, kTown, false, 125, 1.7f, "CPAR3", "Westholm", "", true, false, kNoSub, nullptr},
  };
  for (const Row& r : rows) {
    const std::string what = std::string(r.upgrade) + " " + r.column + " " + std::to_string(r.owner) + r.note;
    Cell(2, 2).word = WithCellLoyalTo(WithCellOwner(Cell(2, 2).word, r.owner), r.owner);
    facility.classIndex = r.cls, facility.buildWork = r.building ? 2.3f : 0.0f;
    facility.ordersShown[kPostureBits] = r.building ? 3u : 0u;
    facility.ordersShown[kStateFlags] = r.building ? kStateHeldSlot : 0u;
    g_world.cellBytes[static_cast<size_t>(At(2, 2))] = r.level;
    product::Set(g_world.players[kLocal], 0, product::kOutput, r.reference);
    ControlAttachForm(panel.shareHost, nullptr);
    panel.Show(At(2, 2), FormFindControlByTag(popup.currentForm, r.column));
    EXPECT_EQ(tagged(panel, "UPGRADE")->text, r.upgrade) << what;
    EXPECT_EQ(tagged(panel, "NOTE")->text, r.note) << what;
    EXPECT_EQ(!tagged(panel, "HIDEINFO")->Hidden(), r.info) << what;
    EXPECT_EQ(!panel.shareHost->Hidden(), r.perc) << what;
    EXPECT_EQ(panel.upgradeHost->firstChild, r.sub == kNoSub ? panel.status.currentForm : panel.graph.currentForm);
    const Control* sub = panel.shareHost->firstChild;
    EXPECT_EQ(sub == panel.shares.currentForm, r.sub == kShares) << what;
    EXPECT_EQ(sub == panel.days.currentForm, r.sub == kDays) << what;
    if (r.sub == kNoSub) continue;
    EXPECT_EQ(panel.graph.currentForm->Hidden(), r.owner != kLocal) << what;
    Screen& figures = r.sub == kShares ? static_cast<Screen&>(panel.shares) : panel.days;
    EXPECT_EQ(tagged(figures, r.sub == kShares ? "PERCENT" : "DAYS")->text, r.figure) << what;
  }
  // The selected column shows an own works' rows: the second, fourth to sixth.
  facility.classIndex = kWorks;
  panel.Show(At(2, 2), FormFindControlByTag(popup.currentForm, "SPAR3"));
  for (int32_t id = 1; id <= 6; ++id) EXPECT_EQ(FormFindControlById(panel.currentForm, id)->Hidden(), id == 1 || id == 3) << id;
  std::free(label.text);
}

}  // namespace
