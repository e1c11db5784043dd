#include "world/world.h"

#include "app/init_order.h"
#include "net/net_message_queue.h"
#include "world/hex_extra.h"
#include "world/text/ui_options.h"

World g_world VD_INIT_WORLD;

World::~World() {
  for (HexCell& cell : cells) FreeHexStack(cell);
}

void WorldInitLocks(World& world) {
  for (auto& lock : world.locks)
    if (!lock) lock = new plat::CriticalSection;
}

void WorldDeleteLocks(World& world) {
  for (auto& lock : world.locks) {
    delete lock;
    lock = nullptr;
  }
}

bool WorldLocksExist(const World& world) {
  for (auto* lock : world.locks)
    if (!lock) return false;
  return true;
}

void ResetWorldDataTables() {}

void NewGameData() { g_world.gameState = GameState{}; }


void SetGameSpeed(GameState& state, int32_t tier) {
  if (tier > 3) tier = 3;
  if (tier < 0) tier = 0;
  int32_t speed = g_uiOptions.speedrateslices[tier];
  if (g_uiOptions.bspeeddouble) speed *= 2;
  SessionMessage* m = BuildNetMessage(kSmGameSpeed, nullptr, 0, static_cast<uint32_t>(state.currentTick),
                                      static_cast<uint8_t>(state.localPlayer));
  if (!m) return;
  // The value travels in the message; the main thread applies it on every peer alike.
  m->value = static_cast<uint32_t>(speed);
  QueueNetMessage(g_netQueue, m);
}
