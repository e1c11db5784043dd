#pragma once
// For tests that watch which news the unit code posts: a message-type table
// of its own in which the given types are enabled news-only (below the news
// threshold, so nothing is filed), each region's per-type record of the day
// a type last passed, and the interface options, all put back when the
// guard ends.
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "world/text/rule_tables.h"
#include "world/text/ui_options.h"

class NewsTypesGuard {
 public:
  explicit NewsTypesGuard(std::initializer_list<uint32_t> ids, size_t types = 400) : types_(types) {
    saved_ = std::move(g_ruleTables.messageTypes);
    savedOptions_ = g_uiOptions;
    MessageTypeTable& table = g_ruleTables.messageTypes;
    table = MessageTypeTable{};
    table.records.resize(types);
    ClearDays();
    for (const uint32_t id : ids) EnableNewsOnly(table.records[id]);
    g_uiOptions.newslevel = 100;
  }
  ~NewsTypesGuard() {
    g_ruleTables.messageTypes = std::move(saved_);
    g_uiOptions = savedOptions_;
  }
  NewsTypesGuard(const NewsTypesGuard&) = delete;
  NewsTypesGuard& operator=(const NewsTypesGuard&) = delete;

  // Forgets every day a type passed, for the next row of a table.
  void ClearDays() {
    for (auto& states : g_ruleTables.messageTypes.playerMessageState) states.assign(types_, PlayerMessageState{});
  }
  // Whether the type reached the player on that day.
  static bool PostedOn(int player, uint32_t id, uint32_t day) {
    return g_ruleTables.messageTypes.playerMessageState[player][id].lastDay == day;
  }
  // Every type of the table enabled, for a test that all the news a step
  // posts is what it expects.
  void EnableAll() {
    for (MessageTypeRecord& r : g_ruleTables.messageTypes.records) EnableNewsOnly(r);
  }
  // The types that reached the player on that day (not day 0: every type
  // not yet posted has that day), by id.
  static std::vector<uint32_t> PostedTypesOn(int player, uint32_t day) {
    std::vector<uint32_t> ids;
    const auto& states = g_ruleTables.messageTypes.playerMessageState[player];
    for (uint32_t id = 0; id < states.size(); ++id)
      if (states[id].lastDay == day) ids.push_back(id);
    return ids;
  }

 private:
  static void EnableNewsOnly(MessageTypeRecord& r) {
    r.flags = 2;
    r.enabled = 1;
    r.frequencyKind = 0;
  }
  size_t types_;
  MessageTypeTable saved_;
  UiOptions savedOptions_;
};
