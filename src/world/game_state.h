#pragma once
// The clock and session header of the world. It is also the first 580 bytes
// of every game file, so its layout is a file format: the struct is the
// image, little-endian. Bytes nobody here names belong to the code that uses
// them; a new game starts them at zero and the game file stores them as they
// stand.
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "world/map_header.h"


// A hex under attention: column, row, cell index and the cell index before.
struct HexPosition {
  int16_t x;
  int16_t y;
  uint32_t cellIndex;
  uint32_t previousCellIndex;
};
static_assert(sizeof(HexPosition) == 12);

inline constexpr uint32_t kGameStateSize = 580;
inline constexpr uint32_t kGameVersion = 113;
inline constexpr uint32_t kGameOldestVersion = 110;

// fileFlags bits.
inline constexpr uint32_t kGameFileExtended = 1;  // the extended part is present
inline constexpr uint32_t kGameFileNetwork = 2;   // written during a network game

// Minutes of a game day: a day's minute loop counts minutesLeft down from it.
inline constexpr int32_t kGameDayMinutes = 1440;
// The longest turn a game file may ask for; the game plays turns of a day.
inline constexpr int32_t kLongestTurnDays = 366;

struct GameState {
  uint32_t size;            // 0: 580
  uint32_t checksum;        // 4: of the game file it was read from
  uint32_t version;         // 8: 113 when written
  int32_t playerCount;      // 12
  int32_t unitCount;        // 16: units stored in the game file
  int32_t recurringCount;   // 20
  FileStamp created;        // 24
  FileStamp saved;          // 36
  uint8_t bytes48[4];
  int32_t designRowBytes;   // 52: bytes in each player's design row
  int32_t techCount;        // 56: technologies in each player's tech row
  int32_t commandCount;     // 60: pending commands stored
  HexPosition currentHex;   // 64: cleared on every load and map change
  uint8_t bytes76[16];
  HexPosition viewHex;      // 92: the map view's hex, cleared likewise
  uint8_t bytes104[16];
  uint32_t currentDay;      // 120: day number of the game date
  uint32_t endDay;          // 124: 0 for no limit
  uint8_t bytes128[4];
  uint32_t turnNumber;      // 132
  int32_t highestPlayer;    // 136: loops over players run up to it
  uint32_t word140;         // 140: 2 for a new game
  uint8_t bytes144[4];
  float mapTuning[2];       // 148: the map header's pair at 304
  float mapScaleA;          // 156: log-on: sqrt(hex scale / 10)
  float mapScaleB;          // 160: the same value
  float mapScaleQuarter;    // 164: a quarter of it
  uint8_t bytes168[20];
  char mapName[20];           // 188
  char scenarioName[40];      // 208
  char scenarioTextName[20];  // 248
  uint32_t hotSeatMode;       // 268
  uint32_t speedLockMode;     // 272: 1 timed turns; with speedChangeAllowed 0 the speed is locked
  uint32_t setupWord;         // 276: copied at log-on from the set-up head's word at 68
  int32_t timedTurnLength;    // 280: minutes of a timed turn, stored at log-on
  int32_t autosaveCountdown;  // 284: turns until the next autosave
  // The seat hand-over words of the next-player key: while seatPending is
  // not 0 the key flips seatToggle between 0 and 1 instead of moving on.
  uint32_t seatPending;       // 288
  uint32_t seatToggle;        // 292
  uint8_t bytes296[12];
  int32_t localPlayer;        // 308
  int32_t daysPerTurn;        // 312
  uint32_t startDay;          // 316
  uint32_t dayParity;         // 320: bit 0 flips every day
  uint32_t currentTick;       // 324: game minutes; stamps commands
  uint32_t commandLead;       // 328: added to currentTick for a command's due tick
  int32_t timedTurnCountdown; // 332
  uint8_t dayPeriod;          // 336: two-hour period of the day, 0 to 11
  uint8_t dailyFlags;         // 337: bit 0 while the daily driver runs
  uint8_t speedChangeAllowed; // 338
  uint8_t timedTurnSpeedTier; // 339
  int32_t gameSpeed;          // 340: game minutes per real second; 0 paused
  float worldPopulation;      // 344
  int16_t startViewX;         // 348: where the map view starts
  int16_t startViewY;         // 350
  uint8_t bytes352[36];
  int32_t minutesLeft;        // 388: 1440 at the start of a day
  float weaponRangeBoost;     // 392: also eases stock classes' consumption
  float sightRangeBoost;      // 396: the short-range boost of sight ranges
  float rangeBoostAddend;     // 400: added by both short-range boosts
  int32_t visibilitySteps;    // 404
  uint8_t bytes408[28];
  // 436: 1439 once a game has logged on. No file layout places this word;
  // 392 is the weapon-range boost factor.
  int32_t dayLength;
  uint32_t stringPoolSize;    // 440: the game file's string pool
  uint8_t flag444;            // 444: cleared when a game file is read in full from disk
  uint8_t bytes445[3];
  char saveName[32];          // 448: the name a save proposes; at most 31 characters and a NUL
  uint32_t saveCounter;       // 480: saves made from the in-game menu
  uint8_t bytes484[62];
  // 546: the campaign's step, 0 to 15: the snapshot slot the region's record
  // takes when this scenario ends, and so the scenarios already played.
  uint8_t campaignStep;
  uint8_t scenarioWinner;     // 547
  uint32_t endReason;         // 548
  uint32_t winnersMask;       // 552: one bit per winning player
  uint8_t bytes556[4];
  uint32_t visibilityLfsr;    // 560: 12-bit shift register; 1 for a new game
  uint32_t fileFlags;         // 564
  uint32_t pendingTurnMessage;  // 568
  int16_t goalX;              // 572: the goal hex; an objective unit reaching it ends the game
  int16_t goalY;              // 574: (0, 0) for none
  uint8_t bytes576[4];
};
static_assert(std::is_trivially_copyable_v<GameState>);
static_assert(std::endian::native == std::endian::little, "the game state is its own file image");
static_assert(sizeof(GameState) == kGameStateSize);
static_assert(offsetof(GameState, checksum) == 4);
static_assert(offsetof(GameState, version) == 8);
static_assert(offsetof(GameState, playerCount) == 12);
static_assert(offsetof(GameState, unitCount) == 16);
static_assert(offsetof(GameState, recurringCount) == 20);
static_assert(offsetof(GameState, created) == 24);
static_assert(offsetof(GameState, saved) == 36);
static_assert(offsetof(GameState, designRowBytes) == 52);
static_assert(offsetof(GameState, techCount) == 56);
static_assert(offsetof(GameState, commandCount) == 60);
static_assert(offsetof(GameState, currentHex) == 64);
static_assert(offsetof(GameState, viewHex) == 92);
static_assert(offsetof(GameState, currentDay) == 120);
static_assert(offsetof(GameState, endDay) == 124);
static_assert(offsetof(GameState, turnNumber) == 132);
static_assert(offsetof(GameState, highestPlayer) == 136);
static_assert(offsetof(GameState, word140) == 140);
static_assert(offsetof(GameState, mapTuning) == 148);
static_assert(offsetof(GameState, mapScaleA) == 156);
static_assert(offsetof(GameState, mapScaleQuarter) == 164);
static_assert(offsetof(GameState, mapName) == 188);
static_assert(offsetof(GameState, scenarioName) == 208);
static_assert(offsetof(GameState, scenarioTextName) == 248);
static_assert(offsetof(GameState, hotSeatMode) == 268);
static_assert(offsetof(GameState, speedLockMode) == 272);
static_assert(offsetof(GameState, setupWord) == 276);
static_assert(offsetof(GameState, timedTurnLength) == 280);
static_assert(offsetof(GameState, autosaveCountdown) == 284);
static_assert(offsetof(GameState, seatPending) == 288);
static_assert(offsetof(GameState, seatToggle) == 292);
static_assert(offsetof(GameState, localPlayer) == 308);
static_assert(offsetof(GameState, daysPerTurn) == 312);
static_assert(offsetof(GameState, startDay) == 316);
static_assert(offsetof(GameState, dayParity) == 320);
static_assert(offsetof(GameState, currentTick) == 324);
static_assert(offsetof(GameState, commandLead) == 328);
static_assert(offsetof(GameState, timedTurnCountdown) == 332);
static_assert(offsetof(GameState, dayPeriod) == 336);
static_assert(offsetof(GameState, dailyFlags) == 337);
static_assert(offsetof(GameState, speedChangeAllowed) == 338);
static_assert(offsetof(GameState, timedTurnSpeedTier) == 339);
static_assert(offsetof(GameState, gameSpeed) == 340);
static_assert(offsetof(GameState, worldPopulation) == 344);
static_assert(offsetof(GameState, startViewX) == 348);
static_assert(offsetof(GameState, minutesLeft) == 388);
static_assert(offsetof(GameState, weaponRangeBoost) == 392);
static_assert(offsetof(GameState, sightRangeBoost) == 396);
static_assert(offsetof(GameState, rangeBoostAddend) == 400);
static_assert(offsetof(GameState, dayLength) == 436);
static_assert(offsetof(GameState, visibilitySteps) == 404);
static_assert(offsetof(GameState, stringPoolSize) == 440);
static_assert(offsetof(GameState, flag444) == 444);
static_assert(offsetof(GameState, campaignStep) == 546);
static_assert(offsetof(GameState, scenarioWinner) == 547);
static_assert(offsetof(GameState, saveName) == 448);
static_assert(offsetof(GameState, saveCounter) == 480);
static_assert(offsetof(GameState, endReason) == 548);
static_assert(offsetof(GameState, winnersMask) == 552);
static_assert(offsetof(GameState, goalX) == 572 && offsetof(GameState, goalY) == 574);
static_assert(offsetof(GameState, visibilityLfsr) == 560);
static_assert(offsetof(GameState, fileFlags) == 564);
static_assert(offsetof(GameState, pendingTurnMessage) == 568);

// A new game's state: every byte zero but size 580, version 113, the created
// stamp of now, 32 players, highest player 2 (and the word after it 2), the
// map's start day, the map's game title as the three names, the map's
// tuning pair, visibility register 1, local player 1 and one day a turn. Both
// hex positions are published cleared (world/object_hex.h).
void InitGameState(GameState& state, const MapHeader& map);

// The game minute as another thread sees it while the turn thread moves it
// on (computer players, posting threads).
inline uint32_t CurrentTickNow(const GameState& state) {
  return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(state.currentTick)).load(std::memory_order_relaxed);
}

// The game speed as another thread sees it: a host's change lands from the
// network's handler, the clock's own keys from the window thread.
inline int32_t GameSpeedNow(const GameState& state) {
  return std::atomic_ref<int32_t>(const_cast<int32_t&>(state.gameSpeed)).load(std::memory_order_acquire);
}
