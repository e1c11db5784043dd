#pragma once
// For tests that watch which news the unit code posts: a message-type table
// of its own in which the given types are enabled news-only (below the news
// threshold, so nothing is filed), each region's per-type record of the day
// a type last passed, and the interface options, all put back when the
// guard ends.
#include <cstdint>
#include <initializer_list>
#include <utility>

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
    for (const uint32_t id : ids) {
      MessageTypeRecord& r = table.records[id];
      r.flags = 2;
      r.enabled = 1;
      r.frequencyKind = 0;
    }
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

 private:
  size_t types_;
  MessageTypeTable saved_;
  UiOptions savedOptions_;
};
