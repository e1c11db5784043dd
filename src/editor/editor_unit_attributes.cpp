#include "editor/editor_unit_attributes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "editor/editor_map_input.h"
#include "editor/editor_unit_tool.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "world/id_lookups.h"
#include "world/unit_class.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

constexpr const char* kUnitAttributeTags[] = {
    "MAXSTRSLDR", "MAXSTR", "SSTRSLDR", "STR", "DAYSSLDR", "DAYS", "EXPSLDR", "EXP",    "MORSLDR", "MOR",    "SENTSLDR",
    "ENT",        "ALESLDR", "ALE",     "EFFSLDR", "EFF",  "RES",     "GAR", "NEXTFR", "PREVFR", "RESET", "DEL"};
constexpr int32_t kUnitAttributeIds[] = {23, 24, 25, 26};
constexpr int32_t kFirstOptionId = 23;

void Reveal(Control* c, bool shown) {
  if (c) SetControlFlag(c, kStateHidden, shown ? 0 : 1);
}
float Value(Control* form, const char* tag, float otherwise) {
  const SlideBarControl* bar = TagAs<SlideBarControl>(form, tag);
  return bar ? SliderGetValueFloat(bar) : otherwise;
}
void SetSlider(Control* form, const char* tag, float maximum, float value) {
  if (SlideBarControl* bar = TagAs<SlideBarControl>(form, tag)) {
    SliderSetMaxFloat(bar, maximum);
    SliderSetValueFloat(bar, value);
  }
}
void Percent(Control* form, const char* tag, float v) {
  EnterFormatted(Tag(form, tag), "%3.0f %%", static_cast<double>(v * 100.0f));
}
void Count(Control* form, const char* tag, float v) { EnterInt(Tag(form, tag), static_cast<int32_t>(std::trunc(v))); }

float Full(const UnitClassRecord* cls) { return cls ? static_cast<float>(cls->strengthPerSize) : 0.0f; }

// Stands on the map: live and not held in a reserve.
bool OnMap(const UnitRecord& u) { return IsUnitLive(u) && !(u.orders[kPostureBits] & kPostureInReserve); }

// Without a map there is no hex to wrap onto.
HexCell* CellOf(World& w, const UnitRecord& u) {
  return w.mapWidth > 0 ? EditorCellAt(w, MakeHexPos(WrapX(u.x, w.mapWidth), u.y)) : nullptr;
}

}  // namespace

float FullBuildDays(const UnitClassRecord& cls, float size) {
  const float k = size < 1.0f ? 1.0f : size;
  return static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint * k + 1.0f;
}

EditorUnitAttributesPanel::EditorUnitAttributesPanel()
    : Screen("MAPEDITORB_SS6C", FormLookups{.tags = kUnitAttributeTags, .ids = kUnitAttributeIds}) {}

UnitRecord* EditorUnitAttributesPanel::Unit() const {
  plat::CriticalSectionLock lock(g_simulationLock);
  return id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
}

void EditorUnitAttributesPanel::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  Control* f = currentForm;
  for (int32_t option = kFirstOptionId; option <= kFirstOptionId + 3; ++option)
    Press(f ? FormFindControlById(f, option) : nullptr, option == kFirstOptionId);
  const UnitRecord* u = Unit();
  if (!u) return;
  const UnitClassRecord* cls = UnitClassOf(w, *u);
  const HexCell* cell = CellOf(w, *u);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  Reveal(Tag(f, "RES"), ReserveHostFor(w, *u, -1) != nullptr);
  Press(Tag(f, "RES"), (u->orders[kPostureBits] & kPostureInReserve) != 0);
  Reveal(Tag(f, "GAR"), lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional));
  Press(Tag(f, "GAR"), (u->unitFlags & kUnitInBase) != 0);
  const float full = Full(cls);
  const float factor = u->targetStrength;
  SetSlider(f, "MAXSTRSLDR", 1.0f, factor - 0.5f);
  Reveal(Tag(f, "MAXSTRSLDR"), full >= 3.0f);
  SetSlider(f, "SSTRSLDR", 1.0f, full * factor > 0.0f ? u->strength / (full * factor) : 0.0f);
  // The build time still to run as a share of the whole.
  const float days = cls ? std::clamp(u->buildWork / FullBuildDays(*cls, factor), 0.0f, 1.0f) : 0.0f;
  SetSlider(f, "DAYSSLDR", 1.0f, days);
  for (const char* tag : {"DAYSSLDR", "DAYS"}) Reveal(Tag(f, tag), !OnMap(*u));
  SetSlider(f, "EXPSLDR", 5.0f, u->experience);
  SetSlider(f, "MORSLDR", 1.0f, u->morale);
  if (SlideBarControl* bar = TagAs<SlideBarControl>(f, "SENTSLDR")) {
    SliderSetMaxInt(bar, 100);
    SliderSetValueInt(bar, u->entrenchment);
  }
  SetSlider(f, "ALESLDR", 1.0f, u->training);
  SetSlider(f, "EFFSLDR", 1.5f, u->efficiency);
}

void EditorUnitAttributesPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = Unit();
  if (!u) return;
  Control* f = currentForm;
  const float full = Full(UnitClassOf(g_world, *u));
  Count(f, "MAXSTR", full * u->targetStrength);
  if (full == 1.0f) {
    Percent(f, "STR", u->strength);
  } else {
    Count(f, "STR", u->strength);
  }
  // Shown as the share of the building done.
  Percent(f, "DAYS", 1.0f - Value(f, "DAYSSLDR", 0.0f));
  Percent(f, "EXP", u->experience);
  Percent(f, "MOR", u->morale);
  Count(f, "ENT", u->entrenchment);
  Percent(f, "ALE", u->training);
  Percent(f, "EFF", u->efficiency);
}

void EditorUnitAttributesPanel::OnControlChange(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  UnitRecord* u = Unit();
  if (!u || !control) return;
  Control* f = currentForm;
  const UnitClassRecord* cls = UnitClassOf(g_world, *u);
  const float full = Full(cls);
  const auto is = [control](const char* t) { return ControlTagMatches(control->tag, t); };
  const float v = Value(f, control->tag, 0.0f);
  if (is("MAXSTRSLDR")) {
    u->targetStrength = v + 0.5f;
    u->strength = Value(f, "SSTRSLDR", 1.0f) * full * u->targetStrength;
  } else if (is("SSTRSLDR")) {
    u->strength = v * full * u->targetStrength;
  } else if (is("DAYSSLDR")) {
    u->buildWork = cls ? v * FullBuildDays(*cls, u->targetStrength) : 0.0f;
  } else if (is("EXPSLDR")) {
    u->experience = v;
  } else if (is("MORSLDR")) {
    u->morale = v;
  } else if (is("ALESLDR")) {
    u->training = v;
  } else if (is("EFFSLDR")) {
    u->efficiency = v;
  } else if (is("SENTSLDR")) {
    u->entrenchment = static_cast<uint8_t>(SliderGetValueInt(TagAs<SlideBarControl>(f, "SENTSLDR")));
  }
  Refresh();
}

void EditorUnitAttributesPanel::ResetUnitAttributes() {
  plat::CriticalSectionLock lock(g_simulationLock);
  UnitRecord* u = Unit();
  if (!u) return;
  u->targetStrength = 1.0f;
  u->strength = Full(UnitClassOf(g_world, *u));
  u->buildWork = 0.0f;
  u->experience = 0.0f;
  u->morale = 0.8f;
  u->entrenchment = 0;
  u->training = 0.0f;
  u->efficiency = 0.8f;
  OnOpen();
  Refresh();
}

void EditorUnitAttributesPanel::DeleteUnit(UnitRecord& unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  // No list may keep the unit once it is freed: the shared lists by
  // pointer, the pop-up's own stepping list by id.
  if (g_editorLinks.forgetUnit) g_editorLinks.forgetUnit(unit);
  if (popup && popup->parameterList) {
    std::vector<intptr_t>& ids = popup->parameterList->entries;
    ids.erase(std::remove(ids.begin(), ids.end(), static_cast<intptr_t>(unit.id)), ids.end());
    if (popup->parameterList->current == static_cast<intptr_t>(unit.id)) popup->parameterList->current = 0;
  }
  RemoveUnitFromMap(w, unit);
  delete &unit;
  id = 0;
  if (popup) popup->Close(0);
}

void EditorUnitAttributesPanel::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  UnitRecord* u = Unit();
  if (!u || !control) return;
  World& w = g_world;
  const auto is = [control](const char* t) { return ControlTagMatches(control->tag, t); };
  if (is("NEXTFR") || is("PREVFR")) {
    const auto frame = static_cast<uint8_t>(SteppedUnitFrame(u->heading, is("NEXTFR") ? 1 : -1));
    u->heading = u->wantedHeading = u->angle2 = u->wantedAngle2 = frame;
  } else if (is("RES")) {
    const bool reserve = Pressed(control);
    u->orders[kPostureBits] = reserve ? u->orders[kPostureBits] | kPostureInReserve : u->orders[kPostureBits] & ~kPostureInReserve;
    if (HexCell* cell = CellOf(w, *u)) {
      HexStackRemove(w, *cell, *u);
      // Back on the map the unit takes its place in the hex's stack again.
      if (!reserve) HexStackInsertOrdered(w, *cell, *u);
    }
  } else if (is("GAR")) {
    u->unitFlags = Pressed(control) ? u->unitFlags | kUnitInBase : u->unitFlags & ~kUnitInBase;
  } else if (is("RESET")) {
    ResetUnitAttributes();
  } else if (is("DEL")) {
    DeleteUnit(*u);
    return;
  }
  u->ordersShown = u->orders;
  Refresh();
}
