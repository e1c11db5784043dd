#include "sim/mail_replies.h"

#include <atomic>
#include <vector>

#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "sim/mail_ui_link.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/player_services.h"
#include "sim/research_path.h"
#include "sim/unit_command_args.h"
#include "world/list_items.h"
#include "world/text/message_types.h"
#include "world/world.h"

namespace {

// Parameter kinds the replies look for.
constexpr uint8_t kParamUnit = 6;
constexpr uint8_t kParamHex = 31;
constexpr uint8_t kParamRegion = 36;

struct Reply {
  World& world;
  const MailReplySource& message;
  int local;
  PlayerRecord& player;

  uint32_t p(int i) const { return message.params[i]; }

  void Post(uint32_t id, uint32_t a28, uint32_t a32 = 0, uint32_t a36 = 0, std::vector<uint8_t> payload = {}) const {
    CommandLog* log = CommandLogOf(world);
    if (!log) return;
    GameCommand c = MakeGameCommand(world.gameState, id, local);
    c.arg28 = a28;
    c.arg32 = a32;
    c.arg36 = a36;
    c.payloadLength = static_cast<uint32_t>(payload.size());
    c.payload = std::move(payload);
    PostCommand(*log, std::move(c), true);
  }
  template <class Args>
  void PostArgs(uint32_t id, const Args& args) const {
    CommandLog* log = CommandLogOf(world);
    if (!log) return;
    GameCommand c = MakeGameCommand(world.gameState, id, local);
    SetArgWords(c, args.Pack());
    PostCommand(*log, std::move(c), true);
  }
};

// The first parameter of the message whose kind is `kind`, or none.
bool FindParam(const MailReplySource& message, uint8_t kind, uint32_t& value) {
  const MessageTypeRecord* type = MessageType(message.typeId);
  if (!type) return false;
  for (int i = 0; i < 4; ++i) {
    if (type->paramKinds[i] == kind) {
      value = message.params[i];
      return true;
    }
  }
  return false;
}

void OpenPanel(int panel) {
  if (g_mailUi.openSidePanel) g_mailUi.openSidePanel(panel);
}

// The actions a message type's reply set names.
enum ReplySet : uint8_t {
  kReplySetAutoSell = 43,
  kReplySetCapByCapacity = 44,
  kReplySetSocialSpendDown = 47,
  kReplySetSocialSpendUp = 48,
  kReplySetResearchToTechs = 50,
  kReplySetResearchToEfficiency = 51,
  kReplySetAutoBuyMax = 62,
  kReplySetDefcon = 64,
  kReplySetDefconKept = 65,
  kReplySetStatement = 66,
  kReplySetOrderAtHex = 70,
  kReplySetNoConscription = 73,
  kReplySetResearchDesign = 91,
  kReplySetUnitAutoBuild = 97,
  kReplySetResearchTechnology = 98,
  kReplySetLaunchBit = 102,
};

void CarryOutReplySet(const Reply& reply, uint8_t replySet) {
  World& world = reply.world;
  const PlayerPolicyBlock& block = reply.player.displayPolicy;
  const uint32_t p1 = reply.p(0);
  switch (replySet) {
    case kReplySetAutoSell:
      reply.Post(kCmdBAutoSellPrice, p1, 1);
      reply.Post(kCmdBAutoSell, p1, 1);
      break;
    case kReplySetCapByCapacity:
      reply.Post(kCmdProductionCap, p1, MessageReal(1.0f));
      reply.Post(kCmdBCapByCapacity, p1, 0);
      break;
    case kReplySetSocialSpendDown:
    case kReplySetSocialSpendUp:
      if (p1 < static_cast<uint32_t>(kSocialPrograms)) {
        const double factor = replySet == kReplySetSocialSpendDown ? 0.9 : 1.1;
        reply.Post(kCmdSocialSpend, p1, MessageReal(static_cast<float>(block.socialspend[p1] * factor)));
      }
      break;
    case kReplySetResearchToTechs:
      if (block.milResearch[1] < 0.8f && block.milResearch[2] > 0.2f) {
        reply.Post(kCmdMilResearch, 1, MessageReal(static_cast<float>(block.milResearch[1] + 0.1)));
        reply.Post(kCmdMilResearch, 2, MessageReal(static_cast<float>(block.milResearch[2] - 0.1)));
      }
      break;
    case kReplySetResearchToEfficiency:
      if (block.milResearch[1] > 0.2f && block.milResearch[2] < 0.8f) {
        reply.Post(kCmdMilResearch, 1, MessageReal(static_cast<float>(block.milResearch[1] - 0.1)));
        reply.Post(kCmdMilResearch, 2, MessageReal(static_cast<float>(block.milResearch[2] + 0.1)));
      }
      break;
    case kReplySetAutoBuyMax: reply.Post(kCmdAutoBuyMax, p1, MessageReal(GetProductPeakValue(world, static_cast<int>(p1)))); break;
    case kReplySetDefcon: reply.Post(kCmdDefcon, p1); break;
    case kReplySetDefconKept: reply.Post(kCmdDefcon, static_cast<uint32_t>(block.defcon)); break;
    case kReplySetStatement:
      BroadcastPlayerMessage(world, reply.player, kMsgDiplomaticStatement, kMsgDiplomaticStatement,
                             kMsgDiplomaticStatement, kMsgDiplomaticStatement, nullptr,
                             MessageParams{static_cast<uint32_t>(reply.local), p1});
      break;
    case kReplySetOrderAtHex:
      if (g_mailUi.applyOrderAtHex) g_mailUi.applyOrderAtHex(reply.message.serial);
      break;
    case kReplySetNoConscription: reply.Post(kCmdBConscript, 0); break;
    case kReplySetResearchDesign: RequestResearchPath(world, reply.local, p1, kProjectDesign); break;
    case kReplySetResearchTechnology: RequestResearchPath(world, reply.local, p1, kProjectTechnology); break;
    case kReplySetUnitAutoBuild: reply.Post(kCmdBUnitAutoBuild, 1); break;
    case kReplySetLaunchBit: reply.PostArgs(kCmdLaunchBit, LaunchBitArgs{.bit = p1}); break;
    default: break;
  }
}

}  // namespace

MailReplySource MailReplySourceOf(const PlayerMessage& message) {
  MailReplySource source;
  source.serial = message.serial;
  source.typeId = message.typeId;
  source.sender = message.sender;
  for (int i = 0; i < 4; ++i) source.params[i] = message.params[i];
  if (message.texts[2]) {
    source.hasAttachment = true;
    source.attachment = message.texts[2];
  }
  return source;
}

int HandleMailReply(World& world, uint32_t messageSerial, int replyCode) {
  const int local = world.gameState.localPlayer;
  MailReplySource source;
  {
    WorldLockGuard hold(world, kLockMail);
    const PlayerMessage* message = FindPlayerMessage(world, local, messageSerial);
    if (!message) return 0;
    source = MailReplySourceOf(*message);
  }
  return HandleMailReply(world, source, replyCode);
}

int HandleMailReply(World& world, const MailReplySource& message, int replyCode) {
  const int local = world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return 0;
  const Reply reply{world, message, local, world.players[local]};
  const uint32_t p1 = message.params[0];
  const MessageTypeRecord* type = MessageType(message.typeId);
  uint32_t value = 0;
  switch (replyCode) {
    case 1:
    case 18:
    case 29:
      if (type) CarryOutReplySet(reply, type->replySet);
      return 1;
    case 5:
      if (g_mailUi.showRegionInDiplomacyPanel && p1 < static_cast<uint32_t>(kMaxPlayers))
        g_mailUi.showRegionInDiplomacyPanel(static_cast<int32_t>(p1));
      else
        OpenPanel(4);
      return 1;
    case 7: OpenPanel(4); return 1;
    case 6: {
      static constexpr int kPanels[5] = {2, 3, 5, 6, 7};
      if (message.params[1] < 5) OpenPanel(kPanels[message.params[1]]);
      return 1;
    }
    case 9:
      if (FindParam(message, kParamRegion, value) && value < static_cast<uint32_t>(kMaxPlayers) &&
          g_mailUi.openRegionPopup)
        g_mailUi.openRegionPopup(static_cast<int32_t>(value));
      return 0;
    case 11: reply.Post(kCmdCabSetPriorities, p1, message.params[1]); return 1;
    case 12:
      if (message.hasAttachment && p1 < static_cast<uint32_t>(kMaxPlayers)) {
        std::vector<uint8_t> payload(message.attachment.begin(), message.attachment.end());
        payload.push_back(0);
        reply.Post(kCmdDipOffer, p1, 0, 0, std::move(payload));
      }
      return 1;
    case 13:
      if (p1 < static_cast<uint32_t>(kMaxPlayers))
        DeliverPlayerMessage(world, world.players[p1], kMsgOfferDeclined, local, nullptr,
                             MessageParams{static_cast<uint32_t>(local)});
      return 1;
    case 14:
      if (g_mailUi.openOfferInDealEditor) g_mailUi.openOfferInDealEditor(message.serial);
      return 1;
    case 33:
      PostPlayerMessage(world, reply.player, local, kMsgReplyNotice, nullptr,
                        MessageParams{message.params[0], message.params[1], message.params[2], message.params[3]});
      return 1;
    case 35: reply.Post(kCmdDeleteAgreement, message.params[0], message.params[1], message.params[2]); return 1;
    case 36: reply.Post(kCmdAgreementUpdate, message.params[0], message.params[1], message.params[2]); return 1;
    case 39: OpenPanel(2); return 1;
    case 40: OpenPanel(3); return 1;
    case 41: OpenPanel(5); return 1;
    case 42: OpenPanel(6); return 1;
    case 43: OpenPanel(7); return 1;
    case 44:
      BroadcastPlayerMessage(world, reply.player, kMsgPublicAppeal, kMsgPublicAppeal, kMsgPublicAppeal,
                             kMsgPublicAppeal, nullptr, MessageParams{static_cast<uint32_t>(local)});
      return 1;
    case 49:
      if (FindParam(message, kParamHex, value) && g_mailUi.centreMapOnHex) g_mailUi.centreMapOnHex(value);
      return 1;
    case 50:
      if (FindParam(message, kParamUnit, value) && g_mailUi.goToUnit) g_mailUi.goToUnit(value);
      return 1;
    case 51:
      if (message.sender != local && g_mailUi.openRegionPopup) g_mailUi.openRegionPopup(message.sender);
      return 0;
    case 3:
    case 15: return 0;
    case 2:
    case 30:
      if (type) {
        auto& flags = const_cast<uint8_t&>(type->muteFlags);
        std::atomic_ref<uint8_t>(flags).fetch_or(1, std::memory_order_relaxed);
      }
      return 1;
    default: return 1;
  }
}
