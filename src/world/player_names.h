#pragma once
// The names a region and its player are shown under.
struct World;
struct PlayerRecord;

// The region's number as the map's hexes carry it: its place in the world's
// table (a record that was never given its number still has that place), or
// the number it holds for a record kept elsewhere.
int RegionIndexOf(const World& world, const PlayerRecord& record);

// The region's name: the scenario text's name for its number, else the
// name kept in its record.
const char* LookupLocalizedName(const World& world, const PlayerRecord& record);

// Who plays the region. In a network game the region's slot decides: a
// person's slot gives that person's name, a computer's slot "AI", the other
// slot states their "slotinfo" label, an unknown state nothing, and a region
// without a slot "AI". Outside a network game the local player's name for
// the local region and "AI" for the others.
const char* GetPlayerDisplayName(const World& world, const PlayerRecord& record);
