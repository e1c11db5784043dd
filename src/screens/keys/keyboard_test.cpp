// Keys with the game's screens installed: the capture holder, the tutorial
// window, the text edit and the pop-ups come before the hotkey table, Tab
// walks the sibling ring, and the table's option and speed rows.
#include "ui/keyboard.h"

#include <gtest/gtest.h>

#include "platform/messages.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/box_control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

namespace {

uint32_t g_held = 0;

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_keyModifiers = [] { return g_held; };
    g_held = 0;
    g_ui.mode = kUiInGame;
    g_ui.popupCount = 0;
    g_controls = ControlGlobals{};
  }
  void TearDown() override {
    g_keyModifiers = nullptr;
    g_controls = ControlGlobals{};
    g_ui.popupCount = 0;
    g_ui.mode = kUiFrontEnd;
    g_swallowNextChar = 0;
  }
  GlobalGuard<UiOptions> options_{g_uiOptions};
};

struct KeySeen : BoxControl {
  KeySeen() : BoxControl(ControlInit{}) {}
  int32_t HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override {
    if (message == static_cast<int32_t>(plat::kWmKeyDown) || message == static_cast<int32_t>(plat::kWmChar)) ++keys;
    return BoxControl::HandleInput(message, p1, p2, p3);
  }
  int keys = 0;
};

TEST_F(KeyboardTest, KeysReachTheCaptureThenTheHotkeysUnlessEditingOrAPopupIsOpen) {
  struct Row {
    const char* name;
    bool capture, editing;
    uint8_t popups;
    int captureKeys, editKeys;
    bool hotkeyActs;
  } rows[] = {
      {"nothing held", false, false, 0, 0, 0, true},
      {"capture then hotkeys", true, false, 0, 1, 0, true},
      {"text edit stops the hotkeys", true, true, 0, 1, 1, false},
      {"a pop-up leaves only Escape", false, false, 1, 0, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    KeySeen holder, edit;
    g_controls.capture = row.capture ? &holder : nullptr;
    g_controls.edit = row.editing ? &edit : nullptr;
    g_ui.popupCount = row.popups;
    g_uiOptions.ovshowcitynames = 0;
    OnKeyDown(g_ui, 'X');
    EXPECT_EQ(holder.keys, row.captureKeys);
    EXPECT_EQ(edit.keys, row.editKeys);
    EXPECT_EQ(g_uiOptions.ovshowcitynames, row.hotkeyActs ? 1 : 0);
    g_controls = ControlGlobals{};
    g_ui.popupCount = 0;
  }
}

TEST_F(KeyboardTest, TabWalksTheSiblingRing) {
  struct Row {
    const char* name;
    int siblings;
    uint32_t held;
    int expected;  // index of the new holder, -1 for none
    uint32_t keyBits = 0;  // the modifiers the message carries win over those held now
  } rows[] = {{"alone only drops it", 1, 0, -1}, {"next", 3, 0, 1}, {"previous", 3, kModShift, 2},
              {"Shift carried, let go since", 3, 0, 2, plat::kKeyModifiersCarried | plat::kKeyShiftHeld},
              {"none carried, Shift held since", 3, kModShift, 1, plat::kKeyModifiersCarried}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    BoxControl parent(ControlInit{});
    Control* children[3] = {};
    for (int i = 0; i < row.siblings; ++i) children[i] = ControlAddChild(&parent, new BoxControl(ControlInit{}));
    g_controls.capture = children[0];
    g_held = row.held;
    OnKeyDown(g_ui, plat::kVkTab, row.keyBits);
    EXPECT_EQ(g_controls.capture, row.expected < 0 ? nullptr : children[row.expected]);
    g_controls = ControlGlobals{};
  }
}

TEST_F(KeyboardTest, OptionRows) {
  struct Row {
    const char* name;
    uint32_t key, held;
    int32_t editor;
    int32_t hudOn, discOn;  // before
    uint8_t alpha;
    int32_t expectHudOn, expectDiscOn;
    uint8_t expectAlpha;
  } rows[] = {
      {"Ctrl+D on/off", 'D', kModCtrl, 0, 1, 0, 0, 1, 1, 0},
      {"Ctrl+D on/on", 'D', kModCtrl, 0, 1, 1, 0, 0, 1, 0},
      {"Ctrl+D off/on", 'D', kModCtrl, 0, 0, 1, 0, 0, 0, 0},
      {"Ctrl+D off/off", 'D', kModCtrl, 0, 0, 0, 0, 1, 0, 0},
      {"Shift+K wraps", 'K', kModShift, 0, 1, 0, 250, 1, 0, 19},
      {"Alt+K matches no row", 'K', kModAlt, 0, 1, 0, 7, 1, 0, 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_uiOptions.bunithudon = row.hudOn;
    g_uiOptions.bunitdiscon = row.discOn;
    g_uiOptions.unitdiscalpha = row.alpha;
    EXPECT_EQ(KeyCommand(row.key, g_ui, row.held, row.editor), 1);
    EXPECT_EQ(g_uiOptions.bunithudon, row.expectHudOn);
    EXPECT_EQ(g_uiOptions.bunitdiscon, row.expectDiscOn);
    EXPECT_EQ(g_uiOptions.unitdiscalpha, row.expectAlpha);
  }
}

TEST_F(KeyboardTest, TheSwallowedCharacterNeverArrives) {
  struct Row {
    uint32_t swallow;
    int expected;
  } rows[] = {{1, 0}, {0, 1}};
  for (const Row& row : rows) {
    KeySeen edit;
    g_controls.edit = &edit;
    g_swallowNextChar = row.swallow;
    OnChar(g_ui, 'n');
    EXPECT_EQ(edit.keys, row.expected);
    EXPECT_EQ(g_swallowNextChar, 0u);
    g_controls = ControlGlobals{};
  }
}

// The clock's keys under pop-ups are played in
// tests/running_clock_play_test.cpp.
TEST_F(KeyboardTest, WithPopupsOpenEscapeClosesThemAllAndAnOptionKeyDoesNothing) {
  struct Row {
    const char* name;
    uint32_t key;
    bool closed;
  } rows[] = {{"Escape", plat::kVkEscape, true}, {"another key", 'X', false}};
  g_popupSounds.uiSound = [](int32_t) {};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    BoxControl root(ControlInit{.width = 1024, .height = 768});
    g_ui.rootForm = &root;
    Screen a("A"), b("B");
    BoxControl formA(ControlInit{.owner = &a, .width = 10, .height = 10});
    BoxControl formB(ControlInit{.owner = &b, .width = 10, .height = 10});
    a.currentForm = &formA;
    b.currentForm = &formB;
    ASSERT_EQ(OpenPopup(g_ui, &formA, 0, -1, -1, 0, {0, 0, 1024, 768}), 0);
    ASSERT_EQ(OpenPopup(g_ui, &formB, kPopupStacked, -1, -1, 0, {0, 0, 1024, 768}), 0);
    b.returnTo = &a;
    g_uiOptions.ovshowcitynames = 0;
    OnKeyDown(g_ui, row.key);
    EXPECT_EQ(formA.parent == nullptr, row.closed);
    EXPECT_EQ(formB.parent == nullptr, row.closed);
    EXPECT_EQ(g_uiOptions.ovshowcitynames, 0);
    CloseAllPopups(g_ui, 1);
    EXPECT_EQ(root.firstChild, nullptr);
    g_ui.rootForm = nullptr;
  }
  g_popupSounds = {};
}

int g_closes = 0, g_backs = 0;

TEST_F(KeyboardTest, F11InTheFrontEndClosesTheProgramOrGoesBackToTheGame) {
  struct Row {
    const char* name;
    uint32_t key;
    bool frontEndRoot;
    int closes, backs;
  } rows[] = {
      {"no game behind", plat::kVkF1 + 10, true, 1, 0},
      {"over a running game", plat::kVkF1 + 10, false, 0, 1},
      {"other keys nothing", 'X', true, 0, 0},
  };
  g_keyApp.close = [] { ++g_closes; };
  g_keyApp.backToGame = [] { ++g_backs; };
  BoxControl frontEnd(ControlInit{}), game(ControlInit{});
  g_ui.frontEndBackground = &frontEnd;
  g_ui.mode = kUiFrontEnd;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_closes = g_backs = 0;
    g_ui.rootForm = row.frontEndRoot ? &frontEnd : &game;
    OnKeyDown(g_ui, row.key);
    EXPECT_EQ(g_closes, row.closes);
    EXPECT_EQ(g_backs, row.backs);
  }
  g_ui.rootForm = g_ui.frontEndBackground = nullptr;
  g_keyApp = {};
}

TEST_F(KeyboardTest, WhileTheTutorialIsOpenOnlyEscapeActsAndClosesIt) {
  struct Row {
    uint32_t key;
    bool closed;
    int32_t cityNames;
  } rows[] = {{'X', false, 0}, {plat::kVkEscape, true, 0}};
  g_popupSounds.uiSound = [](int32_t) {};
  BoxControl root(ControlInit{.width = 1024, .height = 768});
  g_ui.rootForm = &root;
  TutorialWindow& tutorial = g_screens.tutorial;
  tutorial.currentForm = new BoxControl(ControlInit{.owner = &tutorial, .width = 10, .height = 10});
  for (const Row& row : rows) {
    ASSERT_EQ(tutorial.Popup(0, nullptr), 0);
    g_uiOptions.ovshowcitynames = 0;
    OnKeyDown(g_ui, row.key);
    EXPECT_EQ(tutorial.currentForm->parent == nullptr, row.closed);
    EXPECT_EQ(g_uiOptions.ovshowcitynames, row.cityNames);
    CloseAllPopups(g_ui, 1);
  }
  delete tutorial.currentForm;
  tutorial.currentForm = nullptr;
  g_ui.rootForm = nullptr;
  g_popupSounds = {};
}

int32_t g_tier = 0;
int32_t g_setTier = -1;

TEST_F(KeyboardTest, SpeedKeysStayWithinTheTiers) {
  struct Row {
    const char* name;
    uint32_t key, held;
    int32_t editor, tier, expected;  // -1: not set
  } rows[] = {
      {"Page Up at 0 stays 0", plat::kVkPrior, 0, 0, 0, 0},
      {"Page Up", plat::kVkPrior, 0, 0, 2, 1},
      {"Shift+Page Up stops", plat::kVkPrior, kModShift, 0, 3, 0},
      {"Page Down at 3 stays 3", plat::kVkNext, 0, 0, 3, 3},
      {"Page Down", plat::kVkNext, 0, 0, 1, 2},
      {"Shift+Page Down to full", plat::kVkNext, kModShift, 0, 0, 3},
      {"Ctrl+Page Down does nothing", plat::kVkNext, kModCtrl, 0, 1, -1},
      {"Pause", plat::kVkPause, 0, 0, 2, 0},
      {"not in the editor", plat::kVkPause, 0, 1, 2, -1},
  };
  g_keySpeed.tier = [] { return g_tier; };
  g_keySpeed.set = [](int32_t tier) { g_setTier = tier; };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_tier = row.tier;
    g_setTier = -1;
    KeyCommand(row.key, g_ui, row.held, row.editor);
    EXPECT_EQ(g_setTier, row.expected);
  }
  g_keySpeed = {};
}

}  // namespace
