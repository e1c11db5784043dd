#pragma once
// The program's spine: the entry routine, application start-up and shut-down,
// the per-mode window procedures and frame functions, and the message loop.
#include <cstdint>
#include <string>

#include "app/app_object.h"
#include "app/message_pump.h"
#include "app/settings.h"
#include "platform/messages.h"
#include "ui/screen_manager.h"  // the window timer


inline constexpr const char* kRegistryKey = kSettingsKeyPath;
inline constexpr const char* kWindowClassName = "VDClass";

int WinMain(void* instance, void* previousInstance, const char* commandLine, int showMode);
int32_t InitApplication(AppObject& app);
void ShutdownApplication(AppObject& app);
// Screens call this to quit: stops the music and closes the main window.
void RequestAppClose();

void InitPlatformState(PlatformState& platform, void* instance, const uint8_t* programGuid, const char* title,
                       int showMode);
void RunIdleFrame();
// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

plat::LResult AppWindowProc(plat::Window* window, uint32_t message, plat::WParam wParam, plat::LParam lParam);
plat::LResult StartupWindowProc(plat::Window* window, uint32_t message, plat::WParam wParam, plat::LParam lParam);
plat::LResult GameWindowProc(plat::Window* window, uint32_t message, plat::WParam wParam, plat::LParam lParam);

void StartupFrame();
void UiFrame();
void EnterFrontEnd();
void EnterMapEditor();
// The layout editor instead of the game: its form fills the screen, with the
// form asked for on the command line loaded.
void EnterFormEditor();
struct FormEditorRequest {
  bool open = false;  // "-formedit" was given
  std::string name;   // the form it loads first; empty for none
};
extern FormEditorRequest g_formEditorRequest;
struct ScreenManager;
void LoadRuleTablesAndForms(ScreenManager& ui);

// Dispatches every message already waiting, stopping at the quit message.
void DispatchPendingMessages(PlatformState& platform);
