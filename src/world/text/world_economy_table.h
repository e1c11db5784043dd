#pragma once
// The world-economy settings table ("CVars2"): per product, the amounts of
// products 8, 9 and 10 needed per unit and one more setting, and the energy
// content of the first eight products, written into the world economy block.
#include <cstddef>
#include <cstdint>

struct World;

// The world economy block: 1,024 bytes, product p's 64-byte entry at 64p.
inline constexpr size_t kWorldEconomyBytes = 1024;
inline constexpr size_t kWorldEconomyProductBytes = 64;
inline constexpr int kWorldEconomyProducts = 12;

// "INI\" + name + ".CSV": after "START", 4 rows of a label and 12 reals, row r
// going to offset 16 + 4r of product entries 0..11 (an empty cell keeps the
// value there); after "powergen", 8 rows whose first cell goes to offset 48
// of product entries 0..7. Floats are stored little-endian; a missing block
// changes nothing. 0, or the generic failure when the file cannot be read or
// there is no economy block.
int32_t LoadCVars2Table(uint8_t* economyBlock, const char* name);
// The same into the world's economy block (the generic failure while the
// world has none).
int32_t LoadCVars2Table(World& world, const char* name);
