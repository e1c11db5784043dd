#include "sim/diplomatic_offer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "sim/dip_offer.h"
#include "sim/message_test_support.h"
#include "sim/policy_block_fields.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "world/id_lookups.h"
#include "world/recurring_item.h"

namespace {

constexpr int kTechs = 20;
constexpr int kDesigns = 30;

float& Stock(PlayerRecord& r, int product) { return *reinterpret_cast<float*>(r.products[product].bytes + 8); }

// Player 1 (local) accepts offers from player 2; player 3 is a bystander.
struct DealWorld : MessageTestWorld {
  DealWorld() : MessageTestWorld(600, 12, 8) {
    for (uint32_t type : {165u, 166u, 402u, 403u, 404u}) Type(type);
    for (int t = 1; t <= 10; ++t) NameTreaty(t, "Treaty");
    GameState& s = world->gameState;
    s.techCount = kTechs;
    s.designRowBytes = kDesigns;
    world->techs.resize(kTechs);
    world->unitClasses.resize(kDesigns);
    world->techRows.assign(static_cast<size_t>(kMaxPlayers * kTechs), PlayerTechState{});
    world->designRows.assign(static_cast<size_t>(kMaxPlayers * kDesigns), 0);
    P(1).treasury = 60.0f;
    P(2).treasury = 500.0f;
    Stock(P(1), 3) = 5.0f;
    Stock(P(2), 3) = 20.0f;
  }
  UnitRecord* AddUnit(uint32_t id, uint8_t owner, int16_t x, int16_t y, float strength) {
    auto* u = new UnitRecord{};
    u->id = id;
    u->owner = owner;
    u->classIndex = 1;
    u->x = x;
    u->y = y;
    u->strength = strength;
    InsertUnitInRing(*world, *u);
    return u;
  }
  HexCell& Cell(int x, int y) { return world->cells[static_cast<size_t>(y) * 12 + static_cast<size_t>(x)]; }
  void Own(int x, int y, int player) { Cell(x, y).word = WithCellOwner(Cell(x, y).word, player); }
  std::string Text(DipOffer& offer) { return WriteDipOffer(*world, offer); }
  void Accept(const std::string& text, uint32_t sequence = 0x01000042u) {
    ProcessDiplomaticOffer(*world, 1, P(1), 2, text.c_str(), sequence);
  }
  static DipOffer Offer() {
    DipOffer o;
    o.firstPlayer = 1;
    o.secondPlayer = 2;
    o.expiryDay = kTestDay;
    return o;
  }
};

TEST(DiplomaticOffer, NothingHappensInTheDisplayPass) {
  DealWorld t;
  DipOffer o = DealWorld::Offer();
  DealItem pay;
  pay.amount = 10.0f;
  o.offered.dealItems.push_back(pay);
  ProcessDiplomaticOffer(*t.world, 0, t.P(1), 2, t.Text(o).c_str(), 1);
  EXPECT_EQ(t.P(1).treasury, 60.0f);
  EXPECT_TRUE(t.Messages(1).empty());
}

TEST(DiplomaticOffer, AnExpiredOfferIsAnsweredWith165AndMovesNothing) {
  DealWorld t;
  DipOffer o = DealWorld::Offer();
  o.expiryDay = kTestDay - 1;
  DealItem pay;
  pay.amount = 10.0f;
  o.offered.dealItems.push_back(pay);
  const std::string text = t.Text(o);
  t.Accept(text);
  ASSERT_EQ(t.TypesOf(1), std::vector<uint32_t>{165});
  PlayerMessage* m = t.Messages(1)[0];
  EXPECT_STREQ(m->texts[2], text.c_str());
  EXPECT_EQ(m->params[0], 2u);
  EXPECT_EQ(t.P(1).treasury, 60.0f);
  EXPECT_EQ(t.P(2).treasury, 500.0f);
  EXPECT_TRUE(t.Messages(2).empty());
}

TEST(DiplomaticOffer, AHostileProposerIsRefusedUnlessTheOfferAllowsIt) {
  DealWorld t;
  t.P(1).simPolicy.hostileMask = 1u << 2;
  DipOffer o = DealWorld::Offer();
  DealItem pay;
  pay.amount = 10.0f;
  o.offered.dealItems.push_back(pay);
  t.Accept(t.Text(o));
  EXPECT_EQ(t.TypesOf(1), std::vector<uint32_t>{166});
  EXPECT_EQ(t.P(1).treasury, 60.0f);
  // A friend in the hostile mask, or an offer made while hostile, goes ahead.
  o.flags = kOfferWhileHostile;
  t.Accept(t.Text(o));
  EXPECT_EQ(t.P(1).treasury, 70.0f);
  EXPECT_EQ(t.TypesOf(1), (std::vector<uint32_t>{402, 166}));
}

TEST(DiplomaticOffer, ATreatyAlreadyInForceFailsWith403AndCodeZero) {
  DealWorld t;
  SetTreatyMask(t.P(1).simPolicy, 3, 1u << 2);
  DipOffer o = DealWorld::Offer();
  o.requested.agreements[3] = 1;  // player 2 asks player 1 to enter treaty 3
  DealItem pay;
  pay.amount = 10.0f;
  o.offered.dealItems.push_back(pay);
  t.Accept(t.Text(o));
  ASSERT_EQ(t.TypesOf(1), std::vector<uint32_t>{403});
  EXPECT_EQ(t.Messages(1)[0]->params[0], 2u);
  EXPECT_EQ(t.Messages(1)[0]->params[1], 0u);
  EXPECT_EQ(t.Messages(1)[0]->sender, 1);
  // The proposer's side could give: it hears only that the deal failed.
  EXPECT_EQ(t.TypesOf(2), std::vector<uint32_t>{404});
  EXPECT_EQ(t.P(1).treasury, 60.0f);
  // Asking to cancel a treaty that does not hold fails the same way.
  DipOffer c = DealWorld::Offer();
  c.requested.agreements[4] = 0xFF;
  t.Accept(t.Text(c));
  EXPECT_EQ(t.TypesOf(1), (std::vector<uint32_t>{403, 403}));
}

DealItem Pay(float amount) {
  DealItem d;
  d.amount = amount;
  return d;
}

DealItem Goods(float amount) {
  DealItem d = Pay(amount);
  d.flags = 1;
  d.product = 3;
  return d;
}

// Each side hears its own failure: 403 with the failing item's code, or 404
// when its side could give. The check takes each item from what the items
// before it leave, so a failing offer moves nothing at all. Player 1 holds
// 60 and 5 of product 3, player 2 500 and 20.
TEST(DiplomaticOffer, EachSideHearsItsOwnFailureAndAFailingOfferMovesNothing) {
  const struct {
    const char* name;
    std::vector<DealItem> offered, requested;  // by player 2, of player 1
    uint32_t type1, code1, type2, code2;       // what each side hears
  } rows[] = {
      {"both short", {Pay(1000.0f)}, {Goods(6.0f)}, 403, 6, 403, 1},
      {"two payments over the treasury", {Pay(300.0f), Pay(300.0f), Goods(5.0f)}, {}, 404, 0, 403, 1},
      {"two deliveries over the stock", {}, {Goods(3.0f), Goods(3.0f)}, 403, 6, 404, 0},
      {"goods then money, the money short", {Goods(20.0f), Pay(250.0f), Pay(251.0f)}, {}, 404, 0, 403, 1},
      {"exactly the treasury and the stock", {Pay(250.0f), Pay(250.0f), Goods(10.0f), Goods(10.0f)}, {}, 402, 0, 402, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DealWorld t;
    DipOffer o = DealWorld::Offer();
    o.offered.dealItems = row.offered;
    o.requested.dealItems = row.requested;
    t.Accept(t.Text(o));
    ASSERT_EQ(t.TypesOf(1), std::vector<uint32_t>{row.type1});
    ASSERT_EQ(t.TypesOf(2), std::vector<uint32_t>{row.type2});
    EXPECT_EQ(t.Messages(1)[0]->params[1], row.type1 == 403 ? row.code1 : 0u);
    EXPECT_EQ(t.Messages(2)[0]->params[1], row.type2 == 403 ? row.code2 : 0u);
    if (row.type1 == 402) {
      EXPECT_EQ(t.P(2).treasury, 0.0f);
      EXPECT_EQ(Stock(t.P(2), 3), 0.0f);
      continue;
    }
    EXPECT_EQ(t.P(1).treasury, 60.0f);
    EXPECT_EQ(t.P(2).treasury, 500.0f);
    EXPECT_EQ(Stock(t.P(1), 3), 5.0f);
    EXPECT_EQ(Stock(t.P(2), 3), 20.0f);
  }
}

TEST(DiplomaticOffer, ADealMovesEverythingAndImprovesRelations) {
  DealWorld t;
  static int s_redraws;
  s_redraws = 0;
  g_simUi.requestRedraw = [] { ++s_redraws; };
  t.world->techRows[2 * kTechs + 4].known = 2;
  t.world->techRows[1 * kTechs + 4].projectFlags = kRowProjectOpen;
  t.world->designRows[2 * kDesigns + 5] = 1;
  t.Own(3, 2, 2);
  t.Own(4, 2, 2);
  t.P(2).hexCount = 10;
  t.P(1).hexCount = 4;
  UnitRecord* unit = t.AddUnit(0x02000001u, 2, 6, 6, 30.0f);
  t.P(1).diplomaticRelation[2] = 0.5f;
  t.P(1).belligerence[2] = 1.0f;
  t.P(2).belligerence[1] = 0.5f;

  DipOffer o = DealWorld::Offer();
  DealItem money;
  money.amount = 100.0f;
  o.offered.dealItems.push_back(money);
  DealItem goods;
  goods.flags = 1;
  goods.product = 3;
  goods.amount = 10.0f;
  o.offered.dealItems.push_back(goods);
  DealItem monthly;
  monthly.frequency = 3;
  monthly.paymentCount = 3;
  monthly.amount = 10.0f;
  o.offered.dealItems.push_back(monthly);
  o.offered.discoveries = {4};
  o.offered.designs = {5};
  o.offered.areaMask = 1;
  o.offered.areas[0] = {PackHex(3, 2), PackHex(-8, 2)};  // column -8 is column 4
  o.offered.units.push_back({unit->id, 0});
  DealItem asked;
  asked.amount = 40.0f;
  o.requested.dealItems.push_back(asked);
  t.Accept(t.Text(o));

  EXPECT_EQ(t.P(1).treasury, 60.0f - 40.0f + 100.0f + 10.0f);
  EXPECT_EQ(t.P(2).treasury, 500.0f + 40.0f - 100.0f - 10.0f);
  EXPECT_EQ(Stock(t.P(1), 3), 15.0f);
  EXPECT_EQ(Stock(t.P(2), 3), 10.0f);
  EXPECT_EQ(t.world->techRows[1 * kTechs + 4].known, 2);
  EXPECT_EQ(t.world->techRows[1 * kTechs + 4].projectFlags, 0);
  EXPECT_EQ(t.world->designRows[1 * kDesigns + 5], 1);
  EXPECT_EQ(CellOwner(t.Cell(3, 2).word), 1);
  EXPECT_EQ(CellOwner(t.Cell(4, 2).word), 1);
  EXPECT_EQ(t.P(1).hexCount, 6);
  EXPECT_EQ(t.P(2).hexCount, 8);
  EXPECT_EQ(unit->owner, 1);
  EXPECT_EQ(unit->controller, 1);
  // Handed over as a deal hands units: filed among the receiver's units,
  // its ratings left behind.
  ASSERT_NE(unit->tableEntry, nullptr);
  EXPECT_EQ(t.world->unitTables.Slot(kUnitTableOnMap, 1, UnitTableCategory(*unit))->At(1).unit, unit);
  EXPECT_FLOAT_EQ(unit->efficiency, 0.1f);
  // 0.5 + 0.05 lies between two floats; rounding toward zero takes the lower.
  EXPECT_EQ(t.P(1).diplomaticRelation[2], std::nextafter(0.55f, 0.0f));
  EXPECT_EQ(t.P(1).belligerence[2], 0.98f);
  EXPECT_EQ(t.P(2).diplomaticRelation[1], 0.05f);
  EXPECT_EQ(t.P(2).belligerence[1], 0.49f);
  EXPECT_EQ(t.TypesOf(1), std::vector<uint32_t>{402});
  EXPECT_EQ(t.Messages(1)[0]->params[0], 2u);
  EXPECT_EQ(t.TypesOf(2), std::vector<uint32_t>{402});
  EXPECT_EQ(t.Messages(2)[0]->params[0], 1u);
  EXPECT_EQ(s_redraws, 1);

  // The monthly payment: the first paid now, two more on the 2nd of each month.
  ASSERT_NE(t.world->recurringItems, nullptr);
  const RecurringFields f = LoadRecurringFields(*t.world->recurringItems);
  EXPECT_EQ(f.kind, 0);
  EXPECT_EQ(f.payer, 2);
  EXPECT_EQ(f.payee, 1);
  EXPECT_EQ(f.periodKind, kPeriodMonthly);
  EXPECT_EQ(f.dueDay, 2);
  EXPECT_EQ(f.paymentsLeft, 2);
  EXPECT_EQ(f.installment, 10.0f);
  EXPECT_EQ(f.flags, 0u);
  EXPECT_EQ(f.startDay, kTestDay);
  EXPECT_NE(f.globalSerial, 0u);
  EXPECT_EQ(t.world->recurringItems->next(), nullptr);  // one item only
}

TEST(DiplomaticOffer, OwnershipIsCheckedForEveryKindOfItem) {
  const auto failing = [](auto setup) {
    DealWorld t;
    DipOffer o = DealWorld::Offer();
    setup(t, o);
    return ApplyOfferGroup(*t.world, t.P(2), o.offered, 1, true, 1);
  };
  EXPECT_EQ(failing([](DealWorld&, DipOffer& o) { o.offered.discoveries = {4}; }), kOfferFailDiscovery);
  EXPECT_EQ(failing([](DealWorld&, DipOffer& o) { o.offered.discoveries = {kTechs}; }), kOfferFailDiscovery);
  EXPECT_EQ(failing([](DealWorld&, DipOffer& o) { o.offered.designs = {5}; }), kOfferFailDesign);
  EXPECT_EQ(failing([](DealWorld& t, DipOffer& o) {
              t.Own(3, 2, 3);
              o.offered.areaMask = 1;
              o.offered.areas[0] = {PackHex(3, 2)};
            }),
            kOfferFailArea);
  EXPECT_EQ(failing([](DealWorld&, DipOffer& o) {
              o.offered.areaMask = 2;
              o.offered.areas[1] = {PackHex(3, 9)};  // row off the map
            }),
            kOfferFailArea);
  EXPECT_EQ(failing([](DealWorld& t, DipOffer& o) {
              UnitRecord* u = t.AddUnit(0x03000001u, 3, 1, 1, 5.0f);
              o.offered.units.push_back({u->id, 0});
            }),
            kOfferFailUnit);
  EXPECT_EQ(failing([](DealWorld& t, DipOffer& o) {
              UnitRecord* u = t.AddUnit(0x02000001u, 2, 1, 1, 5.0f);
              u->unitFlags |= kUnitGone;
              o.offered.units.push_back({u->id, 0});
            }),
            kOfferFailUnit);
  EXPECT_EQ(failing([](DealWorld& t, DipOffer& o) {
              UnitRecord* u = t.AddUnit(0x02000001u, 2, 0, 0, 5.0f);
              u->unitFlags |= kUnitStock;
              o.offered.units.push_back({u->id, 6});
            }),
            kOfferFailUnit);
  EXPECT_EQ(failing([](DealWorld&, DipOffer& o) {
              DealItem d;
              d.flags = 1;
              d.product = 11;  // no region holds a twelfth product
              o.offered.dealItems.push_back(d);
            }),
            kOfferFailProduct);
  // Everything the giver holds passes.
  EXPECT_EQ(failing([](DealWorld& t, DipOffer& o) {
              t.world->techRows[2 * kTechs + 4].known = 1;
              t.world->designRows[2 * kDesigns + 5] = 1;
              t.Own(3, 2, 2);
              o.offered.discoveries = {4};
              o.offered.designs = {5};
              o.offered.areaMask = 1;
              o.offered.areas[0] = {PackHex(3, 2), 0, PackHex(5, 5)};  // the list ends at its empty entry
            }),
            kOfferGroupGiven);
}

TEST(DiplomaticOffer, CancellingAContractNeedsOneBetweenTheTwoPlayers) {
  DealWorld t;
  const auto addItem = [&](uint8_t payer, uint8_t payee, uint32_t id) {
    RecurringItem* item = NewZeroed<RecurringItem>();
    RecurringFields f{};
    f.payer = payer;
    f.payee = payee;
    f.kind = 1;
    f.globalSerial = id;
    StoreRecurringFields(*item, f);
    if (t.world->recurringItems)
      t.world->recurringItems->Append(item);
    else
      t.world->recurringItems = item;
    return item;
  };
  RecurringItem* ours = addItem(1, 2, 501);
  RecurringItem* theirs = addItem(3, 2, 502);
  DipOffer o = DealWorld::Offer();
  DealItem cancel;
  cancel.id = 502;
  o.offered.dealItems.push_back(cancel);
  EXPECT_EQ(ApplyOfferGroup(*t.world, t.P(2), o.offered, 1, true, 1), kOfferFailMoney);
  o.offered.dealItems[0].id = 503;
  EXPECT_EQ(ApplyOfferGroup(*t.world, t.P(2), o.offered, 1, true, 1), kOfferFailMoney);
  o.offered.dealItems[0].id = 501;
  t.Accept(t.Text(o));
  EXPECT_EQ(LoadRecurringFields(*ours).kind, kRecurringFinished);
  EXPECT_EQ(LoadRecurringFields(*theirs).kind, 1);
  // A finished contract cannot be cancelled again.
  EXPECT_EQ(ApplyOfferGroup(*t.world, t.P(2), o.offered, 1, true, 1), kOfferFailMoney);
}

TEST(DiplomaticOffer, PartOfAStockUnitBecomesTheReceiversUnit) {
  DealWorld t;
  UnitRecord* stock = t.AddUnit(0x02000007u, 2, 0, 0, 10.0f);
  stock->unitFlags |= kUnitStock;
  stock->targetStrength = 10.0f;
  stock->classIndex = 4;
  DipOffer o = DealWorld::Offer();
  o.offered.units.push_back({stock->id, 4});
  t.Accept(t.Text(o), 0x01000099u);
  EXPECT_EQ(stock->strength, 6.0f);
  EXPECT_EQ(stock->owner, 2);
  UnitRecord* made = FindUnitById(*t.world, 0x01000099u);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->owner, 1);
  EXPECT_EQ(made->strength, 4.0f);
  EXPECT_EQ(made->classIndex, 4);
  EXPECT_TRUE(made->unitFlags & kUnitStock);
  // Asking for all of it hands the unit itself over.
  DipOffer all = DealWorld::Offer();
  all.offered.units.push_back({stock->id, 6});
  t.Accept(t.Text(all), 0x0100009Au);
  EXPECT_EQ(stock->owner, 1);
  EXPECT_EQ(FindUnitById(*t.world, 0x0100009Au), nullptr);
}

}  // namespace
