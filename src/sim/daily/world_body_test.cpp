#include "sim/daily/world_body.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <cmath>
#include <utility>
#include <vector>

#include "sim/command_test_world.h"
#include "sim/message_test_support.h"
#include "sim/daily/product_fields.h"
#include "sim/facility_costs.h"
#include "records/unit_record.h"
#include "support/global_guard.h"
#include "world/unit_tables.h"
#include "world/id_lookups.h"
#include "sim/player_message_link.h"
#include "world/text/policy_fields.h"

namespace {

struct Told {
  int recipient;
  int32_t type;
  uint32_t value;
  bool operator==(const Told&) const = default;
};
std::vector<Told> g_told;

void Record(World&, PlayerRecord& r, int32_t, int32_t type, uint32_t value) {
  g_told.push_back({r.number, type, value});
}

class WorldBody : public ::testing::Test {
 protected:
  void SetUp() override {
    g_playerMessageLink.post = &Record;
    g_told.clear();
    World& w = *t.world;
    w.players[4].kind = kKindWorld;
    w.gameState.turnNumber = 3;
    w.worldEconomy.assign(1024, 0);
    for (int p = 1; p <= 3; ++p) {
      PlayerRecord& r = w.players[p];
      r.standing = 0.5f;
      r.approval = 0.5f;
      r.creditRating = 0.5f;
      r.treasury = 123456.7f;  // draw 456
    }
  }
  PlayerRecord& P(int p) { return t.world->players[p]; }
  uint32_t Mask(int product, int word) { return ProductWord(P(4).simPolicy.productPolicy[product], word); }
  void Member(int p, float standing) {
    P(p).standing = standing;
    P(p).simPolicy.wageFlags |= kWorldBodyMember;
    P(p).displayPolicy.wageFlags |= kWorldBodyMember;
  }
  void WorldFigure(int product, size_t at, float v) {
    le::StoreF32(t.world->worldEconomy.data() + 64 * static_cast<size_t>(product) + at, v);
  }
  CommandTestWorld t;
  GlobalGuard<PlayerMessageLink> link_{g_playerMessageLink, PlayerMessageLink{}};
};

TEST(WorldBodyDraw, DigitsOfTheTreasury) {
  EXPECT_EQ(WorldBodyDraw(123456.7f), 456u);
  // -2,500,000 less trunc(2.5) = -2,500,002 as an unsigned word: 4,292,467,294.
  EXPECT_EQ(WorldBodyDraw(-2500000.0f), 294u);
  // 1,000,030 less trunc(-1.00003) = 1,000,031.
  EXPECT_EQ(WorldBodyDraw(1000030.0f), 31u);
  // Out of range: both conversions give INT32_MIN, which cancel.
  EXPECT_EQ(WorldBodyDraw(std::nanf("")), 0u);
  EXPECT_EQ(WorldBodyDraw(123456.7f), WorldBodyDraw(123456.7f));
}

TEST_F(WorldBody, StandingBelowTwoHundredthsExpelsAndEmbargoesAtExactlyItWarns) {
  Member(2, 0.019f);
  Member(3, 0.02f);
  RunWorldBodyDay(*t.world, P(4));
  EXPECT_EQ(P(2).simPolicy.wageFlags & kWorldBodyMember, 0u);
  EXPECT_EQ(P(2).displayPolicy.wageFlags & kWorldBodyMember, 0u);
  EXPECT_EQ(P(3).simPolicy.wageFlags & kWorldBodyMember, kWorldBodyMember);
  for (int p = 0; p < 11; ++p) {
    EXPECT_EQ(Mask(p, kProductPlayerMask2), 1u << 2) << p;  // the supplier buys nothing from 2
    EXPECT_EQ(Mask(p, kProductPlayerMask), (p == 0 || p == 6) ? 0u : 1u << 2) << p;
  }
  const uint32_t standing = std::bit_cast<uint32_t>(0.02f);
  EXPECT_EQ(g_told, (std::vector<Told>{{2, 439, 0}, {3, 476, standing}}));
}

TEST_F(WorldBody, LowStandingOfANonMemberOnlyExplains) {
  P(1).standing = 0.15f;
  P(1).simPolicy.hostileMask = 1u << 3;
  P(2).standing = 0.15f;
  P(2).approval = 0.1f;
  RunWorldBodyDay(*t.world, P(4));
  EXPECT_EQ(g_told, (std::vector<Told>{{1, 225, 0}, {1, 227, 0}, {2, 225, 0}, {2, 226, 0}}));
}

TEST_F(WorldBody, TheSameTreasuryDrawsTheSameEmbargoEveryDay) {
  Member(1, 0.05f);
  P(1).treasury = 1000030.0f;  // draw 31: product 2
  RunWorldBodyDay(*t.world, P(4));
  EXPECT_EQ(Mask(2, kProductPlayerMask2), 1u << 1);
  EXPECT_EQ(Mask(2, kProductPlayerMask), 1u << 1);
  EXPECT_EQ(Mask(1, kProductPlayerMask2), 0u);
  const uint32_t standing = std::bit_cast<uint32_t>(0.05f);
  EXPECT_EQ(g_told, (std::vector<Told>{{1, 476, standing}, {1, 106, 2}}));
  g_told.clear();
  RunWorldBodyDay(*t.world, P(4));
  EXPECT_EQ(g_told, (std::vector<Told>{{1, 476, standing}}));  // already embargoed
}

TEST_F(WorldBody, SupplierPrices) {
  PlayerRecord& k = P(4);
  product::Set(k, 3, product::kForSale, 50.0f);
  WorldFigure(1, 32, 800.0f);
  WorldFigure(1, 52, 2.0f);
  SetProductReal(k.simPolicy.productPolicy[1], kProductDomesticMargin, 1.0f);
  t.world->gameState.turnNumber = 0;  // prices only
  RunWorldBodyDay(*t.world, k);
  // Supply limit 0: nothing for sale.
  EXPECT_EQ(product::Get(k, 3, product::kForSale), 0.0f);
  EXPECT_EQ(ProductReal(k.simPolicy.productPolicy[3], kProductDomesticMargin), 1.0f);
  // Product 1: x = 1.5, margin (19 + 2.25 + 0.25) / 20 = 1.075, for sale 100.
  EXPECT_FLOAT_EQ(ProductReal(k.simPolicy.productPolicy[1], kProductDomesticMargin), 1.075f);
  EXPECT_EQ(product::Get(k, 1, product::kForSale), 100.0f);
  EXPECT_EQ(product::Get(k, 1, product::kStock), 100.0f);
  EXPECT_FLOAT_EQ(product::Get(k, 1, product::kAskPrice), 2.15f);
  EXPECT_FLOAT_EQ(ProductReal(k.simPolicy.productPolicy[1], kProductSellParam2), 2.15f);
  EXPECT_FLOAT_EQ(ProductReal(k.simPolicy.productPolicy[1], kProductPurchaseMax), 0.9f * 1.075f * 2.0f);
  EXPECT_TRUE(g_told.empty());
}

TEST_F(WorldBody, TechnologyOffers) {
  World& w = *t.world;
  w.techs.assign(3, TechRecord{});
  for (size_t i = 1; i < 3; ++i) {
    w.techs[i].category = 1;
    w.techs[i].techLevel = 1;
    w.techs[i].price = 100.0f;
  }
  w.gameState.techCount = 3;
  w.techRows.assign(32 * 3, PlayerTechState{});
  PlayerRecord& r = P(2);
  r.standing = 0.5f;       // prices below 125
  r.tradeOpenness = 0.5f;  // draws below 250; rich from 500,000,000
  r.techLevel = 3.0f;
  r.treasury = 200000.0f;  // technology 2
  WorldOfferContent offer = WorldTechnologyOffer(w, 2, 12);
  EXPECT_EQ(offer.type, 219u);
  EXPECT_EQ(offer.technology, 2);
  EXPECT_EQ(offer.secondAmount, 0.0f);
  EXPECT_EQ(WorldTechnologyOffer(w, 2, 13).type, 0u);   // draw not ending in 2
  EXPECT_EQ(WorldTechnologyOffer(w, 2, 252).type, 0u);  // draw too high
  r.treasury = 2000000000.0f;  // 20,000 mod 3: technology 2
  offer = WorldTechnologyOffer(w, 2, 12);
  EXPECT_EQ(offer.type, 189u);
  EXPECT_EQ(offer.technology, 2);
  EXPECT_EQ(offer.secondAmount, 100.0f);  // 100 x max(1.5 - 0.5, 0.1)
  w.techs[2].prerequisites[0] = 1;  // a prerequisite the region lacks
  EXPECT_EQ(WorldTechnologyOffer(w, 2, 12).type, 0u);
  w.techs[2].prerequisites[0] = 0;
  TechRow(w, 2)[2].known = 2;  // known already
  EXPECT_EQ(WorldTechnologyOffer(w, 2, 12).type, 0u);
  TechRow(w, 2)[2].known = 0;
  r.techLevel = 1.0f;  // not above the technology's level
  EXPECT_EQ(WorldTechnologyOffer(w, 2, 12).type, 0u);
  EXPECT_EQ(WorldTechnologyOffer(w, 40, 12).type, 0u);
}

TEST_F(WorldBody, ProductAndLoanOffers) {
  World& w = *t.world;
  PlayerRecord& r = P(2);
  r.standing = 0.5f;
  r.tradeOpenness = 0.5f;  // draws below 50, ending in 3 mod 4
  r.treasury = 1000.0f;
  w.gameState.currentDay = 4;
  // Draw 7: product (4 + 7) mod 12 = 11, the loan: 0.5 x 0.5 x 6,000,000,000.
  WorldOfferContent offer = WorldProductOffer(w, 2, 7);
  EXPECT_EQ(offer.type, 219u);
  EXPECT_EQ(offer.firstAmount, 1500000000.0f);
  EXPECT_EQ(WorldProductOffer(w, 2, 8).type, 0u);   // 8 mod 4 is not 3
  EXPECT_EQ(WorldProductOffer(w, 2, 51).type, 0u);  // draw too high
  // Draw 3: product 7, never offered; draw 11: product 3.
  EXPECT_EQ(WorldProductOffer(w, 2, 3).type, 0u);
  product::Set(r, 3, product::kDemand, 200000.0f);  // quantity 200,000 / 20 x 0.25 = 2,500
  product::Set(r, 3, product::kOutput, 100.0f);
  product::Set(r, 3, product::kStock, 3000.0f);     // below 200,000 / 60
  product::Set(r, 3, product::kPrice, 1.0f);        // 25,000 above the treasury
  EXPECT_EQ(WorldProductOffer(w, 2, 11).type, 219u);
  product::Set(r, 3, product::kStock, 4000.0f);
  EXPECT_EQ(WorldProductOffer(w, 2, 11).type, 0u);
  product::Set(r, 3, product::kStock, 3000.0f);
  r.treasury = 30000.0f;
  EXPECT_EQ(WorldProductOffer(w, 2, 11).type, 0u);
}

TEST_F(WorldBody, TheOfferRecord) {
  t.world->gameState.currentDay = 1000;
  P(4).simPolicy.hostileMask = 1u << 2;
  WorldOfferContent content;
  content.type = 189;
  content.technology = 2;
  content.unitClass = 1;
  content.unitIds = {7, 7, 9};
  content.firstAmount = 10.0f;
  content.secondAmount = 20.0f;
  content.product = 3;
  content.thirdAmount = 5.0f;
  const DipOffer offer = BuildWorldOffer(*t.world, 4, 2, content);
  EXPECT_EQ(offer.firstPlayer, 2);
  EXPECT_EQ(offer.secondPlayer, 4);
  EXPECT_EQ(offer.kind, 3);
  EXPECT_EQ(offer.sentDay, 1000u);
  EXPECT_EQ(offer.expiryDay, 1007u);
  EXPECT_EQ(offer.flags, kOfferWhileHostile);
  EXPECT_EQ(offer.offered.discoveries, (std::vector<int32_t>{2}));
  EXPECT_EQ(offer.offered.designs, (std::vector<int32_t>{1}));
  ASSERT_EQ(offer.offered.units.size(), 2u);
  EXPECT_EQ(offer.offered.units[0].unitId, 7u);
  EXPECT_EQ(offer.offered.units[1].unitId, 9u);
  ASSERT_EQ(offer.offered.dealItems.size(), 2u);
  EXPECT_EQ(offer.offered.dealItems[0].giver, 2);
  EXPECT_EQ(offer.offered.dealItems[0].receiver, 4);
  EXPECT_EQ(offer.offered.dealItems[0].amount, 10.0f);
  EXPECT_EQ(offer.offered.dealItems[0].paymentCount, 1);
  EXPECT_FALSE(offer.offered.dealItems[0].goods());
  EXPECT_TRUE(offer.offered.dealItems[1].goods());
  EXPECT_EQ(offer.offered.dealItems[1].product, 3);
  EXPECT_EQ(offer.offered.dealItems[1].amount, 5.0f);
  ASSERT_EQ(offer.requested.dealItems.size(), 1u);
  EXPECT_EQ(offer.requested.dealItems[0].giver, 4);
  EXPECT_EQ(offer.requested.dealItems[0].receiver, 2);
  EXPECT_EQ(offer.requested.dealItems[0].amount, 20.0f);
  // Zero amounts make no payments; a peaceful pair no hostile flag.
  P(4).simPolicy.hostileMask = 0;
  const DipOffer plain = BuildWorldOffer(*t.world, 4, 2, WorldOfferContent{});
  EXPECT_EQ(plain.flags, 0u);
  EXPECT_TRUE(plain.offered.dealItems.empty());
  EXPECT_TRUE(plain.requested.dealItems.empty());
  EXPECT_TRUE(plain.offered.discoveries.empty());
}


// A class of strength 10 a size, two days' work a point, price 2,000,000 and
// 50 of product 10 a point.
UnitClassRecord OfferClass(uint8_t kind = 0, uint32_t flags = 0, float price = 2000000.0f) {
  UnitClassRecord c;
  std::strcpy(c.name, "Rifles");
  c.strengthPerSize = 10;
  c.buildWorkPerPoint = 2.0f;
  c.kind = kind;
  c.flags = flags;
  c.availability = 1;
  SetClassCosts(c, price, 0.0f, 50.0f);
  c.level = 1;        // from technology level 1
  c.onOffer = 1;
  c.offerWeight = 7;  // 49 beats every draw whose tens end below 49
  return c;
}

TEST(WorldUnitOfferCount, WorkedByHand) {
  PlayerRecord r{};
  product::Set(r, 10, product::kUnitCost, 1000.0f);
  // (10 x 50 + 0.9) x 1,000 + 10 x 2,000,000 + 100,000,000 = 120,500,900;
  // 1,000,000,000 / 120,500,900 = 8.3 gives 8, and one more: 9.
  EXPECT_EQ(WorldUnitOfferCount(OfferClass(), r), 9);
  // At sea half the goods: 250,900 + 120,000,000; 8.3 again: 9.
  EXPECT_EQ(WorldUnitOfferCount(OfferClass(2), r), 9);
  // Price 30,000,000: 500,900 + 300,000,000 + 100,000,000 = 400,500,900;
  // 2.5 gives 2, and one more: 3; a stock class twice that: 6.
  EXPECT_EQ(WorldUnitOfferCount(OfferClass(0, 0, 30000000.0f), r), 3);
  EXPECT_EQ(WorldUnitOfferCount(OfferClass(0, kClassStock, 30000000.0f), r), 6);
  // Free and without goods: 0.9 x 0 + 0 + 100,000,000; 10, and one more: 11.
  product::Set(r, 10, product::kUnitCost, 0.0f);
  EXPECT_EQ(WorldUnitOfferCount(OfferClass(0, 0, 0.0f), r), 11);
  // A cost below nothing buys the one unit, never a negative count.
  product::Set(r, 10, product::kUnitCost, -1.0e9f);
  EXPECT_EQ(WorldUnitOfferCount(OfferClass(), r), 1);
}

class WorldUnits : public WorldBody {
 protected:
  void SetUp() override {
    WorldBody::SetUp();
    World& w = *t.world;
    // Four classes; a draw of 456 and a treasury of 123,456.7 (12 ten
    // thousands) with standing 0.1 try class 12 / 2 mod 4 = 2, then
    // 12 / 1 mod 4 = 0.
    w.unitClasses.assign(4, UnitClassRecord{});
    w.unitClasses[2] = OfferClass();
    w.gameState.designRowBytes = 4;
    w.designRows.assign(32 * 4, 0);
    PlayerRecord& r = P(2);
    r.standing = 0.1f;
    r.tradeOpenness = 0.5f;  // draws below 500; rich from 500,000,000
    r.techLevel = 3.0f;
    r.gdpInput2 = 0.5f;
    product::Set(r, 10, product::kUnitCost, 1000.0f);
  }
  std::vector<const UnitRecord*> Reserve(int player) {
    std::vector<const UnitRecord*> out;
    ForEachTableUnit(t.world->unitTables, kUnitTableReserve, player, 0, [&](UnitRecord& u) { out.push_back(&u); });
    return out;
  }
};

TEST_F(WorldUnits, APoorRegionIsOfferedUnitsMadeForTheBodyInItsReserve) {
  World& w = *t.world;
  const WorldOfferContent offer = WorldUnitOffer(w, 4, 2, 456);
  EXPECT_EQ(offer.type, 219u);
  EXPECT_EQ(offer.unitClass, -1);
  EXPECT_EQ(offer.secondAmount, 0.0f);
  ASSERT_EQ(offer.unitIds.size(), 9u);
  const std::vector<const UnitRecord*> reserve = Reserve(4);
  ASSERT_EQ(reserve.size(), 9u);
  for (size_t i = 0; i < 9; ++i) {
    const UnitRecord* u = FindUnitById(w, offer.unitIds[i]);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u, reserve[i]);
    EXPECT_EQ(u->owner, 4);
    EXPECT_EQ(u->classIndex, 2);
    EXPECT_EQ(u->orders[kPostureBits], kPostureInReserve);
  }
}

TEST_F(WorldUnits, TheClassTestsEachRefuse) {
  World& w = *t.world;
  auto refused = [&](auto change) {
    UnitClassRecord saved = w.unitClasses[2];
    PlayerRecord savedRegion = P(2);
    change(w.unitClasses[2], P(2));
    const bool none = WorldUnitOffer(w, 4, 2, 456).type == 0;
    w.unitClasses[2] = saved;
    P(2) = savedRegion;
    return none;
  };
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.onOffer = 0; }));
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.name[0] = 0; }));
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.level = 3; }));    // level not below 3
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.buildThreshold = 3; }));   // out of date at 3
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.flags = 1u << 27; }));
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.flags = kClassFacility; }));
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.flags = kClassStock | 2u; }));
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.availability = 2; }));  // masks apart
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.offerWeight = 6; }));   // 36 not above 45
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.buildWorkPerPoint = 10.0f; }));  // 100 not below 100
  EXPECT_TRUE(refused([&](UnitClassRecord& c, PlayerRecord&) { c.kind = 1; }));  // no air capacity
  EXPECT_TRUE(refused([&](UnitClassRecord&, PlayerRecord& r) { r.standing = 0.04f; }));  // k from 0: no class tried
  EXPECT_FALSE(refused([&](UnitClassRecord& c, PlayerRecord& r) {
    c.kind = 1;
    r.dayCensusCapacityB[1] = 1;
  }));
  EXPECT_FALSE(refused([&](UnitClassRecord& c, PlayerRecord& r) {
    c.availability = 2;
    r.classMask = 2;
  }));
  EXPECT_FALSE(refused([&](UnitClassRecord& c, PlayerRecord& r) {  // found on the second try
    w.unitClasses[0] = c;
    c.name[0] = 0;
    (void)r;
  }));
  w.unitClasses[0] = UnitClassRecord{};
  EXPECT_EQ(WorldUnitOffer(w, 4, 2, 500).type, 0u);  // draw not below 500
}

TEST_F(WorldUnits, AStandingFromADamagedFileTriesFortyClassesAtMost) {
  World& w = *t.world;
  // 20 x 1e8 would be two billion tries; only k = 40 down to 1 are tried,
  // and 12 / k mod 4 is 2 for k = 5 and 6: the offer is found there.
  P(2).standing = 1e8f;
  EXPECT_EQ(WorldUnitOffer(w, 4, 2, 456).type, 219u);
  // With the class unusable nothing is found, and the search still ends.
  w.unitClasses[2].name[0] = 0;
  EXPECT_EQ(WorldUnitOffer(w, 4, 2, 456).type, 0u);
}

TEST_F(WorldUnits, ARegionThatCanBuildTheClassPaysForTheUnits) {
  World& w = *t.world;
  P(2).dayCensusCapacityA[0] = 4;  // more than 1 + 2.5 whole
  DesignRow(w, 2)[2] = 1;
  WorldOfferContent offer = WorldUnitOffer(w, 4, 2, 456);
  EXPECT_EQ(offer.type, 189u);
  EXPECT_EQ(offer.unitIds.size(), 9u);
  EXPECT_EQ(offer.secondAmount, 20000000.0f);  // 10 x 2,000,000
  // Or a class further along the upgrade chain.
  DesignRow(w, 2)[2] = 0;
  w.unitClasses[2].successor = 3;
  w.unitClasses[3].successor = 2;  // a loop in a bad table ends
  DesignRow(w, 2)[3] = 1;
  offer = WorldUnitOffer(w, 4, 2, 456);
  EXPECT_EQ(offer.type, 189u);
  EXPECT_EQ(offer.unitIds.size(), 9u);
}

TEST_F(WorldUnits, OtherwiseTheDesignIsOffered) {
  World& w = *t.world;
  P(2).dayCensusCapacityA[0] = 4;
  // Below 500,000,000: the design for nothing.
  WorldOfferContent offer = WorldUnitOffer(w, 4, 2, 456);
  EXPECT_EQ(offer.type, 219u);
  EXPECT_EQ(offer.unitClass, 2);
  EXPECT_TRUE(offer.unitIds.empty());
  EXPECT_EQ(offer.secondAmount, 0.0f);
  // Rich: (10 x 2,000,000 + 0.9) x 3.0 x max(0.1, 2 - 1) = 60,000,002.7,
  // below twice the treasury.
  P(2).treasury = 600000000.0f;  // 60,000 ten thousands: class 60,000 / 2 mod 4 = 0, then 0
  w.unitClasses[0] = w.unitClasses[2];
  offer = WorldUnitOffer(w, 4, 2, 456);
  EXPECT_EQ(offer.type, 189u);
  EXPECT_EQ(offer.unitClass, 0);
  EXPECT_FLOAT_EQ(offer.secondAmount, 60000002.7f);
  // A submarine design counts 1.0.
  w.unitClasses[0].kind = 3;
  P(2).dayCensusCapacityB[2] = 1;
  P(2).dayCensusCapacityA[2] = 4;
  offer = WorldUnitOffer(w, 4, 2, 456);
  EXPECT_FLOAT_EQ(offer.secondAmount, 20000000.9f);
  // The body must hold the design's prerequisites itself.
  w.techs.assign(3, TechRecord{});
  w.techs[1].category = 1;
  w.gameState.techCount = 3;
  w.techRows.assign(32 * 3, PlayerTechState{});
  w.unitClasses[0].requiredTechs[0] = 1;
  EXPECT_EQ(WorldUnitOffer(w, 4, 2, 456).type, 0u);
  TechRow(w, 4)[1].known = 2;
  EXPECT_EQ(WorldUnitOffer(w, 4, 2, 456).type, 189u);
}

TEST(WorldUnitDay, TheRegionGetsTheOfferAndTheOthersHearOfIt) {
  MessageTestWorld m;
  World& w = *m.world;
  PlayerMessageLink saved = g_playerMessageLink;
  g_playerMessageLink = PlayerMessageLink{};
  m.Type(219);
  m.Type(473);
  w.players[4].kind = kKindWorld;
  w.gameState.turnNumber = 3;
  w.worldEconomy.assign(1024, 0);
  w.unitClasses.assign(4, UnitClassRecord{});
  w.unitClasses[2] = OfferClass();
  for (int p = 1; p <= 3; ++p) {
    PlayerRecord& r = w.players[p];
    r.standing = 0.5f;
    r.approval = 0.5f;
    r.creditRating = 0.5f;
    r.treasury = 123456.7f;  // draw 456
  }
  PlayerRecord& r = w.players[2];
  r.standing = 0.1f;
  r.tradeOpenness = 0.5f;
  r.techLevel = 3.0f;
  r.gdpInput2 = 0.5f;
  product::Set(r, 10, product::kUnitCost, 1000.0f);
  // Messages are kept where their region is played: first on region 2's
  // machine, then on region 1's.
  w.gameState.localPlayer = 2;
  RunWorldBodyDay(w, w.players[4]);
  int made = 0;
  ForEachTableUnit(w.unitTables, kUnitTableReserve, 4, 0, [&](UnitRecord&) { ++made; });
  EXPECT_EQ(made, 9);
  EXPECT_EQ(m.TypesOf(2), (std::vector<uint32_t>{219}));
  w.gameState.localPlayer = 1;
  RunWorldBodyDay(w, w.players[4]);
  g_playerMessageLink = saved;
  EXPECT_EQ(m.TypesOf(1), (std::vector<uint32_t>{473}));
  made = 0;
  ForEachTableUnit(w.unitTables, kUnitTableReserve, 4, 0, [&](UnitRecord&) { ++made; });
  EXPECT_EQ(made, 18);
}

}  // namespace
