#pragma once
// The settlement pop-ups of the map: a region's settlements in a list that
// sorts by name, position, population or loyalty, with the details of the
// chosen one, centring the map on it and moving the capital there
// (POPUP_SETTLEMENT, opened with a region number); and the read-only card
// of one settlement hex (POPUP_SETTLEMENTb, shown with a cell index).
// Window thread; the walks over the world hold the simulation lock.
#include <memory>
#include <cstdint>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// The orders the list sorts in; the header's buttons carry the order plus
// kSettlementSortBase as their ids.
enum SettlementSort : int32_t {
  kSortByName = 0,
  kSortByPosition = 1,
  kSortByPopulation = 2,
  kSortByLoyalty = 3,
};
inline constexpr int32_t kSettlementSortBase = 71;

// A settlement hex's name: its label cut to 47 characters, or "X:%03d
// Y:%03d" of its column and row when it has none.
std::string SettlementName(const World& world, uint32_t cellIndex);
// How loyal the hex is: its open facility's loyalty, else the loyalty of
// the region the hex is loyal to.
float SettlementLoyalty(const World& world, const HexCell& cell);
// A key under which names in descending order read alphabetically; each
// character weighs 256 times less than the one before it and counts as an
// unsigned byte, so accented letters follow Z.
double SettlementNameKey(const std::string& name);
// The region's capital as a packed hex (0 for none), from the first of its
// two copies.
uint32_t RegionCapitalHex(const World& world, int32_t region);

// One row of the list: the settlement's cell and its sort key.
struct SettlementRow {
  uint32_t cellIndex = 0;
  double key = 0.0;
};
// The region's settlements in unit order, each hex once: its units marked
// as facilities on hexes whose lead is a live settlement. Keys by the sort
// order.
std::vector<SettlementRow> CollectSettlements(const World& world, int32_t region, int32_t sort);
// The rows in list order: descending keys, ties in unit order.
void SortSettlementRows(std::vector<SettlementRow>& rows);

inline constexpr const char* kSettlementListTags[] = {
    "CITYLIST", "CLOSEBUT", "CAPITALBUT", "GRIDCAP2", "CENTRE",  "HDR",    "NAME",   "SOMETHING",
    "CAPITAL",  "CITYPIC",  "POPULATION", "LOYALTY",  "FLAG",    "PERURB", "PERRUR"};

// The screen's id is the region listed.
std::unique_ptr<Screen> MakeSettlementPopup();

// Children of the card, by id.
inline constexpr int32_t kCardNameId = 1;
inline constexpr int32_t kCardPositionId = 2;
inline constexpr int32_t kCardPopulationId = 3;
inline constexpr int32_t kCardLoyaltyId = 4;
inline constexpr int32_t kCardCapitalId = 5;
inline constexpr const char* kSettlementCardTags[] = {"FLAG"};
inline constexpr int32_t kSettlementCardIds[] = {kCardNameId, kCardPositionId, kCardPopulationId, kCardLoyaltyId,
                                                 kCardCapitalId};

// The card of one settlement hex; the screen's id is its cell index.
std::unique_ptr<Screen> MakeSettlementInfoPanel();
