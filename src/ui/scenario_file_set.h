#pragma once
// The scenario's file set as the interface loads and saves it: the game,
// map, unit-class, people, technology and terrain files of the current
// scenario.
#include <cstdint>
#include <string>
#include <string_view>

struct ScreenManager;
struct World;

// Reads the scenario named in the game state in the one file order; a
// failure is logged with the file it stopped at.
int32_t LoadScenarioFiles(ScreenManager* ui);
// Names the scenario (at most 39 characters), resynchronises the command
// counters and writes its set: the map and game files under that name, the
// unit-class, people, technology and terrain files under the map header's
// names, and the definition. The set is written whole or not at all (0, or
// the failure, logged). A name that is empty, blank or a path (a separator,
// a drive, "..") is refused with a log line and nothing written or changed.
int32_t SaveScenarioFiles(const char* name);
// The scenario's definition under the name: the files as the map header
// names them, the set-up's start date, the world's rules and groupings.
std::string EditedScenarioDefText(const World& world, const std::string& name);
// Whether the name can name a scenario's files.
bool UsableScenarioName(std::string_view name);
