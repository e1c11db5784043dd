#include "records/player_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "records/le_bytes.h"
#include "records/text_field.h"

namespace {

const uint8_t* Bytes(const PlayerRecord& r) { return reinterpret_cast<const uint8_t*>(&r); }

std::unique_ptr<PlayerRecord> NewRecord() {
  auto r = std::make_unique<PlayerRecord>();
  std::memset(static_cast<void*>(r.get()), 0, sizeof(PlayerRecord));
  return r;
}

// The record's own fields at the offsets the game file gives them.
TEST(PlayerRecord, RecordFieldsSitAtTheirFileOffsets) {
  auto rp = NewRecord();
  PlayerRecord& r = *rp;
  r.kind = kKindComputer;
  r.number = 9;
  r.govtype = 4;
  r.agenda = 2;
  SetFieldText(r.name, "Ostmark");
  r.hexCount = 1234;
  r.rulingParty = 3;
  r.avatar = 17;
  r.politic = -41;
  r.aiStance = 5;
  r.music = 6;
  r.pointerSlot48 = 0x48484848;
  r.electionDay = 2455500;
  r.timeoutVictory = 1;
  r.lossForceEnd = 1;
  r.startEmail = 0x1234;
  r.armsAvail = 0xF0F0;
  r.partyShare[3] = 0.25f;
  r.gdpInput1 = 1.0f;
  r.gdpInput2 = 2.0f;
  r.standing = 3.0f;
  r.gdpInput9 = 9.0f;
  r.gdpInput10 = 10.0f;
  r.approval = 0.5f;
  r.secondRating = 0.75f;
  r.gdpInput3 = 3.5f;
  r.tradeOpenness = 0.1f;
  r.creditRating = 0.2f;
  r.gdpInput4 = 4.0f;
  r.gdpInput5 = 5.0f;
  r.gdpInput6 = 6.0f;
  r.gdpInput7 = 7.0f;
  r.efficiency = 0.9f;
  r.population = 8.5e6f;
  r.soldiers = 25000.0f;
  r.unemployment = 0.07f;
  r.immigrationPerYear = 100.0f;
  r.emigrationPerYear = 200.0f;
  r.birthsPerYear = 300.0f;
  r.deathsPerYear = 400.0f;
  r.ruralPopulation = 500.0f;
  r.treasury = -1250.5f;
  r.debtKind0 = 11.0f;
  r.heldDebt = 12.0f;
  r.debtKind1 = 13.0f;
  r.debtKind2 = 14.0f;
  r.socialCosts[6] = 15.0f;
  r.gdp = 16.0f;
  r.gdpPerCapita = 17.0f;
  r.baseGdpPerCapita = 18.0f;
  r.priceIndex = 19.0f;
  r.growthRate = 20.0f;
  r.costFactor = 21.0f;
  r.serviceAdd = 22.0f;
  r.researchBudget = 23.0f;
  r.militarySpendIndex = 24.0f;
  r.techLevel = 25.0f;
  r.researchEfficiency = 26.0f;
  r.products[10].bytes[95] = 0xEE;
  r.socialLevels[0] = 27.0f;
  r.specialEffects = 0x80000001;
  r.smallFigure = 28.0f;
  r.spottingLevel = 29.0f;
  r.importValue = 30.0f;
  r.exportValue = 31.0f;
  r.scoreSums[5] = 32.0f;
  r.commandCounter = 0x09000123;
  r.bandPicks[2] = 0xB2;
  r.pendingCommands = -2;
  r.dayApproval = 33.0f;
  r.daySecondRating = 34.0f;
  r.dayHexCount = 35;
  r.dayPopulation = 36.0f;
  r.dayLeadValue = 37.0f;
  r.dayRuralPopulation = 38.0f;
  r.turnSalesRevenue = 39.0f;
  r.turnPurchaseCost = 40.0f;
  r.turnBuildSpending = 41.0f;
  r.turnUnpaidBuildCost = 42.0f;
  r.turnDefaulted = 43.0f;
  r.turnProductTotals[11] = 44.0f;
  r.turnBestHex[0] = -7;
  r.turnBestHex[1] = 8;
  r.turnBestHexValue = 45.0f;
  r.turnUpkeepMarked = 46.0f;
  r.turnUpkeepOther = 47.0f;
  r.dayProduction[10] = 48.0f;
  r.dayPopulationOutput[10] = 49.0f;
  r.dayRawYield[10] = 50.0f;
  r.dayInterestReceived = 51.0f;
  r.dayInterestPaid = 52.0f;
  r.civilAttitude[31] = 53.0f;
  r.diplomaticRelation[0] = 54.0f;
  r.belligerence[31] = 55.0f;
  SetFieldText(r.slotName, "Slot");
  r.carriedFlag = 1;
  r.networkSlot = 7;

  const uint8_t* b = Bytes(r);
  EXPECT_EQ(le::Load32(b + 0), 3u);
  EXPECT_EQ(b[4], 9);
  EXPECT_EQ(b[5], 4);
  EXPECT_EQ(b[7], 2);
  EXPECT_STREQ(reinterpret_cast<const char*>(b + 8), "Ostmark");
  EXPECT_EQ(le::Load32(b + 24), 1234u);
  EXPECT_EQ(b[39], 3);
  EXPECT_EQ(b[40], 17);
  EXPECT_EQ(static_cast<int8_t>(b[41]), -41);
  EXPECT_EQ(b[42], 5);
  EXPECT_EQ(b[43], 6);
  EXPECT_EQ(le::Load32(b + 48), 0x48484848u);
  EXPECT_EQ(le::Load32(b + 52), 2455500u);
  EXPECT_EQ(b[60], 1);
  EXPECT_EQ(b[61], 1);
  EXPECT_EQ(le::Load16(b + 62), 0x1234u);
  EXPECT_EQ(le::Load32(b + 64), 0xF0F0u);
  EXPECT_EQ(le::LoadF32(b + 68 + 12), 0.25f);
  const struct {
    size_t offset;
    float value;
  } floats[] = {
      {10168, 1.0f},   {10172, 2.0f},   {10176, 3.0f},   {10180, 9.0f},    {10184, 10.0f},  {10188, 0.5f},
      {10192, 0.75f},  {10212, 3.5f},   {10216, 0.1f},   {10220, 0.2f},    {10224, 4.0f},   {10228, 5.0f},
      {10252, 6.0f},   {10256, 7.0f},   {10272, 0.9f},   {10276, 8.5e6f},  {10304, 25000.0f}, {10308, 0.07f},
      {10320, 100.0f}, {10324, 200.0f}, {10328, 300.0f}, {10332, 400.0f},  {10336, 500.0f}, {10352, -1250.5f},
      {10356, 11.0f},  {10360, 12.0f},  {10364, 13.0f},  {10368, 14.0f},   {10464 + 24, 15.0f}, {10520, 16.0f},
      {10524, 17.0f},  {10528, 18.0f},  {10536, 19.0f},  {10540, 20.0f},   {10544, 21.0f},  {10548, 22.0f},
      {10568, 23.0f},  {10584, 24.0f},  {10592, 25.0f},  {10620, 26.0f},   {11980, 27.0f},  {12196, 28.0f},
      {12232, 29.0f},  {12248, 30.0f},  {12252, 31.0f},  {12288 + 20, 32.0f}, {13024, 33.0f}, {13028, 34.0f},
      {13056, 36.0f},  {13060, 37.0f},  {13064, 38.0f},  {13068, 39.0f},   {13072, 40.0f},  {13076, 41.0f},
      {13104, 42.0f},  {13116, 43.0f},  {13120 + 44, 44.0f}, {13172, 45.0f}, {13236, 46.0f}, {13240, 47.0f},
      {13244 + 40, 48.0f}, {13340 + 40, 49.0f}, {13388 + 40, 50.0f}, {13436, 51.0f}, {13440, 52.0f},
      {13700 + 124, 53.0f}, {13828, 54.0f}, {13956 + 124, 55.0f},
  };
  for (const auto& f : floats) EXPECT_EQ(le::LoadF32(b + f.offset), f.value) << "offset " << f.offset;
  EXPECT_EQ(b[10732 + 10 * 96 + 95], 0xEE);
  EXPECT_EQ(le::Load32(b + 12188), 0x80000001u);
  EXPECT_EQ(le::Load32(b + 12372), 0x09000123u);
  EXPECT_EQ(b[12406], 0xB2);
  EXPECT_EQ(le::LoadI16(b + 12964), -2);
  EXPECT_EQ(le::Load32(b + 13032), 35u);
  EXPECT_EQ(le::LoadI16(b + 13168), -7);
  EXPECT_EQ(le::LoadI16(b + 13170), 8);
  EXPECT_STREQ(reinterpret_cast<const char*>(b + 14500), "Slot");
  EXPECT_EQ(b[14576], 1);
  EXPECT_EQ(le::Load32(b + 14580), 7u);
  EXPECT_EQ(sizeof(PlayerRecord), 14584u);
}

// The policy fields at their display offsets, and the simulation copy's
// 5,024 bytes later.
TEST(PlayerRecord, PolicyFieldsSitAtTheirOffsetsInBothCopies) {
  auto rp = NewRecord();
  PlayerRecord& r = *rp;
  for (PlayerPolicyBlock* block : {&r.displayPolicy, &r.simPolicy}) {
    const uint32_t tag = block == &r.displayPolicy ? 0x100u : 0x200u;
    block->word0 = tag;
    block->friendlyMask = tag | 1;
    block->hostileMask = tag | 2;
    block->pointerSlot12 = tag | 3;
    block->immlimit = 16.0f;
    block->refuglimit = 20.0f;
    block->emlimit = 24.0f;
    block->migrationFlags = tag | 4;
    block->taxRates[11] = 0.44f;
    block->userfees = 96.0f;
    block->immigrationtax = 100.0f;
    block->uispend = 160.0f;
    block->welfspend = 164.0f;
    block->pensspend = 168.0f;
    block->socialspend[6] = 196.0f;
    block->wagepricemax = 240.0f;
    block->minwage = 244.0f;
    block->wageFlags = tag | 5;
    block->defcon = 3;
    block->soldiertarget = 256.0f;
    block->recruitlimit = 260.0f;
    block->soldierminage = 18;
    block->milspendsalary = 268.0f;
    block->milspendmaint = 272.0f;
    block->milspendintel = 276.0f;
    block->milspendresearch = 280.0f;
    block->readinessValue = 284.0f;
    block->milResearch[2] = 300.0f;
    block->defsetadvorders[1] = tag | 6;
    block->autobuildvalues[1] = 7;
    block->autobuildmissiles[0] = 8;
    block->militaryFlags = tag | 9;
    block->religionstate = 10;
    block->religionofftol = 11;
    block->productPolicy[11].bytes[63] = 12;
    block->productionFlags = tag | 13;
    block->roeFlags = tag | 14;
    block->roescorchedtype = tag | 15;
    block->milinitiativeoff = 16;
    block->milinitiativedef = 17;
    block->intelspendforfocus = 1188.0f;
    block->regionPolicy[31].bytes[95] = 18;
    block->cabinetPolicy[5].bytes[15] = 19;
    block->ceasefireMask = tag | 20;
    block->pointerSlots4900[2] = tag | 21;
  }
  const uint8_t* b = Bytes(r);
  for (size_t base : {size_t{120}, size_t{5144}}) {
    const uint32_t tag = base == 120 ? 0x100u : 0x200u;
    SCOPED_TRACE(base);
    EXPECT_EQ(le::Load32(b + base), tag);
    EXPECT_EQ(le::Load32(b + base + 4), tag | 1);    // 124: friendlyMask
    EXPECT_EQ(le::Load32(b + base + 8), tag | 2);    // 128: hostileMask
    EXPECT_EQ(le::Load32(b + base + 12), tag | 3);
    EXPECT_EQ(le::LoadF32(b + base + 16), 16.0f);    // 136
    EXPECT_EQ(le::LoadF32(b + base + 20), 20.0f);
    EXPECT_EQ(le::LoadF32(b + base + 24), 24.0f);
    EXPECT_EQ(le::Load32(b + base + 44), tag | 4);   // 164
    EXPECT_EQ(le::LoadF32(b + base + 48 + 44), 0.44f);  // 168: taxRates
    EXPECT_EQ(le::LoadF32(b + base + 96), 96.0f);    // 216
    EXPECT_EQ(le::LoadF32(b + base + 100), 100.0f);
    EXPECT_EQ(le::LoadF32(b + base + 160), 160.0f);  // 280
    EXPECT_EQ(le::LoadF32(b + base + 164), 164.0f);
    EXPECT_EQ(le::LoadF32(b + base + 168), 168.0f);
    EXPECT_EQ(le::LoadF32(b + base + 172 + 24), 196.0f);  // 292: socialspend
    EXPECT_EQ(le::LoadF32(b + base + 240), 240.0f);  // 360
    EXPECT_EQ(le::LoadF32(b + base + 244), 244.0f);
    EXPECT_EQ(le::Load32(b + base + 248), tag | 5);
    EXPECT_EQ(le::Load32(b + base + 252), 3u);       // 372: defcon
    EXPECT_EQ(le::LoadF32(b + base + 256), 256.0f);
    EXPECT_EQ(le::LoadF32(b + base + 260), 260.0f);
    EXPECT_EQ(b[base + 264], 18);                    // 384
    EXPECT_EQ(le::LoadF32(b + base + 268), 268.0f);  // 388
    EXPECT_EQ(le::LoadF32(b + base + 272), 272.0f);
    EXPECT_EQ(le::LoadF32(b + base + 276), 276.0f);
    EXPECT_EQ(le::LoadF32(b + base + 280), 280.0f);
    EXPECT_EQ(le::LoadF32(b + base + 284), 284.0f);  // 404
    EXPECT_EQ(le::LoadF32(b + base + 292 + 8), 300.0f);  // 412: milResearch
    EXPECT_EQ(le::Load32(b + base + 304 + 4), tag | 6);  // 424
    EXPECT_EQ(b[base + 313], 7);                     // 432
    EXPECT_EQ(b[base + 314], 8);                     // 434
    EXPECT_EQ(le::Load32(b + base + 332), tag | 9);  // 452
    EXPECT_EQ(b[base + 336], 10);                    // 456
    EXPECT_EQ(b[base + 337], 11);
    EXPECT_EQ(b[base + 340 + 11 * 64 + 63], 12);     // 460: productPolicy
    EXPECT_EQ(le::Load32(b + base + 1108), tag | 13);  // 1,228
    EXPECT_EQ(le::Load32(b + base + 1176), tag | 14);  // 1,296
    EXPECT_EQ(le::Load32(b + base + 1180), tag | 15);
    EXPECT_EQ(b[base + 1184], 16);                   // 1,304
    EXPECT_EQ(b[base + 1185], 17);
    EXPECT_EQ(le::LoadF32(b + base + 1188), 1188.0f);  // 1,308
    EXPECT_EQ(b[base + 1192 + 31 * 96 + 95], 18);    // 1,312: regionPolicy
    EXPECT_EQ(b[base + 4776 + 5 * 16 + 15], 19);     // 4,896: cabinetPolicy
    EXPECT_EQ(le::Load32(b + base + 4892), tag | 20);  // 5,012: ceasefireMask
    EXPECT_EQ(le::Load32(b + base + 4900 + 8), tag | 21);
  }
  // The display copy ends exactly where the simulation copy starts.
  EXPECT_EQ(le::Load32(b + 120 + 5024), 0x200u);
}

TEST(PlayerRecord, InitNullsEveryPointerWordAndNothingElse) {
  auto rp = NewRecord();
  PlayerRecord& r = *rp;
  std::memset(static_cast<void*>(&r), 0xA5, sizeof r);
  PlayerRecordInit(r);
  const uint8_t* b = Bytes(r);
  auto zeroAt = [&](size_t offset, size_t length) {
    for (size_t i = offset; i < offset + length; ++i)
      if (b[i] != 0) return false;
    return true;
  };
  EXPECT_TRUE(zeroAt(48, 4));
  EXPECT_TRUE(zeroAt(120 + 12, 4));
  EXPECT_TRUE(zeroAt(120 + 4900, 12));
  EXPECT_TRUE(zeroAt(5144 + 12, 4));
  EXPECT_TRUE(zeroAt(5144 + 4900, 12));
  EXPECT_TRUE(zeroAt(13168, 4));
  size_t zeros = 0;
  for (size_t i = 0; i < sizeof r; ++i) zeros += b[i] == 0;
  EXPECT_EQ(zeros, 4u + 2 * (4 + 12) + 4);
}

TEST(PlayerRecord, CopyIsByteForByte) {
  auto source = NewRecord();
  uint8_t* s = reinterpret_cast<uint8_t*>(source.get());
  for (size_t i = 0; i < sizeof(PlayerRecord); ++i) s[i] = static_cast<uint8_t>(i * 7 + 3);
  auto destination = NewRecord();
  CopyPlayerRecord(*destination, *source);
  EXPECT_EQ(std::memcmp(destination.get(), source.get(), sizeof(PlayerRecord)), 0);
  // The pointer words came over as they stood.
  EXPECT_EQ(destination->pointerSlot48, source->pointerSlot48);
  CopyPlayerRecord(*destination, *destination);
  EXPECT_EQ(std::memcmp(destination.get(), source.get(), sizeof(PlayerRecord)), 0);
}

class PolicyRestore : public ::testing::Test {
 protected:
  void SetUp() override {
    record_ = NewRecord();
    record_->displayPolicy.taxRates[0] = 0.30f;  // the player's local change
    record_->displayPolicy.friendlyMask = 0x6;
    record_->simPolicy.taxRates[0] = 0.10f;      // what the simulation has
    record_->simPolicy.friendlyMask = 0x2;
    record_->simPolicy.pointerSlots4900[1] = 0x1234;
  }
  bool DisplayIsSimulation() const {
    return std::memcmp(&record_->displayPolicy, &record_->simPolicy, sizeof(PlayerPolicyBlock)) == 0;
  }
  std::unique_ptr<PlayerRecord> record_;
};

// Two local commands outstanding: the first restore only counts down, the
// second brings the count to 0 and copies.
TEST_F(PolicyRestore, CopiesOnlyWhenNoCommandIsLeft) {
  record_->pendingCommands = 2;
  TickPolicyRestore(*record_);
  EXPECT_EQ(record_->pendingCommands, 1);
  EXPECT_EQ(record_->displayPolicy.taxRates[0], 0.30f);
  EXPECT_FALSE(DisplayIsSimulation());

  TickPolicyRestore(*record_);
  EXPECT_EQ(record_->pendingCommands, 0);
  EXPECT_EQ(record_->displayPolicy.taxRates[0], 0.10f);
  EXPECT_EQ(record_->displayPolicy.friendlyMask, 0x2u);
  EXPECT_TRUE(DisplayIsSimulation());

  // With none outstanding it copies at once and the count stays at 0.
  record_->displayPolicy.taxRates[0] = 0.55f;
  TickPolicyRestore(*record_);
  EXPECT_EQ(record_->pendingCommands, 0);
  EXPECT_TRUE(DisplayIsSimulation());
}

TEST_F(PolicyRestore, OnlyThePolicyBlockChanges) {
  record_->pendingCommands = 0;
  record_->treasury = 99.0f;
  record_->commandCounter = 5;
  auto before = std::make_unique<PlayerRecord>(*record_);
  TickPolicyRestore(*record_);
  before->displayPolicy = before->simPolicy;
  EXPECT_EQ(std::memcmp(before.get(), record_.get(), sizeof(PlayerRecord)), 0);
}

}  // namespace
