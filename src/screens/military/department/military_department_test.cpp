// The military department's pages: the summary's alert bonuses and texts,
// the cost lines, the auto-build switches' commands and the view filter.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/military/department/military_figures.h"
#include "screens/military/department/military_screen.h"
#include "screens/military/department/military_side_panels.h"
#include "screens/military/department/unit_production_panel.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/daily/economy_fields.h"
#include "sim/player_services.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"
#include "units/facilities/upkeep_fields.h"
#include "units/unit_player_fields.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;

// A form of tagged strings (flags per tag) owned by the screen, taken back
// from it when the test ends.
struct TestForm {
  TestForm(Screen& owner, std::initializer_list<std::pair<const char*, uint32_t>> tags) : owner_(&owner) {
    root = new Control(controltest::Init("FORM", &owner, 0, 0, 220, 194));
    for (const auto& [tag, flags] : tags)
      ControlAddChild(root, new StringControl(controltest::Init(tag, &owner, 0, 0, 20, 12, flags), StringInit{}));
    owner.currentForm = owner.form = root;
  }
  ~TestForm() { owner_->currentForm = owner_->form = nullptr, delete root; }
  TestForm(const TestForm&) = delete;
  Control* operator[](const char* tag) const { return FormFindControlByTag(root, tag); }
  // The texts of the tags, joined by "|".
  std::string Texts(std::initializer_list<const char*> tags) const {
    std::string out;
    for (const char* tag : tags) out += (out.empty() ? "" : "|") + (*this)[tag]->text;
    return out;
  }
  Control* root;
  Screen* owner_;
};

// Shipped-like entries for the lists the summary reads, put back after.
struct ListTexts {
  void Set(TextListId list, int index, const char* text) {
    char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
    saved.push_back({&entry, entry});
    entry = strdup(text);
  }
  ~ListTexts() {
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) std::free(*it->first), *it->first = it->second;
  }
  std::vector<std::pair<char**, char*>> saved;
};

TEST(MilitaryDepartmentTest, TheSummaryShowsTheAlertBonusesMoraleAndReserve) {
  ListTexts texts;
  const char* defcons[] = {"Stand Down", "Peace", "Guarded", "Alert", "War Footing"};
  for (int i = 0; i < 5; ++i) texts.Set(kListDefcons, i, defcons[i]);
  for (int i = 0; i < 4; ++i) texts.Set(kListOrdinitiative, i, std::to_string(i).c_str());
  MilitaryScreen page;
  TestForm form(page, {{"DEFCON", 0}, {"CURDESC", 0}, {"BUILD", 0}, {"EFFPLUS", 0}, {"MOR", 0}, {"RESFORCE", 0}});
  struct Row { uint8_t govtype; int32_t defcon; float morale, pool, drawn; const char* want; };
  // BUILD = 1 + factor 5 x (L - 2) / 10 above level 2; EFFPLUS = L x factor 6
  // / 20. Type 3's factors 5 and 6 are 0.5: level 4 gives 110 % and 10 %.
  // Then "ordinitiative" entry truncate(morale / 0.4) + 1 (at most 3) and
  // the reserve less the drawn part, 0 when not above.
  const Row rows[] = {
      {3, 4, 0.79f, 100.0f, 30.0f, "1|War Footing|110 %| 10 %|2|70"},
      {0, 2, 0.0f, 10.0f, 20.0f, "3|Guarded|100 %| 10 %|1|0"},
      {0, 0, 0.8f, 5.0f, 0.0f, "5|Stand Down|100 %|  0 %|3|5"},
      {3, 5, 2.0f, 0.0f, 0.0f, "1|War Footing|110 %| 10 %|3|0"},  // a stored 5 shows as 4
  };
  for (const Row& r : rows) {
    MilitaryFigures f;
    f.governmentType = r.govtype, f.defcon = r.defcon, f.morale = r.morale;
    f.reservePool = r.pool, f.reserveDrawn = r.drawn;
    FillMilitarySummary(form.root, f);
    EXPECT_EQ(form.Texts({"DEFCON", "CURDESC", "BUILD", "EFFPLUS", "MOR", "RESFORCE"}), r.want) << int{r.govtype};
  }
}

TEST(MilitaryDepartmentTest, ThePagesShowTheFiguresWhereTheDailyStepsKeepThem) {
  Screen page("MILITARY1");
  TestForm form(page, {{"EFF", 0}, {"ALVL", 0}, {"ACTFORCE", 0}, {"RESFORCE", 0}, {"PRODCAPMAX", 0}, {"AIR", 0},
                       {"SUBRES", 0}, {"CHEM", 0}, {"NUKERES", 0}, {"MISMAX", 0}, {"MISUSED", 0},
                       {"PRODCAPUSED", 0}});
  struct Row { const char* tag; size_t at; float real; int16_t count; const char* want; };
  const Row rows[] = {{"EFF", upkeepfields::kQualityTarget1, 0.75f, 0, " 75 %"},
                      {"ALVL", offsetof(PlayerRecord, militarySpendIndex), 0.4f, 0, " 40 %"},
                      {"ACTFORCE", unitfields::kForcesOnMap, 1500.0f, 0, "1,500"},
                      {"RESFORCE", offsetof(PlayerRecord, soldiers), 2500.0f, 0, "2,500"},
                      {"PRODCAPMAX", economy::kCapacityByKind, 18.5f, 0, "18"},
                      {"AIR", unitfields::kMapCounts + 2, 0.0f, 7, "7"},
                      {"SUBRES", unitfields::kReserveCounts + 6, 0.0f, 4, "4"},
                      {"CHEM", unitfields::kLoadedStock + 4, 0.0f, 3, "3"},
                      {"NUKERES", unitfields::kPooledStock, 0.0f, 2, "2"},
                      {"MISMAX", upkeepfields::kStockCapacity, 0.0f, 20, "20"},
                      {"MISUSED", upkeepfields::kStockUsed, 0.0f, 6, "6"},
                      {"PRODCAPUSED", upkeepfields::kUnitsInBuild + 6, 0.0f, 5, "5"}};
  for (const Row& r : rows) {
    PlayerRecord region{};
    r.count ? unitfields::SetShort(region, r.at, r.count) : unitfields::SetReal(region, r.at, r.real);
    const MilitaryFigures f = MilitaryFiguresOf(region);
    FillMilitarySummary(form.root, f), FillMilitaryCapacity(form.root, f, true);
    EXPECT_EQ(form[r.tag]->text, r.want) << r.tag;
  }
}

TEST(MilitaryDepartmentTest, TheCostPanelSumsTheStandingCostsOnly) {
  const GlobalGuard<UiOptions> options(g_uiOptions);
  const GlobalGuard<GameState> state(g_world.gameState);
  const GlobalGuard<PlayerRecord> local(g_world.players[kLocal]);
  g_world.gameState.localPlayer = kLocal;
  std::unique_ptr<Screen> panel = MakeMilitaryCostSidePanel();
  TestForm form(*panel, {{"COSTSAL", 0}, {"COSTRES", 0}, {"COSTTRAIN", 0}, {"COSTBUILD", 0},
                        {"COSTTOTAL", 0}, {"SHORTBOX", 0}, {"SHORTAGE", 0}});
  struct Row { uint8_t govtype; float research, daily, shortage; int32_t sideScreens; const char* want; bool shortBox; };
  // Wages 1,000 at level 2, research base 100 with a research count of 9:
  // type 3 halves the wages; the level paid for is at most 3.
  const Row rows[] = {
      {0, 4.0f, 0.0f, 0.0f, 1, "$ 2,000|$ 300|$ 0|$ 0|$ 2,300", false},
      {3, 4.0f, 0.0f, 1.0f, 1, "$ 1,000|$ 300|$ 0|$ 0|$ 1,300", true},
      {3, 2.0f, 2.0f, 0.0f, 1, "$ 1,000|$ 200|$ 730|$ 730|$ 1,200", false},
      {0, 2.0f, 2.0f, 1.0f, 0, "unchanged|unchanged|unchanged|unchanged|unchanged", true},  // side screens off
  };
  for (const Row& r : rows) {
    for (const char* tag : kMilitaryCostTags)
      if (Control* c = form[tag]) SetControlText(c, "unchanged"), c->state &= ~kStateHidden;
    PlayerRecord& p = g_world.players[kLocal];
    p.govtype = r.govtype, p.salaryBaseCost = 1000.0f, p.displayPolicy.milspendsalary = 2.0f;
    p.researchBudget = 100.0f, p.displayPolicy.milspendresearch = r.research;
    economy::SetReal(p, economy::kCapacityByKind + 4, 9.0f);
    g_uiOptions.sidescreens = r.sideScreens;
    for (size_t at : {upkeepfields::kTrainingSpent, upkeepfields::kBuildSpent}) unitfields::SetReal(p, at, r.daily);
    unitfields::SetReal(p, upkeepfields::kBuildShortfall, r.shortage);
    const MilitaryFigures f = MilitaryFiguresOf(p);
    if (r.sideScreens) FillMilitaryCosts(form.root, f);
    else panel->Refresh();
    EXPECT_EQ(form.Texts({"COSTSAL", "COSTRES", "COSTTRAIN", "COSTBUILD", "COSTTOTAL"}), r.want) << int{r.govtype};
    EXPECT_EQ(!form["SHORTBOX"]->Hidden(), r.shortBox) << int{r.govtype};
  }
}

TEST(MilitaryDepartmentTest, TheAutoBuildSwitchesPostTheirCommandsAndFollowTheFocusPanel) {
  const GlobalGuard<GameState> state(g_world.gameState);
  const GlobalGuard<PlayerRecord> local(g_world.players[kLocal]);
  g_world.gameState.localPlayer = kLocal;
  Screen& focus = *g_screens.autoBuildFocus;
  const GlobalGuard<Control*> focusHost(focus.host);
  const GlobalGuard<Control**> focusLink(focus.hostLink);
  const GlobalGuard<Control*> focusForm0(focus.form);
  const GlobalGuard<Control*> focusForm1(focus.currentForm);
  focus.hostLink = nullptr;
  Control host(controltest::Init("FOCUSHOST", nullptr, 0, 0, 220, 194));
  focus.host = &host;
  std::unique_ptr<Screen> panel = MakeUnitProductionPanel();
  TestForm form(*panel, {{"AUTOBUILD", kCtlButton | kCtlCommand}, {"AUTOBUILD2", kCtlButton | kCtlCommand}});
  TestForm focusForm(focus, {});
  struct Row { const char* toggle; bool on; uint32_t command; bool focusShown; };
  const Row rows[] = {{"AUTOBUILD", false, kCmdBUnitAutoBuild, false},
                      {"AUTOBUILD", true, kCmdBUnitAutoBuild, true},
                      {"AUTOBUILD2", false, kCmdBMissilesAutoBuild, false}};
  for (const Row& r : rows) {
    g_commandLog.Clear();
    ControlAttachForm(&host, nullptr);
    Control* toggle = form[r.toggle];
    toggle->state = r.on ? toggle->state | kStateSelected : toggle->state & ~kStateSelected;
    panel->OnCommand(toggle, 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), 1u) << r.toggle;
    EXPECT_EQ(std::tuple(log[0].id, log[0].player, log[0].arg24, log[0].arg28, log[0].arg32, log[0].arg36),
              std::tuple(r.command, uint8_t{kLocal}, 0u, r.on ? 1u : 0u, 0u, 0u));
    EXPECT_EQ(host.firstChild == focusForm.root, r.focusShown) << r.toggle << r.on;
  }
  ControlAttachForm(&host, nullptr);
  focusForm.root->parent = nullptr;
  g_commandLog.Clear();
}

TEST(MilitaryDepartmentTest, AClickInTheFilterPanelCopiesItsTogglesBack) {
  const GlobalGuard<ViewFilterFlags> flags(g_viewFilterFlags);
  std::unique_ptr<Screen> panel = MakeUnitViewFilterPanel();
  // Bits in the order of the tags: FILTERON, VIEWFILTER, VIEWFAV, VIEWREP,
  // VIEWOLD.
  struct Row { bool withOld; uint32_t pressed, want; };
  const Row rows[] = {{true, 0b10110, 0b10110}, {true, 0b01001, 0b01001}, {false, 0b11111, 0b01111}};
  for (const Row& r : rows) {
    g_viewFilterFlags = {{true, true, true, true}, true};
    TestForm form(*panel, {{"FILTERON", 0}, {"VIEWFILTER", 0}, {"VIEWFAV", 0}, {"VIEWREP", 0}, {r.withOld ? "VIEWOLD" : "X", 0}});
    for (int i = 0; i < 5; ++i)
      if (Control* c = form[kViewFilterTags[i]]; c && (r.pressed >> i & 1)) c->state |= kStateSelected;
    panel->OnCommand(form.root, 0);
    const ViewFilterFlags& g = g_viewFilterFlags;
    const bool got[] = {g.filterOn, g.classes.showHidden, g.classes.onlyMarked, g.classes.ignoreSuccessor,
                        g.classes.ignoreThreshold};
    uint32_t bits = 0;
    for (int i = 0; i < 5; ++i) bits |= uint32_t{got[i]} << i;
    EXPECT_EQ(bits, r.want) << r.pressed;
  }
}

}  // namespace
