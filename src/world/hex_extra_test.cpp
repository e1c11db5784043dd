#include "world/hex_extra.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "records/hex_unit_stack.h"
#include "world/map_data.h"
#include "world/world.h"

namespace {

TEST(HexExtra, ImageOffsets) {
  HexExtraImage image{};
  image.text = 0x11223344;
  image.byte9 = 9;
  image.x = -2;
  image.y = 300;
  image.pairB[1] = 0x37;
  uint8_t bytes[48];
  EncodeHexExtra(image, bytes);
  EXPECT_EQ(bytes[0], 0x44);
  EXPECT_EQ(bytes[3], 0x11);
  EXPECT_EQ(bytes[9], 9);
  EXPECT_EQ(bytes[12], 0xFE);
  EXPECT_EQ(bytes[13], 0xFF);
  EXPECT_EQ(bytes[14], 300 & 0xFF);
  EXPECT_EQ(bytes[15], 300 >> 8);
  EXPECT_EQ(bytes[37], 0x37);
  HexExtraImage back;
  DecodeHexExtra(bytes, back);
  EXPECT_EQ(back.x, -2);
  EXPECT_EQ(back.y, 300);
}

// Eight threads ask for the extras of the same cells at once: each cell ends
// with exactly one, and every thread was handed that one.
TEST(HexExtra, ConcurrentFirstUseMakesOnePerCell) {
  World world;
  WorldInitLocks(world);
  world.mapHeader.width = 16;
  world.mapHeader.height = 8;
  world.mapHeader.cellCount = 128;
  world.cells.assign(128, HexCell{});
  constexpr int kThreads = 8;
  std::vector<std::vector<HexExtra*>> seen(kThreads, std::vector<HexExtra*>(128));
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ready.fetch_add(1);
      while (ready.load() < kThreads) std::this_thread::yield();
      for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 128; ++i) {
          const int cell = (t % 2) ? 127 - i : i;
          HexExtra* extra = GetHexExtra(world, world.cells[cell]);
          if (round == 0)
            seen[t][cell] = extra;
          else if (seen[t][cell] != extra)
            seen[t][cell] = nullptr;
        }
    });
  }
  for (auto& th : threads) th.join();
  for (int i = 0; i < 128; ++i) {
    ASSERT_NE(world.cells[i].stack, nullptr);
    HexExtra* extra = world.cells[i].stack->extra;
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->x, i % 16);
    EXPECT_EQ(extra->y, i / 16);
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(seen[t][i], extra) << "thread " << t << " cell " << i;
  }
  FreeMapData(world);
  WorldDeleteLocks(world);
}

TEST(HexExtra, ExistingStackGetsItsExtra) {
  World world;
  world.mapHeader.width = 4;
  world.mapHeader.height = 2;
  world.cells.assign(8, HexCell{});
  HexUnitStack* stack = MakeHexStack(world.cells[6]);
  HexExtra* extra = GetHexExtra(world, world.cells[6]);
  EXPECT_EQ(world.cells[6].stack, stack);
  EXPECT_EQ(stack->extra, extra);
  EXPECT_EQ(extra->x, 2);
  EXPECT_EQ(extra->y, 1);
  EXPECT_EQ(GetHexExtra(world, world.cells[6]), extra);
}

}  // namespace
