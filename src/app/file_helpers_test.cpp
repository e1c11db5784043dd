#include "app/file_helpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> Entries(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
  return names;
}

class FileHelpers : public ::testing::Test {
 protected:
  void SetUp() override { plat::SetDataRoot(dir.path()); }
  TempDir dir;
};

TEST_F(FileHelpers, WriteWholeFileRoundTripsBinaryPiecesInOrder) {
  std::vector<uint8_t> first(1000), second(77);
  uint32_t x = 12345;
  for (auto& b : first) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  for (auto& b : second) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  fs::create_directories(dir.path() + "/CUSTOM");
  ASSERT_EQ(WriteWholeFile("CUSTOM\\test.map", {{first.data(), first.size()}, {nullptr, 50}, {second.data(), second.size()}}),
            plat::kOk);
  std::vector<uint8_t> expected = first;
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(plat::ReadFileBytes("custom\\TEST.MAP"), expected);
  // Nothing but the file is left in the folder.
  EXPECT_EQ(Entries(dir.path() + "/CUSTOM"), std::vector<std::string>{"test.map"});
}

TEST_F(FileHelpers, WriteWholeFileReplacesAndFailsCleanly) {
  const std::string path = dir.Write("MAPS/x.gam", "old content");
  ASSERT_EQ(WriteWholeFile("MAPS\\x.gam", {{"new", 3}}), plat::kOk);
  EXPECT_EQ(Slurp(path), "new");
  EXPECT_EQ(WriteWholeFile("NOFOLDER\\x.gam", {{"new", 3}}), plat::kFail);
  EXPECT_FALSE(fs::exists(dir.path() + "/NOFOLDER"));
}

TEST_F(FileHelpers, WriteBuffersWritesPiecesToAnOpenFile) {
  EXPECT_EQ(WriteBuffers(nullptr, {{"a", 1}}), plat::kFail);
  std::FILE* file = OpenFileForWrite("pieces.bin", false);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(WriteBuffers(file, {{"ab", 2}, {nullptr, 9}, {"cde", 3}}), plat::kOk);
  EXPECT_EQ(WriteBuffers(file, {{"f", 1}}), plat::kOk);
  std::fclose(file);
  EXPECT_EQ(Slurp(dir.path() + "/pieces.bin"), "abcdef");
}

TEST_F(FileHelpers, OpenFileForWriteReplacesOrAppends) {
  const std::string path = dir.Write("log.txt", "one\n");
  std::FILE* file = OpenFileForWrite("LOG.TXT", true);
  ASSERT_NE(file, nullptr);
  std::fputs("two\n", file);
  std::fclose(file);
  EXPECT_EQ(Slurp(path), "one\ntwo\n");
  file = OpenFileForWrite("log.txt", false);
  ASSERT_NE(file, nullptr);
  std::fputs("three\n", file);
  std::fclose(file);
  EXPECT_EQ(Slurp(path), "three\n");
  EXPECT_EQ(OpenFileForWrite("missing\\log.txt", true), nullptr);
}

TEST_F(FileHelpers, ReplacingFileKeepsTheOldFileUntilClosed) {
  const std::string path = dir.Write("INI/opts.ini", "old");
  {
    ReplacingFile file;
    ASSERT_EQ(file.Open("INI\\opts.ini"), plat::kOk);
    std::fputs("new text", file.get());
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_EQ(file.Close(), plat::kOk);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.Close(), plat::kFail);  // nothing open any more
  }
  EXPECT_EQ(Slurp(path), "new text");
  {
    ReplacingFile file;
    ASSERT_EQ(file.Open("INI\\opts.ini"), plat::kOk);
    std::fputs("dropped", file.get());
    file.Discard();
  }
  EXPECT_EQ(Slurp(path), "new text");
  {
    ReplacingFile file;
    ASSERT_EQ(file.Open("INI\\opts.ini"), plat::kOk);
    std::fputs("kept by the destructor", file.get());
  }
  EXPECT_EQ(Slurp(path), "kept by the destructor");
  EXPECT_EQ(Entries(dir.path() + "/INI"), std::vector<std::string>{"opts.ini"});
}

TEST_F(FileHelpers, ReplacingFileRefusesWhatCannotBeCreated) {
  fs::create_directories(dir.path() + "/INI/sub");
  ReplacingFile file;
  EXPECT_EQ(file.Open("NOFOLDER\\opts.ini"), plat::kFail);
  EXPECT_EQ(file.Open("INI\\sub"), plat::kFail);
  EXPECT_EQ(file.Open("\\abs.ini"), plat::kFail);
  EXPECT_EQ(file.get(), nullptr);
}

}  // namespace
