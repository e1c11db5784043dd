#include "ui/list_start.h"

#include "ui/list_control.h"

void ListStartAfresh(ListBoxControl* list) {
  if (!list) return;
  list->selectedId = 0;
  list->selectedValue = 0;
  list->savedSelectedId = 0;
  list->savedPosition = 0;
  ListResetScroll(list);
}
