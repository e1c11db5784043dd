#include "sim/end_of_turn_log.h"

#include <cstring>

#include "app/app_object.h"
#include "app/log.h"
#include "platform/fpenv.h"
#include "world/player_names.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int kUnitCountKinds = 8;
constexpr int kPetrolProduct = 7;

float ProductFloat(const PlayerRecord& region, int product, size_t at) {
  float value;
  std::memcpy(&value, region.products[product].bytes + at, sizeof value);
  return value;
}

float Percent(float part, float whole) { return whole != 0.0f ? part / whole * 100.0f : 0.0f; }

float PerHead(float yearly, float population) { return population > 0.0f ? yearly / population : 0.0f; }

int UnitTotal(const PlayerRecord& region) {
  int total = 0;
  for (int k = 0; k < kUnitCountKinds; ++k) total += region.unitCounts[k];
  return total;
}

float SocialCostTotal(const PlayerRecord& region) {
  float total = 0.0f;
  for (float cost : region.socialCosts) total += cost;
  return total;
}

// The first end of turn also lists each region's build points, budget and
// products: figures per head of population against the GDP per head.
void WriteFirstTurnDetail(const PlayerRecord& region) {
  const PlayerPolicyBlock& block = region.simPolicy;
  const float gdpc = region.gdpPerCapita;
  const float people = region.population;
  LogWrite(g_platform, "   Base Build Points:  Ground %d,  Air %d,  Naval %d.  Research %d\n", region.unitCounts[0],
           region.unitCounts[1], region.unitCounts[2], static_cast<int>(region.researchBudget));
  const struct {
    const char* format;
    float yearly;
  } budget[] = {
      {"   Military Salaries       %9.2f  (%4.1f %%)\n", block.milspendsalary},
      {"   Military Operations     %9.2f  (%4.1f %%)\n", block.milspendmaint},
      {"   Military Intelligence   %9.2f  (%4.1f %%)\n", block.milspendintel},
      {"   Military Preparedness   %9.2f  (%4.1f %%)\n", block.readinessValue},
      {"   Research                %9.2f  (%4.1f %%)\n", region.researchBudget},
      {"   Mil Facil Maintenance   %9.2f  (%4.1f %%)\n", region.yearlyCostFacilities},
      {"   Ind Facil Maintenance   %9.2f  (%4.1f %%)\n", region.yearlyCostHexLead},
      {"   Social Spending         %9.2f  (%4.1f %%)\n", SocialCostTotal(region)},
      {"   Social Safety Net       %9.2f  (%4.1f %%)\n", block.uispend + block.welfspend + block.pensspend},
      {"   General Services        %9.2f  (%4.1f %%)\n", region.yearlyCostC + region.yearlyCostD},
  };
  for (const auto& line : budget) {
    const float perHead = PerHead(line.yearly, people);
    LogWrite(g_platform, line.format, perHead, Percent(perHead, gdpc));
  }
  for (int i = 0; i < kProductCount; ++i) {
    const float production = ProductFloat(region, i, kProductProductionAt);
    const float perHead = PerHead(production, people);
    LogWrite(g_platform, "    Prod %-15.15s   %9.2f  (%4.1f %%)   Total Production %11.0f  Demand %11.0f\n",
             TextListText(kListProducts, i), perHead, Percent(perHead, gdpc), production,
             ProductFloat(region, i, kProductDemandAt));
  }
}

void WriteMapTotals(const World& world, int32_t highest) {
  float population = 0.0f, treasury = 0.0f, debt = 0.0f, gdp = 0.0f;
  int ground = 0, air = 0, naval = 0, research = 0;
  float production[kProductCount] = {};
  float demand[kProductCount] = {};
  for (int p = 1; p <= highest; ++p) {
    const PlayerRecord& region = world.players[p];
    if (!TakesPart(region)) continue;
    population += region.population;
    treasury += region.treasury;
    debt += region.debtKind0 + region.debtKind1 + region.debtKind2;
    gdp += region.gdp;
    ground += region.unitCounts[0];
    air += region.unitCounts[1];
    naval += region.unitCounts[2];
    research += static_cast<int>(region.researchBudget);
    for (int i = 0; i < kProductCount; ++i) {
      production[i] += ProductFloat(region, i, kProductProductionAt);
      demand[i] += ProductFloat(region, i, kProductDemandAt);
    }
  }
  LogWrite(g_platform, "-----------------------------------\n");
  LogWrite(g_platform, "Entire Map:\n");
  LogWrite(g_platform, "   Population : %11.0f\n", population);
  LogWrite(g_platform, "   Treasury :%14.0f\n", treasury);
  LogWrite(g_platform, "   Debt     :%14.0f\n", debt);
  LogWrite(g_platform, "   GDP/c      :   %9.2f\n", population > 0.0f ? gdp / population : 0.0f);
  LogWrite(g_platform, "   Base Build Points:  Ground %d,  Air %d,  Naval %d.  Research %d\n", ground, air, naval,
           research);
  for (int i = 0; i < kProductCount; ++i)
    LogWrite(g_platform, "    Prod %-15.15s   Map Production %11.0f  Map Demand %11.0f\n",
             TextListText(kListProducts, i), production[i], demand[i]);
  LogWrite(g_platform, "-----------------------------------\n");
}

}  // namespace

void WriteEndOfTurnLog(World& world) {
  const GameState& state = world.gameState;
  int32_t highest = state.highestPlayer;
  if (highest >= kMaxPlayers) highest = kMaxPlayers - 1;
  const bool firstTurn = state.turnNumber == 0;

  for (int p = 1; p <= highest; ++p) {
    const PlayerRecord& region = world.players[p];
    LogWrite(g_platform, "Player %d (%-15.15s): GDP/c Initial Value %9.2f;  GDP/c Base (no constr) %9.2f  (%5.1f %%)\n",
             p, LookupLocalizedName(world, world.players[p]), region.gdpPerCapita, region.baseGdpPerCapita,
             Percent(region.baseGdpPerCapita, region.gdpPerCapita));
    if (firstTurn) WriteFirstTurnDetail(region);
  }
  if (firstTurn) WriteMapTotals(world, highest);

  LogWrite(g_platform, "End of Turn %d\n", static_cast<int>(state.turnNumber));
  for (int p = 0; p <= highest; ++p) {
    const PlayerRecord& region = world.players[p];
    LogWrite(g_platform, "%-16s  Pop %12.0f/Treas %14.2f/GDP %10.2f/Land %9d/Units %4d/Petrol %12.2f\n",
             LookupLocalizedName(world, world.players[p]), region.population, region.treasury, region.gdpPerCapita, region.hexCount,
             UnitTotal(region), ProductFloat(region, kPetrolProduct, kProductStockAt));
  }
  if (state.localPlayer >= 0 && state.localPlayer < kMaxPlayers) {
    const PlayerRecord& local = world.players[state.localPlayer];
    LogWrite(g_platform,
             "poparmy %8.0f, popreserve %8.0f, pendingreserve %8.0f, volunteers %8.0f, conscripts %8.0f\n",
             local.soldiers, local.dayLeadValue, 0.0f, local.volunteersPerYear, local.conscriptsPerYear);
  }
  LogWrite(g_platform, "Current Controlfp: %X   Current lfsr: %d\n", plat::ReadFloatControl(),
           static_cast<int>(state.visibilityLfsr));
  CloseLogFile(g_platform);
}
