// The region list's row: its layout by width and its relation marker or
// belligerence slider.
#include "screens/diplomacy/dip_player_list.h"

#include <gtest/gtest.h>

#include <tuple>

#include "records/player_record.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/slide_bar.h"
#include "world/world.h"

namespace {

class DipPlayerListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ControlAddChild(form_.root,
                    new SlideBarControl(controltest::Init("BELLISLDR", &row_, 100, 8, 40, 8), SlideBarInit{}));
    for (int p = 0; p < 4; ++p) g_world.players[p].number = static_cast<uint8_t>(p);
    g_world.gameState.localPlayer = 1;
  }
  PlayerRecord& Local() { return g_world.players[1]; }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  DipPlayerList row_;
  controltest::PanelForm form_{row_, "DIPPLAYERLIST", {"REGION", "NAME", "FLAG", "RELATION"}, {}, {"RELATION"}};
};

TEST_F(DipPlayerListTest, LaysTheRowOutByItsWidth) {
  struct Row { int32_t width; bool nameShown; int32_t nameRight, regionRight, relLeft, relTop, relRight, barLeft, barTop, barRight; };
  // The names end before the marker and the slider; a row without the
  // leader's line has them on that line, under the region's name.
  const Row rows[] = {{172, true, 144, 144, 154, 7, 166, 146, 9, 170},
                      {171, false, 40, 169, 153, 13, 165, 145, 15, 169},
                      {96, false, 40, 94, 78, 13, 90, 70, 15, 94},
                      {172, true, 144, 144, 154, 7, 166, 146, 9, 170}};
  for (const Row& r : rows) {
    form_["NAME"]->rect.right = 40;
    row_.Show(2, nullptr);
    row_.OnHostNotify(99, r.width);
    const Control* rel = form_["RELATION"];
    const Control* bar = form_["BELLISLDR"];
    EXPECT_EQ(std::tuple(form_.Shown("NAME"), form_["NAME"]->rect.right, form_["REGION"]->rect.right, rel->rect.left,
                         rel->rect.top, rel->rect.right, bar->rect.left, bar->rect.top, bar->rect.right,
                         form_.root->rect.right),
              std::tuple(r.nameShown, r.nameRight, r.regionRight, r.relLeft, r.relTop, r.relRight, r.barLeft, r.barTop,
                         r.barRight, r.width))
        << r.width;
  }
}

TEST_F(DipPlayerListTest, MarksAlliesAndEnemiesAndSlidesForTheNeutral) {
  Local().displayPolicy.friendlyMask = 1u << 3;
  Local().displayPolicy.hostileMask = (1u << 3) | (1u << 2);
  Local().belligerence[0] = 0.35f;
  struct Row { intptr_t id; bool marker; uint32_t colour; };
  // Region 2 an enemy, 3 in both masks, 1 the local region, 0 (row 100) neutral.
  const Row rows[] = {{2, true, 0xFFFF0000u}, {3, true, 0xFF00FF00u}, {1, true, 0xFF00FF00u}, {100, false, 0}};
  for (const Row& r : rows) {
    form_["RELATION"]->fills[0] = 0;
    row_.Show(r.id, nullptr);
    EXPECT_EQ(std::tuple(form_.Shown("RELATION"), form_.Shown("BELLISLDR"), form_["RELATION"]->fills[0]),
              std::tuple(r.marker, !r.marker, r.colour))
        << r.id;
  }
  EXPECT_NEAR(SliderGetValueFloat(row_.belligerence), 0.35f, 0.001f);
}

}  // namespace
