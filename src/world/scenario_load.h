#pragma once
// The one order in which a scenario's files are read, for the front end, the
// editor and the headless runner alike: the definition, the game file, the
// map, the unit classes, people, technologies and terrain, then the pass
// after loading and the scenario's text.
#include <cstdint>
#include <string>

struct World;

// Reads the scenario of that name into the world, stopping at the first
// file that is missing or does not parse. 0 on success; otherwise the
// failure, and `error` (when given) names the file and why.
int32_t LoadScenarioFileSequence(World& world, const std::string& name, std::string* error);
