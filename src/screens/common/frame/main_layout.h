#pragma once
// The main screen's layout: the map and its border under the title bar, the
// dock of up to three bottom bars and its depth, the main panel in the dock,
// and the column of side screens on wide screens. Window thread only.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// The width and height of the window's client area, in pixels.
int32_t ClientWidth();
int32_t ClientHeight();

// Height of the title bar the map sits under unless it is see-through.
inline constexpr int32_t kTitleBarHeight = 24;
// The open dock's width for each depth, 0 to 3.
inline constexpr int32_t kDockWidths[4] = {60, 360, 580, 800};
// Below this screen width the side screens never show.
inline constexpr int32_t kSideScreensMinWidth = 1024;
// The dock's levels: the main panel, the side panel, the side panel's tab.
inline constexpr int32_t kDockLevelMain = 1;
inline constexpr int32_t kDockLevelSecond = 2;
inline constexpr int32_t kDockLevelThird = 3;

// Operations of the map's modes whose rules come with the hex lists, the
// map clicks, the placement mode, the overlays and the minimap box: each
// installs its own when it lands. Null: nothing (the view box is then
// re-synced on the minimap's next frame).
struct MainLayoutLinks {
  void (*closeMapPopups)(ScreenSet& screens) = nullptr;
  void (*cancelMapPlacement)(ScreenSet& screens) = nullptr;
  void (*updateMinimapViewBox)(MapView& view) = nullptr;
  void (*clearAreaTagOverlay)() = nullptr;
};
extern MainLayoutLinks g_mainLayoutLinks;

// Places the map control for an available height h: under the title bar
// (at the top, h + 24 tall, when the bar is see-through), the border anchor
// alike, the dock on its bottom edge, the viewport inside the border.
void LayoutMainPanels(int32_t h, MapView& view);
// The whole map layout again for the screen size and mode.
void RelayoutMainScreen(MapView& view);
// Opens or closes dock levels: depth 0 to 3 (a negative one re-applies the
// current depth). With release, closing levels deselects the toggle buttons
// of the bars that close; the same depth only releases bar 1 or 2. A change
// plays interface sound 8.
void SetPanelDepth(int32_t depth, int32_t release, MapView& view);
// Whether the open department page shows its minister's cabinet; the page
// opener sets it. The cabinet sits where the dock's second level opens, so
// it hides while a deeper level is open.
extern bool g_cabinetBesidePage;
// Switches the dock's main panel (1 map, 2 operations, 3 military, 4
// diplomacy, 5 economy, 6 production, 7 domestic policy, 8 status, 9
// orders; any other number the map). With keepDepth 0 the player opened it:
// the dock opens to depth 1.
void ShowMainPanel(int32_t panel, int32_t keepDepth, ScreenSet& screens);
// The screen of a main panel number.
Screen& MainPanelScreen(ScreenSet& screens, int32_t panel);
// Leaves the map's modal states: text edit, placement, click mode, pick.
void RefreshSelection(ScreenSet& screens);
// Shows or hides the side screens column by the option (never below 1024
// pixels, where the option is stored back off) and lays out all that hangs
// on it.
void ApplySideScreensLayout(MapView& view);
// Places the status overlay (STATMAP) above the dock at the screen's right,
// clear of the side screens. Nothing while the overlay has no form.
void LayoutStatusOverlay();
// Deselects a selected radio button, as the dock does when it changes depth.
void UnselectToggleControl(Control* control);
// In game mode draws the interface root again and clears the map's pending
// redraw.
void RedrawGameRoot(ScreenSet& screens);
