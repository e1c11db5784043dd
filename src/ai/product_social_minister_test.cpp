#include <gtest/gtest.h>

#include "ai/minister_test_support.h"
#include "ai/product_minister.h"
#include "ai/social_minister.h"
#include "sim/daily/product_fields.h"

namespace {

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
  } rows[] = {{0, 0.51f}, {1u << 2, 0.5f}, {kSocialLockAll, 0.5f}, {1u << 1, 0.51f}};
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

TEST(SocialMinister, TheResearchBudgetAndItsUsesMoveUnlessLocked) {
  // No allocation order: above defcon / 40 + r / 10 + 0 + 0.1 = 0.135 the
  // budget eases by 0.4 %; with an allocation order it climbs toward its
  // higher mark by 0.4 % and 0.001. From 0.5 each, 0.005 shares move: bit 4 techs to level, 23
  // efficiency to level, 25 level to techs, 27 techs to efficiency.
  struct Row {
    uint32_t orders, locks;
    float before, after, shares[3] = {0.5f, 0.5f, 0.5f};
  } rows[] = {{0, 0, 0.5f, 0.5f * 0.996f},
              {0, 0, 0.1f, 0.1f},
              {0, 1u << 20, 0.5f, 0.5f},
              {0, 1u << 21, 0.5f, 0.5f},
              {1u << 23, 0, 0.5f, 0.5f * 1.004f + 0.001f, {0.505f, 0.5f, 0.495f}},
              {1u << 4, 1u << 20, 0.5f, 0.5f, {0.505f, 0.495f, 0.5f}},
              {(1u << 27) | (1u << 25), 1u << 20, 0.5f, 0.5f, {0.495f, 0.5f, 0.505f}}};
  for (const Row& row : rows) {
    MinisterTestWorld t;
    t.Serve(kPostSocial);
    t.Post(kPostSocial, row.orders, row.locks);
    PlayerRecord& r = t.Region();
    for (float& g : r.socialLevels) g = 1.0f;
    for (PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy}) {
      b->defcon = 1;
      b->milspendresearch = row.before;
      for (float& share : b->milResearch) share = 0.5f;
    }
    DepartmentMinisterStepD(*t.world, r);
    EXPECT_FLOAT_EQ(r.simPolicy.milspendresearch, row.after) << row.orders << "/" << row.locks;
    EXPECT_FLOAT_EQ(r.displayPolicy.milspendresearch, row.after) << row.orders << "/" << row.locks;
    for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(r.displayPolicy.milResearch[k], row.shares[k]) << row.orders << "/" << k;
  }
}

TEST(SocialMinister, ReportsGoByStabilityTheDayTheLocksAndTheAlert) {
  // Skill 0: unrest below 0.24, weariness at defcon 4 below 0.5; a locked
  // post reports its sums on days 9 (with order bit 3), 51 and 93 of 500.
  struct Row { float stability; uint32_t day, orders, locks; int32_t defcon; std::vector<uint32_t> types; };
  const Row rows[] = {{0.4f, 1000, 0, 0, 1, {kMsgSocialReport}},
                      {0.2f, 1000, 0, 0, 4, {kMsgSocialUnrest, kMsgSocialReport, kMsgSocialWarWeariness}},
                      {0.6f, 1009, 1u << 3, kSocialLockAll, 1, {kMsgSocialReport, kMsgSocialRestraint}},
                      {0.6f, 1551, 0, 1u << 2, 1, {kMsgSocialReport}}, {0.6f, 1551, 0, kSocialLockAll, 1, {kMsgSocialReport, kMsgSocialLocked}}};
  for (const Row& row : rows) {
    MinisterTestWorld t;
    t.Region().approval = row.stability;
    t.Region().simPolicy.defcon = row.defcon;
    t.world->gameState.currentDay = row.day;
    std::vector<uint32_t> types;
    for (const SocialReport& r : SocialMinisterReports(*t.world, t.Region(), 0.0f, row.orders, row.locks)) types.push_back(r.type);
    EXPECT_EQ(types, row.types) << row.day << "/" << row.stability;
  }
}

}  // namespace
