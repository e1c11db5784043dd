#include "sim/message_text.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/calendar.h"
#include "app/number_text.h"
#include "platform/fpenv.h"
#include "sim/dip_offer.h"
#include "sim/offer_description.h"
#include "sim/player_messages.h"
#include "sim/relations.h"
#include "records/hex_unit_stack.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/player_names.h"
#include "world/text/rule_tables.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// Copies at most `limit` characters of text (stopping at its end) into out,
// which holds limit + 1.
void CopyCut(char* out, size_t limit, const char* text) {
  size_t n = 0;
  if (text)
    while (n < limit && text[n]) ++n;
  if (n) std::memcpy(out, text, n);
  out[n] = '\0';
}

void Put(char (&out)[kParamTextSize], const char* text) { CopyCut(out, kParamTextSize - 1, text); }

void PutList(char (&out)[kParamTextSize], TextListId list, uint32_t value) {
  Put(out, TextListText(list, value <= 0x7FFFFFFFu ? static_cast<int>(value) : -1));
}

void PutNumber(char (&out)[kParamTextSize], int32_t currency, int32_t decimals, int32_t abbreviate,
               const char* trailing, double value) {
  char number[kNumberTextSize];
  FormatNumberText(number, currency, decimals, "", abbreviate, trailing, 0, value);
  Put(out, number);
}

void PutTreatyName(char (&out)[kParamTextSize], const TreatyTypeTable& table, uint32_t value) {
  const TreatyTypeEntry* entry = value < static_cast<uint32_t>(kTreatyTypeCount) ? TreatyType(table, static_cast<int>(value)) : nullptr;
  if (entry && entry->name) Put(out, entry->name.get());
}

void PutUnitName(World& world, char (&out)[kParamTextSize], uint32_t id) {
  WorldLockGuard hold(world, kLockUnits);
  if (const UnitRecord* unit = FindUnitById(world, id)) Put(out, UnitDisplayName(world, *unit).c_str());
}

void PutHex(World& world, char (&out)[kParamTextSize], uint32_t value) {
  const int32_t x = static_cast<int16_t>(value & 0xFFFFu);
  const int32_t y = static_cast<int16_t>(value >> 16);
  const int32_t width = world.mapWidth;
  const int32_t wrapped = width > 0 ? WrapX(x, width) : x;
  const bool onMap = width > 0 && y >= 0 && y < world.mapHeight &&
                     world.cells.size() == static_cast<size_t>(width) * static_cast<size_t>(world.mapHeight);
  if (onMap) {
    const HexCell& cell = world.cells[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(wrapped)];
    if (const HexUnitStack* stack = LoadHexStack(cell)) {
      // Labels are replaced in place under the hex-extras lock.
      WorldLockGuard hold(world, kLockHexExtras);
      if (stack->extra && stack->extra->text) {
        Put(out, stack->extra->text);
        return;
      }
    }
  }
  char text[kParamTextSize];
  plat::FormatText(text, sizeof text, "X:%03d Y:%03d", wrapped, y);
  Put(out, text);
}

void PutPeopleName(World& world, char (&out)[kParamTextSize], uint32_t value) {
  // The name is the entry's last 16 bytes, as the people importer writes it.
  constexpr size_t kPeopleNameAt = 40, kPeopleNameSize = 16;
  if (value >= kPeopleEntries || world.people.size() < (value + 1) * kPeopleEntrySize) return;
  const char* entry = reinterpret_cast<const char*>(world.people.data() + value * kPeopleEntrySize + kPeopleNameAt);
  char name[kPeopleNameSize + 1];
  CopyCut(name, kPeopleNameSize, entry);
  Put(out, name);
}

// The text of the owner's scenario report.
std::string ScenarioReport(const World& world, uint8_t owner) {
  const int code = owner < kMaxPlayers ? world.players[owner].startEmail : 0;
  if (code >= 0 && code < kScenarioNumberedTexts && g_scenarioText.emailTexts[code])
    return g_scenarioText.emailTexts[code].c_str();
  if (g_scenarioText.emailTexts[0]) return g_scenarioText.emailTexts[0].c_str();
  return "Nothing to report.\n";
}

// The shares of the owner's last election, each party under the name the
// region picked for it (the fourth party's name is the list's first: no pick
// is kept for it).
std::string ElectionResultsOf(const World& world, uint8_t owner) {
  if (owner >= kMaxPlayers) return {};
  const PlayerRecord& r = world.players[owner];
  const char* const names[4] = {TextListText(kListPolpartyleft, r.bandPicks[0]),
                                TextListText(kListPolpartycenter, r.bandPicks[1]),
                                TextListText(kListPolpartyright, r.bandPicks[2]), TextListText(kListPolpartyother, 0)};
  return FormatElectionResults(r, names);
}

// Appends text to the body at `length`, cut to the body's room.
void Append(char* body, size_t& length, const char* text) {
  if (!text) return;
  const size_t room = kMessageBodySize - 1 - length;
  const size_t n = std::min(std::strlen(text), room);
  std::memcpy(body + length, text, n);
  length += n;
  body[length] = '\0';
}

}  // namespace

void FormatMessageParameter(World& world, uint8_t kind, uint32_t value, char (&out)[kParamTextSize]) {
  std::memset(out, 0, sizeof out);
  const float real = MessageRealOf(value);
  RuleTables& rules = RuleTablesOf(world);
  switch (kind) {
    case 1:
    case 36:
      if (value < static_cast<uint32_t>(kMaxPlayers)) Put(out, LookupLocalizedName(world, world.players[value]));
      break;
    case 2: PutList(out, kListProducts, value); break;
    case 3: PutNumber(out, 0, 0, 0, "", static_cast<int32_t>(value)); break;
    case 4: PutNumber(out, 1, 0, 1, "", real); break;
    case 5: PutNumber(out, 1, 2, 1, "", real); break;
    case 6: PutUnitName(world, out, value); break;
    case kParamKindPerson: PutPeopleName(world, out, value); break;
    case 8: PutList(out, kListCabinets, value); break;
    case 9: PutList(out, kListSocials, value); break;
    case 10:
      if (value < world.techs.size() && world.techs[value].name) Put(out, world.techs[value].name.get());
      break;
    case 12:
      if (value < static_cast<uint32_t>(kMaxPlayers)) Put(out, GetPlayerDisplayName(world, world.players[value]));
      break;
    case 14:
    case 28:
      if (value < world.unitClasses.size()) {
        char name[sizeof(UnitClassImage::name) + 1];
        CopyCut(name, sizeof(UnitClassImage::name), world.unitClasses[value].name);
        Put(out, name);
      }
      break;
    case 15: PutTreatyName(out, rules.rTreatyTypes, value); break;
    case 16: PutTreatyName(out, rules.wTreatyTypes, value); break;
    case 17: PutTreatyName(out, rules.wmVoteTypes, value); break;
    case 18: PutList(out, kListTradeitems, value); break;
    case 20: {
      GameDate date;
      date.dayNumber = static_cast<int32_t>(value);
      DayNumberToDate(date);
      Put(out, FormatDateLong(date));
      break;
    }
    case 22: Put(out, real == 0.0f ? "Approved" : "Denied"); break;
    case 23: Put(out, real == 0.0f ? "Passed" : "Defeated"); break;
    case 24: PutNumber(out, 0, 1, 0, " %", static_cast<double>(real * 100.0f)); break;
    case 25: PutNumber(out, 0, 0, 0, " %", static_cast<double>(real * 100.0f)); break;
    case 26: Put(out, real == 0.0f ? "Positive" : "Negative"); break;
    case 27: PutList(out, kListBfcovertop, value); break;
    case 29: PutList(out, kListDefcons, value); break;
    case 30: PutList(out, kListProdunits, value); break;
    case 31: PutHex(world, out, value); break;
    case 32: PutList(out, kListMilclass, value); break;
    case 34: PutList(out, kListBfspytarget, value); break;
    case 35: PutList(out, kListBffundtarget, value); break;
    case 37: PutList(out, kListSattypes, value); break;
    case 40: PutList(out, kListMilbranchunit, value); break;
    default: break;  // 0, 11, 13, 19, 21, 33, 38, 39 and above 40: empty
  }
}

size_t FormatMessageTemplate(const char* templateText, const char* const params[4], char* out, size_t size) {
  if (!out || size == 0) return 0;
  size_t length = 0;
  const size_t limit = size - 1;
  const auto put = [&](const char* text, size_t n) {
    const size_t take = std::min(n, limit - length);
    std::memcpy(out + length, text, take);
    length += take;
  };
  int next = 0;
  for (const char* c = templateText ? templateText : ""; *c && length < limit;) {
    if (c[0] == '%' && c[1] == 's' && next < 4) {
      const char* text = params[next++];
      if (text) put(text, std::strlen(text));
      c += 2;
    } else if (c[0] == '%' && c[1] == '%') {
      put("%", 1);
      c += 2;
    } else {
      put(c, 1);
      ++c;
    }
  }
  out[length] = '\0';
  return length;
}

void FormatGameMessageText(World& world, PlayerMessage& message) {
  if (message.typeId == 0) return;
  const MessageTypeRecord* type = MessageType(message.typeId);
  if (!type) return;

  // Parameter texts, units and offers are read before the mail lock is
  // taken: the mail lock comes after the unit and hex locks.
  char params[4][kParamTextSize];
  for (int i = 0; i < 4; ++i) FormatMessageParameter(world, type->paramKinds[i], message.params[i], params[i]);
  const char* texts[4] = {params[0], params[1], params[2], params[3]};

  const OwnedText* templateText = &type->statusTemplate;
  uint8_t attachmentKind = 0;
  if (!(message.flags & kMessageStatus)) {
    const uint32_t variant = world.gameState.visibilityLfsr % 3;
    templateText = type->bodyTemplates[variant] ? &type->bodyTemplates[variant] : &type->bodyTemplates[0];
    attachmentKind = type->attachmentKind;
  }

  auto* body = static_cast<char*>(std::calloc(kMessageBodySize, 1));
  if (!body) return;
  size_t length = FormatMessageTemplate(templateText->c_str(), texts, body, kMessageBodySize);
  const char* attachment = message.texts[2];
  switch (attachmentKind) {
    case 20: {
      DipOffer offer;
      ParseDipOffer(world, attachment, offer, false, false);
      length += static_cast<size_t>(DescribeOffer(world, offer, body + length, kMessageBodySize - length));
      break;
    }
    case 25: Append(body, length, OfferItemsText(world, attachment).c_str()); break;
    case 26:
    case 27: Append(body, length, ElectionResultsOf(world, message.owner).c_str()); break;
    case 40:
      length = 0;
      body[0] = '\0';
      Append(body, length, ScenarioReport(world, message.owner).c_str());
      break;
    default: break;
  }
  body[kMessageBodySize - 1] = '\0';

  WorldLockGuard hold(world, kLockMail);
  std::free(message.texts[1]);
  message.texts[1] = body;
}
