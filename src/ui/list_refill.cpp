#include "ui/list_refill.h"

#include "ui/list_control.h"

ListPlace ClearKeepingPlace(ListBoxControl* list) {
  if (!list) return {};
  const ListPlace place{list->selectedId, list->selectedValue, list->scrollOffset};
  ListClear(list, 1);
  return place;
}

ListPlace ClearKeepingSelections(ListBoxControl* list) {
  if (!list) return {};
  const ListPlace place{list->selectedId, list->selectedValue, list->scrollOffset};
  ListPrepareRows(list);
  ListClear(list, 1);
  return place;
}

void RestoreSelectedValue(ListBoxControl* list, const ListPlace& place) {
  if (!list) return;
  ListLayoutRows(list);
  for (Control* row = ListNextRow(list, nullptr); row && place.selectedValue != 0; row = ListNextRow(list, row)) {
    if (ListRowValue(row) != place.selectedValue) continue;
    ListSelectItem(0, list, row, 0);
    break;
  }
  list->scrollOffset = place.scrollOffset;
  ListLayoutRows(list);
}

void RestoreSelectedId(ListBoxControl* list, const ListPlace& place) {
  if (!list) return;
  if (place.selectedId != 0) ListSetSelection(0, list, place.selectedId, 0);
  list->scrollOffset = place.scrollOffset;
  ListLayoutRows(list);
}

void RestoreSelections(ListBoxControl* list, const ListPlace& place) {
  if (!list) return;
  if (list->savedSelection) ListApplyToItems(list, *list->savedSelection);
  list->scrollOffset = place.scrollOffset;
  ListLayoutRows(list);
}
