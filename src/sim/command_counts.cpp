#include "sim/command_counts.h"

#include <atomic>

#include "records/unit_record.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

static_assert(std::atomic_ref<uint32_t>::required_alignment <= alignof(PlayerRecord));
static_assert(std::atomic_ref<int16_t>::required_alignment <= 2);
static_assert(offsetof(PlayerRecord, commandCounter) % std::atomic_ref<uint32_t>::required_alignment == 0);
static_assert(offsetof(PlayerRecord, pendingCommands) % std::atomic_ref<int16_t>::required_alignment == 0);

// One down, never below zero (a negative count read from a file becomes
// zero); the count left.
int16_t DropFloored(int16_t& field) {
  std::atomic_ref<int16_t> count(field);
  int16_t old = count.load();
  for (;;) {
    const int16_t next = old > 0 ? static_cast<int16_t>(old - 1) : int16_t{0};
    if (next == old) return next;
    if (count.compare_exchange_weak(old, next)) return next;
  }
}

void Raise(int16_t& field) {
  std::atomic_ref<int16_t> count(field);
  int16_t old = count.load();
  // A count that has reached the top of its field stays there rather than
  // wrapping negative.
  while (old < INT16_MAX && !count.compare_exchange_weak(old, static_cast<int16_t>(old + 1))) {
  }
}

}  // namespace

uint32_t NextCommandCounter(PlayerRecord& player) {
  return std::atomic_ref<uint32_t>(player.commandCounter).fetch_add(1) + 1;
}

void CatchUpCommandCounter(PlayerRecord& player, uint32_t counter) {
  std::atomic_ref<uint32_t> current(player.commandCounter);
  uint32_t old = current.load();
  while (old < counter && !current.compare_exchange_weak(old, counter)) {
  }
}

uint32_t CommandCounter(const PlayerRecord& player) {
  return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(player.commandCounter)).load();
}

void AddPendingCommand(PlayerRecord& player) { Raise(player.pendingCommands); }

int32_t DropPendingCommand(PlayerRecord& player) { return DropFloored(player.pendingCommands); }

int32_t PendingCommands(const PlayerRecord& player) {
  return std::atomic_ref<int16_t>(const_cast<int16_t&>(player.pendingCommands)).load();
}

void PendingCommandCount(World& world, PlayerRecord& player, int copy) {
  if (copy == 0) {
    AddPendingCommand(player);
    return;
  }
  WorldLockGuard hold(world, kLockCommandLog);
  if (DropPendingCommand(player) == 0) player.displayPolicy = player.simPolicy;
}

void CountUnitOrder(World& world, UnitRecord& unit, int pass) {
  if (pass == 0) {
    Raise(unit.pendingOrders);
    return;
  }
  WorldLockGuard hold(world, kLockCommandLog);
  if (DropFloored(unit.pendingOrders) == 0) unit.ordersShown = unit.orders;
}

int32_t UnitOutstanding(const UnitRecord& unit) {
  return std::atomic_ref<int16_t>(const_cast<int16_t&>(unit.pendingOrders)).load();
}
