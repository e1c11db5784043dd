// A scenario made in the map editor as a player makes one, with no file
// written by hand: a new map set up under the name of the region sheet the
// game ships, its regions read from that sheet, twenty hexes given to
// region 1, a capital for each region, the first two named in a row, and a
// second town for region 2 as large as its capital; for region 1, chosen in
// the player variables, three land units, a unit in its capital's reserve
// and a stock unit from the unit tool, and a chain of technologies from the
// technology panel; saved under a name of its own through Save as. The editor's save
// writes all the runner needs to play it by name from "CUSTOM\", the same
// way twice, the editor's load to bring the same map back with the names
// and capitals its author gave, and the game's New game list to offer and
// start it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <atomic>
#include <chrono>
#include <thread>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "shell/shell.h"
#include "editor/editor_class_lists.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "editor/facility_paint_panel.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/frontend/front_end_flow.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "sim/game_threads.h"
#include "world/game_speed.h"
#include "support/fast_clock.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_kinds.h"
#include "records/text_field.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "sim/availability.h"
#include "sim/simulation_lock.h"
#include "support/editor_program_guard.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "support/whole_program.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/string_control.h"
#include "ui/map_folders.h"
#include "units/hex_geometry.h"
#include "world/capital_hex.h"
#include "world/game_state.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint32_t> CellWords() {
  std::vector<uint32_t> words;
  for (const HexCell& c : g_world.cells) words.push_back(c.word);
  return words;
}

struct UnitCounts {
  int live = 0, reserve = 0, stock = 0;
};

UnitCounts RegionUnits(int owner) {
  UnitCounts n;
  for (UnitRecord* u = g_world.units; u; u = u->next == g_world.units ? nullptr : u->next) {
    if (!IsUnitLive(*u) || u->owner != owner || (u->unitFlags & kUnitFacility)) continue;
    ++n.live;
    n.reserve += InReserve(*u) ? 1 : 0;
    n.stock += (u->unitFlags & kUnitStock) ? 1 : 0;
  }
  return n;
}

int LiveUnits() {
  int n = 0;
  for (UnitRecord* u = g_world.units; u; u = u->next == g_world.units ? nullptr : u->next) n += IsUnitLive(*u) ? 1 : 0;
  return n;
}

bool Knows(int player, int tech) {
  const std::vector<int> known = WalkTechTable(g_world, player, -1, false, 1, -1, false);
  return std::find(known.begin(), known.end(), tech) != known.end();
}

// Runs the runner and returns each day line's "units" count and its sync
// columns; the exit code goes to `code`.
struct RunnerDays {
  int code = -1;
  std::string output;
  std::vector<int> regions, hexes, units;
  std::vector<std::string> sync;
  int unreadable = 0;  // day lines whose population, GDP or treasury is not a finite number
};

RunnerDays RunRunner(const std::string& command) {
  RunnerDays run;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char chunk[512];
  while (std::fgets(chunk, sizeof chunk, pipe)) run.output += chunk;
  run.code = ::pclose(pipe);
  size_t from = 0;
  while ((from = run.output.find(" regions ", from)) != std::string::npos) {
    const size_t end = run.output.find('\n', from);
    const std::string line = run.output.substr(from, end == std::string::npos ? std::string::npos : end - from);
    int regions = 0, hexes = 0, units = 0;
    const size_t unitsAt = line.find(" units "), syncAt = line.find(" sync ");
    if (std::sscanf(line.c_str(), " regions %d hexes %d", &regions, &hexes) != 2 || unitsAt == std::string::npos ||
        syncAt == std::string::npos || std::sscanf(line.c_str() + unitsAt, " units %d", &units) != 1)
      break;
    double population = 0, gdp = 0, treasury = 0;
    const size_t figuresAt = line.find(" population ");
    if (figuresAt == std::string::npos ||
        std::sscanf(line.c_str() + figuresAt, " population %lf gdp %lf treasury %lf", &population, &gdp, &treasury) != 3 ||
        !std::isfinite(population) || !std::isfinite(gdp) || !std::isfinite(treasury))
      ++run.unreadable;
    run.regions.push_back(regions);
    run.hexes.push_back(hexes);
    run.units.push_back(units);
    run.sync.push_back(line.substr(syncAt));
    from += 1;
  }
  return run;
}

// Where the program finds the pointer when it asks.
PolledInput g_pointer{.x = 400, .y = 300};

Control* Tagged(const Screen& screen, const char* tag) {
  return screen.currentForm ? FormFindControlByTag(screen.currentForm, tag) : nullptr;
}

std::string Shown(const Screen& screen, const char* tag) {
  const Control* c = Tagged(screen, tag);
  return c ? c->text : std::string("(no ") + tag + ")";
}

TEST(EditorScenarioPlay, ANewScenarioSavedFromTheEditorPlaysInTheRunnerAndLoadsBack) {
  // A data root of the game's folders with a "CUSTOM\" and a log folder of
  // its own, and the runner placed in it, so that it finds its data there.
  TempDir root;
  const fs::path at(root.path());
  LinkGameFolder(at);
  fs::create_directories(at / "Savegame");
  ASSERT_TRUE(fs::exists(at / "CUSTOM" / "CHANNEL.CSV"));
  ASSERT_FALSE(fs::exists(at / "CUSTOM" / "ISLES.GMC"));

  struct Restores {
    std::string root = plat::DataRoot();
    ~Restores() {
      if (GameThreadsRunning()) StopGameSession(&g_ui);
      ShutdownApplication(g_app);
      plat::SetClockSource(nullptr);
      plat::SetDataRoot(root);
    }
  };
  const EditorProgramGuard editorGuard;
  // The pointer rests away from the edges that scroll the map; the game's
  // days pass on a fast clock.
  g_pointer = PolledInput{.x = 400, .y = 300};
  const GlobalGuard<InputPoll> pointer(g_uiInput.poll, [] { return g_pointer; });
  FastClock clock;
  plat::SetClockSource(&clock);
  plat::SetDataRoot(root.path());
  PrepareWholeProgram();
  g_ui.mapEditor = 1;
  Restores restores;
  ASSERT_EQ(InitApplication(g_app), 0);
  PumpWholeProgram();

  const Screen& menu = g_screens.fileMenuPanels[0];
  ASSERT_TRUE(menu.currentForm);
  ClickControl(FormFindControlById(menu.currentForm, 4));
  ASSERT_TRUE(g_editorScreens.setupPopup && g_editorScreens.setupPopup->currentForm);
  // The region import reads the sheet named after the scenario. Named as a
  // new map maker names it, there is none: the panel says under the button
  // what was looked for and that nothing came of it, and no region is read.
  ControlSetText(Tagged(*g_editorScreens.setupPopup, "GAMNAME"), "ISLES");
  ClickControl(Tagged(*g_editorScreens.setupPopup, "OKBUT"));
  const Screen& files = g_screens.scenarioFilePanels[0];
  const auto reads = [&](const char* tag, const std::string& text) {
    const auto* line = dynamic_cast<const StringControl*>(Tagged(files, tag));
    EXPECT_EQ(line ? line->text : std::string(), text);
    if (line) {
      EXPECT_EQ(line->ShownText().text, text) << tag << " reads whole";
    }
  };
  // The line as the screen shows it.
  const auto drawn = [&](const char* tag) {
    std::vector<uint32_t> pixels, in;
    uint32_t width = 0, height = 0;
    EXPECT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
    const plat::Rect r = ControlAbsoluteRect(Tagged(files, tag));
    for (int32_t y = std::max(r.top, 0); y < std::min(r.bottom, static_cast<int32_t>(height)); ++y)
      for (int32_t x = std::max(r.left, 0); x < std::min(r.right, static_cast<int32_t>(width)); ++x)
        in.push_back(pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)]);
    return in;
  };
  ClickControl(FormFindControlById(files.currentForm, 15));
  reads("REGSOUGHT", "Looked for CUSTOM\\ISLES.CSV");
  reads("REGFOUND", "Not there: no regions read.");
  EXPECT_EQ(g_world.players[1].kind, kKindEmpty);
  // Pressed again once a sheet of that name is there: the line shows what
  // this press found at once, the pointer still on the button.
  const std::vector<uint32_t> notThere = drawn("REGFOUND");
  fs::copy_file(at / "CUSTOM" / "CHANNEL.CSV", at / "CUSTOM" / "ISLES.CSV");
  ClickControl(FormFindControlById(files.currentForm, 15));
  reads("REGFOUND", "Read regions 1 to 9.");
  EXPECT_NE(drawn("REGFOUND"), notThere) << "the line is drawn again";
  fs::remove(at / "CUSTOM" / "ISLES.CSV");
  // As the README tells: renamed after the sample's sheet in the scenario
  // set-up, the map takes that sheet's nine regions.
  ClickControl(FormFindControlById(files.currentForm, 24));
  ControlSetText(Tagged(*g_editorScreens.setupPopup, "GAMNAME"), "CHANNEL");
  ClickControl(Tagged(*g_editorScreens.setupPopup, "OKBUT"));
  ASSERT_EQ(FieldText(g_world.gameState.scenarioName), "CHANNEL");
  ClickControl(FormFindControlById(files.currentForm, 15));
  ASSERT_EQ(g_world.gameState.highestPlayer, 9);
  reads("REGSOUGHT", "Looked for CUSTOM\\CHANNEL.CSV");
  reads("REGFOUND", "Read regions 1 to 9.");

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
  // The hex at (x, y), or region r's i-th hex, selected as a press on the
  // map selects it.
  const auto selectAt = [](int32_t x, int32_t y) {
    HexPosition& hex = g_world.gameState.currentHex;
    hex.x = static_cast<int16_t>(x);
    hex.y = static_cast<int16_t>(y);
    hex.cellIndex = static_cast<uint32_t>(hex.y * g_world.mapWidth + hex.x);
  };
  const auto select = [&](int32_t region, int32_t i) { selectAt(10 * region + i % 5, 30 + i / 5); };
  // Region 2 holds the hex before its first in the map's order as well.
  constexpr int32_t kSecondTownX = 19, kSecondTownY = 30;
  for (int32_t region = 1; region <= 9; ++region) {
    ControlSetText(Tagged(*g_editorScreens.terrainPaint, "HEXOWN"), std::to_string(region).c_str());
    for (int32_t i = 0; i < (region == 1 ? 20 : 1); ++i) {
      select(region, i);
      EditorBrushAtHex(0);
    }
    if (region == 2) {
      selectAt(kSecondTownX, kSecondTownY);
      EditorBrushAtHex(0);
    }
  }
  ClickControl(FormFindControlById(bar, 5));
  ASSERT_EQ(g_editorMap.brushValue, kFirstFacilityClass);
  Screen& towns = *g_editorScreens.modePanels[5];
  // Typed into a field of the panel as the author types: a click on it,
  // then the keys.
  const auto type = [](Control* field, const std::string& text) {
    ClickControl(field);
    for (const char c : text) plat::PostWindowMessage(g_platform.mainWindow, plat::kWmChar, static_cast<uint8_t>(c), 0);
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmChar, '\r', 0);
    PumpWholeProgram();
  };
  // A town placed as a press on the map places it: the panel then shows
  // the hex again.
  const auto placeTown = [&] {
    EditorBrushAtHex(0);
    OpenEditorModePanel(g_editorMap.mode);
  };
  const char* const names[] = {"Westport", "Eastgate"};
  for (int32_t region = 1; region <= 9; ++region) {
    select(region, 0);
    // Region 2's town placed with Keep hex off: the brush paints the
    // panel's name and people on the new town too.
    if (region == 2) ClickControl(Tagged(towns, "BUTMEMODE"));
    placeTown();
    ClickControl(Tagged(towns, "CAPITAL"));
    // The first two named in a row, each field showing its own hex's name;
    // the name typed replaces the one the brush gave.
    if (region <= 2) {
      EXPECT_EQ(Shown(towns, "HEXNAME"), region == 1 ? "" : names[0]);
      type(Tagged(towns, "HEXNAME"), names[region - 1]);
    }
    if (region == 2) ClickControl(Tagged(towns, "BUTMEMODE"));
  }
  // Region 2's second town, placed after its capital on a hex before it in
  // the map's order and as large: the author's capital must stay.
  selectAt(kSecondTownX, kSecondTownY);
  placeTown();
  EXPECT_EQ(Shown(towns, "HEXNAME"), "");
  const CapitalPosition marked{20, 30};
  ASSERT_EQ(CapitalHex(g_world.players[2].simPolicy), marked);
  const auto hexName = [](int32_t x, int32_t y) {
    const HexUnitStack* stack = LoadHexStack(g_world.cells[static_cast<size_t>(y * g_world.mapWidth + x)]);
    return stack && stack->extra && stack->extra->text ? std::string(stack->extra->text) : std::string();
  };
  EXPECT_EQ(hexName(10, 30), "Westport");
  EXPECT_EQ(hexName(20, 30), "Eastgate");
  EXPECT_EQ(hexName(kSecondTownX, kSecondTownY), "");

  // Clicked on the map as the author clicks: a town placed on region 1's
  // fourth hex takes its name as it is typed, with no click on the field
  // first (M would open a page, S switch an overlay). A Farm clicked on its
  // fifth, bare, hex paints the panel's name there with Keep hex off, and
  // either stands there or is not placed and the bar says why, whole in its
  // line. (On farmland the hex's own people use what a Farm would need.)
  const auto clickHex = [](int32_t x, int32_t y) {
    int32_t px = 0, py = 0;
    ASSERT_TRUE(SampleGame::PointOn(PackHex(x, y), px, py)) << x << "," << y << " on the screen";
    for (const uint32_t m : {plat::kWmMouseMove, plat::kWmLButtonDown, plat::kWmLButtonUp}) {
      g_pointer = PolledInput{.x = px, .y = py, .left = m == plat::kWmLButtonDown};
      PostMouse(m, m == plat::kWmLButtonDown ? plat::kMkLButton : 0, px, py);
      PumpWholeProgram();
    }
  };
  ASSERT_NO_FATAL_FAILURE(clickHex(13, 30));
  ASSERT_TRUE(LoadHexStack(g_world.cells[static_cast<size_t>(30 * g_world.mapWidth + 13)])->lead) << "a town stands";
  for (const char c : std::string("Smallford\r")) {
    const auto key = static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(c)));
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, key, 0);
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmChar, static_cast<uint8_t>(c), 0);
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, key, 0);
  }
  PumpWholeProgram();
  EXPECT_EQ(hexName(13, 30), "Smallford");
  EXPECT_EQ(g_editorMap.mode, 5) << "the keys stayed in the name";
  Control* farms = Tagged(towns, "UGBITS");
  ASSERT_TRUE(farms);
  {
    const plat::Rect at = ControlAbsoluteRect(farms);
    constexpr int32_t kFarm = 4016;
    const int32_t cell = kFarm - kFirstFacilityClass;
    const int32_t px = at.left + ((cell % 8) * 32 + 16) * (at.right - at.left) / 256;
    const int32_t py = at.top + (cell / 8) * 32 + 16 - g_editorPalette.facilityOffset;
    ASSERT_LT(py, at.bottom) << "the Farm's cell in view";
    g_pointer = PolledInput{.x = px, .y = py};
    PostMouse(plat::kWmMouseMove, 0, px, py);
    PostMouse(plat::kWmLButtonDown, plat::kMkLButton, px, py);
    PostMouse(plat::kWmLButtonUp, 0, px, py);
    PumpWholeProgram();
    ASSERT_EQ(g_editorMap.brushValue, kFarm) << "the palette picks the Farm";
  }
  // With Keep hex off the brush paints the panel's name and people too.
  ClickControl(Tagged(towns, "BUTMEMODE"));
  ASSERT_FALSE(g_editorMap.flags & kEditorKeepAttributes);
  const HexCell& bare = g_world.cells[static_cast<size_t>(30 * g_world.mapWidth + 14)];
  ASSERT_EQ(LoadHexStack(bare) ? LoadHexStack(bare)->lead : nullptr, nullptr) << "a bare hex";
  ASSERT_NO_FATAL_FAILURE(clickHex(14, 30));
  const UnitRecord* farm = LoadHexStack(bare) ? LoadHexStack(bare)->lead : nullptr;
  EXPECT_EQ(hexName(14, 30), "Smallford");
  if (!farm || !IsUnitLive(*farm)) {
    const std::string hint = Shown(g_screens.mapEditCmdBar, "EDITHINT");
    EXPECT_TRUE(hint == "Farm cannot stand on this hex." || hint == "It cannot stand on this hex.") << hint;
    for (const std::string& fault : ShownTextFaultsOfFrame())
      EXPECT_EQ(fault.find("EDITHINT"), std::string::npos) << fault;
  } else {
    EXPECT_EQ(farm->classIndex, 4016);
  }
  ClickControl(Tagged(towns, "BUTMEMODE"));


  // Region 1 made the editor's own in the player variables, which the
  // scenario panel of the Info tab opens on the present one (back to
  // region 0, then on to 1).
  ClickControl(FormFindControlById(bar, 1));
  ClickControl(Tagged(g_screens.scenarioInfoPanels[0], "PVARS"));
  ASSERT_TRUE(g_editorScreens.derivedData && g_editorScreens.derivedData->currentForm);
  ClickControl(FormFindControlById(g_editorScreens.derivedData->currentForm, 1));
  ClickControl(FormFindControlById(g_editorScreens.derivedData->currentForm, 3));
  ClickControl(Tagged(*g_editorScreens.derivedData, "CLOSEBUT"));
  ASSERT_EQ(g_world.gameState.localPlayer, 1);

  // The unit tool: the land list's first class placed three times on a
  // plain hex of region 1, once with Reserve pressed on its capital, and a
  // stock unit added on page 3.
  ClickControl(FormFindControlById(bar, 8));
  Screen& tool = *g_editorScreens.modePanels[8];
  ASSERT_GT(EditorBrushClass(), 0);
  select(1, 1);
  for (int i = 0; i < 3; ++i) EditorBrushAtHex(0);
  ClickControl(Tagged(tool, "RES"));
  select(1, 0);
  EditorBrushAtHex(0);
  ClickControl(Tagged(tool, "RES"));
  ClickControl(FormFindControlById(tool.currentForm, 13));
  ASSERT_TRUE(g_screens.stockUnitListPanel->currentForm);
  ClickControl(Tagged(*g_screens.stockUnitListPanel, "ADD"));
  const UnitCounts placed = RegionUnits(1);
  EXPECT_EQ(placed.live, 5);
  EXPECT_EQ(placed.reserve, 1);
  EXPECT_EQ(placed.stock, 1);

  // The technology panel: an unknown technology whose first prerequisite
  // is unknown too, picked in the list of those not known and added; the
  // chain comes with it.
  ClickControl(FormFindControlById(bar, 9));
  ListBoxControl* unknown = g_screens.editorTechPanel.unknown;
  ASSERT_TRUE(unknown);
  int techRow = 0, tech = 0, prerequisite = 0;
  for (const Control* r = ListNextRow(unknown, nullptr); r; r = ListNextRow(unknown, r), ++techRow) {
    const int16_t need = g_world.techs[static_cast<size_t>(r->id)].prerequisites[0];
    if (need > 0 && !Knows(1, need)) {
      tech = r->id;
      prerequisite = need;
      break;
    }
  }
  ASSERT_NE(tech, 0) << "no unknown technology with an unknown prerequisite";
  ClickControl(unknown, techRow);
  ClickControl(Tagged(g_screens.editorTechPanel, "ADD"));
  EXPECT_TRUE(Knows(1, tech));
  EXPECT_TRUE(Knows(1, prerequisite));
  const int liveUnits = LiveUnits();

  // Region 0 the editor's own again, as the scenario is saved with it.
  ClickControl(FormFindControlById(bar, 1));
  ClickControl(Tagged(g_screens.scenarioInfoPanels[0], "PVARS"));
  ClickControl(FormFindControlById(g_editorScreens.derivedData->currentForm, 1));
  ClickControl(Tagged(*g_editorScreens.derivedData, "CLOSEBUT"));
  ASSERT_EQ(g_world.gameState.localPlayer, 0);
  // Saved through Save as under a name typed in the dialog's field: with
  // its files comes the definition that names them, and no temporary file
  // is left beside them.
  // A blank name first: refused, said so, the dialog kept open.
  ClickControl(FormFindControlById(menu.currentForm, 3));
  ASSERT_TRUE(g_screens.gameFile.currentForm);
  ControlSetText(Tagged(g_screens.gameFile, "FILENAME"), "   ");
  ClickControl(Tagged(g_screens.gameFile, "OKBUT"));
  ASSERT_TRUE(g_screens.gameFile.currentForm);
  EXPECT_EQ(Tagged(g_screens.gameFile, "ERROR")->text, "The scenario could not be saved.");
  ControlSetText(Tagged(g_screens.gameFile, "FILENAME"), "ISLES");
  ClickControl(Tagged(g_screens.gameFile, "OKBUT"));
  ASSERT_TRUE(fs::exists(at / "CUSTOM" / "ISLES.GAM"));
  ASSERT_TRUE(fs::exists(at / "CUSTOM" / "ISLES.GMC"));
  for (const auto& entry : fs::recursive_directory_iterator(at / "CUSTOM"))
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
  EXPECT_EQ(FieldText(g_world.gameState.scenarioName), "ISLES");
  // The panels and the minimap go by the new name.
  EXPECT_EQ(Shown(g_screens.scenarioInfoPanels[0], "SCNNAME"), "ISLES");
  EXPECT_EQ(Shown(g_screens.mapInfoPanels[0], "MAPNAME"), "ISLES");
  EXPECT_EQ(Shown(g_screens.minimapBar, "MAPTITLE"), "ISLES");
  EXPECT_EQ(CapitalHex(g_world.players[2].simPolicy), marked) << "the save keeps the author's capital";
  const std::vector<uint32_t> saved = CellWords();
  const uint32_t startDay = g_world.mapHeader.startDay;
  ASSERT_EQ(CellOwner(saved[30 * static_cast<size_t>(g_world.mapWidth) + 14]), 1);

  // Played for thirty days twice: every day line holds all nine regions,
  // region 1's hexes and at least the units placed, and the two runs agree.
  const std::string command = (at / "veldrane-headless").string() + " --days 30 --custom ISLES 2>&1";
  const RunnerDays first = RunRunner(command), second = RunRunner(command);
  for (const RunnerDays* run : {&first, &second}) {
    EXPECT_EQ(run->code, 0) << run->output;
    ASSERT_EQ(run->units.size(), 30u) << run->output;
    // Most products have nobody making them, yet the figures stay numbers.
    EXPECT_EQ(run->unreadable, 0) << run->output;
    for (size_t day = 0; day < run->units.size(); ++day) {
      EXPECT_EQ(run->regions[day], 9) << run->output;
      EXPECT_GE(run->hexes[day], 20) << run->output;
      EXPECT_GE(run->units[day], liveUnits) << run->output;
    }
  }
  EXPECT_EQ(first.sync, second.sync);

  // A new map of another name first, so that the load has something to
  // undo and the picked file, not the open scenario, must be read.
  ClickControl(FormFindControlById(menu.currentForm, 4));
  ControlSetText(Tagged(*g_editorScreens.setupPopup, "GAMNAME"), "OTHER");
  ClickControl(Tagged(*g_editorScreens.setupPopup, "OKBUT"));
  ASSERT_EQ(FieldText(g_world.gameState.scenarioName), "OTHER");
  ASSERT_NE(CellWords(), saved);

  // That map resized to 60 x 200 with its edges made to meet, through the
  // map dialog, typed and clicked, after the wheel has zoomed the view: the
  // view is the new map's, centred on it, reaches its first and last rows
  // and no further, and wraps; the Info panel gives the new area.
  const MapView& view = g_mapView;
  const int midX = (view.viewLeft + view.viewRight) / 2, midY = (view.viewTop + view.viewBottom) / 2;
  const auto hexUnder = [](int x, int y) {
    g_pointer.x = x, g_pointer.y = y;
    PostMouse(plat::kWmMouseMove, 0, x, y);
    PumpWholeProgram();
    return std::pair<int, int>(g_world.gameState.viewHex.x, g_world.gameState.viewHex.y);
  };
  const auto wheel = [&](int notches, uint32_t keys) {
    for (int i = 0; i < std::abs(notches); ++i)
      PostMouse(plat::kWmMouseWheel, keys | (static_cast<uint32_t>(static_cast<uint16_t>(notches < 0 ? -120 : 120)) << 16),
                midX, midY);
    PumpWholeProgram();
  };
  hexUnder(midX, midY);
  wheel(-4, 0);
  ASSERT_NE(view.zoom, kOpeningZoom);
  ClickControl(FormFindControlById(g_screens.scenarioFilePanels[0].currentForm, 34));
  ASSERT_TRUE(g_editorScreens.mapPopup && g_editorScreens.mapPopup->currentForm);
  const Screen& sizes = *g_editorScreens.mapPopup;
  for (const auto& [tag, typed] : {std::pair{"MAPX", "60"}, std::pair{"MAPY", "200"}}) {
    ClickControl(Tagged(sizes, tag));
    for (const char c : std::string(8, '\b') + typed)
      plat::PostWindowMessage(g_platform.mainWindow, plat::kWmChar, static_cast<uint8_t>(c), 0);
    PumpWholeProgram();
  }
  ClickControl(Tagged(sizes, "IMGWRAP"));
  ClickControl(Tagged(sizes, "OKBUT"));
  ASSERT_EQ(g_world.mapWidth, 60);
  ASSERT_EQ(g_world.mapHeight, 200);
  EXPECT_EQ(view.columns, 60);
  EXPECT_EQ(view.rows, 200);
  EXPECT_TRUE(view.wraps) << "the edges meet in the view too";
  EXPECT_EQ(view.zoom, kOpeningZoom);
  const auto [midColumn, midRow] = hexUnder(midX, midY);
  EXPECT_NEAR(midColumn, 30, 1) << "the view opens on the new map's middle";
  EXPECT_NEAR(midRow, 100, 1);
  wheel(-400, plat::kMkControl);
  EXPECT_EQ(view.panY, view.maxPanY);
  EXPECT_EQ(hexUnder(midX, view.viewBottom - 1).second, 199) << "the last row is reached";
  wheel(400, plat::kMkControl);
  EXPECT_EQ(view.panY, 26);
  EXPECT_LE(hexUnder(midX, view.viewTop).second, 1) << "the first row is reached";
  EXPECT_EQ(Tagged(g_screens.mapInfoPanels[0], "MAPAREA")->text, "4,800,000");
  g_pointer = PolledInput{.x = 400, .y = 300};

  // That map has no regions read. Region 3 drawn on two hexes, a town on
  // each, the first marked capital, the second as large and before it in
  // the map's order: Save as and Load keep the capital its author marked.
  ClickControl(FormFindControlById(bar, 2));
  if (!FormFindControlByTag(bar, "MAPMODE")->Selected()) ClickControl(FormFindControlByTag(bar, "MAPMODE"));
  SetMapEditMode(kBrushTerrain, 4);
  if (g_editorMap.flags & kEditorKeepAttributes) ClickControl(Tagged(*g_editorScreens.terrainPaint, "BUTMEMODE"));
  ASSERT_TRUE(g_editorMap.flags & kEditorEditing);
  ASSERT_FALSE(g_editorMap.flags & kEditorKeepAttributes);
  ControlSetText(Tagged(*g_editorScreens.terrainPaint, "HEXOWN"), "3");
  for (const int32_t x : {30, 31}) {
    selectAt(x, 100);
    EditorBrushAtHex(0);
  }
  ClickControl(FormFindControlById(bar, 5));
  selectAt(31, 100);
  placeTown();
  ClickControl(Tagged(towns, "CAPITAL"));
  selectAt(30, 100);
  placeTown();
  const CapitalPosition authors{31, 100};
  ASSERT_EQ(CapitalHex(g_world.players[3].simPolicy), authors);
  ClickControl(FormFindControlById(bar, 1));
  ClickControl(FormFindControlById(menu.currentForm, 3));
  ControlSetText(Tagged(g_screens.gameFile, "FILENAME"), "OTHER");
  ClickControl(Tagged(g_screens.gameFile, "OKBUT"));
  ASSERT_TRUE(fs::exists(at / "CUSTOM" / "OTHER.GMC"));
  EXPECT_EQ(CapitalHex(g_world.players[3].simPolicy), authors) << "Save as keeps the capital of a map without regions";
  ClickControl(FormFindControlById(menu.currentForm, 1));
  const auto other = std::find(g_screens.gameFile.files.begin(), g_screens.gameFile.files.end(), "OTHER");
  ASSERT_NE(other, g_screens.gameFile.files.end());
  ClickControl(Tagged(g_screens.gameFile, "FILELIST"), static_cast<int>(other - g_screens.gameFile.files.begin()));
  ClickControl(Tagged(g_screens.gameFile, "OKBUT"));
  EXPECT_EQ(FieldText(g_world.gameState.scenarioName), "OTHER");
  EXPECT_EQ(CapitalHex(g_world.players[3].simPolicy), authors) << "the loaded files keep it";
  EXPECT_EQ(CapitalHex(g_world.players[3].displayPolicy), authors);
  ClickControl(FormFindControlById(menu.currentForm, 1));
  const std::vector<std::string>& listed = g_screens.gameFile.files;
  const auto row = std::find(listed.begin(), listed.end(), "ISLES");
  ASSERT_NE(row, listed.end());
  ClickControl(Tagged(g_screens.gameFile, "FILELIST"), static_cast<int>(row - listed.begin()));
  ClickControl(Tagged(g_screens.gameFile, "OKBUT"));
  EXPECT_EQ(FieldText(g_world.gameState.scenarioName), "ISLES");
  EXPECT_EQ(CellWords(), saved);
  EXPECT_EQ(Tagged(g_screens.scenarioInfoPanels[0], "SCNNAME")->text, "ISLES") << "the panels show the scenario loaded";
  EXPECT_GE(g_world.players[1].hexCount, 20) << "the derived figures are the loaded map's";
  EXPECT_EQ(CapitalHex(g_world.players[2].simPolicy), marked) << "the loaded files keep the author's capital";
  EXPECT_EQ(CapitalHex(g_world.players[2].displayPolicy), marked);
  EXPECT_EQ(hexName(10, 30), "Westport");
  EXPECT_EQ(hexName(20, 30), "Eastgate");
  EXPECT_EQ(Shown(g_screens.minimapBar, "MAPTITLE"), "ISLES");

  // The editor left, the game started: New game lists the scenario by its
  // file name, its regions come from its game file, and it plays ten days
  // as region 1.
  ClickControl(FormFindControlById(menu.currentForm, 5));
  ShutdownApplication(g_app);
  g_mapFolders = MapFolderState{};
  PrepareWholeProgram();
  ASSERT_EQ(InitApplication(g_app), 0);
  RunIdleFrame();
  ASSERT_EQ(g_ui.mode, kUiFrontEnd);
  GameChoiceScreen& choice = g_screens.gameChoice;
  ClickControl(FormFindControlByTag(g_screens.startMenu.currentForm, "NEWGAME"));
  int isles = -1;
  for (size_t i = 0; i < choice.scenarios.size(); ++i)
    if (choice.scenarios[i].file == "ISLES" && choice.scenarios[i].custom) isles = static_cast<int>(i);
  ASSERT_GE(isles, 0) << "New game offers the scenario saved in the editor";
  EXPECT_EQ(choice.scenarios[static_cast<size_t>(isles)].title, "ISLES");
  ClickControl(FormFindControlByTag(choice.currentForm, "SCENLIST"), isles);
  ASSERT_EQ(choice.scenario, isles);
  ASSERT_EQ(choice.regions.size(), 9u);
  ClickControl(FormFindControlByTag(choice.currentForm, "REGIONLIST"), 0);
  ASSERT_EQ(choice.region, 1);
  ClickControl(FormFindControlByTag(choice.currentForm, "START"));
  ClickControl(FormFindControlByTag(g_screens.briefing.currentForm, "START"));
  ASSERT_EQ(g_ui.mode, kUiInGame);
  EXPECT_EQ(g_world.mapHeader.startDay, startDay) << "the set-up's start date";
  EXPECT_EQ(CellOwner(g_world.cells[30 * static_cast<size_t>(g_world.mapWidth) + 14].word), 1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    EXPECT_EQ(CapitalHex(g_world.players[2].displayPolicy), marked) << "the new game has the author's capital";
  }
  const uint32_t firstDay = g_world.gameState.currentDay;
  EXPECT_TRUE(PlayUntilDay(firstDay + 10)) << "ten days pass";
  StopGameSession(&g_ui);
  EXPECT_GE(g_world.players[1].hexCount, 20) << "region 1 holds its hexes";
}

}  // namespace
