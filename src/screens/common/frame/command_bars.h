#pragma once
// The command bars of the main screen: the main-panel buttons in the dock
// (CMDBAR), the speed bar floating over the map's lower left (CMDBAR2), the
// mail bar at its lower right (CMDBAR3), and where a main panel's form goes
// when it opens: docked in the bottom bar or laid out full size.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// The main-panel buttons; the id is the button of the open panel.
class CmdBar : public Screen {
 public:
  CmdBar() : Screen("CMDBAR", FormLookups{.tags = {}, .ids = kIds}) {}
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  // A double-click: panels 2 to 9 switch the full-size layout and open.
  void OnActivate(Control* control, int32_t id) override;

  int32_t dockedPanelMarker = 0;  // a docked panel is open under the bar
  int32_t formHeight = 0;

 private:
  static constexpr int32_t kIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
};

// Bit 0 of CmdBar2::flags: the end-turn button shows.
inline constexpr uint32_t kSpeedBarEndTurnShown = 0x1;

// The speed, help, chat and reload-turn buttons, and the end-turn button of
// turn-by-turn play.
class CmdBar2 : public Screen {
 public:
  CmdBar2() : Screen("CMDBAR2", FormLookups{.tags = kTags, .ids = kIds}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  int32_t formHeight = 0;
  Control* speeds = nullptr;   // TCSPEED
  Control* endTurn = nullptr;  // ETREADY
  uint32_t flags = 0;

 private:
  static constexpr const char* kTags[] = {"TCSPEED", "ETREADY"};
  static constexpr int32_t kIds[] = {1, 2, 3, 4, 5, 6, 7};
};

// The mail button; the id is 1 while the mail window is open beside the map.
class CmdBar3 : public Screen {
 public:
  CmdBar3() : Screen("CMDBAR3", FormLookups{.tags = kTags, .ids = kIds}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  int32_t formHeight = 0;
  Control* mailFlag = nullptr;  // EMAILFLAG
  Control* mid = nullptr;       // MID

 private:
  static constexpr const char* kTags[] = {"EMAILFLAG", "MID"};
  static constexpr int32_t kIds[] = {11};
};

// Non-zero while main panels open full size; a double-click on the panel
// buttons complements it, a panel opening docked clears it.
extern int32_t g_fullPanelMode;

// One byte per main panel 1 to 9 (index 0 unused), cleared each time the
// panel opens.
inline constexpr uint8_t kPanelFlagMarked = 0x1;    // set by the panels' own code
inline constexpr uint8_t kPanelFlagNoCabinet = 0x2;  // opening docked shows no cabinet
inline constexpr uint8_t kPanelFlagKeepDepth = 0x4;  // opening docked leaves the dock's depth
extern uint8_t g_panelFlags[10];

// What the bars reach of screens that land with other parts of the game.
struct CommandBarLinks {
  // Shows the cabinet of a department (0 to 5) in the host.
  void (*showCabinet)(int32_t department, Control* host) = nullptr;
  // Shows the game's screens afresh after a saved game was loaded.
  void (*resetScreenStack)(int32_t flag) = nullptr;
};
extern CommandBarLinks g_commandBarLinks;

// Selects the speed bar's button of the tier (id tier + 1 in TCSPEED).
void HighlightChildById(int32_t tier);

// Whether the mail bar shows: never with the side screens; otherwise not
// once the mail window and the dock's open levels together reach 3 at 800
// pixels wide, or 4 up to 1024; always above 1024.
bool MailBarShown(bool sideScreens, int32_t screenWidth, int32_t mailOpen, int32_t panelDepth);
// Shows or hides the mail bar's form by the rule above.
void UpdatePopupButton(CmdBar3& bar);

// Places a main panel's form when it opens: full size (2) when the
// full-size mode is on and the panel has a full-size form; else docked in
// the bottom bar, with the department's cabinet beside it when a minister
// holds the seat (0), or without (1; 0 for panels that have no cabinet).
int32_t OpenChildPopup(Screen& panel, int32_t panelNumber);

// Installs the speed bar's refresh as the simulation's speed-controls hook.
void InstallCommandBarHooks();
