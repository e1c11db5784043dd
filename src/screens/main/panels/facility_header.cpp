#include "screens/main/panels/facility_header.h"

#include <algorithm>
#include <cstring>

#include "platform/fpenv.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/main/facility_status.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/hex_extra.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// As much of a hex's name as the panels show.
constexpr size_t kBaseNameMax = 47;

Control* Find(Control* form, const char* tag) { return form ? FormFindControlByTag(form, tag) : nullptr; }

}  // namespace

SelectedFacility SelectedHexFacility(const World& world) {
  SelectedFacility f;
  const HexPosition& hex = world.gameState.currentHex;
  if ((hex.x == 0 && hex.y == 0) || hex.cellIndex >= world.cells.size()) return f;
  f.hexSelected = true;
  f.cellIndex = hex.cellIndex;
  const HexUnitStack* stack = LoadHexStack(world.cells[hex.cellIndex]);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead)) return f;
  f.unit = lead;
  f.active = !(lead->ordersShown[kPostureBits] & kPostureInReserve);
  return f;
}

void FacilityConditionText(char* out, size_t size, float strength) {
  plat::FormatText(out, size, "%3.0f %%", static_cast<double>(100.0f * std::min(strength, 1.0f)));
}

void FillFacilityHeader(const World& world, Control* form, const SelectedFacility& facility) {
  char name[kBaseNameMax + 1] = {};
  if (facility.hexSelected) {
    const HexUnitStack* stack = LoadHexStack(world.cells[facility.cellIndex]);
    if (stack && stack->extra && stack->extra->text) std::strncpy(name, stack->extra->text, kBaseNameMax);
  }
  if (Control* c = Find(form, "BASENAME")) c->SetText(name);
  if (Control* note = Find(form, "NOTE")) {
    const int32_t status = facility.unit ? FacilityStatus(world, facility.cellIndex) : kFacilityInactive;
    note->SetText(TextListText(kListUgstatus, status));
    note->SetSelected(facility.unit && (facility.unit->ordersShown[kStateFlags] & kStatePausedBuild) ? 1 : 0);
  }
  if (Control* c = Find(form, "CONDITION")) {
    char text[32];
    FacilityConditionText(text, sizeof text, facility.unit ? facility.unit->strength : 0.0f);
    c->SetText(text);
  }
}

void FormatBaseStatusText(ListBoxControl* list, const World& world, const SelectedFacility& facility) {
  if (!list) return;
  const int32_t status = facility.unit ? FacilityStatus(world, facility.cellIndex) : kFacilityInactive;
  ListAddTextItem(list, TextListText(kListUgstatus, status), 0, 0, 0, 0, 1);
}
