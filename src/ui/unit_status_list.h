#pragma once
// Fills a unit panel's status list with the unit's long status, one row a
// line, each row keeping the line's code.
class ListControl;
struct World;
struct UnitRecord;

void FillUnitStatusList(const World& world, ListControl& list, const UnitRecord& unit);
