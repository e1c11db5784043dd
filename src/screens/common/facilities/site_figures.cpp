#include "screens/common/facilities/site_figures.h"

#include <cmath>

#include "records/hex_cell.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "sim/daily/product_fields.h"
#include "units/class_fields.h"
#include "units/facilities/facility_build.h"
#include "world/local_player.h"
#include "world/record_helpers.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr float kFoundationShare = 0.2f;
// Where the world economy block keeps the scale a site's needs are valued at.
constexpr size_t kWorldGoodsScaleAt = 804;

}  // namespace

float ClassCostScale(const World& world, const UnitClassRecord& cls) {
  const bool bySize = (cls.flags & kClassRoad) && !(cls.flags & kClassSettlementPopulation);
  return bySize ? static_cast<float>(world.mapHeader.hexScale) : world.mapHeader.scaleSquared;
}

float HexSupplierRate(const World& world, const HexCell& cell) {
  const int owner = CellOwner(cell.word), loyal = CellLoyalTo(cell.word);
  if (owner != loyal) return 0.0f;
  const UnitRecord* lead = GetActiveObject(&cell, true);
  return lead ? lead->efficiency : world.players[loyal].efficiency;
}

int MainProduct(const UnitClassRecord& cls) {
  float w[11];
  if (!classfields::ProductValues(cls, w)) return -1;
  int best = -1;
  for (int p = 0; p < 11; ++p)
    if (w[p] > 0.0f && (best < 0 || w[p] > w[best])) best = p;
  return best;
}

float SiteOutput(const World& world, const HexCell& cell, const UnitClassRecord& cls, float e, float need) {
  float v = e * need * SupplyLevelFactor(HexLevelByte(world, cell), HexSupplierRate(world, cell));
  const int p = MainProduct(cls);
  if (p >= 0) {
    const PlayerRecord& owner = world.players[CellOwner(cell.word)];
    v = v * product::Get(owner, p, product::kProductivity) * product::Factors(world, owner)[product::kOutputFactor + p];
  }
  return v;
}

float SiteMainProductOutput(const World& world, const UnitClassRecord& cls, float output) {
  float w[11];
  const int p = MainProduct(cls);
  if (p < 0 || !classfields::ProductValues(cls, w)) return 0.0f;
  float valued = 0.0f;
  for (int i = 0; i < 11; ++i) valued += w[i] * product::WorldReal(world, i, product::kWorldOutputWeight);
  const float scale = product::WorldReal(world, 0, kWorldGoodsScaleAt);
  if (!(valued > 0.0f) || !(scale > 0.0f)) return 0.0f;
  const float share = w[p] * product::WorldReal(world, p, product::kWorldOutputWeight) / valued;
  return output * share * world.mapHeader.scaleSquared / scale;
}

float PerBuildDay(float amount, float days) { return days > 0.0f ? amount / days : 0.0f; }

float LocalCostFactor(const World& world) {
  const PlayerRecord* local = LocalPlayer(world);
  return local ? local->costFactor : 0.0f;
}

float LocalOutput(const World& world, int product) {
  const PlayerRecord* local = LocalPlayer(world);
  return local ? product::Get(*local, product, product::kOutput) : 0.0f;
}

BuildPreview PreviewBuild(const World& world, int32_t classIndex, const HexCell* cell) {
  BuildPreview out;
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls) return out;
  const PlayerRecord* localRecord = LocalPlayer(world);
  if (!localRecord) return out;
  const PlayerRecord& local = *localRecord;
  const float costBase = ClassCostScale(world, *cls) * cls->price;
  const float labourCost = (product::Get(local, 9, product::kPrice) * cls->firepower +
                            product::Get(local, 10, product::kPrice) * cls->resourceB) *
                           world.mapHeader.scaleSquared;
  const float mult = local.costFactor;
  out.foundation = costBase * kFoundationShare * mult;
  if (!cell) {
    out.cost = (costBase * kFoundationShare + labourCost + costBase) * mult;
    out.days = cls->buildWorkPerPoint;
    out.supplied = true;
    return out;
  }
  const SiteSupply site = HexSiteSupply(world, *cell, *cls, classIndex, CellOwner(cell->word));
  out.need = site.need;
  out.eff = site.need > site.supply ? site.supply / site.need : 1.0f;
  out.cost = (costBase * kFoundationShare + (labourCost + costBase) * out.eff) * mult;
  float s = EngineerEffort(world, *cell);
  if (s > 1.0f) s = std::sqrt(s);
  const uint8_t level = HexLevelByte(world, *cell);
  const float factor = SupplyLevelFactor(level, HexSupplierRate(world, *cell));
  out.level = level;
  out.supplied = level != 0 || (s > 1.0f && (cls->flags & kClassFortifies));
  if (out.supplied) out.days = cls->buildWorkPerPoint / (factor * s) * out.eff;
  out.output = SiteOutput(world, *cell, *cls, EffectiveStrength(out.eff), site.need);
  // The check changes nothing: it only asks whether the local player may build here.
  out.refused = !ProcessUnitStack(const_cast<World&>(world), const_cast<HexCell&>(*cell), 0, 0, classIndex, 1.0f, true,
                                  true, true);
  return out;
}
