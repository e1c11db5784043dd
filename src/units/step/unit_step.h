#pragma once
// One unit's step: everything a unit on the map does in the minutes since
// its previous step, phase by phase, ending with when it is stepped next.
#include <cstdint>

struct World;
struct UnitRecord;

// Steps an uncarried unit of table 1 (land, air, sea or submarine) that
// `minutes` minutes have passed for since its previous step (0 allowed).
void RunUnitStep(World& world, UnitRecord& unit, uint8_t minutes);
