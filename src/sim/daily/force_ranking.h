#pragma once
// The two force counts of every region, taken once a day: R1 its land units,
// R2 its air, sea and submarine units. They pick the day's leaders and weigh
// a computer region's war posture (its strength beside a rival's, and whether
// it is too weak to fight on).
#include "world/world.h"

// Counts every region's live units, finished and not facilities nor stock,
// on the map or in the reserve, into `rankCountR1` and `rankCountR2`
// (held at 65,535).
void CountRegionForces(World& world);
