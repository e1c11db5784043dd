#include "world/text/player_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/status.h"
#include "records/command_ids.h"
#include "support/temp_dir.h"
#include "world/world.h"
#include "records/player_record.h"
#include "world/text/policy_fields.h"

namespace {

// One posted command: its id, player and the words at 28, 32 and 36.
struct PostedCommand {
  uint32_t id = 0;
  int32_t player = 0;
  int32_t value = 0;
  int32_t arg32 = 0;
  int32_t arg36 = 0;
};

// A posted command's effect on a block, as its handler stores it.
void Apply(PlayerPolicyBlock& b, const PostedCommand& c) {
  EXPECT_TRUE(ApplySettingCommand(b, c.id, static_cast<uint32_t>(c.value), static_cast<uint32_t>(c.arg32),
                                  static_cast<uint32_t>(c.arg36)))
      << "command " << c.id << " is no key's";
}

// The commands the loader posts, recorded instead of executed.
std::vector<PostedCommand> g_posted;
void Record(uint32_t id, int32_t player, uint32_t a, uint32_t b, uint32_t c) {
  g_posted.push_back({id, player, static_cast<int32_t>(a), static_cast<int32_t>(b), static_cast<int32_t>(c)});
}
std::vector<PostedCommand> TakePosted() {
  std::vector<PostedCommand> taken;
  taken.swap(g_posted);
  return taken;
}

// A float that "%f" writes and the reader reads back exactly.
float Representable(std::mt19937& random) {
  return static_cast<float>(static_cast<int32_t>(random() % 200001) - 100000) / 64.0f;
}
uint32_t Bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

// Every value of every key random, in a form its text gives back exactly.
void RandomSettings(std::mt19937& random, PlayerPolicyBlock& b) {
  for (const SettingKey& k : SettingKeys()) {
    for (int i = 0; i < k.count; ++i) {
      uint32_t v = k.form == SettingKey::Form::kReal ? Bits(Representable(random)) : static_cast<uint32_t>(random());
      if (k.command == kCmdDefcon) v %= 4;  // 0..3 stand as they are while no region is hostile
      SetSettingValue(b, k, i, v);
    }
  }
}

class PlayerSettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
    TakePosted();
  }
  void TearDown() override {
    TakePosted();
    plat::SetDataRoot(oldRoot_);
  }
  void Write(const std::string& name, const std::string& text) const { dir_.Write("PlayerSet/" + name + ".INI", text); }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_.path() + "/PlayerSet/" + name + ".INI", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static std::unique_ptr<PlayerRecord> NewRecord() {
    auto record = std::make_unique<PlayerRecord>();
    std::memset(static_cast<void*>(record.get()), 0, sizeof(PlayerRecord));
    return record;
  }

  TempDir dir_;
  std::string oldRoot_;
};

// A typing slip in the key table would give two settings one place: every
// value of every key must own bits of the block that no other value touches,
// and read back what was stored.
TEST(SettingKeys, EveryValueHasBitsOfItsOwn) {
  std::vector<uint8_t> owned(sizeof(PlayerPolicyBlock), 0);
  size_t values = 0;
  for (const SettingKey& k : SettingKeys()) {
    for (int i = 0; i < k.count; ++i, ++values) {
      PlayerPolicyBlock b;
      std::memset(static_cast<void*>(&b), 0, sizeof b);
      SetSettingValue(b, k, i, 0xFFFFFFFFu);
      EXPECT_NE(SettingValue(b, k, i), 0u) << k.key << " " << i;
      const auto* bytes = reinterpret_cast<const uint8_t*>(&b);
      bool wrote = false;
      for (size_t at = 0; at < sizeof b; ++at) {
        EXPECT_EQ(owned[at] & bytes[at], 0) << k.key << " " << i << " shares block byte " << at;
        owned[at] |= bytes[at];
        wrote = wrote || bytes[at] != 0;
      }
      EXPECT_TRUE(wrote) << k.key << " " << i;
    }
  }
  EXPECT_EQ(SettingKeys().size(), 103u);
  // 81 single values, 7 social programmes, 13 keys per product, 32 regions,
  // 12 cabinet ids and 6 for each of the other three cabinet keys, 3 pairs.
  EXPECT_EQ(values, 81u + 7u + 13u * 12u + 32u + 12u + 3u * 6u + 3u * 2u);
}

TEST_F(PlayerSettingsFile, SavedRegionLoadsIntoAFreshRegionThroughItsCommands) {
  std::mt19937 random(2024);
  for (int round = 0; round < 5; ++round) {
    auto a = NewRecord();
    RandomSettings(random, a->displayPolicy);
    ASSERT_EQ(SavePlayerSettings(a.get(), "Saved"), plat::kOk);

    auto b = NewRecord();
    ASSERT_EQ(LoadPlayerSettings(b.get(), 4, "Saved", nullptr, Record), plat::kOk);
    const std::vector<PostedCommand> posted = TakePosted();
    // 81 keys of one command each; socialspend 7; twelve per product for 13
    // keys; 32 region flags; 6 for each of the four cabinet keys; 3 pairs.
    EXPECT_EQ(posted.size(), 81u + 7u + 13u * 12u + 32u + 4u * 6u + 3u);
    for (const PostedCommand& c : posted) {
      EXPECT_EQ(c.player, 4);
      Apply(b->displayPolicy, c);
    }
    ASSERT_EQ(std::memcmp(&a->displayPolicy, &b->displayPolicy, sizeof(PlayerPolicyBlock)), 0) << "round " << round;
    // The loader changes nothing itself: only the commands do.
    auto c = NewRecord();
    ASSERT_EQ(LoadPlayerSettings(c.get(), 4, "Saved", nullptr, Record), plat::kOk);
    EXPECT_EQ(std::memcmp(&c->displayPolicy, &NewRecord()->displayPolicy, sizeof(PlayerPolicyBlock)), 0);
    TakePosted();
  }
}

TEST_F(PlayerSettingsFile, ADefconLinePostsExactlyOneCommand) {
  Write("One", "defcon\t3");
  auto region = NewRecord();
  ASSERT_EQ(LoadPlayerSettings(region.get(), 2, "One", nullptr, Record), plat::kOk);
  const std::vector<PostedCommand> posted = TakePosted();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].id, 128u);
  EXPECT_EQ(posted[0].player, 2);
  EXPECT_EQ(posted[0].value, 3);
  EXPECT_EQ(posted[0].arg32, 0);
  EXPECT_EQ(posted[0].arg36, 0);
}

TEST_F(PlayerSettingsFile, TheRefugeeIntakeSwitchIsNotTakenForTheRefugeeSetting) {
  Write("One", "imrefugeeint\t1, \r\n");
  auto region = NewRecord();
  ASSERT_EQ(LoadPlayerSettings(region.get(), 1, "One", nullptr, Record), plat::kOk);
  const std::vector<PostedCommand> posted = TakePosted();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].id, 103u);
  EXPECT_EQ(posted[0].value, 1);
}

TEST_F(PlayerSettingsFile, EmptyAndMissingValuesPostTheCurrentValue) {
  Write("One", "socialspend\t1.5, , 2.5\r\n");
  auto region = NewRecord();
  for (int i = 0; i < 7; ++i) region->displayPolicy.socialspend[i] = 10.0f + static_cast<float>(i);
  region->simPolicy.socialspend[1] = 99.0f;  // the display copy gives the defaults
  ASSERT_EQ(LoadPlayerSettings(region.get(), 1, "One", nullptr, Record), plat::kOk);
  const std::vector<PostedCommand> posted = TakePosted();
  ASSERT_EQ(posted.size(), 7u);
  const float want[7] = {1.5f, 11.0f, 2.5f, 13.0f, 14.0f, 15.0f, 16.0f};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(posted[i].id, 25u);
    EXPECT_EQ(posted[i].value, i);
    EXPECT_EQ(static_cast<uint32_t>(posted[i].arg32), Bits(want[i])) << i;
  }
}

TEST_F(PlayerSettingsFile, RegionFlagsOfZeroPost32CommandsThatSetNothing) {
  std::string line = "roeregionflag\t";
  for (int r = 0; r < 32; ++r) line += "0x0, ";
  Write("One", line + "\r\n");
  auto region = NewRecord();
  SetRoeRegionFlag(region->displayPolicy.regionPolicy[6], 0x40);
  ASSERT_EQ(LoadPlayerSettings(region.get(), 1, "One", nullptr, Record), plat::kOk);
  const std::vector<PostedCommand> posted = TakePosted();
  ASSERT_EQ(posted.size(), 32u);
  for (int r = 0; r < 32; ++r) {
    EXPECT_EQ(posted[r].id, 157u);
    EXPECT_EQ(posted[r].value, 0);
    EXPECT_EQ(posted[r].arg32, r);
    EXPECT_EQ(posted[r].arg36, 1);
    Apply(region->displayPolicy, posted[r]);
  }
  EXPECT_EQ(RoeRegionFlag(region->displayPolicy.regionPolicy[6]), 0x40u);  // set in the game, kept
}

TEST_F(PlayerSettingsFile, MasksReadWithBasePrefixesAndTheFirstOccurrenceWins) {
  Write("One", "roescorchedtype\t0x80000000, \r\ndefsetadvorders\t010, 0X1f\r\nroescorchedtype\t5\r\n");
  auto region = NewRecord();
  ASSERT_EQ(LoadPlayerSettings(region.get(), 1, "One", nullptr, Record), plat::kOk);
  const std::vector<PostedCommand> posted = TakePosted();
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].id, 155u);
  EXPECT_EQ(static_cast<uint32_t>(posted[0].value), 0x80000000u);
  EXPECT_EQ(posted[1].id, 260u);
  EXPECT_EQ(posted[1].value, 8);
  EXPECT_EQ(posted[1].arg32, 31);
}

TEST_F(PlayerSettingsFile, ValuesNeverRunOntoTheNextLine) {
  Write("One", "cabsetcontrol\t-5, 7\r\n9, 9, 9\r\nautobuildvalues\t300\r\n");
  auto region = NewRecord();
  SetCabinetControl(region->displayPolicy.cabinetPolicy[2], -100);
  region->displayPolicy.autobuildvalues[1] = 17;
  ASSERT_EQ(LoadPlayerSettings(region.get(), 1, "One", nullptr, Record), plat::kOk);
  const std::vector<PostedCommand> posted = TakePosted();
  ASSERT_EQ(posted.size(), 7u);
  // Keys post in the table's order: autobuildvalues comes before the cabinet.
  EXPECT_EQ(posted[0].id, 159u);
  EXPECT_EQ(posted[0].value, 44);  // a byte keeps its low 8 bits
  EXPECT_EQ(posted[0].arg32, 17);
  EXPECT_EQ(posted[1].id, 257u);
  EXPECT_EQ(posted[1].arg32, -5);
  EXPECT_EQ(posted[2].arg32, 7);
  EXPECT_EQ(posted[3].value, 2);
  EXPECT_EQ(posted[3].arg32, -100);  // the current value, not the 9 of the next line
  EXPECT_EQ(posted[4].arg32, 0);
}

TEST_F(PlayerSettingsFile, NothingIsPostedWithoutAFileOrARegion) {
  auto region = NewRecord();
  EXPECT_EQ(LoadPlayerSettings(region.get(), 1, "Missing", nullptr, Record), plat::kFail);
  Write("Empty", "");
  EXPECT_EQ(LoadPlayerSettings(region.get(), 1, "Empty", nullptr, Record), plat::kFail);
  Write("One", "defcon\t3\r\n");
  EXPECT_EQ(LoadPlayerSettings(nullptr, 1, "One", nullptr, Record), plat::kFail);
  EXPECT_EQ(LoadPlayerSettings(region.get(), 32, "One", nullptr, Record), plat::kFail);
  EXPECT_EQ(LoadPlayerSettings(region.get(), 1, nullptr, nullptr, Record), plat::kFail);
  EXPECT_TRUE(TakePosted().empty());
  // Another folder when one is given.
  dir_.Write("Profiles/One.INI", "minwage\t2.5\r\n");
  ASSERT_EQ(LoadPlayerSettings(region.get(), 1, "One", "Profiles\\", Record), plat::kOk);
  const std::vector<PostedCommand> posted = TakePosted();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].id, 16u);
}

TEST_F(PlayerSettingsFile, TheWriterFormAndOrder) {
  auto region = NewRecord();
  PlayerPolicyBlock& b = region->displayPolicy;
  b.migrationFlags = 0x1C;  // imrefugee 3, imrefugeeint 1
  b.immlimit = 0.5f;
  SetCabinetControl(b.cabinetPolicy[0], -2);
  SetCabinetLocks(b.cabinetPolicy[5], 0xABCDEF01);
  b.soldierminage = 200;
  ASSERT_EQ(SavePlayerSettings(region.get(), "Form"), plat::kOk);
  const std::string text = Read("Form");
  EXPECT_EQ(text.rfind("immlimit\t0.500000, \r\nrefuglimit\t0.000000, \r\n", 0), 0u);
  EXPECT_NE(text.find("\r\nimrefugeeint\t1, \r\nimrefugee\t3, \r\nimmedic\t0, \r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nsoldierminage\t200, \r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\ncabsetcontrol\t-2, 0, 0, 0, 0, 0, \r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\ncabsetsid\t0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, \r\n"), std::string::npos);
  const std::string tail = "cabsetlocks\t0x0, 0x0, 0x0, 0x0, 0x0, 0xABCDEF01, \r\n\r\n";
  ASSERT_GE(text.size(), tail.size() + 1);
  EXPECT_EQ(text.substr(text.size() - tail.size() - 1), tail + std::string(1, '\0'));
  size_t lines = 0;
  for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(lines, 104u);
  EXPECT_EQ(SavePlayerSettings(nullptr, "Form"), plat::kFail);
}

TEST_F(PlayerSettingsFile, TheEditorTemplateGoesStraightIntoEveryRegion) {
  Write("Default",
        "defcon\t1\r\nmilspendsalary\t9\r\nbconscript\t1\r\nreligionstate\t7\r\nminwage\t3.5\r\n"
        "bmedical\tyes\r\nroeregionflag\t0x1, 0x2\r\ncabsetlocks\t0x10\r\nimrefugee\t2\r\n");
  const int count = 32;
  auto players = std::make_unique<PlayerRecord[]>(count);
  std::memset(static_cast<void*>(players.get()), 0, sizeof(PlayerRecord) * count);
  for (int r = 0; r < count; ++r) {
    PlayerPolicyBlock& s = players[r].simPolicy;
    s.defcon = 10 + r;
    s.milspendsalary = static_cast<float>(r);
    s.religionstate = static_cast<uint8_t>(r);
    s.militaryFlags = (r % 2) ? 1u : 0u;
    s.wageFlags = 4u | 8u;  // bit 2 is kept, bit 3 comes from the template
    s.migrationFlags = 0x11;  // bits outside the refugee setting stay in the template
    SetRoeRegionFlag(s.regionPolicy[1], 0xF0);
    s.minwage = 1.0f;
  }
  players[0].displayPolicy.minwage = 42.0f;
  ASSERT_EQ(LoadDefaultPlayerSettings(players.get(), count, "Default"), plat::kOk);
  EXPECT_TRUE(TakePosted().empty());

  const PlayerPolicyBlock& t = players[1].simPolicy;
  EXPECT_EQ(t.defcon, 11);               // not read into the template
  EXPECT_FLOAT_EQ(t.milspendsalary, 1.0f);
  EXPECT_EQ(t.militaryFlags, 1u);
  EXPECT_EQ(t.religionstate, 7);
  EXPECT_FLOAT_EQ(t.minwage, 3.5f);
  EXPECT_EQ(t.wageFlags, 4u | 8u | 2u);  // bmedical adds its bit only
  EXPECT_EQ(t.migrationFlags, 0x11u | (2u << 2));
  EXPECT_EQ(RoeRegionFlag(t.regionPolicy[0]), 1u);
  EXPECT_EQ(RoeRegionFlag(t.regionPolicy[1]), 2u);     // replaced, not added to
  EXPECT_EQ(RoeRegionFlag(t.regionPolicy[2]), 0u);     // the default: the template's own
  EXPECT_EQ(CabinetLocks(t.cabinetPolicy[0]), 0x10u);
  EXPECT_EQ(std::memcmp(&players[1].displayPolicy, &t, sizeof t), 0);

  for (int r = 2; r < count; ++r) {
    const PlayerPolicyBlock& s = players[r].simPolicy;
    EXPECT_EQ(s.defcon, 10 + r);
    EXPECT_FLOAT_EQ(s.milspendsalary, static_cast<float>(r));
    EXPECT_EQ(s.religionstate, r);
    EXPECT_EQ(s.militaryFlags, (r % 2) ? 1u : 0u);
    EXPECT_EQ(s.wageFlags, 4u | 8u | 2u);
    EXPECT_FLOAT_EQ(s.minwage, 3.5f);
    EXPECT_EQ(RoeRegionFlag(s.regionPolicy[1]), 2u);
    EXPECT_EQ(std::memcmp(&players[r].displayPolicy, &s, sizeof s), 0) << r;
  }
  EXPECT_EQ(players[0].simPolicy.defcon, 10);
  EXPECT_FLOAT_EQ(players[0].simPolicy.minwage, 1.0f);
  EXPECT_FLOAT_EQ(players[0].displayPolicy.minwage, 42.0f);

  EXPECT_EQ(LoadDefaultPlayerSettings(players.get(), count, "Missing"), plat::kFail);
  EXPECT_EQ(LoadDefaultPlayerSettings(players.get(), 1, "Default"), plat::kFail);
  EXPECT_EQ(LoadDefaultPlayerSettings(nullptr, count, "Default"), plat::kFail);
}

TEST_F(PlayerSettingsFile, TheWorldsRegionsOnlyWhenARegionRecordIsLoaded) {
  auto world = std::make_unique<World>();
  Write("One", "minwage\t2.5\r\n");
  EXPECT_EQ(SavePlayerSettings(*world, "Out"), plat::kFail);
  EXPECT_EQ(LoadDefaultPlayerSettings(*world, "One"), plat::kFail);
  world->localPlayerRecord = &world->players[1];
  world->players[1].displayPolicy.minwage = 7.0f;
  ASSERT_EQ(SavePlayerSettings(*world, "Out"), plat::kOk);
  EXPECT_NE(Read("Out").find("minwage\t7.000000, \r\n"), std::string::npos);
  ASSERT_EQ(LoadDefaultPlayerSettings(*world, "One"), plat::kOk);
  EXPECT_FLOAT_EQ(world->players[31].displayPolicy.minwage, 2.5f);
  EXPECT_FLOAT_EQ(world->players[0].displayPolicy.minwage, 0.0f);
}

TEST_F(PlayerSettingsFile, TheShippedDefaultsReadBackInTheWritersForm) {
  plat::SetDataRoot(VD_CONTENT_DIR);
  auto region = NewRecord();
  ASSERT_EQ(LoadPlayerSettings(region.get(), 1, "Default", nullptr, Record), plat::kOk);
  for (const PostedCommand& c : TakePosted()) Apply(region->displayPolicy, c);
  std::ifstream in(std::string(VD_CONTENT_DIR) + "/PlayerSet/Default.INI", std::ios::binary);
  std::stringstream shipped;
  shipped << in.rdbuf();
  plat::SetDataRoot(dir_.path());
  ASSERT_EQ(SavePlayerSettings(region.get(), "Default"), plat::kOk);
  EXPECT_EQ(Read("Default"), shipped.str());
}

}  // namespace
