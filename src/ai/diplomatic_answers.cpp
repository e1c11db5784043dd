#include "ai/diplomatic_answers.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/list_node.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "sim/daily/product_fields.h"
#include "sim/dip_offer.h"
#include "sim/game_command.h"
#include "sim/mail_ui_link.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "world/text/message_types.h"
#include "world/world.h"

namespace {

// The weights of the items that have no price of their own.
constexpr float kUnitWorth = 10000.0f;
constexpr float kAgreementWorth = 1000.0f;
constexpr float kHexWorth = 2000.0f;
constexpr float kKnowledgeWorth = 20000.0f;
// A payment that recurs with no end counts as a year of payments.
constexpr float kOpenEndedRepeats = 365.0f;
constexpr uint8_t kOfferAttachment = 20;
// The reply that accepts an offer: an offer's type offers it.
constexpr uint8_t kAcceptOfferReply = 12;

float DealItemWorth(const World& world, const DealItem& item, int receiver) {
  const float repeats = item.paymentCount > 0 ? static_cast<float>(item.paymentCount) : kOpenEndedRepeats;
  float each = item.amount;
  if (item.goods() && item.product < kProductCount && item.giver < kMaxPlayers) {
    each *= product::Get(world.players[item.giver], item.product, product::kPrice);
    if (receiver >= 0 && receiver < kMaxPlayers) {
      const PlayerRecord& r = world.players[receiver];
      // Goods the receiver is short of are worth ten times as much.
      if (product::Get(r, item.product, product::kStock) < product::Get(r, item.product, product::kDemand) / 12.0f)
        each *= 10.0f;
    }
  }
  const float worth = each * repeats;
  return worth > 0.0f ? worth : 0.0f;
}

float GroupWorth(const World& world, const OfferItemGroup& group, int receiver) {
  float sum = 0.0f;
  for (const DealItem& item : group.dealItems) sum += DealItemWorth(world, item, receiver);
  for (const OfferUnit& unit : group.units) sum += kUnitWorth * static_cast<float>(std::max<int>(unit.quantity, 1));
  for (uint8_t a : group.agreements) sum += a != 0 ? kAgreementWorth : 0.0f;
  for (const auto& hexes : group.areas) sum += kHexWorth * static_cast<float>(hexes.size());
  sum += kKnowledgeWorth * static_cast<float>(group.discoveries.size() + group.designs.size());
  return sum;
}

bool IsOffer(const PlayerMessage& m) {
  if (!m.texts[2]) return false;
  const MessageTypeRecord* type = MessageType(m.typeId);
  if (!type || type->attachmentKind != kOfferAttachment) return false;
  for (uint8_t code : type->replyCodes)
    if (code == kAcceptOfferReply) return true;
  return false;
}

// What the walk takes out of the mailbox to answer after the lock is let go.
struct Taken {
  uint32_t typeId;
  int sender;
  uint32_t reference;
  std::string text;
  bool offer;
};

// Items a screen showed when they were taken: unlinked but not freed, and
// freed on a later walk once no screen shows them (mail lock).
std::vector<PlayerMessage*> g_shownAside;

uint32_t Shown(uint32_t (*serial)()) { return serial ? serial() : 0; }

}  // namespace

float ValueOfferA(const World& world, int self, const DipOffer& offer) {
  const float received = GroupWorth(world, offer.offered, self);
  const float given = GroupWorth(world, offer.requested, offer.secondPlayer);
  const float total = received + given;
  if (!(total > 0.0f)) return 0.0f;
  return (received - given) / total;
}

void AiAnswerDiplomaticOffers(World& world, PlayerRecord& region) {
  const int self = region.number;
  if (self < 0 || self >= kMaxPlayers) return;
  std::vector<Taken> taken;
  {
    const uint32_t shownNews = Shown(g_mailUi.shownNewsSerial);
    const uint32_t shownEmail = Shown(g_mailUi.shownEmailSerial);
    const uint32_t shownPopup = Shown(g_mailUi.shownPopupSerial);
    WorldLockGuard hold(world, kLockMail);
    for (auto it = g_shownAside.begin(); it != g_shownAside.end();) {
      if ((*it)->serial != shownNews && (*it)->serial != shownEmail && (*it)->serial != shownPopup) {
        DeleteZeroed(*it);
        it = g_shownAside.erase(it);
      } else {
        ++it;
      }
    }
    ListNode& head = world.messageLists[self];
    // The first item is the newest; each walk takes the first until none is left.
    while (head.next() && head.next() != &head) {
      auto* m = static_cast<PlayerMessage*>(head.next());
      Taken t{m->typeId, m->sender, m->params[0], m->texts[2] ? m->texts[2] : "", IsOffer(*m)};
      taken.push_back(std::move(t));
      m->Unlink();
      if (m->serial == shownNews || m->serial == shownEmail || m->serial == shownPopup) g_shownAside.push_back(m);
      else DeleteZeroed(m);
    }
  }
  CommandLog* log = CommandLogOf(world);
  for (const Taken& t : taken) {
    if (!t.offer) continue;
    DipOffer offer;
    ParseDipOffer(world, t.text.c_str(), offer, false, false);
    float value = ValueOfferA(world, self, offer);
    const bool fromComputer = t.sender >= 0 && t.sender < kMaxPlayers && world.players[t.sender].kind == kKindComputer;
    if (fromComputer) value += 0.15f;
    if (value > 0.1f) {
      if (!log) continue;
      GameCommand c = MakeGameCommand(world.gameState, kCmdDipOffer, self);
      c.arg28 = t.reference;
      c.payload.assign(t.text.begin(), t.text.end());
      c.payload.push_back(0);
      c.payloadLength = static_cast<uint32_t>(c.payload.size());
      PostCommand(*log, std::move(c), true);
    } else if (t.sender >= 0 && t.sender < kMaxPlayers) {
      DeliverPlayerMessage(world, world.players[t.sender], kMsgOfferDeclined, self, t.text.c_str(),
                           MessageParams{static_cast<uint32_t>(self), t.reference});
    }
  }
}
