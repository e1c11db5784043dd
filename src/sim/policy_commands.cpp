#include "sim/policy_commands.h"

#include <algorithm>
#include <cstring>

#include "sim/command_ids.h"
#include "sim/policy_block_fields.h"
#include "world/text/policy_fields.h"

namespace {

// A float field takes the argument's bits unchanged.
void SetReal(float& field, uint32_t bits) { std::memcpy(&field, &bits, sizeof field); }

// Bit n of the word takes bit 0 of the value.
void SetBit(uint32_t& word, int n, uint32_t value) { word = (word & ~(1u << n)) | ((value & 1u) << n); }

// The mask's bits are set when `on` is non-zero, else cleared.
uint32_t SetOrClear(uint32_t word, uint32_t mask, uint32_t on) { return on ? (word | mask) : (word & ~mask); }

bool IsPlayerIndex(uint32_t v) { return v < static_cast<uint32_t>(kPolicyRegions); }

// The migration switches and their bits.
int MigrationBit(uint32_t id) {
  if (id == kCmdImmControl) return 0;
  if (id == kCmdEmControl) return 1;
  if (id == kCmdImRefugeeInt) return 4;
  if (id >= kCmdImMedic && id <= kCmdImCriminals) return static_cast<int>(id - kCmdImMedic) + 5;             // 5 to 10
  if (id >= kCmdEmScientists && id <= kCmdEmCampReligion) return static_cast<int>(id - kCmdEmScientists) + 14;  // 14 to 23
  return -1;
}

// The rules-of-engagement switches and their bits.
int RoeBit(uint32_t id) {
  switch (id) {
    case kCmdRoeResvDm: return 0;
    case kCmdRoeUseNukeTactical: return 1;
    case kCmdRoeUseChemTactical: return 2;
    case kCmdRoeNeutralEngage: return 3;
    case kCmdRoeScortchedEarth: return 4;
    case kCmdRoePathAllied: return 5;
    case kCmdRoePathNeutral: return 6;
    case kCmdRoePathEnemy: return 7;
    case kCmdRoePathWm: return 8;
    case kCmdRoeNoRepair: return 9;
    case kCmdRoePathNoWmWater: return 10;
    case kCmdRoePathAllAir: return 11;
    case kCmdRoeUseNbcStrategic: return 12;
    case kCmdRoeIcbmLaunchOnLoss: return 13;
    default: return -1;
  }
}

int MilitaryBit(uint32_t id) {
  switch (id) {
    case kCmdBConscript: return 0;
    case kCmdBCoed: return 1;
    case kCmdBUnitAutoBuild: return 3;
    case kCmdBMissilesAutoBuild: return 4;
    default: return -1;
  }
}

// The word of a product's settings that a product id sets, or -1.
int ProductValueWord(uint32_t id) {
  switch (id) {
    case kCmdDomesticMargin: return kProductDomesticMargin;
    case kCmdSubsidy: return kProductSubsidy;
    case kCmdProductionCap: return kProductProductionCap;
    case kCmdAutoSellSurplusPercent: return kProductAutoSellSurplusPercent;
    case kCmdAutoSellMargin: return kProductAutoSellMargin;
    case kCmdAutoBuyMax: return kProductAutoBuyMax;
    case kCmdProdSellParam: return kProductSellParam;
    case kCmdProdSellParam2: return kProductSellParam2;
    case kCmdProdBuyParam: return kProductBuyParam;
    case kCmdPurchaseMax: return kProductPurchaseMax;
    default: return -1;
  }
}

// The bit of a product's flag word that a product switch sets, or -1.
int ProductFlagBit(uint32_t id) {
  switch (id) {
    case kCmdBAutoPurchase: return 0;
    case kCmdBNoBoycottBuy: return 1;
    case kCmdBNoBoycottSell: return 2;
    case kCmdBAutoSell: return 3;
    case kCmdBAutoSellPrice: return 4;
    case kCmdBCapByCapacity: return 5;
    default: return -1;
  }
}

// Float fields set whole from arg28.
float* RealField(PlayerPolicyBlock& b, uint32_t id) {
  switch (id) {
    case kCmdMinWage: return &b.minwage;
    case kCmdWagePriceMax: return &b.wagepricemax;
    case kCmdUserFees: return &b.userfees;
    case kCmdImmigrationTax: return &b.immigrationtax;
    case kCmdUiSpend: return &b.uispend;
    case kCmdWelfSpend: return &b.welfspend;
    case kCmdPensSpend: return &b.pensspend;
    case kCmdImmLimit: return &b.immlimit;
    case kCmdRefugLimit: return &b.refuglimit;
    case kCmdEmLimit: return &b.emlimit;
    case kCmdSoldierTarget: return &b.soldiertarget;
    case kCmdRecruitLimit: return &b.recruitlimit;
    case kCmdMilSpendSalary: return &b.milspendsalary;
    case kCmdMilSpendIntel: return &b.milspendintel;
    case kCmdMilSpendMaint: return &b.milspendmaint;
    case kCmdIntelSpendForFocus: return &b.intelspendforfocus;
    case kCmdMilSpendResearch: return &b.milspendresearch;
    default: return nullptr;
  }
}

// Byte fields that take the low byte of arg28.
uint8_t* ByteField(PlayerPolicyBlock& b, uint32_t id) {
  switch (id) {
    case kCmdReligionState: return &b.religionstate;
    case kCmdReligionOffTol: return &b.religionofftol;
    case kCmdSoldierMinAge: return &b.soldierminage;
    case kCmdMilInitiativeOff: return &b.milinitiativeoff;
    case kCmdMilInitiativeDef: return &b.milinitiativedef;
    default: return nullptr;
  }
}

void Defcon(PlayerPolicyBlock& b, uint32_t a28) {
  const int32_t asked = static_cast<int32_t>(a28);
  // At war the region cannot stand down below 2; at peace it cannot go above 3.
  b.defcon = b.hostileMask != 0 ? std::max(asked, 2) : std::min(asked, 3);
}

void LaunchCount(PlayerPolicyBlock& b, uint32_t index, uint32_t delta) {
  if (index >= static_cast<uint32_t>(kLaunchCounts)) return;
  const int64_t sum = int64_t{LaunchCount(b, static_cast<int>(index))} + static_cast<int32_t>(delta);
  SetLaunchCount(b, static_cast<int>(index), sum < 0 ? uint8_t{0} : static_cast<uint8_t>(sum & 0xFF));
}

void Policy(CommandPass& run) {
  PlayerPolicyBlock& b = run.block;
  const GameCommand& c = run.command;
  const uint32_t id = c.id;
  const uint32_t a28 = c.arg28, a32 = c.arg32, a36 = c.arg36;

  if (float* f = RealField(b, id)) return SetReal(*f, a28);
  if (uint8_t* byte = ByteField(b, id)) {
    *byte = static_cast<uint8_t>(a28);
    return;
  }
  if (int bit = MigrationBit(id); bit >= 0) return SetBit(b.migrationFlags, bit, a28);
  if (int bit = RoeBit(id); bit >= 0) return SetBit(b.roeFlags, bit, a28);
  if (int bit = MilitaryBit(id); bit >= 0) return SetBit(b.militaryFlags, bit, a28);
  if (int word = ProductValueWord(id); word >= 0) {
    if (a28 < static_cast<uint32_t>(kPolicyProducts)) SetProductWord(b.productPolicy[a28], word, a32);
    return;
  }
  if (int bit = ProductFlagBit(id); bit >= 0) {
    if (a28 >= static_cast<uint32_t>(kPolicyProducts)) return;
    uint32_t flags = ProductWord(b.productPolicy[a28], kProductFlags);
    SetBit(flags, bit, a32);
    SetProductWord(b.productPolicy[a28], kProductFlags, flags);
    return;
  }

  switch (id) {
    case kCmdTaxRate:
      if (a28 < static_cast<uint32_t>(kTaxRates)) SetReal(b.taxRates[a28], a32);
      break;
    case kCmdSocialSpend:
      if (a28 < static_cast<uint32_t>(kSocialPrograms)) SetReal(b.socialspend[a28], a32);
      break;
    case kCmdBWagePrice: SetBit(b.wageFlags, 0, a28); break;
    case kCmdBMedical: SetBit(b.wageFlags, 1, a28); break;
    case kCmdBMatchSocials: SetBit(b.wageFlags, 4, a28); break;
    case kCmdProdMilPriority: SetBit(b.productionFlags, 1, a28); break;
    case kCmdProdPlayerMask:
    case kCmdProdPlayerMask2:
      if (a28 < static_cast<uint32_t>(kPolicyProducts) && IsPlayerIndex(a32)) {
        const int word = id == kCmdProdPlayerMask ? kProductPlayerMask : kProductPlayerMask2;
        ProductPolicy& entry = b.productPolicy[a28];
        SetProductWord(entry, word, SetOrClear(ProductWord(entry, word), 1u << a32, a36));
      }
      break;
    case kCmdImRefugee: b.migrationFlags = (b.migrationFlags & ~0xCu) | ((a28 & 3u) << 2); break;
    case kCmdDefcon: Defcon(b, a28); break;
    case kCmdMilResearch:
      if (a28 < 3) SetReal(b.milResearch[a28], a32);
      break;
    case kCmdRoeScorchedType: b.roescorchedtype = a28; break;
    case kCmdRoeRegionFlag:
      if (IsPlayerIndex(a32)) {
        RegionPolicy& region = b.regionPolicy[a32];
        SetRoeRegionFlag(region, SetOrClear(RoeRegionFlag(region), a28, a36));
      }
      break;
    case kCmdAutoBuildValues:
      b.autobuildvalues[0] = static_cast<uint8_t>(a28);
      b.autobuildvalues[1] = static_cast<uint8_t>(a32);
      break;
    case kCmdAutoBuildMissiles:
      b.autobuildmissiles[0] = static_cast<uint8_t>(a28);
      b.autobuildmissiles[1] = static_cast<uint8_t>(a32);
      break;
    case kCmdPairMaskSwap:
      if (IsPlayerIndex(a28)) {
        const uint32_t bit = 1u << a28;
        SetPairMask1(b, SetOrClear(PairMask1(b), bit, a32));
        b.hostileMask = SetOrClear(b.hostileMask, bit, a32 ? 0u : 1u);
      }
      break;
    case kCmdPairMask:
      if (IsPlayerIndex(a28)) SetPairMask2(b, SetOrClear(PairMask2(b), 1u << a28, a32));
      break;
    case kCmdBuildListValue:
      if (a28 < static_cast<uint32_t>(kBuildListValues))
        SetBuildListValue(b, static_cast<int>(a28), static_cast<int32_t>(c.arg24));
      break;
    case kCmdCabSetSid:
      if (a28 < static_cast<uint32_t>(kCabinetPosts)) {
        SetCabinetId(b.cabinetPolicy[a28], 0, static_cast<uint8_t>(a32));
        SetCabinetId(b.cabinetPolicy[a28], 1, static_cast<uint8_t>(a36));
      }
      break;
    case kCmdCabSetControl:
      if (a28 < static_cast<uint32_t>(kCabinetPosts))
        SetCabinetControl(b.cabinetPolicy[a28], static_cast<int16_t>(a32 & 0xFFFFu));
      break;
    case kCmdCabSetPriorities:
      if (a28 < static_cast<uint32_t>(kCabinetPosts)) SetCabinetPriorities(b.cabinetPolicy[a28], a32);
      break;
    case kCmdCabSetLocks:
      if (a28 < static_cast<uint32_t>(kCabinetPosts)) SetCabinetLocks(b.cabinetPolicy[a28], a32);
      break;
    case kCmdCabSetMask:
      if (a28 < static_cast<uint32_t>(kCabinetPosts)) {
        CabinetPolicy& post = b.cabinetPolicy[a28];
        SetCabinetLocks(post, SetOrClear(CabinetLocks(post), a32, a36));
      }
      break;
    case kCmdDefSetAdvOrders:
      b.defsetadvorders[0] = a28;
      b.defsetadvorders[1] = a32;
      break;
    case kCmdLaunchBit:
      if (a28 < 8) SetLaunchBits(b, static_cast<uint8_t>(LaunchBits(b) | (1u << a28)));
      break;
    case kCmdLaunchCount: LaunchCount(b, a28, a32); break;
    default: break;
  }
}

}  // namespace

CommandHandler PolicyCommandHandler(uint32_t id) {
  static constexpr uint32_t kOthers[] = {
      kCmdTaxRate, kCmdSocialSpend, kCmdBWagePrice, kCmdBMedical, kCmdBMatchSocials, kCmdProdMilPriority, kCmdProdPlayerMask, kCmdProdPlayerMask2, kCmdImRefugee, kCmdDefcon, kCmdMilResearch, kCmdRoeScorchedType, kCmdRoeRegionFlag, kCmdAutoBuildValues, kCmdAutoBuildMissiles, kCmdPairMaskSwap, kCmdPairMask, kCmdBuildListValue, kCmdCabSetSid, kCmdCabSetControl, kCmdCabSetPriorities, kCmdCabSetLocks, kCmdDefSetAdvOrders, kCmdCabSetMask, kCmdLaunchBit, kCmdLaunchCount};
  static PlayerPolicyBlock probe{};  // only the addresses are asked for
  bool policy = RealField(probe, id) || ByteField(probe, id) || MigrationBit(id) >= 0 || RoeBit(id) >= 0 ||
                MilitaryBit(id) >= 0 || ProductValueWord(id) >= 0 || ProductFlagBit(id) >= 0;
  for (uint32_t other : kOthers) policy = policy || other == id;
  return policy ? &Policy : nullptr;
}
