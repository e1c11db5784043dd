#pragma once
// Where the simulation reaches the interface. Every rule that touches the
// screens (a notification to the main window, a redraw, a screen switch at
// game start or stop, the lobby's progress) goes through this one table of
// calls. The interface installs its own at start-up; without one (the
// headless runner, most tests) each call does nothing and the queries give
// their neutral answer. The interface root is handed through as an opaque
// pointer: the simulation never looks inside it.
#include <atomic>
#include <cstdint>

struct ScreenManager;

struct SimUiLink {
  // Window message 0x8002 with a turn code (1 turn, 2 day, 97, 98, 99) to the
  // main window. Called from the turn thread; must only post.
  void (*postTurnEvent)(uint32_t code) = nullptr;
  // The day period changed: the clock and the map's light need a redraw.
  // Turn thread.
  void (*requestRedraw)() = nullptr;
  // Plays an interface sound by number (the timed turn's end); turn thread.
  void (*playUiSound)(int number) = nullptr;

  // Log-on, main thread: ends text entry and map placement, clears the
  // selection, folds the docked panels, closes the floating pop-up and drops
  // capture and focus.
  void (*resetInterfaceForGame)(ScreenManager* ui) = nullptr;
  // The lobby's loading progress changed: the lobby and the frame refresh.
  void (*refreshLobby)(ScreenManager* ui) = nullptr;
  // Empties the chat queue, the deferred actions and the per-game lists.
  void (*clearGameQueues)(ScreenManager* ui) = nullptr;
  // Loads the map's bitmap sets and runs the game-start hook; the loader's
  // status, 0 when there is no interface.
  int32_t (*loadGameImages)(ScreenManager* ui) = nullptr;
  // The 250 ms window timer of a running game.
  void (*startGameTimer)(ScreenManager* ui) = nullptr;
  void (*stopGameTimer)(ScreenManager* ui) = nullptr;
  // A chat line on a channel (log-on's "Log On" / "Log Off").
  void (*submitChatLine)(const char* text, int channel) = nullptr;
  // The speed controls of the game screen show the current speed again.
  void (*refreshSpeedControls)() = nullptr;

  // Game start: the briefing screen opens (joining players skip it), its
  // progress moves, the frame bars switch to the game, the current form is
  // redrawn at the end.
  void (*openBriefing)(ScreenManager* ui) = nullptr;
  void (*briefingProgress)(ScreenManager* ui, int32_t value) = nullptr;
  void (*showGameFrameBars)(ScreenManager* ui) = nullptr;
  void (*finishGameStart)(ScreenManager* ui, bool joined) = nullptr;
  // A campaign game saved from the victory screen opens straight on it.
  void (*openVictoryFromSave)(ScreenManager* ui) = nullptr;
  // Reads the chosen scenario's files; negative on failure.
  int32_t (*loadScenarioFiles)(ScreenManager* ui) = nullptr;
  // Joining: music stops, the interface enters the game, the profile
  // choices, and in a network game the waiting room.
  void (*enterGame)(ScreenManager* ui) = nullptr;
  void (*openWaitingRoom)(ScreenManager* ui) = nullptr;
  // The interface follows a new local player (restart: reset it first;
  // show: the turn screens and the map centred on its home).
  void (*followLocalPlayer)(ScreenManager* ui, int32_t player, bool restart, bool show) = nullptr;

  // Stopping: capture, focus and text entry dropped; the game's textures,
  // sounds and lists freed; the tutorial deleted. The mode words change.
  void (*stopGameInterface)(ScreenManager* ui) = nullptr;
  // Leaving for the front end: pop-ups closed before the stop; after it the
  // options file, the front-end screens (or the victory screen) and, when
  // the command line asked for one game only, the program's end.
  void (*closeGameScreens)(ScreenManager* ui) = nullptr;
  void (*showFrontEnd)(ScreenManager* ui, bool showVictory) = nullptr;
  // The network session closes and is set up again without a lobby.
  void (*resetNetSession)() = nullptr;

  // The interface's mode word (0 map editor, 1 front end, 2 in a game).
  // Any thread; reads one word.
  int32_t (*uiMode)() = nullptr;
  // Units changed where the screens show them: one deployed, destroyed,
  // unloaded or moved into the reserve. Turn thread; must only set a flag.
  void (*unitsChanged)() = nullptr;
  // A unit was lost or hit at a hex: an animated effect at its place in the
  // hex (map view, pixel offsets, first frame, frames, milliseconds a frame,
  // colour, scale). Turn thread; must only queue.
  void (*addMapEffect)(uint32_t position, int32_t view, int32_t offsetX, int32_t offsetY, int32_t firstFrame,
                       int32_t frames, int32_t frameMs, uint32_t colour, float scale) = nullptr;
  // A military event's sound, by the class's sound number. Turn thread.
  void (*playMilitarySound)(int32_t number) = nullptr;
  // The hexes the map shows (first column, first row, last column, last
  // row); false when no map is shown. Read on the turn thread.
  bool (*visibleHexRange)(int16_t range[4]) = nullptr;
  // A unit fired at the hex: the muzzle flash at the target's pixel offset
  // and the class's fire sound. Turn thread; must not block.
  void (*unitFired)(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound) = nullptr;
  // A unit was destroyed by fire where the local side sees it: the
  // explosion at its pixel offset and its class's destruction sound. Turn
  // thread; must not block.
  void (*unitDestroyedByFire)(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound) = nullptr;
};

extern SimUiLink g_simUi;

// The interface root of the running game (log-on sets it; null without an
// interface).
extern ScreenManager* g_simUiRoot;

// Sends a turn code to the main window when an interface is installed.
void PostTurnEvent(uint32_t code);

// The interface's mode word. Without an interface (the headless runner) the
// simulation is in a game: 2.
inline constexpr int32_t kSimUiMapEditor = 0;
inline constexpr int32_t kSimUiFrontEnd = 1;
inline constexpr int32_t kSimUiInGame = 2;
int32_t SimUiMode();
// Tells the interface that units changed where it shows them.
void NotifyUnitsChanged();
// The calls above for the unit simulation; each does nothing without an
// interface.
void AddMapEffect(uint32_t position, int32_t view, int32_t offsetX, int32_t offsetY, int32_t firstFrame,
                  int32_t frames, int32_t frameMs, uint32_t colour, float scale);
void PlayMilitarySound(int32_t number);
// Whether the position lies inside the map's visible hex range.
bool HexInVisibleRange(uint32_t position);
// The two combat events, when an interface is installed.
void NotifyUnitFired(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound);
void NotifyUnitDestroyedByFire(uint32_t hex, int32_t pixelX, int32_t pixelY, int sound);

// The screen flash of a special weapon's strike: when it began (the
// platform's millisecond tick) and how strong it is. The turn thread writes
// them, the map view reads them each frame.
extern std::atomic<uint32_t> g_screenFlashStart;
extern std::atomic<uint32_t> g_screenFlashStrength;
// Starts a flash of that strength now.
void SetScreenFlash(uint32_t strength);
