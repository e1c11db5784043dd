// A scenario made in the map editor as a player makes one: a new map, its
// setup, its regions read from a copy of the sample's region sheet, twenty
// hexes given to region 1 and the files saved; with a definition written
// beside them the runner plays it by name from "CUSTOM\", and the editor's
// load brings the same map back.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/app_object.h"
#include "app/shell/shell.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "editor/facility_paint_panel.h"
#include "platform/paths.h"
#include "records/hex_cell.h"
#include "records/text_field.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "support/whole_program.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/map_folders.h"
#include "units/hex_geometry.h"
#include "world/game_state.h"
#include "world/world.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint32_t> CellWords() {
  std::vector<uint32_t> words;
  for (const HexCell& c : g_world.cells) words.push_back(c.word);
  return words;
}

Control* Tagged(const Screen& screen, const char* tag) {
  return screen.currentForm ? FormFindControlByTag(screen.currentForm, tag) : nullptr;
}

TEST(EditorScenarioPlay, ANewScenarioSavedFromTheEditorPlaysInTheRunnerAndLoadsBack) {
  // A data root of the game's folders with a "CUSTOM\" and a log folder of
  // its own, and the runner placed in it, so that it finds its data there.
  const fs::path game = fs::path(VD_GAME_EXE).parent_path();
  TempDir root;
  const fs::path at(root.path());
  for (const auto& entry : fs::directory_iterator(game))
    if (entry.path().filename() == "CUSTOM")
      fs::copy(entry.path(), at / "CUSTOM", fs::copy_options::recursive);
    else if (entry.path().filename() == "Savegame")
      fs::create_directory(at / "Savegame");
    else if (entry.is_directory())
      fs::create_directory_symlink(entry.path(), at / entry.path().filename());
  std::error_code linked;
  fs::create_hard_link(game / "veldrane-headless", at / "veldrane-headless", linked);
  if (linked) fs::copy_file(game / "veldrane-headless", at / "veldrane-headless");
  fs::copy_file(at / "CUSTOM" / "CHANNEL.CSV", at / "CUSTOM" / "ISLES.CSV");

  struct Restores {
    std::string root = plat::DataRoot();
    ~Restores() {
      ShutdownApplication(g_app);
      plat::SetDataRoot(root);
    }
  };
  GlobalGuard folders(g_mapFolders);
  GlobalGuard editorMap(g_editorMap);
  GlobalGuard palette(g_editorPalette);
  plat::SetDataRoot(root.path());
  PrepareWholeProgram();
  g_ui.mapEditor = 1;
  Restores restores;
  ASSERT_EQ(InitApplication(g_app), 0);
  PumpWholeProgram();

  const Screen& menu = g_screens.mapEditorMenu[0];
  ASSERT_TRUE(menu.currentForm);
  ClickControl(FormFindControlById(menu.currentForm, 4));
  ASSERT_TRUE(g_editorScreens.setupPopup && g_editorScreens.setupPopup->currentForm);
  ControlSetText(Tagged(*g_editorScreens.setupPopup, "GAMNAME"), "ISLES");
  ClickControl(Tagged(*g_editorScreens.setupPopup, "OKBUT"));
  ASSERT_EQ(FieldText(g_world.gameState.scenarioName), "ISLES");
  ClickControl(FormFindControlById(g_screens.mapEditorFiles[0].currentForm, 15));
  ASSERT_EQ(g_world.gameState.highestPlayer, 9);

  // Editing on, each region is painted on populated farmland (terrain 4)
  // with the terrain tab's owner box: region 1 on twenty hexes, the others
  // on one; the facility tab then puts a town on each region's first hex
  // and makes it the capital, without which a region is out on its first
  // day. The map's press runs EditorBrushAtHex on the selected hex.
  Control* bar = g_screens.mapEditCmdBar.currentForm;
  ASSERT_TRUE(bar);
  ClickControl(FormFindControlByTag(bar, "MAPMODE"));
  ClickControl(FormFindControlById(bar, 2));
  SetMapEditMode(kBrushTerrain, 4);
  ASSERT_TRUE(g_editorMap.flags & kEditorEditing);
  ASSERT_TRUE(g_editorScreens.terrainPaint);
  ClickControl(Tagged(*g_editorScreens.terrainPaint, "BUTMEMODE"));
  ASSERT_FALSE(g_editorMap.flags & kEditorKeepAttributes);
  // Region r's i-th hex selected, as a press on the map selects it.
  const auto select = [](int32_t region, int32_t i) {
    HexPosition& hex = g_world.gameState.currentHex;
    hex.x = static_cast<int16_t>(10 * region + i % 5);
    hex.y = static_cast<int16_t>(30 + i / 5);
    hex.cellIndex = static_cast<uint32_t>(hex.y * g_world.mapWidth + hex.x);
  };
  for (int32_t region = 1; region <= 9; ++region) {
    ControlSetText(Tagged(*g_editorScreens.terrainPaint, "HEXOWN"), std::to_string(region).c_str());
    for (int32_t i = 0; i < (region == 1 ? 20 : 1); ++i) {
      select(region, i);
      EditorBrushAtHex(0);
    }
  }
  ClickControl(FormFindControlById(bar, 5));
  ASSERT_EQ(g_editorMap.brushValue, kFirstFacilityClass);
  Screen& towns = *g_editorScreens.modePanels[5];
  for (int32_t region = 1; region <= 9; ++region) {
    select(region, 0);
    EditorBrushAtHex(0);
    ClickControl(Tagged(towns, "CAPITAL"));
  }
  ClickControl(FormFindControlById(bar, 1));
  ClickControl(FormFindControlById(menu.currentForm, 6));
  ASSERT_TRUE(fs::exists(at / "CUSTOM" / "ISLES.GAM"));
  const std::vector<uint32_t> saved = CellWords();
  ASSERT_EQ(CellOwner(saved[30 * static_cast<size_t>(g_world.mapWidth) + 14]), 1);

  // The definition names the files as saved.
  const MapHeader& h = g_world.mapHeader;
  const auto table = [](const std::string& name) { return name.empty() ? std::string("DEFAULT") : name; };
  std::ifstream channel(game / "Scenario" / "Channel.GMC");
  std::ofstream definition(at / "CUSTOM" / "ISLES.GMC");
  const std::pair<const char*, std::string> files[] = {{"gamfile:", "ISLES"},
                                                       {"ttrfile:", table(FieldText(h.techFileName))},
                                                       {"pplfile:", table(FieldText(h.peopleFileName))},
                                                       {"unifile:", table(FieldText(h.unitFileName))},
                                                       {"terfile:", table(FieldText(h.terrainFileName))}};
  for (std::string line; std::getline(channel, line);) {
    for (const auto& [key, name] : files)
      if (line.rfind(key, 0) == 0) line = std::string(key) + " " + name;
    definition << line << "\n";
  }
  definition.close();

  const std::string command = (at / "veldrane-headless").string() + " --days 3 --custom ISLES 2>&1";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_TRUE(pipe);
  std::string output;
  char chunk[512];
  while (std::fgets(chunk, sizeof chunk, pipe)) output += chunk;
  EXPECT_EQ(::pclose(pipe), 0) << output;
  int days = 0;
  for (size_t from = output.find(" regions "); from != std::string::npos; from = output.find(" regions ", from + 1)) {
    int regions = 0, hexes = 0;
    ASSERT_EQ(std::sscanf(output.c_str() + from, " regions %d hexes %d", &regions, &hexes), 2) << output;
    EXPECT_EQ(regions, 9) << output;
    EXPECT_GE(hexes, 20) << output;
    ++days;
  }
  EXPECT_EQ(days, 3) << output;

  // A new map first, so that the load has something to undo.
  ClickControl(FormFindControlById(menu.currentForm, 4));
  ClickControl(Tagged(*g_editorScreens.setupPopup, "OKBUT"));
  ASSERT_NE(CellWords(), saved);
  ClickControl(FormFindControlById(menu.currentForm, 1));
  const std::vector<std::string>& listed = g_screens.gameFile.files;
  size_t row = 0;
  while (row < listed.size() && listed[row].rfind("ISLES", 0) != 0) ++row;
  ASSERT_LT(row, listed.size());
  ClickControl(Tagged(g_screens.gameFile, "FILELIST"), static_cast<int>(row));
  ClickControl(Tagged(g_screens.gameFile, "OKBUT"));
  EXPECT_EQ(FieldText(g_world.gameState.scenarioName), "ISLES");
  EXPECT_EQ(CellWords(), saved);
}

}  // namespace
