#pragma once
// The score card (SCORECARD1): the regions side by side on five pages
// (overview, military, scores, polls, campaign), as a pop-up over the game
// or embedded in the result screen. Each page is a header form in PAR1 and
// one row per region, sixteen to a half; the card shows what the records
// hold and computes nothing beyond sums, differences and areas.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr int32_t kScoreCardRows = 32;
inline constexpr int32_t kScoreCardHalfRows = 16;
// The left cells and the page cells of the rows.
inline constexpr int32_t kScoreLeftCells = 100;
inline constexpr int32_t kScorePageCells = 200;
// Page 5 lists at most this many scenarios; its last row holds the totals.
inline constexpr int32_t kCampaignRows = 14;
inline constexpr int32_t kTotalsRow = 15;

enum ScoreCardPage : int32_t {
  kScoreOverview = 1,
  kScoreMilitary = 2,
  kScoreScores = 3,
  kScorePolls = 4,
  kScoreCampaign = 5,
};

inline constexpr const char* kScoreCardTags[] = {"PAR1", "SCOREHDR", "CLOSE", "NEXTBUT", "PREVBUT", "PAGEUP",
                                                 "PAGEDOWN"};

class ScoreCard : public Screen {
 public:
  ScoreCard() : Screen("SCORECARD1", FormLookups{.tags = kScoreCardTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;

  int32_t page = 0;  // 1..5 once shown; 0 before the first opening
  int32_t half = 0;  // 0: the first sixteen regions, 1: the next sixteen
  Control* par1 = nullptr;

 private:
  void OpenRegionPage();
  void OpenCampaignPage();
};

// The pages a scenario has: the polls only under victory condition 3, the
// campaign page only in a campaign.
struct ScoreCardPages {
  bool polls = false;
  bool campaign = false;
};
ScoreCardPages ScoreCardPagesOf(const World& world);
int32_t NextScoreCardPage(int32_t page, ScoreCardPages pages);
int32_t PreviousScoreCardPage(int32_t page, ScoreCardPages pages);
// The finished scenarios of the running campaign: the leading records of the
// snapshot table that the result screen named.
int32_t FinishedCampaignScenarios(const World& world);

// Opens the score card on the page (kKeepScreenId keeps the last one) as a
// pop-up over the whole screen.
int32_t ScoreCardActivate(ScoreCard& card, intptr_t page, const ScreenParameterList* list);
// Shows the card inside a host control on the page (the result screen's
// way): its form moves to the host's origin, keeps its size, and is drawn
// a little translucent.
void ShowScoreCardIn(ScoreCard& card, Control* host, int32_t page);

// ---- The rows: shown with a player number, on page 5 with a record's
// address.

class ScoreCardRegions : public Screen {
 public:
  ScoreCardRegions() : Screen("SCORECARD1_SS1", FormLookups{.tags = kTags, .ids = {}}) {}
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;

 private:
  static constexpr const char* kTags[] = {"REGION", "NAME", "FLAG", "DEAD"};
};

class ScoreCardScenario : public Screen {
 public:
  ScoreCardScenario() : Screen("SCORECARD1_SS1b", FormLookups{.tags = kTags, .ids = {}}) {}
  void OnOpen() override;

 private:
  static constexpr const char* kTags[] = {"SCENARIO", "REGION", "FLAG"};
};

class ScoreCardOverview : public Screen {
 public:
  ScoreCardOverview() : Screen("SCORECARD1_SS2a", FormLookups{.tags = kTags, .ids = {}}) {}
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

 private:
  static constexpr const char* kTags[] = {"CHAT",   "TREASURY", "POPULATION", "SIZE",   "GDP",
                                          "REGDEBT", "MILAPR",  "DOMAPR",     "AARROW", "MARROW", "LARROW"};
};

class ScoreCardMilitary : public Screen {
 public:
  ScoreCardMilitary() : Screen("SCORECARD1_SS4a", FormLookups{.tags = kTags, .ids = {}}) {}
  void Refresh() override;

 private:
  static constexpr const char* kTags[] = {"KILLS", "LOSSES", "LCHANGE", "STANCE", "WMMEMBER", "DEFCON", "CAP"};
};

class ScoreCardScores : public Screen {
 public:
  ScoreCardScores() : Screen("SCORECARD1_SS3a", FormLookups{.tags = kTags, .ids = {}}) {}
  void Refresh() override;

 private:
  static constexpr const char* kTags[] = {"GOV",      "TECHLVL", "ECSCORE",   "MILSCORE",
                                          "WMSCORE",  "DASCORE", "TECHSCORE", "SCORE"};
};

class ScoreCardPolls : public Screen {
 public:
  ScoreCardPolls() : Screen("SCORECARD1_SS5a", FormLookups{.tags = kTags, .ids = {}}) {}
  void Refresh() override;

 private:
  static constexpr const char* kTags[] = {"LEADERPOL", "GOVTYPE"};
};

class ScoreCardWar : public Screen {
 public:
  ScoreCardWar() : Screen("SCORECARD1_SS6a", FormLookups{.tags = kTags, .ids = {}}) {}
  void Refresh() override;

 private:
  static constexpr const char* kTags[] = {"WINLOST", "CAPITAL", "UKILL", "ULOST", "CCASUAL", "SCORE", "GOVTYPE"};
};

std::unique_ptr<Screen> MakeScoreCardTotals();

// A trend arrow against the previous day's copy: up (checked) when above,
// down when below, hidden when equal.
void ShowTrendArrow(Control* arrow, double value, double previous);
// The area of a count of hexes in the map's square units.
double HexArea(const World& world, int32_t hexes);
