#pragma once
// A small holder that owns a ring of list items (no head node: the holder
// points at the first item), the 28-byte reference items that such rings
// usually hold (object, sort key, tag), and the global set of ten holders the
// game flow uses. The screens' unit lists are such rings too.
#include <cstdint>
#include <new>  // NewZeroed places objects

#include "app/list_node.h"
#include "world/list_items.h"

class ListBoxControl;

struct ListHolder {
  ListNode* first;  // null when empty
  int32_t count;    // items added since the holder was last emptied
  // The list box that shows the ring, none when no list does; a screen
  // sets it, and emptying the ring forgets it.
  ListBoxControl* listControl;
};
using ObjectRefList = ListHolder;

// Zeroes the three words.
void ListHolderInit(ListHolder& holder);
// Takes out and frees every item (items are made with NewZeroed), then
// clears the count and forgets the list control.
void ListHolderClear(ListHolder& holder);

// An item that refers to an object it does not own: a unit, a record.
// Unit lists that outlive a frame keep the unit's id in callerWord and look
// the unit up again when they use it.
struct ListItem28 : ListNode {
  ~ListItem28() override { Unlink(); }
  void* object = nullptr;
  float key = 0.0f;  // sort key of the sorted insertions
  uint32_t tag = 0;
  intptr_t callerWord = 0;
};
using ObjectRef = ListItem28;

// The item after this one in its holder's ring, null at the end.
inline ListItem28* NextInHolder(const ListHolder& holder, const ListNode* item) {
  ListNode* next = item ? item->next() : nullptr;
  return next && next != holder.first ? static_cast<ListItem28*>(next) : nullptr;
}
inline ListItem28* FirstInHolder(const ListHolder& holder) { return static_cast<ListItem28*>(holder.first); }

// Takes one item out of the holder's ring and frees it.
void ListHolderRemove(ListHolder& holder, ListItem28* item);

// Adds an item for the object with the caller's word: an empty holder takes
// it as its first item; otherwise it goes at the end, unless duplicates are
// not allowed and an item already refers to the object, which leaves the
// holder unchanged. Returns the holder's item for the object (the new one,
// or the one already there), null when no memory was left.
ListItem28* NewListItem28(void* object, bool allowDuplicates, intptr_t callerWord, ListHolder& holder);

// Adds an item in key order: before the first item whose key is greater
// (descending: smaller), so equal keys keep their arrival order; at the end
// when none is. Returns the item, null when no memory was left.
ListItem28* NewListNode(void* object, float key, bool descending, uint32_t tag, ListHolder& holder);

// The ten holders and the project-list head the game flow and log-on share.
struct ListSet {
  ListSet();
  ~ListSet();
  ListSet(const ListSet&) = delete;
  ListSet& operator=(const ListSet&) = delete;

  ListHolder holders[10];
  ProjectEntry projectHead;  // head node of a ring of project entries
};

extern ListSet g_listSet;
