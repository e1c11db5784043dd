#pragma once
// Whether the strength rows of the unit pages (the map's unit status tabs,
// the military unit pages, the unit sheets of a deal) show bars or numbers:
// one option for all of them.
#include <cstdint>

class Control;

// Any control of id 900-999 on the status tabs switches every row between
// bars and numbers.
void FlipStrengthRowsOnCommand(int32_t id);

// Bars or numbers for one row, by the interface-wide switch: the bar, its
// number and the hint that takes the number in the bar view.
void ApplySpecView(Control* slider, Control* text, Control* hint);
// The same for every row 230-254 the form carries.
void ShowNumbersOrBars(Control* form);
