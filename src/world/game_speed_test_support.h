#pragma once
// For the tests of the game-speed messages, in the world and in the
// session's handlers: the speed table and a network game's local slot set
// up, and the session-message queue emptied before and after.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "support/global_guard.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/world.h"

// Takes every queued session message out of the queue, oldest first.
inline std::vector<SessionMessage*> TakeQueued() {
  std::vector<SessionMessage*> out;
  plat::CriticalSectionLock hold(g_netQueue.lock);
  while (ListNode* first = g_netQueue.head.next()) {
    auto* node = static_cast<NetQueueNode*>(first);
    node->Unlink();
    out.push_back(node->message);
    DeleteZeroed(node);
  }
  return out;
}

inline void FreeAll(std::vector<SessionMessage*>& messages) {
  for (SessionMessage* m : messages) FreeNetMessage(m);
  messages.clear();
}

class GameSpeedFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    g_uiOptions.speedrateslices[0] = 0;
    g_uiOptions.speedrateslices[1] = 20;
    g_uiOptions.speedrateslices[2] = 40;
    g_uiOptions.speedrateslices[3] = 80;
    g_uiOptions.bspeeddouble = 0;
    std::memset(static_cast<void*>(&g_world.gameState), 0, sizeof(GameState));
    g_world.gameState.currentTick = 0x5150;
    g_world.gameState.localPlayer = 4;
    std::memset(g_world.slotTable, 0, sizeof g_world.slotTable);
    g_netSession.localSlot = 6;
    g_world.slotTable[6].region = 4;
    auto leftovers = TakeQueued();
    FreeAll(leftovers);
  }
  void TearDown() override {
    auto leftovers = TakeQueued();
    FreeAll(leftovers);
    g_gameSpeedNetwork = GameSpeedNetwork{};
    std::memset(g_world.slotTable, 0, sizeof g_world.slotTable);
    g_netSession.localSlot = 0;
  }

  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<GameState> state_{g_world.gameState};
};
