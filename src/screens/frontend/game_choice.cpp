#include "screens/frontend/start_menu.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/game_start.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "world/world.h"

namespace {

constexpr const char* kChoiceTags[] = {"TITLE", "SCENLIST", "REGIONLIST", "REGIONHDR", "PROFILE", "START", "BACK"};
constexpr const char* kProfileTags[] = {"PORTRAIT", "PORTPREV", "PORTNEXT", "LEFT", "CENTRE", "RIGHT"};
// The leanings the profile offers, left to right.
constexpr int8_t kLeanings[] = {-60, 0, 60};
constexpr const char* kLeaningTags[] = {"LEFT", "CENTRE", "RIGHT"};
constexpr uint8_t kPortraits = 8;

}  // namespace

GameChoiceScreen::GameChoiceScreen() : Screen("SM_PLAYER1a", {kChoiceTags, {}}) {
  hostLink = &g_ui.frontEndBackground;
}

void GameChoiceScreen::BindControls() {
  scenarioList_ = MakeListBox("SCENLIST", 0, currentForm, 0, this);
  regionList_ = MakeListBox("REGIONLIST", 0, currentForm, 0, this);
  for (ListBoxControl* list : {scenarioList_, regionList_})
    if (list) list->flags |= kListSingleSelect;
}

void GameChoiceScreen::OnOpen() {
  ControlSetText(currentForm ? FormFindControlByTag(currentForm, "TITLE") : nullptr,
                 "New game");
  scenarios = ListScenarios(true);
  scenario = -1;
  region = 0;
  regions.clear();
  if (scenarioList_) FillScenarioList(scenarioList_, scenarios);
  if (regionList_) ListClear(regionList_, 1);
  if (Control* host = currentForm ? FormFindControlByTag(currentForm, "PROFILE") : nullptr)
    g_screens.playerProfile->Show(0, host);
}

void GameChoiceScreen::Refresh() {
  if (!currentForm) return;
  SetControlFlag(FormFindControlByTag(currentForm, "START"), kStateHidden, (scenario < 0 || region == 0) ? 1 : 0);
  currentForm->state |= kStateDirty;
}

void GameChoiceScreen::ChooseScenario(int32_t row) {
  plat::CriticalSectionLock lock(g_simulationLock);
  scenario = -1;
  region = 0;
  regions.clear();
  if (regionList_) ListClear(regionList_, 1);
  if (row < 0 || static_cast<size_t>(row) >= scenarios.size()) return;
  if (!ReadScenarioForChoice(g_world, scenarios[static_cast<size_t>(row)])) return;
  scenario = row;
  regions = ListRegions(g_world);
  if (!regionList_) return;
  for (const RegionEntry& entry : regions) ListAddString(regionList_, entry.name.c_str(), entry.player, entry.player, 0, 0, 0);
  ListLayoutRows(regionList_);
}

void GameChoiceScreen::ChooseRegion(int32_t player) {
  region = 0;
  for (const RegionEntry& entry : regions)
    if (entry.player == player) region = player;
}

void GameChoiceScreen::OnCommand(Control* control, int32_t id) {
  if (control && control == scenarioList_) {
    ChooseScenario(id - 1);
  } else if (control && control == regionList_) {
    ChooseRegion(id);
  } else if (Is(control, "START")) {
    if (scenario >= 0 && region != 0) {
      StartNewGame(g_ui, scenarios[static_cast<size_t>(scenario)].file, region);
      return;
    }
  } else if (Is(control, "BACK")) {
    g_screens.startMenu.Show(0, nullptr);
    return;
  }
  Refresh();
}

namespace {

class PlayerProfile : public Screen {
 public:
  PlayerProfile() : Screen("PLAYER", {kProfileTags, {}}) {}
  void Refresh() override {
    if (!currentForm) return;
    // The leaders' portraits are the second sheet's.
    IconCellRect(kLeaderPortraits + g_profileChoices.portrait, FormFindControlByTag(currentForm, "PORTRAIT"), nullptr);
    for (size_t i = 0; i < std::size(kLeanings); ++i)
      SetControlFlag(FormFindControlByTag(currentForm, kLeaningTags[i]), kStateSelected,
                     g_profileChoices.leaning == kLeanings[i] ? 1 : 0);
    currentForm->state |= kStateDirty;
  }
  void OnCommand(Control* control, int32_t) override {
    uint8_t& portrait = g_profileChoices.portrait;
    if (Is(control, "PORTPREV")) portrait = static_cast<uint8_t>((portrait + kPortraits - 1) % kPortraits);
    if (Is(control, "PORTNEXT")) portrait = static_cast<uint8_t>((portrait + 1) % kPortraits);
    for (size_t i = 0; i < std::size(kLeanings); ++i)
      if (Is(control, kLeaningTags[i])) g_profileChoices.leaning = kLeanings[i];
    Refresh();
  }
};

}  // namespace

std::unique_ptr<Screen> MakePlayerProfile() { return std::make_unique<PlayerProfile>(); }
