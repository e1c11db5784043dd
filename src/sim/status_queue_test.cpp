#include "sim/status_queue.h"

#include <gtest/gtest.h>

#include <memory>

#include "world/world.h"

namespace {

TEST(StatusQueue, LinesAreTakenOldestFirstWithTheirTickAndPriority) {
  auto world = std::make_unique<World>();
  WorldInitLocks(*world);
  ClearStatusQueue(*world);
  AppendStatusLine(*world, "first", 10, 3);
  AppendStatusLine(*world, nullptr, 11, 3);  // no text, no line
  AppendStatusLine(*world, "second", 12, 20);
  EXPECT_EQ(StatusQueueOf(*world).count, 2);
  const std::vector<StatusLine> lines = TakeStatusLines(*world);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "first");
  EXPECT_EQ(lines[0].tick, 10u);
  EXPECT_EQ(lines[1].text, "second");
  EXPECT_EQ(lines[1].priority, 20u);
  EXPECT_EQ(StatusQueueOf(*world).count, 0);
  EXPECT_TRUE(TakeStatusLines(*world).empty());
  AppendStatusLine(*world, "third", 13, 1);
  ClearStatusQueue(*world);
  EXPECT_TRUE(TakeStatusLines(*world).empty());
  WorldDeleteLocks(*world);
}

}  // namespace
