// What a deal's items are worth, which items a side could still give, and
// the technologies and designs that come along or go with an item.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "screens/diplomacy/deals/deal_item_popups.h"
#include "screens/diplomacy/deals/deal_items.h"
#include "screens/diplomacy/deals/deal_test_world.h"
#include "sim/daily/product_fields.h"
#include "sim/offer_description.h"
#include "sim/policy_block_fields.h"
#include "ui/list_control.h"
#include "ui/string_control.h"

namespace {

std::unique_ptr<ListBoxControl> NewList() { return std::unique_ptr<ListBoxControl>(ListBoxConstruct(0, 0, 200, 100, 0, 0, nullptr)); }

std::vector<std::string> Texts(const ListBoxControl& list) {
  std::vector<std::string> out;
  for (Control* row = ListNextRow(&list, nullptr); row; row = ListNextRow(&list, row)) out.push_back(row->text);
  return out;
}

DealItem Payment(int frequency, int count, float amount, bool goods = false, int product = 0) {
  DealItem d;
  d.frequency = static_cast<uint8_t>(frequency);
  d.paymentCount = static_cast<int16_t>(count);
  d.amount = amount;
  d.flags = goods ? 1u : 0u;
  d.product = static_cast<uint8_t>(product);
  return d;
}

TEST(DealValues, OneRoutineForEveryKind) {
  DealTestWorld w;
  World& world = *w.world;
  product::Set(world.players[1], 3, product::kPrice, 25.0f);
  UnitClassRecord& design = world.unitClasses[2];
  design.kind = 1, design.targetSize = 10, design.valuePerPoint = 100;
  UnitClassRecord& tank = world.unitClasses[3];
  tank.valuePerPoint = 100, tank.costPerElement = 10.0f;
  world.players[2].costFactor = 1.5f;
  w.AddUnit(0x02000001, 2, 3, 2.0f).byte18 = 2;
  w.AddUnit(0x02000002, 2, 3, 2.0f);
  struct Case {
    const char* what;
    OfferItemGroup group;
    float value;
  };
  Case cases[] = {{"12 x 1,000 monthly", {}, 12000.0f},  {"continuous daily 50", {}, 50.0f},
                  {"200 of product 3", {}, 5000.0f},     {"branch-1 design", {}, 2001.8f},
                  {"held unit, half upkeep", {}, 215.0f}, {"unit in the field", {}, 230.0f}};
  cases[0].group.dealItems = {Payment(3, 12, 1000.0f)};
  cases[1].group.dealItems = {Payment(1, 0, 50.0f)};
  cases[2].group.dealItems = {Payment(0, 1, 200.0f, true, 3)};
  cases[3].group.designs = {2};
  cases[4].group.units = {{0x02000001, 0}};
  cases[5].group.units = {{0x02000002, 0}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    DealRows rows;
    EXPECT_FLOAT_EQ(FillDealGroupList(world, nullptr, c.group, rows), c.value);
    EXPECT_FLOAT_EQ(OfferGroupValue(world, c.group), c.value);
  }
}

TEST(DealValues, CountsAmountsAndQuantities) {
  struct Case {
    const char* what;
    int32_t got, expected;
  };
  const Case cases[] = {{"MINUSBUT on continuous", PaymentCountAfter(0, -1), 2},
                        {"PLUSBUT at the most", PaymentCountAfter(999, 1), 999},
                        {"PLUSBUT on continuous", PaymentCountAfter(0, 1), 1},
                        {"id 203", DefaultPaymentCount(203 - 200), 12},
                        {"id 201", DefaultPaymentCount(201 - 200), 30},
                        {"EQUAL over three", static_cast<int32_t>(EqualPayment(9000.0f, 3)), 3000},
                        {"PLUSBUT on a stock of 300", DealQuantityStep(250, 1, 300.0f), 250},
                        {"PLUSBUT below the strength", DealQuantityStep(4, 1, 5.0f), 5},
                        {"PLUSBUT at the strength", DealQuantityStep(5, 1, 5.0f), 5},
                        {"MINUSBUT at one", DealQuantityStep(1, -1, 300.0f), 1},
                        {"typed 300", DealQuantityTyped(300, 300.0f), 250},
                        {"typed 0", DealQuantityTyped(0, 300.0f), 1},
                        {"whole stock of 300", DealQuantityOf(300.0f), 250}};
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(DealCatalogue, AgreementsAndRequestedUnits) {
  DealTestWorld w;
  World& world = *w.world;
  w.NameTreaty(1, "Alliance");
  w.NameTreaty(5, "Pact");
  w.NameTreaty(6, "Trade");
  w.NameTreaty(7, "Loop A");
  w.NameTreaty(8, "Loop B");
  g_ruleTables.rTreatyTypes[6].kind = 5;  // Trade is a child of Pact
  g_ruleTables.rTreatyTypes[7].kind = 8;  // parents in a cycle
  g_ruleTables.rTreatyTypes[8].kind = 7;
  PlayerPolicyBlock& mine = world.players[1].displayPolicy;
  SetTreatyMask(mine, 1, 1u << 2);
  OfferItemGroup group;
  AddDealItem(world, group, kDealAgreement, 5, 1, 2);
  EXPECT_EQ(group.agreements[5], 0x01);
  DealRows rows;
  auto list = NewList();
  FillDealCatalogue(world, kDealAgreement, list.get(), 2, 0, group, rows);
  EXPECT_EQ(Texts(*list), (std::vector<std::string>{"CANCEL Alliance", "Loop A", "Loop B"}));
  EXPECT_EQ(static_cast<StringControl*>(list->firstRow)->textColour, kDealCancelColour);

  AddDealItem(world, group, kDealAgreement, 1, 1, 2);
  EXPECT_EQ(group.agreements[1], 0x81);
  RemoveDealItem(world, group, kDealAgreement, 1);
  EXPECT_EQ(group.agreements[1], 0);

  w.AddUnit(0x02000001, 2, 3, 5.0f);
  for (int32_t kind : {kDealReserveUnit, kDealMissiles}) {
    FillDealCatalogue(world, kind, list.get(), 2, 1, group, rows);
    EXPECT_EQ(Texts(*list), std::vector<std::string>{"(Unknown)"});
  }
}

TEST(DealCatalogue, TechnologiesComeAndGoWithWhatNeedsThem) {
  DealTestWorld w;
  World& world = *w.world;
  w.Tech(1, 0, 0);    // A
  w.Tech(2, 1, 0);    // B needs A
  w.Tech(3, 2, 0);    // C needs B
  w.Tech(4, 99, -3);  // prerequisites that name no technology
  world.unitClasses[3].name[0] = 'D';
  world.unitClasses[3].requiredTechs[0] = 2;  // design D needs B

  OfferItemGroup group;
  AddDealItem(world, group, kDealDiscovery, 3, 1, 2);
  EXPECT_EQ(group.discoveries, (std::vector<int32_t>{3, 2, 1}));
  AddDealItem(world, group, kDealDesign, 3, 1, 2);
  AddDealItem(world, group, kDealDiscovery, 4, 1, 2);
  EXPECT_EQ(group.discoveries, (std::vector<int32_t>{3, 2, 1, 4}));
  RemoveDealItem(world, group, kDealDiscovery, 1);
  EXPECT_EQ(group.discoveries, std::vector<int32_t>{4});
  EXPECT_TRUE(group.designs.empty());

  for (int t = 1; t <= 4; ++t) w.Knows(1, t);
  w.Knows(2, 1);
  w.Tech(5, 0, 0, false);  // E, not tradeable, unknown to the receiver
  w.Tech(3, 2, 5);         // C now also needs E
  DealRows rows;
  auto list = NewList();
  FillDealCatalogue(world, kDealDiscovery, list.get(), 2, 0, OfferItemGroup{}, rows);
  EXPECT_EQ(rows.rows.size(), 2u);  // B (A known) and the one with no real prerequisites; not C, which needs E
  EXPECT_NE(rows.Find(2), nullptr);
  EXPECT_NE(rows.Find(4), nullptr);
}

}  // namespace
