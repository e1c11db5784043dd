#include "ui/form_editor.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_object.h"
#include "app/audio/music_player.h"
#include "app/gfx/renderer.h"
#include "app/gfx/texture.h"
#include "app/init_order.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "ui/box_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"

FormEditorScreen g_formEditor VD_INIT_FORM_EDITOR;

namespace {

// The window timer the editor's quit stops.
constexpr uintptr_t kEditorTimerId = 5;
constexpr const char* kDefaultName = "SAVEFORM";

// Record words of a new form that no reader looks at.
constexpr uint32_t kNewFormWord0 = 102;
constexpr uint32_t kNewFormWord1 = 111;
constexpr uint32_t kNewFormWord9 = 4662852;
constexpr uint32_t kNewFormWord20 = 0xCADDBEFFu;
constexpr size_t kNewFormNameByte = 20;
constexpr size_t kCreationStamp = 13;  // words 13 to 15, laid out as the save stamp

std::string Formatted(const char* format, uint32_t a, uint32_t b) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, format, a, b);
  return buffer;
}

// A name as the status line shows it: control characters as '?', cut to a
// length the line can hold.
std::string Shown(const std::string& name) {
  std::string shown = name.substr(0, 2 * kFormEditorNameSize);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 32) c = '?';
  return shown;
}

}  // namespace

FormEditorScreen::FormEditorScreen() : Screen(nullptr) { quit = FormEditorQuit; }

FormEditorScreen::~FormEditorScreen() { Close(); }

FormHeader NewFormRecord() {
  FormHeader record;
  uint32_t* d = record.dwords;
  d[0] = kNewFormWord0;
  d[1] = kNewFormWord1;
  StampFormWords(d + kCreationStamp, plat::GetLocalTime());
  std::memcpy(reinterpret_cast<uint8_t*>(d) + kNewFormNameByte, "SAVEFORM.HAP", 13);
  d[9] = kNewFormWord9;
  d[20] = kNewFormWord20;
  return record;
}

bool FormEditorNameIsSafe(const char* name) {
  const size_t length = std::strlen(name);
  if (length > kFormEditorNameSize || std::strstr(name, "..")) return false;
  for (const char* p = name; *p; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c < 32 || c == 127 || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

void ClearHiddenStates(Control* control) {
  if (!control) return;
  control->SetState(control->state & ~kStateHidden, 0, nullptr, 0, 0, 0, 0, 1);
  control->flags &= ~kCtlClickThrough;
  if (Control* first = control->firstChild) {
    Control* child = first;
    do {
      ClearHiddenStates(child);
      child = child->NextInRing();
    } while (child && child != first);
  }
}

void FormEditorQuit() {
  plat::KillWindowTimer(g_platform.mainWindow, kEditorTimerId);
  for (Texture*& set : g_renderer.bitmapSets) {
    delete set;
    set = nullptr;
  }
  delete g_ui.backgroundSurface;
  g_ui.backgroundSurface = nullptr;
  StopMusic(g_music);
  if (g_platform.mainWindow) plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
}

plat::Status FormEditorScreen::SaveEditedForm(const char* name) {
  // Drawing clears the dirty bit that every control of a form file carries;
  // it goes back before the save, so a form saves as it was loaded however
  // often it was drawn in between.
  ControlTreeForEach(editedForm, kAnyDepth, 1, [](Control* c) { c->state |= kStateDirty; });
  return SaveFormFile(formRecord, editedForm, name);
}

void FormEditorScreen::OnCommand(Control* control, int32_t) {
  if (!control) return;
  const char* tag = control->tag;
  if (ControlTagMatches(tag, "BTEST")) {
    if (!editedForm) return;
    ApplyObjectProperties();
    currentObject = nullptr;
  } else if (ControlTagMatches(tag, "MENUNEW")) {
    NewForm(1);
  } else if (ControlTagMatches(tag, "MENULOAD")) {
    LoadForm(1);
  } else if (ControlTagMatches(tag, "MENUSAVE")) {
    SaveForm(1);
  } else if (ControlTagMatches(tag, "MENUINFO")) {
    ShowFormInfo(1);
  } else if (ControlTagMatches(tag, "MENUUNHIDE")) {
    if (!editedForm) return;
    ApplyObjectProperties();
    currentObject = nullptr;
    ClearHiddenStates(editedForm);
    SetStatus("All HIDDEN States Cleared");
  } else if (ControlTagMatches(tag, "MENUQUIT")) {
    Quit();
  }
}

void FormEditorScreen::NewForm(int32_t click) {
  if (!click) return;
  if (editedForm) {
    ApplyObjectProperties();
    currentObject = nullptr;
    // A form that cannot be backed up is not dropped.
    if (plat::Failed(SaveEditedForm("AUTOBACKUPN"))) {
      SetStatus("AUTOBACKUPN not saved: the form is kept");
      return;
    }
    SetStatus("AUTOBACKUPN auto-saved");
    editedForm->Unlink();
    delete editedForm;
    editedForm = nullptr;
  }
  ControlInit init;
  init.kind = kKindBox;
  init.width = 224;
  init.height = 125;
  auto* box = new BoxControl(init);
  for (uint8_t& width : box->outlineWidths) width = 0xFF;
  for (uint32_t& colour : box->outlines) colour = 0xFFFFFF00u;
  editedForm = ControlAddChild(workArea, box);
  formRecord = NewFormRecord();
  SetEditorFieldText(fileNameField, kDefaultName);
  currentObject = editedForm;
  formWords[0] = formWords[1] = 0;
  ShowObjectProperties();
}

void FormEditorScreen::LoadForm(int32_t click) {
  if (!click) return;
  if (editedForm) {
    ApplyObjectProperties();
    currentObject = nullptr;
    if (plat::Failed(SaveEditedForm("AUTOBACKUPL"))) {
      SetStatus("AUTOBACKUPL not saved: the form is kept");
      return;
    }
    SetStatus("AUTOBACKUPL auto-saved");
  }
  if (!TakeFormFileName()) return;
  // The edited form stays until the new one has been read.
  FormHeader loadedRecord;
  Control* loaded = LoadFormFile(fileName, nullptr, &loadedRecord, nullptr);
  if (!loaded) {
    SetStatus(("Cannot load " + Shown(fileName)).c_str());
    return;
  }
  if (editedForm) {
    editedForm->Unlink();
    delete editedForm;
  }
  formRecord = loadedRecord;
  editedForm = ControlAddChild(workArea, loaded);
  currentObject = editedForm;
  formWords[0] = formWords[1] = 0;
  ShowObjectProperties();
  SetStatus(Formatted("File Loaded.  %d Objects %d Stringsize", formRecord.dwords[kFormCount],
                      formRecord.dwords[kFormPoolSize])
                .c_str());
}

void FormEditorScreen::SaveForm(int32_t click) {
  if (!click || !editedForm) return;
  ApplyObjectProperties();
  currentObject = nullptr;
  if (!TakeFormFileName()) return;
  if (plat::Failed(SaveEditedForm(fileName))) {
    SetStatus(("Save failed: " + Shown(fileName)).c_str());
    return;
  }
  SetStatus(Formatted("File Saved.  %d Objects %d Stringsize", formRecord.dwords[kFormCount],
                      formRecord.dwords[kFormPoolSize])
                .c_str());
}

void FormEditorScreen::ShowFormInfo(int32_t click) {
  if (!click || !editedForm) return;
  const uint32_t* d = formRecord.dwords;
  const auto year = [](uint32_t word) { return static_cast<int>(word & 0xFFFF); };
  const auto month = [](uint32_t word) { return static_cast<int>((word >> 16) & 0xFF); };
  const auto day = [](uint32_t word) { return static_cast<int>(word >> 24); };
  const uint32_t created = d[kCreationStamp + 1], saved = d[kFormStampDate];
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "Created %04d%02d%02d Saved %04d%02d%02d Build %3d", year(created),
                month(created), day(created), year(saved), month(saved), day(saved),
                static_cast<int>(d[kFormSaveCount]));
  SetStatus(buffer);
}

void FormEditorScreen::Quit() {
  if (editedForm) {
    if (plat::Failed(SaveEditedForm("AUTOBACKUP"))) {
      SetStatus("AUTOBACKUP not saved: the editor stays open");
      return;
    }
    SetStatus("Yall Come Back Now!");
  }
  if (quit) quit();
}

bool FormEditorScreen::TakeFormFileName() {
  std::string name = EditorFieldText(fileNameField);
  if (name.empty()) name = kDefaultName;
  // "ABC.HAP" names the file "ABC" does; ".HAP" alone stays a name.
  if (name.size() > 4 && name[name.size() - 4] == '.') name.resize(name.size() - 4);
  if (!FormEditorNameIsSafe(name.c_str())) {
    SetStatus(("File name refused: " + Shown(name)).c_str());
    return false;
  }
  std::memcpy(fileName, name.c_str(), name.size() + 1);
  return true;
}

bool FormEditorScreen::Open(Control* host, const char* formName, const char* startName) {
  Close();
  const std::vector<FormBinding> table = Bindings();
  ownForm = LoadFormFile(formName, this, nullptr, table.data());
  if (!ownForm) return false;
  int unbound = 0;
  for (const FormBinding& b : table)
    if (b.target && !*b.target) ++unbound;
  if (unbound)
    std::fprintf(stderr, "Form %s: %d of the layout editor's controls are missing; they stay empty\n", formName,
                 unbound);
  if (host) ControlAttachForm(host, ownForm);
  ShowObjectProperties();
  if (startName && *startName) {
    SetEditorFieldText(fileNameField, startName);
    LoadForm(1);
  }
  return true;
}

void FormEditorScreen::Close() {
  // A control leaves its parent as it is deleted; the edited form sits in
  // the work area and goes with the editor's form.
  if (ownForm)
    delete ownForm;
  else
    delete editedForm;
  ownForm = editedForm = currentObject = nullptr;
  workArea = statusLine = fileNameField = nullptr;
  for (Control*& panel : panels) panel = nullptr;
  for (Control*& field : fields) field = nullptr;
}
