// The wages panel: the standard button's two posts, the bars' scale and
// the cost total.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/military/department/military_figures.h"
#include "screens/common/military_test_support.h"
#include "screens/military/operations/military_wages_panel.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/slide_bar.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;

constexpr int kLocal = 1;

TEST(MilitaryWagesPanelTest, TheStandardButtonPostsBothLevelsOnlyWhenSwitchedOn) {
  const GlobalGuard<GameState> state(g_world.gameState);
  const GlobalGuard<PlayerRecord> local(g_world.players[kLocal]);
  g_world.gameState.localPlayer = kLocal;
  std::unique_ptr<Screen> panel = MakeMilitaryWagesPanel();
  TestSheet sheet;
  Control* button = sheet.Add("MILLOCK");
  sheet.Texts({"NEWMILWAGES", "NEWMILEFF"});
  for (const char* tag : {"WAGESLDR", "EFFSLDR"}) {
    auto* bar = sheet.Add<SlideBarControl>(tag);
    bar->exponent = 2;
    bar->owner = panel.get();
  }
  panel->currentForm = sheet.root;
  struct Row { bool on; std::vector<uint32_t> want; };
  const Row rows[] = {{false, {}}, {true, {kCmdMilSpendSalary, kCmdMilSpendMaint}}};
  for (const Row& r : rows) {
    for (const char* tag : {"WAGESLDR", "EFFSLDR"}) {
      auto* bar = static_cast<SlideBarControl*>(sheet.Find(tag));
      SliderSetMaxFloat(bar, 4.0f);
      SliderSetValueFloat(bar, 2.0f);
    }
    button->state = r.on ? kStateSelected : 0;
    g_commandLog.Clear();
    panel->OnCommand(button, 0);
    // The bar posts what it reads back: 1.0 within one step of its travel.
    std::vector<uint32_t> posted;
    for (const GameCommand& c : g_commandLog.Entries()) {
      posted.push_back(c.id);
      EXPECT_NEAR(std::bit_cast<float>(c.arg28), 1.0f, 1e-3) << c.id;
    }
    EXPECT_EQ(posted, r.want) << r.on;
  }
  g_commandLog.Clear();
  EXPECT_NEAR(g_world.players[kLocal].displayPolicy.milspendmaint, 1.0f, 1e-3);
  panel->currentForm = nullptr;
}

TEST(MilitaryWagesPanelTest, TheBarsReadTheStandardAtMidTravel) {
  struct Row { float maximum; float want; };
  for (const Row& r : {Row{4.0f, 1.0f}, Row{0.2f, 0.05f}}) {
    SlideBarControl bar;
    bar.exponent = 2;
    SliderSetMaxFloat(&bar, r.maximum);
    SliderSetPosition(&bar, 5000);
    EXPECT_NEAR(SliderGetValueFloat(&bar), r.want, 1e-6) << r.maximum;
  }
}

TEST(MilitaryWagesPanelTest, TheTotalLeavesOutTrainingAndBuilding) {
  TestSheet sheet;
  sheet.Texts({"NEWMILWAGES", "COSTTRAIN", "COSTTOTAL"});
  MilitaryFigures f{.salaryBaseCost = 100000.0f, .milspendsalary = 1.0f, .maintenanceBaseCost = 20000.0f,
                    .milspendmaint = 0.5f, .readinessValue = 5000.0f, .trainingCostDaily = 100.0f,
                    .buildCostDaily = 200.0f};
  FillMilitaryWages(sheet.root, f, 1.0f);
  EXPECT_EQ(sheet.Text("COSTTRAIN"), "$ 36,500");
  EXPECT_EQ(sheet.Text("COSTTOTAL"), "$ 115,000");
}

}  // namespace
