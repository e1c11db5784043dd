#include <algorithm>
#include <cstdio>

#include "app/app_object.h"
#include "screens/frontend/option_pages.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"
#include "world/text/ui_options.h"

namespace {

using O = UiOptions;

constexpr const char* kGraphicsTags[] = {"16BIT",  "32BIT",   "UNIT0",   "UNIT2",  "GAMMASLDR", "TRANSSLDR",
                                         "HMOUSE", "TOPUNIT", "RES",     "PREVRES", "NEXTRES",  "ADVBUT",
                                         "CANBUT", "OKGRAPHIC"};
constexpr int32_t kGraphicsIds[] = {1};
// Shown in the front end only: the page's note on choices that wait for
// the next start.
constexpr int32_t kFrontEndOnlyId = 1;
constexpr OptionCheck kGraphicsChecks[] = {{"TOPUNIT", &O::bunittoponly, false}};
constexpr float kGammaMaximum = 2.0f;
constexpr int32_t kAlphaMaximum = 255;

constexpr OptionCheck kAdvancedGraphicsChecks[] = {
    {"UNITFX", &O::buniteffecton, false},  {"UNITSIZE", &O::bunitnozoom, false},
    {"HEXGRID", &O::ovshowgrid, false},    {"LOSGRID", &O::ovshowgridnolos, false},
    {"LOSFOG", &O::ovshowlos, false},      {"UPGSIZE", &O::bmapshowugsmall, false},
};
constexpr const char* kAdvancedGraphicsTags[] = {"UNITFX", "UNITSIZE", "HEXGRID", "LOSGRID",     "LOSFOG",
                                                 "UPGSIZE", "AALIAS",  "16BIT",   "32BIT",       "LOSSLDR",
                                                 "UICOLORHIDE", "CANBUT", "OKGRAPHIC"};
constexpr int32_t kLosMaximum = 200;

// The overlay colours: four groups of radio buttons, one per preset and a
// last for any other colour; each preset button has a swatch 10 ids on.
constexpr uint32_t kPresetColours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
constexpr int32_t kSwatchOffset = 10;
constexpr struct {
  uint32_t UiOptions::*key;
  int32_t firstId;  // the presets' buttons from here on, then the other-colour button
} kColourGroups[] = {
    {&O::mapovlhgcolor, 10}, {&O::mapovlcolor, 15}, {&O::mapovlcccolor, 30}, {&O::mapovlgdcolor, 35}};
constexpr int32_t kOtherColour = 3;
constexpr int32_t kAdvancedGraphicsIds[] = {10, 11, 12, 13, 20, 21, 22, 15, 16, 17, 18, 25, 26, 27,
                                            30, 31, 32, 33, 40, 41, 42, 35, 36, 37, 38, 45, 46, 47};

constexpr const char* kSoundTags[] = {"MUSICSLDR", "MUSICMUTE", "SFXSLDR", "SFXMUTE", "WAVSLDR",
                                      "WAVMUTE",   "ADVSND",    "CANBUT",  "OKSOUND"};
constexpr OptionCheck kSoundChecks[] = {{"MUSICMUTE", &O::bmusicmute, false}, {"SFXMUTE", &O::bsoundmute, false}};
constexpr uint16_t kVolumeExponent = 3;
constexpr int32_t kVolumeMaximum = 10000;

// The channels of the advanced sound page: level slider and key; the mute
// boxes are the check table below, in the same order.
constexpr struct {
  const char* slider;
  int32_t UiOptions::*level;
} kChannels[] = {{"UISLDR", &O::opsounduivol},         {"STATUSSLDR", &O::opsoundstatusvol},
                 {"EMAILSLDR", &O::opsoundemailvol},   {"NEWSSLDR", &O::opsoundnewsvol},
                 {"VOICESLDR", &O::opsoundvoicevol},   {"COMBATSLDR", &O::opsoundshotvol},
                 {"MOVESLDR", &O::opsoundmovevol}};
constexpr OptionCheck kAdvancedSoundChecks[] = {
    {"UIMUTE", &O::bsoundmuteui, false},       {"STATUSMUTE", &O::bsoundmutestatus, false},
    {"EMAILMUTE", &O::bsoundmuteemail, false}, {"NEWSMUTE", &O::bsoundmutenews, false},
    {"VOICEMUTE", &O::bsoundmutevoice, false}, {"COMBATMUTE", &O::bsoundmuteshot, false},
    {"MOVEMUTE", &O::bsoundmutemove, false},   {"WINCHAT", &O::bwinchat, false},
};
constexpr const char* kAdvancedSoundTags[] = {
    "UISLDR",     "STATUSSLDR", "EMAILSLDR",  "NEWSSLDR",  "VOICESLDR", "COMBATSLDR", "MOVESLDR",
    "UIMUTE",     "STATUSMUTE", "EMAILMUTE",  "NEWSMUTE",  "VOICEMUTE", "COMBATMUTE", "MOVEMUTE",
    "WINCHAT",    "CANBUT",     "OKSOUND"};

void SetVolumeSlider(Control* control, int32_t level) {
  SlideBarControl* bar = AsSlideBar(control);
  if (!bar) return;
  bar->exponent = kVolumeExponent;
  SliderSetMaxInt(bar, kVolumeMaximum);
  SliderSetValueInt(bar, level);
}

void SetLinearSlider(Control* control, int32_t maximum, int32_t value) {
  SlideBarControl* bar = AsSlideBar(control);
  if (!bar) return;
  bar->exponent = 1;
  SliderSetMaxInt(bar, maximum);
  SliderSetValueInt(bar, value);
}

int32_t SliderInt(Control* control) { return SliderGetValueInt(AsSlideBar(control)); }

// Checks one button of a radio group and clears the rest of it.
void SelectRadio(Control* form, int32_t firstId, int32_t count, int32_t chosen) {
  for (int32_t i = 0; i < count; ++i)
    if (Control* c = FormFindControlById(form, firstId + i)) SetControlFlag(c, kStateSelected, i == chosen);
}

}  // namespace

GraphicsOptions::GraphicsOptions()
    : OptionPage("GAME_SS6", {kGraphicsTags, kGraphicsIds}, kGraphicsChecks, {}), advanced(*this) {
  okTag_ = "OKGRAPHIC";
  title = "Graphics options";
}

void GraphicsOptions::OnOpen() {
  OptionPage::OnOpen();
  const bool bits16 = g_app.gamerezbpp == 16;
  SetChecked("16BIT", bits16);
  SetChecked("32BIT", !bits16);
  const bool unitsHigh = g_app.Flag(kSetUnitbitshires);
  SetChecked("UNIT2", unitsHigh);
  SetChecked("UNIT0", !unitsHigh);
  if (SlideBarControl* gamma = AsSlideBar(Find("GAMMASLDR"))) {
    gamma->exponent = 1;
    SliderSetMaxFloat(gamma, kGammaMaximum);
    SliderSetValueFloat(gamma, g_uiOptions.gammalevel);
  }
  SetLinearSlider(Find("TRANSSLDR"), kAlphaMaximum, g_uiOptions.popupalpha);
  SetChecked("HMOUSE", g_app.Flag(kSetUseHWCursor));
  pendingWidth = g_app.gamerezx;
  pendingHeight = g_app.gamerezy;
  if (Control* note = form ? FormFindControlById(form, kFrontEndOnlyId) : nullptr)
    SetControlFlag(note, kStateHidden, id == kOptionPageInGame);
}

void GraphicsOptions::Refresh() {
  char text[48];
  std::snprintf(text, sizeof text, "%d x %d", pendingWidth, pendingHeight);
  if (Control* res = Find("RES")) res->SetText(text);
  const DisplayMode first = DisplayModes().front(), last = DisplayModes().back();
  if (Control* next = Find("NEXTRES"))
    SetControlFlag(next, kStateHidden, pendingWidth >= last.width && pendingHeight >= last.height);
  if (Control* prev = Find("PREVRES"))
    SetControlFlag(prev, kStateHidden, pendingWidth <= first.width && pendingHeight <= first.height);
}

void GraphicsOptions::OnOtherCommand(Control* control) {
  if (Is(control, "ADVBUT")) {
    OpenSubPage(advanced, control);
    return;
  }
  const bool prev = Is(control, "PREVRES");
  if (!prev && !Is(control, "NEXTRES")) return;
  const auto modes = DisplayModes();
  // Modes match by width alone; an unknown width takes the largest mode.
  size_t at = modes.size() - 1;
  const auto match = std::find_if(modes.begin(), modes.end(), [&](const DisplayMode& m) { return m.width == pendingWidth; });
  if (match != modes.end()) {
    at = static_cast<size_t>(match - modes.begin());
    if (prev && at > 0) --at;
    if (!prev && at + 1 < modes.size()) ++at;
  }
  pendingWidth = modes[at].width;
  pendingHeight = modes[at].height;
  Refresh();
}

void GraphicsOptions::HoldState() {
  heldWidth_ = pendingWidth;
  heldHeight_ = pendingHeight;
}

void GraphicsOptions::RestoreState() {
  pendingWidth = heldWidth_;
  pendingHeight = heldHeight_;
  Refresh();
}

void GraphicsOptions::Store() {
  g_app.gamerezbpp = Checked("16BIT") ? 16 : 32;
  g_app.SetFlag(kSetUnitbitshires, !Checked("UNIT0"));
  g_app.SetFlag(kSetUseHWCursor, Checked("HMOUSE"));
  g_app.gamerezx = pendingWidth;
  g_app.gamerezy = pendingHeight;
  g_uiOptions.popupalpha = static_cast<uint8_t>(std::min(SliderInt(Find("TRANSSLDR")), kAlphaMaximum));
  // The bar opens a step above the stored gamma: read back where it opened
  // it would raise the gamma by that step on every OK.
  SlideBarControl* gamma = AsSlideBar(Find("GAMMASLDR"));
  if (gamma && gamma->position != SliderPositionOfFloat(gamma, g_uiOptions.gammalevel))
    g_uiOptions.gammalevel = SliderGetValueFloat(gamma);
}

void GraphicsOptions::Apply() {
  // The in-game menu takes the new transparency at once; later pop-ups
  // take it when they open.
  Control* menu = g_screens.gameMenu.currentForm;
  if (id == kOptionPageInGame && menu)
    SetAlpha(menu->fills[kLookNormal], g_uiOptions.popupalpha);
  SaveRegistry();
}

AdvancedGraphicsOptions::AdvancedGraphicsOptions(OptionPage& parent)
    : OptionSubPage(parent, "GAME_SS6a", {kAdvancedGraphicsTags, kAdvancedGraphicsIds}, kAdvancedGraphicsChecks, {}) {
  okTag_ = "OKGRAPHIC";
  title = "Advanced graphics options";
}

void AdvancedGraphicsOptions::OnOpen() {
  OptionPage::OnOpen();
  SetChecked("AALIAS", g_app.gamerezaa != 0);
  if (Control* group = Find("UICOLORHIDE")) SetControlFlag(group, kStateHidden, 0);
  const bool high = g_app.Flag(kSetVDBitshires);
  SetChecked("32BIT", high);
  SetChecked("16BIT", !high);
  for (const auto& group : kColourGroups) {
    const uint32_t colour = g_uiOptions.*group.key;
    int32_t chosen = kOtherColour;
    for (int32_t p = 0; p < kOtherColour; ++p) {
      if (Control* swatch = form ? FormFindControlById(form, group.firstId + p + kSwatchOffset) : nullptr)
        swatch->fills[kLookNormal] = kPresetColours[p];
      if (colour == kPresetColours[p]) chosen = p;
    }
    if (form) SelectRadio(form, group.firstId, kOtherColour + 1, chosen);
  }
  SetLinearSlider(Find("LOSSLDR"), kLosMaximum, static_cast<int32_t>(g_uiOptions.maploscolor >> 24));
}

void AdvancedGraphicsOptions::Store() {
  g_app.gamerezaa = Checked("AALIAS") ? 1 : 0;
  g_app.SetFlag(kSetVDBitshires, !Checked("16BIT"));
  for (const auto& group : kColourGroups)
    for (int32_t p = 0; p < kOtherColour; ++p) {
      const Control* button = form ? FormFindControlById(form, group.firstId + p) : nullptr;
      if (button && button->Selected()) g_uiOptions.*group.key = kPresetColours[p];
    }
  const auto alpha = static_cast<uint32_t>(std::clamp(SliderInt(Find("LOSSLDR")), 0, 255));
  SetAlpha(g_uiOptions.maploscolor, alpha);
  SaveRegistry();
}

SoundOptions::SoundOptions() : OptionPage("GAME_SS7", {kSoundTags, {}}, kSoundChecks, {}), advanced(*this) {
  okTag_ = "OKSOUND";
  title = "Sound options";
}

void SoundOptions::OnOpen() {
  OptionPage::OnOpen();
  SetVolumeSlider(Find("MUSICSLDR"), g_uiOptions.opmusicvol);
  SetVolumeSlider(Find("SFXSLDR"), g_uiOptions.opsoundvol);
  SetVolumeSlider(Find("WAVSLDR"), 0);
  SetChecked("WAVMUTE", false);
}

void SoundOptions::OnOtherCommand(Control* control) {
  if (Is(control, "ADVSND")) OpenSubPage(advanced, control);
}

void SoundOptions::Store() {
  g_uiOptions.opmusicvol = SliderInt(Find("MUSICSLDR"));
  g_uiOptions.opsoundvol = SliderInt(Find("SFXSLDR"));
}

void SoundOptions::Apply() { g_optionPageActions.setSoundVolume(g_uiOptions.bsoundmute, g_uiOptions.opsoundvol); }

AdvancedSoundOptions::AdvancedSoundOptions(OptionPage& parent)
    : OptionSubPage(parent, "GAME_SS7a", {kAdvancedSoundTags, {}}, kAdvancedSoundChecks, {}) {
  okTag_ = "OKSOUND";
  title = "Advanced sound options";
}

void AdvancedSoundOptions::OnOpen() {
  OptionPage::OnOpen();
  for (const auto& channel : kChannels) SetVolumeSlider(Find(channel.slider), g_uiOptions.*channel.level);
}

void AdvancedSoundOptions::Store() {
  for (const auto& channel : kChannels) g_uiOptions.*channel.level = SliderInt(Find(channel.slider));
}
