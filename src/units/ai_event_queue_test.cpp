#include "units/ai_event_queue.h"

#include <gtest/gtest.h>

#include <memory>

#include "world/world.h"

namespace {

TEST(AiEventQueue, EventsAreTakenWholeNewestFirst) {
  auto world = std::make_unique<World>();
  g_aiEvents.Clear();
  world->gameState.currentTick = 77;
  QueueStackEvent(2, *world, 5, 7, 2000, 0x00030004, 0);
  world->gameState.currentTick = 78;
  QueueStackEvent(1, *world, 5, 15, 2800, 0x00050006, 0x123);
  QueueStackEvent(3, *world, 6, 1, 10000, 0x00010001, 0);
  std::vector<AiEvent> taken = g_aiEvents.TakeAll(5);
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].kind, 15);
  EXPECT_EQ(taken[0].tick, 78u);
  EXPECT_EQ(taken[0].value, 2800);
  EXPECT_EQ(taken[0].subKind, 6);
  EXPECT_EQ(taken[0].position, 0x00050006u);
  EXPECT_EQ(taken[0].third, 0x123u);
  EXPECT_EQ(taken[1].kind, 7);
  EXPECT_EQ(taken[1].tick, 77u);
  EXPECT_EQ(taken[1].subKind, 12);
  EXPECT_TRUE(g_aiEvents.TakeAll(5).empty());
  std::vector<AiEvent> other = g_aiEvents.TakeAll(6);
  ASSERT_EQ(other.size(), 1u);
  EXPECT_EQ(other[0].subKind, 18);
  // A player outside the table has no queue.
  QueueStackEvent(1, *world, 40, 1, 1, 0, 0);
  EXPECT_TRUE(g_aiEvents.TakeAll(40).empty());
}

}  // namespace
