// The upgrade the refit panel previews along a class's chain of successors.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "screens/military/unit_refit_panels.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 0;

// Classes 1 (K0), 2 (K1) and 3 (K2) chained; 1 available per row, 2
// buildable (region and level fit) or not, 3 never buildable (its level is
// above the player's).
TEST(UnitRefitChain, TheFarthestHeldClassElseTheFarthestBuildable) {
  World& w = g_world;
  GlobalGuard<GameState> state{w.gameState};
  GlobalGuard<std::vector<UnitClassRecord>> classes{w.unitClasses};
  GlobalGuard<std::vector<uint8_t>> rows{w.designRows};
  GlobalGuard<PlayerRecord> player{w.players[kLocal]};
  GlobalGuard<int32_t> mode{g_ui.mode};
  w.gameState.localPlayer = kLocal;
  w.gameState.designRowBytes = 4;
  w.designRows.assign(4 * 32, 0);
  w.players[kLocal].classMask = 1, w.players[kLocal].techLevel = 2.0f;
  w.unitClasses.assign(4, UnitClassRecord{});
  for (int c = 1; c <= 3; ++c) {
    std::strcpy(w.unitClasses[c].name, "K");
    w.unitClasses[c].successor = static_cast<int16_t>(c < 3 ? c + 1 : 0);
    w.unitClasses[c].availability = 1;
  }
  w.unitClasses[3].level = 5;
  const struct {
    uint8_t k1, k2;
    int32_t preview;
  } cases[] = {{1, 1, 3}, {1, 0, 2}, {0, 0, 2}, {0x10, 0, 0}};
  for (const auto& r : cases) {
    w.designRows[2] = r.k1, w.designRows[3] = r.k2;
    EXPECT_EQ(RefitUpgradeClass(w, 1, kLocal), r.preview) << int(r.k1) << " " << int(r.k2);
  }
  // A chain that comes back to itself still ends.
  w.unitClasses[3].successor = 1;
  w.designRows[2] = 1;
  EXPECT_EQ(RefitUpgradeClass(w, 1, kLocal), 2);
}

}  // namespace
