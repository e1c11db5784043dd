#include "screens/frontend/game_lobby.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <string>

#include "net/command_line_session.h"
#include "net/game_messages.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "net/session_message.h"
#include "net/text_message.h"
#include "net_game/lobby_file_check.h"
#include "records/text_field.h"
#include "screens/screen_set.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/map_folders.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/deferred_actions.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/string_control.h"
#include "records/game_params_block.h"
#include "world/player_names.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr const char* kConnectTags[] = {"HOST", "JOIN", "ADDRESS", "STATUS", "BACK", "HOSTLIST"};
constexpr const char* kLobbyTags[] = {"TITLE", "GAMES", "SLOTS", "STATUS", "READY", "START", "BACK"};
constexpr const char* kWaitTags[] = {"WAITHDR", "HEADER", "START",       "CANCEL",     "CLOSE",   "LOSTHOST",
                                     "NEWHOST", "CUSTOM", "HIDERESOLVE", "HIDECONFIRM", "RESOLVE", "CANBUT"};
constexpr int32_t kWaitRowIds[] = {100, 101, 102, 103, 104, 105, 106, 107,
                                   108, 109, 110, 111, 112, 113, 114, 115};
constexpr int32_t kFirstRowId = 100;

void SetFormText(Control* form, const char* tag, const char* text) {
  if (!form) return;
  ControlSetText(FormFindControlByTag(form, tag), text);
  form->state |= kStateDirty;
}

// A status line as the lobby shows it: a sentence.
std::string LobbyStatusSentence(std::string text) {
  if (text.empty()) return text;
  text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text + ".";
}

// What a row and the status call the person in slot s: the name, with the
// slot's number when another person in the session goes by the same one.
// The slot table is read under its lock.
std::string SlotPlayerName(const NetSlot* table, int32_t s) {
  const std::string name = FieldText(table[s].name);
  for (int32_t o = 1; o < kMaxPlayers; ++o)
    if (o != s && table[o].state == kSlotHuman && FieldText(table[o].name) == name)
      return name + " " + std::to_string(s);
  return name.empty() ? "Player " + std::to_string(s) : name;
}

std::string RegionName(const World& w, uint8_t region) {
  const char* name = region > 0 && region < kMaxPlayers ? LookupLocalizedName(w, w.players[region]) : "";
  return name && *name ? name : "Region " + std::to_string(region);
}

// A slot's row: who, whose machine, the region given it and its word.
std::string SlotRow(const World& w, const NetSlot* table, int32_t s, int32_t own) {
  const NetSlot& slot = table[s];
  std::string row = SlotPlayerName(table, s);
  if (s == static_cast<int32_t>(kNetHostSlot)) row += " (host)";
  else if (s == own) row += " (you)";
  row += ": " + (slot.region != 0 ? RegionName(w, slot.region) : std::string("no region"));
  if (s != static_cast<int32_t>(kNetHostSlot) && slot.region != 0 && slot.ready) row += ", ready";
  return row;
}

// The host's status: the first thing the start still waits for.
std::string HostStatus(const World& w, const NetSlot* table) {
  if (!w.campaignMessage.name[0]) return "Choose a game from the list.";
  int32_t noRegion = -1, notReady = -1, unchecked = -1, joiners = 0;
  for (int32_t s = 1; s < kMaxPlayers; ++s) {
    const NetSlot& slot = table[s];
    if (slot.state != kSlotHuman) continue;
    if (slot.region == 0) {
      if (noRegion < 0) noRegion = s;
      continue;
    }
    if (s == static_cast<int32_t>(kNetHostSlot)) continue;
    ++joiners;
    if (!slot.ready) {
      if (notReady < 0) notReady = s;
    } else if (unchecked < 0 && !LobbyFilesAlike(g_netSession, w, s)) {
      unchecked = s;
    }
  }
  if (noRegion == static_cast<int32_t>(kNetHostSlot)) return "Give each player a region: click your own row.";
  if (noRegion >= 0) return "Give each player a region: click the row of " + SlotPlayerName(table, noRegion) + ".";
  if (notReady >= 0) return "Waiting for " + SlotPlayerName(table, notReady) + " to press Ready.";
  if (unchecked >= 0) return "Checking that " + SlotPlayerName(table, unchecked) + " has the host's files.";
  if (joiners == 0) return "Waiting for players to join; Start begins without them.";
  return "Every player is ready: press Start.";
}

// The chosen game as its scenario names itself, else by its file.
std::string ChosenGameTitle(const World& w) {
  const char* title = g_scenarioText.scenarioName.c_str();
  return title && *title ? title : w.campaignMessage.name;
}

// A joiner's status: the game chosen, then the region and the ready word.
std::string JoinerStatus(const World& w, const NetSlot* table, int32_t own) {
  if (!w.campaignMessage.name[0]) return "Waiting for the host to choose a game.";
  if (!LobbyGameRead(w)) return "The host chose a game: reading it.";
  if (!LobbyGameLoaded(w))
    return std::string("The chosen game (") + w.campaignMessage.name + ") could not be read here.";
  const std::string chosen = "Game chosen: " + ChosenGameTitle(w) + ". ";
  const NetSlot* slot = own > 0 && own < kMaxPlayers ? &table[own] : nullptr;
  if (!slot || slot->region == 0) return chosen + "Waiting for the host to give you a region.";
  const std::string region = RegionName(w, slot->region);
  if (!slot->ready) return chosen + "You play " + region + ": press Ready.";
  return chosen + "You play " + region + " and are ready: the host starts the game.";
}

class ConnectScreen : public Screen {
 public:
  ConnectScreen() : Screen("SM_PLAYER1c", {kConnectTags, {}}) { hostLink = &g_ui.frontEndBackground; }
  void BindControls() override {
    hostList_ = MakeListBox("HOSTLIST", 0, currentForm, 0, this);
    if (hostList_) hostList_->flags |= kListSingleSelect;
  }
  // Looks for hosts while the screen is up; the list shows what answered.
  void OnOpen() override {
    SetFormText(currentForm, "STATUS", "");
    hosts.clear();
    pickedPort_ = 0;
    if (hostList_) ListClear(hostList_, 1);
    NetSession& session = g_netSession;
    if (session.identity.port == 0) session.identity.port = kNetDefaultPort;
    // Without a network the address field still joins; the list stays empty.
    if (NetPrepareSession(session) >= 0 &&
        NetEnumHosts(session, "", static_cast<uint16_t>(session.identity.port)) >= 0)
      QueueDeferredUiAction(this, 0);
  }
  void Poll(intptr_t) override {
    HostList& list = g_netSession.hosts;
    {
      std::lock_guard<std::mutex> hold(list.lock);
      if (!list.changed) return;
    }
    hosts = HostListToControl(list);
    if (!hostList_) return;
    const int32_t selected = hostList_->selectedId;
    ListClear(hostList_, 1);
    for (size_t i = 0; i < hosts.size(); ++i)
      ListAddString(hostList_, hosts[i].text.c_str(), static_cast<int32_t>(i) + 1, static_cast<intptr_t>(i), 0, 0, 0);
    ListLayoutRows(hostList_);
    if (selected > 0 && static_cast<size_t>(selected) <= hosts.size()) ListSetSelection(0, hostList_, selected, 0);
    if (currentForm) currentForm->state |= kStateDirty;
  }
  void OnCommand(Control* control, int32_t) override {
    NetSession& session = g_netSession;
    if (Is(control, "HOST") || Is(control, "JOIN")) {
      const bool host = Is(control, "HOST");
      StopSearch();
      // Hosts and joiners meet on the game's own port unless told another.
      if (session.identity.port == 0) session.identity.port = kNetDefaultPort;
      int32_t result = NetPrepareSession(session);
      if (result >= 0) {
        if (host) {
          result = NetHostSession(session, "0.0.0.0");
        } else {
          const auto* field = dynamic_cast<const TextControl*>(FormFindControlByTag(currentForm, "ADDRESS"));
          const std::string address =
              field && !field->sourceText.empty() ? field->sourceText : std::string("127.0.0.1");
          // A host picked from the list may answer on a port of its own.
          const bool picked = std::any_of(hosts.begin(), hosts.end(), [&](const HostListEntry& h) {
            return h.address == address && h.hostPort == pickedPort_;
          });
          const uint16_t port = picked && pickedPort_ ? pickedPort_ : static_cast<uint16_t>(session.identity.port);
          result = NetJoinHost(session, address.c_str(), port);
        }
      }
      if (result < 0) {
        SetFormText(currentForm, "STATUS", host ? "The game could not be hosted." : "No game answered at that address.");
        return;
      }
      g_screens.gameLobby.mode = host ? kLobbyModeHost : kLobbyModeJoin;
      g_screens.gameLobby.Show(0, nullptr);
    } else if (Is(control, "BACK")) {
      StopSearch();
      g_screens.startMenu.Show(0, nullptr);
    }
  }
  // A host picked in the list: its address goes into the address field.
  void OnControlChange(Control* control, int32_t value) override {
    if (!hostList_ || control != hostList_ || value <= 0 || static_cast<size_t>(value) > hosts.size()) return;
    const HostListEntry& host = hosts[static_cast<size_t>(value) - 1];
    if (auto* field = dynamic_cast<TextControl*>(FormFindControlByTag(currentForm, "ADDRESS")))
      field->SetText(host.address.c_str());
    pickedPort_ = host.hostPort;
    if (currentForm) currentForm->state |= kStateDirty;
  }

  // The hosts the list shows, in its order.
  std::vector<HostListEntry> hosts;

 private:
  void StopSearch() {
    CancelDeferredUiAction(this);
    NetHostListReset(g_netSession);
  }
  ListBoxControl* hostList_ = nullptr;
  uint16_t pickedPort_ = 0;
};

}  // namespace

std::unique_ptr<Screen> MakeConnectScreen() { return std::make_unique<ConnectScreen>(); }

void ShowConnectScreen(const std::string& status) {
  Screen& connect = *g_screens.connect;
  connect.Show(0, nullptr);
  SetFormText(connect.currentForm, "STATUS", status.c_str());
}

GameLobby::GameLobby() : Screen("SM_PLAYER2", {kLobbyTags, {}}) { hostLink = &g_ui.frontEndBackground; }

void GameLobby::BindControls() {
  slots_ = MakeListBox("SLOTS", 0, currentForm, 0, this);
  games_ = MakeListBox("GAMES", 0, currentForm, 0, this);
  if (games_) games_->flags |= kListSingleSelect;
}

void GameLobby::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  setupRequested = false;
  joined_ = false;
  g_lobbyFileCheck = LobbyFileCheck{};
  const bool host = mode == kLobbyModeHost;
  // A joiner's lines are this session's: a refusal heard in another is not.
  if (!host) ClearTextMessageQueue(g_textLines);
  SetFormText(currentForm, "TITLE", host ? "Hosting a game" : "Joining a game");
  scenarios = host ? ListScenarios(false) : std::vector<ScenarioEntry>{};
  if (games_) {
    FillScenarioList(games_, scenarios);
    SetControlFlag(games_, kStateHidden, host ? 0 : 1);
  }
  g_world.campaignMessage.name[0] = '\0';
  SetControlFlag(FormFindControlByTag(currentForm, "READY"), kStateHidden, host ? 1 : 0);
  QueueDeferredUiAction(this, 0);
}

void GameLobby::ChooseGame(int32_t row) {
  if (mode != kLobbyModeHost || row < 0 || static_cast<size_t>(row) >= scenarios.size()) return;
  const std::string& file = scenarios[static_cast<size_t>(row)].file;
  GameParamsBlock block;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    GameParamsBlock& offered = g_world.campaignMessage;
    offered.flags &= ~kGameParamsSavedGame;
    // Only the game's own scenarios are offered to peers, who all have them.
    g_mapFolders.customScenario = false;
    // Each game offered has its own number: a joiner's account of the files
    // of one offered before is not taken for this one's.
    ++offered.word44;
    g_lobbyFileCheck.refusal.clear();
    SetFieldText(g_world.gameState.scenarioName, file);
    block = offered;
  }
  // Every peer, this one included, reads the game; the regions follow. The
  // set-up goes out from a copy with the world's lock let go, and what it
  // names is the world's again before this thread reads its own set-up.
  (void)SendGameSetup(g_netSession, file.c_str(), 0, 0, block);
  plat::CriticalSectionLock lock(g_simulationLock);
  g_world.campaignMessage = block;
}

void GameLobby::NextRegionOfSlot(int32_t slot) {
  uint8_t next = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (mode != kLobbyModeHost || slot < 1 || slot >= kMaxPlayers || !g_world.campaignMessage.name[0]) return;
    const std::vector<RegionEntry> regions = ListRegions(g_world);
    uint8_t current = 0;
    bool taken[kMaxPlayers] = {};
    {
      plat::CriticalSectionLock hold(g_netSession.slotLock);
      current = g_world.slotTable[slot].region;
      for (int32_t s = 1; s < kMaxPlayers; ++s)
        if (s != slot && g_world.slotTable[s].state == kSlotHuman) taken[g_world.slotTable[s].region % kMaxPlayers] = true;
    }
    // The regions after the slot's own, then none: one another person plays
    // is passed over, as two people cannot lead one region.
    size_t from = 0;
    for (size_t i = 0; i < regions.size(); ++i)
      if (regions[i].player == current) from = i + 1;
    for (size_t i = from; i < regions.size() && !next; ++i)
      if (regions[i].player > 0 && regions[i].player < kMaxPlayers && !taken[regions[i].player])
        next = static_cast<uint8_t>(regions[i].player);
  }
  // The table goes to every peer with the world's lock let go.
  (void)NetSetSlotFields(g_netSession, static_cast<uint32_t>(slot), next, 0);
}

bool GameLobby::CanStart() const {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (mode != kLobbyModeHost || !g_world.campaignMessage.name[0]) return false;
  plat::CriticalSectionLock hold(g_netSession.slotLock);
  for (int32_t s = 1; s < kMaxPlayers; ++s) {
    const NetSlot& slot = g_world.slotTable[s];
    if (slot.state != kSlotHuman) continue;
    if (slot.region == 0) return false;
    if (s == static_cast<int32_t>(kNetHostSlot)) continue;
    // Nobody plays whose files were not found alike with the host's.
    if (!slot.ready || !LobbyFilesAlike(g_netSession, g_world, s)) return false;
  }
  return true;
}

void GameLobby::StartSessionGame() {
  NetSession& session = g_netSession;
  if (!CanStart()) return;
  CancelDeferredUiAction(this);
  (void)NetHostStartGame(session);
  uint8_t own = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    plat::CriticalSectionLock hold(session.slotLock);
    own = g_world.slotTable[kNetHostSlot].region;
  }
  SessionMessage* start = BuildNetMessage(kSmStartGame, nullptr, 0, 0, own);
  if (!start) return;
  (void)SendNetMessage(session, *start, 0);
  // The host starts as every peer does, from its own queue.
  QueueNetMessage(g_netQueue, start);
}

void GameLobby::Poll(intptr_t) {
  NetSession& session = g_netSession;
  // Once its connect has completed (the host has given it a slot), the
  // joiner asks for the set-up, so that a game chosen before it came is
  // read here too. The connect event cannot say so: a join from the
  // command line consumes it, and the host list stays held after a join.
  if (mode == kLobbyModeJoin && !setupRequested && session.inSession && session.slotAssigned) {
    const uint32_t head[2] = {kSetupRequestId, kSetupRequestSize};
    if (NetSendGameMessage(session, session.hostPlayer.load(), false, reinterpret_cast<const uint8_t*>(head), nullptr,
                           0) >= 0)
      setupRequested = true;
  }
  std::string refused;
  if (mode == kLobbyModeJoin) {
    // The account is taken under the world's lock and sent after it.
    SendLobbyAccountWhenDue(session, g_world, &g_simulationLock);  // world-lock: it takes the lock to read, then sends
    plat::CriticalSectionLock lock(g_simulationLock);
    if (session.inSession && session.slotAssigned) joined_ = true;
    if (joined_ && !session.inSession) {
      const std::vector<std::string> lines = FileMismatchLines(QueuedTextLines(g_textLines));
      if (!lines.empty()) refused = LobbyStatusSentence(RefusedJoinerText(g_world, lines));
    }
  }
  // Dropped for its files: the player is told why and may join again. The
  // session closes outside the simulation lock: its departures run on the
  // network threads.
  if (!refused.empty()) {
    CancelDeferredUiAction(this);
    CloseNetSession(session);
    (void)SetupNetSession(session, 0);
    ClearTextMessageQueue(g_textLines);
    ShowConnectScreen(refused);
    return;
  }
  Refresh();
}

void GameLobby::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!currentForm) return;
  const World& w = g_world;
  const NetSession& session = g_netSession;
  const int32_t own = session.slotAssigned ? session.localSlot.load() : -1;
  std::string status;
  {
    plat::CriticalSectionLock hold(g_netSession.slotLock);
    if (slots_) {
      ListClear(slots_, 1);
      for (int32_t s = 1; s < kMaxPlayers; ++s)
        if (w.slotTable[s].state == kSlotHuman)
          ListAddString(slots_, SlotRow(w, w.slotTable, s, own).c_str(), s, s, 0, 0, 0);
      ListLayoutRows(slots_);
    }
    if (mode == kLobbyModeHost) ForgetRefusalOnNewJoiner(w.slotTable);
    status = mode == kLobbyModeHost ? HostStatus(w, w.slotTable) : JoinerStatus(w, w.slotTable, own);
  }
  SetControlFlag(FormFindControlByTag(currentForm, "START"), kStateHidden, CanStart() ? 0 : 1);
  if (g_gameLoading.load())
    status = "Loading the game...";
  else if (mode == kLobbyModeHost && !g_lobbyFileCheck.refusal.empty())
    status = LobbyStatusSentence(g_lobbyFileCheck.refusal);
  // A joiner the host turned away learns why, not only that it waits on.
  if (mode == kLobbyModeJoin && session.connectEvent.IsSet() && plat::Failed(session.connectResult.load()))
    status = LobbyStatusSentence(NetJoinFailureText(session));
  SetFormText(currentForm, "STATUS", status.c_str());
  currentForm->state |= kStateDirty;
}

void GameLobby::OnCommand(Control* control, int32_t id) {
  if (control && control == games_) {
    ChooseGame(id - 1);
  } else if (control && control == slots_) {
    // The host has seen who was turned away; the status says again what
    // the start waits for.
    if (mode == kLobbyModeHost) g_lobbyFileCheck.refusal.clear();
    NextRegionOfSlot(id);
  } else if (Is(control, "READY")) {
    (void)NetSetSlot(g_netSession, true);
  } else if (Is(control, "START")) {
    StartSessionGame();
    return;
  } else if (Is(control, "BACK")) {
    CancelDeferredUiAction(this);
    CloseNetSession(g_netSession);
    g_screens.startMenu.Show(0, nullptr);
    return;
  }
  Refresh();
}

void LobbyRefreshReady(GameLobby& lobby) { lobby.Refresh(); }

WaitingRoom::WaitingRoom() : Screen("MULTI_WAIT1", {kWaitTags, kWaitRowIds}) {}

int32_t WaitingRoomActivate(WaitingRoom& room, intptr_t mode) {
  if (mode != kKeepScreenId) room.mode = static_cast<int32_t>(mode);
  const plat::Rect whole{0, 0, g_platform.clientRect.right, g_platform.clientRect.bottom};
  const uint32_t flags = room.mode == kWaitingRoomLoading ? (kPopupModal | kPopupExclusive) : 0;
  const int32_t opened = room.currentForm ? OpenPopup(g_ui, room.currentForm, flags, -1, -1, 0, whole) : 0;
  room.OnOpen();
  room.Refresh();
  return opened;
}

void WaitingRoom::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* f = currentForm;
  if (!f) return;
  const auto show = [f](const char* tag, bool on) {
    SetControlFlag(FormFindControlByTag(f, tag), kStateHidden, on ? 0 : 1);
  };
  SetControlFlag(FormFindControlByTag(f, "HEADER"), kStateSelected, mode >= kWaitingRoomPlayers ? 1 : 0);
  show("HEADER", mode != kWaitingRoomHostLost);
  show("LOSTHOST", mode == kWaitingRoomHostLost);
  show("NEWHOST", mode == kWaitingRoomHostLost);
  std::string newHost;
  if (mode == kWaitingRoomHostLost) {
    const uint32_t hostId = g_netSession.hostPlayer.load();
    for (const NetSlot& slot : g_world.slotTable) {
      if (slot.playerId != hostId) continue;
      if (slot.state == kSlotHuman)
        newHost = FieldText(slot.name);
      else if (slot.state == kSlotComputer)
        newHost = "AI";
      else if (slot.state <= 5)
        newHost = TextListText(kListSlotinfo, slot.state);
      break;
    }
  }
  SetFormText(f, "NEWHOST", newHost.c_str());
  show("START", false);
  show("CANCEL", false);
  show("CLOSE", mode != kWaitingRoomLoading);
  for (int32_t i = 0; i < kWaitingRoomRows; ++i)
    SetControlFlag(FormFindControlById(f, kFirstRowId + i), kStateHidden, 1);
  const World& w = g_world;
  int32_t row = 0;
  for (int32_t p = 1; p <= w.gameState.highestPlayer && p < kMaxPlayers && row < kWaitingRoomRows; ++p) {
    if (w.players[p].kind == kKindEmpty) continue;
    Control* host = FormFindControlById(f, kFirstRowId + row);
    if (!host) continue;
    SetControlFlag(host, kStateHidden, 0);
    if (mode == kWaitingRoomLoading) {
      loadRows[row].player = p;
      loadRows[row].Show(kKeepScreenId, host);
    } else {
      playerRows[row].player = p;
      playerRows[row].Show(kKeepScreenId, host);
    }
    ++row;
  }
  const char* title = g_scenarioText.scenarioName.c_str();
  SetFormText(f, "WAITHDR", *title ? title : FieldText(w.gameState.scenarioName).c_str());
  show("CUSTOM", false);
  show("HIDERESOLVE", mode >= kWaitingRoomPlayers && g_netSession.isHost.load() != 0);
  show("HIDECONFIRM", false);
  if (mode == kWaitingRoomLoading) QueueDeferredUiAction(this, 0);
}

void WaitingRoom::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
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
  for (WaitingRoomLoadRow& row : loadRows)
    if (row.player > 0) row.Refresh();
  currentForm->state |= kStateDirty;
}

void WaitingRoom::OnCommand(Control* control, int32_t) {
  const auto show = [this](const char* tag, bool on) {
    SetControlFlag(FormFindControlByTag(currentForm, tag), kStateHidden, on ? 0 : 1);
    if (currentForm) currentForm->state |= kStateDirty;
  };
  if (Is(control, "RESOLVE") || Is(control, "CANBUT") || Is(control, "OKBUT")) {
    // Nothing is ended for everyone yet: a yes, like a no, puts the
    // question away.
    show("HIDERESOLVE", !Is(control, "RESOLVE"));
    show("HIDECONFIRM", Is(control, "RESOLVE"));
  } else if (Is(control, "CLOSE")) {
    Close(0);
  } else if (Is(control, "CANCEL")) {
    CancelDeferredUiAction(this);
    CloseAllPopups(g_ui, 0);
    SwitchGameScreen(&g_ui, false);
  } else if (Is(control, "START")) {
    CancelDeferredUiAction(this);
    Close(1);
  }
}

bool OpenHostLostRoom(WaitingRoom& room) {
  if (!g_netSession.hostLost.load() || g_ui.mode != kUiInGame) return false;
  const bool open = room.currentForm && room.currentForm->parent;
  if (open && room.mode == kWaitingRoomHostLost) return false;
  // The loading view holds the screen to itself: it goes first.
  if (open) {
    CancelDeferredUiAction(&room);
    room.Close(1);
  }
  WaitingRoomActivate(room, kWaitingRoomHostLost);
  return true;
}
