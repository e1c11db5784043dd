#pragma once
// The commands that name a hex rather than a unit: they act on the hex's
// facility (the lead unit of its stack) and on the hex's state block, in the
// copy of their pass. The executor finds the cell (the column wrapped, a row
// off the map refused) and counts the command.
#include <cstddef>
#include <cstdint>
#include <vector>

struct World;
struct HexCell;

// The executor unpacks each command's words by name (sim/facility_command_args.h);
// a float argument comes here as its bits, as it travels.
void HexStackCommand288(World& world, HexCell& cell, int pass, uint32_t sequence, uint32_t classIndex,
                        uint32_t sizeBits, int player);
void HexStackCommand289(World& world, HexCell& cell, int pass, uint32_t sequence, int player, uint32_t classIndex,
                        uint32_t direction);
void HexStackCommand290(World& world, HexCell& cell, int pass, uint32_t levelBits, int player);
// The value sent with 291 changes nothing.
void HexStackCommand291(World& world, HexCell& cell, int pass, int player, uint32_t value);
void HexStackCommand292(World& world, HexCell& cell, int pass, int player);
void HexStackCommand293(World& world, HexCell& cell, int pass, int player, uint32_t on);
void HexStackCommand294(World& world, HexCell& cell, int pass, int player, uint32_t value);
void HexStackCommand295(World& world, HexCell& cell, int pass, int player);
void HexStackCommand296(World& world, HexCell& cell, int pass, int player);
void HexStackCommand297(World& world, HexCell& cell, int pass, int player, uint32_t paused);
void HexStackCommand299(World& world, HexCell& cell, int pass, int player, uint32_t deployDue);
void HexStackCommand301(World& world, HexCell& cell, int pass, uint32_t classIndex, int player);

// 290: the facility's output level: the level asked (a float, finite and
// not negative) as far as the ground around the hex can feed it.
void SetFacilityOutput(World& world, HexCell& cell, int pass, float level, int player);
// 301: the facility becomes one of another class, losing the strength the
// difference in build work costs it.
void ConvertFacility(World& world, HexCell& cell, int pass, int32_t classIndex, int player);

// The operations on a hex's facility (its lead unit). Each does nothing
// when the hex has no live facility; with simulationPass set a provisional
// facility is left alone too.
// SetFacilityModeC (on, extra) and SetFacilityModeA (on) on the facility
// in the pass's copy.
void LeadUnitSetModeC(World& world, HexCell& cell, int simulationPass, int on, int extra);
void LeadUnitSetModeA(World& world, HexCell& cell, int simulationPass, int on);
// Sets (on) or clears the facility's deployment-due state bit.
void LeadUnitSetStateBit(World& world, HexCell& cell, int simulationPass, int on);
// 300: the destination (orders word 3) of the pass's copy; not counted on
// the facility.
void LeadUnitSetDestination(World& world, HexCell& cell, int simulationPass, uint32_t position);
// leadValue + delta held within 0..255, on a confirmed facility in either
// pass; the new value, or -1 when nothing was changed.
int LeadUnitAddValue(World& world, HexCell& cell, int delta);
// Simulation pass only: strength (or targetStrength) = value; a facility
// that reaches its target is complete (construction bit cleared in both
// copies, no work left), else under construction with the work for the
// difference at its class's build work per point.
void LeadUnitSetStrength(World& world, HexCell& cell, int simulationPass, float value);
void LeadUnitSetTargetStrength(World& world, HexCell& cell, int simulationPass, float value);
// The editor's writes of a standing facility's strength and full strength,
// with the same repair bookkeeping; nothing unless write is set.
inline void StackSetFlagA(World& world, HexCell& cell, int write, float value) {
  LeadUnitSetStrength(world, cell, write, value);
}
inline void SetFacilityFullStrength(World& world, HexCell& cell, int write, float value) {
  LeadUnitSetTargetStrength(world, cell, write, value);
}

// 304, display pass only: when the hex's owner is the sender, the hex's
// label becomes the payload's text (up to its first NUL, at most
// kMaxHexLabel characters).
inline constexpr size_t kMaxHexLabel = 255;
void HexStackCommand304(World& world, HexCell& cell, int player, const std::vector<uint8_t>& text);
