#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/log.h"
#include "editor/editor_autosave.h"
#include "editor/editor_file_menu.h"
#include "editor/editor_log.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "records/hex_cell.h"
#include "records/text_field.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "ui/screen_manager.h"
#include "world/map_data.h"
#include "world/world.h"

namespace {

struct TestClock : plat::ClockSource {
  uint64_t now = 0;
  uint64_t MonotonicMs() override { return now; }
  void SleepMs(uint32_t) override {}
  plat::LocalTime Now() override { return {}; }
};

// Records the id the setup dialog was popped up with.
struct SetupProbe : Screen {
  SetupProbe() : Screen("MAPEDITOR_POPUP2") {}
  int32_t Popup(intptr_t id, const ScreenParameterList*) override { return opened = static_cast<int32_t>(id), 0; }
  int32_t opened = -1;
};

class EditorFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetClockSource(&clock_);
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
    g_editorScreens = EditorScreens{};
    ASSERT_EQ(ResizeMap(g_world, 100, 50), 0);
  }
  void TearDown() override {
    plat::SetDataRoot(oldRoot_);
    plat::SetClockSource(nullptr);
  }
  // The files of that name, wherever the writers put them.
  std::vector<std::filesystem::path> Files(const std::string& stem) const {
    std::vector<std::filesystem::path> found;
    for (const auto& f : std::filesystem::recursive_directory_iterator(dir_.path()))
      if (f.path().stem() == stem) found.push_back(f.path());
    return found;
  }

  TestClock clock_;
  TempDir dir_;
  std::string oldRoot_;
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<uint8_t>> cellBytes_{g_world.cellBytes};
  GlobalGuard<std::vector<uint16_t>> ranges_{g_world.rangeMap};
  GlobalGuard<std::vector<TerrainRecord>> terrains_{g_world.terrains};
  GlobalGuard<MapHeader> header_{g_world.mapHeader};
  GlobalGuard<int32_t> width_{g_world.mapWidth};
  GlobalGuard<int32_t> height_{g_world.mapHeight};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<EditorPaletteState> palette_{g_editorPalette};
  GlobalGuard<EditorScreens> screens_{g_editorScreens};
};

TEST_F(EditorFilesTest, TheAutosaveWaitsTenMinutesFromEntryOrTheLastSave) {
  SetFieldText(g_world.gameState.scenarioName, "../x");
  g_editorPalette.autosaveStart = 0;
  const struct {
    uint64_t tick;
    int32_t force;
    bool written;
  } kRows[] = {{599999, 0, false},  {600000, 0, true},   {1199999, 0, false}, {1200000, 0, true},
               {1500000, 1, false}, {2099999, 0, false}, {2100000, 0, true}};
  for (const auto& row : kRows) {
    clock_.now = row.tick;
    EditorAutosave(g_ui, row.force);
    const auto files = Files("AUTOSAVE_._x");
    EXPECT_EQ(files.size(), row.written ? 2u : 0u) << row.tick;
    // The user's scenario name stays inside the backups folder.
    for (const auto& f : files) {
      EXPECT_EQ(f.parent_path().filename(), "BACKUPS") << f;
      std::filesystem::remove(f);
    }
  }
}

TEST_F(EditorFilesTest, NewAndQuitWriteTheirBackupsFirst) {
  SetupProbe setup;
  g_editorScreens.setupPopup = &setup;
  MapEditorMenuCommand(4);
  EXPECT_EQ(Files("AUTOBACKUPN").size(), 2u);
  EXPECT_EQ(g_world.mapWidth, 240);
  EXPECT_EQ(g_world.mapHeight, 120);
  EXPECT_EQ(setup.opened, 1);
  MapEditorMenuCommand(5);
  EXPECT_EQ(Files("AUTOBACKUPQ").size(), 2u);
}

// Save with no usable scenario name asks for one through Save as and writes
// nothing under an empty name; a save that fails asks again, saying so, and
// leaves no file of its set.
TEST_F(EditorFilesTest, SaveWithoutANameOrThatFailsOpensSaveAs) {
  static int32_t opened = -1;
  GlobalGuard<decltype(g_editorScreens.openFileDialog)> dialog{g_editorScreens.openFileDialog,
                                                               [](int32_t mode) { opened = mode; }};
  // A folder where the definition, the set's last file, goes.
  ASSERT_TRUE(plat::MakeGameDirectories("Scenario\\BLOCKED.GMC"));
  const struct {
    const char* name;
    int32_t dialog;
  } kRows[] = {{"", 3}, {"  ", 3}, {"../x", 3}, {"BLOCKED", 4}};
  for (const auto& row : kRows) {
    opened = -1;
    SetFieldText(g_world.gameState.scenarioName, row.name);
    MapEditorMenuCommand(6);
    EXPECT_EQ(opened, row.dialog) << "the Save as dialog, for \"" << row.name << "\"";
    for (const auto& f : std::filesystem::recursive_directory_iterator(dir_.path()))
      EXPECT_TRUE(f.is_directory()) << "written: " << f.path();
  }
}

TEST_F(EditorFilesTest, TheEditLogListsPlayersTechnologiesAndUnits) {
  GlobalGuard<std::vector<TechRecord>> techs{g_world.techs};
  GlobalGuard<std::vector<UnitClassRecord>> classes{g_world.unitClasses};
  GlobalGuard<UnitRecord*> units{g_world.units};
  GlobalGuard<decltype(g_app.saveGamePath)> folder{g_app.saveGamePath};
  g_app.saveGamePath[0] = 0;
  SetFieldText(g_world.gameState.scenarioName, "ISLES");
  g_world.gameState.playerCount = 11;
  g_world.techs.assign(1, TechRecord{});
  g_world.techs[0].category = 1;
  g_world.techs[0].name.assign("Basics");
  g_world.unitClasses.assign(2, UnitClassRecord{});
  UnitRecord unit{};
  unit.next = &unit, unit.classIndex = 1, unit.owner = 1, unit.x = 7, unit.y = 12;
  g_world.units = &unit;
  for (int press = 0; press < 2; ++press) {
    WriteMapEditLog(g_world, false);
    std::stringstream text;
    text << std::ifstream(plat::DataRoot() + "/MAPEDIT-ISLES.log").rdbuf();
    const std::string log = text.str();
    std::istringstream lines(log);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) EXPECT_EQ(line.rfind("VDLOG: ", 0), 0u) << line;
    EXPECT_NE(log.find("Basics" + std::string(26, ' ') + " (123456789AB" + std::string(21, '-') + ")"), log.npos);
    EXPECT_NE(log.find("@ X:007 Y:012"), std::string::npos) << log;
    // Players, a blank line, headings, the technology, the unit: afresh.
    EXPECT_EQ(count, 11 + 1 + 3 + 1 + 1) << press;
  }
  // A save folder not made yet is made for the log, not left unwritten.
  std::snprintf(g_app.saveGamePath, sizeof g_app.saveGamePath, "%s", "Savegame\\");
  WriteMapEditLog(g_world, false);
  SetLogTarget(g_platform, "", false, false);
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_.path() + "/Savegame/MAPEDIT-ISLES.log"));
}

TEST_F(EditorFilesTest, UnitsTakeTheirHexesOwnersExceptOffTheMap) {
  GlobalGuard<UnitRecord*> units{g_world.units};
  for (HexCell& c : g_world.cells) c.word = WithCellOwner(0, 5);
  const struct {
    int16_t x, y;
    uint32_t flags;
    uint8_t owner;  // both owner bytes afterwards
  } kRows[] = {{3, 4, 0, 5}, {0, 0, 0, 2}, {3, 4, kUnitGone, 2}, {3, 4, kUnitProvisional, 2}, {99, 49, 0, 5}};
  UnitRecord ring[std::size(kRows)] = {};
  for (size_t i = 0; i < std::size(kRows); ++i) {
    ring[i].next = &ring[(i + 1) % std::size(kRows)], ring[i].classIndex = 1, ring[i].unitFlags = kRows[i].flags;
    ring[i].x = kRows[i].x, ring[i].y = kRows[i].y, ring[i].owner = ring[i].controller = 2;
  }
  g_world.units = ring;
  GiveUnitsTheirHexOwners(g_world);
  for (size_t i = 0; i < std::size(kRows); ++i) {
    EXPECT_EQ(ring[i].owner, kRows[i].owner) << i;
    EXPECT_EQ(ring[i].controller, kRows[i].owner) << i;
  }
}

}  // namespace
