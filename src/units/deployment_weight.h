#pragma once
// A unit's weight against its owner's force budget and the weight that
// deployments not yet settled have reserved. Display passes reserve on the
// posting threads while the turn thread settles, so the reserved weight
// changes only by atomic steps.
#include <atomic>

#include "records/unit_record.h"
#include "world/unit_class.h"
#include "world/world.h"

// The class's value per strength point x strength; 0 without a class.
inline float DeploymentWeight(const World& world, const UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  return cls ? static_cast<float>(cls->valuePerPoint) * unit.strength : 0.0f;
}

inline float PendingDeployments(const World& world, int player) {
  return world.pendingDeployments[player & 31].load(std::memory_order_acquire);
}

inline void SetPendingDeployments(World& world, int player, float value) {
  world.pendingDeployments[player & 31].store(value, std::memory_order_release);
}

// Adds delta (negative to release) in one atomic step.
inline void AddPendingDeployments(World& world, int player, float delta) {
  std::atomic<float>& slot = world.pendingDeployments[player & 31];
  float old = slot.load(std::memory_order_relaxed);
  while (!slot.compare_exchange_weak(old, old + delta, std::memory_order_acq_rel, std::memory_order_relaxed)) {
  }
}
