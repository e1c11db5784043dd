#pragma once
// The main thread's handlers of the notifications that the network layer and
// the turn thread post to the main window.
#include <cstdint>

#include "platform/messages.h"
#include "sim/window_messages.h"

struct ScreenManager;

void OnNetEvent4(ScreenManager& ui);
// A player left: unless the interface's network game (networked) leaves it
// to the host or to a human in the slot, the region passes to the computer.
void OnNetEvent8001(bool networked, plat::LParam player);
void ReportVersionMismatch(ScreenManager& ui);
void OnAppMessage2(ScreenManager& ui, uint32_t code);
