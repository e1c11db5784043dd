#pragma once
// The offer under construction in the negotiation pop-up: making a fresh
// one, opening a received or template text in it, whether it may be sent,
// sending it, and taking a running deal into it for cancellation. The
// screens call these on g_world; tests on a world of their own.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "sim/dip_offer.h"

struct PendingDealRow;

inline constexpr uint8_t kNewOfferApproach = 3;
inline constexpr uint32_t kNewOfferDays = 7;  // a new offer expires a week on

// Keeps the offer when it is for the same player (and an answer only while
// its mail is being answered); else makes a new one for `other`. True when
// a new one was made.
bool PrepareDealOffer(World& world, std::unique_ptr<DipOffer>& offer, int32_t other);

// Submitting needs at least one item, and a side left empty on purpose.
bool DealSubmitAvailable(const DipOffer& offer, bool noneOffered, bool noneRequested);

// An expiry day not after today becomes tomorrow.
void KeepDealExpiryAhead(const World& world, DipOffer& offer);

// Stamps the offer and delivers it to its addressee as a player message
// carrying its DIPOFFER text: type 400, 405 for an answer.
void SendDealOffer(World& world, DipOffer& offer);

// Sends the offer and lets it go; the mail it answers is deleted.
void SubmitDealOffer(World& world, std::unique_ptr<DipOffer>& offer);

// Replaces the offer by one read from the text (sides swapped for a received
// offer). The addressee, or -1 when there is no text.
int32_t OpenOfferText(World& world, std::unique_ptr<DipOffer>& offer, const char* text, bool swap);

// The local player's mail `serial`, opened swapped as its answer; the mail
// is kept as the reply source. The addressee, or -1.
int32_t OpenOfferMail(World& world, std::unique_ptr<DipOffer>& offer, uint32_t serial);

// Takes the chosen running deal into the offer as a cancellation: one
// received from the other player goes into the offered group, one given
// into the requested group.
void CancelPendingDeal(World& world, DipOffer& offer, const PendingDealRow* received, const PendingDealRow* given);
