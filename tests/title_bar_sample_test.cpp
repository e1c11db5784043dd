// The title bar's date over a new game of the shipped sample map.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "app/app_object.h"
#include "platform/paths.h"
#include "screens/main/bars/title_bar.h"
#include "screens/screen_set.h"
#include "support/private_game_root.h"
#include "support/global_guard.h"
#include "ui/control_tree.h"
#include "ui/form_file.h"
#include "world/map_file.h"
#include "world/world.h"

namespace {

TEST(TitleBarSample, ANewGameOfTheSampleMapStartsOnTheFirstOfMarch2010) {
  // Filling the date also marks the speed on the command bar: none here.
  GlobalGuard<Control*> noSpeeds(g_screens.speedBar.speeds, nullptr);
  const std::string oldRoot = plat::DataRoot();
  char oldHaps[sizeof g_app.hapsDirectory];
  std::memcpy(oldHaps, g_app.hapsDirectory, sizeof oldHaps);
  plat::SetDataRoot(PrivateGameRoot());
  std::strcpy(g_app.hapsDirectory, "HAPS\\");
  // The map alone: its lead units belong to the game file, so none is looked up.
  const auto image = plat::ReadFileBytes(MapReadPath("CHANNEL"));
  ASSERT_TRUE(image);
  std::string why;
  StagedMapPtr staged = StageMapImage(*image, [](uint32_t) -> UnitRecord* { return nullptr; }, why);
  ASSERT_TRUE(staged) << why;
  auto world = std::make_unique<World>();
  CommitStagedMap(*world, *staged, std::nullopt);
  InitGameState(world->gameState, world->mapHeader);
  // Two shipped forms filled a month apart: each keeps its own date.
  Control* first = LoadFormFile("TITLEBAR", g_screens.titleBar.get(), nullptr, nullptr);
  Control* second = LoadFormFile("TITLEBAR", g_screens.titleBar.get(), nullptr, nullptr);
  ASSERT_TRUE(first && second);
  FillTitleBarDate(first, nullptr, world->gameState);
  world->gameState.currentDay += 31;
  FillTitleBarDate(second, nullptr, world->gameState);
  EXPECT_EQ(FormFindControlByTag(first, "DATE")->text, "Mar 1, 2010");
  EXPECT_EQ(FormFindControlByTag(second, "DATE")->text, "Apr 1, 2010");
  delete first, delete second;
  std::memcpy(g_app.hapsDirectory, oldHaps, sizeof oldHaps);
  plat::SetDataRoot(oldRoot);
}

}  // namespace
