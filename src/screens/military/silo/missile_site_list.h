#pragma once
// Where a missile design may be built, as every build panel lists it: the
// local region's launch silos for a design silos carry, else its production
// bases, those in service above those out of it. Window thread.
#include <cstdint>

class ListBoxControl;
struct UnitClassRecord;

// A design carried by silos (platform kind 4).
bool SiloBasedDesign(const UnitClassRecord& cls);

// Fills the list (rows keyed by unit id) for the design, or for the silo
// platform kind (kPlatformSilo asks for silos; -1: the design decides); true when it lists silos. A null list fills
// nothing and still answers. Hold the simulation lock.
bool FillMissileSiteList(ListBoxControl* list, const UnitClassRecord& cls, int32_t kind);
