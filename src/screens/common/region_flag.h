#pragma once
// A region's flag as the game draws it: the region's map colour, crossed by
// white in one of eight patterns chosen by the region's number, in a dark
// edge. Rows that name a region show it beside their text.
#include <cstdint>
#include <vector>

#include "platform/window.h"

class Control;

// One filled rectangle of a flag, in the order they are drawn.
struct FlagPiece {
  plat::Rect rect;
  uint32_t colour = 0;
};
// The pieces of the region's flag filling the box; none for a number
// outside the players' table or an empty box.
std::vector<FlagPiece> RegionFlagPieces(int32_t player, const plat::Rect& box);

// Gives the row the region's flag (none for -1 or a number outside the
// table): a box shows it over its whole rectangle, a text row at its right
// end, one text line high.
void SetRowFlag(Control* row, int32_t player);
// The region whose flag the row shows; -1 for none.
int32_t RowFlagPlayer(const Control* row);
