#pragma once
// Handing a unit to another player: given away by a treaty, taken with a
// captured hex, surrendered, or passed on when a player's units are handed
// over.
struct World;
struct UnitRecord;
struct UnitClassRecord;

// Re-files the unit under the new owner, moves the owners' counters, finds
// it a base when it has no position (destroying it when none can be found),
// replaces its orders with the new owner's defaults, sets down what it
// carries (the cargo keeps its owner) and returns the supply it carries to
// its old owner. A reserve unit kept in place where its new owner may not
// base it is sent to one of the new owner's bases. A unit still being built
// is destroyed instead. keepInPlace and keepRatings count only as zero or
// not.
void TransferUnit(World& world, UnitRecord& unit, int newOwner, int keepInPlace, int keepRatings);

// The stock kind of a stock class: 0 for class flag bits 2 or 3, else 2 for
// bit 1, else 3.
int StockKindOf(const UnitClassRecord& cls);

// A facility class serves units of base kind 2 (sea) as a haven, 1 (air) as
// an air base, 0 (land) as a settlement that loads units.
bool FacilityServesKind(const UnitClassRecord& cls, int baseKind);
