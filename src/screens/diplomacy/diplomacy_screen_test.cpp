// The diplomacy department: its region list, the region's boxes, the
// contact masks and the ids that open nothing.
#include "screens/diplomacy/diplomacy_screen.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "net/command_network.h"
#include "screens/diplomacy/mail/contact_masks.h"
#include "screens/common/frame/command_bars.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/save_extension.h"
#include "world/world.h"

namespace {

class DiplomacyScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Player 0 and 4 human, 1 the local one, 2 a computer, 3 without an
    // economy, 5 empty.
    const int32_t kinds[] = {kKindHuman, kKindHuman, kKindComputer, kKindWorld, kKindHuman, kKindEmpty};
    for (int p = 0; p < 6; ++p) {
      g_world.players[p].kind = kinds[p];
      g_world.players[p].number = static_cast<uint8_t>(p);
    }
    g_world.gameState.highestPlayer = 5;
    g_world.gameState.localPlayer = 1;
    d.BindControls();
  }
  void TearDown() override { d.regionList = nullptr; }

  std::vector<int32_t> RowIds() const {
    std::vector<int32_t> ids;
    for (Control* r = d.regionList->firstRow; r; r = ListNextRow(d.regionList, r)) ids.push_back(r->id);
    return ids;
  }
  // The region's row picked, as a click on it tells the screen.
  void Pick(int32_t region) {
    ListSetSelection(0, d.regionList, region, 0);
  }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<ContactMasks> masks_{g_contactMasks};
  GlobalGuard<uint8_t[10]> panelFlags_{g_panelFlags};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth, 0};
  GlobalGuard<int32_t> keepPopups_{g_ui.keepPopups};
  GlobalGuard<intptr_t> diplomacy1Ss2Id_{g_screens.regionRelations->id};
  GlobalGuard<intptr_t> diplomacy1Ss2aId_{g_screens.alliancesPanel.id};
  GlobalGuard<intptr_t> diplomacy1Ss2cId_{g_screens.agreementsPanel.id};
  GlobalGuard<intptr_t> diplomacy1Ss2bId_{g_screens.warDeclaration->id};
  GlobalGuard<intptr_t> diplomacy1Ss3Id_{g_screens.tradeRestriction->id};
  GlobalGuard<intptr_t> diplomacy3Id_{g_screens.regionAlliances->id};
  GlobalGuard<intptr_t> diplomacy2aId_{g_screens.regionDossier->id};
  GlobalGuard<intptr_t> diplomacy2aSs1Id_{g_screens.regionReport->id};
  GlobalGuard<intptr_t> popupDiplomacyId_{g_screens.dealPopup.id};
  DiplomacyScreen d;
  controltest::PanelForm form_{d,
                               "DIPLOMACY1",
                               {"LIST1", "WMBUT", "REGBUT", "CENTRE", "CHAT", "VOICE", "MUTE", "MAIL", "NEWMAIL",
                                "NEGOTBUT", "HIDEBOX", "FAKE"},
                               {},
                               {"LIST1"}};
};

TEST_F(DiplomacyScreenTest, ListsOtherRegionsButPlayerZeroAndTheLocalOne) {
  d.Refresh();
  EXPECT_EQ(RowIds(), (std::vector<int32_t>{2, 4}));
  EXPECT_EQ(g_panelFlags[kDiplomacyDepartment] & kPanelFlagMarked, kPanelFlagMarked);
  struct Row { int32_t kind0; bool wmShown; };
  for (const Row& r : {Row{kKindEmpty, false}, Row{kKindHuman, true}}) {
    g_world.players[0].kind = r.kind0;
    d.OnOpen();
    EXPECT_EQ(form_.Shown("WMBUT"), r.wmShown) << r.kind0;
  }
}

// Mail reaches only another person, and only where a letter can be sent;
// the page's refresh (a pop-up closing over it) keeps to the same rule.
TEST_F(DiplomacyScreenTest, OnlyAnotherHumanRegionShowsMailAndContacts) {
  GlobalGuard<CommandNetLink> net(g_commandNet, CommandNetLink{});
  d.Refresh();
  struct Row { int32_t region; bool networked, shown; };
  for (const Row& r : {Row{2, true, false}, Row{4, true, true}, Row{4, false, false}}) {
    SetNetRole(g_commandNet, r.networked ? kNetGameHost : kNetGameNone);
    Pick(r.region);
    for (int refreshed = 0; refreshed < 2; ++refreshed) {
      if (refreshed) d.Refresh();
      EXPECT_EQ(std::tuple(form_.Shown("HIDEBOX"), form_.Shown("NEWMAIL"), form_.Shown("CENTRE"),
                           g_screens.regionDossier->id, g_screens.regionAlliances->id),
                std::tuple(r.shown, r.shown, true, intptr_t{r.region}, intptr_t{r.region}))
          << r.region << " networked " << r.networked << " refreshed " << refreshed;
    }
  }
}

TEST_F(DiplomacyScreenTest, ContactBoxesChangeTheMasksInPlace) {
  d.Refresh();
  Pick(4);
  const size_t logged = g_commandLog.Size();
  struct Row { const char* box; uint32_t ContactMasks::*mask; };
  for (const Row& r : {Row{"CHAT", &ContactMasks::chat}, Row{"VOICE", &ContactMasks::voice},
                       Row{"MUTE", &ContactMasks::mute}, Row{"MAIL", &ContactMasks::mail}}) {
    Control* box = form_[r.box];
    box->state |= kStateSelected;
    d.DiplomacyOnClick(box, 0);
    EXPECT_EQ(g_contactMasks.*r.mask, 1u << 4) << r.box;
    Pick(2);
    EXPECT_FALSE(box->state & kStateSelected) << r.box << " shows region 2's bit";
    Pick(4);
    EXPECT_TRUE(box->state & kStateSelected) << r.box << " shows region 4's bit";
    box->state &= ~kStateSelected;
    d.DiplomacyOnClick(box, 0);
    EXPECT_EQ(g_contactMasks.*r.mask, 0u) << r.box;
  }
  EXPECT_EQ(g_commandLog.Size(), logged);
}

TEST_F(DiplomacyScreenTest, OnlyRegionsOneToTheHighestOpenPanels) {
  d.Refresh();
  d.selectedRegion = 2;  // a region's panels are open: none to close first
  struct Row { Control* control; int32_t id; intptr_t opened; };
  const Row rows[] = {{form_["REGBUT"], 4, 0}, {d.regionList, 100, 0}, {d.regionList, 0, 0},
                      {d.regionList, 6, 0},    {d.regionList, 4, 4}};
  for (const Row& r : rows) {
    g_screens.regionRelations->id = g_screens.tradeRestriction->id = g_screens.dealPopup.id = 0;
    d.DiplomacyOnClick(r.control, r.id);
    if (r.control == d.regionList) d.OnActivate(r.control, r.id);
    EXPECT_EQ(std::tuple(g_screens.regionRelations->id, g_screens.tradeRestriction->id, g_screens.dealPopup.id),
              std::tuple(r.opened, r.opened, r.opened))
        << r.id;
  }
  EXPECT_EQ(d.selectedRegion, 4);
  EXPECT_TRUE(form_["FAKE"]->state & kStateSelected);
}

}  // namespace

namespace {

TEST(ContactMaskSave, TheSaveKeepsTheMasksAndOneWithoutThemLoadsThemClear) {
  GlobalGuard<ContactMasks> masks(g_contactMasks, ContactMasks{1u << 4, 2, 4, 8, 16, 32});
  const ContactMasks saved = g_contactMasks;
  const std::vector<uint8_t> section = BuildSaveExtension(g_world);
  std::vector<SaveExtensionBlock> blocks;
  std::string why;
  ASSERT_TRUE(SplitSaveExtension(section, blocks, why)) << why;
  std::span<const uint8_t> payload;
  for (const SaveExtensionBlock& b : blocks)
    if (b.tag == kSaveBlockContactMasks) payload = b.payload;
  struct Row { std::span<const uint8_t> payload; ContactMasks want; };
  for (const Row& r : {Row{payload, saved}, Row{{}, ContactMasks{}}}) {
    g_contactMasks = ContactMasks{7, 7, 7, 7, 7, 7};
    ASSERT_TRUE(g_contactMaskSaveHook.read(g_world, r.payload, false, why)) << why;
    ASSERT_TRUE(g_contactMaskSaveHook.read(g_world, r.payload, true, why)) << why;
    EXPECT_EQ(g_contactMasks, r.want) << r.payload.size();
  }
}

}  // namespace
