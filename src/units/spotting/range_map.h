#pragma once
// The range map: per hex, how much of the reach of the best facility is
// left when it arrives there, spent on land movement costs (and on sea
// costs for havens). The daily hex pass moves each hex's level toward it
// right after it is built.
#include <cstdint>

struct World;
struct PlayerRecord;

// The region's range factor, whose square root scales its facilities'
// reach: the float at record byte 11988, which the society code also keeps
// as its third social programme level.
float PlayerRangeFactor(const PlayerRecord& record);

// Rebuilds world.rangeMap (sized to the map first when it is not) from the
// facilities on the map: in the map editor from every active facility of
// the unit ring, in a game from the facilities of the unit tables.
void BuildRangeMap(World& world);
