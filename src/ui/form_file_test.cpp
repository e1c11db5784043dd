// Form files: the record layout, the round trip through the loader and the
// writer, the bindings, and the refusal of damaged images.
#include "ui/form_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/file_helpers.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "records/le_bytes.h"
#include "support/temp_dir.h"
#include "ui/bitmap_control.h"
#include "ui/box_control.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "support/fixed_clock.h"

namespace {

class FormFileTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::SetClockSource(&clock_); }
  void TearDown() override { plat::SetClockSource(nullptr); }
  FixedClock clock_{{2026, 3, 0, 14, 9, 30, 15, 250}};
};

struct TreeDeleter {
  void operator()(Control* c) const { delete c; }
};
using Tree = std::unique_ptr<Control, TreeDeleter>;

Control* Box(const char* tag, const char* text = nullptr) {
  ControlInit init;
  init.kind = kKindBox;
  init.tag = tag;
  init.text = text;
  return new BoxControl(init);
}

uint32_t Dword(const std::vector<uint8_t>& image, size_t at) { return le::Load32(image.data() + at); }
uint32_t RecordWord(const std::vector<uint8_t>& image, size_t record, size_t offset) {
  return Dword(image, kFormRecordBytes * record + offset);
}
void PutRecordWord(std::vector<uint8_t>& image, size_t record, size_t offset, uint32_t value) {
  le::Store32(image.data() + kFormRecordBytes * record + offset, value);
}

Tree Load(const std::vector<uint8_t>& image, std::string* why = nullptr, const FormBinding* bindings = nullptr) {
  return Tree(ParseFormRecords(nullptr, image, bindings, nullptr, why));
}

// R with children A and B, A1 under A.
Tree FourControlTree() {
  Control* r = Box("R");
  Control* a = ControlAddChild(r, Box("A"));
  ControlAddChild(r, Box("B"));
  ControlAddChild(a, Box("A1"));
  return Tree(r);
}

TEST_F(FormFileTest, OneControlFormsLayTheirTextInThePool) {
  struct Row {
    const char* text;
    uint32_t textOffset;
    uint32_t poolSize;
    std::string pool;
  } rows[] = {
      {"OK", 1, 4, std::string("\0OK\0", 4)},  // count 1, root at 256, pool at 512: 516 bytes
      {nullptr, 0, 1, std::string("\0", 1)},
      {"", 1, 2, std::string("\0\0", 2)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text ? row.text : "(none)");
    Tree form(Box("ROOT", row.text));
    FormHeader header;
    const std::vector<uint8_t> image = BuildFormImage(header, form.get());
    ASSERT_EQ(image.size(), 512 + row.poolSize);
    EXPECT_EQ(Dword(image, 12), 1u);
    EXPECT_EQ(Dword(image, 16), row.poolSize);
    EXPECT_EQ(RecordWord(image, 1, 16) & 0xFFFF, uint32_t{kKindBox});
    EXPECT_EQ(std::memcmp(image.data() + 256 + 20, "ROOT", 5), 0);
    EXPECT_EQ(RecordWord(image, 1, 76), row.textOffset);
    EXPECT_EQ(std::string(image.begin() + 512, image.end()), row.pool);
  }
}

TEST_F(FormFileTest, RecordsAreNumberedDepthFirstAndLinkedByIndex) {
  Tree form = FourControlTree();
  FormHeader header;
  const std::vector<uint8_t> image = BuildFormImage(header, form.get());
  struct Row {
    size_t record;
    const char* tag;
    uint32_t next, prev, firstChild, parent;
  } rows[] = {
      {1, "R", 0, 0, 2, 0},
      {2, "A", 4, 4, 3, 1},
      {3, "A1", 0, 0, 0, 2},
      {4, "B", 2, 2, 0, 1},
  };
  ASSERT_EQ(Dword(image, 12), 4u);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tag);
    EXPECT_STREQ(reinterpret_cast<const char*>(image.data() + 256 * row.record + 20), row.tag);
    EXPECT_EQ(RecordWord(image, row.record, 16) >> 16, row.record);  // its own index
    EXPECT_EQ(RecordWord(image, row.record, 4), row.next);
    EXPECT_EQ(RecordWord(image, row.record, 8), row.prev);
    EXPECT_EQ(RecordWord(image, row.record, 84), row.firstChild);
    EXPECT_EQ(RecordWord(image, row.record, 88), row.parent);
  }
}

// A form with one control of each kind the loader knows, plus a list box.
Tree EveryKindForm() {
  Control* root = Box("ROOT");
  root->kind = kKindNull;
  ControlAddChild(root, Box("BOX", "a box"));
  StringInit strings;
  strings.bufferSize = 20;
  strings.fontSlot = 3;
  strings.alignment = 6;
  strings.textColour = 0xFF102030;
  auto* text = new TextControl(ControlInit{.tag = "TEXT", .text = "source"}, strings);
  text->selectedSourceText = "picked";
  text->words[5] = 77;
  text->word3 = 5;
  text->extra = "more";
  text->recordText = "record";
  auto* string = new StringControl(ControlInit{.tag = "STRING", .id = 9, .text = "shown"}, strings);
  string->selectedText = "shown!";
  auto* bitmap = new BitmapControl(ControlInit{.tag = "PIC", .left = 4, .top = 5, .width = 32, .height = 16},
                                   BitmapImage{2, {0, 0, 32, 16}}, BitmapImage{0, {32, 0, 64, 16}}, BitmapImage{});
  bitmap->frameCount = 4;
  bitmap->framesPerRow = 2;
  auto* edit = new EditControl(ControlInit{.tag = "EDIT", .text = "name"}, strings, 12, kEditUpperCase);
  edit->extraEdit = "x";
  auto* list = new Control(ControlInit{.kind = kKindListBox, .tag = "LIST", .flags = 0x2000, .id = 4});
  auto* slider = new SlideBarControl;
  SetControlTag(slider, "TAXSLDR");
  slider->position = 2500;
  slider->exponent = 2;
  slider->maximum = 0x42C80000;
  for (Control* c : std::initializer_list<Control*>{text, string, bitmap, edit, list, slider}) {
    c->flags &= ~kCtlOwnsText;
    ControlAddChild(root, c);
  }
  return Tree(root);
}

std::set<size_t> DifferingDwords(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::set<size_t> out;
  EXPECT_EQ(a.size(), b.size());
  for (size_t i = 0; i + 4 <= std::min(a.size(), b.size()); i += 4)
    if (Dword(a, i) != Dword(b, i)) out.insert(i / 4);
  return out;
}

TEST_F(FormFileTest, ASavedFormLoadsAndSavesAgainWithOnlyItsCountStampKindZeroAndOwnedTextsChanged) {
  Tree original = EveryKindForm();
  FormHeader header;
  header.dwords[0] = 0xABCD;
  header.dwords[20] = 7;
  const std::vector<uint8_t> first = BuildFormImage(header, original.get());

  FormHeader loadedHeader;
  std::string why;
  Tree loaded(ParseFormRecords(&loadedHeader, first, nullptr, nullptr, &why));
  ASSERT_TRUE(loaded) << why;
  EXPECT_EQ(loadedHeader.dwords[0], 0xABCDu);
  EXPECT_EQ(loadedHeader.dwords[kFormSaveCount], 1u);
  clock_.now.minute = 31;
  clock_.now.day = 15;
  const std::vector<uint8_t> second = BuildFormImage(loadedHeader, loaded.get());

  // Header dwords 2 and 16-18; the root's kind word (dword 68: kind 0 became
  // a box); the flags (record offset 32) of the text, string and edit records.
  // Records: 1 ROOT, 2 BOX, 3 TEXT, 4 STRING, 5 PIC, 6 EDIT, 7 LIST, 8 TAXSLDR.
  const std::set<size_t> expected = {2, 16, 17, 18, (256 + 16) / 4, (3 * 256 + 32) / 4, (4 * 256 + 32) / 4,
                                     (6 * 256 + 32) / 4};
  EXPECT_EQ(DifferingDwords(first, second), expected);
  EXPECT_EQ(Dword(second, 8), 2u);

  Tree again = Load(second);
  ASSERT_TRUE(again);
  clock_.now.day = 16;
  clock_.now.minute = 32;
  const std::vector<uint8_t> third = BuildFormImage(loadedHeader, again.get());
  EXPECT_EQ(DifferingDwords(second, third), (std::set<size_t>{2, 16, 17, 18}));

  Control* list = FormFindControlByTag(loaded.get(), "LIST");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->kind, kKindListBox);
  EXPECT_EQ(list->flags, 0x2000u);
  EXPECT_EQ(list->id, 4);
  auto* text = static_cast<TextControl*>(FormFindControlByTag(loaded.get(), "TEXT"));
  EXPECT_EQ(text->sourceText, "source");
  EXPECT_EQ(text->recordText, "record");
  EXPECT_EQ(text->fontSlot, 3u);
  auto* bitmap = static_cast<BitmapControl*>(FormFindControlByTag(loaded.get(), "PIC"));
  EXPECT_EQ(bitmap->images[kLookNormal].set, 2);
  EXPECT_EQ(bitmap->images[kLookSelected].set, 0);
  EXPECT_EQ(bitmap->images[kLookFocused].set, -1);
  EXPECT_EQ(static_cast<SlideBarControl*>(FormFindControlByTag(loaded.get(), "TAXSLDR"))->maximum, 0x42C80000u);
}

TEST_F(FormFileTest, StringFieldsAreCutToTheBufferAndSlotsOutOfRangeLoadAsZero) {
  struct Row {
    const char* name;
    size_t record, offset;
    uint32_t value;
    std::function<void(Control*)> check;
  } rows[] = {
      {"buffer of 3", 4, 116, 3, [](Control* c) { EXPECT_EQ(static_cast<StringControl*>(c)->text, "sho"); }},
      {"buffer of 0 keeps the whole", 4, 116, 0,
       [](Control* c) { EXPECT_EQ(static_cast<StringControl*>(c)->text, "shown"); }},
      {"font slot 16", 4, 120, 16, [](Control* c) { EXPECT_EQ(static_cast<StringControl*>(c)->fontSlot, 0u); }},
      {"bitmap set 9", 5, 72, 9,
       [](Control* c) { EXPECT_EQ(static_cast<BitmapControl*>(c)->images[kLookNormal].set, 0); }},
      {"bitmap set 0x108", 5, 72, 0x108,
       [](Control* c) { EXPECT_EQ(static_cast<BitmapControl*>(c)->images[kLookNormal].set, 8); }},
  };
  Tree form = EveryKindForm();
  FormHeader header;
  const std::vector<uint8_t> image = BuildFormImage(header, form.get());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<uint8_t> changed = image;
    PutRecordWord(changed, row.record, row.offset, row.value);
    Tree loaded = Load(changed);
    ASSERT_TRUE(loaded);
    Control* c = loaded->firstChild;
    for (size_t i = 2; i < row.record; ++i) c = c->NextInRing();
    row.check(c);
  }
}

TEST_F(FormFileTest, BindingsMatchOnTwelveCharactersAndTheFirstEntryWins) {
  Control* root = Box("ROOT");
  Control* longTag = ControlAddChild(root, Box("ABCDEFGHIJKL"));
  Control* ok = ControlAddChild(root, Box("OKBUT"));
  ControlAddChild(root, Box("CANBUT"));
  ControlAddChild(root, Box(""));
  Tree form(root);
  FormHeader header;
  const std::vector<uint8_t> image = BuildFormImage(header, form.get());
  (void)longTag, (void)ok;

  Control *longTarget = nullptr, *first = nullptr, *second = nullptr, *empty = nullptr;
  const FormBinding bindings[] = {
      {"ABCDEFGHIJKLMNOP", &longTarget, 0},  // compared on its first 12
      {"OKBUT", &first, 0},
      {"OKBUT", &second, 0},
      {"CANBUT", nullptr, 0},  // matched, stores nothing
      {"", &empty, 0},
  };
  Tree loaded = Load(image, nullptr, bindings);
  ASSERT_TRUE(loaded);
  struct Row {
    const char* name;
    Control* got;
    const char* tag;
  } rows[] = {{"long", longTarget, "ABCDEFGHIJKL"}, {"first", first, "OKBUT"}, {"second", second, nullptr},
              {"empty", empty, nullptr}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (!row.tag) {
      EXPECT_EQ(row.got, nullptr);
      continue;
    }
    ASSERT_NE(row.got, nullptr);
    EXPECT_TRUE(ControlTagMatches(row.got->tag, row.tag));
  }
}

TEST_F(FormFileTest, DamagedImagesAreRefusedWithTheirReason) {
  Tree form = FourControlTree();
  form->firstChild->text = "label";
  FormHeader header;
  const std::vector<uint8_t> image = BuildFormImage(header, form.get());
  const uint32_t poolSize = Dword(image, 16);
  struct Row {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    const char* reason;
  } rows[] = {
      {"count 0", [](auto& m) { le::Store32(m.data() + 12, 0); }, "no control"},
      {"count 0xFFFFFFFF", [](auto& m) { le::Store32(m.data() + 12, 0xFFFFFFFF); }, "count"},
      {"one byte short", [](auto& m) { m.pop_back(); }, "shorter"},
      {"index count + 1", [](auto& m) { PutRecordWord(m, 2, 84, 5); }, "above the count"},
      {"offset = pool size", [&](auto& m) { PutRecordWord(m, 2, 76, poolSize); }, "outside the pool"},
      {"no terminator", [](auto& m) { m.back() = 'x'; }, "no terminator"},
      {"child linked back to the root", [](auto& m) { PutRecordWord(m, 3, 84, 1); }, "reached twice"},
      {"next and previous disagree", [](auto& m) { PutRecordWord(m, 2, 8, 3); }, "disagree"},
      {"a child linked to itself", [](auto& m) { PutRecordWord(m, 3, 4, 3), PutRecordWord(m, 3, 8, 3); }, "disagree"},
      {"wrong parent", [](auto& m) { PutRecordWord(m, 3, 88, 1); }, "parent"},
      {"root with a parent", [](auto& m) { PutRecordWord(m, 1, 88, 2); }, "root"},
      {"record outside the tree", [](auto& m) { PutRecordWord(m, 2, 84, 0); }, "not in the tree"},
  };
  ASSERT_TRUE(Load(image));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<uint8_t> damaged = image;
    row.damage(damaged);
    std::string why;
    EXPECT_FALSE(Load(damaged, &why));
    EXPECT_NE(why.find(row.reason), std::string::npos) << why;
  }
  for (size_t n = 0; n < image.size(); n += 256) {
    std::vector<uint8_t> cut(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(Load(cut)) << n;
  }
}

TEST_F(FormFileTest, TreesNestedTooDeeplyAreRefused) {
  for (const int depth : {kMaxFormDepth, kMaxFormDepth + 1}) {
    Control* root = Box("L0");
    Control* at = root;
    for (int i = 1; i < depth; ++i) at = ControlAddChild(at, Box("L"));
    Tree form(root);
    FormHeader header;
    const std::vector<uint8_t> image = BuildFormImage(header, form.get());
    std::string why;
    EXPECT_EQ(Load(image, &why) != nullptr, depth == kMaxFormDepth) << depth << " " << why;
  }
}

TEST_F(FormFileTest, SavesGrowThePoolAndReportAFailedWrite) {
  TempDir dir;
  const std::string savedRoot = plat::DataRoot();
  plat::SetDataRoot(dir.path());
  std::strcpy(g_app.hapsDirectory, "HAPS\\");
  Control* root = Box("ROOT");
  const std::string longText(3000, 'w');
  for (int i = 0; i < 4; ++i) ControlAddChild(root, Box("T", longText.c_str()));
  Tree form(root);
  FormHeader header;
  EXPECT_EQ(SaveFormFile(header, form.get(), "BIG"), plat::kFail);  // no HAPS folder yet
  EXPECT_EQ(header.dwords[kFormSaveCount], 0u);
  ASSERT_TRUE(plat::MakeGameDirectories("HAPS"));
  ASSERT_EQ(SaveFormFile(header, form.get(), "BIG"), plat::kOk);
  EXPECT_EQ(header.dwords[kFormPoolSize], 1 + 4 * 3001u);
  FormHeader loadedHeader;
  Tree loaded(LoadFormFile("BIG", nullptr, &loadedHeader, nullptr));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->firstChild->PrevInRing()->text, longText);
  EXPECT_EQ(loadedHeader.dwords[kFormSaveCount], 1u);
  EXPECT_EQ(LoadFormFile("MISSING", nullptr, nullptr, nullptr), nullptr);
  g_app.hapsDirectory[0] = '\0';
  plat::SetDataRoot(savedRoot);
}

}  // namespace
