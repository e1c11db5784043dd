#include "sim/daily/population.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "sim/daily/economy_fields.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

struct People {
  std::unique_ptr<World> w = std::make_unique<World>();
  PlayerRecord& r = w->players[1];
  People() {
    w->worldEconomy.assign(1024, 0);
    r.kind = kKindHuman;
    r.number = 1;
    for (float& f : w->techEffects[1]) f = 1.0f;
  }
};

TEST(Population, MigrationAtTheEdgesOfAttraction) {
  PlayerRecord r{};
  r.dayPopulation = 1.0e6f;
  const float area = 1001.0f;  // 10 hexes of size 10, plus 1
  // Q' = 20: nobody is pushed out, only the land's own A / 500 leave; those
  // drawn in are (20 + 20)^4 / 32000000 x P + A / 100 = 0.08 P + A / 100.
  SetMigration(r, 20.0f, area);
  EXPECT_FLOAT_EQ(r.emigrationPerYear, area / 500.0f);
  EXPECT_FLOAT_EQ(r.immigrationPerYear, 0.08f * 1.0e6f + area / 100.0f);
  // Q' = -20: only A / 100 come.
  SetMigration(r, -20.0f, area);
  EXPECT_FLOAT_EQ(r.immigrationPerYear, area / 100.0f);
  // Q' = 0: as many come as go, apart from the land terms.
  SetMigration(r, 0.0f, area);
  EXPECT_FLOAT_EQ(r.immigrationPerYear - area / 100.0f, r.emigrationPerYear - area / 500.0f);
  // An immigration tax above 500 scales immigration by r(500 / tax).
  r.simPolicy.immigrationtax = 2000.0f;
  SetMigration(r, -20.0f, area);
  EXPECT_FLOAT_EQ(r.immigrationPerYear, area / 100.0f * 0.5f);
}

TEST(Population, NoWealthTermAtExactly23000) {
  People a, b;
  for (People* p : {&a, &b}) {
    p->r.dayPopulation = 1000.0f;
    p->r.costFactor = 1.0f;
    for (float& s : p->r.socialLevels) s = 1.0f;
    p->r.gdpInput7 = 42.0f;
    p->r.gdpInput5 = 1.0f;
  }
  a.r.gdpPerCapita = 23000.0f;
  b.r.gdpPerCapita = 46000.0f;
  DailyPopulation(*a.w, a.r);
  DailyPopulation(*b.w, b.r);
  // gdpInput5 = min(1, (r(3.5 / 4) x 4 + 10 + 483 + 0 + 1) / 500) = 0.99548;
  // k = (1 - gdpInput5) x 4 + 1. At 23000 the term |23000 / 23000 - 1| is 0,
  // at 46000 it is 1, ten births per thousand more.
  const float in5 = (std::sqrt(3.5f / 4.0f) * 4.0f + 10.0f + 483.0f + 1.0f) / 500.0f;
  EXPECT_NEAR(a.r.gdpInput5, in5, 1e-6);
  const float k = (1.0f - in5) * 4.0f + 1.0f;
  EXPECT_NEAR(a.r.birthsPerYear, (0.0f + 0.0f + 0.5f + k + 0.0f) * 10.0f * 1000.0f / 1000.0f, 1e-4);
  EXPECT_NEAR(b.r.birthsPerYear - a.r.birthsPerYear, 10.0f, 1e-4);
}

TEST(Population, NothingHappensWithoutPeople) {
  People p;
  p.r.gdpInput7 = 5.0f;
  DailyPopulation(*p.w, p.r);
  EXPECT_EQ(p.r.gdpInput7, 5.0f);
  EXPECT_EQ(p.r.birthsPerYear, 0.0f);
}

TEST(Population, DefconAtWarAndAtPeace) {
  People war, peace;
  war.r.simPolicy.defcon = 5;
  war.r.simPolicy.hostileMask = 1u << 4;
  peace.r.simPolicy.defcon = 5;
  DailySociety(*war.w, war.r);
  DailySociety(*peace.w, peace.r);
  EXPECT_EQ(war.r.simPolicy.defcon, 5);
  EXPECT_EQ(war.r.displayPolicy.defcon, 5);
  EXPECT_EQ(peace.r.simPolicy.defcon, 3);
  EXPECT_EQ(peace.r.displayPolicy.defcon, 3);
  People calm;
  calm.r.simPolicy.defcon = 1;
  calm.r.simPolicy.hostileMask = 1u << 2;
  DailySociety(*calm.w, calm.r);
  EXPECT_EQ(calm.r.simPolicy.defcon, 2);
}

TEST(Population, SocialLevelsMoveTowardTheirSpending) {
  People p;
  p.r.socialLevels[0] = 1.0f;
  p.r.simPolicy.socialspend[0] = 1.0f;  // (1 x 58 + r(1 + 0.01) + 1) / 60
  p.r.socialLevels[1] = 1.0f;
  p.r.simPolicy.socialspend[1] = 16.0f;  // (1 x 59 + q(16)) / 60 = 61 / 60
  p.r.socialLevels[2] = 2.0f;
  p.r.simPolicy.socialspend[2] = 10000.0f;  // held at 2
  DailySociety(*p.w, p.r);
  EXPECT_NEAR(p.r.socialLevels[0], (58.0f + std::sqrt(1.01f) + 1.0f) / 60.0f, 1e-6);
  EXPECT_NEAR(p.r.socialLevels[1], 61.0f / 60.0f, 1e-6);
  EXPECT_EQ(p.r.socialLevels[2], 2.0f);
}

TEST(Population, SocietyPricesTheProgrammesAndCountsThemInTheBudget) {
  People p;
  p.r.dayPopulation = 10.0f;
  p.r.costFactor = 1.0f;
  p.r.simPolicy.socialspend[0] = 0.5f;
  DailySociety(*p.w, p.r);
  EXPECT_FLOAT_EQ(p.r.socialCosts[0], 7800.0f);  // 1 x 10 x 1 x 780
  // The simulation copy's spending holds programme 0 at half: 3900, and
  // programme 5's 1900 and 6's 1700 at a spending of 0 add nothing.
  EXPECT_FLOAT_EQ(p.r.simPolicy.budgetSpending, 3900.0f);
}

TEST(Population, TheBudgetsBalanceReachesTheTreasuryAtAThreeHundredSixtyFifthADay) {
  People p;
  p.r.dayPopulation = 10.0f;
  p.r.costFactor = 1.0f;
  p.r.simPolicy.socialspend[0] = 0.5f;
  p.r.treasury = 1000.0f;
  DailySociety(*p.w, p.r);
  // No revenue, 3900 a year of spending (programme 0 at half): the balance
  // is -3900 and the day takes 3900 / 365 of it.
  EXPECT_FLOAT_EQ(p.r.simPolicy.budgetBalance, -3900.0f);
  EXPECT_FLOAT_EQ(economy::PolicyValue(p.r.simPolicy, 0), -3900.0f);
  EXPECT_FLOAT_EQ(p.r.treasury, 1000.0f - 3900.0f / 365.0f);
}

TEST(Population, OverdraftIsCharged) {
  People p;
  p.r.treasury = -365.0f;
  economy::SetReal(p.r, economy::kOverdraftRate, 0.1f);
  DailySociety(*p.w, p.r);
  // cost = -2 x -365 x 0.1 = 73; policy value A falls by 73 and the
  // treasury by 73 / 365 = 0.2.
  EXPECT_FLOAT_EQ(economy::Real(p.r, economy::kOverdraftCost), 73.0f);
  EXPECT_FLOAT_EQ(economy::PolicyValue(p.r.simPolicy, 0), -73.0f);
  EXPECT_FLOAT_EQ(p.r.treasury, -365.2f);
}

TEST(Population, VolunteersJoinUpToTheTarget) {
  People p;
  PlayerRecord& r = p.r;
  r.dayPopulation = 1000.0f;
  r.costFactor = 1.0f;
  r.gdpInput7 = 42.0f;
  r.soldiers = 0.0f;
  r.simPolicy.soldiertarget = 0.1f;
  r.simPolicy.defcon = 2;
  r.simPolicy.milspendsalary = 1.0f;
  r.simPolicy.soldierminage = 18;
  r.unemployment = 0.06f;
  r.secondRating = 1.0f;
  r.approval = 1.0f;
  DailyPopulation(*p.w, r);
  // gap = 200; rec = min(20, 100) = 20, x 0.75 (not coed) = 15, less
  // (18 - 14) x 15 x 0.05 = 3: 12. Volunteers = 1 x 3 x 1 x 1 x 1 x 1 x 12 /
  // 10 x 1 (column 8 of government 0) = 3.6 a year.
  EXPECT_NEAR(r.volunteersPerYear, 3.6f, 1e-5);
  EXPECT_NEAR(r.soldiers, 3.6f / 365.0f, 1e-7);
  EXPECT_EQ(r.conscriptsPerYear, 0.0f);
}

}  // namespace

#include "units/hex_state.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"

namespace {

TEST(Population, SettlementsShareTheDaysChange) {
  People p;
  World& w = *p.w;
  w.mapWidth = 4;
  w.mapHeight = 3;
  w.mapHeader.width = 4;
  w.mapHeader.height = 3;
  w.cells.assign(12, HexCell{});
  w.unitClasses.resize(2);
  w.unitClasses[1].flags = 0x40 | (1u << 20);  // a settlement facility
  HexCell& town = w.cells[1 * 4 + 2];
  HexCell& other = w.cells[2 * 4 + 3];
  HexExtra* extra = GetHexExtra(w, town);
  HexExtra* otherExtra = GetHexExtra(w, other);
  ASSERT_NE(extra, nullptr);
  SetHexSettlementPopulation(*extra, 600.0f);
  SetHexSettlementPopulation(*otherExtra, 400.0f);  // no facility stands here
  auto unit = std::make_unique<UnitRecord>();
  unit->owner = 1;
  unit->classIndex = 1;
  unit->x = 2;
  unit->y = 1;
  unit->next = unit->prev = unit.get();
  w.units = unit.get();

  PlayerRecord& r = p.r;
  r.dayPopulation = 1000.0f;
  r.dayRuralPopulation = 200.0f;
  r.costFactor = 1.0f;
  r.gdpInput7 = 42.0f;
  r.hexCount = 2;
  w.mapHeader.hexScale = 1;
  DailyPopulation(w, r);
  // The town grows by the share net / (P - rural) of the day's net change.
  const float net = (r.immigrationPerYear - r.emigrationPerYear) / 365.0f +
                    (r.birthsPerYear / 365.0f - r.deathsPerYear / 365.0f);
  ASSERT_NE(net, 0.0f);
  EXPECT_NEAR(HexSettlementPopulation(*extra), 600.0f * (1.0f + net / 800.0f), 1e-3);
  EXPECT_EQ(HexSettlementPopulation(*otherExtra), 400.0f);

  w.units = nullptr;
  FreeHexStack(town);
  FreeHexStack(other);
}

}  // namespace
