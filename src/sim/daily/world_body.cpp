#include "sim/daily/world_body.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "app/game_math.h"
#include "sim/availability.h"
#include "sim/daily/product_fields.h"
#include "sim/player_message_link.h"
#include "sim/player_messages.h"
#include "world/player_record.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

// The settings the supplier and the market share (world_market.cpp).
constexpr int kWantedWord = kProductBuyParam;
constexpr int kSellBoycottWord = kProductPlayerMask;   // buyers the seller refuses
constexpr int kBuyBoycottWord = kProductPlayerMask2;   // sellers the buyer refuses
constexpr int kAutoSaleAmountWord = kProductSellParam;
constexpr int kAutoAskPriceWord = kProductSellParam2;
constexpr uint32_t kWorldBodyMember = 1u << 2;  // in wageFlags
constexpr int kProducts = 11;

// World economy product record: supply and demand limits, margin anchor.
constexpr size_t kWorldSupplyLimit = 32;
constexpr size_t kWorldDemandLimit = 36;
constexpr size_t kWorldMarginAnchor = 44;

uint32_t Bit(int p) { return 1u << static_cast<unsigned>(p); }

void SupplierPrices(World& world, PlayerRecord& k) {
  for (int p = 0; p < kProducts; ++p) {
    ProductPolicy& policy = k.simPolicy.productPolicy[p];
    const float limit32 = product::WorldReal(world, p, kWorldSupplyLimit);
    const float limit36 = product::WorldReal(world, p, kWorldDemandLimit);
    const float anchor = product::WorldReal(world, p, kWorldMarginAnchor);
    const float reference = product::WorldReal(world, p, product::kWorldImportPrice);
    const float wanted = ProductReal(policy, kWantedWord);
    float margin = ProductReal(policy, kProductDomesticMargin);
    const float b = std::min(limit36, limit36 / 8.0f + wanted);
    float m = 1.0f;
    if (b > 1.0f) {
      m = std::sqrt((b + wanted) / b) - 0.1f;
      margin = ((m + 8.0f) * margin + anchor) / 10.0f;
    }
    float forSale = product::Get(k, p, product::kForSale);
    float ask;
    if (limit32 <= 1.0f) {
      margin = 1.0f;
      forSale = 0.0f;
      ask = reference;
    } else {
      const float x = (limit32 - forSale) / limit32 * 0.6f + 0.9f;
      margin = (margin * 19.0f + x * x + 0.25f) / 20.0f;
      forSale = std::min(limit32, limit32 / 8.0f + forSale);
      ask = margin * reference;
    }
    SetProductReal(policy, kProductDomesticMargin, margin);
    product::Set(k, p, product::kForSale, forSale);
    product::Set(k, p, product::kAskPrice, ask);
    product::Set(k, p, product::kStock, forSale);
    SetProductReal(policy, kAutoAskPriceWord, ask);
    SetProductReal(policy, kAutoSaleAmountWord, 0.0f);
    SetProductReal(policy, kWantedWord, b);
    SetProductReal(policy, kProductPurchaseMax, std::min(0.9f * m, 0.98f) * margin * reference);
  }
}

void Tell(World& world, PlayerRecord& r, int subject, int32_t type, uint32_t value) {
  PostPlayerMessageTo(world, r, subject, type, value);
}

void BroadcastAbout(World& world, const PlayerRecord& subject, uint32_t type, uint32_t p1, uint32_t p2 = 0) {
  BroadcastPlayerMessage(world, subject, type, type, type, type, nullptr, MessageParams{p1, p2});
}

void SetMask(ProductPolicy& policy, int word, int r, bool on) {
  const uint32_t mask = ProductWord(policy, word);
  SetProductWord(policy, word, on ? (mask | Bit(r)) : (mask & ~Bit(r)));
}

void Embargo(PlayerRecord& k, int r, int product, bool on) {
  SetMask(k.simPolicy.productPolicy[product], kBuyBoycottWord, r, on);
  SetMask(k.simPolicy.productPolicy[product], kSellBoycottWord, r, on);
}

void Region(World& world, PlayerRecord& k, int self, int r) {
  PlayerRecord& region = world.players[r];
  const float s = region.standing;
  const bool member = (region.simPolicy.wageFlags & kWorldBodyMember) != 0;
  const uint32_t u = WorldBodyDraw(region.treasury);
  const uint32_t standingBits = std::bit_cast<uint32_t>(s);
  if (member && s < 0.02f) {
    Tell(world, region, self, 439, 0);
    BroadcastAbout(world, k, 249, static_cast<uint32_t>(r));
    region.simPolicy.wageFlags &= ~kWorldBodyMember;
    {
      WorldLockGuard hold(world, kLockCommandLog);
      region.displayPolicy.wageFlags &= ~kWorldBodyMember;
    }
    for (int p = 0; p < kProducts; ++p) {
      SetMask(k.simPolicy.productPolicy[p], kBuyBoycottWord, r, true);
      if (p != 0 && p != 6) SetMask(k.simPolicy.productPolicy[p], kSellBoycottWord, r, true);
    }
  } else if (member && s < 0.1f) {
    BroadcastAbout(world, k, 162, static_cast<uint32_t>(r), standingBits);
    Tell(world, region, self, 476, standingBits);
  } else if (s < 0.2f) {
    Tell(world, region, self, 225, 0);
    if (region.simPolicy.hostileMask != 0) Tell(world, region, self, 227, 0);
    else if (region.approval < 0.15f) Tell(world, region, self, 226, 0);
    else if (region.creditRating < 0.25f) Tell(world, region, self, 228, 0);
  }
  const bool stillMember = (region.simPolicy.wageFlags & kWorldBodyMember) != 0;
  if ((region.gdpInput2 + region.tradeOpenness + s) / 3.0f >= 0.3f) {
    if (stillMember && s > 0.2f && u > 950) {
      const int j = static_cast<int>(u % 10 + 1);
      if (ProductWord(k.simPolicy.productPolicy[j], kBuyBoycottWord) & Bit(r)) {
        Tell(world, region, self, 107, static_cast<uint32_t>(j));
        BroadcastAbout(world, k, 147, static_cast<uint32_t>(r), static_cast<uint32_t>(j));
        Embargo(k, r, j, false);
      }
    }
    const WorldOfferContent technology = WorldTechnologyOffer(world, r, u);
    if (technology.type != 0) SendWorldOffer(world, self, r, technology);
    const WorldOfferContent goods = WorldProductOffer(world, r, u);
    if (goods.type != 0) SendWorldOffer(world, self, r, goods);
  } else if (stillMember && s < 0.1f && u < 50) {
    const int j = static_cast<int>(u % 10 + 1);
    if (!(ProductWord(k.simPolicy.productPolicy[j], kBuyBoycottWord) & Bit(r))) {
      Tell(world, region, self, 106, static_cast<uint32_t>(j));
      BroadcastAbout(world, k, 146, static_cast<uint32_t>(r), static_cast<uint32_t>(j));
      Embargo(k, r, j, true);
    }
  }
}

}  // namespace

uint32_t WorldBodyDraw(float treasury) {
  const int32_t whole = CheckedTrunc(treasury);
  const int32_t millions = CheckedTrunc(-treasury / 1000000.0f);
  return (static_cast<uint32_t>(whole) - static_cast<uint32_t>(millions)) % 1000u;
}

void RunWorldBodyDay(World& world, PlayerRecord& k) {
  if (&k < world.players || &k >= world.players + kMaxPlayers) return;
  const int self = static_cast<int>(&k - world.players);
  SupplierPrices(world, k);
  if (world.gameState.turnNumber <= 0) return;
  const int highest = std::min(world.gameState.highestPlayer, kMaxPlayers - 1);
  for (int r = 1; r <= highest; ++r) {
    const PlayerRecord& region = world.players[r];
    if (r == self || region.kind == kKindEmpty || region.kind == kKindOut) continue;
    Region(world, k, self, r);
  }
}

namespace {

DealItem SinglePayment(int payer, int payee, float amount) {
  DealItem item;
  item.giver = static_cast<uint8_t>(payer);
  item.receiver = static_cast<uint8_t>(payee);
  item.paymentCount = 1;
  item.amount = amount;
  return item;
}

}  // namespace

DipOffer BuildWorldOffer(const World& world, int body, int region, const WorldOfferContent& content) {
  DipOffer offer;
  if (body < 0 || body >= kMaxPlayers || region < 0 || region >= kMaxPlayers) return offer;
  offer.firstPlayer = static_cast<uint8_t>(region);
  offer.secondPlayer = static_cast<uint8_t>(body);
  offer.kind = 3;
  offer.sentDay = world.gameState.currentDay;
  offer.sentTick = static_cast<uint32_t>(world.gameState.currentTick);
  offer.expiryDay = world.gameState.currentDay + 7;
  const PlayerPolicyBlock& k = world.players[body].simPolicy;
  const bool hostile = (k.hostileMask & Bit(region)) || (world.players[region].simPolicy.hostileMask & Bit(body));
  if (hostile) offer.flags |= kOfferWhileHostile;
  if (content.technology >= 0) offer.offered.discoveries.push_back(content.technology);
  if (content.unitClass >= 0) offer.offered.designs.push_back(content.unitClass);
  for (uint32_t id : content.unitIds)
    if (!offer.offered.HasUnit(id)) offer.offered.units.push_back(OfferUnit{id, 0});
  if (content.firstAmount != 0.0f) offer.offered.dealItems.push_back(SinglePayment(region, body, content.firstAmount));
  if (content.secondAmount != 0.0f)
    offer.requested.dealItems.push_back(SinglePayment(body, region, content.secondAmount));
  if (content.thirdAmount != 0.0f && content.product >= 0 && content.product < kDealProducts) {
    DealItem goods = SinglePayment(region, body, content.thirdAmount);
    goods.product = static_cast<uint8_t>(content.product);
    goods.flags |= 1u;
    offer.offered.dealItems.push_back(goods);
  }
  return offer;
}

void SendWorldOffer(World& world, int body, int region, const WorldOfferContent& content) {
  if (body < 0 || body >= kMaxPlayers || region < 0 || region >= kMaxPlayers) return;
  DipOffer offer = BuildWorldOffer(world, body, region, content);
  const std::string& text = WriteDipOffer(world, offer);
  const MessageParams params{content.values[0], content.values[1], content.values[2], content.values[3]};
  DeliverPlayerMessage(world, world.players[region], content.type, body, text.c_str(), params);
}

WorldOfferContent WorldTechnologyOffer(const World& world, int r, uint32_t u) {
  WorldOfferContent offer;
  if (r < 0 || r >= kMaxPlayers) return offer;
  const PlayerRecord& region = world.players[r];
  const float s = region.standing;
  const float openness = region.tradeOpenness;
  if (!(static_cast<float>(u) < openness * 500.0f) || u % 10 != 2) return offer;
  const int64_t count = std::min<int64_t>(static_cast<int64_t>(world.techs.size()), world.gameState.techCount);
  const PlayerTechState* row = TechRow(world, r);
  if (count <= 0 || !row) return offer;
  const int32_t pick = CheckedTrunc(region.treasury / 100000.0f);
  // A negative treasury picks from the far end of the table, as its word's
  // remainder would; the remainder is taken on the unsigned word.
  const int64_t t = static_cast<int64_t>(static_cast<uint32_t>(pick) % static_cast<uint64_t>(count));
  const TechRecord& tech = world.techs[static_cast<size_t>(t)];
  if (tech.category == 0 || row[t].known != 0) return offer;
  if (!TechnologyAvailability(world, static_cast<int>(t), r)) return offer;
  if (!(static_cast<float>(tech.techLevel) < region.techLevel) || !(tech.price < s * 250.0f)) return offer;
  const float price = tech.price * std::max(1.5f - openness, 0.1f);
  const float rich = openness * 1000000000.0f;
  if (region.treasury >= rich && price < 2.0f * region.treasury) {
    offer.type = 189;
    offer.technology = static_cast<int32_t>(t);
    offer.secondAmount = price;
  } else if (region.treasury < rich) {
    offer.type = 219;
    offer.technology = static_cast<int32_t>(t);
  }
  return offer;
}

WorldOfferContent WorldProductOffer(const World& world, int r, uint32_t u) {
  WorldOfferContent offer;
  if (r < 0 || r >= kMaxPlayers) return offer;
  const PlayerRecord& region = world.players[r];
  const float s = region.standing;
  const float openness = region.tradeOpenness;
  if (!(static_cast<float>(u) < openness * 100.0f) || u % 4 != 3) return offer;
  const int p = static_cast<int>((world.gameState.currentDay + u) % 12u);
  if (p == 11) {
    const float sum = openness * s * 6000000000.0f;
    if (region.treasury < sum) {
      offer.type = 219;
      offer.firstAmount = sum;
    }
    return offer;
  }
  if (p == 7) return offer;
  const float demand = product::Get(region, p, product::kDemand);
  const float quantity = demand / 20.0f * openness * s;
  if (product::Get(region, p, product::kOutput) < demand && product::Get(region, p, product::kStock) < demand / 60.0f &&
      quantity > 1000.0f && region.treasury < quantity * product::Get(region, p, product::kPrice) * 10.0f)
    offer.type = 219;
  return offer;
}
