#pragma once
// The deployment phase's two steps on the worker's own standing list: the
// facilities' defence events go in, and the list is walked once and
// answered.
struct World;
struct PlayerRecord;

// Adds today's defence events of the region's facilities to its standing
// list, each in value order (the caller holds the simulation lock).
void AiPlanFacilityDefence(World& world, PlayerRecord& region);
// Walks the standing list once: stale events dropped, the others answered
// within the day's budget of minor answers.
void AiDeployAndOrderUnits(World& world, PlayerRecord& region);
