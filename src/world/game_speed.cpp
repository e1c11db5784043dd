#include "world/game_speed.h"

#include <atomic>
#include <cstdio>

#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

GameSpeedNetwork g_gameSpeedNetwork;

namespace {

bool InNetworkGame() { return g_gameSpeedNetwork.inNetworkGame && g_gameSpeedNetwork.inNetworkGame(); }

int32_t ClampTier(int32_t tier) {
  if (tier > kTopSpeedTier) return kTopSpeedTier;
  if (tier < 0) return 0;
  return tier;
}

// The sender byte of the local network slot.
uint8_t LocalSender() {
  const int32_t slot = g_netSession.localSlot;
  if (slot < 0 || slot >= kMaxPlayers) return 0;
  return g_world.slotTable[slot].region;
}

}  // namespace

int32_t GameSpeedOfTier(int32_t tier) {
  int32_t speed = g_uiOptions.speedrateslices[ClampTier(tier)];
  if (g_uiOptions.bspeeddouble) speed *= 2;
  return speed;
}

int32_t GetGameSpeedTier(const GameState& state) {
  const int32_t speed = GameSpeedNow(state);
  for (int32_t tier = 0; tier < kTopSpeedTier; ++tier)
    if (GameSpeedOfTier(tier) >= speed) return tier;
  return kTopSpeedTier;
}

void SetGameSpeed(GameState& state, int32_t tier) {
  if (state.speedLockMode == 1 && state.speedChangeAllowed == 0) return;
  // The tier is capped before it names the change: the speed list has a
  // name only for tiers 0 to 3.
  tier = ClampTier(tier);
  const bool networked = InNetworkGame();
  if (networked && tier != GetGameSpeedTier(state) && g_gameSpeedNetwork.postChatLine) {
    char text[128];
    std::snprintf(text, sizeof text, "Game Speed Changed to %s", TextListText(kListGamespeed, tier));
    g_gameSpeedNetwork.postChatLine(state.localPlayer, 0xFFFFFFFFu, text);
  }
  SessionMessage* m = BuildNetMessage(kSmGameSpeed, nullptr, 0, CurrentTickNow(state), LocalSender());
  if (!m) return;
  // The value travels in the message; the main thread applies it on every peer alike.
  m->value = static_cast<uint32_t>(GameSpeedOfTier(tier));
  if (networked && g_gameSpeedNetwork.sendToAll) g_gameSpeedNetwork.sendToAll(*m);
  QueueNetMessage(g_netQueue, m);
}
