// The session's side of host discovery: the responder a host runs and the
// search that fills the host list.
#include <cstring>
#include <random>
#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "net/net_session.h"
#include "platform/clock.h"

namespace {

class HostListFeeder : public plat::DiscoveryHandler {
 public:
  explicit HostListFeeder(NetSession& session) : session_(session) {}
  void OnHostAnswer(const plat::PeerHostAnswer& answer) override {
    if (HostListAddResponse(session_.hosts, answer, plat::TickCount())) NetNotify(session_, kNetCodeHostList, 0);
  }
  void OnBadAnswer(const std::string& from, const char* why) override {
    LogDroppedMessage(0, 0, 0, (from + ": host answer " + why).c_str());
  }
  void OnSearchDone(plat::Status) override {}

 private:
  NetSession& session_;
};

// While a search runs, the main loop's idle frames age the host list every
// retry interval, and the screens hear of hosts gone quiet as of new ones.
struct HostListAgeing : IdleTask {
  NetSession* session = nullptr;
  uint32_t last = 0;
};
HostListAgeing g_ageing;

void AgeHostList(uint32_t) {
  NetSession* session = g_ageing.session;
  const uint32_t now = plat::TickCount();
  if (!session || now - g_ageing.last < kHostListRetryMs) return;
  g_ageing.last = now;
  bool changed = false;
  {
    std::lock_guard<std::mutex> hold(session->hosts.lock);
    changed = session->hosts.changed;
  }
  HostListAgeOut(session->hosts, now);
  std::lock_guard<std::mutex> hold(session->hosts.lock);
  if (session->hosts.changed && !changed) NetNotify(*session, kNetCodeHostList, 0);
}

void StartAgeing(NetSession& session) {
  g_ageing.session = &session;
  g_ageing.last = plat::TickCount();
  g_ageing.callback = AgeHostList;
  if (g_app.idleTasks && !g_ageing.linked()) g_app.idleTasks->Append(&g_ageing);
}

void StopAgeing(NetSession& session) {
  if (g_ageing.session != &session) return;
  if (g_ageing.linked()) g_ageing.Unlink();
  g_ageing.session = nullptr;
}

}  // namespace

void NetStartResponder(NetSession& session, const char* bindAddress) {
  if (session.responder) session.responder->Stop();
  session.responder = std::make_unique<plat::PeerDiscoveryResponder>();
  std::random_device seed;  // tells two sessions of one host apart; no game state
  const uint64_t instance = (static_cast<uint64_t>(seed()) << 32) | seed();
  std::string name(session.identity.sessionName, strnlen(session.identity.sessionName, plat::kDiscoveryNameSize - 1));
  if (name.empty()) name = session.identity.playerName[0] ? session.identity.playerName : "PLAYER";
  const uint16_t port = static_cast<uint16_t>(session.identity.port);
  if (plat::Failed(session.responder->Start(bindAddress, port, name, instance, port))) {
    // The session still runs; it is only not found by searching.
    LogWrite(g_platform, "NetStage: host search answers unavailable on port %u\n", static_cast<unsigned>(port));
    session.responder.reset();
    return;
  }
  NetUpdateResponder(session);
}

void NetUpdateResponder(NetSession& session) {
  if (!session.responder) return;
  const int32_t players = session.playerCount.load();
  session.responder->SetPlayers(players > 0 ? static_cast<uint32_t>(players) : 1u, session.playerLimit.load());
}

int32_t NetEnumHosts(NetSession& session, const char* address, uint16_t port) {
  NetHostListReset(session);
  {
    std::lock_guard<std::mutex> hold(session.hosts.lock);
    session.hosts.connecting = false;
    session.hosts.changed = true;
  }
  session.search = std::make_unique<plat::PeerDiscovery>();
  session.searchHandler = std::make_unique<HostListFeeder>(session);
  const int32_t status =
      session.search->Start(address ? address : "", port, kHostListRetryMs, 0, *session.searchHandler);
  if (plat::Succeeded(status)) StartAgeing(session);
  return status;
}

void NetHostListReset(NetSession& session) {
  StopAgeing(session);
  if (session.search) session.search->Cancel();
}

int32_t NetGetLocalAddresses(NetSession& session) {
  session.localAddresses = plat::LocalIpv4Addresses(kNetLocalAddressLimit);
  return static_cast<int32_t>(session.localAddresses.size());
}
