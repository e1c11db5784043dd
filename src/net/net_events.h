#pragma once
// The main thread's handlers of the notifications that the network layer and
// the turn thread post to the main window.
#include <cstdint>

#include "platform/messages.h"

struct ScreenManager;

// Notification codes of window message 0x8000.
inline constexpr uint32_t kNetCodeChat = 4;
inline constexpr uint32_t kNetCodeSetup = 5;
inline constexpr uint32_t kNetCodePlayerLeft = 0x8001;
inline constexpr uint32_t kNetCodeSessionEnded = 0x8002;
inline constexpr uint32_t kNetCodePause = 0x8000;  // bit 15: pause the game first

void OnNetEvent4(ScreenManager& ui);
// A player left: unless the interface's network game (networked) leaves it
// to the host or to a human in the slot, the region passes to the computer.
void OnNetEvent8001(bool networked, plat::LParam player);
void ReportVersionMismatch(ScreenManager& ui);
void OnAppMessage2(ScreenManager& ui, uint32_t code);
