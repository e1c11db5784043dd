// Form sources: shipped forms decompile to sources that compile to the same
// bytes, every field survives the text, and what the loader would cut or
// reset is refused with its line; a placeholder list gives its tags.
#include "form_source.h"
#include "placeholder_forms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Decompile(const std::vector<uint8_t>& image) {
  FormHeader header;
  std::string why;
  ControlTree root(ParseFormRecords(&header, image, nullptr, nullptr, &why));
  EXPECT_TRUE(root) << why;
  return root ? PrintFormSource(header, root.get()) : std::string();
}

TEST(FormSourceTest, EveryShippedFormDecompilesToASourceThatCompilesToTheSameBytes) {
  int forms = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VD_FORMS_DIR)) {
    if (entry.path().extension() != ".form") continue;  // the placeholder list
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    const std::vector<uint8_t> shipped = ReadBytes(std::filesystem::path(VD_GAME_DIR) / "HAPS" / (name + ".HAP"));
    ASSERT_FALSE(shipped.empty());
    // The build is deterministic: the source compiles to the shipped bytes.
    std::string error;
    EXPECT_EQ(CompileFormSource(ReadText(entry.path()), entry.path().string(), &error), shipped) << error;
    const std::string source = Decompile(shipped);
    EXPECT_EQ(CompileFormSource(source, name, &error), shipped) << error << "\n" << source;
    ++forms;
  }
  EXPECT_GE(forms, 3);
}

// Every attribute away from its default, every kind, looks and nesting.
constexpr const char* kEverything = R"(form save=7 stamp=2025-02-28T23:59:59.999 d0=0x1 d5=0xDEADBEEF d20=0xFFFFFFFF
look panel fill=0x80102030,0xFF405060,0xFF708090 outline=0xFF010203 width=1,2,3
box ROOT rect=-5,-6,1000,700 flags=0x20000000 state=0x00000001 style=1 id=-7 look=panel text=""
  box "WITH SPACE" text="caf\xE9 \"quoted\"\n\\"
    string S rect=1,2,3,4 text="shown" selected="sel" recordtext="rec" buffer=12 font=15 bytes=1,2,3,4 word1=0x5 align=0x6 colour=0xFF000001,0xFF000002 word2=0x7
    text T text="abc" source="def" selsource="ghi" words=1,2,3,4,5,6 word3=0x9 extra="ext" buffer=0
  edit E text="in" editextra="ee" editsize=40 classes=0x19 flags=0x00010000
  bitmap B set=8 image=1,2,3,4 selset=none focset=3 focimage=5,6,7,8 frames=9,1,2,3,4 spare=5,6,7
  slidebar SL position=10000 default=5000 low=1 notches=2 high=3 remembered=4 thumb=5 exponent=6 maximum=0x42C80000
  listbox LIST id=19
  scroller
  23 TB
  99 ODD
)";

TEST(FormSourceTest, EveryFieldSurvivesDecompilingAndCompilingAgain) {
  std::string error;
  const std::vector<uint8_t> image = CompileFormSource(kEverything, "everything", &error);
  ASSERT_FALSE(image.empty()) << error;
  EXPECT_EQ(CompileFormSource(kEverything, "everything", &error), image);  // deterministic
  const std::string source = Decompile(image);
  EXPECT_EQ(CompileFormSource(source, "decompiled", &error), image) << error << "\n" << source;
  EXPECT_NE(source.find("d5=0xDEADBEEF"), std::string::npos) << source;
  EXPECT_NE(source.find("form save=7 stamp=2025-02-28T23:59:59.999"), std::string::npos) << source;
  // A control left at its defaults is a single word.
  EXPECT_NE(source.find("\n  scroller\n"), std::string::npos) << source;
}

// A look gives defaults; what the control's own line writes stands, before
// or after the look word, and the loader reads it so.
TEST(FormSourceTest, AControlsOwnAttributesWinOverItsLook) {
  struct Row {
    const char* control;
    uint32_t flags;
    bool hidden;
    uint32_t font;
  } rows[] = {
      {"string A look=check", 0x41, false, 2},
      {"string A flags=0x15 look=check", 0x15, false, 2},  // a radio group's member
      {"string A look=check flags=0x15", 0x15, false, 2},
      {"string A flags=0x10001 look=check", 0x10001, true, 2},  // starts hidden
      {"string A flags=0x0 look=check", 0x0, false, 2},          // a mark only
      {"string A font=5 look=check look=plain", 0x41, false, 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.control);
    const std::string source = std::string("look check font=2 buffer=31 flags=0x41\nlook plain font=3\nbox R\n  ") +
                               row.control + " text=\"Engage\"\n";
    std::string error;
    const std::vector<uint8_t> image = CompileFormSource(source, "src", &error);
    ASSERT_FALSE(image.empty()) << error;
    FormHeader header;
    ControlTree root(ParseFormRecords(&header, image, nullptr, nullptr, &error));
    ASSERT_TRUE(root && root->firstChild) << error;
    const auto* a = dynamic_cast<const StringControl*>(root->firstChild);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->flags & ~kCtlOwnsText, row.flags);
    EXPECT_EQ((a->state & kStateHidden) != 0, row.hidden);
    EXPECT_EQ(a->fontSlot, row.font);
  }
}

TEST(FormSourceTest, SourcesTheLoaderWouldCutOrResetAreRefusedWithTheirLine) {
  struct Row {
    const char* source;
    const char* error;
  } rows[] = {
      {"box R\n  string S buffer=3 text=\"long\"\n", "src:2: text of 4 characters is longer than its buffer of 3"},
      {"box R\n  text T buffer=2 source=\"abc\"\n", "src:2: source of 3"},
      {"box R\n\n  string S font=16\n", "src:3: font slot 16 is above 15"},
      {"box R\n  bitmap B set=9\n", "src:2: texture slot 9"},
      {"box R\n  bitmap B selset=9\n", "src:2: texture slot 9"},
      {"box R\n  box A wide=1\n", "src:2: unknown attribute \"wide\""},
      {"box R\n  box A font=1\n", "src:2: \"font\" does not belong to a box"},
      {"box R\n   box A\n", "src:2: indentation"},
      {"box R\n    box A\n", "src:2: indented deeper"},
      {"box R\nbox S\n", "src:2: a second root"},
      {"knob R\n", "src:1: unknown kind"},
      {"box THIRTEENCHARS\n", "src:1: the tag"},
      {"box R text=\"open\n", "src:1: a text without its closing quote"},
      {"box R id=0x1FFFFFFFF\n", "src:1:"},
      {"box R style=256\n", "src:1:"},
      {"box R look=none\n", "src:1: no look named"},
      {"form save=0\nbox R\n", "src:1: the save count"},
      {"# nothing\n", "src:1: no control"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.source);
    std::string error;
    EXPECT_TRUE(CompileFormSource(row.source, "src", &error).empty());
    EXPECT_EQ(error.rfind(row.error, 0), 0u) << error;
  }
}

TEST(FormSourceTest, APlaceholderListGivesItsTagsOrTheLineThatIsNoFormName) {
  struct Row {
    const char* list;
    std::vector<std::string> tags;
    const char* error;
  } rows[] = {
      {"# heading\n\nMAP1_ss6a\r\n  CABINET1  \nPOPUP_MILITARY1A9a\n",
       {"MAP1_ss6a", "CABINET1", "POPUP_MILITARY1A9a"},
       ""},
      {"", {}, ""},
      {"A\nB\nA\n", {}, "list:3: A is listed twice"},
      {"A\n../B\n", {}, "list:2: \"../B\" is no form name"},
      {"A B\n", {}, "list:1: \"A B\" is no form name"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ_ABCDE\n", {}, "list:1:"},  // 32 characters
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.list);
    const PlaceholderList parsed = ParsePlaceholderList(row.list, "list");
    EXPECT_EQ(parsed.tags, row.tags);
    EXPECT_EQ(parsed.error.rfind(row.error, 0), 0u) << parsed.error;
    EXPECT_EQ(parsed.error.empty(), *row.error == '\0') << parsed.error;
  }
}

TEST(FormSourceTest, APlaceholderFormIsOneBoxTaggedWithTheFirstTwelveCharactersOfItsTag) {
  std::string error;
  const std::vector<uint8_t> image = CompileFormSource(PlaceholderFormSource("POPUP_MILITARY1A9a"), "p", &error);
  ASSERT_FALSE(image.empty()) << error;
  FormHeader header;
  ControlTree root(ParseFormRecords(&header, image, nullptr, nullptr, &error));
  ASSERT_TRUE(root) << error;
  EXPECT_EQ(root->firstChild, nullptr);
  EXPECT_EQ(std::string(root->tag, strnlen(root->tag, kTagSize)), "POPUP_MILITA");
}

}  // namespace
