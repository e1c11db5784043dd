// The control tree without drawing: finds, hit tests, ring operations,
// notifications to the owner screen, capture and focus, edit fields and the
// text formats of the string kinds.
#include "ui/control.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "ui/box_control.h"
#include "ui/control_focus.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/string_control.h"

namespace {

using controltest::Init;
using controltest::RecordingScreen;
using Events = std::vector<std::string>;

constexpr int32_t kLeftDown = static_cast<int32_t>(plat::kWmLButtonDown);
constexpr int32_t kLeftUp = static_cast<int32_t>(plat::kWmLButtonUp);
constexpr int32_t kChar = static_cast<int32_t>(plat::kWmChar);

class ControlTest : public ::testing::Test {
 protected:
  void TearDown() override { g_controls = ControlGlobals{}; }

  Control* Add(Control* parent, const char* tag, int32_t left, int32_t top, int32_t width, int32_t height,
               uint32_t flags = 0) {
    return ControlAddChild(parent, new BoxControl(Init(tag, &screen_, left, top, width, height, flags)));
  }

  RecordingScreen screen_;
};

TEST_F(ControlTest, FindsWalkTheOtherSiblingsBackThenTheStartThenItsChildren) {
  BoxControl root(Init("ROOT", nullptr, 0, 0, 10, 10));
  Control* a = Add(&root, "X", 0, 0, 1, 1);
  Control* b = Add(&root, "ABCDEFGHIJKLMN", 0, 0, 1, 1);  // stored as 12 characters, no terminator
  Control* c = Add(&root, "X", 0, 0, 1, 1);
  Control* d = Add(b, "DEEP", 0, 0, 1, 1);
  Add(&root, "Y", 0, 0, 1, 1);
  Control* f = Add(&root, "Y", 0, 0, 1, 1);
  a->id = 7, b->id = 8, c->id = 9, d->id = 8;
  ASSERT_EQ(std::string(b->tag, kTagSize), "ABCDEFGHIJKL");
  struct Row {
    Control* start;
    const char* tag;
    int32_t depth, withSiblings;
    Control* expected;
  };
  const Row rows[] = {
      {&root, "ABCDEFGHIJKL", kAnyDepth, 0, b},
      {&root, "ABCDEFGHIJKLMN", kAnyDepth, 0, b},  // a longer query matches on its first 12
      {&root, "ABCDEFGHIJK", kAnyDepth, 0, nullptr},
      {&root, "DEEP", 1, 0, nullptr},  // depth 1: the children, not theirs
      {&root, "DEEP", 2, 0, d},
      {&root, "DEEP", kAnyDepth, 0, d},
      {a, "ABCDEFGHIJKL", 0, 1, b},   // depth 0: the start and its siblings
      {a, "DEEP", 0, 1, nullptr},
      {a, "ABCDEFGHIJKL", 0, 0, nullptr},
      {a, "X", 0, 1, c},  // back through the prev links: C before A itself
      {a, "X", 0, 0, a},
      {a, "Y", 0, 1, f},  // of two others, the one met first going back
      {nullptr, "X", kAnyDepth, 1, nullptr},
  };
  for (const Row& row : rows)
    EXPECT_EQ(FindControlByTag(row.start, row.tag, row.depth, row.withSiblings), row.expected) << row.tag;
  EXPECT_EQ(FormFindControlByTag(&root, "ROOT"), &root);
  EXPECT_EQ(FormFindControlByTag(&root, "DEEP"), d);
  EXPECT_EQ(FormFindControlByTag(&root, "NONE"), nullptr);
  EXPECT_EQ(FindControlById(a, 8, 0, 1), b);
  EXPECT_EQ(FindControlById(a, 8, kAnyDepth, 0), nullptr);
  EXPECT_EQ(FormFindControlById(&root, 8), b);  // B itself before its child of the same id
  EXPECT_EQ(FormFindControlById(&root, 9), c);
}

TEST_F(ControlTest, TheHitIsTheDeepestVisibleControlAndTheLaterOfOverlappingSiblings) {
  BoxControl root(Init("ROOT", nullptr, 0, 0, 100, 100));
  Control* p = Add(&root, "P", 10, 10, 50, 50);
  Control* q = Add(p, "Q", 5, 5, 10, 10);  // (15, 15)-(25, 25) on the screen
  Control* r = Add(&root, "R", 40, 40, 40, 40);
  Control* hidden = Add(&root, "H", 0, 80, 20, 20);
  Add(hidden, "HC", 0, 0, 20, 20);
  Control* through = Add(&root, "T", 80, 0, 20, 20, kCtlClickThrough);
  Add(through, "TC", 0, 0, 20, 20);
  Control* s = Add(&root, "S", 70, 70, 20, 20);  // over R, drawn after it
  SetControlFlag(hidden, kStateHidden, 1);
  struct Row {
    int32_t x, y;
    Control* expected;
  };
  const Row rows[] = {
      {20, 20, q},  {15, 15, q},  {25, 25, p},  {30, 30, p},         {50, 50, r},
      {59, 59, r},  {60, 30, &root}, {10, 90, &root}, {90, 10, &root}, {100, 50, nullptr},
      {-1, 0, nullptr}, {75, 75, s}, {85, 85, s},
  };
  for (const Row& row : rows)
    EXPECT_EQ(ControlHitTest(&root, row.x, row.y, kAnyDepth, 0), row.expected) << row.x << "," << row.y;
  EXPECT_EQ(ControlHitTest(&root, 20, 20, 1, 0), p);  // depth 1 stops above Q
}

TEST_F(ControlTest, RingOperationsKeepParentsAndFirstChildrenRight) {
  BoxControl root(Init("ROOT", nullptr, 0, 0, 10, 10));
  Control* a = Add(&root, "A", 0, 0, 1, 1);
  Control* b = Add(&root, "B", 0, 0, 1, 1);
  Control* c = Add(&root, "C", 0, 0, 1, 1);
  auto order = [&root] {
    std::string out;
    ControlTreeForEach(&root, 1, 0, [&out](Control* x) { out += x->tag; });
    return out;
  };
  EXPECT_EQ(order(), "ABC");
  a->InsertAfter(c);
  EXPECT_EQ(order(), "ACB");
  Control* z = new BoxControl(Init("Z", nullptr, 3, 4, 5, 6));
  a->ReplaceWith(z);  // Z takes A's place and left/top, keeps its size
  EXPECT_EQ(root.firstChild, z);
  EXPECT_EQ(order(), "ZCB");
  EXPECT_EQ(z->rect.left, 0);
  EXPECT_EQ(z->rect.right, 5);
  EXPECT_EQ(a->parent, nullptr);
  EXPECT_FALSE(a->linked());
  delete a;
  b->Unlink();
  EXPECT_EQ(order(), "ZC");
  ControlAddChild(c, b);
  EXPECT_EQ(b->parent, c);
  z->Unlink();
  EXPECT_EQ(root.firstChild, c);
  ControlAddChild(&root, z);
  delete c;  // takes B with it
  EXPECT_EQ(order(), "Z");
  // A form attached to another host leaves the first one empty.
  BoxControl host1(Init("H1", nullptr, 0, 0, 1, 1)), host2(Init("H2", nullptr, 0, 0, 1, 1));
  BoxControl page(Init("P", nullptr, 0, 0, 1, 1));
  ControlAttachForm(&host1, &page);
  ControlAttachForm(&host2, &page);
  EXPECT_EQ(host1.firstChild, nullptr);
  EXPECT_EQ(host2.firstChild, &page);
  EXPECT_EQ(page.parent, &host2);
  ControlAttachForm(&host2, nullptr);
  page.parent = nullptr;
  // A clone of a form copies every field and the tree below, and no link.
  Control* y = Add(z, "Y", 1, 1, 1, 1);
  y->text = "words";
  Control* copy = ControlDeepClone(&root);
  EXPECT_EQ(copy->parent, nullptr);
  EXPECT_EQ(copy->index, 0xFFFF);
  ASSERT_NE(copy->firstChild, nullptr);
  ASSERT_NE(copy->firstChild->firstChild, nullptr);
  EXPECT_NE(copy->firstChild->firstChild, y);
  EXPECT_EQ(copy->firstChild->firstChild->text, "words");
  EXPECT_EQ(copy->firstChild->firstChild->parent, copy->firstChild);
  copy->DeleteChain();
}

TEST_F(ControlTest, DeleteChainRunsEveryDestructorAndLetsGoOfTheGlobals) {
  // Controls in a ring with children, texts and the globals pointing at
  // them: all of it goes through destructors (the leak checker sees none).
  Control* first = new BoxControl(Init("A", &screen_, 0, 0, 1, 1));
  Control* second = first->AppendSibling(new StringControl(Init("B", &screen_, 0, 0, 1, 1), StringInit{}));
  SetControlText(second, "a text of its own");
  Control* child = ControlAddChild(second, new EditControl(Init("E", &screen_, 0, 0, 1, 1), StringInit{}, 8, 0));
  g_controls.capture = child;
  g_controls.focus = second;
  g_controls.edit = child;
  first->DeleteChain();
  EXPECT_EQ(g_controls.capture, nullptr);
  EXPECT_EQ(g_controls.focus, nullptr);
  EXPECT_EQ(g_controls.edit, nullptr);
}

TEST_F(ControlTest, TheOwnerHearsOfSelectionChangesAndCommandsInOrder) {
  struct Row {
    const char* what;
    void (*act)(Control* a, Control* b);
    Events expected;
  };
  const Row rows[] = {
      {"select radio B while A is selected", [](Control*, Control* b) { b->SetSelected(1); },
       {"change A", "change B", "command B"}},
      {"select what is selected", [](Control* a, Control*) { a->SetSelected(1); }, {}},
      {"left down on a selected control", [](Control* a, Control*) {
         a->SetState(a->state, 0, nullptr, kLeftDown, 0, 0, 0, 1);
       }, {"command A"}},
      {"deselect", [](Control* a, Control*) { a->SetSelected(0); }, {"change A"}},
      {"toggle", [](Control*, Control* b) { b->ToggleSelected(); }, {"change A", "change B", "command B"}},
      {"flag without notice", [](Control* a, Control*) { SetControlFlag(a, kStateSelected, 0); }, {}},
  };
  for (const Row& row : rows) {
    BoxControl root(Init("ROOT", nullptr, 0, 0, 10, 10));
    Control* a = Add(&root, "A", 0, 0, 1, 1, kCtlRadio);
    Control* b = Add(&root, "B", 0, 0, 1, 1, kCtlRadio);
    Add(&root, "N", 0, 0, 1, 1);  // not a radio member: never deselected
    SetControlFlag(a, kStateSelected, 1);
    screen_.Take();
    row.act(a, b);
    EXPECT_EQ(screen_.Take(), row.expected) << row.what;
  }
}

TEST_F(ControlTest, MouseMessagesSelectCaptureAndReleaseByTheControlsFlags) {
  struct Row {
    const char* what;
    uint32_t flags;
    bool selectedBefore;
    std::vector<int32_t> messages;
    Events expected;
    bool selectedAfter;
  };
  const Row rows[] = {
      {"button toggles on", kCtlButton, false, {kLeftDown}, {"enter A", "change A", "command A"}, true},
      {"button toggles off", kCtlButton, true, {kLeftDown}, {"enter A", "change A", "command A"}, false},
      {"radio button selects", kCtlButton | kCtlRadio, true, {kLeftDown}, {"enter A", "command A"}, true},
      {"radio toggle", kCtlButton | kCtlRadio | kCtlToggle, true, {kLeftDown}, {"enter A", "change A", "command A"},
       false},
      {"command", kCtlCommand, false, {kLeftDown}, {"enter A", "command A"}, false},
      {"capture only", kCtlCaptureOnly, false, {kLeftDown}, {"enter A"}, false},
      {"momentary", kCtlButton | kCtlMomentary, false, {kLeftDown, kLeftUp},
       {"enter A", "change A", "command A", "change A"}, false},
      {"double click", kCtlCommand, false, {static_cast<int32_t>(plat::kWmLButtonDblClk)},
       {"enter A", "command A", "activate A"}, false},
      {"no capture for kCtlNoFocus", kCtlCommand | kCtlNoFocus, false, {kLeftDown}, {"command A"}, false},
  };
  for (const Row& row : rows) {
    g_controls = ControlGlobals{};
    BoxControl root(Init("ROOT", nullptr, 0, 0, 10, 10));
    Control* a = Add(&root, "A", 0, 0, 1, 1, row.flags);
    Control* other = Add(&root, "O", 0, 0, 1, 1, kCtlCaptureOnly);
    SetControlFlag(a, kStateSelected, row.selectedBefore ? 1 : 0);
    other->HandleMouse(kLeftDown, 0, 0, 0);  // O holds the capture: A's press takes it away
    screen_.Take();
    for (int32_t m : row.messages) a->HandleMouse(m, 0, 0, 0);
    Events events = screen_.Take();
    ASSERT_FALSE(events.empty()) << row.what;
    EXPECT_EQ(events.front(), "leave O") << row.what;
    events.erase(events.begin());
    EXPECT_EQ(events, row.expected) << row.what;
    EXPECT_EQ(a->Selected(), row.selectedAfter) << row.what;
    EXPECT_EQ(g_controls.capture, (row.flags & kCtlNoFocus) ? nullptr : a) << row.what;
    EXPECT_EQ((a->state & kStatePressed) != 0, row.messages.back() != kLeftUp) << row.what;
    g_controls = ControlGlobals{};
  }
}

TEST_F(ControlTest, FocusAndLeaveClearTheirMarks) {
  BoxControl root(Init("ROOT", nullptr, 0, 0, 10, 10));
  Control* a = Add(&root, "A", 0, 0, 1, 1, kCtlMomentary | kCtlDeselectOnKillFocus);
  Control* b = Add(&root, "B", 0, 0, 1, 1);
  SetFocusControl(a);
  EXPECT_TRUE(a->state & kStateFocused);
  SetControlFlag(b, kStateSelected, 1);
  screen_.Take();
  ControlKillFocus(b);
  EXPECT_EQ(screen_.Take(), (Events{"unfocus A", "change B"}));
  EXPECT_FALSE(a->state & kStateFocused);
  EXPECT_FALSE(b->Selected());
  SetFocusControl(b);
  SetFocusControl(a);
  EXPECT_EQ(screen_.Take(), (Events{"focus B", "unfocus B", "focus A"}));
  // Leaving deselects a momentary control and clears its focus and press.
  SetControlFlag(a, kStateSelected | kStatePressed, 1);
  screen_.currentForm = a;
  EXPECT_EQ(a->HandleInput(kControlLeave, 0, 0, 0), 0);
  EXPECT_EQ(screen_.Take(), (Events{"change A", "leave A", "leave form"}));
  EXPECT_EQ(a->state & (kStateSelected | kStateFocused | kStatePressed), 0u);
  EXPECT_EQ(a->HandleInput(kChar, 'x', 0, 0), 1);  // not a base control's to handle
  screen_.currentForm = nullptr;
}

TEST_F(ControlTest, AHostBoxShowsItsScreenAndTakesACloneOfItsFormOnItsFirstDraw) {
  // No device here: the frames queue nothing, the tree work is what counts.
  RecordingScreen hosted;
  BoxControl form(Init("HOSTED", &hosted, 0, 0, 30, 10));
  ControlAddChild(&form, new BoxControl(Init("INNER", &hosted, 1, 1, 5, 5)));
  hosted.form = &form;
  BoxControl host(Init("Wbox", &screen_, 10, 10, 40, 20, kCtlHost));
  host.id = 31;
  host.hostedScreen = &hosted;
  ControlDrawTree(&host, kAnyDepth, 1, nullptr, 0);
  EXPECT_EQ(hosted.Take(), (Events{"notify 99 40"}));
  EXPECT_EQ(hosted.id, 31);
  EXPECT_EQ(hosted.hostMark, static_cast<uint32_t>('W'));
  ASSERT_NE(host.firstChild, nullptr);
  EXPECT_NE(host.firstChild, &form);  // a clone, with its own children
  EXPECT_EQ(FormFindControlByTag(&host, "INNER")->parent, host.firstChild);
  EXPECT_NE(FormFindControlByTag(&host, "INNER"), form.firstChild);
  host.state |= kStateDirty;
  ControlDrawTree(&host, kAnyDepth, 1, nullptr, 0);  // has children now: shown once
  EXPECT_TRUE(hosted.Take().empty());
  EXPECT_EQ(host.firstChild->NextInRing(), nullptr);
}

TEST_F(ControlTest, TheStringKindsChooseTheirTextFormatByKindLinesAndAlignment) {
  struct Row {
    int16_t kind;
    uint32_t flags, alignment, format;
  };
  const Row rows[] = {
      {kKindString, 0, 6, 0x925},  {kKindString, 0, 2, 0x926},  {kKindEdit, 0, 0, 0x920},
      {kKindText, kCtlMultiLine, 8, 0x8958}, {kKindText, 0, 0, 0x924}, {kKindString, 0, 0x10, 0x928},
      {kKindEdit, kCtlMultiLine, 4, 0x8950}, {kKindString, kCtlMultiLine, 0x12, 0x895A},
  };
  for (const Row& row : rows)
    EXPECT_EQ(StringTextFormat(row.kind, row.flags, row.alignment), row.format)
        << row.kind << " " << row.flags << " " << row.alignment;
}

TEST_F(ControlTest, StringTextsAreTheControlsOwnCopiesCutToTheirBuffer) {
  StringInit strings;
  strings.bufferSize = 5;
  StringControl s(Init("S", &screen_, 0, 0, 10, 10), strings);
  char shared[16] = "first";
  SetControlText(&s, shared);
  std::snprintf(shared, sizeof shared, "changed");
  EXPECT_EQ(s.text, "first");  // a shared buffer changing later changes nothing
  EXPECT_EQ(s.bufferSize, 5u);
  screen_.Take();
  s.SetText("first");
  EXPECT_TRUE(screen_.Take().empty());  // the same text: no notice
  EXPECT_STREQ(s.SetTextGet("longer than five"), "longe");
  EXPECT_EQ(screen_.Take(), (Events{"change S"}));
  EXPECT_STREQ(s.SetTextFormat("%d", 42), "42");
  EXPECT_EQ(s.GetInt(), 42);
  EXPECT_EQ(s.SetTextGet("2.5"), std::string("2.5"));
  EXPECT_FLOAT_EQ(s.GetFloat(), 2.5f);
  SetControlNumberText(0, 0, "", 0, "", 0, 1234.0, &s);
  EXPECT_EQ(s.text, "1,234");
  // A short text leaves the box its form's room: a figure written later is
  // not cut to the short text's length; a longer text widens the box.
  SetControlText(&s, "ab");
  SetControlNumberText(0, 0, "", 0, "", 0, 12345.0, &s);
  EXPECT_EQ(s.text, "12,34");
  SetControlText(&s, "seven chars");
  SetControlText(&s, "ab");
  SetControlNumberText(0, 0, "", 0, "", 0, 3387689.0, &s);
  EXPECT_EQ(s.text, "3,387,689");
  SetControlText(&s, "ab");
  // A clone owns its texts too.
  Control* copy = s.Clone();
  s.text = "gone";
  EXPECT_EQ(copy->text, "ab");
  EXPECT_TRUE(copy->flags & kCtlOwnsText);
  delete copy;
}

TEST_F(ControlTest, EditFieldsTakeOnlyWhatTheirClassesAdmitUpToTheirSize) {
  struct Row {
    uint32_t classes, size;
    const char* typed;
    const char* expected;
    const char* given = "";  // the text before typing, selected whole or not
    bool selected = false;
  };
  const Row rows[] = {
      {0, 16, "ab", "oldab", "old"},          {0, 16, "ab", "ab", "old", true},
      {0, 16, "\x08" "a", "a", "old", true},
      {kEditDigitsDash, 16, "x1", "1", "9", true},
      {kEditDigitsDash, 16, "a1-b2", "1-2"},  {kEditUpperCase, 16, "ab", "AB"},
      {0, 3, "abcd", "abc"},                  {kEditNoSpaces, 16, "a b", "ab"},
      {kEditLetters, 16, "a1b-", "ab"},       {kEditLettersDigitsDash, 16, "a_1 -", "a1-"},
      {kEditLettersDigitsDash | kEditNoSpaces, 16, "x y", "xy"},
      {kEditLetters | kEditUpperCase, 16, "\xe9t\xe9", "\xc9T\xc9"},
      {0, 16, "ab\x08", "a"},  {0, 16, "\x08\x08", ""},
  };
  for (const Row& row : rows) {
    EditControl edit(Init("E", &screen_, 0, 0, 10, 10), StringInit{}, row.size, row.classes);
    edit.sourceText = row.given;
    edit.wholeTextSelected = row.selected;
    screen_.Take();
    for (const char* p = row.typed; *p; ++p)
      EXPECT_EQ(edit.HandleInput(kChar, static_cast<unsigned char>(*p), 0, 0), 0);
    EXPECT_EQ(edit.sourceText, row.expected) << row.typed << " over " << row.given;
    EXPECT_FALSE(edit.wholeTextSelected) << row.typed;
    // Every character tells the owner, taken or not.
    EXPECT_EQ(screen_.Take().size(), std::strlen(row.typed)) << row.typed;
  }
  // A field given a short text still shows as much as may be typed into it.
  StringInit narrow;
  narrow.bufferSize = 4;
  EditControl edit(Init("E", &screen_, 0, 0, 10, 10), narrow, 6, 0);
  SetControlText(&edit, "30");
  EXPECT_EQ(edit.bufferSize, 6u);
  SetControlText(&edit, "12345678");
  EXPECT_EQ(edit.bufferSize, 8u);
}

TEST_F(ControlTest, EscapeClearsThenEndsTheEditAndEnterEndsItWithACommand) {
  BoxControl root(Init("ROOT", nullptr, 0, 0, 10, 10));
  auto* edit = static_cast<EditControl*>(
      ControlAddChild(&root, new EditControl(Init("E", &screen_, 0, 0, 10, 10), StringInit{}, 8, 0)));
  SetCaptureControl(edit, kLeftDown, 0, 0, 0);  // entering starts the edit
  EXPECT_EQ(screen_.Take(), (Events{"begin edit E", "enter E"}));
  EXPECT_EQ(g_controls.edit, edit);
  for (char c : std::string("ok")) edit->HandleInput(kChar, c, 0, 0);
  screen_.Take();
  edit->HandleInput(kChar, 27, 0, 0);
  EXPECT_EQ(screen_.Take(), (Events{"change E"}));
  EXPECT_EQ(edit->sourceText, "");
  EXPECT_TRUE(edit->state & kStateEditing);  // still editing
  edit->HandleInput(kChar, 27, 0, 0);
  EXPECT_EQ(screen_.Take(), (Events{"leave E", "end edit E", "notify 2 0", "change E"}));
  EXPECT_FALSE(edit->state & kStateEditing);
  EXPECT_EQ(g_controls.edit, nullptr);
  EXPECT_EQ(g_controls.capture, nullptr);

  SetCaptureControl(edit, kLeftDown, 0, 0, 0);
  edit->HandleInput(kChar, 'x', 0, 0);
  screen_.Take();
  edit->HandleInput(kChar, 13, 0, 0);
  EXPECT_EQ(screen_.Take(), (Events{"leave E", "end edit E", "change E", "command E"}));
  EXPECT_EQ(edit->sourceText, "x");
  edit->HandleInput(kChar, 9, 0, 0);
  EXPECT_EQ(screen_.Take(), (Events{"change E", "command E"}));
  EXPECT_EQ(edit->HandleInput(static_cast<int32_t>(plat::kWmKeyDown), 0x41, 0, 0), 0);
  EXPECT_EQ(edit->HandleInput(static_cast<int32_t>(plat::kWmKeyUp), 0x41, 0, 0), 1);
}

}  // namespace
