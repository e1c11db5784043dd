#pragma once
// The military facility department's build order panel (Military1_ss2a):
// the facility types the local player may order, and for the chosen one its
// cost, foundation, build time and the supply of the hex under the pointer,
// its running cost a year, staff and capacity. Choosing a type starts
// placing it on the map; the placement code posts the build, not the panel.
// Docks at the third level. Window thread.
#include <cstdint>

#include "ui/screen.h"

class ListBoxControl;
struct HexCell;
struct World;

// A row's item is its class plus this.
inline constexpr int32_t kBuildOrderRowBase = 1000;

// What the panel shows for a facility type, on a hex or on none. Callers
// hold the simulation lock.
struct BuildOrderFigures {
  float cost = 0.0f;
  float foundation = 0.0f;
  float annualCost = 0.0f;
  float days = 0.0f;          // the build time, on the hex when it is supplied
  bool onHex = false;         // a hex was given: the remaining fields hold
  bool supplied = true;       // its supply (or engineers) carries building
  float supplyPercent = 0.0f;
  bool refused = true;        // the local player may not build there
};
BuildOrderFigures BuildOrderFiguresFor(World& world, int32_t classIndex, const HexCell* cell);

// The facility types offered to order: open to the local player, in class
// order; of the site kind, or (below 0) the military sites of every kind.
void BuildOrderClasses(World& world, int32_t siteFilter, void (*add)(void* context, int32_t classIndex),
                       void* context);

inline constexpr const char* kBuildOrderTags[] = {"LIST1",    "CANBUT", "CONFIRMBUT", "REPEATBUT", "COST",      "FOUNDATION",
                                                  "TIME",     "SUPPLY",     "INVBUILD",  "HIDECOST",  "SHORTBOX2",
                                                  "SHORTAGE2", "ANNCOST",   "STAFF",     "CAPACITY",  "BASEPIC"};

// The screen's id is the site kind listed (below 0: every kind).
class BuildOrderPanel : public Screen {
 public:
  BuildOrderPanel() : Screen("Military1_ss2a", FormLookups{.tags = kBuildOrderTags, .ids = {}}) {}
  // Docks at the third level, makes the list and keeps the picture.
  void BindControls() override;
  // Ends a placement in progress, lists the types anew (keeping the chosen
  // row and the scroll) and starts placing the chosen type.
  void OnOpen() override;
  // The figures of the chosen type on the hex under the pointer.
  void Refresh() override;
  // CANBUT ends placement, CONFIRMBUT and REPEATBUT set its options, a row
  // chooses its type and starts placing it.
  void OnCommand(Control* control, int32_t id) override;
  // While placement runs, the figures follow the hex under the pointer;
  // a panel taken out of the dock stops polling.
  void Poll(intptr_t argument) override;

  int32_t pendingType = 0;
  ListBoxControl* list = nullptr;
  Control* basePic = nullptr;

 private:
  const HexCell* shownCell_ = nullptr;  // the hex the figures are for
};
