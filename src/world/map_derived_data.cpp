#include "world/map_derived_data.h"

void RecalcDerivedMapData(World&) {
  // The editor's derived map tables come with the editor; nothing is kept
  // yet that would need recomputing.
}
