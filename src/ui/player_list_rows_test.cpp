#include "ui/player_list_rows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ui/list_control.h"
#include "records/player_record.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

class PlayerListRows : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    w.gameState.highestPlayer = 5;
    const int kinds[7] = {kKindWorld, kKindHuman, kKindComputer, kKindHuman, kKindOut, kKindHuman, kKindHuman};
    const char* names[7] = {"Zero", "Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"};
    for (int p = 0; p < 7; ++p) {
      w.players[p].kind = kinds[p];
      w.players[p].number = static_cast<uint8_t>(p);
      std::strcpy(w.players[p].name, names[p]);
    }
    // The viewer, player 1: 3 is a friend and 5 an enemy on the display
    // copy; on the simulation copy 3 has turned hostile.
    PlayerRecord& v = w.players[1];
    v.displayPolicy.friendlyMask = 1u << 3;
    v.displayPolicy.hostileMask = 1u << 5;
    v.simPolicy.hostileMask = 1u << 3;
    const char* words[4] = {"Self", "Ally", "None", "Enemy"};
    first_ = TextListInfoOf(kListDiprel).first;
    for (int i = 0; i < 4; ++i) {
      saved_[i] = g_textLists.entries[first_ + i];
      g_textLists.entries[first_ + i] = strdup(words[i]);
    }
  }
  void TearDown() override {
    for (int i = 0; i < 4; ++i) {
      std::free(g_textLists.entries[first_ + i]);
      g_textLists.entries[first_ + i] = saved_[i];
    }
  }
  std::vector<intptr_t> Values() const {
    std::vector<intptr_t> out;
    for (const ListRow& r : list_.rows) out.push_back(r.value);
    return out;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const ListRow& r : list_.rows) out.push_back(r.text);
    return out;
  }
  void Fill(const PlayerListOptions& o) {
    ListClear(list_);
    FillPlayerListRow(*world_, world_->players[1], list_, o);
  }
  std::unique_ptr<World> world_;
  ListControl list_;
  int first_ = 0;
  char* saved_[4] = {};
};

TEST_F(PlayerListRows, PeopleLedRegionsByNameInNumberOrder) {
  // Kinds 2 only: 1, 3 and 5; 4 is out of the game, 6 above the highest.
  Fill(PlayerListOptions{});
  EXPECT_EQ(Values(), (std::vector<intptr_t>{1, 3, 5}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Alpha", "Gamma", "Epsilon"}));
  for (const ListRow& r : list_.rows) EXPECT_FALSE(r.picture);
}

TEST_F(PlayerListRows, TheRelationWordFollowsTheName) {
  PlayerListOptions o;
  o.showRelation = true;
  Fill(o);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Alpha (Self)", "Gamma (Ally)", "Epsilon (Enemy)"}));
}

TEST_F(PlayerListRows, OtherKindsWhenAskedAndPlayerZerosRowIs100) {
  PlayerListOptions o;
  o.includeKind1 = true;
  o.includeKind3 = true;
  o.relationMask = kRelationFriendly | kRelationNeutral | kRelationHostile;  // not the viewer
  Fill(o);
  // 0 (kind 1, neutral) as 100, 2 (kind 3, neutral), 3 friendly, 5 hostile.
  EXPECT_EQ(Values(), (std::vector<intptr_t>{100, 2, 3, 5}));
  // Neutral regions only.
  o.relationMask = kRelationNeutral;
  Fill(o);
  EXPECT_EQ(Values(), (std::vector<intptr_t>{100, 2}));
}

TEST_F(PlayerListRows, TheChosenCopyDecidesTheRelation) {
  PlayerListOptions o;
  o.relationMask = kRelationHostile;
  Fill(o);
  EXPECT_EQ(Values(), (std::vector<intptr_t>{5}));
  o.copy = 1;
  Fill(o);
  EXPECT_EQ(Values(), (std::vector<intptr_t>{3})) << "on the simulation copy 3 is the enemy and 5 neutral";
  EXPECT_EQ(RelationClassOf(world_->players[1], 1, 5), kRelationNeutral);
  EXPECT_EQ(RelationClassOf(world_->players[1], 1, 1), kRelationSelf);
}

TEST_F(PlayerListRows, ThePlayerMaskLeavesOutRegions) {
  PlayerListOptions o;
  o.playerMask = ~(1u << 3);
  Fill(o);
  EXPECT_EQ(Values(), (std::vector<intptr_t>{1, 5}));
}

TEST_F(PlayerListRows, PictureRowsShowTheRegionsFlag) {
  PlayerListOptions o;
  o.pictureRows = true;
  o.showRelation = true;  // pictures carry no text
  o.includeKind3 = true;
  Fill(o);
  ASSERT_EQ(Values(), (std::vector<intptr_t>{1, 2, 3, 5}));
  for (const ListRow& r : list_.rows) {
    EXPECT_TRUE(r.picture);
    EXPECT_EQ(r.pictureSource, r.value);
    EXPECT_TRUE(r.text.empty());
    EXPECT_EQ(r.width, 0);
  }
}

TEST_F(PlayerListRows, RowsAreAppendedToWhatTheListHolds) {
  ListAddTextItem(list_, "header", 7);
  FillPlayerListRow(*world_, world_->players[1], list_, PlayerListOptions{});
  EXPECT_EQ(Values(), (std::vector<intptr_t>{7, 1, 3, 5}));
  ASSERT_NE(ListFindRow(list_, 3), nullptr);
  EXPECT_EQ(ListFindRow(list_, 3)->text, "Gamma");
  EXPECT_EQ(ListFindRow(list_, 4), nullptr);
  ListAddTextItem(list_, nullptr, 8);
  EXPECT_EQ(list_.rows.back().text, "");
  ListClear(list_);
  EXPECT_TRUE(list_.rows.empty());
}

TEST_F(PlayerListRows, AHighestPlayerOutsideTheTableStopsAtTheLastRecord) {
  world_->gameState.highestPlayer = 1000;
  world_->players[31].kind = kKindHuman;
  world_->players[31].number = 31;
  std::strcpy(world_->players[31].name, "Last");
  Fill(PlayerListOptions{});
  EXPECT_EQ(Values(), (std::vector<intptr_t>{1, 3, 5, 6, 31}));
  world_->gameState.highestPlayer = -1;
  Fill(PlayerListOptions{});
  EXPECT_TRUE(list_.rows.empty());
}

}  // namespace
