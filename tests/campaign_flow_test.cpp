// The campaign's continuation page on its shipped form (the government
// form the region takes into the next scenario) and the next scenario's
// start when it cannot go ahead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include "support/private_game_root.h"
#include "app/app_object.h"
#include "platform/paths.h"
#include "records/player_kinds.h"
#include "records/unit_record.h"
#include "screens/frontend/campaign_start.h"
#include "screens/screen_set.h"
#include "sim/campaign_carry_over.h"
#include "sim/game_stop.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/region_figures.h"
#include "world/scenario_settings.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// The "govtype" names as the shipped lists give them, for one test.
class GovernmentNames {
 public:
  GovernmentNames() {
    const char* names[] = {"Unknown", "Democracy", "Monarchy", "Communist State", "Military Dictatorship"};
    for (int i = 0; i < 5; ++i) std::swap(Entry(i), kept_[i] = strdup(names[i]));
  }
  ~GovernmentNames() {
    for (int i = 0; i < 5; ++i) {
      std::swap(Entry(i), kept_[i]);
      std::free(kept_[i]);
    }
  }

 private:
  static char*& Entry(int i) { return g_textLists.entries[TextListInfoOf(kListGovtype).first + i]; }
  char* kept_[5] = {};
};

class CampaignFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    std::memcpy(oldHaps_, g_app.hapsDirectory, sizeof oldHaps_);
    plat::SetDataRoot(gameDir_);
    std::strcpy(g_app.hapsDirectory, "HAPS\\");
    LoadScreenListForms(g_screens);
    madeLocks_ = !WorldLocksExist(g_world);
    if (madeLocks_) WorldInitLocks(g_world);
  }
  void TearDown() override {
    // Fresh forms: a later test finds them as shipped.
    plat::SetDataRoot(gameDir_);
    LoadScreenListForms(g_screens);
    if (madeLocks_) WorldDeleteLocks(g_world);
    std::memcpy(g_app.hapsDirectory, oldHaps_, sizeof oldHaps_);
    plat::SetDataRoot(oldRoot_);
  }
  static PlayerRecord& Local() { return g_world.players[1]; }

  const std::string gameDir_ = PrivateGameRoot();
  std::string oldRoot_;
  char oldHaps_[sizeof g_app.hapsDirectory] = {};
  bool madeLocks_ = false;
  GlobalGuard<int32_t> local_{g_world.gameState.localPlayer, 1};
  GlobalGuard<uint32_t> winners_{g_world.gameState.winnersMask, 1u << 1};
  GlobalGuard<PlayerRecord> record_{g_world.players[1], PlayerRecord{}};
  GlobalGuard<ScenarioHead> head_{g_world.scenario.head};
  GlobalGuard<uint8_t> wins_{g_world.scenario.numwinchoice, 1};
};

TEST_F(CampaignFlow, TheRegionMayChangeItsGovernmentWhereItsSupportAllows) {
  const GovernmentNames names;
  g_world.scenario.head.gameFlags |= kGameFlagCampaign;
  const struct {
    uint8_t current;
    int32_t clicked;  // the change button pressed, 0 none
    uint8_t support3, coup;
    float military, domestic;
    const char* changes;  // ids 11 to 14 shown
    const char* unable;   // ids 21 to 24 shown
    bool changing;        // HIDECHANGE shown
    const char* chosen;   // GOVCHANGE
  } rows[] = {
      {1, 0, 60, 50, 0.6f, 0.6f, "-+++", "----", false, "Democracy"},
      {1, 13, 60, 50, 0.6f, 0.6f, "++++", "----", true, "Communist State"},
      // Form 3 wants its support and the military above 1.1, or the
      // people above 1.0; form 4 the coup support and the military above
      // 0.9, or the people above 1.0.
      {1, 0, 60, 20, 0.4f, 0.3f, "-+++", "--++", false, "Democracy"},
      {1, 0, 60, 20, 0.4f, 0.45f, "-+++", "---+", false, "Democracy"},
      {1, 0, 60, 20, 0.55f, 0.3f, "-+++", "---+", false, "Democracy"},
      {2, 0, 10, 40, 0.6f, 0.3f, "+-++", "--+-", false, "Monarchy"},
      {2, 0, 10, 20, 0.6f, 0.3f, "+-++", "--++", false, "Monarchy"},
      {2, 0, 10, 20, 0.3f, 0.85f, "+-++", "--+-", false, "Monarchy"},
      // The current form is never refused, even where it could not be had.
      {3, 0, 0, 0, 0.0f, 0.0f, "++-+", "---+", false, "Communist State"},
      {3, 11, 0, 0, 0.0f, 0.0f, "++++", "--++", true, "Democracy"},
  };
  VictoryContinue& next = g_screens.victory.continuation;
  for (const auto& r : rows) {
    PlayerRecord& region = Local();
    region.govtype = r.current;
    region.secondRating = r.military;
    region.approval = r.domestic;
    reinterpret_cast<uint8_t*>(&region)[kRegionGovtypeApproveAt + 2] = r.support3;
    reinterpret_cast<uint8_t*>(&region)[kRegionGovtypeApproveAt + 3] = r.coup;
    next.OnOpen();
    next.Refresh();
    if (r.clicked) next.OnCommand(FormFindControlById(next.form, r.clicked), 0);
    std::string changes, unable;
    for (int f = 1; f <= 4; ++f) {
      const Control* change = FormFindControlById(next.form, 10 + f);
      const Control* line = FormFindControlById(next.form, 20 + f);
      ASSERT_TRUE(change && line) << f;
      changes += change->Hidden() ? '-' : '+';
      unable += line->Hidden() ? '-' : '+';
    }
    const std::string what = std::to_string(r.current) + "/" + std::to_string(r.clicked) + "/" +
                             std::to_string(r.support3) + "/" + std::to_string(r.coup);
    EXPECT_EQ(changes, r.changes) << what;
    EXPECT_EQ(unable, r.unable) << what;
    EXPECT_EQ(!FormFindControlByTag(next.form, "HIDECHANGE")->Hidden(), r.changing) << what;
    EXPECT_EQ(FormFindControlByTag(next.form, "GOVCHANGE")->text, r.chosen) << what;
    EXPECT_EQ(FormFindControlByTag(next.form, "CURRENT")->text, TextListText(kListGovtype, r.current)) << what;
    EXPECT_EQ(next.chosenForm, r.clicked ? r.clicked - 10 : r.current) << what;
  }
  EXPECT_EQ(FormFindControlById(next.form, 12)->text, "Change Government to Monarchy");
  EXPECT_EQ(FormFindControlById(next.form, 13)->text, "") << "a refused form's note speaks for its button";
  const auto* line = dynamic_cast<const StringControl*>(FormFindControlById(next.form, 24));
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->text, "Conditions Unable to Support Military Dictatorship");
  EXPECT_EQ(line->textColour, 0xFF007D00u);
  EXPECT_EQ(line->fills[kLookNormal] >> 24, 0x8Cu);
  EXPECT_EQ(line->fills[kLookFocused], line->fills[kLookNormal]);
}

TEST_F(CampaignFlow, ANextScenarioThatCannotStartLeavesForTheStartMenu) {
  // A data folder of its own: the sample's game file, and scenarios that
  // name a game file that is not there or whose regions are led by others.
  const TempDir root;
  const auto gam = plat::ReadFileBytes("MAPS\\CHANNEL.GAM");
  ASSERT_TRUE(gam.has_value());
  root.Write("MAPS/CHANNEL.GAM", std::string(gam->begin(), gam->end()));
  const std::string text = "&&SCENNAME\r\nBroken\r\n";
  root.Write("Localize/LOCALEN/Lost.GMT", text);
  root.Write("Localize/LOCALEN/Led.GMT", text);
  root.Write("Scenario/Lost.GMC", "gamfile: \"NOWHERE\"\r\ngmtfile: Lost\r\n");
  // Grouping 1: Eastmark leads Westholm, the sample's only human-led region.
  root.Write("Scenario/Led.GMC", "gamfile: \"CHANNEL\"\r\ngmtfile: Led\r\n&&GROUPINGS\r\n1\r\n1, 0, 0, 0, 2, 1, 0, 0, 0\r\n");
  plat::SetDataRoot(root.path());

  // Loading a scenario replaces the whole game.
  GlobalGuard<int32_t> shown(g_ui.loadingShown);
  GlobalGuard<int32_t> mode(g_ui.mode, kUiFrontEnd);
  GlobalGuard<GameState> state(g_world.gameState);
  GlobalGuard<PlayerRecord[kMaxPlayers]> players(g_world.players);
  GlobalGuard<ScenarioGroupings> groupings(g_scenarioGroupings);
  const struct {
    const char* scenario;
    int32_t group;
    const char* why;
    const char* name;  // the scenario's name as the game keeps it
  } rows[] = {{"Nowhere", 0, "no definition", "Nowhere"},
              {"Lost", 0, "no game file", ""},
              {"Led", 1, "no human in the group", ""}};
  // A game an earlier test left in the world goes first: the one-unit
  // rings below take the world's place.
  ReleaseGameData(g_world);
  for (const auto& r : rows) {
    g_world.gameState.localPlayer = 1;
    Local().kind = kKindHuman;
    g_world.units = new UnitRecord;
    g_world.units->next = g_world.units->prev = g_world.units;
    StartMenu& menu = g_screens.startMenu;
    menu.currentForm = nullptr;
    std::string name = r.scenario;
    ScenarioMapLink entry{};
    entry.mapName = name.data();
    entry.value1 = r.group;
    StartScenarioGame(entry, 3);
    EXPECT_EQ(menu.currentForm, menu.form) << r.why;
    EXPECT_EQ(g_world.units, nullptr) << r.why;
    EXPECT_EQ(g_campaignCarryOver.units, nullptr) << r.why << ": the finished game's units are freed";
    EXPECT_TRUE(g_campaignCarryOver.snapshotTable.empty()) << r.why;
    EXPECT_EQ(g_world.scenario.head.gameFlags & (kGameFlagCarryOver | kGameFlagCampaign), 0u) << r.why;
    EXPECT_NE(g_ui.mode, kUiInGame) << r.why;
    EXPECT_STREQ(g_scenarioText.scenarioName.c_str(), r.name) << r.why;
  }
  ReleaseGameData(g_world);
}

}  // namespace
