#pragma once
// The main thread's handlers of the notifications that the network layer and
// the turn thread post to the main window.
#include <cstdint>
#include <string>

#include "platform/messages.h"
#include "app/window_messages.h"

struct ScreenManager;
struct NetSession;

void OnNetEvent4(ScreenManager& ui);
// A player left: unless the interface's network game (networked) leaves it
// to the host or to a human in the slot, the region passes to the computer.
void OnNetEvent8001(bool networked, plat::LParam player);
// A game set-up arrived: a joiner finding a host of another version
// announces it to all and leaves the session.
void ReportVersionMismatch(ScreenManager& ui);
// The announcement alone; true when there was one to make.
bool ReportVersionMismatch(NetSession& session);
// The announcement for the host's packed version (major << 16 | minor << 8
// | build), or empty when it is this program's.
std::string VersionMismatchLine(NetSession& session, uint32_t hostVersion);
// A turn or day ended (codes 1 and 2: the shown screen refreshes; at a
// turn's end the news drains and a paused game offers the next turn), or
// the game ended (97 to 99: the end-of-game pop-up).
void OnAppMessage2(ScreenManager& ui, uint32_t code);
// Whether a finished turn offers the end-of-turn pop-up: the game paused,
// not over, not networked, and the player has not turned the question off.
bool EndTurnPopupWanted(int32_t gameSpeed, uint32_t endReason, bool networked, int32_t noConfirm);
// The end-of-game pop-up a turn code opens, or null: an election lost, a
// game lost (by an election, in a network game, or alone) or won.
const char* EndGameScreen(uint32_t code, uint32_t endReason, bool networked);
