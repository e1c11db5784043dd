#pragma once
// The file dialog (load or save a game, or the editor's scenario files),
// opened with its mode as the id: what it lists, where it writes the chosen
// name and what it does with it once confirmed.
#include <cstdint>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// The dialog's modes.
inline constexpr int32_t kFileDialogLoad = 12;
inline constexpr int32_t kFileDialogSave = 13;

// What a confirmed choice does (the first option word): the front end
// starts the saved game; the editor reads the scenario (10) or saves it
// under the name (11). Any other value only hands the name back.
inline constexpr int32_t kFileActionStartSaved = 1;
inline constexpr int32_t kFileActionLoadScenario = 10;
inline constexpr int32_t kFileActionSaveScenario = 11;
// The error line of a scenario save that failed.
inline constexpr const char* kScenarioNotSaved = "The scenario could not be saved.";

class GameFileScreen : public Screen {
 public:
  GameFileScreen();
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  // Takes the name as chosen and runs the dialog's action; false (the
  // dialog stays open) when the name is unusable or the action failed.
  bool Confirm(const std::string& name);
  // The error line's text, on the dialog as it is open.
  void ShowFailure(const char* text);

  std::string title;
  std::string folder;
  std::string extension;
  std::string* fileName = nullptr;  // the caller's, receives the choice
  int32_t options[2] = {};
  std::vector<std::string> files;  // the names listed, row id - 1

 private:
  // What the error line says when the action fails.
  const char* FailureText() const;
  ListBoxControl* list_ = nullptr;
};

// A file name typed or picked in a dialog is usable when it is not empty and
// stays in its folder: no "..", no path separator or drive colon, no
// control character.
bool UsableFileName(const std::string& name);
