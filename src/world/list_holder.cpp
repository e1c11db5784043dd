#include "world/list_holder.h"

#include "app/init_order.h"

ListSet g_listSet VD_INIT_LIST_HOLDER;

void ListHolderInit(ListHolder& holder) {
  holder.first = nullptr;
  holder.count = 0;
  holder.word3 = 0;
}

void ListHolderClear(ListHolder& holder) {
  while (ListNode* item = holder.first) {
    holder.first = item->Unlink();
    DeleteZeroed(item);
  }
  holder.count = 0;
}

ListItem28* NewListItem28(void* object, bool allowDuplicates, intptr_t callerWord, ListHolder& holder) {
  if (holder.first && !allowDuplicates) {
    ListNode* node = holder.first;
    do {
      auto* item = static_cast<ListItem28*>(node);
      if (item->object == object) return item;
      node = node->next();
    } while (node && node != holder.first);
  }
  auto* item = NewZeroed<ListItem28>();
  if (!item) return nullptr;
  item->object = object;
  item->callerWord = callerWord;
  if (holder.first)
    holder.first->Append(item);
  else
    holder.first = item;
  ++holder.count;
  return item;
}

ListSet::ListSet() {
  for (ListHolder& holder : holders) ListHolderInit(holder);
}

ListSet::~ListSet() {
  for (ListHolder& holder : holders) ListHolderClear(holder);
  projectHead.Unlink();
}
