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
// counters and writes the map and game files under that name, then the
// unit-class, people, technology and terrain files under the map header's
// names, and last the definition; stops at and returns the first failure.
// A name that is empty, blank or a path (a separator, a drive, "..") is
// refused with a log line and nothing written or changed.
int32_t SaveScenarioFiles(const char* name);
// Writes the scenario's definition under the name: the files as the map
// header names them, the set-up's start date, the world's rules and
// groupings. 0, or the failure (logged; an earlier file stays as it was).
int32_t WriteEditedScenarioDef(const World& world, const std::string& name);
// Whether the name can name a scenario's files.
bool UsableScenarioName(std::string_view name);
