#pragma once
// The production lists' state and modes, and the operations the map's base
// production panel borrows from the military screens' list code. The
// military screens put their operations in at start-up
// (InstallProductionListLinks); one left null does nothing.
#include <cstdint>

#include "ui/screen.h"

class Control;
struct HexCell;

// A production list's state: the units its rows show, in row order, which
// the unit pop-up opened from a row steps through.
struct ProductionListState {
  ScreenParameterList units;
};

// The modes of the production lists: the selected base's, one not showing
// it, and the events of a silo base.
inline constexpr int32_t kProductionSelectedBase = -1;
inline constexpr int32_t kProductionNoBase = 8;
inline constexpr int32_t kProductionSiloBase = 1;

struct ProductionListLinks {
  // As RefreshBaseProduction.
  void (*refreshBaseProduction)(Control* form, const HexCell* cell, int32_t mode, ProductionListState* a,
                                ProductionListState* b) = nullptr;
  // As OnProductionListCommand with no hosts beside the form.
  void (*onCommand)(Control* form, Control* control, int32_t value) = nullptr;
  // As OnProductionListChange for the list's current unit, clearing the
  // form's other lists.
  void (*onChange)(Control* form, Control* control) = nullptr;
  // As OnProductionListEvent with no anchor.
  void (*onEvent)(Control* form, Control* control, int32_t id, ProductionListState* a, ProductionListState* b,
                  int32_t mode) = nullptr;
};
extern ProductionListLinks g_productionListLinks;
