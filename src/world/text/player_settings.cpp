#include "world/text/player_settings.h"

#include <bit>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "app/text_tokenizer.h"
#include "app/text_writer.h"
#include "platform/fpenv.h"
#include "platform/paths.h"
#include "platform/status.h"
#include "records/command_ids.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

using Form = SettingKey::Form;
using Place = SettingKey::Place;
using Post = SettingKey::Post;

// The index of a flag word's bit, from its one name.
constexpr uint8_t Bit(uint32_t flag) { return static_cast<uint8_t>(std::countr_zero(flag)); }

#define OFF(field) static_cast<uint16_t>(offsetof(PlayerPolicyBlock, field))
#define MIG OFF(migrationFlags)
#define TAX(k) static_cast<uint16_t>(offsetof(PlayerPolicyBlock, taxRates) + 4 * (k))
#define MILR(k) static_cast<uint16_t>(offsetof(PlayerPolicyBlock, milResearch) + 4 * (k))

constexpr SettingKey kKeys[] = {
    {"immlimit", Form::kReal, Place::kF32, OFF(immlimit), 0, 1, kCmdImmLimit, Post::kOne, true},
    {"refuglimit", Form::kReal, Place::kF32, OFF(refuglimit), 0, 1, kCmdRefugLimit, Post::kOne, true},
    {"emlimit", Form::kReal, Place::kF32, OFF(emlimit), 0, 1, kCmdEmLimit, Post::kOne, true},
    {"immcontrol", Form::kYesNo, Place::kBit, MIG, 0, 1, kCmdImmControl, Post::kOne, true},
    {"emcontrol", Form::kYesNo, Place::kBit, MIG, 1, 1, kCmdEmControl, Post::kOne, true},
    {"imrefugee", Form::kWhole, Place::kRefugee, MIG, 2, 1, kCmdImRefugee, Post::kOne, true},
    {"imrefugeeint", Form::kYesNo, Place::kBit, MIG, 4, 1, kCmdImRefugeeInt, Post::kOne, true},
    {"immedic", Form::kYesNo, Place::kBit, MIG, 5, 1, kCmdImMedic, Post::kOne, true},
    {"imethnic", Form::kYesNo, Place::kBit, MIG, 6, 1, kCmdImEthnic, Post::kOne, true},
    {"imeduc", Form::kYesNo, Place::kBit, MIG, 7, 1, kCmdImEduc, Post::kOne, true},
    {"imskills", Form::kYesNo, Place::kBit, MIG, 8, 1, kCmdImSkills, Post::kOne, true},
    {"imwealth", Form::kYesNo, Place::kBit, MIG, 9, 1, kCmdImWealth, Post::kOne, true},
    {"imcriminals", Form::kYesNo, Place::kBit, MIG, 10, 1, kCmdImCriminals, Post::kOne, true},
    {"emscientists", Form::kYesNo, Place::kBit, MIG, 14, 1, kCmdEmScientists, Post::kOne, true},
    {"emlabourers", Form::kYesNo, Place::kBit, MIG, 15, 1, kCmdEmLabourers, Post::kOne, true},
    {"emdissidents", Form::kYesNo, Place::kBit, MIG, 16, 1, kCmdEmDissidents, Post::kOne, true},
    {"emskilled", Form::kYesNo, Place::kBit, MIG, 17, 1, kCmdEmSkilled, Post::kOne, true},
    {"emwealthy", Form::kYesNo, Place::kBit, MIG, 18, 1, kCmdEmWealthy, Post::kOne, true},
    {"emstudents", Form::kYesNo, Place::kBit, MIG, 19, 1, kCmdEmStudents, Post::kOne, true},
    {"emexileopp", Form::kYesNo, Place::kBit, MIG, 20, 1, kCmdEmExileOpp, Post::kOne, true},
    {"emexilecrime", Form::kYesNo, Place::kBit, MIG, 21, 1, kCmdEmExileCrime, Post::kOne, true},
    {"emexilereligion", Form::kYesNo, Place::kBit, MIG, 22, 1, kCmdEmExileReligion, Post::kOne, true},
    {"emcampreligion", Form::kYesNo, Place::kBit, MIG, 23, 1, kCmdEmCampReligion, Post::kOne, true},
    {"salesgoodstax", Form::kReal, Place::kF32, TAX(0), 0, 1, kCmdTaxRate, Post::kFixed, true},
    {"salesservtax", Form::kReal, Place::kF32, TAX(1), 1, 1, kCmdTaxRate, Post::kFixed, true},
    {"corptax", Form::kReal, Place::kF32, TAX(2), 2, 1, kCmdTaxRate, Post::kFixed, true},
    {"smallbustax", Form::kReal, Place::kF32, TAX(3), 3, 1, kCmdTaxRate, Post::kFixed, true},
    {"socialtax", Form::kReal, Place::kF32, TAX(4), 4, 1, kCmdTaxRate, Post::kFixed, true},
    {"pensiontax", Form::kReal, Place::kF32, TAX(5), 5, 1, kCmdTaxRate, Post::kFixed, true},
    {"importduty", Form::kReal, Place::kF32, TAX(6), 6, 1, kCmdTaxRate, Post::kFixed, true},
    {"exportduty", Form::kReal, Place::kF32, TAX(7), 7, 1, kCmdTaxRate, Post::kFixed, true},
    {"propertytax", Form::kReal, Place::kF32, TAX(8), 8, 1, kCmdTaxRate, Post::kFixed, true},
    {"incomelowtax", Form::kReal, Place::kF32, TAX(9), 9, 1, kCmdTaxRate, Post::kFixed, true},
    {"incomemidtax", Form::kReal, Place::kF32, TAX(10), 10, 1, kCmdTaxRate, Post::kFixed, true},
    {"incomehightax", Form::kReal, Place::kF32, TAX(11), 11, 1, kCmdTaxRate, Post::kFixed, true},
    {"userfees", Form::kReal, Place::kF32, OFF(userfees), 0, 1, kCmdUserFees, Post::kOne, true},
    {"immigrationtax", Form::kReal, Place::kF32, OFF(immigrationtax), 0, 1, kCmdImmigrationTax, Post::kOne, true},
    {"uispend", Form::kReal, Place::kF32, OFF(uispend), 0, 1, kCmdUiSpend, Post::kOne, true},
    {"welfspend", Form::kReal, Place::kF32, OFF(welfspend), 0, 1, kCmdWelfSpend, Post::kOne, true},
    {"pensspend", Form::kReal, Place::kF32, OFF(pensspend), 0, 1, kCmdPensSpend, Post::kOne, true},
    {"socialspend", Form::kReal, Place::kF32, OFF(socialspend), 0, kSocialPrograms, kCmdSocialSpend, Post::kEach, true},
    {"wagepricemax", Form::kReal, Place::kF32, OFF(wagepricemax), 0, 1, kCmdWagePriceMax, Post::kOne, true},
    {"minwage", Form::kReal, Place::kF32, OFF(minwage), 0, 1, kCmdMinWage, Post::kOne, true},
    {"bwageprice", Form::kYesNo, Place::kBit, OFF(wageFlags), 0, 1, kCmdBWagePrice, Post::kOne, true},
    {"bmedical", Form::kYesNo, Place::kBit, OFF(wageFlags), Bit(kWageMedical), 1, kCmdBMedical, Post::kOne, true},
    {"bmatchsocials", Form::kYesNo, Place::kBit, OFF(wageFlags), 4, 1, kCmdBMatchSocials, Post::kOne, true},
    {"defcon", Form::kWhole, Place::kI32, OFF(defcon), 0, 1, kCmdDefcon, Post::kOne, false},
    {"soldiertarget", Form::kReal, Place::kF32, OFF(soldiertarget), 0, 1, kCmdSoldierTarget, Post::kOne, true},
    {"recruitlimit", Form::kReal, Place::kF32, OFF(recruitlimit), 0, 1, kCmdRecruitLimit, Post::kOne, true},
    {"soldierminage", Form::kByte, Place::kU8, OFF(soldierminage), 0, 1, kCmdSoldierMinAge, Post::kOne, true},
    {"milspendsalary", Form::kReal, Place::kF32, OFF(milspendsalary), 0, 1, kCmdMilSpendSalary, Post::kOne, false},
    {"milspendmaint", Form::kReal, Place::kF32, OFF(milspendmaint), 0, 1, kCmdMilSpendMaint, Post::kOne, false},
    {"milspendintel", Form::kReal, Place::kF32, OFF(milspendintel), 0, 1, kCmdMilSpendIntel, Post::kOne, false},
    {"milspendresearch", Form::kReal, Place::kF32, OFF(milspendresearch), 0, 1, kCmdMilSpendResearch, Post::kOne, false},
    {"milresearchtechlvl", Form::kReal, Place::kF32, MILR(0), 0, 1, kCmdMilResearch, Post::kFixed, true},
    {"milresearchtechs", Form::kReal, Place::kF32, MILR(1), 1, 1, kCmdMilResearch, Post::kFixed, true},
    {"milresearcheff", Form::kReal, Place::kF32, MILR(2), 2, 1, kCmdMilResearch, Post::kFixed, true},
    {"bconscript", Form::kYesNo, Place::kBit, OFF(militaryFlags), Bit(kMilitaryConscript), 1, kCmdBConscript, Post::kOne, false},
    {"bcoed", Form::kYesNo, Place::kBit, OFF(militaryFlags), Bit(kMilitaryCoed), 1, kCmdBCoed, Post::kOne, true},
    {"religionstate", Form::kByte, Place::kU8, OFF(religionstate), 0, 1, kCmdReligionState, Post::kOne, true},
    {"religionofftol", Form::kByte, Place::kU8, OFF(religionofftol), 0, 1, kCmdReligionOffTol, Post::kOne, true},
    {"domesticmargin", Form::kReal, Place::kProductReal, 0, kProductDomesticMargin, kPolicyProducts, kCmdDomesticMargin, Post::kEach, true},
    {"subsidy", Form::kReal, Place::kProductReal, 0, kProductSubsidy, kPolicyProducts, kCmdSubsidy, Post::kEach, true},
    {"productioncap", Form::kReal, Place::kProductReal, 0, kProductProductionCap, kPolicyProducts, kCmdProductionCap, Post::kEach, true},
    {"autosellsurpluspercent", Form::kReal, Place::kProductReal, 0, kProductAutoSellSurplusPercent, kPolicyProducts, kCmdAutoSellSurplusPercent, Post::kEach, true},
    {"autosellmargin", Form::kReal, Place::kProductReal, 0, kProductAutoSellMargin, kPolicyProducts, kCmdAutoSellMargin, Post::kEach, true},
    {"autobuymax", Form::kReal, Place::kProductReal, 0, kProductAutoBuyMax, kPolicyProducts, kCmdAutoBuyMax, Post::kEach, true},
    {"bautopurchase", Form::kYesNo, Place::kProductBit, 0, 0, kPolicyProducts, kCmdBAutoPurchase, Post::kEach, true},
    {"bnoboycottbuy", Form::kYesNo, Place::kProductBit, 0, 1, kPolicyProducts, kCmdBNoBoycottBuy, Post::kEach, true},
    {"bnoboycottsell", Form::kYesNo, Place::kProductBit, 0, 2, kPolicyProducts, kCmdBNoBoycottSell, Post::kEach, true},
    {"bautosell", Form::kYesNo, Place::kProductBit, 0, 3, kPolicyProducts, kCmdBAutoSell, Post::kEach, true},
    {"bautosellprice", Form::kYesNo, Place::kProductBit, 0, 4, kPolicyProducts, kCmdBAutoSellPrice, Post::kEach, true},
    {"bcapbycapacity", Form::kYesNo, Place::kProductBit, 0, 5, kPolicyProducts, kCmdBCapByCapacity, Post::kEach, true},
    {"purchasemax", Form::kReal, Place::kProductReal, 0, kProductPurchaseMax, kPolicyProducts, kCmdPurchaseMax, Post::kEach, true},
    {"prodmilpriority", Form::kYesNo, Place::kBit, OFF(productionFlags), 1, 1, kCmdProdMilPriority, Post::kOne, true},
    {"roeresvdm", Form::kYesNo, Place::kBit, OFF(roeFlags), 0, 1, kCmdRoeResvDm, Post::kOne, true},
    {"roeusenuketactical", Form::kYesNo, Place::kBit, OFF(roeFlags), 1, 1, kCmdRoeUseNukeTactical, Post::kOne, true},
    {"roeusechemtactical", Form::kYesNo, Place::kBit, OFF(roeFlags), 2, 1, kCmdRoeUseChemTactical, Post::kOne, true},
    {"roeneutralengage", Form::kYesNo, Place::kBit, OFF(roeFlags), 3, 1, kCmdRoeNeutralEngage, Post::kOne, true},
    {"roescortchedearth", Form::kYesNo, Place::kBit, OFF(roeFlags), 4, 1, kCmdRoeScortchedEarth, Post::kOne, true},
    {"roepathallied", Form::kYesNo, Place::kBit, OFF(roeFlags), 5, 1, kCmdRoePathAllied, Post::kOne, true},
    {"roepathneutral", Form::kYesNo, Place::kBit, OFF(roeFlags), 6, 1, kCmdRoePathNeutral, Post::kOne, true},
    {"roepathenemy", Form::kYesNo, Place::kBit, OFF(roeFlags), 7, 1, kCmdRoePathEnemy, Post::kOne, true},
    {"roepathwm", Form::kYesNo, Place::kBit, OFF(roeFlags), 8, 1, kCmdRoePathWm, Post::kOne, true},
    {"roepathnowmwater", Form::kYesNo, Place::kBit, OFF(roeFlags), 10, 1, kCmdRoePathNoWmWater, Post::kOne, true},
    {"roepathallair", Form::kYesNo, Place::kBit, OFF(roeFlags), 11, 1, kCmdRoePathAllAir, Post::kOne, true},
    {"roenorepair", Form::kYesNo, Place::kBit, OFF(roeFlags), 9, 1, kCmdRoeNoRepair, Post::kOne, true},
    {"roescorchedtype", Form::kMask, Place::kU32, OFF(roescorchedtype), 0, 1, kCmdRoeScorchedType, Post::kOne, true},
    {"roeusenbcstrategic", Form::kYesNo, Place::kBit, OFF(roeFlags), 12, 1, kCmdRoeUseNbcStrategic, Post::kOne, true},
    {"roeicbmlaunchonloss", Form::kYesNo, Place::kBit, OFF(roeFlags), 13, 1, kCmdRoeIcbmLaunchOnLoss, Post::kOne, true},
    {"milinitiativeoff", Form::kByte, Place::kU8, OFF(milinitiativeoff), 0, 1, kCmdMilInitiativeOff, Post::kOne, true},
    {"milinitiativedef", Form::kByte, Place::kU8, OFF(milinitiativedef), 0, 1, kCmdMilInitiativeDef, Post::kOne, true},
    {"intelspendforfocus", Form::kReal, Place::kF32, OFF(intelspendforfocus), 0, 1, kCmdIntelSpendForFocus, Post::kOne, true},
    {"bunitautobuild", Form::kYesNo, Place::kBit, OFF(militaryFlags), Bit(kMilitaryUnitAutoBuild), 1, kCmdBUnitAutoBuild, Post::kOne, true},
    {"bmissilesautobuild", Form::kYesNo, Place::kBit, OFF(militaryFlags), Bit(kMilitaryMissileAutoBuild), 1, kCmdBMissilesAutoBuild, Post::kOne, true},
    {"autobuildvalues", Form::kByte, Place::kU8, OFF(autobuildvalues), 0, 2, kCmdAutoBuildValues, Post::kPair, true},
    {"autobuildmissiles", Form::kMask, Place::kU8, OFF(autobuildmissiles), 0, 2, kCmdAutoBuildMissiles, Post::kPair, true},
    {"roeregionflag", Form::kMask, Place::kRegionFlag, 0, 0, kPolicyRegions, kCmdRoeRegionFlag, Post::kRegions, true},
    {"defsetadvorders", Form::kMask, Place::kU32, OFF(defsetadvorders), 0, 2, kCmdDefSetAdvOrders, Post::kPair, true},
    {"cabsetsid", Form::kByte, Place::kCabinetIds, 0, 0, 2 * kCabinetPosts, kCmdCabSetSid, Post::kCabinet, true},
    {"cabsetcontrol", Form::kWhole, Place::kCabinetControl, 0, 0, kCabinetPosts, kCmdCabSetControl, Post::kEach, true},
    {"cabsetpriorities", Form::kMask, Place::kCabinetPriorities, 0, 0, kCabinetPosts, kCmdCabSetPriorities, Post::kEach, true},
    {"cabsetlocks", Form::kMask, Place::kCabinetLocks, 0, 0, kCabinetPosts, kCmdCabSetLocks, Post::kEach, true},
};
static_assert(sizeof kKeys / sizeof kKeys[0] == 103);

#undef OFF
#undef MIG
#undef TAX
#undef MILR

constexpr int kMostValues = 32;

const uint8_t* Bytes(const PlayerPolicyBlock& b) { return reinterpret_cast<const uint8_t*>(&b); }
uint8_t* Bytes(PlayerPolicyBlock& b) { return reinterpret_cast<uint8_t*>(&b); }

// Value i of a key as its command carries it: a float's bits, a switch as 0
// or 1, a byte as its unsigned value, a 16-bit control sign-extended.
uint32_t GetValue(const PlayerPolicyBlock& b, const SettingKey& k, int i) {
  const uint8_t* at = Bytes(b) + k.offset;
  switch (k.place) {
    case Place::kF32:
    case Place::kU32: return le::Load32(at + 4 * i);
    case Place::kI32: return le::Load32(at);
    case Place::kU8: return at[i];
    case Place::kBit: return (le::Load32(at) >> k.arg) & 1u;
    case Place::kRefugee: return (le::Load32(at) >> 2) & 3u;
    case Place::kProductReal: return ProductWord(b.productPolicy[i], k.arg);
    case Place::kProductBit: return (ProductWord(b.productPolicy[i], kProductFlags) >> k.arg) & 1u;
    case Place::kRegionFlag: return RoeRegionFlag(b.regionPolicy[i]);
    case Place::kCabinetIds: return CabinetId(b.cabinetPolicy[i / 2], i % 2);
    case Place::kCabinetControl: return static_cast<uint32_t>(static_cast<int32_t>(CabinetControl(b.cabinetPolicy[i])));
    case Place::kCabinetPriorities: return CabinetPriorities(b.cabinetPolicy[i]);
    case Place::kCabinetLocks: return CabinetLocks(b.cabinetPolicy[i]);
  }
  return 0;
}

uint32_t WithBit(uint32_t word, int bit, uint32_t value) {
  return (word & ~(1u << bit)) | ((value & 1u) << bit);
}

// Stores value i of a key straight into a block, as its command would.
void SetValue(PlayerPolicyBlock& b, const SettingKey& k, int i, uint32_t v) {
  uint8_t* at = Bytes(b) + k.offset;
  switch (k.place) {
    case Place::kF32:
    case Place::kU32: le::Store32(at + 4 * i, v); break;
    case Place::kI32: le::Store32(at, v); break;
    case Place::kU8: at[i] = static_cast<uint8_t>(v & 0xFFu); break;
    case Place::kBit: le::Store32(at, WithBit(le::Load32(at), k.arg, v)); break;
    case Place::kRefugee: le::Store32(at, (le::Load32(at) & ~0xCu) | ((v & 3u) << 2)); break;
    case Place::kProductReal: SetProductWord(b.productPolicy[i], k.arg, v); break;
    case Place::kProductBit: {
      ProductPolicy& p = b.productPolicy[i];
      SetProductWord(p, kProductFlags, WithBit(ProductWord(p, kProductFlags), k.arg, v));
      break;
    }
    case Place::kRegionFlag: SetRoeRegionFlag(b.regionPolicy[i], v); break;
    case Place::kCabinetIds: SetCabinetId(b.cabinetPolicy[i / 2], i % 2, static_cast<uint8_t>(v & 0xFFu)); break;
    case Place::kCabinetControl: SetCabinetControl(b.cabinetPolicy[i], static_cast<int16_t>(v & 0xFFFFu)); break;
    case Place::kCabinetPriorities: SetCabinetPriorities(b.cabinetPolicy[i], v); break;
    case Place::kCabinetLocks: SetCabinetLocks(b.cabinetPolicy[i], v); break;
  }
}

// Reads one value at the cursor in the key's form; an absent or empty field
// gives the current value.
uint32_t ReadValue(TextTokenizer& t, Form form, uint32_t current) {
  switch (form) {
    case Form::kReal: {
      float f;
      std::memcpy(&f, &current, sizeof f);
      f = ReadFieldFloat(t, f);
      uint32_t bits;
      std::memcpy(&bits, &f, sizeof bits);
      return bits;
    }
    case Form::kWhole: return static_cast<uint32_t>(ReadFieldInt32(t, static_cast<int32_t>(current)));
    case Form::kByte: return ReadFieldInt(t, static_cast<uint8_t>(current & 0xFFu));
    case Form::kYesNo: return static_cast<uint32_t>(ReadFieldBool(t, static_cast<int32_t>(current & 1u)));
    case Form::kMask: return static_cast<uint32_t>(ReadFieldLong(t, static_cast<int32_t>(current)));
  }
  return current;
}

// Finds the key and reads its values; false when the key is not in the text.
bool ReadKeyValues(TextTokenizer& t, const SettingKey& k, const PlayerPolicyBlock& defaults, uint32_t* values) {
  char* value = FindKeyword(t, k.key, false);
  if (!value) return false;
  t.cursor = value;
  for (int i = 0; i < k.count; ++i) values[i] = ReadValue(t, k.form, GetValue(defaults, k, i));
  return true;
}

void PostKey(SettingsPoster post, const SettingKey& k, int32_t player, const uint32_t* v) {
  switch (k.post) {
    case Post::kOne: post(k.command, player, v[0], 0, 0); break;
    case Post::kFixed: post(k.command, player, k.arg, v[0], 0); break;
    case Post::kEach:
      for (int i = 0; i < k.count; ++i) post(k.command, player, static_cast<uint32_t>(i), v[i], 0);
      break;
    case Post::kPair: post(k.command, player, v[0], v[1], 0); break;
    case Post::kRegions:
      for (int r = 0; r < k.count; ++r) post(k.command, player, v[r], static_cast<uint32_t>(r), 1);
      break;
    case Post::kCabinet:
      for (int c = 0; c < k.count / 2; ++c) post(k.command, player, static_cast<uint32_t>(c), v[2 * c], v[2 * c + 1]);
      break;
  }
}

void WriteValue(std::FILE* file, Form form, uint32_t v) {
  char text[72];
  switch (form) {
    case Form::kReal: {
      float f;
      std::memcpy(&f, &v, sizeof f);
      plat::FormatText(text, sizeof text, "%f, ", static_cast<double>(f));
      break;
    }
    case Form::kWhole: plat::FormatText(text, sizeof text, "%d, ", static_cast<int>(static_cast<int32_t>(v))); break;
    case Form::kByte:
    case Form::kYesNo: plat::FormatText(text, sizeof text, "%u, ", static_cast<unsigned>(v)); break;
    case Form::kMask: plat::FormatText(text, sizeof text, "0x%X, ", static_cast<unsigned>(v)); break;
  }
  std::fputs(text, file);
}

void WriteKey(std::FILE* file, const SettingKey& k, const PlayerPolicyBlock& b) {
  std::fputs(k.key, file);
  std::fputc('\t', file);
  for (int i = 0; i < k.count; ++i) WriteValue(file, k.form, GetValue(b, k, i));
  std::fputs("\r\n", file);
}

int32_t LoadSettingsText(TextTokenizer& t, const char* directory, const char* name) {
  if (!name) return plat::kFail;
  if (!directory) directory = kPlayerSetDirectory;
  if (LoadTextFile(directory, t, name, ".INI") < 0 || !t.text || t.length <= 0) {
    // As with a rule table: the regions keep the settings they hold, but
    // never without a word, since a lost settings file changes the game.
    const std::string path = std::string(directory) + name + ".INI";
    std::string why = plat::FileReadRefusal(path);
    if (why.empty()) why = "the file cannot be read";
    LogWrite(g_platform, "%s: %s; the settings are not read, and the regions play with those they hold.\n",
             path.c_str(), why.c_str());
    return plat::kFail;
  }
  return plat::kOk;
}

}  // namespace

std::span<const SettingKey> SettingKeys() { return kKeys; }

uint32_t SettingValue(const PlayerPolicyBlock& block, const SettingKey& key, int i) { return GetValue(block, key, i); }

void SetSettingValue(PlayerPolicyBlock& block, const SettingKey& key, int i, uint32_t value) {
  SetValue(block, key, i, value);
}

bool IsSettingCommand(uint32_t id) {
  for (const SettingKey& k : kKeys)
    if (k.command == id) return true;
  return false;
}

bool ApplySettingCommand(PlayerPolicyBlock& b, uint32_t id, uint32_t a28, uint32_t a32, uint32_t a36) {
  bool found = false;
  for (const SettingKey& k : kKeys) {
    if (k.command != id) continue;
    found = true;
    const auto count = static_cast<uint32_t>(k.count);
    switch (k.post) {
      case Post::kOne: SetValue(b, k, 0, a28); return true;
      case Post::kFixed:
        // The keys of one command, each with its own index.
        if (a28 != k.arg) continue;
        SetValue(b, k, 0, a32);
        return true;
      case Post::kEach:
        if (a28 < count) SetValue(b, k, static_cast<int>(a28), a32);
        return true;
      case Post::kPair:
        SetValue(b, k, 0, a28);
        SetValue(b, k, 1, a32);
        return true;
      case Post::kRegions:
        if (a32 < count) {
          const int r = static_cast<int>(a32);
          const uint32_t flags = GetValue(b, k, r);
          SetValue(b, k, r, a36 ? (flags | a28) : (flags & ~a28));
        }
        return true;
      case Post::kCabinet:
        if (a28 < count / 2) {
          SetValue(b, k, static_cast<int>(2 * a28), a32);
          SetValue(b, k, static_cast<int>(2 * a28 + 1), a36);
        }
        return true;
    }
  }
  return found;
}

int32_t LoadPlayerSettings(const PlayerRecord* region, int32_t player, const char* name, const char* directory,
                           SettingsPoster post) {
  if (!region || !post || player < 0 || player >= kMaxPlayers) return plat::kFail;
  TextTokenizer t;
  if (LoadSettingsText(t, directory, name) < 0) return plat::kFail;
  for (const SettingKey& k : kKeys) {
    uint32_t values[kMostValues];
    if (ReadKeyValues(t, k, region->displayPolicy, values)) PostKey(post, k, player, values);
  }
  return plat::kOk;
}

int32_t SavePlayerSettings(const PlayerRecord* region, const char* name) {
  if (!region || !name) return plat::kFail;
  plat::MakeGameDirectories(kPlayerSetDirectory);
  ReplacingFile file;
  if (CreateTextFile(kPlayerSetDirectory, file, name, ".INI") < 0) return plat::kFail;
  const PlayerPolicyBlock& b = region->displayPolicy;
  for (size_t i = 0; i < sizeof kKeys / sizeof kKeys[0]; ++i) {
    // The refugee-intake switch is written before the refugee setting.
    size_t at = i;
    if (std::strcmp(kKeys[i].key, "imrefugee") == 0) at = i + 1;
    if (std::strcmp(kKeys[i].key, "imrefugeeint") == 0) at = i - 1;
    WriteKey(file.get(), kKeys[at], b);
  }
  std::fputs("\r\n", file.get());
  std::fputc('\0', file.get());
  return file.Close();
}

int32_t LoadDefaultPlayerSettings(PlayerRecord* players, int32_t count, const char* name) {
  if (!players || count < 2) return plat::kFail;
  TextTokenizer t;
  if (LoadSettingsText(t, kPlayerSetDirectory, name) < 0) return plat::kFail;
  PlayerPolicyBlock& templ = players[1].simPolicy;
  for (const SettingKey& k : kKeys) {
    if (!k.inTemplate) continue;
    uint32_t values[kMostValues];
    if (!ReadKeyValues(t, k, templ, values)) continue;
    for (int i = 0; i < k.count; ++i) SetValue(templ, k, i, values[i]);
  }
  players[1].displayPolicy = templ;
  const int32_t last = count < kMaxPlayers ? count : kMaxPlayers;
  for (int32_t r = 2; r < last; ++r) {
    PlayerPolicyBlock& sim = players[r].simPolicy;
    const PlayerPolicyBlock kept = sim;
    sim = templ;
    sim.defcon = kept.defcon;
    sim.milspendsalary = kept.milspendsalary;
    sim.milspendmaint = kept.milspendmaint;
    sim.milspendintel = kept.milspendintel;
    sim.milspendresearch = kept.milspendresearch;
    sim.religionstate = kept.religionstate;
    sim.militaryFlags = (sim.militaryFlags & ~kMilitaryConscript) | (kept.militaryFlags & kMilitaryConscript);
    sim.wageFlags = (sim.wageFlags & ~kWorldBodyMember) | (kept.wageFlags & kWorldBodyMember);
    players[r].displayPolicy = sim;
  }
  return plat::kOk;
}

int32_t SavePlayerSettings(World& world, const char* name) { return SavePlayerSettings(world.localPlayerRecord, name); }

int32_t LoadDefaultPlayerSettings(World& world, const char* name) {
  if (!world.localPlayerRecord) return plat::kFail;
  return LoadDefaultPlayerSettings(world.players, kMaxPlayers, name);
}
