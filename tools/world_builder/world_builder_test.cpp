#include "world_builder.h"

#include "bench_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "platform/clock.h"
#include "platform/paths.h"
#include "support/temp_dir.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "sheets.h"
#include "world/game_file.h"
#include "world/hex_extra.h"
#include "world/map_file.h"
#include "world/people_file.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "records/text_field.h"
#include "world/unit_class_file.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/world.h"

namespace {

namespace fs = std::filesystem;
using worldgen::BuildSummary;

const char* const kFiles[] = {"MAPS/CHANNEL.MAP",      "MAPS/CHANNEL.GAM",      "MAPS/DATA/CHANNEL.UNI",
                              "MAPS/DATA/CHANNEL.TER", "MAPS/DATA/CHANNEL.TTR", "MAPS/DATA/CHANNEL.PPL",
                              "MAPS/DATA/DEFAULT.UNI", "MAPS/DATA/DEFAULT.TER", "MAPS/DATA/DEFAULT.TTR",
                              "MAPS/DATA/DEFAULT.PPL"};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int RunBuilder(const std::string& source, const std::string& game) {
  const std::string command = std::string("\"") + VD_WORLD_BUILDER_EXE + "\" \"" + source + "\" \"" + game + "\" > \"" +
                              game + "/out.txt\" 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The builder's clock, for writing the read world back.
class BuildDayClock : public plat::ClockSource {
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

TEST(WorldBuilder, TwoBuildsWriteTheSameBytes) {
  TempDir first, second;
  ASSERT_EQ(RunBuilder(VD_WORLD_SOURCE_DIR, first.path()), 0) << Slurp(first.path() + "/out.txt");
  ASSERT_EQ(RunBuilder(VD_WORLD_SOURCE_DIR, second.path()), 0) << Slurp(second.path() + "/out.txt");
  for (const char* file : kFiles) {
    const std::string a = Slurp(fs::path(first.path()) / file);
    ASSERT_GT(a.size(), 1000u) << file;
    EXPECT_TRUE(a == Slurp(fs::path(second.path()) / file)) << file;
  }
  // The default tables are the scenario's.
  EXPECT_TRUE(Slurp(fs::path(first.path()) / "MAPS/DATA/CHANNEL.UNI") ==
              Slurp(fs::path(first.path()) / "MAPS/DATA/DEFAULT.UNI"));
}

TEST(WorldBuilder, ABadSourceLineStopsTheBuildAndNamesIt) {
  TempDir source, game;
  for (const auto& entry : fs::directory_iterator(fs::path(VD_WORLD_SOURCE_DIR) / "CUSTOM")) {
    std::string text = Slurp(entry.path());
    if (entry.path().filename() == "TECHTREE.CSV") {
      const size_t at = text.find("Crop Rotation");
      ASSERT_NE(at, std::string::npos);
      text.replace(text.find(",50,", at), 4, ",fifty,");
    }
    source.Write("CUSTOM/" + entry.path().filename().string(), text);
  }
  EXPECT_EQ(RunBuilder(source.path(), game.path()), 1);
  const std::string out = Slurp(game.path() + "/out.txt");
  EXPECT_NE(out.find("CUSTOM\\TECHTREE.CSV line 6: column 6 (research cost): \"fifty\" is not a number"),
            std::string::npos)
      << out;
  EXPECT_FALSE(fs::exists(fs::path(game.path()) / "MAPS/CHANNEL.MAP"));
}

class SampleWorld : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    std::string error;
    summary_ = new BuildSummary;
    ok_ = worldgen::BuildSampleWorld(VD_WORLD_SOURCE_DIR, dir_->path(), *summary_, error);
    error_ = error;
  }
  static void TearDownTestSuite() {
    delete dir_;
    delete summary_;
  }
  void SetUp() override {
    ASSERT_TRUE(ok_) << error_;
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_->path());
    plat::SetClockSource(&clock_);
  }
  void TearDown() override {
    plat::SetDataRoot(oldRoot_);
    plat::SetClockSource(nullptr);
  }

  // The world read back through the game's readers, in the scenario
  // loader's order.
  static std::unique_ptr<World> Load() {
    auto w = std::make_unique<World>();
    ResetWorldDataTables(*w);
    EXPECT_EQ(ReadGamFile(*w, "CHANNEL"), 0);
    EXPECT_EQ(ReadMapFile(*w, "CHANNEL"), 0);
    EXPECT_EQ(ReadUniFile(*w, "CHANNEL"), 0);
    EXPECT_EQ(ReadPplFile(*w, "CHANNEL"), 0);
    EXPECT_EQ(ReadTtrFile(*w, "CHANNEL"), 0);
    EXPECT_EQ(ReadTerFile(*w, "CHANNEL"), 0);
    return w;
  }

  static TempDir* dir_;
  static BuildSummary* summary_;
  static bool ok_;
  static std::string error_;
  BuildDayClock clock_;
  std::string oldRoot_;
};

TempDir* SampleWorld::dir_ = nullptr;
BuildSummary* SampleWorld::summary_ = nullptr;
bool SampleWorld::ok_ = false;
std::string SampleWorld::error_;

TEST_F(SampleWorld, LoadsThroughTheGameReadersWithItsVariety) {
  auto w = Load();
  EXPECT_EQ(w->mapHeader.width, 160);
  EXPECT_EQ(w->mapHeader.height, 80);
  EXPECT_EQ(w->mapHeader.reserved66[1], 1);  // wraps east to west
  EXPECT_EQ(FieldText(w->mapHeader.terrainFileName), "CHANNEL");
  ASSERT_EQ(w->cells.size(), 160u * 80u);

  // Terrain: every kind the generator knows is on the map.
  std::map<std::string, int> terrains;
  std::set<int> owners;
  for (const HexCell& cell : w->cells) {
    const auto* name = reinterpret_cast<const char*>(w->terrains[static_cast<size_t>(CellTerrain(cell.word))].bytes + 100);
    ++terrains[std::string(name, strnlen(name, 16))];
    owners.insert(CellOwner(cell.word));
  }
  for (const char* kind : {"Deep Ocean", "Coastal Waters", "Lake", "Plains", "Grassland", "Forest", "Hills", "Mountains",
                           "Desert", "Tundra", "Polar Ice", "River Valley"})
    EXPECT_GE(terrains[kind], 2) << kind;
  EXPECT_GT(terrains["Deep Ocean"] + terrains["Coastal Waters"], 160 * 80 / 4);
  EXPECT_GT(terrains["Plains"] + terrains["Grassland"] + terrains["Forest"], 160 * 80 / 8);
  EXPECT_EQ(terrains.count(""), 0u);  // no hex without a terrain
  EXPECT_GE(summary_->rivers, 5);

  // Regions: the world supplier and nine led regions, each holding land.
  EXPECT_EQ(w->gameState.highestPlayer, 9);
  EXPECT_EQ(w->players[0].kind, kKindWorld);
  EXPECT_EQ(w->players[1].kind, kKindHuman);
  for (int p = 1; p <= 9; ++p) {
    const PlayerRecord& r = w->players[p];
    if (p > 1) {
      EXPECT_EQ(r.kind, kKindComputer) << p;
    }
    EXPECT_TRUE(owners.count(p)) << p;
    EXPECT_GT(r.hexCount, 40) << p;
    EXPECT_GT(r.population, 100000.0f) << p;
    EXPECT_GT(r.treasury, 0.0f) << p;
    EXPECT_GT(r.gdp, 0.0f) << p;
    EXPECT_GT(r.efficiency, 0.5f) << p;
    EXPECT_NE(r.name[0], 0) << p;
  }
  EXPECT_STREQ(w->players[3].name, "Kessaria");

  // Facilities and units.
  std::map<int, int> leads;
  int towns = 0;
  for (const HexCell& cell : w->cells) {
    const HexUnitStack* s = cell.stack;
    if (s && s->lead) ++leads[s->lead->classIndex];
    if (s && s->extra && s->extra->text) ++towns;
  }
  EXPECT_EQ(leads[4003], 9);  // capitals
  EXPECT_GE(leads[4002] + leads[4001], 27);
  EXPECT_GE(towns, 40);
  EXPECT_GE(leads[4014], 8);  // naval bases
  EXPECT_EQ(leads[4015] + leads[4013], 9);
  EXPECT_EQ(leads[4011], 2);  // silos
  EXPECT_EQ(leads[4012], 1);  // Westholm's launch site
  EXPECT_EQ(leads[4037], 9);  // research centres
  EXPECT_EQ(leads[4004], 9);  // depots
  EXPECT_GE(leads[4006], 10);  // ports
  for (int industry : {4016, 4020, 4021, 4023, 4032, 4033, 4034}) EXPECT_GE(leads[industry], 5) << industry;
  int units = 0, land = 0, air = 0, sea = 0, submarines = 0, stock = 0;
  for (UnitRecord* u = w->units; u; u = u->next == w->units ? nullptr : u->next) {
    if (u->unitFlags & kUnitFacility) continue;
    ++units;
    const UnitClassRecord& c = w->unitClasses[static_cast<size_t>(u->classIndex)];
    if (c.flags & kClassStock)
      ++stock;
    else if (c.kind == 0)
      ++land;
    else if (c.kind == 1)
      ++air;
    else if (c.kind == 2)
      ++sea;
    else
      ++submarines;
  }
  EXPECT_GE(units, 100);
  EXPECT_GE(land, 50);
  EXPECT_GE(air, 10);
  EXPECT_GE(sea, 15);
  EXPECT_GE(submarines, 3);
  EXPECT_GE(stock, 6);

  // Rules: classes, technologies with chains, people.
  int classes = 0;
  for (size_t i = 1; i < 4000 && i < w->unitClasses.size(); ++i) classes += w->unitClasses[i].name[0] ? 1 : 0;
  EXPECT_GE(classes, 40);
  EXPECT_EQ(w->unitClasses.size(), 4130u);
  // Missiles and satellites are type 8, the stock weapons built without a
  // site; a silo is no base (stock category mask 0) and has room for them.
  for (size_t i : {39u, 40u, 41u, 42u, 47u}) EXPECT_EQ(w->unitClasses[i].typeByte, 8) << i;
  for (size_t i = 1; i < 4000; ++i) {
    if (w->unitClasses[i].name[0] && w->unitClasses[i].typeByte == 8) {
      EXPECT_NE(w->unitClasses[i].flags & kClassStock, 0u) << i;
    }
  }
  EXPECT_EQ(w->unitClasses[4011].loadableMask, 0);
  EXPECT_GT(w->unitClasses[4011].cargoSlots, 0);
  ASSERT_GE(w->techs.size(), 51u);
  int chained = 0;
  for (const TechRecord& t : w->techs) {
    const int p = t.prerequisites[0];
    if (p > 0 && w->techs[static_cast<size_t>(p)].prerequisites[0] > 0) ++chained;
  }
  EXPECT_GE(chained, 20);
  EXPECT_GE(summary_->people, 54);
  // Each region knows some technologies and can build some designs, units
  // and facilities (the build list offers only designed facilities).
  for (int p = 1; p <= 9; ++p) {
    int known = 0, designs = 0, facilities = 0;
    for (size_t t = 1; t < w->techs.size(); ++t) known += TechRow(*w, p)[t].known ? 1 : 0;
    for (size_t k = 1; k < 4000; ++k) designs += DesignRow(*w, p)[k] & 1;
    for (size_t k = 4000; k < w->unitClasses.size(); ++k)
      facilities += (w->unitClasses[k].flags & kClassFacility) && (DesignRow(*w, p)[k] & 1);
    EXPECT_GE(known, 10) << p;
    EXPECT_GE(designs, 10) << p;
    EXPECT_GE(facilities, 5) << p;
  }
}

TEST_F(SampleWorld, ClassNamesFitTheirRecordAndFacilitiesHaveTheirOwnPictures) {
  auto w = Load();
  // Every class row of the source: its name kept whole, and a facility's
  // picture one the image generator draws for that class, with no overlay.
  std::ifstream csv(std::string(VD_WORLD_SOURCE_DIR) + "/CUSTOM/VDUNITS.CSV");
  std::string line;
  int classes = 0, facilities = 0;
  std::set<int> pictures;
  while (std::getline(csv, line)) {
    std::istringstream fields(line);
    std::string number, name;
    if (!std::getline(fields, number, ',') || !std::getline(fields, name, ',')) continue;
    if (number.empty() || !std::isdigit(static_cast<unsigned char>(number[0]))) continue;
    const int n = std::stoi(number);
    ASSERT_LT(size_t(n), w->unitClasses.size());
    const UnitClassRecord& cls = w->unitClasses[size_t(n)];
    ++classes;
    EXPECT_EQ(std::string(cls.name, strnlen(cls.name, 16)), name) << n;
    if (n < image_gen::kFirstFacilityClass) continue;
    ++facilities;
    EXPECT_EQ(cls.symbol, image_gen::FacilityPictureNumber(n)) << name;
    EXPECT_TRUE(image_gen::IsFacilityPicture(cls.symbol)) << name;
    EXPECT_EQ(cls.secondSymbol, 0) << name;
    pictures.insert(cls.symbol);
  }
  EXPECT_GE(classes, 80);
  EXPECT_EQ(int(pictures.size()), facilities);
}

TEST_F(SampleWorld, ReadAndWrittenAgainIsByteIdentical) {
  auto w = Load();
  TempDir again;
  plat::SetDataRoot(again.path());
  ASSERT_EQ(WriteGamFile(*w, "CHANNEL"), 0);
  ASSERT_EQ(WriteMapFile(*w, "CHANNEL"), 0);
  ASSERT_EQ(WriteUniFile(*w, "CHANNEL"), 0);
  ASSERT_EQ(WriteTerFile(*w, "CHANNEL"), 0);
  ASSERT_EQ(WriteTtrFile(*w, "CHANNEL"), 0);
  ASSERT_EQ(WritePplFile(*w, "CHANNEL"), 0);
  for (int i = 0; i < 6; ++i) {
    const std::string a = Slurp(fs::path(dir_->path()) / kFiles[i]);
    const std::string b = Slurp(fs::path(again.path()) / kFiles[i]);
    ASSERT_EQ(a.size(), b.size()) << kFiles[i];
    size_t diff = 0;
    while (diff < a.size() && a[diff] == b[diff]) ++diff;
    EXPECT_EQ(diff, a.size()) << kFiles[i] << " differs first at byte " << diff;
  }
}

}  // namespace

namespace {

std::vector<std::string>* g_treatyLog = nullptr;
const PlayerRecord* g_treatyPlayers = nullptr;

void LogTreaty(PlayerRecord& record, int copy, int type, bool on, int partner, bool, bool) {
  if (g_treatyLog && copy == 0 && on)
    g_treatyLog->push_back(std::to_string(&record - g_treatyPlayers) + "-" + std::to_string(partner) + " type " +
                           std::to_string(type));
}

// The scenario definition and text that name the sample world's files hold
// all nine regions: their names, a war, an alliance and a trade treaty.
TEST(SampleScenario, NamesEveryRegionWithAWarAnAllianceAndATradeTreaty) {
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(VD_CONTENT_DIR);
  ScenarioSettings settings;
  InitScenarioSettings(settings);
  auto groupings = std::make_unique<ScenarioGroupings>();
  ASSERT_EQ(LoadScenarioDef(settings, *groupings, nullptr, "Channel", false), 0);
  EXPECT_STREQ(settings.gamfile, "CHANNEL");
  EXPECT_STREQ(settings.unifile, "CHANNEL");
  EXPECT_STREQ(settings.terfile, "CHANNEL");
  auto players = std::make_unique<PlayerRecord[]>(32);
  std::memset(static_cast<void*>(players.get()), 0, sizeof(PlayerRecord) * 32);
  std::vector<std::string> treaties;
  g_treatyLog = &treaties;
  g_treatyPlayers = players.get();
  ASSERT_EQ(LoadScenarioPlayers(players.get(), 9, settings, nullptr, "Channel", false, LogTreaty), 0);
  g_treatyLog = nullptr;
  EXPECT_EQ(players[5].simPolicy.hostileMask, 1u << 6);
  EXPECT_EQ(players[6].displayPolicy.hostileMask, 1u << 5);
  EXPECT_EQ(players[3].simPolicy.ceasefireMask, 1u << 1);
  EXPECT_FLOAT_EQ(players[1].belligerence[9], 0.2f);
  EXPECT_FLOAT_EQ(players[9].diplomaticRelation[5], 0.7f);
  EXPECT_EQ(players[4].govtype, 3);
  EXPECT_NE(players[9].electionDay, 0u);
  for (const char* made : {"1-2 type 1", "1-2 type 6", "7-8 type 1", "7-8 type 6", "4-3 type 1", "5-9 type 6"})
    EXPECT_NE(std::find(treaties.begin(), treaties.end(), made), treaties.end()) << made;

  auto text = std::make_unique<ScenarioText>();
  ASSERT_EQ(LoadScenarioText(*text, settings, *groupings, "LOCALEN", settings.gmtfile), 0);
  for (int p = 0; p < 9; ++p) EXPECT_TRUE(text->regionNames[p]) << p;
  EXPECT_STREQ(text->regionNames[8].get(), "Caspia");
  ClearScenarioSettings(settings);
  plat::SetDataRoot(oldRoot);
}

}  // namespace

namespace {

// Units of the ring with a move order, and all live units.
std::pair<int, int> Patrolling(const World& w) {
  int moving = 0, units = 0;
  for (UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next) {
    if (!IsUnitLive(*u) || (u->unitFlags & kUnitFacility)) continue;
    ++units;
    if (u->orders[kOrderFlags] & kOrderMove) {
      ++moving;
      EXPECT_NE(u->route, nullptr);
      EXPECT_NE(u->orders[kDestination], static_cast<uint32_t>(static_cast<uint16_t>(u->x)) | (static_cast<uint32_t>(static_cast<uint16_t>(u->y)) << 16));
    }
  }
  return {moving, units};
}

}  // namespace

// A third of the sample's land units patrol, so units move on day 1.
TEST_F(SampleWorld, SomeLandUnitsHaveStandingPatrols) {
  auto w = Load();
  const auto [moving, units] = Patrolling(*w);
  EXPECT_GE(moving, 20);
  EXPECT_LT(moving, units / 2);
}

TEST(BenchmarkWorld, HasEveryPlayerSlotAndTenThousandUnitsATenthOnPatrol) {
  TempDir work, game;
  std::string error;
  BuildSummary summary;
  ASSERT_TRUE(worldgen::WriteBenchSources(VD_WORLD_SOURCE_DIR, VD_CONTENT_DIR, work.path(), error)) << error;
  ASSERT_TRUE(worldgen::BuildSampleWorld(work.path() + "/world", game.path(), summary, error)) << error;
  EXPECT_EQ(summary.width, 240);
  EXPECT_EQ(summary.height, 120);
  EXPECT_EQ(summary.regions, worldgen::kBenchRegions);
  EXPECT_GE(summary.placed.units, 9000);
  const std::string root = plat::DataRoot();
  plat::SetDataRoot(game.path());
  auto w = std::make_unique<World>();
  ResetWorldDataTables(*w);
  EXPECT_EQ(ReadGamFile(*w, "CHANNEL"), 0);
  EXPECT_EQ(ReadMapFile(*w, "CHANNEL"), 0);
  plat::SetDataRoot(root);
  EXPECT_EQ(w->gameState.highestPlayer, 31);
  EXPECT_EQ(w->mapHeader.reserved66[1], 1);
  const auto [moving, units] = Patrolling(*w);
  EXPECT_GE(units, 9000);
  EXPECT_GT(moving * 20, units);  // about a tenth
  EXPECT_LT(moving * 6, units);
}

// The two regions at war face each other: each has a unit next to one of
// the other's, armed with a range and full magazines, so fire starts on
// day 1.
TEST_F(SampleWorld, TheRegionsAtWarStandWithinReachOfEachOther) {
  auto w = Load();
  std::vector<const UnitRecord*> sulmere, tarvos;
  for (UnitRecord* u = w->units; u; u = u->next == w->units ? nullptr : u->next) {
    if (!IsUnitLive(*u) || (u->unitFlags & kUnitFacility) || u->kind != 0) continue;
    if (u->owner == 5) sulmere.push_back(u);
    if (u->owner == 6) tarvos.push_back(u);
  }
  int facing = 0;
  for (const UnitRecord* a : sulmere)
    for (const UnitRecord* b : tarvos) {
      const int dx = a->x - b->x, dy = a->y - b->y;
      if (dx < -1 || dx > 1 || dy < -1 || dy > 1) continue;
      ++facing;
      const UnitClassRecord& ca = w->unitClasses[static_cast<size_t>(a->classIndex)];
      EXPECT_GT(ca.weaponRanges[0], 0.0f) << ca.name;
      EXPECT_FLOAT_EQ(a->ammo, ca.ammoCapacity * a->strength) << ca.name;
    }
  EXPECT_GE(facing, 2);
}

// Every region's units are willing to press on where they are at war: their
// orders carry an aggressiveness that, with the region's initiative, passes
// the willingness to advance (above 50).
TEST_F(SampleWorld, TheRegionsAtWarAreWillingToPressOn) {
  auto w = Load();
  int willing[10] = {}, units[10] = {};
  for (UnitRecord* u = w->units; u; u = u->next == w->units ? nullptr : u->next) {
    if (!IsUnitLive(*u) || (u->unitFlags & kUnitFacility) || u->owner > 9) continue;
    const uint32_t v = ((u->orders[kOrdersWord] >> 6) & 3u) * 30;
    ++units[u->owner];
    if (w->players[u->owner].simPolicy.milinitiativeoff + v > 50) ++willing[u->owner];
  }
  for (int p = 1; p <= 9; ++p) {
    ASSERT_GT(units[p], 0) << p;
    EXPECT_EQ(willing[p], units[p]) << p;
  }
}
