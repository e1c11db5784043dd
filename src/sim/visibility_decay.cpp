#include "sim/visibility_decay.h"

#include <cmath>
#include <cstring>

#include "world/world.h"

namespace {

constexpr uint32_t kRegisterStates = 4095;
constexpr float kSpottingFloor = 0.05f;

// Neighbour offsets: columns, then rows for an even and for an odd column.
constexpr int kNeighbourDx[6] = {-1, 0, 1, -1, 0, 1};
constexpr int kNeighbourDyEven[6] = {-1, -1, -1, 0, 1, 0};
constexpr int kNeighbourDyOdd[6] = {0, -1, 0, 1, 1, 1};

// trunc(20 x level), kept within a byte; what is not a number gives nothing.
int SpottingFromLevel(float level) {
  const float raised = level * 20.0f;
  if (!(raised > 0.0f)) return 0;
  if (raised >= 255.0f) return 255;
  return static_cast<int>(raised);
}

uint8_t* SpotByte(World& world, uint32_t cell, int player) {
  return &world.spottingMap[static_cast<size_t>(cell) * kMaxPlayers + static_cast<size_t>(player)];
}

void RaiseTo(uint8_t* spot, int level) {
  if (*spot < level) *spot = static_cast<uint8_t>(level);
}

}  // namespace

uint32_t StepVisibilityRegister(uint32_t x) {
  x &= 0xFFFu;
  const uint32_t b = ((((x >> 3 ^ x) >> 2 ^ x) >> 6) ^ x) & 1u;
  return (x >> 1) | (b << 11);
}

namespace {

// What each player's spotting gives a hex, worked out once for a run of hexes:
// the levels do not change while the hexes decay. The fade and lift rows
// cover all the players' bytes of a hex, zero where the fade leaves a byte
// as it is, so a hex fades in one pass over its whole row.
struct SpottingRaise {
  uint8_t raise[kMaxPlayers] = {};
  uint8_t fade[kMaxPlayers] = {};
  uint8_t lift[kMaxPlayers] = {};
};

SpottingRaise RaisesOf(const World& world) {
  SpottingRaise r;
  int highest = world.gameState.highestPlayer;
  if (highest >= kMaxPlayers) highest = kMaxPlayers - 1;
  for (int p = 0; p < kMaxPlayers; ++p) {
    const float level = world.players[p].spottingLevel;
    if (level >= kSpottingFloor) r.raise[p] = static_cast<uint8_t>(SpottingFromLevel(level));
    if (p >= 1 && p <= highest) {
      r.fade[p] = 10;
      r.lift[p] = r.raise[p];
    }
  }
  return r;
}

void DecayCell(World& world, uint32_t cell, const SpottingRaise& r) {
  uint8_t* row = SpotByte(world, cell, 0);
  uint8_t bytes[kMaxPlayers];
  std::memcpy(bytes, row, sizeof bytes);
  for (int p = 0; p < kMaxPlayers; ++p) {
    const uint8_t faded = bytes[p] >= r.fade[p] ? static_cast<uint8_t>(bytes[p] - r.fade[p]) : 0;
    bytes[p] = faded > r.lift[p] ? faded : r.lift[p];
  }
  std::memcpy(row, bytes, sizeof bytes);

  const uint32_t word = world.cells[cell].word;
  const int owner = CellOwner(word);
  if (owner == 0) return;
  const int supply = static_cast<int>(word & 3u);
  int ownLevel = 30 << supply;
  const int neighbourLevel = 15 << supply;
  ownLevel += r.raise[owner];
  if (ownLevel > 254) ownLevel = 254;
  uint8_t* own = row + owner;
  if (*own >= ownLevel) return;
  *own = static_cast<uint8_t>(ownLevel);

  const int32_t width = world.mapWidth;
  const int32_t height = world.mapHeight;
  const int32_t x = static_cast<int32_t>(cell % static_cast<uint32_t>(width));
  const int32_t y = static_cast<int32_t>(cell / static_cast<uint32_t>(width));
  const int* dy = (x & 1) ? kNeighbourDyOdd : kNeighbourDyEven;
  for (int k = 0; k < 6; ++k) {
    // A neighbour off the top or bottom of the map is no hex; the columns wrap.
    const int32_t ny = y + dy[k];
    if (ny < 0 || ny >= height) continue;
    const int32_t nx = WrapX(x + kNeighbourDx[k], width);
    RaiseTo(SpotByte(world, static_cast<uint32_t>(ny * width + nx), owner), neighbourLevel);
  }
}

}  // namespace

void DecayHexVisibility(World& world, uint32_t cell) { DecayCell(world, cell, RaisesOf(world)); }

void DecayVisibility(World& world) {
  GameState& state = world.gameState;
  if (state.visibilitySteps <= 0) return;
  const uint32_t cells = static_cast<uint32_t>(world.cells.size());
  if (cells == 0 || world.mapWidth <= 0) return;
  if (world.spottingMap.size() != static_cast<size_t>(cells) * kMaxPlayers)
    world.spottingMap.assign(static_cast<size_t>(cells) * kMaxPlayers, 0);

  const SpottingRaise raises = RaisesOf(world);
  const int64_t width = world.mapWidth;
  uint32_t x = state.visibilityLfsr & 0xFFFu;
  if (x == 0) x = 1;
  int32_t visited = 0;
  while (visited < state.visibilitySteps) {
    x = StepVisibilityRegister(x);
    // The hexes of a register state lie far apart and are seldom in cache:
    // fetch the next state's, and the rows its owners may raise around them,
    // while this one's decay.
    for (uint32_t i = StepVisibilityRegister(x) - 1; i < cells; i += kRegisterStates) {
      __builtin_prefetch(&world.cells[i]);
      for (const int64_t row : {static_cast<int64_t>(i) - width, static_cast<int64_t>(i), static_cast<int64_t>(i) + width})
        for (const int64_t near : {row - 1, row + 1})
          if (near >= 0 && near < static_cast<int64_t>(cells))
            __builtin_prefetch(&world.spottingMap[static_cast<size_t>(near) * kMaxPlayers]);
    }
    for (uint32_t i = x - 1; i < cells; i += kRegisterStates) {
      DecayCell(world, i, raises);
      ++visited;
    }
  }
  state.visibilityLfsr = x;
}
