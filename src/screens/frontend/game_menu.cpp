#include "screens/frontend/game_menu.h"

#include <algorithm>
#include <cstring>

#include "app/app_object.h"
#include "screens/frontend/option_pages.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "sim/game_stop.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/text_box.h"
#include "world/game_state.h"
#include "world/text/text_lists.h"

namespace {

constexpr const char* kButtonsTags[] = {"RETURNBUT", "QUITBUT", "SAVEBUT", "LOADBUT"};
constexpr const char* kQuitTags[] = {"TEXTBOX12", "CANBUT", "OKQUIT"};
constexpr const char* kQuitNowTags[] = {"TEXTBOX15", "RETURNBUT", "QUITNOW"};
constexpr const char* kMenuTags[] = {"OPTIONPAR"};

constexpr uint32_t kQuestionColour = 0xFF96BEFA;
constexpr int32_t kQuestionFont = 10;  // the menu's large font

}  // namespace

bool SaveNameUsable(std::string_view name) {
  if (name.empty() || name.find("..") != std::string_view::npos) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return c == '/' || c == '\\' || c == ':' || u < 0x20 || u == 0x7F;
  });
}

void RecordSave(GameState& state, std::string_view name) {
  const size_t n = std::min(name.size(), sizeof state.saveName - 1);
  std::memset(state.saveName, 0, sizeof state.saveName);
  std::memcpy(state.saveName, name.data(), n);
  state.saveCounter += 1;
}

const char* GameMenuPageForm(int32_t page) {
  switch (page) {
    case kGameMenuSavePage: return "GAME_SS3";
    case kGameMenuLoadPage: return "GAME_SS4";
    case kGameMenuQuitPage: return "GAME_SS02";
    default: return "GAME_SS1";
  }
}

GameMenu::GameMenu()
    : Screen("GAME", {kMenuTags, {}}),
      buttons(*this),
      quitConfirm(*this),
      saveDialog(*this),
      quitNow(*this),
      loadDialog(*this) {}

void GameMenu::BindControls() {
  optionPanel = nullptr;
  if (!form) return;
  optionPanel = Is(form, "OPTIONPAR") ? form : FormFindControlByTag(form, "OPTIONPAR");
}

int32_t GameMenu::Popup(intptr_t page, const ScreenParameterList*) {
  CloseAllPopups(g_ui, 0);
  g_gameMenuActions.pause();
  const plat::Rect whole{0, 0, g_platform.clientRect.right, g_platform.clientRect.bottom};
  const int32_t refused = currentForm ? OpenPopup(g_ui, currentForm, kPopupExclusive, -1, -1, 0, whole) : 0;
  if (page != kKeepScreenId) id = page;
  OnOpen();
  return refused;
}

void GameMenu::OnOpen() {
  CloseMapPopups(g_screens);
  CancelMapPlacement(g_screens);
  // A menu opened on a dialog other than those below shows the buttons.
  int32_t page = static_cast<int32_t>(id);
  if (page >= kOptionPagePlayer && page <= kOptionPageRestart && ShowGameMenuOptionPage(*this, page)) return;
  if (page != kGameMenuSavePage && page != kGameMenuLoadPage && page != kGameMenuQuitPage) page = 1;
  ShowPage(page);
}

void GameMenu::ShowPage(int32_t page) {
  shownPage = GameMenuPageForm(page);
  Screen* screen = &buttons;
  if (page == kGameMenuSavePage) screen = &saveDialog;
  if (page == kGameMenuLoadPage) screen = &loadDialog;
  if (page == kGameMenuQuitPage) screen = &quitConfirm;
  screen->Show(kKeepScreenId, nullptr);
}

void GameMenu::ShowQuitNow() {
  shownPage = "GAME_SS3a";
  quitNow.Show(kKeepScreenId, nullptr);
}

void GameMenu::CloseMenu() {
  shownPage = nullptr;
  if (currentForm) ClosePopupForm(g_ui, currentForm, 0, 0);
}

void GameMenu::LeavePage() {
  if (OpenedOnButtons())
    ShowPage(1);
  else
    CloseMenu();
}

int32_t GameMenuActivate(GameMenu& menu, int32_t page) { return menu.Popup(page, nullptr); }

GameMenuButtons::GameMenuButtons(GameMenu& menu) : Screen("GAME_SS1", {kButtonsTags, {}}), menu_(menu) {}

void GameMenuButtons::BindControls() { hostLink = &menu_.optionPanel; }

void GameMenuButtons::OnCommand(Control* control, int32_t) {
  if (Is(control, "RETURNBUT")) menu_.CloseMenu();
  if (Is(control, "QUITBUT")) menu_.ShowPage(kGameMenuQuitPage);
  if (Is(control, "SAVEBUT")) menu_.ShowPage(kGameMenuSavePage);
  if (Is(control, "LOADBUT")) menu_.ShowPage(kGameMenuLoadPage);
  if (const int32_t page = OptionPageOfMenuButton(control)) ShowGameMenuOptionPage(menu_, page);
  // RESIGNBUT does nothing.
}

MenuQuestion::MenuQuestion(const char* formName, FormLookups lookups, GameMenu& menu, Question question)
    : Screen(formName, lookups), menu_(menu), question_(question) {}

void MenuQuestion::BindControls() {
  hostLink = &menu_.optionPanel;
  text_ = MakeTextBox(question_.tag, 0, form);
  if (text_ && text_->prototype) {
    text_->prototype->fontSlot = static_cast<uint32_t>(question_.font);
    text_->prototype->textColour = kQuestionColour;
  }
}

void MenuQuestion::OnOpen() {
  const char* text = TextListText(kListUitext, question_.entry);
  if (text_) TextBoxSetText(text_, text ? text : "", 0, 1);
}

QuitConfirm::QuitConfirm(GameMenu& menu)
    : MenuQuestion("GAME_SS02", {kQuitTags, {}}, menu, {"TEXTBOX12", kUiTextQuitQuestion, kQuestionFont}) {}

void QuitConfirm::OnCommand(Control* control, int32_t) {
  if (Is(control, "CANBUT")) menu_.ShowPage(1);
  if (Is(control, "OKQUIT")) {
    menu_.CloseMenu();
    g_gameMenuActions.leaveGame(false);
  }
}

QuitNowDialog::QuitNowDialog(GameMenu& menu)
    : MenuQuestion("GAME_SS3a", {kQuitNowTags, {}}, menu, {"TEXTBOX15", kUiTextQuitNow, kQuestionFont}) {}

void QuitNowDialog::OnCommand(Control* control, int32_t) {
  if (Is(control, "RETURNBUT")) menu_.CloseMenu();
  if (Is(control, "QUITNOW")) {
    menu_.CloseMenu();
    g_gameMenuActions.leaveGame(false);
  }
}
