#include "units/military_upkeep.h"

void DailyMilitaryUpkeep(World&) {
  // Upkeep comes with the unit step.
}
