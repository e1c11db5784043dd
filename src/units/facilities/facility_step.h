#pragma once
// A facility's own minute step (the scheduler's category 4): its timers,
// turning toward its wanted facing, sweeping, firing at enemies around it
// or in reach, its supply, loading and spotting, and when it wakes next.
// RunFacilityStep itself is declared with the scheduler's other side steps.
#include <cstdint>

struct World;
struct UnitRecord;

// The facing after one turn toward the wanted one, the shorter way round
// (24 positions).
int FacilityFacingStep(int current, int wanted);

// One move of a sweep: value and direction (down) in and out. Mode 1 wraps
// from the upper bound to the lower; mode 2 turns round at either bound.
struct FacilitySweep {
  int value = 0;
  bool down = false;
};
FacilitySweep FacilitySweepStep(FacilitySweep sweep, int mode, int lower, int upper);

// Every how many steps a facility with this fire rate scans for targets,
// three times as seldom while it is engaged.
int FacilityScanPeriod(int fireRate, bool engaged);
