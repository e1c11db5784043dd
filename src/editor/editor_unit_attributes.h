#pragma once
// The editor's page of the unit pop-up: one placed unit's strength, size,
// build time, experience, morale, entrenchment, alertness and efficiency on
// sliders, its picture frame, its reserve and garrison marks, and its reset
// or deletion. Changes go straight into the unit; the unit is held by id
// (the screen's id) and looked up on use. Window thread only.
#include <cstdint>

#include "ui/screen.h"

struct UnitRecord;
struct UnitClassRecord;
struct World;

class EditorUnitAttributesPanel : public Screen {
 public:
  EditorUnitAttributesPanel();
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t code) override;
  void OnControlChange(Control* control, int32_t value) override;

  // Size 1, full strength, nothing left to build, no experience,
  // entrenchment or alertness, morale and efficiency 0.8; the reserve and
  // garrison marks stay.
  void ResetUnitAttributes();

  Screen* popup = nullptr;  // set by the screen set: the pop-up that hosts the panel

 private:
  UnitRecord* Unit() const;
  void DeleteUnit(UnitRecord& unit);
};

// The build days a unit of the class at size k needs in all: full strength
// x build time per element x k (at least 1) + 1.
float FullBuildDays(const UnitClassRecord& cls, float size);
