#pragma once
// The item classes the world keeps in rings: per player the player items,
// the mail and news messages and the research projects, and the world's
// recurring items and payload buffers. Each class's destructor takes the
// item out of its ring; the world's per-player arrays hold a head node of
// each class, and items are made with NewZeroed.
//
// In game files the 48-byte items are images whose first three words (the
// list-node part) carry no meaning; the fields follow from offset 12.
#include <atomic>
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

// Counts project entries and recurring items that went away, so that a
// remembered lookup result is never handed out after its record is freed.
inline std::atomic<uint32_t> g_projectEntryEpoch{0};
inline std::atomic<uint32_t> g_recurringItemEpoch{0};

struct ProjectEntry : ListNode, ProjectEntryFields {
  ProjectEntry() : ProjectEntryFields{} {}
  ~ProjectEntry() override {
    Unlink();
    g_projectEntryEpoch.fetch_add(1, std::memory_order_acq_rel);
  }
};

// A mail or news message of a player (96 bytes in files). The fields after
// the list-node part; the three texts (subject, body, attachment) follow in
// the image as three slots.
struct PlayerMessageFields {
  uint32_t typeId;             // 12: 0 for a letter written by a player
  uint32_t word16;
  uint32_t tick;               // 20: when it was distributed
  uint32_t day;                // 24
  uint32_t word28;
  uint8_t department;          // 32
  uint8_t level;               // 33
  uint8_t bytes34[2];
  uint32_t recipientMasks[3];  // 36
  uint32_t word48;
  uint16_t fromWord;           // 52: the signing minister's id
  uint8_t owner;               // 54
  uint8_t sender;              // 55
  uint8_t priority;            // 56
  uint8_t extra;               // 57
  uint8_t bytes58[2];
  uint32_t params[4];          // 60
};
static_assert(sizeof(PlayerMessageFields) == 64);

struct PlayerMessageTail {
  uint32_t flags;   // 88: bit 0 e-mail, bit 1 news, bit 7 kept
  uint32_t word92;  // 92
};

inline constexpr int kMessageTexts = 3;

struct PlayerMessageImage {
  ListNodeSlots node;
  PlayerMessageFields fields;
  uint32_t textSlots[kMessageTexts];  // 76: subject, body, attachment
  PlayerMessageTail tail;
};
static_assert(sizeof(PlayerMessageImage) == 96);
static_assert(offsetof(PlayerMessageImage, fields) + offsetof(PlayerMessageFields, recipientMasks) == 36);
static_assert(offsetof(PlayerMessageImage, fields) + offsetof(PlayerMessageFields, fromWord) == 52);
static_assert(offsetof(PlayerMessageImage, fields) + offsetof(PlayerMessageFields, params) == 60);
static_assert(offsetof(PlayerMessageImage, textSlots) == 76);
static_assert(offsetof(PlayerMessageImage, tail) == 88);

// Counts the messages made; each message takes the next number as its
// serial.
inline std::atomic<uint32_t> g_playerMessageSerial{0};

// The three texts (malloc, or null) are the message's own. The serial is
// the message's name in memory only (not in files): screens that hold on to
// a message across frames keep its serial, since the message may expire or
// be deleted in between.
struct PlayerMessage : ListNode, PlayerMessageFields, PlayerMessageTail {
  PlayerMessage() : PlayerMessageFields{}, PlayerMessageTail{} {}
  ~PlayerMessage() override;
  char* texts[kMessageTexts] = {};
  uint32_t serial = g_playerMessageSerial.fetch_add(1, std::memory_order_relaxed) + 1;
};

// Copies the record's fields and flags; the list links, the texts (owned by
// each message) and the serial stay the destination's.
inline void CopyPlayerMessage(PlayerMessage& destination, const PlayerMessage& source) {
  static_cast<PlayerMessageFields&>(destination) = static_cast<const PlayerMessageFields&>(source);
  static_cast<PlayerMessageTail&>(destination) = static_cast<const PlayerMessageTail&>(source);
}

// A recurring payment or delivery (68 bytes in files: the list-node part and
// these 56 bytes); the payments code gives its fields. Its id is the last
// word.
inline constexpr size_t kRecurringFieldsSize = 56;
inline constexpr size_t kRecurringIdAt = 52;  // within the fields: record offset 64

struct RecurringItem : ListNode {
  ~RecurringItem() override {
    Unlink();
    g_recurringItemEpoch.fetch_add(1, std::memory_order_acq_rel);
  }
  uint8_t fields[kRecurringFieldsSize] = {};
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
