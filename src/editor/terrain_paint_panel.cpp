#include "editor/terrain_paint_panel.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "platform/messages.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

constexpr size_t kTerrainNameAt = 100;
constexpr size_t kTerrainNameSize = 16;

Control* Find(const TerrainPaintPanel* panel, const char* tag) {
  return panel && panel->currentForm ? FormFindControlByTag(panel->currentForm, tag) : nullptr;
}
Control* Find(const char* tag) {
  return Find(static_cast<const TerrainPaintPanel*>(g_editorScreens.terrainPaint), tag);
}
int32_t TextNumber(const Control* c) { return c ? std::atoi(c->text.c_str()) : 0; }

std::string TerrainName(const World& w, int32_t terrain) {
  if (terrain < 0 || static_cast<size_t>(terrain) >= w.terrains.size()) return {};
  const auto* name = reinterpret_cast<const char*>(w.terrains[static_cast<size_t>(terrain)].bytes + kTerrainNameAt);
  return std::string(name, strnlen(name, kTerrainNameSize));
}

uint32_t Selected(const World& w) { return MakeHexPos(w.gameState.currentHex.x, w.gameState.currentHex.y); }

void SetFlagBit(uint32_t bit, bool on) {
  g_editorMap.flags = on ? g_editorMap.flags | bit : g_editorMap.flags & ~bit;
}

// The command bar's MAPMODE toggle, read into the editing bit.
void ReadEditingToggle() {
  Control* form = g_editorScreens.cmdBar ? g_editorScreens.cmdBar->currentForm : nullptr;
  Control* toggle = form ? FormFindControlByTag(form, "MAPMODE") : nullptr;
  SetFlagBit(kEditorEditing, Pressed(toggle));
}

void ShowHexText(TerrainPaintPanel& panel, const std::string& name) {
  if (Control* c = panel.currentForm ? FormFindControlById(panel.currentForm, kHexTerrainTextId) : nullptr)
    c->SetText(name.c_str());
}

}  // namespace

int32_t TerrainPaletteIndex(int32_t left, int32_t top, int32_t right, int32_t x, int32_t y, int32_t scroll,
                            int32_t terrainCount) {
  const int32_t width = right - left;
  if (width <= 0) return 0;
  const int32_t column = (x - left) * kPaletteSourceWidth / width / kPaletteCell;
  const int32_t row = (scroll - top + y) / kPaletteCell;
  const int32_t index = column + row * kPaletteColumns;
  return index < 0 || index >= terrainCount ? 0 : index;
}

void PaintHexAttributesAt(World& w, uint32_t position) {
  if (position == kNoHexPosition || (g_editorMap.flags & kEditorLoadingPanel) || !(g_editorMap.flags & kEditorEditing))
    return;
  HexCell* cell = EditorCellAt(w, position);
  if (!cell) return;
  const int owner = TextNumber(Find("HEXOWN")) & 31;
  uint32_t word = WithCellOwner(cell->word, owner);
  word = WithCellLoyalTo(word, TextNumber(Find("HEXLOYAL")) & 31);
  word = Pressed(Find("HEXEQ")) ? word | kCellFlagEq : word & ~kCellFlagEq;
  word = Pressed(Find("HEXH")) ? word | kCellFlagH : word & ~kCellFlagH;
  cell->word = word;
  if (HexUnitStack* stack = LoadHexStack(*cell); stack && stack->lead) {
    stack->lead->owner = static_cast<uint8_t>(owner);
    stack->lead->controller = static_cast<uint8_t>(owner);
  }
}

void PaintHexAttributes(TerrainPaintPanel&) {
  plat::CriticalSectionLock lock(g_simulationLock);
  PaintHexAttributesAt(g_world, Selected(g_world));
}

void ResetHexAttributes(TerrainPaintPanel& panel) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  g_editorMap.flags |= kEditorLoadingPanel;
  ShowHexText(panel, TerrainName(w, 0));
  const uint32_t hex = Selected(w);
  if (HexCell* cell = hex != kNoHexPosition ? EditorCellAt(w, hex) : nullptr) cell->word = WithCellTerrain(cell->word, 0);
  EnterInt(Find(&panel, "HEXOWN"), 0);
  EnterInt(Find(&panel, "HEXLOYAL"), 0);
  Press(Find(&panel, "HEXEQ"), false);
  Press(Find(&panel, "HEXH"), false);
  g_editorMap.flags &= ~kEditorLoadingPanel;
  if (hex != kNoHexPosition) PaintHexAttributesAt(w, hex);
}

void PickHexTerrain(TerrainPaintPanel&, int32_t code) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const uint32_t hex = Selected(w);
  if (hex == kNoHexPosition || !(g_editorMap.flags & kEditorEditing) || code != kHexTerrainTextId) return;
  const HexCell* cell = EditorCellAt(w, hex);
  if (cell) SetMapEditMode(kBrushTerrain, CellTerrain(cell->word));
}

void TerrainPaintPanel::BindControls() {
  if (g_editorScreens.frame) hostLink = &g_editorScreens.frame->toolHost;
  if (auto* palette = dynamic_cast<BitmapControl*>(Find(this, "TERRAINBITS"))) {
    palette->pictureSlot = &g_ui.bitmaps.tbits;
    const int32_t scroll = g_editorPalette.terrainOffset;
    palette->images[0].source = plat::Rect{0, scroll, kPaletteSourceWidth, scroll + (palette->rect.bottom - palette->rect.top)};
  }
  if (auto* pick = dynamic_cast<BitmapControl*>(Find(this, "TERRAINPICK"))) pick->pictureSlot = &g_ui.bitmaps.tbits;
}

void TerrainPaintPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  EditorMapState& e = g_editorMap;
  if (e.brushKind != kBrushTerrain) {
    e.flags |= kEditorKeepAttributes;
    e.brushValue = e.terrainBrush;
    e.brushKind = kBrushTerrain;
  }
  g_editorPalette.kind = kPaletteTerrain;
  g_editorPalette.brush = e.terrainBrush;
  const int32_t brush = e.terrainBrush;
  if (auto* pick = dynamic_cast<BitmapControl*>(Find(this, "TERRAINPICK"));
      pick && brush >= 0 && static_cast<size_t>(brush) < w.terrains.size()) {
    const TerrainRecord& t = w.terrains[static_cast<size_t>(brush)];
    pick->images[0].source = plat::Rect{t.imageLeft, t.imageTop, t.imageRight, t.imageBottom};
    pick->Invalidate();
  }
  if (Control* desc = Find(this, "TDESC")) desc->SetText(TerrainName(w, brush).c_str());
  const uint32_t hex = Selected(w);
  const HexCell* cell = hex != kNoHexPosition ? EditorCellAt(w, hex) : nullptr;
  if (!cell) {
    ResetHexAttributes(*this);
  } else {
    e.flags |= kEditorLoadingPanel;
    ShowHexText(*this, TerrainName(w, CellTerrain(cell->word)));
    EnterInt(Find(this, "HEXOWN"), CellOwner(cell->word));
    EnterInt(Find(this, "HEXLOYAL"), CellLoyalTo(cell->word));
    Press(Find(this, "HEXEQ"), (cell->word & kCellFlagEq) != 0);
    Press(Find(this, "HEXH"), (cell->word & kCellFlagH) != 0);
    e.flags &= ~kEditorLoadingPanel;
  }
  Press(Find(this, "BUTMEMODE"), (e.flags & kEditorKeepAttributes) != 0);
  Press(Find(this, "BUTTSMODE"), (e.flags & kEditorKeepTerrain) != 0);
  Press(Find(this, "BUTFULLHEX"), (e.flags & kEditorLargeBrush) != 0);
  ReadEditingToggle();
}

void TerrainPaintPanel::OnCommand(Control* control, int32_t code) {
  if (!control) return;
  const char* tag = control->tag;
  if (ControlTagMatches(tag, "BUTMEMODE")) {
    SetFlagBit(kEditorKeepAttributes, Pressed(control));
  } else if (ControlTagMatches(tag, "BUTTSMODE")) {
    SetFlagBit(kEditorKeepTerrain, Pressed(control));
  } else if (ControlTagMatches(tag, "BUTFULLHEX")) {
    SetFlagBit(kEditorLargeBrush, Pressed(control));
  } else if (ControlTagMatches(tag, "IHRESET")) {
    ResetHexAttributes(*this);
  } else if (code > 0) {
    PickHexTerrain(*this, code);
  }
}

void TerrainPaintPanel::OnControlChange(Control* control, int32_t) {
  if (control && std::strncmp(control->tag, "HEX", 3) == 0) PaintHexAttributes(*this);
}

void NameTerrainCellAt(Control* palette, int32_t x, int32_t y) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!palette) return;
  const plat::Rect at = ControlAbsoluteRect(palette);
  const bool inside = x >= at.left && x < at.right && y >= at.top && y < at.bottom;
  palette->text = inside ? TerrainName(g_world, TerrainPaletteIndex(at.left, at.top, at.right, x, y,
                                                                    g_editorPalette.terrainOffset,
                                                                    static_cast<int32_t>(g_world.terrains.size())))
                         : std::string();
}

int32_t TerrainPaintPanel::OnControlMessage(uint32_t, uint32_t, int32_t, int32_t message, intptr_t p1, intptr_t p2,
                                            intptr_t p3, Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control || !ControlTagMatches(control->tag, "TERRAINBITS")) return 0;
  const auto m = static_cast<uint32_t>(message);
  if (m == plat::kWmLButtonDown || m == plat::kWmLButtonDblClk) {
    const plat::Rect at = ControlAbsoluteRect(control);
    const int32_t index = TerrainPaletteIndex(at.left, at.top, at.right, static_cast<int32_t>(p2),
                                              static_cast<int32_t>(p3), g_editorPalette.terrainOffset,
                                              static_cast<int32_t>(g_world.terrains.size()));
    SetMapEditMode(kBrushTerrain, index);
  } else if (m == plat::kWmMouseWheel) {
    const auto delta = static_cast<int16_t>((static_cast<uint64_t>(p1) >> 16) & 0xFFFF);
    g_editorPalette.pendingScroll += delta / -120 * kPaletteScrollStep;
  }
  return 0;
}
