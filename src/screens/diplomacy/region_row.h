#pragma once
// A row that names a region: the caller's prefix and the region's name, as
// the hex panels show a hex's owner and the region it is loyal to.
#include <cstdint>

class Control;

// Sets the row's text to the prefix and the region's name; a region number
// outside the players' table shows the prefix alone.
void FillRegionRow(Control* row, const char* prefix, int32_t player);
