#include "sim/daily/player_accounts.h"

#include <cstddef>
#include <iterator>
#include <utility>

#include "app/calendar.h"
#include "app/game_math.h"
#include "net/command_network.h"
#include "sim/command_counts.h"
#include "sim/daily/economy_fields.h"
#include "sim/daily/elimination.h"
#include "sim/daily/hex_pass.h"
#include "sim/daily/product_fields.h"
#include "sim/daily/research_fields.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/relations.h"
#include "sim/sim_ui_link.h"
#include "app/window_messages.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

constexpr int kProductNotKept = 7;
// The settings word holding the amount the region has set aside for its next
// automatic sale of a product.
constexpr int kAutoSaleAmountWord = kProductSellParam;

constexpr float kAlertThreshold = 1000.0f;
constexpr uint8_t kGovtypeElected = 1;
constexpr uint8_t kGovtypeSeized = 4;

void BroadcastToAll(World& world, const PlayerRecord& subject, uint32_t type, const MessageParams& params) {
  BroadcastPlayerMessage(world, subject, type, type, type, type, nullptr, params);
}

void BroadcastToOthers(World& world, const PlayerRecord& subject, uint32_t type, const MessageParams& params) {
  BroadcastPlayerMessage(world, subject, 0, type, type, type, nullptr, params);
}

int32_t FourYearsOn(int32_t day) {
  GameDate date;
  date.dayNumber = day;
  DayNumberToDate(date);
  date.year = static_cast<int16_t>(date.year + 4);
  DateToDayNumber(date);
  return date.dayNumber;
}

// The turn figures other steps keep, saved pairwise into the last turn's.
constexpr size_t kOtherTurnFigures[] = {
    offsetof(PlayerRecord, turnSalesRevenue), offsetof(PlayerRecord, turnPurchaseCost), product::kTurnAutoPurchase,
    product::kTurnAutoSale, economy::kTurnSumD, economy::kTurnSumE};
static_assert(std::size(kOtherTurnFigures) <= sizeof(PlayerRecord::lastTurnFigures) / sizeof(float));

float RecordFloat(const PlayerRecord& r, size_t at) { return le::LoadF32(reinterpret_cast<const uint8_t*>(&r) + at); }
void SetRecordFloat(PlayerRecord& r, size_t at, float v) { le::StoreF32(reinterpret_cast<uint8_t*>(&r) + at, v); }

void ClearProductDayFigures(PlayerRecord& region) {
  for (int p = 0; p < kProductCount; ++p) {
    le::StoreF32(region.products[p].bytes + product::kDayUse, 0.0f);
    le::StoreF32(region.products[p].bytes + product::kDayDemand, 0.0f);
  }
}

}  // namespace

void ClearPlayerTurnCounters(World&, PlayerRecord& region) {
  region.turnBuildSpending = 0.0f;
  region.turnUnpaidBuildCost = 0.0f;
  region.turnAmountC = 0.0f;
  for (size_t at : kOtherTurnFigures) SetRecordFloat(region, at, 0.0f);
  region.turnUpkeepMarked = 0.0f;
  region.turnUpkeepOther = 0.0f;
  region.turnDefaulted = 0.0f;
  for (float& v : region.turnProductTotals) v = 0.0f;
  region.turnBestHex[0] = region.turnBestHex[1] = 0;
  region.turnBestHexValue = 0.0f;
}

// The figures the daily hex pass counts. While the world keeps no level map
// the pass cannot run, and starting or committing them would wipe every
// region's hexes and people; they are handled only on days the pass runs.
static void StartHexPassFigures(PlayerRecord& region) {
  region.dayHexCount = 0;
  region.dayPopulation = 0.0f;
  region.dayLeadValue = 0.0f;
  region.dayRuralPopulation = 0.0f;
  for (int p = 0; p < kProductCount; ++p) {
    region.dayProduction[p] = 0.0f;
    region.dayPopulationOutput[p] = 0.0f;
    region.dayRawYield[p] = 0.0f;
    product::SetRecordReal(region, product::kDayClassSlotOutput + 4 * static_cast<size_t>(p), 0.0f);
  }
  region.dayYearlyCostFacilities = 0.0f;
  region.dayYearlyCostHexLead = 0.0f;
  region.dayPortCapacity = 0.0f;
  region.dayKind2Count = 0;
  region.dayKind2IdleCount = 0;
  for (int t = 0; t < 3; ++t) region.dayCensusCapacityA[t] = region.dayCensusCapacityB[t] = region.dayCensusCrew[t] = 0;
}

// The sites by kind are counted afresh each day, by the hex pass's census
// and by the research step alike.
static void StartSiteCounts(PlayerRecord& region) {
  for (int k = 0; k < kResearchKinds; ++k) SetRecordF32(region, kDayCapacityByKind + 4 * static_cast<size_t>(k), 0.0f);
  SetRecordF32(region, kDayKind1Strength, 0.0f);
}

// A 16-bit count from a day's float: whole units, held within the word.
static uint16_t CountWord(float value) {
  const int32_t n = CheckedTrunc(value);
  if (n <= 0) return 0;
  return n > 0xFFFF ? 0xFFFF : static_cast<uint16_t>(n);
}

static void CommitHexPassFigures(PlayerRecord& region) {
  region.hexCount = region.dayHexCount;
  region.population = region.dayPopulation;
  region.ruralPopulation = region.dayRuralPopulation;
  region.leadValue = region.dayLeadValue;
  region.yearlyCostFacilities = region.dayYearlyCostFacilities;
  region.yearlyCostHexLead = region.dayYearlyCostHexLead;
  region.portCapacity = CountWord(region.dayPortCapacity + 0.9f);
  for (int k = 0; k < kResearchKinds; ++k) {
    const size_t at = 4 * static_cast<size_t>(k);
    SetRecordF32(region, kCapacityByKind + at, RecordF32(region, kDayCapacityByKind + at));
  }
}

void PlayerDaySnapshot(World& world, PlayerRecord& region) {
  region.daySecondRating = region.secondRating;
  region.dayApproval = 2.0f * region.approval;
  if (DailyHexPassRuns(world)) StartHexPassFigures(region);
  StartSiteCounts(region);
  region.dayInterestPaid = 0.0f;
  region.dayInterestReceived = 0.0f;
}

void PlayerDayCommit(World& world, PlayerRecord& region) {
  if (region.kind != kKindWorld) {
    // Product 7 is not kept overnight: neither in stock, nor on offer, nor
    // set aside for tomorrow's automatic sale.
    le::StoreF32(region.products[kProductNotKept].bytes + kProductStockAt, 0.0f);
    le::StoreF32(region.products[kProductNotKept].bytes + product::kForSale, 0.0f);
    SetProductReal(region.simPolicy.productPolicy[kProductNotKept], kAutoSaleAmountWord, 0.0f);
    SetProductReal(region.displayPolicy.productPolicy[kProductNotKept], kAutoSaleAmountWord, 0.0f);
  }
  float approval = region.dayApproval / 2.0f;
  // Not a number (an empty day's ratio) settles at the floor, not beyond it.
  if (!(approval >= 0.01f)) approval = 0.01f;
  if (approval > 1.0f) approval = 1.0f;
  region.approval = approval;
  region.secondRating = region.daySecondRating;
  if (DailyHexPassRuns(world)) CommitHexPassFigures(region);
  ClearProductDayFigures(region);
  SetRecordFloat(region, economy::kDayExtraDeaths, 0.0f);
  region.dayAlertValueB = 0.0f;
  // The interface raises the count from its own thread as it posts.
  AddPendingCommand(region);
  DropPendingCommand(region);
  if (PendingCommands(region) == 0) region.displayPolicy = region.simPolicy;
}

void SavePlayerTurnTotals(World& world, PlayerRecord& region) {
  region.lastTurnBuildSpending = region.turnBuildSpending;
  region.lastTurnUnpaidBuildCost = region.turnUnpaidBuildCost;
  region.lastTurnAmountC = region.turnAmountC;
  region.lastTurnUpkeepMarked = region.turnUpkeepMarked;
  region.lastTurnUpkeepOther = region.turnUpkeepOther;
  region.lastTurnDefaulted = region.turnDefaulted;
  for (size_t i = 0; i < std::size(kOtherTurnFigures); ++i)
    region.lastTurnFigures[i] = RecordFloat(region, kOtherTurnFigures[i]);
  // The twelfth product total has no product record to go to: writing it at
  // the product stride would land past the table.
  for (int p = 0; p < kProductCount; ++p)
    le::StoreF32(region.products[p].bytes + product::kLastTurnTotal, region.turnProductTotals[p]);
  // A turn that counted no settlement (no best hex) leaves the capital where
  // it is; taking (0, 0) would leave the region without one. Nor does the
  // turn's largest settlement take the place of a capital that stands: the
  // one the map's author marked or the player chose is kept.
  const CapitalPosition best{region.turnBestHex[0], region.turnBestHex[1]};
  if (!(best == CapitalPosition{}) && !CapitalStands(world, region, CapitalHex(region.simPolicy))) {
    SetCapitalHex(region.simPolicy, best);
    SetCapitalHex(region.displayPolicy, best);
  }
}

void DailyPlayerAlerts(World& world, PlayerRecord& region) {
  if (world.gameState.turnNumber > 0 && region.simPolicy.defcon != region.yesterdayDefcon) {
    MessageParams p;
    p.p1 = static_cast<uint32_t>(region.simPolicy.defcon);
    BroadcastToAll(world, region, kMsgDefconChanged, p);
  }
  const MessageParams none{};
  if (RecordFloat(region, economy::kDayExtraDeaths) > kAlertThreshold) BroadcastToAll(world, region, kMsgHeavyLosses, none);
  if (region.dayAlertValueB > kAlertThreshold) BroadcastToAll(world, region, kMsgUnrest, none);
}

void RunElection(World& world, PlayerRecord& region) {
  const MessageParams none{};
  const int self = region.number;
  if (region.lastTurnAmountC > 1.0f) PostPlayerMessage(world, region, self, kMsgAmountCOver, nullptr, none);
  if (region.lastTurnUnpaidBuildCost > 1.0f) PostPlayerMessage(world, region, self, kMsgUnpaidBuilding, nullptr, none);
  // Products the region ran short of yesterday.
  for (const auto& [p, type] : {std::pair{10, kMsgShortOf10}, {9, kMsgShortOf9}, {2, kMsgShortOf2}}) {
    const float have = le::LoadF32(region.products[p].bytes + product::kStock) +
                       le::LoadF32(region.products[p].bytes + product::kLastDayUse);
    if (have < le::LoadF32(region.products[p].bytes + product::kLastDayDemand))
      PostPlayerMessage(world, region, self, type, nullptr, none);
  }
  if (region.hexCount > region.yesterdayHexCount + 4) BroadcastToAll(world, region, kMsgHexesGained, none);
  if (region.hexCount < region.yesterdayHexCount - 4) BroadcastToAll(world, region, kMsgHexesLost, none);
  if (region.approval > 0.8f) BroadcastToAll(world, region, kMsgHighApproval, none);

  const int winner = ComputeElection(region, 0.0f);
  if (region.govtype != kGovtypeElected || region.electionDay == 0) return;
  const int32_t today = static_cast<int32_t>(world.gameState.currentDay);
  const int32_t electionDay = static_cast<int32_t>(region.electionDay);
  if (today > electionDay) {
    region.electionDay = static_cast<uint32_t>(FourYearsOn(electionDay));
    const int ruling = region.rulingParty < 4 ? region.rulingParty : 0;
    if (winner == ruling) {
      PostPlayerMessage(world, region, self, region.partyShare[ruling] > 0.4f ? kMsgReelected : kMsgReelectedNarrowly,
                        nullptr, none);
      BroadcastToOthers(world, region, kMsgReelectedNews, none);
      return;
    }
    BroadcastToAll(world, region, kMsgVotedOutNews, none);
    if (region.kind != kKindHuman) return;
    if (IsNetworkGame(g_commandNet)) {
      BroadcastToAll(world, region, kMsgCoupNews, none);
      PostPlayerMessage(world, region, self, kMsgCoup, nullptr, none);
      region.govtype = kGovtypeSeized;
      ApplyReputationChange(world, region, -0.2f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f);
      ApplyReputationChange(world, region, 0.1f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    } else if (self == world.gameState.localPlayer) {
      PostTurnEvent(kTurnCodeElectionLost);
    }
    return;
  }
  if (today == electionDay) {
    PostPlayerMessage(world, region, self, kMsgElectionToday, nullptr, none);
    return;
  }
  const int32_t left = electionDay - today;
  if (left < 100) {
    MessageParams p;
    p.p1 = static_cast<uint32_t>(left);
    PostPlayerMessage(world, region, self, kMsgElectionCountdown, nullptr, p);
    if (left % 14 == 0) BroadcastToAll(world, region, kMsgElectionCountdownNews, p);
  }
}
