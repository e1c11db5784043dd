#pragma once
// The long look for something to shoot at: a facility, or a launcher riding
// in a carrier, goes through the units its enemies have on the map and
// picks the one most worth a shot from where it stands.
#include <cstdint>

struct World;
struct UnitRecord;

// Hexes the scan reaches, by target category 0 to 3 and 4 (facilities, which
// reach as far as category 0); 0 where the launcher has no weapon.
struct TargetScanRanges {
  int32_t hexes[5] = {};
};

// The launcher's reach in hexes: its boosted weapon range over the hex size
// plus 1, or for a pooled stock its own range left plus 1. A map without a
// hex size reaches nowhere.
TargetScanRanges TargetScanRangesOf(const World& world, const UnitRecord& launcher, bool pooled);

// The best target for the launcher seen from scanPoint (a pooled stock
// scans from its carrier's hex): units of players at war with its owner, in
// reach and visible to its side. Each is worth its attack over defence
// score (x1.4 for the launcher's present target) over distance squared + 1;
// a bombarding launcher values ground and sea hexes as a whole and takes
// one unit there. A range of 1 reaches only for a pooled launcher. Null
// when nothing is worth a shot.
UnitRecord* RunTargetScan(World& world, const UnitRecord& launcher, uint32_t scanPoint,
                          const TargetScanRanges& ranges, bool pooled);
