#include "app/text_tokenizer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <string>

#include "app/log.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

std::string Take(char* text) {
  std::string result = text ? text : "<null>";
  FreeAndClear(text);
  return result;
}

TEST(FindKeyword, PointsPastTheSeparatorsAtTheValue) {
  TextTokenizer t;
  InitTokenizer(t, "alpha 1\r\nspeed = 12, 13\r\n");
  char* value = FindKeyword(t, "speed", false);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(std::string(value, 2), "12");
  EXPECT_EQ(t.notFound, 0);
  EXPECT_EQ(t.cursor, t.text);  // never moves the cursor
}

TEST(FindKeyword, StartOfALongerWordIsNoMatchButAnEndIs) {
  TextTokenizer t;
  InitTokenizer(t, "speedy 5");
  EXPECT_EQ(FindKeyword(t, "speed", false), nullptr);
  EXPECT_EQ(t.notFound, 1);

  InitTokenizer(t, "xspeed 7");
  char* value = FindKeyword(t, "speed", false);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(*value, '7');

  // The first hit is only a prefix; the search goes on to the real one.
  InitTokenizer(t, "speedy 1, speed;3");
  value = FindKeyword(t, "speed", false);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(*value, '3');
  EXPECT_EQ(t.notFound, 0);
}

TEST(FindKeyword, AtALineEndOrTheTextEnd) {
  TextTokenizer t;
  InitTokenizer(t, "name\r\nother");
  char* value = FindKeyword(t, "name", false);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(*value, '\r');

  InitTokenizer(t, "x -mapedit");
  value = FindKeyword(t, "-mapedit", false);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(*value, '\0');
  EXPECT_EQ(t.notFound, 0);
}

TEST(FindKeyword, FromTheCursor) {
  TextTokenizer t;
  InitTokenizer(t, "key 1\nkey 2\n");
  char* first = FindKeyword(t, "key", true);  // cursor at the start
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(*first, '1');
  t.cursor = first;
  char* second = FindKeyword(t, "key", true);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(*second, '2');
  EXPECT_EQ(*FindKeyword(t, "key", false), '1');
  t.cursor = second;
  EXPECT_EQ(FindKeyword(t, "key", true), nullptr);
  EXPECT_EQ(t.notFound, 1);
}

TEST(ReadKeywordString, QuotedUnquotedAndDefault) {
  TextTokenizer t;
  InitTokenizer(t, "title \"My Game\", rest\r\nname Big Map, 3\r\n");
  EXPECT_EQ(Take(ReadKeywordString(t, "title", "x")), "My Game");
  EXPECT_EQ(Take(ReadKeywordString(t, "name", "x")), "Big Map, 3");
  EXPECT_EQ(Take(ReadKeywordString(t, "missing", "fallback")), "fallback");
  EXPECT_EQ(t.notFound, 1);
  EXPECT_EQ(ReadKeywordString(t, "missing", nullptr), nullptr);
}

TEST(FieldReaders, EmptyMiddleFieldGivesTheDefault) {
  TextTokenizer t;
  InitTokenizer(t, "4,,6\r\n");
  EXPECT_EQ(ReadFieldInt32(t, 9), 4);
  EXPECT_EQ(ReadFieldInt32(t, 9), 9);
  EXPECT_EQ(ReadFieldInt32(t, 9), 6);
}

TEST(FieldReaders, QuotedCommaStaysInOneField) {
  TextTokenizer t;
  InitTokenizer(t, "\"a, b\",next;last\r\n");
  EXPECT_EQ(Take(ReadFieldString(t, "d")), "a, b");
  EXPECT_EQ(Take(ReadFieldString(t, "d")), "next");
  EXPECT_EQ(Take(ReadFieldString(t, "d")), "last");
  EXPECT_EQ(Take(ReadFieldString(t, "d")), "d");
}

TEST(FieldReaders, ReadsPastALineEndGiveDefaultsUntilSkipLine) {
  TextTokenizer t;
  InitTokenizer(t, "1, 2\r\n3\r\n");
  EXPECT_EQ(ReadFieldInt32(t, 7), 1);
  EXPECT_EQ(ReadFieldInt32(t, 7), 2);
  EXPECT_EQ(ReadFieldInt32(t, 7), 7);
  EXPECT_EQ(ReadFieldInt32(t, 7), 7);
  EXPECT_EQ(*t.cursor, '\r');
  SkipLine(t);
  EXPECT_EQ(ReadFieldInt32(t, 7), 3);
  EXPECT_EQ(t.endOfText, 0);
  SkipLine(t);
  EXPECT_EQ(t.endOfText, 1);
  EXPECT_EQ(ReadFieldInt32(t, 7), 7);
}

TEST(FieldReaders, BasePrefixesOnlyForLong) {
  TextTokenizer t;
  InitTokenizer(t, "0x1F,0x1F,010,010,-0x10,0xFFFFFFFF,0x");
  EXPECT_EQ(ReadFieldLong(t, -1), 31);
  EXPECT_EQ(ReadFieldInt32(t, -1), 0);
  EXPECT_EQ(ReadFieldLong(t, -1), 8);
  EXPECT_EQ(ReadFieldInt32(t, -1), 10);
  EXPECT_EQ(ReadFieldLong(t, -1), -16);
  EXPECT_EQ(ReadFieldLong(t, 0), -1);  // the full 32-bit pattern of a colour word
  EXPECT_EQ(ReadFieldLong(t, -1), 0);  // "0x" without digits is the number 0
}

TEST(FieldReaders, ByteKeepsTheLowEightBits) {
  TextTokenizer t;
  InitTokenizer(t, "300,-1,12abc,x");
  EXPECT_EQ(ReadFieldInt(t, 1), 44);
  EXPECT_EQ(ReadFieldInt(t, 1), 255);
  EXPECT_EQ(ReadFieldInt(t, 1), 12);
  EXPECT_EQ(ReadFieldInt(t, 1), 0);  // no digits
}

TEST(FieldReaders, Int32StopsAtTheEndsOfItsRange) {
  TextTokenizer t;
  InitTokenizer(t, "99999999999,-99999999999,2147483647,-2147483648, +15");
  EXPECT_EQ(ReadFieldInt32(t, 0), INT32_MAX);
  EXPECT_EQ(ReadFieldInt32(t, 0), INT32_MIN);
  EXPECT_EQ(ReadFieldInt32(t, 0), INT32_MAX);
  EXPECT_EQ(ReadFieldInt32(t, 0), INT32_MIN);
  EXPECT_EQ(ReadFieldInt32(t, 0), 15);
}

// A switch cell is on when its leading integer is not 0, else when it
// starts with T or Y; a cell that is not a plain switch is read so and named
// in the log, and an integer beyond 32 bits keeps the default (7 here).
TEST(FieldReaders, BoolReadsTheLeadingIntegerThenTheFirstLetter) {
  const struct {
    const char* cell;
    int value;
    bool warned;
  } cells[] = {
      {"Yes", 1, false},  {"true", 1, false}, {"no", 0, false},       {"0", 0, false},
      {"5", 1, false},    {"False", 0, false}, {" t ", 1, false},     {"-1", 1, true},
      {"nan", 0, true},   {"Yes2", 1, true},  {"yes please", 1, true}, {"-2", 1, true},
      {"Tx", 1, true},    {"-inf", 0, true},  {"1.5", 1, true},       {"0.5", 0, true},
      {"ON", 0, true},    {"off", 0, true},   {"2147483648", 7, true}, {"-2147483649", 7, true},
      {"2147483647", 1, false}, {"-2147483648", 1, true}, {"", 7, false},
  };
  std::FILE* log = std::tmpfile();
  SetLogMirror(log);
  for (const auto& row : cells) {
    TextTokenizer t;
    InitTokenizer(t, (std::string(row.cell) + ",").c_str());
    const long before = std::ftell(log);
    EXPECT_EQ(ReadFieldBool(t, 7), row.value) << '"' << row.cell << '"';
    EXPECT_EQ(std::ftell(log) != before, row.warned) << '"' << row.cell << '"';
  }
  SetLogMirror(nullptr);
  std::fclose(log);
  TextTokenizer t;
  InitTokenizer(t, "1");
  EXPECT_EQ(ReadFieldBool(t, 7), 1);
  EXPECT_EQ(ReadFieldBool(t, 7), 7) << "no cell left";
}

TEST(FieldReaders, FloatIsDecimalOnlyAndRoundsToNearest) {
  TextTokenizer t;
  // Tests run in round-toward-zero; 0.1 must still read as the nearest float.
  InitTokenizer(t, "1.5,-2.25e1,0.1,.5,0x10,7e");
  EXPECT_EQ(ReadFieldFloat(t, 9.0f), 1.5f);
  EXPECT_EQ(ReadFieldFloat(t, 9.0f), -22.5f);
  EXPECT_EQ(ReadFieldFloat(t, 9.0f), 0.1f);
  EXPECT_EQ(ReadFieldFloat(t, 9.0f), 0.5f);
  EXPECT_EQ(ReadFieldFloat(t, 9.0f), 0.0f);  // the leading 0 only
  EXPECT_EQ(ReadFieldFloat(t, 9.0f), 7.0f);
  EXPECT_EQ(ReadFieldFloat(t, 9.0f), 9.0f);
}

// A field that holds no usable number is not used: the default is, and the
// log names the file, line and column, so a damaged table never plays on
// silently with 0 or the float range's end.
TEST(FieldReaders, AnUnusableNumberGivesTheDefaultAndIsNamedInTheLog) {
  TempDir dir;
  dir.Write("T.CSV", "1,2.5,3\n4,nan,inf,1e39\n-1e39,abc,7\n");
  plat::SetDataRoot(dir.path());
  std::FILE* log = std::tmpfile();
  SetLogMirror(log);
  TextTokenizer t;
  ASSERT_EQ(LoadTextFile("", t, "T", ".CSV"), plat::kOk);
  const struct {
    float value;
    const char* warning;  // null: read as written
  } cells[] = {{1, nullptr},  {2.5f, nullptr},       {3, nullptr},          {4, nullptr},
               {9, "line 2 column 2: \"nan\""}, {9, "line 2 column 3: \"inf\""}, {9, "line 2 column 4: \"1e39\""},
               {9, "line 3 column 1: \"-1e39\""}, {9, "line 3 column 2: \"abc\""}, {7, nullptr}};
  for (const auto& cell : cells) {
    const long before = std::ftell(log);
    EXPECT_EQ(ReadFieldFloat(t, 9.0f), cell.value);
    std::string written(static_cast<size_t>(std::ftell(log) - before), '\0');
    std::fseek(log, before, SEEK_SET);
    ASSERT_EQ(std::fread(written.data(), 1, written.size(), log), written.size());
    if (cell.warning) {
      EXPECT_NE(written.find("T.CSV " + std::string(cell.warning)), std::string::npos) << written;
    } else {
      EXPECT_EQ(written, "");
    }
    if (t.cursor && *t.cursor == '\n') SkipLine(t);
  }
  SetLogMirror(nullptr);
  std::fclose(log);
}

TEST(FieldReaders, StringKeepsBlanksAndCopiesDefaults) {
  TextTokenizer t;
  InitTokenizer(t, "hello world ,,x\r\n");
  EXPECT_EQ(Take(ReadFieldString(t, "d")), "hello world ");
  EXPECT_EQ(Take(ReadFieldString(t, "d")), "d");
  EXPECT_EQ(Take(ReadFieldString(t, nullptr)), "x");
  EXPECT_EQ(ReadFieldString(t, nullptr), nullptr);  // absent, no default

  InitTokenizer(t, ",");
  EXPECT_EQ(ReadFieldString(t, nullptr), nullptr);  // empty, no default
}

TEST(FieldReaders, UnclosedQuoteEndsAtTheLineEnd) {
  TextTokenizer t;
  InitTokenizer(t, "\"open, text\r\n5");
  EXPECT_EQ(Take(ReadFieldString(t, "d")), "open, text");
  EXPECT_EQ(*t.cursor, '\r');
  SkipLine(t);
  EXPECT_EQ(ReadFieldInt32(t, 0), 5);
}

TEST(SkipField, StepsOverQuotesSeparatorAndBlanks) {
  TextTokenizer t;
  InitTokenizer(t, "ab\"c,d\"e; \t f");
  SkipField(t);
  EXPECT_EQ(*t.cursor, 'f');
  EXPECT_EQ(t.endOfText, 0);
  SkipField(t);
  EXPECT_EQ(*t.cursor, '\0');
  EXPECT_EQ(t.endOfText, 1);

  TextTokenizer none;
  SkipField(none);  // a null cursor is left alone
  SkipLine(none);
  EXPECT_EQ(none.cursor, nullptr);
  EXPECT_EQ(ReadFieldInt32(none, 3), 3);
}

TEST(SkipLine, CrLfLoneLfAndLoneCrEachEndOneLine) {
  TextTokenizer t;
  InitTokenizer(t, "a\r\nb\nc\rd");
  std::string firsts;
  for (int i = 0; i < 4; ++i) {
    firsts += *t.cursor;
    SkipLine(t);
  }
  EXPECT_EQ(firsts, "abcd");
  EXPECT_EQ(t.endOfText, 1);
}

TEST(InitTokenizer, CopiesTheTextWithItsTerminatorCounted) {
  std::string source = "abc";
  TextTokenizer t;
  InitTokenizer(t, source.c_str());
  source[0] = 'x';
  EXPECT_STREQ(t.text, "abc");
  EXPECT_EQ(t.length, 4);
  EXPECT_EQ(t.cursor, t.text);
  InitTokenizer(t, nullptr);
  EXPECT_STREQ(t.text, "");
  EXPECT_EQ(t.length, 1);
}

TEST(LoadTextFile, ReadsTheWholeFileIncludingItsLastCharacter) {
  TempDir dir;
  plat::SetDataRoot(dir.path());
  dir.Write("ini/options.ini", "k 1,2,3");
  TextTokenizer t;
  ASSERT_EQ(LoadTextFile("INI\\", t, "Options", ".INI"), plat::kOk);
  EXPECT_EQ(t.length, 7);
  EXPECT_EQ(t.cursor, t.text);
  EXPECT_EQ(t.notFound, 0);
  EXPECT_EQ(t.endOfText, 0);
  t.cursor = FindKeyword(t, "k", false);
  EXPECT_EQ(ReadFieldInt32(t, 0), 1);
  EXPECT_EQ(ReadFieldInt32(t, 0), 2);
  EXPECT_EQ(ReadFieldInt32(t, 0), 3);
  EXPECT_EQ(t.endOfText, 1);
}

TEST(LoadTextFile, EmptyOrMissingFileFailsWithNoText) {
  TempDir dir;
  plat::SetDataRoot(dir.path());
  dir.Write("INI/empty.ini", "");
  TextTokenizer t;
  InitTokenizer(t, "old");
  EXPECT_EQ(LoadTextFile("INI\\", t, "empty", ".ini"), plat::kFail);
  EXPECT_EQ(t.text, nullptr);
  EXPECT_EQ(t.cursor, nullptr);
  EXPECT_EQ(LoadTextFile("INI\\", t, "missing", ".ini"), plat::kFail);
  EXPECT_EQ(t.text, nullptr);
  EXPECT_EQ(ReadFieldInt32(t, 4), 4);
  EXPECT_EQ(FindKeyword(t, "x", false), nullptr);
}

TEST(LoadTextFile, TextStopsAtAnEmbeddedZeroByte) {
  TempDir dir;
  plat::SetDataRoot(dir.path());
  dir.Write("a.txt", std::string("key 5\0key 6", 11));
  TextTokenizer t;
  ASSERT_EQ(LoadTextFile("", t, "a", ".txt"), plat::kOk);
  EXPECT_EQ(t.length, 11);
  t.cursor = FindKeyword(t, "key", false);
  EXPECT_EQ(ReadFieldInt32(t, 0), 5);
  EXPECT_EQ(t.endOfText, 1);
  t.cursor = FindKeyword(t, "key", true);
  EXPECT_EQ(t.cursor, nullptr);
}

}  // namespace
