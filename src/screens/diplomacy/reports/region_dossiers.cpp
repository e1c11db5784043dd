#include "screens/diplomacy/reports/region_dossiers.h"

#include <algorithm>

#include "platform/fpenv.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "screens/common/region_stats.h"
#include "screens/screen_set.h"
#include "sim/daily/economy_fields.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/player_list_rows.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/string_control.h"
#include "world/region_figures.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kHighestOpinionEntry = 6;
constexpr uint32_t kAllied = kRelationFriendly;
constexpr uint32_t kEnemies = kRelationHostile;

int32_t LocalIndex() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = g_world.gameState.localPlayer;
  return local >= 0 && local < kMaxPlayers ? local : 0;
}

int32_t PlayerOfId(intptr_t id) { return id >= 0 && id < kMaxPlayers ? static_cast<int32_t>(id) : -1; }

int32_t Attach(Screen& screen, int32_t placement) {
  if (!g_uiOptions.sidescreens) return 0;
  screen.currentForm = screen.form;
  PlaceSidePanel(0, &screen, placement);
  return 0;
}

// "(government)", empty for a type the list does not name.
void SetGovernment(Control* c, const PlayerRecord& r) {
  if (!c) return;
  char text[48] = "";
  if (const char* name = TextListEntry(g_textLists, kListGovtype, r.govtype))
    plat::FormatText(text, sizeof text, "(%s)", name);
  SetControlText(c, text);
}

float WorldInterest() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (g_world.worldEconomy.size() < kWorldPrimeRateAt + 4) return 0.0f;
  return le::LoadF32(g_world.worldEconomy.data() + kWorldPrimeRateAt);
}

}  // namespace

int32_t OpinionEntry(float opinion) {
  // Held in floats first: an opinion that is not a number reads as the
  // lowest entry (as the treaty panels read it), and no huge one passes the
  // integer range.
  if (!(opinion == opinion)) return 0;
  return static_cast<int32_t>(std::clamp(opinion * 8.0f, 0.0f, static_cast<float>(kHighestOpinionEntry)));
}

namespace {

class RegionDossier : public Screen {
 public:
  RegionDossier() : Screen("DIPLOMACY2a", FormLookups{.tags = kRegionDossierTags, .ids = {}}) {}
  int32_t AttachForm(Control*) override { return Attach(*this, kPanelTop); }
  // Id 0 hides the dossier.
  void Refresh() override {
    if (!g_uiOptions.sidescreens || !currentForm) return;
    const int32_t player = PlayerOfId(id);
    SetHidden(currentForm, player <= 0);
    if (player <= 0) return;
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord& r = g_world.players[player];
    SetControlText(Tag(*this, "REGNAME"), RegionDisplayName(g_world, player));
    SetGovernment(Tag(*this, "REGGOVT"), r);
    SetFigure(Tag(*this, "REGPOP"), r.population);
    SetFigure(Tag(*this, "REGLAND"), static_cast<double>(RegionLand(g_world, r)));
    SetMoney(Tag(*this, "REGGDP"), r.gdpPerCapita);
    SetMoneyShort(Tag(*this, "REGTREASURE"), r.treasury);
    SetMoneyShort(Tag(*this, "REGDEBT"), static_cast<double>(r.debtKind0 + r.debtKind1 + r.debtKind2));
  }
  // REGDRBUT: the full report on the same region.
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "REGDRBUT")) g_screens.regionReport->Show(id, nullptr);
  }
};

class RegionReport : public Screen {
 public:
  RegionReport() : Screen("DIPLOMACY2a_SS1", FormLookups{.tags = kRegionReportTags, .ids = {}}) {}
  int32_t AttachForm(Control*) override { return Attach(*this, kPanelFull); }
  void Refresh() override {
    if (!g_uiOptions.sidescreens || !currentForm) return;
    const int32_t player = PlayerOfId(id);
    if (player >= 0) FillRegionStats(*this, true, player);
  }
  // OKBUT: back to the dossier and the alliances of the same region.
  void OnCommand(Control* control, int32_t) override {
    if (!Is(control, "OKBUT")) return;
    ScreenSet& s = g_screens;
    for (Screen* back : {static_cast<Screen*>(s.regionDossier.get()), static_cast<Screen*>(s.regionAlliances.get())}) {
      if (id != kKeepScreenId) back->id = id;
      ReopenScreen(*back);
    }
  }
};

class OwnRegionSummary : public Screen {
 public:
  OwnRegionSummary() : Screen("DIPLOMACY2b", FormLookups{.tags = kOwnRegionTags, .ids = {}}) {}
  int32_t AttachForm(Control*) override { return Attach(*this, kPanelTop); }
  // Always the local region, whatever the id.
  void Refresh() override {
    if (!g_uiOptions.sidescreens || !currentForm) return;
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = LocalIndex();
    const PlayerRecord& r = g_world.players[local];
    SetGovernment(Tag(*this, "REGGOVT"), r);
    SetControlText(Tag(*this, "REGNAME"), RegionDisplayName(g_world, local));
    SetPercent(Tag(*this, "WMSUBRATE"), "%3.0f %%", r.tradeOpenness);
    SetPercent(Tag(*this, "WMINTRATE"), "%2.1f %%", WorldInterest());
    SetPercent(Tag(*this, "DOMAPRRATE"), "%3.0f %%", r.approval);
    SetPercent(Tag(*this, "MILAPRRATE"), "%3.0f %%", r.secondRating);
    // The world market's opinion of the region is its integrity there.
    const int32_t entry = OpinionEntry(LoadRegionFloat(r, kRegionWmIntegrity));
    if (Control* c = Tag(*this, "OPINION")) SetControlText(c, TextListText(kListWmopinion, entry));
  }
};

class RegionAlliances : public Screen {
 public:
  RegionAlliances() : Screen("DIPLOMACY3", FormLookups{.tags = kRegionAlliancesTags, .ids = {}}) {}
  int32_t AttachForm(Control*) override { return Attach(*this, kPanelBottom); }
  void BindControls() override {
    allies = MakeListBox("ALLIES", 0, currentForm, kListIndicators, this);
    enemies = MakeListBox("ENEMIES", 0, currentForm, kListIndicators, this);
  }
  // An id below 1 becomes the local region's.
  void Refresh() override {
    if (!g_uiOptions.sidescreens) return;
    if (id < 1 || id >= kMaxPlayers) id = LocalIndex();
    const int32_t shown = static_cast<int32_t>(id);
    plat::CriticalSectionLock lock(g_simulationLock);
    SetControlText(Tag(*this, "REGNAME"), RegionDisplayName(g_world, shown));
    const struct {
      ListBoxControl* list;
      uint32_t relation;
    } lists[] = {{allies, kAllied}, {enemies, kEnemies}};
    for (const auto& l : lists) {
      if (!l.list) continue;
      ListClear(l.list, 1);
      if (l.list->parent) l.list->parent->flags &= ~1u;
      PlayerListOptions options;
      options.relationMask = l.relation;
      options.includeKind3 = true;
      // The local region's own choices show at once; another's as the
      // simulation knows them.
      options.copy = shown == LocalIndex() ? 0 : 1;
      FillPlayerListRow(g_world, g_world.players[shown], l.list, options);
    }
  }

  ListBoxControl* allies = nullptr;
  ListBoxControl* enemies = nullptr;
};

}  // namespace

std::unique_ptr<Screen> MakeRegionDossier() { return std::make_unique<RegionDossier>(); }
std::unique_ptr<Screen> MakeRegionReport() { return std::make_unique<RegionReport>(); }
std::unique_ptr<Screen> MakeOwnRegionSummary() { return std::make_unique<OwnRegionSummary>(); }

std::unique_ptr<Screen> MakeRegionAlliances() { return std::make_unique<RegionAlliances>(); }
