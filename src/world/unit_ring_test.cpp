#include "world/unit_ring.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/world.h"

namespace {

std::vector<uint32_t> RingIds(const World& w) {
  std::vector<uint32_t> ids;
  for (UnitRecord* u = w.units; u;) {
    ids.push_back(u->id);
    u = u->next;
    if (u == w.units) break;
  }
  return ids;
}

UnitRecord* Add(World& w, uint32_t id) {
  auto* u = new UnitRecord{};
  u->id = id;
  InsertUnitInRing(w, *u);
  return u;
}

TEST(UnitRing, KeptInAscendingIdOrderFromTheHead) {
  auto w = std::make_unique<World>();
  for (uint32_t id : {5u, 3u, 9u, 4u}) Add(*w, id);
  EXPECT_EQ(RingIds(*w), (std::vector<uint32_t>{3, 4, 5, 9}));
  EXPECT_EQ(w->units->prev->id, 9u);
  // Ids compare unsigned; an equal id goes after the one already there.
  UnitRecord* high = Add(*w, 0x80000000u);
  UnitRecord* again = Add(*w, 5);
  EXPECT_EQ(RingIds(*w), (std::vector<uint32_t>{3, 4, 5, 5, 9, 0x80000000u}));
  EXPECT_EQ(again->prev->id, 5u);
  EXPECT_NE(again->prev, again);
  EXPECT_EQ(w->units->prev, high);
}

TEST(UnitRing, RemovalMovesTheHeadAndEmptiesTheHex) {
  auto w = std::make_unique<World>();
  w->mapHeader.width = 4;
  w->mapHeader.height = 3;
  w->cells.assign(12, HexCell{});
  UnitRecord* a = Add(*w, 7);
  UnitRecord* b = Add(*w, 8);
  a->x = 1;
  a->y = 2;
  auto* stack = new HexUnitStack{};
  stack->lead = a;
  w->cells[2 * 4 + 1].stack = stack;
  const uint32_t epoch = g_unitRecordEpoch.load();
  RemoveUnitFromMap(*w, *a);
  EXPECT_TRUE(a->unitFlags & kUnitGone);
  EXPECT_EQ(stack->lead, nullptr);
  EXPECT_EQ(w->units, b);
  EXPECT_EQ(RingIds(*w), std::vector<uint32_t>{8});
  EXPECT_EQ(a->next, nullptr);
  EXPECT_NE(g_unitRecordEpoch.load(), epoch);
  delete a;
  RemoveUnitFromMap(*w, *b);
  EXPECT_EQ(w->units, nullptr);
  delete b;
}

TEST(UnitRing, HexOfAUnitWrapsColumnsAndNotRows) {
  auto w = std::make_unique<World>();
  w->mapHeader.width = 4;
  w->mapHeader.height = 3;
  w->cells.assign(12, HexCell{});
  UnitRecord u{};
  EXPECT_EQ(UnitHexCell(*w, u), nullptr);  // (0, 0) is no position
  u.x = -1;
  u.y = 1;
  EXPECT_EQ(UnitHexCell(*w, u), &w->cells[1 * 4 + 3]);
  u.x = 4;
  EXPECT_EQ(UnitHexCell(*w, u), &w->cells[1 * 4 + 0]);
  u.y = 3;
  EXPECT_EQ(UnitHexCell(*w, u), nullptr);
}

}  // namespace
