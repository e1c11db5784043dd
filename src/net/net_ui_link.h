#pragma once
// What the network layer needs of the interface: a sound, the in-game chat
// window, the lobby screen and the program's end. The interface installs
// the calls; without them (the headless runner, tests) nothing is shown.
#include <cstdint>

struct ScreenManager;

// The lobby's modes when a session starts from the command line.
inline constexpr int32_t kLobbyModeHost = 2;
inline constexpr int32_t kLobbyModeJoin = 3;

struct NetUiLink {
  void (*playUiSound)(ScreenManager* ui, int32_t number) = nullptr;
  // The in-game chat window, when it is shown: its list emptied and filled
  // again with the queued lines (FormatChatLine with its row template).
  void (*refillGameChat)(ScreenManager* ui) = nullptr;
  // Opens the lobby screen in the mode.
  void (*openLobby)(ScreenManager* ui, int32_t mode) = nullptr;
  // The network role the command line asked for: 0 none, 1 host, 2 client.
  int32_t (*commandLineRole)(ScreenManager* ui) = nullptr;
  // A command-line session failed: the music stops and the program ends.
  void (*endProgram)(ScreenManager* ui) = nullptr;
  // A turn or a day ended: the current screen refreshes and redraws.
  void (*refreshScreen)(ScreenManager* ui) = nullptr;
  // Opens a pop-up screen by its form's name, keeping its identifier.
  void (*openPopup)(ScreenManager* ui, const char* form) = nullptr;
};

extern NetUiLink g_netUi;
