#include "screens/diplomacy/deals/deal_offer.h"

#include <string>

#include "records/player_relations.h"
#include "screens/diplomacy/deals/deal_items.h"
#include "screens/diplomacy/mail/mail_popup.h"
#include "screens/diplomacy/deals/pending_deals.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "world/local_player.h"
#include "world/world.h"

bool PrepareDealOffer(World& world, std::unique_ptr<DipOffer>& offer, int32_t other) {
  if (offer && (offer->firstPlayer != other || ((offer->flags & kOfferAnswer) && g_replySourceMessage == 0)))
    offer.reset();
  if (offer) return false;
  offer = std::make_unique<DipOffer>();
  offer->kind = kNewOfferApproach;
  offer->secondPlayer = static_cast<uint8_t>(LocalPlayerIndex(world));
  offer->firstPlayer = static_cast<uint8_t>(other);
  offer->expiryDay = world.gameState.currentDay + kNewOfferDays;
  g_replySourceMessage = 0;
  return true;
}

bool DealSubmitAvailable(const DipOffer& offer, bool noneOffered, bool noneRequested) {
  const auto empty = [](const OfferItemGroup& g) {
    for (uint8_t b : g.agreements)
      if (b != 0) return false;
    return g.areaMask == 0 && g.dealItems.empty() && g.units.empty() && g.discoveries.empty() && g.designs.empty();
  };
  const bool noOffered = empty(offer.offered), noRequested = empty(offer.requested);
  if (noOffered && noRequested) return false;
  return (!noOffered || noneOffered) && (!noRequested || noneRequested);
}

void KeepDealExpiryAhead(const World& world, DipOffer& offer) {
  const uint32_t today = world.gameState.currentDay;
  if (offer.expiryDay <= today) offer.expiryDay = today + 1;
}

void SendDealOffer(World& world, DipOffer& offer) {
  const int32_t local = LocalPlayerIndex(world);
  if (local < 0) return;
  offer.sentTick = CurrentTickNow(world.gameState);
  offer.sentDay = world.gameState.currentDay;
  const int32_t addressee = offer.firstPlayer;
  if (addressee >= kMaxPlayers) return;
  const bool hostile = RelationClass(world.players[addressee], offer.secondPlayer) == 3;
  offer.flags = hostile ? (offer.flags | kOfferWhileHostile) : (offer.flags & ~kOfferWhileHostile);
  const std::string text = WriteDipOffer(world, offer);
  const uint32_t type = (offer.flags & kOfferAnswer) ? kMsgOfferAnswer : kMsgOffer;
  // An offer to a person on another peer travels as a session message
  // rather than being dropped by the local delivery checks.
  DeliverPlayerMessage(world, world.players[addressee], type, local, text.c_str(),
                       MessageParams{static_cast<uint32_t>(local)}, 0, 0, false);
}

void SubmitDealOffer(World& world, std::unique_ptr<DipOffer>& offer) {
  if (!offer) return;
  SendDealOffer(world, *offer);
  offer.reset();
  if (g_replySourceMessage != 0) {
    if (LocalPlayerIndex(world) >= 0) DeletePlayerMessage(world, LocalPlayerIndex(world), g_replySourceMessage);
    g_replySourceMessage = 0;
  }
}

int32_t OpenOfferText(World& world, std::unique_ptr<DipOffer>& offer, const char* text, bool swap) {
  offer.reset();
  if (!text) return -1;
  offer = std::make_unique<DipOffer>();
  ParseDipOffer(world, text, *offer, swap, false);
  offer->message.reset();
  offer->kind = kNewOfferApproach;
  offer->sentDay = 0;
  offer->sentTick = 0;
  offer->flags &= ~kOfferWhileHostile;
  return offer->firstPlayer;
}

int32_t OpenOfferMail(World& world, std::unique_ptr<DipOffer>& offer, uint32_t serial) {
  std::string text;
  {
    WorldLockGuard hold(world, kLockMail);
    if (LocalPlayerIndex(world) < 0) return -1;
    const PlayerMessage* mail = FindPlayerMessage(world, LocalPlayerIndex(world), serial);
    if (!mail || !mail->texts[2]) return -1;
    text = mail->texts[2];
  }
  const int32_t addressee = OpenOfferText(world, offer, text.c_str(), true);
  if (addressee >= 0) g_replySourceMessage = serial;
  return addressee;
}

void CancelPendingDeal(World& world, DipOffer& offer, const PendingDealRow* received, const PendingDealRow* given) {
  const PendingDealRow* row = received ? received : given;
  if (!row) return;
  OfferItemGroup& group = received ? offer.offered : offer.requested;
  const int32_t giver = received ? offer.secondPlayer : offer.firstPlayer;
  const int32_t receiver = received ? offer.firstPlayer : offer.secondPlayer;
  if (row->kind == kPendingAgreement) {
    AddDealItem(world, group, kDealAgreement, row->value, giver, receiver);
    return;
  }
  if (const std::optional<DealItem> running = DealItemOfRunning(world, row->value))
    AddDealItem(world, group, running->goods() ? kDealGoods : kDealPayment, 0, giver, receiver, &*running);
}
