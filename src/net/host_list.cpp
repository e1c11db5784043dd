// The host list: answers merged by session instance, lines, ageing.
#include "net/host_list.h"

#include <cstdio>

std::string FormatHostLine(const std::string& sessionName, uint32_t players, uint32_t maxPlayers,
                           uint32_t roundTripMs) {
  char text[260];
  if (maxPlayers > 0) {
    std::snprintf(text, sizeof text, "%s (%u/%u) (%ums)", sessionName.c_str(), players, maxPlayers, roundTripMs);
  } else {
    std::snprintf(text, sizeof text, "%s (%u) (%ums)", sessionName.c_str(), players, roundTripMs);
  }
  return text;
}

bool HostListAddResponse(HostList& list, const plat::PeerHostAnswer& answer, uint32_t now) {
  std::lock_guard<std::mutex> hold(list.lock);
  if (list.connecting) return false;
  HostListEntry* entry = nullptr;
  for (HostListEntry& e : list.entries) {
    if (e.instance == answer.instance) entry = &e;
  }
  if (entry == nullptr) {
    list.changed = true;
    for (HostListEntry& e : list.entries) {
      if (entry == nullptr && !e.active) entry = &e;
    }
    if (entry == nullptr) entry = &*list.entries.insert(list.entries.begin(), HostListEntry{});
  }
  const std::string text = FormatHostLine(answer.sessionName, answer.players, answer.maxPlayers, answer.roundTripMs);
  if (!entry->active || entry->text != text) list.changed = true;
  entry->instance = answer.instance;
  entry->sessionName = answer.sessionName;
  entry->address = answer.address;
  entry->hostPort = answer.hostPort;
  entry->text = text;
  entry->heard = now;
  entry->active = true;
  return true;
}

void HostListAgeOut(HostList& list, uint32_t now) {
  std::lock_guard<std::mutex> hold(list.lock);
  for (HostListEntry& e : list.entries) {
    // Measured as an age, so a tick count still below the age-out keeps its hosts.
    if (e.active && now - e.heard > list.ageOut) {
      e.active = false;
      list.changed = true;
    }
  }
}

void HostListClear(HostList& list) {
  std::lock_guard<std::mutex> hold(list.lock);
  list.entries.clear();
}

std::vector<HostListEntry> HostListToControl(HostList& list) {
  std::lock_guard<std::mutex> hold(list.lock);
  list.changed = false;
  std::vector<HostListEntry> shown;
  for (const HostListEntry& e : list.entries) {
    if (e.active) shown.push_back(e);
  }
  return shown;
}
