#pragma once
// Which facility types the local player may build now: the walk the build
// list and the map's build menu share, and the list rows made of them.
#include <cstdint>

class ListBoxControl;
struct World;

// Facility types are the classes 4000 on; the two transport sites are the
// last two.
inline constexpr int32_t kBuildClassFirst = 4000;
inline constexpr int32_t kBuildClassEnd = 4128;  // past the last facility a list walks
inline constexpr int32_t kTransportClasses[] = {4128, 4129};

// A technology counts as held when it is none (0 or below), lies beyond the
// technology table, is an empty record, or the player knows it.
bool HoldsPrerequisite(const World& world, int player, int16_t tech);
// The local player may build the class now: a named class of the table with
// the flag, not out of use, on offer to the player (bit 0 of its design
// byte) and with both prerequisites held.
bool BuildClassOpen(World& world, int32_t classIndex, uint32_t classFlag);

// Where the facility types a walk offers go: one row each, named for the
// class, whose id is the class plus the list's row base (the ids below the
// base being the panel's other controls).
struct BuildRows {
  World* world;
  ListBoxControl* list;
  int32_t rowBase;
};
// Adds the row of a class to the list; context is a BuildRows. The walks'
// callback.
void AddBuildRow(void* context, int32_t classIndex);
