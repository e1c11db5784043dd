#pragma once
// The last daily step: every region's standing and its opinions of the
// others move, the world statistics tables are recomputed, and the game's
// end is decided: by a day limit with a scenario winner (victory kind 3), a
// day limit with the winner of one statistic (kinds 4 to 9), or a plain day
// limit. An ended game keeps its end reason and winners and is not decided
// again; the main window hears 99 when the local player won, 98 when it
// lost.
#include <cstdint>

#include "app/window_messages.h"

struct World;

// End reasons this check gives.
inline constexpr uint32_t kEndScenarioWon = 5;
inline constexpr uint32_t kEndScenarioLost = 95;
inline constexpr uint32_t kEndStatisticWinner = 4;
inline constexpr uint32_t kEndTimeoutVictory = 8;
inline constexpr uint32_t kEndDayLimit = 98;
inline constexpr uint32_t kEndElectionLost = 97;

void CheckVictoryConditions(World& world);
void UpdateStatTables(World& world);

// Ends the game: the end reason is set (once: a game already ended keeps its
// reason and nothing is posted), the winners join the mask, and the main
// window hears the code. The election step uses it for code 97.
void EndGame(World& world, uint32_t reason, uint32_t winners, uint32_t code);
