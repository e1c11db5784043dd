#include "app/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "Software\\Quellbrook\\Veldrane";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// A text or number setting's value, as the file writes it.
std::string TextOf(AppObject& app, NetIdentity& net, const TextSetting& t) {
  const std::span<char> slot = TextSettingSlot(app, net, t.which);
  return std::string(slot.data(), strnlen(slot.data(), slot.size()));
}
int32_t NumberOf(const AppObject& app, const NumberSetting& n) {
  return n.member ? app.*n.member : (app.Flag(n.bit) ? 1 : 0);
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.path() + "/config/veldrane/settings.ini";
    SetSettingsFilePath(path);
  }
  void TearDown() override { SetSettingsFilePath(""); }

  void WriteSettings(const std::string& body) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << body;
  }

  TempDir dir;
  std::string path;
};

void ExpectDefaults(AppObject& app, NetIdentity& net) {
  for (const TextSetting& t : TextSettings())
    EXPECT_EQ(TextOf(app, net, t), t.defaultText ? t.defaultText : "") << t.name;
  for (const NumberSetting& n : NumberSettings()) EXPECT_EQ(NumberOf(app, n), n.defaultValue) << n.name;
  // Bits above the 17 settings are not the reader's.
  EXPECT_EQ(app.settingsFlags & 0x1FFFFu, 0x3FE7u);
  EXPECT_EQ(app.keyHandle, 0);
}

// Fills every value with something other than its default: texts with
// blanks at both ends and the characters of the file's own syntax, numbers
// out to both ends of their range.
void FillNonDefaults(AppObject& app, NetIdentity& net) {
  for (const TextSetting& t : TextSettings()) {
    const std::span<char> slot = TextSettingSlot(app, net, t.which);
    const std::string text = (" " + std::string(t.name) + "=;[x] ").substr(0, static_cast<size_t>(t.maximum));
    ASSERT_LT(text.size(), slot.size());
    std::strcpy(slot.data(), text.c_str());
  }
  int i = 0;
  for (const NumberSetting& n : NumberSettings()) {
    if (n.member) app.*n.member = (++i % 2) ? INT32_MAX - i : INT32_MIN + i;
  }
  app.settingsFlags = 0x1A5C3u;  // a pattern over all 17 bits
}

void ExpectSame(AppObject& a, NetIdentity& an, AppObject& b, NetIdentity& bn) {
  for (const TextSetting& t : TextSettings()) EXPECT_EQ(TextOf(a, an, t), TextOf(b, bn, t)) << t.name;
  for (const NumberSetting& n : NumberSettings()) EXPECT_EQ(NumberOf(a, n), NumberOf(b, n)) << n.name;
  EXPECT_EQ(a.settingsFlags, b.settingsFlags);
}

// The defaults a fresh install runs with, written out here once so that a
// changed default in the settings table fails this test.
TEST(SettingsDefaults, EveryValueHasItsExpectedDefaultAndLimit) {
  const struct {
    const char* name;
    int maximum;
    const char* text;  // null: empty
  } texts[] = {
      {"Player Name", 15, "PLAYER"},       {"Session Name", 259, "New Game"},
      {"Preferred Provider", 259, nullptr}, {"Last Host IP", 259, "255.255.255.255"},
      {"Language File", 15, "LOCALEN"},    {"HAPS Directory", 15, "HAPS\\"},
      {"Options File", 15, "Options"},     {"SaveGame Path", 255, "Savegame\\"},
      {"PBEMGame Path", 255, "PBEM\\"},
  };
  const struct {
    const char* name;
    int32_t value;
  } numbers[] = {
      {"Nocutscene", 1},          {"Nonumanim", 1},         {"Noswoosh", 1},
      {"Nosoundinit", 0},         {"Nomusicinit", 0},       {"VDBitshires", 1},
      {"Tbitshires", 1},          {"Ubitshires", 1},        {"Unitbitshires", 1},
      {"Loadingbitshires", 1},    {"Mapbackhires", 1},      {"Mapbasehires", 1},
      {"Backbufhires", 1},        {"Minimapbasevidmem", 1}, {"UseHWCursor", 0},
      {"OverrideSqTex", 0},       {"OverrideCurThreadDef", 0}, {"Gamerezx", 1024},
      {"Gamerezy", 768},          {"Gamerezbpp", 32},       {"Gameadapternum", 0},
      {"Gamerezref", 0},          {"Gamerezaa", 0},         {"SoundSimDef", 4},
      {"SoundMinOverlap", 75},    {"SysACKSlices", 15},     {"SysSleepTurnprocDef", 5},
      {"SysSleepSkipDef", 0},     {"SysTimePeriod", 0},
  };
  ASSERT_EQ(TextSettings().size(), std::size(texts));
  for (const TextSetting& t : TextSettings()) {
    const auto* want = std::find_if(std::begin(texts), std::end(texts),
                                    [&](const auto& row) { return std::string(row.name) == t.name; });
    ASSERT_NE(want, std::end(texts)) << t.name;
    EXPECT_EQ(t.maximum, want->maximum) << t.name;
    EXPECT_EQ(std::string(t.defaultText ? t.defaultText : ""), std::string(want->text ? want->text : "")) << t.name;
  }
  ASSERT_EQ(NumberSettings().size(), std::size(numbers));
  for (const NumberSetting& n : NumberSettings()) {
    const auto* want = std::find_if(std::begin(numbers), std::end(numbers),
                                    [&](const auto& row) { return std::string(row.name) == n.name; });
    ASSERT_NE(want, std::end(numbers)) << n.name;
    EXPECT_EQ(n.defaultValue, want->value) << n.name;
  }
}

TEST_F(Settings, MissingFileGivesEveryDefaultAndCreatesNothing) {
  AppObject app;
  NetIdentity net;
  std::strcpy(net.playerName, "stale");
  app.settingsFlags = 0xFFFFFFFFu;
  LoadRegistrySettings(app, net, kKey);
  ExpectDefaults(app, net);
  EXPECT_FALSE(fs::exists(dir.path() + "/config"));
}

TEST_F(Settings, UnreadableFileGivesEveryDefault) {
  fs::create_directories(path);  // a folder where the file should be
  AppObject app;
  NetIdentity net;
  LoadRegistrySettings(app, net, kKey);
  ExpectDefaults(app, net);
  // Writing cannot replace a folder: skipped silently.
  SaveRegistrySettings(app, net, kKey);
  EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(Settings, OtherSectionOrNoKeyPathGivesDefaults) {
  WriteSettings("[Software\\Other]\nGamerezx=800\nPlayer Name=Zed\n");
  AppObject app;
  NetIdentity net;
  LoadRegistrySettings(app, net, kKey);
  ExpectDefaults(app, net);
  WriteSettings("[Software\\Quellbrook\\Veldrane]\nGamerezx=800\n");
  LoadRegistrySettings(app, net, nullptr);
  ExpectDefaults(app, net);
}

TEST_F(Settings, NoFileAtExitWritesEveryValueInOrder) {
  AppObject app;
  NetIdentity net;
  LoadRegistrySettings(app, net, kKey);
  SaveRegistrySettings(app, net, kKey);
  std::vector<std::string> expected = {"[Software\\Quellbrook\\Veldrane]"};
  for (SettingText which : TextWriteOrder())
    for (const TextSetting& t : TextSettings())
      if (t.which == which) expected.push_back(std::string(t.name) + "=" + (t.defaultText ? t.defaultText : ""));
  for (const char* name : NumberWriteOrder())
    for (const NumberSetting& n : NumberSettings())
      if (std::string(n.name) == name) expected.push_back(std::string(name) + "=" + std::to_string(n.defaultValue));
  ASSERT_EQ(expected.size(), 1u + 9u + 29u) << "every value once";
  EXPECT_EQ(Lines(Slurp(path)), expected);
  EXPECT_EQ(app.keyHandle, 0);
  // Only the file is left in the folder.
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) ++entries;
  EXPECT_EQ(entries, 1u);
}

TEST_F(Settings, AllValuesRoundTripThroughTheFile) {
  AppObject app;
  NetIdentity net;
  FillNonDefaults(app, net);
  SaveRegistrySettings(app, net, kKey);

  AppObject loaded;
  NetIdentity loadedNet;
  LoadRegistrySettings(loaded, loadedNet, kKey);
  ExpectSame(app, net, loaded, loadedNet);

  // Every flag bit alone, on and off.
  for (const NumberSetting& f : NumberSettings()) {
    if (f.member) continue;
    for (uint32_t flags : {f.bit, 0x1FFFFu & ~f.bit}) {
      app.settingsFlags = flags;
      SaveRegistrySettings(app, net, kKey);
      LoadRegistrySettings(loaded, loadedNet, kKey);
      EXPECT_EQ(loaded.settingsFlags, flags) << f.name;
    }
  }
  // Saving what was loaded gives the same file again, byte for byte.
  const std::string first = Slurp(path);
  SaveRegistrySettings(loaded, loadedNet, kKey);
  EXPECT_EQ(Slurp(path), first);
}

TEST_F(Settings, FlagsCountOnlyTheirLowestBit) {
  WriteSettings(
      "[Software\\Quellbrook\\Veldrane]\nNosoundinit=2\nNocutscene=2\nUseHWCursor=3\nNomusicinit=-1\n"
      "OverrideSqTex=4294967295\n");
  AppObject app;
  NetIdentity net;
  LoadRegistrySettings(app, net, kKey);
  EXPECT_FALSE(app.Flag(kSetNosoundinit));
  EXPECT_FALSE(app.Flag(kSetNocutscene));
  EXPECT_TRUE(app.Flag(kSetUseHWCursor));
  EXPECT_TRUE(app.Flag(kSetNomusicinit));
  EXPECT_TRUE(app.Flag(kSetOverrideSqTex));
  EXPECT_TRUE(app.Flag(kSetNonumanim));  // absent: default
}

TEST_F(Settings, OverlongTextsAreCutAndEmptyOnesTakeTheDefault) {
  const std::string longPath(300, 'p');
  WriteSettings("[Software\\Quellbrook\\Veldrane]\r\nPlayer Name=ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n"
                "Language File=\r\nOptions File=OptionsWithAVeryLongName\r\nSaveGame Path=" +
                longPath + "\r\nSession Name=  spaced  \r\n");
  AppObject app;
  NetIdentity net;
  LoadRegistrySettings(app, net, kKey);
  EXPECT_STREQ(net.playerName, "ABCDEFGHIJKLMNO");
  EXPECT_STREQ(app.languageFile, "LOCALEN");
  EXPECT_STREQ(app.optionsFile, "OptionsWithAVer");
  EXPECT_EQ(std::string(app.saveGamePath), std::string(255, 'p'));
  EXPECT_STREQ(net.sessionName, "  spaced  ");
}

TEST_F(Settings, NamesIgnoreCaseAndBadNumbersKeepTheDefault) {
  WriteSettings(
      "; written by hand\n[software\\quellbrook\\VELDRANE]\n  gamerezx = 800\nGAMEREZY=abc\nGamerezbpp=\n"
      "SoundSimDef=99999999999\nSysTimePeriod= -7 \nSysACKSlices=4294967295\n");
  AppObject app;
  NetIdentity net;
  LoadRegistrySettings(app, net, kKey);
  EXPECT_EQ(app.gamerezx, 800);
  EXPECT_EQ(app.gamerezy, 768);
  EXPECT_EQ(app.gamerezbpp, 32);
  EXPECT_EQ(app.soundSimDef, 4);
  EXPECT_EQ(app.sysTimePeriod, -7);
  EXPECT_EQ(app.sysACKSlices, -1);
}

TEST_F(Settings, WritingKeepsTheRestOfTheFile) {
  WriteSettings(
      "; my notes\n[Software\\Other]\nGamerezx=1\n\n[Software\\Quellbrook\\Veldrane]\nGamerezx=640\n"
      "Custom Thing=keep me\n\n[Third]\nx=y\n");
  AppObject app;
  NetIdentity net;
  LoadRegistrySettings(app, net, kKey);
  EXPECT_EQ(app.gamerezx, 640);
  app.gamerezx = 800;
  SaveRegistrySettings(app, net, kKey);
  const std::vector<std::string> lines = Lines(Slurp(path));
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines[0], "; my notes");
  EXPECT_EQ(lines[1], "[Software\\Other]");
  EXPECT_EQ(lines[2], "Gamerezx=1");
  EXPECT_EQ(lines[4], "[Software\\Quellbrook\\Veldrane]");
  EXPECT_EQ(lines[5], "Gamerezx=800");
  EXPECT_EQ(lines[6], "Custom Thing=keep me");
  EXPECT_EQ(lines[7], "Player Name=PLAYER");
  EXPECT_EQ(lines[lines.size() - 3], "");
  EXPECT_EQ(lines[lines.size() - 2], "[Third]");
  EXPECT_EQ(lines[lines.size() - 1], "x=y");
  EXPECT_EQ(lines.size(), 5u + 38u + 1u + 3u);
}

TEST_F(Settings, LineEndsInTextsCannotBreakTheFile) {
  AppObject app;
  NetIdentity net;
  LoadRegistrySettings(app, net, kKey);
  std::strcpy(net.sessionName, "Game\nGamerezx=1");
  SaveRegistrySettings(app, net, kKey);
  AppObject loaded;
  NetIdentity loadedNet;
  LoadRegistrySettings(loaded, loadedNet, kKey);
  EXPECT_STREQ(loadedNet.sessionName, "Game");
  EXPECT_EQ(loaded.gamerezx, 1024);
}

TEST_F(Settings, NoKeyPathWritesNothing) {
  AppObject app;
  NetIdentity net;
  SaveRegistrySettings(app, net, nullptr);
  SaveRegistrySettings(app, net, "");
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(Settings, ReadRegistryStringOutsideAReadGivesTheDefault) {
  AppObject app;
  char text[16];
  EXPECT_EQ(ReadRegistryString(app, "Player Name", 15, "PLAYER", text), 7);
  EXPECT_STREQ(text, "PLAYER");
  EXPECT_EQ(ReadRegistryString(app, "Player Name", 3, "PLAYER", text), 4);
  EXPECT_STREQ(text, "PLA");
  EXPECT_EQ(ReadRegistryString(app, "Preferred Provider", 15, nullptr, text), 1);
  EXPECT_STREQ(text, "");
}

TEST_F(Settings, DefaultFileIsInTheConfigurationFolder) {
  SetSettingsFilePath("");
  const std::string file = SettingsFilePath();
  EXPECT_EQ(fs::path(file).filename(), "settings.ini");
  EXPECT_EQ(fs::path(file).parent_path().filename(), "veldrane");
  SetSettingsFilePath(path);
  EXPECT_EQ(SettingsFilePath(), path);
}

}  // namespace
