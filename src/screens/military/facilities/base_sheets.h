#pragma once
// The performance figures of a class on forms laid out by control id: up
// to four specification rows of any form, and the two facility class
// sheets, POPUP_BASE2 (stock, room and range) and POPUP_BASE3 (the eight
// attack values with their ranges). Bars or numbers by the interface's
// one switch, as on the performance sheet. Window thread.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
struct UnitClassRecord;
struct UnitRecord;

// Row i of the four (controls from (i + 1) x 1000) shows the stat kind
// kinds[i]: 34 range, 36 stock range, 37 speed, 39 storage, 40-47 attack,
// 50-53 defence, 54 spotting, 99 cargo room; other kinds leave the row
// empty. Call under the simulation lock.
void FillUnitSpecRows(const UnitClassRecord& cls, const int32_t (&kinds)[4], Control* form);

// Opened with a unit id, or 0 for the class alone.
class BaseSheet : public Screen {
 public:
  using Screen::Screen;
  void OnOpen() override;
  // Finds the unit (if it still stands) and its class, has the sheet fill
  // its figures, then shows them as bars or numbers.
  void Refresh() final;

  uint32_t unitId = 0;
  int32_t classIndex = 0;

 protected:
  // Called under the simulation lock; unit is null when the sheet shows the
  // class alone or the unit is gone.
  virtual void Fill(const UnitRecord* unit, const UnitClassRecord& cls) = 0;
};

std::unique_ptr<Screen> MakeBasePopup2();

std::unique_ptr<Screen> MakeBasePopup3();
