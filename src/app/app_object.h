#pragma once
// The application object and the platform block: the program's settings, its
// idle tasks, the per-mode tables, and the state of the main window.
#include <cstdint>

#include "app/list_node.h"
#include "platform/messages.h"
#include "platform/window.h"

// One task the idle frame calls before the mode's frame function.
class IdleTask : public ListNode {
 public:
  using Callback = void (*)(uint32_t word);
  Callback callback = nullptr;
  uint32_t word = 0;
};

// Bits of AppObject::settingsFlags.
enum SettingsFlag : uint32_t {
  kSetNocutscene = 1u << 0,
  kSetNonumanim = 1u << 1,
  kSetNoswoosh = 1u << 2,
  kSetNosoundinit = 1u << 3,
  kSetNomusicinit = 1u << 4,
  kSetVDBitshires = 1u << 5,
  kSetTbitshires = 1u << 6,
  kSetUbitshires = 1u << 7,
  kSetUnitbitshires = 1u << 8,
  kSetLoadingbitshires = 1u << 9,
  kSetMapbackhires = 1u << 10,
  kSetMapbasehires = 1u << 11,
  kSetBackbufhires = 1u << 12,
  kSetMinimapbasevidmem = 1u << 13,
  kSetUseHWCursor = 1u << 14,
  kSetOverrideSqTex = 1u << 15,
  kSetOverrideCurThreadDef = 1u << 16,
};

// The high-resolution image bits that low memory clears.
inline constexpr uint32_t kSetHiresImageBits = kSetVDBitshires | kSetTbitshires | kSetUbitshires |
                                               kSetUnitbitshires | kSetMapbackhires | kSetMapbasehires;

inline constexpr int kAppModeCount = 5;
using ModeWindowProc = plat::LResult (*)(plat::Window*, uint32_t, plat::WParam, plat::LParam);
using ModeFrameFunc = void (*)();

struct AppObject {
  AppObject();
  ~AppObject();
  AppObject(const AppObject&) = delete;
  AppObject& operator=(const AppObject&) = delete;

  int32_t keyHandle = 0;       // non-zero only while the settings file is being read or written
  uint32_t settingsFlags = 0;  // SettingsFlag bits
  // The twelve number settings, in their order.
  int32_t gamerezx = 0;
  int32_t gamerezy = 0;
  int32_t gamerezbpp = 0;
  int32_t gameadapternum = 0;
  int32_t gamerezref = 0;
  int32_t gamerezaa = 0;
  int32_t soundSimDef = 0;
  int32_t soundMinOverlap = 0;
  int32_t sysACKSlices = 0;
  int32_t sysSleepTurnprocDef = 0;
  int32_t sysSleepSkipDef = 0;
  int32_t sysTimePeriod = 0;
  char languageFile[16] = {};
  char optionsFile[16] = {};
  char saveGamePath[256] = {};
  char pbemGamePath[256] = {};
  char hapsDirectory[16] = {};
  IdleTask* idleTasks = nullptr;  // head node; null when it could not be made
  ModeWindowProc windowProcs[kAppModeCount] = {};
  ModeFrameFunc frameFuncs[kAppModeCount] = {};

  bool Flag(uint32_t bit) const { return (settingsFlags & bit) != 0; }
  void SetFlag(uint32_t bit, bool on) { settingsFlags = on ? (settingsFlags | bit) : (settingsFlags & ~bit); }
};

// The application's mode: it picks the window procedure and the frame
// function. Never mixed with the interface's UiMode.
enum AppMode : int32_t { kModeStartup = 0, kModeGame = 1, kModeNone = 2, kModeFrontEnd = 3, kModeSpare = 4 };

struct PlatformState {
  void* instance = nullptr;
  int32_t active = 0;         // the message loop runs idle frames only while set
  int32_t quitSuppress = 0;   // while set, WM_DESTROY ends no loop and activation is ignored
  int32_t deviceCursor = 0;   // the pointer is the device cursor moved by the cursor thread
  uint8_t programGuid[16] = {};
  int32_t appMode = kModeStartup;  // AppMode
  uint32_t floatControl = 0;  // kept floating-point control word
  char windowTitle[32] = {};
  int32_t showMode = 0;
  void* currentCursor = nullptr;
  void* cursorArrow = nullptr;
  void* cursorBusy = nullptr;
  void* cursorTarget = nullptr;
  void* cursorBlank = nullptr;
  void* fontTable = nullptr;  // the 16-slot bitmap-font table
  plat::Window* mainWindow = nullptr;
  plat::Rect clientRect;      // right and bottom are the screen width and height
  int32_t skip = 0;           // a key or a left click during start-up
  int32_t logEnabled = 0;
  void* logFile = nullptr;
  int32_t logNewFile = 0;
  int32_t restart = 0;
  char logFileName[260] = {};
};

extern AppObject g_app;
extern PlatformState g_platform;
