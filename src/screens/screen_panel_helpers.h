#pragma once
// The panel helpers that reach a screen of the set: the file dialog that
// several screens and a hotkey open, and the current class the panels show.
// The toolkit's own helpers are in ui/panel_helpers.h.
#include <cstdint>
#include <string>

class GameFileScreen;
struct UnitClassRecord;

// Sets the file dialog up (title, extension, folder, where the chosen name
// goes, its two options) and opens it with the mode (load or save).
void OpenFileDialog(const char* title, const char* extension, const char* folder, GameFileScreen* dialog,
                    int32_t mode, std::string* fileName, int32_t option1, int32_t option2);
// The screen set's current class becomes that of the selected hex's
// visible unit (none when there is none); returns it.
const UnitClassRecord* SelectedUnitClass();
