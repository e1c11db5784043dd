#include "screens/diplomacy/market/aid_request_panels.h"

#include "records/player_policy.h"
#include "records/player_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/player_list_rows.h"
#include "ui/screen_manager.h"
#include "world/local_player.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int32_t kProducts = 11;
// Allied, neutral and enemy regions: every region but the local one.
constexpr uint32_t kOtherRegions = 14;

PlayerListOptions OtherRegions() {
  PlayerListOptions options;
  options.relationMask = kOtherRegions;
  options.includeKind3 = true;
  options.copy = 0;
  return options;
}

bool Selected(const Screen& s, int32_t id) {
  const Control* c = FormFindControlById(s.currentForm, id);
  return c && c->Selected();
}

}  // namespace

// The request panels.

void AidRequestPanel::BindControls() {
  DockInSecondBotbar2(*this);
  list = MakeListBox(shape.list, 0, currentForm, kListIndicators, this);
  StyleOverlay(Tag(*this, "GRIDWM1"));
  StyleOverlay(Tag(*this, "GRIDWM2"));
}

void AidRequestPanel::OnOpen() {
  if (!shape.keepsPlace && list) {
    list->selectedId = 0;
    list->savedSelectedId = 0;
    list->savedPosition = 0;
    ListResetScroll(list);
  }
  ScreenSlotSelectMapMode(g_screens);
}

void AidRequestPanel::Refresh() {
  bool anyOption = false;
  for (int32_t id = shape.firstOption; id <= shape.lastOption; ++id) anyOption = anyOption || Selected(*this, id);
  SetHidden(Tag(*this, "REQBUT"), !anyOption);
  bool member = false;
  if (list) {
    list->savedSelectedId = list->selectedId;
    list->savedPosition = list->scrollOffset;
    ListClear(list, 1);
    plat::CriticalSectionLock lock(g_simulationLock);
    if (shape.regions) {
      PlayerListOptions options = OtherRegions();
      options.pictureRows = true;
      options.rowScreen = &g_screens.dipPlayerList;
      if (const PlayerRecord* local = LocalPlayer(g_world)) FillPlayerListRow(g_world, *local, list, options);
    } else {
      for (int32_t p = 0; p < kProducts; ++p)
        ListAddTextItem(list, TextListText(kListProducts, p), p + 1, p + 1, 0, 0, 0);
    }
    ListLayoutRows(list);
    if (list->savedSelectedId != 0) ListSetSelection(0, list, list->savedSelectedId, 0);
    list->scrollOffset = list->savedPosition;
  }
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* local = LocalPlayer(g_world);
    member = local && (local->displayPolicy.wageFlags & kWorldBodyMember) != 0;
  }
  SetHidden(Tag(*this, shape.extra), !Selected(*this, shape.lastOption));
  SetHidden(Tag(*this, "GRIDWM1"), member);
  SetHidden(Tag(*this, "GRIDWM2"), member);
}

void AidRequestPanel::OnCommand(Control* control, int32_t id) {
  if (id >= shape.firstOption && id <= shape.lastOption) {
    Refresh();
    return;
  }
  // The request goes nowhere yet: it only starts the choice again.
  if (control && ControlTagMatches(control->tag, "REQBUT"))
    for (int32_t option = shape.firstOption; option <= shape.lastOption; ++option)
      SetControlFlag(FormFindControlById(currentForm, option), kStateSelected, 0);
}

void AidRequestPanel::OnControlChange(Control* control, int32_t id) {
  if (!control || control != list || !Selected(*this, shape.lastOption)) return;
  SetHidden(Tag(*this, "REQBUT"), id == 0);
}

// The vote panel.

namespace {

class WorldMarketVotePanel : public Screen {
 public:
  WorldMarketVotePanel() : Screen("DIPLOMACY1_SS13", FormLookups{.tags = kWorldMarketVoteTags, .ids = {}}) {}
  void BindControls() override {
    DockInSecondBotbar2(*this);
    regions = MakeListBox("DIPLIST4", 0, currentForm, kListIndicators, this);
    votes = MakeListBox("DIPLIST5", 0, currentForm, kListIndicators, this);
  }
  void OnOpen() override {
    if (regions) {
      ListClear(regions, 1);
      plat::CriticalSectionLock lock(g_simulationLock);
      if (const PlayerRecord* local = LocalPlayer(g_world)) FillPlayerListRow(g_world, *local, regions, OtherRegions());
      ListLayoutRows(regions);
    }
    if (votes) ListClear(votes, 1);
    SetHidden(Tag(*this, "ACCPBUT"), true);
    ScreenSlotSelectMapMode(g_screens);
  }
  void OnCommand(Control* control, int32_t) override {
    if (control && ControlTagMatches(control->tag, "ACCPBUT")) g_screens.diplomacyAidPanel.Show(kKeepScreenId, nullptr);
  }
  void OnControlChange(Control*, int32_t) override {
    if (regions && votes && regions->selectedId != 0 && votes->selectedId != 0) SetHidden(Tag(*this, "ACCPBUT"), false);
  }

  ListBoxControl* regions = nullptr;  // DIPLIST4
  ListBoxControl* votes = nullptr;    // DIPLIST5
};

}  // namespace

std::unique_ptr<Screen> MakeWorldMarketVotePanel() { return std::make_unique<WorldMarketVotePanel>(); }
