// The missile stock pop-up on a small world: which list a missile lands in,
// the production list's notes, the build list taking the choice, and the
// auto-build switch's command.
#include "screens/military/silo/missile_stock_popup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/military/inventory/missile_load_lists.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "units/facilities/upkeep_fields.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 2;
constexpr int16_t kMissileClass = 30;  // a missile of type 2
constexpr uint32_t kMissileId = 0x02000010;

class MissileStockPopupTest : public militarytest::LocalRegionTest<kLocal, 40> {
 protected:
  void SetUp() override {
    LocalRegionTest::SetUp();
    World& w = g_world;
    UnitClassRecord& c = w.unitClasses[kMissileClass];
    std::snprintf(c.name, sizeof c.name, "%s", "Lance");
    c.flags = kClassStock;
    c.typeByte = kStockMilitaryClass;
    c.loadableMask = 1u << 2;
    w.players[kLocal] = PlayerRecord{};
    w.players[kLocal].number = kLocal;
    std::tie(missile_.strength, missile_.unitFlags, missile_.unitType) = std::tuple(1.0f, kUnitStock, kStockMilitaryClass);
    popup_.typeFilter = kAllMissileTypes;
    popup_.BindControls();
  }
  void TearDown() override {
    for (ListHolder* h : {&popup_.production, &popup_.queue, &popup_.stored}) ListHolderClear(*h);
    LocalRegionTest::TearDown();
  }
  // Where the missile stands: built and stored, or building (in production
  // when it holds its slot, else queued).
  void Place(bool building, bool holdsSlot) {
    missile_.ordersShown[kPostureBits] = kPostureInReserve | (building ? kPostureUnderConstruction : 0u);
    missile_.ordersShown[kStateFlags] = holdsSlot ? kStateHeldSlot : 0u;
  }
  std::vector<std::string> Rows(ListBoxControl* list) const {
    std::vector<std::string> rows;
    for (Control* r = list->firstRow; r; r = ListNextRow(list, r)) rows.push_back(r->id ? "unit" : r->text);
    return rows;
  }

  MissileStockPopup& popup_ = g_screens.missiles;
  GlobalGuard<int32_t> filter_{popup_.typeFilter};
  GlobalGuard<Control*> form0_{popup_.form}, form1_{popup_.currentForm};
  GlobalGuard<ListBoxControl*> prod_{popup_.prodList}, queue_{popup_.queueList}, stored_{popup_.storedList};
  GlobalGuard<Control*> stat_{popup_.statParent}, plat_{popup_.platformStatus}, mis_{popup_.missileParent};
  GlobalGuard<Control*> sub4_{popup_.subParent4}, sub5_{popup_.subParent5};
  UnitRecord& missile_ = ring_.Add(kMissileId, kLocal, kMissileClass);
  controltest::PanelForm form_{popup_, "POPUP_MISSILE1", {"PRODLIST", "QUELIST", "STOREDLIST", "AUTOBUILD2", "SILOHDR"}, {},
                               {"PRODLIST", "QUELIST", "STOREDLIST"}};
};

TEST_F(MissileStockPopupTest, EachMissileIsListedWhereItStandsAndEmptyProductionSaysWhy) {
  const struct {
    const char* name;
    int32_t filter;
    float strength;
    bool building, holdsSlot, limitFlag;
    std::vector<std::string> prod, queue, stored;
    uint8_t type = kStockMilitaryClass;
  } rows[] = {
      {"stored, every type", 5, 1.0f, false, false, false, {"None"}, {}, {"unit"}},
      {"the store's limit comes first", 5, 1.0f, false, false, true, {"Storage Limit Reached"}, {}, {"unit"}},
      {"another type", 1, 1.0f, false, false, false, {"None of this type"}, {}, {"No Undeployed"}},
      {"strength 0", 5, 0.0f, true, false, false, {"None"}, {}, {"No Undeployed"}},
      {"queued", 2, 1.0f, true, false, false, {"None of this type"}, {"unit"}, {"No Undeployed"}},
      {"its slot taken: in production", 2, 1.0f, true, true, false, {"unit"}, {}, {"No Undeployed"}},
      {"not of the stock weapons' type", 5, 1.0f, false, false, false, {"None"}, {}, {"No Undeployed"}, 22},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    popup_.typeFilter = r.filter;
    missile_.strength = r.strength;
    missile_.unitType = r.type;
    Place(r.building, r.holdsSlot);
    upkeepfields::SetByte(g_world.players[kLocal], upkeepfields::kSlotPause, r.limitFlag ? 1 : 0);
    popup_.Refresh();
    EXPECT_EQ(Rows(popup_.prodList), r.prod);
    EXPECT_EQ(Rows(popup_.queueList), r.queue);
    EXPECT_EQ(Rows(popup_.storedList), r.stored);
  }
}

TEST_F(MissileStockPopupTest, ABuildListRowClearsTheStockListsChoice) {
  WmdFilterPanel& panel = g_screens.wmdFilter;
  const GlobalGuard<ListBoxControl*> list(panel.list);
  const GlobalGuard<BuildListState> state(panel.state);
  controltest::PanelForm panelForm(panel, "POPUP_MISSILE1f", {"LIST5"}, {}, {"LIST5"});
  panel.BindControls();
  Place(false, false);
  popup_.Refresh();
  ListSetSelection(0, popup_.storedList, static_cast<int32_t>(kMissileId), 0);
  ASSERT_EQ(popup_.storedList->selectedId, static_cast<int32_t>(kMissileId));
  ListAddTextItem(panel.list, "Lance", kMissileClass, kMissileClass, 0, 0, 1);
  ListSetSelection(0, panel.list, kMissileClass, 0);
  panel.OnControlChange(panel.list, kMissileClass);
  EXPECT_EQ(popup_.storedList->selectedId, 0);
  EXPECT_EQ(ListNextSelected(popup_.storedList, nullptr), nullptr);
}

TEST_F(MissileStockPopupTest, TheChosenMissilePanelListsSilosUnderTheSiloTab) {
  MissileSelectPanel& panel = g_screens.missileSelect;
  const GlobalGuard<ListBoxControl*> select(panel.selectList), missiles(panel.missileList);
  const GlobalGuard<int32_t> filter(panel.typeFilter), mode(panel.loadList);
  const GlobalGuard<intptr_t> id(panel.id);
  controltest::PanelForm panelForm(panel, "POPUP_MISSILE1h", {"MISSILE", "LIST5", "MISSILELIST"}, {},
                                   {"LIST5", "MISSILELIST"});
  panel.BindControls();
  for (int32_t tab : {kAllMissileTypes, kPlatformSilo}) {
    panel.typeFilter = tab;
    panel.id = 0;
    panel.Refresh();
    EXPECT_EQ(panel.loadList, tab == kPlatformSilo ? 1 : 0) << tab;
    EXPECT_EQ(form_["SILOHDR"]->Selected(), tab == kPlatformSilo) << tab;
  }
  for (int list : {kPlatformListIndex, kSiloListIndex}) ListHolderClear(g_screens.workingLists[list]);
}

TEST_F(MissileStockPopupTest, TheAutoBuildSwitchPostsItsState) {
  for (bool on : {true, false}) {
    g_commandLog.Clear();
    SetControlFlag(form_["AUTOBUILD2"], kStateSelected, on ? 1 : 0);
    popup_.OnCommand(form_["AUTOBUILD2"], 0);
    using Posted = std::vector<std::tuple<uint32_t, uint8_t, uint32_t, uint32_t, uint32_t, uint32_t>>;
    Posted got;
    for (const GameCommand& c : g_commandLog.Entries()) got.emplace_back(c.id, c.player, c.arg24, c.arg28, c.arg32, c.arg36);
    const Posted want = {{kCmdBMissilesAutoBuild, kLocal, 0, on ? 1 : 0, 0, 0}};
    EXPECT_EQ(got, want);
  }
}

TEST_F(MissileStockPopupTest, TheWeaponsFilterIsThePlayersOptionAndStaysTicked) {
  WmdFilterPanel& panel = g_screens.wmdFilter;
  const GlobalGuard<ListBoxControl*> list(panel.list);
  const GlobalGuard<BuildListState> state(panel.state);
  const GlobalGuard<UiOptions> options(g_uiOptions);
  controltest::PanelForm panelForm(panel, "POPUP_MISSILE1f", {"LIST5", "WMDFILTER"}, {}, {"LIST5"});
  panel.BindControls();
  for (bool on : {true, false, true}) {
    // A click has turned the box over before the panel hears of it.
    SetControlFlag(panelForm["WMDFILTER"], kStateSelected, on ? 1 : 0);
    panel.OnCommand(panelForm["WMDFILTER"], 0);
    EXPECT_EQ(g_uiOptions.bfiltershownbc, on ? 1 : 0);
    panel.Refresh();
    EXPECT_EQ(panelForm["WMDFILTER"]->Selected(), on) << "the refresh keeps the box as clicked";
  }
}

}  // namespace
