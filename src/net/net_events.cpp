#include "net/net_events.h"

#include "net/net_session.h"
#include "sim/command_ids.h"
#include "sim/command_post.h"
#include "sim/turn_end_upkeep.h"
#include "sim/turn_thread.h"
#include "world/world.h"

void OnNetEvent4(ScreenManager&) {}

void OnNetEvent8001(bool networked, plat::LParam lParam) {
  const int32_t p = static_cast<int32_t>(lParam);
  if (p <= 0 || p >= kMaxPlayers) return;
  const World& w = g_world;
  if (p != w.gameState.localPlayer) {
    if (!TakesPart(w.players[p])) return;
    if (networked) {
      if (!g_netSession.isHost) return;
      const uint32_t slot = w.players[p].networkSlot;
      if (slot != 0 && slot < kMaxPlayers && w.slotTable[slot].state == kSlotHuman) return;
    }
  }
  // The departed player's region passes to the computer.
  PostSimpleCommand(kCmdSetPlayerKind, p, 3);
  PostSimpleCommand(kCmdMilInitiativeOff, p, 100);
  PostSimpleCommand(kCmdMilInitiativeDef, p, 100);
}

void ReportVersionMismatch(ScreenManager&) {}

void OnAppMessage2(ScreenManager&, uint32_t code) {
  // The screens' refresh after a turn or a day comes with the front end.
  if (code == kTurnCodeTurnEnd) TurnEndUpkeep(g_world);
}
