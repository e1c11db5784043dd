// The unit detail pop-up on a form of tagged controls: which panels fill
// its hosts for whose unit in which mode, its groups, the rename and the
// warhead markers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/production/production_lists.h"
#include "screens/military/units/unit_detail_popup.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/edit_control.h"
#include "ui/screen_manager.h"
#include "world/id_lookups.h"
#include "world/unit_create.h"
#include "world/unit_groups.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 2;
const char* const kTags[] = {"SUBPARENT2", "SUBPARENT3", "SUBPARENT4", "SUBPARENT5", "SUBPARENT6", "PAR3C",
                             "RENUNITBUT", "UINFOBUT",   "TECHBUT",    "LOCK",       "DESTROYED",  "GROUPHIDE",
                             "BUILDFILTER", "AUTOBUT",   "CONTBUT",    "NUKE",       "CHEM",       "CENTRE"};

// The screens the pop-up shows keep where and with what they were shown.
struct ScreenKeep {
  explicit ScreenKeep(Screen& s) : screen(s), host(s.host), id(s.id) {}
  ~ScreenKeep() { screen.host = host, screen.id = id; }
  Screen& screen;
  Control* host;
  intptr_t id;
};

class UnitDetailPopupTest : public militarytest::LocalRegionTest<kLocal, 4> {
 protected:
  void SetUp() override {
    LocalRegionTest::SetUp();
    g_ui.mode = kUiInGame;
    for (const char* tag : kTags) form_.Add(tag);
    form_.Add<EditControl>("UNITNAME");
    for (int32_t g = 240; g < 250; ++g) form_.Add(nullptr, g);
    Popup().currentForm = form_.root;
    Popup().BindControls();
  }
  void TearDown() override {
    Popup().currentForm = nullptr;
    Popup().unit = 0;
    for (auto& group : g_world.unitGroups.groups[kLocal]) ListHolderClear(group);
    LocalRegionTest::TearDown();
  }
  static UnitDetailPopup& Popup() { return g_screens.unitDetail; }
  UnitRecord& Unit(uint32_t id, int owner = kLocal, int16_t cls = 1) {
    UnitRecord& u = ring_.Add(id, owner, cls);
    return u.x = 3, u.y = 2, u;
  }
  void Open(uint32_t id) {
    Popup().id = id;
    Popup().OnOpen();
    Popup().Refresh();
  }
  bool Hidden(const char* tag) const { return form_.Find(tag)->Hidden(); }

  GlobalGuard<int32_t> mode_{g_ui.mode};
  ScreenKeep kept_[9] = {ScreenKeep(g_screens.unitCommands),  ScreenKeep(*g_screens.unitPriority),
                         ScreenKeep(*g_screens.unitHomeBase),  ScreenKeep(g_screens.unitDetailPanel),
                         ScreenKeep(g_screens.unitClassSheet), ScreenKeep(g_screens.unitAttributesPanel),
                         ScreenKeep(g_screens.unitClassStats),   ScreenKeep(g_screens.unitStrength),
                         ScreenKeep(g_screens.unitExtraFill)};
  militarytest::TestSheet form_;
};

// Rows: whose unit in which mode; which panel lands in the command host,
// the info host and the detail host, and what is hidden or pressed.
TEST_F(UnitDetailPopupTest, ModeTable) {
  ScreenSet& s = g_screens;
  const struct {
    int32_t mode, local, owner;
    uint32_t flags, posture, options;
    Screen *command, *info, *detail;
    bool renameHidden, lockHidden, commandHidden, detailHidden, destroyed, groupsHidden, filterHidden, autoOn;
  } rows[] = {
      {kUiInGame, kLocal, 5, 0, 0, 0, s.unitPriority.get(), &s.unitClassSheet, nullptr,
       true, true, false, true, false, true, true, false},
      {kUiInGame, kLocal, kLocal, kUnitGone, 0, 0, s.unitPriority.get(), &s.unitClassSheet, nullptr,
       true, true, true, true, true, true, true, false},
      {kUiInGame, kLocal, kLocal, 0, kPostureUnderConstruction, kStateDeployRefused, s.unitHomeBase.get(),
       &s.unitDetailPanel, nullptr, false, false, false, true, false, true, false, true},
      {kUiInGame, kLocal, kLocal, 0, 0, kStateDeployRefused, &s.unitCommands, &s.unitDetailPanel, nullptr,
       false, false, false, false, false, false, true, false},
      {kUiFrontEnd, kLocal, kLocal, 0, 0, 0, &s.unitCommands, &s.unitDetailPanel, &s.unitAttributesPanel,
       false, true, true, false, false, true, true, false},
      {kUiInGame, -1, kLocal, 0, 0, 0, s.unitPriority.get(), &s.unitClassSheet, nullptr,
       true, true, false, true, false, true, true, false},
  };
  int row = 0;
  for (const auto& r : rows) {
    SCOPED_TRACE(row++);
    for (ScreenKeep& k : kept_) k.screen.host = nullptr;
    g_ui.mode = r.mode;
    g_world.gameState.localPlayer = r.local;
    UnitRecord& u = Unit(10 + row, r.owner);
    u.unitFlags = r.flags;
    u.orders[kPostureBits] = u.ordersShown[kPostureBits] = r.posture;
    u.ordersShown[kStateFlags] = r.options;
    for (int32_t g = 240; g < 250; ++g) SetControlFlag(form_.Find(g), kStateSelected, 1);
    SetControlFlag(form_.Find("AUTOBUT"), kStateSelected, 0);
    Open(u.id);
    EXPECT_EQ(r.command->host, form_.Find("SUBPARENT6"));
    EXPECT_EQ(r.info->host, form_.Find("SUBPARENT2"));
    if (r.detail) {
      EXPECT_EQ(r.detail->host, form_.Find("SUBPARENT4"));
    }
    EXPECT_EQ(Hidden("RENUNITBUT"), r.renameHidden);
    EXPECT_EQ(Hidden("LOCK"), r.lockHidden);
    EXPECT_EQ(Hidden("UINFOBUT"), true);
    EXPECT_EQ(Hidden("SUBPARENT6"), r.commandHidden);
    EXPECT_EQ(Hidden("SUBPARENT4"), r.detailHidden);
    EXPECT_EQ(Hidden("SUBPARENT5"), r.destroyed);
    EXPECT_EQ(Hidden("DESTROYED"), !r.destroyed);
    EXPECT_EQ(Hidden("GROUPHIDE"), r.groupsHidden);
    EXPECT_EQ(Hidden("BUILDFILTER"), r.filterHidden);
    EXPECT_EQ(form_.Find("AUTOBUT")->Selected(), r.autoOn);
    // Not in any group, or no local player: every group button released.
    for (int32_t g = 240; g < 250; ++g) EXPECT_FALSE(form_.Find(g)->Selected()) << g;
  }
  // A unit taken out of the ring closes the pop-up at the next refresh.
  ring_.KeepFirst(ring_.size() - 1);
  Popup().Refresh();
  EXPECT_EQ(Popup().unit, 0u);
}

TEST_F(UnitDetailPopupTest, RenameGroupsAndWarheads) {
  UnitRecord& u = Unit(7);
  UnitRecord& nuke = Unit(8, kLocal, 2);
  UnitRecord& chem = Unit(9, kLocal, 3);
  g_world.unitClasses[2].flags = 0x4, g_world.unitClasses[3].flags = 0x2;
  u.cargoNext = nuke.id, nuke.cargoNext = chem.id;
  nuke.unitFlags = chem.unitFlags = kUnitStock;
  nuke.strength = 2.6f, chem.strength = 0.9f;
  NewListItem28(&u, false, static_cast<intptr_t>(u.id), g_world.unitGroups.groups[kLocal][3]);
  Open(u.id);
  EXPECT_FALSE(Hidden("NUKE"));
  EXPECT_TRUE(Hidden("CHEM"));
  Control* button = form_.Find(243);
  EXPECT_TRUE(button->Selected());
  SetControlFlag(button, kStateSelected, 0);
  Popup().OnCommand(button, 243);
  EXPECT_EQ(FirstInHolder(g_world.unitGroups.groups[kLocal][3]), nullptr);

  auto* name = static_cast<EditControl*>(form_.Find("UNITNAME"));
  const std::string generated = UnitDisplayName(g_world, u);
  for (const char* text : {"Lancers", ""}) {
    name->sourceText = text;
    Popup().OnEndEdit(name, 0);
    EXPECT_EQ(UnitDisplayName(g_world, u), *text ? text : generated);
    EXPECT_EQ(u.customName != nullptr, *text != 0);
  }
  EXPECT_TRUE(g_commandLog.Empty());
}

}  // namespace
