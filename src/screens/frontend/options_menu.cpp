#include "screens/frontend/option_pages.h"
#include "screens/frontend/start_menu.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"

namespace {

constexpr const char* kMenuTags[] = {"GAMESS5", "GAMESS6", "GAMESS7", "RESETBUT", "BACK"};
constexpr const char* kHostTags[] = {"OPTIONPAR", "PAGETITLE", "BACK"};
// The menu's buttons and the pages they open.
constexpr struct {
  const char* tag;
  int32_t page;
  const char* title;
} kPages[] = {{"GAMESS5", kOptionPagePlayer, "Player options"},
              {"GAMESS6", kOptionPageGraphics, "Graphics options"},
              {"GAMESS7", kOptionPageSound, "Sound options"},
              {"RESETBUT", kOptionPageReset, "Reset options"}};
// The pages that show the player's profile.
constexpr int32_t kProfilePages[] = {96, 97};

class OptionsMenu : public Screen {
 public:
  OptionsMenu() : Screen("SM_PLAYER1d", {kMenuTags, {}}) { hostLink = &g_ui.frontEndBackground; }
  void OnCommand(Control* control, int32_t) override {
    for (const auto& page : kPages)
      if (Is(control, page.tag)) {
        g_screens.optionsHost->Show(page.page, nullptr);
        return;
      }
    if (Is(control, "BACK")) g_screens.startMenu.Show(0, nullptr);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeOptionsMenu() { return std::make_unique<OptionsMenu>(); }
namespace {

class OptionsHost : public Screen {
 public:
  OptionsHost() : Screen("SM_PLAYER1e", {kHostTags, {}}) { hostLink = &g_ui.frontEndBackground; }
  void OnOpen() override {
    if (!currentForm) return;
    Control* pageHost = FormFindControlByTag(currentForm, "OPTIONPAR");
    const char* title = "Options";
    ControlAttachForm(pageHost, nullptr);
    for (const auto& page : kPages)
      if (page.page == id) {
        title = page.title;
        // The pages return to the options menu, which their page id tells
        // them they were opened from.
        if (Screen* screen = OptionPageScreen(page.page)) screen->Show(kOptionPageFrontEnd, pageHost);
      }
    for (const int32_t profile : kProfilePages)
      if (profile == id) {
        title = "Player profile";
        g_screens.playerProfile->Show(id, pageHost);
      }
    ControlSetText(FormFindControlByTag(currentForm, "PAGETITLE"), title);
    currentForm->state |= kStateDirty;
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "BACK")) g_screens.optionsMenu->Show(kKeepScreenId, nullptr);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeOptionsHost() { return std::make_unique<OptionsHost>(); }
