#pragma once
// The network game's screens in the front end: the connect screen (host a
// game or join one at an address), the lobby that follows (its mode 2 host,
// 3 join) and the waiting room shown after joining a running game.
#include <memory>
#include <string>
#include <cstdint>
#include <vector>

#include "net/net_ui_link.h"
#include "screens/common/screen_types_fwd.h"
#include "screens/frontend/front_end_flow.h"
#include "net/host_list.h"
#include "screens/frontend/waiting_room_rows.h"
#include "ui/screen.h"

std::unique_ptr<Screen> MakeConnectScreen();
// Shows the connect screen with the line in its status.
void ShowConnectScreen(const std::string& status);

class GameLobby : public Screen {
 public:
  GameLobby();
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  // While joining: once the connection stands, asks the host for the game's
  // set-up once and stops polling.
  void Poll(intptr_t argument) override;

  // The host: the scenario of that row is the session's game; a slot's
  // region moves on to the next region of the game (none after the last);
  // the game starts once every person in the session has a region and is
  // ready.
  void ChooseGame(int32_t row);
  void NextRegionOfSlot(int32_t slot);
  bool CanStart() const;
  void StartSessionGame();

  int32_t mode = kLobbyModeHost;
  bool setupRequested = false;
  std::vector<ScenarioEntry> scenarios;

 private:
  ListBoxControl* slots_ = nullptr;
  ListBoxControl* games_ = nullptr;
  // A joiner: it has stood in the session since the lobby opened.
  bool joined_ = false;
};

// The lobby's ready state after a game file was loaded.
void LobbyRefreshReady(GameLobby& lobby);

inline constexpr int32_t kWaitingRoomLoading = 0;  // waiting for the players' machines
inline constexpr int32_t kWaitingRoomPlayers = 1;  // the players, with the host's kick
inline constexpr int32_t kWaitingRoomHostLost = 2;

class WaitingRoom : public Screen {
 public:
  WaitingRoom();
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  int32_t mode = kWaitingRoomLoading;
  WaitingRoomLoadRow loadRows[kWaitingRoomRows];
  WaitingRoomPlayers playerRows[kWaitingRoomRows];
  KickPopup kick;
};

// Opens the waiting room in the mode (kKeepScreenId keeps the last): the
// loading view stays above the game until it is answered.
int32_t WaitingRoomActivate(WaitingRoom& room, intptr_t mode);
// The host of the running network game is gone: the room opens on the
// host-lost view (once; false when it did not open it).
bool OpenHostLostRoom(WaitingRoom& room);
