#pragma once
// The four small pop-ups over the map that share the form HEXLISTPOP: the
// order menu for the selection, the hex menu (owner, settlement, hex
// actions and build sub-menus), the stack list of the units under the
// cursor, and the target picker of an order. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// What the four share: the chosen row, the list and its laid-out height.
class HexListPopupBase : public Screen {
 public:
  HexListPopupBase() : Screen("HEXLISTPOP") {}
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnSetFocus(Control* control, int32_t id) override;

  int32_t chosenId = 0;
  ListBoxControl* list = nullptr;
  int32_t laidOutHeight = 0;

 protected:
  bool narrow_ = false;  // the order and hex menus are 120 pixels wide
};

// The order menu: the orders the selection can take.
class HexListPopupA : public HexListPopupBase {
 public:
  HexListPopupA() { narrow_ = true; }
  void OnOpen() override;
  int32_t Close(int32_t noReturn = 0) override;
};

// The hex menu; its context picks the rows (0 main, 10 build, 11-13 build
// lists, 20 the hex's facility).
class HexProductList : public HexListPopupBase {
 public:
  HexProductList() { narrow_ = true; }
  void OnOpen() override;
  int32_t Close(int32_t noReturn = 0) override;
  int32_t context = 0;
};

// The stack list: pick units of the hex under the cursor.
class HexListPopupB : public HexListPopupBase {
 public:
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnHostNotify(int32_t code, int32_t value) override;
  int32_t Close(int32_t noReturn = 0) override;
  Control* allUnitsRow = nullptr;
  int32_t allMode = 0;
};

// The target picker of an order that needs one.
class HexTargetList : public HexListPopupBase {
 public:
  void OnOpen() override;
  int32_t Close(int32_t noReturn = 0) override;
  int32_t orderId = 0;
};

// The pop-up open last (its form) and where it opened; cleared on close.
struct HexListMemory {
  Control* form = nullptr;
  int32_t x = 0;
  int32_t y = 0;
};
extern HexListMemory g_hexListMemory;
// Where the last hex list pop-up opened (kept after it closed: the target
// picker opens there).
extern HexListMemory g_hexListLastOpened;

// The four pop-ups (one each for the whole run).
HexListPopupA& OrderMenu();
HexProductList& HexMenu();
HexListPopupB& StackList();
HexTargetList& TargetPicker();

// Right click on a hex: the order menu while the selection's orders are
// shown, else the hex menu. Nothing when no hex was clicked.
void OpenHexListA(ScreenSet& screens, int32_t x, int32_t y);
void OpenHexProductList(ScreenSet& screens, int32_t x, int32_t y);
// Opens the pop-up at (x, y), kept inside the map viewport, beside the
// other pop-ups.
void ShowHexListPopupAt(HexListPopupBase& popup, int32_t x, int32_t y);
void ShowHexListPopupFor(HexProductList& popup, int32_t context, int32_t x, int32_t y);
// Opens the target picker for the order at the cursor.
void OpenTargetPicker(int32_t orderId, int32_t x, int32_t y);
// Sizes the pop-up to its rows: as high as the rows when there are 1 to
// rowLimit - 1, else the laid-out height with scrolling.
void FitHexListToRows(Control* form, ListBoxControl* list, int32_t rowLimit, int32_t laidOutHeight);
// Acts on a hex menu row id for the packed hex.
void HexMenuAction(ScreenSet& screens, int32_t id, uint32_t hex);

// The resupply action of the military screens on the local player's units
// of a hex (they post their own commands); none until those screens install
// it.
struct HexMenuLinks {
  void (*applyToUnitsAtHex)(ScreenSet& screens, uint32_t hex) = nullptr;
};
extern HexMenuLinks g_hexMenuLinks;
