#pragma once
// The missile silo's side panel (MAP1_ss8) with its four sub-panels: one
// missile's target (MAP1_ss8b), the missiles held in stock (MAP1_ss8c, and
// MAP1_ss8c2 beside the silo's own list) and the launch schedule
// (MAP1_ss8d). The operations behind their lists and buttons are shared
// with the silo pop-up, so that a silo behaves alike wherever it is opened:
// the silo's missile list, a missile's row and target box, the buttons and
// the launch orders. Missiles travel as unit ids and are looked up on use.
// Window thread; the walks over the world hold the simulation lock.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "ui/screen.h"
#include "world/list_holder.h"

class Control;
class ListBoxControl;
struct UnitClassImage;
struct UnitRecord;
struct World;
enum class LaunchBar : uint8_t;

inline constexpr const char* kSiloPanelTags[] = {"BASENAME", "NOTE",    "CONDITION", "LIST1",      "ICBMHEADER",
                                                 "SILO1",    "SILO2",   "OFFLINE",   "INDPIC",     "BASEDETAILS",
                                                 "MISPARENT2", "UNLOAD", "TARGET",   "LAUNCH",     "GRIDLAUNCH",
                                                 "CANCLAUNCH", "CLEARTARG", "CENTRE", "NOLAUNCH",  "DEPLOY"};
// The facility actions panel and the military screen's missile page.
inline constexpr int32_t kSiloActionsButton = 10;
inline constexpr int32_t kSiloMissilePageButton = 21;
inline constexpr int32_t kSiloPanelIds[] = {kSiloActionsButton, kSiloMissilePageButton};
inline constexpr const char* kMissileTargetTags[] = {"MISSILE", "HIDE1",     "HIDE2",  "TARGNAME", "OWNER",
                                                     "RELATION", "YIELD",    "TARGET", "CLEARTARG", "CENTRE",
                                                     "LAUNCH",  "CANCLAUNCH", "NOLAUNCH", "REACH",
                                                     "STRIKES"};
inline constexpr const char* kLaunchScheduleTags[] = {"MISSILE", "HIDE1",  "TARGNAME",   "OWNER",   "RELATION",
                                                      "YIELD",   "LAUNCH", "CANCLAUNCH", "CALPARENT", "STRIKES"};
inline constexpr const char* kStoredMissilesTags[] = {"STOREDLIST", "STATPARENT"};
inline constexpr const char* kStoredMissiles2Tags[] = {"STOREDLIST", "STATPARENT", "LIST1", "UNLOAD"};

// The missiles of the silo shown last: the list the missile pop-up steps
// through when opened from the silo's list.
ObjectRefList& SiloMissileList();

// Whether the region's release bits (its rules of engagement, as the
// interface shows them) withhold the launch of a missile of the class: the
// special-weapon kinds need bit 1, the first special kind bit 2.
bool LaunchUnauthorised(uint32_t classFlags, uint32_t releaseBits);

// The storage points the silo's stock takes (each carried unit's class slot
// size x its strength) and the silo's capacity (its class's capacity word x
// its strength), both truncated.
int32_t SiloStoredPoints(const World& world, const UnitRecord& silo);
int32_t SiloCapacityPoints(const UnitClassImage& silo, float strength);

// The cell of a missile's target hex, with its column (wrapped round the
// map) and row; -1 for no target ((0, 0)), a map without cells or a row off
// the map. The caller holds the simulation lock.
int64_t MissileTargetCell(const World& world, uint32_t packedTarget, int32_t* column = nullptr,
                          int32_t* row = nullptr);

// The warhead text of a missile class: "%.1f kt Nuc" for a nuclear warhead
// with a yield above 0, else its "weaptype" entry.
void MissileYieldText(char* out, size_t size, const UnitClassImage& cls);

// Fills the silo's missile list (the missiles aboard the selected hex's
// facility with strength, or its status line when it is not active) and the
// ICBMHEADER look.
void FillMissileHeader(ListBoxControl* list, Control* form);
// Shows the buttons of the form that fit the missile chosen in LIST1 (0 for
// none); other controls change nothing.
void DrawSiloMissileRow(Control* control, Control* form, uint32_t missile);
// The target box of the form for the missile.
void FillMissileTarget(Control* form, uint32_t missile);

// The screens a button of the silo's panels may lead to; null for none.
struct SiloCommandScreens {
  Screen* targetPanel = nullptr;  // shown with the missile instead of the map pick
  Screen* refresh = nullptr;      // refreshed after an order (its LIST1 handed back)
  Screen* build = nullptr;
  Screen* stock = nullptr;
  Screen* launch = nullptr;  // shown with the missile instead of launching at once
};
// Acts on one button or list event of a silo panel for the missile (0 for
// none); value is the button's id or the list's current item.
void OnSiloCommand(const SiloCommandScreens& screens, uint32_t missile, Control* control, Control* form,
                   int32_t value);
// Orders the launch: 339 and 342 with the target, 348 (launch allowed), 351
// (level 1) and 337 (launch, aimed at the hex's facility). Nothing for a
// missile that is gone, has no target or has less than full strength.
void PostSiloOrder(uint32_t missile);
// The same launch orders at the packed hex given (off the map: nothing).
void PostSiloOrderAt(uint32_t missile, uint32_t target);
// What bars the missile's launch at the target it shows (kNone when it may
// go): the judgement the launch itself makes, with the rules of engagement.
LaunchBar SiloLaunchBar(uint32_t missile);
// Orders the launch (PostSiloOrder) only when nothing bars it; what barred it.
LaunchBar LaunchSiloMissile(uint32_t missile);
// A double click on LIST1 opens the missile pop-up on the row's missile,
// stepping through the silo's missiles.
void OnSiloListEvent(Control* control, int32_t value);

class SiloPanel : public Screen {
 public:
  SiloPanel() : Screen("MAP1_ss8", FormLookups{.tags = kSiloPanelTags, .ids = kSiloPanelIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t value) override;
  void OnActivate(Control* control, int32_t value) override { OnSiloListEvent(control, value); }
  void OnControlChange(Control* control, int32_t value) override;

  ListBoxControl* list = nullptr;
};

// What the target and schedule panels share: the missile they were opened
// with, their target box, and the silo's buttons for that missile alone.
class SiloMissileSubPanel : public Screen {
 public:
  using Screen::Screen;
  void Refresh() override { FillMissileTarget(currentForm, missile); }
  void OnCommand(Control* control, int32_t value) override;

  uint32_t missile = 0;

 protected:
  void KeepMissile();
};

class MissileTargetPanel : public SiloMissileSubPanel {
 public:
  MissileTargetPanel() : SiloMissileSubPanel("MAP1_ss8b", FormLookups{.tags = kMissileTargetTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
};

std::unique_ptr<Screen> MakeLaunchSchedulePanel();

// Collects the local region's missiles in stock, held in reserve, into the
// list (emptied first). Call under the simulation lock.
void CollectStoredMissiles(World& w, ListHolder& into);

// The local region's missiles in stock, with the silo's own list beside
// them on MAP1_ss8c2.
std::unique_ptr<Screen> MakeStoredMissilesPanel();

std::unique_ptr<Screen> MakeStoredMissilesPanel2();
