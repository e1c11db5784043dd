#pragma once
// The missile pop-up (POPUP_MISSILE) in its two views: a missile design
// (MissilePopup, opened with a class index) with its build or research
// panel, and one stock of missiles (MissilePopupB, opened with the stock's
// unit id) with the panel for the state it is in. Both show the class's
// sheet and statistics and step through the list they were opened with.
// Window thread; reads of the world hold the simulation lock.
#include <cstdint>

#include "ui/screen.h"

struct UnitRecord;
struct World;

// A missile design the player may research: named, not a fixed
// installation, not out of use while in game, not above the player's
// rounded technology level; with a player also within its permission mask,
// neither available nor under research, and not obsolete at its level; and
// not barred from research. The unit build pop-up's rule differs in its
// level rounding and region test.
bool MissileDesignResearchable(const World& world, int32_t player, int32_t classIndex);

enum class MissileDesignPanel { kNone, kBuild, kResearch };
MissileDesignPanel ChooseMissileDesignPanel(const World& world, int32_t player, int32_t classIndex);

// A stock still being built (the build-state bit of its display orders).
bool StockUnderConstruction(const UnitRecord& stock);

enum class StockPanel { kConstruction, kDeployment, kPlatform, kStatus };
// The state panel of a stock: being built, held in reserve (off the map or
// by its silo: deployable when it is active, else its status), off the map
// out of the reserve (its status), or carried or placed on the map.
StockPanel ChooseStockPanel(const UnitRecord& stock);

// POPUP_MISSILE1a: which carriers may take the class (its id).
class MissileStockPanelA : public Screen {
 public:
  explicit MissileStockPanelA(const char* formName = "POPUP_MISSILE1a");
  void OnOpen() override;
};

// POPUP_MISSILE_SS1: the class sheet of the missile design (its id).
class MissileClassPanel : public Screen {
 public:
  explicit MissileClassPanel(const char* formName = "POPUP_MISSILE_SS1");
  void Refresh() override;
  void BindControls() override;

 private:
  int32_t Slot() const;
};

// What both views share: the hosts and the panel now shown.
class MissileViewBase : public Screen {
 public:
  MissileViewBase();
  void BindControls() override;
  int32_t Close(int32_t noReturn = 0) override;
  void OnCommand(Control* control, int32_t id) override;

  Control* classHost = nullptr;     // SUBPARENT2
  Control* statsHost = nullptr;     // SUBPARENT3
  Control* panelHost = nullptr;     // SUBPARENT4
  Control* progressHost = nullptr;  // SUBPARENT5
  Control* extraHost = nullptr;     // PAR3C
  Screen* currentPanel = nullptr;   // none after every open

 protected:
  void ShowPanel(Screen* panel, intptr_t object);
};

// The design view.
class MissilePopup : public MissileViewBase {
 public:
  void OnOpen() override;
  void Refresh() override;

  int32_t classIndex = 0;
};

// The stock view.
class MissilePopupB : public MissileViewBase {
 public:
  void OnOpen() override;
  void Refresh() override;
  int32_t Close(int32_t noReturn = 0) override;
  void OnCommand(Control* control, int32_t id) override;

  uint32_t stockId = 0;
};
