#include "ai/ai_field_units.h"

#include "ai/ai_player_fields.h"
#include "ai/ai_unit_figures.h"
#include "ai/ai_worker_state.h"
#include "world/unit_class.h"
#include "world/world.h"

bool IsIdleFieldUnit(const World& world, const UnitRecord& unit) {
  if (!IsUnitLive(unit)) return false;
  if (unit.unitFlags & (kUnitProvisional | kUnitFacility | kUnitStock)) return false;
  if (aifig::OrderState(unit) & ~kOrderMissionByte) return false;
  if (aifig::Assignment(unit) != 0) return false;
  if (aifig::Placement(unit) & (kPostureUnderConstruction | kPostureNoAutoDeploy)) return false;
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return false;
  return unit.strength > static_cast<float>(cls->strengthPerSize) / 2.0f;
}

void BuildFieldUnitLists(World& world, PlayerRecord& player, AiWorkerState& state) {
  const int owner = static_cast<int>(&player - world.players);
  for (auto& list : state.fieldUnits) list.clear();
  for (UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) {
    if (u->owner != owner || !IsIdleFieldUnit(world, *u)) continue;
    state.fieldUnits[u->kind & 3].push_back(u->id);
  }
  for (int c = 0; c < 4; ++c)
    aifields::SetFieldUnitCount(player, c, static_cast<uint16_t>(std::min<size_t>(state.fieldUnits[c].size(), 0xFFFF)));
}
