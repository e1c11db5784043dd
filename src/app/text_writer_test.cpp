#include "app/text_writer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <fstream>
#include <sstream>
#include <string>

#include "app/text_tokenizer.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

// Runs the writer into memory and returns what it wrote.
template <typename Write>
std::string Written(Write write) {
  char* memory = nullptr;
  size_t size = 0;
  std::FILE* file = open_memstream(&memory, &size);
  write(file);
  std::fclose(file);
  std::string text(memory, size);
  std::free(memory);
  return text;
}

TEST(TextWriter, KeyLinesHaveTabCommaBlankAndCrLf) {
  EXPECT_EQ(Written([](std::FILE* f) { WriteKeyIntLine(f, "tabstay", 1); }), "tabstay\t1, \r\n");
  EXPECT_EQ(Written([](std::FILE* f) { WriteKeyIntLine(f, "n", -2147483647 - 1); }), "n\t-2147483648, \r\n");
  EXPECT_EQ(Written([](std::FILE* f) { WriteKeyByteLine(f, "b", 200); }), "b\t200, \r\n");
  EXPECT_EQ(Written([](std::FILE* f) { WriteKeyFloatLine(f, "k", 1.5f); }), "k\t1.500000, \r\n");
  EXPECT_EQ(Written([](std::FILE* f) { WriteFloatField(f, 1.5f); }), "1.500000, ");
}

TEST(TextWriter, FloatsRoundToNearestEvenInGameMode) {
  // Under round toward zero the C library would print 0.666666.
  EXPECT_EQ(Written([](std::FILE* f) { WriteKeyFloatLine(f, "k", 0.6666667f); }), "k\t0.666667, \r\n");
  EXPECT_EQ(Written([](std::FILE* f) { WriteFloatField(f, -0.6666667f); }), "-0.666667, ");
  const std::string huge = Written([](std::FILE* f) { WriteKeyFloatLine(f, "k", -FLT_MAX); });
  EXPECT_EQ(huge, "k\t-340282346638528859811704183484516925440.000000, \r\n");
}

TEST(TextWriter, WrittenFileReadsBackThroughTheTokenizer) {
  TempDir dir;
  plat::SetDataRoot(dir.path());
  dir.Write("INI/keep.txt", "");
  ReplacingFile file;
  ASSERT_EQ(CreateTextFile("INI\\", file, "Options", ".INI"), plat::kOk);
  WriteKeyIntLine(file.get(), "speed", -17);
  WriteKeyByteLine(file.get(), "level", 250);
  WriteKeyFloatLine(file.get(), "rate", 0.1f);
  std::fputs("list\t", file.get());
  WriteFloatField(file.get(), 2.5f);
  WriteFloatField(file.get(), -3.25f);
  std::fputs("\r\n", file.get());
  ASSERT_EQ(file.Close(), plat::kOk);

  TextTokenizer t;
  ASSERT_EQ(LoadTextFile("INI\\", t, "Options", ".INI"), plat::kOk);
  EXPECT_STREQ(t.text, "speed\t-17, \r\nlevel\t250, \r\nrate\t0.100000, \r\nlist\t2.500000, -3.250000, \r\n");
  t.cursor = FindKeyword(t, "speed", false);
  EXPECT_EQ(ReadFieldInt32(t, 0), -17);
  t.cursor = FindKeyword(t, "level", false);
  EXPECT_EQ(ReadFieldInt(t, 0), 250);
  t.cursor = FindKeyword(t, "rate", false);
  EXPECT_EQ(ReadFieldFloat(t, 0.0f), 0.1f);
  t.cursor = FindKeyword(t, "list", false);
  EXPECT_EQ(ReadFieldFloat(t, 0.0f), 2.5f);
  EXPECT_EQ(ReadFieldFloat(t, 0.0f), -3.25f);
  EXPECT_EQ(ReadFieldFloat(t, 9.0f), 9.0f);
}

TEST(TextWriter, CreateTextFileFailsWithoutItsFolder) {
  TempDir dir;
  plat::SetDataRoot(dir.path());
  ReplacingFile file;
  EXPECT_EQ(CreateTextFile("PlayerSet\\", file, "Bob", ".INI"), plat::kFail);
  WriteKeyIntLine(file.get(), "ignored", 1);  // skipped silently
  EXPECT_FALSE(file.isOpen());
}

}  // namespace
