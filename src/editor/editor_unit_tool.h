#pragma once
// Editor mode 8: the unit tool. The author picks a page of equipment and a
// class in the page's class list, sets what new units start with on the
// sliders, marks designs as researched for the local region and places
// units of the class with the brush. The editor writes the world directly.
// Window thread only.
#include <cstdint>

#include "ui/screen.h"

struct UnitClassRecord;
struct UnitRecord;
struct World;

inline constexpr int32_t kUnitFrames = 24;
// The RESETRES control id that recomputes every class, not only the page's.
inline constexpr int32_t kResetAllClassesId = 999;

class EditorUnitToolPanel : public Screen {
 public:
  EditorUnitToolPanel();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t value) override;

  // The class lists chose the current class (the screen's id names its index):
  // its picture, name and research box, and the sliders reset for it.
  void FillEquipmentPanel();
  void ResetUnitSliders();
  // Writes the sliders into a unit the brush or the stock list has just
  // made.
  void ReadUnitSliders(UnitRecord& unit);
  // The unit brush: a unit of the current class for the local region on
  // the selected hex; null when there is no hex or no region.
  UnitRecord* PlaceUnit(World& world);

  int32_t page = 0;  // 0 land, 1 air, 2 sea, 3 and 4 stock equipment
  // The class the lists made current, looked up by index on each use since
  // the unit-types import rebuilds the table; null for none.
  const UnitClassRecord* CurrentClass() const;
  float startFraction = 1.0f;   // of full strength a new unit starts with
  float strengthFactor = 1.0f;  // times the class's full strength
  int32_t frame = 0;            // 0 to 23
  Control* par1 = nullptr;      // the page's class list
  Control* par2 = nullptr;      // its unit list
  // Set by the screen set: the class lists and unit lists of the pages.
  Screen* equipmentList = nullptr;
  Screen* hexUnitList = nullptr;
  Screen* stockClassList = nullptr;
  Screen* stockUnitList = nullptr;

 private:
  void ShowPage();
  void DrawPicture();
  void WriteSliderText(const char* tag);
  void ResetAvailability(int32_t id);
};

// A picture frame one step on (+1) or back (-1), wrapping within 0 to 23.
int32_t SteppedUnitFrame(int32_t frame, int32_t step);

// Whether the class belongs to the tool's page: pages 0 to 2 by domain
// (submarines count as sea), page 3 the stock equipment type, page 4 all.
bool ClassOnUnitPage(const UnitClassRecord& cls, int32_t page);

// The hex's lead facility when it can hold units of the base kind in its
// reserve; null otherwise. owner -1 skips the owner test.
const UnitRecord* ReserveHostFor(const World& world, const UnitRecord& unit, int owner);
