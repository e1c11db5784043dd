#pragma once
// The turn's summary in the game log: per region its GDP per head, at the
// first end of turn its build points, budget and products and the whole
// map's figures, then "End of Turn %d" with every region's main figures and
// the local region's forces.
struct World;

void WriteEndOfTurnLog(World& world);
