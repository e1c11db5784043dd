#include "editor/facility_paint_panel.h"

#include <cstring>
#include <string>

#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "platform/messages.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "sim/daily/elimination.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr const char* kFacilityPaintTags[] = {"UGBITS",     "UDESC",   "BUTMEMODE", "BUTUSMODE",
                                              "BUTFULLHEX", "CAPITAL"};
constexpr int32_t kSheetWidth = 256;
constexpr int32_t kSheetColumns = 8;

Control* Find(const Screen& s, const char* tag) { return s.currentForm ? FormFindControlByTag(s.currentForm, tag) : nullptr; }
bool Pressed(const Control* c) { return c && (c->state & kStateSelected); }
void Press(Control* c, bool on) {
  if (c) SetControlFlag(c, kStateSelected, on ? 1 : 0);
}
void SetFlagBit(uint32_t bit, bool on) { g_editorMap.flags = on ? g_editorMap.flags | bit : g_editorMap.flags & ~bit; }
uint32_t Selected(const World& w) { return MakeHexPos(w.gameState.currentHex.x, w.gameState.currentHex.y); }

// The hex's settlement: a live, shown facility whose class counts people.
const UnitRecord* Settlement(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead)) return nullptr;
  const UnitClassRecord* cls = ClassRecordAt(world, lead->classIndex);
  return cls && (cls->flags & kClassSettlementPopulation) ? lead : nullptr;
}

}  // namespace

int32_t FacilityPaletteValue(int32_t left, int32_t top, int32_t right, int32_t x, int32_t y, int32_t scroll) {
  const int32_t width = right - left;
  if (width <= 0 || x < left || x >= right || y + scroll < top) return 0;
  const int32_t column = (x - left) * kSheetWidth / width / kPaletteCell;
  const int32_t row = (scroll - top + y) / kPaletteCell;
  const int32_t cell = column + row * kSheetColumns;
  return cell >= 0 && cell < kFacilityPaletteCells ? kFirstFacilityClass + cell : 0;
}

bool MarkHexCapital(World& world, uint32_t position) {
  HexCell* cell = position != kNoHexPosition ? EditorCellAt(world, position) : nullptr;
  const int owner = cell ? CellOwner(cell->word) : 0;
  if (owner == 0 || !Settlement(world, *cell)) return false;
  const CapitalPosition at{static_cast<int16_t>(HexX(position)), static_cast<int16_t>(HexY(position))};
  SetCapitalHex(world.players[owner].simPolicy, at);
  SetCapitalHex(world.players[owner].displayPolicy, at);
  return true;
}

FacilityPaintPanel::FacilityPaintPanel()
    : Screen("MAPEDITORB_SS3", FormLookups{.tags = kFacilityPaintTags, .ids = {}}) {}

void FacilityPaintPanel::BindControls() {
  if (g_editorScreens.frame) hostLink = &g_editorScreens.frame->toolHost;
  if (auto* palette = dynamic_cast<BitmapControl*>(Find(*this, "UGBITS"))) {
    palette->pictureSlot = &g_ui.bitmaps.ugbitsMe;
    const int32_t scroll = g_editorPalette.facilityOffset;
    palette->images[0].source = plat::Rect{0, scroll, kSheetWidth, scroll + (palette->rect.bottom - palette->rect.top)};
  }
}

void FacilityPaintPanel::Refresh() {
  World& w = g_world;
  EditorMapState& e = g_editorMap;
  // Coming from another tool the brush places the first class, and the
  // hex's attributes are left alone.
  if (e.brushKind != kBrushObject) {
    e.flags |= kEditorKeepAttributes;
    e.brushValue = kFirstFacilityClass;
    e.brushKind = kBrushObject;
  }
  const int32_t cell = e.brushValue - kFirstFacilityClass;
  g_editorPalette.kind = kPaletteFacility;
  g_editorPalette.brush = cell >= 0 && cell < kFacilityPaletteCells ? cell : -1;
  const UnitClassRecord* cls = ClassRecordAt(w, e.brushValue);
  if (Control* desc = Find(*this, "UDESC"))
    desc->SetText(cls ? std::string(cls->name, strnlen(cls->name, sizeof cls->name)).c_str() : "");
  Press(Find(*this, "BUTMEMODE"), (e.flags & kEditorKeepAttributes) != 0);
  Press(Find(*this, "BUTUSMODE"), (e.flags & kEditorKeepTerrain) != 0);
  Press(Find(*this, "BUTFULLHEX"), (e.flags & kEditorLargeBrush) != 0);
  const uint32_t hex = Selected(w);
  const HexCell* at = hex != kNoHexPosition ? EditorCellAt(w, hex) : nullptr;
  const int owner = at ? CellOwner(at->word) : 0;
  const CapitalPosition capital = CapitalHex(w.players[owner].displayPolicy);
  Press(Find(*this, "CAPITAL"), owner != 0 && MakeHexPos(capital.x, capital.y) == hex);
}

void FacilityPaintPanel::OnCommand(Control* control, int32_t) {
  if (!control) return;
  const char* tag = control->tag;
  if (ControlTagMatches(tag, "BUTMEMODE")) {
    SetFlagBit(kEditorKeepAttributes, Pressed(control));
  } else if (ControlTagMatches(tag, "BUTUSMODE")) {
    SetFlagBit(kEditorKeepTerrain, Pressed(control));
  } else if (ControlTagMatches(tag, "BUTFULLHEX")) {
    SetFlagBit(kEditorLargeBrush, Pressed(control));
  } else if (ControlTagMatches(tag, "CAPITAL")) {
    MarkHexCapital(g_world, Selected(g_world));
  }
}

int32_t FacilityPaintPanel::OnControlMessage(uint32_t, uint32_t, int32_t, int32_t message, intptr_t p1, intptr_t p2,
                                             intptr_t p3, Control* control, int32_t) {
  if (!control || !ControlTagMatches(control->tag, "UGBITS")) return 0;
  const auto m = static_cast<uint32_t>(message);
  if (m == plat::kWmLButtonDown || m == plat::kWmLButtonDblClk) {
    const plat::Rect at = ControlAbsoluteRect(control);
    SetMapEditMode(kBrushObject, FacilityPaletteValue(at.left, at.top, at.right, static_cast<int32_t>(p2),
                                                      static_cast<int32_t>(p3), g_editorPalette.facilityOffset));
  } else if (m == plat::kWmMouseWheel) {
    const auto delta = static_cast<int16_t>((static_cast<uint64_t>(p1) >> 16) & 0xFFFF);
    g_editorPalette.pendingScroll += delta / -120 * kPaletteScrollStep;
  }
  return 0;
}
