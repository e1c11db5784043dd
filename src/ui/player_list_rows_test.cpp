#include "ui/player_list_rows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ui/list_control.h"
#include "records/player_record.h"
#include "world/text/text_list_test_support.h"
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
    words_ = std::make_unique<ListWords>(kListDiprel, std::vector<const char*>{"Self", "Ally", "None", "Enemy"});
  }
  std::vector<intptr_t> Values() const {
    std::vector<intptr_t> out;
    for (Control* r = ListNextRow(list_.get(), nullptr); r; r = ListNextRow(list_.get(), r)) out.push_back(r->id);
    return out;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (Control* r = ListNextRow(list_.get(), nullptr); r; r = ListNextRow(list_.get(), r)) out.push_back(r->text);
    return out;
  }
  void Fill(const PlayerListOptions& o) {
    ListClear(list_.get(), 1);
    FillPlayerListRow(*world_, world_->players[1], list_.get(), o);
  }
  std::unique_ptr<World> world_;
  std::unique_ptr<ListBoxControl> list_{ListBoxConstruct(0, 0, 200, 100, 0, 1, nullptr)};
  std::unique_ptr<ListWords> words_;
};

TEST_F(PlayerListRows, PeopleLedRegionsByNameInNumberOrder) {
  // Kinds 2 only: 1, 3 and 5; 4 is out of the game, 6 above the highest.
  Fill(PlayerListOptions{});
  EXPECT_EQ(Values(), (std::vector<intptr_t>{1, 3, 5}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Alpha", "Gamma", "Epsilon"}));
  for (Control* r = ListNextRow(list_.get(), nullptr); r; r = ListNextRow(list_.get(), r)) {
    EXPECT_EQ(r->kind, kKindString);
    EXPECT_EQ(ListRowValue(r), r->id);
  }
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
  for (Control* r = ListNextRow(list_.get(), nullptr); r; r = ListNextRow(list_.get(), r)) {
    EXPECT_EQ(r->kind, kKindBox);
    EXPECT_TRUE(r->text.empty());
  }
}

TEST_F(PlayerListRows, RowsAreAppendedToWhatTheListHolds) {
  ListAddTextItem(list_.get(), "header", 7, 7, 0, 0, 1);
  FillPlayerListRow(*world_, world_->players[1], list_.get(), PlayerListOptions{});
  EXPECT_EQ(Values(), (std::vector<intptr_t>{7, 1, 3, 5}));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"header", "Alpha", "Gamma", "Epsilon"}));
  ListAddTextItem(list_.get(), nullptr, 8, 8, 0, 0, 1);
  EXPECT_EQ(Texts().back(), "");
  ListClear(list_.get(), 1);
  EXPECT_EQ(ListNextRow(list_.get(), nullptr), nullptr);
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
  EXPECT_EQ(ListNextRow(list_.get(), nullptr), nullptr);
}

}  // namespace
