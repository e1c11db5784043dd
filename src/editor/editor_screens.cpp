#include "editor/editor_screens.h"

#include <cstring>

#include "editor/editor_map_input.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/string_control.h"
#include "ui/text_fit.h"

EditorScreens g_editorScreens;

namespace {

}  // namespace

void MapEditCmdBar::BindControls() {
  if (g_editorScreens.frame) hostLink = &g_editorScreens.frame->barHost;
  if (currentForm) height = currentForm->rect.bottom - currentForm->rect.top;
  currentTab = 1;
}

void MapEditCmdBar::Refresh() {
  Control* tab = currentForm ? FormFindControlById(currentForm, currentTab) : nullptr;
  if (tab) SetControlFlag(tab, kStateSelected, 1);
}

void MapEditCmdBar::OnCommand(Control* control, int32_t id) {
  if (!control) return;
  if (std::strncmp(control->tag, "TAB", 3) == 0) {
    currentTab = id;
    ShowEditingOffHint(false);
    OpenEditorModePanel(id);
  } else if (ControlTagMatches(control->tag, "MAPMODE")) {
    const bool on = (control->state & kStateSelected) != 0;
    g_editorMap.flags = on ? g_editorMap.flags | kEditorEditing : g_editorMap.flags & ~kEditorEditing;
    ShowEditingOffHint(false);
  }
}

void MapEditCmdBar::ShowEditingOffHint(bool shown) { ShowHint(shown ? kEditingOffHint : ""); }

void MapEditCmdBar::ShowHint(const std::string& text, const std::string& shorter) {
  Control* hint = Tag(currentForm, "EDITHINT");
  if (!hint) return;
  const std::string* shown = &text;
  if (auto* line = dynamic_cast<StringControl*>(hint); line && !shorter.empty()) {
    BitmapFont* font = line->Font();
    if (font && TextWidth(font, text) > Width(line) - line->textInset) shown = &shorter;
  }
  if (hint->text == *shown) return;
  ControlSetText(hint, shown->c_str());
  hint->Invalidate();
}

void MapEditorB::BindControls() {
  toolHost = Tag(currentForm, "PARENTT");
  barHost = Tag(currentForm, "CMDMAP");
}

void MapEditorBSs00::BindControls() {
  if (g_editorScreens.frame) hostLink = &g_editorScreens.frame->toolHost;
  const char* tags[4] = {"BOX1", "BOX2", "BOX3", "BOX4"};
  for (int i = 0; i < 4; ++i) boxes[i] = Tag(currentForm, tags[i]);
}

void MapEditorBSs00::Refresh() {
  g_editorMap.brushKind = kBrushNone;
  if (id == 0 || id == 1) {
    for (int i = 0; i < 4; ++i) {
      Screen* panel = infoPanels[i];
      if (!panel || !boxes[i]) continue;
      panel->AttachForm(boxes[i]);
      panel->OnOpen();
      panel->Refresh();
    }
  }
  // Entering the information modes shows editing as off.
  Control* bar = g_editorScreens.cmdBar ? g_editorScreens.cmdBar->currentForm : nullptr;
  if (Control* toggle = Tag(bar, "MAPMODE"))
    toggle->SetState(toggle->state & ~kStateSelected, 0, nullptr, 0, 0, 0, 0, 1);
}
