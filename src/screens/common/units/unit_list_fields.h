#pragma once
// The category sort key of the sorted unit lists, and the facility type
// the facility lists and pop-ups go by.
#include <cstdint>

#include "world/data_tables.h"
#include "world/unit_class_flags.h"

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

// A class's facility type (0 none, 1 research centre, 2 silo, 3 launch
// site): the map's panels and the facility lists read the same byte.
inline uint8_t FacilityTypeByte(const UnitClassRecord& cls) { return cls.baseKind; }

// Whether a click on the class's hex opens a site's own panel or pop-up: the
// settlement flag says so, and a research centre's kind says so alone. The
// shipped research centre goes without the flag, which the computer players'
// facility defence and upkeep also read.
inline bool OpensAsSite(const UnitClassRecord& cls) {
  return (cls.flags & kClassSettlement) || cls.baseKind == kBaseKindResearchCentre;
}

}  // namespace listfields
