#pragma once
// The main thread's handlers of the notifications that the network layer and
// the turn thread post to the main window.
#include <cstdint>
#include <string>

#include "platform/messages.h"
#include "sim/window_messages.h"

struct ScreenManager;
struct NetSession;

void OnNetEvent4(ScreenManager& ui);
// A player left: unless the interface's network game (networked) leaves it
// to the host or to a human in the slot, the region passes to the computer.
void OnNetEvent8001(bool networked, plat::LParam player);
// A game set-up arrived: a host of another version is announced to all.
void ReportVersionMismatch(ScreenManager& ui);
void ReportVersionMismatch(NetSession& session);
// The announcement for the host's packed version (major << 16 | minor << 8
// | build), or empty when it is this program's.
std::string VersionMismatchLine(NetSession& session, uint32_t hostVersion);
void OnAppMessage2(ScreenManager& ui, uint32_t code);
// The end-of-game pop-up a turn code opens, or null: an election lost, a
// game lost (by an election, in a network game, or alone) or won.
const char* EndGameScreen(uint32_t code, uint32_t endReason, bool networked);
