#pragma once
// The row form of the region lists (DIPPLAYERLIST): a region's name, its
// leader, its coloured flag, and a marker of its relation to the local
// region or, for a neutral one, the local region's belligerence toward it.
// One screen draws every row: the list shows it with the row's id and tells
// it the row's width before it copies the form into the row.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kDipPlayerListTags[] = {"REGION", "NAME", "FLAG", "RELATION", "BELLISLDR"};

// The marker's colour of a relation class (RelationClass).
uint32_t RelationColour(int32_t relationClass);

class DipPlayerList : public Screen {
 public:
  DipPlayerList() : Screen("DIPPLAYERLIST", FormLookups{.tags = kDipPlayerListTags, .ids = {}}) {}
  // Fills the row for the region the id names (player 0's row is 100).
  void OnOpen() override;
  void Refresh() override;
  // Code 99: lays the row out for the width.
  void OnHostNotify(int32_t code, int32_t value) override;

  Control* name = nullptr;
  Control* relation = nullptr;
  SlideBarControl* belligerence = nullptr;
};
