#include "units/hex_owner.h"

#include "units/hex_state.h"
#include "units/class_fields.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/world.h"
#include "world/hex_stack_chains.h"

float HexPeopleWeight(const World& world, const HexCell& cell) {
  const TerrainRecord* terrain = TerrainOf(world, cell);
  const float t = terrain ? static_cast<float>(classfields::TerrainPopulationLevel(*terrain)) : 0.0f;
  float w = t * t + (t != 0.0f ? 99.0f : 0.0f);
  if (const HexUnitStack* stack = LoadHexStack(cell); stack && stack->extra)
    w += HexSettlementPopulation(*stack->extra);
  return w;
}

int SetHexOwner(World& world, HexCell& cell, int setOccupier, int newOwner) {
  const int p = newOwner & 31;
  const int o = CellOwner(cell.word);
  if (o == p) return 0;
  HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* facility = stack ? stack->lead : nullptr;
  if (facility && (!IsUnitLive(*facility) || (facility->unitFlags & kUnitProvisional))) facility = nullptr;

  PlayerRecord& gainer = world.players[p];
  PlayerRecord& loser = world.players[o];
  const float w = HexPeopleWeight(world, cell);
  const float total = w + gainer.population;
  // A hex without people joining a region without people leaves the average.
  if (total != 0.0f) gainer.gdpPerCapita = (gainer.gdpPerCapita * gainer.population + w * loser.gdpPerCapita) / total;
  gainer.population += w;

  if (loser.kind != kKindEmpty) --loser.hexCount;
  ++gainer.hexCount;

  if (setOccupier && CellLoyalTo(cell.word) == o) cell.word = WithCellLoyalTo(cell.word, p);
  StoreCellOwner(cell, p);

  if (facility) {
    facility->owner = static_cast<uint8_t>(p);
    NoteUnitOwnerChange(world);
    facility->controller = static_cast<uint8_t>(p);
    AppendUnitPtr(world, kUnitTableOnMap, p, kUnitCategoryFacility, *facility);
    facility->ordersShown = facility->orders;
  }
  return 1;
}
