#include "world/text/ui_options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/status.h"
#include "support/temp_dir.h"

namespace {

class UiOptionsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
    dir_.Write("INI/.keep", "");
  }
  void TearDown() override { plat::SetDataRoot(oldRoot_); }

  std::string Read(const std::string& name) const {
    std::ifstream in(dir_.path() + "/INI/" + name + ".INI", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void Write(const std::string& name, const std::string& text) const { dir_.Write("INI/" + name + ".INI", text); }

  TempDir dir_;
  std::string oldRoot_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

// Every value of every line changed: switches flipped, numbers moved by one
// or more, colours and floats changed, so each key must come from its own line.
std::string ChangeEveryValue(const std::string& text) {
  const std::vector<std::string> lines = Lines(text);
  std::string out;
  int n = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      out += line;
      if (i + 1 < lines.size()) out += "\r\n";
      continue;
    }
    std::string changed = line.substr(0, tab + 1);
    std::stringstream values(line.substr(tab + 1));
    std::string value;
    while (std::getline(values, value, ',')) {
      while (!value.empty() && value[0] == ' ') value.erase(0, 1);
      if (value.empty()) continue;
      ++n;
      if (value.rfind("0x", 0) == 0) {
        const unsigned long v = std::stoul(value, nullptr, 16);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "0x%lX", (v ^ (0x01010101ul * static_cast<unsigned long>(n % 7 + 1))) & 0xFFFFFFFFul);
        value = buffer;
      } else if (value.find('.') != std::string::npos) {
        value = std::to_string(std::stof(value) + 0.25f * static_cast<float>(n % 5 + 1));
      } else {
        const long v = std::stol(value);
        value = std::to_string(v == 0 ? 1 : v == 1 ? 0 : v + n % 40 + 1);
      }
      changed += value + ", ";
    }
    out += changed + "\r\n";
  }
  return out;
}

TEST_F(UiOptionsFile, MissingFileGivesEveryDefault) {
  UiOptions o;
  o.tabstay = 7;
  o.playercolor[5] = 1;
  EXPECT_EQ(LoadUIOptions(o, "Options"), plat::kFail);
  EXPECT_EQ(o.tabstay, 0);
  EXPECT_EQ(o.tabturnstay, 1);
  EXPECT_EQ(o.popupalpha, 150);
  EXPECT_EQ(o.playercolor[0], 0xFF646464u);
  EXPECT_EQ(o.playercolor[5], 0xFFFF7D00u);
  EXPECT_EQ(o.playercolor[31], 0xFF7D3C00u);
  EXPECT_EQ(o.unitcolor[2], 0xFF64FF64u);
  EXPECT_EQ(o.pathcolordim[1], 0xC8BE4B4Bu);
  EXPECT_EQ(o.mapbackground, 0xFF285028u);
  EXPECT_EQ(o.maploscolor, 0x60000000u);
  EXPECT_EQ(o.emailfiltmask, 0x1Fu);
  EXPECT_EQ(o.chatshowtime, 10000);
  EXPECT_EQ(o.opturnlength, 1440);
  EXPECT_EQ(o.opdifficulty, 2);
  EXPECT_FLOAT_EQ(o.mapscrollspeed, 1.0f);
  EXPECT_FLOAT_EQ(o.gammalevel, 1.0f);
  const int32_t slices[4] = {0, 20, 40, 80};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(o.speedrateslices[i], slices[i]);
  EXPECT_EQ(o.overlayMask, 74);
  EXPECT_EQ(PackOverlayMask(o), 74);
  EXPECT_EQ(o.ovshowunsaved, 0);
  EXPECT_EQ(o.screenStateOn, 1);
}

TEST_F(UiOptionsFile, DefaultsAreWrittenKeyByKeyWithATrailingZeroByte) {
  UiOptions o;
  ResetUiOptions(o);
  ASSERT_EQ(SaveUIOptions(o, "Options"), plat::kOk);
  const std::string text = Read("Options");
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 167u);  // 165 keys, the blank line, and the zero byte
  EXPECT_EQ(lines[0], "tabstay\t0, ");
  EXPECT_EQ(lines[1], "tabturnstay\t1, ");
  EXPECT_EQ(lines[91], "popupalpha\t150, ");
  EXPECT_EQ(lines[94],
            "playercolor\t0xFF646464, 0xFF0064FF, 0xFFE63C3C, 0xFFFFFF00, 0xFF6EFF6E, 0xFFFF7D00, 0xFFFF00FF, "
            "0xFF001996, 0xFFAA0AD2, 0xFF4BAFFF, 0xFFBE6464, 0xFFA0DC00, 0xFF148C14, 0xFFE1B400, 0xFF3C5A78, "
            "0xFF7DA0BE, 0xFF00FFFF, 0xFF3CFFAF, 0xFF7D0000, 0xFF969600, 0xFF3CAA82, 0xFFC8A05A, 0xFF64644B, "
            "0xFFA0786E, 0xFF006464, 0xFF5A2828, 0xFF462864, 0xFF780AAA, 0xFF3C3C3C, 0xFFE6E6E6, 0xFF000000, "
            "0xFF7D3C00, ");
  EXPECT_EQ(lines[95], "unitcolor\t0xFFFFFF64, 0xFFAAAAAA, 0xFF64FF64, ");
  EXPECT_EQ(lines[98], "mapbackground\t0xFF285028, ");
  EXPECT_EQ(lines[106], "fontmaincol\t0x0, ");
  EXPECT_EQ(lines[124], "mapscrollspeed\t1.000000, ");
  EXPECT_EQ(lines[125], "repeatbutms\t0xFA, ");
  EXPECT_EQ(lines[135], "outlogdef\t1, ");
  EXPECT_EQ(lines[163], "gammalevel\t1.000000, ");
  EXPECT_EQ(lines[164], "speedrateslices\t0, 20, 40, 80, ");
  EXPECT_EQ(lines[165], "");
  EXPECT_EQ(lines[166], std::string(1, '\0'));
}

TEST_F(UiOptionsFile, SaveLoadSaveGivesIdenticalText) {
  UiOptions o;
  ResetUiOptions(o);
  ASSERT_EQ(SaveUIOptions(o, "A"), plat::kOk);
  const std::string first = Read("A");
  ASSERT_EQ(LoadUIOptions(o, "A"), plat::kOk);
  ASSERT_EQ(SaveUIOptions(o, "B"), plat::kOk);
  EXPECT_EQ(Read("B"), first);
}

TEST_F(UiOptionsFile, EveryKeyIsReadFromItsOwnLine) {
  UiOptions o;
  ResetUiOptions(o);
  ASSERT_EQ(SaveUIOptions(o, "A"), plat::kOk);
  const std::string changed = ChangeEveryValue(Read("A"));
  ASSERT_NE(changed, Read("A"));
  Write("C", changed);
  ASSERT_EQ(LoadUIOptions(o, "C"), plat::kOk);
  ASSERT_EQ(SaveUIOptions(o, "D"), plat::kOk);
  const std::vector<std::string> want = Lines(changed);
  const std::vector<std::string> got = Lines(Read("D"));
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << "line " << i;
}

TEST_F(UiOptionsFile, UnitColoursComeFromTheirOwnLineNotFromBunitcolor) {
  Write("Options", "bunitcolor\t1, \r\nunitcolor\t0x11, 0x22, 0x33, \r\n");
  UiOptions o;
  ASSERT_EQ(LoadUIOptions(o, "Options"), plat::kOk);
  EXPECT_EQ(o.bunitcolor, 1);
  EXPECT_EQ(o.unitcolor[0], 0x11u);
  EXPECT_EQ(o.unitcolor[1], 0x22u);
  EXPECT_EQ(o.unitcolor[2], 0x33u);

  // Only bunitcolor in the file: the unit colours keep their defaults.
  Write("Options", "bunitcolor\t0, \r\n");
  ASSERT_EQ(LoadUIOptions(o, "Options"), plat::kOk);
  EXPECT_EQ(o.unitcolor[0], 0xFFFFFF64u);
  // The general rule still finds a key at the tail of a longer word elsewhere.
  Write("Options", "xbsoundmute\t1, \r\n");
  ASSERT_EQ(LoadUIOptions(o, "Options"), plat::kOk);
  EXPECT_EQ(o.bsoundmute, 1);
}

TEST_F(UiOptionsFile, SwitchWordsReadAsTheFirstCharacterSays) {
  struct Case {
    const char* value;
    int32_t expected;
  } cases[] = {{"No", 0}, {"no", 0}, {"0", 0}, {"False", 0}, {"f", 0}, {"Yes", 1}, {"2", 1}, {"1", 1}, {"", 1}, {"x", 1}};
  for (const Case& c : cases) {
    Write("Options", std::string("bsoundmute\t") + c.value + "\r\nbmusicmute\t1, \r\n");
    UiOptions o;
    ASSERT_EQ(LoadUIOptions(o, "Options"), plat::kOk);
    EXPECT_EQ(o.bsoundmute, c.expected) << "value '" << c.value << "'";
  }
  // A key with nothing after it at the very end of the text reads as on.
  Write("Options", "bsoundmute");
  UiOptions o;
  ASSERT_EQ(LoadUIOptions(o, "Options"), plat::kOk);
  EXPECT_EQ(o.bsoundmute, 1);
}

TEST_F(UiOptionsFile, ChangingThreePlayerColoursChangesExactlyThoseValues) {
  UiOptions o;
  ResetUiOptions(o);
  ASSERT_EQ(SaveUIOptions(o, "A"), plat::kOk);
  o.playercolor[2] = 0x12345678;
  o.playercolor[17] = 0xFFFFFFFF;
  o.playercolor[31] = 0;
  ASSERT_EQ(SaveUIOptions(o, "B"), plat::kOk);
  const std::vector<std::string> a = Lines(Read("A"));
  const std::vector<std::string> b = Lines(Read("B"));
  ASSERT_EQ(a.size(), b.size());
  int differing = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    ++differing;
    ASSERT_EQ(a[i].rfind("playercolor\t", 0), 0u);
    std::stringstream sa(a[i].substr(12)), sb(b[i].substr(12));
    std::string va, vb;
    std::vector<int> changed;
    for (int n = 0; std::getline(sa, va, ',') && std::getline(sb, vb, ','); ++n)
      if (va != vb) changed.push_back(n);
    EXPECT_EQ(changed, (std::vector<int>{2, 17, 31}));
  }
  EXPECT_EQ(differing, 1);
  UiOptions back;
  ASSERT_EQ(LoadUIOptions(back, "B"), plat::kOk);
  EXPECT_EQ(back.playercolor[2], 0x12345678u);
  EXPECT_EQ(back.playercolor[17], 0xFFFFFFFFu);
  EXPECT_EQ(back.playercolor[31], 0u);
  EXPECT_EQ(back.playercolor[3], 0xFFFFFF00u);
}

TEST_F(UiOptionsFile, ShortListsKeepTheRestAndEmptyFieldsKeepTheirValue) {
  Write("Options", "playercolor\t0x1, 0x2, 0x3, \r\nspeedrateslices\t5, , 7\r\n");
  UiOptions o;
  ASSERT_EQ(LoadUIOptions(o, "Options"), plat::kOk);
  EXPECT_EQ(o.playercolor[0], 1u);
  EXPECT_EQ(o.playercolor[1], 2u);
  EXPECT_EQ(o.playercolor[2], 3u);
  EXPECT_EQ(o.playercolor[3], 0xFFFFFF00u);
  EXPECT_EQ(o.playercolor[31], 0xFF7D3C00u);
  EXPECT_EQ(o.speedrateslices[0], 5);
  EXPECT_EQ(o.speedrateslices[1], 20);
  EXPECT_EQ(o.speedrateslices[2], 7);
  EXPECT_EQ(o.speedrateslices[3], 80);
}

TEST_F(UiOptionsFile, LongerKeysAreNotTakenForShorterOnes) {
  Write("Options",
        "fontchatcol\t0x5, \r\nfontchat\t9, \r\npathcolordim\t0x7, \r\npathcolor\t0x8, \r\n"
        "mapbackground\t4281880616, \r\npopupalpha\t300, \r\nemailfiltmask\t010, \r\n");
  UiOptions o;
  ASSERT_EQ(LoadUIOptions(o, "Options"), plat::kOk);
  EXPECT_EQ(o.fontchatcol, 5u);
  EXPECT_EQ(o.fontchat, 9);
  EXPECT_EQ(o.pathcolordim[0], 7u);
  EXPECT_EQ(o.pathcolor[0], 8u);
  EXPECT_EQ(o.mapbackground, 0xFF385028u);  // 4281880616 in decimal
  EXPECT_EQ(o.popupalpha, 44);              // low 8 bits of 300
  EXPECT_EQ(o.emailfiltmask, 8u);           // a leading 0 is octal
}

TEST_F(UiOptionsFile, OverlayMaskFollowsItsSwitches) {
  Write("Options", "ovshowownership\t1, \r\novshowborders\t0, \r\novshowsupply\t1, \r\novshowgrid\t1, \r\n");
  UiOptions o;
  ASSERT_EQ(LoadUIOptions(o, "Options"), plat::kOk);
  // 1 0 0 1 1 0 1 1, most significant first.
  EXPECT_EQ(o.overlayMask, 0x9B);
}

TEST_F(UiOptionsFile, EmptyFileAndUnwritableFolderFail) {
  Write("Options", "");
  UiOptions o;
  o.tabstay = 3;
  EXPECT_EQ(LoadUIOptions(o, "Options"), plat::kFail);
  EXPECT_EQ(o.tabstay, 0);
  EXPECT_EQ(LoadUIOptions(o, nullptr), plat::kFail);
  EXPECT_EQ(SaveUIOptions(o, "NoSuchFolder\\Options"), plat::kFail);
}

}  // namespace
