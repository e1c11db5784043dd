// A departed player's region passes to the computer: on the host alone in
// a network game, and only once no person holds the region's slot.
#include "net_game/net_events.h"

#include <gtest/gtest.h>

#include "net/net_session.h"
#include "net/net_test_support.h"
#include "net/net_ui_link.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
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

TEST(NetEvents, OnlyATurnThatEndsPausedAsksForTheNextTurn) {
  const struct {
    int32_t speed;
    uint32_t endReason;
    bool networked;
    int32_t noConfirm;
    bool asks;
  } rows[] = {
      {0, 0, false, 0, true},   // paused: the turn thread waits for its go event
      {2, 0, false, 0, false},  // running: the next turn follows by itself
      {0, 5, false, 0, false},  // the game is over
      {0, 0, true, 0, false},   // peers go on together
      {0, 0, false, 1, false},  // the player turned the question off
  };
  for (const auto& r : rows)
    EXPECT_EQ(EndTurnPopupWanted(r.speed, r.endReason, r.networked, r.noConfirm), r.asks) << r.speed << r.endReason;

  // A paused turn end opens it through the interface's hook; a day end does not.
  static std::string opened;
  opened.clear();
  const GlobalGuard<NetUiLink> netUi(g_netUi);
  g_netUi.openPopup = [](ScreenManager*, const char* form) { opened += std::string(form) + " "; };
  g_netUi.refreshScreen = nullptr;
  const bool madeLocks = !WorldLocksExist(g_world);
  if (madeLocks) WorldInitLocks(g_world);
  g_world.gameState.gameSpeed = 0;
  // The handler only hands the interface on to the hooks.
  alignas(16) static unsigned char interfaceStandIn[16];
  ScreenManager& ui = *reinterpret_cast<ScreenManager*>(interfaceStandIn);
  OnAppMessage2(ui, kTurnCodeDayEnd);
  OnAppMessage2(ui, kTurnCodeTurnEnd);
  OnAppMessage2(ui, kTurnCodeGameWon);
  EXPECT_EQ(opened, "ENDTURNPOPUP ENDGAME_PREVIEW ");
  if (madeLocks) WorldDeleteLocks(g_world);
}

// A host from another version is named in one line.
TEST(VersionCheck, AHostOfAnotherVersionIsNamed) {
  TestPeer peer("Ann", nullptr);
  ResetSlotTable(peer.session, 2);
  const struct {
    uint32_t hostVersion;
    uint8_t state;
    std::string line;
  } rows[] = {
      {0x000200, kSlotHuman, "(Ann) Different Versions!\n  Host 0.2.0, Ours 0.1.0."},
      {0x000100, kSlotHuman, ""},
      {0, kSlotHuman, ""},  // no head from the host yet
      {0x010203, kSlotComputer, "(AI) Different Versions!\n  Host 1.2.3, Ours 0.1.0."},
      {0x000200, 9, "() Different Versions!\n  Host 0.2.0, Ours 0.1.0."},
  };
  for (const auto& row : rows) {
    peer.world->slotTable[2].state = row.state;
    EXPECT_EQ(VersionMismatchLine(peer.session, row.hostVersion), row.line) << row.hostVersion;
  }
  // Announced once to everybody, this peer included.
  peer.world->slotTable[2].state = kSlotHuman;
  peer.session.hostProgramVersion = 0x000200;  // as the host's head brings it
  ReportVersionMismatch(peer.session);
  EXPECT_EQ(peer.Lines(), std::vector<std::string>{rows[0].line});
}

}  // namespace
