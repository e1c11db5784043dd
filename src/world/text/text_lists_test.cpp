#include "world/text/text_lists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/paths.h"
#include "platform/status.h"
#include "support/temp_dir.h"

namespace {

class TextListsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
  }
  void TearDown() override { plat::SetDataRoot(oldRoot_); }
  void Write(const std::string& text) const { dir_.Write("INI/LOCALEN.INI", text); }

  TempDir dir_;
  std::string oldRoot_;
};

TEST(TextListTable, HasTheListsInTheirOrderWithTheirCounts) {
  EXPECT_EQ(kTextListCount, 130);
  EXPECT_EQ(kTextListEntryCount, 1087);
  EXPECT_STREQ(TextListInfoOf(kListSocials).key, "socials");
  EXPECT_EQ(TextListInfoOf(kListSocials).first, 0);
  EXPECT_EQ(TextListInfoOf(kListCabinets).first, 7);
  EXPECT_STREQ(TextListInfoOf(kListMilranksArmy).key, "milranks-army");
  EXPECT_EQ(TextListInfoOf(kListEmailresponses).count, 60);
  EXPECT_EQ(TextListInfoOf(kListLocalphrases).count, 90);
  EXPECT_STREQ(TextListInfoOf(kListScortchtar).key, "scortchtar");
  EXPECT_EQ(TextListInfoOf(kListScortchtar).first + TextListInfoOf(kListScortchtar).count, 1087);
  int next = 0;
  for (int i = 0; i < kTextListCount; ++i) {
    EXPECT_EQ(TextListInfoOf(static_cast<TextListId>(i)).first, next) << i;
    next += TextListInfoOf(static_cast<TextListId>(i)).count;
  }
}

TEST_F(TextListsFile, ShortLinesGiveEmptyEntriesAndMissingListsStayNull) {
  Write("genders\tMale, Female, Other\r\nsocials\tA, B, C, D, E\r\n");
  TextLists lists;
  ASSERT_EQ(LoadTextLists(lists, "LOCALEN"), plat::kOk);
  EXPECT_STREQ(TextListEntry(lists, kListGenders, 0), "Male");
  EXPECT_STREQ(TextListEntry(lists, kListGenders, 1), "Female");
  EXPECT_EQ(TextListEntry(lists, kListGenders, 2), nullptr);  // beyond the list
  EXPECT_EQ(TextListEntry(lists, kListPolitic, 0), nullptr);  // the list after genders is untouched
  for (int i = 0; i < 5; ++i) EXPECT_STREQ(TextListEntry(lists, kListSocials, i), std::string(1, char('A' + i)).c_str());
  ASSERT_NE(TextListEntry(lists, kListSocials, 5), nullptr);
  EXPECT_STREQ(TextListEntry(lists, kListSocials, 5), "");
  ASSERT_NE(TextListEntry(lists, kListSocials, 6), nullptr);
  EXPECT_STREQ(TextListEntry(lists, kListSocials, 6), "");
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(TextListEntry(lists, kListWeather, i), nullptr);
    EXPECT_STREQ(TextListText(lists, kListWeather, i), "");
  }
  EXPECT_STREQ(TextListText(lists, kListWeather, -1), "");
  EXPECT_STREQ(TextListText(lists, kListWeather, 16), "");
}

TEST_F(TextListsFile, QuotedEntriesKeepTheirCommasAndEntriesStayOnTheirLine) {
  Write("politic\t\"Left, radical\";Centre\r\nRight\r\nweathertemp\t, Cold,\"\" ,Hot\r\n");
  TextLists lists;
  ASSERT_EQ(LoadTextLists(lists, "LOCALEN"), plat::kOk);
  EXPECT_STREQ(TextListEntry(lists, kListPolitic, 0), "Left, radical");
  EXPECT_STREQ(TextListEntry(lists, kListPolitic, 1), "Centre");
  EXPECT_STREQ(TextListEntry(lists, kListPolitic, 2), "");  // "Right" is on the next line
  // The separators right after the key are skipped with it.
  EXPECT_STREQ(TextListEntry(lists, kListWeathertemp, 0), "Cold");
  EXPECT_STREQ(TextListEntry(lists, kListWeathertemp, 1), "");
  EXPECT_STREQ(TextListEntry(lists, kListWeathertemp, 2), "Hot");
  EXPECT_STREQ(TextListEntry(lists, kListWeathertemp, 3), "");
}

TEST_F(TextListsFile, AKeyAtTheTailOfALongerWordIsFoundThere) {
  // The keyword rule looks only at the character after a hit.
  Write("xgenders, One, Two\r\ngenders, Three, Four\r\n");
  TextLists lists;
  ASSERT_EQ(LoadTextLists(lists, "LOCALEN"), plat::kOk);
  EXPECT_STREQ(TextListEntry(lists, kListGenders, 0), "One");
  // "productsl" is not taken for "products", whose own line comes later.
  Write("productsl\tA\r\nproducts\tB\r\n");
  ASSERT_EQ(LoadTextLists(lists, "LOCALEN"), plat::kOk);
  EXPECT_STREQ(TextListEntry(lists, kListProductsl, 0), "A");
  EXPECT_STREQ(TextListEntry(lists, kListProducts, 0), "B");
}

TEST_F(TextListsFile, AMissingFileLeavesEveryListAsItWas) {
  Write("offon\tOff, On\r\n");
  TextLists lists;
  ASSERT_EQ(LoadTextLists(lists, "LOCALEN"), plat::kOk);
  EXPECT_EQ(LoadTextLists(lists, "NOSUCH"), plat::kFail);
  EXPECT_STREQ(TextListEntry(lists, kListOffon, 1), "On");
  Write("");
  EXPECT_EQ(LoadTextLists(lists, "LOCALEN"), plat::kFail);
  EXPECT_STREQ(TextListEntry(lists, kListOffon, 0), "Off");
  EXPECT_EQ(LoadTextLists(lists, nullptr), plat::kFail);
  // A reload replaces what a list held.
  Write("offon\tNo, Yes\r\n");
  ASSERT_EQ(LoadTextLists(lists, "LOCALEN"), plat::kOk);
  EXPECT_STREQ(TextListEntry(lists, kListOffon, 0), "No");
}

}  // namespace
