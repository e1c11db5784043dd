#include "ai/ai_unit_build.h"

#include <algorithm>

#include "ai/ai_player_fields.h"
#include "ai/ai_unit_figures.h"
#include "records/hex_cell.h"
#include "records/player_kinds.h"
#include "records/hex_unit_stack.h"
#include "records/command_ids.h"
#include "sim/command_counts.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "sim/game_command.h"
#include "sim/unit_command_args.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "units/unit_queries.h"
#include "world/id_lookups.h"
#include "world/text/policy_fields.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int kWeights = 30;
constexpr int kStatistics = 29;
constexpr int kMissileTypes = 4;
constexpr int kTiers = 3;
constexpr int kSequenceSteps = 16;
constexpr int kMaxPicks = 16;
constexpr int kBatchDomains = 5;
// How many missiles a computer region orders beyond its store's room.
constexpr int kBatchOverOrder = 3;
constexpr int kMilitaryDepartment = 1;
constexpr uint32_t kStandingOrderSpendMore = 1u << 3;
constexpr uint32_t kRoleBits = 0x1Fu;
constexpr uint32_t kOptionA = 1u << 7;
constexpr uint32_t kOptionB = 1u << 6;
constexpr uint32_t kOptionC = 1u << 5;
constexpr uint32_t kCreateFlagBatchAll = 5;
// A queued unit still waiting for its turn at the base.
constexpr uint32_t kStateQueuedBelow = 0x40000000u;
// Each missile type's capability byte among the class's attack values.
constexpr int kSubRoleCapability[kMissileTypes] = {0, 4, 6, 7};

// The command's sequence word, 0 when it was not posted.
uint32_t Post(World& world, GameCommand command) {
  if (CommandLog* log = CommandLogOf(world)) return PostCommand(*log, std::move(command), true);
  return 0;
}

UnitRecord* FindUnitLocked(World& world, uint32_t id) {
  WorldLockGuard hold(world, kLockUnits);
  return FindUnitById(world, id);
}

int PlayerIndex(const World& world, const PlayerRecord& player) {
  return static_cast<int>(&player - world.players);
}

// Whether some class up the class's upgrade chain is already available.
bool ChainAvailable(const World& world, int player, const UnitClassRecord& cls) {
  int32_t next = cls.successor;
  for (size_t guard = 0; next > 0 && guard < world.unitClasses.size(); ++guard) {
    if (ClassAvailabilityByte(world, player, next) & 1u) return true;
    const UnitClassRecord* c = ClassRecordAt(world, next);
    if (!c) break;
    next = c->successor;
  }
  return false;
}

bool Qualifies(const World& world, const PlayerRecord& player, int p, int32_t index, const UnitClassRecord& cls,
               const ClassChoice& choice) {
  if (cls.name[0] == 0 || (cls.flags & (kClassObsolete | kClassFacility))) return false;
  if (cls.typeByte != choice.role) return false;
  const uint8_t avail = ClassAvailabilityByte(world, p, index);
  if (choice.researchMode) {
    if (!(avail & 0x10u)) return false;
  } else if (choice.designMode) {
    if ((avail & 0x11u) || ChainAvailable(world, p, cls)) return false;
    if (!UnitClassAvailable(world, index, -1, 255, p, true, 0, nullptr, 0, 0, 0)) return false;
  } else if (!(avail & 1u)) {
    return false;
  }
  if (choice.role == kMissileRole) {
    const int sub = std::clamp(choice.subRole, 0, kMissileTypes - 1);
    if (cls.attackValues[kSubRoleCapability[sub]] == 0) return false;
    if (sub == 3 && !(cls.flags & kClassLongRange)) return false;
    if (!(cls.baseSlots & choice.domainMask)) return false;
    if (static_cast<uint8_t>(cls.targetSize) > choice.sizeLimit) return false;
    const uint32_t features = aifields::FeatureFlags(player);
    if ((cls.flags & kClassSpecialImmune) && !(features & kEffectSpecialImmune)) return false;
    if ((cls.flags & kClassSpecialWeaponB) && !(features & kEffectSpecialWeaponB)) return false;
    if ((cls.flags & kClassSpecialWeaponA) && !(features & kEffectSpecialWeaponA)) return false;
    if (!(cls.flags & kClassBatchStock) && choice.blend < 0.4f) return false;
  }
  return true;
}

void Weights(const World& world, const PlayerRecord& player, const ClassChoice& choice, float w[kWeights]) {
  const AiParams& params = RuleTablesOf(world).aiParams;
  const float* rows = choice.role == kMissileRole
                          ? params.missileWeighting + std::clamp(choice.subRole, 0, kMissileTypes - 1) * 2 * kWeights
                          : params.unitWeighting + choice.role * 2 * kWeights;
  const float b = choice.blend;
  const float a = 1.0f - b;
  for (int i = 0; i < kWeights; ++i) w[i] = a * rows[i] + b * rows[kWeights + i];
  if (choice.optionA) {
    w[3] += 2.0f;
    w[4] += 1.0f;
  }
  if (choice.optionC) w[5] += 2.0f;
  if (choice.optionB) w[6] += 1.0f;
  if (aifields::FundsFigure(player) < 30000.0f) w[23] += 1.0f;
  if (CabinetPriorities(player.displayPolicy.cabinetPolicy[kMilitaryDepartment]) & kStandingOrderSpendMore)
    w[28] += 2.0f;
  const float cash = aifields::CashReserve(player);
  if (cash < 5e8f)
    w[28] += 1.0f;
  else
    w[28] -= cash / 1.5e10f;
  const float p = static_cast<float>(player.displayPolicy.autobuildvalues[1]) / 100.0f;
  w[29] = std::max(0.0f, w[29] - 1.5f * p);
  w[28] = std::max(0.0f, w[28] - p);
}

}  // namespace

int32_t AiChooseUnitClass(const World& world, const PlayerRecord& player, const ClassChoice& choice, float* score) {
  // A role beyond the weight table has no weights and so no class.
  if (choice.role < 0 || choice.role >= kWeightedRoles) return 0;
  const int32_t count = static_cast<int32_t>(world.unitClasses.size());
  if (count < 2) return 0;
  float w[kWeights];
  Weights(world, player, choice, w);
  const int p = PlayerIndex(world, player);
  float best = -10000.0f;
  int32_t bestClass = 0;
  for (int32_t c = 1; c < count; ++c) {
    const UnitClassRecord& cls = world.unitClasses[static_cast<size_t>(c)];
    if (!Qualifies(world, player, p, c, cls, choice)) continue;
    float sum = 0.0f;
    for (int i = 1; i <= kStatistics; ++i) sum += UnitClassStat(world, c, i) * w[i];
    if (sum > best) {
      best = sum;
      bestClass = c;
    }
  }
  if (bestClass != 0 && score) *score = best;
  return bestClass;
}

int AiBuildTier(uint8_t firstValue) { return std::min(firstValue / 34, 2); }

namespace {

// Where the player's units queued at a base stand, one entry a unit.
struct QueuedAt {
  int16_t x;
  int16_t y;
};

bool Queued(const UnitRecord& u, int p) {
  if (u.owner != p || u.classIndex == 0) return false;
  if (u.unitFlags & (kUnitFacility | kUnitGone)) return false;
  const uint32_t posture = aifig::Placement(u);
  return (posture & kPostureUnderConstruction) && ((posture & kPostureInReserve) || u.carrier != 0) &&
         u.orders[kStateFlags] < kStateQueuedBelow;
}

void FindQueued(const World& world, int p, std::vector<QueuedAt>& out) {
  out.clear();
  for (const UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next)
    if (Queued(*u, p)) out.push_back(QueuedAt{u->x, u->y});
}

// The production slots of a base that no queued unit holds.
int FreeSlots(const World& world, const UnitRecord& base, const UnitClassRecord& cls,
              const std::vector<QueuedAt>& queued) {
  int free = cls.baseSlots;
  const HexMapShape map = MapShape(world);
  const int64_t at = HexCellIndex(map, MakeHexPos(base.x, base.y));
  if (at >= 0 && static_cast<size_t>(at) < world.cells.size()) {
    const HexUnitStack* stack = world.cells[static_cast<size_t>(at)].stack;
    const UnitRecord* lead = stack ? stack->lead : nullptr;
    if (lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional)) free -= lead->leadValue;
  }
  for (const QueuedAt& q : queued)
    if (q.x == base.x && q.y == base.y) --free;
  return free;
}

bool ProducingBase(const World& world, const UnitRecord& u, int p, const UnitClassRecord*& cls) {
  if (u.owner != p || !(u.unitFlags & kUnitFacility) || !IsUnitLive(u)) return false;
  if (aifig::Placement(u) & kPostureInReserve) return false;
  cls = UnitClassOf(world, u);
  return cls && (cls->flags & kClassSettlement) && !(cls->flags & kClassExcludedKinds) && cls->movementType == 0 &&
         cls->baseSlots != 0;
}

// Auto production barred at the base: its lead unit says so.
bool Barred(const World& world, const UnitRecord& base) {
  const int64_t at = HexCellIndex(MapShape(world), MakeHexPos(base.x, base.y));
  if (at < 0 || static_cast<size_t>(at) >= world.cells.size()) return false;
  const HexUnitStack* stack = world.cells[static_cast<size_t>(at)].stack;
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  return lead && IsUnitLive(*lead) && (lead->orders[kStateFlags] & kStateDeployDue);
}

}  // namespace

void AiOrderUnitBuild(World& world, PlayerRecord& player) {
  const int p = PlayerIndex(world, player);
  const uint8_t first = player.displayPolicy.autobuildvalues[0];
  const float blend = static_cast<float>(first) / 100.0f;
  const int tier = AiBuildTier(first);
  const int32_t* sequence = RuleTablesOf(world).aiParams.buildSequence;
  // A posted order makes its unit at once, under the order's sequence word
  // as its id, and changes no other unit: the queue gains that unit, if it
  // is queued. Only when the id cannot be told beforehand (another post
  // moved the counter, or a unit already has it) is the queue looked for
  // again by walking the units.
  std::vector<const UnitRecord*> bases;
  std::vector<QueuedAt> queued;
  for (const UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) {
    const UnitClassRecord* cls = nullptr;
    if (ProducingBase(world, *u, p, cls) && !Barred(world, *u)) bases.push_back(u);
    if (Queued(*u, p)) queued.push_back(QueuedAt{u->x, u->y});
  }
  bool queuedStale = false;
  for (const UnitRecord* base : bases) {
    const UnitClassRecord* cls = UnitClassOf(world, *base);
    if (!cls) continue;
    const int domain = (cls->flags & kClassHaven) ? 2 : ((cls->flags & kClassAirBase) ? 1 : 0);
    if (queuedStale) {
      FindQueued(world, p, queued);
      queuedStale = false;
    }
    int wanted = FreeSlots(world, *base, *cls, queued);
    for (int picks = 0; wanted > 0 && picks < kMaxPicks; ++picks, --wanted) {
      uint8_t& cursor = aifields::BuildCursor(player, domain);
      const int32_t* row = sequence + (domain * kTiers + tier) * kSequenceSteps;
      uint32_t entry = static_cast<uint32_t>(row[cursor % kSequenceSteps]);
      // A poor region skips the entry of role 0 for the next one; the next
      // entry's option bits stay options, not part of its role.
      if ((entry & kRoleBits) == 0 && aifields::FundsFigure(player) < 10000.0f && cursor < kSequenceSteps - 1)
        entry = static_cast<uint32_t>(row[cursor + 1]);
      cursor = static_cast<uint8_t>((cursor + 1) % kSequenceSteps);
      ClassChoice choice;
      choice.role = static_cast<int>(entry & kRoleBits);
      choice.blend = blend;
      choice.optionA = (entry & kOptionA) != 0;
      choice.optionB = (entry & kOptionB) != 0;
      choice.optionC = (entry & kOptionC) != 0;
      const int32_t chosen = AiChooseUnitClass(world, player, choice);
      if (chosen == 0) {
        ++wanted;  // a pick that found nothing gives way to another
        continue;
      }
      GameCommand c = MakeGameCommand(world.gameState, kCmdCreateUnit, p);
      SetArgWords(c, NewUnitArgs{.position = MakeHexPos(base->x, base->y),
                                 .classIndex = static_cast<uint32_t>(chosen),
                                 .size = 1.0f,
                                 .flags = 0}
                         .Pack());
      const uint32_t expected = MakeSequence(CommandCounter(player) + 1, static_cast<uint32_t>(p));
      const bool idFree = FindUnitLocked(world, expected) == nullptr;
      if (Post(world, std::move(c)) == expected && idFree) {
        const UnitRecord* made = FindUnitLocked(world, expected);
        if (made && Queued(*made, p)) queued.push_back(QueuedAt{made->x, made->y});
      } else {
        queuedStale = true;
      }
      AddLocalNewsItem(world, player, kMsgUnitOrdered, 0,
                       MessageParams{static_cast<uint32_t>(chosen), static_cast<uint32_t>(choice.role)});
    }
  }
}

void AiOrderUnitBatch(World& world, PlayerRecord& player) {
  if (aifields::BatchStopped(player)) return;
  const int limit = aifields::BatchLimit(player);
  const int count = aifields::BatchCount(player);
  if (count >= limit) return;
  // A computer region keeps a few more on order than its store holds; the
  // region of a player, whose store the orders are made for, is filled to
  // its limit and no further.
  const bool forAPlayer = player.kind == kKindHuman;
  int budget = limit - count + (forAPlayer ? 0 : kBatchOverOrder);
  const int p = PlayerIndex(world, player);
  const uint32_t domains = player.displayPolicy.autobuildmissiles[0] & 0x1Fu;
  const uint32_t types = player.displayPolicy.autobuildmissiles[1] & 0x0Fu;
  const float blend = static_cast<float>(player.displayPolicy.autobuildvalues[0]) / 100.0f;
  int32_t picks[kBatchDomains][kMissileTypes][4] = {};
  bool any = false;
  for (int d = 0; d < kBatchDomains; ++d) {
    if (!((domains >> d) & 1u)) continue;
    const int most = d == 4 ? 256 : aifields::BatchMaxLevel(player, d);
    const int least = d == 4 ? 256 : aifields::BatchMinLevel(player, d);
    if (most == 0) continue;
    for (int s = 0; s < kMissileTypes; ++s) {
      if (!((types >> s) & 1u)) continue;
      const struct {
        float blend;
        bool optionA;
        int limit;
      } kinds[4] = {{0.0f, false, least}, {blend, true, most}, {blend, false, least}, {blend, false, most}};
      for (int k = 0; k < 4; ++k) {
        ClassChoice choice;
        choice.role = kMissileRole;
        choice.blend = kinds[k].blend;
        choice.optionA = kinds[k].optionA;
        choice.subRole = s;
        choice.domainMask = 1u << d;
        choice.sizeLimit = kinds[k].limit;
        picks[d][s][k] = AiChooseUnitClass(world, player, choice);
        any = any || picks[d][s][k] != 0;
      }
    }
  }
  if (!any) return;
  uint8_t& dc = aifields::BatchDomainCursor(player);
  uint8_t& sc = aifields::BatchSubRoleCursor(player);
  if (dc >= kBatchDomains) dc = 0;
  if (sc >= kMissileTypes) sc = 0;
  for (;;) {
    for (int k = 0; k < 4; ++k) {
      const int32_t chosen = picks[dc][sc][k];
      const UnitClassRecord* cls = chosen ? ClassRecordAt(world, chosen) : nullptr;
      if (!cls) continue;
      const int times = cls->carryCapacity < 3.0f ? 2 : 1;
      for (int t = 0; t < times && (!forAPlayer || budget > 0); ++t, --budget) {
        GameCommand c = MakeGameCommand(world.gameState, kCmdCreateUnitAt, p);
        SetArgWords(c, OrderedUnitArgs{.classIndex = static_cast<uint32_t>(chosen),
                                       .size = 1,
                                       .flags = (cls->flags & kClassBatchStock) ? kCreateFlagBatchAll : 0u}
                           .Pack());
        Post(world, std::move(c));
      }
    }
    const bool spent = budget < 1;
    sc = static_cast<uint8_t>(sc + 1);
    if (sc >= kMissileTypes) {
      sc = 0;
      dc = static_cast<uint8_t>((dc + 1) % kBatchDomains);
    } else if (spent) {
      dc = static_cast<uint8_t>((dc + 1) % kBatchDomains);
    }
    if (spent) return;
  }
}
