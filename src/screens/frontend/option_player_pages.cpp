#include <algorithm>
#include <cstring>
#include <string>

#include "app/app_object.h"
#include "screens/frontend/game_menu.h"
#include "screens/frontend/option_pages.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"

namespace {

using O = UiOptions;

// The player's page.
constexpr OptionCheck kPlayerChecks[] = {
    {"CHATNAME", &O::bchatpname, true},        {"STATTIPS", &O::statlinetooltips, false},
    {"MAILPREVIEW", &O::bshowprevpane, false}, {"DELREPLY", &O::bemaildelonreply, false},
    {"NEWSLOC", &O::bnewsatbottom, false},     {"CHATCOL", &O::chatplayercol, false},
    {"ULISTFILL", &O::bshowequipulistob, false},
};
constexpr OptionField kPlayerFields[] = {
    {"CHATLINES", offsetof(O, chatshowlines), false, 1, 0, 10, 20, 1, 1, 19},
    {"CHATTIME", offsetof(O, chatshowtime), false, 1000, 0, 11, 21, 1, 1, 30},
    {"TIPTIME", offsetof(O, waittooltip), false, 1000, 2, 12, 22, 0.05, 0, 2.5},
    {"MAILTIME", offsetof(O, emaildeldays), false, 1, 0, 13, 23, 1, 0, 60},
    {"NEWSTIME", offsetof(O, newsdeldays), false, 1, 0, 14, 24, 1, 0, 60},
    {"STATLOC", offsetof(O, statlineloc), false, 1, 0, 15, 25, 1, 0, 3},
    {"STATUSLINES", offsetof(O, statshowlines), false, 1, 0, 16, 26, 1, 1, 19},
};
constexpr const char* kPlayerTags[] = {"CHATNAME",  "STATTIPS",  "MAILPREVIEW", "DELREPLY", "NEWSLOC",  "CHATCOL",
                                       "ULISTFILL", "CHATLINES", "CHATTIME",    "TIPTIME",  "MAILTIME", "NEWSTIME",
                                       "STATLOC",   "STATUSLINES", "OKPLAYER",  "CANBUT",   "GAMEBUT",  "INTBUT",
                                       "CONTBUT",   "FORMBUT"};
constexpr int32_t kListFillToggleIds[] = {17, 27};

// Saving, logging and file locations.
constexpr OptionCheck kSaveChecks[] = {
    {"LOG", &O::outlogdef, false},
    {"MULTISAVE", &O::nomplayautosave, true},
};
constexpr OptionField kSaveFields[] = {
    {"SAVETURNS", offsetof(O, autosaveturns), false, 1, 0, 17, 27, 1, 0, 30},
};
constexpr const char* kSaveTags[] = {"SAVEPROF", "LOG",     "MULTISAVE",  "SAVETURNS", "SAVELOC",
                                     "OPTIONS",  "INVALIDDIR", "OKPLAYER", "CANBUT"};
constexpr int32_t kSaveDirCount = 3;
constexpr int32_t kSaveDirDownId = 16, kSaveDirUpId = 26;

// Speed, map aids, scrolling, button repeat, side screens.
constexpr OptionCheck kInterfaceChecks[] = {
    {"GAMESPEED", &O::bspeeddouble, false},  {"PATHS", &O::bunitallpath, false},
    {"HUDS", &O::bunithudon, false},         {"HUDBARS", &O::bunithudmulti, false},
    {"HUDCOLOR", &O::bunithudpcolor, true},  {"BARSIZE", &O::bunithudssize, true},
    {"RESETQTY", &O::buiresetubuilddef, false}, {"LISTNEXT", &O::bautopicknext, false},
    {"ENDTURN", &O::bnoconfirmturn, false},  {"PSLIDE", &O::bpanelslide, false},
    {"DISTANCE", &O::ovshowrangeline, false}, {"RADIUS", &O::ovshowrangecircle, false},
    {"CLABELS", &O::ovshowcitynames, false},
};
constexpr OptionField kInterfaceFields[] = {
    {"SCROLLSPD", offsetof(O, mapscrollspeed), true, 1, 1, 10, 20, 0.1, 0.4, 3.0},
};
constexpr const char* kInterfaceTags[] = {"GAMESPEED", "PATHS",    "HUDS",      "HUDBARS",   "HUDCOLOR", "BARSIZE",
                                          "RESETQTY",  "LISTNEXT", "ENDTURN",   "PSLIDE",    "DISTANCE", "RADIUS",
                                          "CLABELS",   "SCROLLSPD", "DBLCLKSPD", "LISTSPD", "SIDESCREEN",
                                          "OKPLAYER",  "CANBUT"};
// Button repeat: a checked box is the quick rate.
constexpr uint32_t kButtonRepeatQuick = 150, kButtonRepeatSlow = 250;
constexpr uint32_t kListRepeatQuick = 50, kListRepeatSlow = 100;

// Selection lists, mouse and keyboard.
constexpr OptionCheck kControlChecks[] = {
    {"STACKLIST", &O::bautoselstack, false},  {"BANDLIST", &O::bautoselrband, false},
    {"SINGLELIST", &O::bautoselsingle, true}, {"INVWHEEL", &O::brevwheelzoom, false},
    {"INVMOUSE", &O::brevmousebuts, false},   {"INVDRAG", &O::brevmapdrag, false},
    {"CONTMENU", &O::bclickrmenu, false},     {"MAPPANEL", &O::bclicklmaptab, true},
    {"MAPPANEL2", &O::bclickrmaptab, false},  {"SPCCENTRE", &O::bspacecentre, false},
    {"SPCTAB", &O::bspacepanels, false},
};
constexpr const char* kControlTags[] = {"STACKLIST", "BANDLIST", "SINGLELIST", "INVWHEEL", "INVMOUSE",
                                        "INVDRAG",   "CONTMENU", "MAPPANEL",   "MAPPANEL2", "SPCCENTRE",
                                        "SPCTAB",    "OKPLAYER", "CANBUT"};

constexpr OptionCheck kUnitValueChecks[] = {
    {"UVALUES", &O::buishowspecsliders, false},
    {"DISFOR", &O::bdistancehexes, false},
};
constexpr const char* kUnitValueTags[] = {"UVALUES", "DISFOR", "OKPLAYER", "CANBUT"};

std::string FieldText(Control* control) {
  auto* c = dynamic_cast<StringControl*>(control);
  return c ? std::string(c->GetText()) : std::string();
}

// Copies a typed text into a setting of `capacity` bytes when it is not
// empty and differs; true when it changed.
bool StoreSettingText(const std::string& typed, char* setting, size_t capacity) {
  if (typed.empty() || typed == setting) return false;
  const size_t n = std::min(typed.size(), capacity - 1);
  std::memset(setting, 0, capacity);
  std::memcpy(setting, typed.data(), n);
  return true;
}

}  // namespace

PlayerOptions::PlayerOptions()
    : OptionPage("GAME_SS5", {kPlayerTags, {}}, kPlayerChecks, kPlayerFields),
      saveOptions(*this),
      interfaceOptions(*this),
      controlOptions(*this),
      unitValueOptions(*this) {
  title = "Player options";
}

void PlayerOptions::Apply() { g_optionPageActions.layoutOverlays(); }

void PlayerOptions::OnOtherCommand(Control* control) {
  for (const int32_t toggle : kListFillToggleIds)
    if (control->id == toggle) {
      Control* box = Find("ULISTFILL");
      if (box) SetControlFlag(box, kStateSelected, !box->Selected());
      else g_uiOptions.bshowequipulistob = 1;
      return;
    }
  const struct {
    const char* tag;
    Screen* page;
  } subPages[] = {{"GAMEBUT", &saveOptions},
                  {"INTBUT", &interfaceOptions},
                  {"CONTBUT", &controlOptions},
                  {"FORMBUT", &unitValueOptions}};
  for (const auto& sub : subPages)
    if (Is(control, sub.tag)) {
      EndTextEdit();
      OpenSubPage(*sub.page, control);
    }
}

SaveOptions::SaveOptions(OptionPage& parent)
    : OptionSubPage(parent, "GAME_SS5a", {kSaveTags, {}}, kSaveChecks, kSaveFields) {
  title = "Saving options";
}

void SaveOptions::SetChooser(int32_t index) const {
  Control* chooser = Find("SAVEPROF");
  if (!chooser) return;
  chooser->userWord = static_cast<uint32_t>(index);
  // A location the list has no name for (an edited file) shows none.
  const char* name = index >= 0 && index < kSaveDirCount ? TextListText(kListSavedirnames, index) : nullptr;
  chooser->SetText(name ? name : "");
}

void SaveOptions::OnOpen() {
  OptionPage::OnOpen();
  SetChooser(g_uiOptions.savegameloc);
  if (Control* c = Find("SAVELOC")) c->SetText(g_app.saveGamePath);
  if (Control* c = Find("OPTIONS")) c->SetText(g_app.optionsFile);
  if (Control* c = Find("INVALIDDIR")) SetControlFlag(c, kStateHidden, 1);
}

void SaveOptions::OnOtherCommand(Control* control) {
  if (control->id != kSaveDirDownId && control->id != kSaveDirUpId) return;
  const Control* chooser = Find("SAVEPROF");
  int32_t index = chooser ? static_cast<int32_t>(chooser->userWord) : 0;
  index += control->id == kSaveDirUpId ? 1 : -1;
  if (index < 0) index = kSaveDirCount - 1;
  if (index >= kSaveDirCount) index = 0;
  SetChooser(index);
}

void SaveOptions::Store() {
  if (const Control* chooser = Find("SAVEPROF")) g_uiOptions.savegameloc = static_cast<int32_t>(chooser->userWord);
  // The options file is named into a path: a name that would leave the
  // options folder counts as none and keeps the old one.
  const std::string optionsName = FieldText(Find("OPTIONS"));
  if (SaveNameUsable(optionsName) && StoreSettingText(optionsName, g_app.optionsFile, sizeof g_app.optionsFile))
    SaveRegistry();
  char* path = g_app.saveGamePath;
  if (StoreSettingText(FieldText(Find("SAVELOC")), path, sizeof g_app.saveGamePath)) {
    const size_t n = std::strlen(path);
    if (n >= 1 && n <= sizeof g_app.saveGamePath - 2 && path[n - 1] != '\\') path[n] = '\\';
    SaveRegistry();
  }
  // The fields show what was stored: the directory with its backslash.
  Show(kKeepScreenId, nullptr);
}

InterfaceOptions::InterfaceOptions(OptionPage& parent)
    : OptionSubPage(parent, "GAME_SS5b", {kInterfaceTags, {}}, kInterfaceChecks, kInterfaceFields) {
  title = "Interface options";
}

void InterfaceOptions::OnOpen() {
  OptionPage::OnOpen();
  SetChecked("DBLCLKSPD", g_uiOptions.repeatbutms < kButtonRepeatSlow);
  SetChecked("LISTSPD", g_uiOptions.repeatmoms < kListRepeatSlow);
  SetChecked("SIDESCREEN", g_uiOptions.sidescreens != 0);
}

void InterfaceOptions::Store() {
  g_uiOptions.repeatbutms = Checked("DBLCLKSPD") ? kButtonRepeatQuick : kButtonRepeatSlow;
  g_uiOptions.repeatmoms = Checked("LISTSPD") ? kListRepeatQuick : kListRepeatSlow;
  const int32_t side = Checked("SIDESCREEN") ? 1 : 0;
  sideScreensChanged_ = side != g_uiOptions.sidescreens;
  g_uiOptions.sidescreens = side;
}

void InterfaceOptions::Apply() {
  if (sideScreensChanged_) g_optionPageActions.applySideScreens();
}

ControlOptions::ControlOptions(OptionPage& parent)
    : OptionSubPage(parent, "GAME_SS5c", {kControlTags, {}}, kControlChecks, {}) {
  title = "Control options";
}

UnitValueOptions::UnitValueOptions(OptionPage& parent)
    : OptionSubPage(parent, "GAME_SS5d", {kUnitValueTags, {}}, kUnitValueChecks, {}) {
  title = "Unit value options";
}
