#include "editor/terrain_type_panels.h"

#include <cmath>
#include <cstring>
#include <string>

#include "app/number_text.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "records/le_bytes.h"
#include "records/text_field.h"
#include "sim/daily/hex_pass.h"
#include "sim/facility_costs.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "world/terrain_file.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr size_t kNameAt = 100;
constexpr size_t kNameSize = 16;
constexpr size_t kClimateAt = 116;
constexpr size_t kMovementAt = 120;
constexpr size_t kFurtherAt = 128;
constexpr size_t kFlagsAt = 136;
// The boxes of terrain flag bits 0 to 6.
constexpr const char* kFlagBoxes[7] = {"SET1", "SET2", "SET4", "SET6", "SET3", "SET5", "SET7"};
// The season sliders, ids 11 to 18, over the climate word's nibbles.
constexpr const char* kSeasons[8] = {"TEMPWIN", "TEMPSPR", "TEMPSUM", "TEMPFALL",
                                     "RAINWIN", "RAINSPR", "RAINSUM", "RAINFALL"};

// A bar's integer maximum, or its k-th root under a power curve.
void SetIntScale(SlideBarControl* bar, int32_t maximum) {
  if (!bar) return;
  const int32_t k = bar->exponent;
  SliderSetMaxInt(bar, k > 0 ? static_cast<int32_t>(std::pow(static_cast<double>(maximum), 1.0 / k)) : maximum);
}

const TerrainRecord* Browsed(const World& w) {
  const int32_t t = g_editorMap.brushValue;
  return g_editorMap.brushKind == kBrushTerrain && t >= 0 && static_cast<size_t>(t) < w.terrains.size()
             ? &w.terrains[static_cast<size_t>(t)]
             : nullptr;
}
float Real(const TerrainRecord& t, size_t at, int i) { return le::LoadF32(t.bytes + at + 4 * static_cast<size_t>(i)); }

// The terrain panels browse the terrain brush: coming from another tool,
// the brush terrain is taken up again.
void TakeTerrainBrush() {
  EditorMapState& e = g_editorMap;
  if (e.brushKind == kBrushTerrain) return;
  e.brushValue = e.terrainBrush;
  e.brushKind = kBrushTerrain;
}

void OpenIn(Screen* panel, Control* container) {
  if (!panel || !container) return;
  panel->id = 0;
  panel->AttachForm(container);
  panel->OnOpen();
  panel->Refresh();
}

}  // namespace

int32_t BrowsedTerrain(int32_t value, int32_t terrainCount) { return value < 0 || value >= terrainCount ? 0 : value; }

void TerrainChartPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* form = currentForm;
  for (int32_t id : kTerrainChartIds) {
    SlideBarControl* bar = IdAs<SlideBarControl>(form, id);
    SetIntScale(bar, 70);
    if (bar) bar->notches = 14;
  }
  const World& w = g_world;
  if (const TerrainRecord* t = Browsed(w)) {
    for (int i = 0; i < 8; ++i)
      if (SlideBarControl* bar = IdAs<SlideBarControl>(form, 1 + i)) SliderSetValueInt(bar, t->bytes[kMovementAt + static_cast<size_t>(i)]);
    for (int i = 0; i < 4; ++i)
      if (SlideBarControl* bar = IdAs<SlideBarControl>(form, 11 + i)) SliderSetValueInt(bar, t->bytes[kFurtherAt + static_cast<size_t>(i)]);
    for (int bit = 0; bit < 7; ++bit) Press(Tag(form, kFlagBoxes[bit]), (t->bytes[kFlagsAt] >> bit) & 1u);
  } else if (g_editorMap.brushKind == kBrushObject) {
    if (const UnitClassRecord* cls = ClassRecordAt(w, g_editorMap.brushValue)) {
      Press(Tag(form, "SET1"), (cls->flags >> 12) & 1u);
      Press(Tag(form, "SET5"), (cls->flags >> 9) & 1u);
      Press(Tag(form, "SET7"), (cls->flags >> 10) & 1u);
    }
  }
}

void AttributesPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* form = currentForm;
  for (int32_t id : kAttributeIds) {
    if (SlideBarControl* bar = IdAs<SlideBarControl>(form, id)) {
      bar->exponent = 2;
      SliderSetMaxFloat(bar, 1.0f);
    }
  }
  const World& w = g_world;
  float odd[8] = {}, even[8] = {};
  const int32_t mode = g_editorMap.mode;
  if (mode == 3) {
    const TerrainRecord* t = Browsed(w);
    for (int k = 0; k < 8 && t; ++k) {
      odd[k] = Real(*t, kTerrainYieldsAt, k);
      even[k] = Real(*t, kTerrainNeighbourhoodAt, k);
    }
  } else if (mode == 6) {
    const UnitClassRecord* cls = ClassRecordAt(w, g_editorMap.brushValue);
    // A class without outputs leaves the bars as they are.
    if (!cls || !cls->hasExtra) return;
    for (int k = 0; k < 8; ++k) odd[k] = even[k] = ClassOutputFactor(*cls, k);
  } else {
    float yields[kHexYieldProducts], caps[kHexYieldProducts];
    const HexPosition& hex = w.gameState.currentHex;
    HexYieldEstimate(w, hex.y * w.mapWidth + hex.x, yields, caps);
    for (int k = 0; k < 8; ++k) {
      odd[k] = yields[k];
      even[k] = caps[k];
    }
  }
  for (int k = 0; k < 8; ++k) {
    if (SlideBarControl* bar = IdAs<SlideBarControl>(form, 2 * k + 1)) SliderSetValueFloat(bar, odd[k]);
    if (SlideBarControl* bar = IdAs<SlideBarControl>(form, 2 * k + 2)) SliderSetValueFloat(bar, even[k]);
  }
}

void TerrainTypePanel::BindControls() {
  if (g_editorScreens.frame) hostLink = &g_editorScreens.frame->toolHost;
  if (auto* pick = dynamic_cast<BitmapControl*>(Tag(currentForm, "TERRAINPICK"))) pick->pictureSlot = &g_ui.bitmaps.tbits;
}

void TerrainTypePanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  TakeTerrainBrush();
  Control* form = currentForm;
  const World& w = g_world;
  if (const TerrainRecord* t = Browsed(w)) {
    if (auto* pick = dynamic_cast<BitmapControl*>(Tag(form, "TERRAINPICK"))) {
      pick->images[0].source = plat::Rect{t->imageLeft, t->imageTop, t->imageRight, t->imageBottom};
      pick->Invalidate();
    }
    if (Control* name = Tag(form, "TDESC")) {
      const auto* text = reinterpret_cast<const char*>(t->bytes + kNameAt);
      name->SetText(std::string(text, strnlen(text, kNameSize)).c_str());
    }
    const uint8_t people = t->bytes[kTerrainPopulationAt];
    if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(form, "AVGPOP"))) {
      SliderSetMaxInt(bar, 255);
      SliderSetValueInt(bar, people);
    }
    Control* mult = Tag(form, "AVGMULT");
    if (mult && mult->text.size() >= 3) {
      char text[48];
      mult->SetText(FormatNumberText(text, 0, 0, nullptr, 0, nullptr, 0, people));
    }
    const uint32_t climate = le::Load32(t->bytes + kClimateAt);
    for (int i = 0; i < 8; ++i) {
      auto* bar = dynamic_cast<SlideBarControl*>(Tag(form, kSeasons[i]));
      SetIntScale(bar, 15);
      if (bar) SliderSetValueInt(bar, static_cast<int32_t>((climate >> (4 * i)) & 15u));
    }
  }
  OpenIn(chart, Tag(form, "PARENTTCHART"));
  OpenIn(attributes, Tag(form, "PARENTATTRIB"));
}

void TerrainTypePanel::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  World& w = g_world;
  EditorMapState& e = g_editorMap;
  const std::string file = FieldText(w.mapHeader.terrainFileName);
  if (ControlTagMatches(control->tag, "BUTLOAD")) {
    ReadTerFile(w, file);
  } else if (ControlTagMatches(control->tag, "BUTSAVE")) {
    WriteTerFile(w, file);
  } else if (ControlTagMatches(control->tag, "BUTNEXT")) {
    ++e.brushValue;
  } else if (ControlTagMatches(control->tag, "BUTPREV")) {
    --e.brushValue;
  } else {
    return;
  }
  const int32_t t = BrowsedTerrain(e.brushValue, static_cast<int32_t>(w.terrains.size()));
  SetMapEditMode(kBrushTerrain, t);
}
