#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace plat {
namespace {

// UTF-8 that has no Windows-1252 form is refused rather than guessed at.
TEST(TextEncodingTest, Utf8ThatIsMalformedOrBeyondThePageIsRefused) {
  const char* const refused[] = {
      "\xE9",              // a Windows-1252 byte, not UTF-8
      "\xC3",              // cut short
      "\xC0\xA9",          // overlong
      "\xED\xA0\x80",      // a surrogate
      "\xE4\xB8\xAD",      // a character the page lacks
      "\xF8\x88\x80\x80",  // no such lead byte
  };
  for (const char* text : refused) EXPECT_FALSE(Utf8ToWindows1252(text)) << text;
}

struct Known {
  const char* page;
  const char* utf8;
};

// Known conversions: Latin-1 letters, the page's own 0x80-0x9F characters,
// and an unassigned byte kept as its Latin-1 twin.
TEST(TextEncodingTest, KnownCharactersConvert) {
  const Known rows[] = {
      {"Caf\xE9", "Caf\xC3\xA9"}, {"\x80", "\xE2\x82\xAC"},      {"\x9F", "\xC5\xB8"},
      {"\x81", "\xC2\x81"},       {"\xFF\xA0", "\xC3\xBF\xC2\xA0"}, {"ASCII 1", "ASCII 1"},
  };
  for (const Known& k : rows) {
    EXPECT_EQ(Windows1252ToUtf8(k.page), k.utf8) << k.utf8;
    EXPECT_EQ(Utf8ToWindows1252(k.utf8), std::string(k.page)) << k.utf8;
  }
}

// Every byte but NUL goes to UTF-8 and back unchanged.
TEST(TextEncodingTest, EveryByteRoundTrips) {
  for (int b = 1; b < 256; ++b) {
    const std::string text(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(text)), text) << b;
  }
}

}  // namespace
}  // namespace plat
