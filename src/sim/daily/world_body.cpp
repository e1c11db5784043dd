#include "sim/daily/world_body.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "app/game_math.h"
#include "sim/availability.h"
#include "sim/daily/product_fields.h"
#include "sim/facility_costs.h"
#include "sim/message_ids.h"
#include "sim/player_message_link.h"
#include "sim/player_messages.h"
#include "units/unit_batch.h"
#include "records/unit_record.h"
#include "world/data_tables.h"
#include "world/list_items.h"
#include "records/player_record.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

// The settings the supplier and the market share (world_market.cpp).
constexpr int kWantedWord = kProductBuyParam;
constexpr int kSellBoycottWord = kProductPlayerMask;   // buyers the seller refuses
constexpr int kBuyBoycottWord = kProductPlayerMask2;   // sellers the buyer refuses
constexpr int kAutoSaleAmountWord = kProductSellParam;
constexpr int kAutoAskPriceWord = kProductSellParam2;
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
    Tell(world, region, self, kMsgExpelled, 0);
    BroadcastAbout(world, k, kMsgExpelledNews, static_cast<uint32_t>(r));
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
    BroadcastAbout(world, k, kMsgWorldBodyWarningNews, static_cast<uint32_t>(r), standingBits);
    Tell(world, region, self, kMsgWorldBodyWarning, standingBits);
  } else if (s < 0.2f) {
    Tell(world, region, self, kMsgWorldBodyConcern, 0);
    if (region.simPolicy.hostileMask != 0) Tell(world, region, self, kMsgWorldBodyConcernWars, 0);
    else if (region.approval < 0.15f) Tell(world, region, self, kMsgWorldBodyConcernSupport, 0);
    else if (region.creditRating < 0.25f) Tell(world, region, self, kMsgWorldBodyConcernCredit, 0);
  }
  const bool stillMember = (region.simPolicy.wageFlags & kWorldBodyMember) != 0;
  if ((region.gdpInput2 + region.tradeOpenness + s) / 3.0f >= 0.3f) {
    if (stillMember && s > 0.2f && u > 950) {
      const int j = static_cast<int>(u % 10 + 1);
      if (ProductWord(k.simPolicy.productPolicy[j], kBuyBoycottWord) & Bit(r)) {
        Tell(world, region, self, kMsgEmbargoLifted, static_cast<uint32_t>(j));
        BroadcastAbout(world, k, kMsgEmbargoLiftedNews, static_cast<uint32_t>(r), static_cast<uint32_t>(j));
        Embargo(k, r, j, false);
      }
    }
    const WorldOfferContent units = WorldUnitOffer(world, self, r, u);
    if (units.type != 0) {
      SendWorldOffer(world, self, r, units);
      if (!units.unitIds.empty())
        BroadcastPlayerMessage(world, region, 0, kMsgArmsSaleNews, kMsgArmsSaleNews, kMsgArmsSaleNews, nullptr,
                               MessageParams{});
    }
    const WorldOfferContent technology = WorldTechnologyOffer(world, r, u);
    if (technology.type != 0) SendWorldOffer(world, self, r, technology);
    const WorldOfferContent goods = WorldProductOffer(world, r, u);
    if (goods.type != 0) SendWorldOffer(world, self, r, goods);
  } else if (stillMember && s < 0.1f && u < 50) {
    const int j = static_cast<int>(u % 10 + 1);
    if (!(ProductWord(k.simPolicy.productPolicy[j], kBuyBoycottWord) & Bit(r))) {
      Tell(world, region, self, kMsgEmbargo, static_cast<uint32_t>(j));
      BroadcastAbout(world, k, kMsgEmbargoNews, static_cast<uint32_t>(r), static_cast<uint32_t>(j));
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
    if (r == self || !TakesPart(region)) continue;
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
    offer.type = kMsgSupplierSale;
    offer.technology = static_cast<int32_t>(t);
    offer.secondAmount = price;
  } else if (region.treasury < rich) {
    offer.type = kMsgSupplierGift;
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
      offer.type = kMsgSupplierGift;
      offer.firstAmount = sum;
    }
    return offer;
  }
  if (p == 7) return offer;
  const float demand = product::Get(region, p, product::kDemand);
  const float quantity = demand / 20.0f * openness * s;
  if (product::Get(region, p, product::kOutput) < demand && product::Get(region, p, product::kStock) < demand / 60.0f &&
      quantity > 1000.0f && region.treasury < quantity * product::Get(region, p, product::kPrice) * 10.0f)
    offer.type = kMsgSupplierGift;
  return offer;
}

namespace {

// Class fields the body's offers read: the lowest technology level (byte
// 26), the level from which the class is out of date (byte 115, 0 none),
// the class mask that regions' masks are matched against (the word at 56),
// and two bytes of its own: whether the body offers the class at all (183)
// and how keenly (184). Bytes 180 and 181 are the census's size and kind.

uint32_t ClassMask(const UnitClassImage& c) { return c.availability; }
constexpr int kSupplyGoods = 10;

// The kind a class is priced and counted by: land, air, sea (submarines
// count as sea); -1 for a kind outside those.
int BaseType(const UnitClassImage& c) {
  if (c.kind > 3) return -1;
  return c.kind == 3 ? 2 : c.kind;
}

// The player may build the class: its design bit and both prerequisites.
bool MayBuild(const World& world, int player, int classIndex) {
  const uint8_t* row = DesignRow(const_cast<World&>(world), player);
  if (!row || classIndex >= world.gameState.designRowBytes || !(row[classIndex] & 1u)) return false;
  ProjectEntry probe;
  probe.kind = kProjectDesign;
  probe.index = static_cast<uint32_t>(classIndex);
  return ItemAvailability(world, probe, player) != 0;
}

// The player may build the class or one further along its upgrade chain.
bool MayBuildOnChain(const World& world, int player, int classIndex) {
  std::vector<bool> seen(world.unitClasses.size(), false);
  for (int c = classIndex; c > 0 && static_cast<size_t>(c) < world.unitClasses.size() && !seen[static_cast<size_t>(c)];
       c = world.unitClasses[static_cast<size_t>(c)].successor) {
    seen[static_cast<size_t>(c)] = true;
    if (MayBuild(world, player, c)) return true;
  }
  return false;
}

bool HoldsPrerequisites(const World& world, int player, int classIndex) {
  ProjectEntry probe;
  probe.kind = kProjectDesign;
  probe.index = static_cast<uint32_t>(classIndex);
  return ItemAvailability(world, probe, player) != 0;
}

bool Candidate(const PlayerRecord& region, const UnitClassRecord& c, uint32_t u) {
  if (c.name[0] == 0 || c.onOffer == 0) return false;
  if (!(static_cast<float>(c.level) < region.techLevel)) return false;
  if (c.buildThreshold != 0 && !(static_cast<float>(c.buildThreshold) > region.techLevel)) return false;
  if (c.flags & (kClassObsolete | kClassFacility)) return false;
  if ((c.flags & kClassStock) && (c.flags & kClassSpecialKinds)) return false;
  const int t = BaseType(c);
  if (t < 0 || (t != 0 && region.dayCensusCapacityB[t] == 0)) return false;
  if (!((region.classMask | 1u) & ClassMask(c))) return false;
  const uint32_t weight = c.offerWeight;
  if (!(weight * weight > (u / 10) % 100)) return false;
  return static_cast<float>(c.strengthPerSize) * c.buildWorkPerPoint < region.tradeOpenness * 200.0f;
}

}  // namespace

int32_t WorldUnitOfferCount(const UnitClassRecord& c, const PlayerRecord& region) {
  const float n = static_cast<float>(c.strengthPerSize);
  const float f = BaseType(c) >= 2 ? 0.5f : 1.0f;
  const float unitCost = product::Get(region, kSupplyGoods, product::kUnitCost);
  const float cost = (f * n * c.resourceB + 0.9f) * unitCost + n * c.price + 100000000.0f;
  // A cost that is no number or none at all buys the one unit.
  const int32_t more = CheckedTrunc(SafeDivide(1000000000.0f, cost));
  int32_t count = 1 + (more > 0 ? more : 0);
  if (c.flags & kClassStock) count *= 2;
  return count;
}

constexpr int32_t kMostOfferTries = 40;

WorldOfferContent WorldUnitOffer(World& world, int body, int r, uint32_t u) {
  WorldOfferContent offer;
  if (body < 0 || body >= kMaxPlayers || r < 0 || r >= kMaxPlayers) return offer;
  const PlayerRecord& region = world.players[r];
  const float openness = region.tradeOpenness;
  const size_t classes = world.unitClasses.size();
  if (!(static_cast<float>(u) < openness * 1000.0f) || classes == 0) return offer;
  const uint32_t pick = static_cast<uint32_t>(CheckedTrunc(region.treasury / 10000.0f));
  int c = -1;
  // Standing grows only while below 0.9, so 20 x standing stays near 18; a
  // damaged file's huge standing must not make this a loop of billions.
  const int32_t tries = std::min(CheckedTrunc(region.standing * 20.0f), kMostOfferTries);
  for (int32_t k = tries; k >= 1; --k) {
    const auto at = static_cast<size_t>(pick / static_cast<uint32_t>(k) % classes);
    if (Candidate(region, world.unitClasses[at], u)) {
      c = static_cast<int>(at);
      break;
    }
  }
  if (c < 0) return offer;
  const UnitClassRecord& cls = world.unitClasses[static_cast<size_t>(c)];
  const int t = BaseType(cls);
  const float n = static_cast<float>(cls.strengthPerSize);
  const float price = cls.price;
  auto makeUnits = [&] {
    std::vector<UnitRecord*> made;
    CreateUnitBatch(world, world.players[body], c, WorldUnitOfferCount(cls, region), 0, true, true, &made);
    for (const UnitRecord* unit : made) offer.unitIds.push_back(unit->id);
  };
  if (!(region.treasury > 0.0f) ||
      region.dayCensusCapacityA[t] <= 1 + CheckedTrunc(5.0f * openness)) {
    makeUnits();
    offer.type = kMsgSupplierGift;
  } else if (MayBuildOnChain(world, r, c)) {
    makeUnits();
    offer.type = kMsgSupplierSale;
    offer.secondAmount = n * price;
  } else if (HoldsPrerequisites(world, body, c)) {
    static constexpr float kDesignFactor[3] = {3.0f, 2.0f, 0.5f};
    // Submarines, counted with sea classes elsewhere, keep their own factor.
    const float factor = cls.kind == 3 ? 1.0f : kDesignFactor[t];
    const float designPrice = (n * price + 0.9f) * factor * std::max(0.1f, 2.0f - 2.0f * openness);
    const float rich = openness * 1000000000.0f;
    if (region.treasury >= rich && designPrice < 2.0f * region.treasury) {
      offer.type = kMsgSupplierSale;
      offer.unitClass = c;
      offer.secondAmount = designPrice;
    } else if (region.treasury < rich) {
      offer.type = kMsgSupplierGift;
      offer.unitClass = c;
    }
  }
  if (offer.type != 0 && offer.unitIds.empty() && offer.unitClass < 0) offer.type = 0;
  return offer;
}
