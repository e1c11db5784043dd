#include "units/hex_stack_commands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "records/hex_unit_stack.h"
#include "units/unit_orders.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

constexpr int kDestinationWord = 3;

}  // namespace

// The facility operations of these commands come with the facility code;
// until then they change nothing.
void HexStackCommand288(World&, HexCell&, int, uint32_t, uint32_t, uint32_t, int) {}
void HexStackCommand289(World&, HexCell&, int, uint32_t, int, uint32_t, uint32_t) {}
void HexStackCommand290(World&, HexCell&, int, uint32_t, int) {}
void HexStackCommand291(World&, HexCell&, int, uint32_t) {}
void HexStackCommand292(World&, HexCell&, int, int) {}
void HexStackCommand293(World&, HexCell&, int, uint32_t) {}
void HexStackCommand294(World&, HexCell&, int, int, uint32_t) {}
void HexStackCommand295(World&, HexCell&, int, int) {}
void HexStackCommand296(World&, HexCell&, int, int) {}
void HexStackCommand297(World&, HexCell&, int, int, uint32_t) {}
void HexStackCommand299(World&, HexCell&, int, uint32_t) {}
void HexStackCommand301(World&, HexCell&, int, uint32_t, int) {}

void StackApply2359(World&, HexCell& cell, int pass, uint32_t a28) {
  HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* facility = stack ? stack->lead : nullptr;
  if (!facility || !IsUnitLive(*facility)) return;
  if (pass == 1 && (facility->flags & kUnitProvisional)) return;
  PassOrders(*facility, pass)[kDestinationWord] = a28;
}

void HexStackCommand304(World& world, HexCell& cell, int player, const std::vector<uint8_t>& text) {
  const int owner = CellOwner(cell.word);
  if (world.players[owner].number != player) return;
  const auto end = std::find(text.begin(), text.end(), uint8_t{0});
  const size_t length = std::min<size_t>(static_cast<size_t>(end - text.begin()), kMaxHexLabel);
  char* label = static_cast<char*>(std::malloc(length + 1));
  if (!label) return;
  if (length) std::memcpy(label, text.data(), length);
  label[length] = '\0';
  HexExtra* extra = GetHexExtra(world, cell);
  if (!extra) {
    std::free(label);
    return;
  }
  WorldLockGuard hold(world, kLockHexExtras);
  std::free(extra->text);
  extra->text = label;
}
