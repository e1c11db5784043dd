#include "sim/offer_description.h"

#include <cstdarg>
#include <cstring>

#include "app/calendar.h"
#include "app/number_text.h"
#include "platform/fpenv.h"
#include "sim/dip_offer.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "records/le_bytes.h"
#include "world/recurring_item.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// Formats into a fixed buffer from a position on, never past its end, and
// keeps it terminated.
class Writer {
 public:
  Writer(char* buffer, size_t size) : buffer_(buffer), size_(size) {
    if (buffer_ && size_) buffer_[0] = '\0';
  }
  void Put(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (!buffer_ || pos_ + 1 >= size_) return;
    va_list args;
    va_start(args, format);
    const int n = plat::FormatTextV(buffer_ + pos_, size_ - pos_, format, args);
    va_end(args);
    if (n > 0) pos_ += std::min(static_cast<size_t>(n), size_ - pos_ - 1);
  }
  // True when fewer than `margin` characters remain past the position.
  bool Past(size_t margin) const { return static_cast<int64_t>(pos_) > static_cast<int64_t>(size_) - static_cast<int64_t>(margin); }
  int pos() const { return static_cast<int>(pos_); }
  char* here() { return buffer_ + pos_; }
  size_t room() const { return size_ - pos_; }
  void Advance(int n) {
    if (n > 0) pos_ = std::min(pos_ + static_cast<size_t>(n), size_ ? size_ - 1 : 0);
  }

 private:
  char* buffer_;
  size_t size_;
  size_t pos_ = 0;
};

// A deal item as shown: the recurring item it cancels when that one is still
// active, else the item itself.
struct ShownItem {
  bool goods;
  int frequency;
  int count;
  int product;
  float amount;
  float arrears;
};

ShownItem Shown(World& world, const DealItem& item) {
  if (item.id != 0) {
    if (const RecurringItem* r = FindRecurringItemById(world, item.id)) {
      const RecurringFields f = LoadRecurringFields(*r);
      if (f.kind != kRecurringFinished)
        return ShownItem{(f.flags & kRecurringGoods) != 0, f.periodKind, f.paymentsLeft, f.product, f.amount,
                         f.arrears};
    }
  }
  return ShownItem{item.goods(), item.frequency, item.paymentCount, item.product, item.amount, item.arrears};
}

void AmountText(const ShownItem& item, float amount, char (&out)[kNumberTextSize]) {
  if (item.goods)
    FormatNumberText(out, 0, 0, TextListText(kListProdtabs, item.product), 0, TextListText(kListProdunits, item.product),
                     0, amount);
  else
    FormatNumberText(out, 1, 0, "", 1, "", 0, amount);
}

const UnitClassRecord* ClassOf(const World& world, int32_t index) {
  return index > 0 && static_cast<size_t>(index) < world.unitClasses.size() ? &world.unitClasses[static_cast<size_t>(index)]
                                                                            : nullptr;
}

std::string ClassName(const UnitClassRecord& c) { return std::string(c.name, strnlen(c.name, sizeof c.name)); }

// Missiles are the units of missile (stock) classes.
bool IsMissileClass(const UnitClassRecord& c) { return (c.flags & kClassStock) != 0; }

float ClassCost(const UnitClassRecord& c) { return static_cast<float>(c.valuePerPoint); }

float ProductPrice(const World& world, int product) {
  const int local = world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers || product < 0 || product >= kProductCount) return 0.0f;
  return le::LoadF32(world.players[local].products[product].bytes + 12);
}

}  // namespace

int DescribeOfferItems(World& world, const OfferItemGroup& group, char* buffer, size_t size) {
  Writer w(buffer, size);
  const auto full = [&] { return w.Past(64); };
  const TreatyTypeTable& treaties = RuleTablesOf(world).rTreatyTypes;
  for (int i = 1; i < kAgreementTypes; ++i) {
    const TreatyTypeEntry* type = TreatyType(treaties, i);
    if (!type || !type->name || group.agreements[i] == 0) continue;
    w.Put("%s%s\n", static_cast<int8_t>(group.agreements[i]) < 0 ? "CANCEL " : "", type->name.get());
    if (full()) return w.pos();
  }
  for (const DealItem& item : group.dealItems) {
    const ShownItem shown = Shown(world, item);
    const char* prefix = item.id != 0 ? "CANCEL " : "";
    char amount[kNumberTextSize];
    AmountText(shown, shown.amount, amount);
    const char* frequency = TextListText(kListPayfrequency, shown.frequency);
    if (shown.count != 0 && shown.frequency != 0)
      w.Put("%s%dx %s %s", prefix, shown.count, frequency, amount);
    else
      w.Put("%s%s %s", prefix, frequency, amount);
    if (shown.arrears != 0.0f) {
      char arrears[kNumberTextSize];
      AmountText(shown, shown.arrears, arrears);
      w.Put(" Arrears %s", arrears);
    }
    w.Put("\n");
    if (full()) return w.pos();
  }
  {
    WorldLockGuard hold(world, kLockUnits);
    for (int pass = 0; pass < 2; ++pass) {
      for (const OfferUnit& entry : group.units) {
        const UnitRecord* unit = FindUnitById(world, entry.unitId);
        if (!unit) continue;
        const UnitClassRecord* c = ClassOf(world, unit->classIndex);
        const bool missile = c && IsMissileClass(*c);
        if (missile != (pass == 1)) continue;
        if (!missile) {
          w.Put("%s Reserve Unit\n", UnitDisplayName(world, *unit).c_str());
        } else {
          // Class flag bit 3 marks the intercontinental kinds.
          w.Put((c->flags & kClassSpecialWeaponB) ? "%dx %s %s ICBM\n" : "%dx %s %s Missile\n", static_cast<int>(entry.quantity),
                ClassName(*c).c_str(), TextListText(kListWeaptype, WarheadLabel(c->flags)));
        }
        if (full()) return w.pos();
      }
    }
  }
  for (int32_t design : group.designs) {
    if (const UnitClassRecord* c = ClassOf(world, design)) {
      w.Put("%s Unit Design\n", ClassName(*c).c_str());
      if (full()) return w.pos();
    }
  }
  const int hexSize = static_cast<int>(world.mapHeader.hexScale);
  for (int n = 0; n < kAreaTags; ++n) {
    if (!(group.areaMask & (1u << n))) continue;
    const int hexes = static_cast<int>(group.areas[n].size());
    // A large tag on a large-hex map passes the 32-bit range.
    const long long area = static_cast<long long>(hexes) * hexSize * hexSize;
    w.Put("Land Tag %d (%lld sq km) (%d)\n", n + 1, area, hexes);
    if (full()) return w.pos();
  }
  for (int32_t tech : group.discoveries) {
    if (tech < 0 || static_cast<size_t>(tech) >= world.techs.size()) continue;
    w.Put("%s Research Discovery\n", world.techs[static_cast<size_t>(tech)].name.c_str());
    if (full()) return w.pos();
  }
  return w.pos();
}

float OfferGroupValue(World& world, const OfferItemGroup& group) {
  float value = 0.0f;
  for (const DealItem& item : group.dealItems) {
    const ShownItem shown = Shown(world, item);
    const float times = static_cast<float>(shown.count > 1 ? shown.count : 1);
    value += times * (shown.goods ? ProductPrice(world, shown.product) * shown.amount : shown.amount);
  }
  {
    WorldLockGuard hold(world, kLockUnits);
    for (const OfferUnit& entry : group.units) {
      const UnitRecord* unit = FindUnitById(world, entry.unitId);
      if (!unit) continue;
      const UnitClassRecord* c = ClassOf(world, unit->classIndex);
      if (!c) continue;
      // Upkeep is reckoned at the owner's prices.
      const float priceFactor = unit->owner < kMaxPlayers ? world.players[unit->owner].costFactor : 0.0f;
      if (!IsMissileClass(*c)) {
        // A unit held in the second placement costs half its upkeep.
        const float f = unit->byte18 == 2 ? 0.5f : 1.0f;
        value += ClassCost(*c) * unit->strength + priceFactor * c->costPerElement * f * unit->strength;
      } else {
        const float q = entry.quantity;
        const float f = (c->kind == 2 || c->kind == 3) ? 0.5f : 1.0f;
        const float size = static_cast<float>(c->targetSize);
        value += q * ClassCost(*c) * size + (f * c->costPerElement * size * q + 0.9f) * priceFactor + 0.9f;
      }
    }
  }
  static constexpr float kBranchFactors[4] = {3.0f, 2.0f, 0.5f, 1.0f};
  for (int32_t design : group.designs) {
    if (const UnitClassRecord* c = ClassOf(world, design))
      value += (static_cast<float>(c->targetSize) * ClassCost(*c) + 0.9f) * kBranchFactors[c->kind & 3];
  }
  for (int32_t tech : group.discoveries)
    if (tech >= 0 && static_cast<size_t>(tech) < world.techs.size()) value += world.techs[static_cast<size_t>(tech)].value32;
  return value;
}

int DescribeOffer(World& world, const DipOffer& offer, char* buffer, size_t size) {
  Writer w(buffer, size);
  w.Put("\n----- Items OFFERED:\n");
  w.Advance(DescribeOfferItems(world, offer.offered, w.here(), w.room()));
  if (w.Past(64)) return w.pos();
  w.Put("\n----- Items REQUESTED:\n");
  w.Advance(DescribeOfferItems(world, offer.requested, w.here(), w.room()));
  if (w.Past(64)) return w.pos();

  char offered[kNumberTextSize];
  char requested[kNumberTextSize];
  FormatNumberText(offered, 1, 0, "", 1, "", 0, OfferGroupValue(world, offer.offered));
  FormatNumberText(requested, 1, 0, "", 1, "", 0, OfferGroupValue(world, offer.requested));
  w.Put("\nFinancial Value: Offered %s, Requested %s.\n", offered, requested);

  if (offer.message) {
    if (w.Past(64 + offer.message->size())) return w.pos();
    if (!offer.message->empty()) {
      w.Put("\nMessage:\n");
      w.Put("%s\n", offer.message->c_str());
    }
  }
  if (w.Past(64)) return w.pos();

  GameDate expiry;
  expiry.dayNumber = static_cast<int32_t>(offer.expiryDay);
  DayNumberToDate(expiry);
  char date[32];
  FormatDateShort(expiry, date);
  if (offer.expiryDay < world.gameState.currentDay) {
    w.Put("\nThis Offer EXPIRED on %s.\n", date);
    if (w.Past(0)) return w.pos();
  } else {
    w.Put("\nOffer Valid Until %s.\n", date);
    if (w.Past(64)) return w.pos();
  }
  w.Put("\n");
  return w.pos();
}

std::string OfferItemsText(World& world, const char* dipOfferText) {
  if (!dipOfferText) return {};
  DipOffer offer;
  ParseDipOffer(world, dipOfferText, offer, false, false);
  std::string text(4096, '\0');
  const int n = DescribeOfferItems(world, offer.offered, text.data(), text.size());
  text.resize(static_cast<size_t>(n));
  return text;
}
