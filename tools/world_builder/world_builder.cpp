#include "world_builder.h"

#include <cstring>
#include <filesystem>

#include "platform/clock.h"
#include "platform/paths.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/people_file.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "world/text/editor_imports.h"
#include "world/text/player_settings.h"
#include "records/text_field.h"
#include "world/unit_class_file.h"
#include "world/world.h"

namespace worldgen {

namespace {

constexpr const char* kScenarioFiles = "CHANNEL";
constexpr const char* kDefaultFiles = "DEFAULT";
// The aggressiveness field (bits 6 and 7) of the default orders word.
constexpr int kAggressionShift = 6;
constexpr uint32_t kAggressionBits = 3u << kAggressionShift;

// The scenario's first day, 1 March 2010, at midnight: every stamp the
// builder writes.
class BuildClock : public plat::ClockSource {
 public:
  uint64_t MonotonicMs() override { return 0; }
  void SleepMs(uint32_t) override {}
  plat::LocalTime Now() override {
    plat::LocalTime t;
    t.year = 2010;
    t.month = 3;
    t.day = 1;
    return t;
  }
};

// Restores the data root and the clock however the build ends.
class Surroundings {
 public:
  Surroundings() : root_(plat::DataRoot()) { plat::SetClockSource(&clock_); }
  ~Surroundings() {
    plat::SetDataRoot(root_);
    plat::SetClockSource(nullptr);
  }
  Surroundings(const Surroundings&) = delete;
  Surroundings& operator=(const Surroundings&) = delete;

 private:
  BuildClock clock_;
  std::string root_;
};

bool Import(int32_t (*import)(World&, const char*, std::string*), const char* name, std::string& error) {
  return import(g_world, name, &error) >= 0;
}

uint32_t PolicyWord(const PlayerPolicyBlock& b, int i) {
  uint32_t v;
  std::memcpy(&v, reinterpret_cast<const uint8_t*>(&b) + 4 * i, sizeof v);
  return v;
}
void SetPolicyWord(PlayerPolicyBlock& b, int i, uint32_t v) {
  std::memcpy(reinterpret_cast<uint8_t*>(&b) + 4 * i, &v, sizeof v);
}

uint32_t DayNumber(int year, int month, int day) {
  GameDate date{};
  date.year = static_cast<uint16_t>(year);
  date.month = static_cast<uint8_t>(month);
  date.day = static_cast<uint8_t>(day);
  DateToDayNumber(date);
  return date.dayNumber;
}

bool WriteAll(World& w, std::string& error) {
  const struct {
    const char* what;
    plat::Status (*write)(World&, std::string_view);
  } kTables[] = {{"UNI", WriteUniFile}, {"TER", WriteTerFile}, {"TTR", WriteTtrFile}, {"PPL", WritePplFile}};
  if (WriteMapFile(w, kScenarioFiles) < 0 || WriteGamFile(w, kScenarioFiles) < 0) {
    error = "the map or game file cannot be written under " + plat::DataRoot();
    return false;
  }
  for (const auto& table : kTables) {
    for (const char* name : {kScenarioFiles, kDefaultFiles}) {
      if (table.write(w, name) < 0) {
        error = std::string("MAPS\\DATA\\") + name + "." + table.what + " cannot be written under " + plat::DataRoot();
        return false;
      }
    }
  }
  return true;
}

}  // namespace

bool BuildSampleWorld(const std::string& sourceFolder, const std::string& gameFolder, BuildSummary& summary,
                      std::string& error) {
  Surroundings surroundings;
  World& w = g_world;
  plat::SetDataRoot(sourceFolder);

  WorldLayout layout;
  if (!ReadWorldLayout("WORLD", layout, error)) return false;
  GeneratedMap map;
  if (!GenerateMap(layout, map, error)) return false;

  // A new map of the layout's size, named for the scenario's files.
  ResetWorldDataTables(w);
  if (LoadNewWorld(layout.width, layout.height) < 0) {
    error = "a map of " + std::to_string(layout.width) + " x " + std::to_string(layout.height) + " cannot be made";
    return false;
  }
  MapHeader& h = w.mapHeader;
  SetFieldText(h.terrainFileName, kScenarioFiles);
  SetFieldText(h.unitFileName, kScenarioFiles);
  SetFieldText(h.peopleFileName, kScenarioFiles);
  SetFieldText(h.techFileName, kScenarioFiles);
  SetFieldText(h.imageryName, kScenarioFiles);
  SetFieldText(h.mapTitle, "The Narrow Channel");
  SetFieldText(h.gameTitle, kScenarioFiles);
  h.reserved66[1] = 1;  // the map wraps east to west
  h.startDay = DayNumber(2010, 3, 1);
  NewGameData(w);
  // The game starts at the first minute of its first day, so that the first
  // day is played out like every other.
  w.gameState.minutesLeft = 1440;
  w.gameState.weaponRangeBoost = layout.rangeBoost;
  w.gameState.rangeBoostAddend = layout.rangeAddend;

  // The editor's imports, in the order its files panel offers them.
  if (!Import(ImportTerrainCsv, "TERFILE", error) || !Import(ImportUnitsCsv, "VDUNITS", error) ||
      !Import(ImportTechTreeCsv, "TECHTREE", error) || !Import(ImportPeopleCsv, "PPLFILE", error) ||
      !Import(ReadPlayerCsv, kScenarioFiles, error))
    return false;
  // As the editor's region import does: every region starts from the
  // player-settings template "Default" (shipped beside the world's sources),
  // keeping the fourth word of its settings.
  {
    std::filesystem::path source(sourceFolder);
    if (!source.has_filename()) source = source.parent_path();  // a trailing slash
    const std::string settingsRoot = source.parent_path().string();
    uint32_t kept[kMaxPlayers] = {};
    for (int p = 1; p < kMaxPlayers; ++p) kept[p] = PolicyWord(w.players[p].simPolicy, 3);
    plat::SetDataRoot(settingsRoot);
    const int32_t loaded = LoadDefaultPlayerSettings(w, "Default");
    plat::SetDataRoot(sourceFolder);
    if (loaded < 0) {
      error = "the player settings \"Default\" cannot be read under " + settingsRoot;
      return false;
    }
    for (int p = 1; p < kMaxPlayers; ++p) {
      SetPolicyWord(w.players[p].simPolicy, 3, kept[p]);
      SetPolicyWord(w.players[p].displayPolicy, 3, kept[p]);
    }
    // The template leaves each region its own military budget, and the
    // sample's regions have none of their own: they start from the budget
    // the "Default" settings give a player, so that their forces are paid
    // and their research is funded.
    for (const RegionSpec& r : layout.regions) {
      if (r.number < 1 || r.number >= kMaxPlayers) continue;
      for (PlayerPolicyBlock* b : {&w.players[r.number].simPolicy, &w.players[r.number].displayPolicy}) {
        b->milspendsalary = 0.5f;
        b->milspendmaint = 0.5f;
        b->milspendintel = 0.3f;
        b->milspendresearch = 0.3f;
      }
    }
    // A region's own aggressiveness goes into its default orders, which its
    // units take when they are made.
    for (const RegionSpec& r : layout.regions) {
      if (r.aggression < 0 || r.number >= kMaxPlayers) continue;
      for (PlayerPolicyBlock* b : {&w.players[r.number].simPolicy, &w.players[r.number].displayPolicy})
        b->defsetadvorders[1] = (b->defsetadvorders[1] & ~kAggressionBits) |
                                (static_cast<uint32_t>(r.aggression) << kAggressionShift);
    }
  }
  if (w.gameState.highestPlayer != static_cast<int32_t>(layout.regions.size())) {
    error = "the region data names " + std::to_string(w.gameState.highestPlayer) + " regions, the layout " +
            std::to_string(layout.regions.size());
    return false;
  }

  if (!PlaceWorldContents(w, layout, map, summary.placed, error)) return false;

  plat::SetDataRoot(gameFolder);
  if (!WriteAll(w, error)) return false;

  summary.width = layout.width;
  summary.height = layout.height;
  summary.regions = static_cast<int>(layout.regions.size());
  for (uint8_t role : map.role) ++summary.terrainCounts[role];
  summary.rivers = map.riverCount;
  summary.riverHexes = map.riverHexes;
  for (const UnitClassRecord& c : w.unitClasses) summary.unitClasses += c.name[0] ? 1 : 0;
  for (const TechRecord& t : w.techs) summary.technologies += t.category ? 1 : 0;
  for (size_t i = 0; i < kPeopleEntries; ++i) summary.people += w.people[i * kPeopleEntrySize + 40] ? 1 : 0;
  return true;
}

}  // namespace worldgen
