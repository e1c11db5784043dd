#pragma once
// The facility of a hex that builds and repairs units: a settlement-type
// facility in service that holds build slots or serves aircraft or ships.
struct World;
struct HexCell;
struct UnitRecord;

// The hex's lead facility when it is live, confirmed and in service (not in
// reserve), of a settlement class that neither produces, builds works,
// holds people nor is a road, with base byte 0 and build slots (loadable
// mask) or an air base or haven flag. Null otherwise.
UnitRecord* BuildYardOn(const World& world, const HexCell& cell);
