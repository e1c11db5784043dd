#include "screens/frontend/start_menu.h"

#include <string>

#include "app/app_object.h"
#include "platform/window.h"
#include "screens/frontend/game_lobby.h"
#include "screens/screen_panel_helpers.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "world/text/text_lists.h"

namespace {

constexpr const char* kStartMenuTags[] = {"NEWGAME", "LOADGAME", "MULTI", "OPTIONS", "QUIT",
                                          "QUITBOX", "TEXTBOX12", "OKQUIT", "CANBUT"};
// The quit question's entry of the game-flow texts.
constexpr int kQuitQuestion = 12;
// The load dialog's choice lands here until it is confirmed.
std::string g_loadChoice;

bool Is(const Control* control, const char* tag) { return control && ControlTagMatches(control->tag, tag); }

}  // namespace

StartMenu::StartMenu() : Screen("SM_PLAYER1", {kStartMenuTags, {}}) { hostLink = &g_ui.frontEndBackground; }

void StartMenu::OnOpen() {
  if (!currentForm) return;
  SetControlFlag(FormFindControlByTag(currentForm, "QUITBOX"), kStateHidden, 1);
  ControlSetText(FormFindControlByTag(currentForm, "TEXTBOX12"), TextListEntry(g_textLists, kListUitext, kQuitQuestion));
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
    s.connect.Show(0, nullptr);
  } else if (Is(control, "OPTIONS")) {
    s.optionsMenu.Show(0, nullptr);
  } else if (Is(control, "QUIT")) {
    SetControlFlag(FormFindControlByTag(currentForm, "QUITBOX"), kStateHidden, 0);
  } else if (Is(control, "CANBUT")) {
    SetControlFlag(FormFindControlByTag(currentForm, "QUITBOX"), kStateHidden, 1);
  } else if (Is(control, "OKQUIT")) {
    if (g_platform.mainWindow) plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  }
  if (currentForm) currentForm->state |= kStateDirty;
}
