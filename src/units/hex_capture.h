#pragma once
// Taking a map hex: the checks that allow it, the fate of its facility
// (capital, settlement, production, people or other), the alarms for the
// computer players, news to the players, the stocks, people and goods that
// change hands, and the capture carried on to the neighbouring hexes.
#include <cstdint>

struct World;
struct HexCell;
struct PlayerRecord;
struct UnitRecord;

// Hands the hex to newOwner when the present owner may lose it: the
// relation mask says which present owners may (8 at war, 4 no relation,
// 15 any), the category (0 land, 1 air, 2 sea, 3 submarine) picks the access
// mask and keeps sea units off land, forced leaves out the alarms, news and
// hold-out changes. With allowNeighbours (or a mask of exactly 8) the
// neighbours are visited first. Returns the number of hexes taken.
int CaptureHex(World& world, HexCell& cell, int newOwner, int allowNeighbours, uint32_t relationMask,
               int category, int forced);

// A unit that can take ground: not of a class that never surrenders, a land
// unit with an attack against ground targets or a sea unit with one against
// target type 6, not holding back (orders header bit 14) unless told to take
// ground (order flag 16), and, when out of ammunition, standing on its own
// owner's hex.
bool UnitCanTakeGround(World& world, const UnitRecord& unit);

// The relation code of player a towards player b: 1 the same player, 8 at
// war, 2 related, else 4.
int RelationCode(const World& world, int a, int b);

// A signed change of the region's hex count, booked to its loss or gain
// statistics; the count is not taken below 0.
void ApplyPlayerGainLoss(PlayerRecord& region, int amount);
