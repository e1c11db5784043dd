#pragma once
// The forces' wages and efficiency panel (MILITARY1_ss6), docked under the
// military page: the wage and maintenance levels on two bars (1.0 at the
// middle), the yearly military costs they lead to, and the panel's lock.
#include <memory>
#include <cstdint>

#include "ui/screen.h"

class Control;
struct MilitaryFigures;

inline constexpr const char* kMilitaryWagesTags[] = {
    "ANNDAYTEXT", "MILWAGES", "MILEFF",    "WAGESLDR",  "EFFSLDR",  "NEWMILWAGES", "NEWMILEFF", "COSTNEWEQ",
    "COSTRES",    "COSTPREP", "COSTTRAIN", "COSTBUILD", "COSTTOTAL", "SHORTBOX",   "SHORTAGE",  "LOCK",
    "MILLOCK",    "RETURNBUT"};

// The lock group the force size and wages panels share, and their bits.
inline constexpr int32_t kMilitaryLockGroup = 1;
inline constexpr uint32_t kLockForceSize = 1;
inline constexpr uint32_t kLockWages = 2;

// Fills the panel's figures; amounts are divided by the period divisor.
// Training and building are shown but left out of the total.
void FillMilitaryWages(Control* form, const MilitaryFigures& figures, float periodDivisor);
// Whether the military lock group holds the bit in the local region's
// display copy.
bool MilitaryLocked(uint32_t bit);

std::unique_ptr<Screen> MakeMilitaryWagesPanel();
