#pragma once
// The in-game menu (GAME): a pop-up over the map that pauses the game and
// shows one page at a time in its OPTIONPAR panel: the buttons, the quit
// question, the save dialog with its quit-now question, and the load dialog.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr int32_t kGameMenuMainPage = 0;
inline constexpr int32_t kGameMenuSavePage = 3;
inline constexpr int32_t kGameMenuLoadPage = 4;
inline constexpr int32_t kGameMenuQuitPage = 9;

// The entries of the "uitext" list these pages show.
inline constexpr int kUiTextQuitQuestion = 12;
inline constexpr int kUiTextQuitNow = 15;

// What the menu does to the running game, in one place so that tests can
// watch the order of the steps. Each defaults to the game's own routine.
struct GameMenuActions {
  void (*pause)() = nullptr;               // the game speed becomes 0
  void (*stopSession)() = nullptr;         // timer and threads stop
  void (*releaseGame)() = nullptr;         // the running game's data is freed
  void (*saveUiOptions)() = nullptr;       // into the current options file
  bool (*loadSave)(const std::string& name) = nullptr;  // into the world; false when it failed
  void (*startLoadedSession)() = nullptr;  // the session starts on the loaded world
  void (*leaveGame)(bool showVictory) = nullptr;
  // False when the file could not be written, with why in `refusal`.
  bool (*saveGame)(const std::string& name, std::string& refusal) = nullptr;
  // Whether the save can be loaded at all: it exists and its header parses.
  bool (*saveReadable)(const std::string& name) = nullptr;
  bool (*fileExists)(const std::string& name) = nullptr;  // the save of that name is on disk
};
extern GameMenuActions g_gameMenuActions;

// A name a save file may carry: not empty, no "..", no path separator or
// drive colon, no control character. Anything else counts as no name.
bool SaveNameUsable(std::string_view name);
// Stores a chosen save name in the game (31 characters and a NUL) and
// counts the save.
void RecordSave(GameState& state, std::string_view name);
// The form a menu page index shows.
const char* GameMenuPageForm(int32_t page);

class GameMenu;

class GameMenuButtons : public Screen {
 public:
  explicit GameMenuButtons(GameMenu& menu);
  void BindControls() override;
  void OnCommand(Control* control, int32_t value) override;

 private:
  GameMenu& menu_;
};

// A question page of the menu, shown in its OPTIONPAR panel: a text of the
// "uitext" list in the questions' light blue over the page's buttons, which
// the page answers.
class MenuQuestion : public Screen {
 public:
  struct Question {
    const char* tag;  // the text box
    int entry;        // of the "uitext" list
    int32_t font;
  };
  MenuQuestion(const char* formName, FormLookups lookups, GameMenu& menu, Question question);
  void BindControls() override;
  void OnOpen() override;

 protected:
  GameMenu& menu_;
  TextBoxControl* text_ = nullptr;

 private:
  Question question_;
};

class QuitConfirm : public MenuQuestion {
 public:
  explicit QuitConfirm(GameMenu& menu);
  void OnCommand(Control* control, int32_t value) override;
};

class QuitNowDialog : public MenuQuestion {
 public:
  explicit QuitNowDialog(GameMenu& menu);
  void OnCommand(Control* control, int32_t value) override;
};

class SaveGameDialog : public Screen {
 public:
  explicit SaveGameDialog(GameMenu& menu);
  void OnOpen() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t value) override;
  void OnControlChange(Control* control, int32_t value) override;

  // The name in the edit field.
  std::string Name() const;
  void SetName(const std::string& name);
  // Waiting for the answer to the overwrite question.
  bool asking = false;

 private:
  void NameChanged();
  void CancelQuestion();
  void Save(const std::string& name);
  std::string SelectedRowText() const;
  GameMenu& menu_;
  ListBoxControl* list_ = nullptr;
  Control* name_ = nullptr;
};

class LoadGameDialog : public Screen {
 public:
  explicit LoadGameDialog(GameMenu& menu);
  void OnOpen() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t value) override;
  void OnControlChange(Control* control, int32_t value) override;

  // The load sequence for the save of that name (empty: none chosen).
  void Load(const std::string& name);

 private:
  GameMenu& menu_;
  ListBoxControl* list_ = nullptr;
  std::vector<std::string> saves_;  // the names listed, row id - 1
};

class GameMenu : public Screen {
 public:
  GameMenu();
  void OnOpen() override;
  int32_t Popup(intptr_t id, const ScreenParameterList* list) override;
  void BindControls() override;

  // Shows the page (a form of this menu's pages) in OPTIONPAR.
  void ShowPage(int32_t page);
  // The question after a save made from the button page.
  void ShowQuitNow();
  // Closes the menu; the game stays paused until the player runs the
  // clock again, whichever way the menu was left.
  void CloseMenu();
  // The menu was opened on its button page, which Cancel returns to.
  bool OpenedOnButtons() const { return id == kGameMenuMainPage; }
  // A file dialog's Cancel: back to the button page when the menu was
  // opened there, else the menu closes.
  void LeavePage();
  // The page shown last, for tests and the frame: its form's name.
  const char* shownPage = nullptr;

  Control* optionPanel = nullptr;
  GameMenuButtons buttons;
  QuitConfirm quitConfirm;
  SaveGameDialog saveDialog;
  QuitNowDialog quitNow;
  LoadGameDialog loadDialog;
};

// Pauses the game and opens the menu on the page; the pop-up's refusal, or 0.
int32_t GameMenuActivate(GameMenu& menu, int32_t page);
