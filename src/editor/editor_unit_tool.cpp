#include "editor/editor_unit_tool.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/number_text.h"
#include "editor/editor_class_lists.h"
#include "editor/editor_map_input.h"
#include "editor/editor_screens.h"
#include "platform/messages.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "sim/availability.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "units/hex_geometry.h"
#include "units/unit_queries.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "world/player_names.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/world.h"

namespace {

constexpr const char* kUnitToolTags[] = {
    "REGION",   "TECHLEV",   "TECHREG",   "FILTERL",   "FILTERR", "FILTERRES", "REPLACED", "EQUIPNAME", "RESEARCH",
    "PARHEXSET", "NEXTFR",   "PREVFR",    "UNITNAME",  "MAXSTRSLDR", "MAXSTR", "SSTRSLDR", "STR",       "DAYSSLDR",
    "DAYS",     "EXPSLDR",   "EXP",       "MORSLDR",   "MOR",     "EFFSLDR",   "EFF",      "SENTSLDR",  "ENT",
    "ALESLDR",  "ALE",       "RES",       "GAR",       "RESET",   "RESETRES",  "PAR1",     "PAR2",      "UNITPIC"};
constexpr int32_t kUnitToolIds[] = {10, 11, 12, 13, 14, 23, 24, 25, 26};
constexpr int32_t kFirstPageId = 10;
constexpr int32_t kStockPages = 3;
constexpr int32_t kFirstOptionId = 23;
constexpr uint8_t kStockEquipmentType = 8;
constexpr uint32_t kPlacementBits = kPostureInReserve | kPostureUnderConstruction;

void Hide(Control* c, bool hidden) {
  if (c) SetControlFlag(c, kStateHidden, hidden ? 1 : 0);
}
float Value(Control* form, const char* tag, float otherwise) {
  const SlideBarControl* bar = TagAs<SlideBarControl>(form, tag);
  return bar ? SliderGetValueFloat(bar) : otherwise;
}
int32_t IntValue(Control* form, const char* tag) {
  const SlideBarControl* bar = TagAs<SlideBarControl>(form, tag);
  return bar ? SliderGetValueInt(bar) : 0;
}
void Percent(Control* form, const char* tag, float v) {
  EnterFormatted(Tag(form, tag), "%3.0f %%", static_cast<double>(v * 100.0f));
}
void Count(Control* form, const char* tag, float v) { EnterInt(Tag(form, tag), static_cast<int32_t>(std::trunc(v))); }
void SetSlider(Control* form, const char* tag, float maximum, float value) {
  if (SlideBarControl* bar = TagAs<SlideBarControl>(form, tag)) {
    SliderSetMaxFloat(bar, maximum);
    SliderSetValueFloatNotify(bar, value);
  }
}
void SetIntSlider(Control* form, const char* tag, int32_t maximum, int32_t value) {
  if (SlideBarControl* bar = TagAs<SlideBarControl>(form, tag)) {
    SliderSetMaxInt(bar, maximum);
    SliderSetValueIntNotify(bar, value);
  }
}

void OpenIn(Screen* panel, Control* container, int32_t id) {
  if (!panel || !container) return;
  panel->id = id;
  panel->AttachForm(container);
  panel->OnOpen();
  panel->Refresh();
}

bool HasDesignRow(World& w) { return LocalPlayerIndex(w) > 0 && DesignRow(w, LocalPlayerIndex(w)) != nullptr; }

// Without a map there is no hex to wrap onto.
HexCell* UnitCell(World& w, const UnitRecord& unit) {
  return w.mapWidth > 0 ? EditorCellAt(w, MakeHexPos(WrapX(unit.x, w.mapWidth), unit.y)) : nullptr;
}

// A live, confirmed facility that is not itself held in reserve.
bool UsableLead(const UnitRecord* lead) {
  return lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional) && !(lead->orders[kPostureBits] & kPostureInReserve);
}

void GrantRequiredTechs(World& w, int player, const UnitClassRecord& cls) {
  for (int16_t tech : cls.requiredTechs)
    if (tech > 0) GrantTechRecursive(w, player, tech);
}

void RedrawInterface() {
  if (g_ui.rootForm && !g_ui.rootForm->Hidden()) RedrawControlTree(g_ui, g_ui.rootForm, 1, 0);
}

}  // namespace

int32_t SteppedUnitFrame(int32_t frame, int32_t step) {
  const int32_t next = frame + step;
  if (next >= kUnitFrames) return 0;
  if (next < 0) return kUnitFrames - 1;
  return next;
}

bool ClassOnUnitPage(const UnitClassRecord& cls, int32_t page) {
  if (page < kStockPages) return (cls.kind == 3 ? 2 : cls.kind) == page;
  return page == kStockPages ? cls.typeByte == kStockEquipmentType : true;
}

const UnitRecord* ReserveHostFor(const World& world, const UnitRecord& unit, int owner) {
  if (world.mapWidth <= 0) return nullptr;
  const uint32_t position = MakeHexPos(WrapX(unit.x, world.mapWidth), unit.y);
  const int32_t x = HexX(position), y = HexY(position);
  if (x < 0 || y < 0 || x >= world.mapWidth || y >= world.mapHeight) return nullptr;
  const HexCell& cell = world.cells[static_cast<size_t>(y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(x)];
  if (owner >= 0 && CellOwner(cell.word) != owner) return nullptr;
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!UsableLead(lead)) return nullptr;
  const UnitClassRecord* cls = UnitClassOf(world, *lead);
  if (!cls || (cls->flags & kClassExcludedKinds) || !(cls->flags & kClassSettlement) || cls->baseKind != 0 ||
      cls->loadableMask == 0)
    return nullptr;
  return BaseKindOf(*cls) == unit.moveKind ? lead : nullptr;
}

EditorUnitToolPanel::EditorUnitToolPanel()
    : Screen("MAPEDITORB_SS6", FormLookups{.tags = kUnitToolTags, .ids = kUnitToolIds}) {}

void EditorUnitToolPanel::BindControls() {
  if (g_editorScreens.frame) hostLink = &g_editorScreens.frame->toolHost;
  par1 = Tag(currentForm, "PAR1");
  par2 = Tag(currentForm, "PAR2");
}

void EditorUnitToolPanel::ShowPage() {
  for (int32_t p = 0; p < 5; ++p)
    if (Control* button = currentForm ? FormFindControlById(currentForm, kFirstPageId + p) : nullptr) Press(button, p == page);
  if (page < kStockPages) {
    OpenIn(equipmentList, par1, page);
    OpenIn(hexUnitList, par2, hexUnitList ? hexUnitList->id : 0);
  } else {
    OpenIn(stockClassList, par1, page - kStockPages);
    OpenIn(stockUnitList, par2, page - kStockPages);
  }
}

const UnitClassRecord* EditorUnitToolPanel::CurrentClass() const {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t index = EditorUnitClass();
  return index > 0 ? ClassRecordAt(g_world, index) : nullptr;
}

void EditorUnitToolPanel::OnOpen() {
  g_editorMap.brushValue = 0;
  g_editorMap.brushKind = kBrushUnit;
  SetEditorUnitClass(0);
  if (hexUnitList) hexUnitList->id = 0;
  ShowPage();
  ResetUnitSliders();
}

void EditorUnitToolPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const PlayerRecord* local = w.localPlayerRecord;
  EnterText(Tag(currentForm, "REGION"), local ? LookupLocalizedName(w, *local) : "");
  auto* tech = dynamic_cast<StringControl*>(Tag(currentForm, "TECHLEV"));
  if (tech && tech->bufferSize >= 3) {
    char text[48];
    tech->SetText(FormatNumberText(text, 0, 0, "", 0, "", 0, local ? local->techLevel : 0.0f));
  }
  EnterText(Tag(currentForm, "TECHREG"), "TBA");
}

void EditorUnitToolPanel::DrawPicture() {
  if (CurrentClass() && g_editorLinks.drawClassPicture)
    g_editorLinks.drawClassPicture(Tag(currentForm, "UNITPIC"), id, frame);
}

void EditorUnitToolPanel::FillEquipmentPanel() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitClassRecord* currentClass = CurrentClass();
  if (!currentClass) return;
  World& w = g_world;
  const int32_t index = EditorUnitClass();
  id = index;
  DrawPicture();
  EnterText(Tag(currentForm, "EQUIPNAME"), std::string(currentClass->name, strnlen(currentClass->name, sizeof currentClass->name)).c_str());
  Press(Tag(currentForm, "RESEARCH"), ClassAvailabilityByte(w, LocalPlayerIndex(w), index) & 1u);
  ResetUnitSliders();
  Hide(Tag(currentForm, "PARHEXSET"), (currentClass->flags & kClassStock) != 0);
  // A choice comes from a list that redraws only itself: the panel, picture
  // and all, is drawn again here.
  if (currentForm) currentForm->Invalidate();
}

void EditorUnitToolPanel::WriteSliderText(const char* tag) {
  const UnitClassRecord* currentClass = CurrentClass();
  if (!currentClass) return;
  Control* f = currentForm;
  const auto full = static_cast<float>(currentClass->strengthPerSize);
  const auto is = [tag](const char* t) { return std::strcmp(tag, t) == 0; };
  if (is("MAXSTRSLDR")) {
    strengthFactor = Value(f, "MAXSTRSLDR", 0.5f) + 0.5f;
  } else if (is("SSTRSLDR")) {
    startFraction = Value(f, "SSTRSLDR", 1.0f);
  }
  if (is("MAXSTRSLDR")) Count(f, "MAXSTR", full * strengthFactor);
  if (is("MAXSTRSLDR") || is("SSTRSLDR")) Count(f, "STR", full * strengthFactor * startFraction);
  if (is("DAYSSLDR")) Percent(f, "DAYS", Value(f, "DAYSSLDR", 0.0f));
  if (is("EXPSLDR")) Percent(f, "EXP", Value(f, "EXPSLDR", 0.0f));
  if (is("MORSLDR")) Percent(f, "MOR", Value(f, "MORSLDR", 0.0f));
  if (is("EFFSLDR")) Percent(f, "EFF", Value(f, "EFFSLDR", 0.0f));
  if (is("SENTSLDR")) Count(f, "ENT", static_cast<float>(IntValue(f, "SENTSLDR")));
  if (is("ALESLDR")) Count(f, "ALE", static_cast<float>(IntValue(f, "ALESLDR")));
}

void EditorUnitToolPanel::OnControlChange(Control* control, int32_t) {
  if (control) WriteSliderText(control->tag);
}

void EditorUnitToolPanel::ResetUnitSliders() {
  Control* f = currentForm;
  EnterText(Tag(f, "UNITNAME"), "");
  const UnitClassRecord* currentClass = CurrentClass();
  if (!currentClass) return;
  startFraction = strengthFactor = 1.0f;
  const int16_t full = currentClass->strengthPerSize;
  SetSlider(f, "MAXSTRSLDR", 1.0f, 0.5f);
  Hide(Tag(f, "MAXSTRSLDR"), full <= 2 || (currentClass->flags & kClassStock));
  Count(f, "MAXSTR", static_cast<float>(full) * strengthFactor);
  SetSlider(f, "SSTRSLDR", 1.0f, 1.0f);
  Count(f, "STR", static_cast<float>(full) * strengthFactor * startFraction);
  SetSlider(f, "DAYSSLDR", 1.0f, 0.0f);
  SetSlider(f, "EXPSLDR", 5.0f, 0.0f);
  SetSlider(f, "MORSLDR", 1.0f, 0.75f);
  SetIntSlider(f, "SENTSLDR", 100, 0);
  SetIntSlider(f, "ALESLDR", 100, 0);
  SetSlider(f, "EFFSLDR", 1.5f, 0.8f);
  for (int32_t option = kFirstOptionId; option <= kFirstOptionId + 3; ++option)
    Press(f ? FormFindControlById(f, option) : nullptr, option == kFirstOptionId);
}

UnitRecord* EditorUnitToolPanel::PlaceUnit(World& w) {
  const HexPosition& at = w.gameState.currentHex;
  PlayerRecord* local = w.localPlayerRecord;
  // Class 0 is no class: a unit of it would never be live. The brush keeps
  // the last class chosen even when a list leaves none current.
  const int32_t classIndex = EditorBrushClass();
  if (!local || classIndex <= 0 || !ClassRecordAt(w, classIndex) || !EditorCellAt(w, MakeHexPos(at.x, at.y))) return nullptr;
  local->commandCounter += 1;
  const uint32_t unitId = (static_cast<uint32_t>(local->number) << 24) | (local->commandCounter & 0x00FFFFFFu);
  const uint32_t position = (static_cast<uint32_t>(static_cast<uint16_t>(at.y)) << 16) | static_cast<uint16_t>(at.x);
  UnitRecord* unit = CreateUnit(w, *local, unitId, classIndex, strengthFactor, position, 0, 0);
  if (unit) ReadUnitSliders(*unit);
  return unit;
}

void EditorUnitToolPanel::ReadUnitSliders(UnitRecord& unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  Control* f = currentForm;
  unit.unitFlags &= ~kUnitProvisional;
  const bool stock = (unit.unitFlags & kUnitStock) != 0;
  // Ships and stock take no share of the sliders' size.
  if (unit.kind > 1 || stock) startFraction = strengthFactor = 1.0f;
  const auto frameByte = static_cast<uint8_t>(frame);
  unit.heading = unit.wantedHeading = unit.angle2 = unit.wantedAngle2 = frameByte;
  const bool reserve = Pressed(Tag(f, "RES")) && ReserveHostFor(w, unit, unit.owner) != nullptr;
  const UnitClassRecord* cls = UnitClassOf(w, unit);
  if (stock && cls && cls->typeByte == kStockEquipmentType) unit.x = unit.y = 0;
  if (!stock && !reserve) {
    unit.strength *= startFraction;
    unit.orders[kPostureBits] &= ~kPlacementBits;
    unit.buildWork = 0.0f;
    unit.entrenchment = static_cast<uint8_t>(IntValue(f, "SENTSLDR"));
    // The tool counts alertness in whole per cent; a unit keeps a fraction.
    unit.training = static_cast<float>(IntValue(f, "ALESLDR")) / 100.0f;
    if (HexCell* cell = UnitCell(w, unit)) {
      const HexUnitStack* stack = LoadHexStack(*cell);
      if (Pressed(Tag(f, "GAR")) && stack && UsableLead(stack->lead)) unit.unitFlags |= kUnitInBase;
      HexStackInsertOrdered(w, *cell, unit);
      GetStackDataLocked(w, *cell);
    }
  } else {
    unit.buildWork *= Value(f, "DAYSSLDR", 0.0f);
    if (unit.buildWork > 0.0f) {
      unit.orders[kPostureBits] |= kPostureUnderConstruction;
    } else {
      unit.orders[kPostureBits] &= ~kPostureUnderConstruction;
      unit.strength *= startFraction;
    }
  }
  unit.targetStrength = strengthFactor;
  unit.efficiency = Value(f, "EFFSLDR", unit.efficiency);
  unit.experience = Value(f, "EXPSLDR", unit.experience);
  unit.morale = Value(f, "MORSLDR", unit.morale);
  if (Control* name = Tag(f, "UNITNAME"); name && !name->text.empty()) SetUnitCustomName(w, unit, name->text.c_str());
  unit.ordersShown = unit.orders;
}

void EditorUnitToolPanel::ResetAvailability(int32_t controlId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  if (!HasDesignRow(w)) return;
  const int p = LocalPlayerIndex(w);
  const int level = static_cast<int>(std::trunc(w.players[p].techLevel - 15.0f));
  const auto count = static_cast<int32_t>(w.unitClasses.size());
  for (int32_t c = 0; c < count; ++c) {
    const UnitClassRecord& cls = w.unitClasses[static_cast<size_t>(c)];
    if (cls.name[0] == 0 || (cls.flags & (kClassFacility | kClassObsolete))) {
      SetDesignAvailable(w, 1, p, c, false);
      continue;
    }
    if (controlId != kResetAllClassesId && !ClassOnUnitPage(cls, page)) continue;
    const bool available = !(cls.flags & (kClassNotDesign & ~kClassObsolete)) &&
                           UnitClassAvailable(w, c, -1, level, p, false, 2, nullptr, 0, 0, 0) != 0;
    SetDesignAvailable(w, 1, p, c, available);
    if (available) GrantRequiredTechs(w, p, cls);
  }
}

void EditorUnitToolPanel::OnCommand(Control* control, int32_t code) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  if (code >= kFirstPageId && code < kFirstPageId + 5) {
    page = code - kFirstPageId;
    ShowPage();
    return;
  }
  const char* tag = control ? control->tag : "";
  const auto is = [tag](const char* t) { return ControlTagMatches(tag, t); };
  if (is("FILTERL") || is("FILTERR") || is("FILTERRES") || is("REPLACED")) {
    ShowPage();
    RedrawInterface();
  } else if (is("RESEARCH")) {
    const UnitClassRecord* currentClass = CurrentClass();
    if (!currentClass || !HasDesignRow(w)) return;
    const int p = LocalPlayerIndex(w);
    const bool on = Pressed(control);
    SetDesignAvailable(w, 1, p, id, on);
    if (on) GrantRequiredTechs(w, p, *currentClass);
    // With Shift the author walks down the class list setting each in turn.
    Screen* list = page < kStockPages ? equipmentList : stockClassList;
    if (g_ui.keyState & plat::kMkShift)
      if (auto* box = dynamic_cast<ListBoxControl*>(Tag(list ? list->currentForm : nullptr, "LIST5"))) ListSelectNext(box);
  } else if (is("NEXTFR") || is("PREVFR")) {
    frame = SteppedUnitFrame(frame, is("NEXTFR") ? 1 : -1);
    DrawPicture();
  } else if (is("RESET")) {
    ResetUnitSliders();
  } else if (is("RESETRES")) {
    ResetAvailability(control ? control->id : 0);
    ShowPage();
    RedrawInterface();
  }
}
