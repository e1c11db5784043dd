#pragma once
// The operations department's main page (OPS1): the forces' standing, the
// alert level and its effects, the satellites in orbit, intelligence
// spending, and the initiative slider; its buttons open the department's
// docked panels. Only the slider changes the game.
#include <cstdint>

#include "ui/screen.h"

class Control;

inline constexpr const char* kOperationsScreenTags[] = {
    "ANNDAYTEXT", "MILAPR", "INTEFF", "CINTEFF", "ALVL", "DEFCON", "CURDESC", "BUILD", "EFFPLUS", "DEFCONSLDR",
    "SPENDING", "OFFSLDR", "OFFDESC", "DEFCONBUT", "INTELBUT", "RULESBUT", "MILOPS", "CABINET"};
// The satellites in orbit of kinds 0, 1 and 2.
inline constexpr int32_t kOperationsSatelliteIds[] = {26, 27, 28};

// What the page shows, read from the local region in one place.
struct OperationsFigures {
  float militaryApproval = 0.0f;
  // The simulation keeps no intelligence or counter-intelligence
  // efficiency yet: both read 0.
  float intelEfficiency = 0.0f;
  float counterIntelEfficiency = 0.0f;
  float alertLevel = 0.0f;
  int32_t defcon = 0;  // the display copy's alert value, as stored
  uint8_t governmentType = 0;
  uint16_t satellites[3] = {};
  bool satelliteAvailable[3] = {};
  float intelBaseCost = 0.0f;
  float milspendintel = 0.0f;
  uint8_t milinitiativeoff = 0;
};

// The local region's; the caller holds the simulation lock. All 0 when the
// local player number is out of range.
OperationsFigures LocalOperationsFigures();
// Fills the page's controls; amounts are divided by the period divisor
// (365 per day, 1 per year). Absent controls are skipped.
void FillOperationsPage(Control* form, const OperationsFigures& figures, float periodDivisor);

class OperationsScreen : public Screen {
 public:
  OperationsScreen() : Screen("OPS1", FormLookups{.tags = kOperationsScreenTags, .ids = kOperationsSatelliteIds}) {}
  // Docks the page as department 2; the result becomes the id.
  int32_t AttachForm(Control* host) override;
  void BindControls() override;
  // Recounts the region's totals, then opens both side panels.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  // The initiative slider sets both initiatives to its value.
  void OnControlChange(Control* control, int32_t id) override;
};
