#pragma once
// The items a diplomatic offer can hold, as the deal editor lists them: the
// catalogue of what one side could still give, the lines of a group with
// their financial value, and adding and removing an item (with the
// technologies and designs that come with it or depend on it).
//
// Rows carry a kind and an item: an agreement index, a payment or goods
// template, a unit id, a land tag number 1..4, a technology index, a class
// index, or the position of a deal item in its group. The kinds of a row id
// are kept beside the list (DealRows) since a group's list mixes them.
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "sim/dip_offer.h"

enum DealItemKind : int32_t {
  kDealAgreement = 0,
  kDealPayment = 1,
  kDealReserveUnit = 2,
  kDealLandTag = 3,
  kDealDiscovery = 4,
  kDealDesign = 5,
  kDealGoods = 6,
  kDealMissiles = 7,
};
inline constexpr int kDealItemKinds = 8;

inline constexpr uint32_t kDealCancelColour = 0xFFFA3200;
inline constexpr uint32_t kDealRowColour = 0xFFFFFF64;
// A deal quantity is a byte; a stock is offered 250 at a time at most.
inline constexpr int32_t kDealQuantityCap = 250;

struct DealRow {
  int32_t kind = kDealAgreement;
  uint32_t item = 0;
};

// The rows of one list by row id.
struct DealRows {
  std::vector<std::pair<int32_t, DealRow>> rows;
  const DealRow* Find(int32_t rowId) const;
  void Add(int32_t rowId, DealRow row) { rows.emplace_back(rowId, row); }
};

// The side's payment templates (one per frequency) and goods templates (one
// per product): the catalogue's payment and goods rows name them, and the
// amount pop-up edits their amounts in place.
struct DealTemplates {
  std::array<DealItem, kDealFrequencies> payments{};
  std::array<DealItem, kDealProducts> goods{};
};
void FillDealTemplates(DealTemplates& templates);
// The template a payment or goods row names (item: frequency or product).
DealItem* DealTemplate(DealTemplates& templates, int32_t kind, uint32_t item);

// The deal quantity of a stock of that strength: round(strength), at least 1
// and at most the cap.
int32_t DealQuantityOf(float strength);

// True when the group makes or cancels the agreement or any of its
// ancestors through the parent indexes (a cycle of parents stops after 127
// steps).
bool AgreementInGroup(const OfferItemGroup& group, int32_t index);

// Fills the list (may be null) with the catalogue of the kind that the
// giving side could add: side 0 the local player gives to `other`, side 1
// `other` gives to the local player. Payment rows name a frequency and goods
// rows a product: the side's template of it (DealTemplate).
void FillDealCatalogue(World& world, int32_t kind, ListBoxControl* list, int32_t other, int32_t side,
                       const OfferItemGroup& group, DealRows& rows);

// Lists the group's items in the list (may be null) and returns their
// value (OfferGroupValue).
float FillDealGroupList(World& world, ListBoxControl* list, const OfferItemGroup& group, DealRows& rows);

// Adds an item of the kind. Payments and goods take `deal` (a template, or
// an item made from a running one with its id); the others take `item`.
void AddDealItem(World& world, OfferItemGroup& group, int32_t kind, uint32_t item, int32_t giver, int32_t receiver,
                 const DealItem* deal = nullptr);
// Removes it again; for payments and goods `item` is the position in the
// group's deal items.
void RemoveDealItem(World& world, OfferItemGroup& group, int32_t kind, uint32_t item);

// A running recurring item as a proposal that cancels it (its id kept), or
// nothing when no such item runs.
std::optional<DealItem> DealItemOfRunning(World& world, uint32_t itemId);
