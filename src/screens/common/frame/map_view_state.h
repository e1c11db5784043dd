#pragma once
// The hex map view inside the interface root: where the map is panned and
// zoomed, which hexes are in view, the minimap's place and the redraw
// requests. Every department's panels read it and ask for redraws; the main
// screen draws the map and moves it.
#include <cstdint>

#include "screens/common/frame/map_panes.h"
#include "screens/common/screen_types_fwd.h"

class MapEffect;

class MapView {
 public:
  // Map pixel shown at the viewport's top-left corner.
  int32_t panX = 0;
  int32_t panY = 0;
  // The map's own size in map pixels: 18 x columns by 22 x rows.
  int32_t mapWidth = 0;
  int32_t mapHeight = 0;
  // Map pixels per pixel of the map's background picture.
  float imageryScaleX = 1.0f;
  float imageryScaleY = 1.0f;
  // Where the map is drawn, in screen pixels.
  int32_t viewLeft = 0;
  int32_t viewTop = 0;
  int32_t viewRight = 0;
  int32_t viewBottom = 0;
  int32_t maxPanX = 0;
  int32_t maxPanY = 0;
  // Map pixels the viewport covers at the current zoom, plus a margin.
  int32_t visibleExtentX = 0;
  int32_t visibleExtentY = 0;
  // Mouse drag state of the map pane.
  int32_t dragPan = 0;
  int32_t buttonHeld = 0;
  int32_t lastDragX = 0;
  int32_t lastDragY = 0;
  int32_t dragMoved = 0;
  int32_t rubberBand = 0;       // a drag rectangle is being drawn
  int32_t pickHex = 0;          // waiting for a hex to be picked
  int32_t pressX = 0;           // the band's anchor, in map pixels
  int32_t pressY = 0;
  int32_t bandDx = 0;
  int32_t bandDy = 0;
  Control* dragBox = nullptr;   // the drag rectangle's outline
  // Hexes in view; the end values are exclusive.
  int16_t firstColumn = 0;
  int16_t firstRow = 0;
  int16_t endColumn = 0;
  int16_t endRow = 0;
  float zoomMin = 0.3f;
  float zoomMax = 1.5f;
  float zoom = 1.0f;
  int32_t minimapWidth = 0;
  int32_t minimapHeight = 0;
  int32_t minimapLeft = 0;
  int32_t minimapTop = 0;
  int32_t minimapRight = 0;
  int32_t minimapBottom = 0;
  float minimapPixelsPerHexX = 0.0f;
  float minimapPixelsPerHexY = 0.0f;
  int32_t valueIndex = 0;          // terrain value shown, 0 for none
  int32_t exactHex = 0;
  int32_t overrideValueIndex = 0;  // set by other screens
  // Input state of the main screen's map.
  int32_t viewportConfined = 0;    // cursor held inside the viewport
  int32_t scrollLock = 0;
  int32_t passedClick = 0;
  int32_t hexPickCursor = 0;
  int32_t deploymentPick = 0;
  int32_t altDigitFilter = 0;
  // The map's size in hexes and whether its columns wrap east to west.
  int32_t columns = 0;
  int32_t rows = 0;
  bool wraps = false;
  // Zoom far out regardless of the options; toggled by a chat command and
  // never stored.
  bool freeZoom = false;
  // The panes that take the mouse input of the map, the minimap and the
  // minimap's drag area.
  MapPane mapPane;
  MinimapPane minimapPane;
  DragPanPane dragPanPane;

  // Set to 1 by every entry into a mode: the frame lays the main screen out
  // (ApplySideScreensLayout) before it draws the map.
  int32_t layoutPending = 0;
  int32_t redrawPending = 0;   // the redraw-request word
  int32_t minimapRedrawPending = 0;
  int32_t panesLaidOut = 0;
  uint32_t framesDrawn = 0;   // map frames drawn since start-up
  // A packed hex the view centres on at its next frame, once the screen is
  // laid out for the game (0: none).
  uint32_t pendingCentreHex = 0;

  // The map effects: the head of their ring, none when empty; its links
  // change only under the world's map-effects lock.
  MapEffect* effects = nullptr;
  // The side bar's skew slider: how opaque facility symbols are drawn, 1.0
  // fully; back to 1.0 whenever the side bar opens.
  float facilityFade = 1.0f;
  // The minimap control's first rectangle in its parent and its width over
  // its height, kept at the first fitting; the aspect is 0 until then.
  int32_t minimapHomeLeft = 0, minimapHomeTop = 0, minimapHomeRight = 0, minimapHomeBottom = 0;
  float minimapHomeAspect = 0.0f;
  // Minimap pixels per hex rounded up.
  int32_t minimapCellX = 0;
  int32_t minimapCellY = 0;
};

extern MapView g_mapView;

// The map and the minimap are drawn again at the next frame.
inline void RedrawMapAndMinimap(MapView& view) {
  view.redrawPending = 1;
  view.minimapRedrawPending = 1;
}
