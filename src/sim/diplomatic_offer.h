#pragma once
// Carrying out a diplomatic offer: command 180's simulation pass checks
// that both sides can give what the offer names, moves everything when they
// can, and tells both parties by message. Runs on the turn thread under the
// simulation lock.
#include <cstdint>

struct World;
struct PlayerRecord;
struct OfferItemGroup;

// ApplyOfferGroup's result when every item can be (or was) given; otherwise
// the code of the first item that cannot.
inline constexpr int kOfferGroupGiven = -1;
enum OfferItemFailure : int {
  kOfferFailTreaty = 0,  // the treaty is already in the asked state
  kOfferFailMoney = 1,
  kOfferFailArea = 3,
  kOfferFailDiscovery = 4,
  kOfferFailDesign = 5,
  kOfferFailProduct = 6,
  kOfferFailUnit = 7,
};

// Checks (checkOnly) or gives the group's items from `giver` to player
// `receiver`: treaties, payments and goods, units, land tags, discoveries
// and designs, in that order. A unit strength split off a unit held off the
// map becomes the receiver's unit with id `sequence`.
int ApplyOfferGroup(World& world, PlayerRecord& giver, const OfferItemGroup& group, int receiver, bool checkOnly,
                    uint32_t sequence);

// The simulation pass (pass 1) of an offer made by `offeringPlayer` and
// accepted by `receiver`; nothing in the display pass.
void ProcessDiplomaticOffer(World& world, int pass, PlayerRecord& receiver, int offeringPlayer, const char* offerText,
                            uint32_t sequence);
