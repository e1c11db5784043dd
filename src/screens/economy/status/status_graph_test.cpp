// The comparison chart's bars, read back from the back buffer, and the
// region list's font.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "screens/economy/status/status_graph_panels.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kGdpSeries = 1, kTreasurySeries = 7;
constexpr uint32_t kBlack = 0xFF000000u;

class GraphDrawTest : public gfxtest::GlRendererTest {};

TEST_F(GraphDrawTest, BarsAreScaledToTheLargestAndDrawnInTheRegionsColour) {
  GlobalGuard<PlayerRecord[kMaxPlayers]> players(g_world.players);
  GlobalGuard<GameState> state(g_world.gameState);
  GlobalGuard<UiOptions> options(g_uiOptions);
  g_world.gameState.highestPlayer = 3;
  for (int p = 1; p <= 3; ++p) g_world.players[p].kind = kKindComputer;
  g_world.players[1].gdpPerCapita = 100.0f, g_world.players[2].gdpPerCapita = 50.0f;
  g_world.players[1].treasury = -5.0f, g_world.players[2].treasury = -1.0f, g_world.players[3].treasury = -2.0f;
  g_uiOptions.playercolor[1] = 0xFF3366CC, g_uiOptions.playercolor[2] = 0xFFFFFFFF;
  const plat::Rect chart{10, 10, 110, 80};  // rows of 10 from y = 11
  auto barLength = [](const gfxtest::Image& image, uint32_t y) {
    int32_t n = 0;
    for (uint32_t x = 0; x < image.width; ++x) n += image.At(x, y) != kBlack;
    return n;
  };

  ClearTo(kBlack);
  DrawGraphBars(g_world, kGdpSeries, chart, 10, g_renderer);
  FlushAllDrawing(g_renderer);
  gfxtest::Image image = Read();
  EXPECT_EQ(barLength(image, 15), 98) << "the largest value spans R - L - 2";
  EXPECT_EQ(barLength(image, 25), 49);
  EXPECT_EQ(barLength(image, 35), 0) << "a region without GDP";
  // 0x9F of 0x33, 0x66 and 0xCC over black.
  const uint32_t bar = image.At(20, 15);
  EXPECT_LE(std::abs(gfxtest::Channel(bar, 16) - 0x33 * 0x9F / 0xFF), 1);
  EXPECT_LE(std::abs(gfxtest::Channel(bar, 8) - 0x66 * 0x9F / 0xFF), 1);
  EXPECT_LE(std::abs(gfxtest::Channel(bar, 0) - 0xCC * 0x9F / 0xFF), 1);

  ClearTo(kBlack);
  DrawGraphBars(g_world, kTreasurySeries, chart, 10, g_renderer);
  FlushAllDrawing(g_renderer);
  image = Read();
  for (uint32_t y : {15u, 25u, 35u}) EXPECT_EQ(barLength(image, y), 0) << "every treasury is negative";
}

TEST(GraphList, RowsTakeTheSmallFontPastTwelveRegions) {
  GlobalGuard<GameState> state(g_world.gameState);
  std::unique_ptr<Screen> graph = MakeGraphPopup();
  controltest::PanelForm form(*graph, "GRAPH1", {"LIST1", "GRAPHNAME"}, {}, {"LIST1"});
  graph->BindControls();
  ListBoxControl* list = form.List("LIST1");
  ASSERT_NE(list, nullptr);
  for (auto [highest, font] : {std::pair{12, kGraphSmallFont}, std::pair{11, kGraphListFont}}) {
    g_world.gameState.highestPlayer = highest;
    graph->Refresh();
    EXPECT_EQ(list->prototype->fontSlot, static_cast<uint32_t>(font)) << highest;
  }
}

}  // namespace
