// The rules page: each rule button posts its command with its state, the
// scorched-earth switch opens the chooser, a loaded rule word shows on every
// button; the chooser posts the whole target mask.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/military_test_support.h"
#include "screens/military/operations/mission_rules_panel.h"
#include "sim/command_log.h"
#include "ui/control_bits.h"
#include "ui/popup_test_support.h"

namespace {

using militarytest::TestSheet;
using Posts = std::vector<std::tuple<uint32_t, uint32_t, uint32_t>>;
using MissionRulesTest = PopupFixture;

Posts Posted() {
  Posts posted;
  for (const GameCommand& c : g_commandLog.Entries()) posted.emplace_back(c.id, c.arg24, c.arg28);
  g_commandLog.Clear();
  return posted;
}

TEST_F(MissionRulesTest, EachRuleButtonPostsItsStateAndScorchedEarthOpensTheChooser) {
  struct Row { int32_t id; uint32_t command; };
  const Row rows[] = {{1, 0x90}, {2, 0x91}, {3, 0x92}, {4, 0x93}, {11, 0x96}, {12, 0x97},
                      {13, 0x98}, {14, 0x99}, {15, 0x9a}, {16, 0xa2}, {17, 0xa1}};
  std::unique_ptr<Screen> panel = MakeMissionRulesPanel();
  g_commandLog.Clear();
  for (const Row& r : rows) {
    for (const uint32_t pressed : {1u, 0u}) {
      Control button;
      button.id = r.id;
      SetControlFlag(&button, kStateSelected, static_cast<int32_t>(pressed));
      panel->OnCommand(&button, r.id);
      EXPECT_EQ(Posted(), (Posts{{r.command, 0u, pressed}})) << r.id << " " << pressed;
      // Only scorched earth switched on opens the chooser, three deep.
      EXPECT_EQ(g_ui.panelDepth, r.id == 15 && pressed ? 3 : 0) << r.id << " " << pressed;
      SetPanelDepth(0, 1, g_mapView);
    }
  }
}

TEST(MissionRulesPanelTest, ALoadedRuleWordShowsOnEveryButton) {
  TestSheet sheet;
  for (int32_t id : kMissionRuleIds) sheet.Add(nullptr, id);
  struct Row { uint32_t flags; std::vector<int32_t> pressed; };
  const Row rows[] = {{0x1001, {11, 13}}, {0x30, {1, 15}}, {0x2006, {12, 16, 17}}, {0x3C8, {2, 3, 4, 14}}};
  for (const Row& r : rows) {
    ShowMissionRules(sheet.root, r.flags);
    std::vector<int32_t> shown;
    for (int32_t id : kMissionRuleIds)
      if (sheet.Find(id)->Selected()) shown.push_back(id);
    EXPECT_EQ(shown, r.pressed) << r.flags;
  }
}

TEST(MissionRulesPanelTest, TheChooserPostsTheWholeMaskAtEveryClick) {
  TestSheet sheet;
  for (int32_t id = 1; id <= kScorchedEarthButtons; ++id) sheet.Add(nullptr, id);
  std::unique_ptr<Screen> panel = MakeScorchedEarthPanel();
  panel->currentForm = sheet.root;
  g_commandLog.Clear();
  struct Row { int32_t clicked; uint32_t mask; };
  const Row rows[] = {{1, 0x1}, {3, 0x5}, {20, 0x80005}};
  for (const Row& r : rows) {
    SetControlFlag(sheet.Find(r.clicked), kStateSelected, 1);
    panel->OnCommand(sheet.Find(r.clicked), r.clicked);
    EXPECT_EQ(Posted(), (Posts{{kCmdRoeScorchedType, 0u, r.mask}})) << r.clicked;
  }
  panel->currentForm = nullptr;
}

}  // namespace
