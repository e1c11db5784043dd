#pragma once
// The category sort key of the sorted unit lists.
#include <cstdint>

namespace listfields {

// Air units first, then land, sea and submarine, each by class index.
inline float CategorySortBase(int32_t category) {
  switch (category) {
    case 0: return 100000.0f;
    case 2: return 200000.0f;
    case 3: return 300000.0f;
    default: return 0.0f;
  }
}

}  // namespace listfields
