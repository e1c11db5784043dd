#include "net_game/net_events.h"

#include <atomic>

#include "app/program_version.h"
#include "net/net_session.h"
#include "net/net_ui_link.h"
#include "net/text_message.h"
#include "records/text_field.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "records/command_ids.h"
#include "net/command_network.h"
#include "sim/command_post.h"
#include "sim/network_command_args.h"
#include "sim/policy_command_args.h"
#include "sim/turn_end_upkeep.h"
#include "sim/turn_thread.h"
#include "world/world.h"

void OnNetEvent4(ScreenManager& ui) {
  if (g_netUi.playUiSound) g_netUi.playUiSound(&ui, g_uiOptions.chatsoundnum);
  if (SimUiMode() == kSimUiInGame && g_netUi.refillGameChat) g_netUi.refillGameChat(&ui);
}

void OnNetEvent8001(bool networked, plat::LParam lParam) {
  const int32_t p = static_cast<int32_t>(lParam);
  if (p <= 0 || p >= kMaxPlayers) return;
  plat::CriticalSectionLock lock(g_simulationLock);
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
  PostArgsAs(kCmdSetPlayerKind, p, PlayerKindArgs{.kind = kKindComputer});
  PostArgsAs(kCmdMilInitiativeOff, p, SettingArgs{.value = 100});
  PostArgsAs(kCmdMilInitiativeDef, p, SettingArgs{.value = 100});
}

std::string VersionMismatchLine(NetSession& session, uint32_t hostVersion) {
  const uint32_t ours = session.programVersion;
  // Version 0 is no head yet: the set-up notification also follows the
  // game's parameters, which can come first; the head's own decides.
  if (hostVersion == ours || hostVersion == 0 || !SessionSlots(session)) return {};
  std::string name;
  {
    plat::CriticalSectionLock hold(session.slotLock);
    const int32_t own = session.localSlot;
    const NetSlot slot = own >= 0 && own < kMaxPlayers ? SessionSlots(session)[own] : NetSlot{};
    if (slot.state == kSlotHuman)
      name = FieldText(slot.name);
    else if (slot.state == kSlotComputer)
      name = "AI";
    else if (slot.state <= kSlotHost)
      name = TextListText(kListSlotinfo, slot.state);
  }
  char text[260];
  std::snprintf(text, sizeof text, "(%s) Different Versions!\n  Host %u.%u.%u, Ours %u.%u.%u.", name.c_str(),
                (hostVersion >> 16) & 0xFFu, (hostVersion >> 8) & 0xFFu, hostVersion & 0xFFu, (ours >> 16) & 0xFFu,
                (ours >> 8) & 0xFFu, ours & 0xFFu);
  return text;
}

bool ReportVersionMismatch(NetSession& session) {
  if (!SessionSlots(session)) return false;
  const std::string text = VersionMismatchLine(session, session.hostProgramVersion.load());
  if (text.empty()) return false;
  TextMessage line;
  TextMessageCtor(line, 0, kTextToAll, text.c_str());
  (void)SendTextMessage(session, line, true);
  TextMessageDtor(line);
  return true;
}

void ReportVersionMismatch(ScreenManager&) {
  // Peers of two versions cannot play in step: the joiner leaves before a
  // game starts, its line already on its way to every player.
  if (ReportVersionMismatch(g_netSession) && !g_netSession.isHost) {
    CloseNetSession(g_netSession);
    (void)SetupNetSession(g_netSession, 0);
  }
}

const char* EndGameScreen(uint32_t code, uint32_t endReason, bool networked) {
  switch (code) {
    case kTurnCodeElectionLost: return "ENDGAME_ELDEFEAT";
    case kTurnCodeGameLost:
      if (endReason == kTurnCodeElectionLost) return "ENDGAME_ELDEFEAT";
      return networked ? "ENDGAME_MPLAYER" : "ENDGAME_PREVIEW2";
    case kTurnCodeGameWon: return "ENDGAME_PREVIEW";
    default: return nullptr;
  }
}

bool EndTurnPopupWanted(int32_t gameSpeed, uint32_t endReason, bool networked, int32_t noConfirm) {
  return gameSpeed == 0 && endReason == 0 && !networked && noConfirm == 0;
}

void OnAppMessage2(ScreenManager& ui, uint32_t code) {
  // The figures are read under the lock and the screens opened after it:
  // an end-of-game screen may stop the game's threads.
  int32_t speed = 0;
  uint32_t endReason = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    // The news queues of every region still in the game drain at a turn's end.
    if (code == kTurnCodeTurnEnd) TurnEndUpkeep(g_world);
    speed = GameSpeedNow(g_world.gameState);
    endReason = g_world.gameState.endReason;
  }
  if (code == kTurnCodeTurnEnd || code == kTurnCodeDayEnd) {
    if (g_netUi.refreshScreen) g_netUi.refreshScreen(&ui);
    // A turn that ended paused waits for its go event: the player starts
    // the next one from the end-of-turn pop-up.
    if (code == kTurnCodeTurnEnd && g_netUi.openPopup &&
        EndTurnPopupWanted(speed, endReason, IsNetworkGame(g_commandNet), g_uiOptions.bnoconfirmturn))
      g_netUi.openPopup(&ui, "ENDTURNPOPUP");
    return;
  }
  const char* screen = EndGameScreen(code, endReason, IsNetworkGame(g_commandNet));
  if (screen && g_netUi.openPopup) g_netUi.openPopup(&ui, screen);
}
