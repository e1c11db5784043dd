#pragma once
// The list of hosts a search has heard from: one entry per session
// instance, the line the connect screen shows for it, and the ageing that
// drops hosts gone quiet. Answers arrive on the search thread; the screens
// read the list on the main thread; one lock guards both.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/peer_discovery.h"

inline constexpr uint32_t kHostListRetryMs = 1500;
inline constexpr uint32_t kHostListAgeOutMs = 3 * kHostListRetryMs;

struct HostListEntry {
  uint64_t instance = 0;
  std::string sessionName;
  std::string address;  // where the answer came from
  uint16_t hostPort = 0;
  std::string text;     // the line shown for the session
  uint32_t heard = 0;   // tick count of the last answer
  bool active = false;
};

struct HostList {
  std::mutex lock;
  std::vector<HostListEntry> entries;  // newest first
  bool changed = false;
  bool connecting = false;  // a join is under way: the list stands still
  uint32_t ageOut = kHostListAgeOutMs;
};

// "NAME (PLAYERS/MAX) (RTTms)", or "NAME (PLAYERS) (RTTms)" with no limit.
std::string FormatHostLine(const std::string& sessionName, uint32_t players, uint32_t maxPlayers,
                           uint32_t roundTripMs);
// Takes an answer heard at tick `now`; false (and nothing changes) while connecting.
bool HostListAddResponse(HostList& list, const plat::PeerHostAnswer& answer, uint32_t now);
// Drops every entry not heard from for more than the age-out time.
void HostListAgeOut(HostList& list, uint32_t now);
void HostListClear(HostList& list);
// The active entries in list order; clears the changed flag.
std::vector<HostListEntry> HostListToControl(HostList& list);
