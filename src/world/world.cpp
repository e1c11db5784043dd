#include "world/world.h"

#include <cstdlib>

#include "app/init_order.h"
#include "net/net_session.h"
#include "world/hex_extra.h"
#include "world/world_session.h"

World g_world VD_INIT_WORLD;

namespace {
// The game's session works on this world from the start. Its game is plain
// pointers, set before any constructor runs, so the order in which the
// libraries start does not matter here.
[[maybe_unused]] const bool g_lentToSession = (LendWorldToSession(g_netSessionGame, g_world), true);
}  // namespace

World::World() {
  InitScenarioSettings(scenario);
  InitGameParamsBlock(campaignMessage);
}

World::~World() {
  ReleaseScenarioSettings(scenario);
  FreeRingItems(bufferList);
  FreeGameData(*this);
  for (HexCell& cell : cells) FreeHexStack(cell);
}

void WorldInitLocks(World& world) {
  for (WorldLock which : kWorldLockCreationOrder)
    if (!world.locks[which]) world.locks[which] = new plat::CriticalSection;
}

void WorldDeleteLocks(World& world) {
  for (WorldLock which : kWorldLockCreationOrder) {
    delete world.locks[which];
    world.locks[which] = nullptr;
  }
}

bool WorldLocksExist(const World& world) {
  for (auto* lock : world.locks)
    if (!lock) return false;
  return true;
}

uint8_t* DesignRow(World& world, int player) {
  const int32_t width = world.gameState.designRowBytes;
  if (player < 0 || player >= kMaxPlayers || width <= 0) return nullptr;
  const size_t at = static_cast<size_t>(player) * static_cast<size_t>(width);
  if (at + static_cast<size_t>(width) > world.designRows.size()) return nullptr;
  return world.designRows.data() + at;
}

const PlayerTechState* TechRow(const World& world, int player) {
  const int32_t count = world.gameState.techCount;
  if (player < 0 || player >= kMaxPlayers || count <= 0) return nullptr;
  const size_t at = static_cast<size_t>(player) * static_cast<size_t>(count);
  if (at + static_cast<size_t>(count) > world.techRows.size()) return nullptr;
  return world.techRows.data() + at;
}

PlayerTechState* TechRow(World& world, int player) {
  return const_cast<PlayerTechState*>(TechRow(static_cast<const World&>(world), player));
}
