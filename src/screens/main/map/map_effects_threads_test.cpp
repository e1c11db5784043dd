// The turn thread adds map effects while the interface thread draws, ages
// and deletes them: the ring stays whole and ends empty.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "screens/main/map/map_effects.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "ui/screen_manager.h"
#include "world/world.h"

TEST(MapEffectsThreadsTest, ProducerAndFramesEndEmpty) {
  const bool made = !WorldLocksExist(g_world);
  if (made) WorldInitLocks(g_world);
  MapView view;
  std::atomic<bool> done{false};
  std::thread producer([&] {
    for (int i = 0; i < 10000; ++i) AddMapEffect(view, PackHex(i % 40, i % 20), 0, 0, 0, 1 + i % 4, 1 + i % 3, ~0u, 1.0f);
    done = true;
  });
  for (uint32_t tick = 0; !done || CountMapEffects(view); tick += 2) {
    g_ui.nowTick = tick;
    DrawMapEffects(view);
  }
  producer.join();
  EXPECT_EQ(view.effects, nullptr);
  g_ui.nowTick = 0;
  if (made) WorldDeleteLocks(g_world);
}
