// The region report's and dossier's figures, worked out by hand, and the
// world-market opinion's entry.
#include "screens/diplomacy/reports/region_dossiers.h"

#include <gtest/gtest.h>

#include <limits>

#include <memory>
#include <string>

#include "records/player_record.h"
#include "sim/daily/economy_fields.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "units/facilities/upkeep_fields.h"
#include "units/unit_player_fields.h"
#include "world/region_figures.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(RegionDossiers, ShowTheRegionsFiguresByHand) {
  GlobalGuard<PlayerRecord> region(g_world.players[3]);
  GlobalGuard<DayLedgers> ledgers(g_world.dayLedgers);
  GlobalGuard<uint32_t> scale(g_world.mapHeader.hexScale, 75u);
  GlobalGuard<int32_t> side(g_uiOptions.sidescreens, 1);
  PlayerRecord& r = g_world.players[3];
  PlayerPolicyBlock& b = r.displayPolicy;
  const float rates[12] = {0.26f, 0.26f, 0.25f, 0.1f, 0.04f, 0.03f, 0.066f, 0.1f, 0.02f, 0.2f, 0.3f, 0.4f};
  for (int i = 0; i < 12; ++i) b.taxRates[i] = rates[i];
  b.userfees = 0.01f;
  b.budgetRevenue = 1000000.0f;
  economy::SetReal(r, economy::kOverdraftCost, 200000.0f);
  r.hexCount = 1000000;
  StoreRegionFloat(r, kRegionAgeAvg, 39.9f);
  std::unique_ptr<Screen> report = MakeRegionReport();
  report->id = 3;
  controltest::PanelForm form(*report, "DIPLOMACY2a_SS1", {"TAXRATE", "SURPDEF", "AVGAGE", "REGLAND"});
  struct Row { float daily; const char* surplus; bool selected; };
  // A day's taxes of 2,000 less its expenses, for a year.
  for (const Row& row : {Row{100.0f, "693,500", false}, Row{3000.0f, "-365,000", true}}) {
    ClearDayLedgers(g_world);
    DayLedger& day = g_world.dayLedgers.lastDay[3];
    day.amount[static_cast<size_t>(Ledger::kTax0)] = 2000.0;
    day.amount[static_cast<size_t>(Ledger::kMaintenance)] = row.daily;
    day.complete = true;
    report->Refresh();
    EXPECT_EQ(form.Text("TAXRATE"), "36.1 %");
    EXPECT_NE(form.Text("SURPDEF").find(row.surplus), std::string::npos) << form.Text("SURPDEF");
    EXPECT_EQ((form["SURPDEF"]->state & kStateSelected) != 0, row.selected) << row.daily;
    EXPECT_EQ(form.Text("AVGAGE"), "39");
    EXPECT_EQ(form.Text("REGLAND"), "5,625,000,000");
  }
  // With the side screens off nothing is written.
  g_uiOptions.sidescreens = 0;
  r.hexCount = 1;
  report->Refresh();
  EXPECT_EQ(form.Text("REGLAND"), "5,625,000,000");
}

TEST(RegionDossiers, TheOpinionShowsItsEighthHeldToSix) {
  struct Row { float opinion; int32_t entry; };
  for (const Row& r : {Row{0.9f, 6}, Row{0.25f, 2}, Row{-0.1f, 0}, Row{std::numeric_limits<float>::quiet_NaN(), 0},
                    Row{std::numeric_limits<float>::infinity(), 6}, Row{1e30f, 6}})
    EXPECT_EQ(OpinionEntry(r.opinion), r.entry) << r.opinion;
}

}  // namespace
