#pragma once
// The unit tool's list of the local region's stock (MAPEDITORB_SS6e): units
// of a stock class held as a quantity rather than placed, with the quantity
// of a new one and the buttons that add one of the stock class list's class
// or remove the selected one. Window thread; walks of the world hold the
// simulation lock.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"
#include "world/list_holder.h"

class EditorStockClassListPanel;

inline constexpr const char* kStockUnitListTags[] = {"LIST1", "MQTY", "PLATFORMNAM", "TYPE", "ADD", "REMOVE"};

// The quantity a text asks for: below 1.0, and anything that is no finite
// number, is 1.0.
float StockQuantity(const char* text);

// The stock units of the player that the list shows: held, complete, of the
// platform category (any when negative), conventional unless weaponsShown.
void CollectStockUnits(World& world, ListHolder& units, int32_t player, int32_t category, bool weaponsShown);

// A new stock unit of the class for the player, quantity from the text. On
// page 4 (onSite) it is made at the stock site on the hex, and not at all
// without one; on page 3 it has no location. Null when none is made.
UnitRecord* AddStockUnit(World& world, int32_t player, int32_t classIndex, const char* quantity, bool onSite,
                         uint32_t hex);

// The screen's id is 0 on tool page 3, 1 on page 4.
std::unique_ptr<Screen> MakeEditorStockUnitListPanel();
