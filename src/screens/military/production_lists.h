#pragma once
// The build list and the production lists the military screens share with
// the map's base panels: the classes a base may build (with quantity and
// strength) and a base's production list and queue. A caller hands them its
// form and its own list state, which they read and change. Their rows and
// commands come with the military screens; until then these keep the
// callers' state as it is and post nothing. Window thread.
#include <cstdint>

#include "ui/screen.h"

class Control;
struct HexCell;

// A production list's state: three words the list code keeps.
struct ProductionListState {
  int32_t words[3] = {};
};

// What the build list works with, all owned by the caller.
struct BuildListState {
  int32_t* listState = nullptr;
  int32_t* quantity = nullptr;
  float* strength = nullptr;
  int32_t branch = 0;  // 0 land, 1 air, 2 sea
};

// The classes the build list offers, as RefreshBuildList fills them.
ScreenParameterList& BuildListClasses();

void OpenBuildList(Control* form, int32_t* quantity, int32_t flag, const HexCell* cell);
void RefreshBuildList(Control* form, const BuildListState& state);
void OnBuildListCommand(Control* form, const BuildListState& state, const HexCell* cell, Control* control, int32_t id,
                        Screen* basePanel);
void DrawBuildListRow(Control* form, const BuildListState& state, Control* control, int32_t id, Screen* classRow,
                      Control* statParent, Screen* panel);

// The modes of the production lists: the selected base's, one not showing
// it, and the events of a silo base.
inline constexpr int32_t kProductionSelectedBase = -1;
inline constexpr int32_t kProductionNoBase = 8;
inline constexpr int32_t kProductionSiloBase = 1;

void RefreshBaseProduction(Control* form, const HexCell* cell, int32_t mode, ProductionListState* a,
                           ProductionListState* b);
void OnProductionListCommand(Control* form, Control* control, int32_t id);
void OnProductionListChange(Control* form, Control* control, int32_t id, int32_t flag1, int32_t flag2,
                            int32_t flag3);
void OnProductionListEvent(Control* form, Control* control, int32_t id, ProductionListState* a, ProductionListState* b,
                           int32_t mode);
