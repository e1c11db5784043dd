// Which names the file dialogs take: a name that would leave its folder or
// carries a control character counts as no name, and nothing is done.
#include <gtest/gtest.h>

#include <string>

#include "screens/frontend/game_file_screen.h"

namespace {

TEST(GameFileScreen, ANameThatLeavesItsFolderCountsAsNone) {
  const struct {
    std::string name;
    bool usable;
  } kRows[] = {
      {"Probe", true},         {"My game 2", true},    {"", false},           {"..\\x", false},
      {"../x", false},         {"a/b", false},         {"a\\b", false},       {"C:game", false},
      {"tab\there", false},    {"x..y", false},        {"\x7F", false},        {std::string(40, 'N'), true},
  };
  GameFileScreen dialog;
  std::string chosen = "unchanged";
  dialog.fileName = &chosen;
  dialog.options[0] = 0;  // hand the name back only
  for (const auto& row : kRows) {
    EXPECT_EQ(UsableFileName(row.name), row.usable) << row.name;
    chosen = "unchanged";
    EXPECT_EQ(dialog.Confirm(row.name), row.usable) << row.name;
    EXPECT_EQ(chosen, row.usable ? row.name : "unchanged") << row.name;
  }
}

}  // namespace
