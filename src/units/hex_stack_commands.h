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

void HexStackCommand288(World& world, HexCell& cell, int pass, uint32_t sequence, uint32_t a28, uint32_t a32,
                        int player);
void HexStackCommand289(World& world, HexCell& cell, int pass, uint32_t sequence, int player, uint32_t a28,
                        uint32_t a32);
void HexStackCommand290(World& world, HexCell& cell, int pass, uint32_t a32, int player);
void HexStackCommand291(World& world, HexCell& cell, int pass, uint32_t a28);
void HexStackCommand292(World& world, HexCell& cell, int pass, int player);
void HexStackCommand293(World& world, HexCell& cell, int pass, uint32_t a28);
void HexStackCommand294(World& world, HexCell& cell, int pass, int player, uint32_t a28);
void HexStackCommand295(World& world, HexCell& cell, int pass, int player);
void HexStackCommand296(World& world, HexCell& cell, int pass, int player);
void HexStackCommand297(World& world, HexCell& cell, int pass, int player, uint32_t a28);
void HexStackCommand299(World& world, HexCell& cell, int pass, uint32_t a28);
void HexStackCommand301(World& world, HexCell& cell, int pass, uint32_t a28, int player);

// 300: the destination of the hex's live facility in the pass's copy (in
// pass 1 not for a provisional facility); not counted on the facility.
void StackApply2359(World& world, HexCell& cell, int pass, uint32_t a28);

// 304, display pass only: when the hex's owner is the sender, the hex's
// label becomes the payload's text (up to its first NUL, at most
// kMaxHexLabel characters).
inline constexpr size_t kMaxHexLabel = 255;
void HexStackCommand304(World& world, HexCell& cell, int player, const std::vector<uint8_t>& text);
