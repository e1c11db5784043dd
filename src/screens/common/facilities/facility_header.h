#pragma once
// The head the silo, launch-site and research-centre panels share for the
// selected hex's facility: its name, its status note and its condition,
// and the status line their lists show while it is not running. Read under
// the simulation lock, written to the form after it. Window thread.
#include <cstdint>
#include <string>

#include "records/hex_cell.h"

class Control;
class ListBoxControl;
struct UnitRecord;
struct World;

// At most this many characters of the hex's name show.
inline constexpr size_t kFacilityNameMax = 47;

struct FacilityHeader {
  std::string name;           // the hex's label text, empty for none
  int32_t status = 1;         // an index into "ugstatus"
  bool present = false;       // a lead unit that is not removed and has a class
  bool active = false;        // present and running
  bool noteSelected = false;  // present with its build paused
  float condition = 0.0f;     // strength capped at 1, 0 with no facility
  int32_t classIndex = 0;     // the class the picture shows, 0 for none
};

// The selected hex's cell, or a cell past the map (which every reader
// below treats as no facility) while no hex is selected: (0, 0) means none.
uint32_t SelectedFacilityCell(const World& world);

// The cell's facility as the local player sees it (the class of another
// player's concealed facility stays hidden). Call under the simulation lock.
FacilityHeader ReadFacilityHeader(const World& world, uint32_t cellIndex);
// The facility the header reads: the cell's lead unit when present, else null.
const UnitRecord* HeaderFacility(const World& world, uint32_t cellIndex);
// BASENAME, NOTE and CONDITION of the form.
void FillFacilityHeader(Control* form, const FacilityHeader& header);
// One text row with the status line ("ugstatus") of a facility that is not
// running.
void FormatBaseStatusText(ListBoxControl* list, const FacilityHeader& header);
