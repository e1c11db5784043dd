// Damaged saves as the runner meets them: each is refused with a line that
// says why, or it loads and plays two days whose figures are all numbers
// (saves with absurd figures ten days, and the save they end with loads).
// The damage is seeded (VD_MUTATION_SEED, printed) so a failing case can be
// played again; half the cases are sealed again with a fresh checksum, as a
// writer that got a field wrong would seal them, so that the parts' own
// checks, not only the checksum, are tried.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "headless_runner.h"
#include "runner_test_support.h"
#include "platform/paths.h"
#include "records/crc32.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "support/byte_mutation.h"
#include "records/hex_cell.h"
#include "world/game_file.h"
#include "world/game_state.h"
#include "world/map_file.h"
#include "world/map_header.h"
#include "world/region_figures.h"
#include "world/save_header.h"
#include "world/save_extension.h"
#include "world/text/policy_fields.h"
#include "world/unit_class.h"
#include "world/unit_class_file.h"
#include "world/unit_class_flags.h"
#include "records/text_field.h"
#include "records/unit_flags.h"
#include "support/private_game_root.h"

namespace {

using runner_test::DayLinesFinite;
using runner_test::RunResult;
using runner_test::RunRunner;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// A fresh checksum over the image, when it still ends in a checksum block.
void Reseal(std::vector<uint8_t>& image) {
  if (image.size() < 12) return;
  const size_t head = image.size() - 12;
  if (le::Load32(image.data() + head) != kSaveBlockChecksum || le::Load32(image.data() + head + 4) != 4) return;
  le::Store32(image.data() + head + 8, Crc32(std::span(image).first(head)));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Two days of the save (`days`, saved as `saveAs`, when that is given); `err`
// keeps what the run said, on its error output or in the game's log, beyond
// the lines of `usual` and its timing line.
RunResult Play(const std::string& save, const std::set<std::string>& usual, const std::string& saveAs = "",
               int days = 10) {
  std::FILE* log = std::tmpfile();
  RunResult r;
  {
    const runner_test::LogMirrorTo mirror(log);
    r = saveAs.empty() ? RunRunner({"--days", "2", save.c_str()})
                       : RunRunner({"--days", std::to_string(days).c_str(), "--save", saveAs.c_str(), save.c_str()});
  }
  std::string said;
  for (const std::string& line : Lines(r.err + runner_test::ReadAll(log)))
    if (!usual.contains(line) && line.find(" game days a second") == std::string::npos) said += line + "\n";
  r.err = said;
  return r;
}

TEST(SaveMutation, ADamagedSaveIsRefusedWithAReasonOrPlaysWithNumbers) {
  const std::string root = PrivateGameRoot();
  plat::SetDataRoot(root);
  const std::string tag = std::to_string(::getpid());
  const std::string base = "Savegame/MUTBASE" + tag;
  const std::string damaged = "Savegame/MUTCASE" + tag + ".SAV";
  const std::string after = "Savegame/MUTAFTER" + tag;
  ASSERT_EQ(RunRunner({"--days", "10", "--save", base.c_str(), "Channel"}).code, 0);
  const std::vector<uint8_t> good = ReadFile(root + "/" + base + ".SAV");
  ASSERT_GT(good.size(), 1024u);

  uint32_t seed = 20261209;
  if (const char* given = std::getenv("VD_MUTATION_SEED")) seed = static_cast<uint32_t>(std::strtoul(given, nullptr, 0));
  std::printf("save mutation seed %u (VD_MUTATION_SEED)\n", seed);
  std::mt19937 rng(seed);

  struct Case {
    std::string what;
    std::vector<uint8_t> image;
    uint64_t sparseSize = 0;  // when set, the case is a sparse file of this size instead
    // Absurd figures that once passed the reader: the case may play, ten days
    // with numbers whose save loads and plays on, or be refused at load with
    // the figure named.
    bool mayPlay = false;
    // Figures each on the bound the reader lets in: sixty days are played
    // and saved, never refused.
    bool mustPlay = false;
  };
  std::vector<Case> cases;
  // Fixed rows: 0xFF over the first unit's strength, efficiency,
  // experience and morale (the damage that once played on with NaN), and an
  // infinite treasury for region 1; each as damaged on disk and as sealed
  // again, so the figure check is tried on its own.
  const size_t game = le::Load32(good.data() + offsetof(SaveHeader, gamePartOffset));
  const size_t regions = le::Load32(good.data() + game + offsetof(GameState, playerCount));
  const size_t economy = game + kGamHeaderBlock;
  const size_t region1 = economy + kGamEconomyBlock + kGamPlayerSlot;
  const size_t firstUnit = economy + kGamEconomyBlock + regions * kGamPlayerSlot;
  const size_t treasury = region1 + offsetof(PlayerRecord, treasury);
  for (const bool sealed : {false, true}) {
    auto unit = good;
    for (size_t k = 0; k < 16; ++k) unit[firstUnit + offsetof(UnitImage, strength) + k] = 0xFF;
    auto region = good;
    le::Store32(region.data() + treasury, 0x7F800000u);
    if (sealed) Reseal(unit), Reseal(region);
    cases.push_back({std::string(sealed ? "sealed" : "unsealed") + " unit figures 0xFF", unit});
    cases.push_back({std::string(sealed ? "sealed" : "unsealed") + " infinite treasury", region});
  }
  // Sealed rows whose parts disagree: a unit off the map, a hex of a region
  // not in play, a land count one more than the hexes the region holds.
  {
    const size_t map = le::Load32(good.data() + offsetof(SaveHeader, mapPartOffset));
    auto offMap = good;
    le::Store16(offMap.data() + firstUnit + offsetof(UnitImage, x),
                static_cast<uint16_t>(le::Load32(good.data() + map + offsetof(MapHeader, width))));
    auto strayHex = good;
    uint8_t* firstCell = strayHex.data() + map + kMapHeaderBlock + offsetof(HexCellImage, word);
    le::Store32(firstCell, WithCellOwner(le::Load32(firstCell), 30));
    auto land = good;
    const size_t hexCount = region1 + offsetof(PlayerRecord, hexCount);
    le::Store32(land.data() + hexCount, le::Load32(land.data() + hexCount) + 1);
    // 0xFF over a spending factor the region table keeps in unnamed bytes.
    auto factor = good;
    std::fill_n(factor.begin() + static_cast<ptrdiff_t>(region1 + RegionFloatAt(kRegionUiSpendRecom)), 4, 0xFF);
    for (auto* image : {&offMap, &strayHex, &land, &factor}) Reseal(*image);
    // A unit's strength halved (a figure in range) where the checksum is
    // hidden: the header's extension offset struck out, or the checksum
    // block's tag.
    auto weaker = good;
    le::Store32(weaker.data() + firstUnit + offsetof(UnitImage, strength), 0x3F000000u);
    auto noSection = weaker;
    le::Store32(noSection.data() + offsetof(SaveHeader, extensionOffset), 0);
    auto noTag = weaker;
    noTag[noTag.size() - 12] ^= 0x01;
    cases.push_back({"unsealed extension offset struck out, a unit halved", noSection});
    cases.push_back({"unsealed checksum tag struck, a unit halved", noTag});
    cases.push_back({"sealed spending factor 0xFF", factor});
    cases.push_back({"sealed unit off the map", offMap});
    cases.push_back({"sealed hex of region 30", strayHex});
    cases.push_back({"sealed land count one too many", land});
  }
  // Figures a day's loops and sums rely on, out of their range: the clock's
  // minutes and visibility walk at 2^31 - 1 (sealed, and with the checksum
  // block cut off, as a save from before it), a unit of a billion, a
  // region's unemployment of -1e30. And a save of 64 GB that holds nothing
  // (sparse: no disk is used), refused before it is read.
  {
    for (const size_t field : {offsetof(GameState, minutesLeft), offsetof(GameState, visibilitySteps)}) {
      const char* name = field == offsetof(GameState, minutesLeft) ? "minutesLeft" : "visibilitySteps";
      auto sealed = good;
      le::Store32(sealed.data() + game + field, 0x7FFFFFFFu);
      auto cut = sealed;
      cut.resize(cut.size() - 12);
      Reseal(sealed);
      cases.push_back({std::string("sealed ") + name + " 0x7FFFFFFF", sealed});
      cases.push_back({std::string("unsealed ") + name + " 0x7FFFFFFF, checksum cut off", cut});
    }
    auto billion = good;
    le::Store32(billion.data() + firstUnit + offsetof(UnitImage, strength), std::bit_cast<uint32_t>(1e9f));
    auto unemployment = good;
    le::Store32(unemployment.data() + treasury - offsetof(PlayerRecord, treasury) + offsetof(PlayerRecord, unemployment),
                std::bit_cast<uint32_t>(-1e30f));
    Reseal(billion), Reseal(unemployment);
    cases.push_back({"sealed unit strength 1e9", billion});
    cases.push_back({"sealed region unemployment -1e30", unemployment});
    cases.push_back({"unsealed 64 GB sparse file", {}, uint64_t{64} << 30});
  }
  // Every figure at the edge of the range the reader lets in (every region
  // as approved, standing and rated as it may be, with as many people, the
  // world's prices and rates at their bounds); an approval or standing of
  // 1e12, or a unit of 9.9e7, which made treasuries of 8e19 and a save that
  // was then refused.
  {
    const int32_t highest = static_cast<int32_t>(le::Load32(good.data() + game + offsetof(GameState, highestPlayer)));
    auto image = good;
    const auto set = [&image](size_t at, float v) { le::StoreF32(image.data() + at, v); };
    for (int32_t p = 1; p <= highest; ++p) {
      const size_t r = economy + kGamEconomyBlock + static_cast<size_t>(p) * kGamPlayerSlot;
      set(r + offsetof(PlayerRecord, approval), 1.0f);
      set(r + offsetof(PlayerRecord, dayApproval), 2.0f);
      set(r + offsetof(PlayerRecord, standing), 1.0f);
      set(r + offsetof(PlayerRecord, secondRating), 5.0f);
      set(r + offsetof(PlayerRecord, creditRating), 100.0f);
      set(r + offsetof(PlayerRecord, tradeOpenness), 2.0f);
      set(r + offsetof(PlayerRecord, gdpInput4), 10.0f);
      set(r + offsetof(PlayerRecord, gdpInput7), 1000.0f);
      set(r + offsetof(PlayerRecord, population), 1e10f);
      set(r + offsetof(PlayerRecord, soldiers), 1e10f);
      set(r + offsetof(PlayerRecord, unemployment), 1.0f);
      set(r + RegionFloatAt(kRegionPrimeRate), 10.0f);
    }
    for (size_t p = 0; p < 11; ++p) {
      set(economy + 64 * p + product::kWorldPrice, 1e6f);
      set(economy + 64 * p + product::kWorldConsumerWeight, 100.0f);
    }
    set(economy + kWorldPrimeRateAt, 10.0f);
    Reseal(image);
    cases.push_back({"sealed every figure at its edge", std::move(image), 0, true});
  }
  // What the days multiply money by, each on its bound in every region and
  // unit at once: the taxes, fees and spending levels, the product
  // settings' margins, shares, amounts and prices, GDP per head, the yearly
  // base and hex costs, the technology level, the turn's build spending and
  // best hex, the immigration fee and what each person asks of a product.
  // One tax rate of 1e18 once made a treasury of -4.8e28 on the second day.
  {
    const int32_t highest = static_cast<int32_t>(le::Load32(good.data() + game + offsetof(GameState, highestPlayer)));
    auto image = good;
    const auto set = [&image](size_t at, float v) { le::StoreF32(image.data() + at, v); };
    for (int32_t p = 1; p <= highest; ++p) {
      const size_t r = economy + kGamEconomyBlock + static_cast<size_t>(p) * kGamPlayerSlot;
      set(r + offsetof(PlayerRecord, gdpPerCapita), 1e5f);
      set(r + offsetof(PlayerRecord, baseGdpPerCapita), 1e5f);
      set(r + offsetof(PlayerRecord, yesterdayGdpPerCapita), 1e5f);
      for (size_t cost : {offsetof(PlayerRecord, salaryBaseCost), offsetof(PlayerRecord, maintenanceBaseCost),
                          offsetof(PlayerRecord, intelBaseCost)})
        set(r + cost, 1e10f);
      for (size_t cost : {offsetof(PlayerRecord, yearlyCostFacilities), offsetof(PlayerRecord, yearlyCostHexLead),
                          offsetof(PlayerRecord, yearlyCostC), offsetof(PlayerRecord, yearlyCostD)})
        set(r + cost, 1e11f);
      set(r + offsetof(PlayerRecord, techLevel), 500.0f);
      set(r + offsetof(PlayerRecord, turnBuildSpending), 1e9f);
      set(r + offsetof(PlayerRecord, turnBestHexValue), 1e10f);
      for (size_t product = 0; product < kProductCount; ++product)
        set(r + offsetof(PlayerRecord, products) + sizeof(ProductState) * product + kProductDemandPerPersonAt, 10.0f);
      for (size_t block : {offsetof(PlayerRecord, displayPolicy), offsetof(PlayerRecord, simPolicy)}) {
        const size_t b = r + block;
        for (int k = 0; k < kTaxRates; ++k) set(b + offsetof(PlayerPolicyBlock, taxRates) + 4 * k, 1.0f);
        set(b + offsetof(PlayerPolicyBlock, userfees), 1.0f);
        for (size_t level : {offsetof(PlayerPolicyBlock, uispend), offsetof(PlayerPolicyBlock, welfspend),
                             offsetof(PlayerPolicyBlock, pensspend)})
          set(b + level, 5.0f);
        for (int k = 0; k < kSocialPrograms; ++k) set(b + offsetof(PlayerPolicyBlock, socialspend) + 4 * k, 5.0f);
        for (size_t level : {offsetof(PlayerPolicyBlock, milspendsalary), offsetof(PlayerPolicyBlock, milspendmaint),
                             offsetof(PlayerPolicyBlock, milspendintel), offsetof(PlayerPolicyBlock, milspendresearch)})
          set(b + level, 10.0f);
        set(b + offsetof(PlayerPolicyBlock, intelspendforfocus), 1.0f);
        set(b + offsetof(PlayerPolicyBlock, immigrationtax), 1e5f);
        for (int product = 0; product < kPolicyProducts; ++product) {
          const size_t e = b + offsetof(PlayerPolicyBlock, productPolicy) + sizeof(ProductPolicy) * product;
          for (int word : {kProductDomesticMargin, kProductSubsidy, kProductProductionCap,
                           kProductAutoSellSurplusPercent, kProductAutoSellMargin, kProductEntrySwitch})
            set(e + 4 * word, 10.0f);
          for (int word : {kProductStockTarget, kProductSellParam, kProductBuyParam, kProductTarget})
            set(e + 4 * word, 1e12f);
          for (int word : {kProductSellParam2, kProductPurchaseMax, kProductAutoBuyMax}) set(e + 4 * word, 1e7f);
          if (product == kProductRatioEntry)
            for (int word = 0; word < kProductCount; ++word) set(e + 4 * word, 10.0f);
        }
      }
    }
    Reseal(image);
    cases.push_back({"sealed every money figure on its bound", std::move(image), 0, true, true});
    // Every unit as efficient, as strong and as large as its class lets it
    // be (1.75 times its full strength and size, a stock as many as its
    // owner counts); and every unit at the strongest class's full strength
    // of 800, which once played to a GDP of 4.4e13 that no save would take.
    std::vector<UnitClassRecord> classes;
    const size_t map = le::Load32(good.data() + offsetof(SaveHeader, mapPartOffset));
    MapHeader header;
    std::memcpy(&header, good.data() + map, sizeof header);
    ASSERT_TRUE(StageUniFile(FieldText(header.unitFileName), classes));
    auto units = good, eight = good;
    const size_t count = le::Load32(good.data() + game + offsetof(GameState, unitCount));
    for (size_t u = 0; u < count; ++u) {
      const size_t at = firstUnit + u * kGamUnitSlot;
      const auto cls = static_cast<size_t>(le::Load16(good.data() + at + offsetof(UnitImage, classIndex)));
      const bool gone = (le::Load32(good.data() + at + offsetof(UnitImage, unitFlags)) & kUnitGone) != 0;
      if (cls == 0 || cls >= classes.size() || gone) continue;
      const bool stock = (classes[cls].flags & kClassStock) != 0;
      le::StoreF32(units.data() + at + offsetof(UnitImage, efficiency), 10.0f);
      le::StoreF32(units.data() + at + offsetof(UnitImage, strength),
                   stock ? 65535.0f : kMergeCeiling * ClassFullStrength(classes[cls]));
      le::StoreF32(units.data() + at + offsetof(UnitImage, targetStrength), stock ? 65535.0f : kMergeCeiling);
      le::StoreF32(eight.data() + at + offsetof(UnitImage, strength), 800.0f);
    }
    Reseal(units), Reseal(eight);
    cases.push_back({"sealed unit strength and efficiency on their bounds", std::move(units), 0, true, true});
    cases.push_back({"sealed every unit at 800", std::move(eight), 0, true});
  }
  for (const auto& [what, at, value] : {std::tuple{"approval 1e12", region1 + offsetof(PlayerRecord, approval), 1e12f},
                                        std::tuple{"standing 1e12", region1 + offsetof(PlayerRecord, standing), 1e12f},
                                        std::tuple{"unit strength 9.9e7", firstUnit + offsetof(UnitImage, strength), 9.9e7f}}) {
    auto image = good;
    le::StoreF32(image.data() + at, value);
    Reseal(image);
    cases.push_back({std::string("sealed ") + what, std::move(image), 0, true});
  }
  const size_t fixedRows = cases.size();
  constexpr int kRandomCases = 160;
  for (int i = 0; i < kRandomCases; ++i) {
    auto copy = good;
    MutateBytes(copy, rng, [](std::mt19937& r) { return (r() & 1) ? static_cast<uint32_t>(r()) : r() % 64; });
    const bool sealed = (i % 2) == 1;
    if (sealed) Reseal(copy);
    cases.push_back({std::string(sealed ? "sealed" : "unsealed") + " case " + std::to_string(i), std::move(copy)});
  }

  // What the undamaged save plays, to tell a case played unchanged from one
  // that plays otherwise.
  WriteFile(root + "/" + damaged, good);
  std::set<std::string> usual;
  const RunResult undamaged = Play(damaged, usual);
  ASSERT_EQ(undamaged.code, 0) << undamaged.err;
  for (const std::string& line : Lines(undamaged.err)) usual.insert(line);

  // Per kind (unsealed, sealed): refused, played with a warning, played
  // silently as the undamaged save, played silently otherwise.
  int counts[2][4] = {};
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const bool sealed = c.what.starts_with("sealed");
    WriteFile(root + "/" + damaged, c.image);
    if (c.sparseSize) std::filesystem::resize_file(root + "/" + damaged, c.sparseSize);
    const RunResult r = Play(damaged, usual, c.mayPlay ? after : "", c.mustPlay ? 60 : 10);
    EXPECT_TRUE(!c.mustPlay || r.code == 0) << c.what << " did not play and save\n" << r.err;
    if (r.code != 0) {
      counts[sealed][0] += c.mayPlay ? 0 : 1;
      EXPECT_EQ(r.code, 1) << c.what << "\n" << r.err;
      EXPECT_NE(r.err.find(c.mayPlay ? ": refused: game part: " : "refused: "), std::string::npos)
          << c.what << ": no reason given\n" << r.err;
      EXPECT_TRUE(!c.mayPlay || r.err.find(", outside ") != std::string::npos)
          << c.what << ": the figure is not named\n" << r.err;
      EXPECT_TRUE(r.out.empty()) << c.what;
      continue;
    }
    EXPECT_TRUE(i >= fixedRows || c.mayPlay) << c.what << " played";
    std::string bad;
    EXPECT_TRUE(DayLinesFinite(r.out, bad)) << c.what << " (seed " << seed << "): " << bad;
    if (c.mayPlay) {
      const RunResult again = RunRunner({"--days", "2", (after + ".SAV").c_str()});
      EXPECT_EQ(again.code, 0) << c.what << ": its save does not load\n" << again.err;
      EXPECT_TRUE(DayLinesFinite(again.out, bad)) << c.what << ": " << bad;
      continue;
    }
    const int kind = !r.err.empty() ? 1 : r.out == undamaged.out ? 2 : 3;
    ++counts[sealed][kind];
    // Damage the checksum does not vouch for is never played unremarked.
    EXPECT_FALSE(!sealed && kind == 3) << c.what << " (seed " << seed << ") played otherwise without a word\n" << r.out;
  }
  for (const int sealed : {0, 1})
    std::printf("save mutation, %s: %d refused, %d warned, %d played unchanged, %d played otherwise\n",
                sealed ? "sealed" : "unsealed", counts[sealed][0], counts[sealed][1], counts[sealed][2],
                counts[sealed][3]);
  const int refused = counts[0][0] + counts[1][0];
  EXPECT_GT(refused, kRandomCases / 2);
  for (const std::string& file : {damaged, base + ".SAV", after + ".SAV"}) std::filesystem::remove(root + "/" + file);
}

}  // namespace
