// The operations page: the alert's effects, the satellites and spending it
// shows, and the initiative slider's two commands.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/operations/operations_screen.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/slide_bar.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;

constexpr int kLocal = 1;

class OperationsScreenTest : public militarytest::LocalRegionTest<kLocal, 0> {};

TEST_F(OperationsScreenTest, ThePageShowsTheAlertEffectsSatellitesAndSpending) {
  TestSheet sheet;
  sheet.Texts({"DEFCON", "BUILD", "EFFPLUS", "SPENDING"});
  for (int32_t id : kOperationsSatelliteIds) sheet.Add(nullptr, id);
  // want: DEFCON|BUILD|EFFPLUS|26|27|28|SPENDING
  struct Row { uint8_t govtype; int32_t defcon; uint16_t inOrbit0; bool available1; float divisor; const char* want; };
  const Row rows[] = {
      {0, 4, 0, true, 1.0f, "1|120 %| 20 %|N/A|0|3|$ 730,000"},
      {0, 2, 2, false, 365.0f, "3|100 %| 10 %|2|N/A|3|$ 2,000"},
      // A settings file may store 5: the page shows the highest alert.
      {0, 5, 0, false, 1.0f, "1|120 %| 20 %|N/A|N/A|3|$ 730,000"},
  };
  for (const Row& r : rows) {
    OperationsFigures f;
    f.governmentType = r.govtype;
    f.defcon = r.defcon;
    f.satellites[0] = r.inOrbit0;
    f.satellites[2] = 3;
    f.satelliteAvailable[1] = r.available1;
    f.intelBaseCost = 365000.0f;
    f.milspendintel = 2.0f;
    FillOperationsPage(sheet.root, f, r.divisor);
    std::string got;
    for (const char* tag : {"DEFCON", "BUILD", "EFFPLUS"}) got += sheet.Text(tag) + "|";
    for (int32_t id : kOperationsSatelliteIds) got += sheet.Text(id) + "|";
    got += sheet.Text("SPENDING");
    EXPECT_EQ(got, r.want) << r.defcon;
  }
}

TEST_F(OperationsScreenTest, TheInitiativeSliderPostsBothInitiatives) {
  g_world.players[kLocal].displayPolicy.milinitiativeoff = 10;
  TestSheet sheet;
  auto* bar = sheet.Add<SlideBarControl>("OFFSLDR");
  sheet.Add("OFFDESC");
  OperationsScreen page;
  page.currentForm = sheet.root;
  SliderSetMaxInt(bar, 100);
  SliderSetValueInt(bar, 70);
  page.OnControlChange(bar, 0);
  page.currentForm = nullptr;
  EXPECT_EQ(militarytest::TakePosted(),
            (militarytest::Posted{{kCmdMilInitiativeOff, 0u, 70u}, {kCmdMilInitiativeDef, 0u, 70u}}));
  EXPECT_EQ(sheet.Text("OFFDESC"), "70");
}

}  // namespace
