#include "sim/relation_commands.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/calendar.h"
#include "app/list_node.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "net/command_network.h"
#include "sim/command_post.h"
#include "sim/diplomatic_offer.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/player_message_link.h"
#include "sim/player_messages.h"
#include "world/relation_fields.h"
#include "sim/relations.h"
#include "records/unit_record.h"
#include "world/data_tables.h"
#include "records/hex_cell.h"
#include "world/id_lookups.h"
#include "sim/player_services.h"
#include "world/recurring_item.h"
#include "world/region_figures.h"
#include "world/scenario_settings.h"
#include "world/record_helpers.h"
#include "world/text/policy_fields.h"
#include "world/text/rule_tables.h"
#include "sim/policy_block_fields.h"
#include "records/player_record.h"
#include "sim/policy_command_args.h"
#include "sim/relation_command_args.h"
#include "world/world.h"

namespace {

// Class flag bit 20: a hex whose lead is of such a class may be a target.

constexpr int kWarTradeProducts = 11;

uint32_t Bit(int p) { return 1u << static_cast<unsigned>(p); }

// The record's index in the world, or -1 when it is none of its regions.
int PlayerIndex(const World& world, const PlayerRecord& record) {
  if (&record < world.players || &record >= world.players + kMaxPlayers) return -1;
  return static_cast<int>(&record - world.players);
}

float TreatyWeight(int type) {
  const TreatyTypeEntry* entry = TreatyType(g_ruleTables.rTreatyTypes, type);
  return entry ? entry->weight : 0.0f;
}

// Whether this machine speaks for region q: the local player's, or a region
// in play that no person on another machine leads, in a game this machine
// runs alone or hosts.
bool AnswersHere(const World& world, int q) {
  if (q == world.gameState.localPlayer) return true;
  const PlayerRecord& r = world.players[q];
  if (!TakesPart(r)) return false;
  if (IsNetworkGame(g_commandNet) && g_commandNet.role != kNetGameHost) return false;
  return r.kind != kKindHuman;
}

// Region q answers a declaration of war with its own.
void PostAnswer(World& world, int q, int against) {
  CommandLog* log = CommandLogOf(world);
  if (!log) return;
  GameCommand c = MakeGameCommand(world.gameState, kCmdDeclareWar, q);
  SetArgWords(c, RegionArgs{.region = static_cast<uint32_t>(against)}.Pack());
  PostCommand(*log, std::move(c), true);
}

// The longest term a loan can name: its years must fit the item's byte.
constexpr uint32_t kLongestLoanMonths = 255 * 12;
constexpr uint8_t kLoanKind = 1;
constexpr uint8_t kWorldBank = 0;

void ClearDisplayBit(World& world, PlayerRecord& player, uint32_t bit) {
  WorldLockGuard hold(world, kLockCommandLog);
  player.displayPolicy.wageFlags &= ~bit;
}

void Relation(CommandPass& run) {
  World& w = run.world;
  PlayerRecord& p = run.player;
  const GameCommand& c = run.command;
  run.refreshesDisplay = c.id != kCmdSurrender;
  switch (c.id) {
    case kCmdRecurringAdd: TakeLoanCommand(w, p, run.pass, c.arg28); break;
    case kCmdRecurringCancel: RepayLoanCommand(w, p, run.pass, c.arg28); break;
    case kCmdSetGovType: SetGovernmentTypeCommand(w, p, run.pass, ArgsOf<SettingArgs>(c).value); break;
    case kCmdPolicyFlag2: WorldMarketCommand(w, p, run.pass, ArgsOf<SettingArgs>(c).value); break;
    case kCmdDeclareWar: DeclareWarCommand(w, p, run.pass, ArgsOf<RegionArgs>(c).region); break;
    case kCmdDipOffer: DiplomaticOfferCommand(w, p, run.pass, c.arg28, c.payload, c.sequence); break;
    case kCmdSurrender: {
      const auto a = ArgsOf<SurrenderArgs>(c);
      SurrenderCommand(w, p, run.pass, a.winner, a.merger);
      break;
    }
    case kCmdDeleteAgreement: {
      const auto a = ArgsOf<EndTreatyArgs>(c);
      EndTreatyCommand(w, p, run.pass, a.type, a.partner, a.flag);
      break;
    }
    case kCmdAgreementUpdate: EndAllTreatiesCommand(w, p, run.pass, c.arg28, c.arg32); break;
    case kCmdRelationSet298: TargetHexCommand(w, p, run.pass, c.arg24); break;
    default: break;
  }
}

}  // namespace

CommandHandler RelationCommandHandler(uint32_t id) {
  switch (id) {
    case kCmdRecurringAdd:
    case kCmdRecurringCancel:
    case kCmdSetGovType:
    case kCmdPolicyFlag2:
    case kCmdDeclareWar:
    case kCmdDipOffer:
    case kCmdSurrender:
    case kCmdDeleteAgreement:
    case kCmdAgreementUpdate:
    case kCmdRelationSet298: return &Relation;
    default: return nullptr;
  }
}

void SetGovernmentTypeCommand(World& world, PlayerRecord& player, int copy, uint32_t type) {
  const uint8_t request = static_cast<uint8_t>(type);
  if (copy == 0) {
    SetGovtypeRequest(player.displayPolicy, request);
    return;
  }
  SetGovtypeRequest(player.simPolicy, request);
  if (type == 0) return;
  player.govtype = request;
  SetGovtypeRequest(player.simPolicy, 0);
  // The display copy belongs to the posting threads, which write it under
  // the command-log lock.
  WorldLockGuard hold(world, kLockCommandLog);
  if (GovtypeRequest(player.displayPolicy) == request) SetGovtypeRequest(player.displayPolicy, 0);
}

void WorldMarketCommand(World& world, PlayerRecord& player, int copy, uint32_t join) {
  if (copy == 0) {
    player.displayPolicy.wageFlags |= kWorldBodyJoinWaiting;
    player.displayPolicy.wageFlags = (player.displayPolicy.wageFlags & ~kWorldBodyMember) |
                                     ((join & 1u) ? kWorldBodyMember : 0u);
    return;
  }
  // Joining costs a share of the economy's size, the less the better the
  // region's name on the market; the size is the region's GDP, the figure
  // the membership's running cost is measured by as well.
  if ((join & 1u) && !(player.simPolicy.wageFlags & kWorldBodyMember)) {
    const float fee = (0.02f - 0.01f * LoadRegionFloat(player, kRegionWmIntegrity)) * player.gdp * 0.05f;
    if (std::isfinite(fee)) ChargeTreasury(world, player, Ledger::kMarketFee, fee);
  }
  {
    WorldLockGuard hold(world, kLockCommandLog);
    player.displayPolicy.wageFlags &= ~kWorldBodyJoinWaiting;
  }
  player.simPolicy.wageFlags =
      (player.simPolicy.wageFlags & ~kWorldBodyMember) | ((join & 1u) ? kWorldBodyMember : 0u);
}

void TakeLoanCommand(World& world, PlayerRecord& player, int copy, uint32_t termMonths) {
  const int self = PlayerIndex(world, player);
  if (copy == 0) {
    player.displayPolicy.wageFlags |= kLoanWaiting | kHasTakenLoan;
    return;
  }
  ClearDisplayBit(world, player, kLoanWaiting);
  player.simPolicy.wageFlags |= kHasTakenLoan;
  // What the region may still borrow; a region that may borrow nothing, or
  // a term of no months or beyond the item's years, takes no loan.
  const float amount = PlayerRatioC(player);
  if (self < 0 || termMonths == 0 || termMonths > kLongestLoanMonths || !(amount > 0.0f)) return;
  RecurringItem* item = NewZeroed<RecurringItem>();
  if (!item) return;
  const uint32_t today = world.gameState.currentDay;
  GameDate date;
  date.dayNumber = static_cast<int32_t>(today);
  DayNumberToDate(date);
  RecurringFields f{};
  f.kind = kLoanKind;
  f.payer = static_cast<uint8_t>(self);
  f.payee = kWorldBank;
  f.serial = static_cast<uint16_t>(player.itemSerial);
  player.itemSerial = static_cast<int16_t>(player.itemSerial + 1);
  // Interest runs every day; the whole sum falls due at maturity.
  f.periodKind = kPeriodMonthly;
  f.dueDay = date.day;
  f.flags = kRecurringInterest;
  f.termYears = static_cast<uint8_t>(termMonths / 12);
  f.amount = amount;
  f.rate = PlayerRatingB(world, player, static_cast<float>(termMonths));
  f.startDay = today;
  date.year = static_cast<int16_t>(date.year + termMonths / 12);
  DateToDayNumber(date);
  DateAddMonths(date, static_cast<int8_t>(termMonths % 12));
  f.maturityDay = static_cast<uint32_t>(date.dayNumber);
  f.globalSerial = ++world.players[0].commandCounter;
  StoreRecurringFields(*item, f);
  {
    WorldLockGuard hold(world, kLockRecurring);
    if (world.recurringItems)
      world.recurringItems->Append(item);
    else
      world.recurringItems = item;
  }
  CreditTreasury(world, player, Ledger::kNewLoans, amount);
  player.debtKind1 += amount;
  player.creditRating *= 0.99f;
}

void RepayLoanCommand(World& world, PlayerRecord& player, int copy, uint32_t recurringId) {
  if (copy == 0) {
    player.displayPolicy.wageFlags |= kRepayWaiting;
    return;
  }
  // The mark goes whether or not the loan could be repaid.
  ClearDisplayBit(world, player, kRepayWaiting);
  const int self = PlayerIndex(world, player);
  WorldLockGuard hold(world, kLockRecurring);
  RecurringItem* item = recurringId != 0 ? FindRecurringItemById(world, recurringId) : nullptr;
  if (!item || self < 0) return;
  RecurringFields f = LoadRecurringFields(*item);
  // Only the region's own loan, and only with the money to hand.
  if (f.kind != kLoanKind || f.payer != self || !(f.amount > 0.0f) || f.amount > player.treasury) return;
  ChargeTreasury(world, player, Ledger::kRepaid, f.amount);
  player.debtKind1 -= f.amount;
  player.creditRating *= 1.01f;
  f.amount = 0.0f;
  f.kind = kRecurringFinished;
  StoreRecurringFields(*item, f);
}
void DeclareWarCommand(World& world, PlayerRecord& player, int copy, uint32_t target) {
  const int self = PlayerIndex(world, player);
  if (self < 0 || target >= static_cast<uint32_t>(kMaxPlayers)) return;
  const int q = static_cast<int>(target);
  PlayerPolicyBlock& block = copy == 0 ? player.displayPolicy : player.simPolicy;
  if (q == self || (block.hostileMask & Bit(q))) return;
  block.hostileMask |= Bit(q);
  block.ceasefireMask &= ~Bit(q);
  block.defcon = std::max(block.defcon, 2);
  for (int t = 0; t < kTreatyMaskTypes; ++t) SetTreaty(world, player, copy, t, false, q, false, true);
  // No trade with the enemy either way.
  for (int p = 0; p < kWarTradeProducts; ++p) {
    ProductPolicy& trade = block.productPolicy[p];
    SetProductWord(trade, kProductPlayerMask, ProductWord(trade, kProductPlayerMask) | Bit(q));
    SetProductWord(trade, kProductPlayerMask2, ProductWord(trade, kProductPlayerMask2) | Bit(q));
  }
  g_relationsChanged.store(true);
  if (copy != 1) return;
  PlayerRecord& other = world.players[q];
  EndAllTreatiesCommand(world, player, copy, target, 0);
  uint32_t noticed = 0;
  // The target already at war with the declarer: this declaration answers
  // the target's own, and the target hears it as the answer, not as war
  // declared on it.
  const bool answers = (other.simPolicy.hostileMask & Bit(self)) != 0;
  if (!answers) {
    noticed = (RecordWord(player, kRecordAttackedByMaskA) | RecordWord(player, kRecordAttackedByMaskB) |
               RecordWord(player, kRecordWarNoticeMaskA)) & Bit(q);
    if (!noticed) SetRecordWord(other, kRecordWarNoticeMaskA, RecordWord(other, kRecordWarNoticeMaskA) | Bit(self));
    if (AnswersHere(world, q)) PostAnswer(world, q, self);
  }
  const bool struckFirst = (RecordWord(player, kRecordAttackedByMaskA) & Bit(q)) != 0;
  for (int r = 1; r < kMaxPlayers; ++r) {
    PlayerRecord& told = world.players[r];
    if (!TakesPart(told)) continue;
    uint32_t type = 0;
    if (r == q) type = answers ? kMsgWarAnswered : kMsgWarDeclaredOnUs;
    else if (TreatyMask(told.simPolicy, 10) & Bit(q))
      type = struckFirst ? kMsgTreatyPartnerAttacked : kMsgWarOnTreatyPartner;
    else if (told.simPolicy.friendlyMask & Bit(q)) type = struckFirst ? kMsgFriendAttacked : kMsgWarOnFriend;
    if (!type) continue;
    PostPlayerMessageTo(world, told, self, static_cast<int32_t>(type), static_cast<uint32_t>(self));
    SetRecordWord(other, kRecordWarNoticeMaskB, RecordWord(other, kRecordWarNoticeMaskB) | Bit(self));
  }
  if (!noticed) {
    const float v = player.belligerence[q] - 1.0f;
    if (!(RecordWord(player, kRecordWarNoticeMaskB) & Bit(q))) {
      if (v < 0.0f) {
        ApplyReputationChange(world, player, v, 0.8f, 0.8f, 0.5f, 0, 1);
        ApplyReputationChange(world, other, -v, 0.4f, 0.3f, 0.1f, 0.2f, 0.2f);
      }
    } else if (v / 10.0f < 0.0f) {
      ApplyReputationChange(world, player, v / 10.0f, 0.8f, 0.8f, 0.5f, 0, 1);
    }
  } else {
    const float v = other.belligerence[self] - 1.0f;
    if (v < 0.0f) {
      ApplyReputationChange(world, other, v, 0.8f, 0.8f, 0.5f, 0, 1);
      ApplyReputationChange(world, player, -v, 0.4f, 0.3f, 0.1f, 0.2f, 0.2f);
    }
  }
  other.civilAttitude[self] -= other.approval;
  other.diplomaticRelation[self] -= 1.0f;
  other.belligerence[self] += 1.0f;
  const int highest = std::min(world.gameState.highestPlayer, kMaxPlayers - 1);
  for (int r = 1; r <= highest; ++r) {
    PlayerRecord& third = world.players[r];
    if (r == self || r == q || !TakesPart(third)) continue;
    float civil = 0, relation = 0;
    if (third.simPolicy.hostileMask & Bit(q)) {
      third.civilAttitude[self] += 0.2f;
      third.diplomaticRelation[self] += 0.3f;
      third.belligerence[self] *= 0.7f;
      continue;
    }
    float bell = 0;
    if (third.simPolicy.friendlyMask & Bit(q)) civil = -0.1f, relation = -0.3f, bell = 0.5f;
    else if (ReciprocalMask(other.simPolicy, ReciprocalWord(13)) & Bit(r)) civil = -0.02f, relation = -0.1f, bell = 0.3f;
    else if (ReciprocalMask(other.simPolicy, ReciprocalWord(30)) & Bit(r)) civil = -0.02f, relation = -0.1f, bell = 0.2f;
    else continue;
    third.civilAttitude[self] += civil;
    third.diplomaticRelation[self] += relation;
    third.belligerence[self] += bell;
  }
  for (size_t at : {kRecordAttackedByMaskA, kRecordAttackedByMaskB, kRecordWarNoticeMaskA, kRecordWarNoticeMaskB})
    SetRecordWord(player, at, RecordWord(player, at) & ~Bit(q));
}

void SurrenderCommand(World& world, PlayerRecord& player, int copy, uint32_t winner, uint32_t merger) {
  const int self = PlayerIndex(world, player);
  if (self < 0 || winner == 0 || winner >= static_cast<uint32_t>(kMaxPlayers) || static_cast<int>(winner) == self)
    return;
  if (copy == 0) {
    SetTargetHex(player.displayPolicy, 0);
    SetSurrenderTarget(player.displayPolicy, static_cast<uint8_t>(winner));
    return;
  }
  unsigned options = kSurrenderMessages;
  if (merger) options |= kSurrenderLoyaltyMerge;
  if (world.scenario.head.gameFlags & kGameFlagResearchMerge) options |= kSurrenderResearchMerge;
  PlayerSurrender(world, self, static_cast<int>(winner), options);
}

void EndTreatyCommand(World& world, PlayerRecord& player, int copy, uint32_t type, uint32_t partner, uint32_t flag) {
  const int self = PlayerIndex(world, player);
  if (self < 0 || type >= static_cast<uint32_t>(kTreatyMaskTypes) || partner >= static_cast<uint32_t>(kMaxPlayers))
    return;
  const int t = static_cast<int>(type);
  const int q = static_cast<int>(partner);
  if (q == self || !(TreatyMask(copy == 0 ? player.displayPolicy : player.simPolicy, t) & Bit(q))) return;
  if (copy == 1) {
    PlayerRecord& other = world.players[q];
    PostPlayerMessageTo(world, other, self, flag ? kMsgTreatyCancelledInProtest : kMsgTreatyCancelled, type);
    BroadcastPlayerMessage(world, player, kMsgTreatyEndedNews, kMsgTreatyEndedNews, kMsgTreatyEndedNews,
                           kMsgTreatyEndedNews, nullptr, MessageParams{type, partner});
    if (!flag) {
      const float w = TreatyWeight(t);
      ApplyReputationChange(world, player, -0.3f, w, w, 0, 0, w / 2.0f);
      ApplyReputationChange(world, other, 0.05f, w, w, w / 2.0f, 0, w / 10.0f);
    }
  }
  SetTreaty(world, player, copy, t, false, q, true, true);
  g_relationsChanged.store(true);
}

void EndAllTreatiesCommand(World& world, PlayerRecord& player, int copy, uint32_t partner, uint32_t flag) {
  const int self = PlayerIndex(world, player);
  if (self < 0 || partner >= static_cast<uint32_t>(kMaxPlayers) || static_cast<int>(partner) == self) return;
  const int q = static_cast<int>(partner);
  if (copy == 1 && flag) {
    PostPlayerMessageTo(world, world.players[q], self, kMsgAllTreatiesEnded, 0);
    BroadcastPlayerMessage(world, player, kMsgAllTreatiesEnded, kMsgAllTreatiesEnded, kMsgAllTreatiesEnded,
                           kMsgAllTreatiesEnded, nullptr, MessageParams{partner});
  }
  PlayerPolicyBlock& block = copy == 0 ? player.displayPolicy : player.simPolicy;
  for (int u = 0; u < kTreatyMaskTypes; ++u) {
    if (!(TreatyMask(block, u) & Bit(q))) continue;
    if (copy == 1 && !flag) {
      const float w = TreatyWeight(u);
      ApplyReputationChange(world, player, -0.2f, w, w, 0, 0, w / 2.0f);
    }
    SetTreaty(world, player, copy, u, false, q, false, false);
  }
  g_relationsChanged.store(true);
}
void TargetHexCommand(World& world, PlayerRecord& player, int copy, uint32_t packedHex) {
  const int self = PlayerIndex(world, player);
  const int32_t width = world.mapWidth;
  const int32_t height = world.mapHeight;
  if (self < 0 || width <= 0 || height <= 0) return;
  const int32_t x = WrapX(static_cast<int16_t>(packedHex & 0xFFFFu), width);
  const int32_t y = static_cast<int16_t>(packedHex >> 16);
  const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  if (y < 0 || y >= height || at >= world.cells.size()) return;
  const HexCell& cell = world.cells[at];
  const int owner = CellOwner(cell.word);
  if (owner != self) return;
  // A hidden lead counts as none, on the display pass only where the hex is
  // not the local player's own.
  const bool hiddenCounts = copy == 1 || owner != world.gameState.localPlayer;
  const UnitRecord* lead = GetActiveObject(&cell, false);
  int classIndex = 0;
  if (lead && !(hiddenCounts && (lead->unitFlags & kUnitProvisional))) classIndex = lead->classIndex;
  if (classIndex < 0 || static_cast<size_t>(classIndex) >= world.unitClasses.size()) return;
  if (!(world.unitClasses[static_cast<size_t>(classIndex)].flags & kClassSettlementPopulation)) return;
  PlayerPolicyBlock& block = copy == 0 ? player.displayPolicy : player.simPolicy;
  const uint32_t target = (static_cast<uint32_t>(y) << 16) | static_cast<uint32_t>(x);
  if (copy == 1 && TargetHex(block) != 0)
    BroadcastPlayerMessage(world, player, kMsgNewTargetNews, kMsgNewTargetNews, kMsgNewTargetNews, kMsgNewTargetNews,
                           nullptr, MessageParams{TargetHex(block)});
  SetTargetHex(block, target);
}
void DiplomaticOfferCommand(World& world, PlayerRecord& player, int copy, uint32_t arg28,
                            const std::vector<uint8_t>& text, uint32_t sequence) {
  if (copy != 1 || arg28 >= static_cast<uint32_t>(kMaxPlayers)) return;
  // The payload is text from a peer: it ends at its first zero byte or at its end.
  const auto end = std::find(text.begin(), text.end(), uint8_t{0});
  const std::string offer(text.begin(), end);
  ProcessDiplomaticOffer(world, copy, player, static_cast<int>(arg28), offer.c_str(), sequence);
}
