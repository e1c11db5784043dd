#include "units/range_map.h"

void BuildRangeMap(World&) {
  // The spread from the facilities comes with the unit step.
}
