#include "editor/editor_autosave.h"

#include <string>

#include "editor/editor_palette.h"
#include "platform/clock.h"
#include "records/text_field.h"
#include "sim/safe_file_name.h"
#include "sim/simulation_lock.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/world.h"

void EditorAutosave(ScreenManager&, int32_t force) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const uint32_t now = plat::TickCount();
  uint32_t& last = g_editorPalette.autosaveStart;
  // The elapsed time, not "last > now - interval": the tick starts at 0, and
  // the difference stays right across its wrap.
  if (force == 0 && now - last < kEditorAutosaveMs) return;
  if (force == 0) {
    // The scenario name is the user's: it must not lead the file out of
    // the backups folder.
    const std::string base = "BACKUPS\\AUTOSAVE" + SafeFileNamePart(FieldText(g_world.gameState.scenarioName));
    WriteMapFile(g_world, base);
    WriteGamFile(g_world, base);
  }
  last = now;
}
