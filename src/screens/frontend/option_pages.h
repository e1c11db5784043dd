#pragma once
// The option pages: the player's page with its save, interface, control and
// unit-value pages, the graphics and sound pages with their advanced pages,
// and the restart and reset questions. One set of page objects serves the
// in-game menu (page id 0, in its OPTIONPAR) and the front end's option
// holder (page id 1); the page id decides where Cancel and OK return. Pages
// change nothing until OK, which stores every control of the page and
// rewrites the options file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "screens/frontend/game_menu.h"
#include "ui/screen.h"

class GameMenu;

// Page ids: 0 in a game; any other in the front end.
inline constexpr intptr_t kOptionPageInGame = 0;
inline constexpr intptr_t kOptionPageFrontEnd = 1;
// The menu page numbers of the option pages; the reset question has no
// menu page of its own and goes by the front end's number.
inline constexpr int32_t kOptionPagePlayer = 5;
inline constexpr int32_t kOptionPageGraphics = 6;
inline constexpr int32_t kOptionPageSound = 7;
inline constexpr int32_t kOptionPageRestart = 8;
inline constexpr int32_t kOptionPageReset = 98;

// The entries of "uitext" the questions show.
inline constexpr int kUiTextRestart = 13;
inline constexpr int kUiTextReset = 14;

// What OK does beyond the options record, in one place so that tests can
// watch it. Each defaults to the game's own routine; the two writes say
// whether the file was written.
struct OptionPageActions {
  bool (*saveUiOptions)() = nullptr;     // the whole record into the file "Options File" names
  bool (*saveRegistry)() = nullptr;      // the machine settings
  void (*layoutOverlays)() = nullptr;    // the chat and status overlays take their line counts
  void (*applySideScreens)() = nullptr;  // the side screens follow "sidescreens"
  void (*setSoundVolume)(int32_t muted, int32_t level) = nullptr;
};
extern OptionPageActions g_optionPageActions;

// A check box bound to a 32-bit key of the options record.
struct OptionCheck {
  const char* tag;
  int32_t UiOptions::*key;
  bool inverted;  // checked when the key is 0
};

// A numeric field bound to a 32-bit key, with its step buttons.
struct OptionField {
  const char* tag;
  size_t offset;   // of the key in the options record
  bool isFloat;    // a float key; else a 32-bit integer
  int32_t scale;   // the key holds the shown number times this
  int32_t decimals;
  int32_t downId, upId;
  double step, low, high;
};

// The shown text of a key's value and the value a text stores.
void FormatOptionField(const OptionField& field, const UiOptions& options, char* out, size_t size);
void StoreOptionField(const OptionField& field, const char* text, UiOptions& options);
// One step down or up from the text's number, clamped to the range, as text.
void StepOptionField(const OptionField& field, const char* text, bool up, char* out, size_t size);

// What every page shares: its check boxes and fields, filled on open and
// stored by OK, and where it returns.
class OptionPage : public Screen {
 public:
  OptionPage(const char* formName, FormLookups lookups, std::span<const OptionCheck> checks,
             std::span<const OptionField> fields);
  // Adds the line that says a write failed, which no page's form has.
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t value) override;

  std::span<const OptionCheck> checks;
  std::span<const OptionField> fields;
  // The page's own title where its host shows one.
  const char* title = nullptr;

  // A page opened over this one takes its place in the panel: the edits
  // made here and not yet confirmed are held (every check, text and slider
  // but the button that opened it) and shown again when it returns, so that
  // OK or Cancel here still decides them.
  void HoldEdits(const Control* opener);
  void RestoreEdits();

 protected:
  Control* Find(const char* tag) const;
  bool Checked(const char* tag) const;
  void SetChecked(const char* tag, bool on) const;
  // Stores the page's own controls beyond the tables.
  virtual void Store() {}
  // What OK applies at once, after storing.
  virtual void Apply() {}
  // A button other than OK, Cancel and the step buttons of the fields.
  virtual void OnOtherCommand(Control*) {}
  // Where Cancel and OK go.
  virtual void Return();
  // Writes the machine settings, noting a failure for Commit.
  void SaveRegistry();
  // The common tail of OK: the refresh, the options file, and the return
  // when the OK control's id is 0. When a write failed the page stays,
  // saying so.
  void Commit(const Control* ok);
  // Opens a page of this one in its place, holding this page's edits.
  void OpenSubPage(Screen& page, const Control* opener);
  // What the page keeps beyond its controls, held and restored with them.
  virtual void HoldState() {}
  virtual void RestoreState() {}
  const char* okTag_ = "OKPLAYER";

 private:
  struct HeldControl {
    bool selected;
    std::string text;
    int32_t position;  // a slide bar's, else -1
  };
  std::vector<HeldControl> held_;
  bool holding_ = false;
  bool writeFailed_ = false;
  Control* errorLine_ = nullptr;
};

// A sub-page returns to its parent, which keeps its page id and host.
class OptionSubPage : public OptionPage {
 public:
  OptionSubPage(OptionPage& parent, const char* formName, FormLookups lookups, std::span<const OptionCheck> checks,
                std::span<const OptionField> fields);

 protected:
  void Return() override;
  OptionPage& parent_;
};

class SaveOptions : public OptionSubPage {
 public:
  explicit SaveOptions(OptionPage& parent);
  void OnOpen() override;

 protected:
  void Store() override;
  void OnOtherCommand(Control* control) override;
  void SetChooser(int32_t index) const;
};

class InterfaceOptions : public OptionSubPage {
 public:
  explicit InterfaceOptions(OptionPage& parent);
  void OnOpen() override;

 protected:
  void Store() override;
  void Apply() override;
  bool sideScreensChanged_ = false;
};

class ControlOptions : public OptionSubPage {
 public:
  explicit ControlOptions(OptionPage& parent);
};

class UnitValueOptions : public OptionSubPage {
 public:
  explicit UnitValueOptions(OptionPage& parent);
};

class PlayerOptions : public OptionPage {
 public:
  PlayerOptions();

  SaveOptions saveOptions;
  InterfaceOptions interfaceOptions;
  ControlOptions controlOptions;
  UnitValueOptions unitValueOptions;

 protected:
  void Apply() override;
  void OnOtherCommand(Control* control) override;
};

class AdvancedGraphicsOptions : public OptionSubPage {
 public:
  explicit AdvancedGraphicsOptions(OptionPage& parent);
  void OnOpen() override;

 protected:
  void Store() override;
};

class GraphicsOptions : public OptionPage {
 public:
  GraphicsOptions();
  void OnOpen() override;
  void Refresh() override;

  AdvancedGraphicsOptions advanced;
  // The resolution OK stores, stepped through the display modes.
  int32_t pendingWidth = 0;
  int32_t pendingHeight = 0;

 protected:
  void Store() override;
  void Apply() override;
  void OnOtherCommand(Control* control) override;
  void HoldState() override;
  void RestoreState() override;

 private:
  int32_t heldWidth_ = 0, heldHeight_ = 0;
};

class AdvancedSoundOptions : public OptionSubPage {
 public:
  explicit AdvancedSoundOptions(OptionPage& parent);
  void OnOpen() override;

 protected:
  void Store() override;
};

class SoundOptions : public OptionPage {
 public:
  SoundOptions();
  void OnOpen() override;

  AdvancedSoundOptions advanced;

 protected:
  void Store() override;
  void Apply() override;
  void OnOtherCommand(Control* control) override;
};

// In game only: a note that some choices wait for the next start; OK closes
// the menu and changes nothing.
class RestartConfirm : public MenuQuestion {
 public:
  RestartConfirm();
  void OnCommand(Control* control, int32_t value) override;
};

// Every interface option back to its default; the machine settings stay.
class ResetOptionsConfirm : public MenuQuestion {
 public:
  ResetOptionsConfirm();
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t value) override;

 private:
  Control* errorLine_ = nullptr;
};

struct OptionPages {
  PlayerOptions player;
  GraphicsOptions graphics;
  SoundOptions sound;
  RestartConfirm restart;
  ResetOptionsConfirm reset;
};

// The display modes the graphics page steps through, smallest first.
struct DisplayMode {
  int32_t width, height;
};
std::span<const DisplayMode> DisplayModes();

// Shows a page's title in the front end's option holder when the page is
// shown in its panel; elsewhere nothing.
void ShowOptionPageTitle(const Control* pageHost, const char* pageTitle);
// Goes where a page opened with the page id returns: the in-game menu's
// buttons for 0, the front end's options menu otherwise.
void ShowOptionsHome(intptr_t pageId);
// The option page of a menu page number (5 to 8, or 98), or null.
Screen* OptionPageScreen(int32_t page);
// Shows it in the in-game menu's panel; false for no option page.
bool ShowGameMenuOptionPage(GameMenu& menu, int32_t page);
// The menu page a button of the in-game menu's button page opens; 0 for
// none.
int32_t OptionPageOfMenuButton(const Control* control);
