// The shipped text content loads through the game's own readers and holds
// every list, row and key that the game looks up.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/text_tokenizer.h"
#include "platform/paths.h"
#include "platform/status.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/text/people_bio.h"
#include "world/text/player_settings.h"
#include "world/text/rule_tables.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/text/tutorial_table.h"
#include "world/text/world_economy_table.h"

namespace {

class ShippedContent : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(VD_CONTENT_DIR);
  }
  void TearDown() override { plat::SetDataRoot(oldRoot_); }
  std::string oldRoot_;
};

int g_postedCount = 0;
void Count(uint32_t, int32_t, uint32_t, uint32_t, uint32_t) { ++g_postedCount; }

TEST_F(ShippedContent, EveryTextListHasEveryEntry) {
  auto lists = std::make_unique<TextLists>();
  ASSERT_EQ(LoadTextLists(*lists, "LOCALEN"), plat::kOk);
  for (int l = 0; l < kTextListCount; ++l) {
    const auto list = static_cast<TextListId>(l);
    for (int i = 0; i < TextListInfoOf(list).count; ++i) {
      const char* entry = TextListEntry(*lists, list, i);
      ASSERT_NE(entry, nullptr) << TextListInfoOf(list).key << " " << i;
      EXPECT_NE(entry[0], '\0') << TextListInfoOf(list).key << " " << i;
    }
  }
  EXPECT_STREQ(TextListEntry(*lists, kListMonthsinyearl, 11), "December");
  EXPECT_STREQ(TextListEntry(*lists, kListNumsuffix, 1), "st");
  EXPECT_STREQ(TextListEntry(*lists, kListDiprel, 3), "Enemy");
  EXPECT_STREQ(TextListEntry(*lists, kListProducts, 10), "Military Goods");
}

TEST_F(ShippedContent, EachListIsFoundOnItsOwnLine) {
  // Keys are found anywhere in the text: no entry may stand in for a key.
  TextTokenizer t;
  ASSERT_EQ(LoadTextFile("INI\\", t, "LOCALEN", ".INI"), plat::kOk);
  for (int l = 0; l < kTextListCount; ++l) {
    const char* key = TextListInfoOf(static_cast<TextListId>(l)).key;
    const char* value = FindKeyword(t, key, false);
    ASSERT_NE(value, nullptr) << key;
    const char* line = value;
    while (line > t.text && line[-1] != '\n') --line;
    EXPECT_EQ(std::strncmp(line, key, std::strlen(key)), 0) << key;
    EXPECT_EQ(line[std::strlen(key)], '\t') << key;
  }
}

TEST_F(ShippedContent, DepartmentTablesHaveItemsForEveryDepartment) {
  auto tables = std::make_unique<RuleTables>();
  ASSERT_EQ(LoadDeptPriorities(tables->deptPriorities, "deptprior"), plat::kOk);
  ASSERT_EQ(LoadCabinetConcerns(tables->cabinetConcerns, "cabinetconcerns"), plat::kOk);
  for (int d = 0; d < kDepartmentCount; ++d) {
    int priorities = 0, concerns = 0;
    for (int n = 1; n < kDepartmentItems; ++n) {
      const DeptPriorityEntry& p = tables->deptPriorities.entries[d][n];
      if (p.itemMask) {
        ++priorities;
        EXPECT_EQ(p.itemMask, 1u << n);
        EXPECT_TRUE(p.text1 && p.text2 && p.text3) << d << " " << n;
      }
      if (tables->cabinetConcerns.entries[d][n].itemMask) {
        ++concerns;
        EXPECT_TRUE(tables->cabinetConcerns.entries[d][n].text) << d << " " << n;
      }
    }
    EXPECT_GE(priorities, 5) << d;
    EXPECT_GE(concerns, 4) << d;
  }
}

TEST_F(ShippedContent, TechnologyEffectsNameEveryCode) {
  auto tables = std::make_unique<RuleTables>();
  ASSERT_EQ(LoadTechTreeEffects(tables->techTreeEffects, "techtreeeffects"), plat::kOk);
  for (int code = 1; code <= 127; ++code) EXPECT_TRUE(tables->techTreeEffects.entries[code].name) << code;
  for (int code = 200; code <= 231; ++code) EXPECT_TRUE(tables->techTreeEffects.entries[code].name) << code;
  EXPECT_STREQ(tables->techTreeEffects.entries[13].name.get(), "Land unit fuel use");
  EXPECT_STREQ(tables->techTreeEffects.entries[108].name.get(), "Cost of Health");
}

// Every message type the game posts, by the rules of every subsystem.
constexpr int kPostedMessageTypes[] = {
    3,   4,   6,   9,   10,  11,  17,  30,  35,  50,  52,  55,  56,  59,  81,  85,  86,  88,  90,  91,  103, 104,
    105, 106, 107, 109, 110, 111, 112, 123, 124, 125, 126, 127, 128, 131, 133, 135, 138, 140, 141, 142, 144, 145,
    146, 147, 148, 149, 150, 155, 158, 162, 165, 166, 167, 189, 190, 210, 212, 218, 219, 225, 226, 227, 228, 248,
    249, 252, 254, 261, 263, 268, 270, 272, 275, 276, 278, 279, 283, 287, 291, 292, 294, 295, 296, 300, 301, 304,
    307, 309, 310, 311, 315, 327, 328, 330, 331, 332, 334, 335, 336, 337, 338, 339, 340, 358, 362, 363, 364, 365,
    366, 367, 368, 379, 380, 387, 397, 398, 399, 400, 401, 402, 403, 404, 405, 408, 409, 410, 411, 412, 413, 415,
    418, 419, 420, 421, 422, 439, 446, 451, 452, 453, 454, 455, 456, 458, 459, 460, 461, 462, 463, 464, 465, 473,
    474, 476, 484, 485, 486};

// Templates take only "%s", at most four of them.
bool TemplateIsSafe(const char* text) {
  if (!text) return true;
  int count = 0;
  for (const char* p = text; *p; ++p) {
    if (*p != '%') continue;
    if (p[1] != 's') return false;
    ++count;
    ++p;
  }
  return count <= 4;
}

TEST_F(ShippedContent, EveryPostedMessageTypeHasARow) {
  auto tables = std::make_unique<RuleTables>();
  ASSERT_EQ(LoadNewsItems(tables->messageTypes, "newsitems"), plat::kOk);
  const MessageTypeTable& types = tables->messageTypes;
  ASSERT_GE(types.messageTypeCount(), 500);
  for (int id : kPostedMessageTypes) {
    const MessageTypeRecord& r = types.records[static_cast<size_t>(id)];
    EXPECT_NE(r.enabled, 0) << id;
    EXPECT_NE(r.flags, 0) << id;
    EXPECT_TRUE(r.bodyTemplates[0] || r.statusTemplate) << id;
    if (r.flags & 3) {
      EXPECT_TRUE(r.bodyTemplates[0] && r.subject.c_str()[0]) << id;
    }
    if (r.flags & 4) {
      EXPECT_TRUE(r.statusTemplate) << id;
    }
  }
  for (int id = 0; id < types.messageTypeCount(); ++id) {
    const MessageTypeRecord& r = types.records[static_cast<size_t>(id)];
    for (const OwnedText& body : r.bodyTemplates) EXPECT_TRUE(TemplateIsSafe(body.get())) << id;
    EXPECT_TRUE(TemplateIsSafe(r.statusTemplate.get())) << id;
    for (int i = 0; i < 6; ++i) {
      // A reply offered on screen has a label.
      if (r.replyCodes[i]) {
        EXPECT_TRUE(r.replyTexts[i].c_str()[0]) << id << " " << i;
      }
    }
  }
  // Offers carry their DIPOFFER text and can be answered.
  EXPECT_EQ(types.records[400].attachmentKind, 20);
  EXPECT_EQ(types.records[400].replyCodes[0], 12);
}

TEST_F(ShippedContent, OrdersTrainingAndTreaties) {
  auto tables = std::make_unique<RuleTables>();
  ASSERT_EQ(LoadOrdersTable(tables->orderTypes, "orders"), plat::kOk);
  for (int id : {0, 1, 4, 9, 11, 41, 43, 46, 47, 48, 49}) EXPECT_TRUE(tables->orderTypes.entries[id].name) << id;
  EXPECT_EQ(tables->orderTypes.entries[1].orderFlags, 1u << 16);  // move: route and destination
  EXPECT_EQ(tables->orderTypes.entries[4].orderMask, 1u << 24);   // training
  EXPECT_EQ(tables->orderTypes.entries[1].requirements, 1u << 28);

  ASSERT_EQ(LoadTrainingTable(tables->trainingTypes, "training"), plat::kOk);
  for (int i = 1; i <= 11; ++i) {
    const TrainingRecord& r = tables->trainingTypes.entries[i];
    EXPECT_TRUE(r.name.c_str()[0]) << i;
    EXPECT_GT(r.durationDays, 0.0f) << i;
    EXPECT_NE(r.kindMask, 0) << i;
  }

  ASSERT_EQ(LoadRTreaties(tables->rTreatyTypes, "rtreaties"), plat::kOk);
  ASSERT_EQ(LoadWTreaties(tables->wTreatyTypes, "wtreaties"), plat::kOk);
  ASSERT_EQ(LoadWMVotes(tables->wmVoteTypes, "wmvotes"), plat::kOk);
  // The treaty types the relation rules name.
  for (int type : {1, 3, 4, 10, 12, 13, 14, 15, 18, 21, 24, 30}) {
    const TreatyTypeEntry* e = TreatyType(tables->rTreatyTypes, type);
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->name.c_str()[0]) << type;
    EXPECT_GT(e->weight, 0.0f) << type;
    EXPECT_LE(e->weight, 1.0f) << type;
    EXPECT_NE(e->kind, type) << type;  // a class never cascades into itself
  }
  EXPECT_FLOAT_EQ(tables->rTreatyTypes[1].weight, 1.0f);
  EXPECT_TRUE(tables->wTreatyTypes[1].name);
  EXPECT_TRUE(tables->wmVoteTypes[1].name);
}

TEST_F(ShippedContent, ComputerPlayerParametersFillAllFourBlocks) {
  auto p = std::make_unique<AiParams>();
  ASSERT_EQ(LoadAIParams(*p, "AIparams"), plat::kOk);
  for (int v : p->buildSequence) EXPECT_GT(v, 0);
  for (float v : p->unitWeighting) ASSERT_GT(v, 0.0f);
  for (float v : p->missileWeighting) ASSERT_GT(v, 0.0f);
  EXPECT_EQ(p->buildSequence[0], 1);
  EXPECT_EQ(p->buildSequence[143], 17);
  const AiRequestResponse& last = p->requestResponses[kRequestResponses - 1];
  EXPECT_EQ(last.category, (15 + 7) % 4);
  EXPECT_EQ(last.role, (15 * 3 + 7) % 26);
}

TEST_F(ShippedContent, WorldEconomySettings) {
  uint8_t block[kWorldEconomyBytes] = {};
  ASSERT_EQ(LoadCVars2Table(block, "CVars2"), plat::kOk);
  EXPECT_FLOAT_EQ(le::LoadF32(block + 9 * 64 + 16), 0.2f);   // industrial goods per consumer good
  EXPECT_FLOAT_EQ(le::LoadF32(block + 10 * 64 + 20), 0.4f);  // military goods per industrial good
  EXPECT_FLOAT_EQ(le::LoadF32(block + 6 * 64 + 28), 1.5f);
  EXPECT_FLOAT_EQ(le::LoadF32(block + 6 * 64 + 48), 60.0f);
  EXPECT_FLOAT_EQ(le::LoadF32(block + 3 * 64 + 48), 11.0f);
}

TEST_F(ShippedContent, DefaultPlayerSettingsHaveEveryKey) {
  g_postedCount = 0;
  auto region = std::make_unique<PlayerRecord>();
  std::memset(static_cast<void*>(region.get()), 0, sizeof(PlayerRecord));
  ASSERT_EQ(LoadPlayerSettings(region.get(), 1, "Default", nullptr, Count), plat::kOk);
  EXPECT_EQ(g_postedCount, 303);  // every key: one command per value

  auto players = std::make_unique<PlayerRecord[]>(32);
  std::memset(static_cast<void*>(players.get()), 0, sizeof(PlayerRecord) * 32);
  ASSERT_EQ(LoadDefaultPlayerSettings(players.get(), 32, "Default"), plat::kOk);
  EXPECT_FLOAT_EQ(players[7].displayPolicy.taxRates[11], 0.4f);
  EXPECT_FLOAT_EQ(players[7].displayPolicy.minwage, 5.0f);
  EXPECT_EQ(players[7].displayPolicy.soldierminage, 18);
}

TEST_F(ShippedContent, SampleScenarioTextAndTutorial) {
  ScenarioSettings settings;
  InitScenarioSettings(settings);
  auto groupings = std::make_unique<ScenarioGroupings>();
  ASSERT_EQ(LoadScenarioDef(settings, *groupings, nullptr, "Channel", false), plat::kOk);
  EXPECT_STREQ(settings.gamfile, "CHANNEL");
  EXPECT_STREQ(settings.gmtfile, "CHANNEL");
  EXPECT_STREQ(settings.playsetfile, "Default");
  EXPECT_EQ(settings.head.gameFlags, (1u << 0) | (1u << 12) | (1u << 15));
  // The grouping is defined but not chosen as the start: no region starts
  // surrendered to another.
  EXPECT_EQ(settings.head.groupnum, 0);
  EXPECT_EQ(settings.head.turnlength, 1440);
  EXPECT_EQ(settings.groupingCount, 1);
  EXPECT_EQ(groupings->groupings[1].entries[1].mask, 6u);
  EXPECT_NE(settings.startDay, 0u);

  auto players = std::make_unique<PlayerRecord[]>(32);
  std::memset(static_cast<void*>(players.get()), 0, sizeof(PlayerRecord) * 32);
  ASSERT_EQ(LoadScenarioPlayers(players.get(), 3, settings, nullptr, "Channel", false, nullptr), plat::kOk);
  EXPECT_EQ(players[1].govtype, 1);
  EXPECT_EQ(players[2].armsAvail, 0x1Eu);
  EXPECT_EQ(players[3].armsAvail, 0xFFFFFFFFu);
  EXPECT_EQ(players[3].simPolicy.hostileMask, 0u);
  EXPECT_EQ(players[3].simPolicy.ceasefireMask, 2u);
  EXPECT_FLOAT_EQ(players[3].belligerence[1], 0.7f);
  EXPECT_NE(players[1].electionDay, 0u);

  auto text = std::make_unique<ScenarioText>();
  ASSERT_EQ(LoadScenarioText(*text, settings, *groupings, "LOCALEN", settings.gmtfile), plat::kOk);
  EXPECT_EQ(text->textLoaded, 1);
  EXPECT_STREQ(text->scenarioName.get(), "The Narrow Channel");
  EXPECT_STREQ(text->regionNames[2].get(), "Kessaria");
  EXPECT_STREQ(text->groupingNames[0].get(), "Islands and Mainland");
  EXPECT_STREQ(text->groupingEntryNames[0][1].get(), "Kessaria");
  EXPECT_TRUE(text->briefText.c_str()[0]);
  EXPECT_TRUE(text->notesText.c_str()[0]);
  EXPECT_TRUE(text->customNotes[1]);
  EXPECT_TRUE(text->emailTexts[1]);
  for (const auto& kind : text->endTexts)
    for (const OwnedText& end : kind) EXPECT_TRUE(end.c_str()[0]);
  EXPECT_TRUE(text->designerNotes.c_str()[0]);
  ClearScenarioSettings(settings);

  TutorialStep* steps = nullptr;
  ASSERT_EQ(LoadTutorialTable(steps, "Basics"), plat::kOk);
  int count = 0;
  const TutorialStep* step = steps;
  do {
    ++count;
    // A page run on by the one before it is never shown: it needs no title.
    EXPECT_TRUE(step->title || step->flag) << count;
    step = static_cast<const TutorialStep*>(step->next());
  } while (step && step != steps);
  EXPECT_EQ(count, 12);
  FreeTutorialSteps(steps);
}

}  // namespace
