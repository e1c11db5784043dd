// The layout editor's property sheet: which field holds which property, how
// the current object's properties are shown in them and written back.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/gfx/fonts.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/edit_control.h"
#include "ui/form_editor.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"

const uint32_t kFormEditorFlagBits[17] = {kCtlButton,        0x2,         kCtlToggle,       kCtlCaptureOnly,
                                          kCtlRadio,         kCtlTexturedFrame, kCtlCommand, kCtlMomentary,
                                          kCtlClickThrough,  kCtlTintFrame, kCtlFocusReplaces, kCtlMirrorX,
                                          kCtlMirrorY,       kCtlPlainFrame, kCtlInvertLook, 0x100000,
                                          kCtlShowFocus};
const uint32_t kFormEditorStateBits[7] = {kStateSelected, 0x2, 0x4, kStateDisabled, 0x10, 0x20, kStateHidden};
const uint32_t kFormEditorAlignBits[4] = {kAlignRight, kAlignCentreHalf, kAlignBottom, kAlignBottomAlt};

const char* const kFormEditorFieldTags[kFormEditorFieldCount] = {
    "KIND", "TAG", "ID", "HOSTWORD", "LEFT", "TOP", "WIDTH", "HEIGHT",
    // Flags, in kFormEditorFlagBits order, then states.
    "FLAG1", "FLAG2", "FLAG4", "FLAG8", "FLAG10", "FLAG20", "FLAG40", "FLAG80", "FLAG20000", "FLAG1000",
    "FLAG2000", "FLAG100", "FLAG200", "FLAG400", "FLAG800", "FLAG100000", "FLAG200000",
    "STATE1", "STATE2", "STATE4", "STATE8", "STATE10", "STATE20", "STATE10000", "OUTLINEONLY",
    "FILLR0", "FILLG0", "FILLB0", "FILLR1", "FILLG1", "FILLB1", "FILLR2", "FILLG2", "FILLB2",
    "LINEW0", "LINEW1", "LINEW2",
    "LINER0", "LINEG0", "LINEB0", "LINER1", "LINEG1", "LINEB1", "LINER2", "LINEG2", "LINEB2",
    "TEXT",
    "EDITTEXT", "EDITSIZE", "EDITCLASS1", "EDITCLASS2", "EDITCLASS4", "EDITCLASS8", "EDITCLASS10",
    "EDITCLASS20", "EDITCLASS40",
    "SOURCE",
    "STRING", "STRINGSEL", "BUFFER", "FONT", "ALIGN2", "ALIGN4", "ALIGN8", "ALIGN10",
    "COLR0", "COLG0", "COLB0", "COLR1", "COLG1", "COLB1",
    "IMG0LEFT", "IMG0TOP", "IMG0WIDTH", "IMG0HEIGHT", "IMG1LEFT", "IMG1TOP", "IMG1WIDTH", "IMG1HEIGHT",
    "IMG2LEFT", "IMG2TOP", "IMG2WIDTH", "IMG2HEIGHT",
    "POSITION", "LOWMARK", "HIGHMARK",
};
const char* const kFormEditorPanelTags[kFormEditorPanelCount] = {"GRPTEXT",     "GRPSTRING",  "GRPBITMAP",
                                                                 "GRPSLIDEBAR", "GRPLISTBOX", "GRPSCROLLER"};

namespace {

constexpr int kEditClassCount = 7;
constexpr uint32_t kBitmapSets = 9;  // the loader's set numbers 0-8

void SetFieldNumber(Control* field, int64_t value) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%d", static_cast<int32_t>(value));
  SetEditorFieldText(field, buffer);
}

int32_t FieldNumber(Control* field) {
  return static_cast<int32_t>(std::strtol(EditorFieldText(field).c_str(), nullptr, 10));
}

bool Checked(Control* field, bool otherwise) { return field ? field->Selected() : otherwise; }

// An unbound check box leaves its bit as it was.
uint32_t ReadBits(uint32_t word, Control* const* boxes, const uint32_t* bits, int count) {
  for (int i = 0; i < count; ++i) {
    const bool on = Checked(boxes[i], (word & bits[i]) != 0);
    word = on ? (word | bits[i]) : (word & ~bits[i]);
  }
  return word;
}

void ShowBits(uint32_t word, Control* const* boxes, const uint32_t* bits, int count) {
  for (int i = 0; i < count; ++i) Press(boxes[i], (word & bits[i]) != 0);
}

// Colours are A8R8G8B8; the sheet shows red, green and blue, and a colour
// written back is opaque.
void ShowColour(uint32_t colour, Control* const* rgb) {
  SetFieldNumber(rgb[0], (colour >> 16) & 0xFF);
  SetFieldNumber(rgb[1], (colour >> 8) & 0xFF);
  SetFieldNumber(rgb[2], colour & 0xFF);
}

uint32_t ReadColour(uint32_t colour, Control* const* rgb) {
  const auto part = [](Control* field, uint32_t kept) {
    return field ? static_cast<uint32_t>(FieldNumber(field)) & 0xFF : kept;
  };
  return 0xFF000000u | (part(rgb[0], (colour >> 16) & 0xFF) << 16) | (part(rgb[1], (colour >> 8) & 0xFF) << 8) |
         part(rgb[2], colour & 0xFF);
}

// A number field's value, or the current value when the field is missing.
int32_t NumberOr(Control* field, int32_t kept) { return field ? FieldNumber(field) : kept; }

// A text field's text cut to a string control's buffer (0 keeps any
// length), so that the form stays loadable as it was edited.
std::string TextFor(Control* field, const std::string& kept, uint32_t bufferSize) {
  if (!field) return kept;
  std::string text = EditorFieldText(field);
  if (bufferSize && text.size() > bufferSize) text.resize(bufferSize);
  return text;
}

bool IsTextKind(int16_t kind) { return kind == kKindText || kind == kKindEdit; }

void ShowPanel(Control* panel) {
  if (panel) panel->SetState(panel->state & ~kStateHidden, 0, nullptr, 0, 0, 0, 0, 1);
}

}  // namespace

void SetEditorFieldText(Control* field, const char* text) {
  if (!field) return;
  if (IsStringKind(field))
    static_cast<StringControl*>(field)->SetText(text);
  else
    ControlSetText(field, text);
}

std::string EditorFieldText(Control* field) {
  if (!field) return {};
  if (IsStringKind(field)) return static_cast<StringControl*>(field)->GetText();
  return field->text;
}

const char* FormEditorKindName(int16_t kind) {
  static const char* const kNames[] = {"OBNULL", "OBBOX",     "OBTEXT",   "OBSTRING",  "OBBITMAP",   "OBICON",
                                       "OBDDBITMAP", "", "", "", "", "", "", "", "", "",
                                       "OBANIM", "OBEDIT", "OBEDITNUM", "OBLISTBOX", "OBSCROLLER", "OBSLIDEBAR"};
  static_assert(sizeof kNames / sizeof kNames[0] == kKindSlideBar + 1);
  if (kind < 0 || kind > kKindSlideBar) return "UNKNOWN";
  return kNames[kind];
}

void FormEditorScreen::ShowObjectProperties() {
  for (Control* panel : panels)
    if (panel) panel->SetState(panel->state | kStateHidden, 0, nullptr, 0, 0, 0, 0, 1);
  Control* c = currentObject;
  if (!c) return;
  Control* const* f = fields;

  SetEditorFieldText(f[kFieldKind], FormEditorKindName(c->kind));
  const std::string tag(c->tag, strnlen(c->tag, kTagSize));
  SetEditorFieldText(f[kFieldTag], tag.c_str());
  SetFieldNumber(f[kFieldId], c->id);
  // Each kind's own fields come from the class the loader makes for it.
  const auto* bc = c->kind == kKindBitmap ? dynamic_cast<const BitmapControl*>(c) : nullptr;
  const auto* sc = IsStringKind(c) ? dynamic_cast<const StringControl*>(c) : nullptr;
  const auto* tc = IsTextKind(c->kind) ? dynamic_cast<const TextControl*>(c) : nullptr;
  const auto* ec = c->kind == kKindEdit ? dynamic_cast<const EditControl*>(c) : nullptr;
  const auto* sb = c->kind == kKindSlideBar ? dynamic_cast<const SlideBarControl*>(c) : nullptr;
  // In a form file the word names a bitmap's image set; on other kinds it
  // only ever holds a screen attached at run time, saved as 0.
  SetFieldNumber(f[kFieldHostedWord], bc ? std::max(bc->images[kLookNormal].set, 0) : 0);
  SetFieldNumber(f[kFieldLeft], c->rect.left);
  SetFieldNumber(f[kFieldTop], c->rect.top);
  SetFieldNumber(f[kFieldWidth], Width(c));
  SetFieldNumber(f[kFieldHeight], Height(c));

  ShowBits(c->flags, f + kFieldFlags, kFormEditorFlagBits, 17);
  ShowBits(c->state, f + kFieldStates, kFormEditorStateBits, 7);
  Press(f[kFieldOutlineOnly], c->frameStyle == 1);

  for (int look = 0; look < 3; ++look) {
    ShowColour(c->fills[look], f + kFieldFills + 3 * look);
    SetFieldNumber(f[kFieldWidths + look], c->outlineWidths[look]);
    ShowColour(c->outlines[look], f + kFieldOutlines + 3 * look);
  }
  // The string kinds show their text in the string group; the control-level
  // text their records keep besides is the common one.
  SetEditorFieldText(f[kFieldText], sc ? sc->recordText.c_str() : c->text.c_str());

  if (ec) {
    SetEditorFieldText(f[kFieldEditText], ec->extraEdit.c_str());
    SetFieldNumber(f[kFieldEditSize], ec->editSize);
    for (int i = 0; i < kEditClassCount; ++i) Press(f[kFieldEditClasses + i], (ec->classes >> i) & 1);
  } else if (tc) {
    // The text group also holds the edit fields' own; a text control has none.
    SetEditorFieldText(f[kFieldEditText], "");
    SetEditorFieldText(f[kFieldEditSize], "");
    for (int i = 0; i < kEditClassCount; ++i) Press(f[kFieldEditClasses + i], false);
  }
  if (IsTextKind(c->kind)) ShowPanel(panels[kPanelText]);
  if (tc) SetEditorFieldText(f[kFieldSourceText], tc->sourceText.c_str());
  if (IsStringKind(c)) ShowPanel(panels[kPanelString]);
  if (sc) {
    SetEditorFieldText(f[kFieldString], sc->text.c_str());
    SetEditorFieldText(f[kFieldSelectedString], sc->selectedText.c_str());
    SetFieldNumber(f[kFieldBufferSize], sc->bufferSize);
    SetFieldNumber(f[kFieldFontSlot], sc->fontSlot);
    ShowBits(sc->alignment, f + kFieldAlignment, kFormEditorAlignBits, 4);
    ShowColour(sc->textColour, f + kFieldTextColours);
    ShowColour(sc->selectedTextColour, f + kFieldTextColours + 3);
  }
  if (c->kind == kKindBitmap) ShowPanel(panels[kPanelBitmap]);
  if (bc) {
    for (int look = 0; look < 3; ++look) {
      const plat::Rect& r = bc->images[look].source;
      Control* const* box = f + kFieldImages + 4 * look;
      SetFieldNumber(box[0], r.left);
      SetFieldNumber(box[1], r.top);
      SetFieldNumber(box[2], int64_t{r.right} - r.left);
      SetFieldNumber(box[3], int64_t{r.bottom} - r.top);
    }
  }
  if (c->kind == kKindSlideBar) ShowPanel(panels[kPanelSlideBar]);
  if (sb) {
    SetFieldNumber(f[kFieldSlideBar], sb->position);
    SetFieldNumber(f[kFieldSlideBar + 1], sb->lowMark);
    SetFieldNumber(f[kFieldSlideBar + 2], sb->highMark);
  }
  if (c->kind == kKindListBox) ShowPanel(panels[kPanelListBox]);
  if (c->kind == kKindListBox || c->kind == kKindScroller) ShowPanel(panels[kPanelScroller]);
}

void FormEditorScreen::ApplyObjectProperties() {
  Control* c = currentObject;
  if (!c) return;
  Control* const* f = fields;

  if (f[kFieldTag]) SetControlTag(c, EditorFieldText(f[kFieldTag]).c_str());  // cut to 12 characters
  c->id = NumberOr(f[kFieldId], c->id);
  auto* bc = c->kind == kKindBitmap ? dynamic_cast<BitmapControl*>(c) : nullptr;
  auto* sc = IsStringKind(c) ? dynamic_cast<StringControl*>(c) : nullptr;
  auto* tc = IsTextKind(c->kind) ? dynamic_cast<TextControl*>(c) : nullptr;
  auto* ec = c->kind == kKindEdit ? dynamic_cast<EditControl*>(c) : nullptr;
  auto* sb = c->kind == kKindSlideBar ? dynamic_cast<SlideBarControl*>(c) : nullptr;
  if (bc && f[kFieldHostedWord]) {
    // The loader takes a set outside 0-8 as set 0; so does the sheet.
    const auto set = static_cast<uint32_t>(FieldNumber(f[kFieldHostedWord]));
    bc->images[kLookNormal].set = set < kBitmapSets ? static_cast<int32_t>(set) : 0;
  }
  const int32_t left = NumberOr(f[kFieldLeft], c->rect.left);
  const int32_t top = NumberOr(f[kFieldTop], c->rect.top);
  const int32_t width = std::max(NumberOr(f[kFieldWidth], Width(c)), 2);
  const int32_t height = std::max(NumberOr(f[kFieldHeight], Height(c)), 2);
  c->rect = plat::Rect{left, top, left + width, top + height};

  c->flags = ReadBits(c->flags, f + kFieldFlags, kFormEditorFlagBits, 17);
  c->state = ReadBits(c->state, f + kFieldStates, kFormEditorStateBits, 7);
  if (f[kFieldOutlineOnly]) c->frameStyle = f[kFieldOutlineOnly]->Selected() ? 1 : 0;
  for (int look = 0; look < 3; ++look) {
    c->fills[look] = ReadColour(c->fills[look], f + kFieldFills + 3 * look);
    c->outlineWidths[look] = static_cast<uint8_t>(NumberOr(f[kFieldWidths + look], c->outlineWidths[look]) & 0xFF);
    c->outlines[look] = ReadColour(c->outlines[look], f + kFieldOutlines + 3 * look);
  }

  if (f[kFieldText]) {
    // An empty field leaves a control without text without one.
    std::string& own = sc ? sc->recordText : c->text;
    own = EditorFieldText(f[kFieldText]);
    if (!sc && !own.empty()) c->hasText = true;
  }
  if (ec) {
    ec->extraEdit = TextFor(f[kFieldEditText], ec->extraEdit, ec->bufferSize);
    ec->editSize = static_cast<uint32_t>(NumberOr(f[kFieldEditSize], static_cast<int32_t>(ec->editSize)));
    uint32_t classes = ec->classes;
    for (int i = 0; i < kEditClassCount; ++i)
      if (f[kFieldEditClasses + i])
        classes = f[kFieldEditClasses + i]->Selected() ? (classes | (1u << i)) : (classes & ~(1u << i));
    ec->classes = classes;
  }
  if (sc) {
    if (f[kFieldBufferSize]) sc->bufferSize = static_cast<uint32_t>(FieldNumber(f[kFieldBufferSize]));
    const auto font = static_cast<uint32_t>(NumberOr(f[kFieldFontSlot], static_cast<int32_t>(sc->fontSlot)));
    sc->fontSlot = font < static_cast<uint32_t>(kFontSlots) ? font : 0;  // as the loader takes a slot above 15
    if (f[kFieldString]) {
      sc->text = TextFor(f[kFieldString], sc->text, sc->bufferSize);
      if (!sc->text.empty()) sc->hasText = true;
    }
    sc->selectedText = TextFor(f[kFieldSelectedString], sc->selectedText, sc->bufferSize);
    sc->alignment = ReadBits(sc->alignment, f + kFieldAlignment, kFormEditorAlignBits, 4);
    sc->textColour = ReadColour(sc->textColour, f + kFieldTextColours);
    sc->selectedTextColour = ReadColour(sc->selectedTextColour, f + kFieldTextColours + 3);
  }
  if (tc) {
    tc->sourceText = TextFor(f[kFieldSourceText], tc->sourceText, tc->bufferSize);
  }
  if (bc) {
    for (int look = 0; look < 3; ++look) {
      plat::Rect& r = bc->images[look].source;
      Control* const* box = f + kFieldImages + 4 * look;
      const int32_t l = NumberOr(box[0], r.left), t = NumberOr(box[1], r.top);
      r = plat::Rect{l, t, l + NumberOr(box[2], r.right - r.left), t + NumberOr(box[3], r.bottom - r.top)};
    }
  } else if (sb) {
    uint16_t* words[3] = {&sb->position, &sb->lowMark, &sb->highMark};
    for (int i = 0; i < 3; ++i) *words[i] = static_cast<uint16_t>(NumberOr(f[kFieldSlideBar + i], *words[i]));
  }
  c->Invalidate();
  // What the object covered before may be bare now.
  if (workArea) workArea->Invalidate();
  ShowObjectProperties();
}

std::vector<FormBinding> FormEditorScreen::Bindings() {
  std::vector<FormBinding> table;
  for (int i = 0; i < kFormEditorFieldCount; ++i) table.push_back({kFormEditorFieldTags[i], &fields[i], 0});
  for (int i = 0; i < kFormEditorPanelCount; ++i) table.push_back({kFormEditorPanelTags[i], &panels[i], 0});
  table.push_back({"WORKAREA", &workArea, 0});
  table.push_back({"STATUS", &statusLine, 0});
  table.push_back({"FILENAME", &fileNameField, 0});
  table.push_back({});
  return table;
}

void FormEditorScreen::SetStatus(const char* text) { SetEditorFieldText(statusLine, text); }
