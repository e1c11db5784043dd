#pragma once
// Scenario definitions (".GMC"): the binary files that make up a scenario,
// its rules and switches, its campaign links, the player groupings, and per
// player the starting music, agenda, government, feelings toward the other
// players, wars, ceasefires and treaties. Keys are found anywhere in the text
// (the first occurrence wins); the per-player keys stand in "&&PLAYERnn"
// sections in player order.
#include <cstdint>
#include <string>

#include "world/scenario_settings.h"

struct PlayerRecord;
struct World;

// The player groupings of a scenario: groupings 1..31, each with its id,
// three settings and, for every player, a mask of the players it leads, two
// values and its leader.
inline constexpr int kMaxGroupings = 31;
inline constexpr int kGroupingPlayers = 32;

struct GroupingEntry {
  uint32_t mask = 0;  // the players this one leads (itself when alone)
  int32_t valueA = 0;
  int32_t valueB = 0;
};

struct ScenarioGrouping {
  int32_t id = 0;
  int32_t settings[3] = {};
  GroupingEntry entries[kGroupingPlayers];
  uint8_t leader[kGroupingPlayers] = {};
};

struct ScenarioGroupings {
  ScenarioGrouping groupings[kMaxGroupings + 1];  // 1..31 used
};

// The groupings of the world's scenario.
extern ScenarioGroupings g_scenarioGroupings;

// The folder of a scenario's files: the given one, else "CUSTOM\" in the map
// editor or for a custom scenario, and "Scenario\" otherwise.
const char* ScenarioDirectory(const char* directory, bool customFolder);

// Clears the settings and the groupings and fills them from folder + name +
// ".GMC". 0, or the generic failure (the records then stay cleared).
// Grouping counts above 31 are taken as 31.
int32_t LoadScenarioDef(ScenarioSettings& settings, ScenarioGroupings& groupings, const char* directory,
                        const char* name, bool customFolder);

// Makes or ends treaty `type` between a record and `partner` on one copy of
// its settings (0 display, 1 simulation).
using TreatyOperation = void (*)(PlayerRecord& record, int copy, int type, bool on, int partner, bool cascade,
                                 bool withEffects);

// Applies the "&&PLAYERnn" sections to players 1..highestPlayer (at most 31)
// of `players` (32 records). Before reading, every such player takes the
// map's music and, without groupings, its own number as its first e-mail.
// Player numbers above 31 and treaty types above 127 are ignored. 0, or the
// generic failure when the file cannot be read (after those defaults).
int32_t LoadScenarioPlayers(PlayerRecord* players, int32_t highestPlayer, const ScenarioSettings& settings,
                            const char* directory, const char* name, bool customFolder, TreatyOperation makeTreaty);

// The same for the world's scenario: the folder rule follows the world's map
// folder state. The world's players are loaded by the simulation
// (sim/scenario_players.h), which makes their treaties.
int32_t LoadScenarioDef(World& world, const char* directory, const char* name);

// The definition text that gives back these settings and groupings when
// read: every scenario-wide key, the switches and the groupings; the file
// names as given (an empty one as "DEFAULT"). No player sections: the
// players start as the scenario's game file holds them.
struct ScenarioDefFiles {
  const char* gamfile = nullptr;
  const char* gmtfile = nullptr;
  const char* ttrfile = nullptr;
  const char* pplfile = nullptr;
  const char* unifile = nullptr;
  const char* terfile = nullptr;
  const char* playsetfile = nullptr;
};
std::string ScenarioDefText(const ScenarioSettings& settings, const ScenarioGroupings& groupings,
                            const ScenarioDefFiles& files);
// Writes the text whole (a temporary file renamed) as folder + name +
// ".GMC"; a failure leaves any earlier file as it was.
int32_t WriteScenarioDef(const std::string& text, const char* directory, const char* name);
