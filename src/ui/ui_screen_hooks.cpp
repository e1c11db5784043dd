#include "ui/ui_screen_hooks.h"

UiScreenHooks g_uiScreenHooks;
