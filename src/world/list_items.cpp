#include "world/list_items.h"

#include <cstdlib>

void CopyPlayerItem(PlayerItemFields& destination, const PlayerItemFields& source) {
  for (int i = 0; i < 4; ++i) destination.words[i] = source.words[i];
  for (int i = 0; i < 4; ++i) destination.bytes[i] = source.bytes[i];
  for (int i = 0; i < 3; ++i) destination.words2[i] = source.words2[i];
  destination.lastWord = (destination.lastWord & ~3u) | (source.lastWord & 3u);
}

PlayerMessage::~PlayerMessage() {
  for (char*& text : texts) {
    std::free(text);
    text = nullptr;
  }
  Unlink();
}

BufferItem::~BufferItem() {
  std::free(payload);
  payload = nullptr;
  Unlink();
}

void FreeRingItems(ListNode& head) {
  while (ListNode* item = head.next()) {
    item->Unlink();
    DeleteZeroed(item);
  }
}

void FreeRing(ListNode* first) {
  while (first) {
    ListNode* following = first->Unlink();
    DeleteZeroed(first);
    first = following;
  }
}
