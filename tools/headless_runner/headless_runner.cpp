#include "headless_runner.h"

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ai/ai_player_fields.h"
#include "ai/ai_tech_design.h"
#include "ai/computer_player.h"
#include "ai/computer_player_install.h"
#include "ai/war_posture.h"
#include "app/app_object.h"
#include "app/calendar.h"
#include "app/settings.h"
#include "net/game_messages.h"
#include "net_game/net_events.h"
#include "net_game/net_game_link.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/text_message.h"
#include "platform/fpenv.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "records/command_ids.h"
#include "net/command_network.h"
#include "sim/command_observer.h"
#include "sim/game_command.h"
#include "sim/game_threads.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "sim/status_queue.h"
#include "sim/sync_entries.h"
#include "sim/turn_end_upkeep.h"
#include "sim/turn_thread.h"
#include "world/combat_counters.h"
#include "world/day_tallies.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "units/unit_player_fields.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/data_file_io.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/map_folders.h"
#include "world/people_file.h"
#include "world/post_load.h"
#include "sim/save_file.h"
#include "world/scenario_load.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "world/text/rule_tables.h"
#include "world/text/scenario_def.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "records/text_field.h"
#include "world/unit_class_file.h"
#include "world/world.h"

namespace headless {

namespace {

// Game minutes a real second: far beyond what a day's work allows, so the
// clock never waits for real time.
constexpr int32_t kFullSpeed = 1 << 24;

// The game-over codes the clock posts to the main window.
constexpr uint32_t kCodeElectionLost = 97;
constexpr uint32_t kCodeGameLost = 98;
constexpr uint32_t kCodeGameWon = 99;

// What the turn thread hands the main thread: the day lines, the turns it
// has finished (and waits after) and the end.
struct DayFeed {
  std::mutex lock;
  std::condition_variable changed;
  std::vector<std::string> lines;
  int daysRun = 0;
  int daysWanted = 0;
  int turnsEnded = 0;
  bool playOn = false;
  bool finished = false;
  uint32_t endCode = 0;
  // The number of the last day line printed (its "day N").
  uint32_t lastDay = 0;
  // A joiner whose host went away stops early; the run then fails.
  bool hostLost = false;
  // The day in progress when a sync error was first announced (0: none):
  // the peers play different games from then on, and the run stops there.
  uint32_t syncErrorDay = 0;
  // A network run: session messages wait in the queue, and the session's
  // notification codes here, for the main thread.
  bool netMessages = false;
  std::vector<std::pair<uint32_t, intptr_t>> netCodes;
};
DayFeed g_feed;

// The reason the scenario's files could not be read, for the one error line.
std::string g_loadError;
std::string g_scenarioName;

uint32_t Fnv(const uint8_t* bytes, size_t count, uint32_t h = 2166136261u) {
  for (size_t i = 0; i < count; ++i) h = (h ^ bytes[i]) * 16777619u;
  return h;
}

std::string Hex(uint32_t value) {
  char text[16];
  plat::FormatText(text, sizeof text, "%08x", value);
  return text;
}

std::string Number(double value) {
  char text[48];
  plat::FormatText(text, sizeof text, "%.0f", value);
  return text;
}

uint32_t SyncChecksum(World& world, int type) {
  std::vector<uint8_t> bytes;
  BuildSyncEntry(world, type, bytes);
  return Fnv(bytes.data(), bytes.size());
}

// A checksum of the regions' records as every peer of a game keeps them
// alike. Left out: the displayed settings and the counters of commands
// posted from other threads, which move with the posting threads, not with
// the clock; the working figures of the computer players (unit counts,
// build, batch and design cursors, the war target), which only the peer
// that runs a region's computer player writes, the others getting its
// commands; and the cabinet's approval and concern figures, which each peer
// starts for its own region alone and only its screens read. They are not
// even read: other threads write some of them while the day line is taken,
// so the copy takes the bytes around them and leaves them zero.
uint32_t RegionChecksum(const World& world) {
  struct Skip {
    size_t at, count;
  };
  static constexpr Skip kSkipped[] = {
      {offsetof(PlayerRecord, displayPolicy), sizeof(PlayerPolicyBlock)},
      {offsetof(PlayerRecord, commandCounter), sizeof(uint32_t)},
      {aifields::kFieldUnitCounts, 4 * sizeof(uint16_t)},
      {aifields::kBuildCursors, 3},
      {aifields::kBatchDomainCursor, 1},
      {aifields::kBatchSubRoleCursor, 1},
      {aifields::kBatchMaxLevels, 4},
      {aifields::kBatchMinLevels, 4},
      {aifields::kBatchStop, sizeof(uint32_t)},
      {kTechRoleCursorAt, 1},
      {kDesignDomainCursorAt, 1},
      {kDesignSubRoleCursorAt, 1},
      {kWarTargetAt, 1},
      {offsetof(PlayerRecord, pendingCommands), sizeof(int16_t)},
      {offsetof(PlayerRecord, cabinetApproval), sizeof(PlayerRecord::cabinetApproval)},
      {offsetof(PlayerRecord, cabinetConcern), sizeof(PlayerRecord::cabinetConcern)},
  };
  static_assert([] {
    for (size_t i = 1; i < std::size(kSkipped); ++i)
      if (kSkipped[i - 1].at + kSkipped[i - 1].count > kSkipped[i].at) return false;
    return true;
  }(), "the skipped ranges are in order and apart");
  uint32_t h = 2166136261u;
  std::vector<uint8_t> copy(sizeof(PlayerRecord));
  for (const PlayerRecord& r : world.players) {
    const auto* from = reinterpret_cast<const uint8_t*>(&r);
    std::fill(copy.begin(), copy.end(), uint8_t{0});
    size_t at = 0;
    for (const Skip& skip : kSkipped) {
      std::memcpy(copy.data() + at, from + at, skip.at - at);
      at = skip.at + skip.count;
    }
    std::memcpy(copy.data() + at, from + at, sizeof(PlayerRecord) - at);
    h = Fnv(copy.data(), copy.size(), h);
  }
  return Fnv(world.worldEconomy.data(), world.worldEconomy.size(), h);
}

// Each live unit's hex (by id) when the day began; 0 for one off the map.
std::map<uint32_t, uint32_t> g_dayStartPositions;

// The unit's hex as a position word, or 0 while it is in the reserve.
uint32_t PositionWord(const UnitRecord& u) {
  if (InReserve(u)) return 0;
  return static_cast<uint32_t>(static_cast<uint16_t>(u.x)) | static_cast<uint32_t>(static_cast<uint16_t>(u.y)) << 16;
}

void NoteDayStartPositions(World& world) {
  g_dayStartPositions.clear();
  for (UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next)
    if (IsUnitLive(*u) && !(u->unitFlags & kUnitProvisional)) g_dayStartPositions[u->id] = PositionWord(*u);
}

// Each cell's owner when the day began (the loaded game's before day 1).
std::vector<uint8_t> g_dayStartOwners;

void NoteDayStartOwners(const World& world) {
  g_dayStartOwners.resize(world.cells.size());
  for (size_t i = 0; i < world.cells.size(); ++i) g_dayStartOwners[i] = static_cast<uint8_t>(CellOwner(world.cells[i].word));
}

// Cells whose owner differs from the day's start.
int TakenHexes(const World& world) {
  int taken = 0;
  for (size_t i = 0; i < world.cells.size(); ++i)
    taken += i >= g_dayStartOwners.size() || g_dayStartOwners[i] != CellOwner(world.cells[i].word) ? 1 : 0;
  return taken;
}

// Units that changed hex: on the map when the day began and at its end, on
// another hex. A unit made that day, deployed from the reserve or gone into
// it has not moved across the map.
int MovedUnits(World& world) {
  int moved = 0;
  for (UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) {
    if (!IsUnitLive(*u)) continue;
    const auto it = g_dayStartPositions.find(u->id);
    if (it == g_dayStartPositions.end() || it->second == 0) continue;
    const uint32_t now = PositionWord(*u);
    moved += now != 0 && now != it->second ? 1 : 0;
  }
  return moved;
}

// What the regions did over the whole run, counted on the turn thread:
// research projects finished, market purchases and sales (transactions: one
// for each amount of a product that changed hands between a seller and a
// region buying, or a region selling and a buyer), units the build queues
// finished, offers the computer regions accepted, wars declared, hexes
// that changed hands and stock weapons the computer regions' stores gained
// (a finished batch joins a stock already held, so the stores are weighed
// from day to day, not the units counted).
struct RunTotals {
  int64_t research = 0, bought = 0, sold = 0, built = 0, answered = 0, wars = 0, taken = 0, stock = 0;
  // The state they are counted against: finished projects, the stock
  // weapons held and the field units already complete.
  int64_t finishedProjects = -1;
  int64_t stockHeld = -1;
  std::set<uint32_t> complete;
};
RunTotals g_totals;

int64_t FinishedProjects(World& world) {
  int64_t n = 0;
  const int32_t techs = world.gameState.techCount;
  const int32_t designs = world.gameState.designRowBytes;
  for (int p = 1; p < kMaxPlayers; ++p) {
    if (!TakesPart(world.players[p])) continue;
    if (const PlayerTechState* row = TechRow(world, p))
      for (int32_t t = 0; t < techs; ++t) n += row[t].known != 0 ? 1 : 0;
    if (const uint8_t* row = DesignRow(world, p))
      for (int32_t c = 0; c < designs; ++c) n += (row[c] & 1u) ? 1 : 0;
  }
  return n;
}

// Field units whose build work is done and that were not complete before:
// the units the build queues finished since the last call.
int64_t NoteCompleteUnits(World& world) {
  int64_t fresh = 0;
  for (UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) {
    if (!IsUnitLive(*u) || (u->unitFlags & (kUnitProvisional | kUnitFacility)) || u->buildWork > 0.0f) continue;
    if (g_totals.complete.insert(u->id).second) ++fresh;
  }
  return fresh;
}

// The whole stock weapons (type-8 stock units, finished) the computer
// regions hold.
int64_t ComputerStockHeld(const World& world) {
  int64_t held = 0;
  for (const UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) {
    if (!IsUnitLive(*u) || (u->orders[kPostureBits] & kPostureUnderConstruction)) continue;
    if (world.players[u->owner & 31].kind != kKindComputer) continue;
    const UnitClassRecord* cls = UnitClassOf(world, *u);
    if (cls && (cls->flags & kClassStock) && cls->typeByte == unitfields::kTypeEightClass && u->strength >= 1.0f)
      held += static_cast<int64_t>(u->strength);
  }
  return held;
}

// The day's counts, at the day's end on the turn thread (simulation lock).
void CountDay(World& world, int taken, const DayTallyCounts& tallies) {
  RunTotals& t = g_totals;
  const int64_t finished = FinishedProjects(world);
  if (t.finishedProjects >= 0 && finished > t.finishedProjects) t.research += finished - t.finishedProjects;
  t.finishedProjects = finished;
  t.bought += tallies.purchases;
  t.sold += tallies.sales;
  t.built += NoteCompleteUnits(world);
  t.taken += taken;
  const int64_t held = ComputerStockHeld(world);
  if (t.stockHeld >= 0 && held > t.stockHeld) t.stock += held - t.stockHeld;
  t.stockHeld = held;
}

void CountCommand(World& world, const GameCommand& c) {
  if (c.id == kCmdDeclareWar) ++g_totals.wars;
  if (c.id == kCmdDipOffer && c.player < kMaxPlayers && world.players[c.player].kind == kKindComputer)
    ++g_totals.answered;
}

std::string TotalsLine() {
  const RunTotals& t = g_totals;
  return "totals research " + std::to_string(t.research) + " bought " + std::to_string(t.bought) + " sold " +
         std::to_string(t.sold) + " built " + std::to_string(t.built) + " answered " + std::to_string(t.answered) +
         " wars " + std::to_string(t.wars) + " taken " + std::to_string(t.taken) + " stock " + std::to_string(t.stock);
}

// The line of the day just ended: turn, date, totals and checksums.
std::string DayLine(World& world) {
  const GameState& state = world.gameState;
  GameDate date{};
  date.dayNumber = state.currentDay;
  DayNumberToDate(date);
  int regions = 0, hexes = 0;
  double population = 0, gdp = 0, treasury = 0;
  for (int p = 1; p <= state.highestPlayer && p < kMaxPlayers; ++p) {
    const PlayerRecord& r = world.players[p];
    if (r.kind != kKindHuman && r.kind != kKindComputer) continue;
    ++regions;
    hexes += r.hexCount;
    population += r.population;
    gdp += r.gdp;
    treasury += r.treasury;
  }
  // Live units, and those of them held in the reserve (finished or still
  // being built there).
  int units = 0, reserve = 0;
  DayTallyCounts tallies;
  {
    // Display passes on other threads make units under this lock: the count
    // and the tallies are of the same moment.
    WorldLockGuard hold(world, kLockUnits);
    for (UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) {
      if (!IsUnitLive(*u)) continue;
      ++units;
      reserve += InReserve(*u) && !(u->unitFlags & kUnitFacility) ? 1 : 0;
    }
    tallies = TakeDayTallies(world);
  }
  const int moved = MovedUnits(world);
  const CombatDayCounts combat = TakeCombatDayCounts(world);
  // Units that left play other than under fire: disbanded, merged, handed
  // to no one, or lost with a region.
  const int64_t disbanded = static_cast<int64_t>(tallies.unitsGone) - combat.unitsDestroyed;
  const int taken = TakenHexes(world);
  CountDay(world, taken, tallies);
  NoteDayStartPositions(world);
  NoteDayStartOwners(world);
  char head[96];
  plat::FormatText(head, sizeof head, "day %u %04u-%02u-%02u", state.turnNumber, static_cast<unsigned>(date.year),
                   static_cast<unsigned>(date.month), static_cast<unsigned>(date.day));
  return std::string(head) + " regions " + std::to_string(regions) + " hexes " + std::to_string(hexes) +
         " population " + Number(population) + " gdp " + Number(gdp) + " treasury " + Number(treasury) + " units " +
         std::to_string(units) + " created " + std::to_string(tallies.unitsMade) + " moved " + std::to_string(moved) +
         " fired " + std::to_string(combat.shotsResolved) + " destroyed " + std::to_string(combat.unitsDestroyed) +
         " disbanded " + std::to_string(disbanded) + " taken " + std::to_string(taken) + " commands " +
         std::to_string(TakeDayCommandsRun()) + " reserve " + std::to_string(reserve) + " sync " +
         Hex(SyncChecksum(world, kSyncCells)) + " " +
         Hex(SyncChecksum(world, kSyncUnits)) + " " + Hex(SyncChecksum(world, kSyncPlayers)) + " " +
         Hex(SyncChecksum(world, kSyncSpotting)) + " state " + Hex(RegionChecksum(world));
}

void StopTheClock(World& world) {
  std::atomic_ref<int32_t>(world.gameState.gameSpeed).store(0, std::memory_order_relaxed);
}

// On the turn thread, after each day of a turn of several days, after each
// turn, and when the game ends. A finished turn pauses the clock, as an
// interface pauses it between turns: the thread then waits for the go event,
// which the main thread sets once it has done its turn-end work, so that
// work always falls between the same two turns.
void OnTurnEvent(uint32_t code) {
  World& world = g_world;
  const bool severalDays = world.gameState.daysPerTurn > 1;
  const bool dayLine = severalDays ? code == kTurnCodeDayEnd : code == kTurnCodeTurnEnd;
  std::string line;
  uint32_t day = 0;
  if (dayLine) {
    plat::CriticalSectionLock simulation(g_simulationLock);
    line = DayLine(world);
    day = world.gameState.turnNumber;
  }
  std::lock_guard hold(g_feed.lock);
  if (dayLine) {
    g_feed.lines.push_back(std::move(line));
    g_feed.lastDay = day;
    if (++g_feed.daysRun >= g_feed.daysWanted && !g_feed.finished) {
      StopTheClock(world);
      g_feed.finished = true;
    }
  }
  if (code == kTurnCodeTurnEnd) {
    StopTheClock(world);
    ++g_feed.turnsEnded;
    // An ended game stops with the turn it ended in, so its last day line
    // is printed whichever step ended it.
    if (g_feed.endCode && !g_feed.playOn) g_feed.finished = true;
  } else if (code == kCodeElectionLost || code == kCodeGameLost || code == kCodeGameWon) {
    if (!g_feed.endCode) g_feed.endCode = code;
  }
  g_feed.changed.notify_all();
}

// The main thread's part of a finished turn, as the game's main thread does
// it for turn code 1, while the clock waits; then the next turn starts
// unless the run is over.
void EndTurnOnMainThread(World& world, const Options& options, bool resume) {
  TurnEndUpkeep(world);
  // The game's status-line overlay takes the local region's status lines as
  // it shows them and drops those it never shows; with no overlay here they
  // are dropped at once.
  (void)TakeStatusLines(world);
  if (options.afterTurnEnd) options.afterTurnEnd(world);
  if (!resume) return;
  // The clock resets the go event once it has seen the pause; a go event set
  // before that would be lost and the clock would wait for ever.
  plat::Event* go = g_gameThreads.turnGo;
  while (go && go->IsSet()) std::this_thread::yield();
  std::atomic_ref<int32_t>(world.gameState.gameSpeed).store(kFullSpeed, std::memory_order_relaxed);
  SignalRunEvents();
}

// The session's notifications and its queue's wake-ups, from the network
// threads to the main thread's loop.
void NetCodeToFeed(uint32_t code, intptr_t value) {
  std::lock_guard hold(g_feed.lock);
  g_feed.netCodes.emplace_back(code, value);
  g_feed.changed.notify_all();
}

void NetQueueToFeed() {
  std::lock_guard hold(g_feed.lock);
  g_feed.netMessages = true;
  g_feed.changed.notify_all();
}

// The region the host plays, as the lobby left it: a joiner names the host
// when it goes.
int g_hostRegion = 0;

// The line the sync check announces for each difference of the peers' states.
constexpr char kSyncErrorLine[] = "Sync Error - Game Paused.";

// The main thread's part of the notifications: chat and system lines are
// printed, a departure hands the player's region to the computer (on the
// host), and the runner's clock, which no notification pauses here, runs on.
// Returns whether a sync error was announced among the lines.
bool HandleNetCodes(const std::vector<std::pair<uint32_t, intptr_t>>& codes, std::FILE* err) {
  bool syncError = false;
  for (const auto& [code, value] : codes) {
    if (code == kNetCodeChat) {
      for (const TextLine& line : TakeQueuedTextLines(g_textLines)) {
        std::fprintf(err, "chat %d: %s\n", line.sender, line.text.c_str());
        syncError = syncError || (line.sender != 0 && line.text == kSyncErrorLine);
      }
    } else if (code == kNetCodePlayerLeft) {
      // This peer's own player leaves only with its session, which has its
      // own line.
      if (value != 0 && value != g_world.gameState.localPlayer) {
        if (!g_netSession.isHost && value == g_hostRegion)
          std::fprintf(err, "network: the host (region %ld) left the game\n", static_cast<long>(value));
        else
          std::fprintf(err, "network: the player of region %ld left the game\n", static_cast<long>(value));
      }
      OnNetEvent8001(true, value);
    } else if (code == kNetCodeSessionEnded) {
      std::fprintf(err, "network: the session ended\n");
    }
  }
  std::fflush(err);
  return syncError;
}

bool EndsWithSav(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext == ".SAV";
}

// "Savegame\X" or "dir/X.SAV" as the save code takes it: folder and name.
void SplitSavePath(const std::string& path, std::string& folder, std::string& name) {
  std::string p = path;
  if (EndsWithSav(p)) p.resize(p.size() - 4);
  const size_t slash = p.find_last_of("/\\");
  if (slash == std::string::npos) {
    folder = g_app.saveGamePath;
    name = p;
  } else {
    folder = p.substr(0, slash + 1);
    name = p.substr(slash + 1);
  }
}

// Checks a file the loader is about to read, for the one error line.
// Judged by its size, before anything is read: a file too large to be a
// game is refused at once.
bool FileReadable(const std::string& gamePath) {
  const std::string why = plat::FileReadRefusal(gamePath);
  if (why.empty()) return true;
  const auto size = plat::GameFileSize(gamePath);
  g_loadError = gamePath + (size && *size >= plat::kMaxReadFileBytes ? ": refused: " : ": ") + why;
  return false;
}

// The scenario's files in the same order as the front end reads them.
int32_t LoadScenarioFiles(ScreenManager*) { return LoadScenarioFileSequence(g_world, g_scenarioName, &g_loadError); }

int32_t LoadSave(const std::string& path) {
  World& w = g_world;
  std::string folder, name;
  SplitSavePath(path, folder, name);
  const std::string file = SaveGamePath(name, folder.c_str());
  if (!FileReadable(file)) return plat::kFail;
  std::string refusal;
  if (LoadSaveGame(w, name, folder.c_str(), false, false, &refusal) < 0) {
    g_loadError = file + ": refused: " + refusal;
    return plat::kFail;
  }
  return plat::kOk;
}

long PeakMemoryKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The parts of start-up a game needs without an interface: the settings'
// defaults (never the user's settings file, so every run is the same), the
// options, the text lists and the rule tables.
void PrepareRun() {
  plat::SetGameFloatMode();
  WorldInitLocks(g_world);
  LoadRegistrySettings(g_app, g_netSession.identity, nullptr);
  // The clock never sleeps between minutes.
  g_app.sysSleepTurnprocDef = 0;
  g_app.sysSleepSkipDef = INT32_MAX;
  g_app.sysTimePeriod = 0;
  (void)LoadUIOptions(g_uiOptions, g_app.optionsFile);
  (void)LoadTextLists(g_textLists, g_app.languageFile);
  LoadStartupRuleTables(g_world);
  g_simUi = SimUiLink{};
  g_simUi.postTurnEvent = OnTurnEvent;
  // The computer players step when the clock hands them a step, so every
  // run posts the same commands at the same ticks.
  g_computerPlayersClocked.store(true);
  InstallComputerPlayers();
  g_simUi.loadScenarioFiles = LoadScenarioFiles;
}

}  // namespace

const char kUsage[] =
    "usage: veldrane-headless [--days N] [--save NAME] [--play-on] SCENARIO-OR-SAVE\n"
    "       veldrane-headless [--days N] [--save NAME] [--play-on] --custom NAME\n"
    "       veldrane-headless [--days N] --host PORT [--regions H,J] SCENARIO\n"
    "       veldrane-headless [--days N] --join ADDRESS:PORT\n"
    "exit status: 0 the days ran (or the game ended), 1 a file was refused or could not be written,\n"
    "             2 the command line was refused (an unknown option, a bad value, an absolute path,\n"
    "               a name with characters a game name cannot hold),\n"
    "             3 a joiner's host went away before the days ran,\n"
    "             4 a sync error: the peers' games differ (the day is named)\n";

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    // Asked for the usage, the rest of the line is not judged.
    if (std::string(argv[i]) == "--help") {
      options.help = true;
      return true;
    }
  }
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--days" && i + 1 < argc) {
      char* end = nullptr;
      const long days = std::strtol(argv[++i], &end, 10);
      if (!end || *end || days < 1 || days > 1000000) {
        error = std::string("--days takes a whole number of days from 1, not \"") + argv[i] + "\"";
        return false;
      }
      options.days = static_cast<int>(days);
    } else if (arg == "--save" && i + 1 < argc) {
      options.save = argv[++i];
    } else if (arg == "--custom" && i + 1 < argc) {
      if (options.custom || !options.game.empty()) {
        error = std::string("one scenario or save only, not also ") + argv[i + 1];
        return false;
      }
      options.custom = true;
      options.game = argv[++i];
      // A custom scenario is a name inside CUSTOM\, never a path out of it.
      if (options.game.empty() || options.game.find_first_of("/\\") != std::string::npos ||
          options.game.find("..") != std::string::npos) {
        error = "--custom takes the name of a scenario in CUSTOM, not \"" + options.game + "\"";
        return false;
      }
    } else if (arg == "--play-on") {
      options.playOn = true;
    } else if (arg == "--host" && i + 1 < argc) {
      char* end = nullptr;
      const long port = std::strtol(argv[++i], &end, 10);
      if (!end || *end || port < 0 || port > 65535) {
        error = std::string("--host takes a port number from 0 to 65535, not \"") + argv[i] + "\"";
        return false;
      }
      options.hostPort = static_cast<int>(port);
    } else if (arg == "--regions" && i + 1 < argc) {
      int host = 0, joiner = 0;
      char tail = 0;
      if (std::sscanf(argv[++i], "%d,%d%c", &host, &joiner, &tail) != 2 || host < 1 || joiner < 1 ||
          host >= kMaxPlayers || joiner >= kMaxPlayers || host == joiner) {
        error = std::string("--regions takes two different region numbers from 1 to 31, not \"") + argv[i] + "\"";
        return false;
      }
      options.hostRegion = host;
      options.joinerRegion = joiner;
    } else if (arg == "--join" && i + 1 < argc) {
      const std::string where = argv[++i];
      const size_t colon = where.rfind(':');
      char* end = nullptr;
      const long port = colon == std::string::npos ? -1 : std::strtol(where.c_str() + colon + 1, &end, 10);
      if (colon == 0 || port < 1 || port > 65535 || !end || *end) {
        error = "--join takes ADDRESS:PORT, not \"" + where + "\"";
        return false;
      }
      options.joinAddress = where.substr(0, colon);
      options.joinPort = static_cast<uint16_t>(port);
    } else if (!arg.empty() && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else if (options.game.empty()) {
      options.game = arg;
    } else {
      error = "one scenario or save only, not also " + arg;
      return false;
    }
  }
  const bool joining = !options.joinAddress.empty();
  if (joining && options.hostPort >= 0) {
    error = "--host and --join exclude each other";
    return false;
  }
  if (joining && !options.game.empty()) {
    error = "a joiner plays the host's game, not " + options.game;
    return false;
  }
  if (!joining && options.game.empty()) {
    error = "no scenario or save named";
    return false;
  }
  if (options.custom && (joining || options.hostPort >= 0 || EndsWithSav(options.game))) {
    error = "a custom scenario is played alone and by its name";
    return false;
  }
  if ((joining || options.hostPort >= 0) && EndsWithSav(options.game)) {
    error = "a network run starts from a scenario";
    return false;
  }
  // Games and saves are found inside the data root; an absolute path would
  // be read there and reported missing although the file exists.
  for (std::string* path : {&options.game, &options.save}) {
    if (!path->empty() && path->front() == '/') {
      error = "\"" + *path + "\" is an absolute path: name a save inside the data root (Savegame/NAME.SAV)";
      return false;
    }
    // The command line is UTF-8; the game's names are Windows-1252, and
    // become UTF-8 again on the disk.
    const std::optional<std::string> name = plat::Utf8ToWindows1252(*path);
    if (!name) {
      error = "\"" + *path + "\" holds characters a game's file name cannot (it takes Windows-1252 letters)";
      return false;
    }
    *path = *name;
  }
  return true;
}

namespace {

// A custom scenario reads its definition and files from "CUSTOM\" for the
// run, and the folders are as they were after it.
struct CustomFolderScope {
  explicit CustomFolderScope(bool custom) {
    if (custom) g_mapFolderHooks.customScenario = [] { return true; };
  }
  ~CustomFolderScope() { g_mapFolderHooks.customScenario = kept; }
  CustomFolderScope(const CustomFolderScope&) = delete;
  CustomFolderScope& operator=(const CustomFolderScope&) = delete;
  bool (*kept)() = g_mapFolderHooks.customScenario;
};

}  // namespace

int Run(const Options& options, std::FILE* out, std::FILE* err) {
  PrepareRun();
  const CustomFolderScope folders(options.custom);
  World& w = g_world;
  {
    // A process can run more than one game (the tests do): each starts
    // from an empty feed.
    std::lock_guard hold(g_feed.lock);
    g_feed.lines.clear();
    g_feed.daysRun = 0;
    g_feed.turnsEnded = 0;
    g_feed.finished = false;
    g_feed.endCode = 0;
    g_feed.lastDay = 0;
    g_feed.hostLost = false;
    g_feed.syncErrorDay = 0;
    g_feed.daysWanted = options.days;
    g_feed.playOn = options.playOn;
  }
  g_totals = RunTotals{};
  g_commandRanHook.store(&CountCommand);
  (void)TakeDayCommandsRun();

  const bool networked = options.hostPort >= 0 || !options.joinAddress.empty();
  std::string game = options.game;
  if (networked) {
    // Installed before the session's threads start, which call it.
    g_netQueue.wake = NetQueueToFeed;
    g_netSession.makePeer = options.makePeer;
    if (!RunLobby(options, out, err, game)) {
      CloseNetSession(g_netSession);
      g_netSession.sink = nullptr;
      g_netSession.makePeer = nullptr;
      g_netQueue.wake = nullptr;
      return 1;
    }
    RouteNetCodes(NetCodeToFeed);
    plat::CriticalSectionLock hold(g_netSession.slotLock);
    g_hostRegion = w.slotTable[kNetHostSlot].region;
  }
  const bool fromSave = EndsWithSav(game);
  if (fromSave) {
    if (LoadSave(game) < 0) {
      std::fprintf(err, "%s\n", g_loadError.c_str());
      return 1;
    }
  } else {
    g_scenarioName = game;
  }
  if (networked) NetGameStarts(g_netSession);
  StartGameSession(nullptr, fromSave ? 1 : 0, 0, 0);
  if (!GameThreadsRunning() || g_world.gameState.highestPlayer <= 0) {
    std::fprintf(err, "%s\n", g_loadError.empty() ? (options.game + ": the game cannot be started").c_str()
                                                   : g_loadError.c_str());
    StopGameSession(nullptr);
    return 1;
  }

  // Every region is led by the computer; the clock runs flat out. In a
  // network game the peers' regions stay held by their slots, each played
  // by its own peer's computer player.
  if (networked) {
    ReleaseHeldCommands(g_netSession);
    if (g_commandNet.announceJoin) g_commandNet.announceJoin(w, 0);
  }
  {
    plat::CriticalSectionLock simulation(g_simulationLock);
    for (PlayerRecord& r : w.players)
      if (r.kind == kKindHuman && !networked) r.kind = kKindComputer;
    g_uiOptions.autosaveturns = 0;
    NoteDayStartPositions(w);
    NoteDayStartOwners(w);
    (void)TakeDayTallies(w);
    (void)TakeCombatDayCounts(w);
    g_totals.finishedProjects = FinishedProjects(w);
    (void)NoteCompleteUnits(w);
  }
  const auto started = std::chrono::steady_clock::now();
  std::atomic_ref<int32_t>(w.gameState.gameSpeed).store(kFullSpeed, std::memory_order_relaxed);
  SignalRunEvents();

  int turnsHandled = 0;
  std::unique_lock wait(g_feed.lock);
  for (;;) {
    g_feed.changed.wait(wait, [&] {
      return g_feed.finished || !g_feed.lines.empty() || g_feed.turnsEnded > turnsHandled || g_feed.netMessages ||
             !g_feed.netCodes.empty();
    });
    if (g_feed.netMessages || !g_feed.netCodes.empty()) {
      g_feed.netMessages = false;
      const auto codes = std::move(g_feed.netCodes);
      g_feed.netCodes.clear();
      wait.unlock();
      (void)DrainSessionMessages();
      const bool syncError = HandleNetCodes(codes, err);
      wait.lock();
      // The peers' games have parted: the run stops with the day in
      // progress, and whoever scripts it is told which day that was.
      if (syncError && !g_feed.syncErrorDay) {
        g_feed.syncErrorDay = g_feed.lastDay + 1;
        if (!g_feed.finished && g_feed.daysWanted > g_feed.daysRun + 1) g_feed.daysWanted = g_feed.daysRun + 1;
      }
      // A joiner whose host is gone pauses, as the game does, and nothing
      // here would resume it: the run ends with the day in progress, which
      // the host's last commands reached before it went.
      const bool hostGone = !g_netSession.isHost && std::any_of(codes.begin(), codes.end(), [](const auto& c) {
        return c.first == kNetCodeSessionEnded;
      });
      if (hostGone && !g_feed.finished && g_feed.daysWanted > g_feed.daysRun + 1) {
        g_feed.daysWanted = g_feed.daysRun + 1;
        g_feed.hostLost = true;
      }
      continue;
    }
    // Printed lines are let go, so a long run holds only the day at hand.
    for (const std::string& line : g_feed.lines) std::fprintf(out, "%s\n", line.c_str());
    g_feed.lines.clear();
    std::fflush(out);
    if (g_feed.turnsEnded > turnsHandled) {
      // The clock waits after each turn, so at most one turn is pending.
      turnsHandled = g_feed.turnsEnded;
      const bool resume = !g_feed.finished;
      wait.unlock();
      EndTurnOnMainThread(w, options, resume);
      wait.lock();
      continue;
    }
    if (g_feed.finished) break;
  }
  const int days = g_feed.daysRun;
  const uint32_t endCode = g_feed.endCode;
  const bool hostLost = g_feed.hostLost;
  const uint32_t lastDay = g_feed.lastDay;
  const uint32_t syncErrorDay = g_feed.syncErrorDay;
  wait.unlock();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  int code = 0;
  if (endCode) std::fprintf(out, "game over: code %u\n", endCode);
  // The game stopped short of the days asked: whoever scripts the runner
  // must not read that as a finished run.
  if (hostLost) {
    std::fprintf(err, "the host is gone: the game stopped after day %u, %d of the %d days asked\n", lastDay, days,
                 options.days);
    code = kExitHostLost;
  }
  if (syncErrorDay) {
    std::fprintf(err, "sync error: the peers' games differ from day %u on; the game stopped after day %u\n",
                 syncErrorDay, lastDay);
    code = kExitSyncError;
  }
  if (!options.save.empty()) {
    std::string folder, name;
    SplitSavePath(options.save, folder, name);
    const std::string keep = g_app.saveGamePath;
    SetFieldText(g_app.saveGamePath, folder);
    if (!folder.empty()) (void)plat::MakeGameDirectories(folder);
    std::string why;
    if (SaveGame(w, name, &why) < 0) {
      std::fprintf(err, "%s: the save cannot be written: %s\n", SaveGamePath(name).c_str(), why.c_str());
      code = 1;
    }
    SetFieldText(g_app.saveGamePath, keep);
  }
  StopGameSession(nullptr);
  if (networked) {
    CloseNetSession(g_netSession);
    g_netSession.sink = nullptr;
    g_netSession.makePeer = nullptr;
    RouteNetCodes(nullptr);
    g_netQueue.wake = nullptr;
    HandleNetCodes({{kNetCodeChat, 0}}, err);
  }
  g_commandRanHook.store(nullptr);
  std::fprintf(out, "%s\n", TotalsLine().c_str());
  std::fflush(out);
  std::fprintf(err, "%d days in %.2f s: %.1f game days a second; peak memory %.1f MB\n", days, seconds,
               seconds > 0 ? days / seconds : 0.0, static_cast<double>(PeakMemoryKb()) / 1024.0);
  return code;
}

}  // namespace headless
