#include "ai/war_posture.h"

#include <string>

#include "ai/computer_player.h"
#include "ai/military_minister.h"
#include "ai/minister_common.h"
#include "platform/clock.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "sim/dip_offer.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/policy_command_args.h"
#include "sim/relation_command_args.h"
#include "units/paths/move_cost.h"
#include "units/unit_player_fields.h"

namespace {

std::atomic<AiClock> g_aiClock{nullptr};

uint32_t Bit(int p) { return 1u << (p & 31); }

int32_t RecordInt(const PlayerRecord& r, size_t at) {
  return le::LoadI32(reinterpret_cast<const uint8_t*>(&r) + at);
}

// Posts a command of `player` with the typed arguments, due after the
// session's lead, to the world's log and the peers.
template <class Args>
void PostTo(World& world, uint32_t id, int32_t player, const Args& args) {
  CommandLog* log = CommandLogOf(world);
  if (!log) return;
  GameCommand c = MakeGameCommand(world.gameState, id, player);
  SetArgWords(c, args.Pack());
  PostCommand(*log, std::move(c), true);
}

// An approach to another region: an offer that gives `amount` once (none
// when 0), sent as message 400 with the offer attached.
void SendOffer(World& world, int self, int p, float amount) {
  DipOffer offer;
  offer.firstPlayer = static_cast<uint8_t>(p);
  offer.secondPlayer = static_cast<uint8_t>(self);
  offer.sentDay = world.gameState.currentDay;
  offer.sentTick = CurrentTickNow(world.gameState);
  offer.expiryDay = world.gameState.currentDay + 30;
  if (amount > 0.0f) {
    DealItem gift;
    gift.receiver = static_cast<uint8_t>(p);
    gift.giver = static_cast<uint8_t>(self);
    gift.paymentCount = 1;
    gift.amount = amount;
    offer.offered.dealItems.push_back(gift);
  }
  const std::string text = WriteDipOffer(world, offer);
  DeliverPlayerMessage(world, world.players[p], kMsgOffer, self, text.c_str(),
                       MessageParams{static_cast<uint32_t>(self), MessageReal(amount)});
}

// The region's figures the posture weighs.
struct Posture {
  float stability;
  int32_t strength;
  int32_t losses, gains;
  int32_t g1, g2, k;
  int32_t weakness;
};

Posture PostureOf(const PlayerRecord& r) {
  Posture f{};
  f.stability = r.approval * 4.0f + r.secondRating;
  for (uint16_t n : r.unitCounts) f.strength += n;
  f.losses = RecordInt(r, unitfields::kHexLossStats + 4);
  f.gains = RecordInt(r, unitfields::kHexGainStats + 4);
  f.g1 = r.rankCountR1;
  f.g2 = r.rankCountR2;
  f.k = RecordInt(r, unitfields::kUnitsLost);
  f.weakness = reinterpret_cast<const uint8_t*>(&r)[unitfields::kHoldOutLevel];
  return f;
}

}  // namespace

uint8_t WarTarget(const PlayerRecord& region) { return reinterpret_cast<const uint8_t*>(&region)[kWarTargetAt]; }
void SetWarTarget(PlayerRecord& region, uint8_t target) { reinterpret_cast<uint8_t*>(&region)[kWarTargetAt] = target; }

void SetAiClock(AiClock clock) { g_aiClock.store(clock); }

uint32_t AiClockMs() {
  if (AiClock clock = g_aiClock.load()) return clock();
  // Clocked workers take their steps at game minutes, and so read the game's
  // tick: the same decisions every run.
  if (g_computerPlayersClocked.load(std::memory_order_relaxed))
    return CurrentTickNow(g_world.gameState);
  static const uint64_t start = plat::MonotonicMs();
  return static_cast<uint32_t>(plat::MonotonicMs() - start);
}

void AiDailyWarPosture(World& world, PlayerRecord& region) {
  const int self = region.number;
  const GameState& state = world.gameState;
  const uint32_t seed = AiClockMs() / 4 + state.currentDay;
  const Posture me = PostureOf(region);
  const PlayerPolicyBlock& shown = region.displayPolicy;

  const bool weak = (me.stability < 1.0f && 3 * me.strength < me.losses - me.gains && me.weakness > 60) ||
              me.weakness > 200 || (me.g1 + me.g2 < 10 && me.k > 20);
  float bestScore = -9999.0f;
  int candidate = -1;
  auto consider = [&](int p, float score) {
    if (score > bestScore) {
      bestScore = score;
      candidate = p;
    }
  };
  const uint32_t mask3 = BorderAttemptMask(region);
  const float difficulty = static_cast<float>(world.scenario.head.difficulty);
  const int highest = state.highestPlayer < kMaxPlayers ? state.highestPlayer : kMaxPlayers - 1;
  for (int p = 1; p <= highest; ++p) {
    if (p == self) continue;
    PlayerRecord& other = world.players[p];
    if (!TakesPart(other)) continue;
    const uint32_t bit = Bit(p);
    if (shown.friendlyMask & bit) {
      if (0.05f * shown.budgetSpending < region.treasury && other.treasury <= 0.005f * other.simPolicy.budgetSpending &&
          (static_cast<uint32_t>(p) + seed) % 100 == 2)
        SendOffer(world, self, p, region.treasury / 10.0f);
      if (mask3 & bit) consider(p, 2.0f * region.civilAttitude[p]);
    } else if (shown.hostileMask & bit) {
      if (mask3 & bit) consider(p, region.civilAttitude[p] - 1.0f);
      if (world.scenario.head.difficulty > 1)
        for (int q = 1; q < kMaxPlayers; ++q) SetWarTarget(world.players[q], static_cast<uint8_t>(p));
    } else if ((static_cast<uint32_t>(p) + seed) % 10 == 3) {
      float w = other.kind == kKindComputer ? difficulty * 0.05f : 0.0f;
      if (mask3 & bit) {
        w *= 1.5f;
        consider(p, region.civilAttitude[p]);
      }
      if (region.diplomaticRelation[p] > 0.8f - w && region.civilAttitude[p] > 0.7f - w &&
          region.belligerence[p] < w + 0.15f) {
        SendOffer(world, self, p, 0.0f);
        continue;
      }
      const float bonus = WarTarget(region) == p && other.kind == kKindHuman ? 0.15f : 0.0f;
      if (w + 0.7f - bonus < region.belligerence[p] && (mask3 & bit)) {
        const int32_t ours = region.rankCountR1, theirs = other.rankCountR1;
        if (ours <= theirs) {
          if (WarTarget(region) == p || ours * 2 > theirs) {
            PostTo(world, kCmdDeclareWar, self, RegionArgs{.region = static_cast<uint32_t>(p)});
            for (int q = 1; q < kMaxPlayers; ++q) SetWarTarget(world.players[q], static_cast<uint8_t>(p));
          }
        } else {
          PostTo(world, kCmdDeclareWar, self, RegionArgs{.region = static_cast<uint32_t>(p)});
        }
      }
    }
  }
  if (weak && candidate >= 0) {
    BroadcastPlayerMessage(world, region, kMsgSurrenderNews, kMsgSurrenderNews, kMsgSurrenderNews, kMsgSurrenderNews,
                           nullptr, MessageParams{static_cast<uint32_t>(self), static_cast<uint32_t>(candidate)});
    PostTo(world, kCmdSurrender, self, SurrenderArgs{.winner = static_cast<uint32_t>(candidate)});
    return;
  }
  const int32_t r = shown.defcon;
  const uint32_t orders = CabinetPriorities(shown.cabinetPolicy[kPostMilitary]);
  const float spending = shown.budgetSpending;
  if (shown.hostileMask != 0) {
    if (r >= 4) {
      if (region.treasury >= 0.005f * spending) {
        if (!(orders & kMilRaiseSpending))
          PostTo(world, kCmdCabSetPriorities, self,
                 IndexedSettingArgs{.index = static_cast<uint32_t>(kPostMilitary), .value = orders | kMilRaiseSpending});
      } else {
        PostTo(world, kCmdDefcon, self, SettingArgs{.value = static_cast<uint32_t>(r - 1)});
      }
    } else if (0.015f * spending < region.treasury) {
      PostTo(world, kCmdDefcon, self, SettingArgs{.value = static_cast<uint32_t>(r + 1)});
    } else if (region.treasury < 0.005f * spending && r >= 3) {
      PostTo(world, kCmdDefcon, self, SettingArgs{.value = static_cast<uint32_t>(r - 1)});
    }
  } else if (r == 0) {
    if (orders & kMilRaiseSpending)
      PostTo(world, kCmdCabSetPriorities, self,
             IndexedSettingArgs{.index = static_cast<uint32_t>(kPostMilitary), .value = orders & ~kMilRaiseSpending});
  } else {
    PostTo(world, kCmdDefcon, self, SettingArgs{.value = static_cast<uint32_t>(r - 1)});
  }
}
