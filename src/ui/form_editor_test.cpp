// The layout editor: its commands on a sheet of plain controls, the faults
// it reports, and forms that come back from it as they went in.
#include "ui/form_editor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/file_helpers.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "ui/bitmap_control.h"
#include "ui/box_control.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "support/fixed_clock.h"

namespace {

bool IsCheckField(int i) {
  return (i >= kFieldFlags && i <= kFieldOutlineOnly) || (i >= kFieldEditClasses && i < kFieldSourceText) ||
         (i >= kFieldAlignment && i < kFieldTextColours);
}

Control* Child(Control* parent, Control* c) { return ControlAddChild(parent, c); }
Control* Edit(const char* tag) { return new EditControl(ControlInit{.tag = tag}, StringInit{}, 255, 0); }
Control* Box(const char* tag, int32_t w = 10, int32_t h = 10) {
  return new BoxControl(ControlInit{.kind = kKindBox, .tag = tag, .width = w, .height = h});
}

// The editor's controls as plain controls under one root, saved as a form
// and bound through the editor's table when it opens it.
Control* SheetForm() {
  Control* root = Box("SHEET", 1024, 768);
  Child(root, Box("WORKAREA", 1024, 300));
  Child(root, new StringControl(ControlInit{.tag = "STATUS"}, StringInit{}));
  Child(root, Edit("FILENAME"));
  for (const char* tag : kFormEditorPanelTags) Child(root, Box(tag));
  for (int i = 0; i < kFormEditorFieldCount; ++i) {
    const char* tag = kFormEditorFieldTags[i];
    Child(root, i == kFieldKind ? new StringControl(ControlInit{.tag = tag}, StringInit{})
                : IsCheckField(i) ? Box(tag)
                                  : Edit(tag));
  }
  return root;
}

int g_quits = 0;
void CountQuit() { ++g_quits; }

// The rows of the tables below act on the fixture, so all of it is theirs.
class FormEditorTest : public ::testing::Test {
 public:
  void SetUp() override {
    plat::SetClockSource(&clock_);
    savedRoot_ = plat::DataRoot();
    dir_ = std::make_unique<TempDir>();
    plat::SetDataRoot(dir_->path());
    std::strcpy(g_app.hapsDirectory, "HAPS\\");
    ASSERT_TRUE(plat::MakeGameDirectories("HAPS"));
    FormHeader header;
    std::unique_ptr<Control> sheet(SheetForm());
    ASSERT_EQ(SaveFormFile(header, sheet.get(), "SHEET"), plat::kOk);
    ASSERT_TRUE(editor_.Open(nullptr, "SHEET", nullptr));
    editor_.quit = CountQuit;
    g_quits = 0;
    editor_.SetStatus("untouched");
  }
  void TearDown() override {
    editor_.Close();
    chmod(Haps().c_str(), 0755);
    dir_.reset();
    plat::SetDataRoot(savedRoot_);
    plat::SetClockSource(nullptr);
  }

  std::string Haps() const { return dir_->path() + "/HAPS"; }
  // Makes the form directory refuse writes. A read-only directory does not
  // stop root, so there the directory moves away for a plain file of its name.
  void MakeUnwritable() const {
    ASSERT_EQ(chmod(Haps().c_str(), 0555), 0);
    if (access(Haps().c_str(), W_OK) != 0) return;
    ASSERT_EQ(rename(Haps().c_str(), (Haps() + ".kept").c_str()), 0);
    dir_->Write("HAPS", "not a folder");
  }
  bool Exists(const std::string& name) const { return access((Haps() + "/" + name).c_str(), F_OK) == 0; }
  std::vector<uint8_t> Image(const std::string& name) const {
    return plat::ReadFileBytes("HAPS/" + name).value_or(std::vector<uint8_t>{});
  }
  void Click(const char* tag) {
    std::unique_ptr<Control> button(Box(tag));
    editor_.OnCommand(button.get(), 0);
  }
  std::string Text(int i) { return EditorFieldText(editor_.fields[i]); }
  void Type(int i, const char* text) { SetEditorFieldText(editor_.fields[i], text); }
  void Name(const char* text) { SetEditorFieldText(editor_.fileNameField, text); }
  std::string Status() { return EditorFieldText(editor_.statusLine); }

  FixedClock clock_{{2025, 3, 5, 7, 16, 45, 30, 125}};
  std::unique_ptr<TempDir> dir_;
  std::string savedRoot_;
  GlobalGuard<char[16]> haps_{g_app.hapsDirectory};
  FormEditorScreen editor_;
};

// What a saved form file holds that a round trip may change: the save count
// and the stamp. The rest must come back byte for byte.
std::vector<uint8_t> WithoutSaveMarks(std::vector<uint8_t> image) {
  for (size_t dword : {size_t{kFormSaveCount}, size_t{kFormStampDay}, size_t{kFormStampDate}, size_t{kFormStampTime}})
    if (image.size() >= 4 * dword + 4) std::fill_n(image.begin() + 4 * dword, 4, 0);
  return image;
}

TEST_F(FormEditorTest, EditorCommands) {
  struct Row {
    const char* what;
    std::function<void(FormEditorTest&)> actAndCheck;
  } rows[] = {
      {"a new form is the 224 x 125 box SAVEFORM",
       [](FormEditorTest& t) {
         t.Click("MENUNEW");
         EXPECT_EQ(EditorFieldText(t.editor_.fileNameField), "SAVEFORM");
         EXPECT_EQ(t.Text(kFieldKind) + " " + t.Text(kFieldWidth) + " x " + t.Text(kFieldHeight), "OBBOX 224 x 125");
         EXPECT_EQ(t.editor_.currentObject, t.editor_.editedForm);
         EXPECT_EQ(t.editor_.editedForm->parent, t.editor_.workArea);
         const uint32_t* d = t.editor_.formRecord.dwords;
         EXPECT_EQ(std::vector<uint32_t>({d[0], d[1], d[9], d[20]}),
                   std::vector<uint32_t>({102, 111, 4662852, 0xCADDBEFF}));
         EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(d) + 20, "SAVEFORM.HAP", 13), 0);
       }},
      {"file names",
       [](FormEditorTest& t) {
         t.Click("MENUNEW");
         const std::pair<const char*, const char*> names[] = {
             {"", "SAVEFORM"}, {"ABC.HAP", "ABC"}, {"ABC", "ABC"}, {".HAP", ".HAP"}};
         for (const auto& [typed, name] : names) {
           t.Name(typed);
           t.Click("MENUSAVE");
           EXPECT_STREQ(t.editor_.fileName, name) << typed;
           EXPECT_TRUE(t.Exists(std::string(name) + ".HAP")) << typed;
         }
       }},
      {"with no form, save, info, unhide and apply do nothing",
       [](FormEditorTest& t) {
         for (const char* tag : {"MENUSAVE", "MENUINFO", "MENUUNHIDE", "BTEST"}) t.Click(tag);
         EXPECT_EQ(t.Status(), "untouched");
         EXPECT_FALSE(t.Exists("SAVEFORM.HAP"));
         EXPECT_EQ(t.editor_.editedForm, nullptr);
       }},
      {"kind names",
       [](FormEditorTest& t) {
         const std::pair<int16_t, const char*> kinds[] = {{21, "OBSLIDEBAR"}, {22, "UNKNOWN"}, {7, ""}};
         for (const auto& [kind, name] : kinds) {
           Control c;
           c.kind = kind;
           t.editor_.currentObject = &c;
           t.editor_.ShowObjectProperties();
           EXPECT_EQ(t.Text(kFieldKind), name) << kind;
         }
         t.editor_.currentObject = nullptr;
       }},
      {"apply raises a width to 2, cuts colours to 8 bits and a tag to 12",
       [](FormEditorTest& t) {
         t.Click("MENUNEW");
         t.Type(kFieldWidth, "1");
         t.Type(kFieldFills, "300");
         t.Type(kFieldFills + 1, "300");
         t.Type(kFieldTag, "ABCDEFGHIJKLMNO");
         t.Click("BTEST");
         Control* form = t.editor_.editedForm;
         EXPECT_EQ(Width(form), 2);
         EXPECT_EQ(form->fills[kLookNormal], 0xFF2C2C00u);  // red and green 300 & 0xFF = 44 = 0x2C
         EXPECT_EQ(std::string(form->tag, kTagSize), "ABCDEFGHIJKL");
         EXPECT_EQ(t.editor_.currentObject, nullptr);
       }},
      {"unhide makes a hidden click-through grandchild visible and clickable",
       [](FormEditorTest& t) {
         t.Click("MENUNEW");
         Control* grandchild = Child(Child(t.editor_.editedForm, Box("CHILD", 100, 100)), Box("GRAND", 50, 50));
         grandchild->state |= kStateHidden;
         grandchild->flags |= kCtlClickThrough;
         t.Click("MENUUNHIDE");
         EXPECT_FALSE(grandchild->Hidden());
         EXPECT_EQ(ControlHitTest(t.editor_.editedForm, 10, 10, kAnyDepth, 0), grandchild);
         EXPECT_EQ(t.Status(), "All HIDDEN States Cleared");
       }},
      {"info after one save",
       [](FormEditorTest& t) {
         t.Click("MENUNEW");
         t.Click("MENUSAVE");
         t.Click("MENUINFO");
         EXPECT_EQ(t.Status(), "Created 20250307 Saved 20250307 Build   1");
       }},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.what);
    TearDown();
    SetUp();
    row.actAndCheck(*this);
  }
}

TEST_F(FormEditorTest, FaultsKeepTheFormAndSaySo) {
  struct Row {
    const char* what;
    bool readOnly;  // the form directory refuses writes first
    std::function<void(FormEditorTest&)> act;
    std::string status;  // its beginning
    const char* written;  // a file the step must have written, or null
  } rows[] = {
      {"a missing form is not loaded", false, [](FormEditorTest& t) { t.Name("MISSING"); t.Click("MENULOAD"); },
       "Cannot load MISSING", "AUTOBACKUPL.HAP"},
      {"a failed save", true, [](FormEditorTest& t) { t.Click("MENUSAVE"); }, "Save failed: SAVEFORM", nullptr},
      {"a failed backup before a new form", true, [](FormEditorTest& t) { t.Click("MENUNEW"); },
       "AUTOBACKUPN not saved", nullptr},
      {"a failed backup before a load", true, [](FormEditorTest& t) { t.Name("SHEET"); t.Click("MENULOAD"); },
       "AUTOBACKUPL not saved", nullptr},
      {"a failed backup before quitting", true, [](FormEditorTest& t) { t.Click("MENUQUIT"); },
       "AUTOBACKUP not saved", nullptr},
      {"..\\x is refused", false, [](FormEditorTest& t) { t.Name("..\\x"); t.Click("MENUSAVE"); },
       "File name refused: ..\\x", nullptr},
      {"so are /, :, \\ and control characters", false,
       [](FormEditorTest& t) {
         for (const char* name : {"a/b", "c:d", "g\\h", "e\x01" "f"}) {
           t.Name(name);
           t.Click("MENULOAD");
         }
       },
       "File name refused: e?f", "AUTOBACKUPL.HAP"},
      {"and 65 characters", false, [](FormEditorTest& t) { t.Name(std::string(65, 'n').c_str()); t.Click("MENUSAVE"); },
       "File name refused", nullptr},
      {"quitting backs up and ends", false, [](FormEditorTest& t) { t.Click("MENUQUIT"); }, "Yall Come Back Now!",
       "AUTOBACKUP.HAP"},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.what);
    TearDown();
    SetUp();
    Click("MENUNEW");
    Control* formA = editor_.editedForm;
    const std::string nameBefore = editor_.fileName;
    if (row.readOnly) MakeUnwritable();
    row.act(*this);
    EXPECT_EQ(Status().substr(0, row.status.size()), row.status);
    EXPECT_EQ(editor_.editedForm, formA);
    EXPECT_TRUE(!row.written || Exists(row.written));
    EXPECT_TRUE(row.status.rfind("File name refused", 0) != 0 || editor_.fileName == nameBefore);
    EXPECT_EQ(g_quits, row.status == "Yall Come Back Now!" ? 1 : 0);
  }
}

// A root with six opaque colours, small widths, no text and a size of at
// least 2 x 2, over children of every kind the writer stores.
Control* RoundTripForm() {
  Control* root = Box("ROOT", 300, 200);
  root->id = 17;
  root->flags = kCtlButton | kCtlTexturedFrame;
  root->frameStyle = 1;
  for (uint32_t look = 0; look < 3; ++look) {
    root->fills[look] = 0xFF102030u + 0x303030u * look;
    root->outlines[look] = 0xFFA0B0C0u + 0x101010u * look;
    root->outlineWidths[look] = static_cast<uint8_t>(look + 1);
  }
  StringInit strings{.bufferSize = 20, .fontSlot = 2, .alignment = 6};
  Child(root, new StringControl(ControlInit{.tag = "S", .text = "shown", .left = 4, .width = 60, .height = 12},
                                strings));
  Child(root, new EditControl(ControlInit{.tag = "E", .text = "typed", .top = 20, .width = 60, .height = 12},
                              strings, 8, kEditUpperCase));
  Child(root, new BitmapControl(ControlInit{.tag = "B", .width = 16, .height = 16}, BitmapImage{2, {0, 0, 16, 16}},
                                BitmapImage{}, BitmapImage{}));
  Child(root, new SlideBarControl(ControlInit{.tag = "SB", .width = 80, .height = 8}, SlideBarInit{.position = 300}));
  Child(root, Box("PLAIN"))->kind = kKindListBox;
  return root;
}

TEST_F(FormEditorTest, LoadedFormsSaveAndBackUpAsTheyCame) {
  // T1 is a form as the loader gives it back (owned texts and all).
  FormHeader header;
  header.dwords[0] = 5, header.dwords[11] = 0x1234, header.dwords[20] = 7;
  std::unique_ptr<Control> form(RoundTripForm());
  ASSERT_EQ(SaveFormFile(header, form.get(), "T0"), plat::kOk);
  form.reset(LoadFormFile("T0", nullptr, &header, nullptr));
  ASSERT_EQ(SaveFormFile(header, form.get(), "T1"), plat::kOk);
  struct Row {
    const char* command;  // after loading T1
    const char* written;
  } rows[] = {{"MENUSAVE", "T2.HAP"}, {"MENUNEW", "AUTOBACKUPN.HAP"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    Name("T1");
    Click("MENULOAD");
    ASSERT_NE(editor_.editedForm, nullptr);
    // Shown once: drawing clears the dirty bits the file holds.
    ControlTreeForEach(editor_.editedForm, kAnyDepth, 1, [](Control* c) { c->state &= ~kStateDirty; });
    EXPECT_EQ(Status(), "File Loaded.  6 Objects " + std::to_string(header.dwords[kFormPoolSize]) + " Stringsize");
    Name("T2");
    Click(row.command);
    EXPECT_EQ(WithoutSaveMarks(Image(row.written)), WithoutSaveMarks(Image("T1.HAP")));
  }
}

}  // namespace
