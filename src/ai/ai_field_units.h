#pragma once
// A computer player's lists of idle field units, one per unit category
// (land, air, sea, submarine): the units it may send to answer map events.
#include <cstdint>

struct AiWorkerState;
struct PlayerRecord;
struct UnitRecord;
struct World;

// Whether the unit belongs on its owner's field-unit list: live, confirmed,
// not a facility or stock, with no orders beyond a mission, no partner, on
// the map (not being built, not held back) and stronger than half its
// class's full strength.
bool IsIdleFieldUnit(const World& world, const UnitRecord& unit);

// Refills the state's four lists in unit-ring order with the player's idle
// field units and sets the player's four counts to their lengths.
void BuildFieldUnitLists(World& world, PlayerRecord& player, AiWorkerState& state);
