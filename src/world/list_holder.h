#pragma once
// A small holder that owns a ring of list items (no head node: the holder
// points at the first item), the 28-byte reference items that such rings
// usually hold, and the global set of ten holders the game flow uses.
#include <cstdint>
#include <new>  // NewZeroed places objects

#include "app/list_node.h"
#include "world/list_items.h"

struct ListHolder {
  ListNode* first;  // null when empty
  int32_t count;    // items added since the holder was last emptied
  uint32_t word3;
};

// Zeroes the three words.
void ListHolderInit(ListHolder& holder);
// Takes out and frees every item (items are made with NewZeroed), then
// clears the count.
void ListHolderClear(ListHolder& holder);

// An item that refers to an object it does not own: a unit, a record.
struct ListItem28 : ListNode {
  ~ListItem28() override { Unlink(); }
  void* object = nullptr;
  uint32_t word = 0;
  intptr_t callerWord = 0;
};

// Adds an item for the object with the caller's word: an empty holder takes
// it as its first item; otherwise it goes at the end, unless duplicates are
// not allowed and an item already refers to the object, which leaves the
// holder unchanged. Returns the holder's item for the object (the new one,
// or the one already there), null when no memory was left.
ListItem28* NewListItem28(void* object, bool allowDuplicates, intptr_t callerWord, ListHolder& holder);

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
