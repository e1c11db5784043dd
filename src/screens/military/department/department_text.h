#pragma once
// How the military department's pages write their figures: percentages,
// plain integers, whole numbers and money into the controls of a form, and
// the pressed bit of its toggles. Each skips a control the form lacks.
#include <cstdint>

class Control;

// "%3.0f %%" of the fraction times 100.
void SetFractionText(Control* control, float fraction);
// Sets or clears the pressed bit, keeping the others.
void SetPressed(Control* control, bool on);
