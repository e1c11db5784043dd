#pragma once
// The whole program started in process the way the tests that play it
// need: the message queue emptied, the settings at their defaults (never
// the user's file) for a 1024 x 768 window without sound, the platform
// state made, and no window class left registered (a graphics test's class
// of the game's name would keep the game's own window procedure out).
// InitApplication comes next, from the test.
#include "app/app_object.h"
#include "app/settings.h"
#include "app/shell/shell.h"
#include "net/net_session.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "ui/screen_manager.h"

inline void PrepareWholeProgram() {
  plat::ResetMessageQueue();
  plat::UnregisterAllWindowClasses();
  LoadRegistrySettings(g_app, g_netSession.identity, nullptr);
  g_app.gamerezx = 1024;
  g_app.gamerezy = 768;
  g_app.gamerezbpp = 32;
  g_app.gameadapternum = 0;
  g_app.SetFlag(kSetNosoundinit, true);
  g_ui.mapEditor = 0;
  g_ui.netRole = kRoleNone;
  static constexpr uint8_t kGuid[16] = {4, 3};
  InitPlatformState(g_platform, nullptr, kGuid, "Veldrane", 1);
}
