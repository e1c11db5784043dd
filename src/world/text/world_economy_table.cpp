#include "world/text/world_economy_table.h"

#include "records/le_bytes.h"
#include "world/text/csv_frame.h"
#include "world/world.h"

namespace {

uint8_t* EntryField(uint8_t* block, int product, size_t offset) {
  return block + static_cast<size_t>(product) * kWorldEconomyProductBytes + offset;
}

// Amounts of a product per unit of another, and the import weighting:
// figures that multiply into every region's costs and trade, where a
// thousand is already far past any economy.
constexpr float kLargestAmountPerUnit = 1000.0f;
// The energy in a unit of fuel, which divides the fuel a plant burns.
constexpr float kLargestEnergy = 1.0e6f;

}  // namespace

int32_t LoadCVars2Table(uint8_t* economyBlock, const char* name) {
  if (!economyBlock) return plat::kFail;
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  if (EnterKeywordBlock(t, "START", false)) {
    for (int row = 0; row < 4; ++row) {
      if (BeginTableLine(t, 1 + kWorldEconomyProducts)) {
        SkipField(t);  // the row's label
        for (int p = 0; p < kWorldEconomyProducts; ++p) {
          uint8_t* field = EntryField(economyBlock, p, 16 + 4 * static_cast<size_t>(row));
          le::StoreF32(field, ReadRealCell(t, le::LoadF32(field), 0.0f, kLargestAmountPerUnit));
        }
      }
      SkipLine(t);
    }
  }
  if (EnterKeywordBlock(t, "powergen", false)) {
    for (int p = 0; p < 8; ++p) {
      if (BeginTableLine(t, 1)) le::StoreF32(EntryField(economyBlock, p, 48), ReadRealCell(t, 0.0f, 0.0f, kLargestEnergy));
      SkipLine(t);
    }
  }
  return plat::kOk;
}

int32_t LoadCVars2Table(World& world, const char* name) {
  if (world.worldEconomy.size() < kWorldEconomyBytes) return plat::kFail;
  return LoadCVars2Table(world.worldEconomy.data(), name);
}
