#include "world/text/rule_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "platform/paths.h"
#include "platform/status.h"
#include "support/temp_dir.h"
#include "world/world.h"
#include "records/le_bytes.h"
#include "world/text/people_bio.h"
#include "world/text/world_economy_table.h"

namespace {

class RuleTableFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
  }
  void TearDown() override { plat::SetDataRoot(oldRoot_); }
  void Ini(const std::string& name, const std::string& text) const { dir_.Write("INI/" + name + ".CSV", text); }

  TempDir dir_;
  std::string oldRoot_;
};

TEST_F(RuleTableFiles, DepartmentPriorityBlocks) {
  Ini("deptprior",
      "Department,Item,Text\r\n"
      "DEPT,2,ignored\r\n"
      "1,Alpha,3,Beta,Gamma\r\n"
      "40,Skipped,1,x,y\r\n"
      "5,Five,0,,Fivec\r\n"
      "0\r\n"
      "7,After the end,1,a,b\r\n"
      "DEPT,9\r\n"
      "1,Wrong department,1,a,b\r\n"
      "DEPT\r\n"
      "2,No department,1,a,b\r\n"
      "DEPT,0\r\n"
      "31,Last,31,A,B\r\n"
      "DEPT,1\r\n"
      "4,Four\r\n");
  auto table = std::make_unique<DeptPriorityTable>();
  ASSERT_EQ(LoadDeptPriorities(*table, "deptprior"), plat::kOk);
  const DeptPriorityEntry& a = table->entries[2][1];
  EXPECT_EQ(a.itemMask, 2u);
  EXPECT_STREQ(a.text1.get(), "Alpha");
  EXPECT_EQ(a.secondMask, 8u);
  EXPECT_STREQ(a.text2.get(), "Beta");
  EXPECT_STREQ(a.text3.get(), "Gamma");
  const DeptPriorityEntry& five = table->entries[2][5];
  EXPECT_EQ(five.itemMask, 32u);
  EXPECT_EQ(five.secondMask, 0u);  // a third cell of 0 leaves the mask
  EXPECT_EQ(five.text2.get(), nullptr);  // an empty cell gives no text
  EXPECT_STREQ(five.text3.get(), "Fivec");
  EXPECT_EQ(table->entries[2][7].itemMask, 0u);  // after the block's end
  for (int d = 0; d < kDepartmentCount; ++d) {
    if (d != 1) {
      EXPECT_EQ(table->entries[d][2].itemMask, 0u) << d;
    }
  }
  EXPECT_EQ(table->entries[0][31].itemMask, 0x80000000u);
  EXPECT_EQ(table->entries[0][31].secondMask, 0x80000000u);
  // A block that follows the last item line directly is still read.
  EXPECT_EQ(table->entries[1][4].itemMask, 16u);
  EXPECT_STREQ(table->entries[1][4].text1.get(), "Four");
  EXPECT_EQ(table->entries[1][4].text2.get(), nullptr);  // missing cells give no text
}

TEST_F(RuleTableFiles, CabinetConcernsAndABlockThatEndsOnTheNextDept) {
  Ini("cabinetconcerns", "DEPT,3\r\n1,Inflation\r\n2,\"Jobs, jobs\"\r\nDEPT,4\r\n9,Crime\r\n\r\n10,Outside\r\n");
  auto table = std::make_unique<CabinetConcernTable>();
  ASSERT_EQ(LoadCabinetConcerns(*table, "cabinetconcerns"), plat::kOk);
  EXPECT_STREQ(table->entries[3][1].text.get(), "Inflation");
  EXPECT_EQ(table->entries[3][1].itemMask, 2u);
  EXPECT_STREQ(table->entries[3][2].text.get(), "Jobs, jobs");
  EXPECT_STREQ(table->entries[4][9].text.get(), "Crime");
  EXPECT_EQ(table->entries[4][9].itemMask, 512u);
  EXPECT_EQ(table->entries[4][10].itemMask, 0u);  // the empty line ended the block
}

TEST_F(RuleTableFiles, TechTreeEffectsAreNumberedRows) {
  Ini("techtreeeffects", "Effect,Name,Value\r\n1,Farming,1.25\r\n255,Top,-2\r\n256,Out,9\r\n0,Zero,9\r\n7,NoValue\r\n");
  auto table = std::make_unique<TechEffectTable>();
  ASSERT_EQ(LoadTechTreeEffects(*table, "techtreeeffects"), plat::kOk);
  EXPECT_STREQ(table->entries[1].name.get(), "Farming");
  EXPECT_FLOAT_EQ(table->entries[1].value, 1.25f);
  EXPECT_STREQ(table->entries[255].name.get(), "Top");
  EXPECT_FLOAT_EQ(table->entries[255].value, -2.0f);
  EXPECT_EQ(table->entries[0].name.get(), nullptr);
  EXPECT_STREQ(table->entries[7].name.get(), "NoValue");
  EXPECT_FLOAT_EQ(table->entries[7].value, 0.0f);
}

// A newsitems row whose 45 cells all differ, so each field shows which
// column it came from.
std::string DistinctNewsRow(int id) {
  std::string row = std::to_string(id);
  for (int c = 1; c <= 45; ++c) {
    row += ",";
    if (c == 8) {
      row += "yes";
    } else if ((c >= 9 && c <= 13) || (c >= 36 && c <= 41)) {
      row += "T" + std::to_string(c);
    } else if (c >= 42) {
      row += std::to_string(c) + ".5";
    } else if (c == 19) {
      row += "5";
    } else if (c == 20) {
      row += "12";
    } else {
      row += std::to_string(100 + c);
    }
  }
  return row + "\r\n";
}

TEST_F(RuleTableFiles, NewsItemsColumnsLandInTheirFields) {
  Ini("newsitems", "Header line\r\nMAXNUM,3,rest\r\n" + DistinctNewsRow(2) + DistinctNewsRow(4) +
                       "0,1,2,3\r\n3,1,1,0,0,1,0,0,no,Subject only,,,\r\n");
  MessageTypeTable table;
  ASSERT_EQ(LoadNewsItems(table, "newsitems"), plat::kOk);
  ASSERT_EQ(table.messageTypeCount(), 4);  // ids 0..3; the row with id 4 is left out
  for (const auto& state : table.playerMessageState) ASSERT_EQ(state.size(), 4u);

  const MessageTypeRecord& r = table.records[2];
  EXPECT_EQ(r.flags, 101);
  EXPECT_EQ(r.department, 105);
  EXPECT_EQ(r.enabled, 102);
  EXPECT_EQ(r.priority, 107);
  EXPECT_EQ(r.screenSetting, 106);
  EXPECT_EQ(r.frequencyKind, 103);
  EXPECT_EQ(r.frequencyParam, 104);
  EXPECT_EQ(r.muteFlags, 2);
  EXPECT_STREQ(r.subject.get(), "T9");
  EXPECT_STREQ(r.statusTemplate.get(), "T10");
  EXPECT_STREQ(r.bodyTemplates[0].get(), "T11");
  EXPECT_STREQ(r.bodyTemplates[1].get(), "T12");
  EXPECT_STREQ(r.bodyTemplates[2].get(), "T13");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(r.paramKinds[i], 114 + i);
  EXPECT_EQ(r.attachmentKind, 118);
  EXPECT_EQ(r.recipientMask, (1u << 4) | (1u << 11));
  EXPECT_EQ(r.replySet, 121);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(r.values[i], 122 + i);
  EXPECT_EQ(r.sound, 125);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(r.bytes[i], 126 + i);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r.replyCodes[i], 130 + i);
  for (int i = 0; i < 6; ++i) EXPECT_STREQ(r.replyTexts[i].get(), ("T" + std::to_string(36 + i)).c_str());
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(r.reals[i], static_cast<float>(42 + i) + 0.5f);

  const MessageTypeRecord& zero = table.records[0];
  EXPECT_EQ(zero.flags, 0);
  EXPECT_EQ(zero.subject.get(), nullptr);

  const MessageTypeRecord& three = table.records[3];
  EXPECT_EQ(three.flags, 1);
  EXPECT_EQ(three.muteFlags, 0);
  EXPECT_STREQ(three.subject.get(), "Subject only");
  EXPECT_EQ(three.statusTemplate.get(), nullptr);  // empty templates are none
  EXPECT_EQ(three.bodyTemplates[0].get(), nullptr);
  ASSERT_NE(three.replyTexts[5].get(), nullptr);  // missing reply texts are empty, not none
  EXPECT_STREQ(three.replyTexts[5].get(), "");
  EXPECT_EQ(three.recipientMask, 0u);
}

TEST_F(RuleTableFiles, NewsItemsWithoutAUsableMaxnumKeepTheOldTable) {
  Ini("newsitems", "MAXNUM,2\r\n1,1\r\n");
  MessageTypeTable table;
  ASSERT_EQ(LoadNewsItems(table, "newsitems"), plat::kOk);
  ASSERT_EQ(table.messageTypeCount(), 3);
  table.playerMessageState[5][1].lastDay = 77;
  for (const char* text : {"1,2,3\r\n", "MAXNUM,0\r\n1,1\r\n", "MAXNUM\r\n", "MAXNUM,-4\r\n", "MAXNUM,99999999\r\n"}) {
    Ini("newsitems", text);
    EXPECT_EQ(LoadNewsItems(table, "newsitems"), plat::kFail) << text;
    EXPECT_EQ(table.messageTypeCount(), 3);
    EXPECT_EQ(table.playerMessageState[5][1].lastDay, 77u);
  }
  EXPECT_EQ(LoadNewsItems(table, "missing"), plat::kFail);
  // A successful load clears every player's state.
  Ini("newsitems", "MAXNUM,5\r\n");
  ASSERT_EQ(LoadNewsItems(table, "newsitems"), plat::kOk);
  EXPECT_EQ(table.messageTypeCount(), 6);
  EXPECT_EQ(table.playerMessageState[5][1].lastDay, 0u);
}

// Cells of an orders row after its name and value, each switch given by `on`.
std::string OrderSwitches(int count, bool (*on)(int)) {
  std::string s;
  for (int i = 0; i < count; ++i) s += on(i) ? ",1" : ",0";
  return s;
}

TEST_F(RuleTableFiles, OrdersRowsFillMasksFlagsAndBytes) {
  std::string row = "7,Advance,0x10,1,2,3,300";
  row += OrderSwitches(25, [](int i) { return i % 3 == 0; });           // flag bits 0..24
  for (int i = 0; i < 12; ++i) row += "," + std::to_string(20 + i);     // 12 bytes
  row += OrderSwitches(4, [](int i) { return i != 1; });                // flag bits 25..28
  row += ",77";                                                         // one byte
  row += OrderSwitches(32, [](int i) { return i == 0 || i == 31; });    // first mask, bit 31 first
  row += ",Y";                                                          // flag bit 29
  row += OrderSwitches(32, [](int i) { return i == 1 || i == 30; });    // second mask
  Ini("orders", "Order,Name\r\nSTART,here\r\n" + row + "\r\n300,Far,1\r\n0,Stop,2\r\n999\r\n8,Late,3\r\n");
  auto table = std::make_unique<OrderTypeTable>();
  table->entries[7].orderFlags = 0x100;  // mask bits are added to what the entry holds
  ASSERT_EQ(LoadOrdersTable(*table, "orders"), plat::kOk);
  const OrderTypeRecord& r = table->entries[7];
  EXPECT_STREQ(r.name.get(), "Advance");
  EXPECT_EQ(r.listModes, 16);
  EXPECT_EQ(r.categories[0], 1);
  EXPECT_EQ(r.categories[2], 3);
  EXPECT_EQ(r.categories[3], 0);  // 300 is beyond a byte: the default
  uint32_t flags = 0;
  for (int i = 0; i < 25; i += 3) flags |= 1u << i;
  flags |= (1u << 25) | (1u << 27) | (1u << 28) | (1u << 29);
  EXPECT_EQ(r.requirements, flags);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r.hexRelation[i], 20 + i);
    EXPECT_EQ(r.facilityRelation[i], 24 + i);
    EXPECT_EQ(r.unitRelation[i], 28 + i);
  }
  EXPECT_EQ(r.spare, 77);
  EXPECT_EQ(r.orderFlags, 0x80000001u | 0x100u);
  EXPECT_EQ(r.orderMask, 0x40000002u);
  EXPECT_STREQ(table->entries[0].name.get(), "Stop");
  EXPECT_EQ(table->entries[0].listModes, 2);
  EXPECT_EQ(table->entries[8].name.get(), nullptr);  // after the 999 row

  Ini("orders", "7,No start\r\n");
  EXPECT_EQ(LoadOrdersTable(*table, "orders"), plat::kFail);
  EXPECT_STREQ(table->entries[7].name.get(), "Advance");
}

TEST_F(RuleTableFiles, TrainingRowsOneToEleven) {
  Ini("training", "Index,Name\r\n1,Basic,1.5,2.5,Drill,0x1F,3.5,4,5,6,7\r\n12,Too far\r\n11,Elite\r\n999\r\n2,After\r\n");
  auto table = std::make_unique<TrainingTable>();
  ASSERT_EQ(LoadTrainingTable(*table, "training"), plat::kOk);
  const TrainingRecord& r = table->entries[1];
  EXPECT_STREQ(r.name.get(), "Basic");
  EXPECT_FLOAT_EQ(r.costPerDay, 1.5f);
  EXPECT_FLOAT_EQ(r.durationDays, 2.5f);
  EXPECT_STREQ(r.benefit.get(), "Drill");
  EXPECT_EQ(r.kindMask, 31);
  EXPECT_FLOAT_EQ(r.experienceGain, 3.5f);
  EXPECT_FLOAT_EQ(r.skillGains[0], 4.0f);
  EXPECT_FLOAT_EQ(r.skillGains[3], 7.0f);
  EXPECT_STREQ(table->entries[11].name.get(), "Elite");
  EXPECT_STREQ(table->entries[11].benefit.get(), "");
  EXPECT_EQ(table->entries[2].name.get(), nullptr);
}

TEST_F(RuleTableFiles, TreatyAndVoteTables) {
  Ini("rtreaties", "Type,Name\r\n3,Alliance,Mutual defence,4,5,6,2500\r\n128,Too far,x,1,1,1,1\r\n-1,Neg,x,1,1,1,1\r\n");
  Ini("wtreaties", "5,Pact,World pact,7,8,9\r\n");
  Ini("wmvotes", "6,Vote,Sanctions,9,10\r\n");
  TreatyTypeTable r, w, v;
  ASSERT_EQ(LoadRTreaties(r, "rtreaties"), plat::kOk);
  ASSERT_EQ(LoadWTreaties(w, "wtreaties"), plat::kOk);
  ASSERT_EQ(LoadWMVotes(v, "wmvotes"), plat::kOk);
  EXPECT_STREQ(r[3].name.get(), "Alliance");
  EXPECT_STREQ(r[3].description.get(), "Mutual defence");
  EXPECT_EQ(r[3].kind, 4);
  EXPECT_EQ(r[3].settingA, 5);
  EXPECT_EQ(r[3].settingB, 6);
  EXPECT_FLOAT_EQ(r[3].weight, 0.25f);
  EXPECT_EQ(r[0].name.get(), nullptr);
  EXPECT_EQ(TreatyType(r, 128), nullptr);
  EXPECT_EQ(TreatyType(r, 3), &r[3]);
  EXPECT_EQ(w[5].kind, 7);
  EXPECT_EQ(w[5].settingA, 0);
  EXPECT_EQ(w[5].settingB, 8);
  EXPECT_EQ(v[6].kind, 0);
  EXPECT_EQ(v[6].settingB, 9);
  // A reload starts from a cleared table.
  Ini("rtreaties", "4,Trade,Goods,1,0,0,10000\r\n");
  ASSERT_EQ(LoadRTreaties(r, "rtreaties"), plat::kOk);
  EXPECT_EQ(r[3].name.get(), nullptr);
  EXPECT_FLOAT_EQ(r[4].weight, 1.0f);
  EXPECT_EQ(LoadRTreaties(r, "missing"), plat::kFail);
  EXPECT_FLOAT_EQ(r[4].weight, 1.0f);
}

TEST_F(RuleTableFiles, AiParamsBlocks) {
  std::string text = "Computer players\r\nbuildsequence\r\n";
  for (int row = 0; row < 9; ++row) {
    for (int c = 0; c < 16; ++c) text += std::to_string(row * 16 + c) + ",";
    text += "999\r\n";  // a surplus cell is ignored
  }
  text += "unitweighting,x\r\n";
  for (int row = 0; row < 52; ++row) {
    for (int c = 0; c < 30; ++c) text += std::to_string(row) + "." + std::to_string(c % 10) + ",";
    text += "\r\n";
  }
  text += "missileweighting\r\n";
  for (int row = 0; row < 8; ++row) text += "-" + std::to_string(row + 1) + "\r\n";
  text += "aireqresponse\r\n";
  for (int row = 0; row < 16; ++row) {
    for (int c = 0; c < 8; ++c) text += (c % 2 ? "yes," : "0,") + std::to_string(row) + "," + std::to_string(c) + ",";
    text += "\r\n";
  }
  dir_.Write("AI/AIparams.CSV", text);
  auto p = std::make_unique<AiParams>();
  p->missileWeighting[1] = 5.0f;
  ASSERT_EQ(LoadAIParams(*p, "AIparams"), plat::kOk);
  for (int i = 0; i < kBuildSequenceValues; ++i) ASSERT_EQ(p->buildSequence[i], i);
  EXPECT_FLOAT_EQ(p->unitWeighting[0], 0.0f);
  EXPECT_FLOAT_EQ(p->unitWeighting[31], 1.1f);
  EXPECT_FLOAT_EQ(p->unitWeighting[51 * 30 + 29], 51.9f);
  EXPECT_FLOAT_EQ(p->missileWeighting[0], -1.0f);
  EXPECT_FLOAT_EQ(p->missileWeighting[1], 0.0f);  // a short row gives the default
  EXPECT_FLOAT_EQ(p->missileWeighting[7 * 30], -8.0f);
  EXPECT_EQ(p->requestResponses[0].flag, 0);
  EXPECT_EQ(p->requestResponses[1].flag, 1);
  EXPECT_EQ(p->requestResponses[8 * 15 + 7].category, 15);
  EXPECT_EQ(p->requestResponses[8 * 15 + 7].role, 7);

  // The blocks are searched in order: one standing before the block it
  // follows is not found, and its values stay.
  dir_.Write("AI/Late.CSV", "aireqresponse\r\n1,2,3\r\nbuildsequence\r\n5\r\n");
  auto q = std::make_unique<AiParams>();
  ASSERT_EQ(LoadAIParams(*q, "Late"), plat::kOk);
  EXPECT_EQ(q->buildSequence[0], 5);
  EXPECT_EQ(q->requestResponses[0].category, 0);
  EXPECT_EQ(LoadAIParams(*q, "missing"), plat::kFail);
}

TEST_F(RuleTableFiles, CVars2WritesTheProductEntries) {
  std::string text = "Settings\r\nSTART\r\n";
  for (int row = 0; row < 4; ++row) {
    text += "Row" + std::to_string(row);
    for (int p = 0; p < 12; ++p) text += (row == 2 && p == 5) ? "," : "," + std::to_string(row * 100 + p);
    text += "\r\n";
  }
  text += "powergen\r\n";
  for (int p = 0; p < 8; ++p) text += std::to_string(p) + ".5,ignored\r\n";
  Ini("CVars2", text);
  uint8_t block[kWorldEconomyBytes] = {};
  le::StoreF32(block + 5 * 64 + 24, 42.0f);
  ASSERT_EQ(LoadCVars2Table(block, "CVars2"), plat::kOk);
  for (int row = 0; row < 4; ++row) {
    for (int p = 0; p < 12; ++p) {
      const float want = (row == 2 && p == 5) ? 42.0f : static_cast<float>(row * 100 + p);
      EXPECT_FLOAT_EQ(le::LoadF32(block + p * 64 + 16 + 4 * row), want) << row << " " << p;
    }
  }
  for (int p = 0; p < 8; ++p) EXPECT_FLOAT_EQ(le::LoadF32(block + p * 64 + 48), static_cast<float>(p) + 0.5f);
  EXPECT_FLOAT_EQ(le::LoadF32(block + 8 * 64 + 48), 0.0f);
  EXPECT_EQ(le::Load32(block + 768), 0u);
  EXPECT_EQ(LoadCVars2Table(nullptr, "CVars2"), plat::kFail);
  EXPECT_EQ(LoadCVars2Table(block, "missing"), plat::kFail);
}

TEST_F(RuleTableFiles, BiographiesFillAtMost256Slots) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "Life " + std::to_string(i) + ",extra\r\n";
  Ini("PeopleBio", text);
  auto bio = std::make_unique<PeopleBioTable>();
  ASSERT_EQ(LoadPeopleBio(*bio, "People"), plat::kOk);
  EXPECT_STREQ(bio->slots[0].get(), "Life 0");
  EXPECT_STREQ(bio->slots[255].get(), "Life 255");
  Ini("ShortBio", "\"A, quoted\"\r\n\r\nC");
  ASSERT_EQ(LoadPeopleBio(*bio, "Short"), plat::kOk);
  EXPECT_STREQ(bio->slots[0].get(), "A, quoted");
  EXPECT_STREQ(bio->slots[1].get(), "");
  EXPECT_STREQ(bio->slots[2].get(), "C");
  EXPECT_STREQ(bio->slots[3].get(), "Life 3");
}

TEST_F(RuleTableFiles, MalformedLinesAreSkippedCleanly) {
  Ini("techtreeeffects", "garbage;;;\"unterminated\r\n\r\n;\r\n2,Good,3\r\nx,y,z\r\n\"3\",Quoted,4\r\n5");
  auto effects = std::make_unique<TechEffectTable>();
  ASSERT_EQ(LoadTechTreeEffects(*effects, "techtreeeffects"), plat::kOk);
  EXPECT_STREQ(effects->entries[2].name.get(), "Good");
  EXPECT_FLOAT_EQ(effects->entries[2].value, 3.0f);
  EXPECT_EQ(effects->entries[3].name.get(), nullptr);  // a quoted index reads as 0
  EXPECT_STREQ(effects->entries[5].name.get(), "");    // an index alone on the last line

  Ini("rtreaties", "1,Name,Desc,abc,999999,-1,notanumber\r\n\"2\r\n3,\"Quoted, name\",D,1,2,3,4e4\r\n");
  TreatyTypeTable r;
  ASSERT_EQ(LoadRTreaties(r, "rtreaties"), plat::kOk);
  EXPECT_EQ(r[1].kind, 0);
  EXPECT_EQ(r[1].settingA, 0);  // beyond a byte: the default
  EXPECT_EQ(r[1].settingB, 0);
  EXPECT_FLOAT_EQ(r[1].weight, 0.0f);
  EXPECT_STREQ(r[3].name.get(), "Quoted, name");
  EXPECT_FLOAT_EQ(r[3].weight, 4.0f);
}

// Arbitrary bytes never crash a loader or send it past the end of its text.
TEST_F(RuleTableFiles, RandomTextNeverBreaksALoader) {
  std::mt19937 random(12345);
  const char alphabet[] = "0123456789,;\"\r\n \tDEPTSTARMXNU-.x";
  const char* keywords[] = {"DEPT", "START", "MAXNUM", "buildsequence", "unitweighting", "missileweighting",
                            "aireqresponse", "powergen"};
  auto tables = std::make_unique<RuleTables>();
  auto bio = std::make_unique<PeopleBioTable>();
  uint8_t economy[kWorldEconomyBytes] = {};
  for (int round = 0; round < 60; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 3000);
    for (int i = 0; i < length; ++i) {
      if (random() % 40 == 0) {
        text += keywords[random() % 8];
      } else if (random() % 50 == 0) {
        text += static_cast<char>(random() % 256);
      } else {
        text += alphabet[random() % (sizeof alphabet - 1)];
      }
    }
    for (const char* name : {"deptprior", "cabinetconcerns", "techtreeeffects", "newsitems", "orders", "training",
                             "rtreaties", "wtreaties", "wmvotes", "CVars2", "FuzzBio"})
      Ini(name, text);
    dir_.Write("AI/AIparams.CSV", text);
    LoadDeptPriorities(tables->deptPriorities, "deptprior");
    LoadCabinetConcerns(tables->cabinetConcerns, "cabinetconcerns");
    LoadTechTreeEffects(tables->techTreeEffects, "techtreeeffects");
    LoadNewsItems(tables->messageTypes, "newsitems");
    LoadOrdersTable(tables->orderTypes, "orders");
    LoadTrainingTable(tables->trainingTypes, "training");
    LoadRTreaties(tables->rTreatyTypes, "rtreaties");
    LoadWTreaties(tables->wTreatyTypes, "wtreaties");
    LoadWMVotes(tables->wmVoteTypes, "wmvotes");
    LoadAIParams(tables->aiParams, "AIparams");
    LoadCVars2Table(economy, "CVars2");
    LoadPeopleBio(*bio, "Fuzz");
  }
  // Every department entry that was filled has its item's bit.
  for (int d = 0; d < kDepartmentCount; ++d)
    for (int n = 0; n < kDepartmentItems; ++n) {
      const uint32_t mask = tables->deptPriorities.entries[d][n].itemMask;
      EXPECT_TRUE(mask == 0 || mask == 1u << n);
    }
}

TEST_F(RuleTableFiles, CVars2NeedsTheWorldsEconomyBlock) {
  Ini("CVars2", "powergen\r\n2.5\r\n");
  auto world = std::make_unique<World>();
  world->worldEconomy.clear();
  EXPECT_EQ(LoadCVars2Table(*world, "CVars2"), plat::kFail);
  world->worldEconomy.assign(kWorldEconomyBytes, 0);
  ASSERT_EQ(LoadCVars2Table(*world, "CVars2"), plat::kOk);
  EXPECT_FLOAT_EQ(le::LoadF32(world->worldEconomy.data() + 48), 2.5f);
}

}  // namespace
