#pragma once
// The front end's screens before a game: the start menu with its quit
// question, the choice of a scenario and a region with the player's
// profile, and the front-end options menu with its page holder.
#include <memory>
#include <cstdint>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "screens/frontend/front_end_flow.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"

class StartMenu : public Screen {
 public:
  StartMenu();
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
};

// The new game's choice: the scenarios, the chosen one's regions, and the
// profile beside them.
class GameChoiceScreen : public Screen {
 public:
  GameChoiceScreen();
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  // Picks a scenario by its row (0 first) and a region by its player
  // number, as the lists do.
  void ChooseScenario(int32_t row);
  void ChooseRegion(int32_t player);

  std::vector<ScenarioEntry> scenarios;
  std::vector<RegionEntry> regions;
  int32_t scenario = -1;  // row of the chosen scenario, -1 none
  int32_t region = 0;     // the chosen region's player number, 0 none

 private:
  ListBoxControl* scenarioList_ = nullptr;
  ListBoxControl* regionList_ = nullptr;
};

// The player's profile: the leader's portrait and political leaning.
std::unique_ptr<Screen> MakePlayerProfile();

// The front end's options menu and the holder of the page it opens.
std::unique_ptr<Screen> MakeOptionsMenu();

std::unique_ptr<Screen> MakeOptionsHost();
