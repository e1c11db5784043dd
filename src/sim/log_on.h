#pragma once
// Log-on: turns a loaded world into a game that runs. It re-reads the
// interface options, resets the interface, settles the game state's values
// from the scenario or the defaults, reads the scenario's regions and the
// player-settings file for a new game, starts the window timer, the turn
// thread and the computer players' threads, opens the game log and writes
// its first lines. The game start calls it for every game, the map editor
// for its blank world.
#include <cstdint>
#include <string>

struct ScreenManager;
struct World;

// The status of loading the map images, or the generic failure when the
// turn thread cannot be made (the other threads and the log are set up all
// the same). `ui` may be null: a game without an interface.
int32_t LogOn(ScreenManager* ui, int32_t loadedFromSave, int32_t joining);
inline int32_t LogOn(ScreenManager& ui, int32_t loadedFromSave, int32_t joining) {
  return LogOn(&ui, loadedFromSave, joining);
}

// The parts of log-on, for the game start and for tests.
// The game state's values a new game takes from the scenario: start and end
// days, election days, the victory switch and the start view.
void SettleNewGameDays(World& world);
// The start view from the scenario's view hex, checked against the map.
void SettleStartView(World& world);
// The game log's name: "<save folder>LOG-<player>-<region>.log", both names
// made safe for a file name, cut to 259 characters.
std::string GameLogFileName(const World& world);
// The float test line's two results, from the single-precision test inputs
// (or from zeros when the log is off).
void FloatTestValues(bool logOn, float& first, float& second);
// The players whose regions get a computer-player thread (bit p for p).
uint32_t ComputerPlayerThreadMask(const World& world);
