// The interface reads the sample scenario through the simulation's hook and
// writes the map and game files back under a cut name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/fpenv.h"
#include "platform/paths.h"
#include "records/text_field.h"
#include "screens/game_session_ui.h"
#include "sim/sim_ui_link.h"
#include "support/temp_dir.h"
#include "ui/scenario_file_set.h"
#include "ui/screen_manager.h"
#include "world/game_file.h"
#include "world/map_file.h"
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
    plat::SetDataRoot(std::filesystem::path(VD_GAME_EXE).parent_path().string());
  }
  void TearDown() override {
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
  EXPECT_TRUE(plat::ReadFileBytes(MapReadPath(kept)).has_value());
  EXPECT_TRUE(plat::ReadFileBytes(GameReadPath(kept)).has_value());
  // The table files are not in the new folder: the load stops there and
  // says so.
  EXPECT_LT(LoadScenarioFiles(&g_ui), 0);
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
