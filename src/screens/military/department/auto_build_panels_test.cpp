// The auto-build panels post the focus values and the missile masks as the
// controls stand.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/military/department/auto_build_panels.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/slide_bar.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;

using Args = std::tuple<uint32_t, uint8_t, uint32_t, uint32_t, uint32_t, uint32_t>;

Args OnlyPosted() {
  const std::vector<GameCommand> log = g_commandLog.Entries();
  EXPECT_EQ(log.size(), 1u);
  if (log.empty()) return {};
  return {log[0].id, log[0].player, log[0].arg24, log[0].arg28, log[0].arg32, log[0].arg36};
}

TEST(AutoBuildPanelsTest, TheSlidersAndButtonsPostTheirValuesTogether) {
  const GlobalGuard<GameState> state(g_world.gameState);
  const GlobalGuard<PlayerRecord> local(g_world.players[kLocal]);
  g_world.gameState.localPlayer = kLocal;
  g_commandLog.Clear();

  std::unique_ptr<Screen> focus = MakeAutoBuildFocusPanel();
  controltest::PanelForm focusForm(*focus, "MIL1_ss1b", {});
  SlideBarControl* bars[2] = {};
  const char* const tags[] = {"FOCUSSLDR", "FOCUSSLDR2"};
  const int32_t values[] = {30, 70};
  for (int i = 0; i < 2; ++i) {
    bars[i] = new SlideBarControl(controltest::Init(tags[i], focus.get(), 0, 0, 100, 10), SlideBarInit{});
    ControlAddChild(focusForm.root, bars[i]);
    SliderSetMaxInt(bars[i], 100);
    SliderSetValueInt(bars[i], values[i]);
  }
  focus->OnControlChange(bars[0], 0);
  EXPECT_EQ(OnlyPosted(), Args(kCmdAutoBuildValues, kLocal, 0, 30, 70, 0));

  // Buttons 2000, 2002 and 2007 pressed: masks 0b101 and 0b0100. A form
  // without button 2003 posts its bit as 0.
  struct Row { std::vector<int32_t> ids; std::vector<int32_t> pressed; uint32_t a, b; };
  const Row rows[] = {
      {{2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008}, {2000, 2002, 2007}, 5, 4},
      {{2000, 2001, 2002, 2004, 2005, 2006, 2007, 2008}, {2000, 2001, 2004, 2008}, 0b10011, 0b1000},
  };
  for (const Row& r : rows) {
    AutoBuildStatusPanel status;
    controltest::PanelForm form(status, "MIL1_ss1b1", {}, r.ids);
    for (int32_t id : r.pressed) form[id]->state |= kStateSelected;
    g_commandLog.Clear();
    status.OnCommand(form[2000], 2000);
    EXPECT_EQ(OnlyPosted(), Args(kCmdAutoBuildMissiles, kLocal, 0, r.a, r.b, 0)) << r.a;
  }
  g_commandLog.Clear();
}

}  // namespace
