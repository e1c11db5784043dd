#pragma once
// The screen-layout editor: one form file at a time, hosted in its work
// area, its root's properties shown in a property sheet and written back,
// hidden states cleared, and saved with automatic backups before every step
// that would drop it. One static object whose form-less screen stands on the
// list of all screens. Window thread only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/form_file.h"
#include "ui/screen.h"

class Control;

// The property sheet's fields and its six group panels.
inline constexpr int kFormEditorFieldCount = 94;
enum FormEditorPanel : int {
  kPanelText = 0,
  kPanelString,
  kPanelBitmap,
  kPanelSlideBar,
  kPanelListBox,
  kPanelScroller,
  kFormEditorPanelCount
};
// The longest file name the editor loads or saves under (no extension).
inline constexpr size_t kFormEditorNameSize = 64;

// Where each property sits among the fields, group by group: the number of
// entries each group takes is fixed by the sheet's layout.
enum FormEditorField : int {
  kFieldKind = 0,  // the kind's name, shown only
  kFieldTag,
  kFieldId,
  kFieldHostedWord,
  kFieldLeft,
  kFieldTop,
  kFieldWidth,
  kFieldHeight,
  kFieldFlags = 8,          // 17 check boxes, kFormEditorFlagBits order
  kFieldStates = 25,        // 7 check boxes, kFormEditorStateBits order
  kFieldOutlineOnly = 32,   // frame style 1
  kFieldFills = 33,         // red, green, blue of the normal, selected, focused fill
  kFieldWidths = 42,        // normal, selected, focused outline widths
  kFieldOutlines = 45,      // red, green, blue of the three outline colours
  kFieldText = 54,          // the control's own text
  kFieldEditText = 55,      // edit fields: their own further text
  kFieldEditSize = 56,
  kFieldEditClasses = 57,   // 7 check boxes, classes 0x1 to 0x40
  kFieldSourceText = 64,    // text kinds: the text edited and shown
  kFieldString = 65,        // string kinds: the text, the selected text,
  kFieldSelectedString,     // the buffer size and the font slot
  kFieldBufferSize,
  kFieldFontSlot,
  kFieldAlignment = 69,     // 4 check boxes, kFormEditorAlignBits order
  kFieldTextColours = 73,   // red, green, blue of the normal and selected text colours
  kFieldImages = 79,        // bitmaps: left, top, width, height of the three looks' images
  kFieldSlideBar = 91,      // slide bars: position, low mark, high mark
};
static_assert(kFieldSlideBar + 3 == kFormEditorFieldCount);

// The bits the check boxes stand for.
extern const uint32_t kFormEditorFlagBits[17];
extern const uint32_t kFormEditorStateBits[7];
extern const uint32_t kFormEditorAlignBits[4];

// The tags of the editor's own form that the editor binds, field by field.
extern const char* const kFormEditorFieldTags[kFormEditorFieldCount];
extern const char* const kFormEditorPanelTags[kFormEditorPanelCount];

class FormEditorScreen : public Screen {
 public:
  FormEditorScreen();
  ~FormEditorScreen() override;

  // The menu buttons, by tag: "BTEST", "MENUNEW", "MENULOAD", "MENUSAVE",
  // "MENUINFO", "MENUUNHIDE", "MENUQUIT"; other tags do nothing.
  void OnCommand(Control* control, int32_t id) override;

  // The menu commands; each acts only when click is not 0. A form that a new
  // or loaded one replaces is backed up first ("AUTOBACKUPN", "AUTOBACKUPL"),
  // and kept when the backup or the load fails.
  void NewForm(int32_t click);
  void LoadForm(int32_t click);
  void SaveForm(int32_t click);
  void ShowFormInfo(int32_t click);
  // Backs the form up as "AUTOBACKUP" and ends the program; a failed backup
  // keeps both.
  void Quit();

  // Refreshes the property sheet from the current object.
  void ShowObjectProperties();
  // Writes the property sheet back into the current object (its kind
  // stays), then refreshes the sheet.
  void ApplyObjectProperties();
  // The file-name field's text becomes the file name, ".HAP" cut off; an
  // empty field gives "SAVEFORM". A name the form directory cannot hold
  // safely is refused on the status line, keeping the old name: false.
  bool TakeFormFileName();

  // Loads the editor's own form and binds its controls by tag, shows it in
  // host and, with a name, loads that form. False when the form cannot be
  // read.
  bool Open(Control* host, const char* formName, const char* startName);
  // Takes the editor's form out of its host and frees it with the edited
  // form; the bound controls are forgotten.
  void Close();
  // The bindings table of the editor's controls, ended by an empty entry.
  std::vector<FormBinding> Bindings();
  // Replaces the status line's text.
  void SetStatus(const char* text);

  // Saves the edited form under the name, the form record updated.
  plat::Status SaveEditedForm(const char* name);

  FormHeader formRecord;
  char fileName[kFormEditorNameSize + 1] = "SAVEFORM";
  Control* editedForm = nullptr;
  Control* currentObject = nullptr;
  uint32_t formWords[2] = {};  // cleared by every new and loaded form
  Control* panels[kFormEditorPanelCount] = {};
  Control* workArea = nullptr;
  Control* statusLine = nullptr;
  Control* fileNameField = nullptr;
  Control* fields[kFormEditorFieldCount] = {};
  Control* ownForm = nullptr;  // the editor's own form
  // What ends the program; tests put a recorder here.
  void (*quit)() = nullptr;
};

extern FormEditorScreen g_formEditor;

// The record of a new form: 102 and 111 in words 0 and 1, the creation stamp
// of the local time, "SAVEFORM.HAP" at byte 20, 4662852 in word 9 and
// 0xCADDBEFF in word 20.
FormHeader NewFormRecord();
// Makes the whole tree under control visible and hit-testable again.
void ClearHiddenStates(Control* control);
// Ends the program from the editor as closing the window does.
void FormEditorQuit();
// The kind's name on the property sheet: "OBBOX", "OBSLIDEBAR", empty for
// 7 to 15, "UNKNOWN" above 21.
const char* FormEditorKindName(int16_t kind);
// A field's text whatever its kind: a string kind's (an edit field's typed
// text), any other control's own.
void SetEditorFieldText(Control* field, const char* text);
std::string EditorFieldText(Control* field);
// Whether a typed file name is safe to put in the form directory: at most
// 64 characters, no "..", "/", "\", ":" or control character.
bool FormEditorNameIsSafe(const char* name);
