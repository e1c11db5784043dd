#include "sim/daily/military_research.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "sim/command_test_world.h"
#include "sim/daily/research_fields.h"
#include "sim/player_message_link.h"
#include "sim/policy_block_fields.h"
#include "units/unit_player_fields.h"
#include "support/global_guard.h"
#include "world/list_items.h"

namespace {

std::vector<int32_t> g_told;

void Record(World&, PlayerRecord&, int32_t, int32_t type, uint32_t) { g_told.push_back(type); }

class MilitaryResearch : public ::testing::Test {
 protected:
  void SetUp() override {
    g_playerMessageLink.post = &Record;
    g_told.clear();
    World& w = *t.world;
    w.techs.assign(4, TechRecord{});
    for (size_t i = 1; i < 4; ++i) {
      w.techs[i].category = 1;
      w.techs[i].price = 3.0f;
      w.techs[i].researchCost = 12.0f;  // weight 0.25 x 3
    }
    w.gameState.techCount = 4;
    w.techRows.assign(32 * 4, PlayerTechState{});
    PlayerRecord& r = R();
    r.treasury = 1000.0f;
    r.researchEfficiency = 0.5f;
    r.simPolicy.milResearch[1] = 1.0f;
  }
  void TearDown() override {
    for (auto& e : entries_) e->Unlink();
  }
  PlayerRecord& R() { return t.world->players[2]; }
  ProjectEntry& Item(uint32_t tech, float remaining) {
    entries_.push_back(std::make_unique<ProjectEntry>());
    ProjectEntry& e = *entries_.back();
    e.kind = kProjectTechnology;
    e.index = tech;
    e.simFlags = e.displayFlags = kProjectPursued;
    e.remainingCost = remaining;
    e.id = static_cast<uint32_t>(entries_.size());
    t.world->projectLists[2].Append(&e);
    return e;
  }
  void Budget() {
    // B = 3,650 x min(4, r(4)) / 365 = 20.
    R().researchBudget = 3650.0f;
    R().simPolicy.milspendresearch = 4.0f;
    SetRecordF32(R(), kCapacityByKind + 4, 4.0f);
  }
  CommandTestWorld t;
  GlobalGuard<PlayerMessageLink> link_{g_playerMessageLink, PlayerMessageLink{}};
  std::vector<std::unique_ptr<ProjectEntry>> entries_;
};

TEST(ResearchCost, LevelTwentyCostsTenTimesLevelZero) {
  EXPECT_NEAR(ResearchBaseCost(0.0f), 131.50685f, 1e-3f);  // 96,000 / 2 / 365
  EXPECT_FLOAT_EQ(ResearchBaseCost(20.0f), 10.0f * ResearchBaseCost(0.0f));
  EXPECT_FLOAT_EQ(ResearchBaseCost(40.0f), 100.0f * ResearchBaseCost(0.0f));
}

TEST_F(MilitaryResearch, TheImplicitSiteResearchesAtStrengthPointFour) {
  Budget();
  ProjectEntry& item = Item(2, 10.0f);
  DailyMilitaryResearch(*t.world, R());
  EXPECT_EQ(RecordF32(R(), kDayCapacityByKind + 4), 1.0f);
  EXPECT_FLOAT_EQ(RecordF32(R(), kDayKind1Strength), 0.4f);
  // v = min(20 / 0.75, 0.4 / 1 x 3) = 1.2; the item loses 1.2 x 0.5.
  EXPECT_NEAR(item.remainingCost, 9.4f, 1e-5f);
  EXPECT_EQ(le::LoadI16(RecordBytes(R()) + kResearchItemCount), 1);
  EXPECT_FLOAT_EQ(R().treasury, 980.0f);
  EXPECT_NEAR(RecordF32(R(), kResearchSpentToday), 1.2f * R().researchEfficiency, 1e-6f);
  EXPECT_GT(R().techLevel, 0.0f);  // the minimum r(0.01) / 365 at least
}

TEST_F(MilitaryResearch, AFinishedItemIsGrantedAndTold) {
  Budget();
  ProjectEntry& done = Item(1, 0.5f);
  ProjectEntry& held = Item(3, 0.1f);
  held.simFlags |= kProjectHeld;
  DailyMilitaryResearch(*t.world, R());
  EXPECT_EQ(TechRow(*t.world, 2)[1].known, 2);
  EXPECT_EQ(done.simFlags, 0u);
  EXPECT_EQ(TechRow(*t.world, 2)[3].known, 0);  // held items are not researched
  EXPECT_EQ(held.remainingCost, 0.1f);
  EXPECT_EQ(le::LoadI16(RecordBytes(R()) + kResearchItemCount), 0);
  EXPECT_EQ(g_told, (std::vector<int32_t>{56, 135}));
}

TEST_F(MilitaryResearch, TheListIsWalkedUnderTheProjectsLock) {
  // A posting thread inserting a project holds the list's lock: the day's
  // walk waits for it instead of reading a list being relinked.
  Budget();
  Item(1, 0.5f);
  std::optional<WorldLockGuard> posting;
  posting.emplace(*t.world, kLockProjects);
  std::atomic<bool> done{false};
  std::thread day([&] {
    DailyMilitaryResearch(*t.world, R());
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(done.load());
  posting.reset();
  day.join();
  EXPECT_TRUE(done.load());
  EXPECT_EQ(TechRow(*t.world, 2)[1].known, 2);
  EXPECT_EQ(g_told, (std::vector<int32_t>{56, 135}));
}

TEST_F(MilitaryResearch, UnavailableItemsWait) {
  Budget();
  t.world->techs[2].prerequisites[0] = 3;
  ProjectEntry& item = Item(2, 10.0f);
  DailyMilitaryResearch(*t.world, R());
  EXPECT_EQ(item.remainingCost, 10.0f);
  EXPECT_EQ(le::LoadI16(RecordBytes(R()) + kResearchItemCount), 0);
}

TEST_F(MilitaryResearch, ABuyRequestWithoutAReadyUnitIsDroppedSilently) {
  SetRecordF32(R(), kCapacityByKind + 12, 3.0f);
  ProgramBuyRequests(R().simPolicy) = 0x5;
  ProgramBuyRequests(R().displayPolicy) = 0x5;
  DailyMilitaryResearch(*t.world, R());
  EXPECT_EQ(ProgramBuyRequests(R().simPolicy), 0x4);
  EXPECT_EQ(ProgramBuyRequests(R().displayPolicy), 0x4);
  EXPECT_EQ(R().treasury, 1000.0f);
  EXPECT_TRUE(g_told.empty());
}

// The programmes build what command 277 ordered (the launch counts) and buy
// what 276 asked for (the launch bits); their bytes are not the sea access
// mask's.
TEST_F(MilitaryResearch, ProgramsWorkTheLaunchCountsAndBits) {
  SetRecordF32(R(), kCapacityByKind + 12, 300.0f);  // step 100
  R().gdpPerCapita = 0.0045f;                       // type 1 costs 100 x 25,000 x 0.0045 / 110 a day
  SetLaunchCount(R().simPolicy, 1, 1);
  SetRecordU16(R(), kProgramReady + 4, 1);
  SetLaunchBits(R().simPolicy, 1u << 2);
  DailyMilitaryResearch(*t.world, R());
  EXPECT_FLOAT_EQ(RecordF32(R(), kProgramProgress + 4), 10.0f);  // 110 - 100
  EXPECT_EQ(RecordU16(R(), kProgramStock + 4), 1);
  EXPECT_EQ(LaunchBits(R().simPolicy), 0);
  for (int i = 0; i < kPrograms; ++i) ProgramOrders(R().simPolicy, i) = 0xFF;
  ProgramBuyRequests(R().simPolicy) = 0xFF;
  EXPECT_EQ(unitfields::AccessMask(R(), 2), 0u);
}

TEST_F(MilitaryResearch, ProgramProgressFinishesAUnitEachPaidDayUntilTheOrdersRunOut) {
  SetRecordF32(R(), kCapacityByKind + 12, 300.0f);  // step 100
  R().gdpPerCapita = 0.0045f;                       // cost 100 x 20,000 x 0.0045 / 90 = 100
  ProgramOrders(R().simPolicy, 0) = 2;
  ProgramOrders(R().displayPolicy, 0) = 2;
  DailyMilitaryResearch(*t.world, R());
  EXPECT_FLOAT_EQ(RecordF32(R(), kProgramProgress), -10.0f);  // 90 - 100
  EXPECT_EQ(ProgramOrders(R().simPolicy, 0), 1);
  EXPECT_EQ(ProgramOrders(R().displayPolicy, 0), 1);
  EXPECT_EQ(RecordU16(R(), kProgramReady), 1);
  EXPECT_NEAR(R().treasury, 900.0f, 1e-3f);
  DailyMilitaryResearch(*t.world, R());
  EXPECT_FLOAT_EQ(RecordF32(R(), kProgramProgress), -110.0f);
  EXPECT_EQ(ProgramOrders(R().simPolicy, 0), 0);
  EXPECT_EQ(RecordU16(R(), kProgramReady), 2);
  DailyMilitaryResearch(*t.world, R());
  EXPECT_EQ(RecordF32(R(), kProgramProgress), 0.0f);
  EXPECT_EQ(g_told, (std::vector<int32_t>{155, 155}));
  // Buying a ready unit: the price is 20,000 x 0.0045 = 90.
  ProgramBuyRequests(R().simPolicy) = 1;
  DailyMilitaryResearch(*t.world, R());
  EXPECT_EQ(RecordU16(R(), kProgramReady), 1);
  EXPECT_EQ(RecordU16(R(), kProgramStock), 1);
  EXPECT_NEAR(R().treasury, 800.0f - 90.0f, 1e-3f);
  EXPECT_EQ(g_told.back(), 252);
  // Readiness moves toward 0.1 by a hundredth a day.
  EXPECT_NEAR(RecordF32(R(), kProgramReadiness), 0.001f, 1e-6f);
}

}  // namespace
