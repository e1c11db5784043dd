#pragma once
// The load order of a stock unit (category 5): a pooled stock moves one
// point a step into the unit its orders name, joining a stock of its class
// already aboard or founding a new one; a single stock unit is loaded whole
// once it stands on the target's hex. The reserve step runs it for its stock
// units, a facility with cargo slots for the first stock ordered into it.
// Turn thread, under the simulation lock.
struct World;
struct UnitRecord;

// Works the stock's load order once. False when there was nothing to work
// (no quantity, no order, no unit named), when the idle flag stays as it
// was; otherwise the idle flag is cleared and true returned.
bool RunStockLoadOrder(World& world, UnitRecord& stock);
