#pragma once
// Finding units, research projects and recurring items by id. Each lookup
// remembers its last result per thread; a remembered record is handed out
// again only while no record of its kind has gone away since, so a freed
// record is never returned and an id that came back on a new record finds
// the new one. A lookup for id 0 forgets and finds nothing.
#include <cstdint>

struct World;
struct UnitRecord;
struct ProjectEntry;
struct RecurringItem;

// The unit with that id in the world's unit ring, or null: the first of
// equal ids in ring order. Answered from the ring's id index.
UnitRecord* FindUnitById(const World& world, uint32_t id);
// Builds the id index of the ring again; under the units lock. Code that
// links the ring by hand or changes ids of linked units calls it.
void ReindexUnits(const World& world);
// The project entry with that id in the project list of the player in the
// id's top byte, or null.
ProjectEntry* FindProjectById(const World& world, uint32_t id);
// The recurring item with that id, or null.
RecurringItem* FindRecurringItemById(const World& world, uint32_t id);

// A recurring item's id (the last word of its record).
uint32_t RecurringItemId(const RecurringItem& item);
void SetRecurringItemId(RecurringItem& item, uint32_t id);
