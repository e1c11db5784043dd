#pragma once
// One row of a build list, or its selected item: what a unit of the class
// costs, how long it takes to build, how long its design takes to research,
// its strength or storage points and its kind. Unit-build mode shows a unit
// of an available class to be built, at the class's price with its cargo
// weight priced at the builder's goods rate; design mode a class still to
// be researched. It reads the local player's rates and posts nothing.
// Window thread.
#include <cstdint>

class Control;
class Screen;
struct PlayerRecord;
struct UnitClassRecord;

// How much dearer a design is to research than one unit is to build, by the
// class's category (land, air, sea, submarine).
inline constexpr float kBuildCategoryFactor[4] = {3.0f, 2.0f, 0.5f, 1.0f};

// What researching the design costs (money) and takes (days) at the rate.
float DesignResearchCost(const UnitClassRecord& cls);
float DesignResearchDays(const UnitClassRecord& cls, float rate);

// The region's research progress a day.
float ResearchRate(const PlayerRecord& player);

// A screen showing more of the class, and the control it is shown in.
struct BuildItemDetail {
  Screen* panel = nullptr;
  Control* anchor = nullptr;
};

// Fills the row form. quantity is the caller's fraction of full strength to
// build (1.0 full); a class of fewer than three elements sets it to 1.0.
// With points set the row shows storage points instead of strength.
void DrawBuildItemRow(Control* row, int32_t designMode, const UnitClassRecord& cls, float* quantity,
                      int32_t points, BuildItemDetail detailA = {}, BuildItemDetail detailB = {});
