#pragma once
// The tutorial window (TUTORIAL1): a saved game played with a script of
// pages. It floats over the paused game screen, one page at a time, and
// each page may act on the game screen as the player would (open a main
// panel, a hex list, the unit pop-up, press named controls) and frame up to
// five controls with red markers. While it is open the keyboard only closes
// it. Window thread only.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

class BitmapControl;
class TutorialStep;

inline constexpr int32_t kTutorialMarkers = 5;
inline constexpr int32_t kTutorialClickTags = 4;

// What a page's action number asks of the game screen.
inline constexpr int32_t kTutorialBackOneLevel = -2;
inline constexpr int32_t kTutorialCloseAll = -1;
inline constexpr int32_t kTutorialFirstPanel = 1;
inline constexpr int32_t kTutorialLastPanel = 8;
inline constexpr int32_t kTutorialHexMenu = 10;
inline constexpr int32_t kTutorialSelect = 11;
inline constexpr int32_t kTutorialSelectAdd = 12;
inline constexpr int32_t kTutorialOrderMenu = 13;
inline constexpr int32_t kTutorialEscape = 14;
inline constexpr int32_t kTutorialUnitPopup = 15;

class TutorialWindow : public Screen {
 public:
  TutorialWindow();
  ~TutorialWindow() override;
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;

  // Builds the page: its window geometry, then the page and each page its
  // auto-advance chain leads to acts on the game screen; the last of them
  // becomes current and is shown with its markers.
  void BuildPage(TutorialStep* page);
  // Back to the page before the current one's chain: the game screen is
  // brought there by playing the script again from the first page.
  void PreviousPage();
  void NextPage();

  TutorialStep* page = nullptr;  // the current page; null while none runs
  Control* backdrop = nullptr;   // the whole screen behind the window, while open
  BitmapControl* markers[kTutorialMarkers] = {};
  TextBoxControl* textBox = nullptr;
  int32_t defaultHeight = 0;
  int32_t textBottomGap = 0;  // from the text box's bottom to the form's
  int32_t buttonTopGap = 0;   // from PREV's top to the form's bottom

 private:
  // The chain's steps 2 to 6 for one page.
  void ActOnGameScreen(TutorialStep* step);
  void KeepHexInSight(const TutorialStep* step);
  void PlaceMarkers(const TutorialStep* step);
  // Moves the window off the marked controls, the page's hex and, where
  // the screen leaves room, what the page opened.
  void StandClear(const TutorialStep* step);
  void PlaceWindow(const TutorialStep* step);
};

bool TutorialWindowOpen(const TutorialWindow& window);

// Once the tutorial game has started: every pop-up closes and the game
// pauses; with a tutorial loaded, the window opens on its first page over
// a backdrop that keeps the game screen from the mouse.
void OpenTutorialPage(TutorialWindow& window);
// TCLOSE and Escape: the window goes and the tutorial game ends for the
// front end. A window shown without a tutorial only closes.
void CloseTutorialWindow(TutorialWindow& window);
// The game stopped: the window leaves the screen and the tutorial's pages
// are freed.
void ReleaseTutorial(TutorialWindow& window);

// Loads the tutorial's pages and its saved game (both named `name`, in
// "Tutorials\") and starts that game; false, with nothing started and no
// pages kept, when either cannot be read.
bool StartTutorial(ScreenManager& ui, const char* name);

// Where the centre of a hex lies on the screen at the view's pan and zoom.
struct TutorialPoint {
  int32_t x = 0;
  int32_t y = 0;
};
TutorialPoint TutorialHexPoint(const MapView& view, int32_t column, int32_t row);
