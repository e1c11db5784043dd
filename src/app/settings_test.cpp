#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
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

// Every flag bit with its value name and default.
struct FlagCase {
  const char* name;
  uint32_t bit;
  bool defaultOn;
};
const FlagCase kFlagCases[] = {
    {"Nocutscene", kSetNocutscene, true},         {"Nonumanim", kSetNonumanim, true},
    {"Noswoosh", kSetNoswoosh, true},             {"Nosoundinit", kSetNosoundinit, false},
    {"Nomusicinit", kSetNomusicinit, false},      {"VDBitshires", kSetVDBitshires, true},
    {"Tbitshires", kSetTbitshires, true},         {"Ubitshires", kSetUbitshires, true},
    {"Unitbitshires", kSetUnitbitshires, true},   {"Loadingbitshires", kSetLoadingbitshires, true},
    {"Mapbackhires", kSetMapbackhires, true},     {"Mapbasehires", kSetMapbasehires, true},
    {"Backbufhires", kSetBackbufhires, true},     {"Minimapbasevidmem", kSetMinimapbasevidmem, true},
    {"UseHWCursor", kSetUseHWCursor, false},      {"OverrideSqTex", kSetOverrideSqTex, false},
    {"OverrideCurThreadDef", kSetOverrideCurThreadDef, false},
};

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

void ExpectDefaults(const AppObject& app, const NetIdentity& net) {
  EXPECT_STREQ(net.playerName, "PLAYER");
  EXPECT_STREQ(net.sessionName, "New Game");
  EXPECT_STREQ(net.preferredProvider, "");
  EXPECT_STREQ(net.hostAddress, "255.255.255.255");
  EXPECT_STREQ(app.languageFile, "LOCALEN");
  EXPECT_STREQ(app.hapsDirectory, "HAPS\\");
  EXPECT_STREQ(app.optionsFile, "Options");
  EXPECT_STREQ(app.saveGamePath, "Savegame\\");
  EXPECT_STREQ(app.pbemGamePath, "PBEM\\");
  uint32_t flags = 0;
  for (const FlagCase& f : kFlagCases) flags |= f.defaultOn ? f.bit : 0;
  // Bits above the 17 settings are not the reader's.
  EXPECT_EQ(app.settingsFlags & 0x1FFFFu, flags);
  EXPECT_EQ(app.settingsFlags & 0x1FFFFu, 0x3FE7u);
  EXPECT_EQ(app.gamerezx, 1024);
  EXPECT_EQ(app.gamerezy, 768);
  EXPECT_EQ(app.gamerezbpp, 32);
  EXPECT_EQ(app.gameadapternum, 0);
  EXPECT_EQ(app.gamerezref, 0);
  EXPECT_EQ(app.gamerezaa, 0);
  EXPECT_EQ(app.soundSimDef, 4);
  EXPECT_EQ(app.soundMinOverlap, 75);
  EXPECT_EQ(app.sysACKSlices, 15);
  EXPECT_EQ(app.sysSleepTurnprocDef, 5);
  EXPECT_EQ(app.sysSleepSkipDef, 0);
  EXPECT_EQ(app.sysTimePeriod, 0);
  EXPECT_EQ(app.keyHandle, 0);
}

// Fills every value with something other than its default.
void FillNonDefaults(AppObject& app, NetIdentity& net) {
  std::strcpy(net.playerName, "Ann Smith");
  std::strcpy(net.sessionName, "Spring Campaign; with=signs");
  std::strcpy(net.preferredProvider, "TCP/IP");
  std::strcpy(net.hostAddress, "192.168.1.20");
  std::strcpy(app.languageFile, "LOCALDE");
  std::strcpy(app.hapsDirectory, "HAPS2\\");
  std::strcpy(app.optionsFile, "Mine");
  std::strcpy(app.saveGamePath, " Saves\\Old ");
  std::strcpy(app.pbemGamePath, "Mail\\Games\\");
  app.settingsFlags = 0x1A5C3u;  // a pattern over all 17 bits
  app.gamerezx = 1920;
  app.gamerezy = 1080;
  app.gamerezbpp = 16;
  app.gameadapternum = 2;
  app.gamerezref = 75;
  app.gamerezaa = 4;
  app.soundSimDef = 8;
  app.soundMinOverlap = -3;
  app.sysACKSlices = 30;
  app.sysSleepTurnprocDef = 2147483647;
  app.sysSleepSkipDef = -2147483647 - 1;
  app.sysTimePeriod = 1;
}

void ExpectSame(const AppObject& a, const NetIdentity& an, const AppObject& b, const NetIdentity& bn) {
  EXPECT_STREQ(an.playerName, bn.playerName);
  EXPECT_STREQ(an.sessionName, bn.sessionName);
  EXPECT_STREQ(an.preferredProvider, bn.preferredProvider);
  EXPECT_STREQ(an.hostAddress, bn.hostAddress);
  EXPECT_STREQ(a.languageFile, b.languageFile);
  EXPECT_STREQ(a.hapsDirectory, b.hapsDirectory);
  EXPECT_STREQ(a.optionsFile, b.optionsFile);
  EXPECT_STREQ(a.saveGamePath, b.saveGamePath);
  EXPECT_STREQ(a.pbemGamePath, b.pbemGamePath);
  EXPECT_EQ(a.settingsFlags, b.settingsFlags);
  EXPECT_EQ(a.gamerezx, b.gamerezx);
  EXPECT_EQ(a.gamerezy, b.gamerezy);
  EXPECT_EQ(a.gamerezbpp, b.gamerezbpp);
  EXPECT_EQ(a.gameadapternum, b.gameadapternum);
  EXPECT_EQ(a.gamerezref, b.gamerezref);
  EXPECT_EQ(a.gamerezaa, b.gamerezaa);
  EXPECT_EQ(a.soundSimDef, b.soundSimDef);
  EXPECT_EQ(a.soundMinOverlap, b.soundMinOverlap);
  EXPECT_EQ(a.sysACKSlices, b.sysACKSlices);
  EXPECT_EQ(a.sysSleepTurnprocDef, b.sysSleepTurnprocDef);
  EXPECT_EQ(a.sysSleepSkipDef, b.sysSleepSkipDef);
  EXPECT_EQ(a.sysTimePeriod, b.sysTimePeriod);
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
  const std::vector<std::string> expected = {
      "[Software\\Quellbrook\\Veldrane]",
      "Player Name=PLAYER", "Session Name=New Game", "Preferred Provider=", "Last Host IP=255.255.255.255",
      "Language File=LOCALEN", "SaveGame Path=Savegame\\", "PBEMGame Path=PBEM\\", "Options File=Options",
      "HAPS Directory=HAPS\\",
      "Nocutscene=1", "Nonumanim=1", "Noswoosh=1", "Nosoundinit=0", "Nomusicinit=0", "Gamerezx=1024",
      "Gamerezy=768", "Gamerezbpp=32", "Gameadapternum=0", "Gamerezref=0", "Gamerezaa=0", "VDBitshires=1",
      "Mapbasehires=1", "Tbitshires=1", "Ubitshires=1", "Unitbitshires=1", "Mapbackhires=1", "Loadingbitshires=1",
      "Backbufhires=1", "Minimapbasevidmem=1", "UseHWCursor=0", "OverrideSqTex=0", "OverrideCurThreadDef=0",
      "SoundSimDef=4", "SoundMinOverlap=75", "SysACKSlices=15", "SysSleepTurnprocDef=5", "SysSleepSkipDef=0",
      "SysTimePeriod=0"};
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
  for (const FlagCase& f : kFlagCases) {
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
