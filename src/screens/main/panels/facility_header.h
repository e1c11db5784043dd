#pragma once
// The head of the facility side panels (silo, launch site, research
// centre): the selected hex's name, the facility's status note and its
// condition; and the facility's status line for a list that has nothing
// else to show. Window thread; callers hold the simulation lock.
#include <cstddef>
#include <cstdint>

class Control;
class ListBoxControl;
struct UnitRecord;
struct World;

inline constexpr const char* kFacilityHeaderTags[] = {"BASENAME", "NOTE", "CONDITION"};

// The facility leading the selected hex. Present: it exists, is not removed
// and has a class; active: besides, its shown posture word has bit 0 clear.
struct SelectedFacility {
  const UnitRecord* unit = nullptr;  // null when not present
  bool active = false;
  uint32_t cellIndex = 0;
  bool hexSelected = false;
};
SelectedFacility SelectedHexFacility(const World& world);

// BASENAME, NOTE (its selected look while a build is paused) and
// CONDITION; a facility that is gone reads inactive at 0 %.
void FillFacilityHeader(const World& world, Control* form, const SelectedFacility& facility);

// The condition text: "%3.0f %%" of the strength, capped at 100 %.
void FacilityConditionText(char* out, size_t size, float strength);

// One row of the facility's status ("ugstatus") for a list.
void FormatBaseStatusText(ListBoxControl* list, const World& world, const SelectedFacility& facility);
