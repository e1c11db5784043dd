#include "net/net_session.h"

NetSession g_netSession;

int32_t SetupNetSession(NetSession& session, int32_t) {
  session.open = 1;
  return 0;
}

void CloseNetSession(NetSession& session) {
  session.open = 0;
  session.inSession = 0;
  session.isHost = 0;
}

// Hosting and joining arrive with the network session itself.
void HostSession(ScreenManager&) {}
