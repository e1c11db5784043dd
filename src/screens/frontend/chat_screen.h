#pragma once
// Chat in a game: the one-line entry (CHAT), the chat window with its
// history and one row per region to pick chat partners (CHAT2, CHAT2_ss1),
// the recent lines floating over the map (CHATMAP), and the sending of one
// line to a group of players.
#include <cstdint>

#include "screens/common/map_overlay.h"
#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// Who a line goes to: every player, the allies, the neutrals, the enemies,
// the chosen partners, or the local player alone (the program's own
// notices).
enum ChatGroup : int32_t {
  kChatAll = 0,
  kChatAllies = 1,
  kChatNeutrals = 2,
  kChatEnemies = 3,
  kChatPartners = 4,
  kChatSelf = 5,
};
inline constexpr int32_t kChatChannelSystem = kChatSelf;

// The group the chat screens send to (their radio buttons' id less one)
// and the players chosen as partners (bit per player); both last the run.
extern int32_t g_chatGroup;
extern uint32_t g_chatPartners;

inline constexpr const char* kChatEntryTags[] = {"MESSAGE", "HISTORY"};
inline constexpr const char* kChatWindowTags[] = {"MESSAGE", "HISTORY", "CLOSE"};
inline constexpr int32_t kChatGroupIds[] = {1, 2, 3, 4, 5};
// The window's partner rows: the host of player p's row has this id + p.
inline constexpr int32_t kChatPartnerHostBase = 99;
inline constexpr int32_t kChatPartnerRows = 32;

class ChatEntry : public Screen {
 public:
  ChatEntry() : ChatEntry("CHAT", kChatEntryTags) {}
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnHostNotify(int32_t code, int32_t value) override;

  Control* message = nullptr;
  bool editing = false;  // set at opening: a first Enter on an empty line only ends the typing

 protected:
  ChatEntry(const char* name, std::span<const char* const> tags)
      : Screen(name, FormLookups{.tags = tags, .ids = kChatGroupIds}) {}
  virtual bool IsWindow() const { return false; }
};

class ChatWindow : public ChatEntry {
 public:
  ChatWindow() : ChatEntry("CHAT2", kChatWindowTags) {}
  void BindControls() override;
  void OnOpen() override;
  // Empties the history and lists every queued line.
  void RefillHistory();

  ListBoxControl* history = nullptr;

 protected:
  bool IsWindow() const override { return true; }
};

inline constexpr const char* kChatPartnerTags[] = {"FLAG", "CHAT"};

// One region of the chat window (its number is the screen's id).
class ChatPartnerRow : public Screen {
 public:
  ChatPartnerRow() : Screen("CHAT2_ss1", FormLookups{.tags = kChatPartnerTags, .ids = {}}) {}
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
};

inline constexpr const char* kChatOverlayTags[] = {"CHATLIST"};

class ChatMapOverlay : public MapOverlay {
 public:
  ChatMapOverlay() : MapOverlay("CHATMAP", FormLookups{.tags = kChatOverlayTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;
};

// The chat overlay takes the height of "chatshowlines" lines (the game's
// own overlay, or the one given).
void LayoutChatOverlay();
void LayoutChatOverlay(ChatMapOverlay& overlay);

// Fills a list with the queued chat lines, "NAME: TEXT" in the font slot:
// with recentOnly those of the last "chatshowtime" milliseconds before now.
// The rows made.
int32_t FillChatList(ListBoxControl* list, bool recentOnly, int32_t fontSlot, uint32_t now);

// The mask of players a group reaches, seen from the local player.
uint32_t ChatGroupMask(int32_t group);
// Sends "(GROUP) TEXT" from the local player to the group's players (a
// group outside 0..5 is the local player alone); 0x80004005 for an empty
// line.
int32_t SubmitChatLine(ScreenSet& screens, const char* text, int32_t group);
