#include "sim/relations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sim/command_counts.h"
#include "sim/command_executor.h"
#include "sim/message_ids.h"
#include "sim/message_test_support.h"
#include "sim/player_message_link.h"
#include "sim/offer_test_world.h"
#include "sim/policy_block_fields.h"
#include "sim/relation_commands.h"
#include "world/relation_fields.h"
#include "world/data_tables.h"
#include "records/hex_cell.h"
#include "world/region_figures.h"
#include "support/global_guard.h"
#include "world/text/policy_fields.h"

namespace {

constexpr uint32_t Bit(int p) { return 1u << p; }

class Relations : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int p = 1; p <= 4; ++p) {
      PlayerRecord& r = t.P(p);
      r.approval = 0.5f;
      r.secondRating = 0.5f;
      r.creditRating = 0.5f;
      StoreRegionFloat(r, kRegionWmIntegrity, 0.5f);
      StoreRegionFloat(r, kRegionExternalIntegrity, 0.5f);
      r.simPolicy.defcon = r.displayPolicy.defcon = 5;
    }
  }
  void Kind(int type, uint8_t kind) { g_ruleTables.rTreatyTypes[type].kind = kind; }
  void Run(GameCommand& c) {
    ExecuteCommand(*t.world, c, 0);
    ExecuteCommand(*t.world, c, 1);
  }
  GameCommand Command(uint32_t id, int player, uint32_t a28, uint32_t a32 = 0, uint32_t a36 = 0) {
    GameCommand c = MakeGameCommand(t.world->gameState, id, player);
    c.arg28 = a28;
    c.arg32 = a32;
    c.arg36 = a36;
    return c;
  }
  OfferTestWorld t;
};

TEST_F(Relations, CascadeFollowsTypesOfThatKind) {
  Kind(40, 7);
  Kind(41, 7);
  Kind(42, 8);
  Kind(43, 40);  // a follower of a follower
  SetTreaty(*t.world, t.P(2), 1, 7, true, 3, true, false);
  for (int type : {7, 40, 41, 43}) {
    EXPECT_EQ(TreatyMask(t.P(2).simPolicy, type), Bit(3)) << type;
    EXPECT_EQ(TreatyMask(t.P(2).displayPolicy, type), Bit(3)) << type;
  }
  EXPECT_EQ(TreatyMask(t.P(2).simPolicy, 42), 0u);
  // Without the cascade only the type itself changes.
  SetTreaty(*t.world, t.P(2), 1, 7, false, 3, false, false);
  EXPECT_EQ(TreatyMask(t.P(2).simPolicy, 7), 0u);
  EXPECT_EQ(TreatyMask(t.P(2).simPolicy, 40), Bit(3));
}

TEST_F(Relations, CascadeOverKindsInACircleEnds) {
  Kind(50, 51);
  Kind(51, 50);
  Kind(52, 52);
  SetTreaty(*t.world, t.P(2), 0, 51, true, 4, true, false);
  EXPECT_EQ(TreatyMask(t.P(2).displayPolicy, 50), Bit(4));
  EXPECT_EQ(TreatyMask(t.P(2).displayPolicy, 51), Bit(4));
  EXPECT_EQ(TreatyMask(t.P(2).simPolicy, 51), 0u);  // the display pass leaves the simulation copy
}

TEST_F(Relations, BadTypesAndPartnersChangeNothing) {
  PlayerRecord before = t.P(2);
  SetTreaty(*t.world, t.P(2), 1, 128, true, 3, true, true);
  SetTreaty(*t.world, t.P(2), 1, -1, true, 3, true, true);
  SetTreaty(*t.world, t.P(2), 1, 5, true, 32, true, true);
  SetTreaty(*t.world, t.P(2), 1, 5, true, 2, true, true);  // with itself
  EXPECT_EQ(std::memcmp(&before, &t.P(2), sizeof before), 0);
}

TEST_F(Relations, AllianceMakesFriendsAndMovesFeelings) {
  t.P(2).simPolicy.hostileMask = Bit(3);
  SetTreaty(*t.world, t.P(2), 1, 1, true, 3, false, true);
  EXPECT_EQ(t.P(2).simPolicy.friendlyMask, Bit(3));
  EXPECT_EQ(t.P(2).simPolicy.hostileMask, 0u);
  EXPECT_EQ(t.P(2).displayPolicy.friendlyMask, Bit(3));
  // AdjustRelationScores(2, player 3, -0.2): belligerence stays at 0.
  EXPECT_EQ(t.P(3).belligerence[2], 0.0f);
  EXPECT_FLOAT_EQ(t.P(3).civilAttitude[2], 0.2f / 3.0f);
  EXPECT_FLOAT_EQ(t.P(3).diplomaticRelation[2], 0.1f);
  // No more war: the alert level is capped at 3 in both copies.
  EXPECT_EQ(t.P(2).simPolicy.defcon, 3);
  EXPECT_EQ(t.P(2).displayPolicy.defcon, 3);
}

TEST_F(Relations, ReciprocalWordOfThePartner) {
  SetTreaty(*t.world, t.P(2), 1, 30, true, 4, false, false);
  EXPECT_EQ(ReciprocalMask(t.P(4).simPolicy, 4), Bit(2));
  SetTreaty(*t.world, t.P(2), 1, 30, false, 4, false, false);
  EXPECT_EQ(ReciprocalMask(t.P(4).simPolicy, 4), 0u);
}

TEST_F(Relations, ReputationAmountAndWeightsAreHeld) {
  PlayerRecord& p = t.P(2);
  ApplyReputationChange(*t.world, p, 5.0f, 3.0f, 0, 0, 0, 0);
  // a = 1, w1 = 1: d = 1.
  EXPECT_EQ(LoadRegionFloat(p, kRegionWmIntegrity), 1.0f);           // (1 + 1) x 0.5 + 0.1, held at 1
  EXPECT_FLOAT_EQ(LoadRegionFloat(p, kRegionSubsidyRating), 0.05f);  // (4/3) x 0 + 1/20
  EXPECT_FLOAT_EQ(p.creditRating, 1.05f * 0.5f);
  EXPECT_FLOAT_EQ(RecordFloat(p, kRecordRelationEventTotal), 100.0f);
  EXPECT_FLOAT_EQ(RecordFloat(p, kRecordScoreEventTotal), 50.0f);
  // The same with a = 1 exactly gives the same figures on a fresh record.
  PlayerRecord& q = t.P(3);
  ApplyReputationChange(*t.world, q, 1.0f, 1.0f, 0, 0, 0, 0);
  EXPECT_EQ(LoadRegionFloat(q, kRegionWmIntegrity), LoadRegionFloat(p, kRegionWmIntegrity));
  EXPECT_EQ(q.creditRating, p.creditRating);
  // w2 with the other regions' feelings; w3 at 0.5 for approval.
  ApplyReputationChange(*t.world, p, -5.0f, 0, 1.0f, 0.5f, 0, 0);
  // e = -1: external = clamp01(0 x 0.5 - 0.1) = 0; feelings of 1, 3, 4 toward 2.
  EXPECT_EQ(LoadRegionFloat(p, kRegionExternalIntegrity), 0.0f);
  for (int other : {1, 3, 4}) {
    EXPECT_FLOAT_EQ(t.P(other).diplomaticRelation[2], -1.0f) << other;
    EXPECT_FLOAT_EQ(t.P(other).civilAttitude[2], -0.5f - 0.125f) << other;
  }
  EXPECT_EQ(t.P(2).diplomaticRelation[2], 0.0f);
  EXPECT_FLOAT_EQ(p.approval, 0.25f);  // (1 - 0.5) x 0.5
}

TEST_F(Relations, ApprovalFloorAndBelligerenceStep) {
  PlayerRecord& p = t.P(2);
  t.P(3).belligerence[2] = 0.3f;
  // w3 = -1 is held at 0 as a factor: approval does not move.
  ApplyReputationChange(*t.world, p, 1.0f, 0, 0, -1.0f, 0, 0.5f);
  EXPECT_FLOAT_EQ(t.P(3).belligerence[2], 0.0f);  // 0.3 - 0.5, not below 0
  EXPECT_EQ(p.approval, 0.5f);
  ApplyReputationChange(*t.world, p, -1.0f, 0, 0, 0, 1.0f, 0);
  EXPECT_EQ(p.secondRating, 0.01f);
}

TEST_F(Relations, DeclaringWarOnAnEnemyChangesOnlyTheCount) {
  t.P(2).simPolicy.hostileMask = t.P(2).displayPolicy.hostileMask = Bit(3);
  // One outstanding command from elsewhere keeps the display copy as it is.
  AddPendingCommand(t.P(2));
  PlayerRecord before = t.P(2);
  GameCommand c = Command(kCmdDeclareWar, 2, 3);
  ExecuteCommand(*t.world, c, 0);
  EXPECT_EQ(PendingCommands(t.P(2)), 2);
  ExecuteCommand(*t.world, c, 1);
  EXPECT_EQ(PendingCommands(t.P(2)), 1);
  PlayerRecord after = t.P(2);
  std::memcpy(&after.pendingCommands, &before.pendingCommands, sizeof before.pendingCommands);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(Relations, DeclaringWarEndsTreatiesAndTellsTheTarget) {
  t.P(2).simPolicy.friendlyMask = t.P(2).displayPolicy.friendlyMask = Bit(3);
  SetTreatyMask(t.P(2).simPolicy, 1, Bit(3));
  SetTreatyMask(t.P(2).displayPolicy, 1, Bit(3));
  SetTreatyMask(t.P(2).simPolicy, 20, Bit(3) | Bit(4));
  SetTreatyMask(t.P(2).displayPolicy, 20, Bit(3) | Bit(4));
  t.P(2).simPolicy.ceasefireMask = t.P(2).displayPolicy.ceasefireMask = Bit(3);
  g_relationsChanged.store(false);
  GameCommand c = Command(kCmdDeclareWar, 2, 3);
  Run(c);
  for (PlayerPolicyBlock* b : {&t.P(2).displayPolicy, &t.P(2).simPolicy}) {
    EXPECT_EQ(b->hostileMask, Bit(3));
    EXPECT_EQ(b->friendlyMask, 0u);
    EXPECT_EQ(b->ceasefireMask, 0u);
    EXPECT_EQ(b->defcon, 5);  // max(5, 2)
    EXPECT_EQ(TreatyMask(*b, 1), 0u);
    EXPECT_EQ(TreatyMask(*b, 20), Bit(4));
    for (int p = 0; p < 11; ++p) {
      EXPECT_EQ(ProductWord(b->productPolicy[p], kProductPlayerMask), Bit(3)) << p;
      EXPECT_EQ(ProductWord(b->productPolicy[p], kProductPlayerMask2), Bit(3)) << p;
    }
    EXPECT_EQ(ProductWord(b->productPolicy[11], kProductPlayerMask), 0u);
  }
  EXPECT_EQ(PendingCommands(t.P(2)), 0);
  // Player 3 did not count 2 as hostile and had no notice: it is noticed now.
  EXPECT_EQ(RecordWord(t.P(3), kRecordWarNoticeMaskA), Bit(2));
  EXPECT_EQ(RecordWord(t.P(3), kRecordWarNoticeMaskB), Bit(2));
  // Worked by hand: the alliance's end moves 3 toward 2 by +0.4 (belligerence
  // 0.4, relation -0.2); 2's unprovoked war (v = -1) moves every region by
  // e = -0.8 and belligerence by +0.016 and +1; 3's answer then takes 1 from
  // its relation and adds 1 to its belligerence.
  EXPECT_FLOAT_EQ(t.P(3).diplomaticRelation[2], -2.0f);
  EXPECT_NEAR(t.P(3).belligerence[2], 2.416f, 1e-5f);
  EXPECT_FLOAT_EQ(t.P(4).diplomaticRelation[2], -0.8f);
  EXPECT_NEAR(t.P(4).belligerence[2], 1.016f, 1e-5f);
  // 3 is a computer region here: it answers with its own declaration.
  const std::vector<GameCommand> posted = t.log->Entries();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].id, 177u);
  EXPECT_EQ(posted[0].player, 3);
  EXPECT_EQ(posted[0].arg28, 2u);
  for (size_t at : {kRecordAttackedByMaskA, kRecordWarNoticeMaskA, kRecordWarNoticeMaskB})
    EXPECT_EQ(RecordWord(t.P(2), at) & Bit(3), 0u);
  EXPECT_TRUE(g_relationsChanged.load());
}

// The target of a declaration hears who declared on it; the declarer whose
// target answers with a declaration of its own hears that as the answer,
// not as war declared on it.
TEST_F(Relations, ATargetHearsWhoDeclaredWarAndTheDeclarerHearsTheAnswer) {
  struct Told {
    int32_t recipient, subject, type;
    uint32_t about;
    bool operator==(const Told&) const = default;
  };
  static std::vector<Told> told;
  told.clear();
  const GlobalGuard<PlayerMessageLink> link(g_playerMessageLink);
  g_playerMessageLink.post = [](World& w, PlayerRecord& r, int32_t subject, int32_t type, uint32_t p1) {
    if (type == static_cast<int32_t>(kMsgWarDeclaredOnUs) || type == static_cast<int32_t>(kMsgWarAnswered))
      told.push_back({static_cast<int32_t>(&r - &w.players[0]), subject, type, p1});
  };
  GameCommand declared = Command(kCmdDeclareWar, 2, 3);
  Run(declared);
  GameCommand answer = Command(kCmdDeclareWar, 3, 2);
  Run(answer);
  const std::vector<Told> want = {{3, 2, static_cast<int32_t>(kMsgWarDeclaredOnUs), 2},
                                  {2, 3, static_cast<int32_t>(kMsgWarAnswered), 3}};
  EXPECT_EQ(told, want);
}

TEST_F(Relations, PeaceCapsTheAlertLevelAtThree) {
  for (PlayerPolicyBlock* b : {&t.P(2).displayPolicy, &t.P(2).simPolicy}) {
    b->hostileMask = Bit(3) | Bit(4);
    b->defcon = 5;
  }
  SetTreaty(*t.world, t.P(2), 1, 4, true, 3, false, false);
  EXPECT_EQ(t.P(2).simPolicy.hostileMask, Bit(4));
  EXPECT_EQ(t.P(2).simPolicy.defcon, 5);  // another war remains
  SetTreaty(*t.world, t.P(2), 1, 4, true, 4, false, false);
  EXPECT_EQ(t.P(2).simPolicy.hostileMask, 0u);
  EXPECT_EQ(t.P(2).simPolicy.defcon, 3);
  EXPECT_EQ(t.P(2).displayPolicy.hostileMask, 0u);
  EXPECT_EQ(t.P(2).displayPolicy.defcon, 3);
}

TEST_F(Relations, CeasefireWithAnAllyKeepsTheHostileMask) {
  t.P(2).simPolicy.friendlyMask = Bit(3);
  t.P(2).simPolicy.hostileMask = Bit(4);
  SetTreaty(*t.world, t.P(2), 1, 3, true, 3, false, false);
  EXPECT_EQ(t.P(2).simPolicy.ceasefireMask, Bit(3));
  EXPECT_EQ(t.P(2).simPolicy.hostileMask, Bit(4));
}

TEST_F(Relations, EndingOneTreatyAndTheCopiesAgree) {
  Kind(21, 20);
  for (PlayerPolicyBlock* b : {&t.P(2).displayPolicy, &t.P(2).simPolicy}) {
    SetTreatyMask(*b, 20, Bit(4));
    SetTreatyMask(*b, 21, Bit(4));
  }
  g_ruleTables.rTreatyTypes[20].weight = 0.5f;
  GameCommand c = Command(kCmdDeleteAgreement, 2, 20, 4, 0);
  Run(c);
  for (PlayerPolicyBlock* b : {&t.P(2).displayPolicy, &t.P(2).simPolicy}) {
    EXPECT_EQ(TreatyMask(*b, 20), 0u);
    EXPECT_EQ(TreatyMask(*b, 21), 0u);  // the cascade
  }
  EXPECT_EQ(std::memcmp(&t.P(2).displayPolicy, &t.P(2).simPolicy, sizeof(PlayerPolicyBlock)), 0);
  // ApplyReputationChange(2, -0.3, 0.5, 0.5, ...): d = e = -0.15, 100 each.
  EXPECT_FLOAT_EQ(RecordFloat(t.P(2), kRecordRelationEventTotal), -15.0f + -15.0f);
  // Ending a treaty that does not hold changes nothing.
  PlayerRecord before = t.P(2);
  GameCommand again = Command(kCmdDeleteAgreement, 2, 20, 4, 0);
  Run(again);
  EXPECT_EQ(std::memcmp(&before, &t.P(2), sizeof before), 0);
}

TEST_F(Relations, AfterEachRelationCommandTheCopiesAgreeOnceNoneIsOutstanding) {
  // Copies that differ before each command (as a display pass of another
  // command would leave them) agree after its simulation pass.
  Kind(21, 20);
  for (PlayerPolicyBlock* b : {&t.P(2).displayPolicy, &t.P(2).simPolicy}) {
    SetTreatyMask(*b, 20, Bit(4));
    SetTreatyMask(*b, 21, Bit(4));
    b->friendlyMask = Bit(3);
    SetTreatyMask(*b, 1, Bit(3));
  }
  t.P(2).gdp = 1000.0f;
  t.P(2).treasury = 500.0f;
  GameCommand commands[] = {Command(kCmdDeclareWar, 2, 3), Command(kCmdDeleteAgreement, 2, 20, 4, 0), Command(kCmdAgreementUpdate, 2, 4, 1),
                            Command(kCmdSetGovType, 2, 3), Command(kCmdPolicyFlag2, 2, 1), Command(kCmdDeclareWar, 2, 4)};
  for (GameCommand& c : commands) {
    t.P(2).displayPolicy.defcon = 1;
    ExecuteCommand(*t.world, c, 0);
    ASSERT_EQ(PendingCommands(t.P(2)), 1) << c.id;
    ExecuteCommand(*t.world, c, 1);
    ASSERT_EQ(PendingCommands(t.P(2)), 0) << c.id;
    EXPECT_EQ(std::memcmp(&t.P(2).displayPolicy, &t.P(2).simPolicy, sizeof(PlayerPolicyBlock)), 0) << c.id;
  }
  EXPECT_EQ(t.P(2).simPolicy.hostileMask, Bit(3) | Bit(4));
  EXPECT_EQ(t.P(2).govtype, 3);
  EXPECT_EQ(t.P(2).simPolicy.wageFlags & (1u << 2), 1u << 2);
}

TEST_F(Relations, EndingAllTreatiesWithAPartner) {
  for (PlayerPolicyBlock* b : {&t.P(3).displayPolicy, &t.P(3).simPolicy}) {
    SetTreatyMask(*b, 5, Bit(1) | Bit(4));
    SetTreatyMask(*b, 60, Bit(4));
  }
  GameCommand c = Command(kCmdAgreementUpdate, 3, 4, 1);
  Run(c);
  EXPECT_EQ(TreatyMask(t.P(3).simPolicy, 5), Bit(1));
  EXPECT_EQ(TreatyMask(t.P(3).simPolicy, 60), 0u);
  EXPECT_EQ(std::memcmp(&t.P(3).displayPolicy, &t.P(3).simPolicy, sizeof(PlayerPolicyBlock)), 0);
}

TEST_F(Relations, ElectionSharesAreFlooredBeforeNormalising) {
  PlayerRecord& p = t.P(2);
  p.rulingParty = 1;
  p.approval = 0.99f;
  p.secondRating = 0.65f;
  p.unemployment = 0.1f;
  const int winner = ComputeElection(p, 0.0f);
  // Before the floor: 0.99 for party 1, 0.005 for 0 and 2, 0.01/6 for 3;
  // all three are lifted to 0.02, the sum is 1.05.
  EXPECT_EQ(winner, 1);
  EXPECT_FLOAT_EQ(p.partyShare[0], 0.02f / 1.05f);
  EXPECT_FLOAT_EQ(p.partyShare[1], 0.99f / 1.05f);
  EXPECT_FLOAT_EQ(p.partyShare[2], 0.02f / 1.05f);
  EXPECT_FLOAT_EQ(p.partyShare[3], 0.02f / 1.05f);
}

TEST_F(Relations, ElectionCabinetAndTies) {
  PlayerRecord& p = t.P(2);
  p.rulingParty = 3;
  p.approval = 0.2f;  // others 0.4, ruling 3: 0.2
  p.secondRating = 0.65f;
  p.unemployment = 0.1f;
  // s = 0.2: party 2 loses it, party 3 gains it: 0.4, 0.4, 0.2, 0.4.
  const int winner = ComputeElection(p, 2000.0f);
  EXPECT_EQ(winner, 0);
  EXPECT_FLOAT_EQ(p.partyShare[2], 0.2f / 1.4f);
}

TEST_F(Relations, AStrikeOutsideWarMovesFeelingsAndMayBeAnswered) {
  EXPECT_EQ(ResolveRelations(*t.world, t.P(2), 3, 2), 1);
  // AdjustRelationScores(3, 2, 0.4), then 3's reputation falls by 0.1 with
  // w2 = 1 and w5 = 0.1: belligerence 0.4 + 0.002 + 0.01, relation -0.2 - 0.1.
  EXPECT_NEAR(t.P(2).belligerence[3], 0.412f, 1e-6f);
  EXPECT_FLOAT_EQ(t.P(2).diplomaticRelation[3], -0.3f);
  EXPECT_EQ(RecordWord(t.P(2), kRecordAttackedByMaskA), Bit(3));
  EXPECT_EQ(RecordWord(t.P(2), kRecordAttackedByMaskB), 0u);
  const std::vector<GameCommand> posted = t.log->Entries();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].id, 177u);
  EXPECT_EQ(posted[0].player, 2);
  EXPECT_EQ(posted[0].arg28, 3u);
}

TEST_F(Relations, OnlyAStrikeThatLeavesTheRelationBelowZeroIsAnUndeclaredAttack) {
  // Player 3's strike takes 0.3 off the struck region's relation to it; the
  // relation after that decides. Region 1 is this machine's player.
  struct Row { int region; float relation; int32_t kind; uint32_t friendly; int result; } rows[] = {
      {2, 0.0f, kKindComputer, 0, 1}, {2, 0.5f, kKindComputer, 0, 0},  // -0.3 after; 0.2 after
      {2, -0.5f, kKindComputer, Bit(3), 0},                               // a friend
      {4, -0.5f, kKindHuman, 0, 0}, {1, 0.0f, kKindHuman, 0, 1}};         // a person elsewhere; here
  for (const Row& row : rows) {
    PlayerRecord& r = t.P(row.region);
    r.kind = row.kind, r.simPolicy.friendlyMask = row.friendly, r.diplomaticRelation[3] = row.relation;
    const size_t before = t.log->Entries().size();
    EXPECT_EQ(ResolveRelations(*t.world, r, 3, 3), row.result) << row.region << " " << row.relation;
    EXPECT_EQ(t.log->Entries().size() - before, static_cast<size_t>(row.result));
  }
}

TEST_F(Relations, ElectionResultsText) {
  PlayerRecord& p = t.P(2);
  p.rulingParty = 2;
  p.partyShare[0] = 0.25f;
  p.partyShare[1] = 0.125f;
  p.partyShare[2] = 0.5f;
  p.partyShare[3] = 0.125f;
  const char* const names[4] = {"Greens", "Crown", "Union", nullptr};
  EXPECT_EQ(FormatElectionResults(p, names),
            "50.0% - Union   (Ruling Party)\n25.0% - Greens\n12.5% - Crown\n12.5% - \n\n");
  // 0.0456 of the vote shows as 4.6 (to the nearest, not toward zero).
  p.partyShare[3] = 0.0456f;
  EXPECT_NE(FormatElectionResults(p, names).find("4.6% - \n"), std::string::npos);
}

TEST_F(Relations, TargetHexOnlyOnOwnHexesWithATargetableLead) {
  World& w = *t.world;
  w.cells[1 * 8 + 2].word = WithCellOwner(0, 2);
  w.cells[1 * 8 + 5].word = WithCellOwner(0, 3);
  w.unitClasses.assign(1, UnitClassRecord{});
  GameCommand c = Command(kCmdRelationSet298, 2, 0);
  c.arg24 = (1u << 16) | 10u;  // column 10 wraps to 2
  Run(c);
  EXPECT_EQ(TargetHex(t.P(2).simPolicy), 0u);  // a hex without a lead counts as class 0, which is no target
  w.unitClasses[0].flags = 1u << 20;
  Run(c);
  EXPECT_EQ(TargetHex(t.P(2).simPolicy), (1u << 16) | 2u);
  EXPECT_EQ(TargetHex(t.P(2).displayPolicy), (1u << 16) | 2u);
  GameCommand other = Command(kCmdRelationSet298, 2, 0);
  other.arg24 = (1u << 16) | 5u;  // player 3's hex
  Run(other);
  other.arg24 = (7u << 16) | 2u;  // beyond the last row
  Run(other);
  EXPECT_EQ(TargetHex(t.P(2).simPolicy), (1u << 16) | 2u);
}

// The treaties whose making or ending is announced tell the region which
// treaty it is and with whom, in the message's first two parameters.
TEST(TreatyNotice, NamesThePartnerAndTheTreaty) {
  MessageTestWorld t;
  const struct {
    int treaty;
    uint32_t type;
  } rows[] = {{18, kMsgTreaty18Changed}, {21, kMsgTreaty21Changed}, {24, kMsgTreaty24Changed}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.treaty);
    t.Type(row.type);
    SetTreaty(*t.world, t.P(1), 1, row.treaty, true, 3, false, false);
    const std::vector<PlayerMessage*> told = t.Messages(1);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told[0]->typeId, row.type);
    EXPECT_EQ(told[0]->params[0], 3u);
    EXPECT_EQ(told[0]->params[1], static_cast<uint32_t>(row.treaty));
  }
}

}  // namespace
