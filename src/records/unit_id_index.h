#pragma once
// The units of the ring by id, kept beside the ring under the units lock so
// that a unit reference (an id) resolves without walking the ring. Equal ids
// keep the ring's order: a later one stands after the earlier.
#include <cstdint>
#include <map>

struct UnitRecord;

class UnitIdIndex {
 public:
  void Add(UnitRecord& unit, uint32_t id) { byId_.emplace(id, &unit); }
  void Remove(const UnitRecord& unit, uint32_t id) {
    auto [first, last] = byId_.equal_range(id);
    for (auto it = first; it != last; ++it)
      if (it->second == &unit) {
        byId_.erase(it);
        return;
      }
  }
  // The first unit filed under id, or null.
  UnitRecord* Find(uint32_t id) const {
    const auto it = byId_.lower_bound(id);
    return it == byId_.end() || it->first != id ? nullptr : it->second;
  }
  void Clear() {
    byId_.clear();
    head_ = nullptr;
  }
  // The ring head the index was kept for: a ring linked by other means (a
  // relinked ring, a test's own units) has another head and is indexed
  // again before use.
  const UnitRecord* head() const { return head_; }
  void SetHead(const UnitRecord* head) { head_ = head; }

 private:
  std::multimap<uint32_t, UnitRecord*> byId_;
  const UnitRecord* head_ = nullptr;
};
