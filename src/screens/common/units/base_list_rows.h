#pragma once
// The rows of the units a base holds, as the base panels list them. Window
// thread; callers hold the simulation lock.
#include <cstdint>

class ListBoxControl;
struct HexCell;
struct ScreenParameterList;
struct ScreenSet;

// One row per unit held at the base on the cell (its name, its id as the
// row's id) and the same units, by id, into the unit list, which is emptied
// first and then names the list. The number of rows.
int32_t FillBaseListRows(ScreenSet& screens, ListBoxControl* list, const HexCell* cell, ScreenParameterList& units);
