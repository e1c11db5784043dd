#include "world/map_imagery.h"

#include "world/map_header.h"
#include "records/text_field.h"

MapViewHooks g_mapViewHooks;

std::string MapImageryPath(const MapHeader& header) {
  return "MAPS\\Imagery\\" + FieldText(header.imageryName) + ".PNG";
}

plat::Status LoadMapImagery(const MapHeader& header) {
  if (!g_mapViewHooks.loadImagery) return plat::kOk;
  return g_mapViewHooks.loadImagery(MapImageryPath(header));
}
