#include "sim/policy_commands.h"

#include <algorithm>
#include <bit>

#include "records/command_ids.h"
#include "sim/policy_block_fields.h"
#include "sim/policy_command_args.h"
#include "sim/relation_command_args.h"
#include "sim/unit_command_args.h"
#include "world/text/player_settings.h"
#include "world/text/policy_fields.h"

namespace {

// The mask's bits are set when `on` is non-zero, else cleared.
uint32_t SetOrClear(uint32_t word, uint32_t mask, uint32_t on) { return on ? (word | mask) : (word & ~mask); }

bool IsPlayerIndex(uint32_t v) { return v < static_cast<uint32_t>(kPolicyRegions); }

// The product-settings word of the three product ids that no settings key
// posts, or -1; the keys' own commands go by the key table.
int ProductValueWord(uint32_t id) {
  switch (id) {
    case kCmdProdSellParam: return kProductSellParam;
    case kCmdProdSellParam2: return kProductSellParam2;
    case kCmdProdBuyParam: return kProductBuyParam;
    default: return -1;
  }
}

void Defcon(PlayerPolicyBlock& b, uint32_t a28) {
  const int32_t asked = static_cast<int32_t>(a28);
  // At war the region cannot stand down below 2; at peace it cannot go above 3.
  b.defcon = b.hostileMask != 0 ? std::max(asked, 2) : std::min(asked, 3);
}

void LaunchCount(PlayerPolicyBlock& b, uint32_t index, int32_t delta) {
  if (index >= static_cast<uint32_t>(kLaunchCounts)) return;
  const int64_t sum = int64_t{LaunchCount(b, static_cast<int>(index))} + delta;
  SetLaunchCount(b, static_cast<int>(index), sum < 0 ? uint8_t{0} : static_cast<uint8_t>(sum & 0xFF));
}

void Policy(CommandPass& run) {
  PlayerPolicyBlock& b = run.block;
  const GameCommand& c = run.command;
  const uint32_t id = c.id;
  const uint32_t a28 = c.arg28, a32 = c.arg32, a36 = c.arg36;

  if (int word = ProductValueWord(id); word >= 0) {
    if (a28 < static_cast<uint32_t>(kPolicyProducts)) SetProductWord(b.productPolicy[a28], word, a32);
    return;
  }

  switch (id) {
    case kCmdProdPlayerMask:
    case kCmdProdPlayerMask2: {
      const auto a = ArgsOf<TradeRefusalArgs>(c);
      if (a.product < static_cast<uint32_t>(kPolicyProducts) && IsPlayerIndex(a.region)) {
        const int word = id == kCmdProdPlayerMask ? kProductPlayerMask : kProductPlayerMask2;
        ProductPolicy& entry = b.productPolicy[a.product];
        SetProductWord(entry, word, SetOrClear(ProductWord(entry, word), 1u << a.region, a.refuse));
      }
      break;
    }
    case kCmdDefcon: Defcon(b, ArgsOf<SettingArgs>(c).value); break;
    case kCmdPairMaskSwap: {
      const auto a = ArgsOf<PairMaskArgs>(c);
      if (IsPlayerIndex(a.region)) {
        const uint32_t bit = 1u << a.region;
        SetPairMask1(b, SetOrClear(PairMask1(b), bit, a.set));
        b.hostileMask = SetOrClear(b.hostileMask, bit, a.set ? 0u : 1u);
      }
      break;
    }
    case kCmdPairMask: {
      const auto a = ArgsOf<PairMaskArgs>(c);
      if (IsPlayerIndex(a.region)) SetPairMask2(b, SetOrClear(PairMask2(b), 1u << a.region, a.set));
      break;
    }
    case kCmdBuildListValue:
      if (a28 < static_cast<uint32_t>(kBuildListValues))
        SetBuildListValue(b, static_cast<int>(a28), static_cast<int32_t>(c.arg24));
      break;
    case kCmdCabSetMask: {
      const auto a = ArgsOf<CabinetLockArgs>(c);
      if (a.post < static_cast<uint32_t>(kCabinetPosts)) {
        CabinetPolicy& post = b.cabinetPolicy[a.post];
        SetCabinetLocks(post, SetOrClear(CabinetLocks(post), a.bits, a.set));
      }
      break;
    }
    // The settings keys' table places these; the words it reads are the
    // structs' own.
    case kCmdTaxRate: {
      const auto a = ArgsOf<TaxRateArgs>(c);
      ApplySettingCommand(b, id, a.tax, std::bit_cast<uint32_t>(a.rate), 0);
      break;
    }
    case kCmdCabSetSid: {
      const auto a = ArgsOf<CabinetSeatArgs>(c);
      ApplySettingCommand(b, id, a.post, a.first, a.second);
      break;
    }
    case kCmdCabSetControl:
    case kCmdCabSetPriorities:
    case kCmdCabSetLocks: {
      const auto a = ArgsOf<IndexedSettingArgs>(c);
      ApplySettingCommand(b, id, a.index, a.value, 0);
      break;
    }
    case kCmdLaunchBit: {
      const uint32_t bit = ArgsOf<LaunchBitArgs>(c).bit;
      if (bit < 8) SetLaunchBits(b, static_cast<uint8_t>(LaunchBits(b) | (1u << bit)));
      break;
    }
    case kCmdLaunchCount: {
      const auto a = ArgsOf<LaunchCountArgs>(c);
      LaunchCount(b, a.index, a.delta);
      break;
    }
    default: ApplySettingCommand(b, id, a28, a32, a36); break;
  }
}

}  // namespace

CommandHandler PolicyCommandHandler(uint32_t id) {
  // The settings ids that no key of a settings file posts.
  static constexpr uint32_t kOthers[] = {kCmdProdSellParam, kCmdProdSellParam2, kCmdProdBuyParam, kCmdProdPlayerMask,
                                         kCmdProdPlayerMask2, kCmdPairMaskSwap, kCmdPairMask, kCmdBuildListValue,
                                         kCmdCabSetMask, kCmdLaunchBit, kCmdLaunchCount};
  bool policy = IsSettingCommand(id);
  for (uint32_t other : kOthers) policy = policy || other == id;
  return policy ? &Policy : nullptr;
}
