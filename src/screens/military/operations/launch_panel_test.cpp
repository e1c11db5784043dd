// The launch page: which modes list the capital, when LOK hands over to
// the launch keypad, and what it launches once the code is given.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "screens/common/military_test_support.h"
#include "screens/military/operations/launch_panel.h"
#include "screens/screen_set.h"
#include "sim/daily/elimination.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;

constexpr int kLocal = 1;
constexpr int kTarget = 3;
constexpr int32_t kWidth = 160;

TEST(LaunchPanelTest, TheCapitalModesListItAndLokOpensTheKeypadOnlyWhenAsked) {
  const GlobalGuard<GameState> state(g_world.gameState);
  const GlobalGuard<PlayerRecord> local(g_world.players[kLocal]), target(g_world.players[kTarget]);
  const GlobalGuard<int32_t> width(g_world.mapWidth), height(g_world.mapHeight);
  const GlobalGuard<std::vector<HexCell>> cells(g_world.cells);
  const GlobalGuard<int32_t> keep(g_ui.keepPopups);
  ScreenSet& s = g_screens;
  const GlobalGuard<intptr_t> fillId(s.wmdTargetInfoFill->id), keypadId(s.launchKeypad.id);
  const GlobalGuard<int32_t> entered(s.launchKeypad.entered);
  const GlobalGuard<PlayerRecord*> localRecord(g_world.localPlayerRecord);
  g_world.gameState.localPlayer = kLocal;
  g_world.localPlayerRecord = &g_world.players[kLocal];
  g_world.mapWidth = kWidth;
  g_world.mapHeight = 4;
  g_world.cells.assign(kWidth * 4, HexCell{});
  SetCapitalHex(g_world.players[kTarget].simPolicy, CapitalPosition{4, 1});
  TestSheet sheet;
  sheet.Texts({"LAUNCH", "LAUNCHALL", "LOK", "HIDECONFIRM", "CALPARENT", "REACH"});
  LaunchPanel panel;
  panel.id = kTarget;
  panel.currentForm = sheet.root;
  std::unique_ptr<ListBoxControl> list(ListBoxConstruct(0, 0, 100, 100, 0, 1, &panel));
  panel.list = list.get();
  struct ModeRow { int32_t id; std::vector<int32_t> rows; };
  const ModeRow modes[] = {{5, {}}, {6, {}}, {7, {kWidth + 4 + 1}}, {8, {kWidth + 4 + 1}}};
  for (const ModeRow& m : modes) {
    Control button;
    panel.OnCommand(&button, m.id);
    std::vector<int32_t> rows;
    for (Control* r = ListNextRow(list.get(), nullptr); r; r = ListNextRow(list.get(), r)) rows.push_back(r->id);
    EXPECT_EQ(rows, m.rows) << m.id;
  }
  // Rows: the button pressed before LOK (none first), the authorisation,
  // whether the keypad opens (its OnOpen clears the digits entered).
  struct LokRow { const char* before; uint32_t authorised; bool opens; };
  const LokRow loks[] = {{nullptr, 0, false}, {"LAUNCH", 0, true}, {"LAUNCHALL", 0, true}, {"LAUNCH", 1, false}};
  for (const LokRow& r : loks) {
    g_world.players[kLocal].flags56 = r.authorised;
    s.launchKeypad.entered = 3;
    if (r.before) panel.OnCommand(sheet.Find(r.before), 0);
    panel.OnCommand(sheet.Find("LOK"), 0);
    EXPECT_EQ(s.launchKeypad.entered == 0, r.opens) << (r.before ? r.before : "none") << " " << r.authorised;
    EXPECT_TRUE(sheet.Find("HIDECONFIRM")->Hidden());
    EXPECT_FALSE(sheet.Find("CALPARENT")->Hidden());
  }

  // With the code given, OK launches only missiles that may strike the
  // picked capital: these ride in no carrier, so nothing goes and the page
  // says why.
  testsupport::UnitRing ring;
  const uint32_t capital = MakeHexPos(4, 1);
  for (const uint32_t target : {capital, capital, MakeHexPos(5, 1)}) {
    UnitRecord& m = ring.Add(static_cast<uint32_t>(ring.size() + 1), kLocal, 40);
    m.carrier = 99, m.unitFlags = kUnitStock, m.strength = 1.0f, m.ordersShown[kFireHex] = target;
  }
  g_world.players[kLocal].flags56 = kPlayerLaunchAuthorised;
  ListSelectItem(0, list.get(), ListNextRow(list.get(), nullptr), 0);
  for (const char* button : {"LAUNCH", "LAUNCHALL"}) {
    g_commandLog.Clear();
    panel.OnCommand(sheet.Find(button), 0);
    panel.OnCommand(sheet.Find("LOK"), 0);
    EXPECT_TRUE(g_commandLog.Entries().empty()) << button;
    EXPECT_EQ(sheet.Find("REACH")->text.rfind("Cannot launch: ", 0), 0u) << button;
  }
  g_commandLog.Clear();
  panel.list = nullptr;
  panel.currentForm = nullptr;
}

}  // namespace
