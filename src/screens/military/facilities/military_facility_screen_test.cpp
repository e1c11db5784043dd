// The military facility page over a small world: its order of bases, a
// row's status word and progress, the condition of an empty hex.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/order_words.h"
#include "screens/common/facilities/facility_list_test_world.h"
#include "screens/military/facilities/military_facility_screen.h"
#include "ui/control_test_support.h"
#include "world/world.h"

namespace {

using namespace facilitylisttest;

TEST_F(FacilityListsTest, MilitaryPageWorkingBasesThenOfflineOnesThenBasesWithoutRoom) {
  Facility(kA, kAirfield, 1, 1, 1.0f);
  Facility(kB, kBase, 2, 1, 1.0f, 1);
  Facility(kC, kBase, 3, 1, 1.0f);
  std::unique_ptr<Screen> page = MakeMilitaryFacilityScreen();
  controltest::PanelForm form(*page, "MILITARY1_ss", {"FACILLIST"}, {}, {"FACILLIST"});
  page->BindControls();
  page->Refresh();
  EXPECT_EQ(RowIds(form.List("FACILLIST")), (std::vector<int32_t>{kC, kB, kA}));
}

struct StatusCase {
  uint8_t supply;
  uint32_t posture;
  float work;
  std::string status, progress;
};

TEST_F(FacilityListsTest, StatusRowWordAndProgress) {
  const StatusCase cases[] = {
      {0, 0, 0.0f, "word6", ""}, {250, 0, 0.0f, "word0", ""}, {250, 3, 9.0f, "word2", "9 Days"}};
  UnitRecord& u = Facility(kA, kBase, 2, 1, 1.0f);
  std::unique_ptr<Screen> fill = MakeBaseStatusFill();
  controltest::PanelForm form(*fill, "Military1_ss", {"BASENAME", "OFFLINE", "HIDEPAR", "STATUS", "STATUS2"});
  fill->id = kA;
  for (const StatusCase& c : cases) {
    g_world.cellBytes[kSide + 2] = c.supply;
    u.ordersShown[kPostureBits] = c.posture;
    u.ordersShown[kStateFlags] = c.posture & 2u ? kStateHeldSlot : 0u;
    u.buildWork = c.work;
    fill->OnOpen();
    EXPECT_EQ(form.Text("STATUS"), c.status) << int{c.supply} << " " << c.posture;
    EXPECT_EQ(form.Text("STATUS2"), c.progress) << c.posture;
    EXPECT_EQ(form.Shown("STATUS2"), !c.progress.empty()) << c.posture;
  }
}

TEST_F(FacilityListsTest, ConditionOfAnEmptySelectedHex) {
  std::unique_ptr<Screen> panel = MakeBaseConditionPanel();
  controltest::PanelForm form(*panel, "Military1_ss", {"CONDITION", "QUEUE", "CAPACITY"});
  panel->Refresh();
  EXPECT_EQ(form.Text("CONDITION"), "  0 %");
  EXPECT_EQ(form.Text("QUEUE"), "0");
  EXPECT_EQ(form.Text("CAPACITY"), "7");
}

}  // namespace
