#include "ui/screen_set.h"

#include "app/init_order.h"

ScreenSet g_screens VD_INIT_SCREEN_SET;

void LoadScreenListForms(ScreenSet&) {}
