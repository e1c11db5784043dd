#include "sim/relation_commands.h"

#include <algorithm>
#include <string>

#include "sim/diplomatic_offer.h"
#include "sim/policy_block_fields.h"
#include "world/player_record.h"
#include "world/world.h"

namespace {

// Bits of the word that holds the wage switches and the world-market state.
constexpr uint32_t kWorldMarketMember = 1u << 2;
constexpr uint32_t kWorldMarketJoinWaiting = 1u << 8;

void Relation(CommandPass& run) {
  World& w = run.world;
  PlayerRecord& p = run.player;
  const GameCommand& c = run.command;
  run.refreshesDisplay = c.id != 181;
  switch (c.id) {
    case 30: TakeLoanCommand(w, p, run.pass, c.arg28); break;
    case 31: RepayLoanCommand(w, p, run.pass, c.arg28); break;
    case 80: SetGovernmentTypeCommand(w, p, run.pass, c.arg28); break;
    case 176: WorldMarketCommand(w, p, run.pass, c.arg28); break;
    case 177: DeclareWarCommand(w, p, run.pass, c.arg28); break;
    case 180: DiplomaticOfferCommand(w, p, run.pass, c.arg28, c.payload, c.sequence); break;
    case 181: SurrenderCommand(w, p, run.pass, c.arg28, c.arg32); break;
    case 182: EndTreatyCommand(w, p, run.pass, c.arg28, c.arg32, c.arg36); break;
    case 183: EndAllTreatiesCommand(w, p, run.pass, c.arg28, c.arg32); break;
    case 298: TargetHexCommand(w, p, run.pass, c.arg24); break;
    default: break;
  }
}

}  // namespace

CommandHandler RelationCommandHandler(uint32_t id) {
  switch (id) {
    case 30:
    case 31:
    case 80:
    case 176:
    case 177:
    case 180:
    case 181:
    case 182:
    case 183:
    case 298: return &Relation;
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
    player.displayPolicy.wageFlags |= kWorldMarketJoinWaiting;
    player.displayPolicy.wageFlags = (player.displayPolicy.wageFlags & ~kWorldMarketMember) |
                                     ((join & 1u) ? kWorldMarketMember : 0u);
    return;
  }
  {
    WorldLockGuard hold(world, kLockCommandLog);
    player.displayPolicy.wageFlags &= ~kWorldMarketJoinWaiting;
  }
  player.simPolicy.wageFlags =
      (player.simPolicy.wageFlags & ~kWorldMarketMember) | ((join & 1u) ? kWorldMarketMember : 0u);
}

void TakeLoanCommand(World&, PlayerRecord&, int, uint32_t) {}
void RepayLoanCommand(World&, PlayerRecord&, int, uint32_t) {}
void DeclareWarCommand(World&, PlayerRecord&, int, uint32_t) {}
void SurrenderCommand(World&, PlayerRecord&, int, uint32_t, uint32_t) {}
void EndTreatyCommand(World&, PlayerRecord&, int, uint32_t, uint32_t, uint32_t) {}
void EndAllTreatiesCommand(World&, PlayerRecord&, int, uint32_t, uint32_t) {}
void TargetHexCommand(World&, PlayerRecord&, int, uint32_t) {}
void DiplomaticOfferCommand(World& world, PlayerRecord& player, int copy, uint32_t arg28,
                            const std::vector<uint8_t>& text, uint32_t sequence) {
  if (copy != 1 || arg28 >= static_cast<uint32_t>(kMaxPlayers)) return;
  // The payload is text from a peer: it ends at its first zero byte or at its end.
  const auto end = std::find(text.begin(), text.end(), uint8_t{0});
  const std::string offer(text.begin(), end);
  ProcessDiplomaticOffer(world, copy, player, static_cast<int>(arg28), offer.c_str(), sequence);
}
