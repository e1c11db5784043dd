#include "screens/common/facilities/facility_header.h"

#include <algorithm>
#include <cstring>

#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/figure_text.h"
#include "screens/common/facilities/facility_status.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/text/text_lists.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

uint32_t SelectedFacilityCell(const World& world) {
  const HexPosition& hex = world.gameState.currentHex;
  if (hex.x == 0 && hex.y == 0) return static_cast<uint32_t>(world.cells.size());
  return hex.cellIndex;
}

const UnitRecord* HeaderFacility(const World& world, uint32_t cellIndex) {
  if (cellIndex >= world.cells.size()) return nullptr;
  return GetActiveObject(&world.cells[cellIndex], false);
}

FacilityHeader ReadFacilityHeader(const World& world, uint32_t cellIndex) {
  FacilityHeader h;
  if (cellIndex >= world.cells.size()) return h;
  const HexCell& cell = world.cells[cellIndex];
  if (const HexUnitStack* stack = LoadHexStack(cell); stack && stack->extra && stack->extra->text)
    h.name.assign(stack->extra->text, strnlen(stack->extra->text, kFacilityNameMax));
  h.status = FacilityStatus(world, cellIndex);
  const UnitRecord* lead = HeaderFacility(world, cellIndex);
  if (!lead) return h;
  h.present = true;
  h.active = !(lead->ordersShown[kPostureBits] & 1u);
  h.noteSelected = (lead->ordersShown[kStateFlags] & kStatePausedBuild) != 0;
  h.condition = std::min(lead->strength, 1.0f);
  // Another player's concealed facility shows as no class at all.
  const bool own = CellOwner(cell.word) == world.gameState.localPlayer;
  h.classIndex = own || !(lead->unitFlags & kUnitProvisional) ? lead->classIndex : 0;
  return h;
}

void FillFacilityHeader(Control* form, const FacilityHeader& header) {
  if (!form) return;
  ControlSetText(FormFindControlByTag(form, "BASENAME"), header.name.c_str());
  Control* note = FormFindControlByTag(form, "NOTE");
  ControlSetText(note, TextListText(kListUgstatus, header.status));
  SetControlFlag(note, kStateSelected, header.present && header.noteSelected);
  SetPercentText(FormFindControlByTag(form, "CONDITION"), header.condition * 100.0f);
}

void FormatBaseStatusText(ListBoxControl* list, const FacilityHeader& header) {
  if (list) ListAddTextItem(list, TextListText(kListUgstatus, header.status), 0, 0, 0, 0, 0);
}
