#include "world/game_speed.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "records/le_bytes.h"
#include "support/global_guard.h"
#include "world/text/text_lists.h"
#include "world/game_speed_test_support.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

using GameSpeedTest = GameSpeedFixture;

// The message, byte for byte as it goes on the wire.
void ExpectSpeedMessage(const SessionMessage* m, uint32_t speed) {
  ASSERT_NE(m, nullptr);
  const auto* b = reinterpret_cast<const uint8_t*>(m);
  EXPECT_EQ(le::Load32(b + 0), 0x20002u);
  EXPECT_EQ(le::Load32(b + 4), 64u);
  EXPECT_EQ(le::Load32(b + 8), 100u);
  EXPECT_EQ(le::Load32(b + 12), 0x5150u);  // the current tick
  EXPECT_EQ(b[16], 4);                      // the local slot's sender byte
  EXPECT_EQ(le::Load32(b + 52), speed);     // the fourteenth word
  EXPECT_EQ(m->payloadLength, 0u);
}

TEST_F(GameSpeedTest, EachTierQueuesItsSpeed) {
  const uint32_t speeds[4] = {0, 20, 40, 80};
  for (int tier = 0; tier < 4; ++tier) {
    SetGameSpeed(g_world.gameState, tier);
    auto queued = TakeQueued();
    ASSERT_EQ(queued.size(), 1u) << tier;
    ExpectSpeedMessage(queued[0], speeds[tier]);
    FreeAll(queued);
  }
}

TEST_F(GameSpeedTest, TiersAboveThreeActAsThree) {
  for (int tier : {4, 5, 99}) {
    SetGameSpeed(g_world.gameState, tier);
    auto queued = TakeQueued();
    ASSERT_EQ(queued.size(), 1u);
    ExpectSpeedMessage(queued[0], 80);
    FreeAll(queued);
  }
  // A negative tier cannot index the table: it asks for tier 0.
  SetGameSpeed(g_world.gameState, -3);
  auto queued = TakeQueued();
  ASSERT_EQ(queued.size(), 1u);
  ExpectSpeedMessage(queued[0], 0);
  FreeAll(queued);
}

TEST_F(GameSpeedTest, DoubledSpeedsWhileTheOptionIsSet) {
  g_uiOptions.bspeeddouble = 1;
  SetGameSpeed(g_world.gameState, 5);
  auto queued = TakeQueued();
  ASSERT_EQ(queued.size(), 1u);
  ExpectSpeedMessage(queued[0], 160);
  FreeAll(queued);
}

TEST_F(GameSpeedTest, ALockedSpeedQueuesNothing) {
  g_world.gameState.speedLockMode = 1;
  g_world.gameState.speedChangeAllowed = 0;
  SetGameSpeed(g_world.gameState, 2);
  EXPECT_TRUE(TakeQueued().empty());

  // Timed turns with a change allowed, or no timed turns, let it through.
  g_world.gameState.speedChangeAllowed = 1;
  SetGameSpeed(g_world.gameState, 2);
  auto queued = TakeQueued();
  EXPECT_EQ(queued.size(), 1u);
  FreeAll(queued);
  g_world.gameState.speedLockMode = 2;
  g_world.gameState.speedChangeAllowed = 0;
  SetGameSpeed(g_world.gameState, 2);
  queued = TakeQueued();
  EXPECT_EQ(queued.size(), 1u);
  FreeAll(queued);
}

TEST_F(GameSpeedTest, TierReadBackFromTheSpeed) {
  const struct {
    int32_t speed;
    int32_t tier;
  } cases[] = {{0, 0}, {1, 1}, {20, 1}, {21, 2}, {40, 2}, {41, 3}, {80, 3}, {500, 3}, {-5, 0}};
  for (const auto& c : cases) {
    g_world.gameState.gameSpeed = c.speed;
    EXPECT_EQ(GetGameSpeedTier(g_world.gameState), c.tier) << c.speed;
  }
  // Doubling moves the thresholds with the speeds: the tier set is the tier read.
  g_uiOptions.bspeeddouble = 1;
  for (int tier = 0; tier < 4; ++tier) {
    g_world.gameState.gameSpeed = GameSpeedOfTier(tier);
    EXPECT_EQ(GetGameSpeedTier(g_world.gameState), tier);
  }
  g_world.gameState.gameSpeed = 41;
  EXPECT_EQ(GetGameSpeedTier(g_world.gameState), 2);
}

// In a network game a change is announced to everybody and the message is
// sent to every peer before it is queued; without a change of tier nothing
// is announced.
struct NetworkLog {
  std::vector<std::string> chat;
  std::vector<int32_t> senders;
  std::vector<uint32_t> masks;
  std::vector<uint32_t> sentSpeeds;
  bool networked = true;
};
NetworkLog* g_log = nullptr;

TEST_F(GameSpeedTest, NetworkGameAnnouncesAndSends) {
  NetworkLog log;
  g_log = &log;
  g_gameSpeedNetwork.inNetworkGame = [] { return g_log->networked; };
  g_gameSpeedNetwork.postChatLine = [](int32_t sender, uint32_t mask, const char* text) {
    g_log->chat.emplace_back(text);
    g_log->senders.push_back(sender);
    g_log->masks.push_back(mask);
  };
  g_gameSpeedNetwork.sendToAll = [](const SessionMessage& m) { g_log->sentSpeeds.push_back(m.value); };
  const TextListInfo& names = TextListInfoOf(kListGamespeed);
  char*& fastest = g_textLists.entries[names.first + 3];
  char* savedName = fastest;
  fastest = strdup("Fastest");

  g_world.gameState.gameSpeed = 20;  // tier 1
  SetGameSpeed(g_world.gameState, 7);
  ASSERT_EQ(log.chat.size(), 1u);
  EXPECT_EQ(log.chat[0], "Game Speed Changed to Fastest");
  EXPECT_EQ(log.senders[0], 4);
  EXPECT_EQ(log.masks[0], 0xFFFFFFFFu);
  ASSERT_EQ(log.sentSpeeds.size(), 1u);
  EXPECT_EQ(log.sentSpeeds[0], 80u);
  auto queued = TakeQueued();
  ASSERT_EQ(queued.size(), 1u);
  ExpectSpeedMessage(queued[0], 80);
  FreeAll(queued);

  // Same tier: no announcement, still sent and queued.
  g_world.gameState.gameSpeed = 80;
  SetGameSpeed(g_world.gameState, 5);
  EXPECT_EQ(log.chat.size(), 1u);
  EXPECT_EQ(log.sentSpeeds.size(), 2u);
  queued = TakeQueued();
  EXPECT_EQ(queued.size(), 1u);
  FreeAll(queued);

  // Outside a network game: neither.
  log.networked = false;
  SetGameSpeed(g_world.gameState, 0);
  EXPECT_EQ(log.chat.size(), 1u);
  EXPECT_EQ(log.sentSpeeds.size(), 2u);
  queued = TakeQueued();
  EXPECT_EQ(queued.size(), 1u);
  FreeAll(queued);

  std::free(fastest);
  fastest = savedName;
  g_log = nullptr;
}

}  // namespace
