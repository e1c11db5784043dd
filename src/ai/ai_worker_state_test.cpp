#include "ai/ai_worker_state.h"

#include <gtest/gtest.h>

#include <memory>

#include "world/world.h"

namespace {

class WorkerBlock : public ::testing::Test {
 protected:
  WorkerBlock() : world(std::make_unique<World>()) {}
  ~WorkerBlock() override {
    ClearAiWorkers();
    g_aiEvents.Clear();
  }
  std::unique_ptr<World> world;

  // Two workers with standing events, untaken events and lists, one with
  // nothing at all.
  static void Fill() {
    ClearAiWorkers();
    g_aiWorkers[2].standing = {{AiEvent{10, 0x00030004u, 0, 900, 0, 12, nullptr}, 2},
                               {AiEvent{11, 0x00010001u, 77, 300, 15, 0, nullptr}, 0}};
    g_aiWorkers[2].fieldUnits[0] = {0x02000001u, kStruckFieldUnit, 0x02000005u};
    g_aiWorkers[2].fieldUnits[2] = {0x02000009u};
    g_aiWorkers[30].fieldUnits[1] = {0x1E000002u};
    g_aiEvents.Push(30, new AiEvent{5, 0x00020002u, 0, 40, 1, 6, nullptr});
    g_aiEvents.Push(30, new AiEvent{6, 0x00020003u, 0, 41, 2, 6, nullptr});
  }

  static void ExpectFilled(const char* after, bool restored) {
    ASSERT_EQ(g_aiWorkers[2].standing.size(), 2u) << after;
    EXPECT_EQ(g_aiWorkers[2].standing[0].event.position, 0x00030004u) << after;
    EXPECT_EQ(g_aiWorkers[2].standing[0].event.subKind, 12) << after;
    EXPECT_EQ(g_aiWorkers[2].standing[0].assigned, 2) << after;
    EXPECT_EQ(g_aiWorkers[2].standing[1].event.third, 77u) << after;
    EXPECT_EQ(g_aiWorkers[2].standing[1].event.kind, 15) << after;
    EXPECT_EQ(g_aiWorkers[2].fieldUnits[0], (std::vector<uint32_t>{0x02000001u, kStruckFieldUnit, 0x02000005u})) << after;
    EXPECT_EQ(g_aiWorkers[2].fieldUnits[2], std::vector<uint32_t>{0x02000009u}) << after;
    EXPECT_EQ(g_aiWorkers[30].fieldUnits[1], std::vector<uint32_t>{0x1E000002u}) << after;
    EXPECT_EQ(g_aiWorkers[2].restored && g_aiWorkers[30].restored, restored) << after;
    EXPECT_FALSE(g_aiWorkers[3].restored) << after;
  }
};

TEST_F(WorkerBlock, RoundTripsAndLeavesTheUntakenEventsInTheirOrder) {
  Fill();
  const std::vector<uint8_t> block = BuildAiWorkerBlock(*world);
  ASSERT_FALSE(block.empty());
  ClearAiWorkers();
  g_aiEvents.Clear();
  std::string why;
  ASSERT_TRUE(ReadAiWorkerBlock(*world, block, true, why)) << why;
  ExpectFilled("a round trip", true);
  const std::vector<AiEvent> incoming = g_aiEvents.TakeAll(30);
  ASSERT_EQ(incoming.size(), 2u);
  EXPECT_EQ(incoming[0].tick, 6u) << "newest first, as queued";
  EXPECT_EQ(incoming[1].tick, 5u);
  // A second block from the restored state is the same bytes.
  g_aiEvents.Push(30, new AiEvent(incoming[1]));
  g_aiEvents.Push(30, new AiEvent(incoming[0]));
  EXPECT_EQ(BuildAiWorkerBlock(*world), block);
}

TEST_F(WorkerBlock, EveryCutOrGrownBlockIsRefusedAndChangesNothing) {
  Fill();
  const std::vector<uint8_t> block = BuildAiWorkerBlock(*world);
  for (size_t size = 0; size < block.size() + 2; ++size) {
    if (size == block.size()) continue;
    std::vector<uint8_t> bad(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(std::min(size, block.size())));
    bad.resize(size, 0);
    std::string why;
    // Size 0 is a save without the block, which is sound; it is not applied here.
    EXPECT_EQ(ReadAiWorkerBlock(*world, bad, false, why), size == 0) << size;
    if (size != 0) {
      EXPECT_FALSE(why.empty()) << size;
    }
  }
  std::vector<uint8_t> badPlayer = block;
  badPlayer[4] = 32;
  std::string why;
  EXPECT_FALSE(ReadAiWorkerBlock(*world, badPlayer, true, why));
  ExpectFilled("after the refusals", false);
}

TEST_F(WorkerBlock, ASaveWithoutTheBlockLeavesEveryWorkerEmpty) {
  Fill();
  std::string why;
  ASSERT_TRUE(ReadAiWorkerBlock(*world, {}, true, why));
  for (const AiWorkerState& s : g_aiWorkers) {
    EXPECT_TRUE(s.standing.empty());
    for (const auto& l : s.fieldUnits) EXPECT_TRUE(l.empty());
  }
}

}  // namespace
