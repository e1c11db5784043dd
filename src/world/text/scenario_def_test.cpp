#include "world/text/scenario_def.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/calendar.h"
#include "app/log.h"
#include "platform/paths.h"
#include "platform/status.h"
#include "support/temp_dir.h"
#include "world/map_folders_test_support.h"
#include "world/text/ui_options.h"
#include "world/world.h"
#include "records/player_record.h"

namespace {

uint32_t DayNumber(int year, int month, int day) {
  GameDate date;
  date.year = static_cast<int16_t>(year);
  date.month = static_cast<uint8_t>(month);
  date.day = static_cast<uint8_t>(day);
  DateToDayNumber(date);
  return static_cast<uint32_t>(date.dayNumber);
}

class ScenarioFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
    InitScenarioSettings(settings_);
    groupings_ = std::make_unique<ScenarioGroupings>();
  }
  void TearDown() override {
    ClearScenarioSettings(settings_);
    plat::SetDataRoot(oldRoot_);
  }
  void Write(const std::string& name, const std::string& text) const { dir_.Write("Scenario/" + name + ".GMC", text); }
  int32_t Load(const std::string& name) { return LoadScenarioDef(settings_, *groupings_, nullptr, name.c_str(), false); }

  TempDir dir_;
  std::string oldRoot_;
  ScenarioSettings settings_;
  std::unique_ptr<ScenarioGroupings> groupings_;
};

TEST_F(ScenarioFiles, KeysFillTheSettings) {
  Write("Sample",
        "; a sample scenario\r\n"
        "gamfile: \"EUROPE 1\"\r\n"
        "gmtfile:\tEurope\r\n"
        "unifile: EUROUNI\r\n"
        "nextupmap: NEXTMAP\r\n"
        "maplevel: 3\r\nmapmission: 5\r\nmapmusic: 260\r\n"
        "startymd: 2010, 3, 15\r\nvictoryymd: 2012, 1, 1\r\nvictoryhex: 40, -2\r\n"
        "svictorycond: 2\r\ndifficulty: 3\r\nresources: 4\r\ngamelength: 5\r\ntechtreedefault: 6\r\n"
        "startyear: 2010\r\nturnlength: 1440\r\ninitialfunds: 7\r\nreservelimit: 8\r\naistance: 9\r\ngroupnum: 1\r\n"
        "cvictorycond: 11\r\n");
  ASSERT_EQ(Load("Sample"), plat::kOk);
  EXPECT_STREQ(settings_.gamfile, "EUROPE 1");
  EXPECT_STREQ(settings_.gmtfile, "Europe");
  EXPECT_STREQ(settings_.unifile, "EUROUNI");
  EXPECT_STREQ(settings_.ttrfile, "DEFAULT");
  EXPECT_STREQ(settings_.pplfile, "DEFAULT");
  EXPECT_STREQ(settings_.terfile, "DEFAULT");
  EXPECT_STREQ(settings_.playsetfile, "DEFAULT");
  EXPECT_STREQ(settings_.nextupmap, "NEXTMAP");
  EXPECT_EQ(settings_.maplevel, 3);
  EXPECT_EQ(settings_.campaignFlags, 2u);
  EXPECT_EQ(settings_.mapmusic, 0);  // 260 is no byte: the default, named in the log
  EXPECT_EQ(settings_.startDay, DayNumber(2010, 3, 15));
  EXPECT_EQ(settings_.victoryDay, DayNumber(2012, 1, 1));
  EXPECT_EQ(settings_.startDay, 2455270u);
  EXPECT_EQ(settings_.victoryHexX, 40);
  EXPECT_EQ(settings_.victoryHexY, -2);
  EXPECT_EQ(settings_.head.svictorycond, 2);
  EXPECT_EQ(settings_.head.difficulty, 3);
  EXPECT_EQ(settings_.head.resources, 4);
  EXPECT_EQ(settings_.head.gamelength, 5);
  EXPECT_EQ(settings_.head.techtreedefault, 6);
  EXPECT_EQ(settings_.head.startyear, 2010);
  EXPECT_EQ(settings_.head.turnlength, 1440);
  EXPECT_EQ(settings_.head.initialfunds, 7);
  EXPECT_EQ(settings_.head.reservelimit, 8);
  EXPECT_EQ(settings_.head.aistance, 9);
  EXPECT_EQ(settings_.head.groupnum, 1);
  EXPECT_EQ(settings_.cvictorycond, 11);
  EXPECT_EQ(settings_.head.id, kScenarioHeadId);
  EXPECT_EQ(settings_.head.size, kScenarioHeadSize);
}

TEST_F(ScenarioFiles, SwitchesAreOnlyOnForAValueThatIsNotNoOrZero) {
  Write("Switches",
        "fogofwar: No\r\nteamplay: 0\r\nnorangemult: yes\r\nadvfogofwar: 1\r\nnomisrangemult: T\r\n"
        "nospotrangemult: false\r\nnocapitalmove:\r\nlimitdareffect: n\r\nwminvolve: 2\r\n"
        "groupresearchmerge: Y\r\ncampaignstart: yes\r\n");
  ASSERT_EQ(Load("Switches"), plat::kOk);
  const uint32_t want = (1u << 3) | (1u << 4) | (1u << 5) | (1u << 12) | (1u << 20);
  EXPECT_EQ(settings_.head.gameFlags, want);
  EXPECT_EQ(settings_.campaignFlags, 1u);
}

TEST_F(ScenarioFiles, CampaignLinksTakeTheirCountOfEntries) {
  Write("Links", "numwinchoice: 2\r\nwinmaps: MAPA, 1, 2, MAPB, 3, 4, MAPC, 5, 6\r\nnumlosechoice: 20\r\nlosemaps: L1, 7\r\n");
  ASSERT_EQ(Load("Links"), plat::kOk);
  EXPECT_EQ(settings_.numwinchoice, 2);
  EXPECT_STREQ(settings_.winmaps[0].mapName, "MAPA");
  EXPECT_EQ(settings_.winmaps[0].value1, 1);
  EXPECT_EQ(settings_.winmaps[0].value2, 2);
  EXPECT_STREQ(settings_.winmaps[1].mapName, "MAPB");
  EXPECT_EQ(settings_.winmaps[1].value2, 4);
  EXPECT_EQ(settings_.winmaps[2].mapName, nullptr);
  EXPECT_EQ(settings_.numlosechoice, 16);  // the list holds no more
  EXPECT_STREQ(settings_.losemaps[0].mapName, "L1");
  EXPECT_EQ(settings_.losemaps[0].value1, 7);
  EXPECT_EQ(settings_.losemaps[0].value2, 0);
  EXPECT_STREQ(settings_.losemaps[15].mapName, "");  // a missing entry is an empty name
}

TEST_F(ScenarioFiles, GroupingsLeadersMembersAndValues) {
  Write("Groups",
        "&&GROUPINGS, rest\r\n"
        "2\r\n"
        "7, 4, 5, 6, 1, 2, 3, 0, 100, 200, 4, 5, 40, 11, 12\r\n"
        "0, 9, 9, 9, 1, 2, 0, 1, 1\r\n"
        "8, 1, 1, 1, 6, 7\r\n");
  ASSERT_EQ(Load("Groups"), plat::kOk);
  EXPECT_EQ(settings_.groupingCount, 2);
  const ScenarioGrouping& g = groupings_->groupings[1];
  EXPECT_EQ(g.id, 7);
  EXPECT_EQ(g.settings[0], 4);
  EXPECT_EQ(g.settings[1], 5);
  EXPECT_EQ(g.settings[2], 6);
  EXPECT_EQ(g.entries[1].mask, 0xEu);
  EXPECT_EQ(g.entries[1].valueA, 100);
  EXPECT_EQ(g.entries[1].valueB, 200);
  EXPECT_EQ(g.entries[2].mask, 0u);
  EXPECT_EQ(g.entries[3].mask, 0u);
  EXPECT_EQ(g.entries[4].mask, 0x30u);
  EXPECT_EQ(g.entries[4].valueA, 11);
  EXPECT_EQ(g.entries[4].valueB, 12);
  EXPECT_EQ(g.entries[5].mask, 0u);
  EXPECT_EQ(g.entries[0].mask, 1u);
  EXPECT_EQ(g.entries[31].mask, 0x80000000u);
  EXPECT_EQ(g.leader[2], 1);
  EXPECT_EQ(g.leader[5], 4);
  EXPECT_EQ(g.leader[6], 6);
  // The id 0 ended the groupings: the second stands alone and the third line is not read.
  const ScenarioGrouping& second = groupings_->groupings[2];
  EXPECT_EQ(second.id, 0);
  EXPECT_EQ(second.entries[1].mask, 2u);
  EXPECT_EQ(second.entries[1].valueA, 0);
  EXPECT_EQ(groupings_->groupings[3].entries[6].mask, 0u);
}

TEST_F(ScenarioFiles, TooManyGroupingsAreClampedToTheTable) {
  std::string text = "&&GROUPINGS\r\n500\r\n";
  for (int g = 1; g <= 40; ++g) text += std::to_string(g) + ", 2, 0, 0, 1, 2, 0, 5, 6\r\n";
  Write("Many", text);
  ASSERT_EQ(Load("Many"), plat::kOk);
  EXPECT_EQ(settings_.groupingCount, kMaxGroupings);
  EXPECT_EQ(groupings_->groupings[31].id, 31);
  EXPECT_EQ(groupings_->groupings[31].entries[1].mask, 6u);
  // A leader number above 31 ends its line; a negative count reads as none.
  Write("Odd", "&&GROUPINGS\r\n-3\r\n1, 2, 0, 0, 1, 2, 0, 5, 6\r\n");
  ASSERT_EQ(Load("Odd"), plat::kOk);
  EXPECT_EQ(settings_.groupingCount, 0);
  EXPECT_EQ(groupings_->groupings[1].id, 0);
  Write("BigLeader", "&&GROUPINGS\r\n1\r\n3, 2, 0, 0, 99, 2, 0, 5, 6\r\n");
  ASSERT_EQ(Load("BigLeader"), plat::kOk);
  EXPECT_EQ(groupings_->groupings[1].id, 3);
  EXPECT_EQ(groupings_->groupings[1].entries[2].mask, 4u);
}

TEST_F(ScenarioFiles, AMissingFileLeavesTheRecordCleared) {
  Write("Sample", "gamfile: X\r\ndifficulty: 3\r\n");
  ASSERT_EQ(Load("Sample"), plat::kOk);
  EXPECT_EQ(Load("Missing"), plat::kFail);
  EXPECT_EQ(settings_.gamfile, nullptr);
  EXPECT_EQ(settings_.gmtfile, nullptr);
  EXPECT_EQ(settings_.head.difficulty, g_uiOptions.opdifficulty);  // the set-up default
  EXPECT_EQ(settings_.head.id, kScenarioHeadId);
  // The custom folder in the editor or for a custom scenario.
  dir_.Write("CUSTOM/Mine.GMC", "difficulty: 4\r\n");
  ASSERT_EQ(LoadScenarioDef(settings_, *groupings_, nullptr, "Mine", true), plat::kOk);
  EXPECT_EQ(settings_.head.difficulty, 4);
  EXPECT_EQ(LoadScenarioDef(settings_, *groupings_, nullptr, "Mine", false), plat::kFail);
}

// The treaties the player sections ask for, in order.
// Values a hand edit or a cut copy leaves: each keeps its field's default
// and is named in the log with its file and line.
TEST_F(ScenarioFiles, ValuesOutOfTheirFieldsRangeAreNamedAndKeepTheDefault) {
  Write("Odd", "gamfile: X\r\ndifficulty: 300\r\nresources: " + std::string(70000, '7') +
                   "\r\nstartyear: 2147483648\r\naistance: -1\r\nvictoryymd: 2012, 13, 1\r\ngroupnum: 2");
  std::FILE* log = std::tmpfile();
  SetLogMirror(log);
  ASSERT_EQ(Load("Odd"), plat::kOk);
  SetLogMirror(nullptr);
  std::rewind(log);
  std::string logged;
  for (int c = std::fgetc(log); c != EOF; c = std::fgetc(log)) logged += static_cast<char>(c);
  std::fclose(log);
  EXPECT_EQ(settings_.head.difficulty, 0);
  EXPECT_EQ(settings_.head.resources, 0);
  EXPECT_EQ(settings_.head.startyear, 0);
  EXPECT_EQ(settings_.head.aistance, 0);
  EXPECT_EQ(settings_.head.groupnum, 2);
  for (const char* said : {"Scenario\\Odd.GMC line 2 ", "Scenario\\Odd.GMC line 3 ", "Scenario\\Odd.GMC line 4 ",
                           "Scenario\\Odd.GMC line 5 ", "Scenario\\Odd.GMC line 6 ",
                           "Odd.GMC line 7 column 1: the file ends inside a line"})
    EXPECT_NE(logged.find(said), std::string::npos) << said << "\n" << logged;
}

struct TreatyCall {
  int player;
  int copy;
  int type;
  bool on;
  int partner;
};
std::vector<TreatyCall> g_treatyCalls;
void RecordTreaty(PlayerRecord& record, int copy, int type, bool on, int partner, bool, bool) {
  g_treatyCalls.push_back({record.number, copy, type, on, partner});
}

class ScenarioPlayers : public ScenarioFiles {
 protected:
  void SetUp() override {
    ScenarioFiles::SetUp();
    players_ = std::make_unique<PlayerRecord[]>(32);
    std::memset(static_cast<void*>(players_.get()), 0, sizeof(PlayerRecord) * 32);
    for (int p = 0; p < 32; ++p) players_[p].number = static_cast<uint8_t>(p);
    g_treatyCalls.clear();
  }
  int32_t LoadPlayers(const std::string& name, int highest) {
    return LoadScenarioPlayers(players_.get(), highest, settings_, nullptr, name.c_str(), false, RecordTreaty);
  }
  std::unique_ptr<PlayerRecord[]> players_;
};

TEST_F(ScenarioPlayers, SectionsSetTheirPlayersFields) {
  Write("Players",
        "&&PLAYER01\r\n"
        "01music: 5\r\n01timeoutvictory: yes\r\n01lossforceend: 1\r\n01startemail: 12\r\n"
        "01electionymd: 2001, 0, 5\r\n01playeraistance: 2\r\n01playeragenda: 3\r\n01govtype: 4\r\n"
        "01politic: -1\r\n01avatar: 6\r\n01armsavail: AC\r\n"
        "01belli: 0.5, , 1.5\r\n01civattitude: 2\r\n01diprelate: -1, -2, -3, -4, -5\r\n"
        "01war: 3, 4\r\n01ceasefire: 3\r\n"
        "01treaties[2]: 5, 200, 7\r\n01treaties[4]: 9\r\n"
        "&&PLAYER03\r\n"
        "03electionymd: 2001, 3, 5\r\n03armsavail: Aa@B\r\n03war: 40, 2, 0, 4\r\n"
        "03music:\r\n"
        "&&PLAYER04\r\n04armsavail: \"*\"\r\n");
  settings_.mapmusic = 7;
  players_[2].belligerence[1] = 9.0f;
  players_[1].belligerence[2] = 8.0f;
  ASSERT_EQ(LoadPlayers("Players", 4), plat::kOk);

  const PlayerRecord& one = players_[1];
  EXPECT_EQ(one.music, 5);
  EXPECT_EQ(one.timeoutVictory, 1);
  EXPECT_EQ(one.lossForceEnd, 1);
  EXPECT_EQ(one.startEmail, 12);
  EXPECT_EQ(one.electionDay, 0u);  // a zero month: no date
  EXPECT_EQ(one.aiStance, 2);
  EXPECT_EQ(one.agenda, 3);
  EXPECT_EQ(one.govtype, 4);
  EXPECT_EQ(one.politic, -1);
  EXPECT_EQ(one.avatar, 6);
  EXPECT_EQ(one.armsAvail, (1u << 1) | (1u << 3));
  EXPECT_FLOAT_EQ(one.belligerence[1], 0.5f);
  EXPECT_FLOAT_EQ(one.belligerence[2], 8.0f);  // an empty cell keeps the value
  EXPECT_FLOAT_EQ(one.belligerence[3], 1.5f);
  EXPECT_FLOAT_EQ(one.civilAttitude[1], 2.0f);
  EXPECT_FLOAT_EQ(one.diplomaticRelation[4], -4.0f);
  EXPECT_FLOAT_EQ(one.diplomaticRelation[5], 0.0f);  // beyond the highest player
  for (const PlayerPolicyBlock* b : {&one.displayPolicy, &one.simPolicy}) {
    EXPECT_EQ(b->hostileMask, 1u << 4);
    EXPECT_EQ(b->ceasefireMask, 1u << 3);
  }

  const PlayerRecord& two = players_[2];  // no section: only the defaults before reading
  EXPECT_EQ(two.music, 7);
  EXPECT_EQ(two.startEmail, 2);
  EXPECT_FLOAT_EQ(two.belligerence[1], 9.0f);

  const PlayerRecord& three = players_[3];
  EXPECT_EQ(three.electionDay, DayNumber(2001, 3, 5));
  EXPECT_EQ(three.armsAvail, 7u);  // letters past bit 31 are passed over
  EXPECT_EQ(three.simPolicy.hostileMask, 1u << 2);  // 40 is no player; 0 ends the list
  EXPECT_EQ(three.music, 7);  // an empty value keeps the field
  EXPECT_EQ(players_[4].armsAvail, 0xFFFFFFFFu);
  EXPECT_EQ(players_[5].music, 0);  // above the highest player

  ASSERT_EQ(g_treatyCalls.size(), 6u);
  const int want[6][4] = {{0, 5, 2, 1}, {1, 5, 2, 1}, {0, 7, 2, 1}, {1, 7, 2, 1}, {0, 9, 4, 1}, {1, 9, 4, 1}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(g_treatyCalls[i].player, 1);
    EXPECT_EQ(g_treatyCalls[i].copy, want[i][0]);
    EXPECT_EQ(g_treatyCalls[i].type, want[i][1]);
    EXPECT_EQ(g_treatyCalls[i].partner, want[i][2]);
    EXPECT_TRUE(g_treatyCalls[i].on);
  }
}

TEST_F(ScenarioPlayers, FirstEmailsFollowTheGroupingsAndMissionSwitch) {
  Write("Mail", "&&PLAYER01\r\n01startemail: 40\r\n&&PLAYER02\r\n02startemail: 41\r\n");
  settings_.head.groupnum = 2;
  ASSERT_EQ(LoadPlayers("Mail", 2), plat::kOk);
  EXPECT_EQ(players_[1].startEmail, 0);  // with groupings the key is not read
  settings_.campaignFlags = 2;
  ASSERT_EQ(LoadPlayers("Mail", 2), plat::kOk);
  EXPECT_EQ(players_[1].startEmail, 40);
  EXPECT_EQ(players_[2].startEmail, 41);
}

TEST_F(ScenarioPlayers, SectionsOutOfOrderAreNotFound) {
  Write("Order", "&&PLAYER02\r\n02avatar: 2\r\n&&PLAYER01\r\n01avatar: 1\r\n");
  ASSERT_EQ(LoadPlayers("Order", 2), plat::kOk);
  EXPECT_EQ(players_[1].avatar, 1);
  EXPECT_EQ(players_[2].avatar, 0);
}

TEST_F(ScenarioPlayers, AMissingFileStillGivesTheDefaults) {
  settings_.mapmusic = 3;
  EXPECT_EQ(LoadPlayers("Missing", 40), plat::kFail);
  for (int p = 1; p < 32; ++p) {
    EXPECT_EQ(players_[p].music, 3);
    EXPECT_EQ(players_[p].startEmail, p);
  }
  EXPECT_EQ(players_[0].music, 0);
  EXPECT_EQ(LoadScenarioPlayers(nullptr, 2, settings_, nullptr, "Missing", false, RecordTreaty), plat::kFail);
}

TEST_F(ScenarioFiles, TheWorldsFolderRule) {
  auto world = std::make_unique<World>();
  dir_.Write("CUSTOM/Same.GMC", "difficulty: 1\r\n&&PLAYER01\r\n01avatar: 5\r\n&&PLAYER02\r\n02avatar: 6\r\n");
  Write("Same", "difficulty: 2\r\n&&PLAYER01\r\n01avatar: 7\r\n");
  ASSERT_EQ(LoadScenarioDef(*world, nullptr, "Same"), plat::kOk);
  EXPECT_EQ(world->scenario.head.difficulty, 2);
  TestMapFolders folders(true, false);
  ASSERT_EQ(LoadScenarioDef(*world, nullptr, "Same"), plat::kOk);
  EXPECT_EQ(world->scenario.head.difficulty, 1);
  ASSERT_EQ(LoadScenarioDef(*world, "Scenario\\", "Same"), plat::kOk);
  EXPECT_EQ(world->scenario.head.difficulty, 2);
  ClearScenarioSettings(world->scenario);
}

}  // namespace

namespace {

// The settings' file names as the writer takes them.
ScenarioDefFiles FilesOf(const ScenarioSettings& s) {
  return {s.gamfile, s.gmtfile, s.ttrfile, s.pplfile, s.unifile, s.terfile, s.playsetfile};
}

bool SameGroupings(const ScenarioGroupings& a, const ScenarioGroupings& b) {
  for (int n = 0; n <= kMaxGroupings; ++n) {
    const ScenarioGrouping &x = a.groupings[n], &y = b.groupings[n];
    if (x.id != y.id || std::memcmp(x.settings, y.settings, sizeof x.settings) != 0 ||
        std::memcmp(x.leader, y.leader, sizeof x.leader) != 0)
      return false;
    for (int p = 0; p < kGroupingPlayers; ++p)
      if (x.entries[p].mask != y.entries[p].mask || x.entries[p].valueA != y.entries[p].valueA ||
          x.entries[p].valueB != y.entries[p].valueB)
        return false;
  }
  return true;
}

}  // namespace

// A definition written from what was read reads back the same: every key,
// switch, campaign link and grouping, and the text written again is the
// same text.
TEST_F(ScenarioFiles, AWrittenDefinitionReadsBackTheSame) {
  Write("Full",
        "gamfile: \"EUROPE 1\"\r\ngmtfile: Europe\r\nttrfile: T\r\npplfile: P\r\nunifile: U\r\nterfile: R\r\n"
        "playsetfile: Default\r\nnextupmap: NEXT\r\nmaplevel: 3\r\nmapmission: 1\r\nmapmusic: 2\r\n"
        "startymd: 2010, 3, 15\r\nvictoryymd: 2012, 1, 1\r\nvictoryhex: 40, -2\r\ncampaignstart: yes\r\n"
        "fogofwar: yes\r\nnocapitalmove: 1\r\ngroupresearchmerge: T\r\nteamplay: no\r\n"
        "svictorycond: 2\r\ndifficulty: 3\r\nresources: 4\r\ngamelength: 5\r\ntechtreedefault: 6\r\n"
        "startyear: 2010\r\nturnlength: 1440\r\ninitialfunds: 7\r\nreservelimit: 8\r\naistance: 9\r\ngroupnum: 1\r\n"
        "cvictorycond: 11\r\nnumwinchoice: 2\r\nwinmaps: A, 1, 2, B, 3, 4\r\nnumlosechoice: 1\r\nlosemaps: C, 5, 6\r\n"
        "&&GROUPINGS\r\n2\r\n7, 4, 5, 6, 1, 2, 3, 0, 100, 200, 4, 5, 0, 11, 12\r\n8, 1, 1, 1, 6, 0, 0, 9\r\n");
  ASSERT_EQ(Load("Full"), plat::kOk);
  const std::string text = ScenarioDefText(settings_, *groupings_, FilesOf(settings_));
  ScenarioSettings again{};
  InitScenarioSettings(again);
  auto againGroupings = std::make_unique<ScenarioGroupings>();
  ASSERT_EQ(WriteScenarioDef(text, "Scenario\\", "Again"), plat::kOk);
  ASSERT_EQ(LoadScenarioDef(again, *againGroupings, nullptr, "Again", false), plat::kOk);
  EXPECT_EQ(ScenarioDefText(again, *againGroupings, FilesOf(again)), text);
  EXPECT_STREQ(again.gamfile, "EUROPE 1");
  EXPECT_STREQ(again.winmaps[1].mapName, "B");
  EXPECT_EQ(again.losemaps[0].value2, 6);
  EXPECT_EQ(again.startDay, settings_.startDay);
  EXPECT_EQ(again.victoryDay, settings_.victoryDay);
  EXPECT_EQ(again.campaignFlags, 3u);
  EXPECT_EQ(again.head.gameFlags, settings_.head.gameFlags);
  EXPECT_EQ(again.head.gameFlags, (1u << 0) | (1u << 9) | (1u << 20));
  EXPECT_EQ(again.groupingCount, 2);
  EXPECT_TRUE(SameGroupings(*groupings_, *againGroupings));
  ClearScenarioSettings(again);
}
