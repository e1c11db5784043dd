#include "screens/common/facilities/facility_popup.h"

#include <cstring>
#include <string>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/name_hex_popup.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/panel_vocabulary.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/object_hex.h"
#include "world/record_helpers.h"
#include "world/world.h"

namespace {

constexpr uint32_t kNameEditing = 0x100;
constexpr size_t kHexLabelMax = 47;

TextControl* AsText(Control* c) {
  return c && (c->kind == kKindEdit || c->kind == kKindText) ? static_cast<TextControl*>(c) : nullptr;
}

}  // namespace

bool FacilityCell(const World& world, uint32_t unitId, uint32_t& cellIndex) {
  const UnitRecord* u = FindUnitById(world, unitId);
  if (!u || world.mapWidth <= 0 || u->y < 0 || u->y >= world.mapHeight) return false;
  const int32_t x = ((u->x % world.mapWidth) + world.mapWidth) % world.mapWidth;
  const size_t at = static_cast<size_t>(u->y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(x);
  if (at >= world.cells.size()) return false;
  cellIndex = static_cast<uint32_t>(at);
  return true;
}

void StartBaseRename(Control* form) {
  Control* name = Tag(form, "BASENAME");
  if (!name) return;
  TextEditSetActive(name);
  name->flags |= kNameEditing;
  SetHidden(Tag(form, "RENBASEBUT"), true);
}

void RenameBaseOnEndEdit(Control* form, Control* control, uint32_t cellIndex) {
  if (!Is(control, "BASENAME")) return;
  control->flags &= ~kNameEditing;
  TextControl* field = AsText(control);
  const std::string text = field ? field->sourceText : std::string();
  if (text.empty()) {
    std::string label;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const World& w = g_world;
      const HexUnitStack* stack = cellIndex < w.cells.size() ? LoadHexStack(w.cells[cellIndex]) : nullptr;
      if (stack && stack->extra && stack->extra->text)
        label.assign(stack->extra->text, strnlen(stack->extra->text, kHexLabelMax));
    }
    if (field) {
      field->sourceText = label;
      field->Invalidate();
    } else {
      ControlSetText(control, label.c_str());
    }
  } else {
    uint32_t packed = 0;
    bool onMap = false;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      onMap = cellIndex < g_world.cells.size();
      packed = PackedCellHex(g_world, cellIndex);
    }
    if (onMap) PostArgs(kCmdNameHex, HexArgs{.hex = packed}, HexNamePayload(text));
  }
  SetHidden(Tag(form, "RENBASEBUT"), false);
}

void FacilityPopup::OnEndEdit(Control* control, int32_t) { RenameBaseOnEndEdit(currentForm, control, cellIndex); }

bool FacilityPopup::FindFacility(const World& world) {
  const bool found = id > 0 && FacilityCell(world, static_cast<uint32_t>(id), cellIndex);
  shownClass = found ? VisibleLeadClass(world, &world.cells[cellIndex]) : 0;
  return found;
}

bool FacilityPopup::OpenStepping() {
  if (parameterList && !parameterList->entries.empty()) parameterList->current = id;
  plat::CriticalSectionLock lock(g_simulationLock);
  return FindFacility(g_world);
}

void FacilityPopup::ShowStatusBox(bool building) {
  if (!hideBox) return;
  Screen& panel = building ? *g_screens.baseProgress : *g_screens.baseStatus;
  panel.Show(static_cast<intptr_t>(cellIndex), hideBox);
}
