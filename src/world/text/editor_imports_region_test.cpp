#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "world/data_file_test_support.h"
#include "records/le_bytes.h"
#include "world/region_figures.h"
#include "world/text/editor_imports.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

using filetest::DataRootScope;

class RegionImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    NewGameData(*world_);
    std::strcpy(world_->players[5].name, "Before");
    world_->worldEconomy[100] = 7;
  }

  void Write(const std::string& text) { root_.dir().Write("CUSTOM/REGIONS.CSV", text); }

  // Every byte the import may change.
  std::string Fingerprint() const {
    std::string f(reinterpret_cast<const char*>(world_->players), sizeof world_->players);
    f.append(world_->worldEconomy.begin(), world_->worldEconomy.end());
    f += std::to_string(world_->gameState.highestPlayer) + "/" + std::to_string(world_->gameState.localPlayer);
    return f;
  }

  const uint8_t* Bytes(int player) const { return reinterpret_cast<const uint8_t*>(&world_->players[player]); }
  float Product(int player, int product, size_t field) const {
    return le::LoadF32(world_->players[player].products[product].bytes + field);
  }
  float Economy(size_t at) const { return le::LoadF32(world_->worldEconomy.data() + at); }

  DataRootScope root_;
  std::unique_ptr<World> world_;
};

constexpr const char* kRegions =
    "Region data for the test\r\n"
    "NUMPLAYERSINFILE,2\r\n"
    "STARTPLAYER,1\r\n"
    "govtype;,1,4\r\n"
    "loyalty;,75,\r\n"
    "pname[16];,Westholm,\"A name of twenty ch\"\r\n"
    "efficiency[3];,0.8,1.2\r\n"
    "demandppmod[2];,0,2.5\r\n"
    "wmcost[1];,12.5\r\n"
    "wmproduction[0];,2\r\n"
    "wmdomesticmargin[4];,0\r\n"
    "worldavail;,AC,*\r\n"
    "wmgdpc;,5000\r\n"
    "gdpc;,1000,2000\r\n"
    "wmprimerate;,0.05\r\n"
    "primerate;,0.07,0.08\r\n"
    "bwmmember;,yes,no\r\n"
    "defcon;,3,5\r\n"
    "bconscript;,3,2\r\n"
    "percentpop[2];,40,60\r\n"
    "socialrating[6];,1.5,0.5\r\n"
    "govtypeapprove[3];,7,8\r\n"
    "civapproval;,0.6,0.7\r\n"
    "milapproval;,0.4,0.3\r\n"
    "religionstate;,2,3\r\n"
    "treasury;,1e9,-2.5e8\r\n"
    "internalintegrity;,0.61,0.62\r\n"
    "wmintegrity;,0.51,0.52\r\n"
    "subsidyrating;,0.41,0.42\r\n"
    "crimerate;,0.03,0.04\r\n"
    "ageover65;,0.15,0.16\r\n"
    "uispendrecom;,0.25,0.35\r\n"
    "policyappsocial;,0.9,0.8\r\n";

TEST_F(RegionImportTest, FillsTheRecordsAndTheEconomy) {
  Write(kRegions);
  std::string error;
  ASSERT_EQ(ReadPlayerCsv(*world_, "REGIONS", &error), 0) << error;
  World& w = *world_;

  EXPECT_EQ(w.gameState.highestPlayer, 2);
  EXPECT_EQ(w.gameState.localPlayer, 1);
  EXPECT_EQ(w.localPlayerRecord, &w.players[1]);
  EXPECT_EQ(w.players[0].kind, kKindWorld);
  EXPECT_FLOAT_EQ(w.players[0].efficiency, 1.0f);
  EXPECT_EQ(w.players[1].kind, kKindHuman);
  EXPECT_EQ(w.players[1].number, 1);
  EXPECT_EQ(w.players[2].kind, kKindHuman);
  EXPECT_EQ(w.players[2].number, 2);
  // The table is rebuilt: a record the file does not name is fresh.
  EXPECT_EQ(w.players[5].kind, kKindEmpty);
  EXPECT_STREQ(w.players[5].name, "");
  EXPECT_EQ(w.worldEconomy[100], 0);

  EXPECT_EQ(w.players[1].govtype, 1);
  EXPECT_EQ(w.players[2].govtype, 4);
  EXPECT_FLOAT_EQ(w.players[1].efficiency, 0.75f);  // 75 per cent
  EXPECT_FLOAT_EQ(w.players[2].efficiency, 0.0f);   // empty cell: kept
  EXPECT_STREQ(w.players[1].name, "Westholm");
  EXPECT_STREQ(w.players[2].name, "A name of twent");  // 20 characters cut to 15

  EXPECT_FLOAT_EQ(Product(1, 3, kProductEfficiencyAt), 0.8f);
  EXPECT_FLOAT_EQ(Product(1, 3, kProductBaseEfficiencyAt), 0.8f);
  EXPECT_FLOAT_EQ(Product(2, 3, kProductEfficiencyAt), 1.2f);
  EXPECT_FLOAT_EQ(Product(1, 2, kProductDemandPerPersonAt), 1.0f);  // 0 becomes 1
  EXPECT_FLOAT_EQ(Product(2, 2, kProductDemandPerPersonAt), 2.5f);

  EXPECT_FLOAT_EQ(Economy(64 * 1 + 0), 12.5f);
  EXPECT_FLOAT_EQ(Economy(64 * 0 + 4), 510.0f);  // stored x 255
  EXPECT_FLOAT_EQ(Economy(64 * 4 + 44), 1.0f);   // 0 becomes 1
  EXPECT_FLOAT_EQ(ProductReal(w.players[0].displayPolicy.productPolicy[4], kProductDomesticMargin), 1.0f);
  EXPECT_FLOAT_EQ(ProductReal(w.players[0].simPolicy.productPolicy[4], kProductDomesticMargin), 1.0f);
  EXPECT_FLOAT_EQ(Economy(kWorldGdpPerHeadAt), 5000.0f);
  EXPECT_FLOAT_EQ(Economy(kWorldPreviousGdpPerHeadAt), 5000.0f);
  EXPECT_FLOAT_EQ(Economy(kWorldPrimeRateAt), 0.05f);

  EXPECT_EQ(le::Load32(Bytes(1) + kRegionWorldAvailAt), 0xAu);  // A bit 1, C bit 3
  EXPECT_EQ(le::Load32(Bytes(2) + kRegionWorldAvailAt), 0xFFFFFFFFu);
  // "gdpc;" is not taken from the "wmgdpc;" line above it.
  EXPECT_FLOAT_EQ(w.players[1].gdpPerCapita, 1000.0f);
  EXPECT_FLOAT_EQ(w.players[1].baseGdpPerCapita, 1000.0f);
  EXPECT_FLOAT_EQ(w.players[2].gdpPerCapita, 2000.0f);
  EXPECT_FLOAT_EQ(LoadRegionFloat(w.players[1], kRegionPrimeRate), 0.07f);
  EXPECT_FLOAT_EQ(LoadRegionFloat(w.players[2], kRegionPrimeRate), 0.08f);
  // Figures the daily steps read land on the record's own members.
  EXPECT_FLOAT_EQ(w.players[1].gdpInput1, 0.61f);
  EXPECT_FLOAT_EQ(w.players[2].gdpInput1, 0.62f);
  EXPECT_FLOAT_EQ(w.players[1].standing, 0.51f);
  EXPECT_FLOAT_EQ(w.players[2].tradeOpenness, 0.42f);
  EXPECT_FLOAT_EQ(w.players[1].gdpInput7, 0.03f);
  EXPECT_FLOAT_EQ(le::LoadF32(Bytes(2) + 10244), 0.16f);  // the share the pensions weigh
  EXPECT_FLOAT_EQ(le::LoadF32(Bytes(1) + 10452), 0.25f);  // the weight of unemployment spending
  EXPECT_FLOAT_EQ(LoadRegionFloat(w.players[1], kRegionWmIntegrity), 0.51f);
  EXPECT_FLOAT_EQ(LoadRegionFloat(w.players[2], kRegionPolicyAppSocial), 0.8f);

  EXPECT_EQ(w.players[1].displayPolicy.wageFlags & 4u, 4u);
  EXPECT_EQ(w.players[1].simPolicy.wageFlags & 4u, 4u);
  EXPECT_EQ(w.players[2].simPolicy.wageFlags & 4u, 0u);
  EXPECT_EQ(w.players[1].displayPolicy.defcon, 3);
  EXPECT_EQ(w.players[2].simPolicy.defcon, 5);
  EXPECT_EQ(w.players[1].simPolicy.militaryFlags & 1u, 1u);  // 3: lowest bit set
  EXPECT_EQ(w.players[2].displayPolicy.militaryFlags & 1u, 0u);
  EXPECT_EQ(Bytes(1)[kRegionReligionsAt + 3 * 2], 40);
  EXPECT_EQ(Bytes(2)[kRegionReligionsAt + 3 * 2], 60);
  EXPECT_FLOAT_EQ(w.players[1].socialLevels[6], 1.5f);
  EXPECT_EQ(Bytes(1)[kRegionGovtypeApproveAt + 2], 7);
  EXPECT_EQ(Bytes(2)[kRegionGovtypeApproveAt + 2], 8);
  EXPECT_FLOAT_EQ(w.players[1].approval, 0.6f);
  EXPECT_FLOAT_EQ(w.players[2].secondRating, 0.3f);
  EXPECT_EQ(w.players[2].displayPolicy.religionstate, 3);
  EXPECT_EQ(w.players[2].simPolicy.religionstate, 3);
  EXPECT_FLOAT_EQ(w.players[1].treasury, 1e9f);
  EXPECT_FLOAT_EQ(w.players[2].treasury, -2.5e8f);
}

TEST_F(RegionImportTest, AnEmptyFirstCellKeepsTheFirstRegionsValue) {
  Write("NUMPLAYERSINFILE,2\nSTARTPLAYER,1\ngovtype;,,4\n");
  ASSERT_EQ(ReadPlayerCsv(*world_, "REGIONS"), 0);
  EXPECT_EQ(world_->players[1].govtype, 0);
  EXPECT_EQ(world_->players[2].govtype, 4);
}

TEST_F(RegionImportTest, ALaterStartPlayerMakesTheLastRegionTheHighest) {
  Write("NUMPLAYERSINFILE;2\nSTARTPLAYER;3\ngovtype;3;4\n");
  ASSERT_EQ(ReadPlayerCsv(*world_, "REGIONS"), 0);
  EXPECT_EQ(world_->gameState.highestPlayer, 4);
  EXPECT_EQ(world_->players[3].govtype, 3);
  EXPECT_EQ(world_->players[4].govtype, 4);
  EXPECT_EQ(world_->players[4].kind, kKindHuman);
  EXPECT_EQ(world_->players[2].kind, kKindEmpty);
}

struct BadRegionFile {
  const char* text;
  const char* expected;  // a part of the error
};

class RegionImportRefusals : public RegionImportTest, public ::testing::WithParamInterface<BadRegionFile> {};

TEST_P(RegionImportRefusals, NameTheLineAndChangeNothing) {
  Write(GetParam().text);
  const std::string before = Fingerprint();
  std::string error;
  EXPECT_EQ(ReadPlayerCsv(*world_, "REGIONS", &error), static_cast<int32_t>(0x80004005u));
  EXPECT_NE(error.find("CUSTOM\\REGIONS.CSV"), std::string::npos) << error;
  EXPECT_NE(error.find(GetParam().expected), std::string::npos) << error;
  EXPECT_EQ(Fingerprint(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegionImportRefusals,
    ::testing::Values(BadRegionFile{"NUMPLAYERSINFILE,2\nSTARTPLAYER,1\ngovtype;,1,4\nloyalty;,75,abc\n",
                                    "line 4: column 3 (loyalty;): \"abc\" is not a number"},
                      BadRegionFile{"NUMPLAYERSINFILE,2\nSTARTPLAYER,1\ngovtype;,1\n", "line 3: column 3 (govtype;) is missing"},
                      BadRegionFile{"NUMPLAYERSINFILE,2\nSTARTPLAYER,1\ngovtype;,1,256\n", "256 is outside 0 to 255"},
                      BadRegionFile{"NUMPLAYERSINFILE,2\nSTARTPLAYER,31\n", "do not fit the game's 32 region records"},
                      BadRegionFile{"NUMPLAYERSINFILE,0\nSTARTPLAYER,1\n", "line 1: NUMPLAYERSINFILE is 0"},
                      BadRegionFile{"STARTPLAYER,1\n", "no NUMPLAYERSINFILE"},
                      BadRegionFile{"NUMPLAYERSINFILE,2\nSTARTPLAYER,1\nworldavail;,AC,ab\n", "beyond the 32"},
                      BadRegionFile{"NUMPLAYERSINFILE,1\nSTARTPLAYER,1\nbwmmember;,maybe\n", "is not yes or no"},
                      BadRegionFile{"NUMPLAYERSINFILE,1\nSTARTPLAYER,1\ntreasury;,1e99\n", "is not a number"}),
    [](const ::testing::TestParamInfo<BadRegionFile>& info) { return "File" + std::to_string(info.index); });

TEST_F(RegionImportTest, AMissingFileChangesNothing) {
  const std::string before = Fingerprint();
  std::string error;
  EXPECT_EQ(ReadPlayerCsv(*world_, "NOSUCH", &error), static_cast<int32_t>(0x80004005u));
  EXPECT_NE(error.find("CUSTOM\\NOSUCH.CSV"), std::string::npos);
  EXPECT_EQ(Fingerprint(), before);
}

}  // namespace
