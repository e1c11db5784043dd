#include "sim/relations.h"

#include <algorithm>
#include <optional>

#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "net/command_network.h"
#include "sim/command_post.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/policy_block_fields.h"
#include "world/relation_fields.h"
#include "records/player_record.h"
#include "world/region_figures.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
uint32_t Bit(int p) { return 1u << static_cast<unsigned>(p); }


// The record's index in the world, or -1 when it is none of its regions.
int IndexIn(const World& world, const PlayerRecord& record) {
  if (&record < world.players || &record >= world.players + kMaxPlayers) return -1;
  return static_cast<int>(&record - world.players);
}

PlayerPolicyBlock& Block(PlayerRecord& r, int copy) { return copy == 0 ? r.displayPolicy : r.simPolicy; }

void CapDefcon(PlayerRecord& p, int copy) {
  PlayerPolicyBlock& b = Block(p, copy);
  if (b.hostileMask == 0) b.defcon = std::min(b.defcon, 3);
  if (copy == 1) p.displayPolicy.defcon = p.simPolicy.defcon;
}

void Broadcast(World& world, const PlayerRecord& subject, uint32_t type) {
  BroadcastPlayerMessage(world, subject, type, type, type, type, nullptr, MessageParams{});
}

struct Treaties {
  World* world;  // null: only the record's own settings change
  PlayerRecord& p;
  int self;

  PlayerRecord* Partner(int q) { return world ? &world->players[q] : nullptr; }

  void Set(int copy, int t, bool on, int q, bool cascade, bool effects);
  void EndOfWar(int q, int copy);
  void Effects(int q, float scoreOn, float scoreOff, float repOn, float repOff, float w1, bool on) {
    PlayerRecord* partner = Partner(q);
    if (!partner || self < 0) return;
    AdjustRelationScores(self, *partner, on ? scoreOn : scoreOff);
    ApplyReputationChange(*world, p, on ? repOn : repOff, w1, 0, 0, 0, 0);
  }
};

void Treaties::EndOfWar(int q, int copy) {
  PlayerPolicyBlock& b = Block(p, copy);
  b.hostileMask &= ~Bit(q);
  CapDefcon(p, copy);
  for (int t : {1, 30, 12}) Set(copy, t, false, q, true, true);
  if (copy == 1 && world && self >= 0 && (Partner(q)->simPolicy.hostileMask & Bit(self)))
    Broadcast(*world, p, kMsgWarEndedNews);
}

void Treaties::Set(int copy, int t, bool on, int q, bool cascade, bool effects) {
  if (t < 0 || t >= kTreatyMaskTypes || q < 0 || q >= kMaxPlayers || q == self) return;
  copy = copy == 0 ? 0 : 1;
  PlayerPolicyBlock& b = Block(p, copy);
  const uint32_t mask = TreatyMask(b, t);
  if (((mask & Bit(q)) != 0) == on) return;
  // The display copy belongs to the posting threads, which write it under the
  // command-log lock; the simulation pass mirrors its results there.
  std::optional<WorldLockGuard> hold;
  if (copy == 1 && world) hold.emplace(*world, kLockCommandLog);
  SetTreatyMask(b, t, on ? (mask | Bit(q)) : (mask & ~Bit(q)));
  if (copy == 1) SetTreatyMask(p.displayPolicy, t, TreatyMask(b, t));
  const bool withEffects = copy == 1 && effects;
  switch (t) {
    case 1:
      if (on) {
        // The alliance notice: the treaty itself is already made above.
        if (copy == 1 && world && self >= 0 && !(Partner(q)->simPolicy.friendlyMask & Bit(self)))
          Broadcast(*world, p, kMsgNewAllianceNews);
        b.friendlyMask |= Bit(q);
        b.hostileMask &= ~Bit(q);
      } else {
        b.friendlyMask &= ~Bit(q);
      }
      if (withEffects) Effects(q, -0.2f, 0.4f, 0.05f, -0.3f, 1.0f, on);
      if (copy == 1) {
        p.displayPolicy.friendlyMask = b.friendlyMask;
        p.displayPolicy.hostileMask = b.hostileMask;
      }
      break;
    case 3:
      if (on) {
        b.ceasefireMask |= Bit(q);
        if (!(b.friendlyMask & Bit(q))) {
          EndOfWar(q, copy);
          b.hostileMask &= ~Bit(q);
        }
      } else {
        b.ceasefireMask &= ~Bit(q);
        if (!(b.friendlyMask & Bit(q))) b.hostileMask |= Bit(q);
      }
      if (withEffects) Effects(q, -0.2f, 0.6f, 0.05f, -0.3f, 1.0f, on);
      if (copy == 1) p.displayPolicy.ceasefireMask = b.ceasefireMask;
      break;
    case 4:
      if (on && !(b.friendlyMask & Bit(q))) {
        EndOfWar(q, copy);
        b.hostileMask &= ~Bit(q);
      }
      if (withEffects) Effects(q, -0.2f, 0.6f, 0.05f, -0.3f, 1.0f, on);
      if (copy == 1) p.displayPolicy.hostileMask = b.hostileMask;
      break;
    case 13:
    case 14:
    case 15:
    case 30:
      if (copy == 1 && world && self >= 0) {
        if (effects) {
          PlayerRecord& partner = *Partner(q);
          AdjustRelationScores(self, partner, on ? -0.01f : 0.05f);
          ApplyReputationChange(*world, p, on ? 0.05f : -0.3f, 0.1f, 0, 0, 0, 0);
        }
        PlayerPolicyBlock& theirs = Partner(q)->simPolicy;
        const int word = ReciprocalWord(t);
        const uint32_t r = ReciprocalMask(theirs, word);
        SetReciprocalMask(theirs, word, on ? (r | Bit(self)) : (r & ~Bit(self)));
      }
      break;
    case 18:
    case 21:
    case 24:
      // The message names the partner and the treaty.
      if (copy == 1 && world && self >= 0)
        PostPlayerMessage(*world, p, self,
                          t == 18   ? kMsgTreaty18Changed
                          : t == 21 ? kMsgTreaty21Changed
                                    : kMsgTreaty24Changed,
                          nullptr, MessageParams{static_cast<uint32_t>(q), static_cast<uint32_t>(t)});
      break;
    default: break;
  }
  CapDefcon(p, copy);
  if (!cascade || t == 0) return;
  // Kind 0 is no class; a type is never its own follower. Each follower is
  // set once: a type already as asked stops at the check above.
  const TreatyTypeTable& table = g_ruleTables.rTreatyTypes;
  if (!table) return;
  for (int u = 1; u < kTreatyTypeCount; ++u)
    if (u != t && table[u].kind == t) Set(copy, u, on, q, true, true);
}

}  // namespace

void SetTreaty(World& world, PlayerRecord& record, int copy, int type, bool on, int partner, bool cascade,
               bool withEffects) {
  const int self = IndexIn(world, record);
  Treaties treaties{self >= 0 ? &world : nullptr, record, self};
  treaties.Set(copy, type, on, partner, cascade, withEffects);
}

void SetTreaty(PlayerRecord& record, int copy, int type, bool on, int partner, bool cascade, bool withEffects) {
  SetTreaty(g_world, record, copy, type, on, partner, cascade, withEffects);
}

void ApplyReputationChange(World& world, PlayerRecord& p, float a, float w1, float w2, float w3, float w4,
                           float w5) {
  a = std::clamp(a, -1.0f, 1.0f);
  const int self = IndexIn(world, p);
  float relationTotal = RecordFloat(p, kRecordRelationEventTotal);
  float scoreTotal = RecordFloat(p, kRecordScoreEventTotal);
  auto others = [&](auto&& change) {
    if (self < 0) return;
    const int highest = std::min(world.gameState.highestPlayer, kMaxPlayers - 1);
    for (int q = 1; q <= highest; ++q)
      if (q != self && TakesPart(world.players[q])) change(world.players[q]);
  };
  if (w1 != 0.0f) {
    const float d = a * Clamp01(w1);
    StoreRegionFloat(p, kRegionWmIntegrity, Clamp01((1.0f + d) * LoadRegionFloat(p, kRegionWmIntegrity) + d / 10.0f));
    StoreRegionFloat(p, kRegionSubsidyRating,
                     Clamp01((1.0f + d / 3.0f) * LoadRegionFloat(p, kRegionSubsidyRating) + d / 20.0f));
    p.creditRating = std::max(0.0f, (1.0f + d / 20.0f) * p.creditRating);
    relationTotal += 100.0f * d;
    scoreTotal += 50.0f * d;
  }
  if (w2 != 0.0f) {
    const float e = a * Clamp01(w2);
    StoreRegionFloat(p, kRegionExternalIntegrity,
                     Clamp01((1.0f + e) * LoadRegionFloat(p, kRegionExternalIntegrity) + e / 10.0f));
    others([&](PlayerRecord& q) {
      q.diplomaticRelation[self] += e;
      q.civilAttitude[self] += e / 2.0f + a * w3 / 4.0f;
      q.belligerence[self] = std::max(0.0f, q.belligerence[self] - e / 50.0f);
    });
    relationTotal += 100.0f * e;
    scoreTotal += 40.0f * e;
  }
  if (w5 != 0.0f) {
    const float f = a * Clamp01(w5);
    others([&](PlayerRecord& q) { q.belligerence[self] = std::max(0.0f, q.belligerence[self] - f); });
  }
  if (w3 != 0.0f) {
    const float g = a * Clamp01(w3);
    p.approval = std::clamp((1.0f + g) * p.approval, 0.01f, 1.0f);
    SetRecordFloat(p, kRecordCivilEventTotal, RecordFloat(p, kRecordCivilEventTotal) + g);
    scoreTotal += 50.0f * g;
  }
  if (w4 != 0.0f) {
    const float h = a * Clamp01(w4);
    p.secondRating = std::clamp((1.0f + h) * p.secondRating, 0.01f, 1.0f);
    SetRecordFloat(p, kRecordMilitaryEventTotal, RecordFloat(p, kRecordMilitaryEventTotal) + h);
    scoreTotal += 20.0f * h;
  }
  SetRecordFloat(p, kRecordRelationEventTotal, relationTotal);
  SetRecordFloat(p, kRecordScoreEventTotal, scoreTotal);
}

void AdjustRelationScores(int q, PlayerRecord& r, float x) {
  if (q < 0 || q >= kMaxPlayers) return;
  r.belligerence[q] += x;
  if (r.belligerence[q] < 0.0f) r.belligerence[q] = 0.0f;
  r.civilAttitude[q] -= x / 3.0f;
  r.diplomaticRelation[q] -= x / 2.0f;
}

int ResolveRelations(World& world, PlayerRecord& r, int o, int kind) {
  const int self = IndexIn(world, r);
  if (self < 0 || o < 0 || o >= kMaxPlayers) return 0;
  PlayerRecord& striker = world.players[o];
  if (!(striker.simPolicy.hostileMask & Bit(self))) {
    ApplyReputationChange(world, r, 0.05f, 1, 1, 0, 0, 1);
    AdjustRelationScores(o, r, 0.4f);
    ApplyReputationChange(world, striker, -0.1f, 1, 1, 0, 0, 0.1f);
  }
  if (kind == 2) SetRecordWord(r, kRecordAttackedByMaskA, RecordWord(r, kRecordAttackedByMaskA) | Bit(o));
  if (kind == 3) SetRecordWord(r, kRecordAttackedByMaskB, RecordWord(r, kRecordAttackedByMaskB) | Bit(o));
  const uint32_t both = r.simPolicy.hostileMask | r.simPolicy.friendlyMask;
  if (o == self || (both & Bit(o)) || !(r.diplomaticRelation[o] < 0.0f)) return 0;
  const bool local = self == world.gameState.localPlayer;
  if (!local) {
    if (!TakesPart(r)) return 0;
    if (IsNetworkGame(g_commandNet) && g_commandNet.role != kNetGameHost) return 0;
    if (r.kind == kKindHuman) return 0;  // a person's region on another machine answers itself
  }
  if (!(r.displayPolicy.hostileMask & Bit(o))) {
    if (CommandLog* log = CommandLogOf(world)) {
      GameCommand c = MakeGameCommand(world.gameState, kCmdDeclareWar, self);
      c.arg28 = static_cast<uint32_t>(o);
      PostCommand(*log, std::move(c), true);
    }
  }
  return 1;
}

int ComputeElection(PlayerRecord& p, float cabinetLeaningSum) {
  const int r = p.rulingParty < 4 ? p.rulingParty : 0;
  float* share = p.partyShare;
  const float civ = p.approval;
  for (int i = 0; i < 4; ++i) share[i] = (1.0f - civ) / 2.0f;
  if (r != 3) share[3] = (1.0f - civ) / 6.0f;
  share[r] = civ;
  const float s = cabinetLeaningSum / 10000.0f;
  if (s >= 0.0f) {
    share[2] -= s;
    share[r] += s;
  } else {
    share[0] += s;
    share[r] -= s;
  }
  const float d = (0.65f - p.secondRating) / 10.0f;
  share[0] += d;
  share[r] -= d;
  const float e = (0.1f - p.unemployment) / 2.0f;
  share[2] -= e;
  share[r] += e;
  float sum = 0.0f;
  for (int i = 0; i < 4; ++i) {
    share[i] = std::max(share[i], 0.02f);
    sum += share[i];
  }
  int winner = 0;
  for (int i = 0; i < 4; ++i) {
    share[i] /= sum;
    if (share[i] > share[winner]) winner = i;
  }
  return winner;
}

std::string FormatElectionResults(const PlayerRecord& p, const char* const (&names)[4]) {
  constexpr size_t kLimit = 1024;
  const int ruling = p.rulingParty < 4 ? p.rulingParty : 0;
  auto name = [&](int i) { return names[i] ? names[i] : ""; };
  std::string text;
  char line[256];
  // Shares are shown rounded to the nearest tenth, as players read them:
  // FormatText prints in round-to-nearest, and a share times 100 is exact in
  // double, so nothing here depends on the rounding mode of the caller.
  const auto percent = [&](int i) { return static_cast<double>(p.partyShare[i]) * 100.0; };
  plat::FormatText(line, sizeof line, "%3.1f%% - %s %s\n", percent(ruling), name(ruling), "  (Ruling Party)");
  text += line;
  for (int i = 0; i < 4; ++i) {
    if (i == ruling) continue;
    plat::FormatText(line, sizeof line, "%3.1f%% - %s\n", percent(i), name(i));
    text += line;
  }
  text += "\n";
  if (text.size() > kLimit) text.resize(kLimit);
  return text;
}

