#include "screens/frontend/game_lobby.h"

#include <string>

#include "net/command_line_session.h"
#include "net/game_messages.h"
#include "net/net_session.h"
#include "records/text_field.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/deferred_actions.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/popups.h"
#include "ui/screen_set.h"
#include "world/player_names.h"
#include "world/text/scenario_text.h"
#include "world/world.h"

namespace {

constexpr const char* kConnectTags[] = {"HOST", "JOIN", "ADDRESS", "STATUS", "BACK"};
constexpr const char* kLobbyTags[] = {"TITLE", "SLOTS", "STATUS", "BACK"};
constexpr const char* kWaitTags[] = {"WAITHDR", "HEADER", "START", "CANCEL"};

bool Is(const Control* control, const char* tag) { return control && ControlTagMatches(control->tag, tag); }

void SetFormText(Control* form, const char* tag, const char* text) {
  if (!form) return;
  ControlSetText(FormFindControlByTag(form, tag), text);
  form->state |= kStateDirty;
}

}  // namespace

ConnectScreen::ConnectScreen() : Screen("SM_PLAYER1c", {kConnectTags, {}}) { hostLink = &g_ui.frontEndBackground; }

void ConnectScreen::OnOpen() { SetFormText(currentForm, "STATUS", ""); }

void ConnectScreen::OnCommand(Control* control, int32_t) {
  NetSession& session = g_netSession;
  if (Is(control, "HOST") || Is(control, "JOIN")) {
    const bool host = Is(control, "HOST");
    int32_t result = NetPrepareSession(session);
    if (result >= 0) {
      if (host) {
        result = NetHostSession(session, "0.0.0.0");
      } else {
        const Control* field = FormFindControlByTag(currentForm, "ADDRESS");
        const std::string address = field && !field->text.empty() ? field->text : std::string("127.0.0.1");
        result = NetJoinHost(session, address.c_str(), static_cast<uint16_t>(session.identity.port));
      }
    }
    if (result < 0) {
      SetFormText(currentForm, "STATUS", host ? "The game could not be hosted." : "No game answered at that address.");
      return;
    }
    g_screens.gameLobby.mode = host ? kLobbyModeHost : kLobbyModeJoin;
    g_screens.gameLobby.Show(0, nullptr);
  } else if (Is(control, "BACK")) {
    NetHostListReset(session);
    g_screens.startMenu.Show(0, nullptr);
  }
}

GameLobby::GameLobby() : Screen("SM_PLAYER2", {kLobbyTags, {}}) { hostLink = &g_ui.frontEndBackground; }

void GameLobby::BindControls() { slots_ = MakeListBox("SLOTS", 0, nullptr, currentForm, 0, this); }

void GameLobby::OnOpen() {
  setupRequested = false;
  SetFormText(currentForm, "TITLE", mode == kLobbyModeHost ? "Hosting a game" : "Joining a game");
  QueueDeferredUiAction(this, 0);
}

void GameLobby::Poll(intptr_t) {
  NetSession& session = g_netSession;
  if (mode == kLobbyModeJoin && !setupRequested && !session.hosts.connecting && session.connectEvent.IsSet()) {
    const uint32_t head[2] = {kSetupRequestId, kSetupRequestSize};
    if (NetSendGameMessage(session, session.hostPlayer.load(), false, reinterpret_cast<const uint8_t*>(head), nullptr,
                           0) >= 0)
      setupRequested = true;
  }
  Refresh();
}

void GameLobby::Refresh() {
  if (!currentForm) return;
  if (slots_) {
    ListClear(slots_, 1);
    const World& w = g_world;
    for (int32_t s = 1; s < kMaxPlayers; ++s) {
      const NetSlot& slot = w.slotTable[s];
      if (slot.state != kSlotHuman) continue;
      ListAddString(slots_, FieldText(slot.name).c_str(), s, s, 0, 0, 0);
    }
    ListLayoutRows(slots_);
  }
  const char* status = g_gameLoading.load() ? "Loading the game..."
                       : mode == kLobbyModeHost          ? "Waiting for players to join."
                       : g_world.campaignMessage.name[0] ? "Game chosen: ready."
                                                          : "Waiting for the host to choose a game.";
  SetFormText(currentForm, "STATUS", status);
  currentForm->state |= kStateDirty;
}

void GameLobby::OnCommand(Control* control, int32_t) {
  if (Is(control, "BACK")) {
    CancelDeferredUiAction(this);
    CloseNetSession(g_netSession);
    g_screens.startMenu.Show(0, nullptr);
  }
}

void LobbyRefreshReady(GameLobby& lobby) { lobby.Refresh(); }

WaitingRoom::WaitingRoom() : Screen("MULTI_WAIT1", {kWaitTags, {}}) {}

void WaitingRoom::OnOpen() {
  if (!currentForm) return;
  SetControlFlag(FormFindControlByTag(currentForm, "START"), kStateHidden, 1);
  SetControlFlag(FormFindControlByTag(currentForm, "CANCEL"), kStateHidden, 1);
  const char* title = g_scenarioText.scenarioName.c_str();
  SetFormText(currentForm, "WAITHDR", *title ? title : FieldText(g_world.gameState.scenarioName).c_str());
  QueueDeferredUiAction(this, 0);
}

void WaitingRoom::Refresh() {
  if (mode != 0 || !currentForm) return;
  const World& w = g_world;
  int waiting = 0;
  for (int32_t p = 1; p <= w.gameState.highestPlayer && p < kMaxPlayers; ++p) {
    const PlayerRecord& r = w.players[p];
    if (!TakesPart(r)) continue;
    const uint32_t s = r.networkSlot;
    if (s < kMaxPlayers && w.slotTable[s].state == kSlotHuman && w.slotTable[s].progress == 0) ++waiting;
  }
  SetControlFlag(FormFindControlByTag(currentForm, "START"), kStateHidden, (waiting != 0) ? 1 : 0);
  SetControlFlag(FormFindControlByTag(currentForm, "HEADER"), kStateHidden, (waiting == 0) ? 1 : 0);
  SetControlFlag(FormFindControlByTag(currentForm, "CANCEL"), kStateHidden, (waiting == 0) ? 1 : 0);
  currentForm->state |= kStateDirty;
}

void WaitingRoom::OnCommand(Control* control, int32_t) {
  if (Is(control, "CANCEL")) {
    CancelDeferredUiAction(this);
    CloseAllPopups(g_ui, 0);
    SwitchGameScreen(&g_ui, false);
  } else if (Is(control, "START")) {
    CancelDeferredUiAction(this);
    Close(1);
  }
}
