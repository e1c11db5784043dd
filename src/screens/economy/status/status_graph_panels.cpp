#include "screens/economy/status/status_graph_panels.h"

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/player_list_rows.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "units/unit_player_fields.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kSeriesPopulation = 0, kSeriesGdp = 1, kSeriesLosses = 2, kSeriesKills = 3, kSeriesForce = 4,
                  kSeriesLand = 5, kSeriesApproval = 6, kSeriesTreasury = 7, kSeriesAlert = 8;
constexpr float kHighestAlert = 4.0f;
constexpr uint32_t kListRowFlagsCleared = kCtlShowFocus | kCtlButton;
constexpr uint32_t kListFlagsCleared = kCtlTexturedFrame | kCtlShowFocus | kCtlButton;

void ShowTitle(const Screen& graph) {
  const int32_t series = static_cast<int32_t>(graph.id);
  SetControlText(Tag(graph, "GRAPHNAME"), TextListText(g_textLists, kListGraphnames, series));
}

}  // namespace

std::vector<int32_t> GraphRegions(const World& world) {
  std::vector<int32_t> regions;
  const int32_t highest = world.gameState.highestPlayer < kMaxPlayers ? world.gameState.highestPlayer : kMaxPlayers - 1;
  for (int32_t p = 0; p <= highest; ++p)
    if (world.players[p].kind == kKindHuman || world.players[p].kind == kKindComputer) regions.push_back(p);
  return regions;
}

float GraphValue(const World& world, int32_t player, int32_t series) {
  const PlayerRecord& r = world.players[player];
  float v = 0.0f;
  switch (series) {
    case kSeriesPopulation: v = r.population; break;
    case kSeriesGdp: v = r.gdpPerCapita; break;
    case kSeriesLosses: v = static_cast<float>(unitfields::Int(r, unitfields::kUnitsLost)); break;
    case kSeriesKills: v = static_cast<float>(unitfields::Int(r, unitfields::kUnitsDestroyed)); break;
    case kSeriesForce: v = unitfields::Real(r, unitfields::kForcesOnMap); break;
    case kSeriesLand: v = static_cast<float>(r.hexCount); break;
    case kSeriesApproval: v = r.approval; break;
    case kSeriesTreasury: v = r.treasury; break;
    case kSeriesAlert: v = static_cast<float>(r.simPolicy.defcon); break;
    default: break;
  }
  return v > 0.0f ? v : 0.0f;
}

float GraphScaleStart(const World& world, int32_t series) {
  switch (series) {
    case kSeriesPopulation: return world.gameState.worldPopulation - world.players[0].population;
    case kSeriesLand: return static_cast<float>(world.mapHeader.cellCount - world.players[0].hexCount);
    case kSeriesApproval: return 1.0f;
    case kSeriesAlert: return kHighestAlert;
    default: return 0.0f;
  }
}

void DrawGraphBars(const World& world, int32_t series, const plat::Rect& chart, int32_t rowHeight, Renderer& renderer) {
  const std::vector<int32_t> regions = GraphRegions(world);
  float scale = GraphScaleStart(world, series);
  for (int32_t p : regions) {
    const float v = GraphValue(world, p, series);
    if (!(v < scale)) scale = v;
  }
  if (scale <= 0.0f) return;
  const float length = static_cast<float>(chart.right - chart.left - 2);
  int32_t row = 0;
  for (int32_t p : regions) {
    const int32_t top = chart.top + 1 + row * rowHeight;
    const int32_t bottom = top + rowHeight;
    ++row;
    if (bottom >= chart.bottom) continue;
    const auto n = static_cast<int32_t>(length * GraphValue(world, p, series) / scale);
    const uint32_t colour = (g_uiOptions.playercolor[p] & 0x00FFFFFFu) | kGraphBarAlpha;
    FillRect2D(colour, renderer, chart.left + 1, top, chart.left + 1 + n, bottom, 0, 0, 0, kFillModePlain);
  }
}

namespace {

class GraphPopup : public Screen {
 public:
  GraphPopup() : Screen("GRAPH1", FormLookups{.tags = kGraphPopupTags, .ids = {}}) {}
  // The title, the region list and the bottom bar's mark; the id is the
  // series.
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    ShowTitle(*this);
    if (list) {
      if (list->prototype)
        list->prototype->fontSlot =
            g_world.gameState.highestPlayer > kGraphSmallFontAbove ? kGraphSmallFont : kGraphListFont;
      ListClear(list, 1);
      plat::CriticalSectionLock lock(g_simulationLock);
      if (const PlayerRecord* local = LocalPlayer(g_world)) {
        PlayerListOptions options;
        options.includeKind3 = true;
        FillPlayerListRow(g_world, *local, list, options);
      }
      ListLayoutRows(list);
    }
    // The bar under the page redraws round the new rows.
    if (Control* bar = g_screens.dockLevel2.currentForm) bar->state |= kStateDirty;
  }
  void BindControls() override {
    list = MakeListBox("LIST1", 0, form, 0, this);
    if (list) {
      list->options |= kListFullWidthRows;
      list->flags &= ~kListFlagsCleared;
      if (ListTextRow* row = list->prototype.get()) {
        row->fontSlot = kGraphListFont;
        row->flags &= ~kListRowFlagsCleared;
        row->kind = kKindText;
        row->selectedTextColour = 0xFFFFFFFF;
      }
    }
    chart = Tag(*this, "GRAPH");
    if (chart) chart->flags |= kCtlOwnerDraw;
  }
  // PREGRAPH and NEXGRAPH step through the series, round.
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "PREGRAPH"))
      id = id <= 0 ? kGraphSeries - 1 : id - 1;
    else if (Is(control, "NEXGRAPH"))
      id = id >= kGraphSeries - 1 ? 0 : id + 1;
    ShowTitle(*this);
    if (chart) chart->Invalidate();
  }
  void OnDrawControl(Control* control, int32_t) override {
    if (!control || control != chart || !list || !list->firstRow) return;
    const int32_t rowHeight = Height(list->firstRow);
    const plat::Rect r = ControlAbsoluteRect(control);
    plat::CriticalSectionLock lock(g_simulationLock);
    DrawGraphBars(g_world, static_cast<int32_t>(id), r, rowHeight, g_renderer);
  }

  ListBoxControl* list = nullptr;
  Control* chart = nullptr;
};

}  // namespace

std::unique_ptr<Screen> MakeGraphPopup() { return std::make_unique<GraphPopup>(); }

void StatusGraphPanel::OnOpen() {
  Screen& graph = *g_screens.graphPopup;
  graph.AttachForm(graphHost);
  graph.OnOpen();
  graph.Refresh();
  ClosePanelsAbove(g_ui, 2, 0);
}

void StatusGraphPanel::BindControls() {
  DockInBotbar2(*this);
  graphHost = form && ControlTagMatches(form->tag, "GRAPH") ? form : Tag(*this, "GRAPH");
}
