#include "sim/dip_offer.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "app/text_tokenizer.h"
#include "platform/fpenv.h"
#include "sim/mail_ui_link.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/id_lookups.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int kMaxPlayerIndex = kMaxPlayers - 1;

// Appends printf-style text to a growing string; the text is measured first,
// so no line can overrun whatever its numbers print as.
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void AppendFormat(std::string& out, const char* format, ...) {
  char small[128];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int needed = plat::FormatTextV(small, sizeof small, format, args);
  va_end(args);
  if (needed < 0) {
    va_end(again);
    return;
  }
  if (static_cast<size_t>(needed) < sizeof small) {
    out.append(small, static_cast<size_t>(needed));
  } else {
    std::string big(static_cast<size_t>(needed) + 1, '\0');
    plat::FormatTextV(big.data(), big.size(), format, again);
    out.append(big.data(), static_cast<size_t>(needed));
  }
  va_end(again);
}

bool AgreementTypeExists(const World& world, int index) {
  const TreatyTypeEntry* entry = TreatyType(RuleTablesOf(const_cast<World&>(world)).rTreatyTypes, index);
  return entry && entry->name;
}

void WriteGroup(const World& world, const OfferItemGroup& group, std::string& out) {
  for (int i = 1; i < kAgreementTypes; ++i) {
    if (group.agreements[i] == 0 || !AgreementTypeExists(world, i)) continue;
    AppendFormat(out, "%d, %d\n", i, static_cast<int>(group.agreements[i]));
  }
  out += "-1\n";
  for (const DealItem& item : group.dealItems) {
    AppendFormat(out, "%d, %u, %d, %d, %d, %.0f\n", static_cast<int>(item.flags & 1u), item.id,
                 static_cast<int>(item.frequency), static_cast<int>(item.paymentCount), static_cast<int>(item.product),
                 static_cast<double>(item.amount));
  }
  out += "-1\n";
  for (const OfferUnit& unit : group.units) AppendFormat(out, "%u, %d\n", unit.unitId, static_cast<int>(unit.quantity));
  out += "-1\n";
  for (int n = 0; n < kAreaTags; ++n) {
    if (!(group.areaMask & (1u << n))) continue;
    for (uint32_t packed : group.areas[n]) {
      if (packed == 0) break;  // a tag's list ends at its first empty entry
      AppendFormat(out, "%x, %d, %d\n", static_cast<unsigned>(n), static_cast<int>(static_cast<int16_t>(packed & 0xFFFFu)),
                   static_cast<int>(static_cast<int16_t>(packed >> 16)));
    }
  }
  out += "-1\n";
  for (int32_t tech : group.discoveries) AppendFormat(out, "%d\n", tech);
  out += "-1\n";
  for (int32_t design : group.designs) AppendFormat(out, "%d\n", design);
  out += "-1\n";
}

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

uint32_t PackHexWord(int32_t column, int32_t row) {
  return static_cast<uint32_t>(static_cast<uint16_t>(column)) | (static_cast<uint32_t>(static_cast<uint16_t>(row)) << 16);
}

void ClearTagOnMap(World& world, int tag) {
  for (HexCell& cell : world.cells) SetCellTagBit(cell, tag, false);
}

// The reading state of one group: which tags it has emptied on the map.
struct GroupReader {
  World& world;
  TextTokenizer& t;
  bool mark;
  uint32_t emptiedTags = 0;
};

bool AtEnd(const TextTokenizer& t) { return !t.cursor || *t.cursor == '\0'; }

// Reads one list: hands the first field of each line (read by `first`) to
// `entry`, which reads the rest of its line, until a line whose first field
// is -1 (passed over) or the end of the text. A blank line is an entry whose
// first field is 0. Returns false at the end of the text, which ends every
// list after it.
template <typename First, typename Entry>
bool ReadList(TextTokenizer& t, First first, Entry entry) {
  for (;;) {
    if (AtEnd(t)) return false;
    const int32_t value = first(t);
    if (value == -1) {
      SkipLine(t);
      return true;
    }
    entry(value);
    SkipLine(t);
  }
}

int32_t FirstInt(TextTokenizer& t) { return ReadFieldInt32(t, 0); }
// Unit ids were written unsigned; all 32 bits come back.
int32_t FirstId(TextTokenizer& t) { return ReadFieldLong(t, 0); }

void ReadAgreement(TextTokenizer& t, OfferItemGroup& group, int32_t index) {
  const int32_t value = ReadFieldInt32(t, 0);
  if (InRange(index, 1, kAgreementTypes - 1)) group.agreements[index] = static_cast<uint8_t>(value & 0xFF);
}

void ReadDealItem(TextTokenizer& t, OfferItemGroup& group, int32_t goods) {
  DealItem item;
  item.flags = static_cast<uint32_t>(goods) & 1u;
  item.id = static_cast<uint32_t>(ReadFieldLong(t, 0));
  const int32_t frequency = ReadFieldInt32(t, 0);
  const int32_t count = ReadFieldInt32(t, 0);
  const int32_t product = ReadFieldInt32(t, 0);
  const float amount = ReadFieldFloat(t, 0.0f);
  // A negative amount would move money or goods the other way.
  if (!InRange(frequency, 0, kDealFrequencies - 1) || !InRange(count, 0, INT16_MAX) ||
      !InRange(product, 0, kDealProducts - 1) || !std::isfinite(amount) || amount < 0.0f)
    return;
  item.frequency = static_cast<uint8_t>(frequency);
  item.paymentCount = static_cast<int16_t>(count);
  item.product = static_cast<uint8_t>(product);
  item.amount = amount;
  group.dealItems.push_back(item);
}

void ReadUnit(GroupReader& r, OfferItemGroup& group, int32_t idField) {
  const auto id = static_cast<uint32_t>(idField);
  const int32_t quantity = ReadFieldInt32(r.t, 255);
  if (id == 0 || !InRange(quantity, 0, 255)) return;
  if (!FindUnitById(r.world, id)) return;
  for (OfferUnit& unit : group.units) {
    if (unit.unitId == id) {
      unit.quantity = static_cast<uint8_t>(quantity);
      return;
    }
  }
  group.units.push_back(OfferUnit{id, static_cast<uint8_t>(quantity)});
}

void ReadLandTag(GroupReader& r, OfferItemGroup& group, int32_t tag) {
  const int32_t column = ReadFieldInt32(r.t, 0);
  const int32_t row = ReadFieldInt32(r.t, 0);
  if (!InRange(tag, 0, kAreaTags - 1) || !InRange(column, INT16_MIN, INT16_MAX) || !InRange(row, INT16_MIN, INT16_MAX))
    return;
  World& world = r.world;
  const bool haveMap = world.mapWidth > 0 && world.mapHeight > 0 &&
                       world.cells.size() == static_cast<size_t>(world.mapWidth) * static_cast<size_t>(world.mapHeight);
  if (haveMap && !InRange(row, 0, world.mapHeight - 1)) return;
  const uint32_t packed = PackHexWord(column, row);
  std::vector<uint32_t>& list = group.areas[tag];
  if (std::find(list.begin(), list.end(), packed) == list.end()) list.push_back(packed);
  group.areaMask |= 1u << tag;
  if (!r.mark || !haveMap) return;
  if (!(r.emptiedTags & (1u << tag))) {
    r.emptiedTags |= 1u << tag;
    ClearTagOnMap(world, tag);
    if (g_mailUi.showAreaTag) g_mailUi.showAreaTag(tag);
  }
  const int32_t x = WrapX(column, world.mapWidth);
  SetCellTagBit(world.cells[static_cast<size_t>(row) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(x)],
                tag, true);
}

void ReadGroup(GroupReader& r, OfferItemGroup& group) {
  TextTokenizer& t = r.t;
  World& world = r.world;
  if (!ReadList(t, FirstInt, [&](int32_t index) { ReadAgreement(t, group, index); })) return;
  if (!ReadList(t, FirstInt, [&](int32_t goods) { ReadDealItem(t, group, goods); })) return;
  {
    // Units are looked up while the ring holds still.
    WorldLockGuard hold(world, kLockUnits);
    if (!ReadList(t, FirstId, [&](int32_t id) { ReadUnit(r, group, id); })) return;
  }
  if (!ReadList(t, FirstInt, [&](int32_t tag) { ReadLandTag(r, group, tag); })) return;
  if (!ReadList(t, FirstInt, [&](int32_t tech) {
        if (InRange(tech, 0, static_cast<int32_t>(world.techs.size()) - 1) && !group.HasDiscovery(tech))
          group.discoveries.push_back(tech);
      }))
    return;
  ReadList(t, FirstInt, [&](int32_t design) {
    if (InRange(design, 0, static_cast<int32_t>(world.unitClasses.size()) - 1) && !group.HasDesign(design))
      group.designs.push_back(design);
  });
}

}  // namespace

int DefaultPaymentCount(int frequency) {
  static constexpr int kCounts[kDealFrequencies] = {1, 30, 52, 12, 5};
  return InRange(frequency, 0, kDealFrequencies - 1) ? kCounts[frequency] : 1;
}

bool OfferItemGroup::HasDiscovery(int32_t tech) const {
  return std::find(discoveries.begin(), discoveries.end(), tech) != discoveries.end();
}
bool OfferItemGroup::HasDesign(int32_t classIndex) const {
  return std::find(designs.begin(), designs.end(), classIndex) != designs.end();
}
bool OfferItemGroup::HasUnit(uint32_t unitId) const {
  return std::any_of(units.begin(), units.end(), [&](const OfferUnit& u) { return u.unitId == unitId; });
}

const std::string& WriteDipOffer(const World& world, DipOffer& offer) {
  std::string out;
  out.reserve(4096);
  out += "DIPOFFER\n";
  AppendFormat(out, "%d, %d, %d, %d, %u, %u, %u, %u, %d\n", static_cast<int>(offer.firstPlayer),
               static_cast<int>(offer.secondPlayer), (offer.flags & kOfferAnswer) ? 1 : 0, static_cast<int>(offer.kind),
               offer.sentDay, offer.sentTick, offer.expiryDay, offer.stamp4, (offer.flags & kOfferWhileHostile) ? 1 : 0);
  out += "ITEMSOFFER\n";
  WriteGroup(world, offer.offered, out);
  out += "ITEMSREQUEST\n";
  WriteGroup(world, offer.requested, out);
  out += '"';
  if (offer.message) out += *offer.message;
  out += "\"\n";
  offer.text = std::move(out);
  return offer.text;
}

void ParseDipOffer(World& world, const char* text, DipOffer& offer, bool swap, bool markTags) {
  offer = DipOffer{};
  if (!text) return;
  TextTokenizer t;
  InitTokenizer(t, text);
  char* at = FindKeyword(t, "DIPOFFER", false);
  if (!at) return;
  t.cursor = at;
  SkipLine(t);

  const int32_t first = ReadFieldInt32(t, 0);
  const int32_t second = ReadFieldInt32(t, 0);
  const int32_t answer = ReadFieldBool(t, 0);
  const uint8_t kind = ReadFieldInt(t, 0);
  offer.sentDay = static_cast<uint32_t>(ReadFieldLong(t, 0));
  offer.sentTick = static_cast<uint32_t>(ReadFieldLong(t, 0));
  offer.expiryDay = static_cast<uint32_t>(ReadFieldLong(t, 0));
  offer.stamp4 = static_cast<uint32_t>(ReadFieldLong(t, 0));
  const int32_t whileHostile = ReadFieldBool(t, 0);
  // Player numbers and the approach index screens and tables.
  const auto player = [](int32_t p) { return static_cast<uint8_t>(InRange(p, 0, kMaxPlayerIndex) ? p : 0); };
  offer.kind = kind < kOfferKinds ? kind : 0;
  if (swap) {
    offer.firstPlayer = player(second);
    offer.secondPlayer = player(first);
    offer.flags |= kOfferAnswer;
  } else {
    offer.firstPlayer = player(first);
    offer.secondPlayer = player(second);
    if (answer) offer.flags |= kOfferAnswer;
  }
  if (whileHostile) offer.flags |= kOfferWhileHostile;

  OfferItemGroup& firstGroup = swap ? offer.requested : offer.offered;
  OfferItemGroup& secondGroup = swap ? offer.offered : offer.requested;
  at = FindKeyword(t, "ITEMSOFFER", true);
  if (!at) return;
  t.cursor = at;
  SkipLine(t);
  {
    GroupReader reader{world, t, markTags};
    ReadGroup(reader, firstGroup);
  }
  at = FindKeyword(t, "ITEMSREQUEST", true);
  if (!at) return;
  t.cursor = at;
  SkipLine(t);
  {
    GroupReader reader{world, t, markTags};
    ReadGroup(reader, secondGroup);
  }
  if (markTags && g_mailUi.recountAreaTags) g_mailUi.recountAreaTags();

  char* message = ReadFieldString(t, "");
  offer.message = std::string(message ? message : "");
  FreeAndClear(message);
}
