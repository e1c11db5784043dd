#pragma once
// Whether the strength rows of the unit pages (the map's unit status tabs,
// the military unit pages) show bars or numbers: one option for all of them.
#include <cstdint>

// Any control of id 900-999 on the status tabs switches every row between
// bars and numbers.
void FlipStrengthRowsOnCommand(int32_t id);
