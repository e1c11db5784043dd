// The military facilities page's order, its status rows and the condition
// of the selected hex's facility over a small world.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/military/facilities/military_facility_screen.h"
#include "screens/military/military_test_support.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "world/hex_extra.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 12, kLocal = 1;
constexpr int16_t kBase = 3, kAirfield = 4;

class MilitaryFacilitiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = kSide;
    w.cells.assign(kSide * kSide, HexCell{nullptr, WithCellLoyalTo(WithCellOwner(0, kLocal), kLocal)});
    w.cellBytes.assign(kSide * kSide, 250);
    w.unitClasses.assign(8, UnitClassRecord{});
    w.unitClasses[0].baseSlots = 7;
    w.unitClasses[kBase].flags = kClassFacility | kClassSettlement;
    w.unitClasses[kBase].loadableMask = 1;
    w.unitClasses[kAirfield].flags = kClassFacility | kClassSettlement | kClassAirBase;
    w.gameState.localPlayer = kLocal;
    w.gameState.currentHex = {5, 5, 5 * kSide + 5, 0};
    for (int i = 0; i < 7; ++i) words_.Set(kListUgstatus, i, "word" + std::to_string(i));
  }
  void TearDown() override {
    for (HexCell& c : g_world.cells) FreeHexStack(c);
  }
  UnitRecord& Facility(uint32_t id, int16_t cls, int16_t x, uint32_t posture) {
    UnitRecord& u = ring_.Add(id, kLocal, cls);
    u.x = x, u.y = 1, u.strength = 1.0f;
    u.ordersShown[kPostureBits] = posture;
    MakeHexStack(g_world.cells[static_cast<size_t>(kSide + x)])->lead = &u;
    return u;
  }

  GlobalGuard<int32_t> width_{g_world.mapWidth}, height_{g_world.mapHeight};
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<uint8_t>> bytes_{g_world.cellBytes};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<GameState> state_{g_world.gameState};
  militarytest::TextPatch words_;
  testsupport::UnitRing ring_;
};

TEST_F(MilitaryFacilitiesTest, WorkingBasesThenOfflineBasesThenBasesWithoutRoom) {
  Facility(0x01000001, kAirfield, 1, 0);
  Facility(0x01000002, kBase, 2, 1);
  Facility(0x01000003, kBase, 3, 0);
  MilitaryFacilityScreen page;
  controltest::PanelForm form(page, "MILITARY1_ss", {"FACILLIST"}, {}, {"FACILLIST"});
  page.BindControls();
  page.Refresh();
  std::vector<int32_t> ids;
  for (Control* row = ListNextRow(page.facilList, nullptr); row; row = ListNextRow(page.facilList, row))
    ids.push_back(row->id);
  EXPECT_EQ(ids, (std::vector<int32_t>{0x01000003, 0x01000002, 0x01000001}));
}

struct StatusCase {
  uint8_t supply;
  uint32_t posture;
  float work;
  std::string status, progress;
};

TEST_F(MilitaryFacilitiesTest, StatusRowWordAndProgress) {
  const StatusCase cases[] = {{0, 0, 0.0f, "word6", ""},
                              {250, 0, 0.0f, "word0", ""},
                              {250, 3, 9.0f, "word2", "9 Days"}};
  UnitRecord& u = Facility(0x01000001, kBase, 2, 0);
  BaseStatusFill fill;
  controltest::PanelForm form(fill, "Military1_ss",
                              {"BASENAME", "INDBMP", "OFFLINE", "HIDEPAR", "QUEUE", "CAPACITY", "STATUS", "STATUS2"});
  fill.id = u.id;
  for (const StatusCase& c : cases) {
    g_world.cellBytes[kSide + 2] = c.supply;
    u.ordersShown[kPostureBits] = c.posture;
    u.ordersShown[kStateFlags] = c.posture & 2u ? kStateHeldSlot : 0u;
    u.buildWork = c.work;
    fill.OnOpen();
    EXPECT_EQ(form.Text("STATUS"), c.status) << int{c.supply} << " " << c.posture;
    EXPECT_EQ(form.Shown("STATUS2"), !c.progress.empty()) << c.posture;
    if (!c.progress.empty()) {
      EXPECT_EQ(form.Text("STATUS2"), c.progress);
    }
  }
  EXPECT_EQ(form.Text("BASENAME"), "X:002 Y:001");
}

TEST_F(MilitaryFacilitiesTest, ConditionOfAnEmptySelectedHex) {
  BaseConditionPanel panel;
  controltest::PanelForm form(panel, "Military1_ss", {"CONDITION", "QUEUE", "CAPACITY"});
  panel.Refresh();
  EXPECT_EQ(form.Text("CONDITION"), "  0 %");
  EXPECT_EQ(form.Text("QUEUE"), "0");
  EXPECT_EQ(form.Text("CAPACITY"), "7");
}

}  // namespace
