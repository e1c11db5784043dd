#include "world/id_lookups.h"

#include <atomic>

#include "records/unit_record.h"
#include "records/le_bytes.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {

// One remembered result: the world it was found in, the id, the record and
// the count of departed records of its kind at the time.
struct Remembered {
  const World* world = nullptr;
  uint32_t id = 0;
  void* record = nullptr;
  uint32_t epoch = 0;
};

template <typename Record, typename Walk>
Record* Lookup(Remembered& cache, const std::atomic<uint32_t>& departed, const World& world, uint32_t id,
               Walk walk) {
  if (id == 0) {
    cache = Remembered{};
    return nullptr;
  }
  const uint32_t epoch = departed.load(std::memory_order_acquire);
  if (cache.record && cache.world == &world && cache.id == id && cache.epoch == epoch)
    return static_cast<Record*>(cache.record);
  Record* found = walk();
  cache = Remembered{&world, id, found, epoch};
  return found;
}

thread_local Remembered t_unit;
thread_local Remembered t_project;
thread_local Remembered t_recurring;

}  // namespace

UnitRecord* FindUnitById(const World& world, uint32_t id) {
  return Lookup<UnitRecord>(t_unit, g_unitRecordEpoch, world, id, [&]() -> UnitRecord* {
    // Display passes on other threads link new units into the ring.
    WorldLockGuard guard(const_cast<World&>(world), kLockUnits);
    if (world.unitIndex.head() != world.units) ReindexUnits(world);
    UnitRecord* found = world.unitIndex.Find(id);
    if (found && found->id != id) {
      // An id changed under the index: index the ring as it now stands.
      ReindexUnits(world);
      found = world.unitIndex.Find(id);
    }
    return found;
  });
}

void ReindexUnits(const World& world) {
  UnitIdIndex& index = world.unitIndex;
  index.Clear();
  UnitRecord* head = world.units;
  for (UnitRecord* unit = head; unit;) {
    index.Add(*unit, unit->id);
    unit = unit->next;
    if (unit == head) break;
  }
  index.SetHead(head);
}

ProjectEntry* FindProjectById(const World& world, uint32_t id) {
  return Lookup<ProjectEntry>(t_project, g_projectEntryEpoch, world, id, [&]() -> ProjectEntry* {
    const uint32_t player = id >> 24;
    if (player >= static_cast<uint32_t>(kMaxPlayers)) return nullptr;
    const ListNode& head = world.projectLists[player];
    for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
      auto* entry = static_cast<ProjectEntry*>(node);
      if (entry->id == id) return entry;
    }
    return nullptr;
  });
}

RecurringItem* FindRecurringItemById(const World& world, uint32_t id) {
  return Lookup<RecurringItem>(t_recurring, g_recurringItemEpoch, world, id, [&]() -> RecurringItem* {
    RecurringItem* first = world.recurringItems;
    for (ListNode* node = first; node;) {
      auto* item = static_cast<RecurringItem*>(node);
      if (RecurringItemId(*item) == id) return item;
      node = node->next();
      if (node == first) break;
    }
    return nullptr;
  });
}

uint32_t RecurringItemId(const RecurringItem& item) { return le::Load32(item.fields + kRecurringIdAt); }

void SetRecurringItemId(RecurringItem& item, uint32_t id) { le::Store32(item.fields + kRecurringIdAt, id); }
