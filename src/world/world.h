#pragma once
// The one game world. The clock and session header, the region records and
// the locks are what the program's spine needs of it so far; the map, the
// units, the data tables and the files fill in around them.
#include <cstdint>
#include <vector>

#include "platform/threads.h"
#include "world/hex_cell.h"
#include "world/map_header.h"

struct UnitRecord;

// A hex under attention: column, row, cell index and the cell index before.
struct HexPosition {
  int16_t x = 0;
  int16_t y = 0;
  uint32_t cellIndex = 0;
  uint32_t previousCellIndex = 0;
};

struct GameState {
  int32_t currentDay = 0;
  int32_t turnNumber = 0;
  int32_t minutesLeft = 0;
  int32_t currentTick = 0;
  int32_t commandLead = 0;
  int32_t gameSpeed = 0;  // game minutes per real second; 0 paused
  int32_t daysPerTurn = 0;
  int32_t highestPlayer = 0;
  int32_t localPlayer = 0;
  int32_t endReason = 0;
  uint32_t winnersMask = 0;
  HexPosition currentHex;  // cleared on every load and map change
  HexPosition viewHex;
};

// Region kinds.
enum PlayerKind : int32_t { kKindEmpty = 0, kKindWorld = 1, kKindHuman = 2, kKindComputer = 3, kKindOut = 5 };

struct PlayerRecord {
  int32_t kind = kKindEmpty;
  int32_t netSlot = -1;  // the network slot that leads this region, -1 none
};

// One entry of the network slot table kept in the world.
struct NetSlot {
  uint8_t state = 0;  // 0 free, 2 human, 3 closed or computer, 5 host
  uint8_t player = 0;
  uint32_t peerId = 0;
  uint32_t tick = 0;
  char name[16] = {};
};

inline constexpr int kMaxPlayers = 32;

// The twelve locks, in the order they are made.
enum WorldLock : int {
  kLockCommandLog,
  kLockNetQueue,
  kLockUnits,
  kLockProjects,
  kLockHexStacks,
  kLockHexExtras,
  kLockMail,
  kLockLocalNews,
  kLockRecurring,
  kLockMapEffects,
  kLockTextMessages,
  kLockFileSave,
  kWorldLockCount
};

// Where maps are read from and written to: "MAPS\" outside the map editor
// unless a custom scenario is being played, else "CUSTOM\". The interface
// sets these as it enters the editor or starts a custom scenario.
struct MapFolderState {
  bool mapEditor = false;
  bool customScenario = false;
};

// The map view's hover state: the cell under attention and the class of its
// visible lead unit.
struct MapHoverState {
  const HexCell* cell = nullptr;
  const HexCell* viewCell = nullptr;
  int32_t leadClass = 0;
};

struct World {
  GameState gameState;
  PlayerRecord players[kMaxPlayers];
  NetSlot netSlots[kMaxPlayers];
  // Kept equal to mapHeader.width and height by every map change.
  int32_t mapWidth = 0;
  int32_t mapHeight = 0;
  plat::CriticalSection* locks[kWorldLockCount] = {};

  MapHeader mapHeader = MapHeaderWithSizes();
  std::vector<HexCell> cells;             // width x height, row by row
  std::vector<uint8_t> cellBytes;         // one byte a cell; empty when none
  std::vector<uint8_t> cellBlocks;        // 32 bytes a cell; empty when none
  std::vector<uint32_t> cellSummary;      // one word a cell; empty when none
  UnitRecord* units = nullptr;            // first of the circular unit list
  MapFolderState mapFolders;
  MapHoverState hover;

  World() = default;
  World(const World&) = delete;
  World& operator=(const World&) = delete;
  ~World();  // frees the map's stacks and labels
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

void WorldInitLocks(World& world);
void WorldDeleteLocks(World& world);
bool WorldLocksExist(const World& world);

// Frees the data tables of a loaded game and makes them anew.
void ResetWorldDataTables();
// Starts the game state afresh.
void NewGameData();

// A blank map of the given size with the default header, the map of a new
// world (the rest of the map routines are in world/map_data.h). kInvalidArg
// and the world unchanged for a size no map can have.
int32_t LoadNewWorld(int32_t width, int32_t height);

// Changes the game speed through a session message, so every peer changes it
// on its main thread alike. Tiers above 3 count as 3.
void SetGameSpeed(GameState& state, int32_t tier);
