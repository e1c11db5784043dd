#pragma once
// A small world for the deal tests: the message test world with a few
// technologies, unit classes and units of its own, the units taken out of
// the world again when the test ends.
#include <memory>
#include <vector>

#include "records/unit_record.h"
#include "sim/message_test_support.h"
#include "world/id_lookups.h"

struct DealTestWorld : MessageTestWorld {
  static constexpr int kTechs = 6;
  static constexpr int kClasses = 6;

  DealTestWorld() {
    World& w = *world;
    w.techs.resize(kTechs);
    w.gameState.techCount = kTechs;
    w.techRows.assign(static_cast<size_t>(kTechs) * kMaxPlayers, PlayerTechState{});
    w.unitClasses.assign(kClasses, UnitClassRecord{});
    w.gameState.designRowBytes = kClasses;
    w.designRows.assign(static_cast<size_t>(kClasses) * kMaxPlayers, 0);
  }
  ~DealTestWorld() {
    world->units = nullptr;
    ReindexUnits(*world);
    ++g_unitRecordEpoch;
  }

  UnitRecord& AddUnit(uint32_t id, int owner, int16_t cls, float strength) {
    units_.push_back(std::make_unique<UnitRecord>());
    UnitRecord& u = *units_.back();
    u.id = id, u.owner = static_cast<uint8_t>(owner), u.classIndex = cls, u.strength = strength;
    const size_t n = units_.size();
    for (size_t i = 0; i < n; ++i) {
      units_[i]->next = units_[(i + 1) % n].get();
      units_[i]->prev = units_[(i + n - 1) % n].get();
    }
    world->units = units_.front().get();
    ReindexUnits(*world);
    ++g_unitRecordEpoch;
    return u;
  }
  void Tech(int t, int16_t first, int16_t second, bool tradeable = true) {
    TechRecord& r = world->techs[static_cast<size_t>(t)];
    r.category = 1;
    r.prerequisites[0] = first, r.prerequisites[1] = second;
    r.flags = tradeable ? 1u : 0u;
  }
  void Knows(int player, int t) { TechRow(*world, player)[t].known = 1; }

 private:
  std::vector<std::unique_ptr<UnitRecord>> units_;
};
