// A departed player's region passes to the computer: on the host alone in
// a network game, and only once no person holds the region's slot.
#include "net/net_events.h"

#include <gtest/gtest.h>

#include "net/net_session.h"
#include "sim/command_ids.h"
#include "sim/command_log.h"
#include "world/world.h"

namespace {

TEST(NetEvents, ADeparturePassesTheRegionToTheComputerOnTheHostOnce) {
  const bool madeLocks = !WorldLocksExist(g_world);
  if (madeLocks) WorldInitLocks(g_world);
  // Slot 4 is the slot player 3's record names.
  const struct {
    bool networked, host;
    int32_t player;
    uint8_t slotState;
    int32_t kind;
    bool posts;
  } rows[] = {
      {true, true, 3, kSlotFree, kKindHuman, true},      // the host, the slot freed
      {true, true, 3, kSlotHuman, kKindHuman, false},    // still taken by a person
      {true, false, 3, kSlotFree, kKindHuman, false},    // a joiner leaves it to the host
      {false, false, 3, kSlotFree, kKindHuman, true},    // not a network game
      {true, true, 3, kSlotFree, kKindEmpty, false},     // no region there
      {true, false, 1, kSlotHuman, kKindHuman, true},    // the local player itself
  };
  g_world.gameState.localPlayer = 1;
  g_world.players[1].kind = kKindHuman;
  g_world.players[3].networkSlot = 4;
  for (const auto& row : rows) {
    g_commandLog.Clear();
    g_netSession.isHost = row.host ? 1 : 0;
    g_world.players[3].kind = row.kind;
    g_world.slotTable[4].state = row.slotState;
    OnNetEvent8001(row.networked, row.player);
    std::string posted;
    for (const GameCommand& c : g_commandLog.Entries())
      posted += std::to_string(c.id) + "/" + std::to_string(c.player) + "/" + std::to_string(c.arg28) + " ";
    const std::string p = std::to_string(row.player);
    EXPECT_EQ(posted, row.posts ? "32770/" + p + "/3 142/" + p + "/100 143/" + p + "/100 " : "")
        << "host " << row.host << " player " << row.player << " slot " << int{row.slotState};
  }
  g_commandLog.Clear();
  g_netSession.isHost = 0;
  g_world.slotTable[4] = NetSlot{};
  g_world.players[3] = PlayerRecord{};
  g_world.players[1] = PlayerRecord{};
  if (madeLocks) WorldDeleteLocks(g_world);
}

}  // namespace
