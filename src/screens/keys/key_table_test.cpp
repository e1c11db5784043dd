// The hotkey table's screen, map and player rows: which screen each key
// opens and with what id, the Alt filter from the top row only, the next
// player's bounded cycle, the unit pop-up's ids and the zoom slider's ends.
#include "screens/keys/key_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/messages.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/keys/key_actions.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "net/command_network.h"
#include "support/global_guard.h"
#include "ui/box_control.h"
#include "ui/keyboard.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/unit_ring.h"
#include "world/id_lookups.h"
#include "world/map_data.h"
#include "world/world.h"

namespace {

uint32_t g_held = 0;
PolledInput g_polled{};

// Every pop-up the keys open gets a form; the game runs over a root form.
class KeyTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_ui.rootForm = &root_;
    g_ui.mode = kUiInGame;
    g_keyModifiers = [] { return g_held; };
    g_popupSounds.uiSound = [](int32_t) {};
    for (Screen* s : screens_) {
      s->currentForm = new BoxControl(ControlInit{.owner = s, .width = 100, .height = 50});
      s->id = -1;
    }
  }
  void TearDown() override {
    CloseAllPopups(g_ui, 1);
    for (Screen* s : screens_) {
      delete s->currentForm;
      s->currentForm = nullptr;
    }
    g_ui.rootForm = nullptr;
    g_ui.mode = kUiFrontEnd;
    g_keyModifiers = nullptr;
    g_popupSounds = {};
    g_swallowNextChar = 0;
    g_commandNet.role = kNetGameNone;
  }
  BoxControl root_{ControlInit{.width = 1024, .height = 768}};
  GlobalGuard<GameState> state_{g_world.gameState};
  ScreenSet& s_ = g_screens;
  Screen* screens_[10] = {&s_.help,     &s_.chat,     s_.settlementList.get(), &s_.missiles,   &s_.productPopup,
                          &s_.research, &s_.unitList, &s_.scoreCard,           &s_.emailPopup, &s_.gameMenu};
};

TEST_F(KeyTableTest, KeysOpenTheirScreens) {
  struct Row {
    const char* name;
    uint32_t key, held;
    bool networked;
    Screen* screen;  // null: none opens
    intptr_t id;
  } rows[] = {
      {"F1 help", plat::kVkF1, kModShift, false, &g_screens.help, -1},
      {"Enter chat", plat::kVkReturn, 0, false, &g_screens.chat, -1},
      {"Shift+Enter nothing", plat::kVkReturn, kModShift, false, nullptr, 0},
      {"Ctrl+C settlements of the local player", 'C', kModCtrl, false, g_screens.settlementList.get(), 4},
      {"M missiles", 'M', 0, false, &g_screens.missiles, -1},
      {"P production", 'P', 0, false, &g_screens.productPopup, -1},
      {"R research", 'R', 0, false, &g_screens.research, -1},
      {"U units", 'U', 0, false, &g_screens.unitList, -1},
      {"W score card", 'W', 0, false, &g_screens.scoreCard, -1},
      {"N alone does nothing", 'N', 0, false, nullptr, 0},
      {"N in a network game mails", 'N', 0, true, &g_screens.emailPopup, 0},
      {"F11 menu's last page", plat::kVkF1 + 10, 0, false, &g_screens.gameMenu, kGameMenuQuitPage},
      {"Ctrl+Q likewise", 'Q', kModCtrl, false, &g_screens.gameMenu, kGameMenuQuitPage},
      {"Escape with nothing else the menu", plat::kVkEscape, 0, false, &g_screens.gameMenu, kGameMenuMainPage},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_world.gameState.localPlayer = 4;
    g_commandNet.role = row.networked ? kNetGameHost : kNetGameNone;
    EXPECT_EQ(KeyCommand(row.key, g_ui, row.held, 0), 1);
    for (Screen* s : screens_) {
      EXPECT_EQ(s->currentForm->parent != nullptr, s == row.screen) << s->formName;
      if (s == row.screen) {
        EXPECT_EQ(s->id, row.id);
      }
    }
    // The character of N never reaches the message it opens.
    EXPECT_EQ(g_swallowNextChar, row.key == 'N' && row.networked ? 1u : 0u);
    g_swallowNextChar = 0;
    CloseAllPopups(g_ui, 1);
  }
}

TEST_F(KeyTableTest, EscapeUndoesTheFirstOfPlacementSelectionAndThenOpensTheMenu) {
  struct Row {
    const char* name;
    int32_t editor;
    bool placing, clickMode;
    bool placingAfter, clickModeAfter, menu;
  } rows[] = {
      {"placement first", 0, true, true, false, true, false},
      {"then the selection", 0, false, true, false, false, false},
      {"then the menu", 0, false, false, false, false, true},
      {"no menu in the editor", 1, false, false, false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.placing) BeginMapPlacement(7);
    g_screens.mapClickMode = row.clickMode ? 1 : 0;
    KeyCommand(plat::kVkEscape, g_ui, 0, row.editor);
    EXPECT_EQ(g_mapPlacement.active != 0, row.placingAfter);
    EXPECT_EQ(g_screens.mapClickMode != 0, row.clickModeAfter);
    EXPECT_EQ(g_screens.gameMenu.currentForm->parent != nullptr, row.menu);
    CloseAllPopups(g_ui, 1);
    CancelMapPlacement(g_screens);
    g_screens.mapClickMode = 0;
  }
}

TEST_F(KeyTableTest, AltDigitsSetTheFilterFromTheTopRowOnly) {
  struct Row {
    const char* name;
    uint32_t key;
    bool altPolled;  // Alt comes from the platform's input rather than the test's word
    int32_t expected;
  } rows[] = {
      {"Alt+3", '3', false, 3},
      {"Alt+3 from the platform", '3', true, 3},
      {"Alt with numeric-pad 3", plat::kVkNumpad0 + 3, false, 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_mapView.altDigitFilter = 7;
    g_keyModifiers = row.altPolled ? nullptr : +[] { return kModAlt; };
    g_polled.alt = row.altPolled;
    g_uiInput.poll = [] { return g_polled; };
    OnKeyDown(g_ui, row.key);
    EXPECT_EQ(g_mapView.altDigitFilter, row.expected);
    g_uiInput.poll = nullptr;
  }
  g_mapView.altDigitFilter = 0;
}

TEST_F(KeyTableTest, NextPlayerStopsAfterOneFullCycle) {
  // Players 1 to 3 of the kinds given; bit 6 of the rules allows the key.
  struct Row {
    const char* name;
    int32_t kinds[3];
    int32_t local;
    uint32_t rules, pending, toggle;
    int32_t expectLocal;
    uint32_t expectToggle;
  } rows[] = {
      {"next that takes part", {kKindHuman, kKindEmpty, kKindComputer}, 1, kGameFlagCheated, 0, 0, 3, 0},
      {"wraps to 1", {kKindHuman, kKindEmpty, kKindComputer}, 3, kGameFlagCheated, 0, 0, 1, 0},
      {"nobody left: local stays", {kKindOut, kKindEmpty, kKindOut}, 2, kGameFlagCheated, 0, 0, 2, 0},
      {"local 0 and nobody", {kKindEmpty, kKindEmpty, kKindEmpty}, 0, kGameFlagCheated, 0, 0, 0, 0},
      {"not allowed", {kKindHuman, kKindHuman, kKindHuman}, 1, 0, 0, 0, 1, 0},
      {"pending flips the toggle", {kKindHuman, kKindHuman, kKindHuman}, 1, kGameFlagCheated, 1, 0, 1, 1},
      {"pending leaves other values", {kKindHuman, kKindHuman, kKindHuman}, 1, kGameFlagCheated, 1, 7, 1, 7},
  };
  const GlobalGuard<uint32_t> rules(g_world.scenario.head.gameFlags);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (int i = 0; i < 3; ++i) {
      g_world.players[i + 1].kind = row.kinds[i];
      g_world.players[i + 1].simPolicy.word0 = static_cast<uint32_t>(10 + i);
      g_world.players[i + 1].displayPolicy.word0 = 0;
    }
    g_world.gameState.playerCount = 3;
    g_world.gameState.localPlayer = row.local;
    g_world.gameState.seatPending = row.pending;
    g_world.gameState.seatToggle = row.toggle;
    g_world.scenario.head.gameFlags = row.rules;
    KeyCommand('H', g_ui, kModCtrl, 0);
    EXPECT_EQ(g_world.gameState.localPlayer, row.expectLocal);
    EXPECT_EQ(g_world.gameState.seatToggle, row.expectToggle);
    const bool moved = row.expectLocal != row.local;
    if (moved) {
      EXPECT_EQ(g_world.localPlayerRecord, &g_world.players[row.expectLocal]);
      EXPECT_EQ(g_world.players[row.expectLocal].displayPolicy.word0, static_cast<uint32_t>(10 + row.expectLocal - 1));
    }
  }
  for (int i = 1; i <= 3; ++i) g_world.players[i] = PlayerRecord{};
  g_world.localPlayerRecord = nullptr;
}

TEST_F(KeyTableTest, CtrlUHandsTheUnitPopupIdsOfTheSelectedHexsUnits) {
  // 6 x 4 map; hex (1, 1) is cell 7 and holds two land units of player 1.
  ASSERT_EQ(ResizeMap(g_world, 6, 4), 0);
  g_world.gameState.localPlayer = 1;
  UnitRecord a{}, b{};
  a.id = 0x01000005;
  b.id = 0x01000009;
  a.classIndex = b.classIndex = 3;
  a.owner = b.owner = 1;
  a.x = b.x = a.y = b.y = 1;
  a.nextInChainA = a.nextInChainB = &b;  // a unit stands in both chains of its hex
  HexUnitStack stack;
  stack.chainA[0] = stack.chainB[0] = &a;
  g_world.cells[7].stack = &stack;
  g_world.unitClasses.assign(4, UnitClassRecord{});
  InsertUnitInRing(g_world, a);
  InsertUnitInRing(g_world, b);
  g_world.gameState.currentHex = HexPosition{1, 1, 7, 0};
  struct Row {
    const char* name;
    uint8_t owner;
    bool opens;
  } rows[] = {{"own units", 1, true}, {"another player's unseen", 2, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    a.owner = b.owner = row.owner;
    g_screens.unitDetail.currentForm = new BoxControl(ControlInit{.owner = &g_screens.unitDetail});
    g_world.scenario.head.gameFlags = kGameFlagFog | kGameFlagUnitSight;
    KeyCommand('U', g_ui, kModCtrl, 0);
    ASSERT_EQ(g_screens.unitDetail.currentForm->parent != nullptr, row.opens);
    if (row.opens) {
      EXPECT_EQ(g_screens.unitDetail.id, static_cast<intptr_t>(a.id));
      EXPECT_EQ(g_screens.unitDetail.parameterList->entries, (std::vector<intptr_t>{a.id, b.id}));
    }
    CloseAllPopups(g_ui, 1);
    delete g_screens.unitDetail.currentForm;
    g_screens.unitDetail.currentForm = nullptr;
  }
  g_world.scenario.head.gameFlags = 0;
  g_world.cells[7].stack = nullptr;
  g_world.units = nullptr;
  ReindexUnits(g_world);
  g_world.unitClasses.clear();
  FreeMapData(g_world);
}

TEST_F(KeyTableTest, ZoomKeysKeepTheSliderWithinItsEnds) {
  // Zoom 0.5 to 2.0: the slider runs from 0 to 1.5.
  struct Row {
    const char* name;
    uint32_t key, held;
    float before, expected;
  } rows[] = {
      {"Home steps up", plat::kVkHome, 0, 1.0f, 1.1f},
      {"Shift+Home to the top", plat::kVkHome, kModShift, 1.0f, 2.0f},
      {"End stops at the bottom", plat::kVkEnd, 0, 0.55f, 0.5f},
      {"Insert stops at the top", plat::kVkInsert, 0, 1.95f, 2.0f},
      {"Ctrl+X the top", 'X', kModCtrl, 1.0f, 2.0f},
      {"Ctrl+Z the bottom", 'Z', kModCtrl, 1.0f, 0.5f},
      {"Z full size", 'Z', 0, 1.7f, 1.0f},
  };
  const GlobalGuard<float> zoom(g_mapView.zoom), zoomMin(g_mapView.zoomMin), zoomMax(g_mapView.zoomMax);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_mapView.zoomMin = 0.5f;
    g_mapView.zoomMax = 2.0f;
    g_mapView.zoom = row.before;
    KeyCommand(row.key, g_ui, row.held, 0);
    EXPECT_NEAR(g_mapView.zoom, row.expected, 1e-4f);
  }
}

}  // namespace
