#include "sim/hex_commands.h"

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
    case 288: HexStackCommand288(w, cell, pass, c.sequence, c.arg28, c.arg32, player); break;
    case 289: HexStackCommand289(w, cell, pass, c.sequence, player, c.arg28, c.arg32); break;
    case 290: HexStackCommand290(w, cell, pass, c.arg32, player); break;
    case 291: HexStackCommand291(w, cell, pass, c.arg28); break;
    case 292: HexStackCommand292(w, cell, pass, player); break;
    case 293: HexStackCommand293(w, cell, pass, c.arg28); break;
    case 294: HexStackCommand294(w, cell, pass, player, c.arg28); break;
    case 295: HexStackCommand295(w, cell, pass, player); break;
    case 296: HexStackCommand296(w, cell, pass, player); break;
    case 297: HexStackCommand297(w, cell, pass, player, c.arg28); break;
    case 299: HexStackCommand299(w, cell, pass, c.arg28); break;
    case 300: LeadUnitSetDestination(w, cell, pass, c.arg28); break;
    case 301: HexStackCommand301(w, cell, pass, c.arg28, player); break;
    case 304:
      if (pass == 0) HexStackCommand304(w, cell, player, c.payload);
      break;
    default: break;  // 302 and 303 do nothing
  }
}

}  // namespace

CommandHandler HexCommandHandler(uint32_t id) {
  return id >= 288 && id <= 304 && id != 298 ? &Hex : nullptr;
}
