#pragma once
// Tests stand in for the interface's map view: while one of these lives the
// object-hex hooks record what the world publishes; afterwards they are as
// before.
#include <cstdint>

#include "world/object_hex.h"

struct PublishedHexes {
  const HexCell* cell = nullptr;
  const HexCell* viewCell = nullptr;
  int32_t leadClass = 0;
  int clears = 0;
};

class RecordPublishedHexes {
 public:
  RecordPublishedHexes() : saved_(g_objectHexHooks) {
    s_seen = PublishedHexes{};
    g_objectHexHooks.cleared = [] { s_seen = PublishedHexes{nullptr, nullptr, 0, s_seen.clears + 1}; };
    g_objectHexHooks.currentHexSet = [](const HexCell* cell, int32_t leadClass) {
      s_seen.cell = cell;
      s_seen.leadClass = leadClass;
    };
    g_objectHexHooks.currentCellSet = [](const HexCell* cell) { s_seen.cell = cell; };
    g_objectHexHooks.viewHexSet = [](const HexCell* cell) { s_seen.viewCell = cell; };
  }
  ~RecordPublishedHexes() { g_objectHexHooks = saved_; }
  RecordPublishedHexes(const RecordPublishedHexes&) = delete;
  RecordPublishedHexes& operator=(const RecordPublishedHexes&) = delete;

  const PublishedHexes* operator->() const { return &s_seen; }

 private:
  static inline PublishedHexes s_seen;
  ObjectHexHooks saved_;
};
