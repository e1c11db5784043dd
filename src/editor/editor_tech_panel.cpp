#include "editor/editor_tech_panel.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/number_text.h"
#include "editor/editor_screens.h"
#include "platform/threads.h"
#include "sim/availability.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/derived_tables.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// A technology with this flag is never granted by a reset, however low.
constexpr uint32_t kTechNeverByReset = 1u << 1;
// A reset grants what lies this many levels below the region's.
constexpr float kResetLevelMargin = 15.0f;
constexpr int32_t kCategoryButtons = kTechCategoryLast - kTechCategoryFirst + 1;

bool HasSelection(const ListBoxControl* list) { return list && ListNextSelected(list, nullptr); }

// The technologies a region may be edited in: a real region with a row.
bool Editable(World& w, int player) { return player > 0 && player < kMaxPlayers && TechRow(w, player); }

int32_t TechCount(const World& w) {
  return std::min<int32_t>(w.gameState.techCount, static_cast<int32_t>(w.techs.size()));
}

void FillTechList(ListBoxControl* list, const World& w, const std::vector<int>& techs) {
  const int32_t keptId = list->selectedId;
  const int32_t keptScroll = list->scrollOffset;
  ListClear(list, 1);
  for (int t : techs) {
    ListAddTextItem(list, w.techs[static_cast<size_t>(t)].name.c_str(), t, t, 0, 0, 0);
  }
  list->scrollOffset = keptScroll;
  ListLayoutRows(list);
  if (keptId != 0) ListSetSelection(0, list, keptId, 0);
}

// The root form's screen refreshes and the whole interface is drawn again.
void RedrawInterface(EditorTechPanel& panel) {
  panel.Refresh();
  ScreenManager& ui = g_ui;
  if (ui.rootForm) RedrawControlTree(ui, ui.rootForm, 1, 0);
}

}  // namespace

void ResetRegionTechs(World& w, int player, int32_t variant) {
  if (!Editable(w, player)) return;
  PlayerTechState* row = TechRow(w, player);
  const float threshold = std::trunc(w.players[player].techLevel - kResetLevelMargin);
  const int32_t count = TechCount(w);
  for (int32_t t = 0; t < count; ++t) {
    const TechRecord& tech = w.techs[static_cast<size_t>(t)];
    if (tech.category != 0 && static_cast<float>(tech.techLevel) <= threshold && !(tech.flags & kTechNeverByReset)) {
      GrantTechRecursive(w, player, t, kKnownByEditor, true);
    } else {
      ClearTechAndDependents(w, player, t, variant == kResetRevokeDesigns);
    }
    row[t].projectFlags = 0;
  }
  if (variant == kResetKeepDesigns) GrantDesignTechs(w, player, kKnownByEditor, true);
  ApplyTechEffects(w);
}

void CopyRegionTechs(World& w, int player) {
  if (!Editable(w, player)) return;
  const PlayerTechState* from = TechRow(w, player);
  const int32_t count = TechCount(w);
  const int32_t highest = std::min<int32_t>(w.gameState.highestPlayer, kMaxPlayers - 1);
  for (int32_t j = 1; j <= highest; ++j) {
    PlayerTechState* to = j == player ? nullptr : TechRow(w, j);
    if (!to) continue;
    for (int32_t t = 0; t < count; ++t) {
      to[t].known = from[t].known;
      to[t].projectFlags = 0;
    }
  }
  GrantDesignTechs(w, player, kKnownByEditor, true);
  ApplyTechEffects(w);
}

int32_t EditorTechPanel::Category() const {
  for (int32_t i = 0; i < kCategoryButtons - 1; ++i) {
    const Control* b = currentForm ? FormFindControlById(currentForm, kTechCategoryFirst + i) : nullptr;
    if (b && b->Selected()) return i + 1;
  }
  return kCategoryButtons;
}

void EditorTechPanel::BindControls() {
  if (g_editorScreens.frame) hostLink = &g_editorScreens.frame->toolHost;
  unknown = MakeListBox("LIST1", 0, currentForm, 0, this);
  known = MakeListBox("LIST2", 0, currentForm, 0, this);
}

void EditorTechPanel::Refresh() {
  if (!currentForm) return;
  for (int32_t i = 0; i < kCategoryButtons; ++i) {
    const char* caption = TextListEntry(g_textLists, kListTechcategory, i + 1);
    if (Control* b = FormFindControlById(currentForm, kTechCategoryFirst + i)) b->SetText(caption ? caption : "");
  }
  const int32_t category = Category();
  const Control* levelFilter = Tag(*this, "FILTERL");
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const int player = w.gameState.localPlayer;
  if (known) FillTechList(known, w, WalkTechTable(w, player, category, false, 1, -1, false));
  if (unknown)
    FillTechList(unknown, w,
                 WalkTechTable(w, player, category, levelFilter && levelFilter->Selected(), 0, 0, false));
  const bool valid = player >= 0 && player < kMaxPlayers;
  if (Control* region = Tag(*this, "REGION")) region->SetText(valid ? RegionDisplayName(w, player) : "");
  Control* level = Tag(*this, "TECHLEV");
  if (valid && level && IsStringKind(level) && static_cast<StringControl*>(level)->bufferSize >= 3) {
    char text[kNumberTextSize];
    level->SetText(FormatNumberText(text, 0, 0, "", 0, "", 0, static_cast<double>(w.players[player].techLevel)));
  }
  SetHidden(Tag(*this, "ADD"), !HasSelection(unknown));
  SetHidden(Tag(*this, "REMOVE"), !HasSelection(known));
}

void EditorTechPanel::OnCommand(Control* control, int32_t id) {
  // A list's rows carry technology numbers, which the category ids overlap.
  if (!control || control == unknown || control == known) return;
  const char* tag = control->tag;
  if (id >= kTechCategoryFirst && id <= kTechCategoryLast && !ControlTagMatches(tag, "RESETRES")) {
    Refresh();
    return;
  }
  const bool add = ControlTagMatches(tag, "ADD");
  const bool remove = ControlTagMatches(tag, "REMOVE");
  const bool reset = ControlTagMatches(tag, "RESETRES");
  const bool copy = ControlTagMatches(tag, "COPYTECHS");
  if (!add && !remove && !reset && !copy && !ControlTagMatches(tag, "FILTERL")) return;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    const int player = w.gameState.localPlayer;
    if ((add || remove) && Editable(w, player)) {
      ListBoxControl* list = add ? unknown : known;
      // The rows are read first: the walkers change what the lists would show.
      std::vector<int> techs;
      for (Control* row = ListNextSelected(list, nullptr); row; row = ListNextSelected(list, row))
        techs.push_back(row->id);
      for (int t : techs) {
        if (add) {
          GrantTechRecursive(w, player, t, kKnownByEditor, true);
        } else {
          ClearTechAndDependents(w, player, t, true);
        }
        ApplyTechEffects(w);
      }
    } else if (reset) {
      ResetRegionTechs(w, player, control->id);
    } else if (copy) {
      CopyRegionTechs(w, player);
    }
  }
  RedrawInterface(*this);
}

void EditorTechPanel::OnControlChange(Control* control, int32_t id) {
  if (control && control == unknown) SetHidden(Tag(*this, "ADD"), id == 0);
  if (control && control == known) SetHidden(Tag(*this, "REMOVE"), id == 0);
}

void EditorTechPanel::OnActivate(Control* control, int32_t row) {
  if (row != 0 && techPopup && control && (control == unknown || control == known)) techPopup->Popup(row, nullptr);
}
