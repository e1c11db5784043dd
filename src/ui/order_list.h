#pragma once
// Fills a list with the orders the selected units can all take. The screens
// that show unit orders own the selection; the list keeps each order's id
// as its row value.
#include <cstdint>
#include <vector>

class ListBoxControl;
struct World;
struct UnitRecord;

// Empties the list, adds one row per order the units can take in the list
// mode against the target hex (0: none), and returns the order id the
// units' display orders share, or 0 when they differ.
uint32_t FillOrderList(const World& world, ListBoxControl* list, const std::vector<const UnitRecord*>& selected,
                       int listMode, uint32_t targetHex);
