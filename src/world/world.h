#pragma once
// The one game world: the data tables, the map, the region records, the
// units, the per-player lists, the clock and session header, the scenario
// settings and the locks. Built before the entry routine and destroyed after
// everything else; everything else reaches its members directly.
//
// The records with file layouts (GameState, PlayerRecord, MapHeader, the
// table headers, the scenario head, the slot table) are their images; the
// variable parts live in vectors and native members beside them.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/threads.h"
#include "world/data_tables.h"
#include "records/game_params_block.h"
#include "world/game_state.h"
#include "records/hex_cell.h"
#include "world/list_items.h"
#include "world/map_header.h"
#include "records/net_slot.h"
#include "records/player_record.h"
#include "records/unit_id_index.h"
#include "world/save_header.h"
#include "world/scenario_settings.h"
#include "world/stat_tables.h"
#include "world/unit_groups.h"
#include "world/combat_counters.h"
#include "world/day_ledger.h"
#include "world/day_tallies.h"
#include "world/unit_tables.h"

struct UnitRecord;
struct PathSearchBlock;

inline constexpr int kTechEffectMultipliers = 128;
inline constexpr size_t kWorldEconomySize = 1024;

// The twelve locks, in the order of their members. Each guards only its own
// structures; the bulk of the world is guarded by command execution.
enum WorldLock : int {
  kLockCommandLog,    // the command log, command counters while posting, the tick message
  kLockNetQueue,      // the incoming session messages
  kLockUnits,         // creating units, class and custom-name changes
  kLockProjects,      // the per-player project lists
  kLockHexStacks,     // the two unit chains of each hex stack
  kLockHexExtras,     // the lazily made hex extras and the texts replaced in place
  kLockMail,          // players' mail and news
  kLockLocalNews,     // the local player's news queue
  kLockRecurring,     // recurring items and unit groups; held while a map or game file is written
  kLockMapEffects,    // the animated map effects
  kLockTextMessages,  // the chat queue
  kLockFileSave,      // writing a save game; the tick message
  kWorldLockCount
};

// The order the locks are made in (and deleted in).
inline constexpr WorldLock kWorldLockCreationOrder[kWorldLockCount] = {
    kLockCommandLog, kLockNetQueue,   kLockTextMessages, kLockMapEffects, kLockUnits, kLockProjects,
    kLockHexExtras,  kLockHexStacks,  kLockMail,         kLockLocalNews,  kLockRecurring, kLockFileSave};

struct World {
  World();
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // The local player's record: players + gameState.localPlayer.
  PlayerRecord* localPlayerRecord = nullptr;

  UnitClassHeader unitClassHeader{};
  std::vector<UnitClassRecord> unitClasses;
  TerrainHeader terrainHeader{};
  std::vector<TerrainRecord> terrains;  // 256 when loaded
  TechHeader techHeader{};
  std::vector<TechRecord> techs;
  std::vector<uint8_t> terrainExtra;  // freed with the terrain table

  MapHeader mapHeader = MapHeaderWithSizes();
  std::vector<HexCell> cells;             // width x height, row by row
  UnitRecord* units = nullptr;            // first of the circular unit list; owned
  mutable UnitIdIndex unitIndex;          // the ring by id (units lock)
  // The path search's block, made by its first search (turn thread). Shared
  // rather than unique so the World can drop it without knowing the block:
  // the pointer carries the deleter of the code that made it.
  std::shared_ptr<PathSearchBlock> pathSearch;
  // gameState.playerCount of them in use; the rest stay empty.
  PlayerRecord players[kMaxPlayers] = {};
  std::vector<uint8_t> worldEconomy;      // the 1 KB economy block; empty without a game
  RecurringItem* recurringItems = nullptr;  // first of its ring; owned

  // Per player the design row (designRowBytes bytes, one a unit class) and
  // the technology row (techCount entries): all 32 rows of each kind in one
  // allocation.
  std::vector<uint8_t> designRows;
  std::vector<PlayerTechState> techRows;

  // Per player, head nodes of the rings of items.
  PlayerItem playerItemLists[kMaxPlayers];
  PlayerMessage messageLists[kMaxPlayers];
  ProjectEntry projectLists[kMaxPlayers];  // in id order

  GameState gameState{};
  PeopleHeader peopleHeader{};
  std::vector<uint8_t> people;  // 256 people of 56 bytes; empty when none

  // The hex level map, one byte a cell (0: no force holds the hex); kept in
  // save games; empty when there is none.
  std::vector<uint8_t> cellBytes;
  // Per cell, how much of the best facility's reach arrives there; rebuilt
  // every day just before the hex pass reads it.
  std::vector<uint16_t> rangeMap;
  std::vector<uint8_t> cellBlocks;        // 32 bytes a cell; empty when none
  std::vector<uint32_t> cellSummary;      // one word a cell; empty when none
  // Per cell, how well each of the 32 players sees it (cell x 32 + player);
  // empty until the spotting map is first built or decays.
  std::vector<uint8_t> spottingMap;

  SaveHeader saveHeader{};
  // The save game's 16 region snapshots; empty when there is none.
  std::vector<PlayerRecord> snapshotTable;

  NetSlot slotTable[kMaxPlayers] = {};
  float techEffects[kMaxPlayers][kTechEffectMultipliers] = {};
  BufferItem bufferList;  // head node of items that own a payload

  plat::CriticalSection* locks[kWorldLockCount] = {};

  // The players' unit groups (recurring-items lock).
  UnitGroupTable unitGroups;
  UnitTables unitTables;
  // Per player, the force-budget weight that deployments' display passes
  // have reserved and their simulation passes not yet settled. Run-time
  // only, outside the saved and sync-summed records: each peer reserves
  // only for the players whose display passes run on it. Posting threads
  // and the turn thread change it, so every change is atomic.
  std::atomic<float> pendingDeployments[kMaxPlayers] = {};
  // The day's shots and kills (run-time only, in no file).
  CombatCounters combatCounters;
  // The day's units made and gone and the market's trades (run-time only).
  DayTallies dayTallies;
  // What each treasury was charged and credited, item by item.
  DayLedgers dayLedgers;
  // The game's quick-build switch: units ordered are complete at once.
  bool quickBuild = false;
  // The tables' order and countdowns of the save game just loaded; log-on
  // puts them back once it has filed the units again, and drops them.
  std::vector<SavedTableArray> savedUnitTables;

  ScenarioSettings scenario{};
  WorldStatTables stats;
  GameParamsBlock campaignMessage{};

  // Raised when a unit inside the map's visible hexes moves; the map view
  // polls it to redraw.
  std::atomic<uint32_t> unitRedrawCount{0};
  // Raised by every change of a unit's owner: the hex stacks' owner masks
  // made before it are remade from their chains when next read.
  std::atomic<uint64_t> unitOwnerEpoch{0};

  // Kept equal to mapHeader.width and height by every map change.
  int32_t mapWidth = 0;
  int32_t mapHeight = 0;
};

extern World g_world;

// Holds one of the world's locks for a scope. Before start-up has made the
// locks (tools, tests of single-threaded code) there is only one thread and
// nothing to hold.
class WorldLockGuard {
 public:
  WorldLockGuard(World& world, WorldLock which) : lock_(world.locks[which]) {
    if (lock_) lock_->Enter();
  }
  ~WorldLockGuard() {
    if (lock_) lock_->Leave();
  }
  WorldLockGuard(const WorldLockGuard&) = delete;
  WorldLockGuard& operator=(const WorldLockGuard&) = delete;

 private:
  plat::CriticalSection* lock_;
};

// Make and delete the twelve (re-entrant) locks in kWorldLockCreationOrder.
void WorldInitLocks(World& world);
void WorldDeleteLocks(World& world);
bool WorldLocksExist(const World& world);

// A player's design row or technology row; null while the rows are empty or
// for a player outside 0 to 31.
uint8_t* DesignRow(World& world, int player);
PlayerTechState* TechRow(World& world, int player);
const PlayerTechState* TechRow(const World& world, int player);

// Frees the unit-class table and the people, and makes the default tables:
// 256 empty terrain types tiling a 512 x 512 atlas in 32-pixel squares, no
// unit classes, an empty people block, with fresh created stamps.
void ResetWorldDataTables(World& world);
// Frees a game: the region records (left empty), the economy block, the
// units (no hex and no unit group keeps a unit), the recurring items, the
// design and technology rows and every item of the per-player lists.
void FreeGameData(World& world);
// What a stopped game leaves that belongs to no file: the deployments'
// reserved weights, the day's combat and unit tallies, the tables' order
// of a save not yet logged on, the path search's scratch block and the
// quick-build switch. Called once the game's threads have stopped.
void ClearGameRunState(World& world);
// A new game: FreeGameData, a fresh GameState, 32 empty region records, a
// zeroed economy block, and the local player's record.
void NewGameData(World& world);

// A blank map of the given size with the default header, the map of a new
// world (the rest of the map routines are in world/map_data.h). kInvalidArg
// and the world unchanged for a size no map can have.
int32_t LoadNewWorld(int32_t width, int32_t height);
