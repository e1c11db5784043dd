#pragma once
// Filling a list again where the player left it. The place is taken as the
// list is emptied; handed back after the fill, it lays the rows out, selects
// again what was selected (the row of the same value or id, none when it is
// gone) and scrolls back to the rows that were in view. A null list is left
// alone.
#include <cstdint>

class ListBoxControl;

struct ListPlace {
  int32_t selectedId = 0;
  intptr_t selectedValue = 0;
  int32_t scrollOffset = 0;
};

// Empties the list without notice; the place it showed.
ListPlace ClearKeepingPlace(ListBoxControl* list);
// The same, first saving the ids of every selected row (a list that selects
// many).
ListPlace ClearKeepingSelections(ListBoxControl* list);

// After the fill: the row whose value was selected is selected again.
void RestoreSelectedValue(ListBoxControl* list, const ListPlace& place);
// After the fill: the row whose id was selected is selected again.
void RestoreSelectedId(ListBoxControl* list, const ListPlace& place);
// After the fill: every row saved by ClearKeepingSelections is selected again.
void RestoreSelections(ListBoxControl* list, const ListPlace& place);
