#include "ai/product_minister.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ai/minister_common.h"
#include "sim/daily/product_fields.h"
#include "sim/message_ids.h"
#include "sim/player_message_link.h"

namespace {

using product::Get;

constexpr uint32_t kShortage = 1u << 31;

bool Bit(uint32_t word, int bit) { return (word >> bit) & 1u; }

// One product's settings as the minister leaves them; written to both
// copies when the step is done with the product.
struct Entry {
  float margin, factor1, factor2, stockTarget, entrySwitch, target, ratio;
  uint32_t flags;
};

Entry Load(const PlayerPolicyBlock& b, int p) {
  const ProductPolicy& e = b.productPolicy[p];
  return {ProductReal(e, kProductDomesticMargin), ProductReal(e, kProductEntryFactor1),
          ProductReal(e, kProductEntryFactor2),   ProductReal(e, kProductStockTarget),
          ProductReal(e, kProductEntrySwitch),    ProductReal(e, kProductTarget),
          ProductReal(b.productPolicy[kProductRatioEntry], p), ProductWord(e, kProductFlags)};
}

void Store(PlayerPolicyBlock& b, int p, const Entry& v) {
  ProductPolicy& e = b.productPolicy[p];
  SetProductReal(e, kProductDomesticMargin, v.margin);
  SetProductReal(e, kProductEntryFactor1, v.factor1);
  SetProductReal(e, kProductEntryFactor2, v.factor2);
  SetProductReal(e, kProductStockTarget, v.stockTarget);
  SetProductReal(e, kProductEntrySwitch, v.entrySwitch);
  SetProductReal(e, kProductTarget, v.target);
  SetProductReal(b.productPolicy[kProductRatioEntry], p, v.ratio);
  SetProductWord(e, kProductFlags, v.flags);
}

float Root(float v) { return std::sqrt(std::max(v, 0.0f)); }

}  // namespace

void DepartmentMinisterStepC(World& world, PlayerRecord& region) {
  if (!PostServed(region, kPostProducts)) return;
  const int self = region.number;
  const MinisterFigures who = MinisterOf(world, region, kPostProducts, true);
  const float s = who.skill;
  const float r = who.rating;
  PlayerPolicyBlock& sim = region.simPolicy;
  CabinetPolicy& post = sim.cabinetPolicy[kPostProducts];
  const uint32_t orders = CabinetPriorities(post);
  const uint32_t locks = CabinetLocks(post);
  const uint32_t requests = PostRequests(post);

  // 1.
  if (Bit(orders | requests, 6)) RaisePostRequests(sim.cabinetPolicy[kPostFinance], 1u << 17);
  if ((CabinetPriorities(sim.cabinetPolicy[kPostMilitary]) & 0x8200006u) && !Bit(orders, 1) && !Bit(requests, 1))
    PostPlayerMessageTo(world, region, self, kMsgMilitaryWantsGoods, 0);

  const bool broke = region.treasury < 0.0f;
  // 2.
  for (int i = 0; i < kProductCount; ++i) {
    uint32_t m = PostRequests(post) | orders;
    const float p0 = product::WorldReal(world, i, product::kWorldPrice);
    const float w = product::WorldReal(world, i, product::kWorldImportPrice);
    const float S = Get(region, i, product::kStock);
    const float D = Get(region, i, product::kDemand);
    const float P = Get(region, i, product::kProduction);
    const float U = Get(region, i, product::kConsumerDemand);
    const float I = Get(region, i, product::kForSale);
    const float L = Get(region, i, product::kOutput);
    const float T = Get(region, i, product::kAskPrice);
    const float Q = D > 0.0f ? P / D : 1.0f;
    const float a = 1.4f * p0;
    const float M = std::max(a, U);
    const float u = D / 60.0f * r;

    if (P < D && S < u) {
      m |= kShortage;
      if (S < 1.0f) PostPlayerMessageTo(world, region, self, I > 0.0f ? kMsgProductShort : kMsgProductShortNoImports,
                                        static_cast<uint32_t>(i));
    }
    const Entry before = Load(sim, i);
    Entry v = before;
    const bool locked = Bit(locks, i);
    const bool keptUnderCare = (sim.productPolicy[i].bytes[kProductFlagByteAt] & 0x10u) != 0;

    if (!locked) {
      // First entry factor.
      if (Bit(m, 3)) {
        if (Q > 0.85f) v.factor1 *= 0.99f;
        else if (Q > 0.7f) v.factor1 *= 0.998f;
      } else {
        if (Bit(m, 8) && v.factor1 < 0.3f - s / 2.0f && Q < 1.0f) v.factor1 += 0.004f;
        if (Q < 0.9f && v.factor1 < 0.2f - s / 2.0f) v.factor1 += 0.002f;
      }
      // Stock target.
      if (i != 7 && D / 12.0f < S && w > T && M > L) v.stockTarget += S / 52.0f;
      // Entry switch.
      if ((s + 0.9f) * L < M) {
        v.entrySwitch = 1.0f;
      } else {
        v.entrySwitch = 0.0f;
        if ((2.6f - r - s) * L > M && 3.0f * D / 12.0f < S) {
          v.flags &= ~kProductCapByCapacity;
          v.factor2 = 1.0f;
        }
      }
      // The margin: down when the region sells too dear or has cash to
      // spare, up when it is short or broke.
      const float high = 1.2f - s + 0.2f * r + (broke ? 0.4f : 0.0f) + (D / 2.0f < P ? 0.2f : 0.0f);
      if ((Bit(m, 12) || Bit(m, 5)) && v.margin < high) v.margin = Root(v.margin * v.margin * 1.004f);
      else if ((Bit(m, 13) || Bit(m, 16)) && v.margin > s + 1.0f) v.margin = Root(v.margin * v.margin * 0.996f);
      // Selling: a surplus with the sale request turns the automatic sale
      // on; a shortage turns it off.
      if (Bit(m, 17) && P > D) v.flags |= kProductAutoSell;
      if (m & kShortage) v.flags &= ~kProductAutoSell;
      // More than 30 days of use in stock: a tenth of the excess off the
      // stock target.
      const float month = D * 30.0f / 365.0f;
      if (Bit(m, 7) && v.stockTarget > month) v.stockTarget -= (v.stockTarget - month) / 10.0f;
    }
    // The production target: always looked after for an unlocked product,
    // and for a locked one only while the flag byte keeps it in care.
    if (!locked || keptUnderCare) {
      if ((m & kShortage) && P < D && S < u) {
        v.target = (0.9f - s / 5.0f + r / 20.0f) * M;
      } else if (v.target < 0.97f * M && i != 7 && Bit(m, 20)) {
        v.target *= 1.01f;
      } else if (v.target < 0.97f * M && Bit(m, 21)) {
        v.target *= 0.96f;
      } else if (v.target > 0.85f * M) {
        v.target *= Bit(m, 12) ? 0.92f : 0.99f;
      }
      v.target = std::min(v.target, (s + 0.6f) * L);
      // With no capacity the ratio is not a number: it becomes 0.
      v.ratio = L > 0.0f ? v.target / L : 0.0f;
    }
    const bool changed = std::memcmp(&v, &before, sizeof v) != 0;
    if (changed) SetBothCopies(world, region, [&](PlayerPolicyBlock& b) { Store(b, i, v); });
  }
  // 3.
  SetPostRequests(post, 0);
}
