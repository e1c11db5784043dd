// The region statistics' lines for a local region.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "records/player_record.h"
#include "screens/economy/status/region_stats_panels.h"
#include "sim/daily/economy_fields.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"
#include "units/facilities/upkeep_fields.h"
#include "world/region_figures.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 3;

// The local region's last day: money booked on an item.
void Day(Ledger item, double amount) {
  DayLedger& d = g_world.dayLedgers.lastDay[kLocal];
  d.amount[static_cast<size_t>(item)] += amount;
  d.complete = true;
}

TEST(RegionStats, TheSidePanelLinesShowTheRegionsFigures) {
  GlobalGuard<PlayerRecord> region(g_world.players[kLocal]);
  GlobalGuard<DayLedgers> ledgers(g_world.dayLedgers);
  GlobalGuard<GameState> state(g_world.gameState);
  GlobalGuard<MapHeader> header(g_world.mapHeader);
  GlobalGuard<UiOptions> options(g_uiOptions);
  g_world.gameState.localPlayer = kLocal;
  g_uiOptions.sidescreens = 1;
  std::unique_ptr<Screen> panel = MakePolicyRegionSidePanel();
  Control* root = new Control(controltest::Init("DOMPOLICY2", panel.get(), 0, 0, 224, 320));
  for (const char* tag : {"REGGOVT", "TAXRATE", "REGLAND", "AVGAGE", "SURPDEF", "REGINTRATE", "WMSUBRATE"})
    ControlAddChild(root, new StringControl(controltest::Init(tag, panel.get(), 0, 0, 40, 12), {}));
  panel->form = panel->currentForm = root;

  struct Row {
    const char* name;
    std::function<void(PlayerRecord&)> set;
    const char* tag;
    std::string text;
    bool selected = false;
  };
  auto taxes = [](PlayerRecord& r) {
    float* t = r.displayPolicy.taxRates;
    for (int i : {2, 3, 9, 10, 11, 0, 1}) t[i] = 0.1f;
    t[6] = t[7] = 0.05f;
    t[4] = t[5] = t[8] = r.displayPolicy.userfees = 0.01f;
  };
  const Row rows[] = {
      {"tax rate", taxes, "TAXRATE", "14.4 %"},
      {"immigration fee takes no part",
       [&](PlayerRecord& r) {
         taxes(r);
         r.displayPolicy.immigrationtax = 0.5f;
       },
       "TAXRATE", "14.4 %"},
      {"land", [](PlayerRecord& r) { r.hexCount = 1000, g_world.mapHeader.hexScale = 20; }, "REGLAND", "400,000"},
      {"land past 32 bits", [](PlayerRecord& r) { r.hexCount = 300000, g_world.mapHeader.hexScale = 100; }, "REGLAND",
       "3,000,000,000"},
      {"average age", [](PlayerRecord& r) { StoreRegionFloat(r, kRegionAgeAvg, 34.9f); }, "AVGAGE", "34"},
      {"deficit", [](PlayerRecord&) { Day(Ledger::kSocial, 1.0); }, "SURPDEF", "$ -365", true},
      {"balanced", [](PlayerRecord&) { Day(Ledger::kSocial, 0.0); }, "SURPDEF", "$ 0", false},
      {"no day yet", [](PlayerRecord&) {}, "SURPDEF", "", false},
      {"unknown government", [](PlayerRecord& r) { r.govtype = 250; }, "REGGOVT", ""},
      {"income less expenses: 365 x (300 - 10 - 8)",
       [](PlayerRecord&) {
         Day(Ledger::kTax0, 300.0);
         Day(Ledger::kInterestPaid, 10.0);
         Day(Ledger::kUnitPurchases, 8.0);
       },
       "SURPDEF", "$ 102,930"},
      {"rate", [](PlayerRecord& r) { economy::SetReal(r, economy::kOverdraftRate, 0.125f); }, "REGINTRATE", "12.5 %"},
      {"share", [](PlayerRecord& r) { r.tradeOpenness = 0.25f; }, "WMSUBRATE", " 25 %"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    g_world.players[kLocal] = PlayerRecord{};
    ClearDayLedgers(g_world);
    r.set(g_world.players[kLocal]);
    panel->Refresh();
    const Control* c = FormFindControlByTag(root, r.tag);
    EXPECT_EQ(c->text, r.text);
    if (std::string(r.tag) == "SURPDEF") {
      EXPECT_EQ(c->Selected(), r.selected);
    }
  }
  // With the side screens off the panel keeps what it showed.
  g_uiOptions.sidescreens = 0;
  g_world.players[kLocal].govtype = 0;
  g_world.players[kLocal].hexCount = 7;
  panel->Refresh();
  EXPECT_EQ(FormFindControlByTag(root, "REGLAND")->text, "0");
  panel->form = panel->currentForm = nullptr;
  delete root;
}

}  // namespace
