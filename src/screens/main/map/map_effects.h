#pragma once
// Short animations on the map (impacts, shots): the turn thread adds them
// while units fight, the map frame plays each through its frames and then
// deletes it. The ring's links change only under the world's map-effects
// lock; an effect's fields belong to the interface thread once linked.
#include <cstdint>

#include "app/list_node.h"
#include "screens/common/screen_types_fwd.h"

class MapEffect : public ListNode {
 public:
  int32_t x = 0, y = 0;            // top-left corner, map pixels
  int32_t width = 0, height = 0;   // map pixels (equal)
  int32_t frame = 0;               // cell of the effect sheet shown now
  int32_t lastFrame = 0;
  uint32_t frameStart = 0;         // interface clock when the frame began
  int32_t frameMs = 0;
  uint32_t colour = 0;
};

// The effect sheet: 64 x 64 cells, eight a row.
inline constexpr int32_t kEffectCell = 64;
inline constexpr int32_t kEffectCellsPerRow = 8;

// The two kinds of effect the fighting shows.
inline constexpr int32_t kImpactFirstFrame = 0, kImpactFrames = 16, kImpactFrameMs = 100;
inline constexpr uint32_t kImpactColour = 0xBFFFFFFFu;
inline constexpr int32_t kShotFirstFrame = 16, kShotFrames = 8, kShotFrameMs = 50;
inline constexpr uint32_t kShotColour = 0x9FFFFFFFu;

// An effect centred on the hex (column in the low 16 bits, row in the high)
// plus the offset, scale x 64 map pixels square, starting at the interface
// clock now. Any thread; takes the map-effects lock to link it. Nothing is
// added when it cannot be allocated.
void AddMapEffect(MapView& view, uint32_t hex, int32_t offsetX, int32_t offsetY, int32_t firstFrame,
                  int32_t frames, int32_t frameMs, uint32_t colour, float scale);
// Draws the effects in view (when the option shows them), moves each on by
// the clock, skipping frames a slow frame rate missed, and deletes those
// past their last frame. Interface thread, once a frame; holds the
// map-effects lock for the whole walk.
void DrawMapEffects(MapView& view);
// Deletes every effect (a game ends or a map is left).
void ClearMapEffects(MapView& view);
// How many effects are linked.
int32_t CountMapEffects(MapView& view);

// Gives the unit simulation its ways to show effects on this view.
void InstallMapEffectHooks();
