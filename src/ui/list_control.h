#pragma once
// A list control: a control holding rows, each a text or a picture, each
// carrying the value the screen looks it up by. Drawing, scrolling and
// selection belong to the list box the form makes; this is the part that
// fillers and screens share.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/control.h"

struct ListRow {
  intptr_t value = 0;  // the row's id or data word
  std::string text;    // a text row's text
  bool picture = false;
  int32_t pictureSource = 0;  // a picture row's image: what the row shows (a region's flag: its number)
  int32_t width = 0;          // 0 takes the picture's own size
  int32_t height = 0;
};

class ListControl : public Control {
 public:
  std::vector<ListRow> rows;
};

// Appends a text row holding the text (none counts as empty) and the value.
void ListAddTextItem(ListControl& list, const char* text, intptr_t value);
// Appends a picture row of the given size carrying the value.
void ListAddIconItem(ListControl& list, int32_t pictureSource, int32_t width, int32_t height, intptr_t value);
// Empties the list.
void ListClear(ListControl& list);
// The first row carrying the value, or null.
const ListRow* ListFindRow(const ListControl& list, intptr_t value);
