#pragma once
// The facility painting panel of editor mode 5: the palette of the 64
// facility classes the brush places, the toggles that choose what the brush
// does, and the selected hex's settlement made its owner's capital. Window
// thread only.
#include <cstdint>

#include "ui/screen.h"

struct World;
struct HexCell;

// Palette cell c places facility class kFirstFacilityClass + c.
inline constexpr int32_t kFirstFacilityClass = 4000;
inline constexpr int32_t kFacilityPaletteCells = 64;

class FacilityPaintPanel : public Screen {
 public:
  FacilityPaintPanel();
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t code) override;
  int32_t OnControlMessage(uint32_t state1, uint32_t state2, int32_t id, int32_t message, intptr_t p1, intptr_t p2,
                           intptr_t p3, Control* control, int32_t zero) override;
  void OnControlChange(Control* control, int32_t code) override;

  // Writes the panel's name, population, park flag and facility settings
  // into the selected hex: only with editing on and no panel load going on.
  void ApplyHexFacilityBrush();
  // ApplyHexFacilityBrush, then the population and strength texts.
  void UpdateHexFacilityTexts();
  // Writes the panel into the hex at once and reopens the sub-panels.
  void SetHexFacilityBase();
  // Clears the selected hex's status slots, turns a standing facility into
  // class 1 and empties the panel's hex fields.
  void ResetHexFacility();
  // The panel's other buttons on the selected hex's facility (codes 12,
  // 14, 15, 16, 20 and 21), with editing on; then the brush takes the
  // class standing there.
  void FacilityPanelAction(int32_t code);

  Screen* attributes = nullptr;  // set by the screen set: the hex's yields
  Screen* industry = nullptr;    // and its industry bars

 private:
  void LoadHex(const World& world, const HexCell& cell);
  void OpenSubPanels();
};

// The class the palette cell under (x, y) places, for a palette at screen
// rectangle (left, top, right) scrolled by scroll pixels: 8 cells of 32
// pixels to a row of a 256-pixel sheet; 0 (no facility) off the 64 cells.
int32_t FacilityPaletteValue(int32_t left, int32_t top, int32_t right, int32_t x, int32_t y, int32_t scroll);
// The cells are pictures without words: the palette's tooltip names the
// class of the cell at (x, y), screen pixels (none off the palette).
void NameFacilityCellAt(Control* palette, int32_t x, int32_t y);

// Makes the settlement on the hex (a live facility whose class counts
// people) its owner's capital in both copies of the owner's settings; false
// and nothing changed for a hex of no one or without one.
bool MarkHexCapital(World& world, uint32_t position);

// A facility level one step up (+1) or down (-1), wrapping within the
// class's lowest and highest level.
int32_t SteppedFacilityLevel(int32_t level, int32_t step, int32_t lowest, int32_t highest);

// The population a hex's label stores for a shown population: what lies
// above the base the terrain's average byte b gives (b x b + 99, none for
// b 0), never below 0.
float HexExtraPopulation(float shown, uint8_t averageByte);

// The strength the surroundings let a facility keep: s held to 0..1, and
// lowered to have / need when the hex cannot supply s of what the facility
// needs. A need of 0 or less divides nothing.
float CappedFacilityStrength(float s, float need, float have);
