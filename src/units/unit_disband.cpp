#include "units/unit_disband.h"

#include <algorithm>
#include <bit>

#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "units/transport/cargo_unloading.h"
#include "world/unit_class.h"
#include "units/unit_destroy.h"
#include "units/unit_player_fields.h"
#include "world/derived_tables.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"

namespace {

namespace uf = unitfields;

// The supply product's record in the world economy block: its price there
// is what disbanded units sell at.
constexpr size_t kSupplyMarketPriceAt =
    static_cast<size_t>(uf::kSupplyProduct) * kEconomyProductSize + kProductReferencePriceAt;
static_assert(kSupplyMarketPriceAt == 692);
// The refund every disbanded unit returns on top of its value.
constexpr float kDisbandBonus = 0.81f;

// Class fields the refund reads.
constexpr uint32_t kUnlimitedAvailability = 0xFFFFFFFFu;

float SupplyMarketPrice(const World& world) {
  const std::vector<uint8_t>& economy = world.worldEconomy;
  return kSupplyMarketPriceAt + 4 <= economy.size() ? le::LoadF32(economy.data() + kSupplyMarketPriceAt) : 0.0f;
}

float SupplyPriceLimit(const PlayerRecord& owner) {
  return uf::ProductReal(owner, uf::kSupplyProduct, kProductPriceLimitAt);
}

}  // namespace

float DisbandBaseValue(const UnitClassRecord& cls, float strength) {
  const float full = static_cast<float>(cls.strengthPerSize);
  // A class without a full strength has no per-point value to scale.
  if (full == 0.0f) return 0.0f;
  const float m = (cls.kind == kUnitKindSea || cls.kind == kUnitKindSubmarine) ? 0.5f : 1.0f;
  return full * cls.weight * m * (strength / full) * 0.9f;
}

void UnitDisbandToStock(World& world, UnitRecord& unit, uint32_t sell) {
  if (unit.unitFlags & kUnitGone) return;
  PlayerRecord& owner = world.players[unit.owner & 31];

  uf::SetSupplyStock(owner, uf::SupplyStock(owner) + unit.supply);
  unit.supply = 0.0f;
  UnitUnloadAllCargo(world, unit);
  uf::SetSupplyStock(owner, uf::SupplyStock(owner) + unit.supply + unit.ammo);
  uf::SetFuelStock(owner, uf::FuelStock(owner) + unit.fuel);
  unit.fuel = 0.0f;
  unit.ammo = 0.0f;
  unit.supply = 0.0f;

  if (const UnitClassRecord* cls = UnitClassOf(world, unit)) {
    if (IsUnitLive(unit) && !(unit.unitFlags & kUnitProvisional) && !InReserve(unit))
      owner.soldiers += static_cast<float>(cls->valuePerPoint) * unit.strength;
    const float value = DisbandBaseValue(*cls, unit.strength) + kDisbandBonus;
    MessageParams params;
    params.p1 = static_cast<uint32_t>(unit.classIndex);
    params.p2 = cls->typeByte;
    if (sell == 0) {
      uf::SetSupplyStock(owner, uf::SupplyStock(owner) + value);
      AddLocalNewsItem(world, owner, kMsgUnitDisbanded, 0, params);
    } else {
      float share = (static_cast<float>(cls->level) * 2.0f + 20.0f) / 200.0f * cls->costPerElement * unit.strength;
      if (cls->availability == kUnlimitedAvailability) share = share * 0.8f;
      const float price = std::min(SupplyPriceLimit(owner), SupplyMarketPrice(world));
      const float proceeds = value * price + share;
      CreditTreasury(world, owner, Ledger::kUnitPurchases, proceeds);
      params.p3 = std::bit_cast<uint32_t>(proceeds);
      AddLocalNewsItem(world, owner, kMsgUnitSold, 0, params);
    }
  }

  unit.strength = 0.0f;
  UnitDestroy(world, unit, 1);
}
