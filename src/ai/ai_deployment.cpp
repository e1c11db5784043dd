#include "ai/ai_deployment.h"

#include "ai/ai_event_answer.h"
#include "ai/ai_facility_defence.h"
#include "ai/ai_player_fields.h"
#include "ai/ai_worker_state.h"
#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

int IndexOf(const World& world, const PlayerRecord& region) { return static_cast<int>(&region - world.players) & 31; }

int32_t ValueOf(const StandingEvent& s) { return static_cast<int32_t>(s.event.value); }

}  // namespace

void AiPlanFacilityDefence(World& world, PlayerRecord& region) {
  auto& standing = g_aiWorkers[IndexOf(world, region)].standing;
  for (const AiEvent& e : PlanFacilityDefence(world, region)) InsertByValue(standing, StandingEvent{e, 0}, &ValueOf);
}

void AiDeployAndOrderUnits(World& world, PlayerRecord& region) {
  const int p = IndexOf(world, region);
  auto& standing = g_aiWorkers[p].standing;
  const int32_t bar = (100 - static_cast<int32_t>(region.displayPolicy.milinitiativeoff)) * 100;
  const auto view = [](const StandingEvent& s) {
    return StandingView{s.event.tick, static_cast<int32_t>(s.event.value), s.event.subKind, s.assigned, s.event.third};
  };
  // A named unit must still be live, free, unlinked and seen by the region.
  const auto namedOk = [&](uint32_t id) {
    const UnitRecord* u = FindUnitById(world, id);
    return u && IsUnitLive(*u) && !(u->unitFlags2 & kUnit2Selected) && u->carrier == 0 && ((u->seenBy >> p) & 1u);
  };
  DeployStandingEvents(standing, aifields::FieldUnitCount(region, 0), CurrentTickNow(world.gameState), bar, view, namedOk,
                       [&](StandingEvent& s) { AnswerStandingEvent(world, region, s); });
}
