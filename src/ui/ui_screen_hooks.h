#pragma once
// Where the toolkit reaches the screens. The keyboard, the mouse, the
// pop-ups, the deferred actions and the frame know no screen: each need
// they have of one goes through this one table, which the screens install
// as the program starts (screens/screen_hooks.h). Without it (the
// toolkit's own tests) every call is skipped and the toolkit works alone:
// no hotkeys, no map under the controls, the panel depth only a number.
#include <cstdint>
#include <span>

class PopupFrameScreen;
class Tooltip;
struct KeyRow;
struct PollRing;
struct ScreenManager;

struct UiScreenHooks {
  // The toolkit's own screens and ring. The screen set holds them so that
  // they take their places in the catalogue's order; null until one is
  // registered (pop-up frames then have no owner, no tooltip shows and
  // nothing is queued for polling).
  PopupFrameScreen* popupFrames = nullptr;
  Tooltip* tooltip = nullptr;
  PollRing* pollRing = nullptr;

  // The hotkey table of the editor and the game that KeyCommand reads.
  std::span<const KeyRow> (*keyRows)() = nullptr;
  // A key-down that no capture holder took: true when the tutorial window
  // is open, which then takes the key (Escape closes it).
  bool (*tutorialKeyDown)(uint32_t key) = nullptr;
  // The docked panels open this deep and the map's layout follows them;
  // called only while the interface has a map view.
  void (*setPanelDepth)(ScreenManager& ui, int32_t depth) = nullptr;
  // The frame rate was measured again: the title bar shows it.
  void (*frameRateChanged)() = nullptr;
  // Each frame of the map editor, before the input poll: the palettes
  // scroll.
  void (*editorFrame)(ScreenManager& ui) = nullptr;
  // The pointer rests at (x, y) this frame: the map scrolls at an edge.
  void (*edgeScroll)(ScreenManager& ui, int32_t x, int32_t y) = nullptr;
  // Each frame outside the front end while there is a map view, before
  // the controls: the map and its minimap box.
  void (*drawMap)(ScreenManager& ui) = nullptr;
  // The map alone within the viewport set, over the last frame, while only
  // an animation moves: the view has not changed, so nothing else follows.
  void (*drawMapWithin)(ScreenManager& ui) = nullptr;
  // Whether the map changes without input: the clock runs, an effect
  // plays, a redraw or a move of the view is pending.
  bool (*mapWantsFrame)(ScreenManager& ui) = nullptr;
  // Over the frame in the map editor: the palette's brush outline.
  void (*drawEditorOverlay)(ScreenManager& ui) = nullptr;
  // At shut-down, with the interface's textures: the map's imagery.
  void (*releaseTextures)() = nullptr;
};

extern UiScreenHooks g_uiScreenHooks;
