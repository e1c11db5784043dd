// A region's panels in a game of the sample scenario: picking Eastmark in
// the department opens its relations panel under its flag; its neutrality
// switch and a restriction of all trade reach the simulation's copy of the
// policy, where the daily world market reads the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/player_record.h"
#include "screens/diplomacy/relations/trade_restriction.h"
#include "screens/screen_set.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/game_speed.h"
#include "world/text/policy_fields.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// Clicks the region's row of the department's list (scrolled into view).
void PickRegion(DiplomacyScreen& d, int32_t region) {
  int row = 0;
  for (Control* r = ListNextRow(d.regionList, nullptr); r; r = ListNextRow(d.regionList, r), ++row) {
    if (r->id != region) continue;
    SampleGame::ClickControl(d.regionList, row);
    return;
  }
  ADD_FAILURE() << "no row for region " << region;
}

// Pixels of the control's box on the back buffer within 8 of the colour.
int32_t PixelsOfColour(const Control* control, uint32_t colour) {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  if (g_renderer.device->ReadBackBuffer(&pixels, &width, &height) != plat::kOk) return -1;
  const plat::Rect box = ControlAbsoluteRect(control);
  int32_t near = 0;
  for (int32_t y = std::max(box.top, 0); y < box.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = std::max(box.left, 0); x < box.right && x < static_cast<int32_t>(width); ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
      bool close = true;
      for (int shift : {0, 8, 16}) close = close && std::abs(int((p >> shift) & 0xFF) - int((colour >> shift) & 0xFF)) <= 8;
      near += close;
    }
  return near;
}

TEST(RegionPanelsPlay, EastmarksFlagNeutralityAndTradeRefusalsReachTheSimulation) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const int32_t eastmark = SampleGame::RegionNamed("Eastmark");
  ASSERT_NE(eastmark, 0);
  const int32_t local = w.gameState.localPlayer;

  SampleGame::PressKey(plat::kVkF1 + 4);  // F5
  ASSERT_NE(s.diplomacyScreen.regionList, nullptr);
  PickRegion(s.diplomacyScreen, eastmark);
  Screen& panel = *s.regionRelations;
  ASSERT_NE(panel.currentForm, nullptr);
  ASSERT_FALSE(panel.currentForm->Hidden());
  EXPECT_EQ(panel.id % 100, eastmark);
  SampleGame::Pump();
  SampleGame::Pump();
  const Control* flag = FormFindControlByTag(panel.currentForm, "FLAG");
  ASSERT_NE(flag, nullptr);
  // The flag beside the name is a solid block of the region's colour.
  const plat::Rect box = ControlAbsoluteRect(flag);
  const int32_t side = box.bottom - box.top - 2;
  EXPECT_GE(PixelsOfColour(flag, g_uiOptions.playercolor[eastmark]), side * side);

  // Neutrality (the switch's handler: it shows only toward a neutral), and
  // every product's sales and purchases refused to Eastmark.
  Control* neutral = FormFindControlByTag(panel.currentForm, "NEUTWAR");
  ASSERT_NE(neutral, nullptr);
  SetControlFlag(neutral, kStateSelected, 1);
  panel.OnCommand(neutral, neutral->id);
  Screen& trade = *s.tradeRestriction;
  trade.Show(eastmark, nullptr);
  trade.OnCommand(nullptr, kRestrictAllSales);
  trade.OnCommand(nullptr, kRestrictAllPurchases);
  SampleGame::PlayDays(2);

  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerPolicyBlock& sim = w.players[local].simPolicy;
  EXPECT_NE(RoeRegionFlag(sim.regionPolicy[eastmark]) & 0x80000000u, 0u);
  const uint32_t bit = 1u << eastmark;
  for (int p = 0; p < kRestrictedProducts; ++p) {
    EXPECT_NE(ProductWord(sim.productPolicy[p], kProductPlayerMask) & bit, 0u) << p;
    EXPECT_NE(ProductWord(sim.productPolicy[p], kProductPlayerMask2) & bit, 0u) << p;
  }
}

}  // namespace
