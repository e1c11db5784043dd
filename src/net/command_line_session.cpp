#include "net/command_line_session.h"

#include <cstring>

#include "app/app_object.h"
#include "app/log.h"
#include "net/net_session.h"
#include "net/net_ui_link.h"
#include "net/service_providers.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "records/text_field.h"

namespace {

struct CommandLineState {
  CommandLineStage stage = CommandLineStage::kIdle;
  uint32_t started = 0;
  uint32_t lastLook = 0;
  ScreenManager* ui = nullptr;
};
CommandLineState g_state;

// The poll's place in the main loop's idle tasks while it is needed.
IdleTask g_pollTask;

void StopPolling() {
  if (g_pollTask.linked()) g_pollTask.Unlink();
}

CommandLineStage Fail(NetSession& session, const char* why) {
  LogWrite(g_platform, "NetStage: command-line session failed: %s\n", why);
  StopPolling();
  NetHostListReset(session);
  g_state.stage = CommandLineStage::kFailed;
  if (g_netUi.endProgram) {
    g_netUi.endProgram(g_state.ui);
  } else if (g_platform.mainWindow) {
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  }
  return g_state.stage;
}

CommandLineStage OpenLobby(int32_t mode) {
  StopPolling();
  g_state.stage = CommandLineStage::kInLobby;
  if (g_netUi.openLobby) g_netUi.openLobby(g_state.ui, mode);
  return g_state.stage;
}

void PollFromIdle(uint32_t) { (void)PollCommandLineSession(g_netSession, g_state.ui, plat::TickCount()); }

}  // namespace

int32_t NetPrepareSession(NetSession& session) {
  if (!session.peer) return plat::kFail;
  if (session.identity.playerName[0] == '\0') SetFieldText(session.identity.playerName, "PLAYER");
  if (session.chosenProvider.empty()) {
    const char* provider = NetFindServiceProvider(session, nullptr);
    if (!provider) {
      LogWrite(g_platform, "NetStage: no service provider \"%s\"\n", session.identity.preferredProvider);
      return plat::kFail;
    }
    session.chosenProvider = provider;
  }
  std::lock_guard<std::mutex> hold(session.hosts.lock);
  session.hosts.ageOut = kHostListAgeOutMs;
  return plat::kOk;
}

CommandLineStage StartCommandLineSession(NetSession& session, ScreenManager* ui, int32_t role, uint32_t now,
                                         const char* bindAddress) {
  g_state = CommandLineState{};
  g_state.ui = ui;
  g_state.started = now;
  if (role != 1 && role != 2) return g_state.stage;
  if (plat::Failed(NetPrepareSession(session))) return Fail(session, "no network session");
  if (role == 1) {
    if (plat::Failed(NetHostSession(session, bindAddress))) return Fail(session, "hosting failed");
    return OpenLobby(kLobbyModeHost);
  }
  const char* address = session.identity.hostAddress;
  if (plat::Failed(NetEnumHosts(session, address, static_cast<uint16_t>(session.identity.port))))
    return Fail(session, "the search could not start");
  g_state.stage = CommandLineStage::kSearching;
  g_state.lastLook = now - kCommandLineLookMs;
  if (ui && g_app.idleTasks && !g_pollTask.linked()) {
    g_pollTask.callback = PollFromIdle;
    g_app.idleTasks->Append(&g_pollTask);
  }
  return g_state.stage;
}

CommandLineStage PollCommandLineSession(NetSession& session, ScreenManager*, uint32_t now) {
  switch (g_state.stage) {
    case CommandLineStage::kSearching: {
      const bool late = now - g_state.started >= kCommandLineSearchMs;
      if (!late && now - g_state.lastLook < kCommandLineLookMs) return g_state.stage;
      g_state.lastLook = now;
      const std::vector<HostListEntry> hosts = HostListToControl(session.hosts);
      if (hosts.empty()) return late ? Fail(session, "no host answered within a minute") : g_state.stage;
      // The last active entry, as the list control would leave it.
      const HostListEntry& host = hosts.back();
      session.connectEvent.Reset();
      if (plat::Failed(NetJoinHost(session, host.address.c_str(), host.hostPort)))
        return Fail(session, "joining the host failed");
      g_state.stage = CommandLineStage::kConnecting;
      return g_state.stage;
    }
    case CommandLineStage::kConnecting:
      if (!session.connectEvent.Wait(0)) return g_state.stage;
      if (plat::Failed(session.connectResult.load())) return Fail(session, NetJoinFailureText(session).c_str());
      return OpenLobby(kLobbyModeJoin);
    default:
      return g_state.stage;
  }
}

CommandLineStage CommandLineSessionStage() { return g_state.stage; }
