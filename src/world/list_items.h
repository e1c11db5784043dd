#pragma once
// The item classes the world keeps in rings: per player the player items,
// the mail and news messages and the research projects, and the world's
// recurring items and payload buffers. Each class's destructor takes the
// item out of its ring; the world's per-player arrays hold a head node of
// each class, and items are made with NewZeroed.
//
// In game files the 48-byte items are images whose first three words (the
// list-node part) carry no meaning; the fields follow from offset 12.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <new>  // the list nodes' NewZeroed places objects
#include <type_traits>

#include "app/list_node.h"

// The list-node part of an item image: class word and links.
struct ListNodeSlots {
  uint32_t classSlot;
  uint32_t prevSlot;
  uint32_t nextSlot;
};
static_assert(sizeof(ListNodeSlots) == 12);

// A player item: its fields are moved as they stand by the code that has
// them; a copy takes four words, four bytes, three words and the two low
// bits of the last word.
struct PlayerItemFields {
  uint32_t words[4];  // 12
  uint8_t bytes[4];   // 28
  uint32_t words2[3]; // 32
  uint32_t lastWord;  // 44: only bits 0 and 1 belong to the item
};
static_assert(sizeof(PlayerItemFields) == 36);

struct PlayerItemImage {
  ListNodeSlots node;
  PlayerItemFields fields;
};
static_assert(sizeof(PlayerItemImage) == 48);
static_assert(offsetof(PlayerItemImage, fields) + offsetof(PlayerItemFields, bytes) == 28);
static_assert(offsetof(PlayerItemImage, fields) + offsetof(PlayerItemFields, lastWord) == 44);

struct PlayerItem : ListNode, PlayerItemFields {
  PlayerItem() : PlayerItemFields{} {}
  ~PlayerItem() override { Unlink(); }
};

// Copies an item's fields member by member.
void CopyPlayerItem(PlayerItemFields& destination, const PlayerItemFields& source);

// A research project of a region for one technology or design.
inline constexpr uint8_t kProjectTechnology = 1;
inline constexpr uint8_t kProjectDesign = 2;
// Flag bits of both flag words.
inline constexpr uint32_t kProjectPursued = 1u << 0;
inline constexpr uint32_t kProjectHeld = 1u << 1;
inline constexpr uint32_t kProjectClosed = 1u << 31;

struct ProjectEntryFields {
  uint32_t word12;
  uint32_t index;        // 16: technology or unit-class index
  uint8_t kind;          // 20: kProjectTechnology or kProjectDesign
  uint8_t bytes21[3];
  uint32_t displayFlags; // 24: as the display pass sees them; negative: the entry does not count
  uint32_t simFlags;     // 28: as the simulation pass sees them
  float remainingCost;   // 32
  uint32_t id;           // 36: a command sequence word, the player in its top byte
  uint32_t word40;
  uint32_t word44;
};
static_assert(sizeof(ProjectEntryFields) == 36);

struct ProjectEntryImage {
  ListNodeSlots node;
  ProjectEntryFields fields;
};
static_assert(sizeof(ProjectEntryImage) == 48);
static_assert(std::endian::native == std::endian::little, "item fields are their own file images");
static_assert(offsetof(ProjectEntryImage, fields) + offsetof(ProjectEntryFields, word12) == 12);
static_assert(offsetof(ProjectEntryImage, fields) + offsetof(ProjectEntryFields, index) == 16);
static_assert(offsetof(ProjectEntryImage, fields) + offsetof(ProjectEntryFields, kind) == 20);
static_assert(offsetof(ProjectEntryImage, fields) + offsetof(ProjectEntryFields, displayFlags) == 24);
static_assert(offsetof(ProjectEntryImage, fields) + offsetof(ProjectEntryFields, simFlags) == 28);
static_assert(offsetof(ProjectEntryImage, fields) + offsetof(ProjectEntryFields, remainingCost) == 32);
static_assert(offsetof(ProjectEntryImage, fields) + offsetof(ProjectEntryFields, id) == 36);
static_assert(offsetof(ProjectEntryImage, fields) + offsetof(ProjectEntryFields, word40) == 40);
static_assert(offsetof(ProjectEntryImage, fields) + offsetof(ProjectEntryFields, word44) == 44);

struct ProjectEntry : ListNode, ProjectEntryFields {
  ProjectEntry() : ProjectEntryFields{} {}
  ~ProjectEntry() override { Unlink(); }
};

// A mail or news message of a player. The message code adds its fields; the
// three texts (malloc, or null) are the message's own.
struct PlayerMessage : ListNode {
  ~PlayerMessage() override;
  char* texts[3] = {};
};

// A recurring payment or delivery; the payments code gives its fields.
struct RecurringItem : ListNode {
  ~RecurringItem() override { Unlink(); }
  uint8_t fields[56] = {};
};

// An item that owns a payload buffer (malloc).
struct BufferItem : ListNode {
  ~BufferItem() override;
  uint8_t* payload = nullptr;
};

// Takes out and frees every item of a ring that stands behind a head node;
// the head stays, alone.
void FreeRingItems(ListNode& head);
// Frees a ring that has no head node, from its first item.
void FreeRing(ListNode* first);
