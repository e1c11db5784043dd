#pragma once
// Fills a unit panel's status list with the unit's long status, one row a
// line, each row keeping the line's code.
class ListBoxControl;
struct World;
struct UnitRecord;

void FillUnitStatusList(const World& world, ListBoxControl* list, const UnitRecord& unit);
