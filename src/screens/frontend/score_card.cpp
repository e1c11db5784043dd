#include "screens/frontend/score_card.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/fpenv.h"
#include "screens/common/region_row.h"
#include "screens/frontend/chat_screen.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/screen_set.h"
#include "sim/daily/elimination.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "units/unit_player_fields.h"
#include "units/unit_texts.h"
#include "world/player_names.h"
#include "world/scenario_settings.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr uint32_t kEmbeddedAlpha = 0x96;
// The victory condition under which the regions are polled.
constexpr uint8_t kPollVictory = 3;
// REGION's mark for a region out of the game, or any region once it ended.
constexpr uint32_t kStateRegionOver = kStateDisabled;
// Leanings beyond these read as left and right.
constexpr int8_t kLeftLeaning = -40, kRightLeaning = 40;
// "diprel": how the local region sees another.
constexpr int kDipOwn = 0, kDipAlly = 1, kDipNeutral = 2, kDipEnemy = 3;

void Format(Control* c, const char* format, double value) {
  char text[64];
  plat::FormatText(text, sizeof text, format, value);
  SetText(c, text);
}

void ListText(Control* c, TextListId list, int index) { SetText(c, TextListEntry(g_textLists, list, index)); }

const PlayerRecord* PlayerOf(intptr_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return id > 0 && id < kMaxPlayers ? &g_world.players[static_cast<size_t>(id)] : nullptr;
}
const PlayerRecord* RecordOf(intptr_t id) { return reinterpret_cast<const PlayerRecord*>(id); }

uint32_t PackedHex(CapitalPosition at) {
  return static_cast<uint16_t>(at.x) | static_cast<uint32_t>(static_cast<uint16_t>(at.y)) << 16;
}

uint32_t Bit(int32_t player) { return player >= 0 && player < 32 ? 1u << static_cast<uint32_t>(player) : 0; }

// The hex gain and loss counters keep three figures each; the card shows
// the second of each.
int32_t Counter(const PlayerRecord& r, size_t at) { return unitfields::Int(r, at + 4); }
int32_t UnitsKilled(const PlayerRecord& r) { return unitfields::Int(r, unitfields::kUnitsDestroyed); }
int32_t UnitsLost(const PlayerRecord& r) { return unitfields::Int(r, unitfields::kUnitsLost); }
float CivilianCasualties(const PlayerRecord& r) { return unitfields::Real(r, unitfields::kCasualties); }
// The scores, in the record's order.
enum Score { kScoreTotal, kScoreWorldMarket, kScoreEconomic, kScoreTechnology, kScoreDiplomatic, kScoreMilitaryPart };

Screen& RegionPageRow(int32_t page, size_t p) {
  ScreenSet& s = g_screens;
  switch (page) {
    case kScoreMilitary:
      return s.scoreCardMilitary[p];
    case kScoreScores:
      return s.scoreCardScores[p];
    case kScorePolls:
      return s.scoreCardPolls[p];
    default:
      return s.scoreCardOverview[p];
  }
}

Screen& RegionPageHeader(int32_t page) {
  ScreenSet& s = g_screens;
  switch (page) {
    case kScoreMilitary:
      return s.scoreCardMilitaryHeader;
    case kScoreScores:
      return s.scoreCardScoresHeader;
    case kScorePolls:
      return s.scoreCardPollsHeader;
    default:
      return s.scoreCardOverviewHeader;
  }
}

void ShowCell(Screen& row, intptr_t id, Control* cell) {
  if (!cell) return;
  SetHidden(cell, false);
  row.Show(id, cell);
}

}  // namespace

ScoreCardPages ScoreCardPagesOf(const World& world) {
  return {.polls = world.scenario.head.svictorycond == kPollVictory,
          .campaign = (world.scenario.head.gameFlags & kGameFlagCampaign) != 0};
}

int32_t NextScoreCardPage(int32_t page, ScoreCardPages pages) {
  ++page;
  if (page == kScorePolls && !pages.polls) page = kScoreCampaign;
  if (page == kScoreCampaign && !pages.campaign) page = kScoreCampaign + 1;
  return page > kScoreCampaign || page < kScoreOverview ? kScoreOverview : page;
}

int32_t PreviousScoreCardPage(int32_t page, ScoreCardPages pages) {
  --page;
  if (page < kScoreOverview || page > kScoreCampaign) page = kScoreCampaign;
  if (page == kScoreCampaign && !pages.campaign) page = kScorePolls;
  if (page == kScorePolls && !pages.polls) page = kScoreScores;
  return page;
}

int32_t FinishedCampaignScenarios(const World& world) {
  int32_t count = 0;
  for (const PlayerRecord& r : world.snapshotTable) {
    if (r.endScenarioName[0] == 0 || count == kCampaignRows - 1) break;
    ++count;
  }
  return count;
}

int32_t ScoreCardActivate(ScoreCard& card, intptr_t page, const ScreenParameterList* list) {
  if (page != kKeepScreenId) card.page = static_cast<int32_t>(page);
  if (card.page == 0) card.page = kScoreOverview;
  // Embedded in the result screen it leaves its host; already open as a
  // pop-up it stays in its frame and is shown again.
  if (Control* f = card.currentForm; f && f->parent && !IsPopupFrame(f->parent)) f->Unlink();
  return card.Popup(kKeepScreenId, list);
}

void ShowScoreCardIn(ScoreCard& card, Control* host, int32_t page) {
  card.page = page;
  card.id = 0;
  if (Control* form = card.form) {
    RectMoveTo(&form->rect, 0, 0);
    SetAlpha(form->fills[0], kEmbeddedAlpha);
  }
  card.AttachForm(host);
  card.OnOpen();
  card.Refresh();
}

void ScoreCard::BindControls() { par1 = FormFindControlByTag(currentForm ? currentForm : form, "PAR1"); }

void ScoreCard::OnOpen() {
  if (!currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  SetHidden(Tag(*this, "CLOSE"), g_ui.mode != kUiInGame);
  for (int32_t i = 0; i < kScoreCardHalfRows; ++i) {
    SetHidden(Id(*this, kScoreLeftCells + i), true);
    SetHidden(Id(*this, kScorePageCells + i), true);
  }
  if (page == kScoreCampaign)
    OpenCampaignPage();
  else
    OpenRegionPage();
}

void ScoreCard::OpenRegionPage() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (page < kScoreOverview || page > kScorePolls) page = kScoreOverview;
  Press(Tag(*this, "SCOREHDR"), false);
  if (par1) RegionPageHeader(page).Show(0, par1);
  int32_t last = 0;
  for (int32_t p = 1; p < kMaxPlayers; ++p)
    if (g_world.players[p].kind != 0) last = p;
  int32_t skip = half * kScoreCardHalfRows, row = 0;
  bool more = false;
  for (int32_t p = 1; p <= last; ++p) {
    if (g_world.players[p].kind == 0) continue;
    if (skip > 0) {
      --skip;
      continue;
    }
    if (row == kScoreCardHalfRows) {
      more = true;
      break;
    }
    const auto at = static_cast<size_t>(p);
    ShowCell(g_screens.scoreCardRegions[at], p, Id(*this, kScoreLeftCells + row));
    ShowCell(RegionPageRow(page, at), p, Id(*this, kScorePageCells + row));
    ++row;
  }
  SetHidden(Tag(*this, "PAGEUP"), half == 0);
  SetHidden(Tag(*this, "PAGEDOWN"), half != 0 || !more);
}

void ScoreCard::OpenCampaignPage() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Press(Tag(*this, "SCOREHDR"), true);
  if (par1) g_screens.scoreCardWarHeader.Show(0, par1);
  SetHidden(Tag(*this, "PAGEUP"), true);
  SetHidden(Tag(*this, "PAGEDOWN"), true);
  const int32_t finished = FinishedCampaignScenarios(g_world);
  for (int32_t i = 0; i <= finished && i < kCampaignRows; ++i) {
    const PlayerRecord* record = i < finished ? &g_world.snapshotTable[static_cast<size_t>(i)] : LocalPlayer(g_world);
    if (!record) break;
    const auto id = reinterpret_cast<intptr_t>(record);
    ShowCell(g_screens.scoreCardScenario[static_cast<size_t>(i)], id, Id(*this, kScoreLeftCells + i));
    ShowCell(g_screens.scoreCardWar[static_cast<size_t>(i)], id, Id(*this, kScorePageCells + i));
  }
  ShowCell(g_screens.scoreCardTotalsLabel, 0, Id(*this, kScoreLeftCells + kTotalsRow));
  ShowCell(*g_screens.scoreCardTotals, 0, Id(*this, kScorePageCells + kTotalsRow));
}

void ScoreCard::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  const ScoreCardPages pages = ScoreCardPagesOf(g_world);
  if (ControlTagMatches(control->tag, "CLOSE")) {
    Close(0);
    return;
  }
  if (ControlTagMatches(control->tag, "NEXTBUT")) {
    page = NextScoreCardPage(page, pages);
  } else if (ControlTagMatches(control->tag, "PREVBUT")) {
    page = PreviousScoreCardPage(page, pages);
  } else if (ControlTagMatches(control->tag, "PAGEUP")) {
    half = 0;
  } else if (ControlTagMatches(control->tag, "PAGEDOWN")) {
    half = 1;
  } else {
    return;
  }
  // Re-opened where it stands: an embedded card stays in its host, a
  // pop-up stays a pop-up.
  OnOpen();
  Refresh();
}

void ShowTrendArrow(Control* arrow, double value, double previous) {
  SetHidden(arrow, value == previous);
  Press(arrow, value > previous);
}

double HexArea(const World& world, int32_t hexes) {
  const double size = world.mapHeader.hexScale;
  return static_cast<double>(hexes) * size * size;
}

void ScoreCardRegions::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = PlayerOf(id);
  if (!r) return;
  const bool gone = r->kind == kKindOut;
  Control* region = Tag(*this, "REGION");
  Control* name = Tag(*this, "NAME");
  SetText(region, LookupLocalizedName(g_world, *r));
  SetText(name, GetPlayerDisplayName(g_world, *r));
  Press(region, gone);
  Press(name, gone);
  // The flag's cell is as narrow as the flag: the name beside it is
  // REGION's, and under the flag it would show as dots.
  Control* flag = Tag(*this, "FLAG");
  FillRegionRow(flag, "", static_cast<int32_t>(id));
  SetText(flag, "");
  SetHidden(Tag(*this, "DEAD"), !gone);
  SetControlFlag(region, kStateRegionOver, gone || g_world.gameState.endReason != 0);
}

void ScoreCardRegions::OnCommand(Control* control, int32_t) {
  const PlayerRecord* r = PlayerOf(id);
  if (!r || !control || !ControlTagMatches(control->tag, "REGION")) return;
  const CapitalPosition capital = CapitalHex(r->displayPolicy);
  if (capital.x == 0 && capital.y == 0) return;
  const uint32_t packed = PackedHex(capital);
  GotoHexPacked(packed);
  if (g_ui.mapView) CentreMapOnHex(*g_ui.mapView, packed);
}

namespace {

// The record keeps 19 characters of its scenario's name; the local
// region's live record belongs to the scenario open, whose text gives the
// name whole.
std::string ScenarioNameOf(const PlayerRecord& r) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::string kept(r.endScenarioName, strnlen(r.endScenarioName, 19));
  if (&r != LocalPlayer(g_world)) return kept;
  const std::string whole = g_scenarioText.scenarioName.c_str();
  return whole.starts_with(kept) ? whole : kept;
}

}  // namespace

void ScoreCardScenario::OnOpen() {
  const PlayerRecord* r = RecordOf(id);
  if (!r) return;
  SetText(Tag(*this, "SCENARIO"), ScenarioNameOf(*r).c_str());
  SetText(Tag(*this, "REGION"), std::string(r->endRegionName, strnlen(r->endRegionName, 19)).c_str());
  if (Control* flag = Tag(*this, "FLAG")) {
    const uint32_t colour = g_uiOptions.playercolor[r->number % kMaxPlayers];
    flag->fills[kLookNormal] = flag->fills[kLookSelected] = colour;
    flag->Invalidate();
  }
}

void ScoreCardOverview::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = PlayerOf(id);
  if (!r) return;
  const auto p = static_cast<int32_t>(id);
  Control* chat = Tag(*this, "CHAT");
  Press(chat, (g_chatPartners & Bit(p)) != 0);
  SetHidden(chat, r->kind != kKindHuman || p == g_world.gameState.localPlayer);
  for (const char* tag : {"VOICE", "MUTE", "MAIL"}) SetHidden(Tag(*this, tag), true);
  Control* treasury = Tag(*this, "TREASURY");
  SetFigure(treasury, r->treasury);
  Press(treasury, r->treasury < 0.0f);
  SetFigure(Tag(*this, "POPULATION"), r->population);
  SetFigure(Tag(*this, "SIZE"), HexArea(g_world, r->hexCount));
  SetFigure(Tag(*this, "GDP"), r->gdp);
  SetFigure(Tag(*this, "REGDEBT"), static_cast<double>(r->debtKind0) + r->debtKind1 + r->debtKind2);
  Format(Tag(*this, "MILAPR"), "%3.0f %%", static_cast<double>(r->secondRating) * 100.0);
  Format(Tag(*this, "DOMAPR"), "%3.0f %%", static_cast<double>(r->approval) * 100.0);
  ShowTrendArrow(Tag(*this, "AARROW"), r->approval, r->yesterdayTotals[0]);
  ShowTrendArrow(Tag(*this, "MARROW"), r->secondRating, r->yesterdayTotals[1]);
  ShowTrendArrow(Tag(*this, "LARROW"), r->hexCount, r->yesterdayHexCount);
  // The records keep no day's copies of the treasury, population and GDP:
  // the row has no arrows for them.
}

void ScoreCardOverview::OnCommand(Control* control, int32_t) {
  if (!control || !ControlTagMatches(control->tag, "CHAT") || !PlayerOf(id)) return;
  const uint32_t bit = Bit(static_cast<int32_t>(id));
  g_chatPartners = (control->state & kStateSelected) ? (g_chatPartners | bit) : (g_chatPartners & ~bit);
}

void ScoreCardMilitary::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = PlayerOf(id);
  if (!r) return;
  const auto p = static_cast<int32_t>(id);
  SetFigure(Tag(*this, "KILLS"), UnitsKilled(*r));
  SetFigure(Tag(*this, "LOSSES"), UnitsLost(*r));
  const int32_t change = Counter(*r, unitfields::kHexGainStats) - Counter(*r, unitfields::kHexLossStats);
  SetFigure(Tag(*this, "LCHANGE"), HexArea(g_world, change));
  const PlayerRecord* localRecord = LocalPlayer(g_world);
  if (!localRecord) return;
  const PlayerRecord& local = *localRecord;
  const int stance = p == g_world.gameState.localPlayer                 ? kDipOwn
                     : (local.displayPolicy.friendlyMask & Bit(p)) != 0 ? kDipAlly
                     : (local.displayPolicy.hostileMask & Bit(p)) != 0  ? kDipEnemy
                                                                          : kDipNeutral;
  ListText(Tag(*this, "STANCE"), kListDiprel, stance);
  SetText(Tag(*this, "WMMEMBER"), (r->displayPolicy.wageFlags & kWorldBodyMember) ? "YES" : "NO");
  ListText(Tag(*this, "DEFCON"), kListDefcons, r->displayPolicy.defcon);
  const CapitalPosition capital = CapitalHex(r->displayPolicy);
  SetText(Tag(*this, "CAP"), HexPositionText(g_world, PackedHex(capital)).c_str());
}

void ScoreCardScores::Refresh() {
  const PlayerRecord* r = PlayerOf(id);
  if (!r) return;
  const char* gov = TextListEntry(g_textLists, kListGovtype, r->govtype);
  SetText(Tag(*this, "GOV"), ("(" + std::string(gov ? gov : "") + ")").c_str());
  Format(Tag(*this, "TECHLVL"), "%.0f", static_cast<double>(static_cast<int32_t>(r->techLevel)));
  SetFigure(Tag(*this, "ECSCORE"), r->scoreSums[kScoreEconomic]);
  SetFigure(Tag(*this, "MILSCORE"), r->scoreSums[kScoreMilitaryPart]);
  SetFigure(Tag(*this, "WMSCORE"), r->scoreSums[kScoreWorldMarket]);
  SetFigure(Tag(*this, "DASCORE"), r->scoreSums[kScoreDiplomatic]);
  SetFigure(Tag(*this, "TECHSCORE"), r->scoreSums[kScoreTechnology]);
  SetFigure(Tag(*this, "SCORE"), r->scoreSums[kScoreTotal]);
}

void ScoreCardPolls::Refresh() {
  const PlayerRecord* r = PlayerOf(id);
  if (!r) return;
  const int leaning = r->politic < kLeftLeaning ? 0 : r->politic > kRightLeaning ? 2 : 1;
  ListText(Tag(*this, "LEADERPOL"), kListPolitic, leaning);
  ListText(Tag(*this, "GOVTYPE"), kListGovtype, r->govtype);
}

void ScoreCardWar::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = RecordOf(id);
  if (!r) return;
  Control* result = Tag(*this, "WINLOST");
  ListText(result, kListWinlost, r->endResult != 0 ? 0 : 1);
  // The running game's own row has no result yet; once the game is left
  // for the result screen, its result is written and shown.
  SetHidden(result, r == LocalPlayer(g_world) && g_ui.mode == kUiInGame);
  SetText(Tag(*this, "CAPITAL"), std::string(r->endCapitalName, strnlen(r->endCapitalName, 19)).c_str());
  SetFigure(Tag(*this, "UKILL"), UnitsKilled(*r));
  SetFigure(Tag(*this, "ULOST"), UnitsLost(*r));
  SetFigure(Tag(*this, "CCASUAL"), CivilianCasualties(*r));
  SetFigure(Tag(*this, "SCORE"), r->scoreSums[kScoreTotal]);
  ListText(Tag(*this, "GOVTYPE"), kListGovtype, r->govtype);
}

namespace {

class ScoreCardTotals : public Screen {
 public:
  ScoreCardTotals() : Screen("SCORECARD1_SS6b", FormLookups{.tags = kTags, .ids = {}}) {}
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    // The campaign so far: every finished scenario's record and the live one.
    const int32_t finished = FinishedCampaignScenarios(g_world);
    const PlayerRecord* liveRecord = LocalPlayer(g_world);
    if (!liveRecord) return;
    const PlayerRecord& live = *liveRecord;
    double killed = UnitsKilled(live), lost = UnitsLost(live), casualties = CivilianCasualties(live);
    for (int32_t i = 0; i < finished; ++i) {
      const PlayerRecord& r = g_world.snapshotTable[static_cast<size_t>(i)];
      killed += UnitsKilled(r), lost += UnitsLost(r), casualties += CivilianCasualties(r);
    }
    SetFigure(Tag(*this, "UKILLTOT"), killed);
    SetFigure(Tag(*this, "ULOSTTOT"), lost);
    SetFigure(Tag(*this, "CCASUALTOT"), casualties);
    SetFigure(Tag(*this, "SCORETOT"), live.scoreSums[kScoreTotal]);
  }

 private:
  static constexpr const char* kTags[] = {"UKILLTOT", "ULOSTTOT", "CCASUALTOT", "SCORETOT"};
};

}  // namespace

std::unique_ptr<Screen> MakeScoreCardTotals() { return std::make_unique<ScoreCardTotals>(); }
