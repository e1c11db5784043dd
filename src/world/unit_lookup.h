#pragma once
// Finding units by id.
#include <cstdint>

struct World;
struct UnitRecord;

// The unit with that id in the world's unit list, or null. Id 0 names none.
UnitRecord* FindUnitById(const World& world, uint32_t id);
