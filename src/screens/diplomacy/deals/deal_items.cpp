#include "screens/diplomacy/deals/deal_items.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "app/number_text.h"
#include "records/hex_cell.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/unit_class_query.h"
#include "sim/offer_description.h"
#include "sim/policy_block_fields.h"
#include "sim/simulation_lock.h"
#include "ui/list_control.h"
#include "world/local_player.h"
#include "units/unit_queries.h"
#include "world/id_lookups.h"
#include "world/recurring_item.h"
#include "world/record_helpers.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/world.h"

namespace {

// Parents are followed at most this far: a table whose parents form a
// cycle would otherwise never end the walk.
constexpr int kParentSteps = 127;
constexpr int kGoodsRows = 11;       // products 0..10
constexpr int kUnlistedProduct = 7;  // not traded in deals

const TreatyTypeEntry* Agreement(int index) {
  const TreatyTypeEntry* entry = TreatyType(g_ruleTables.rTreatyTypes, index);
  return entry && entry->name ? entry : nullptr;
}

bool InForce(const World& world, int index, int32_t giver, int32_t receiver) {
  if (!IsPlayerSlot(giver) || !IsPlayerSlot(receiver)) return false;
  return (TreatyMask(world.players[giver].displayPolicy, index) & (1u << static_cast<unsigned>(receiver))) != 0;
}

int TechCount(const World& world) { return static_cast<int>(world.techs.size()); }

// Prerequisite indexes outside [1, count) name no technology.
bool TechInRange(const World& world, int tech) { return tech >= 1 && tech < TechCount(world); }

bool TechExists(const World& world, int tech) {
  return TechInRange(world, tech) && world.techs[static_cast<size_t>(tech)].category != 0;
}

bool Tradeable(const World& world, int tech) { return (world.techs[static_cast<size_t>(tech)].flags & 1u) != 0; }

bool Knows(const World& world, int32_t player, int tech) {
  if (!IsPlayerSlot(player) || !TechInRange(world, tech) || tech >= world.gameState.techCount) return false;
  const PlayerTechState* row = TechRow(world, world.players[player].number);
  return row && row[tech].known != 0;
}

// Whether the receiver could take the prerequisite along.
bool PrerequisiteAllows(const World& world, int32_t receiver, int p) {
  if (p == 0 || !TechInRange(world, p)) return true;
  if (!Tradeable(world, p) && TechExists(world, p) && !Knows(world, receiver, p)) return false;
  return TechPrereqsMet(world, IsPlayerSlot(receiver) ? world.players[receiver].number : 0, p, true) != 0;
}

const UnitClassRecord* ClassAt(const World& world, int32_t index) {
  return index > 0 && static_cast<size_t>(index) < world.unitClasses.size()
             ? &world.unitClasses[static_cast<size_t>(index)]
             : nullptr;
}

std::string ClassName(const UnitClassRecord& c) { return std::string(c.name, strnlen(c.name, sizeof c.name)); }

bool IsMissileClass(const UnitClassRecord& c) { return (c.flags & kClassStock) != 0; }

Control* AddRow(ListBoxControl* list, DealRows& rows, const std::string& text, int32_t rowId, DealRow row,
                uint32_t colour = kDealRowColour) {
  rows.Add(rowId, row);
  if (!list) return nullptr;
  Control* added = ListAddString(list, text.c_str(), rowId, static_cast<intptr_t>(row.item),
                                 static_cast<uint32_t>(text.size() + 1), 0, 0);
  if (auto* s = static_cast<StringControl*>(added)) s->textColour = s->selectedTextColour = colour;
  return added;
}

void AddDisabledRow(ListBoxControl* list, const char* text) {
  if (!list) return;
  if (Control* row = ListAddString(list, text, 0, 0, static_cast<uint32_t>(std::strlen(text) + 1), 0, 0))
    row->state |= kStateDisabled;
}

int64_t TagHexCount(const World& world, int tag) {
  const uint32_t bit = 1u << (16 + tag);
  return std::count_if(world.cells.begin(), world.cells.end(), [&](const HexCell& c) { return (c.word & bit) != 0; });
}

std::string LandTagText(const World& world, int tag, int64_t hexes) {
  // Square kilometres in 64 bits: a large map of large hexes overflows 32.
  const int64_t side = static_cast<int64_t>(world.mapHeader.hexScale);
  char text[96];
  std::snprintf(text, sizeof text, "Land Tag %d (%lld sq km) (%lld)", tag + 1, static_cast<long long>(hexes * side * side),
                static_cast<long long>(hexes));
  return text;
}

uint32_t TagColour(int tag) { return g_uiOptions.playercolor[tag + 1]; }

struct ShownDeal {
  bool goods;
  int frequency, count, product;
  float amount, arrears;
};

ShownDeal Shown(World& world, const DealItem& item) {
  if (item.id != 0)
    if (const RecurringItem* r = FindRecurringItemById(world, item.id)) {
      const RecurringFields f = LoadRecurringFields(*r);
      return {(f.flags & kRecurringGoods) != 0, f.periodKind, f.paymentsLeft, f.product, f.amount, f.arrears};
    }
  return {item.goods(), item.frequency, item.paymentCount, item.product, item.amount, item.arrears};
}

std::string AmountText(const ShownDeal& d, float amount) {
  char out[kNumberTextSize];
  if (d.goods) {
    // The product's name and its unit each stand a space off the figure.
    const std::string product = std::string(TextListText(kListProdtabs, d.product)) + " ";
    const std::string unit = " " + std::string(TextListText(kListProdunits, d.product));
    FormatNumberText(out, 0, 0, product.c_str(), 0, unit.c_str(), 0, amount);
  } else
    FormatNumberText(out, 1, 0, "", 1, "", 0, amount);
  return out;
}

std::string DealLine(World& world, const DealItem& item) {
  const ShownDeal d = Shown(world, item);
  std::string text = item.id != 0 ? "CANCEL " : "";
  if (d.count != 0 && d.frequency != 0) text += std::to_string(d.count) + "x ";
  text += TextListText(kListPayfrequency, d.frequency);
  text += " " + AmountText(d, d.amount);
  if (d.arrears != 0.0f) text += " Arrears " + AmountText(d, d.arrears);
  return text;
}

void Relayout(ListBoxControl* list, int32_t keptId, int32_t keptScroll) {
  if (!list) return;
  ListLayoutRows(list);
  ListSetSelection(0, list, keptId, 0);
  list->scrollOffset = keptScroll;
}

void UnitCatalogue(World& world, int32_t kind, ListBoxControl* list, const OfferItemGroup& group, DealRows& rows) {
  ListHolder units{};
  CollectUnitsArgs args;
  args.resultList = &units;
  args.stock = kind == kDealMissiles ? 1 : 0;
  args.viewingPlayer = LocalPlayerIndex(world);
  if (args.viewingPlayer < 0) return;
  args.relationMask = 1;  // own units
  CollectUnits(world, args);
  for (ListItem28* ref = units.first ? static_cast<ListItem28*>(units.first) : nullptr; ref;) {
    ListItem28* next = NextInHolder(units, ref);
    const UnitRecord* unit = RefUnit(world, *ref);
    if (!unit || group.HasUnit(unit->id)) {
      delete ref;  // unlinks it
      if (units.first == ref) units.first = next;
      --units.count;
    } else {
      rows.Add(static_cast<int32_t>(unit->id), DealRow{kind, unit->id});
    }
    ref = next;
  }
  if (list) FillUnitList(world, list, units, false, false, 0);
  if (rows.rows.empty()) AddDisabledRow(list, kind == kDealReserveUnit ? "No Reserves" : "None Available");
  ListHolderClear(units);
}

void DesignCatalogue(World& world, ListBoxControl* list, int32_t giver, int32_t receiver, const OfferItemGroup& group,
                     DealRows& rows) {
  std::vector<int32_t> designs;
  CollectUnitClasses(world, giver, 0, 0, designs);
  const int receiverNumber = IsPlayerSlot(receiver) ? world.players[receiver].number : 0;
  std::erase_if(designs, [&](int32_t index) {
    const UnitClassRecord* c = ClassAt(world, index);
    if (!c || group.HasDesign(index) || (ClassAvailabilityByte(world, receiverNumber, index) & 1u)) return true;
    for (int16_t p : c->requiredTechs) {
      if (p == 0 || !TechInRange(world, p) || Tradeable(world, p)) continue;
      for (int16_t q : world.techs[static_cast<size_t>(p)].prerequisites)
        if (!PrerequisiteAllows(world, receiver, q)) return true;
    }
    return false;
  });
  for (bool missiles : {false, true})
    for (int32_t index : designs) {
      const UnitClassRecord& c = *ClassAt(world, index);
      if (IsMissileClass(c) != missiles) continue;
      AddRow(list, rows, (missiles ? "Mis Design: " : "Unit Design: ") + ClassName(c), index, DealRow{kDealDesign,
             static_cast<uint32_t>(index)});
    }
}

void AddTechnology(World& world, OfferItemGroup& group, int tech, int32_t receiver) {
  if (!TechInRange(world, tech) || group.HasDiscovery(tech)) return;
  group.discoveries.push_back(tech);
  for (int16_t p : world.techs[static_cast<size_t>(tech)].prerequisites)
    if (TechExists(world, p) && !Knows(world, receiver, p)) AddTechnology(world, group, p, receiver);
}

void RemoveTechnology(World& world, OfferItemGroup& group, int tech) {
  const auto at = std::find(group.discoveries.begin(), group.discoveries.end(), tech);
  if (at == group.discoveries.end()) return;
  group.discoveries.erase(at);
  const std::vector<int32_t> kept = group.discoveries;
  for (int32_t other : kept) {
    if (!TechInRange(world, other)) continue;
    const auto& needs = world.techs[static_cast<size_t>(other)].prerequisites;
    if (needs[0] == tech || needs[1] == tech) RemoveTechnology(world, group, other);
  }
  std::erase_if(group.designs, [&](int32_t design) {
    const UnitClassRecord* c = ClassAt(world, design);
    if (!c || (c->flags & (kClassObsolete | kClassFacility))) return false;
    return c->requiredTechs[0] == tech || c->requiredTechs[1] == tech;
  });
}

}  // namespace

const DealRow* DealRows::Find(int32_t rowId) const {
  if (rowId == 0) return nullptr;
  for (const auto& [id, row] : rows)
    if (id == rowId) return &row;
  return nullptr;
}

void FillDealTemplates(DealTemplates& templates) {
  for (int j = 0; j < kDealFrequencies; ++j) {
    DealItem& item = templates.payments[static_cast<size_t>(j)];
    item = DealItem{};
    item.frequency = static_cast<uint8_t>(j);
    item.paymentCount = static_cast<int16_t>(DefaultPaymentCount(j));
  }
  for (int p = 0; p < kDealProducts; ++p) {
    DealItem& item = templates.goods[static_cast<size_t>(p)];
    item = DealItem{};
    item.paymentCount = 1;
    item.flags = 1u;
    item.product = static_cast<uint8_t>(p);
  }
}

DealItem* DealTemplate(DealTemplates& templates, int32_t kind, uint32_t item) {
  if (kind == kDealPayment && item < templates.payments.size()) return &templates.payments[item];
  if (kind == kDealGoods && item < templates.goods.size()) return &templates.goods[item];
  return nullptr;
}

int32_t DealQuantityOf(float strength) {
  const float rounded = std::isfinite(strength) ? std::round(strength) : 1.0f;
  return static_cast<int32_t>(std::clamp(rounded, 1.0f, static_cast<float>(kDealQuantityCap)));
}

bool AgreementInGroup(const OfferItemGroup& group, int32_t index) {
  for (int step = 0; step < kParentSteps && index > 0 && index < kAgreementTypes; ++step) {
    if (group.agreements[static_cast<size_t>(index)] != 0) return true;
    const TreatyTypeEntry* entry = TreatyType(g_ruleTables.rTreatyTypes, index);
    if (!entry) return false;
    index = entry->kind;
  }
  return false;
}

void FillDealCatalogue(World& world, int32_t kind, ListBoxControl* list, int32_t other, int32_t side,
                       const OfferItemGroup& group, DealRows& rows) {
  const int32_t keptId = list ? list->selectedId : 0;
  const int32_t keptScroll = list ? list->scrollOffset : 0;
  if (list) ListClear(list, 1);
  rows.rows.clear();
  const int32_t local = LocalPlayerIndex(world);
  if (local < 0) {
    Relayout(list, 0, 0);
    return;
  }
  const int32_t giver = side == 0 ? local : other;
  const int32_t receiver = side == 0 ? other : local;
  plat::CriticalSectionLock lock(g_simulationLock);
  switch (kind) {
    case kDealAgreement: {
      const int32_t relation = IsPlayerSlot(giver) ? RelationClass(world.players[giver], receiver) : 0;
      for (int i = 1; i < kAgreementTypes; ++i) {
        const TreatyTypeEntry* type = Agreement(i);
        if (!type) continue;
        const uint32_t allowed = type->settingA;
        if (allowed != 0 && ((allowed << 1) & (1u << relation)) == 0) continue;
        if (AgreementInGroup(group, i)) continue;
        const bool cancel = InForce(world, i, giver, receiver);
        AddRow(list, rows, std::string(cancel ? "CANCEL " : "") + type->name.get(), i,
               DealRow{kDealAgreement, static_cast<uint32_t>(i)}, cancel ? kDealCancelColour : kDealRowColour);
      }
      break;
    }
    case kDealPayment:
      for (int j = 0; j < kDealFrequencies; ++j)
        AddRow(list, rows, TextListText(kListPayfrequency, j), j + 1, DealRow{kDealPayment, static_cast<uint32_t>(j)});
      break;
    case kDealReserveUnit:
    case kDealMissiles:
      if (side == 0) {
        UnitCatalogue(world, kind, list, group, rows);
      } else {
        AddRow(list, rows, "(Unknown)", 0, DealRow{kind, 0});
      }
      break;
    case kDealLandTag:
      for (int tag = 0; tag < kAreaTags; ++tag) {
        if (group.areaMask & (1u << tag)) continue;
        const int64_t hexes = TagHexCount(world, tag);
        if (hexes == 0) continue;
        AddRow(list, rows, LandTagText(world, tag, hexes), tag + 1, DealRow{kDealLandTag, static_cast<uint32_t>(tag + 1)},
               TagColour(tag));
      }
      break;
    case kDealDiscovery:
      for (int t = 1; t < TechCount(world); ++t) {
        const TechRecord& tech = world.techs[static_cast<size_t>(t)];
        if (tech.category == 0 || !Tradeable(world, t) || !Knows(world, giver, t) || Knows(world, receiver, t)) continue;
        if (!PrerequisiteAllows(world, receiver, tech.prerequisites[0]) ||
            !PrerequisiteAllows(world, receiver, tech.prerequisites[1]) || group.HasDiscovery(t))
          continue;
        AddRow(list, rows, tech.name.c_str(), t, DealRow{kDealDiscovery, static_cast<uint32_t>(t)});
      }
      break;
    case kDealDesign: DesignCatalogue(world, list, giver, receiver, group, rows); break;
    case kDealGoods:
      for (int p = 0; p < kGoodsRows; ++p)
        if (p != kUnlistedProduct)
          AddRow(list, rows, TextListText(kListProductsl, p), p + 1, DealRow{kDealGoods, static_cast<uint32_t>(p)});
      break;
    default: break;
  }
  Relayout(list, keptId, keptScroll);
}

float FillDealGroupList(World& world, ListBoxControl* list, const OfferItemGroup& group, DealRows& rows) {
  const int32_t keptId = list ? list->selectedId : 0;
  const int32_t keptScroll = list ? list->scrollOffset : 0;
  if (list) ListClear(list, 1);
  rows.rows.clear();
  int32_t rowId = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (int i = 1; i < kAgreementTypes; ++i) {
      const TreatyTypeEntry* type = Agreement(i);
      const uint8_t byte = group.agreements[static_cast<size_t>(i)];
      if (!type || byte == 0) continue;
      const bool cancel = (byte & 0x80u) != 0;
      AddRow(list, rows, std::string(cancel ? "CANCEL " : "") + type->name.get(), ++rowId,
             DealRow{kDealAgreement, static_cast<uint32_t>(i)}, cancel ? kDealCancelColour : kDealRowColour);
    }
    for (size_t n = 0; n < group.dealItems.size(); ++n) {
      const DealItem& item = group.dealItems[n];
      AddRow(list, rows, DealLine(world, item), ++rowId,
             DealRow{item.goods() ? kDealGoods : kDealPayment, static_cast<uint32_t>(n)},
             item.id != 0 ? kDealCancelColour : kDealRowColour);
    }
    {
      WorldLockGuard hold(world, kLockUnits);
      const int32_t local = LocalPlayerIndex(world);
      for (bool missiles : {false, true})
        for (const OfferUnit& entry : group.units) {
          const UnitRecord* unit = FindUnitById(world, entry.unitId);
          const UnitClassRecord* c = unit ? ClassAt(world, unit->classIndex) : nullptr;
          if (!c || IsMissileClass(*c) != missiles) continue;
          std::string text;
          if (!missiles)
            text = UnitDisplayName(world, *unit);
          else if (unit->owner == local)
            text = std::to_string(entry.quantity) + "/" + std::to_string(static_cast<int>(std::lround(unit->strength))) +
                   " " + ClassName(*c);
          else
            text = std::to_string(entry.quantity) + "x " + ClassName(*c);
          AddRow(list, rows, text, ++rowId, DealRow{missiles ? kDealMissiles : kDealReserveUnit, entry.unitId});
        }
    }
    for (int32_t design : group.designs)
      if (const UnitClassRecord* c = ClassAt(world, design))
        AddRow(list, rows, "Design: " + ClassName(*c), ++rowId, DealRow{kDealDesign, static_cast<uint32_t>(design)});
    for (int tag = 0; tag < kAreaTags; ++tag)
      if (group.areaMask & (1u << tag))
        AddRow(list, rows, LandTagText(world, tag, static_cast<int64_t>(group.areas[static_cast<size_t>(tag)].size())),
               ++rowId, DealRow{kDealLandTag, static_cast<uint32_t>(tag + 1)}, TagColour(tag));
    for (int32_t tech : group.discoveries)
      if (TechInRange(world, tech))
        AddRow(list, rows, world.techs[static_cast<size_t>(tech)].name.c_str(), ++rowId,
               DealRow{kDealDiscovery, static_cast<uint32_t>(tech)});
  }
  Relayout(list, keptId, keptScroll);
  return OfferGroupValue(world, group);
}

void AddDealItem(World& world, OfferItemGroup& group, int32_t kind, uint32_t item, int32_t giver, int32_t receiver,
                 const DealItem* deal) {
  plat::CriticalSectionLock lock(g_simulationLock);
  switch (kind) {
    case kDealAgreement:
      if (item >= 1 && item < kAgreementTypes)
        group.agreements[item] = InForce(world, static_cast<int>(item), giver, receiver) ? 0x81 : 0x01;
      break;
    case kDealPayment:
    case kDealGoods: {
      if (!deal) break;
      if (deal->id != 0 && std::any_of(group.dealItems.begin(), group.dealItems.end(),
                                       [&](const DealItem& d) { return d.id == deal->id; }))
        break;
      if (deal->id == 0 && !(deal->amount >= 1.0f)) break;
      DealItem copy = *deal;
      if (copy.id == 0) {
        copy.giver = static_cast<uint8_t>(giver);
        copy.receiver = static_cast<uint8_t>(receiver);
      }
      group.dealItems.push_back(copy);
      break;
    }
    case kDealReserveUnit:
    case kDealMissiles: {
      if (group.HasUnit(item)) break;
      WorldLockGuard hold(world, kLockUnits);
      const UnitRecord* unit = FindUnitById(world, item);
      if (!unit) break;
      const int32_t quantity = kind == kDealMissiles ? 1 : DealQuantityOf(unit->strength);
      group.units.push_back(OfferUnit{item, static_cast<uint8_t>(quantity)});
      break;
    }
    case kDealLandTag: {
      if (item < 1 || item > kAreaTags) break;
      const int tag = static_cast<int>(item) - 1;
      if (group.areaMask & (1u << tag)) break;
      group.areaMask |= 1u << tag;
      std::vector<uint32_t>& hexes = group.areas[static_cast<size_t>(tag)];
      hexes.clear();
      const uint32_t bit = 1u << (16 + tag);
      for (int32_t y = 0; y < world.mapHeight; ++y)
        for (int32_t x = 0; x < world.mapWidth; ++x)
          if (world.cells[static_cast<size_t>(y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(x)].word & bit)
            hexes.push_back(static_cast<uint32_t>(static_cast<uint16_t>(x)) | static_cast<uint32_t>(y) << 16);
      break;
    }
    case kDealDiscovery: AddTechnology(world, group, static_cast<int>(item), receiver); break;
    case kDealDesign: {
      const UnitClassRecord* c = ClassAt(world, static_cast<int32_t>(item));
      if (!c) break;
      if (!group.HasDesign(static_cast<int32_t>(item))) group.designs.push_back(static_cast<int32_t>(item));
      for (int16_t p : c->requiredTechs)
        if (TechExists(world, p) && !Knows(world, receiver, p)) AddTechnology(world, group, p, receiver);
      break;
    }
    default: break;
  }
}

void RemoveDealItem(World& world, OfferItemGroup& group, int32_t kind, uint32_t item) {
  plat::CriticalSectionLock lock(g_simulationLock);
  switch (kind) {
    case kDealAgreement:
      if (item < kAgreementTypes) group.agreements[item] = 0;
      break;
    case kDealPayment:
    case kDealGoods:
      if (item < group.dealItems.size()) group.dealItems.erase(group.dealItems.begin() + static_cast<ptrdiff_t>(item));
      break;
    case kDealReserveUnit:
    case kDealMissiles:
      std::erase_if(group.units, [&](const OfferUnit& u) { return u.unitId == item; });
      break;
    case kDealDesign: std::erase(group.designs, static_cast<int32_t>(item)); break;
    case kDealLandTag:
      if (item >= 1 && item <= kAreaTags) {
        group.areaMask &= ~(1u << (item - 1));
        group.areas[item - 1].clear();
      }
      break;
    case kDealDiscovery: RemoveTechnology(world, group, static_cast<int>(item)); break;
    default: break;
  }
}

std::optional<DealItem> DealItemOfRunning(World& world, uint32_t itemId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const RecurringItem* running = itemId != 0 ? FindRecurringItemById(world, itemId) : nullptr;
  if (!running) return std::nullopt;
  const RecurringFields f = LoadRecurringFields(*running);
  DealItem item;
  item.state = f.kind;
  item.receiver = f.payee;
  item.giver = f.payer;
  item.frequency = f.periodKind < kDealFrequencies ? f.periodKind : 0;
  item.paymentCount = f.paymentsLeft;
  item.product = f.product < kDealProducts ? f.product : 0;
  item.flags = f.flags;
  item.amount = f.amount;
  item.arrears = f.arrears;
  item.id = itemId;
  return item;
}
