#include "app/app_object.h"

#include "app/init_order.h"

AppObject::AppObject() { idleTasks = NewZeroed<IdleTask>(); }

AppObject::~AppObject() {
  if (idleTasks) {
    // Other tasks are owned by whoever registered them; only the head is ours.
    idleTasks->Unlink();
    DeleteZeroed(idleTasks);
    idleTasks = nullptr;
  }
}

AppObject g_app VD_INIT_APP;
PlatformState g_platform;
