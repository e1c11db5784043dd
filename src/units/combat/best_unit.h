#pragma once
// The best-scoring unit of a walk: a higher score wins, and of equal scores
// the lower id, so every peer picks the same unit whatever the walk's order.
#include "records/unit_record.h"

struct BestUnit {
  UnitRecord* unit = nullptr;
  float score = 0.0f;
  void Offer(UnitRecord& u, float s) {
    if (!unit || s > score || (s == score && u.id < unit->id)) {
      unit = &u;
      score = s;
    }
  }
};
