#pragma once
// The cargo tab (MAP1_SS4C, and POPUP_MILITARY1A9a inside the unit details):
// what a carrier holds (goods, carried units, missiles) against its load
// limit, and the load, unload, launch and authorisation orders for what it
// carries. Holds the carrier by id.
#include <cstdint>
#include <span>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kCargoPanelTags[] = {"CARGOLIST", "CARGOSLDR", "LIMIT",    "LOAD",     "CARGOHIDE",
                                                  "NOLOADHIDE", "NOLOAD",   "UNLOADALL", "LAUNCH",  "UNLOAD",
                                                  "UNLOADM",    "UNLOADA",  "GRID1",     "AUTHHIDEB", "AUTHBOXB",
                                                  "STATPARENT"};

class CargoPanel : public Screen {
 public:
  explicit CargoPanel(const char* formName)
      : Screen(formName, FormLookups{.tags = kCargoPanelTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  // A carried missile's row opens its stock pop-up, a carried unit's its
  // detail pop-up, each paging through its own kind aboard.
  void OnActivate(Control* control, int32_t value) override;

  ListBoxControl* cargoList = nullptr;
  // The class sheet shown in STATPARENT for the picked row's unit (its id
  // the class index), given by the screen set; may be missing.
  Screen* picturePanel = nullptr;

 private:
  // The units of the selected rows, or of every row.
  std::vector<uint32_t> RowUnits(bool selectedOnly) const;
  void AdvanceSelection();
  // The units and the missiles aboard at the last refresh, by id.
  ScreenParameterList carried_;
  ScreenParameterList missiles_;
};

// Orders every missile out of the carrier and keeps it from loading again:
// 348 (carrier, no-load bit, set), then for each missile 351 (missile, 255)
// and 337 (missile, unload bit, 0).
void PostUnloadAll(uint32_t carrier, std::span<const uint32_t> missiles);

// The row texts of an empty carrier.
const char* EmptyCargoText(bool hasCargoCapacity, bool hasMissileCapacity);
