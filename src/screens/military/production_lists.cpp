#include "screens/military/production_lists.h"

ScreenParameterList& BuildListClasses() {
  static ScreenParameterList classes;
  return classes;
}

void OpenBuildList(Control*, int32_t*, int32_t, const HexCell*) {}
void RefreshBuildList(Control*, const BuildListState&) {}
void OnBuildListCommand(Control*, const BuildListState&, const HexCell*, Control*, int32_t, Screen*) {}
void DrawBuildListRow(Control*, const BuildListState&, Control*, int32_t, Screen*, Control*, Screen*) {}

void RefreshBaseProduction(Control*, const HexCell*, int32_t, ProductionListState*, ProductionListState*) {}
void OnProductionListCommand(Control*, Control*, int32_t) {}
void OnProductionListChange(Control*, Control*, int32_t, int32_t, int32_t, int32_t) {}
void OnProductionListEvent(Control*, Control*, int32_t, ProductionListState*, ProductionListState*, int32_t) {}
