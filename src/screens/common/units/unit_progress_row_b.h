#pragma once
// The row of a list of a player's production items (research projects of
// technologies and designs), drawn with the unit row's template
// (MILITARY_PROGRESS), the item's id as the key: the technology's category
// or the design's class badge and its name, then a bar of the research done.
// Window thread; the row reads the world under the simulation lock.
#include <cstdint>

#include "screens/common/units/progress_row_controls.h"
#include "ui/screen.h"

class Control;
class ListBoxControl;
struct ScreenSet;

class UnitProgressRowB : public Screen {
 public:
  UnitProgressRowB() : Screen("MILITARY_PROGRESS") {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  // Code 99: the host row's width.
  void OnHostNotify(int32_t code, int32_t value) override;

  Screen* classRow = nullptr;  // shown in "CLASSPAR"

 private:
  ProgressRowControls c_;
};

// Appends a row per production item of the player of the kind (-1 any)
// whose flags (display with which 0, simulation else) hold every required
// bit and none of the excluded ones. The number of rows added.
int32_t FillProductionItemList(ScreenSet& screens, ListBoxControl* list, int32_t player, int32_t kind,
                               uint32_t required, uint32_t excluded, int32_t which);
