#include "sim/safe_file_name.h"

#include <gtest/gtest.h>

namespace {

TEST(SafeFileName, KeepsOrdinaryNames) {
  EXPECT_EQ(SafeFileNamePart("Anna Smith"), "Anna Smith");
  EXPECT_EQ(SafeFileNamePart("v1.2"), "v1.2");
  EXPECT_EQ(SafeFileNamePart(""), "");
}

TEST(SafeFileName, NoSeparatorsDrivesParentStepsOrControls) {
  EXPECT_EQ(SafeFileNamePart("../x"), "_._x");
  EXPECT_EQ(SafeFileNamePart("a\\b/c:d"), "a_b_c_d");
  EXPECT_EQ(SafeFileNamePart("..."), "__.");
  EXPECT_EQ(SafeFileNamePart(std::string("a\x01\x7f\tb", 5)), "a___b");
  for (const char* name : {"../../etc/passwd", "..\\..\\x", "C:\\x", "a..b"}) {
    const std::string safe = SafeFileNamePart(name);
    EXPECT_EQ(safe.find(".."), std::string::npos) << name;
    EXPECT_EQ(safe.find_first_of("/\\:"), std::string::npos) << name;
  }
}

}  // namespace
