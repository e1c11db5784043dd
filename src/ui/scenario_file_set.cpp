#include "ui/scenario_file_set.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/log.h"
#include "app/app_object.h"
#include "platform/paths.h"
#include "platform/status.h"
#include "records/text_field.h"
#include "sim/command_reset.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "world/data_file_io.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/map_header.h"
#include "world/people_file.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "world/unit_class_file.h"
#include "world/scenario_settings.h"
#include "world/scenario_load.h"
#include "world/map_folders.h"
#include "world/text/scenario_def.h"
#include "app/calendar.h"
#include "world/world.h"

namespace {

constexpr size_t kScenarioNameChars = 39;
// The flags the editor clears after any load.
constexpr uint32_t kEditorClearedFlags = 0x1 | 0x10;

}  // namespace

int32_t LoadScenarioFiles(ScreenManager* ui) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  std::string why;
  // A campaign's next scenario was picked, its region group set and its
  // carry-over marked before the files load; reading the definition again
  // must not lose them.
  const uint32_t campaign = w.scenario.head.gameFlags & (kGameFlagCarryOver | kGameFlagCampaign);
  const uint8_t group = w.scenario.head.groupnum;
  const int32_t status = LoadScenarioFileSequence(w, FieldText(w.gameState.scenarioName), &why);
  if (plat::Succeeded(status) && (campaign & kGameFlagCarryOver)) {
    w.scenario.head.gameFlags |= campaign;
    w.scenario.head.groupnum = group;
  }
  // The scenario that opens a campaign is played as its first step.
  if (plat::Succeeded(status) && (w.scenario.campaignFlags & kCampaignStartFlag))
    w.scenario.head.gameFlags |= kGameFlagCampaign;
  if (plat::Failed(status)) LogWrite(g_platform, "Scenario not loaded: %s\n", why.c_str());
  if (ui && ui->mode == kUiMapEditor) w.scenario.head.gameFlags &= ~kEditorClearedFlags;
  return status;
}

bool UsableScenarioName(std::string_view name) {
  if (name.find_first_not_of(' ') == std::string_view::npos) return false;
  // The files go under CUSTOM\ by this name: no folder of its own, no way out.
  return name.find_first_of("/\\:") == std::string_view::npos && name.find("..") == std::string_view::npos;
}

int32_t SaveScenarioFiles(const char* name) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const std::string_view given = name ? std::string_view(name) : std::string_view();
  if (!UsableScenarioName(given)) {
    LogWrite(g_platform, "Scenario not saved: \"%.*s\" is not a name its files can have.\n",
             static_cast<int>(std::min<size_t>(given.size(), 64)), given.data());
    return plat::kFail;
  }
  SetFieldText(w.gameState.scenarioName, given.substr(0, std::min(given.size(), kScenarioNameChars)));
  ResyncCommands(w);
  const std::string saved = FieldText(w.gameState.scenarioName);
  const MapHeader& h = w.mapHeader;
  // The table files go under the names the map header gives them, as the
  // scenario's definition names them; an empty name is read back as
  // "DEFAULT", so it is written as such.
  const auto table = [](const std::string& file) { return file.empty() ? std::string("DEFAULT") : file; };
  struct File {
    std::string path;
    std::vector<uint8_t> bytes;
  };
  // The definition comes last: it is what the editor's Load, the New game
  // list and the runner open, and it names the files before it.
  const std::string definition = EditedScenarioDefText(w, saved);
  File files[] = {{MapWritePath(saved), BuildMapImage(w, false)},
                  {GameWritePath(saved), BuildGameImage(w)},
                  {DataFileWritePath(table(FieldText(h.unitFileName)), ".UNI"), BuildUniImage(w)},
                  {DataFileWritePath(table(FieldText(h.peopleFileName)), ".PPL"), BuildPplImage(w)},
                  {DataFileWritePath(table(FieldText(h.techFileName)), ".TTR"), BuildTtrImage(w)},
                  {DataFileWritePath(table(FieldText(h.terrainFileName)), ".TER"), BuildTerImage(w)},
                  {std::string(ScenarioDirectory(nullptr, InMapEditor())) + saved + ".GMC",
                   std::vector<uint8_t>(definition.begin(), definition.end())}};
  // The set is written whole or not at all: a scenario whose map is new and
  // whose tables are old would open as neither.
  std::vector<plat::FileToWrite> set;
  for (const File& file : files) {
    const size_t slash = file.path.rfind('\\');
    if (slash != std::string::npos) plat::MakeGameDirectories(file.path.substr(0, slash));
    set.push_back(plat::FileToWrite{file.path, file.bytes.data(), file.bytes.size()});
  }
  if (plat::Failed(plat::WriteFilesReplacing(set))) {
    LogWrite(g_platform, "Scenario not saved: its files under \"%s\" could not all be written; none was.\n",
             saved.c_str());
    return plat::kFail;
  }
  return plat::kOk;
}

std::string EditedScenarioDefText(const World& w, const std::string& name) {
  const MapHeader& h = w.mapHeader;
  const ScenarioSettings& current = w.scenario;
  ScenarioSettings s = current;  // shares the texts; only read below
  s.startDay = h.startDay;
  GameDate start;
  start.dayNumber = static_cast<int32_t>(h.startDay);
  DayNumberToDate(start);
  s.head.startyear = start.year;
  const auto named = [](const char* text) { return text && *text && std::string_view(text) != "DEFAULT"; };
  const std::string unitFile = FieldText(h.unitFileName), peopleFile = FieldText(h.peopleFileName),
                    techFile = FieldText(h.techFileName), terrainFile = FieldText(h.terrainFileName);
  ScenarioDefFiles files;
  files.gamfile = name.c_str();
  // A scenario made here has no text of its own yet: one by its own name
  // is the one it would have.
  files.gmtfile = named(current.gmtfile) ? current.gmtfile : name.c_str();
  files.ttrfile = techFile.c_str();
  files.pplfile = peopleFile.c_str();
  files.unifile = unitFile.c_str();
  files.terfile = terrainFile.c_str();
  files.playsetfile = named(current.playsetfile) ? current.playsetfile : "Default";
  return ScenarioDefText(s, g_scenarioGroupings, files);
}
