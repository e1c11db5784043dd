// The one rule for the local region: its record when the index names a
// slot, none otherwise (never region 0 in its place).
#include "world/local_player.h"

#include <gtest/gtest.h>

#include <memory>

#include "records/player_record.h"
#include "world/world.h"

namespace {

TEST(LocalPlayer, TheIndexNamesASlotOrThereIsNone) {
  auto world = std::make_unique<World>();
  const struct {
    int32_t local;
    int32_t index;
  } cases[] = {{0, 0}, {1, 1}, {kMaxPlayers - 1, kMaxPlayers - 1}, {-1, -1}, {kMaxPlayers, -1}, {1000, -1}};
  for (const auto& c : cases) {
    world->gameState.localPlayer = c.local;
    EXPECT_EQ(LocalPlayerIndex(*world), c.index) << c.local;
    const World& view = *world;
    EXPECT_EQ(LocalPlayer(*world), c.index < 0 ? nullptr : &world->players[c.index]) << c.local;
    EXPECT_EQ(LocalPlayer(view), c.index < 0 ? nullptr : &world->players[c.index]) << c.local;
  }
}

}  // namespace
