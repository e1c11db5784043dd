#pragma once
// For tests over a small world of units: records owned by the test, linked
// into g_world's unit ring in the order they were added and indexed by id,
// and taken out of the world again when the ring goes.
#include <cstdint>
#include <memory>
#include <vector>

#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace testsupport {

// Links records the test keeps elsewhere into g_world's unit ring in the
// order given, and indexes them; an empty list leaves the world no units.
inline void LinkUnitRing(const std::vector<UnitRecord*>& ring) {
  const size_t n = ring.size();
  for (size_t i = 0; i < n; ++i) {
    ring[i]->next = ring[(i + 1) % n];
    ring[i]->prev = ring[(i + n - 1) % n];
  }
  g_world.units = n ? ring.front() : nullptr;
  ReindexUnits(g_world);
  ++g_unitRecordEpoch;
}

class UnitRing {
 public:
  UnitRing() = default;
  ~UnitRing() {
    g_world.units = nullptr;
    ReindexUnits(g_world);
    ++g_unitRecordEpoch;
  }
  UnitRing(const UnitRing&) = delete;
  UnitRing& operator=(const UnitRing&) = delete;

  // A unit of the owner and class, linked at the end of the ring.
  UnitRecord& Add(uint32_t id, int owner, int16_t cls) {
    units_.push_back(std::make_unique<UnitRecord>());
    UnitRecord& u = *units_.back();
    u.id = id, u.owner = static_cast<uint8_t>(owner), u.classIndex = cls;
    Link();
    return u;
  }
  // Frees every unit after the first n.
  void KeepFirst(size_t n) {
    units_.resize(n);
    Link();
  }
  UnitRecord& operator[](size_t i) { return *units_[i]; }
  size_t size() const { return units_.size(); }

 private:
  void Link() {
    std::vector<UnitRecord*> ring;
    for (const auto& u : units_) ring.push_back(u.get());
    LinkUnitRing(ring);
  }

  std::vector<std::unique_ptr<UnitRecord>> units_;
};

}  // namespace testsupport
