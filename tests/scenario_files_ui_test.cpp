// The interface reads the sample scenario through the simulation's hook and
// writes its files back under a cut name, all of them or, when one cannot be
// written, none.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/fpenv.h"
#include "platform/paths.h"
#include "records/text_field.h"
#include "screens/game_session_ui.h"
#include "sim/sim_ui_link.h"
#include "support/private_game_root.h"
#include "support/temp_dir.h"
#include "ui/scenario_file_set.h"
#include "ui/screen_manager.h"
#include "world/data_file_io.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/map_header.h"
#include "world/scenario_load.h"
#include "world/text/scenario_def.h"
#include "world/world.h"

namespace {

class ScenarioFilesUi : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetGameFloatMode();
    old_ = plat::DataRoot();
    savedLink_ = g_simUi;
    plat::SetDataRoot(PrivateGameRoot());
  }
  void TearDown() override {
    // The loads leave the scenario's units and records in the world; the
    // next test's world starts empty.
    FreeGameData(g_world);
    g_simUi = savedLink_;
    plat::SetDataRoot(old_);
  }
  std::string old_;
  SimUiLink savedLink_;
};

TEST_F(ScenarioFilesUi, TheSampleScenarioLoadsThroughTheHookAndSavesUnderACutName) {
  InstallGameSessionUi();
  ASSERT_EQ(g_simUi.loadScenarioFiles, &LoadScenarioFiles);
  ASSERT_GE(LoadScenarioDef(g_world, nullptr, "Channel"), 0);
  SetFieldText(g_world.gameState.scenarioName, "Channel");
  ASSERT_EQ(g_simUi.loadScenarioFiles(&g_ui), 0);
  EXPECT_GT(g_world.mapWidth, 0);
  EXPECT_FALSE(g_world.cells.empty());
  EXPECT_FALSE(g_world.unitClasses.empty());

  TempDir out;
  plat::SetDataRoot(out.path());
  const std::string longName(45, 'N');
  EXPECT_EQ(SaveScenarioFiles(longName.c_str()), 0);
  const std::string kept(39, 'N');
  EXPECT_EQ(FieldText(g_world.gameState.scenarioName), kept);
  const MapHeader& h = g_world.mapHeader;
  const std::string paths[] = {MapReadPath("BLOCKED"), GameReadPath("BLOCKED"),
                               DataFileWritePath(FieldText(h.unitFileName), ".UNI"),
                               DataFileWritePath(FieldText(h.peopleFileName), ".PPL"),
                               DataFileWritePath(FieldText(h.techFileName), ".TTR"),
                               DataFileWritePath(FieldText(h.terrainFileName), ".TER")};
  for (const std::string& path : {MapReadPath(kept), GameReadPath(kept), paths[2], paths[3], paths[4], paths[5]})
    EXPECT_TRUE(plat::ReadFileBytes(path).has_value()) << path;
  // The definition comes with the files: the saved set opens again.
  EXPECT_TRUE(plat::ReadFileBytes("Scenario\\" + kept + ".GMC").has_value());
  EXPECT_EQ(LoadScenarioFiles(&g_ui), 0);
  EXPECT_EQ(FieldText(g_world.gameState.scenarioName), kept);

  // A folder in the people file's place: no file of the set is written,
  // neither before it nor after, and no temporary file is left.
  TempDir blocked;
  plat::SetDataRoot(blocked.path());
  ASSERT_TRUE(plat::MakeGameDirectories(paths[3]));
  EXPECT_LT(SaveScenarioFiles("BLOCKED"), 0);
  for (const auto& f : std::filesystem::recursive_directory_iterator(blocked.path()))
    EXPECT_TRUE(f.is_directory()) << "written: " << f.path();

  // A name no file can have: refused, nothing written, the name kept.
  TempDir empty;
  plat::SetDataRoot(empty.path());
  for (const char* bad : {"", "   ", "../OUT", "A/B", "C:\\X", static_cast<const char*>(nullptr)}) {
    EXPECT_LT(SaveScenarioFiles(bad), 0) << (bad ? bad : "null");
    EXPECT_EQ(FieldText(g_world.gameState.scenarioName), "BLOCKED");
  }
  EXPECT_TRUE(std::filesystem::is_empty(empty.path()));
}

}  // namespace

namespace {

// The one file order stops at the first file it cannot use and names it.
TEST_F(ScenarioFilesUi, TheFileSequenceNamesTheFileItStoppedAt) {
  const struct {
    const char* scenario;
    const char* named;  // in the error; null: the load succeeds
  } kRows[] = {{"Channel", nullptr}, {"Nowhere", "Nowhere.GMC"}, {"", ".GMC"}};
  for (const auto& row : kRows) {
    std::string why;
    const int32_t status = LoadScenarioFileSequence(g_world, row.scenario, &why);
    EXPECT_EQ(status >= 0, row.named == nullptr) << row.scenario;
    if (row.named) {
      EXPECT_NE(why.find(row.named), std::string::npos) << why;
    } else {
      EXPECT_EQ(FieldText(g_world.gameState.scenarioName), row.scenario);
    }
  }
}

}  // namespace
