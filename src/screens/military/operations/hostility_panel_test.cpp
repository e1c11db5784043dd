// The hostility and schedule pages are shown, not played: their buttons
// open boxes and post nothing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "screens/common/military_test_support.h"
#include "screens/military/operations/hostility_panel.h"
#include "screens/military/operations/ops_schedule_panels.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/list_control.h"

namespace {

using militarytest::TestSheet;

constexpr intptr_t kRegion = 6;

TEST(HostilityPanelTest, OperationButtonsOpenBoxesAndNothingIsPosted) {
  ScreenSet& s = g_screens;
  Screen* boxes[] = {&s.hostilityConfirm, &s.hostilityConfirm3, &s.hostilityConfirm4};
  const GlobalGuard<intptr_t> id1(s.hostilityConfirm.id), id3(s.hostilityConfirm3.id), id4(s.hostilityConfirm4.id), id5(s.operationProgressConfirm->id);
  const GlobalGuard<Control*> host5(s.operationProgressConfirm->host);
  for (Screen* box : boxes) box->id = 0;
  TestSheet sheet;
  HostilityPanel panel;
  panel.id = kRegion;
  panel.currentForm = sheet.root;
  panel.confirmBox = sheet.Add("CONFIRMBOX");
  panel.confParent = sheet.Add("CONFPARENT");
  panel.calendarParent = sheet.Add("CALPARENT");
  g_commandLog.Clear();
  // Rows: the button's id, the progress box's parameter, the three boxes'
  // parameters after it (they keep what they were shown with), calendar.
  struct Row { int32_t id; intptr_t progress; std::vector<intptr_t> boxes; bool calendar; };
  const Row rows[] = {{2, 12, {0, 0, 0}, false}, {7, 17, {0, 0, 0}, false}, {3, 13, {0, kRegion, 0}, false},
                      {4, 14, {0, kRegion, kRegion}, true}, {1, 11, {kRegion, kRegion, kRegion}, false}};
  for (const Row& r : rows) {
    Control button;
    panel.OnCommand(&button, r.id);
    EXPECT_EQ(s.operationProgressConfirm->id, r.progress) << r.id;
    std::vector<intptr_t> shown;
    for (Screen* box : boxes) shown.push_back(box->id);
    EXPECT_EQ(shown, r.boxes) << r.id;
    EXPECT_FALSE(panel.confirmBox->Hidden()) << r.id;
    EXPECT_EQ(panel.calendarParent->Hidden(), !r.calendar) << r.id;
  }
  panel.currentForm = nullptr;
  // The schedule list stays empty, so its delete buttons stay hidden.
  TestSheet page;
  page.Texts({"DELALL", "DELSCH"});
  OpsScheduleListPanel schedule;
  schedule.currentForm = page.root;
  std::unique_ptr<ListBoxControl> list(ListBoxConstruct(0, 0, 100, 100, 0, 1, &schedule));
  schedule.list = list.get();
  schedule.Refresh();
  EXPECT_TRUE(page.Find("DELALL")->Hidden());
  EXPECT_TRUE(page.Find("DELSCH")->Hidden());
  schedule.list = nullptr;
  schedule.currentForm = nullptr;
  EXPECT_TRUE(g_commandLog.Entries().empty());
}

}  // namespace
