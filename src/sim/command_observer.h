#pragma once
// A watcher of the commands the clock runs: called on the turn thread,
// under the simulation lock, after each command's simulation pass. The
// headless runner counts what the regions did through it; the game installs
// none.
#include <atomic>

struct World;
struct GameCommand;

using CommandRanHook = void (*)(World& world, const GameCommand& command);
extern std::atomic<CommandRanHook> g_commandRanHook;
