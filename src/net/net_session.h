#pragma once
// The peer-to-peer session of a networked game.
#include <cstdint>

#include "app/settings.h"

struct ScreenManager;

struct NetSession {
  NetIdentity identity;  // names and addresses from the settings and the command line
  int32_t open = 0;
  int32_t isHost = 0;
  int32_t inSession = 0;
  int32_t localSlot = 0;
};

extern NetSession g_netSession;

// Makes the session's peer; the result is ignored by start-up.
int32_t SetupNetSession(NetSession& session, int32_t lobby);
void CloseNetSession(NetSession& session);
// Starts hosting or joining as the command line asked.
void HostSession(ScreenManager& ui);
