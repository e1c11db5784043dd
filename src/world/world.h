#pragma once
// The one game world. The clock and session header, the region records and
// the locks are what the program's spine needs of it so far; the map, the
// units, the data tables and the files fill in around them.
#include <cstdint>

#include "platform/threads.h"

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

struct World {
  GameState gameState;
  PlayerRecord players[kMaxPlayers];
  NetSlot netSlots[kMaxPlayers];
  int32_t mapWidth = 0;
  int32_t mapHeight = 0;
  plat::CriticalSection* locks[kWorldLockCount] = {};
};

extern World g_world;

void WorldInitLocks(World& world);
void WorldDeleteLocks(World& world);
bool WorldLocksExist(const World& world);

// Frees the data tables of a loaded game and makes them anew.
void ResetWorldDataTables();
// Starts the game state afresh.
void NewGameData();
// A blank world of the given size.
void LoadNewWorld(int32_t width, int32_t height);

// Changes the game speed through a session message, so every peer changes it
// on its main thread alike. Tiers above 3 count as 3.
void SetGameSpeed(GameState& state, int32_t tier);
