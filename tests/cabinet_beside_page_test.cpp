// In a game of the sample scenario the region's cabinet is of its own
// people, and a department whose minister holds the seat opens with the
// department's cabinet beside it; an empty seat leaves the page alone.
#include <gtest/gtest.h>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/player_record.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "world/data_tables.h"
#include "world/text/policy_fields.h"
#include "world/game_speed.h"
#include "world/world.h"

namespace {

// The region a person belongs to, in the people sheet's second column.
constexpr size_t kPersonRegionAt = 1;

TEST(CabinetBesidePage, ASeatedMinistersDepartmentShowsItsCabinetInItsPagesCabinetBox) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  // The cabinet the game opens with is the region's own: each seated
  // minister is one of its people (the region the people sheet gives).
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord& own = w.players[w.gameState.localPlayer];
    for (int post = 0; post < kCabinetPosts; ++post) {
      const CabinetPolicy& seat = own.displayPolicy.cabinetPolicy[post];
      if (CabinetId(seat, 0) == 0) continue;
      const size_t person = CabinetId(seat, 1);
      ASSERT_LT(person * kPeopleEntrySize + kPersonRegionAt, w.people.size());
      EXPECT_EQ(w.people[person * kPeopleEntrySize + kPersonRegionAt], own.number) << "post " << post;
    }
  }
  // Panel, its key, its page; the cabinet post is the panel less 2.
  struct Row {
    int32_t panel, key;
    Screen* page;
    bool seated;
  } rows[] = {{4, 5, &s.diplomacyScreen, true}, {2, 3, &s.operationsScreen, true},         {3, 4, &s.militaryScreen, true},
              {7, 8, &s.policyScreen, true}, {4, 5, &s.diplomacyScreen, false}, {3, 4, &s.militaryScreen, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "panel " << r.panel << " seated " << r.seated);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      w.players[w.gameState.localPlayer].displayPolicy.cabinetPolicy[r.panel - 2].bytes[0] = r.seated ? 1 : 0;
    }
    SampleGame::PressKey(plat::kVkF1 + r.key - 1);
    ASSERT_NE(r.page->currentForm, nullptr);
    Control* box = FormFindControlByTag(r.page->currentForm, "PARENT1");
    ASSERT_NE(box, nullptr);
    const Control* cabinet = s.cabinetPages[static_cast<size_t>(r.panel - 2)].currentForm;
    ASSERT_NE(cabinet, nullptr);
    EXPECT_EQ(box->Hidden(), !r.seated);
    if (!r.seated) continue;
    EXPECT_TRUE(cabinet->parent == box && box->firstChild == cabinet);
    // Beside the page: in the slot of the dock's next level.
    EXPECT_EQ(ControlAbsoluteRect(cabinet).left, ControlAbsoluteRect(g_ui.bottomBoxes[2]).left);
    // A second level opening over that slot covers the cabinet until it closes.
    SetPanelDepth(2, 1, *g_ui.mapView);
    EXPECT_TRUE(box->Hidden());
    SetPanelDepth(1, 1, *g_ui.mapView);
    EXPECT_FALSE(box->Hidden());
  }
}

}  // namespace
