// The region data import: the region records and the world economy from one
// spreadsheet, one key line per figure with a cell per region.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "world/data_file_io.h"
#include "records/le_bytes.h"
#include "world/region_figures.h"
#include "world/text/editor_imports.h"
#include "world/text/import_reader.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

// What the import builds before it replaces the world's records.
struct Staging {
  std::vector<PlayerRecord> players;  // kMaxPlayers records
  std::vector<uint8_t> economy;
  int first = 0;  // S
  int count = 0;  // N
};

uint8_t* Bytes(PlayerRecord& r) { return reinterpret_cast<uint8_t*>(&r); }

// How a key line's cells are stored.
enum class Kind {
  kByte,         // whole number 0..255 at the offset
  kInt32Both,    // whole number into the offset in both policy copies (offset within the block)
  kByteBoth,     // 0..255 into the offset in both policy copies
  kBitBoth,      // lowest bit (yes/no for kBoolBitBoth) into bit `bit` of a policy word, both copies
  kBoolBitBoth,
  kReal,         // real at the offset
  kPercent,      // real given in percent, stored / 100
  kMask,         // availability text: * all bits, letters from '@' up set bit c - 64
  kName,         // text into the 16-byte name
};

struct Key {
  const char* key;
  Kind kind;
  size_t offset;
  int bit = 0;
};

constexpr size_t Figure(RegionFloat f) { return RegionFloatAt(f); }

const Key kPlayerKeys[] = {
    {"govtype;", Kind::kByte, offsetof(PlayerRecord, govtype)},
    {"loyalty;", Kind::kPercent, offsetof(PlayerRecord, efficiency)},
    {"worldavail;", Kind::kMask, kRegionWorldAvailAt},
    {"internalintegrity;", Kind::kReal, Figure(kRegionInternalIntegrity)},
    {"externalintegrity;", Kind::kReal, Figure(kRegionExternalIntegrity)},
    {"wmintegrity;", Kind::kReal, Figure(kRegionWmIntegrity)},
    {"treatyintegrity;", Kind::kReal, Figure(kRegionTreatyIntegrity)},
    {"aptitude;", Kind::kReal, Figure(kRegionAptitude)},
    {"civapproval;", Kind::kReal, offsetof(PlayerRecord, approval)},
    {"milapproval;", Kind::kReal, offsetof(PlayerRecord, secondRating)},
    {"policyappeconomic;", Kind::kReal, Figure(kRegionPolicyAppEconomic)},
    {"policyappmilitary;", Kind::kReal, Figure(kRegionPolicyAppMilitary)},
    {"policyappsocial;", Kind::kReal, Figure(kRegionPolicyAppSocial)},
    {"policyappforeign;", Kind::kReal, Figure(kRegionPolicyAppForeign)},
    {"envrating;", Kind::kReal, Figure(kRegionEnvRating)},
    {"subsidyrating;", Kind::kReal, Figure(kRegionSubsidyRating)},
    {"creditrating;", Kind::kReal, offsetof(PlayerRecord, creditRating)},
    {"tourismrating;", Kind::kReal, Figure(kRegionTourismRating)},
    {"literacy;", Kind::kReal, Figure(kRegionLiteracy)},
    {"ageavg;", Kind::kReal, Figure(kRegionAgeAvg)},
    {"lifeexp;", Kind::kReal, Figure(kRegionLifeExp)},
    {"ageunder18;", Kind::kReal, Figure(kRegionAgeUnder18)},
    {"ageover65;", Kind::kReal, Figure(kRegionAgeOver65)},
    {"avgchildren;", Kind::kReal, Figure(kRegionAvgChildren)},
    {"culturerating;", Kind::kReal, Figure(kRegionCultureRating)},
    {"crimerate;", Kind::kReal, Figure(kRegionCrimeRate)},
    {"popprofessional;", Kind::kReal, Figure(kRegionPopProfessional)},
    {"popskilled;", Kind::kReal, Figure(kRegionPopSkilled)},
    {"popunskilled;", Kind::kReal, Figure(kRegionPopUnskilled)},
    {"popunemployed;", Kind::kReal, offsetof(PlayerRecord, unemployment)},
    {"popathome;", Kind::kReal, Figure(kRegionPopAtHome)},
};

const Key kPlayerKeys2[] = {
    {"primerate;", Kind::kReal, Figure(kRegionPrimeRate)},
    {"bondrate;", Kind::kReal, Figure(kRegionBondRate)},
    {"tbillrate;", Kind::kReal, Figure(kRegionTbillRate)},
    {"nationaldebtbase;", Kind::kReal, Figure(kRegionNationalDebtBase)},
    {"uispendrecom;", Kind::kReal, Figure(kRegionUiSpendRecom)},
    {"welfspendrecom;", Kind::kReal, Figure(kRegionWelfSpendRecom)},
    {"pensspendrecom;", Kind::kReal, Figure(kRegionPensSpendRecom)},
    {"inflation;", Kind::kReal, Figure(kRegionInflation)},
    {"gdpservice;", Kind::kReal, offsetof(PlayerRecord, serviceAdd)},
    {"techmil;", Kind::kReal, Figure(kRegionTechMil)},
    {"religionstate;", Kind::kByteBoth, offsetof(PlayerPolicyBlock, religionstate)},
};

const Key kPlayerKeys3[] = {
    {"pname[16];", Kind::kName, offsetof(PlayerRecord, name)},
    {"poprefugee;", Kind::kReal, Figure(kRegionPopRefugee)},
    {"poppow;", Kind::kReal, Figure(kRegionPopPow)},
    {"popreserve;", Kind::kReal, Figure(kRegionPopReserve)},
    {"treasury;", Kind::kReal, offsetof(PlayerRecord, treasury)},
    {"gdpc;", Kind::kReal, offsetof(PlayerRecord, gdpPerCapita)},
    {"buyingpower;", Kind::kReal, Figure(kRegionBuyingPower)},
    {"bwmmember;", Kind::kBoolBitBoth, offsetof(PlayerPolicyBlock, wageFlags), 2},
    {"defcon;", Kind::kInt32Both, offsetof(PlayerPolicyBlock, defcon)},
    {"bconscript;", Kind::kBitBoth, offsetof(PlayerPolicyBlock, militaryFlags), 0},
    {"mileffmod;", Kind::kReal, Figure(kRegionMilEffMod)},
};

// The availability text: a star anywhere sets every bit; otherwise the
// leading characters from code 64 up set bit c - 64, up to the first one
// below 64. Characters past bit 31 cannot be stored and are refused.
bool ParseMask(const std::string& text, uint32_t& mask) {
  if (text.find('*') != std::string::npos) {
    mask = 0xFFFFFFFFu;
    return true;
  }
  mask = 0;
  for (const char c : text) {
    const int code = static_cast<unsigned char>(c);
    if (code < 64) break;
    if (code > 64 + 31) return false;
    mask |= 1u << (code - 64);
  }
  return true;
}

// Reads one cell of a key line into a region's record. False after an error.
bool ReadRegionCell(ImportReader& in, const Key& key, PlayerRecord& r) {
  uint8_t* bytes = Bytes(r);
  uint8_t* display = reinterpret_cast<uint8_t*>(&r.displayPolicy);
  uint8_t* sim = reinterpret_cast<uint8_t*>(&r.simPolicy);
  bool present = false;
  switch (key.kind) {
    case Kind::kByte:
    case Kind::kByteBoth: {
      int64_t v = 0;
      if (!in.Int(key.key, 0, 255, v, &present)) return false;
      if (!present) return true;
      if (key.kind == Kind::kByte) {
        bytes[key.offset] = static_cast<uint8_t>(v);
      } else {
        display[key.offset] = static_cast<uint8_t>(v);
        sim[key.offset] = static_cast<uint8_t>(v);
      }
      return true;
    }
    case Kind::kInt32Both: {
      int64_t v = 0;
      if (!in.Int(key.key, INT32_MIN, INT32_MAX, v, &present)) return false;
      if (!present) return true;
      le::StoreI32(display + key.offset, static_cast<int32_t>(v));
      le::StoreI32(sim + key.offset, static_cast<int32_t>(v));
      return true;
    }
    case Kind::kBitBoth:
    case Kind::kBoolBitBoth: {
      bool on = false;
      if (key.kind == Kind::kBitBoth) {
        int64_t v = 0;
        if (!in.Int(key.key, INT32_MIN, INT32_MAX, v, &present)) return false;
        on = (v & 1) != 0;
      } else if (!in.Bool(key.key, on, &present)) {
        return false;
      }
      if (!present) return true;
      for (uint8_t* block : {display, sim}) {
        uint32_t word = le::Load32(block + key.offset);
        word = on ? (word | (1u << key.bit)) : (word & ~(1u << key.bit));
        le::Store32(block + key.offset, word);
      }
      return true;
    }
    case Kind::kReal:
    case Kind::kPercent: {
      float v = le::LoadF32(bytes + key.offset);
      if (key.kind == Kind::kPercent) v = v * 100.0f;
      if (!in.Real(key.key, v, &present)) return false;
      if (present) le::StoreF32(bytes + key.offset, key.kind == Kind::kPercent ? v / 100.0f : v);
      return true;
    }
    case Kind::kMask: {
      std::string text;
      if (!in.Text(key.key, text, &present)) return false;
      if (!present) return true;
      uint32_t mask = 0;
      if (!ParseMask(text, mask)) {
        in.FailColumn(key.key, "\"" + text + "\" names an availability beyond the 32 the mask holds");
        return false;
      }
      le::Store32(bytes + key.offset, mask);
      return true;
    }
    case Kind::kName: {
      std::string text;
      if (!in.Text(key.key, text, &present)) return false;
      if (!present) return true;
      char* name = reinterpret_cast<char*>(bytes + key.offset);
      std::memset(name, 0, sizeof r.name);
      std::memcpy(name, text.data(), std::min(text.size(), sizeof r.name - 1));
      return true;
    }
  }
  return true;
}

// A key line with a cell per chosen region; a missing key keeps the values.
bool ReadRegionKey(ImportReader& in, const Key& key, Staging& s) {
  if (!in.FindLineKey(key.key)) return true;
  for (int p = s.first; p < s.first + s.count; ++p) {
    if (!ReadRegionCell(in, key, s.players[static_cast<size_t>(p)])) return false;
  }
  return true;
}

// Keys with an index: "stock[3];".
std::string Indexed(const char* stem, int index) { return std::string(stem) + "[" + std::to_string(index) + "];"; }

bool ReadRegionBytesKey(ImportReader& in, const std::string& key, Staging& s, size_t offset) {
  return ReadRegionKey(in, Key{key.c_str(), Kind::kByte, offset}, s);
}

// A per-product real of the region's product state.
bool ReadProductKey(ImportReader& in, const std::string& key, Staging& s, int product, size_t field, bool zeroIsOne,
                    size_t copyField) {
  if (!in.FindLineKey(key.c_str())) return true;
  for (int p = s.first; p < s.first + s.count; ++p) {
    uint8_t* state = s.players[static_cast<size_t>(p)].products[product].bytes;
    float v = le::LoadF32(state + field);
    bool present = false;
    if (!in.Real(key.c_str(), v, &present)) return false;
    if (!present) continue;
    if (zeroIsOne && v == 0.0f) v = 1.0f;
    le::StoreF32(state + field, v);
    if (copyField != field) le::StoreF32(state + copyField, v);
  }
  return true;
}

// A world-market key: one real into the economy block.
bool ReadWorldKey(ImportReader& in, const std::string& key, Staging& s, size_t at, float scale, bool zeroIsOne,
                  size_t copyAt, PlayerRecord* marginCopy, int product) {
  if (!in.FindLineKey(key.c_str())) return true;
  float v = le::LoadF32(s.economy.data() + at) / scale;
  bool present = false;
  if (!in.Real(key.c_str(), v, &present)) return false;
  if (!present) return true;
  if (zeroIsOne && v == 0.0f) v = 1.0f;
  le::StoreF32(s.economy.data() + at, v * scale);
  if (copyAt != at) le::StoreF32(s.economy.data() + copyAt, v * scale);
  if (marginCopy) {
    for (PlayerPolicyBlock* block : {&marginCopy->displayPolicy, &marginCopy->simPolicy})
      SetProductReal(block->productPolicy[product], kProductDomesticMargin, v);
  }
  return true;
}

bool ReadAll(ImportReader& in, Staging& s) {
  for (const Key& key : kPlayerKeys)
    if (!ReadRegionKey(in, key, s)) return false;
  for (int d = 1; d <= 4; ++d) {
    if (!ReadRegionBytesKey(in, Indexed("govtypeapprove", d), s, kRegionGovtypeApproveAt + static_cast<size_t>(d - 1)) ||
        !ReadRegionBytesKey(in, Indexed("govtypesuccess", d), s, kRegionGovtypeSuccessAt + static_cast<size_t>(d - 1)))
      return false;
  }
  for (int d = 0; d < kProductCount; ++d) {
    if (!ReadProductKey(in, Indexed("efficiency", d), s, d, kProductEfficiencyAt, false, kProductBaseEfficiencyAt) ||
        !ReadProductKey(in, Indexed("stock", d), s, d, kProductStockAt, false, kProductStockAt) ||
        !ReadProductKey(in, Indexed("demandppmod", d), s, d, kProductDemandPerPersonAt, true,
                        kProductDemandPerPersonAt))
      return false;
  }
  for (const Key& key : kPlayerKeys2)
    if (!ReadRegionKey(in, key, s)) return false;
  for (int d = 0; d < kRegionReligions; ++d) {
    const size_t at = kRegionReligionsAt + 3 * static_cast<size_t>(d);
    if (!ReadRegionBytesKey(in, Indexed("percentpop", d), s, at) ||
        !ReadRegionBytesKey(in, Indexed("tolerance", d), s, at + 1) ||
        !ReadRegionBytesKey(in, Indexed("fervor", d), s, at + 2))
      return false;
  }
  for (int d = 0; d < kSocialPrograms; ++d) {
    const std::string key = Indexed("socialrating", d);
    if (!ReadRegionKey(in, Key{key.c_str(), Kind::kReal,
                               offsetof(PlayerRecord, socialLevels) + 4 * static_cast<size_t>(d)},
                       s))
      return false;
  }
  s.players[0].efficiency = 1.0f;  // the world supplier is loyal to itself

  if (!ReadWorldKey(in, "wmgdpc;", s, kWorldGdpPerHeadAt, 1.0f, false, kWorldPreviousGdpPerHeadAt, nullptr, 0) ||
      !ReadWorldKey(in, "wmprimerate;", s, kWorldPrimeRateAt, 1.0f, false, kWorldPrimeRateAt, nullptr, 0))
    return false;
  for (int d = 0; d < kProductCount; ++d) {
    const size_t at = static_cast<size_t>(d) * 64;
    if (!ReadWorldKey(in, Indexed("wmcost", d), s, at + 0, 1.0f, false, at + 0, nullptr, d) ||
        !ReadWorldKey(in, Indexed("wmproduction", d), s, at + 4, 255.0f, false, at + 4, nullptr, d) ||
        !ReadWorldKey(in, Indexed("wmprodperperson", d), s, at + 40, 1.0f, false, at + 40, nullptr, d) ||
        !ReadWorldKey(in, Indexed("wmprodmaxdemand", d), s, at + 36, 1.0f, false, at + 36, nullptr, d) ||
        !ReadWorldKey(in, Indexed("wmprodmaxmarket", d), s, at + 32, 1.0f, false, at + 32, nullptr, d) ||
        !ReadWorldKey(in, Indexed("wmdomesticmargin", d), s, at + 44, 1.0f, true, at + 44, &s.players[0], d) ||
        !ReadWorldKey(in, Indexed("wmprodoutput", d), s, at + 8, 255.0f, false, at + 8, nullptr, d) ||
        !ReadWorldKey(in, Indexed("wmprodused", d), s, at + 12, 1.0f, false, at + 12, nullptr, d))
      return false;
  }
  for (const Key& key : kPlayerKeys3)
    if (!ReadRegionKey(in, key, s)) return false;
  // The GDP per head's previous copy is its base.
  for (int p = s.first; p < s.first + s.count; ++p) {
    PlayerRecord& r = s.players[static_cast<size_t>(p)];
    r.baseGdpPerCapita = r.gdpPerCapita;
  }
  return in.ok();
}

int32_t Refuse(ImportReader& in, std::string* error) {
  LogRefusedFile(in.path(), in.error());
  if (error) *error = in.error();
  return plat::kFail;
}

}  // namespace

int32_t ReadPlayerCsv(World& world, const char* name, std::string* error) {
  ImportReader in;
  if (in.Load(name) < 0) return Refuse(in, error);

  Staging s;
  int64_t count = 0;
  int64_t first = 0;
  if (!in.FindLineKey("NUMPLAYERSINFILE")) {
    in.Fail("there is no NUMPLAYERSINFILE line");
    return Refuse(in, error);
  }
  if (!in.Int("NUMPLAYERSINFILE", 0, kMaxPlayers, count)) return Refuse(in, error);
  if (count == 0) {
    in.Fail("NUMPLAYERSINFILE is 0: there is no region to read");
    return Refuse(in, error);
  }
  if (!in.FindLineKey("STARTPLAYER")) {
    in.Fail("there is no STARTPLAYER line");
    return Refuse(in, error);
  }
  if (!in.Int("STARTPLAYER", 1, kMaxPlayers - 1, first)) return Refuse(in, error);
  const int recordCount = world.gameState.playerCount;
  if (first + count > recordCount) {
    in.Fail("regions " + std::to_string(first) + " to " + std::to_string(first + count - 1) +
            " do not fit the game's " + std::to_string(recordCount) + " region records");
    return Refuse(in, error);
  }
  s.first = static_cast<int>(first);
  s.count = static_cast<int>(count);

  // The table is rebuilt: fresh records and a fresh economy block.
  s.players.resize(kMaxPlayers);
  std::memset(static_cast<void*>(s.players.data()), 0, sizeof(PlayerRecord) * s.players.size());
  for (PlayerRecord& record : s.players) PlayerRecordInit(record);
  s.economy.assign(kWorldEconomySize, 0);
  s.players[0].kind = kKindWorld;
  for (int p = s.first; p < s.first + s.count; ++p) {
    s.players[static_cast<size_t>(p)].kind = kKindHuman;
    s.players[static_cast<size_t>(p)].number = static_cast<uint8_t>(p);
  }

  if (!ReadAll(in, s)) return Refuse(in, error);

  std::memcpy(static_cast<void*>(world.players), s.players.data(), sizeof world.players);
  world.worldEconomy = std::move(s.economy);
  // The loops over the regions run up to the highest player, so it is the
  // last region read, not the count (they differ when S is above 1).
  world.gameState.highestPlayer = s.first + s.count - 1;
  world.gameState.localPlayer = 1;
  world.localPlayerRecord = &world.players[1];
  return plat::kOk;
}
