#pragma once
// The missile stock pop-up (POPUP_MISSILE1), opened with the M key and from
// a silo: the local player's missiles being built, waiting in the queue and
// held in store, each list filtered by missile type; the missile build list
// (POPUP_MISSILE1f) and the chosen stored missile (POPUP_MISSILE1h) beside
// them; the queue count, the storage capacity and the auto-build switch.
// The list buttons are the production lists' own. Window thread; walks of
// the world hold the simulation lock.
#include <cstdint>

#include "screens/common/units/build_lists.h"
#include "ui/screen.h"
#include "world/list_holder.h"

class Control;
class ListBoxControl;

// The type tabs: 400 + a missile type (a bit of the class's carrier mask),
// 405 every type.
inline constexpr int32_t kMissileTypeTab = 400;
inline constexpr int32_t kAllMissileTypes = 5;

inline constexpr const char* kMissileStockTags[] = {
    "QUEUE",     "CAPACITY", "PRODLIST",  "QUELIST",  "STOREDLIST", "SCRAPALL",   "CLEAR",      "DEPLOY",
    "AUTOBUILD2", "HIDEAUTOB", "HIDEBOX1", "HIDEBOX2", "HIDEAUTH",  "MPARENT2",   "STATPARENT", "PLATSTAT",
    "SUBPARENT4", "SUBPARENT5", "SILOHDR"};
inline constexpr int32_t kMissileStockIds[] = {400, 401, 402, 403, 404, 405};

class MissileStockPopup : public Screen {
 public:
  MissileStockPopup() : Screen("POPUP_MISSILE1", FormLookups{.tags = kMissileStockTags, .ids = kMissileStockIds}) {}
  ~MissileStockPopup() override;
  MissileStockPopup(const MissileStockPopup&) = delete;
  MissileStockPopup& operator=(const MissileStockPopup&) = delete;
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  // The type shown, kept for the run: 0-4, or every type.
  int32_t typeFilter = kAllMissileTypes;
  ListHolder production{}, queue{}, stored{};
  ListBoxControl* prodList = nullptr;
  ListBoxControl* queueList = nullptr;
  ListBoxControl* storedList = nullptr;
  Control* statParent = nullptr;
  Control* platformStatus = nullptr;
  Control* missileParent = nullptr;  // MPARENT2
  Control* subParent4 = nullptr;
  Control* subParent5 = nullptr;

 private:
  void RefillLists();
};

inline constexpr const char* kWmdFilterTags[] = {"LIST5", "WMDFILTER", "BUILD", "QTY", "MINUSBUT", "PLUSBUT"};

// POPUP_MISSILE1f: the build list in stock mode, in the pop-up's SUBPARENT4.
class WmdFilterPanel : public Screen {
 public:
  WmdFilterPanel() : Screen("POPUP_MISSILE1f", FormLookups{.tags = kWmdFilterTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  BuildListState state;
  ListBoxControl* list = nullptr;  // LIST5
};

// A double click on a missile class of a list opens the missile pop-up for
// it, stepping through the classes the build list shows. Key 0 does nothing.
void OpenMissileClassFromList(intptr_t classKey);

inline constexpr const char* kMissileSelectTags[] = {"MISSILE", "LIST5", "MISSILELIST"};

// POPUP_MISSILE1h: the stored missile chosen in the pop-up's STOREDLIST (its
// id), in the pop-up's SUBPARENT5.
class MissileSelectPanel : public Screen {
 public:
  MissileSelectPanel() : Screen("POPUP_MISSILE1h", FormLookups{.tags = kMissileSelectTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  uint32_t unit = 0;
  int32_t typeFilter = kAllMissileTypes;
  int32_t loadList = 0;  // 1 while the platforms are silos
  uint32_t platform = 0;
  ListBoxControl* selectList = nullptr;   // LIST5
  ListBoxControl* missileList = nullptr;  // MISSILELIST
};
