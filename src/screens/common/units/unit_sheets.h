#pragma once
// The shared fill of a unit class's specification sheet (the class tab,
// the build pop-up's sheet) and the badges of the class rows. Only the
// fields a form carries are filled. Window thread, under the simulation lock.
#include <cstdint>

#include "ui/screen.h"

class Control;
class ListBoxControl;
struct UnitClassRecord;

// Controls with ids 900 to 999 on a unit sheet switch its figure groups
// between bar and figure (the unit picture panel, the deal's unit picker).
inline constexpr int32_t kFirstViewSwitch = 900, kLastViewSwitch = 999;

// What the sheet shows of a class, gathered from its record in one place.
struct ClassSheetFigures {
  int32_t group = 0;     // "milclass" entry
  int32_t category = 0;  // 0 land, 1 air, 2 sea, 3 submarine
  int32_t techLevel = 0;
  int32_t obsoleteLevel = 0;  // 0 never
  int32_t elements = 0;
  int32_t crewPerPoint = 0;
  int32_t techs[2] = {};
  float buildDays = 0.0f;  // per point, and so on below
  float cashUpkeep = 0.0f;
  float enduranceRate = 0.0f;
  float baseWeight = 0.0f;
  float goodsUpkeep = 0.0f;
  float transportWeight = 0.0f;
  float yield = 0.0f;
  uint32_t regionMask = 0;
  int32_t gunSize = 0;  // millimetres
  int32_t moveType = 0;
  int32_t armour = 0;
  int32_t power = 0;
  int32_t cargoCapacity = 0;
  uint32_t flags = 0;
  // Stock classes only.
  int32_t stockKind = 0;
  int32_t ratings[3] = {};  // R1, R2, R3
  float range = 0.0f;
};
ClassSheetFigures ClassSheetFiguresOf(const UnitClassRecord& cls);

// The "milregions" entry of a region mask: 0 for every region, i for region
// i alone, 32 for none or several.
int32_t ClassRegionEntry(uint32_t mask);
// The badge a class row shows for the class: its group, or for a stock class
// 200-206 by its kind of warhead and ratings.
int32_t ClassBadge(const ClassSheetFigures& f);
// The second badge of a stock class, 300-303 by how it is carried.
int32_t StockCarrierBadge(const ClassSheetFigures& f);

// Every sheet field the form carries, then the header badges.
void FillUnitClassSheet(Control* form, const UnitClassRecord& cls, Screen* row, Screen* secondRow);
void FillClassSheetFigures(Control* form, const ClassSheetFigures& f, Screen* row, Screen* secondRow);

// The class's badges in "CLASSPAR" (row) and "CLASSPAR2" (secondRow, stock
// classes only).
void FillUnitClassHeader(Control* form, const UnitClassRecord& cls, Screen* row, Screen* secondRow);

// The sheet page of the build pop-up: its id is the class index to show.
// Its opener names the host.
class UnitClassSheetPanel : public Screen {
 public:
  UnitClassSheetPanel();
  void BindControls() override;
  void Refresh() override;

  ListBoxControl* list = nullptr;
  Screen* classRow = nullptr;  // the badge row it shows in "CLASSPAR"
};
