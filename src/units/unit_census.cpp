#include "units/unit_census.h"

void UnitCensus(World&) {
  // The census comes with the unit tables.
}
