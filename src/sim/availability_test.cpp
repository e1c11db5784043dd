#include "sim/availability.h"

#include <gtest/gtest.h>

#include <memory>

#include "world/data_tables.h"
#include "world/list_items.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

// Technology 0 is the empty "none" slot; designs are a few plain classes.
class Availability : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    w.techs.assign(6, TechRecord{});
    for (size_t i = 1; i < w.techs.size(); ++i) {
      w.techs[i].category = static_cast<uint8_t>(i % 2 + 1);
      w.techs[i].techLevel = static_cast<uint8_t>(i);
    }
    w.gameState.techCount = 6;
    w.techRows.assign(32 * 6, PlayerTechState{});
    w.unitClasses.assign(3, UnitClassRecord{});
    w.gameState.designRowBytes = 4;
    w.designRows.assign(32 * 4, 0);
  }
  void TearDown() override {
    for (auto& entry : entries_) entry->Unlink();
  }
  void Needs(int tech, int16_t a, int16_t b = 0) {
    world_->techs[static_cast<size_t>(tech)].prerequisites[0] = a;
    world_->techs[static_cast<size_t>(tech)].prerequisites[1] = b;
  }
  void Know(int player, int tech) { TechRow(*world_, player)[tech].known = 2; }
  ProjectEntry& Project(int player, uint8_t kind, uint32_t index, uint32_t display = 0, uint32_t sim = 0) {
    entries_.push_back(std::make_unique<ProjectEntry>());
    ProjectEntry& e = *entries_.back();
    e.kind = kind;
    e.index = index;
    e.displayFlags = display;
    e.simFlags = sim;
    e.id = static_cast<uint32_t>(entries_.size());
    world_->projectLists[player].Append(&e);
    return e;
  }
  std::unique_ptr<World> world_;
  std::vector<std::unique_ptr<ProjectEntry>> entries_;
};

TEST_F(Availability, PrerequisitesKnownUnknownAndChained) {
  ProjectEntry& e = Project(2, kProjectTechnology, 3);
  Needs(3, 0, 0);
  EXPECT_EQ(ItemAvailability(*world_, e, 2), 1);  // no prerequisites
  Needs(3, 1, 2);
  EXPECT_EQ(ItemAvailability(*world_, e, 2), 0);
  Know(2, 2);  // second known, first not: still unavailable
  EXPECT_EQ(ItemAvailability(*world_, e, 2), 0);
  Know(2, 1);
  EXPECT_EQ(ItemAvailability(*world_, e, 2), 1);
  EXPECT_EQ(ItemAvailability(*world_, e, 3), 0);  // another region knows neither
  // Chained: 4 needs 3 needs 1; only the named prerequisite counts.
  Needs(4, 3);
  ProjectEntry& chained = Project(2, kProjectTechnology, 4);
  EXPECT_EQ(ItemAvailability(*world_, chained, 2), 0);
  Know(2, 3);
  EXPECT_EQ(ItemAvailability(*world_, chained, 2), 1);
  // An empty slot, an index beyond the table and a negative one are met.
  world_->techs[5].category = 0;
  Needs(4, 5, 77);
  ProjectEntry& odd = Project(3, kProjectTechnology, 4);
  EXPECT_EQ(ItemAvailability(*world_, odd, 3), 1);
  Needs(4, -3, 0);
  EXPECT_EQ(ItemAvailability(*world_, odd, 3), 1);
}

TEST_F(Availability, DesignPrerequisitesAndOtherKinds) {
  world_->unitClasses[1].requiredTechs[0] = 0;
  world_->unitClasses[1].requiredTechs[1] = 4;
  ProjectEntry& d = Project(0, kProjectDesign, 1);
  EXPECT_EQ(ItemAvailability(*world_, d, 0), 0);
  Know(0, 4);
  EXPECT_EQ(ItemAvailability(*world_, d, 0), 1);
  ProjectEntry& other = Project(0, 7, 1);
  EXPECT_EQ(ItemAvailability(*world_, other, 0), 1);
}

TEST_F(Availability, CyclicTableTerminates) {
  Needs(1, 2);
  Needs(2, 3);
  Needs(3, 1, 2);
  ProjectEntry& e = Project(1, kProjectTechnology, 1);
  EXPECT_EQ(ItemAvailability(*world_, e, 1), 0);
  EXPECT_EQ(WalkTechTable(*world_, 1, -1, false, -1, -1, true), (std::vector<int>{4, 5}));
  GrantTechRecursive(*world_, 1, 1);
  for (int t = 1; t <= 3; ++t) EXPECT_EQ(TechRow(*world_, 1)[t].known, 2) << t;
  EXPECT_EQ(TechRow(*world_, 1)[4].known, 0);
  EXPECT_EQ(ItemAvailability(*world_, e, 1), 1);
}

TEST_F(Availability, GrantingFollowsALongChainToItsEnd) {
  // 1000 needs 999 needs ... needs 1: every link is granted, however deep.
  World& w = *world_;
  constexpr int kChain = 1000;
  w.techs.assign(kChain + 2, TechRecord{});
  w.gameState.techCount = kChain + 2;
  w.techRows.assign(32 * static_cast<size_t>(kChain + 2), PlayerTechState{});
  for (int t = 1; t <= kChain + 1; ++t) w.techs[static_cast<size_t>(t)].category = 1;
  for (int t = 2; t <= kChain; ++t) Needs(t, static_cast<int16_t>(t - 1));
  GrantTechRecursive(w, 1, kChain);
  for (int t = 1; t <= kChain; ++t) ASSERT_EQ(TechRow(w, 1)[t].known, 2) << t;
  EXPECT_EQ(TechRow(w, 1)[kChain + 1].known, 0);  // not on the chain
  EXPECT_EQ(TechRow(w, 2)[1].known, 0);           // another region's row
}

TEST_F(Availability, ClearingATechnologyTakesWhatDependsOnIt) {
  // 2 needs 1, 3 needs 2, 4 needs 1 and 3, 5 needs nothing; every one is
  // known with project marks. Designs: class 0 unused, 1 needs 3, 2 needs 5.
  World& w = *world_;
  struct Row {
    int tech;
    bool revoke;
    const char* known;    // techs 0 to 5 after the clear, '1' known
    const char* designs;  // classes 0 to 2 after the clear, '1' bit 0 set
  } rows[] = {
      {1, false, "100001", "111"},  // 1 takes 2 and 4, 2 takes 3
      {3, true, "111001", "001"},   // 3 takes 4; the unused class and 1 lose their design
      {5, true, "111110", "010"},   // nothing depends on 5
      {0, false, "011111", "111"},  // 0 names no prerequisite: only its own entry
      {9, true, "111111", "111"},   // beyond the table: nothing
  };
  Needs(2, 1);
  Needs(3, 2);
  Needs(4, 1, 3);
  w.unitClasses[1].name[0] = 'a';
  w.unitClasses[1].requiredTechs[1] = 3;
  w.unitClasses[2].name[0] = 'b';
  w.unitClasses[2].requiredTechs[0] = 5;
  for (const Row& row : rows) {
    PlayerTechState* techs = TechRow(w, 2);
    for (int t = 0; t < 6; ++t) techs[t] = PlayerTechState{2, 0, 0x30, {}};
    uint8_t* designs = DesignRow(w, 2);
    for (int k = 0; k < 3; ++k) designs[k] = 0x11;
    ClearTechAndDependents(w, 2, row.tech, row.revoke);
    for (int t = 0; t < 6; ++t) {
      const bool kept = row.known[t] == '1';
      EXPECT_EQ(techs[t].known, kept ? 2 : 0) << row.tech << " tech " << t;
      EXPECT_EQ(techs[t].projectFlags, kept ? 0x30 : 0) << row.tech << " tech " << t;
    }
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(designs[k], row.designs[k] == '1' ? 0x11 : 0x10) << row.tech << " class " << k;
    EXPECT_EQ(TechRow(w, 3)[2].known, 0) << "another region's row is not touched";
  }
}

TEST_F(Availability, GrantItemTechnologyAndDesign) {
  TechRow(*world_, 4)[3].projectFlags = 0x31;
  ProjectEntry& t = Project(4, kProjectTechnology, 3, 5, 7);
  t.remainingCost = 12.5f;
  GrantItem(*world_, t, 4);
  EXPECT_EQ(t.displayFlags, 0u);
  EXPECT_EQ(t.simFlags, 0u);
  EXPECT_EQ(t.remainingCost, 0.0f);
  EXPECT_EQ(TechRow(*world_, 4)[3].known, 2);
  EXPECT_EQ(TechRow(*world_, 4)[3].projectFlags, 0x01);
  DesignRow(*world_, 4)[2] = 0x30;
  ProjectEntry& d = Project(4, kProjectDesign, 2, 1, 1);
  GrantItem(*world_, d, 4);
  EXPECT_EQ(DesignRow(*world_, 4)[2], 0x01);
  // A class beyond the table completes without touching any design byte.
  DesignRow(*world_, 4)[3] = 0x30;
  ProjectEntry& far = Project(4, kProjectDesign, 3, 1, 1);
  far.remainingCost = 4.0f;
  GrantItem(*world_, far, 4);
  EXPECT_EQ(far.displayFlags, 0u);
  EXPECT_EQ(far.remainingCost, 0.0f);
  EXPECT_EQ(DesignRow(*world_, 4)[3], 0x30);
  for (int p = 0; p < 32; ++p) {
    if (p == 4) continue;
    EXPECT_EQ(DesignRow(*world_, p)[2], 0) << p;
  }
}

TEST_F(Availability, SetDesignAvailableBounds) {
  SetDesignAvailable(*world_, 0x11, 6, 1, true);
  EXPECT_EQ(DesignRow(*world_, 6)[1], 0x11);
  SetDesignAvailable(*world_, 0x01, 6, 1, false);
  EXPECT_EQ(DesignRow(*world_, 6)[1], 0x10);
  SetDesignAvailable(*world_, 0xFF, 6, 3, true);   // beyond the classes
  SetDesignAvailable(*world_, 0xFF, 6, -1, true);
  SetDesignAvailable(*world_, 0xFF, 40, 1, true);  // no such player
  EXPECT_EQ(DesignRow(*world_, 6)[3], 0);
  EXPECT_EQ(DesignRow(*world_, 5)[3], 0);
}

TEST_F(Availability, ItemRatioByKind) {
  world_->techs[2].price = 3.0f;
  world_->techs[2].researchCost = 12.0f;
  EXPECT_EQ(ItemRatio(*world_, Project(0, kProjectTechnology, 2)), 0.25f);
  UnitClassRecord& k = world_->unitClasses[0];
  k.strengthPerSize = 4;
  k.costPerElement = 0.5f;
  k.buildWorkPerPoint = 2.0f;
  // (4 x 0.5 + 0.9) / (4 x 2 + 1) = 2.9 / 9, worked in the game's rounding.
  volatile float over = 0.9f;
  volatile float under = 9.0f;
  const float expected = (2.0f + over) / under;
  EXPECT_EQ(ItemRatio(*world_, Project(0, kProjectDesign, 0)), expected);
  EXPECT_NEAR(expected, 0.32222f, 1e-5f);
  EXPECT_EQ(ItemRatio(*world_, Project(0, 9, 0)), 0.0f);
  EXPECT_EQ(ItemRatio(*world_, Project(0, kProjectTechnology, 1)), 0.0f);  // no cost
}

TEST_F(Availability, ListProjectsFilters) {
  ProjectEntry& a = Project(3, kProjectTechnology, 1, kProjectPursued);
  ProjectEntry& b = Project(3, kProjectDesign, 0, kProjectPursued | kProjectClosed);
  ProjectEntry& c = Project(3, kProjectDesign, 1, kProjectHeld, kProjectPursued);
  ProjectEntry& d = Project(3, kProjectDesign, 2, kProjectPursued);
  EXPECT_EQ(ListProjects(*world_, 3, -1, 1, kProjectClosed, 0), (std::vector<ProjectEntry*>{&d, &a}));
  EXPECT_EQ(ListProjects(*world_, 3, 2, 1, kProjectClosed, 0), (std::vector<ProjectEntry*>{&d}));
  EXPECT_EQ(ListProjects(*world_, 3, 2, 0, kProjectClosed, 0), (std::vector<ProjectEntry*>{&d, &c}));
  EXPECT_EQ(ListProjects(*world_, 3, 2, 1, 0, 1), (std::vector<ProjectEntry*>{&c}));
  EXPECT_EQ(ListProjects(*world_, 3, -1, 0, 0, 0).size(), 4u);
  EXPECT_TRUE(ListProjects(*world_, 33, -1, 0, 0, 0).empty());
  (void)b;
}

TEST_F(Availability, WalkTechTableFilters) {
  // Categories: 1, 3, 5 are 2; 2, 4 are 1. Minimum level = index.
  EXPECT_EQ(WalkTechTable(*world_, 0, 1, false, -1, -1, false), (std::vector<int>{2, 4}));
  world_->players[0].techLevel = 3.9f;  // whole part 3
  EXPECT_EQ(WalkTechTable(*world_, 0, -1, true, -1, -1, false), (std::vector<int>{1, 2, 3}));
  Know(0, 2);
  EXPECT_EQ(WalkTechTable(*world_, 0, -1, false, 1, -1, false), (std::vector<int>{2}));
  EXPECT_EQ(WalkTechTable(*world_, 0, -1, false, 0, -1, false), (std::vector<int>{1, 3, 4, 5}));
  TechRow(*world_, 0)[5].projectFlags = kRowProjectOpen;
  EXPECT_EQ(WalkTechTable(*world_, 0, -1, false, -1, 1, false), (std::vector<int>{5}));
  Needs(3, 2);
  Needs(4, 1);
  EXPECT_EQ(WalkTechTable(*world_, 0, -1, false, -1, -1, true), (std::vector<int>{1, 2, 3, 5}));
}

}  // namespace
