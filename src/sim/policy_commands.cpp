#include "sim/policy_commands.h"

#include <algorithm>
#include <cstring>

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

// The migration switches: ids 84 to 103 and their bits.
int MigrationBit(uint32_t id) {
  if (id == 84) return 0;
  if (id == 85) return 1;
  if (id == 103) return 4;
  if (id >= 87 && id <= 92) return static_cast<int>(id) - 82;   // 5 to 10
  if (id >= 93 && id <= 102) return static_cast<int>(id) - 79;  // 14 to 23
  return -1;
}

// The rules-of-engagement switches and their bits.
int RoeBit(uint32_t id) {
  switch (id) {
    case 150: return 0;
    case 161: return 1;
    case 162: return 2;
    case 153: return 3;
    case 154: return 4;
    case 144: return 5;
    case 145: return 6;
    case 146: return 7;
    case 147: return 8;
    case 149: return 9;
    case 148: return 10;
    case 156: return 11;
    case 152: return 12;
    case 151: return 13;
    default: return -1;
  }
}

int MilitaryBit(uint32_t id) {
  switch (id) {
    case 139: return 0;
    case 140: return 1;
    case 158: return 3;
    case 163: return 4;
    default: return -1;
  }
}

// The word of a product's settings that a product id sets, or -1.
int ProductValueWord(uint32_t id) {
  switch (id) {
    case 51: return kProductDomesticMargin;
    case 53: return kProductSubsidy;
    case 54: return kProductProductionCap;
    case 57: return kProductAutoSellSurplusPercent;
    case 58: return kProductAutoSellMargin;
    case 59: return kProductAutoBuyMax;
    case 65: return kProductSellParam;
    case 66: return kProductSellParam2;
    case 67: return kProductBuyParam;
    case 68: return kProductPurchaseMax;
    default: return -1;
  }
}

// The bit of a product's flag word that a product switch sets, or -1.
int ProductFlagBit(uint32_t id) {
  switch (id) {
    case 60: return 0;
    case 61: return 1;
    case 62: return 2;
    case 63: return 3;
    case 70: return 4;
    case 64: return 5;
    default: return -1;
  }
}

// Float fields set whole from arg28.
float* RealField(PlayerPolicyBlock& b, uint32_t id) {
  switch (id) {
    case 16: return &b.minwage;
    case 18: return &b.wagepricemax;
    case 20: return &b.userfees;
    case 21: return &b.immigrationtax;
    case 22: return &b.uispend;
    case 23: return &b.welfspend;
    case 24: return &b.pensspend;
    case 81: return &b.immlimit;
    case 82: return &b.refuglimit;
    case 83: return &b.emlimit;
    case 129: return &b.soldiertarget;
    case 130: return &b.recruitlimit;
    case 132: return &b.milspendsalary;
    case 133: return &b.milspendintel;
    case 134: return &b.milspendmaint;
    case 135: return &b.intelspendforfocus;
    case 136: return &b.milspendresearch;
    default: return nullptr;
  }
}

// Byte fields that take the low byte of arg28.
uint8_t* ByteField(PlayerPolicyBlock& b, uint32_t id) {
  switch (id) {
    case 104: return &b.religionstate;
    case 105: return &b.religionofftol;
    case 131: return &b.soldierminage;
    case 142: return &b.milinitiativeoff;
    case 143: return &b.milinitiativedef;
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
    case 19:
      if (a28 < static_cast<uint32_t>(kTaxRates)) SetReal(b.taxRates[a28], a32);
      break;
    case 25:
      if (a28 < static_cast<uint32_t>(kSocialPrograms)) SetReal(b.socialspend[a28], a32);
      break;
    case 26: SetBit(b.wageFlags, 0, a28); break;
    case 27: SetBit(b.wageFlags, 1, a28); break;
    case 29: SetBit(b.wageFlags, 4, a28); break;
    case 69: SetBit(b.productionFlags, 1, a28); break;
    case 71:
    case 72:
      if (a28 < static_cast<uint32_t>(kPolicyProducts) && IsPlayerIndex(a32)) {
        const int word = id == 71 ? kProductPlayerMask : kProductPlayerMask2;
        ProductPolicy& entry = b.productPolicy[a28];
        SetProductWord(entry, word, SetOrClear(ProductWord(entry, word), 1u << a32, a36));
      }
      break;
    case 86: b.migrationFlags = (b.migrationFlags & ~0xCu) | ((a28 & 3u) << 2); break;
    case 128: Defcon(b, a28); break;
    case 138:
      if (a28 < 3) SetReal(b.milResearch[a28], a32);
      break;
    case 155: b.roescorchedtype = a28; break;
    case 157:
      if (IsPlayerIndex(a32)) {
        RegionPolicy& region = b.regionPolicy[a32];
        SetRoeRegionFlag(region, SetOrClear(RoeRegionFlag(region), a28, a36));
      }
      break;
    case 159:
      b.autobuildvalues[0] = static_cast<uint8_t>(a28);
      b.autobuildvalues[1] = static_cast<uint8_t>(a32);
      break;
    case 160:
      b.autobuildmissiles[0] = static_cast<uint8_t>(a28);
      b.autobuildmissiles[1] = static_cast<uint8_t>(a32);
      break;
    case 164:
      if (IsPlayerIndex(a28)) {
        const uint32_t bit = 1u << a28;
        SetPairMask1(b, SetOrClear(PairMask1(b), bit, a32));
        b.hostileMask = SetOrClear(b.hostileMask, bit, a32 ? 0u : 1u);
      }
      break;
    case 165:
      if (IsPlayerIndex(a28)) SetPairMask2(b, SetOrClear(PairMask2(b), 1u << a28, a32));
      break;
    case 184:
      if (a28 < static_cast<uint32_t>(kBuildListValues))
        SetBuildListValue(b, static_cast<int>(a28), static_cast<int32_t>(c.arg24));
      break;
    case 256:
      if (a28 < static_cast<uint32_t>(kCabinetPosts)) {
        SetCabinetId(b.cabinetPolicy[a28], 0, static_cast<uint8_t>(a32));
        SetCabinetId(b.cabinetPolicy[a28], 1, static_cast<uint8_t>(a36));
      }
      break;
    case 257:
      if (a28 < static_cast<uint32_t>(kCabinetPosts))
        SetCabinetControl(b.cabinetPolicy[a28], static_cast<int16_t>(a32 & 0xFFFFu));
      break;
    case 258:
      if (a28 < static_cast<uint32_t>(kCabinetPosts)) SetCabinetPriorities(b.cabinetPolicy[a28], a32);
      break;
    case 259:
      if (a28 < static_cast<uint32_t>(kCabinetPosts)) SetCabinetLocks(b.cabinetPolicy[a28], a32);
      break;
    case 261:
      if (a28 < static_cast<uint32_t>(kCabinetPosts)) {
        CabinetPolicy& post = b.cabinetPolicy[a28];
        SetCabinetLocks(post, SetOrClear(CabinetLocks(post), a32, a36));
      }
      break;
    case 260:
      b.defsetadvorders[0] = a28;
      b.defsetadvorders[1] = a32;
      break;
    case 276:
      if (a28 < 8) SetLaunchBits(b, static_cast<uint8_t>(LaunchBits(b) | (1u << a28)));
      break;
    case 277: LaunchCount(b, a28, a32); break;
    default: break;
  }
}

}  // namespace

CommandHandler PolicyCommandHandler(uint32_t id) {
  static constexpr uint32_t kOthers[] = {19, 25, 26, 27, 29, 69, 71, 72, 86, 128, 138, 155, 157, 159, 160,
                                         164, 165, 184, 256, 257, 258, 259, 260, 261, 276, 277};
  static PlayerPolicyBlock probe{};  // only the addresses are asked for
  bool policy = RealField(probe, id) || ByteField(probe, id) || MigrationBit(id) >= 0 || RoeBit(id) >= 0 ||
                MilitaryBit(id) >= 0 || ProductValueWord(id) >= 0 || ProductFlagBit(id) >= 0;
  for (uint32_t other : kOthers) policy = policy || other == id;
  return policy ? &Policy : nullptr;
}
