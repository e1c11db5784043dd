#pragma once
// What the front end's screens do with the player's choices: the scenarios
// a new game may start from, the regions of the chosen one, and the start of
// a new or saved game.
#include <cstdint>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"

struct ScenarioEntry {
  std::string file;     // the definition's name in its folder, without ".GMC"
  std::string title;    // the scenario text's name, else the file name
  bool custom = false;  // made in the map editor: read from "CUSTOM\"
};

// Every scenario definition of "Scenario\" by title, then with `custom`
// those of "CUSTOM\" by title.
std::vector<ScenarioEntry> ListScenarios(bool custom);
// The list shows the scenarios' titles, emptied first; row ids count from 1
// in the scenarios' order.
void FillScenarioList(ListBoxControl* list, const std::vector<ScenarioEntry>& scenarios);

// Sets the custom-scenario switch as the entry asks, then reads the
// scenario's definition, its text (when it has one; a scenario made in the
// editor may not) and its game file into the world, as a joining peer
// reads a game set-up; false when the definition or game file fails.
bool ReadScenarioForChoice(World& world, const ScenarioEntry& entry);

// A save's row in the load lists: its name, then the title of the scenario
// it was saved from and its game date ("Probe - The Narrow Channel, Mar 3,
// 2010"); the name alone when the file cannot say.
std::string SaveListRow(const std::string& name);
// The font of the saves' rows, in the game menu and on the start menu
// alike.
constexpr int32_t kSaveListFont = 2;
// Adds the save's row (SaveListRow) to the list, with the id as its id and
// value; a row wider than the list goes on over a second line, so that its
// date reads whole. The caller lays the rows out.
void AddSaveListRow(ListBoxControl* list, const std::string& name, int32_t id);

struct RegionEntry {
  int32_t player;
  std::string name;
};

// The regions of the game read, in player order: those the chosen grouping
// names, else every region in play, and of those only the ones holding land;
// each under the scenario's name for it.
std::vector<RegionEntry> ListRegions(const World& world);

// Starts the chosen scenario with the local user leading the region.
void StartNewGame(ScreenManager& ui, const std::string& file, int32_t region);

// Starts the saved game of that name from the save-game folder; false, with
// the world untouched, when the file is missing or not a save this version
// reads.
bool StartSavedGame(ScreenManager& ui, const std::string& name);
