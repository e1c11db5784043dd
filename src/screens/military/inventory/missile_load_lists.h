#pragma once
// The routines every panel that matches stored weapons (and other loadable
// units) with their platforms shares: the platform and class lists, the
// pop-up of a picked row, the load buttons and the re-lay of a load panel
// when one of its lists changes. They hold nothing of their own: the
// calling panel hands in its form, its lists and its own fields; units are
// kept by id and looked up on use. They change the game only by posting
// unit commands. Window thread; walks of the world hold the simulation lock.
#include <cstdint>
#include <vector>

#include "screens/common/units/unit_class_query.h"

class Control;
class ListBoxControl;
class Screen;
class UnitOfferPanel;
struct UnitClassRecord;
struct World;

// The platform categories of the lists: 0 land, 1 air, 2 sea, 3
// submarine, 4 silo, 5 any.
inline constexpr int32_t kPlatformSilo = 4;
inline constexpr int32_t kPlatformAny = 5;
// The kinds of cargo a platform list asks for (-1 none): 0 other cargo, 1
// special weapons, 2 any.
inline constexpr int32_t kNoCargoKind = -1;

// Fills the list with the local player's platforms that can take the
// missile (0 for none), else those of the category; with a kind, only
// platforms already carrying such cargo. Silos when the missile's class is
// silo-launched or the category is the silo one. 1 in silo mode, else 0.
int32_t FillMissileList(ListBoxControl* list, uint32_t missile, int32_t category, int32_t kind);
// The same choice over the classes the local player may have.
int32_t FillMissileClassList(ListBoxControl* list, const UnitClassRecord* missileClass, int32_t category);
// A row activated in a platform list (LIST5) or a cargo list (MISSILELIST):
// the pop-up of its unit.
void OnMissileListSelect(Control* list, uint32_t unit, int32_t siloMode);

// What a load panel hands the button handler beside its form.
struct MissilePanelHosts {
  Screen* refresh = nullptr;           // refreshed with the panel after most buttons
  ListBoxControl* rowList = nullptr;   // its selected rows are what the load buttons act on
  int32_t* category = nullptr;         // set by the category buttons 200 to 205
  UnitOfferPanel* sale = nullptr;      // SELL
  UnitOfferPanel* scrap = nullptr;     // SCRAPU
  Control* container = nullptr;        // where the offer panels show
};

// A button of a load panel. missile: the panel's weapon, 0 for none;
// platform: the panel's chosen platform; value: the control's id, or the
// unit of the row picked when the control is a list.
void MissilePanelCommand(Control* form, uint32_t missile, uint32_t* platform, Control* control, int32_t value,
                         const MissilePanelHosts& hosts);

// A load panel's list changed: picked is the unit of the row now selected,
// 0 when the selection was cleared. With a container, a picked platform's
// class sheet (or, in silo mode, the silo panel) shows in it.
void RefreshMissileLoadPanel(Control* form, Control* changed, Control* container, uint32_t missile,
                             uint32_t* platform, uint32_t picked, int32_t siloMode, Screen* classPanel,
                             Screen* siloPanel);

// Lists the weapons and other stock aboard the platform (whole ones), a
// silo's as any carrier's, keeping the list's scroll and selection; the
// weapons of the two special payload kinds, counted.
struct PayloadTotals {
  int32_t special = 0;
  int32_t immune = 0;
};
PayloadTotals FillPlatformCargoList(ListBoxControl* cargo, uint32_t platform);

// A carrier's load in use and capacity as the load panels show them.
struct PlatformLoad {
  int32_t used = 0;
  int32_t capacity = 0;
};
// Hold the simulation lock.
PlatformLoad PlatformLoadOf(const World& world, uint32_t carrier);
