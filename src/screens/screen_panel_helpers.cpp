#include "screens/screen_panel_helpers.h"

#include "screens/frontend/game_file_screen.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "world/unit_class.h"
#include "world/object_hex.h"
#include "world/world.h"

void OpenFileDialog(const char* title, const char* extension, const char* folder, GameFileScreen* dialog,
                    int32_t mode, std::string* fileName, int32_t option1, int32_t option2) {
  if (!dialog) return;
  dialog->title = title ? title : "";
  dialog->extension = extension ? extension : "";
  dialog->folder = folder ? folder : "";
  dialog->fileName = fileName;
  dialog->options[0] = option1;
  dialog->options[1] = option2;
  dialog->Popup(mode, nullptr);
}

const UnitClassRecord* SelectedUnitClass() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const uint32_t index = w.gameState.currentHex.cellIndex;
  const HexCell* cell = index < w.cells.size() ? &w.cells[index] : nullptr;
  const int32_t cls = VisibleLeadClass(w, cell);
  g_screens.currentClass = cls ? ClassRecordAt(w, cls) : nullptr;
  return g_screens.currentClass;
}
