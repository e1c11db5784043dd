#include "screens/common/list_page.h"

#include "screens/screen_set.h"
#include "ui/list_control.h"

void OpenListPage(ListBoxControl* list) {
  if (list) {
    ListDeselectAll(list);
    list->savedSelectedId = 0;
    list->savedPosition = 0;
    ListResetScroll(list);
  }
  ScreenSlotResetMapMode(g_screens);
}
