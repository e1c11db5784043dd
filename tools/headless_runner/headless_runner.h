#pragma once
// The headless runner: loads a scenario or a save game, makes every region
// computer-led, logs on and runs days on the real turn thread as fast as it
// can, with no window, device, sound or interface. At the end of each turn
// its main thread does what the game's main thread does there (old news and
// e-mail expire) while the clock waits. After each day it prints
// one line: the turn, the date, world totals and checksums of the state
// (the game's sync-check entries and its region records), all taken at the
// end of the day, so two runs of the same game print the same lines. It is
// the end-to-end, soak and determinism test and the simulation benchmark.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

struct World;
namespace plat {
class Peer;
class PeerHandler;
}  // namespace plat

namespace headless {

struct Options {
  int days = 30;
  // A scenario name ("Channel": "Scenario\Channel.GMC") or a save game (a
  // path ending in ".SAV", relative to the data root).
  std::string game;
  // A save written at the end ("Savegame\NAME.SAV", or a path relative to
  // the data root); empty for none.
  std::string save;
  // Days go on after the game has ended (a soak or memory run longer than
  // the scenario's own end); otherwise the run stops with the turn it ended in.
  bool playOn = false;
  // A network game on 127.0.0.1: host it on the port (0: a free port,
  // printed as "host port N"), or join the host at the address and port.
  // The host plays region 1 and the joiner region 2, each through its own
  // computer player; the joiner takes the game the host names.
  int hostPort = -1;
  std::string joinAddress;
  uint16_t joinPort = 0;
  // The host's regions for itself and for the joiner ("--regions 1,2").
  int hostRegion = 1;
  int joinerRegion = 2;
  // "--custom NAME": the scenario is a custom one, read with its files from
  // "CUSTOM\" ("CUSTOM\NAME.GMC").
  bool custom = false;
  // "--help": the usage is printed and nothing runs.
  bool help = false;
  // The network game's peer (tests: the in-process network); TCP when empty.
  std::function<std::unique_ptr<plat::Peer>(plat::PeerHandler&)> makePeer;
  // Called on the main thread after each turn's end-of-turn work, while the
  // clock waits for it (tests look at the world there).
  std::function<void(World&)> afterTurnEnd;
};

// Parses "[--days N] [--save NAME] [--play-on] [--host PORT [--regions H,J]] SCENARIO-OR-SAVE",
// "[--days N] [--save NAME] [--play-on] --custom NAME"
// or "[--days N] --join ADDRESS:PORT"; "--help" anywhere asks for the usage
// alone. False with a message.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);
// The usage, printed for --help and after a refused command line.
extern const char kUsage[];

// Runs the game from the current data root. The day lines go to `out`; a
// file that cannot be loaded gives one line on `err` naming it and what is
// wrong, and 1; the summary (days a second, peak memory) goes to `err`.
// Returns the exit code: 0 when the days ran (or the game ended early),
// kExitHostLost when a joiner's host went away before them, kExitSyncError
// when a sync error was announced (the run stops with that day).
inline constexpr int kExitHostLost = 3;
inline constexpr int kExitSyncError = 4;
int Run(const Options& options, std::FILE* out, std::FILE* err);

// The lobby of a network run: hosts or joins, assigns the regions, waits
// for the joiner's ready (host) or the start (joiner) within a bound, and
// leaves the name of the game to start in `game`. False with a line on `err`.
bool RunLobby(const Options& options, std::FILE* out, std::FILE* err, std::string& game);
// Hands the session messages queued for the main thread to the game's
// handler; the lobby's set-up and start messages are the lobby's own.
// Returns whether a start message was among them.
bool DrainSessionMessages();
// Where the session's notifications go once the lobby is done (the lobby
// takes them until then); the session's sink stays the same throughout.
using NetCodeRoute = void (*)(uint32_t code, intptr_t value);
void RouteNetCodes(NetCodeRoute route);

}  // namespace headless
