#include "world/list_holder.h"

#include "app/init_order.h"

ListSet g_listSet VD_INIT_LIST_HOLDER;

void ListHolderInit(ListHolder& holder) {
  holder.first = nullptr;
  holder.count = 0;
  holder.listControl = nullptr;
}

void ListHolderClear(ListHolder& holder) {
  while (ListNode* item = holder.first) {
    holder.first = item->Unlink();
    DeleteZeroed(item);
  }
  holder.count = 0;
  holder.listControl = nullptr;
}

void ListHolderRemove(ListHolder& holder, ListItem28* item) {
  if (!item) return;
  if (holder.first == item) {
    ListNode* next = item->next();
    holder.first = next && next != item ? next : nullptr;
  }
  item->Unlink();
  DeleteZeroed(item);
  if (holder.count > 0) --holder.count;
}

ListItem28* NewListNode(void* object, float key, bool descending, uint32_t tag, ListHolder& holder) {
  auto* item = NewZeroed<ListItem28>();
  if (!item) return nullptr;
  item->object = object;
  item->key = key;
  item->tag = tag;
  ++holder.count;
  if (!holder.first) {
    holder.first = item;
    return item;
  }
  ListNode* node = holder.first;
  do {
    const float other = static_cast<ListItem28*>(node)->key;
    if (descending ? other < key : other > key) {
      node->Append(item);  // just before node
      if (node == holder.first) holder.first = item;
      return item;
    }
    node = node->next();
  } while (node && node != holder.first);
  holder.first->Append(item);
  return item;
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
