#include "units/spotting_map.h"

void BuildSpottingMap(World&) {
  // The units' sight comes with the unit step; the map keeps what visibility gives it.
}
