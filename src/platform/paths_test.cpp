#include "platform/paths.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace plat {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every name in a real folder, hidden ones included, sorted.
std::vector<std::string> NamesIn(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The data root is a folder inside the temporary folder, so that a path that
// climbs out has a real file to reach.
class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = DataRoot();
    root_ = tmp_.path() + "/root";
    fs::create_directories(root_);
    SetDataRoot(root_);
  }
  void TearDown() override { SetDataRoot(saved_); }

  std::string Write(const std::string& relative, const std::string& contents) {
    return tmp_.Write("root/" + relative, contents);
  }

  TempDir tmp_;
  std::string root_;
  std::string saved_;
};

TEST_F(PathsTest, OpensABackslashedUpperCasePathFromALowerCaseFile) {
  Write("graphics/tbits.png", "tile bits");
  const auto resolved = ResolveGamePath("GRAPHICS\\TBITS.PNG");
  ASSERT_TRUE(resolved.has_value());
  EXPECT_EQ(*resolved, root_ + "/graphics/tbits.png");
  FILE* f = OpenGameFile("GRAPHICS\\TBITS.PNG", "rb");
  ASSERT_NE(f, nullptr);
  char buffer[32] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  EXPECT_EQ(std::string(buffer, n), "tile bits");
}

TEST_F(PathsTest, RefusesPathsThatClimbOutOfTheDataRoot) {
  tmp_.Write("secret.txt", "outside");
  tmp_.Write("etc/passwd", "outside");
  fs::create_directories(root_ + "/A");
  for (const char* path : {"..\\secret.txt", "..\\..\\etc\\passwd", "..\\etc\\passwd", "A\\..\\..\\secret.txt",
                           "A\\..\\..\\x", "GRAPHICS\\..\\..\\secret.txt", "..", "A/../../secret.txt"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(ResolveGamePath(path).has_value());
    EXPECT_FALSE(ResolveGamePath(path, true).has_value());
    EXPECT_EQ(OpenGameFile(path, "rb"), nullptr);
    EXPECT_FALSE(GameFileExists(path));
    EXPECT_FALSE(ReadFileBytes(path).has_value());
  }
  EXPECT_TRUE(Failed(WriteFileReplacing("..\\secret.txt", "x", 1)));
  EXPECT_EQ(ReadText(tmp_.path() + "/secret.txt"), "outside");
  EXPECT_FALSE(MakeGameDirectories("..\\made"));
  EXPECT_FALSE(fs::exists(tmp_.path() + "/made"));
}

TEST_F(PathsTest, RefusesAbsolutePathsAndNulBytes) {
  Write("etc/passwd", "inside");
  for (const char* path : {"/etc/passwd", "\\etc\\passwd", "C:\\etc\\passwd", "c:etc\\passwd", "\\\\host\\etc\\passwd"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(ResolveGamePath(path).has_value());
    EXPECT_EQ(OpenGameFile(path, "rb"), nullptr);
  }
  const std::string withNul("etc\0\\passwd", 11);
  EXPECT_FALSE(ResolveGamePath(withNul).has_value());
  EXPECT_TRUE(ResolveGamePath("ETC\\PASSWD").has_value());
}

TEST_F(PathsTest, ADotDotThatStaysInsideTheRootIsAllowed) {
  Write("graphics/tbits.png", "x");
  EXPECT_EQ(ResolveGamePath("GRAPHICS\\..\\GRAPHICS\\TBITS.PNG"), root_ + "/graphics/tbits.png");
  // Read as Windows does, without looking at the disk: the folder need not exist.
  EXPECT_EQ(ResolveGamePath("NOWHERE\\..\\graphics\\tbits.png"), root_ + "/graphics/tbits.png");
  EXPECT_EQ(ResolveGamePath("GRAPHICS\\.."), root_);
}

TEST_F(PathsTest, SkipsEmptyComponentsAndDots) {
  Write("graphics/tbits.png", "x");
  const std::string expected = root_ + "/graphics/tbits.png";
  EXPECT_EQ(ResolveGamePath("GRAPHICS\\\\TBITS.PNG"), expected);
  EXPECT_EQ(ResolveGamePath("GRAPHICS//TBITS.PNG"), expected);
  EXPECT_EQ(ResolveGamePath(".\\GRAPHICS\\.\\TBITS.PNG"), expected);
  EXPECT_EQ(ResolveGamePath("GRAPHICS\\"), root_ + "/graphics");
  EXPECT_EQ(ResolveGamePath(""), root_);
}

TEST_F(PathsTest, PrefersTheExactNameAndOtherwiseTheFirstInListingOrder) {
  Write("Data/a.txt", "mixed");
  Write("DATA/a.txt", "upper");
  EXPECT_EQ(ResolveGamePath("Data\\a.txt"), root_ + "/Data/a.txt");
  EXPECT_EQ(ResolveGamePath("DATA\\a.txt"), root_ + "/DATA/a.txt");
  // Neither is exact: "DATA" sorts before "Data".
  EXPECT_EQ(ResolveGamePath("data\\A.TXT"), root_ + "/DATA/a.txt");
}

TEST_F(PathsTest, AFolderComponentSkipsAFileOfTheSameName) {
  Write("maps", "a file, not the folder");
  Write("MAPS/world.map", "map");
  EXPECT_EQ(ResolveGamePath("Maps\\WORLD.MAP"), root_ + "/MAPS/world.map");
  EXPECT_EQ(ResolveGamePath("maps\\world.map"), root_ + "/MAPS/world.map");
  EXPECT_FALSE(ResolveGamePath("maps\\other.map").has_value());
  EXPECT_FALSE(ResolveGamePath("MAPS\\world.map\\x").has_value());
}

TEST_F(PathsTest, ForCreateLetsOnlyTheLastComponentBeMissing) {
  Write("graphics/tbits.png", "x");
  EXPECT_FALSE(ResolveGamePath("GRAPHICS\\NEW.PNG").has_value());
  EXPECT_EQ(ResolveGamePath("GRAPHICS\\NEW.PNG", true), root_ + "/graphics/NEW.PNG");
  // An existing file is reused under its own name rather than doubled.
  EXPECT_EQ(ResolveGamePath("GRAPHICS\\TBITS.PNG", true), root_ + "/graphics/tbits.png");
  EXPECT_FALSE(ResolveGamePath("MISSING\\NEW.PNG", true).has_value());
}

TEST_F(PathsTest, OpenGameFileWritesIntoTheExistingFolderAndRefusesFolders) {
  fs::create_directories(root_ + "/saves");
  FILE* f = OpenGameFile("SAVES\\OUT.BIN", "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("written", f);
  std::fclose(f);
  EXPECT_EQ(ReadText(root_ + "/saves/OUT.BIN"), "written");
  EXPECT_FALSE(fs::exists(root_ + "/SAVES"));
  f = OpenGameFile("saves\\out.bin", "ab");
  ASSERT_NE(f, nullptr);
  std::fputs("+more", f);
  std::fclose(f);
  EXPECT_EQ(ReadText(root_ + "/saves/OUT.BIN"), "written+more");
  EXPECT_EQ(OpenGameFile("SAVES", "rb"), nullptr);
  EXPECT_EQ(OpenGameFile("NOFOLDER\\OUT.BIN", "wb"), nullptr);
  EXPECT_EQ(OpenGameFile("SAVES\\OUT.BIN", nullptr), nullptr);
}

TEST_F(PathsTest, GameFileExistsOnlyForFiles) {
  Write("ini/game.ini", "x");
  EXPECT_TRUE(GameFileExists("INI\\GAME.INI"));
  EXPECT_TRUE(GameFileExists("ini/game.ini"));
  EXPECT_FALSE(GameFileExists("INI"));
  EXPECT_FALSE(GameFileExists("INI\\OTHER.INI"));
}

TEST_F(PathsTest, MakeGameDirectoriesReusesFoldersThatDifferOnlyInCase) {
  fs::create_directories(root_ + "/saves");
  EXPECT_TRUE(MakeGameDirectories("SAVES\\Campaign\\One"));
  EXPECT_TRUE(fs::is_directory(root_ + "/saves/Campaign/One"));
  EXPECT_FALSE(fs::exists(root_ + "/SAVES"));
  EXPECT_TRUE(MakeGameDirectories("saves\\CAMPAIGN\\one\\"));
  EXPECT_EQ(NamesIn(root_ + "/saves"), std::vector<std::string>{"Campaign"});
  EXPECT_EQ(NamesIn(root_ + "/saves/Campaign"), std::vector<std::string>{"One"});
  EXPECT_TRUE(MakeGameDirectories(""));

  Write("saves/file", "x");
  EXPECT_FALSE(MakeGameDirectories("saves\\file\\below"));
  EXPECT_EQ(ReadText(root_ + "/saves/file"), "x");
}

TEST_F(PathsTest, ListsMatchingEntriesCaseInsensitivelyInNameOrder) {
  Write("saves/GAME1.SAV", "1");
  Write("saves/game2.sav", "2");
  Write("saves/b.Sav", "b");
  Write("saves/Notes.txt", "n");
  Write("saves/GAME10.SAV", "10");
  fs::create_directories(root_ + "/saves/DIR.SAV");
  EXPECT_EQ(ListGameDirectory("SAVES", "*.SAV"),
            (std::vector<std::string>{"b.Sav", "DIR.SAV", "GAME1.SAV", "GAME10.SAV", "game2.sav"}));
  EXPECT_EQ(ListGameDirectory("Saves\\", "*.sav", true),
            (std::vector<std::string>{"b.Sav", "GAME1.SAV", "GAME10.SAV", "game2.sav"}));
  EXPECT_EQ(ListGameDirectory("SAVES", "GAME?.SAV"), (std::vector<std::string>{"GAME1.SAV", "game2.sav"}));
  EXPECT_EQ(ListGameDirectory("SAVES", "notes.TXT"), std::vector<std::string>{"Notes.txt"});
  EXPECT_TRUE(ListGameDirectory("MISSING", "*").empty());
  EXPECT_TRUE(ListGameDirectory("..", "*").empty());
  EXPECT_EQ(ListGameDirectory("", "*"), std::vector<std::string>{"saves"});
}

TEST_F(PathsTest, WildcardsAgreeWithTheCLibraryIgnoringCase) {
  const std::vector<std::string> names = {"a",      "A.b",    "ab",     "abc.SAV", "ABC.sav.bak", "x.y.z",
                                          "game1",  "GAME12", "save.",  "save",    ".hidden",     "aaa",
                                          "a.a.a",  "b?c",    "zz*top", "Tbits.PNG", "tbits.png2", "m"};
  for (const auto& name : names) Write("w/" + name, "x");
  const std::vector<std::string> patterns = {
      "*",     "*.*",     "?",      "??",      "a*",     "*a",     "*.sav", "*.SAV*", "a?c*",   "*?*",
      "*.",    "save*",   "save.*", "game?",   "game??", "*1*",    "*b*c*", "a*a*a",  "A",      "?b?",
      ".*",    "*.png",   "t*s.p?g", "*z*",    "**",     "*?",     "b?c",   "zz*",    "x.*.z",  "tbits.*"};
  for (const auto& pattern : patterns) {
    std::vector<std::string> expected;
    for (const auto& name : names) {
      if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) expected.push_back(name);
    }
    std::vector<std::string> got = ListGameDirectory("W", pattern);
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected) << "pattern " << pattern;
  }
}

TEST_F(PathsTest, ReadsWholeFilesByteForByte) {
  std::string bytes;
  for (int i = 0; i < 150000; ++i) bytes.push_back(static_cast<char>((i * 7 + i / 256) & 0xFF));
  Write("maps/data/big.bin", bytes);
  Write("maps/data/empty.bin", "");
  const auto read = ReadFileBytes("MAPS\\DATA\\BIG.BIN");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(std::string(read->begin(), read->end()), bytes);
  const auto empty = ReadFileBytes("MAPS\\DATA\\EMPTY.BIN");
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());
  EXPECT_FALSE(ReadFileBytes("MAPS\\DATA\\NONE.BIN").has_value());
  EXPECT_FALSE(ReadFileBytes("MAPS\\DATA").has_value());
  // A part of a file, cut where the file ends.
  EXPECT_EQ(ReadFileRange("MAPS\\DATA\\BIG.BIN", 149990, 100), std::vector<uint8_t>(bytes.end() - 10, bytes.end()));
  EXPECT_EQ(ReadFileRange("MAPS\\DATA\\BIG.BIN", 200000, 100), std::vector<uint8_t>{});
  EXPECT_EQ(GameFileSize("maps\\data\\big.bin"), 150000u);
  EXPECT_EQ(FileReadRefusal("MAPS\\DATA\\BIG.BIN"), "");
  EXPECT_EQ(FileReadRefusal("MAPS\\DATA\\EMPTY.BIN"), "the file is empty");
  EXPECT_EQ(FileReadRefusal("MAPS\\DATA\\NONE.BIN"), "the file is missing");
  // At the limit or over it (a sparse file: no disk is used) nothing is
  // read, and the reason names the size.
  EXPECT_FALSE(ReadFileBytes("MAPS\\DATA\\BIG.BIN", 150000).has_value());
  EXPECT_TRUE(ReadFileBytes("MAPS\\DATA\\BIG.BIN", 150001).has_value());
  Write("maps/data/huge.bin", "");
  fs::resize_file(root_ + "/maps/data/huge.bin", uint64_t{64} << 30);
  EXPECT_FALSE(ReadFileBytes("MAPS\\DATA\\HUGE.BIN").has_value());
  EXPECT_EQ(FileReadRefusal("MAPS\\DATA\\HUGE.BIN"),
            "the file holds 68719476736 bytes, more than the 134217727 a game file may hold");
  EXPECT_EQ(ReadFileRange("MAPS\\DATA\\HUGE.BIN", 0, 4), std::vector<uint8_t>(4, 0));
}

TEST_F(PathsTest, WriteFileReplacingRoundTripsAndReplacesUnderTheExistingName) {
  fs::create_directories(root_ + "/saves");
  std::vector<uint8_t> bytes(200003);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>((i * 131) ^ (i >> 9));
  ASSERT_EQ(WriteFileReplacing("SAVES\\GAME.SAV", bytes.data(), bytes.size()), kOk);
  EXPECT_EQ(NamesIn(root_ + "/saves"), std::vector<std::string>{"GAME.SAV"});
  EXPECT_EQ(ReadFileBytes("saves\\game.sav"), bytes);

  const std::string shorter = "short";
  ASSERT_EQ(WriteFileReplacing("saves\\game.sav", shorter.data(), shorter.size()), kOk);
  EXPECT_EQ(NamesIn(root_ + "/saves"), std::vector<std::string>{"GAME.SAV"});
  EXPECT_EQ(ReadText(root_ + "/saves/GAME.SAV"), "short");

  ASSERT_EQ(WriteFileReplacing("saves\\zero.sav", nullptr, 0), kOk);
  EXPECT_EQ(ReadText(root_ + "/saves/zero.sav"), "");
  EXPECT_EQ(WriteFileReplacing("saves\\bad.sav", nullptr, 3), kInvalidArg);
  EXPECT_TRUE(Failed(WriteFileReplacing("", "x", 1)));
  EXPECT_TRUE(Failed(WriteFileReplacing("NOFOLDER\\x.sav", "x", 1)));
  EXPECT_FALSE(fs::exists(root_ + "/NOFOLDER"));
}

TEST_F(PathsTest, WriteFileReplacingOverAFolderFailsAndLeavesItAlone) {
  Write("saves/DIR.SAV/inside.txt", "kept");
  EXPECT_TRUE(Failed(WriteFileReplacing("SAVES\\dir.sav", "new", 3)));
  EXPECT_TRUE(fs::is_directory(root_ + "/saves/DIR.SAV"));
  EXPECT_EQ(ReadText(root_ + "/saves/DIR.SAV/inside.txt"), "kept");
  EXPECT_EQ(NamesIn(root_ + "/saves"), std::vector<std::string>{"DIR.SAV"});  // no temporary left
}

TEST_F(PathsTest, WriteFileReplacingKeepsAReadOnlyFile) {
  Write("saves/game.sav", "old content");
  fs::permissions(root_ + "/saves/game.sav", fs::perms::owner_read | fs::perms::group_read);
  EXPECT_TRUE(Failed(WriteFileReplacing("SAVES\\GAME.SAV", "new", 3)));
  EXPECT_EQ(ReadText(root_ + "/saves/game.sav"), "old content");
  EXPECT_EQ(NamesIn(root_ + "/saves"), std::vector<std::string>{"game.sav"});  // no temporary left
  fs::permissions(root_ + "/saves/game.sav", fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(WriteFileReplacing("SAVES\\GAME.SAV", "new", 3), kOk);
}

TEST_F(PathsTest, WriteFileReplacingInAnUnwritableFolderKeepsTheOldFile) {
  Write("saves/game.sav", "old content");
  // The superuser writes anywhere, so then the write runs in a child process
  // that has given up its rights; the folders must let it look up the path.
  fs::permissions(tmp_.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(root_ + "/saves", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  Status status = kOk;
  if (::geteuid() == 0) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
      const Status s = WriteFileReplacing("SAVES\\GAME.SAV", "new", 3);
      ::_exit(Failed(s) ? 1 : 0);
    }
    int wstatus = 0;
    ASSERT_EQ(::waitpid(child, &wstatus, 0), child);
    ASSERT_TRUE(WIFEXITED(wstatus));
    ASSERT_NE(WEXITSTATUS(wstatus), 2) << "could not drop privileges";
    status = WEXITSTATUS(wstatus) == 1 ? kFail : kOk;
  } else {
    status = WriteFileReplacing("SAVES\\GAME.SAV", "new", 3);
  }
  fs::permissions(root_ + "/saves", fs::perms::owner_all);
  EXPECT_TRUE(Failed(status));
  EXPECT_EQ(ReadText(root_ + "/saves/game.sav"), "old content");
  EXPECT_EQ(NamesIn(root_ + "/saves"), std::vector<std::string>{"game.sav"});
}

// Game names are Windows-1252: each is written under its UTF-8 name and
// listed and read back in the game's bytes; a raw 8-bit name an older build
// wrote (no UTF-8) is still listed and read under its own bytes.
TEST_F(PathsTest, EightBitNamesAreUtf8OnDiskAndRoundTrip) {
  struct Case {
    const char *game, *disk;  // Windows-1252, UTF-8
  } const cases[] = {
      {"Caf\xE9.SAV", "Caf\xC3\xA9.SAV"},
      {"\xC5" "land \xFC" "ber.SAV", "\xC3\x85" "land \xC3\xBC" "ber.SAV"},
      {"\x80 Stra\xDF" "e.SAV", "\xE2\x82\xAC Stra\xC3\x9F" "e.SAV"},
      {"\x8Auvi\xF1" "a.SAV", "\xC5\xA0uvi\xC3\xB1" "a.SAV"},
      {"Plain.SAV", "Plain.SAV"},
  };
  Write("Savegame/Old\xE9.SAV", "Old\xE9.SAV");
  std::vector<std::string> games{"Old\xE9.SAV"}, disk{"Old\xE9.SAV"};
  for (const Case& c : cases) {
    ASSERT_EQ(WriteFileReplacing(std::string("Savegame\\") + c.game, c.game, std::strlen(c.game)), kOk) << c.disk;
    EXPECT_EQ(ReadText(root_ + "/Savegame/" + c.disk), c.game) << c.disk;
    games.emplace_back(c.game), disk.emplace_back(c.disk);
  }
  for (const std::string& game : games) {
    const auto bytes = ReadFileBytes("Savegame\\" + game);
    ASSERT_TRUE(bytes) << game;
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), game);
  }
  auto listed = ListGameDirectory("Savegame", "*.SAV", true);
  for (auto* names : {&games, &disk, &listed}) std::sort(names->begin(), names->end());
  EXPECT_EQ(NamesIn(root_ + "/Savegame"), disk);
  EXPECT_EQ(listed, games);
}

TEST_F(PathsTest, SetDataRootDropsTrailingSlashes) {
  SetDataRoot(root_ + "//");
  EXPECT_EQ(DataRoot(), root_);
  SetDataRoot("");
  EXPECT_EQ(DataRoot(), ".");
  SetDataRoot("/");
  EXPECT_EQ(DataRoot(), "/");
}

class EnvironmentGuard {
 public:
  explicit EnvironmentGuard(const char* name) : name_(name) {
    const char* value = std::getenv(name);
    had_ = value != nullptr;
    if (had_) value_ = value;
  }
  ~EnvironmentGuard() {
    if (had_) {
      ::setenv(name_, value_.c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string value_;
};

TEST(ConfigDirectoryTest, FollowsXdgConfigHomeElseHome) {
  EnvironmentGuard xdg("XDG_CONFIG_HOME");
  EnvironmentGuard home("HOME");
  ::setenv("HOME", "/home/tester", 1);
  ::setenv("XDG_CONFIG_HOME", "/cfg/place", 1);
  EXPECT_EQ(ConfigDirectory(), "/cfg/place/veldrane");
  ::setenv("XDG_CONFIG_HOME", "/cfg/place/", 1);
  EXPECT_EQ(ConfigDirectory(), "/cfg/place/veldrane");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(ConfigDirectory(), "/home/tester/.config/veldrane");
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(ConfigDirectory(), "/home/tester/.config/veldrane");
  // A relative setting is ignored, as the XDG base directory rules have it.
  ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
  EXPECT_EQ(ConfigDirectory(), "/home/tester/.config/veldrane");
}

// The test program's own folder is a build folder, which holds no game data,
// so the search goes on to argv[0] and the current folder.
bool OwnFolderHoldsGameData() {
  const fs::path own = fs::read_symlink("/proc/self/exe").parent_path();
  for (const auto& entry : fs::directory_iterator(own)) {
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (entry.is_directory() && (name == "INI" || name == "GRAPHICS")) return true;
  }
  return false;
}

TEST(FindDataRootTest, UsesTheStartingNamesFolderWhenItHoldsGameData) {
  if (OwnFolderHoldsGameData()) GTEST_SKIP() << "the test program sits in a data root";
  TempDir withData;
  fs::create_directories(withData.path() + "/Graphics");
  const std::string real = fs::canonical(withData.path()).string();
  EXPECT_EQ(FindDataRoot((withData.path() + "/veldrane").c_str()), real);
  EXPECT_EQ(FindDataRoot((withData.path() + "/./veldrane").c_str()), real);

  TempDir withIni;
  fs::create_directories(withIni.path() + "/ini");
  EXPECT_EQ(FindDataRoot((withIni.path() + "/veldrane").c_str()), fs::canonical(withIni.path()).string());
}

TEST(FindDataRootTest, FallsBackToTheCurrentFolder) {
  if (OwnFolderHoldsGameData()) GTEST_SKIP() << "the test program sits in a data root";
  TempDir empty;
  fs::create_directories(empty.path() + "/GRAPHICS.txt");  // a name that only looks like it
  ::close(::open((empty.path() + "/INI").c_str(), O_CREAT | O_WRONLY, 0644));  // a file, not a folder
  const std::string current = fs::current_path().string();
  EXPECT_EQ(FindDataRoot((empty.path() + "/veldrane").c_str()), current);
  EXPECT_EQ(FindDataRoot("veldrane"), current);
  EXPECT_EQ(FindDataRoot(nullptr), current);
}

}  // namespace
}  // namespace plat
