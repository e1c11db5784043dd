#pragma once
// A row that names a region: the caller's prefix, the region's name and its
// flag, as the hex panels show a hex's owner and the region it is loyal to
// and the title bar the player's own.
#include <cstdint>

class Control;

// Sets the row's text to the prefix and the region's name, with its leader
// in parentheses when a person leads it, writes it in the region's colour
// and gives it the region's flag; a region number outside the players' table shows the
// prefix alone and no flag.
void FillRegionRow(Control* row, const char* prefix, int32_t player);
