#include <cstdlib>
#include <cstring>

#include "app/app_object.h"
#include "app/audio/sound_system.h"
#include "app/log.h"
#include "app/number_text.h"
#include "app/settings.h"
#include "net/net_session.h"
#include "platform/fpenv.h"
#include "screens/frontend/game_menu.h"
#include "screens/frontend/option_pages.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"

namespace {

constexpr int32_t kRestartFont = 9;
constexpr int32_t kResetFont = 1;

constexpr const char* kRestartTags[] = {"TEXTBOX13", "CANBUT", "OKRESTART"};
constexpr const char* kResetTags[] = {"TEXTBOX14", "CANBUT", "OKPLAYER"};

// Nothing smaller than 1024 x 768: the title bar, the editor's bars and the
// map's frame are laid out that wide, and the side screens need it.
constexpr DisplayMode kDisplayModes[] = {{1024, 768}, {1280, 1024}};

// The line under OK and Cancel that says a write failed, in the look of the
// save dialog's.
constexpr const char* kErrorLineTag = "ERRORLINE";
constexpr int kErrorTextNotSaved = 1;
constexpr int32_t kErrorLineHeight = 13;
constexpr uint32_t kErrorLineFont = 2;
constexpr uint32_t kErrorLineColour = 0xFFE6E6E6;
constexpr uint32_t kCentred = 0x6;

// The side screens and the status overlay belong to the game screen; in the
// front end the game's layout takes the stored value when it is next laid
// out.
bool GameScreenShown() { return g_platform.appMode == kModeGame && g_ui.mapView; }

// The page's error line along the bottom of its form, made once per form.
Control* AddErrorLine(Screen& page) {
  if (!page.form) return nullptr;
  if (Control* line = FormFindControlByTag(page.form, kErrorLineTag)) return line;
  ControlInit init;
  init.tag = kErrorLineTag;
  init.state = kStateHidden;
  init.owner = &page;
  init.width = page.form->rect.right - page.form->rect.left;
  init.height = kErrorLineHeight;
  init.top = page.form->rect.bottom - page.form->rect.top - kErrorLineHeight;
  StringInit look;
  look.fontSlot = kErrorLineFont;
  look.alignment = kCentred;
  look.textColour = look.selectedTextColour = kErrorLineColour;
  return ControlAddChild(page.form, new StringControl(init, look));
}

void ShowNotSaved(Control* line) {
  ControlSetText(line, TextListText(kListErrortext, kErrorTextNotSaved));
  SetControlFlag(line, kStateHidden, 0);
}

bool UiOptionsSaved() {
  if (g_optionPageActions.saveUiOptions()) return true;
  LogWrite(g_platform, "Options: %s could not be written\n", g_app.optionsFile);
  return false;
}

int32_t ReadKey(const UiOptions& options, size_t offset) {
  int32_t v = 0;
  std::memcpy(&v, reinterpret_cast<const char*>(&options) + offset, sizeof v);
  return v;
}

void WriteKey(UiOptions& options, size_t offset, int32_t v) {
  std::memcpy(reinterpret_cast<char*>(&options) + offset, &v, sizeof v);
}

float ReadFloatKey(const UiOptions& options, size_t offset) {
  float v = 0;
  std::memcpy(&v, reinterpret_cast<const char*>(&options) + offset, sizeof v);
  return v;
}

void FormatNumber(const OptionField& field, double value, char* out, size_t size) {
  if (field.decimals == 0) {
    plat::FormatText(out, size, "%d", static_cast<int32_t>(value));
    return;
  }
  char text[kNumberTextSize];
  FormatNumberText(text, 0, field.decimals, "", 0, "", 0, value);
  plat::FormatText(out, size, "%s", text);
}

}  // namespace

void ShowOptionPageTitle(const Control* pageHost, const char* pageTitle) {
  // Only the front end's holder has a title line; the in-game menu shows
  // none.
  Control* holder = g_screens.optionsHost->currentForm;
  if (!pageHost || !pageTitle || !holder || FormFindControlByTag(holder, "OPTIONPAR") != pageHost) return;
  ControlSetText(FormFindControlByTag(holder, "PAGETITLE"), pageTitle);
}

OptionPageActions g_optionPageActions{
    [] { return plat::Succeeded(SaveUIOptions(g_uiOptions, g_app.optionsFile)); },
    [] { return plat::Succeeded(SaveRegistrySettings(g_app, g_netSession.identity, kSettingsKeyPath)); },
    [] {
      if (!GameScreenShown()) return;
      LayoutChatOverlay();
      LayoutStatusOverlay();
    },
    [] {
      if (GameScreenShown()) ApplySideScreensLayout(*g_ui.mapView);
    },
    [](int32_t muted, int32_t level) { (void)SetSoundVolume(muted, level, g_ui); },
};

std::span<const DisplayMode> DisplayModes() { return kDisplayModes; }

void FormatOptionField(const OptionField& field, const UiOptions& options, char* out, size_t size) {
  plat::NearestRoundingScope nearest;
  if (field.isFloat) {
    FormatNumber(field, ReadFloatKey(options, field.offset), out, size);
  } else if (field.decimals == 0) {
    plat::FormatText(out, size, "%d", ReadKey(options, field.offset) / field.scale);
  } else {
    FormatNumber(field, static_cast<double>(ReadKey(options, field.offset)) / field.scale, out, size);
  }
}

void StoreOptionField(const OptionField& field, const char* text, UiOptions& options) {
  if (field.isFloat) {
    const float v = plat::ParseFloat(text, nullptr);
    std::memcpy(reinterpret_cast<char*>(&options) + field.offset, &v, sizeof v);
  } else if (field.decimals == 0) {
    WriteKey(options, field.offset, static_cast<int32_t>(std::strtol(text, nullptr, 10)) * field.scale);
  } else {
    // Seconds typed with decimals: 0.35 is 350 ms, not 349.
    plat::NearestRoundingScope nearest;
    WriteKey(options, field.offset, static_cast<int32_t>(plat::ParseDouble(text, nullptr) * field.scale));
  }
}

void StepOptionField(const OptionField& field, const char* text, bool up, char* out, size_t size) {
  plat::NearestRoundingScope nearest;
  double v = field.decimals == 0 && !field.isFloat ? static_cast<double>(std::strtol(text, nullptr, 10))
                                                   : plat::ParseDouble(text, nullptr);
  v += up ? field.step : -field.step;
  if (v < field.low) v = field.low;
  if (v > field.high) v = field.high;
  FormatNumber(field, v, out, size);
}

OptionPage::OptionPage(const char* name, FormLookups formLookups, std::span<const OptionCheck> pageChecks,
                       std::span<const OptionField> pageFields)
    : Screen(name, formLookups), checks(pageChecks), fields(pageFields) {}

Control* OptionPage::Find(const char* tag) const { return form ? FormFindControlByTag(form, tag) : nullptr; }

bool OptionPage::Checked(const char* tag) const {
  const Control* c = Find(tag);
  return c && c->Selected();
}

void OptionPage::SetChecked(const char* tag, bool on) const {
  if (Control* c = Find(tag)) SetControlFlag(c, kStateSelected, on);
}

void OptionPage::BindControls() { errorLine_ = AddErrorLine(*this); }

void OptionPage::OnOpen() {
  ShowOptionPageTitle(host, title);
  SetControlFlag(errorLine_, kStateHidden, 1);
  for (const OptionCheck& check : checks) SetChecked(check.tag, (g_uiOptions.*check.key != 0) != check.inverted);
  for (const OptionField& field : fields) {
    char text[64];
    FormatOptionField(field, g_uiOptions, text, sizeof text);
    if (Control* c = Find(field.tag)) c->SetText(text);
  }
}

void OptionPage::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if (Is(control, "CANBUT")) {
    EndTextEdit();
    Return();
    return;
  }
  if (Is(control, okTag_)) {
    EndTextEdit();
    writeFailed_ = false;
    for (const OptionCheck& check : checks) g_uiOptions.*check.key = Checked(check.tag) != check.inverted ? 1 : 0;
    for (const OptionField& field : fields) {
      auto* c = dynamic_cast<StringControl*>(Find(field.tag));
      StoreOptionField(field, c ? c->GetText() : "", g_uiOptions);
    }
    Store();
    Apply();
    Commit(control);
    return;
  }
  if (control->id >= 1) {
    for (const OptionField& field : fields) {
      if (control->id != field.downId && control->id != field.upId) continue;
      auto* c = dynamic_cast<StringControl*>(Find(field.tag));
      if (!c) return;
      char text[64];
      StepOptionField(field, c->GetText(), control->id == field.upId, text, sizeof text);
      c->SetText(text);
      return;
    }
  }
  OnOtherCommand(control);
}

void OptionPage::Return() { ShowOptionsHome(id); }

void OptionPage::HoldEdits(const Control* opener) {
  held_.clear();
  holding_ = form != nullptr;
  if (!form) return;
  ControlTreeForEach(form, kAnyDepth, 0, [&](Control* c) {
    auto* string = dynamic_cast<StringControl*>(c);
    const bool slider = c->kind == kKindSlideBar;
    held_.push_back({c != opener && c->Selected(), string ? std::string(string->GetText()) : std::string(),
                     slider ? static_cast<SlideBarControl*>(c)->position : -1});
  });
  HoldState();
}

void OptionPage::RestoreEdits() {
  if (!holding_ || !form) return;
  holding_ = false;
  // A form loaded again in between has other controls: the stored values
  // stand.
  size_t i = 0;
  ControlTreeForEach(form, kAnyDepth, 0, [&](Control*) { ++i; });
  const bool same = i == held_.size();
  i = 0;
  if (same)
    ControlTreeForEach(form, kAnyDepth, 0, [&](Control* c) {
      const HeldControl& h = held_[i++];
      SetControlFlag(c, kStateSelected, h.selected);
      if (auto* string = dynamic_cast<StringControl*>(c)) string->SetText(h.text.c_str());
      if (h.position >= 0) SliderSetPosition(static_cast<SlideBarControl*>(c), h.position);
    });
  held_.clear();
  if (same) RestoreState();
}

void OptionPage::OpenSubPage(Screen& page, const Control* opener) {
  HoldEdits(opener);
  page.Show(kOptionPageInGame, host);
}

void OptionPage::SaveRegistry() {
  if (g_optionPageActions.saveRegistry()) return;
  LogWrite(g_platform, "Options: %s could not be written\n", SettingsFilePath().c_str());
  writeFailed_ = true;
}

void OptionPage::Commit(const Control* ok) {
  RequestFullRefresh(g_ui);
  if (!UiOptionsSaved()) writeFailed_ = true;
  // What was stored stays stored; the page stays so that the player knows
  // it is not on disk and can try again.
  if (writeFailed_) {
    ShowNotSaved(errorLine_);
    return;
  }
  if (ok && ok->id == 0) Return();
}

OptionSubPage::OptionSubPage(OptionPage& parent, const char* name, FormLookups formLookups,
                             std::span<const OptionCheck> pageChecks, std::span<const OptionField> pageFields)
    : OptionPage(name, formLookups, pageChecks, pageFields), parent_(parent) {}

void OptionSubPage::Return() {
  parent_.Show(kKeepScreenId, nullptr);
  parent_.RestoreEdits();
}

RestartConfirm::RestartConfirm()
    : MenuQuestion("GAME_SS8", {kRestartTags, {}}, g_screens.gameMenu, {"TEXTBOX13", kUiTextRestart, kRestartFont}) {}

void RestartConfirm::OnCommand(Control* control, int32_t) {
  if (Is(control, "CANBUT")) menu_.ShowPage(1);
  if (Is(control, "OKRESTART")) menu_.CloseMenu();
}

ResetOptionsConfirm::ResetOptionsConfirm()
    : MenuQuestion("GAME_SS9", {kResetTags, {}}, g_screens.gameMenu, {"TEXTBOX14", kUiTextReset, kResetFont}) {}

void ResetOptionsConfirm::BindControls() {
  MenuQuestion::BindControls();
  errorLine_ = AddErrorLine(*this);
}

void ResetOptionsConfirm::OnOpen() {
  MenuQuestion::OnOpen();
  SetControlFlag(errorLine_, kStateHidden, 1);
}

void ResetOptionsConfirm::OnCommand(Control* control, int32_t) {
  if (Is(control, "CANBUT")) {
    EndTextEdit();
    ShowOptionsHome(id);
  }
  if (Is(control, "OKPLAYER")) {
    EndTextEdit();
    ResetUiOptions(g_uiOptions);
    g_optionPageActions.layoutOverlays();
    g_optionPageActions.applySideScreens();
    RequestFullRefresh(g_ui);
    if (!UiOptionsSaved()) {
      ShowNotSaved(errorLine_);
      return;
    }
    ShowOptionsHome(id);
  }
}

void ShowOptionsHome(intptr_t pageId) {
  if (pageId == kOptionPageInGame) {
    g_screens.gameMenu.ShowPage(1);
  } else {
    g_screens.optionsMenu->Show(kKeepScreenId, nullptr);
  }
}

Screen* OptionPageScreen(int32_t page) {
  OptionPages& pages = g_screens.optionPages;
  switch (page) {
    case kOptionPagePlayer: return &pages.player;
    case kOptionPageGraphics: return &pages.graphics;
    case kOptionPageSound: return &pages.sound;
    case kOptionPageRestart: return &pages.restart;
    case kOptionPageReset: return &pages.reset;
    default: return nullptr;
  }
}

bool ShowGameMenuOptionPage(GameMenu& menu, int32_t page) {
  Screen* screen = OptionPageScreen(page);
  if (!screen) return false;
  menu.shownPage = screen->formName;
  // The restart question keeps its id and finds the panel itself.
  if (page == kOptionPageRestart) {
    screen->Show(kKeepScreenId, nullptr);
  } else {
    screen->Show(kOptionPageInGame, menu.optionPanel);
  }
  return true;
}

int32_t OptionPageOfMenuButton(const Control* control) {
  constexpr struct {
    const char* tag;
    int32_t page;
  } kButtons[] = {{"PLAYERBUT", kOptionPagePlayer},
                  {"GRAPHICBUT", kOptionPageGraphics},
                  {"SOUNDBUT", kOptionPageSound},
                  {"RESTARTBUT", kOptionPageRestart},
                  {"RESETBUT", kOptionPageReset}};
  for (const auto& button : kButtons)
    if (Is(control, button.tag)) return button.page;
  return 0;
}
