#include <algorithm>
#include <cstring>

#include "app/number_text.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

enum PanelId : int32_t {
  kPrevious = 1,
  kRegionName = 2,
  kNext = 3,
  kPopulation = 4,
  kRowNames = 5,
  kAmounts = 16,
  kSecondAmounts = 27,
  kRecalculate = 100,
};
constexpr int32_t kPanelIds[] = {kRegionName, kPopulation, 5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                 20,          21,          22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37};
constexpr const char* kPanelTags[] = {"PVAR", "CLOSEBUT"};

// The rate-table floats that weigh a product row's figures: the scale for
// rows 8 to 10, and two factors a row.
constexpr int kRateScale = 0;
constexpr int kRateFactorA = 54;
constexpr int kRateFactorB = 66;
constexpr int kFirstRefinedRow = 8;

// Numbers go only into text boxes with room for them.
void ShowFigure(Control* c, float value) {
  if (!c || !IsStringKind(c) || static_cast<StringControl*>(c)->bufferSize < 3) return;
  char text[kNumberTextSize];
  c->SetText(FormatNumberText(text, 0, 0, "", 0, "", 0, static_cast<double>(value)));
}

}  // namespace

PlayerVariablesPanel::PlayerVariablesPanel()
    : Screen("MAPEDITOR_SS2", FormLookups{.tags = kPanelTags, .ids = kPanelIds}) {}

void PlayerVariablesPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const int32_t chosen = static_cast<int32_t>(std::clamp<intptr_t>(id, 0, kMaxPlayers - 1));
  w.localPlayerRecord = &w.players[chosen];
  w.gameState.localPlayer = chosen;
  if (!currentForm) return;
  const Control* toggle = FormFindControlByTag(currentForm, "PVAR");
  const bool effective = toggle && (toggle->state & kStateSelected);
  const PlayerRecord& r = w.players[chosen];
  if (Control* name = Id(*this, kRegionName)) name->SetText(RegionDisplayName(w, chosen));
  ShowFigure(Id(*this, kPopulation), r.population);
  const float* rates = w.techEffects[chosen];
  for (int i = 0; i < kProductCount; ++i) {
    const uint8_t* row = r.products[i].bytes;
    if (Control* c = Id(*this, kRowNames + i)) {
      const char* label = TextListEntry(g_textLists, kListProdtabs, i);
      c->SetText(label ? label : "");
    }
    float amount = le::LoadF32(row + kProductOutputAt);
    if (effective) {
      amount = rates[kRateFactorA + i] * rates[kRateFactorB + i] * amount * le::LoadF32(row + kProductEfficiencyAt);
      if (i >= kFirstRefinedRow) amount = amount * rates[kRateScale];
    }
    ShowFigure(Id(*this, kAmounts + i), amount);
    ShowFigure(Id(*this, kSecondAmounts + i), le::LoadF32(row + kProductDemandAt));
  }
}

void PlayerVariablesPanel::OnCommand(Control* control, int32_t code) {
  plat::CriticalSectionLock lock(g_simulationLock);
  // The panel is a pop-up of the scenario panel; it closes by its own button.
  if (control && ControlTagMatches(control->tag, "CLOSEBUT")) {
    Close(0);
  } else if (code == kPrevious || code == kNext) {
    const intptr_t highest = std::max(g_world.gameState.highestPlayer, 0);
    id = code == kPrevious ? std::max<intptr_t>(id - 1, 0) : std::min<intptr_t>(id + 1, highest);
    Refresh();
    if (currentForm) currentForm->Invalidate();
  } else if (code == kRecalculate) {
    RecalcDerivedMapData(*this);
  }
}
