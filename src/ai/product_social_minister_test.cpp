#include <gtest/gtest.h>

#include <vector>

#include "ai/minister_test_support.h"
#include "ai/product_minister.h"
#include "ai/social_minister.h"
#include "sim/daily/product_fields.h"

namespace {

constexpr uint32_t kMasterLock = 1u << 16;

// Product 3 of region 2 short on every count: 600 a year wanted, 100 made,
// half a unit in stock, consumer demand 100, capacity L.
void ShortProduct(PlayerRecord& r, float capacity) {
  product::Set(r, 3, product::kDemand, 600.0f);
  product::Set(r, 3, product::kProduction, 100.0f);
  product::Set(r, 3, product::kStock, 0.5f);
  product::Set(r, 3, product::kConsumerDemand, 100.0f);
  product::Set(r, 3, product::kOutput, capacity);
}

TEST(ProductMinister, TheProductionTargetFollowsAShortageUnlessTheProductIsLocked) {
  struct Row {
    const char* what;
    uint32_t locks;
    bool keptInCare;
    float capacity;
    // Expected.
    float target, ratio;
  } rows[] = {
      // Skill 0, second rating 0: (0.9 - 0 + 0.1 / 20) x M, M = 100.
      {"unlocked", 0, false, 1000.0f, 90.5f, 0.0905f},
      {"locked, out of care: kept", 1u << 3, false, 1000.0f, 50.0f, 0.25f},
      {"locked, kept in care", 1u << 3, true, 1000.0f, 90.5f, 0.0905f},
      {"no capacity: capped at 0, ratio 0", 0, false, 0.0f, 0.0f, 0.0f},
      {"another product's lock", 1u << 4, false, 1000.0f, 90.5f, 0.0905f},
  };
  for (const Row& row : rows) {
    MinisterTestWorld t;
    t.Serve(kPostProducts);
    t.Post(kPostProducts, 0, row.locks);
    PlayerRecord& r = t.Region();
    ShortProduct(r, row.capacity);
    for (PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy}) {
      SetProductReal(b->productPolicy[3], kProductTarget, 50.0f);
      SetProductReal(b->productPolicy[kProductRatioEntry], 3, 0.25f);
      if (row.keptInCare) b->productPolicy[3].bytes[kProductFlagByteAt] = 0x10;
    }
    DepartmentMinisterStepC(*t.world, r);
    for (const PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy}) {
      EXPECT_FLOAT_EQ(ProductReal(b->productPolicy[3], kProductTarget), row.target) << row.what;
      EXPECT_FLOAT_EQ(ProductReal(b->productPolicy[kProductRatioEntry], 3), row.ratio) << row.what;
    }
    EXPECT_EQ(PostRequests(r.simPolicy.cabinetPolicy[kPostProducts]), 0u) << row.what;
  }
}

TEST(ProductMinister, AnUnservedPostLeavesEveryProduct) {
  MinisterTestWorld t;
  PlayerRecord& r = t.Region();
  ShortProduct(r, 1000.0f);
  DepartmentMinisterStepC(*t.world, r);
  EXPECT_EQ(ProductReal(r.simPolicy.productPolicy[3], kProductTarget), 0.0f);
}

TEST(SocialMinister, ALockedItemNeverMoves) {
  // Group 2 is content at 0.1, below 0.7: item 2 rises by 0.2 / 20.
  struct Row {
    uint32_t locks;
    float after;
  } rows[] = {{0, 0.51f}, {1u << 2, 0.5f}, {kMasterLock, 0.5f}, {1u << 1, 0.51f}};
  for (const Row& row : rows) {
    MinisterTestWorld t;
    t.Serve(kPostSocial);
    t.Post(kPostSocial, 0, row.locks);
    PlayerRecord& r = t.Region();
    for (float& g : r.socialLevels) g = 1.0f;
    r.socialLevels[2] = 0.1f;
    for (PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy}) b->socialspend[2] = 0.5f;
    DepartmentMinisterStepD(*t.world, r);
    EXPECT_FLOAT_EQ(r.simPolicy.socialspend[2], row.after) << row.locks;
    EXPECT_FLOAT_EQ(r.displayPolicy.socialspend[2], row.after) << row.locks;
  }
}

TEST(SocialMinister, TheResearchBudgetEasesDownUnlessLocked) {
  // No allocation order: above defcon / 40 + r / 10 + 0 + 0.1 = 0.135 the
  // budget eases by 0.4 %; with an allocation order it climbs toward its
  // higher mark by 0.4 % and 0.001.
  struct Row {
    uint32_t orders, locks;
    float before, after;
  } rows[] = {{0, 0, 0.5f, 0.5f * 0.996f},
              {0, 0, 0.1f, 0.1f},
              {0, 1u << 20, 0.5f, 0.5f},
              {0, 1u << 21, 0.5f, 0.5f},
              {1u << 23, 0, 0.5f, 0.5f * 1.004f + 0.001f}};
  for (const Row& row : rows) {
    MinisterTestWorld t;
    t.Serve(kPostSocial);
    t.Post(kPostSocial, row.orders, row.locks);
    PlayerRecord& r = t.Region();
    for (float& g : r.socialLevels) g = 1.0f;
    for (PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy}) {
      b->defcon = 1;
      b->milspendresearch = row.before;
    }
    DepartmentMinisterStepD(*t.world, r);
    EXPECT_FLOAT_EQ(r.simPolicy.milspendresearch, row.after) << row.orders << "/" << row.locks;
    EXPECT_FLOAT_EQ(r.displayPolicy.milspendresearch, row.after) << row.orders << "/" << row.locks;
  }
}

TEST(SocialMinister, ReportsGoByStabilityTheDayTheLocksAndTheAlert) {
  // Skill 0: unrest below 0.24, war weariness at defcon 4 below 0.5. Every
  // step reports; a locked post reports its sums on days 9 (with order bit
  // 3), 51 and 93 of every 500.
  struct Row {
    const char* what;
    float stability;
    uint32_t day, orders, locks;
    int32_t defcon;
    std::vector<uint32_t> types;
  } rows[] = {
      {"a quiet day", 0.6f, 1000, 0, 0, 1, {kMsgSocialReport}},
      {"unrest", 0.2f, 1000, 0, 0, 1, {kMsgSocialUnrest, kMsgSocialReport}},
      {"weary of the alert", 0.4f, 1000, 0, 0, 4, {kMsgSocialReport, kMsgSocialWarWeariness}},
      {"alert, content", 0.5f, 1000, 0, 0, 4, {kMsgSocialReport}},
      {"day 9, restraint ordered, locked", 0.6f, 1009, 1u << 3, kMasterLock, 1, {kMsgSocialReport, kMsgSocialRestraint}},
      {"day 9, no restraint", 0.6f, 1009, 0, kMasterLock, 1, {kMsgSocialReport}},
      {"day 51, locked", 0.6f, 1551, 0, kMasterLock, 1, {kMsgSocialReport, kMsgSocialLocked}},
      {"day 51, unlocked", 0.6f, 1551, 0, 1u << 2, 1, {kMsgSocialReport}},
      {"day 93, locked", 0.6f, 93, 0, kMasterLock, 1, {kMsgSocialReport, kMsgSocialReview}},
  };
  for (const Row& row : rows) {
    MinisterTestWorld t;
    PlayerRecord& r = t.Region();
    r.approval = row.stability;
    r.simPolicy.defcon = row.defcon;
    t.world->gameState.currentDay = row.day;
    std::vector<uint32_t> types;
    for (const SocialReport& report : SocialMinisterReports(*t.world, r, 0.0f, row.orders, row.locks))
      types.push_back(report.type);
    EXPECT_EQ(types, row.types) << row.what;
  }
}

TEST(SocialMinister, TheSumsReportAverageSpendingAndSatisfaction) {
  MinisterTestWorld t;
  PlayerRecord& r = t.Region();
  t.world->gameState.currentDay = 51;
  r.approval = 0.6f;
  r.simPolicy.uispend = r.simPolicy.welfspend = r.simPolicy.pensspend = 1.0f;
  for (int i = 0; i < kSocialPrograms; ++i) {
    r.simPolicy.socialspend[i] = 2.0f;
    r.socialLevels[i] = 0.5f;
  }
  // (3 + 7 x 2) / 10 = 1.7 and (3 + 7 x 0.5) / 10 = 0.65.
  const auto reports = SocialMinisterReports(*t.world, r, 0.0f, 0, kMasterLock);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_FLOAT_EQ(MessageRealOf(reports[1].params.p1), 1.7f);
  EXPECT_FLOAT_EQ(MessageRealOf(reports[1].params.p2), 0.65f);
}

TEST(SocialMinister, StandingOrdersShiftResearchMoneyBetweenItsUses) {
  // Shares 0.5 each; 0.005 moves from a share of at least 0.2 to one below
  // 1.0: bit 4 and bits 23 to 27.
  struct Row {
    uint32_t orders;
    float level, techs, efficiency;
  } rows[] = {{0, 0.5f, 0.5f, 0.5f},           {1u << 4, 0.505f, 0.495f, 0.5f},
              {1u << 23, 0.505f, 0.5f, 0.495f}, {1u << 24, 0.5f, 0.505f, 0.495f},
              {1u << 25, 0.495f, 0.505f, 0.5f}, {1u << 26, 0.495f, 0.5f, 0.505f},
              {1u << 27, 0.5f, 0.495f, 0.505f}, {(1u << 4) | (1u << 25), 0.5f, 0.5f, 0.5f}};
  for (const Row& row : rows) {
    MinisterTestWorld t;
    t.Serve(kPostSocial);
    t.Post(kPostSocial, row.orders, 1u << 20);
    PlayerRecord& r = t.Region();
    for (float& g : r.socialLevels) g = 1.0f;
    for (PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy})
      for (float& share : b->milResearch) share = 0.5f;
    DepartmentMinisterStepD(*t.world, r);
    for (const PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy}) {
      EXPECT_FLOAT_EQ(b->milResearch[0], row.level) << row.orders;
      EXPECT_FLOAT_EQ(b->milResearch[1], row.techs) << row.orders;
      EXPECT_FLOAT_EQ(b->milResearch[2], row.efficiency) << row.orders;
    }
  }
}

}  // namespace
