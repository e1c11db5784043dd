#pragma once
// The window messages that other threads post to the main window, and the
// codes they carry in wParam. The turn thread, the daily steps and the
// network layer post them; the main window's procedure answers them. They
// live under sim/ so that the simulation and the interface share one name
// for each.
#include <cstdint>

inline constexpr uint32_t kWmNetEvent = 0x8000;   // a network notification: wParam a kNetCode
inline constexpr uint32_t kWmNetQueue = 0x8001;   // session messages wait in the network queue
inline constexpr uint32_t kWmTurnEvent = 0x8002;  // the clock or the end of the game: wParam a kTurnCode

// Codes of kWmTurnEvent.
inline constexpr uint32_t kTurnCodeTurnEnd = 1;
inline constexpr uint32_t kTurnCodeDayEnd = 2;  // only in turns of more than one day
inline constexpr uint32_t kTurnCodeElectionLost = 97;  // the local player lost an election in a single game
inline constexpr uint32_t kTurnCodeGameLost = 98;
inline constexpr uint32_t kTurnCodeGameWon = 99;

// Codes of kWmNetEvent; bit 15 of a code pauses the game first.
inline constexpr uint32_t kNetCodePlayerCreated = 3;
inline constexpr uint32_t kNetCodeChat = 4;  // a chat or system line was queued; tested on the low byte
inline constexpr uint32_t kNetCodeSetup = 5;  // the game set-up arrived
inline constexpr uint32_t kNetCodeSlotTable = 6;  // the slot table arrived
inline constexpr uint32_t kNetCodeHostList = 7;  // a host was added or refreshed
inline constexpr uint32_t kNetCodeConnected = 8;  // a connect completed
inline constexpr uint32_t kNetCodePause = 0x8000;
inline constexpr uint32_t kNetCodePlayerLeft = 0x8001;  // lParam the departed player's region
inline constexpr uint32_t kNetCodeSessionEnded = 0x8002;
