#include "screens/frontend/front_end_flow.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "app/app_object.h"
#include "app/calendar.h"
#include "app/gfx/fonts.h"
#include "platform/paths.h"
#include "platform/status.h"
#include "records/text_field.h"
#include "screens/frontend/game_file_screen.h"
#include "sim/game_start.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/list_control.h"
#include "ui/map_folders.h"
#include "ui/scroller.h"
#include "ui/text_fit.h"
#include "world/game_file.h"
#include "world/player_names.h"
#include "world/game_state.h"
#include "world/post_load.h"
#include "world/save_header.h"
#include "sim/save_file.h"
#include "world/scenario_settings.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/world.h"

namespace {

constexpr const char* kScenarioFolder = "Scenario\\";
constexpr const char* kCustomFolder = "CUSTOM\\";
constexpr const char* kDefinitionExtension = ".GMC";

const char* Language() { return g_app.languageFile[0] ? g_app.languageFile : "LOCALEN"; }

// The title a scenario's text gives it, read aside so that the world's
// scenario stays as it is.
std::string ScenarioTitle(const char* folder, const std::string& file) {
  ScenarioSettings settings{};
  InitScenarioSettings(settings);
  auto groupings = std::make_unique<ScenarioGroupings>();
  std::string title = file;
  if (LoadScenarioDef(settings, *groupings, folder, file.c_str(), false) >= 0) {
    auto text = std::make_unique<ScenarioText>();
    if (LoadScenarioText(*text, settings, *groupings, Language(), file.c_str()) >= 0 && text->scenarioName.get() &&
        *text->scenarioName.get())
      title = text->scenarioName.c_str();
  }
  ReleaseScenarioSettings(settings);
  return title;
}

}  // namespace

std::string SaveListRow(const std::string& name) {
  // Only the header and the game state are read: a list of saves opens at
  // once whatever their size, and one far too large to load still lists.
  const std::string path = SaveGamePath(name);
  const auto size = plat::GameFileSize(path);
  const auto head = plat::ReadFileRange(path, 0, sizeof(SaveHeader));
  if (!size || !head || head->size() < sizeof(SaveHeader) || *size < kSaveHeaderBlock) return name;
  SaveHeader header;
  std::memcpy(&header, head->data(), sizeof header);
  // The game part starts with the game state; a file of another version
  // or cut short says nothing more.
  const uint64_t at = header.gamePartOffset;
  if (header.size != kSaveHeaderSize || header.version != kSaveVersion || at < kSaveHeaderBlock ||
      at + sizeof(GameState) > header.mapPartOffset || header.mapPartOffset > *size)
    return name;
  const auto stateBytes = plat::ReadFileRange(path, at, sizeof(GameState));
  if (!stateBytes || stateBytes->size() < sizeof(GameState)) return name;
  GameState state;
  std::memcpy(&state, stateBytes->data(), sizeof state);
  const std::string scenario = FieldText(state.scenarioName);
  if (state.version != kGameVersion || scenario.empty() || !UsableFileName(scenario)) return name;
  GameDate date;
  date.dayNumber = static_cast<int32_t>(state.currentDay);
  DayNumberToDate(date);
  char day[32];
  FormatDateShort(date, day);
  // An autosave is named after its scenario already: the title once is
  // enough, and leaves the row room for its date.
  const std::string title = ScenarioTitle(kScenarioFolder, scenario);
  if (!title.empty() && name.find(title) != std::string::npos) return name + ", " + day;
  return name + " - " + title + ", " + day;
}

void AddSaveListRow(ListBoxControl* list, const std::string& name, int32_t id) {
  auto* row = static_cast<ListTextRow*>(ListAddString(list, SaveListRow(name).c_str(), id, id, 0, 0, 0));
  if (!row) return;
  // The room beside the scroll bar, which a long list shows.
  const int32_t room = Width(list) - Width(list->scroller) - 1;
  int32_t lineWidth = 0, lineHeight = 0;
  if (TextWidth(row->Font(), row->text) <= room ||
      plat::Failed(MeasureText(row->Font(), "A", &lineWidth, &lineHeight)))
    return;
  row->flags |= kCtlMultiLine;
  row->rect.bottom += lineHeight;
}

std::vector<ScenarioEntry> ListScenarios(bool custom) {
  std::vector<ScenarioEntry> out;
  const std::string ext = kDefinitionExtension;
  for (const bool fromCustom : {false, true}) {
    if (fromCustom && !custom) break;
    const char* folder = fromCustom ? kCustomFolder : kScenarioFolder;
    const size_t first = out.size();
    for (const std::string& name : plat::ListGameDirectory(folder, "*" + ext, true)) {
      if (name.size() <= ext.size()) continue;
      const std::string file = name.substr(0, name.size() - ext.size());
      out.push_back({file, ScenarioTitle(folder, file), fromCustom});
    }
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
              [](const ScenarioEntry& a, const ScenarioEntry& b) { return a.title < b.title; });
  }
  return out;
}

void FillScenarioList(ListBoxControl* list, const std::vector<ScenarioEntry>& scenarios) {
  ListClear(list, 1);
  int32_t id = 0;
  for (const ScenarioEntry& entry : scenarios) {
    ++id;
    ListAddString(list, entry.title.c_str(), id, id, 0, 0, 0);
  }
  ListLayoutRows(list);
}

bool ReadScenarioForChoice(World& world, const ScenarioEntry& entry) {
  // The loader reads the definition and the scenario's files from where
  // the switch says, now and when the game starts.
  g_mapFolders.customScenario = entry.custom;
  // A scenario without a text of its own goes by its file name.
  (void)AfterLoadStep(world, entry.file.c_str());
  if (!world.scenario.gamfile || !*world.scenario.gamfile) return false;
  return plat::Succeeded(ReadGamFile(world, world.scenario.gamfile));
}

std::vector<RegionEntry> ListRegions(const World& world) {
  std::vector<RegionEntry> out;
  const int preset = world.scenario.head.groupnum;
  const ScenarioGrouping* grouping =
      preset >= 1 && preset <= kMaxGroupings ? &g_scenarioGroupings.groupings[preset] : nullptr;
  const int32_t highest = std::min<int32_t>(world.gameState.highestPlayer, kMaxPlayers - 1);
  for (int32_t p = 1; p <= highest; ++p) {
    const PlayerRecord& record = world.players[p];
    const bool inPlay = grouping ? grouping->entries[p].mask != 0 : TakesPart(record);
    // A region that holds no hex is out of the game on its first day: the
    // game would end before the player saw it.
    if (inPlay && record.hexCount > 0) out.push_back({p, LookupLocalizedName(world, record)});
  }
  return out;
}

void StartNewGame(ScreenManager& ui, const std::string& file, int32_t region) {
  {
    // Not held into the start, which stops a running game's threads first.
    plat::CriticalSectionLock lock(g_simulationLock);
    World& world = g_world;
    world.campaignMessage.flags &= ~kGameParamsSavedGame;
    SetFieldText(world.gameState.scenarioName, file);
    world.gameState.localPlayer = region;
  }
  StartGameSession(&ui, 0, 0, 0);
}

bool StartSavedGame(ScreenManager& ui, const std::string& name) {
  {
    // Not held into the start, which stops a running game's threads first.
    plat::CriticalSectionLock lock(g_simulationLock);
    World& world = g_world;
    GameParamsBlock& params = world.campaignMessage;
    // The set-up block carries the name as peers see it; a longer name would
    // load another file.
    if (name.empty() || name.size() >= sizeof params.name) return false;
    g_mapFolders.customScenario = false;
    // The loader reads and judges the file; here only that there is one.
    const auto size = plat::GameFileSize(SaveGamePath(name));
    if (!size || *size == 0) return false;
    SetFieldText(params.name, name);
    params.flags |= kGameParamsSavedGame;
  }
  StartGameSession(&ui, 0, 0, 0);
  return true;
}
