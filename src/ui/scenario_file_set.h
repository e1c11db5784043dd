#pragma once
// The scenario's file set as the interface loads and saves it: the game,
// map, unit-class, people, technology and terrain files of the current
// scenario.
#include <cstdint>

struct ScreenManager;

// Reads the scenario named in the game state in the one file order; a
// failure is logged with the file it stopped at.
int32_t LoadScenarioFiles(ScreenManager* ui);
// Names the scenario (at most 39 characters), resynchronises the command
// counters and writes the map and game files under that name, then the
// unit-class, people, technology and terrain files under the map header's
// names; stops at and returns the first failure.
int32_t SaveScenarioFiles(const char* name);
