#include "units/hex_capture.h"

#include <algorithm>
#include <bit>

#include "sim/command_counts.h"
#include "world/capital_hex.h"
#include "units/hex_state.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "units/ai_event_queue.h"
#include "units/class_fields.h"
#include "units/facilities/hex_facility_state.h"
#include "units/hex_geometry.h"
#include "units/hex_owner.h"
#include "units/hex_stack_commands.h"
#include "records/hex_unit_stack.h"
#include "world/unit_class.h"
#include "units/unit_destroy.h"
#include "units/unit_orders.h"
#include "units/unit_player_fields.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/record_helpers.h"
#include "world/region_figures.h"
#include "world/world.h"
#include "world/hex_stack_chains.h"

namespace {

namespace cf = classfields;
namespace uf = unitfields;

constexpr int kProducts = 11;
constexpr size_t kWorldGoodsScale = 804;
constexpr int kTechValueFactors = 72;

bool Provisional(const UnitRecord& u) { return (u.unitFlags & kUnitProvisional) != 0; }
// Exists, not gone, a class, not provisional.
bool LiveFacility(const UnitRecord* f) { return f && IsUnitLive(*f) && !Provisional(*f); }

uint32_t Bit(int player) { return 1u << (player & 31); }

float Capped(float v) { return v > 1.0f ? 1.0f : v; }

uint8_t MovementColumn(const World& world, const HexCell& cell) {
  const TerrainRecord* t = TerrainOf(world, cell);
  return t ? cf::TerrainMovement(*t, 0) : 0;
}

class Capture {
 public:
  Capture(World& world, HexCell& cell, int newOwner, int allowNeighbours, uint32_t mask, int category, int forced)
      : w_(world),
        cell_(cell),
        map_(MapShape(world)),
        index_(static_cast<size_t>(&cell - world.cells.data())),
        position_(CellPosition()),
        newOwner_(newOwner & 31),
        allowNeighbours_(allowNeighbours),
        mask_(mask),
        category_(category),
        forced_(forced) {}

  int Run();

 private:
  uint32_t CellPosition() const {
    const int32_t width = w_.mapHeader.width;
    if (width <= 0) return 0;
    return unitbytes::PackPosition(static_cast<int16_t>(index_ % static_cast<size_t>(width)),
                                   static_cast<int16_t>(index_ / static_cast<size_t>(width)));
  }
  HexCell* Neighbour(uint32_t position, int d, uint32_t* at = nullptr) {
    const uint32_t n = HexNeighbour(map_, position, d);
    if (at) *at = n;
    return n ? HexCellAt(w_, map_, n) : nullptr;
  }
  UnitRecord* Lead(HexCell& c) {
    HexUnitStack* s = LoadHexStack(c);
    return s ? s->lead : nullptr;
  }
  void Event(int player, int kind, int ms, int count) {
    QueueStackEvent(count, w_, player, kind, ms, position_, 0);
  }
  bool Loud() const { return !forced_ && (mask_ & 8u); }

  int NeighbourPass();
  bool EnemyNear(HexCell& n, uint32_t at);
  bool FriendNear(uint32_t at, int nOwner);
  bool Allowed(int present) const;
  void TakeFacility(UnitRecord* f, const UnitClassRecord* cls, bool closed, bool guarded);
  void StrengthCut(UnitRecord& f, int optionBit);
  void MoveTreasuryShare(bool withNews, bool withBase);
  void ProductShare(UnitRecord* f, const UnitClassRecord& cls, int best);
  void Finish(UnitRecord* f);

  World& w_;
  HexCell& cell_;
  HexMapShape map_;
  size_t index_;
  uint32_t position_;
  int newOwner_;
  int oldOwner_ = 0;
  int earlier_ = 0;
  int allowNeighbours_;
  uint32_t mask_;
  int category_;
  int forced_;
  float f_ = 0.9f;
  float phi_ = 0.9f;
  int count_ = 0;
};

int Capture::Run() {
  if (w_.mapHeader.width <= 0 || index_ >= w_.cells.size()) return 0;
  if (allowNeighbours_ || mask_ == 8u) count_ += NeighbourPass();

  oldOwner_ = CellOwner(cell_.word);
  const TerrainRecord* terrain = TerrainOf(w_, cell_);
  const bool water = terrain && (TerrainFlags(*terrain) & kTerrainWater);
  if (water && oldOwner_ == 0) return count_;
  if (!water && category_ == 2) return count_;
  // Taking one's own hex changes nothing hands.
  if (oldOwner_ == newOwner_) return count_;
  if (mask_ != 15u && !Allowed(oldOwner_)) return count_;

  earlier_ = CellLoyalTo(cell_.word);
  if (!forced_ && mask_ != 15u && (w_.players[newOwner_].simPolicy.friendlyMask & Bit(earlier_))) newOwner_ = earlier_;
  if (newOwner_ == oldOwner_) return count_;

  UnitRecord* f = Lead(cell_);
  if (!LiveFacility(f)) f = nullptr;
  const UnitClassRecord* cls = f ? UnitClassOf(w_, *f) : nullptr;
  bool closed = MovementColumn(w_, cell_) == 0;
  if (closed && cls && !(cls->flags & kClassNoTerrainCost) && cls->hexMoveCost != 0) closed = false;
  bool guarded = closed;
  for (int d = 0; guarded && d < 6; ++d) {
    // A neighbour off the map is no hex and guards nothing either way.
    if (HexCell* n = Neighbour(position_, d)) guarded = MovementColumn(w_, *n) == 0;
  }

  if (!f || !cls) {
    if (Loud()) {
      if (guarded)
        Event(oldOwner_, 7, 2000, 2);
      else if (!closed)
        Event(oldOwner_, 15, 2800, 1);
    }
  } else {
    TakeFacility(f, cls, closed, guarded);
  }
  Finish(f && cls ? f : nullptr);
  return count_;
}

bool Capture::Allowed(int present) const {
  const PlayerRecord& q = w_.players[newOwner_];
  const uint32_t roe = q.simPolicy.roeFlags;
  const uint32_t access = uf::AccessMask(q, category_ == 3 ? 2 : category_);
  const uint32_t war = q.simPolicy.hostileMask;
  uint32_t allowed = Bit(newOwner_);
  if (roe & (1u << 5)) allowed |= access;
  if (roe & (1u << 7)) allowed |= war;
  if (roe & (1u << 6)) allowed |= ~(access | war);
  if (roe & (1u << 8))
    allowed |= 1u;
  else
    allowed &= ~1u;
  if (!(allowed & Bit(present)) || present == newOwner_) return false;
  return (static_cast<uint32_t>(RelationCode(w_, newOwner_, present)) & mask_) != 0;
}

int Capture::NeighbourPass() {
  int taken = 0;
  for (int d = 0; d < 6; ++d) {
    uint32_t at = 0;
    HexCell* n = Neighbour(position_, d, &at);
    if (!n) continue;
    const int nOwner = CellOwner(n->word);
    if (nOwner == newOwner_ || !(static_cast<uint32_t>(RelationCode(w_, newOwner_, nOwner)) & mask_)) continue;
    PlayerRecord& holder = w_.players[nOwner];
    UnitRecord* lead = Lead(*n);
    const UnitClassRecord* cls = LiveFacility(lead) ? UnitClassOf(w_, *lead) : nullptr;
    if (cls && !InReserve(*lead) && (cls->flags & kClassSettlement) && !(cls->flags & kClassExcludedKinds) &&
        cls->baseKind == 0 && cls->loadableMask != 0) {
      const int e = cls->loadableMask;
      StackSideEffects(w_, *n, 0, 0, -1);
      PostPlayerMessage(w_, holder, nOwner, kMsgSettlementTaken, nullptr,
                        MessageParams{static_cast<uint32_t>(newOwner_), static_cast<uint32_t>(lead->classIndex), at});
      for (int kind : {1, 8, 4}) QueueStackEvent(e + 1, w_, nOwner, kind, (e + 1) * 1000, at, 0);
      continue;
    }
    const CapitalPosition capital = CapitalHex(holder.simPolicy);
    if (unitbytes::PackPosition(capital.x, capital.y) == at) {
      BroadcastPlayerMessage(w_, holder, kMsgCapitalAttackedNews, kMsgCapitalAttackedNews, kMsgCapitalAttackedNews,
                             kMsgCapitalAttackedNews, nullptr,
                             MessageParams{static_cast<uint32_t>(newOwner_), static_cast<uint32_t>(nOwner), at});
      QueueStackEvent(7, w_, nOwner, 1, 10000, at, 0);
      QueueStackEvent(7, w_, nOwner, 8, 10000, at, 0);
      QueueStackEvent(6, w_, nOwner, 4, 10000, at, 0);
      continue;
    }
    if (!allowNeighbours_ || EnemyNear(*n, at) || FriendNear(at, nOwner)) continue;
    taken += CaptureHex(w_, *n, newOwner_, 0, mask_, category_, 0);
  }
  return taken;
}

// A unit able to take ground of a player the captor is at war with, on the
// hex or beside it.
bool Capture::EnemyNear(HexCell& n, uint32_t at) {
  for (int d = -1; d < 6; ++d) {
    HexCell* c = d < 0 ? &n : Neighbour(at, d);
    HexUnitStack* s = c ? LoadHexStack(*c) : nullptr;
    if (!s) continue;
    for (UnitRecord* head : s->chainA)
      for (UnitRecord* u = head; u; u = u->nextInChainA)
        if (IsUnitLive(*u) && !InReserve(*u) && RelationCode(w_, newOwner_, u->owner) == 8 &&
            UnitCanTakeGround(w_, *u))
          return true;
  }
  return false;
}

// A unit of the neighbour's owner's side beside it that can take ground and
// that the owner sees.
bool Capture::FriendNear(uint32_t at, int nOwner) {
  const PlayerRecord& holder = w_.players[nOwner];
  const uint32_t shared = uf::SharedSightMask(holder);
  const uint32_t rules = w_.scenario.head.gameFlags;
  const bool ownSight = (rules & kGameFlagFog) && (rules & kGameFlagUnitSight);
  for (int d = 0; d < 6; ++d) {
    HexCell* c = Neighbour(at, d);
    HexUnitStack* s = c ? LoadHexStack(*c) : nullptr;
    if (!s) continue;
    for (UnitRecord* head : s->chainA)
      for (UnitRecord* u = head; u; u = u->nextInChainA) {
        if (!IsUnitLive(*u) || InReserve(*u) || !UnitCanTakeGround(w_, *u)) continue;
        const int code = RelationCode(w_, nOwner, u->owner);
        if (code != 1 && code != 2) continue;
        if (ownSight && u->owner != nOwner && !(shared & Bit(u->owner)) && !(u->seenBy & (Bit(nOwner) | shared)))
          continue;
        return true;
      }
  }
  return false;
}

void Capture::StrengthCut(UnitRecord& f, int optionBit) {
  const PlayerRecord& old = w_.players[oldOwner_];
  float v = f_;
  if (optionBit >= 0 && (old.simPolicy.roeFlags & (1u << 4)) && (old.simPolicy.roescorchedtype & (1u << optionBit)))
    v = phi_;
  const float value = v * f.strength;
  f.strength = value;
  const UnitClassRecord* cls = UnitClassOf(w_, f);
  const float perPoint = cls ? cls->buildWorkPerPoint : 0.0f;
  if (value >= f.targetStrength) {
    f.orders[kPostureBits] &= ~kPostureUnderConstruction;
    f.ordersShown[kPostureBits] &= ~kPostureUnderConstruction;
    f.buildWork = 0.0f;
  } else {
    f.orders[kPostureBits] |= kPostureUnderConstruction;
    f.ordersShown[kPostureBits] |= kPostureUnderConstruction;
    f.buildWork = (f.targetStrength - value) * perPoint;
  }
}

void Capture::MoveTreasuryShare(bool withNews, bool withBase) {
  PlayerRecord& old = w_.players[oldOwner_];
  PlayerRecord& gainer = w_.players[newOwner_];
  const float value = old.treasury;
  if (!(value > 0.0f)) return;
  const float h = HexPeopleWeight(w_, cell_);
  // A region without people to share among gives the whole.
  const float part = old.population > 0.0f ? h / old.population : 1.0f;
  float share = part * value * 0.5f;
  if (withBase) share = share + value * 0.1f;
  ChargeTreasury(w_, old, Ledger::kForeignExpense, share);
  CreditTreasury(w_, gainer, Ledger::kForeignIncome, share);
  if (!withNews) return;
  const uint32_t bits = std::bit_cast<uint32_t>(share);
  PostPlayerMessage(w_, gainer, newOwner_, kMsgPopulationGained, nullptr,
                    MessageParams{static_cast<uint32_t>(oldOwner_), bits});
  PostPlayerMessage(w_, old, oldOwner_, kMsgPopulationLost, nullptr,
                    MessageParams{bits, static_cast<uint32_t>(newOwner_)});
}

void Capture::TakeFacility(UnitRecord* f, const UnitClassRecord* cls, bool closed, bool guarded) {
  PlayerRecord& old = w_.players[oldOwner_];
  PlayerRecord& gainer = w_.players[newOwner_];
  f_ = earlier_ == newOwner_ ? 0.98f : 0.9f;
  const float wsum = old.secondRating + old.militarySpendIndex;
  const float g = earlier_ == oldOwner_ ? std::max(0.5f, 1.0f - wsum / 2.0f) : std::max(0.8f, 1.0f - wsum / 10.0f);
  phi_ = std::min(f_, g);
  const bool wasActive = !InReserve(*f);
  SetStackUnitState(w_, cell_, 0, 1);

  const uint32_t flags = cls->flags;
  const uint32_t classNumber = static_cast<uint32_t>(f->classIndex);
  uint8_t& oldByte = uf::Bytes(old)[uf::kHoldOutLevel];
  uint8_t& newByte = uf::Bytes(gainer)[uf::kHoldOutLevel];
  auto holdOut = [](uint8_t& b, int delta, int limit) {
    if (delta > 0 && b < limit) b = static_cast<uint8_t>(b + delta);
    if (delta < 0 && b > limit) b = static_cast<uint8_t>(b + delta);
  };
  const CapitalPosition capital = CapitalHex(old.simPolicy);
  // A capital at (0, 0) is no capital: the corner hex is not one.
  const bool isCapital = !(capital == CapitalPosition{}) && unitbytes::PackPosition(capital.x, capital.y) == position_;

  if (isCapital) {
    if (!forced_) {
      Event(oldOwner_, 8, 10000, 7);
      Event(oldOwner_, 4, 10000, 6);
      Event(oldOwner_, 12, 10000, 6);
      if (mask_ & 8u) {
        BroadcastPlayerMessage(w_, old, kMsgCapitalFallsNews, kMsgCapitalFallsNews, kMsgCapitalFallsNews,
                               kMsgCapitalFallsNews, nullptr,
                               MessageParams{static_cast<uint32_t>(oldOwner_), position_});
        PostPlayerMessage(w_, old, oldOwner_, kMsgCapitalThreatened, nullptr,
                          MessageParams{static_cast<uint32_t>(newOwner_), position_});
        old.approval *= 0.8f;
        old.secondRating *= 0.9f;
        gainer.approval = Capped(gainer.approval * 1.1f);
        gainer.secondRating = Capped(gainer.secondRating * 1.1f);
        holdOut(oldByte, 20, 200);
        holdOut(newByte, -40, 50);
      }
    }
    MoveTreasuryShare(true, true);
  } else if (!(flags & kClassExcludedKinds) && (flags & kClassSettlement) && cls->baseKind == 0 &&
             (cls->loadableMask != 0 || (flags & (kClassAirBase | kClassHaven)))) {
    ReleaseHexReserve(w_, cell_, newOwner_);
    f->orders[kDestination] = 0;
    LeadUnitSetStateBit(w_, cell_, 1, 0);
    CountUnitOrder(w_, *f, 1);
    if (Loud()) StrengthCut(*f, 11 + ((flags & kClassHaven) ? 2 : (flags & kClassAirBase) ? 1 : 0));
    if (!IsUnitLive(*f) || f->strength < 1.0f) LeadUnitSetModeA(w_, cell_, 1, 1);
    if (Loud()) {
      f->fuel = f->ammo = f->supply = 0.0f;
      f->unitFlags &= ~kUnitFullySupplied;
      BroadcastPlayerMessage(w_, old, kMsgFacilityCapturedNews, kMsgFacilityCapturedNews, kMsgFacilityCapturedNews,
                             kMsgFacilityCapturedNews, nullptr,
                             MessageParams{static_cast<uint32_t>(newOwner_), static_cast<uint32_t>(oldOwner_),
                                           classNumber, position_});
      const int e = IsUnitLive(*f) && !InReserve(*f) ? cls->loadableMask : 0;
      Event(oldOwner_, 13, (e + 1) * 1000, e + 2);
      const float ef = static_cast<float>(e);
      old.approval *= 1.0f - ef / 100.0f;
      old.secondRating *= 0.99f - ef / 100.0f;
      gainer.approval = Capped(gainer.approval * 1.01f);
      gainer.secondRating = Capped(gainer.secondRating * 1.02f);
      holdOut(oldByte, 10, 180);
      holdOut(newByte, -20, 50);
    }
  } else if (flags & kClassProduction) {
    float values[kProducts];
    int best = -1;
    if (cf::ProductValues(*cls, values)) {
      float top = 0.0f;
      for (int k = 0; k < kProducts; ++k)
        if (values[k] > top) top = values[k], best = k;
    }
    if (Loud()) StrengthCut(*f, best);
    if (IsUnitLive(*f) && (f->orders[kPostureBits] & kPostureUnderConstruction) && (f->orders[kStateFlags] & kStateHeldSlot))
      LeadUnitSetModeA(w_, cell_, 1, 0);
    if (Loud()) {
      PostPlayerMessage(w_, old, oldOwner_, kMsgFacilityLost, nullptr,
                        MessageParams{static_cast<uint32_t>(oldOwner_), classNumber, position_,
                                      static_cast<uint32_t>(newOwner_)});
      const int t = IsUnitLive(*f) ? static_cast<int>(f->strength * 3000.0f) : 0;
      if (guarded)
        Event(oldOwner_, 7, t, t / 1000 + 2);
      else if (!closed)
        Event(oldOwner_, 14, t, t / 1000 + 1);
      holdOut(oldByte, 1, 160);
      holdOut(newByte, -2, 50);
    }
    if (wasActive) ProductShare(f, *cls, best);
  } else if (flags & kClassSettlementPopulation) {
    if (Loud()) {
      BroadcastPlayerMessage(w_, old, kMsgPopulationFledNews, kMsgPopulationFledNews, kMsgPopulationFledNews,
                             kMsgPopulationFledNews, nullptr,
                             MessageParams{static_cast<uint32_t>(oldOwner_), classNumber, position_,
                                           static_cast<uint32_t>(newOwner_)});
      float x = cls->reach;
      if (earlier_ == oldOwner_) {
        const float m = IsUnitLive(*f) ? f->morale : old.efficiency;
        x = std::min(1.0f, 0.2f * m + x);
      }
      const int ms = static_cast<int>(x * 9000.0f);
      Event(oldOwner_, 12, ms, ms / 1000 + 1);
      old.approval *= 0.995f - x / 100.0f;
      old.secondRating *= 0.99f - x / 100.0f;
      if (earlier_ == newOwner_) {
        const float m = IsUnitLive(*f) ? f->morale : gainer.efficiency;
        x = std::min(1.0f, m + x);
      }
      if (gainer.approval < 0.75f) gainer.approval = Capped(gainer.approval * (1.0f + x / 100.0f));
      gainer.secondRating = Capped(gainer.secondRating * (1.01f + x / 100.0f));
      holdOut(oldByte, 1, 200);
      holdOut(newByte, -2, 50);
    }
    MoveTreasuryShare(false, false);
  } else {
    if (Loud()) {
      float v = (flags & kClassRoad) ? 1.0f : f_;
      int bit = -1;
      switch (f->classIndex) {
        case 4036:
        case 4048: bit = 11; break;
        case 4037: bit = 15; break;
        case 4038: bit = 14; break;
        case 4039: bit = 18; break;
        case 4046: bit = 16; break;
        case 4047: bit = 17; break;
        case 4127: bit = 19; break;
        default: break;
      }
      if (bit >= 0 && (old.simPolicy.roeFlags & (1u << 4)) && (old.simPolicy.roescorchedtype & (1u << bit))) v = phi_;
      if (v < 1.0f) f->strength = v * f->strength;
    }
    if (!IsUnitLive(*f) || f->strength < 1.0f) LeadUnitSetModeA(w_, cell_, 1, 1);
    if (Loud()) {
      int b = 0;
      if (HexUnitStack* s = LoadHexStack(cell_); s && s->extra)
        for (int i = 0; i < 2; ++i)
          if (HexSlotSimFlags(*s->extra, i) & kSlotInUse) b += 500;
      if (guarded && b == 0)
        Event(oldOwner_, 7, 2500, 2);
      else if (!closed)
        Event(oldOwner_, 15, 1000 + b, (1000 + b) / 1000 + 1);
    }
  }

  if (IsUnitLive(*f)) SetStateBit30(w_, *f, 1, 0);
  LeadUnitSetModeC(w_, cell_, 1, 0, 0);
  SetStackUnitState(w_, cell_, 1, 1);
}

void Capture::ProductShare(UnitRecord* f, const UnitClassRecord& cls, int best) {
  float o[kProducts];
  if (!cf::ProductValues(cls, o)) return;
  PlayerRecord& old = w_.players[oldOwner_];
  PlayerRecord& gainer = w_.players[newOwner_];
  const TerrainRecord* own = TerrainOf(w_, cell_);
  if (!own) return;
  float s[kProducts] = {};
  for (int k = 0; k < 8; ++k) {
    float sum = 2.0f * cf::TerrainSpill(*own, k);
    for (int d = 0; d < 6; ++d)
      if (HexCell* n = Neighbour(position_, d))
        if (const TerrainRecord* t = TerrainOf(w_, *n)) sum += cf::TerrainSpill(*t, k);
    s[k] = sum / 8.0f;
  }
  bool noOwnUse = false;
  if (HexUnitStack* st = LoadHexStack(cell_); st && st->extra) noOwnUse = (HexSlotSimFlags(*st->extra, 0) & kSlotNoYield) != 0;
  float m = 1.0f;
  if (f->classIndex >= 4024 && f->classIndex <= 4047) m = w_.techEffects[oldOwner_][f->classIndex - 3988];
  auto worldFloat = [&](size_t at) {
    return at + 4 <= w_.worldEconomy.size() ? le::LoadF32(w_.worldEconomy.data() + at) : 0.0f;
  };
  const float G = worldFloat(kWorldGoodsScale);
  float Q = 0.0f, P = 0.0f;
  for (int k = 0; k < kProducts; ++k) {
    const float resource = cf::TerrainResource(*own, k);
    const float a = resource > s[k] ? resource : std::min(s[k], 1.0f);
    const float b = noOwnUse ? 0.0f : resource;
    const float W = worldFloat(kWorldProductBytes * static_cast<size_t>(k) + product::kWorldOutputWeight);
    const float u = std::min(((cls.flags & kClassFullAvailability) ? 1.0f : a) - b, std::min(m * o[k], 1.0f));
    Q += G * o[k] * W * m;
    P += G * u * W;
  }
  const float S = f->strength;
  float r = S;
  if (Q * S > P) r = (P / (Q * S)) * S;
  const float level = index_ < w_.cellBytes.size() ? static_cast<float>(w_.cellBytes[index_]) : 0.0f;
  const float l = earlier_ == oldOwner_ ? (IsUnitLive(*f) ? f->morale : old.efficiency) : 0.0f;
  float V = ((level / 125.0f + l + 1.0f) / 3.0f) * (r - (1.0f - r) * r * 0.3f) * Q;
  if (best >= 0)
    V = V * uf::ProductReal(old, best, kProductEfficiencyAt) * w_.techEffects[oldOwner_][kTechValueFactors + best];
  const int k = best >= 0 ? best : 0;
  const float R = uf::ProductReal(old, k, kProductOutputAt);
  const float T = uf::ProductReal(old, k, kProductStockAt);
  if (R > 0.0f && V > 0.0f && T > 0.0f) {
    const float moved = V / (V + R) * T * 0.9f;
    uf::SetProductReal(old, k, kProductStockAt, T - moved);
    uf::SetProductReal(gainer, k, kProductStockAt, uf::ProductReal(gainer, k, kProductStockAt) + moved);
  }
}

void Capture::Finish(UnitRecord* f) {
  PlayerRecord& old = w_.players[oldOwner_];
  PlayerRecord& gainer = w_.players[newOwner_];
  HexUnitStack* stack = LoadHexStack(cell_);
  if (HexExtra* e = stack ? stack->extra : nullptr) {
    for (int i = 0; i < 2; ++i) {
      uint8_t& sim = HexSlotSimFlags(*e, i);
      if (!(sim & kSlotInUse)) continue;
      sim &= static_cast<uint8_t>(~(kSlotRemoving | kSlotHeld));
      if (HexSlotProgress(*e, i) < 1.0f) sim |= kSlotBuilding;
      uint8_t& pending = HexPendingCount(*e);
      if (pending > 0) --pending;
      if (pending == 0)
        for (int j = 0; j < 2; ++j) HexSlotDisplayFlags(*e, j) = HexSlotSimFlags(*e, j);
    }
  }

  const uint8_t level = index_ < w_.cellBytes.size() ? w_.cellBytes[index_] : 0;
  const float v = static_cast<float>(level);
  const float supply = std::min(v, uf::SupplyStock(old));
  if (supply > 0.0f) {
    uf::SetSupplyStock(old, std::max(0.0f, uf::SupplyStock(old) - supply));
    uf::SetSupplyStock(gainer, uf::SupplyStock(gainer) + supply);
  }
  const float fuel = std::min(4.0f * v, uf::FuelStock(old));
  if (fuel > 0.0f) {
    uf::SetFuelStock(old, std::max(0.0f, uf::FuelStock(old) - fuel));
    uf::SetFuelStock(gainer, uf::FuelStock(gainer) + fuel);
  }

  const float p = HexPeopleWeight(w_, cell_);
  const float total = gainer.population;
  // Without people on either side the average stays as it is.
  if (p + total != 0.0f)
    gainer.gdpPerCapita = ((gainer.gdpPerCapita * total + old.gdpPerCapita * p) / (p + total) + gainer.gdpPerCapita) / 2.0f;
  gainer.population = total + p;
  const float s = p >= old.population ? 1.0f : p / old.population;
  old.soldiers = std::max(0.0f, old.soldiers - s * old.soldiers);
  old.population = std::max(1.0f, old.population - p);

  if (index_ < w_.cellBytes.size()) w_.cellBytes[index_] = 1;
  cell_.word &= ~3u;
  RecomputeHexMarks(w_, cell_);

  ++count_;
  ApplyPlayerGainLoss(old, -1);
  ApplyPlayerGainLoss(gainer, 1);
  StoreCellOwner(cell_, newOwner_);

  if (!f) return;
  f->owner = static_cast<uint8_t>(newOwner_);
  NoteUnitOwnerChange(w_);
  f->controller = static_cast<uint8_t>(newOwner_);
  AppendUnitPtr(w_, kUnitTableOnMap, newOwner_, kUnitCategoryFacility, *f);
  if (IsUnitLive(*f)) {
    UnitSetStateBits(w_, *f, 1, kStateDeployDue, 0);
    CountUnitOrder(w_, *f, 1);
    f->orders[kDestination] = 0;
  }
  SetStackUnitState(w_, cell_, 0, 0);
  SetStackUnitState(w_, cell_, 1, 0);
  f->ordersShown = f->orders;
}

}  // namespace

int RelationCode(const World& world, int a, int b) {
  if (a == b) return 1;
  const PlayerRecord& r = world.players[a & 31];
  if (r.simPolicy.hostileMask & Bit(b)) return 8;
  if (r.simPolicy.friendlyMask & Bit(b)) return 2;
  return 4;
}

void ApplyPlayerGainLoss(PlayerRecord& region, int amount) {
  const size_t stats = amount < 0 ? uf::kHexLossStats : uf::kHexGainStats;
  const int magnitude = amount < 0 ? -amount : amount;
  for (int i = 0; i < 3; ++i) uf::SetInt(region, stats + 4 * i, uf::Int(region, stats + 4 * i) + magnitude);
  region.hexCount = std::max(0, region.hexCount + amount);
}

bool UnitCanTakeGround(World& world, const UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls || (cls->flags & kClassNeverSurrenders)) return false;
  const int kind = cls->kind;
  const bool attacks = (kind == 0 && (cls->attackValues[0] || cls->attackValues[1])) ||
                       (kind == 2 && cls->attackValues[6]);
  if (!attacks) return false;
  if ((unit.orders[kOrdersHeader] & kHeaderNoCapture) && !(unit.orders[kOrderFlags] & kOrderTakeGround))
    return false;
  if (unit.ammo < cls->ammoPerShot * unit.strength / 4.0f) {
    HexCell* cell = UnitHexCell(world, unit);
    if (!cell || CellOwner(cell->word) != unit.owner) return false;
  }
  return true;
}

int CaptureHex(World& world, HexCell& cell, int newOwner, int allowNeighbours, uint32_t relationMask,
               int category, int forced) {
  if (newOwner < 0 || newOwner >= kMaxPlayers) return 0;
  if (world.cells.empty() || &cell < world.cells.data() || &cell >= world.cells.data() + world.cells.size()) return 0;
  Capture capture(world, cell, newOwner, allowNeighbours, relationMask, category, forced);
  return capture.Run();
}
