#include "ui/list_control.h"

#include <utility>

void ListAddTextItem(ListControl& list, const char* text, intptr_t value) {
  ListRow row;
  row.value = value;
  row.text = text ? text : "";
  list.rows.push_back(std::move(row));
}

void ListAddIconItem(ListControl& list, int32_t pictureSource, int32_t width, int32_t height, intptr_t value) {
  ListRow row;
  row.value = value;
  row.picture = true;
  row.pictureSource = pictureSource;
  row.width = width;
  row.height = height;
  list.rows.push_back(std::move(row));
}

void ListClear(ListControl& list) { list.rows.clear(); }

const ListRow* ListFindRow(const ListControl& list, intptr_t value) {
  for (const ListRow& row : list.rows)
    if (row.value == value) return &row;
  return nullptr;
}
