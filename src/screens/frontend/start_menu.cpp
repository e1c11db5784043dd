#include "screens/frontend/start_menu.h"

#include <string>

#include "app/app_object.h"
#include "platform/window.h"
#include "screens/frontend/game_lobby.h"
#include "screens/frontend/tutorial_window.h"
#include "screens/screen_panel_helpers.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "world/text/text_lists.h"

namespace {

constexpr const char* kStartMenuTags[] = {"MENU",    "NEWGAME", "LOADGAME",  "MULTI",  "TUTORIAL", "OPTIONS",
                                          "QUIT",    "QUITBOX", "TEXTBOX12", "OKQUIT", "CANBUT"};
// At the start menu no game is running: the question is about leaving the
// program, not the in-game menu's "leave this game" text.
constexpr int kQuitProgramQuestion = 10;
constexpr int kTutorialLabel = 19;
constexpr const char* kTutorialName = "Basics";
// The load dialog's choice lands here until it is confirmed.
std::string g_loadChoice;

// The question takes the menu's place: text is drawn after every fill of a
// frame, so menu labels left beneath the box would show through its words.
void ShowQuitQuestion(Control* form, bool shown) {
  SetControlFlag(FormFindControlByTag(form, "QUITBOX"), kStateHidden, shown ? 0 : 1);
  SetControlFlag(FormFindControlByTag(form, "MENU"), kStateHidden, shown ? 1 : 0);
}

}  // namespace

StartMenu::StartMenu() : Screen("SM_PLAYER1", {kStartMenuTags, {}}) { hostLink = &g_ui.frontEndBackground; }

void StartMenu::OnOpen() {
  if (!currentForm) return;
  ShowQuitQuestion(currentForm, false);
  ControlSetText(FormFindControlByTag(currentForm, "TEXTBOX12"),
                 TextListEntry(g_textLists, kListLocalphrases, kQuitProgramQuestion));
  ControlSetText(FormFindControlByTag(currentForm, "TUTORIAL"), TextListEntry(g_textLists, kListUitext, kTutorialLabel));
}

void StartMenu::OnCommand(Control* control, int32_t) {
  ScreenSet& s = g_screens;
  if (Is(control, "NEWGAME")) {
    s.gameChoice.Show(0, nullptr);
  } else if (Is(control, "LOADGAME")) {
    g_loadChoice.clear();
    OpenFileDialog("Load game", ".SAV", g_app.saveGamePath, &s.gameFile, kFileDialogLoad, &g_loadChoice,
                   kFileActionStartSaved, 0);
  } else if (Is(control, "MULTI")) {
    s.connect->Show(0, nullptr);
  } else if (Is(control, "TUTORIAL")) {
    // Starting it replaces the front end's screens; a tutorial that cannot
    // be read leaves the menu as it is.
    if (StartTutorial(g_ui, kTutorialName)) return;
  } else if (Is(control, "OPTIONS")) {
    s.optionsMenu->Show(0, nullptr);
  } else if (Is(control, "QUIT")) {
    ShowQuitQuestion(currentForm, true);
  } else if (Is(control, "CANBUT")) {
    ShowQuitQuestion(currentForm, false);
  } else if (Is(control, "OKQUIT")) {
    if (g_platform.mainWindow) plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  }
  if (currentForm) currentForm->state |= kStateDirty;
}
