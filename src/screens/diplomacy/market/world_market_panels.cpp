#include "screens/diplomacy/market/world_market_panels.h"

#include <algorithm>
#include <cmath>

#include "app/calendar.h"
#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/le_bytes.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "screens/diplomacy/dip_docking.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/region_figures.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int32_t kHighestOpinionWord = 6;

bool ShownMember(const PlayerRecord& r) { return (r.displayPolicy.wageFlags & kWorldBodyMember) != 0; }

float Opinion(const PlayerRecord& r) { return LoadRegionFloat(r, kRegionWmIntegrity); }

float WorldInterest() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (g_world.worldEconomy.size() < kWorldPrimeRateAt + 4) return 0.0f;
  return le::LoadF32(g_world.worldEconomy.data() + kWorldPrimeRateAt);
}

void BackToAidPanel() { g_screens.diplomacyAidPanel.Show(kKeepScreenId, nullptr); }

void PostMembership(uint32_t join) {
  PostArgs(kCmdPolicyFlag2, SettingArgs{.value = static_cast<uint32_t>(join)});
  BackToAidPanel();
}

// The other list loses its selection, and its owner hears of it.
void DeselectOther(ListBoxControl* list, Screen& owner) {
  if (!list) return;
  const bool had = list->selectedId != 0;
  ListDeselectAll(list);
  if (had) owner.OnControlChange(list, 0);
}

}  // namespace

float WorldMarketCost(float opinion, float feeBase) { return (0.02f - 0.01f * opinion) * feeBase; }

float WorldMarketJoinFee(float opinion, float feeBase) { return WorldMarketCost(opinion, feeBase) * 0.05f; }

int32_t WorldMarketOpinionWord(float opinion) {
  // Tested before the product: a NaN or huge opinion has no whole eighths.
  if (!(opinion > 0.0f)) return 0;
  if (opinion >= 1.0f) return kHighestOpinionWord;
  return std::min(static_cast<int32_t>(opinion * 8.0f), kHighestOpinionWord);
}

// The aid panel.

void DiplomacyAidPanel::BindControls() {
  DockInBotbar2(*this);
  subPanelHost = currentForm && ControlTagMatches(currentForm->tag, "DIPPARENT2") ? currentForm
                                                                                  : Tag(*this, "DIPPARENT2");
}

void DiplomacyAidPanel::OnOpen() {
  g_screens.worldMarketMembers->Show(kKeepScreenId, nullptr);
  SetHidden(Tag(*this, "HIDEBOX2"), false);
  DockPanelAtDepth(2);
}

void DiplomacyAidPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* local = LocalPlayer(g_world);
  if (!local) return;
  const PlayerRecord& r = *local;
  const float opinion = Opinion(r);
  SetControlFlag(Tag(*this, "YESBUT"), kStateSelected, ShownMember(r));
  SetMoney(Tag(*this, "WMCOST"), WorldMarketCost(opinion, r.gdp));
  SetPercent(Tag(*this, "WMSUBRATE"), "%3.0f %%", r.tradeOpenness);
  SetPercent(Tag(*this, "WMINTRATE"), "%2.1f %%", WorldInterest());
  if (Control* c = Tag(*this, "OPINION"))
    SetControlText(c, TextListText(kListWmopinion, WorldMarketOpinionWord(opinion)));
  SetPercent(Tag(*this, "WMOPINRATE"), "%3.0f %%", opinion);
  const bool dated = g_world.scenario.head.svictorycond == kEndModeDate;
  SetHidden(Tag(*this, "ENDHIDE"), !dated);
  Control* end = Tag(*this, "ENDDATE");
  if (!dated || !end) return;
  GameDate date;
  date.dayNumber = static_cast<int32_t>(g_world.gameState.endDay);
  DayNumberToDate(date);
  char text[32];
  plat::FormatText(text, sizeof text, "%.3s %d, %d", MonthName(date.month), date.day, date.year);
  SetControlText(end, text);
}

void DiplomacyAidPanel::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if ((control->flags & kCtlRadio) && !control->Selected()) {
    PopPopupsTo(g_ui, 2);
    return;
  }
  ScreenSet& s = g_screens;
  if (Is(control, "MILAIDBUT")) {
    s.militaryAidRequest.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "ECONAIDBUT")) {
    s.economicAidRequest.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "WMVOTEBUT")) {
    s.worldMarketVote->Show(kKeepScreenId, nullptr);
  } else if (Is(control, "TREATYBUT")) {
    s.treatyDetails->Show(kKeepScreenId, nullptr);
  } else if (Is(control, "BACK")) {
    ReopenScreen(s.diplomacyScreen);
  }
}

// The member grid.

namespace {

class WorldMarketMembersPanel : public Screen {
 public:
  WorldMarketMembersPanel() : Screen("DIPLOMACY1_SS1A", FormLookups{.tags = kWorldMarketMembersTags, .ids = {}}) {}
  void BindControls() override {
    hostLink = &g_screens.diplomacyAidPanel.subPanelHost;
    StyleOverlay(Tag(*this, "MEMBERGRID"));
  }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* local = LocalPlayer(g_world);
    if (!local) return;
    const PlayerRecord& r = *local;
    SetHidden(Tag(*this, "MEMBERGRID"), !(r.displayPolicy.wageFlags & kWorldBodyJoinWaiting));
    // The simulation's copy: the membership in force, not the one asked for.
    const bool member = (r.simPolicy.wageFlags & kWorldBodyMember) != 0;
    SetHidden(Tag(*this, "NOMEMBER"), member || !(Opinion(r) < 0.1f));
  }
  void OnCommand(Control* control, int32_t) override {
    if (!Is(control, "MEMBERBUT")) return;
    ScreenSet& s = g_screens;
    SetHidden(Tag(s.diplomacyAidPanel, "HIDEBOX2"), true);
    bool member = false;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const PlayerRecord* local = LocalPlayer(g_world);
      member = local && ShownMember(*local);
    }
    if (member)
      s.worldMarketLeave->Show(kKeepScreenId, nullptr);
    else
      s.worldMarketJoin->Show(kKeepScreenId, nullptr);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeWorldMarketMembersPanel() { return std::make_unique<WorldMarketMembersPanel>(); }

// The confirmations.

namespace {

class WorldMarketLeavePanel : public Screen {
 public:
  WorldMarketLeavePanel() : Screen("DIPLOMACY1_SS1B", FormLookups{.tags = kWorldMarketLeaveTags, .ids = {}}) {}
  void BindControls() override { hostLink = &g_screens.diplomacyAidPanel.subPanelHost; }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "YESBUT2"))
      PostMembership(0);
    else if (Is(control, "NOBUT2"))
      BackToAidPanel();
  }
};

class WorldMarketJoinPanel : public Screen {
 public:
  WorldMarketJoinPanel() : Screen("DIPLOMACY1_SS1C", FormLookups{.tags = kWorldMarketJoinTags, .ids = {}}) {}
  void BindControls() override { hostLink = &g_screens.diplomacyAidPanel.subPanelHost; }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* local = LocalPlayer(g_world);
    if (!local) return;
    const PlayerRecord& r = *local;
    SetMoney(Tag(*this, "JOINFEE"), WorldMarketJoinFee(Opinion(r), r.gdp));
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "YESBUT3"))
      PostMembership(1);
    else if (Is(control, "NOBUT3"))
      BackToAidPanel();
  }
};

}  // namespace

std::unique_ptr<Screen> MakeWorldMarketLeavePanel() { return std::make_unique<WorldMarketLeavePanel>(); }
std::unique_ptr<Screen> MakeWorldMarketJoinPanel() { return std::make_unique<WorldMarketJoinPanel>(); }

// The treaties.

namespace {

class TreatyDetailsPanel : public Screen {
 public:
  TreatyDetailsPanel() : Screen("DIPLOMACY1_SS1D", FormLookups{.tags = kTreatyDetailsTags, .ids = {}}) {}
  void BindControls() override {
    DockInSecondBotbar2(*this);
    proposed = MakeListBox("DIPLIST5", 0, currentForm, kListIndicators, this);
    offered = MakeListBox("DIPLIST6", 0, currentForm, kListIndicators, this);
  }
  void OnOpen() override {
    SetControlText(Tag(*this, "DETAILS"), "");
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    if ((proposed && proposed->selectedId != 0) || (offered && offered->selectedId != 0)) return;
    SetControlText(Tag(*this, "DETAILS"), "");
    for (const char* tag : {"HIDEBOX", "CANBUT", "SIGNBUT"}) SetHidden(Tag(*this, tag), true);
  }
  void OnControlChange(Control* control, int32_t rowId) override {
    if (!control) return;
    // Only a row picked takes the other list's selection: the report of that
    // list emptied must not empty this one again.
    if (control == proposed) {
      if (rowId != 0) DeselectOther(offered, *this);
      for (const char* tag : {"HIDEBOX", "CANBUT"}) SetHidden(Tag(*this, tag), rowId == 0);
      SetControlFlag(Tag(*this, "QUESTION"), kStateSelected, 0);
    } else if (control == offered) {
      if (rowId != 0) DeselectOther(proposed, *this);
      SetHidden(Tag(*this, "SIGNBUT"), rowId == 0);
      SetControlFlag(Tag(*this, "QUESTION"), kStateSelected, 1);
    }
  }

  ListBoxControl* proposed = nullptr;  // DIPLIST5
  ListBoxControl* offered = nullptr;   // DIPLIST6
};

}  // namespace

std::unique_ptr<Screen> MakeTreatyDetailsPanel() { return std::make_unique<TreatyDetailsPanel>(); }
