#pragma once
// The shared fills of a unit class's figures: the specification sheet (the
// class tab and the build pop-up) and the performance bars (the status tab).
// Their fields come with the military screens; until then they leave the
// forms as they stand. Window thread, under the simulation lock.
#include <cstdint>

class Control;
struct UnitClassRecord;
struct UnitRecord;

// Every sheet field the form carries, for the class.
void FillUnitClassSheet(Control* form, const UnitClassRecord& cls, int32_t mode, int32_t extra);

// The class's performance bars, with the unit's own figures where one is
// given; no class clears them.
void FillUnitPerformance(const UnitClassRecord* cls, const UnitRecord* unit);
