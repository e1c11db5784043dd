#include "world/id_lookups.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {

UnitRecord* Add(World& w, uint32_t id) {
  auto* u = new UnitRecord{};
  u->id = id;
  InsertUnitInRing(w, *u);
  return u;
}

TEST(IdLookups, UnitsAreFoundAndAnIdOfZeroFindsNothing) {
  auto w = std::make_unique<World>();
  EXPECT_EQ(FindUnitById(*w, 5), nullptr);
  UnitRecord* a = Add(*w, 5);
  UnitRecord* b = Add(*w, 0x03000007);
  EXPECT_EQ(FindUnitById(*w, 5), a);
  EXPECT_EQ(FindUnitById(*w, 5), a);  // remembered
  EXPECT_EQ(FindUnitById(*w, 0x03000007), b);
  EXPECT_EQ(FindUnitById(*w, 6), nullptr);
  EXPECT_EQ(FindUnitById(*w, 0), nullptr);
}

// The remembered unit is freed and its id comes back on a new unit: the
// lookup finds the new one and never touches the freed record (the address
// sanitizer would see it).
TEST(IdLookups, AnIdDeletedAndReusedFindsTheNewUnit) {
  auto w = std::make_unique<World>();
  Add(*w, 1);
  UnitRecord* old = Add(*w, 0x02000009);
  Add(*w, 0x02000010);
  ASSERT_EQ(FindUnitById(*w, 0x02000009), old);
  RemoveUnitFromMap(*w, *old);
  delete old;
  EXPECT_EQ(FindUnitById(*w, 0x02000009), nullptr);
  UnitRecord* reborn = Add(*w, 0x02000009);
  EXPECT_EQ(FindUnitById(*w, 0x02000009), reborn);

  // Freed without leaving the ring first (the game data going), then made again.
  ASSERT_EQ(FindUnitById(*w, 0x02000010), reborn->next);
  FreeGameData(*w);
  UnitRecord* fresh = Add(*w, 0x02000010);
  EXPECT_EQ(FindUnitById(*w, 0x02000010), fresh);
}

TEST(IdLookups, AResultFoundInOneWorldIsNotHandedOutForAnother) {
  auto w1 = std::make_unique<World>();
  auto w2 = std::make_unique<World>();
  UnitRecord* a = Add(*w1, 42);
  EXPECT_EQ(FindUnitById(*w1, 42), a);
  EXPECT_EQ(FindUnitById(*w2, 42), nullptr);
}

TEST(IdLookups, EachThreadRemembersItsOwn) {
  auto w = std::make_unique<World>();
  UnitRecord* a = Add(*w, 10);
  UnitRecord* b = Add(*w, 11);
  UnitRecord* seen = nullptr;
  EXPECT_EQ(FindUnitById(*w, 10), a);
  std::thread other([&] { seen = FindUnitById(*w, 11); });
  other.join();
  EXPECT_EQ(seen, b);
  EXPECT_EQ(FindUnitById(*w, 10), a);
}

TEST(IdLookups, ProjectsAreLookedUpInTheListOfTheIdsPlayer) {
  auto w = std::make_unique<World>();
  auto* e = NewZeroed<ProjectEntry>();
  e->id = 0x04000003;
  w->projectLists[4].Append(e);
  auto* elsewhere = NewZeroed<ProjectEntry>();
  elsewhere->id = 0x05000003;
  w->projectLists[4].Append(elsewhere);  // filed under the wrong player: not found by its id
  EXPECT_EQ(FindProjectById(*w, 0x04000003), e);
  EXPECT_EQ(FindProjectById(*w, 0x05000003), nullptr);
  EXPECT_EQ(FindProjectById(*w, 0x40000003), nullptr);  // no player 64
  DeleteZeroed(e);
  EXPECT_EQ(FindProjectById(*w, 0x04000003), nullptr);
  auto* again = NewZeroed<ProjectEntry>();
  again->id = 0x04000003;
  w->projectLists[4].Append(again);
  EXPECT_EQ(FindProjectById(*w, 0x04000003), again);
}

TEST(IdLookups, RecurringItemsByTheirLastWord) {
  auto w = std::make_unique<World>();
  RecurringItem* items[3];
  for (int i = 0; i < 3; ++i) {
    items[i] = NewZeroed<RecurringItem>();
    SetRecurringItemId(*items[i], 0x700 + static_cast<uint32_t>(i));
    if (w->recurringItems)
      w->recurringItems->Append(items[i]);
    else
      w->recurringItems = items[i];
  }
  EXPECT_EQ(items[1]->fields[52], 0x01);
  EXPECT_EQ(items[1]->fields[53], 0x07);
  EXPECT_EQ(FindRecurringItemById(*w, 0x702), items[2]);
  EXPECT_EQ(FindRecurringItemById(*w, 0x701), items[1]);
  EXPECT_EQ(FindRecurringItemById(*w, 0x703), nullptr);
  DeleteZeroed(items[1]);
  EXPECT_EQ(FindRecurringItemById(*w, 0x701), nullptr);
}

}  // namespace
