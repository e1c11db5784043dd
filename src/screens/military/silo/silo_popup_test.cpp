// The silo pop-up on a small world: its stock against its capacity, its
// offline mark, and the one choice shared by its two lists.
#include "screens/military/silo/silo_popup.h"

#include <gtest/gtest.h>

#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/military/silo/silo_test_world.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "world/world.h"

namespace {

using namespace silotest;

// The local region's silo of a 20-point class on hex (2, 2) with three
// missiles of 4 points aboard.
class SiloPopupTest : public SiloWorldTest {
 protected:
  void SetUp() override {
    PlaceSilo(1.0f, {1.0f, 1.0f, 1.0f});
    g_world.unitClasses[kSiloClass].cargoSlots = 20;
    g_world.unitClasses[kMissileClass].slotSize = 4;
    popup_.cellIndex = kSiloCell;
    popup_.BindControls();
    panel_.BindControls();
  }
  void TearDown() override {
    ListHolderClear(popup_.stored);
    SiloWorldTest::TearDown();
  }

  SiloPopup& popup_ = g_screens.siloPopup;
  SiloMissilePanel& panel_ = g_screens.siloMissiles;
  GlobalGuard<uint32_t> cell_{popup_.cellIndex};
  GlobalGuard<Control*> popupForm_{popup_.form}, popupCurrent_{popup_.currentForm};
  GlobalGuard<Control*> panelForm0_{panel_.form}, panelCurrent_{panel_.currentForm};
  GlobalGuard<ListBoxControl*> storedList_{popup_.storedList}, missileList_{panel_.list};
  GlobalGuard<Control*> statParent_{popup_.statParent}, misParent_{panel_.misParent2};
  controltest::PanelForm form_{popup_, "POPUP_SILO1", {"SILO1", "SILO2", "OFFLINE", "STOREDLIST"}, {}, {"STOREDLIST"}};
  controltest::PanelForm panelForm_{panel_, "POPUP_SILO1g", {"LIST1", "ICBMHEADER"}, {}, {"LIST1"}};
};

TEST_F(SiloPopupTest, StockCapacityAndOfflineFollowTheSilo) {
  const struct {
    const char* name;
    float missileStrength, siloStrength;
    uint32_t posture;
    const char *stock, *capacity;
    bool offline;
  } rows[] = {
      {"missiles at half strength", 0.5f, 1.0f, 0, "6", "20", false},
      {"silo at half strength", 1.0f, 0.5f, 0, "12", "10", false},
      {"offline", 1.0f, 1.0f, kPostureInReserve, "12", "20", true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    for (UnitRecord& m : missiles_) m.strength = r.missileStrength;
    silo_.strength = r.siloStrength;
    silo_.ordersShown[kPostureBits] = r.posture;
    popup_.Refresh();
    EXPECT_EQ(form_.Text("SILO1"), r.stock);
    EXPECT_EQ(form_.Text("SILO2"), r.capacity);
    EXPECT_EQ(form_.Shown("OFFLINE"), r.offline);
  }
}

TEST_F(SiloPopupTest, ChoosingAStoredUnitClearsTheMissileListsChoice) {
  panel_.Refresh();
  ListSetSelection(0, panel_.list, static_cast<int32_t>(kMissileIds[1]), 0);
  ASSERT_NE(ListNextSelected(panel_.list, nullptr), nullptr);
  popup_.OnControlChange(popup_.storedList, 7);
  EXPECT_EQ(ListNextSelected(panel_.list, nullptr), nullptr);
  EXPECT_EQ(panel_.list->selectedId, 0);
}

}  // namespace
