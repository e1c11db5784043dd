// Fields typed into as a player types: a click on the field, the keys the
// window delivers, then whatever ends the typing (OK, Enter or a click
// elsewhere); what was typed is read back from the state the game keeps
// and saves, never set in code.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "app/app_object.h"
#include "shell/shell.h"
#include "editor/editor_class_lists.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "records/text_field.h"
#include "screens/diplomacy/deals/deal_item_popups.h"
#include "screens/diplomacy/deals/deal_items.h"
#include "screens/diplomacy/deals/deal_popup.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "sim/dip_offer.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/region_names.h"
#include "support/editor_program_guard.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "support/temp_dir.h"
#include "support/whole_program.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/map_folders.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/game_speed.h"
#include "world/list_items.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

namespace fs = std::filesystem;

// The characters as the window posts them for key presses (8 Backspace,
// 13 Enter), then a frame.
void Type(const std::string& keys) {
  for (char c : keys)
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmChar, static_cast<plat::WParam>(static_cast<uint8_t>(c)), 0);
  PumpWholeProgram();
}

Control* Tagged(Control* form, const char* tag) { return form ? FormFindControlByTag(form, tag) : nullptr; }

const std::string kClear(8, '\b');

TEST(TypedFieldsPlay, TheEditorSetUpKeepsTheScenarioNameTypedIntoIt) {
  // Typed, then ended three ways: OK pressed with the field still in edit,
  // Enter then OK, and a click on another field first.
  struct Row {
    const char* name;
    std::string keys;
    const char* elsewhere;  // a control clicked before OK, or null
    const char* saved;
  } const rows[] = {
      {"OK while typing", kClear + "ISLES", nullptr, "ISLES"},
      {"Enter, then OK", kClear + "Fjords\r", nullptr, "Fjords"},
      {"another field, then OK", kClear + "Reef", "MAPFNAME", "Reef"},
  };
  // The game's folders seen from a folder of the test's own, so that
  // nothing the editor writes lands beside the game.
  TempDir root;
  LinkGameFolder(root.path());
  struct Restores {
    std::string root = plat::DataRoot();
    ~Restores() {
      ShutdownApplication(g_app);
      plat::SetDataRoot(root);
    }
  };
  const EditorProgramGuard editorGuard;
  plat::SetDataRoot(root.path());
  PrepareWholeProgram();
  g_ui.mapEditor = 1;
  Restores restores;
  ASSERT_EQ(InitApplication(g_app), 0);
  PumpWholeProgram();
  const Screen& menu = g_screens.fileMenuPanels[0];
  ASSERT_TRUE(menu.currentForm);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClickControl(FormFindControlById(menu.currentForm, 4));
    ASSERT_TRUE(g_editorScreens.setupPopup && g_editorScreens.setupPopup->currentForm);
    Control* form = g_editorScreens.setupPopup->currentForm;
    Control* field = Tagged(form, "GAMNAME");
    ASSERT_NE(field, nullptr);
    ClickControl(field);
    EXPECT_EQ(g_controls.edit, field) << "a click puts the field in edit";
    Type(row.keys);
    if (row.elsewhere) ClickControl(Tagged(form, row.elsewhere));
    ClickControl(Tagged(form, "OKBUT"));
    EXPECT_EQ(FieldText(g_world.gameState.scenarioName), row.saved);
  }
}

TEST(TypedFieldsPlay, TheMailOptionsKeepTheDeleteDaysTypedIntoThem) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  SetGameSpeed(g_world.gameState, 0);
  if (g_uiOptions.sidescreens) {
    g_uiOptions.sidescreens = 0;
    ApplySideScreensLayout(*g_ui.mapView);
  }
  SampleGame::ClickControl(FormFindControlById(s.mailBar.currentForm, 11));
  ASSERT_TRUE(g_ui.sidePopupOpen) << "the mail bar opens the mailbox";
  SampleGame::ClickControl(Tagged(s.mailWindow.currentForm, "LABELBUT"));
  Control* days = Tagged(s.mailOptions.currentForm, "DELDAYS");
  ASSERT_NE(days, nullptr);
  ASSERT_FALSE(days->Hidden()) << "the options page shows";

  struct Row {
    const char* name;
    std::string keys;
    int32_t kept;
  } const rows[] = {{"twelve days", kClear + "12", 12}, {"then 45 and Enter", kClear + "45\r", 45}, {"a stray letter keeps the figure before it", kClear + "9x", 9}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SampleGame::ClickControl(days);
    EXPECT_EQ(g_controls.edit, days) << "a click puts the field in edit";
    Type(row.keys);
    SampleGame::ClickControl(Tagged(s.mailWindow.currentForm, "LABELBUT"));  // back to the list
    EXPECT_EQ(g_uiOptions.emaildeldays, row.kept);
    EXPECT_EQ(static_cast<StringControl*>(days)->GetInt(), row.kept);
    SampleGame::ClickControl(Tagged(s.mailWindow.currentForm, "LABELBUT"));
  }
}

TEST(TypedFieldsPlay, TheDealEditorSendsThePaymentCountTypedIntoIt) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  // The negotiation pop-up is laid out for a 1280 x 1024 window.
  ASSERT_NO_FATAL_FAILURE(game.Start("Westholm", "Channel", 1280, 1024));
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const int32_t local = w.gameState.localPlayer;
  const int32_t eastmark = SampleGame::RegionNamed("Eastmark");
  ASSERT_NE(eastmark, 0);
  ScreenSet& s = g_screens;
  DealPopup& popup = s.dealPopup;
  DealEditor& editor = s.dealEditor;

  // Typed and ended by the next click (Offer), or by Enter first. The
  // amount is clicked on its bar, near its foot or near its top (the
  // treasury): each payment is held to what is available, so three of
  // them near the top, worth more than the treasury in all, go as they are.
  struct Row {
    const char* name;
    int twentieths;
    std::string keys;
    int16_t sent;
  } const rows[] = {{"Offer pressed while typing", 1, kClear + "7", 7},
                    {"Enter, then Offer", 1, kClear + "15\r", 15},
                    {"worth more than the treasury in all", 19, kClear + "3\r", 3}};
  std::set<uint32_t> seen;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    popup.Popup(eastmark, nullptr);
    ASSERT_NE(popup.offer, nullptr);
    SampleGame::Pump();
    SampleGame::ClickControl(FormFindControlById(editor.currentForm, 12));  // money
    SampleGame::ClickControl(editor.lists[0], 0);                           // a payment
    DealAmountPicker& picker = s.dealAmountPicker[0];
    ASSERT_NE(picker.currentForm, nullptr);
    SampleGame::ClickControl(FormFindControlByTag(picker.currentForm, "FREQ3"));  // monthly
    Control* bar = FormFindControlByTag(picker.currentForm, "AMNTSLDR");
    ASSERT_NE(bar, nullptr);
    const plat::Rect along = ControlAbsoluteRect(bar);
    const int x = along.left + (along.right - along.left) * row.twentieths / 20, y = (along.top + along.bottom) / 2;
    SampleGame::Post(plat::kWmMouseMove, 0, x, y);
    SampleGame::Post(plat::kWmLButtonDown, plat::kMkLButton, x, y);
    SampleGame::Post(plat::kWmLButtonUp, 0, x, y);
    SampleGame::Pump();
    Control* number = FormFindControlByTag(picker.currentForm, "NUMBER");
    ASSERT_NE(number, nullptr);
    ASSERT_FALSE(number->Hidden());
    SampleGame::ClickControl(number);
    EXPECT_EQ(g_controls.edit, number) << "a click puts the field in edit";
    Type(row.keys);
    SampleGame::ClickControl(FormFindControlByTag(editor.currentForm, "OFFERBUT"));
    ASSERT_EQ(popup.offer->offered.dealItems.size(), 1u);
    SampleGame::ClickControl(FormFindControlByTag(editor.currentForm, "NONE3"));  // nothing asked back
    Control* submit = FormFindControlByTag(editor.currentForm, "SUBMITBUT");
    ASSERT_NE(submit, nullptr);
    ASSERT_FALSE(submit->Hidden());
    SampleGame::ClickControl(submit);
    EXPECT_EQ(popup.offer, nullptr) << "the offer went";

    // The offer from the local region that Eastmark's mail holds, as the
    // offer view reads it.
    std::string sentText;
    {
      WorldLockGuard hold(w, kLockMail);
      ListNode& head = w.messageLists[eastmark];
      for (ListNode* n = head.next(); n && n != &head; n = n->next()) {
        const auto* m = static_cast<PlayerMessage*>(n);
        if (m->typeId == kMsgOffer && m->sender == local && m->texts[2] && !seen.count(m->serial)) {
          sentText = m->texts[2];
          seen.insert(m->serial);
        }
      }
    }
    ASSERT_FALSE(sentText.empty()) << "Eastmark's list holds the offer";
    DipOffer sent;
    ParseDipOffer(w, sentText.c_str(), sent, false, false);
    ASSERT_EQ(sent.offered.dealItems.size(), 1u);
    EXPECT_EQ(sent.offered.dealItems[0].paymentCount, row.sent);
  }
}

}  // namespace
