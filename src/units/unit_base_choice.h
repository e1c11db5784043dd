#pragma once
// Choosing a base for an aircraft or ship that has nowhere to go.
struct World;
struct UnitRecord;

// Picks a new base for the unit and sends it there. For now the unit keeps
// to where it stands until base choice is built.
void UnitChooseBase(World& world, UnitRecord& unit);
