#include "screens/frontend/briefing_screen.h"

#include <cstdio>
#include <iterator>

#include "screens/frontend/tutorial_window.h"
#include "screens/screen_set.h"
#include "sim/game_start.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/text_box.h"
#include "world/local_player.h"
#include "world/text/scenario_text.h"
#include "world/text/tutorial_table.h"
#include "world/world.h"

namespace {

constexpr const char* kBriefingTags[] = {"TITLE", "PROGRESS", "BRIEF", "MODE1", "MODE2", "MODE3", "MODE4", "START"};
// The mode buttons and the leader choice each stands for.
constexpr const char* kModeTags[] = {"MODE1", "MODE2", "MODE3", "MODE4"};
constexpr int32_t kFullProgress = 10000;
constexpr uint32_t kBriefCapacity = 8192;

}  // namespace

BriefingScreen::BriefingScreen() : Screen("SM_PLAYER3", {kBriefingTags, {}}) { hostLink = &g_ui.gameBackground; }

void BriefingScreen::BindControls() { brief_ = MakeTextBox("BRIEF", 0, currentForm); }

void BriefingScreen::OnOpen() {
  progress = 0;
  if (!currentForm) return;
  const char* title = g_scenarioText.scenarioName.c_str();
  ControlSetText(FormFindControlByTag(currentForm, "TITLE"), *title ? title : "Briefing");
  if (brief_) TextBoxSetText(brief_, g_scenarioText.briefText.c_str(), kBriefCapacity, 1);
  if (g_profileChoices.leaderChoice < 1 || g_profileChoices.leaderChoice > std::size(kModeTags))
    g_profileChoices.leaderChoice = 1;
}

void BriefingScreen::Refresh() {
  if (!currentForm) return;
  const bool loading = g_gameLoading.load(std::memory_order_relaxed) != 0;
  char text[48];
  if (loading)
    std::snprintf(text, sizeof text, "Preparing the game: %d%%", progress * 100 / kFullProgress);
  else
    std::snprintf(text, sizeof text, "The game is ready.");
  ControlSetText(FormFindControlByTag(currentForm, "PROGRESS"), text);
  SetControlFlag(FormFindControlByTag(currentForm, "START"), kStateHidden, (loading) ? 1 : 0);
  // A saved game keeps the leader it was played with, which its local
  // region's record holds (the front end's choice may be another game's):
  // its briefing shows that leader alone, and offers no other.
  bool fromSave = false;
  uint32_t leader = g_profileChoices.leaderChoice;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    fromSave = (g_world.scenario.head.gameFlags & kGameFlagFromSave) != 0;
    if (fromSave) {
      const PlayerRecord* local = LocalPlayer(g_world);
      leader = local ? local->govtype : 0;
    }
  }
  for (size_t i = 0; i < std::size(kModeTags); ++i) {
    Control* mode = FormFindControlByTag(currentForm, kModeTags[i]);
    const bool chosen = leader == i + 1;
    SetControlFlag(mode, kStateSelected, chosen ? 1 : 0);
    SetControlFlag(mode, kStateDisabled, fromSave ? 1 : 0);
    SetControlFlag(mode, kStateHidden, fromSave && !chosen ? 1 : 0);
  }
  currentForm->state |= kStateDirty;
}

void BriefingScreen::SetProgress(int32_t value) {
  progress = value < 0 ? 0 : value > kFullProgress ? kFullProgress : value;
  Refresh();
}

void BriefingScreen::OnCommand(Control* control, int32_t) {
  for (size_t i = 0; i < std::size(kModeTags); ++i)
    if (Is(control, kModeTags[i])) g_profileChoices.leaderChoice = static_cast<uint8_t>(i + 1);
  if (Is(control, "START") && g_gameLoading.load(std::memory_order_relaxed) == 0) {
    bool fromSave = false;
    {
      // Not held into the join, which may stop and start the game's threads.
      plat::CriticalSectionLock lock(g_simulationLock);
      fromSave = (g_world.scenario.head.gameFlags & kGameFlagFromSave) != 0;
    }
    JoinGameAsPlayer(&g_ui, fromSave ? 1 : 0);
    // A tutorial's game opens on its first page.
    if (g_tutorialSteps) OpenTutorialPage(g_screens.tutorial);
    return;
  }
  Refresh();
}
