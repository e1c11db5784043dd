#pragma once
// The status department's GRAPHS page: a bar chart that compares the
// regions in play on one of nine figures, with the region list beside it
// and buttons that step through the figures. The chart (GRAPH1) hangs in
// the page's GRAPH control. Nothing here changes the game.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/window.h"
#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

struct Renderer;

inline constexpr const char* kStatusGraphTags[] = {"GRAPH"};
inline constexpr const char* kGraphPopupTags[] = {"LIST1", "GRAPH", "GRAPHNAME", "PREGRAPH", "NEXGRAPH"};
inline constexpr int32_t kGraphSeries = 9;
// The list's rows take the small font once more than twelve regions can
// be in play.
inline constexpr int32_t kGraphSmallFont = 7;
inline constexpr int32_t kGraphListFont = 3;
inline constexpr int32_t kGraphSmallFontAbove = 11;
inline constexpr uint32_t kGraphBarAlpha = 0x9F000000;

// The regions in play, in order: players 0 to the highest whose kind is 2
// or 3.
std::vector<int32_t> GraphRegions(const World& world);
// A region's figure of the series (negatives count as 0), and the value the
// series' scale starts at.
float GraphValue(const World& world, int32_t player, int32_t series);
float GraphScaleStart(const World& world, int32_t series);
// The bars into the chart's screen rectangle, one a row of the given
// height, in the regions' colours with their alpha cut to 0x9F.
void DrawGraphBars(const World& world, int32_t series, const plat::Rect& chart, int32_t rowHeight,
                   Renderer& renderer);

std::unique_ptr<Screen> MakeGraphPopup();

class StatusGraphPanel : public Screen {
 public:
  StatusGraphPanel() : Screen("STATUS1_SS1", FormLookups{.tags = kStatusGraphTags, .ids = {}}) {}
  // Hangs the chart in GRAPH and docks at depth 2.
  void OnOpen() override;
  void BindControls() override;

  Control* graphHost = nullptr;
};
