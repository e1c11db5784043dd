#include "sim/diplomatic_offer.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "app/app_object.h"
#include "app/calendar.h"
#include "app/list_node.h"
#include "app/log.h"
#include "sim/dip_offer.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/policy_block_fields.h"
#include "sim/relations.h"
#include "sim/sim_ui_link.h"
#include "units/unit_command_handlers.h"
#include "units/unit_deploy.h"
#include "units/unit_transfer.h"
#include "world/day_tallies.h"
#include "world/unit_ring.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/id_lookups.h"
#include "records/le_bytes.h"
#include "world/recurring_item.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {



int RecordIndex(const World& world, const PlayerRecord& record) {
  const auto index = &record - world.players;
  return index >= 0 && index < kMaxPlayers ? static_cast<int>(index) : -1;
}

float& Stock(PlayerRecord& record, int product) {
  return *reinterpret_cast<float*>(record.products[product].bytes + kProductStockAt);
}

bool TreatyDefined(World& world, int t) {
  const TreatyTypeEntry* entry = TreatyType(RuleTablesOf(world).rTreatyTypes, t);
  return entry && entry->name;
}

int DayOfYear(uint32_t day) {
  GameDate date;
  date.dayNumber = static_cast<int32_t>(day);
  DayNumberToDate(date);
  GameDate first = date;
  first.month = 1;
  first.day = 1;
  DateToDayNumber(first);
  return date.dayNumber - first.dayNumber + 1;
}

void LinkRecurringItem(World& world, RecurringItem* item) {
  WorldLockGuard hold(world, kLockRecurring);
  if (world.recurringItems)
    world.recurringItems->Append(item);
  else
    world.recurringItems = item;
}

// A repeated payment or delivery: the first one is made at once, the rest
// fall due by the item's period.
void CreateRepeats(World& world, PlayerRecord& giver, int receiver, const DealItem& deal) {
  if (deal.frequency == 0 || deal.paymentCount == 1) return;
  RecurringItem* item = NewZeroed<RecurringItem>();
  if (!item) return;
  const uint32_t today = world.gameState.currentDay;
  RecurringFields f{};
  f.kind = 0;
  f.payer = static_cast<uint8_t>(RecordIndex(world, giver));
  f.payee = static_cast<uint8_t>(receiver);
  f.serial = static_cast<uint16_t>(giver.itemSerial);
  giver.itemSerial = static_cast<int16_t>(giver.itemSerial + 1);
  f.periodKind = deal.frequency;
  switch (deal.frequency) {
    case kPeriodWeekly: f.dueDay = static_cast<uint8_t>((today + 2) % 7 + 1); break;
    case kPeriodMonthly: {
      GameDate date;
      date.dayNumber = static_cast<int32_t>(today);
      DayNumberToDate(date);
      f.dueDay = date.day;
      break;
    }
    case kPeriodYearly: f.dueDay = static_cast<uint8_t>(std::min(DayOfYear(today), 365)); break;
    default: f.dueDay = 1; break;
  }
  f.paymentsLeft = static_cast<int16_t>(deal.paymentCount > 1 ? deal.paymentCount - 1 : 0);
  f.product = deal.product;
  f.flags = deal.goods() ? kRecurringGoods : 0;
  f.installment = deal.amount;
  f.startDay = today;
  f.globalSerial = ++world.players[0].commandCounter;
  StoreRecurringFields(*item, f);
  LinkRecurringItem(world, item);
}

// A cancelled item must still run and be one between the two players of the
// deal: an offer cannot end a third party's contract.
RecurringItem* CancellableItem(World& world, const DealItem& deal, int giver, int receiver) {
  RecurringItem* item = FindRecurringItemById(world, deal.id);
  if (!item) return nullptr;
  const RecurringFields f = LoadRecurringFields(*item);
  if (f.kind == kRecurringFinished) return nullptr;
  const bool between = (f.payer == giver && f.payee == receiver) || (f.payer == receiver && f.payee == giver);
  return between ? item : nullptr;
}

// The check takes each item from what the items before it left, as the
// apply pass will: two payments that each fit the treasury but not together
// fail the check, so the apply pass never stops half-way.
int DealItems(World& world, PlayerRecord& giver, int g, const OfferItemGroup& group, int receiver, bool checkOnly) {
  PlayerRecord& to = world.players[receiver];
  float money = giver.treasury;
  std::array<float, kProductCount> stock{};
  for (int p = 0; p < kProductCount; ++p) stock[static_cast<size_t>(p)] = Stock(giver, p);
  for (const DealItem& deal : group.dealItems) {
    const int failure = deal.goods() ? kOfferFailProduct : kOfferFailMoney;
    if (deal.id != 0) {
      RecurringItem* item = CancellableItem(world, deal, g, receiver);
      if (!item) return failure;
      if (!checkOnly) {
        RecurringFields f = LoadRecurringFields(*item);
        f.kind = kRecurringFinished;
        StoreRecurringFields(*item, f);
      }
      continue;
    }
    if (deal.goods()) {
      if (deal.product >= kProductCount) return failure;
      float& left = stock[deal.product];
      if (left < deal.amount) return failure;
      left -= deal.amount;
      if (!checkOnly) {
        Stock(giver, deal.product) -= deal.amount;
        Stock(to, deal.product) += deal.amount;
      }
    } else {
      if (money < deal.amount) return failure;
      money -= deal.amount;
      if (!checkOnly) {
        ChargeTreasury(world, giver, Ledger::kForeignExpense, deal.amount);
        CreditTreasury(world, to, Ledger::kForeignIncome, deal.amount);
      }
    }
    if (!checkOnly) CreateRepeats(world, giver, receiver, deal);
  }
  return kOfferGroupGiven;
}

bool HeldOffMap(const UnitRecord& unit) { return (unit.unitFlags & kUnitStock) != 0; }

// A unit given by a deal stays where it stands; its ratings go with the old
// owner.
void HandOverUnit(World& world, UnitRecord& unit, int receiver) { TransferUnit(world, unit, receiver, 1, 0); }

// Part of the strength of a unit held off the map: the receiver gets a unit
// like it, of that strength, under the command's sequence word (made the
// same way on every peer).
void HandOverStrength(World& world, UnitRecord& unit, int receiver, float quantity, uint32_t sequence) {
  if (FindUnitById(world, sequence)) {
    LogWrite(g_platform, "Offer: unit %u keeps its strength, id %u is taken\n", unit.id, sequence);
    return;
  }
  auto* made = new UnitRecord{};
  static_cast<UnitImage&>(*made) = static_cast<const UnitImage&>(unit);
  made->prevSlot = made->nextSlot = 0;
  for (size_t offset : kUnitLinkOffsets) UnitLinkWord(*made, offset) = 0;
  made->routeSlot = made->route2Slot = 0;
  made->chainASlot = made->chainBSlot = 0;
  made->customNameSlot = 0;
  made->savedSelf = 0;
  made->tableEntrySlot = 0;
  made->pendingOrders = 0;
  made->id = sequence;
  made->owner = made->controller = static_cast<uint8_t>(receiver);
  made->strength = quantity;
  made->targetStrength = quantity;
  unit.strength -= quantity;
  unit.targetStrength = std::max(unit.targetStrength - quantity, 0.0f);
  {
    WorldLockGuard guard(world, kLockUnits);
    InsertUnitInRing(world, *made);
    NoteUnitLiveChange(world, *made, false);
  }
  ScheduleUnit(world, *made, 1);
}

int Units(World& world, int g, const OfferItemGroup& group, int receiver, bool checkOnly, uint32_t sequence) {
  for (const OfferUnit& entry : group.units) {
    UnitRecord* unit = FindUnitById(world, entry.unitId);
    if (!unit || !IsUnitLive(*unit) || unit->owner != g) return kOfferFailUnit;
    const float quantity = entry.quantity;
    if (HeldOffMap(*unit) && unit->strength < quantity) return kOfferFailUnit;
    if (checkOnly) continue;
    if (!HeldOffMap(*unit) || quantity == 0.0f || quantity >= unit->strength)
      HandOverUnit(world, *unit, receiver);
    else
      HandOverStrength(world, *unit, receiver, quantity, sequence);
  }
  return kOfferGroupGiven;
}

HexCell* AreaCell(World& world, uint32_t packed) {
  const int32_t width = world.mapWidth;
  const int32_t x = static_cast<int16_t>(packed & 0xFFFFu);
  const int32_t y = static_cast<int16_t>(packed >> 16);
  if (width <= 0 || y < 0 || y >= world.mapHeight ||
      world.cells.size() != static_cast<size_t>(width) * static_cast<size_t>(world.mapHeight))
    return nullptr;
  return &world.cells[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(WrapX(x, width))];
}

int Areas(World& world, int g, const OfferItemGroup& group, int receiver, bool checkOnly) {
  for (int n = 0; n < kAreaTags; ++n) {
    if (!(group.areaMask & (1u << n))) continue;
    for (uint32_t packed : group.areas[n]) {
      if (packed == 0) break;  // a tag's list ends at its first empty entry
      HexCell* cell = AreaCell(world, packed);
      if (!cell || CellOwner(cell->word) != g) {
        // A hex handed over by an earlier tag of the same group is the receiver's now.
        if (!checkOnly && cell && CellOwner(cell->word) == receiver) continue;
        return kOfferFailArea;
      }
      if (checkOnly) continue;
      std::atomic_ref<uint32_t> word(cell->word);
      uint32_t old = word.load(std::memory_order_relaxed);
      while (!word.compare_exchange_weak(old, WithCellOwner(old, receiver), std::memory_order_relaxed)) {
      }
      PlayerRecord& from = world.players[g];
      if (from.hexCount > 0) --from.hexCount;
      ++world.players[receiver].hexCount;
    }
  }
  return kOfferGroupGiven;
}

int Discoveries(World& world, int g, const OfferItemGroup& group, int receiver, bool checkOnly) {
  for (int32_t tech : group.discoveries) {
    PlayerTechState* from = TechRow(world, g);
    PlayerTechState* to = TechRow(world, receiver);
    if (!from || !to || tech < 0 || tech >= world.gameState.techCount || from[tech].known == 0)
      return kOfferFailDiscovery;
    if (checkOnly) continue;
    if (to[tech].known == 0) to[tech].known = 2;
    to[tech].projectFlags &= static_cast<uint8_t>(~(kRowProjectOpen | kRowProjectHeld));
  }
  return kOfferGroupGiven;
}

int Designs(World& world, int g, const OfferItemGroup& group, int receiver, bool checkOnly) {
  for (int32_t design : group.designs) {
    uint8_t* from = DesignRow(world, g);
    uint8_t* to = DesignRow(world, receiver);
    if (!from || !to || design < 0 || design >= world.gameState.designRowBytes || !(from[design] & 1u))
      return kOfferFailDesign;
    if (!checkOnly) to[design] |= 1u;
  }
  return kOfferGroupGiven;
}

}  // namespace

int ApplyOfferGroup(World& world, PlayerRecord& giver, const OfferItemGroup& group, int receiver, bool checkOnly,
                    uint32_t sequence) {
  const int g = RecordIndex(world, giver);
  if (g < 0 || receiver < 0 || receiver >= kMaxPlayers) return kOfferFailTreaty;
  for (int t = 1; t < kAgreementTypes; ++t) {
    const uint8_t asked = group.agreements[t];
    if (asked == 0 || !TreatyDefined(world, t)) continue;
    const bool on = (TreatyMask(giver.simPolicy, t) & (1u << receiver)) != 0;
    const bool wantOn = static_cast<int8_t>(asked) > 0;
    if (checkOnly) {
      if (on == wantOn) return kOfferFailTreaty;
    } else {
      SetTreaty(giver, 1, t, wantOn, receiver, true, true);
    }
  }
  int result = DealItems(world, giver, g, group, receiver, checkOnly);
  if (result != kOfferGroupGiven) return result;
  result = Units(world, g, group, receiver, checkOnly, sequence);
  if (result != kOfferGroupGiven) return result;
  result = Areas(world, g, group, receiver, checkOnly);
  if (result != kOfferGroupGiven) return result;
  result = Discoveries(world, g, group, receiver, checkOnly);
  if (result != kOfferGroupGiven) return result;
  return Designs(world, g, group, receiver, checkOnly);
}

void ProcessDiplomaticOffer(World& world, int pass, PlayerRecord& receiver, int offeringPlayer, const char* offerText,
                            uint32_t sequence) {
  if (pass != 1) return;
  const int r = RecordIndex(world, receiver);
  if (r < 0 || offeringPlayer < 0 || offeringPlayer >= kMaxPlayers || offeringPlayer == r) return;
  PlayerRecord& offering = world.players[offeringPlayer];
  if (!TakesPart(offering)) return;

  DipOffer offer;
  ParseDipOffer(world, offerText, offer, false, false);
  const uint32_t bit = 1u << offeringPlayer;
  const auto who = static_cast<uint32_t>(offeringPlayer);
  if (!(offer.flags & kOfferWhileHostile) && !(receiver.simPolicy.friendlyMask & bit) &&
      (receiver.simPolicy.hostileMask & bit)) {
    PostPlayerMessage(world, receiver, r, kMsgOfferHostile, nullptr, MessageParams{who});
    return;
  }
  if (offer.expiryDay < world.gameState.currentDay) {
    PostPlayerMessage(world, receiver, r, kMsgOfferExpired, offerText, MessageParams{who});
    return;
  }

  const int r1 = ApplyOfferGroup(world, receiver, offer.requested, offeringPlayer, true, sequence);
  const int r2 = ApplyOfferGroup(world, offering, offer.offered, r, true, sequence);
  if (r1 == kOfferGroupGiven && r2 == kOfferGroupGiven) {
    ApplyOfferGroup(world, receiver, offer.requested, offeringPlayer, false, sequence);
    ApplyOfferGroup(world, offering, offer.offered, r, false, sequence);
    DeliverPlayerMessage(world, receiver, kMsgOfferDone, r, nullptr, MessageParams{who});
    DeliverPlayerMessage(world, offering, kMsgOfferDone, offeringPlayer, nullptr,
                         MessageParams{static_cast<uint32_t>(r)});
    receiver.diplomaticRelation[offeringPlayer] += 0.05f;
    receiver.belligerence[offeringPlayer] *= 0.98f;
    offering.diplomaticRelation[r] += 0.05f;
    offering.belligerence[r] *= 0.98f;
    if (g_simUi.requestRedraw) g_simUi.requestRedraw();
    return;
  }
  if (r1 >= 0)
    DeliverPlayerMessage(world, receiver, kMsgOfferItemFailed, r, nullptr,
                         MessageParams{who, static_cast<uint32_t>(r1)});
  else
    DeliverPlayerMessage(world, receiver, kMsgOfferOtherFailed, r, nullptr, MessageParams{who});
  if (r2 >= 0)
    DeliverPlayerMessage(world, offering, kMsgOfferItemFailed, offeringPlayer, nullptr,
                         MessageParams{static_cast<uint32_t>(r), static_cast<uint32_t>(r2)});
  else
    DeliverPlayerMessage(world, offering, kMsgOfferOtherFailed, offeringPlayer, nullptr,
                         MessageParams{static_cast<uint32_t>(r)});
}
