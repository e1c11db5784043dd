#pragma once
// The short label a unit is shown under on the map and in lists.
struct World;
struct UnitRecord;

// "%d%s %s %s" with the serial, its ordinal suffix, the type word of the
// unit's type and the class name, kept to its first three words; a unit of
// a stock class is labelled with its class name alone, no unit with an empty
// text. The text lives in a buffer of the calling thread (at most 34
// characters) that the thread's next call overwrites.
const char* UnitLabelText(const World& world, const UnitRecord* unit);
