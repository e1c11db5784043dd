#include "sim/hex_commands.h"

#include "records/command_ids.h"
#include "units/hex_stack_commands.h"
#include "records/hex_cell.h"
#include "world/world.h"

namespace {

// The cell the packed hex names, or null for a row off the map.
HexCell* CommandCell(World& world, uint32_t packed) {
  const int32_t width = world.mapHeader.width;
  const int32_t height = world.mapHeader.height;
  if (width <= 0 || height <= 0) return nullptr;
  const int32_t row = PackedHexRow(packed);
  if (row < 0 || row >= height) return nullptr;
  const size_t index = static_cast<size_t>(row) * static_cast<size_t>(width) +
                       static_cast<size_t>(WrapX(PackedHexColumn(packed), width));
  return index < world.cells.size() ? &world.cells[index] : nullptr;
}

void Hex(CommandPass& run) {
  World& w = run.world;
  const GameCommand& c = run.command;
  HexCell* found = CommandCell(w, c.arg24);
  if (!found) return;
  HexCell& cell = *found;
  const int pass = run.pass;
  const int player = c.player;
  switch (c.id) {
    case kCmdHexStack288: HexStackCommand288(w, cell, pass, c.sequence, c.arg28, c.arg32, player); break;
    case kCmdHexStack289: HexStackCommand289(w, cell, pass, c.sequence, player, c.arg28, c.arg32); break;
    case kCmdSetFacilityOutput: HexStackCommand290(w, cell, pass, c.arg32, player); break;
    case kCmdHexStack291: HexStackCommand291(w, cell, pass, player, c.arg28); break;
    case kCmdHexStack292: HexStackCommand292(w, cell, pass, player); break;
    case kCmdHexStack293: HexStackCommand293(w, cell, pass, player, c.arg28); break;
    case kCmdHexStack294: HexStackCommand294(w, cell, pass, player, c.arg28); break;
    case kCmdHexStack295: HexStackCommand295(w, cell, pass, player); break;
    case kCmdHexStack296: HexStackCommand296(w, cell, pass, player); break;
    case kCmdHexStack297: HexStackCommand297(w, cell, pass, player, c.arg28); break;
    case kCmdHexStack299: HexStackCommand299(w, cell, pass, player, c.arg28); break;
    case kCmdLeadUnitSetDestination: LeadUnitSetDestination(w, cell, pass, c.arg28); break;
    case kCmdConvertFacility: HexStackCommand301(w, cell, pass, c.arg28, player); break;
    case kCmdNameHex:
      if (pass == 0) HexStackCommand304(w, cell, player, c.payload);
      break;
    default: break;  // 302 and 303 do nothing
  }
}

}  // namespace

CommandHandler HexCommandHandler(uint32_t id) {
  return id >= kCmdHexStack288 && id <= kCmdNameHex && id != kCmdRelationSet298 ? &Hex : nullptr;
}
