#include "screens/military/department/auto_build_panels.h"

#include "platform/threads.h"
#include "records/command_ids.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/military/department/department_text.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"
#include "world/local_player.h"
#include "world/world.h"

namespace {

constexpr int32_t kFocusMax = 100;

PlayerPolicyBlock ShownPolicy() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* local = LocalPlayer(g_world);
  return local ? local->displayPolicy : PlayerPolicyBlock{};
}

SlideBarControl* Slider(Control* form, const char* tag) {
  Control* c = Tag(form, tag);
  return c && c->kind == kKindSlideBar ? static_cast<SlideBarControl*>(c) : nullptr;
}

uint32_t MaskOf(Control* form, int32_t first, int32_t bits) {
  uint32_t mask = 0;
  for (int32_t i = 0; i < bits; ++i)
    if (const Control* c = Id(form, first + i); c && c->Selected()) mask |= 1u << i;
  return mask;
}

void ShowMask(Control* form, int32_t first, int32_t bits, uint32_t mask) {
  for (int32_t i = 0; i < bits; ++i) SetPressed(Id(form, first + i), (mask >> i & 1u) != 0);
}

}  // namespace

void AutoBuildStatusPanel::Refresh() {
  const PlayerPolicyBlock policy = ShownPolicy();
  ShowMask(currentForm, kAutoBuildMaskFirst, kAutoBuildMaskBits, policy.autobuildmissiles[0]);
  ShowMask(currentForm, kAutoBuildMask2First, kAutoBuildMask2Bits, policy.autobuildmissiles[1]);
}

void AutoBuildStatusPanel::OnCommand(Control*, int32_t commandId) {
  if (commandId == 0) return;
  PostArgs(kCmdAutoBuildMissiles, SettingPairArgs{.first = MaskOf(currentForm, kAutoBuildMaskFirst, kAutoBuildMaskBits),
                                                  .second = MaskOf(currentForm, kAutoBuildMask2First, kAutoBuildMask2Bits)});
  Refresh();
}

namespace {

class AutoBuildFocusPanel : public Screen {
 public:
  AutoBuildFocusPanel() : Screen("MILITARY1_ss1b", FormLookups{.tags = kAutoBuildFocusTags, .ids = {}}) {}
  void BindControls() override { DockInSecondBotbar2(*this); }
  // Shows the status panel in HIDEAUTOB and opens the dock three deep.
  void OnOpen() override {
    g_screens.autoBuildStatus[0].Show(0, Tag(currentForm, "HIDEAUTOB"));
    ScreenSlotSelectMapMode(g_screens);
  }
  // The switches and the sliders from the policy.
  void Refresh() override {
    const PlayerPolicyBlock policy = ShownPolicy();
    SetPressed(Tag(currentForm, "AUTOSTAT"), (policy.militaryFlags & kMilitaryUnitAutoBuild) != 0);
    SetPressed(Tag(currentForm, "AUTOSTAT2"), (policy.militaryFlags & kMilitaryMissileAutoBuild) != 0);
    const char* const tags[] = {"FOCUSSLDR", "FOCUSSLDR2"};
    for (int i = 0; i < 2; ++i) {
      if (SlideBarControl* bar = Slider(currentForm, tags[i])) {
        SliderSetMaxInt(bar, kFocusMax);
        SliderSetValueInt(bar, policy.autobuildvalues[i]);
      }
    }
  }
  // Either slider posts both focus values.
  void OnControlChange(Control* control, int32_t) override {
    if (!control || !(ControlTagMatches(control->tag, "FOCUSSLDR") || ControlTagMatches(control->tag, "FOCUSSLDR2")))
      return;
    int32_t values[2] = {};
    const char* const tags[] = {"FOCUSSLDR", "FOCUSSLDR2"};
    for (int i = 0; i < 2; ++i)
      if (SlideBarControl* bar = Slider(currentForm, tags[i])) values[i] = SliderGetValueInt(bar);
    PostArgs(kCmdAutoBuildValues, SettingPairArgs{.first = static_cast<uint32_t>(values[0]),
                                                  .second = static_cast<uint32_t>(values[1])});
  }
};

}  // namespace

std::unique_ptr<Screen> MakeAutoBuildFocusPanel() { return std::make_unique<AutoBuildFocusPanel>(); }
