#include "editor/editor_setup_dialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/calendar.h"
#include "editor/editor_clear_units.h"
#include "editor/editor_file_menu.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "records/text_field.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"
#include "world/game_file.h"
#include "world/map_data.h"
#include "world/map_file.h"
#include "world/map_imagery.h"
#include "world/people_file.h"
#include "world/post_load.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "world/unit_class_file.h"
#include "world/world.h"

namespace {

// The map's size and hex width as the dialog accepts them.
constexpr int32_t kMinMapSide = 10;
constexpr int32_t kMaxEditorMapSide = 999;
constexpr int32_t kMaxHexWidth = 75;
// The picture's rectangle lies within the picture.
constexpr int32_t kImageWidth = 800;
constexpr int32_t kImageHeight = 400;
// Where the header keeps what it does not name (byte offsets in the header).
constexpr size_t kImageRectAt = 256;     // left, top, right, bottom (int32)
constexpr size_t kWrapFlagAt = 67;       // byte
constexpr size_t kMapSettingsAt = 565;   // sixteen bytes
constexpr int32_t kMapSettingsFirstId = 11;
constexpr int32_t kMapSettings = 16;
constexpr uint32_t kOptionFacilitySize = 1;  // bit of the header's option word
// A level in metres is a power of two up to 2^10.
constexpr int32_t kLevelSteps = 10;
constexpr int32_t kMaxLevel = 1 << kLevelSteps;
constexpr int16_t kMaxStartYear = 2500;
constexpr size_t kScenarioNameChars = 39;

constexpr const char* kMapTags[] = {"MAPNAME",  "MAPX",     "MAPY",     "HEXWIDTH", "IMGWRAP", "IMGSHOW", "IMGFILEL",
                                    "IMGFILEM", "IMGFILEH", "TERFILE",  "ZRECTX",   "ZRECTY",  "ZRECTW",  "ZRECTH",
                                    "OKBUT",    "CANBUT"};
constexpr const char* kScenarioTags[] = {"GAMNAME",    "MAXP",        "TEMPAVGSLDR", "PRECAVGSLDR", "LMSLDR",
                                         "LEVELM",     "MAPFNAME",    "UNITSFNAME",  "PEOPLEFNAME", "TECHFNAME",
                                         "STARTYEAR",  "STARTMONTH",  "STARTDAY",    "UPGSIZE",     "OKBUT",
                                         "CANBUT",     "KILLUPG",     "KILLUNIT",    "KILLPPL"};
constexpr int32_t kScenarioIds[] = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};

uint8_t* HeaderBytes(MapHeader& h) { return reinterpret_cast<uint8_t*>(&h); }
int32_t HeaderInt(MapHeader& h, size_t at) {
  int32_t v;
  std::memcpy(&v, HeaderBytes(h) + at, sizeof v);
  return v;
}
void SetHeaderInt(MapHeader& h, size_t at, int32_t v) { std::memcpy(HeaderBytes(h) + at, &v, sizeof v); }

std::string Text(const Screen& s, const char* tag) {
  const Control* c = Tag(s, tag);
  return c ? c->text : std::string();
}
int32_t Number(const Screen& s, const char* tag) { return std::atoi(Text(s, tag).c_str()); }
void Put(Control* c, const std::string& text) {
  if (c) c->SetText(text.c_str());
}
void PutNumber(Control* c, int32_t v) { Put(c, std::to_string(v)); }
SlideBarControl* Slider(const Screen& s, const char* tag) {
  Control* c = Tag(s, tag);
  return c && c->kind == kKindSlideBar ? static_cast<SlideBarControl*>(c) : nullptr;
}

// The panels show the changed world, and its derived figures follow it.
void AfterSetup() {
  RefreshEditorInfoPanels();
  if (g_editorScreens.derivedData) RecalcDerivedMapData(*g_editorScreens.derivedData);
}

}  // namespace

MapSetupDialog::MapSetupDialog() : Screen("MAPEDITOR_POPUP1", FormLookups{.tags = kMapTags, .ids = {}}) {}

void MapSetupDialog::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  MapHeader& h = g_world.mapHeader;
  const bool current = id == 0;
  Put(Tag(*this, "MAPNAME"), current ? FieldText(h.gameTitle) : "");
  PutNumber(Tag(*this, "MAPX"), h.width);
  PutNumber(Tag(*this, "MAPY"), h.height);
  PutNumber(Tag(*this, "HEXWIDTH"), static_cast<int32_t>(h.hexScale));
  Press(Tag(*this, "IMGWRAP"), HeaderBytes(h)[kWrapFlagAt] != 0);
  Press(Tag(*this, "IMGSHOW"), current ? (h.flags & kMapFlagImagery) != 0 : true);
  Put(Tag(*this, "IMGFILEL"), current ? FieldText(h.name68) : "");
  Put(Tag(*this, "IMGFILEM"), current ? FieldText(h.imageryName) : "");
  Put(Tag(*this, "IMGFILEH"), current ? FieldText(h.name108) : "");
  Put(Tag(*this, "TERFILE"), current ? FieldText(h.terrainFileName) : "DEFAULT");
  const int32_t left = current ? HeaderInt(h, kImageRectAt) : 0;
  const int32_t top = current ? HeaderInt(h, kImageRectAt + 4) : 0;
  PutNumber(Tag(*this, "ZRECTX"), left);
  PutNumber(Tag(*this, "ZRECTY"), top);
  PutNumber(Tag(*this, "ZRECTW"), current ? HeaderInt(h, kImageRectAt + 8) - left : kImageWidth);
  PutNumber(Tag(*this, "ZRECTH"), current ? HeaderInt(h, kImageRectAt + 12) - top : kImageHeight);
}

void MapSetupDialog::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  EndTextEdit();
  if (Is(control, "CANBUT")) {
    Close(0);
    return;
  }
  if (!Is(control, "OKBUT")) return;
  World& w = g_world;
  const auto side = [](int32_t v, int32_t current) { return v < kMinMapSide || v > kMaxEditorMapSide ? current : v; };
  const int32_t width = side(Number(*this, "MAPX"), w.mapHeader.width);
  const int32_t height = side(Number(*this, "MAPY"), w.mapHeader.height);
  if (id != 0)
    LoadNewWorld(width, height);
  else
    ResizeEditorMap(w, width, height);
  MapHeader& h = w.mapHeader;
  const uint8_t wrapped = HeaderBytes(h)[kWrapFlagAt];
  SetFieldText(h.gameTitle, Text(*this, "MAPNAME"));
  SetFieldText(w.gameState.mapName, FieldText(h.gameTitle));
  if (const int32_t hex = Number(*this, "HEXWIDTH"); hex >= 1 && hex <= kMaxHexWidth) {
    h.hexScale = static_cast<uint32_t>(hex);
    h.scaleSquared = static_cast<float>(hex * hex) / 400.0f;
  }
  HeaderBytes(h)[kWrapFlagAt] = Pressed(Tag(*this, "IMGWRAP")) ? 1 : 0;
  h.flags = static_cast<uint8_t>((h.flags & ~kMapFlagImagery) | (Pressed(Tag(*this, "IMGSHOW")) ? kMapFlagImagery : 0));
  SetFieldText(h.name68, Text(*this, "IMGFILEL"));
  SetFieldText(h.imageryName, Text(*this, "IMGFILEM"));
  SetFieldText(h.name108, Text(*this, "IMGFILEH"));
  SetFieldText(h.terrainFileName, Text(*this, "TERFILE"));
  // The rectangle is kept within the picture; one that misses it is empty.
  const int32_t left = Number(*this, "ZRECTX"), top = Number(*this, "ZRECTY");
  int32_t rect[4] = {std::max(left, 0), std::max(top, 0), std::min(left + Number(*this, "ZRECTW"), kImageWidth),
                     std::min(top + Number(*this, "ZRECTH"), kImageHeight)};
  if (rect[0] >= rect[2] || rect[1] >= rect[3]) rect[0] = rect[1] = rect[2] = rect[3] = 0;
  for (int i = 0; i < 4; ++i) SetHeaderInt(h, kImageRectAt + 4 * static_cast<size_t>(i), rect[i]);
  // The view was set up for the edges the map had; edges that now meet, or
  // no longer do, scroll and clamp differently.
  if (HeaderBytes(h)[kWrapFlagAt] != wrapped && g_mapViewHooks.resetView) g_mapViewHooks.resetView(h.width, h.height);
  AfterSetup();
  Close(0);
}

int32_t LevelSliderStep(int32_t level) {
  int32_t k = 0;
  while (k < kLevelSteps && level > (1 << k)) ++k;
  return k;
}

ScenarioSetupDialog::ScenarioSetupDialog()
    : Screen("MAPEDITOR_POPUP2", FormLookups{.tags = kScenarioTags, .ids = kScenarioIds}) {}

void ScenarioSetupDialog::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  MapHeader& h = w.mapHeader;
  const bool current = id == 0;
  Put(Tag(*this, "GAMNAME"), current ? FieldText(w.gameState.scenarioName) : "");
  PutNumber(Tag(*this, "MAXP"), w.gameState.playerCount);
  const float climate[2] = {current ? h.tuning[0] - 0.5f : 0.5f, current ? h.tuning[1] - 0.5f : 0.5f};
  const char* sliders[2] = {"TEMPAVGSLDR", "PRECAVGSLDR"};
  for (int i = 0; i < 2; ++i)
    if (SlideBarControl* bar = Slider(*this, sliders[i])) {
      SliderSetMaxFloat(bar, 1.0f);
      SliderSetValueFloat(bar, climate[i]);
    }
  if (SlideBarControl* bar = Slider(*this, "LMSLDR")) {
    SliderSetMaxInt(bar, kLevelSteps);
    bar->notches = kLevelSteps;
    SliderSetValueInt(bar, current ? LevelSliderStep(static_cast<int32_t>(h.newMapWord)) : 0);
  }
  Put(Tag(*this, "MAPFNAME"), current ? FieldText(h.gameTitle) : "");
  Put(Tag(*this, "UNITSFNAME"), current ? FieldText(h.unitFileName) : "");
  Put(Tag(*this, "PEOPLEFNAME"), current ? FieldText(h.peopleFileName) : "");
  Put(Tag(*this, "TECHFNAME"), current ? FieldText(h.techFileName) : "DEFAULT");
  GameDate start;
  start.dayNumber = static_cast<int32_t>(h.startDay);
  DayNumberToDate(start);
  PutNumber(Tag(*this, "STARTYEAR"), current ? start.year : 2010);
  PutNumber(Tag(*this, "STARTMONTH"), current ? start.month : 5);
  PutNumber(Tag(*this, "STARTDAY"), current ? start.day : 1);
  for (int32_t i = 0; i < kMapSettings; ++i)
    if (Control* c = currentForm ? FormFindControlById(currentForm, kMapSettingsFirstId + i) : nullptr)
      PutNumber(c, current ? HeaderBytes(h)[kMapSettingsAt + static_cast<size_t>(i)] : 0);
  Press(Tag(*this, "UPGSIZE"), (h.word600 & kOptionFacilitySize) != 0);
  OnControlChange(nullptr, 0);
}

void ScenarioSetupDialog::OnControlChange(Control*, int32_t) {
  const SlideBarControl* bar = Slider(*this, "LMSLDR");
  const int32_t step = std::clamp(bar ? SliderGetValueInt(bar) : 0, 0, kLevelSteps);
  PutNumber(Tag(*this, "LEVELM"), 1 << step);
}

void ScenarioSetupDialog::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  if (Is(control, "CANBUT")) {
    Close(0);
  } else if (Is(control, "KILLUPG")) {
    ClearEditorUnits(w, EditorClear::kFacilities);
  } else if (Is(control, "KILLUNIT")) {
    ClearEditorUnits(w, EditorClear::kUnits);
  } else if (Is(control, "KILLPPL")) {
    ClearEditorUnits(w, EditorClear::kSettlements);
  } else if (Is(control, "OKBUT")) {
    MapHeader& h = w.mapHeader;
    if (id == 1) BuildBlankEditorWorld();
    if (id != 0) {
      // Each file that is there is read; a missing one leaves its part.
      (void)ReadGamFile(w, Text(*this, "GAMNAME"));
      (void)ReadMapFile(w, Text(*this, "MAPFNAME"));
      (void)ReadUniFile(w, Text(*this, "UNITSFNAME"));
      (void)ReadPplFile(w, Text(*this, "PEOPLEFNAME"));
      (void)ReadTtrFile(w, Text(*this, "TECHFNAME"));
      (void)ReadTerFile(w, FieldText(h.terrainFileName));
      CheckUnitsAfterLoad(w);
    }
    SetFieldText(h.gameTitle, Text(*this, "MAPFNAME"));
    SetFieldText(w.gameState.mapName, FieldText(h.gameTitle));
    const std::string name = Text(*this, "GAMNAME");
    SetFieldText(w.gameState.scenarioName, std::string_view(name).substr(0, std::min(name.size(), kScenarioNameChars)));
    if (const int32_t level = Number(*this, "LEVELM"); level >= 1 && level <= kMaxLevel)
      h.newMapWord = static_cast<uint32_t>(level);
    SetFieldText(h.unitFileName, Text(*this, "UNITSFNAME"));
    SetFieldText(h.peopleFileName, Text(*this, "PEOPLEFNAME"));
    SetFieldText(h.techFileName, Text(*this, "TECHFNAME"));
    GameDate start;
    start.year = static_cast<int16_t>(std::clamp(Number(*this, "STARTYEAR"), 1, static_cast<int32_t>(kMaxStartYear)));
    start.month = static_cast<uint8_t>(Number(*this, "STARTMONTH"));
    start.day = static_cast<uint8_t>(Number(*this, "STARTDAY"));
    DateToDayNumber(start);
    h.startDay = static_cast<uint32_t>(start.dayNumber);
    w.gameState.currentDay = h.startDay;
    const char* sliders[2] = {"TEMPAVGSLDR", "PRECAVGSLDR"};
    for (int i = 0; i < 2; ++i) {
      const SlideBarControl* bar = Slider(*this, sliders[i]);
      h.tuning[i] = (bar ? SliderGetValueFloat(bar) : 0.5f) + 0.5f;
      w.gameState.mapTuning[i] = h.tuning[i];
    }
    for (int32_t i = 0; i < kMapSettings; ++i)
      if (Control* c = currentForm ? FormFindControlById(currentForm, kMapSettingsFirstId + i) : nullptr)
        HeaderBytes(h)[kMapSettingsAt + static_cast<size_t>(i)] = static_cast<uint8_t>(std::atoi(c->text.c_str()));
    h.word600 = (h.word600 & ~kOptionFacilitySize) | (Pressed(Tag(*this, "UPGSIZE")) ? kOptionFacilitySize : 0);
    AfterSetup();
    Close(0);
  }
}
