#include "screens/military/operations/mission_rules_panel.h"

#include <cstring>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/class_icon.h"
#include "screens/military/operations/intelligence_panel.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/text/player_settings.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr uint32_t kScorchedEarthBit = 0x10;
constexpr int32_t kScorchedEarthRule = 15;
constexpr int32_t kFirstClassPicture = 101;
constexpr int32_t kPictureClasses = 11;
// The pictures after the eleven classes' own: facilities and goods.
constexpr int32_t kOtherPictures[] = {4054, 4015, 4014, 4038, 4037, 4046, 4047, 4039, 4127};
constexpr uint32_t kButtonFillAlpha = 75;

constexpr MissionRuleButton kRuleButtons[] = {
    {11, "roeresvdm"},      {17, "roeusenuketactical"}, {16, "roeusechemtactical"}, {14, "roeneutralengage"},
    {15, "roescortchedearth"}, {1, "roepathallied"},    {2, "roepathneutral"},      {3, "roepathenemy"},
    {4, "roepathwm"},       {13, "roeusenbcstrategic"}, {12, "roeicbmlaunchonloss"},
};

uint32_t LocalPolicyWord(uint32_t PlayerPolicyBlock::*field) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  return r ? r->displayPolicy.*field : 0;
}

}  // namespace

std::span<const MissionRuleButton> MissionRuleButtons() { return kRuleButtons; }

const SettingKey* MissionRuleKey(int32_t id) {
  for (const MissionRuleButton& b : kRuleButtons) {
    if (b.id != id) continue;
    for (const SettingKey& k : SettingKeys())
      if (std::strcmp(k.key, b.key) == 0) return &k;
  }
  return nullptr;
}

void ShowMissionRules(Control* form, uint32_t roeFlags) {
  for (const MissionRuleButton& b : kRuleButtons) {
    const SettingKey* key = MissionRuleKey(b.id);
    if (!key) continue;
    SetControlFlag(FormFindControlById(form, b.id), kStateSelected,
                   static_cast<int32_t>((roeFlags >> key->arg) & 1u));
  }
}

namespace {

class MissionRulesPanel : public Screen {
 public:
  MissionRulesPanel() : Screen("OPS1_SS3", FormLookups{.tags = kMissionRulesTags, .ids = kMissionRuleIds}) {}
  void BindControls() override { DockInBotbar2(*this); }
  // With scorched earth on, the target chooser opens with the page.
  void OnOpen() override {
    ScreenSlotResetMapMode(g_screens);
    if (LocalPolicyWord(&PlayerPolicyBlock::roeFlags) & kScorchedEarthBit)
      g_screens.scorchedEarth->Show(kKeepScreenId, nullptr);
  }
  void Refresh() override { ShowMissionRules(currentForm, LocalPolicyWord(&PlayerPolicyBlock::roeFlags)); }
  void OnCommand(Control* control, int32_t id) override {
    if (!control || ClosedByReleasedRadio(control)) return;
    ScreenSet& s = g_screens;
    if (Is(control, "BACK")) {
      s.operationsScreen.AttachForm(nullptr);
      s.operationsScreen.OnOpen();
      s.operationsScreen.Refresh();
      return;
    }
    Screen* orders = Is(control, "MOVEMENT") ? static_cast<Screen*>(&s.movementOptions)
                     : Is(control, "RULES")  ? static_cast<Screen*>(s.contactOptions.get())
                     : Is(control, "MISSION") ? static_cast<Screen*>(&s.missionPanel)
                                                    : nullptr;
    if (orders) {
      orders->Show(1, nullptr);
      return;
    }
    const SettingKey* key = MissionRuleKey(id);
    if (!key) return;
    const bool on = control->Selected();
    PostArgs(key->command, SettingArgs{.value = on ? 1u : 0u});
    if (id == kScorchedEarthRule && on) s.scorchedEarth->Show(kKeepScreenId, nullptr);
  }
};

class ScorchedEarthPanel : public Screen {
 public:
  ScorchedEarthPanel() : Screen("OPS1_SS3c1", FormLookups{.tags = kScorchedEarthTags, .ids = kScorchedEarthIds}) {}
  // Docks three deep; the buttons take their captions from "scortchtar".
  void BindControls() override {
    DockInSecondBotbar2(*this);
    for (int32_t i = 1; i <= kScorchedEarthButtons; ++i)
      SetControlText(FormFindControlById(currentForm, i), TextListText(kListScortchtar, i - 1));
  }
  void OnOpen() override {
    for (int32_t c = 0; c < kPictureClasses; ++c) {
      if (Control* picture = FormFindControlById(currentForm, kFirstClassPicture + c))
        DrawUnitClassIcon(c, nullptr, nullptr, picture, true, -1);
    }
    int32_t at = kFirstClassPicture + kPictureClasses;
    for (int32_t icon : kOtherPictures) {
      Control* picture = FormFindControlById(currentForm, at++);
      if (picture) DrawUnitClassIcon(icon, nullptr, nullptr, picture, true, -1);
    }
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    const uint32_t targets = LocalPolicyWord(&PlayerPolicyBlock::roescorchedtype);
    for (int32_t i = 1; i <= kScorchedEarthButtons; ++i) {
      Control* button = FormFindControlById(currentForm, i);
      if (!button) continue;
      button->fills[0] = WithAlpha(button->fills[0], kButtonFillAlpha);
      button->fills[1] = WithAlpha(button->fills[1], 0);
      button->fills[2] = WithAlpha(button->fills[2], 0);
      SetControlFlag(button, kStateSelected, static_cast<int32_t>((targets >> (i - 1)) & 1u));
    }
  }
  void OnCommand(Control* control, int32_t id) override {
    if (Is(control, "BACK")) {
      g_screens.missionRules->Show(kKeepScreenId, nullptr);
      return;
    }
    if (id < 1 || id > kScorchedEarthButtons) return;
    uint32_t mask = 0;
    for (int32_t i = 1; i <= kScorchedEarthButtons; ++i) {
      const Control* button = FormFindControlById(currentForm, i);
      if (button && button->Selected()) mask |= 1u << (i - 1);
    }
    PostArgs(kCmdRoeScorchedType, SettingArgs{.value = static_cast<uint32_t>(mask)});
  }
};

}  // namespace

std::unique_ptr<Screen> MakeMissionRulesPanel() { return std::make_unique<MissionRulesPanel>(); }
std::unique_ptr<Screen> MakeScorchedEarthPanel() { return std::make_unique<ScorchedEarthPanel>(); }
