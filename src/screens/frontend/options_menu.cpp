#include "screens/frontend/start_menu.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/screen_set.h"

namespace {

constexpr const char* kMenuTags[] = {"GAMESS5", "GAMESS6", "GAMESS7", "RESETBUT", "BACK"};
constexpr const char* kHostTags[] = {"OPTIONPAR", "PAGETITLE", "BACK"};
// The menu's buttons and the pages they open.
constexpr struct {
  const char* tag;
  int32_t page;
  const char* title;
} kPages[] = {{"GAMESS5", 5, "Game options"}, {"GAMESS6", 6, "Player options"}, {"GAMESS7", 7, "Graphics and sound"},
              {"RESETBUT", 98, "Reset options"}};
// The pages that show the player's profile.
constexpr int32_t kProfilePages[] = {96, 97};

bool Is(const Control* control, const char* tag) { return control && ControlTagMatches(control->tag, tag); }

}  // namespace

OptionsMenu::OptionsMenu() : Screen("SM_PLAYER1d", {kMenuTags, {}}) { hostLink = &g_ui.frontEndBackground; }

void OptionsMenu::OnCommand(Control* control, int32_t) {
  for (const auto& page : kPages)
    if (Is(control, page.tag)) {
      g_screens.optionsHost.Show(page.page, nullptr);
      return;
    }
  if (Is(control, "BACK")) g_screens.startMenu.Show(0, nullptr);
}

OptionsHost::OptionsHost() : Screen("SM_PLAYER1e", {kHostTags, {}}) { hostLink = &g_ui.frontEndBackground; }

void OptionsHost::OnOpen() {
  if (!currentForm) return;
  Control* pageHost = FormFindControlByTag(currentForm, "OPTIONPAR");
  const char* title = "Options";
  for (const auto& page : kPages)
    if (page.page == id) title = page.title;
  ControlAttachForm(pageHost, nullptr);
  for (const int32_t profile : kProfilePages)
    if (profile == id) {
      title = "Player profile";
      g_screens.playerProfile.Show(id, pageHost);
    }
  ControlSetText(FormFindControlByTag(currentForm, "PAGETITLE"), title);
  currentForm->state |= kStateDirty;
}

void OptionsHost::OnCommand(Control* control, int32_t) {
  if (Is(control, "BACK")) g_screens.optionsMenu.Show(kKeepScreenId, nullptr);
}
