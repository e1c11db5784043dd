#pragma once
// The catalogue of the screen set: one row per screen class, in the order
// the set builds its screens, with the form tags the class serves (and how
// many screens carry each) and the part of the game that writes the class's
// own behaviour. The set's members follow it; its tests and the form
// manifest read it.
#include <cstdint>
#include <span>

enum class ScreenOwner : uint8_t {
  kMainScreen,  // the bars, the map screen and its panels and pop-ups
  kFrontEnd,    // the start menu, set-up, in-game menu, chat, score card, ends of a game
  kEconomy,     // economy, production, status, domestic policy, research, cabinet
  kMilitary,    // the military and operations departments, orders, unit pop-ups
  kDiplomacy,   // diplomacy and mail
  kMapEditor,   // the map and scenario editor
  kToolkit,     // the tooltip and the pop-up frames
  kNone,        // forms a parent shows; no behaviour of their own
};

// A form tag and the number of screens that carry it; a null tag is a
// screen without a form. A row's unused entries have count 0.
struct CatalogueTag {
  const char* tag;
  int32_t count;
};

inline constexpr int kCatalogueRowTags = 3;
struct CatalogueRow {
  ScreenOwner owner;
  CatalogueTag tags[kCatalogueRowTags];
};

inline constexpr int32_t kCatalogueClasses = 446;
inline constexpr int32_t kCatalogueScreens = 1108;

// The rows in the set's member order, the first screen of each row
// deciding its place.
std::span<const CatalogueRow> ScreenCatalogue();
// How many screens the row's class has in the set.
int32_t CatalogueRowScreens(const CatalogueRow& row);
