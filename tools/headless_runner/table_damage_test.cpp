// Damaged rule tables as a player who edits them meets them: each CSV table
// the game reads, with one cell or line damaged in each way a hand edit or a
// bad copy leaves it, is read with a warning in the log that names the file
// and line, and the game plays on with figures near those of the undamaged
// tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"
#include "runner_test_support.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The data root in a fresh folder: every entry a link into the built game,
// with the table folders made of links file by file, so that one table can
// be replaced by a damaged copy, and a save folder of its own, where the
// runner writes its logs.
void LinkDataRoot(const fs::path& from, const fs::path& to) {
  for (const fs::directory_entry& e : fs::directory_iterator(from)) {
    const std::string name = e.path().filename().string();
    if (name == "Savegame") {
      fs::create_directory(to / name);
    } else if (name == "INI" || name == "AI" || name == "PlayerSet") {
      fs::create_directory(to / name);
      for (const fs::directory_entry& f : fs::directory_iterator(e.path()))
        fs::create_symlink(f.path(), to / name / f.path().filename());
    } else {
      fs::create_directory_symlink(e.path(), to / name);
    }
  }
}

// What each damage puts in the cell; a truncated line (no text) ends before it.
struct Damage {
  const char* name;
  std::string_view cell;
};
const std::string kMegabyte(size_t{1} << 20, '7');
const Damage kDamages[] = {{"truncated line", {}},          {"empty cell", ""},  {"nan", "nan"},
                           {"inf", "inf"},                  {"1e308", "1e308"},  {"1e30", "1e30"},
                           {"1 MB line", kMegabyte},        {"NUL byte", std::string_view("\0", 1)}};

// Damages cell `cell` (1 = the first) of the first line that begins with
// `line`; returns the damaged line's number.
int DamageLine(std::string& text, const std::string& line, int cell, const Damage& damage) {
  const size_t hit = text.compare(0, line.size(), line) == 0 ? 0 : text.find("\n" + line);
  if (hit == std::string::npos) {
    ADD_FAILURE() << "no line begins " << line;
    return 0;
  }
  const size_t begin = hit == 0 ? 0 : hit + 1;
  const size_t end = text.find_first_of("\r\n", begin);
  std::vector<std::string> cells;
  std::stringstream row(text.substr(begin, end - begin));
  for (std::string c; std::getline(row, c, ',');) cells.push_back(c);
  if (damage.cell.data())
    cells[static_cast<size_t>(cell - 1)] = damage.cell;
  else
    cells.resize(static_cast<size_t>(std::max(cell - 1, 1)));
  std::string damaged;
  for (size_t i = 0; i < cells.size(); ++i) damaged += (i ? "," : "") + cells[i];
  text.replace(begin, end - begin, damaged);
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<ptrdiff_t>(begin), '\n'));
}

// Population, GDP and treasury of the last day line.
std::vector<double> LastFigures(const std::string& out) {
  std::vector<double> figures;
  const size_t day = out.rfind("\nday ");
  if (day == std::string::npos) return figures;
  std::istringstream words(out.substr(day + 1, out.find('\n', day + 1) - day - 1));
  for (std::string word; words >> word;) {
    if (word == "population" || word == "gdp" || word == "treasury") {
      double v = 0;
      words >> v;
      figures.push_back(v);
    }
  }
  return figures;
}

// The game file, line and cell damaged in each table: a figure the game
// plays with wherever the table has one.
struct Table {
  const char* file;
  const char* line;
  int cell;
};
const Table kTables[] = {
    {"INI/CVars2.CSV", "Industrial goods per unit,", 2},
    {"INI/techtreeeffects.CSV", "1,GDP growth,", 3},
    {"INI/training.CSV", "2,Weapons Training,", 3},
    {"INI/rtreaties.CSV", "1,Alliance,", 7},
    {"INI/wtreaties.CSV", "1,World Trade Charter,", 4},
    {"INI/wmvotes.CSV", "1,Admit a Member,", 4},
    {"INI/newsitems.CSV", "4,", 8},
    {"INI/orders.CSV", "1,Move,", 5},
    {"INI/deptprior.CSV", "2,Secure energy,", 3},
    {"INI/cabinetconcerns.CSV", "2,Readiness", 1},
    {"AI/AIparams.CSV", "0.1,0.4,0.7", 2},
};

// One test per table, so that the runs spread over the program's shards.
// The linked data root and the undamaged run's figures are made once.
class TableDamage : public testing::TestWithParam<Table> {
 protected:
  static void SetUpTestSuite() {
    previousRoot_ = new std::string(plat::DataRoot());
    dir_ = new TempDir;
    LinkDataRoot(VD_GAME_DIR, fs::path(dir_->path()));
    plat::SetDataRoot(dir_->path());
    const runner_test::RunResult good = runner_test::RunRunner({"--days", "3", "Channel"});
    goodError_ = new std::string(good.code == 0 ? "" : good.err);
    goodFigures_ = new std::vector<double>(LastFigures(good.out));
  }
  static void TearDownTestSuite() {
    plat::SetDataRoot(*previousRoot_);
    delete previousRoot_;
    delete dir_;
    delete goodError_;
    delete goodFigures_;
  }
  static std::string* previousRoot_;
  static TempDir* dir_;
  static std::string* goodError_;
  static std::vector<double>* goodFigures_;
};
std::string* TableDamage::previousRoot_ = nullptr;
TempDir* TableDamage::dir_ = nullptr;
std::string* TableDamage::goodError_ = nullptr;
std::vector<double>* TableDamage::goodFigures_ = nullptr;

TEST_P(TableDamage, WarnsOfEachDamageAndThePlayStaysSane) {
  ASSERT_EQ(*goodError_, "") << "the undamaged tables do not play";
  const std::vector<double>& goodFigures = *goodFigures_;
  ASSERT_EQ(goodFigures.size(), 3u);
  const Table& table = GetParam();
  const fs::path path = fs::path(dir_->path()) / table.file;
  const fs::path original = fs::read_symlink(path);
  for (const Damage& damage : kDamages) {
    const std::string what = std::string(table.file) + ", " + damage.name;
    std::string text = ReadText(original);
    const int line = DamageLine(text, table.line, table.cell, damage);
    fs::remove(path);
    std::ofstream(path, std::ios::binary) << text;

    std::FILE* log = std::tmpfile();
    runner_test::RunResult r;
    {
      const runner_test::LogMirrorTo mirror(log);
      r = runner_test::RunRunner({"--days", "3", "Channel"});
    }
    const std::string logged = runner_test::ReadAll(log);
    fs::remove(path);
    fs::create_symlink(original, path);

    EXPECT_EQ(r.code, 0) << what << "\n" << r.err;
    std::string named = std::string(table.file) + " line " + std::to_string(line) + " ";
    for (char& c : named) c = c == '/' ? '\\' : c;
    EXPECT_NE(logged.find(named), std::string::npos) << what << ": no warning naming " << named;
    std::string bad;
    EXPECT_TRUE(runner_test::DayLinesFinite(r.out, bad)) << what << ": " << bad;
    const std::vector<double> figures = LastFigures(r.out);
    ASSERT_EQ(figures.size(), 3u) << what;
    for (size_t i = 0; i < figures.size(); ++i)
      EXPECT_TRUE(figures[i] > goodFigures[i] / 2 && figures[i] < goodFigures[i] * 2)
          << what << ": figure " << i << " is " << figures[i] << " against " << goodFigures[i];
  }
}

// Files read whole, which are only lost or swollen: the rule tables, and
// the settings the scenario gives its regions.
class TableLoss : public TableDamage {};

// A table lost in a copy, or one of 64 GB that holds nothing (sparse: no
// disk is used), is named in the log, and the game plays on.
TEST_P(TableLoss, AMissingOrHugeTableIsNamed) {
  ASSERT_EQ(*goodError_, "") << "the undamaged tables do not play";
  const Table& table = GetParam();
  const fs::path path = fs::path(dir_->path()) / table.file;
  const fs::path original = fs::read_symlink(path);
  std::string named = table.file;
  for (char& c : named) c = c == '/' ? '\\' : c;
  for (const bool huge : {false, true}) {
    const std::string what = std::string(table.file) + (huge ? ", 64 GB" : ", missing");
    fs::remove(path);
    if (huge) {
      std::ofstream{path};
      fs::resize_file(path, uint64_t{64} << 30);
    }
    std::FILE* log = std::tmpfile();
    runner_test::RunResult r;
    {
      const runner_test::LogMirrorTo mirror(log);
      r = runner_test::RunRunner({"--days", "3", "Channel"});
    }
    const std::string logged = runner_test::ReadAll(log);
    fs::remove(path);
    fs::create_symlink(original, path);
    EXPECT_EQ(r.code, 0) << what << "\n" << r.err;
    const std::string said = named + (huge ? ": the file holds 68719476736 bytes" : ": the file is missing");
    EXPECT_NE(logged.find(said), std::string::npos) << what << ": no line " << said << "\n" << logged;
    std::string bad;
    EXPECT_TRUE(runner_test::DayLinesFinite(r.out, bad)) << what << ": " << bad;
  }
}

std::string TableName(const testing::TestParamInfo<Table>& info) {
  std::string name;
  for (const char* c = info.param.file; *c; ++c)
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  return name;
}
INSTANTIATE_TEST_SUITE_P(EveryTable, TableDamage, testing::ValuesIn(kTables), TableName);
const auto kWholeFiles = [] {
  std::vector<Table> files(std::begin(kTables), std::end(kTables));
  files.push_back({"PlayerSet/Default.INI", "", 0});
  return files;
}();
INSTANTIATE_TEST_SUITE_P(EveryTable, TableLoss, testing::ValuesIn(kWholeFiles), TableName);

}  // namespace
