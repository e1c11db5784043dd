// The silo pop-up on a small world: its stock against its capacity, its
// offline mark, and the one choice shared by its two lists.
#include "screens/military/silo/silo_popup.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "world/id_lookups.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

constexpr int kSide = 6;
constexpr int kLocal = 3;
constexpr int16_t kSiloClass = 4011;
constexpr int16_t kMissileClass = 42;
constexpr uint32_t kSiloId = 0x03000001;
constexpr uint32_t kMissileIds[3] = {0x03000002, 0x03000003, 0x03000004};
constexpr uint32_t kSiloCell = 2 * kSide + 2;

// The local region's silo of a 20-point class on hex (2, 2) with three
// missiles of 4 points aboard.
class SiloPopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = kSide;
    w.cells.assign(kSide * kSide, HexCell{nullptr, WithCellOwner(0, kLocal)});
    w.unitClasses.assign(4100, UnitClassRecord{});
    w.unitClasses[kSiloClass].cargoSlots = 20;
    w.unitClasses[kMissileClass].slotSize = 4;
    w.gameState.localPlayer = kLocal;
    w.gameState.currentHex = HexPosition{2, 2, kSiloCell, 0};
    w.players[kLocal] = PlayerRecord{};
    w.units = nullptr;
    Unit(silo_, kSiloId, kSiloClass, 0, kMissileIds[0]);
    for (int i = 0; i < 3; ++i) {
      Unit(missiles_[i], kMissileIds[i], kMissileClass, kSiloId, i < 2 ? kMissileIds[i + 1] : 0);
      missiles_[i].unitFlags = kUnitStock;
    }
    stack_.lead = &silo_;
    w.cells[kSiloCell].stack = &stack_;
    InsertUnitInRing(w, silo_);
    for (UnitRecord& m : missiles_) InsertUnitInRing(w, m);
    popup_.cellIndex = kSiloCell;
    popup_.BindControls();
    panel_.BindControls();
  }
  void TearDown() override {
    ListHolderClear(popup_.stored);
    ListHolderClear(SiloMissileList());
    for (HexCell& c : g_world.cells) c.stack = nullptr;
    g_world.units = nullptr;
    ReindexUnits(g_world);
  }
  static void Unit(UnitRecord& u, uint32_t id, int16_t cls, uint32_t carrier, uint32_t next) {
    std::tie(u.id, u.owner, u.classIndex, u.strength, u.carrier, u.cargoNext) =
        std::tuple(id, kLocal, cls, 1.0f, carrier, next);
  }

  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<int32_t> width_{g_world.mapWidth}, height_{g_world.mapHeight};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<UnitRecord*> ring_{g_world.units};
  SiloPopup& popup_ = g_screens.siloPopup;
  SiloMissilePanel& panel_ = g_screens.siloMissiles;
  GlobalGuard<uint32_t> cell_{popup_.cellIndex};
  GlobalGuard<Control*> popupForm_{popup_.form}, popupCurrent_{popup_.currentForm};
  GlobalGuard<Control*> panelForm0_{panel_.form}, panelCurrent_{panel_.currentForm};
  GlobalGuard<ListBoxControl*> storedList_{popup_.storedList}, missileList_{panel_.list};
  GlobalGuard<Control*> statParent_{popup_.statParent}, misParent_{panel_.misParent2};
  UnitRecord silo_{};
  UnitRecord missiles_[3]{};
  HexUnitStack stack_;
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
