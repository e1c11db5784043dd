#pragma once
// The missile strike panel (ORDERS1_ss3e), docked at the third level when
// the orders list's chosen order aims missiles: the order's targets (the
// target list's candidates, the hex row -1 first), the missiles the
// selected units carry, and how many go per strike; the chosen missile's
// reach and what it would strike at the target, or why it may not go.
// EXECUTE on the orders panel sends the strike for each chosen missile row,
// unless the panel refuses it. Window thread; walks of the world hold the
// simulation lock.
#include <cstdint>

#include "ui/screen.h"
#include "world/list_holder.h"

class Control;
class ListBoxControl;

// Command 351 carries the strike quantity in one byte.
inline constexpr int32_t kMostMissilesPerStrike = 255;

inline constexpr const char* kMissileStrikeTags[] = {"UNITLIST", "MISSILELIST", "TARGPARENT", "MISPARENT", "MQTY",
                                                     "PLUSBUT",  "MINUSBUT",    "AUTO",       "REACH",     "STRIKES"};

class MissileStrikePanel : public Screen {
 public:
  MissileStrikePanel() : Screen("ORDERS1_ss3e", FormLookups{.tags = kMissileStrikeTags, .ids = {}}) {}
  ~MissileStrikePanel() override;
  MissileStrikePanel(const MissileStrikePanel&) = delete;
  MissileStrikePanel& operator=(const MissileStrikePanel&) = delete;
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  void OnEndEdit(Control* control, int32_t id) override;

  // Shows REACH and STRIKES for the strike at the marked hex and the chosen
  // target: of the first chosen missile row that may not go, else of the
  // first chosen; with none chosen (AUTO), of the first listed missile that
  // may go, else of the first listed. Returns whether the strike is barred:
  // a chosen missile may not go, or with none chosen, no listed one may.
  // A selection that carries no missile is never barred here.
  bool ShowLaunchVerdict();

  ListBoxControl* unitList = nullptr;     // the targets
  ListBoxControl* missileList = nullptr;  // the carried missiles, by unit id
  Control* targetParent = nullptr;
  Control* missileParent = nullptr;
  Control* quantityField = nullptr;
  // Missiles per strike, kept between openings; 0 until first set.
  int32_t missileQuantity = 0;
  uint32_t chosenMissile = 0;  // 0: chosen automatically
  ListHolder missileCollection{};

 private:
  void ShowQuantity();
  // The most a strike may take: one byte, and with a chosen missile its
  // whole strength.
  int32_t QuantityLimit() const;
};
