#include "screens/common/region_stats.h"

#include <cstring>

#include "platform/fpenv.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "sim/daily/economy_fields.h"
#include "sim/player_services.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/string_control.h"
#include "units/facilities/upkeep_fields.h"
#include "units/unit_player_fields.h"
#include "world/region_figures.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// How a line shows its value.
// kBlank: nothing shown, the line keeping its room for a later figure.
enum class Shown { kText, kBlank, kCount, kMoney, kMoneyShort, kRate, kPercent, kWhole2, kWhole3, kTenths };

struct Line {
  const char* tag;
  Shown shown;
  float value;
  const char* text = nullptr;  // kText
};

void ShowLine(Control* c, const Line& line) {
  if (!c) return;
  char text[48];
  const double v = line.value;
  switch (line.shown) {
    case Shown::kText: SetControlText(c, line.text); return;
    case Shown::kBlank: c->SetText(""); return;
    case Shown::kCount: SetControlNumberText(0, 0, "", 0, "", 0, v, c); return;
    case Shown::kMoney: SetControlNumberText(1, 0, "", 0, "", 0, v, c); return;
    case Shown::kMoneyShort: SetControlNumberText(1, 0, "", 1, "", 0, v, c); return;
    case Shown::kRate: plat::FormatText(text, sizeof text, "%2.1f %%", static_cast<double>(line.value * 100.0f)); break;
    case Shown::kPercent: plat::FormatText(text, sizeof text, "%3.0f %%", static_cast<double>(line.value * 100.0f)); break;
    case Shown::kWhole2: plat::FormatText(text, sizeof text, "%2d", static_cast<int>(line.value)); break;
    case Shown::kWhole3: plat::FormatText(text, sizeof text, "%3d", static_cast<int>(line.value)); break;
    case Shown::kTenths: plat::FormatText(text, sizeof text, "%2.1f", v); break;
  }
  SetControlText(c, text);
}

float WorldInterestRate(const World& world) {
  if (world.worldEconomy.size() < kWorldPrimeRateAt + 4) return 0.0f;
  return le::LoadF32(world.worldEconomy.data() + kWorldPrimeRateAt);
}

}  // namespace

float OverallTaxRate(const PlayerPolicyBlock& b) {
  const float* r = b.taxRates;
  const float a = (r[11] + r[10] + r[9] + r[3] + r[2]) / 5.0f;
  const float duties = (r[7] + r[6]) / 166.0f;
  const float sales = (r[1] + r[0]) / 52.0f;
  return a + duties + sales + b.userfees + r[8] + r[5] + r[4];
}

int64_t RegionLand(const World& world, const PlayerRecord& region) {
  const int64_t side = world.mapHeader.hexScale;
  return static_cast<int64_t>(region.hexCount) * side * side;
}

std::optional<double> AnnualBalance(const World& world, int32_t player) {
  const DayLedger* day = LastDayLedger(world, player);
  if (!day) return std::nullopt;
  return (day->Income() - day->Expenses()) * 365.0;
}

void FillRegionStats(const Screen& screen, bool side, int32_t player) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = player >= 0 ? player : g_world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers || !screen.currentForm) return;
  const PlayerRecord& r = g_world.players[local];
  const PlayerPolicyBlock& b = r.displayPolicy;
  // A government type the list does not name shows nothing.
  char government[48] = "";
  if (const char* name = TextListEntry(g_textLists, kListGovtype, r.govtype))
    plat::FormatText(government, sizeof government, "(%s)", name);
  const std::optional<double> balance = AnnualBalance(g_world, local);
  const Line lines[] = {
      {"REGGOVT", Shown::kText, 0.0f, government},
      {"REGIONNAME", Shown::kText, 0.0f, RegionDisplayName(g_world, local)},
      {side ? "REGPOP" : nullptr, Shown::kCount, r.population},
      {side ? "REGLAND" : nullptr, Shown::kCount, 0.0f},
      {"REGGDP", Shown::kMoney, r.gdpPerCapita},
      {"INFLRATE", Shown::kRate, LoadRegionFloat(r, kRegionInflation)},
      {"TAXRATE", Shown::kRate, OverallTaxRate(b)},
      {"UNEMPRATE", Shown::kRate, r.unemployment},
      {"REGINTRATE", Shown::kRate, economy::Real(r, economy::kOverdraftRate)},
      {"WMINTRATE", Shown::kRate, WorldInterestRate(g_world)},
      {side ? "SURPDEF" : nullptr, balance ? Shown::kMoneyShort : Shown::kBlank,
       balance ? static_cast<float>(*balance) : 0.0f},
      {"WMSUBRATE", Shown::kPercent, r.tradeOpenness},
      {"IMMIGRATNUM", Shown::kCount, r.immigrationPerYear},
      {"EMIGRATNUM", Shown::kCount, r.emigrationPerYear},
      {"BIRTHSNUM", Shown::kCount, r.birthsPerYear},
      {"DEATHSNUM", Shown::kCount, r.deathsPerYear},
      {"LITRATE", Shown::kPercent, LoadRegionFloat(r, kRegionLiteracy)},
      {"TOURRATE", Shown::kPercent, LoadRegionFloat(r, kRegionTourismRating)},
      {"DOMAPRRATE", Shown::kPercent, r.approval},
      {"MILAPRRATE", Shown::kPercent, r.secondRating},
      {"AVGAGE", Shown::kWhole2, LoadRegionFloat(r, kRegionAgeAvg)},
      {"LIFEEXP", Shown::kWhole3, LoadRegionFloat(r, kRegionLifeExp)},
      {"AVGCHILDREN", Shown::kTenths, LoadRegionFloat(r, kRegionAvgChildren)},
  };
  for (const Line& line : lines) {
    if (!line.tag) continue;
    Control* c = FormFindControlByTag(screen.currentForm, line.tag);
    if (std::strcmp(line.tag, "REGLAND") == 0) {
      SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(RegionLand(g_world, r)), c);
      continue;
    }
    ShowLine(c, line);
    if (std::strcmp(line.tag, "SURPDEF") == 0) SetControlFlag(c, kStateSelected, balance && *balance < 0.0 ? 1 : 0);
  }
}
