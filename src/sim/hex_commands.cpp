#include "sim/hex_commands.h"

#include <bit>

#include "records/command_ids.h"
#include "sim/facility_command_args.h"
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
  HexCell* found = CommandCell(w, ArgsOf<HexArgs>(c).hex);
  if (!found) return;
  HexCell& cell = *found;
  const int pass = run.pass;
  const int player = c.player;
  const auto value = [&c] { return ArgsOf<HexValueArgs>(c).value; };
  switch (c.id) {
    case kCmdHexStack288: {
      const auto a = ArgsOf<HexPlaceArgs>(c);
      HexStackCommand288(w, cell, pass, c.sequence, a.classIndex, std::bit_cast<uint32_t>(a.size), player);
      break;
    }
    case kCmdHexStack289: {
      const auto a = ArgsOf<HexLinkArgs>(c);
      HexStackCommand289(w, cell, pass, c.sequence, player, a.classIndex, a.direction);
      break;
    }
    case kCmdSetFacilityOutput: SetFacilityOutput(w, cell, pass, ArgsOf<HexOutputArgs>(c).level, player); break;
    case kCmdHexStack291: HexStackCommand291(w, cell, pass, player, value()); break;
    case kCmdHexStack292: HexStackCommand292(w, cell, pass, player); break;
    case kCmdHexStack293: HexStackCommand293(w, cell, pass, player, value()); break;
    case kCmdHexStack294: HexStackCommand294(w, cell, pass, player, value()); break;
    case kCmdHexStack295: HexStackCommand295(w, cell, pass, player); break;
    case kCmdHexStack296: HexStackCommand296(w, cell, pass, player); break;
    case kCmdHexStack297: HexStackCommand297(w, cell, pass, player, value()); break;
    case kCmdHexStack299: HexStackCommand299(w, cell, pass, player, value()); break;
    case kCmdLeadUnitSetDestination:
      LeadUnitSetDestination(w, cell, pass, ArgsOf<HexDestinationArgs>(c).destination);
      break;
    case kCmdConvertFacility: HexStackCommand301(w, cell, pass, ArgsOf<HexConvertArgs>(c).classIndex, player); break;
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
