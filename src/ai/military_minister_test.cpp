#include "ai/military_minister.h"

#include <gtest/gtest.h>

#include <vector>

#include "ai/minister_dispatch.h"
#include "ai/minister_test_support.h"

namespace {

std::vector<int> g_stepped;
void Count(World&, PlayerRecord& r) { g_stepped.push_back(r.number); }

TEST(MinisterMinute, EachRegionOnceAndThoseFromTwentyTwiceInABand) {
  MinisterTestWorld t;
  for (int p = 0; p < kMaxPlayers; ++p) t.Region(p).kind = kKindComputer;
  t.Region(7).kind = kKindWorld;
  t.Region(8).kind = kKindOut;
  t.Region(9).kind = kKindEmpty;
  const MinisterSteps steps{&Count, &Count, &Count, &Count};
  struct Row {
    int player;
    int times;
  } rows[] = {{5, 1}, {19, 1}, {25, 2}, {31, 2}, {0, 1}, {7, 0}, {8, 0}, {9, 0}};
  for (int band : {4, 5, 7, 8}) {
    g_stepped.clear();
    for (int k = 0; k < 96; ++k) RunMinisterMinute(*t.world, k, band, steps);
    for (const Row& row : rows) {
      int n = 0;
      for (int p : g_stepped) n += p == row.player;
      EXPECT_EQ(n, row.times) << "band " << band << " player " << row.player;
    }
  }
}

TEST(MinisterMinute, BandsWithoutAMinisterStillAskTheLocalRegionsRedraw) {
  MinisterTestWorld t;
  const MinisterSteps steps{&Count, &Count, &Count, &Count};
  struct Row {
    int band;
    int counter;
    size_t steps;
    uint32_t redraw;
  } rows[] = {{6, 1, 0, 1}, {9, 1, 0, 1}, {1, 1, 0, 1}, {6, 2, 0, 0}, {5, 2, 1, 0}, {5, 1, 1, 1}, {5, 40, 0, 0}};
  for (const Row& row : rows) {
    g_stepped.clear();
    g_aiRedrawFlag = 0;
    RunMinisterMinute(*t.world, row.counter, row.band, steps);
    EXPECT_EQ(g_stepped.size(), row.steps) << row.band << "/" << row.counter;
    EXPECT_EQ(g_aiRedrawFlag.load(), row.redraw) << row.band << "/" << row.counter;
  }
}

struct MilitaryRow {
  const char* what;
  float funds, cost;
  int16_t control;
  uint32_t orders, locks;
  float budget1;
  uint8_t minAge;
  float target;
  // Expected.
  float budget1After;
  uint8_t minAgeAfter;
  float targetAfter;
  uint32_t flagsAfter;
};

TEST(MilitaryMinister, StandsDownWhenRichAndAlertsWhenPoor) {
  const MilitaryRow rows[] = {
      {"rich: stand down", 200000.0f, 50000.0f, 1, 0, 0, 0.5f, 18, 0.01f, 0.5f, 18, 0.01f, 0x2u},
      {"poor: alert", 50000.0f, 20000.0f, 1, 0, 0, 0.5f, 18, 0.01f, 0.502f, 16, 0.2f, 0x3u},
      {"poor, locked conscription", 50000.0f, 20000.0f, 1, 0, 1, 0.5f, 18, 0.01f, 0.502f, 18, 0.01f, 0x3u},
      {"poor, locked budget", 50000.0f, 20000.0f, 1, 0, 2, 0.5f, 18, 0.01f, 0.5f, 16, 0.2f, 0x3u},
      {"control 0 leaves it alone", 50000.0f, 20000.0f, 0, 0, 0, 0.5f, 18, 0.01f, 0.5f, 18, 0.01f, 0x3u},
      {"between the bars: nothing", 100000.0f, 40000.0f, 1, 0, 0, 0.5f, 18, 0.01f, 0.5f, 18, 0.01f, 0x3u},
  };
  for (const MilitaryRow& row : rows) {
    MinisterTestWorld t;
    t.Serve(kPostMilitary);
    PlayerRecord& r = t.Region();
    for (PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy}) {
      SetCabinetControl(b->cabinetPolicy[kPostMilitary], row.control);
      b->defcon = 1;
      b->milspendsalary = row.budget1;
      b->soldierminage = row.minAge;
      b->soldiertarget = row.target;
      b->militaryFlags = 0x2u | 0x1u;
    }
    t.Post(kPostMilitary, row.orders, row.locks);
    r.treasury = row.funds;
    r.yearlyCostFacilities = row.cost;
    MilitaryMinisterStep(*t.world, r);
    const uint32_t flags = row.flagsAfter;
    for (const PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy}) {
      EXPECT_FLOAT_EQ(b->milspendsalary, row.budget1After) << row.what;
      EXPECT_EQ(b->soldierminage, row.minAgeAfter) << row.what;
      EXPECT_FLOAT_EQ(b->soldiertarget, row.targetAfter) << row.what;
      EXPECT_EQ(b->militaryFlags, flags) << row.what;
    }
    EXPECT_EQ(PostRequests(r.simPolicy.cabinetPolicy[kPostMilitary]), 0u) << row.what;
  }
}

TEST(MilitaryMinister, ABudgetOnItsTargetIsNeitherCutNorRaised) {
  // Skill 0, rating 0 (r 0.1), defcon 1: the cut target is 0.1 + 0.01 + 0.5
  // = 0.61, the raise target 0.25 + 0.025 + 1 = 1.275, as the float sums
  // come out.
  const float r = 0.0f / 100.0f + 0.1f;
  const float cut = 1.0f / 10.0f + r / 10.0f + 0.0f + 0.5f;
  const float raise = 1.0f / 4.0f + r / 4.0f + 0.0f * 4.0f + 1.0f;
  EXPECT_NEAR(cut, 0.61f, 1e-6f);
  EXPECT_NEAR(raise, 1.275f, 1e-6f);
  struct Row {
    uint32_t orders;
    float before, after;
  } rows[] = {{kMilCutSpending, cut, cut},
              {kMilCutSpending, 0.7f, 0.7f * 0.996f},
              {kMilRaiseSpending, raise, raise},
              {kMilRaiseSpending, 1.0f, 1.0f * 1.004f}};
  for (const auto& row : rows) {
    MinisterTestWorld t;
    t.Serve(kPostMilitary);
    PlayerRecord& r = t.Region();
    // Between the two bars: neither stand-down nor alert.
    r.treasury = 100000.0f;
    r.yearlyCostFacilities = 40000.0f;
    for (PlayerPolicyBlock* b : {&r.simPolicy, &r.displayPolicy}) {
      b->defcon = 1;
      b->milspendmaint = row.before;
    }
    t.Post(kPostMilitary, row.orders);
    MilitaryMinisterStep(*t.world, r);
    EXPECT_FLOAT_EQ(r.simPolicy.milspendmaint, row.after) << row.before;
    EXPECT_FLOAT_EQ(r.displayPolicy.milspendmaint, row.after) << row.before;
  }
}

}  // namespace
