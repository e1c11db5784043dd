#pragma once
// Visibility fades: each minute a few hexes, in the order of a 12-bit shift
// register, lose some of what each player sees of them, and regain what the
// players' spotting and the owner's supply give. Spread this way, every hex
// is visited once in 4,095 register steps.
#include <cstdint>

struct World;

// One step of the register (12 bits; a non-zero state never becomes zero,
// and from 1 it walks all 4,095 non-zero states).
uint32_t StepVisibilityRegister(uint32_t state);

// Visits at least the game state's visibilitySteps hexes, stepping its
// register. Runs on the turn thread under the simulation lock. The spotting
// map is made (all zero) when the map's size has changed.
void DecayVisibility(World& world);

// The decay of one hex (cell index) for every player.
void DecayHexVisibility(World& world, uint32_t cell);
