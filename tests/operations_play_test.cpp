// The operations department in a game of the sample scenario: F3 docks it;
// the alert bar moved at peace is held to the peace limit in the
// simulation; the rules page switches scorched earth on and draws the
// switches that are on pressed, the chooser picks two targets and both
// reach the simulation, and so does the release of nuclear and chemical
// weapons, which the launches obey.
#include <gtest/gtest.h>

#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/game_speed.h"
#include "world/world.h"

namespace {

constexpr uint32_t kScorchedEarth = 0x10;

TEST(OperationsPlay, TheAlertBarAtItsTopInPeaceIsHeldToThePeaceLimit) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const PlayerRecord& local = w.players[w.gameState.localPlayer];
  ASSERT_EQ(local.displayPolicy.hostileMask, 0u) << "Westholm starts at peace";
  SampleGame::PressKey(plat::kVkF1 + 2);  // F3
  SampleGame::ClickControl(FormFindControlByTag(s.operationsScreen.currentForm, "DEFCONBUT"));
  ASSERT_NE(s.defconPanel->currentForm->parent, nullptr) << "the alert page docks";
  auto* bar = dynamic_cast<SlideBarControl*>(FormFindControlByTag(s.defconPanel->currentForm, "DEFCONSLDR"));
  ASSERT_NE(bar, nullptr);
  SliderSetValueInt(bar, 4);
  s.defconPanel->OnControlChange(bar, 0);
  SampleGame::PlayDays(1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    EXPECT_EQ(local.simPolicy.defcon, 3);
  }
  s.defconPanel->OnOpen();
  auto* shown = dynamic_cast<StringControl*>(FormFindControlByTag(s.defconPanel->currentForm, "DEFCON"));
  ASSERT_NE(shown, nullptr);
  EXPECT_STREQ(shown->GetText(), "2");
}

TEST(OperationsPlay, ScorchedEarthItsTargetsAndTheReleaseOfNuclearAndChemicalWeaponsReachTheSimulation) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  World& w = g_world;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
  }
  const PlayerRecord& local = w.players[w.gameState.localPlayer];
  ASSERT_EQ(local.displayPolicy.roeFlags & kScorchedEarth, 0u) << "the sample starts without scorched earth";
  SampleGame::PressKey(plat::kVkF1 + 2);  // F3
  ASSERT_NE(s.operationsScreen.currentForm->parent, nullptr) << "F3 docks OPS1";
  SampleGame::ClickControl(FormFindControlByTag(s.operationsScreen.currentForm, "RULESBUT"));
  ASSERT_NE(s.missionRules->currentForm->parent, nullptr) << "the rules page docks";
  if (!(local.displayPolicy.roeFlags & kRoeGranted)) {
    SampleGame::ClickControl(FormFindControlById(s.missionRules->currentForm, 1));
  }
  // Nuclear (17) and Chemical (16) release the weapons of those kinds.
  constexpr uint32_t kRelease = kRoeLaunchSpecialWeapons | kRoeLaunchFirstSpecialKind;
  ASSERT_EQ(local.displayPolicy.roeFlags & kRelease, 0u) << "the sample starts with them held back";
  SampleGame::ClickControl(FormFindControlById(s.missionRules->currentForm, 17));
  SampleGame::ClickControl(FormFindControlById(s.missionRules->currentForm, 16));
  EXPECT_EQ(local.displayPolicy.roeFlags & kRelease, kRelease) << "the display copy takes both at once";
  SampleGame::ClickControl(FormFindControlById(s.missionRules->currentForm, 15));
  ASSERT_NE(s.scorchedEarth->currentForm->parent, nullptr) << "scorched earth opens the chooser";
  ASSERT_EQ(local.displayPolicy.roeFlags & (kRoeGranted | kRoeOthers), kRoeGranted);
  // Drawn: buttons 1 and 15 in the pressed look, 2 not.
  SampleGame::Pump();
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const auto fill = [&](int32_t id) {
    const plat::Rect r = ControlAbsoluteRect(FormFindControlById(s.missionRules->currentForm, id));
    return pixels[static_cast<size_t>(r.top + 2) * width + static_cast<size_t>(r.right - 3)];
  };
  EXPECT_EQ(fill(1), fill(15));
  EXPECT_NE(fill(2), fill(15));
  SampleGame::ClickControl(FormFindControlById(s.scorchedEarth->currentForm, 1));
  SampleGame::ClickControl(FormFindControlById(s.scorchedEarth->currentForm, 3));
  EXPECT_EQ(local.displayPolicy.roescorchedtype, 5u) << "the display copy takes the mask at once";

  SampleGame::PlayDays(1);
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_EQ(local.simPolicy.roeFlags & kScorchedEarth, kScorchedEarth);
  EXPECT_EQ(local.simPolicy.roescorchedtype, 5u);
  EXPECT_EQ(local.simPolicy.roeFlags & kRelease, kRelease) << "the launches read the release from here";
}

}  // namespace
