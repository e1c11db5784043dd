#include "world/list_items.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "records/le_bytes.h"

namespace {

TEST(ListItems, ProjectEntryImageOffsets) {
  ProjectEntryImage image{};
  image.fields.word12 = 0x12;
  image.fields.index = 77;
  image.fields.kind = kProjectDesign;
  image.fields.displayFlags = 0x80000001;
  image.fields.simFlags = 0x2;
  image.fields.remainingCost = 123.5f;
  image.fields.id = 0x05000009;
  image.fields.word40 = 0x40;
  image.fields.word44 = 0x44;
  const auto* b = reinterpret_cast<const uint8_t*>(&image);
  EXPECT_EQ(le::Load32(b + 12), 0x12u);
  EXPECT_EQ(le::Load32(b + 16), 77u);
  EXPECT_EQ(b[20], 2);
  EXPECT_EQ(le::Load32(b + 24), 0x80000001u);
  EXPECT_EQ(le::Load32(b + 28), 2u);
  EXPECT_EQ(le::LoadF32(b + 32), 123.5f);
  EXPECT_EQ(le::Load32(b + 36), 0x05000009u);
  EXPECT_EQ(le::Load32(b + 40), 0x40u);
  EXPECT_EQ(le::Load32(b + 44), 0x44u);
  EXPECT_EQ(sizeof image, 48u);
}

TEST(ListItems, PlayerItemCopyTakesItsFieldsAndTheTwoLowBits) {
  PlayerItemFields source{};
  for (int i = 0; i < 4; ++i) source.words[i] = 0x1000u + i;
  for (int i = 0; i < 4; ++i) source.bytes[i] = static_cast<uint8_t>(0xA0 + i);
  for (int i = 0; i < 3; ++i) source.words2[i] = 0x2000u + i;
  source.lastWord = 0xFFFFFFF6;  // low bits 10
  PlayerItemFields destination{};
  destination.lastWord = 0x00000101;  // low bits 01, bit 8 its own
  CopyPlayerItem(destination, source);
  EXPECT_EQ(std::memcmp(destination.words, source.words, sizeof source.words), 0);
  EXPECT_EQ(std::memcmp(destination.bytes, source.bytes, sizeof source.bytes), 0);
  EXPECT_EQ(std::memcmp(destination.words2, source.words2, sizeof source.words2), 0);
  EXPECT_EQ(destination.lastWord, 0x00000102u);
  PlayerItemImage image{};
  image.fields = source;
  const auto* b = reinterpret_cast<const uint8_t*>(&image);
  EXPECT_EQ(le::Load32(b + 12), 0x1000u);
  EXPECT_EQ(b[28], 0xA0);
  EXPECT_EQ(le::Load32(b + 32), 0x2000u);
  EXPECT_EQ(le::Load32(b + 44), 0xFFFFFFF6u);
}

// Every item class frees what it owns and leaves its ring whole.
TEST(ListItems, RingsFreeTheirItems) {
  PlayerMessage head;
  for (int i = 0; i < 3; ++i) {
    auto* m = NewZeroed<PlayerMessage>();
    m->texts[0] = strdup("subject");
    m->texts[2] = strdup("body");
    head.Append(m);
  }
  // One taken out in the middle: the others stay linked in order.
  auto* middle = static_cast<PlayerMessage*>(head.next()->next());
  DeleteZeroed(middle);
  int left = 0;
  for (ListNode* n = head.next(); n && n != &head; n = n->next()) ++left;
  EXPECT_EQ(left, 2);
  FreeRingItems(head);
  EXPECT_FALSE(head.linked());

  BufferItem buffers;
  auto* item = NewZeroed<BufferItem>();
  item->payload = static_cast<uint8_t*>(std::malloc(100));
  buffers.Append(item);
  FreeRingItems(buffers);
  EXPECT_FALSE(buffers.linked());

  // A ring without a head node.
  auto* first = NewZeroed<RecurringItem>();
  first->Append(NewZeroed<RecurringItem>());
  first->Append(NewZeroed<RecurringItem>());
  FreeRing(first);
  FreeRing(nullptr);

  ProjectEntry projects;
  projects.Append(NewZeroed<ProjectEntry>());
  FreeRingItems(projects);
  FreeRingItems(projects);  // an empty ring
  EXPECT_FALSE(projects.linked());
}

}  // namespace
