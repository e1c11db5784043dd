#pragma once
// Editor mode 3: the terrain types browsed one by one, with the chart of a
// type's movement values and flags and the bars of its yields, which the
// facility tools and the selected hex reuse. The bars only show: moving
// one writes nothing back. Window thread only.
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kTerrainTypeTags[] = {
    "TERRAINPICK", "TDESC",   "AVGPOP",  "AVGMULT",  "TEMPWIN",      "TEMPSPR",      "TEMPSUM", "TEMPFALL",
    "RAINWIN",     "RAINSPR", "RAINSUM", "RAINFALL", "PARENTTCHART", "PARENTATTRIB", "BUTLOAD", "BUTSAVE",
    "BUTNEXT",     "BUTPREV"};
inline constexpr const char* kTerrainChartTags[] = {"SET1", "SET2", "SET3", "SET4", "SET5", "SET6", "SET7"};
inline constexpr int32_t kTerrainChartIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14};
inline constexpr int32_t kAttributeIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

class TerrainChartPanel : public Screen {
 public:
  TerrainChartPanel() : Screen("MAPEDITOR_TCHART", FormLookups{.tags = kTerrainChartTags, .ids = kTerrainChartIds}) {}
  void Refresh() override;
};

class AttributesPanel : public Screen {
 public:
  AttributesPanel() : Screen("MAPEDITOR_ATTRIB", FormLookups{.tags = {}, .ids = kAttributeIds}) {}
  void Refresh() override;
};

class TerrainTypePanel : public Screen {
 public:
  TerrainTypePanel() : Screen("MAPEDITORB_SS1", FormLookups{.tags = kTerrainTypeTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t code) override;

  TerrainChartPanel* chart = nullptr;   // set by the screen set
  AttributesPanel* attributes = nullptr;
};

// The brush terrain after a step of the browser: outside the table is 0.
int32_t BrowsedTerrain(int32_t value, int32_t terrainCount);
