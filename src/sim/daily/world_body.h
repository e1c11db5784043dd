#pragma once
// The day of a region of kind 1: the world's supplier and body.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>
#include <vector>

#include "sim/dip_offer.h"

struct PlayerRecord;
struct UnitClassRecord;
struct World;

void RunWorldBodyDay(World& world, PlayerRecord& region);

// The world body's only chance: 0 to 999 from the digits of a treasury, the
// same for the same treasury on every peer and every day.
uint32_t WorldBodyDraw(float treasury);

// What the world body puts into one offer to a region.
struct WorldOfferContent {
  uint32_t type = 0;                 // the message type that carries it
  uint32_t values[4] = {};           // the message's values
  std::vector<uint32_t> unitIds;     // units offered, each once
  int32_t technology = -1;           // offered when not negative
  int32_t unitClass = -1;            // offered when not negative
  float firstAmount = 0.0f;          // paid by the region to the body
  float secondAmount = 0.0f;         // paid by the body to the region
  int32_t product = 0;
  float thirdAmount = 0.0f;          // goods of the product, from the region
};

// The offer of kind 3 from the body to the region, dated today and open for
// seven days; each non-zero amount becomes a single payment.
DipOffer BuildWorldOffer(const World& world, int body, int region, const WorldOfferContent& content);
// Builds the offer, writes its DIPOFFER text and delivers it to the region
// as a player message of the content's type.
void SendWorldOffer(World& world, int body, int region, const WorldOfferContent& content);

// The technology the body may offer a region on a day with draw u and the
// region's standing s: none (type 0) when the draw or the table says so.
WorldOfferContent WorldTechnologyOffer(const World& world, int region, uint32_t u);
// The product or loan the body may offer a region on a day with draw u:
// none (type 0) unless the draw, the region's needs and its treasury say so.
WorldOfferContent WorldProductOffer(const World& world, int region, uint32_t u);

// How many units of the class the body makes for one offer to the region:
// 1 + 1,000,000,000 / ((f x n x B + 0.9) x the region's unit cost of product
// 10 + n x M + 100,000,000), the quotient truncated, doubled for a stock
// class; n is the class's strength per size, M its money price, B its cost
// in product 10, f 0.5 for sea and submarine classes and 1.0 for the others.
int32_t WorldUnitOfferCount(const UnitClassRecord& cls, const PlayerRecord& region);
// The unit class or design the body may offer the region on a day with
// draw u: none (type 0) unless the draw, the region's standing, openness,
// technology level, capacities and masks find a class for it. Units offered
// are made at once for the body, in its reserve.
WorldOfferContent WorldUnitOffer(World& world, int body, int region, uint32_t u);
