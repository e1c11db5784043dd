#pragma once
// How the military department's pages write their figures: percentages,
// plain integers, whole numbers and money into the controls of a form, and
// the pressed bit of its toggles. Each skips a control the form lacks.
#include <cstdint>

class Control;

// "%3.0f %%" of the fraction times 100.
void SetFractionText(Control* control, float fraction);
// "%d".
void SetIntegerText(Control* control, int32_t value);
// A whole number or money (money sign, millions abbreviated), written
// only into a text buffer that holds 3 characters.
void SetWholeText(Control* control, double value);
void SetMoneyText(Control* control, double value);
// Sets or clears the pressed bit, keeping the others.
void SetPressed(Control* control, bool on);
