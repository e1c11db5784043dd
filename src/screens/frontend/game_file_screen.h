#pragma once
// The file dialog (load or save a game), opened with its mode as the id:
// what it lists and where it writes the chosen name. The dialog's own
// behaviour is the front end's.
#include <cstdint>
#include <string>

#include "ui/screen.h"

// The dialog's modes.
inline constexpr int32_t kFileDialogLoad = 12;
inline constexpr int32_t kFileDialogSave = 13;

class GameFileScreen : public Screen {
 public:
  GameFileScreen() : Screen("GAME_FILE") {}

  std::string title;
  std::string folder;
  std::string extension;
  std::string* fileName = nullptr;  // the caller's, receives the choice
  int32_t options[2] = {};
};
