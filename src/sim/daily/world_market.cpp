#include "sim/daily/world_market.h"

#include <algorithm>
#include <vector>

#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/day_tallies.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

// The settings words of a product the market reads: what a region wants by
// hand and the most it pays for it, the most it pays for what it buys
// automatically, and the two refusal masks.
constexpr int kWantedWord = kProductBuyParam;
constexpr int kSellBoycottWord = kProductPlayerMask;   // buyers the seller refuses
constexpr int kBuyBoycottWord = kProductPlayerMask2;   // sellers the buyer refuses

// A level that keeps being worked while trades take place ends after this
// many rounds whatever its figures, so no value can hold the day forever.
constexpr int kMaxRoundsPerLevel = 100000;

float Get(const PlayerRecord& r, int p, size_t at) { return le::LoadF32(r.products[p].bytes + at); }
void Set(PlayerRecord& r, int p, size_t at, float v) { le::StoreF32(r.products[p].bytes + at, v); }

struct Offer {
  float quantity;
  int seller;
};
struct Level {
  float price;
  std::vector<Offer> offers;  // newest first
};

bool Refused(const World& world, int seller, int buyer, int p) {
  const ProductPolicy& s = world.players[seller].simPolicy.productPolicy[p];
  const ProductPolicy& b = world.players[buyer].simPolicy.productPolicy[p];
  const bool sellerRefuses =
      (ProductWord(s, kSellBoycottWord) & (1u << buyer)) != 0 && (ProductWord(s, kProductFlags) & kProductNoBoycottSell) == 0;
  const bool buyerRefuses =
      (ProductWord(b, kBuyBoycottWord) & (1u << seller)) != 0 && (ProductWord(b, kProductFlags) & kProductNoBoycottBuy) == 0;
  return sellerRefuses || buyerRefuses;
}

std::vector<Level> FileOffers(World& world, int p) {
  std::vector<Level> levels;
  for (int r = 0; r < kMaxPlayers; ++r) {
    PlayerRecord& region = world.players[r];
    if (!TakesPart(region)) continue;
    float forSale = std::min(Get(region, p, kProductForSaleAt), Get(region, p, kProductStockAt));
    if (!(forSale >= 10.0f)) forSale = 0.0f;
    Set(region, p, kProductForSaleAt, forSale);
    const float price = Get(region, p, kProductAskPriceAt);
    // An asking price that is not a number has no place in the order.
    if (!(forSale > 0.0f) || price != price) continue;
    auto at = std::lower_bound(levels.begin(), levels.end(), price,
                               [](const Level& l, float x) { return l.price < x; });
    if (at == levels.end() || at->price != price) at = levels.insert(at, Level{price, {}});
    at->offers.insert(at->offers.begin(), Offer{forSale, r});
  }
  return levels;
}

// Works the level once; true when anything changed hands.
bool WorkLevel(World& world, int p, Level& level) {
  const float x = level.price;
  bool buyer[kMaxPlayers] = {};
  int n = 0;
  for (int r = 0; r < kMaxPlayers; ++r) {
    PlayerRecord& region = world.players[r];
    if (!TakesPart(region) || (r != 0 && !(region.treasury > 0.0f))) continue;
    ProductPolicy& entry = region.simPolicy.productPolicy[p];
    if (!(ProductReal(entry, kWantedWord) >= 1.0f)) SetProductReal(entry, kWantedWord, 0.0f);
    if (!(Get(region, p, kProductAutoWantedAt) >= 1.0f)) Set(region, p, kProductAutoWantedAt, 0.0f);
    const bool byHand = ProductReal(entry, kWantedWord) > 0.0f && x <= ProductReal(entry, kProductPurchaseMax);
    const bool automatic = Get(region, p, kProductAutoWantedAt) > 0.0f && x <= ProductReal(entry, kProductAutoBuyMax);
    if (byHand || automatic) buyer[r] = true, ++n;
  }
  if (n == 0) return false;

  bool traded = false;
  const float offerCount = static_cast<float>(level.offers.size());
  for (int b = 0; b < kMaxPlayers && !level.offers.empty(); ++b) {
    if (!buyer[b]) continue;
    PlayerRecord& buying = world.players[b];
    ProductPolicy& entry = buying.simPolicy.productPolicy[p];
    const bool automatic = Get(buying, p, kProductAutoWantedAt) > 0.0f && x <= ProductReal(entry, kProductAutoBuyMax);
    if (!automatic && !(x <= ProductReal(entry, kProductPurchaseMax))) continue;
    float source = automatic ? Get(buying, p, kProductAutoWantedAt) : ProductReal(entry, kWantedWord);
    if (!(source >= 1.0f)) continue;
    // The want is split evenly over the level's offers.
    const float share = source / offerCount;
    for (size_t o = 0; o < level.offers.size();) {
      Offer& offer = level.offers[o];
      if (Refused(world, offer.seller, b, p)) {
        ++o;
        continue;
      }
      const float amount = std::min(share, offer.quantity / static_cast<float>(n));
      if (amount > 0.0f) {
        const float money = amount * x;
        PlayerRecord& selling = world.players[offer.seller];
        CreditTreasury(world, selling, Ledger::kTradeSales, money);
        selling.turnSalesRevenue = selling.turnSalesRevenue + money;
        selling.turnProductTotals[p] = selling.turnProductTotals[p] + money;
        float forSale = Get(selling, p, kProductForSaleAt) - amount;
        Set(selling, p, kProductForSaleAt, forSale < 10.0f ? 0.0f : forSale);
        float stock = Get(selling, p, kProductStockAt) - amount;
        Set(selling, p, kProductStockAt, stock < 2.0f ? 0.0f : stock);

        ChargeTreasury(world, buying, Ledger::kTradePurchases, money);
        buying.turnPurchaseCost = buying.turnPurchaseCost + money;
        buying.turnProductTotals[p] = buying.turnProductTotals[p] - money;
        Set(buying, p, kProductStockAt, Get(buying, p, kProductStockAt) + amount);
        source = std::max(source - amount, 0.0f);
        if (automatic) {
          Set(buying, p, kProductAutoWantedAt, source);
        } else {
          SetProductReal(entry, kWantedWord, source);
          ProductPolicy& shown = buying.displayPolicy.productPolicy[p];
          SetProductReal(shown, kWantedWord, std::max(ProductReal(shown, kWantedWord) - amount, 0.0f));
        }
        offer.quantity = offer.quantity - amount;
        CountTrade(world, buying.kind, selling.kind);
        traded = true;
      }
      if (!(offer.quantity >= 1.0f)) {
        level.offers.erase(level.offers.begin() + static_cast<std::ptrdiff_t>(o));
        continue;
      }
      ++o;
    }
  }
  return traded;
}

}  // namespace

void ClearWorldMarket(World& world) {
  for (int p = 0; p < kProductCount; ++p) {
    std::vector<Level> levels = FileOffers(world, p);
    for (Level& level : levels) {
      for (int round = 0; round < kMaxRoundsPerLevel && !level.offers.empty(); ++round)
        if (!WorkLevel(world, p, level)) break;
    }
  }
}
