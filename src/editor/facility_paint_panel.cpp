#include "editor/facility_paint_panel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "platform/messages.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "app/number_text.h"
#include "sim/facility_costs.h"
#include "sim/hex_refresh.h"
#include "sim/simulation_lock.h"
#include "units/hex_state.h"
#include "sim/daily/elimination.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "units/facilities/facility_build.h"
#include "units/facilities/hex_facility_state.h"
#include "units/hex_geometry.h"
#include "units/hex_stack_commands.h"
#include "world/hex_stack_chains.h"
#include "world/record_helpers.h"
#include "world/unit_create.h"
#include "world/hex_extra.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr const char* kFacilityPaintTags[] = {
    "UGBITS",    "UDESC",     "BUTMEMODE", "BUTUSMODE", "BUTFULLHEX", "CAPITAL",   "HEXNAME",   "HEXPSLDR",
    "HEXPSTR",   "HEXPARK",   "UGSTRSLDR", "FSTR",      "UGOFFLINE",  "PARUGSET",  "ATTRIBPAR", "IHRESET",
    "IHBASESET", "UGPICK",    "INDUSPAR"};
constexpr int32_t kFacilityPaintIds[] = {10, 14};
constexpr int32_t kHexClassTextId = 10;
constexpr int32_t kFlag30Id = 14;
constexpr float kPopulationPerScale = 5000000.0f;
constexpr int32_t kSheetWidth = 256;
constexpr int32_t kSheetColumns = 8;

void SetFlagBit(uint32_t bit, bool on) { g_editorMap.flags = on ? g_editorMap.flags | bit : g_editorMap.flags & ~bit; }
uint32_t Selected(const World& w) { return MakeHexPos(w.gameState.currentHex.x, w.gameState.currentHex.y); }
HexCell* SelectedCell(World& w) {
  const uint32_t hex = Selected(w);
  return hex != kNoHexPosition ? EditorCellAt(w, hex) : nullptr;
}

// The hex's settlement: a live, shown facility whose class counts people.
const UnitRecord* Settlement(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead)) return nullptr;
  const UnitClassRecord* cls = ClassRecordAt(world, lead->classIndex);
  return cls && (cls->flags & kClassSettlementPopulation) ? lead : nullptr;
}

// The hex's facility when it stands: live and not provisional.
UnitRecord* StandingFacility(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* lead = stack ? stack->lead : nullptr;
  return lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional) ? lead : nullptr;
}

// Shown to the panel: standing, or hidden but on the local player's hex.
UnitRecord* ShownFacility(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead)) return nullptr;
  const bool local = CellOwner(cell.word) == world.gameState.localPlayer;
  return local || !(lead->unitFlags & kUnitProvisional) ? lead : nullptr;
}

SlideBarControl* Bar(const Screen& s, const char* tag) { return dynamic_cast<SlideBarControl*>(Tag(s, tag)); }

uint8_t AverageByte(const World& w, const HexCell& cell) {
  const TerrainRecord* t = TerrainOf(w, cell);
  return t ? t->bytes[kTerrainPopulationAt] : 0;
}

float PopulationBase(uint8_t b) { return b > 0 ? static_cast<float>(b) * static_cast<float>(b) + 99.0f : 0.0f; }

std::string ClassName(const World& w, int32_t index) {
  const UnitClassRecord* cls = ClassRecordAt(w, index);
  return cls ? std::string(cls->name, strnlen(cls->name, sizeof cls->name)) : std::string();
}

// Both status slots cleared, the park flag kept in the pending byte and
// made current.
void ClearStatusSlot(HexExtra& label, int slot) {
  HexSlotClass(label, slot) = 0;
  SetHexSlotProgress(label, slot, 0.0f);
  HexSlotSimFlags(label, slot) &= kSlotNoYield;
  HexSlotDisplayFlags(label, slot) = HexSlotSimFlags(label, slot);
}

// The park flag through the two-copy count: current first, then pending.
void SetParkFlag(HexExtra& label, bool on) {
  const auto set = [on](uint8_t& b) { b = on ? b | kSlotNoYield : b & static_cast<uint8_t>(~kSlotNoYield); };
  ++HexPendingCount(label);
  set(HexSlotDisplayFlags(label, 0));
  set(HexSlotSimFlags(label, 0));
  if (HexPendingCount(label) > 0) --HexPendingCount(label);
  if (HexPendingCount(label) == 0) {
    HexSlotDisplayFlags(label, 0) = HexSlotSimFlags(label, 0);
    HexSlotDisplayFlags(label, 1) = HexSlotSimFlags(label, 1);
  }
}

// The facility's level is its picture's frame, kept in all four frame bytes.
void SetFacilityLevel(UnitRecord& f, int32_t level) {
  const auto v = static_cast<uint8_t>(level);
  f.heading = f.wantedHeading = f.angle2 = f.wantedAngle2 = v;
}

void OpenIn(Screen* panel, Control* container) {
  if (!panel || !container) return;
  panel->id = 0;
  panel->AttachForm(container);
  panel->OnOpen();
  panel->Refresh();
}

}  // namespace

int32_t SteppedFacilityLevel(int32_t level, int32_t step, int32_t lowest, int32_t highest) {
  const int32_t next = level + step;
  if (next > highest) return lowest;
  if (next < lowest) return highest;
  return next;
}

float HexExtraPopulation(float shown, uint8_t averageByte) { return std::max(0.0f, shown - PopulationBase(averageByte)); }

float CappedFacilityStrength(float s, float need, float have) {
  s = std::clamp(s, 0.0f, 1.0f);
  // Without a need there is nothing to divide by: the strength stands.
  if (need > 0.0f && have < need * s) s = std::clamp(have / need, 0.0f, 1.0f);
  return s;
}

int32_t FacilityPaletteValue(int32_t left, int32_t top, int32_t right, int32_t x, int32_t y, int32_t scroll) {
  const int32_t width = right - left;
  if (width <= 0 || x < left || x >= right || y + scroll < top) return 0;
  const int32_t column = (x - left) * kSheetWidth / width / kPaletteCell;
  const int32_t row = (scroll - top + y) / kPaletteCell;
  const int32_t cell = column + row * kSheetColumns;
  return cell >= 0 && cell < kFacilityPaletteCells ? kFirstFacilityClass + cell : 0;
}

void NameFacilityCellAt(Control* palette, int32_t x, int32_t y) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!palette) return;
  const plat::Rect at = ControlAbsoluteRect(palette);
  const int32_t value =
      y >= at.top && y < at.bottom ? FacilityPaletteValue(at.left, at.top, at.right, x, y, g_editorPalette.facilityOffset) : 0;
  palette->text = value ? ClassName(g_world, value) : std::string();
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
    : Screen("MAPEDITORB_SS3", FormLookups{.tags = kFacilityPaintTags, .ids = kFacilityPaintIds}) {}

void FacilityPaintPanel::BindControls() {
  if (g_editorScreens.frame) hostLink = &g_editorScreens.frame->toolHost;
  if (auto* palette = dynamic_cast<BitmapControl*>(Tag(*this, "UGBITS"))) {
    palette->pictureSlot = &g_ui.bitmaps.ugbitsMe;
    const int32_t scroll = g_editorPalette.facilityOffset;
    palette->images[0].source = plat::Rect{0, scroll, kSheetWidth, scroll + (palette->rect.bottom - palette->rect.top)};
  }
}

void FacilityPaintPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
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
  if (g_editorLinks.drawClassPicture) g_editorLinks.drawClassPicture(Tag(*this, "UGPICK"), e.brushValue, -1);
  if (Control* desc = Tag(*this, "UDESC"))
    desc->SetText(cls ? std::string(cls->name, strnlen(cls->name, sizeof cls->name)).c_str() : "");
  Press(Tag(*this, "BUTMEMODE"), (e.flags & kEditorKeepAttributes) != 0);
  Press(Tag(*this, "BUTUSMODE"), (e.flags & kEditorKeepTerrain) != 0);
  Press(Tag(*this, "BUTFULLHEX"), (e.flags & kEditorLargeBrush) != 0);
  const uint32_t hex = Selected(w);
  const HexCell* at = hex != kNoHexPosition ? EditorCellAt(w, hex) : nullptr;
  const int owner = at ? CellOwner(at->word) : 0;
  const CapitalPosition capital = CapitalHex(w.players[owner].displayPolicy);
  Press(Tag(*this, "CAPITAL"), owner != 0 && MakeHexPos(capital.x, capital.y) == hex);
  if (SlideBarControl* bar = Bar(*this, "HEXPSLDR")) {
    bar->exponent = 3;
    SliderSetMaxFloat(bar, w.mapHeader.scaleSquared * kPopulationPerScale);
  }
  if (SlideBarControl* bar = Bar(*this, "UGSTRSLDR")) SliderSetMaxFloat(bar, 1.0f);
  if (!at) {
    ResetHexFacility();
    return;
  }
  LoadHex(w, *at);
  UpdateHexFacilityTexts();
  // A hex to edit and nothing else being typed: the keys name the hex, so
  // a town placed is named by typing at once.
  if ((e.flags & kEditorEditing) && !g_controls.edit) TextEditSetActive(Tag(*this, "HEXNAME"));
}

void FacilityPaintPanel::LoadHex(const World& w, const HexCell& cell) {
  // While the panel reads the hex, its controls' changes write nothing back.
  g_editorMap.flags |= kEditorLoadingPanel;
  if (Control* name = Id(*this, kHexClassTextId)) name->SetText(ClassName(w, 0).c_str());
  const HexUnitStack* stack = LoadHexStack(cell);
  const HexExtra* label = stack ? stack->extra : nullptr;
  if (Control* name = Tag(*this, "HEXNAME")) {
    name->SetText(label && label->text ? label->text : "");
    // The name shown is selected whole, so that the name typed for a new
    // town replaces the one the brush gave it rather than running on from it.
    if (auto* field = dynamic_cast<EditControl*>(name)) field->wholeTextSelected = !field->sourceText.empty();
  }
  const float extra = label ? HexSettlementPopulation(*label) : 0.0f;
  if (SlideBarControl* bar = Bar(*this, "HEXPSLDR")) SliderSetValueFloat(bar, PopulationBase(AverageByte(w, cell)) + extra);
  Press(Tag(*this, "HEXPARK"), label && (label->pairA[0] & kSlotNoYield));
  g_editorMap.flags &= ~kEditorLoadingPanel;
  OpenSubPanels();
  Control* group = Tag(*this, "PARUGSET");
  if (group) SetControlFlag(group, kStateHidden, 1);
  const UnitRecord* f = ShownFacility(w, cell);
  if (!f) return;
  if (group) SetControlFlag(group, kStateHidden, 0);
  if (Control* name = Id(*this, kHexClassTextId)) name->SetText(ClassName(w, f->classIndex).c_str());
  if (SlideBarControl* bar = Bar(*this, "UGSTRSLDR")) SliderSetValueFloat(bar, f->strength);
  if (Control* offline = Tag(*this, "UGOFFLINE")) {
    // A facility under repair whose work word is spent cannot be switched.
    const bool locked = (f->ordersShown[kPostureBits] & kPostureUnderConstruction) &&
                        static_cast<int32_t>(f->ordersShown[12]) < 0;
    SetControlFlag(offline, kStateHidden, locked ? 1 : 0);
    Press(offline, !locked && (f->ordersShown[kPostureBits] & kPostureInReserve));
  }
  Press(Id(*this, kFlag30Id), (f->unitFlags & kUnitMapOption) != 0);
}

void FacilityPaintPanel::OpenSubPanels() {
  OpenIn(attributes, Tag(*this, "ATTRIBPAR"));
  OpenIn(industry, Tag(*this, "INDUSPAR"));
}

void FacilityPaintPanel::OnControlChange(Control* control, int32_t) {
  if (!control || ControlTagMatches(control->tag, "UGBITS")) return;
  if (std::strncmp(control->tag, "HEX", 3) == 0 || std::strncmp(control->tag, "UG", 2) == 0) UpdateHexFacilityTexts();
}

void FacilityPaintPanel::ApplyHexFacilityBrush() {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const uint32_t flags = g_editorMap.flags;
  HexCell* cell = SelectedCell(w);
  if (!cell || (flags & kEditorLoadingPanel) || !(flags & kEditorEditing)) return;
  if (Control* name = Tag(*this, "HEXNAME")) {
    HexExtra* label = GetHexExtra(w, *cell);
    SetLockedText(w, label->text, name->text.c_str());
  }
  const HexUnitStack* stack = LoadHexStack(*cell);
  if (SlideBarControl* bar = Bar(*this, "HEXPSLDR"))
    SetHexSettlementPopulation(*GetHexExtra(w, *cell), HexExtraPopulation(SliderGetValueFloat(bar), AverageByte(w, *cell)));
  const bool park = Pressed(Tag(*this, "HEXPARK"));
  stack = LoadHexStack(*cell);
  if (park || (stack && stack->extra)) SetParkFlag(*GetHexExtra(w, *cell), park);
  UnitRecord* f = StandingFacility(*cell);
  const UnitClassRecord* cls = f ? UnitClassOf(w, *f) : nullptr;
  if (!f || !cls) return;
  SlideBarControl* strength = Bar(*this, "UGSTRSLDR");
  float s = strength ? SliderGetValueFloat(strength) : f->strength;
  // On a facility class the same bit marks an output its surroundings
  // must feed.
  if (cls->flags & kClassSpecialWeaponB) {
    const SiteSupply site = HexSiteSupply(w, *cell, *cls, f->classIndex, CellOwner(cell->word));
    s = CappedFacilityStrength(s, site.need, site.supply);
  } else {
    s = CappedFacilityStrength(s, 0.0f, 0.0f);
  }
  if (strength) SliderSetValueFloat(strength, s);
  StackSetFlagA(w, *cell, 1, s);
  if (cls->flags & kClassProduction) SetFacilityFullStrength(w, *cell, 1, s);
  const int offline = Pressed(Tag(*this, "UGOFFLINE")) ? 1 : 0;
  SetStackUnitState(w, *cell, 0, offline);
  SetStackUnitState(w, *cell, 1, offline);
  f->unitFlags = Pressed(Id(*this, kFlag30Id)) ? f->unitFlags | kUnitMapOption : f->unitFlags & ~kUnitMapOption;
}

void FacilityPaintPanel::UpdateHexFacilityTexts() {
  plat::CriticalSectionLock lock(g_simulationLock);
  ApplyHexFacilityBrush();
  char text[64];
  if (SlideBarControl* bar = Bar(*this, "HEXPSLDR"))
    if (Control* shown = Tag(*this, "HEXPSTR"))
      shown->SetText(FormatNumberText(text, 0, 0, "", 0, "", 0, SliderGetValueFloat(bar)));
  HexCell* cell = SelectedCell(g_world);
  const UnitRecord* f = cell ? StandingFacility(*cell) : nullptr;
  const float strength = f ? std::min(f->strength, 1.0f) : 0.0f;
  std::snprintf(text, sizeof text, "%3.0f %%", static_cast<double>(strength * 100.0f));
  if (Control* shown = Tag(*this, "FSTR")) shown->SetText(text);
}

void FacilityPaintPanel::SetHexFacilityBase() {
  plat::CriticalSectionLock lock(g_simulationLock);
  HexCell* cell = SelectedCell(g_world);
  if (!cell) return;
  g_editorMap.flags &= ~kEditorLoadingPanel;
  ApplyHexFacilityBrush();
  OpenSubPanels();
}

void FacilityPaintPanel::ResetHexFacility() {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  g_editorMap.flags |= kEditorLoadingPanel;
  if (Control* name = Id(*this, kHexClassTextId)) name->SetText(ClassName(w, 0).c_str());
  HexCell* cell = SelectedCell(w);
  if (cell) {
    HexUnitStack* stack = LoadHexStack(*cell);
    if (stack && stack->extra)
      for (int slot = 0; slot < 2; ++slot) ClearStatusSlot(*stack->extra, slot);
    if (UnitRecord* f = StandingFacility(*cell)) {
      // Retired first so the hex's routes and marks are counted again
      // without it, then made the plain facility of class 1.
      UnitHexRefresh(w, *f);
      SetUnitClass(w, *f, false, 1);
      SetUnitClass(w, *f, true, 1);
    }
  }
  if (Control* name = Tag(*this, "HEXNAME")) name->SetText("");
  if (SlideBarControl* bar = Bar(*this, "HEXPSLDR")) SliderSetValueFloat(bar, 0.0f);
  UpdateHexFacilityTexts();
  Press(Tag(*this, "HEXPARK"), false);
  g_editorMap.flags &= ~kEditorLoadingPanel;
  ApplyHexFacilityBrush();
  if (cell) OpenSubPanels();
  if (Control* group = Tag(*this, "PARUGSET")) SetControlFlag(group, kStateHidden, 1);
}

void FacilityPaintPanel::OnCommand(Control* control, int32_t code) {
  plat::CriticalSectionLock lock(g_simulationLock);
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
  } else if (ControlTagMatches(tag, "IHRESET")) {
    ResetHexFacility();
  } else if (ControlTagMatches(tag, "IHBASESET")) {
    SetHexFacilityBase();
  } else if (code > 9) {
    FacilityPanelAction(code);
  }
}

void FacilityPaintPanel::FacilityPanelAction(int32_t code) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  HexCell* cell = SelectedCell(w);
  if (!cell || !(g_editorMap.flags & kEditorEditing)) return;
  UnitRecord* f = StandingFacility(*cell);
  int32_t brush = f ? f->classIndex : 0;
  const UnitClassRecord* cls = f ? UnitClassOf(w, *f) : nullptr;
  if ((code == 20 || code == 21) && f && cls) {
    SetFacilityLevel(*f, SteppedFacilityLevel(f->heading, code == 20 ? 1 : -1, cls->sweepLower, cls->sweepUpper));
  } else if (code == 12) {
    if (f) {
      UnitHexRefresh(w, *f);
      SetUnitClass(w, *f, false, 1);
      SetUnitClass(w, *f, true, 1);
    }
    brush = 0;
  } else if (code == 15 || code == 16) {
    HexUnitStack* stack = LoadHexStack(*cell);
    if (stack && stack->extra) ClearStatusSlot(*stack->extra, code - 15);
    brush = 0;
  } else if (code == kFlag30Id && f) {
    f->unitFlags = Pressed(Id(*this, kFlag30Id)) ? f->unitFlags | kUnitMapOption : f->unitFlags & ~kUnitMapOption;
  }
  SetMapEditMode(kBrushObject, brush);
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
