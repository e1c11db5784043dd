#pragma once
// A small world for the message and reply tests: the offer test world with
// its own message-type table, interface levels, text list entries, scenario
// texts and interface calls, each put back as it was when the test ends.
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sim/mail_ui_link.h"
#include "sim/message_network.h"
#include "sim/offer_test_world.h"
#include "sim/player_messages.h"
#include "sim/sim_ui_link.h"
#include "sim/status_queue.h"
#include "world/list_items.h"
#include "world/text/rule_tables.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"

struct MessageTestWorld : OfferTestWorld {
  explicit MessageTestWorld(int types = 600, int width = 8, int height = 6) : OfferTestWorld(width, height) {
    savedTypes_ = std::move(g_ruleTables.messageTypes);
    savedOptions_ = g_uiOptions;
    savedSimUi_ = g_simUi;
    savedMessageNet_ = g_messageNet;
    g_simUi = SimUiLink{};
    g_messageNet = MessageNetLink{};
    ResetUiOptions(g_uiOptions);
    g_uiOptions.newslevel = 0;
    g_uiOptions.emaillevel = 0;
    g_uiOptions.statuslevel = 0;
    MessageTypeTable& table = g_ruleTables.messageTypes;
    table = MessageTypeTable{};
    table.records.resize(static_cast<size_t>(types));
    for (auto& states : table.playerMessageState) states.assign(static_cast<size_t>(types), PlayerMessageState{});
    world->gameState.visibilityLfsr = 0;
    ClearStatusQueue(*world);
  }
  ~MessageTestWorld() {
    for (auto& [index, old] : savedEntries_) {
      std::free(g_textLists.entries[index]);
      g_textLists.entries[index] = old;
    }
    for (auto& [index, old] : savedRegionNames_) g_scenarioText.regionNames[index].reset(old);
    for (auto& [index, old] : savedEmails_) g_scenarioText.emailTexts[index].reset(old);
    ClearStatusQueue(*world);
    for (ListNode& head : world->messageLists) FreeRingItems(head);
    g_ruleTables.messageTypes = std::move(savedTypes_);
    g_uiOptions = savedOptions_;
    g_simUi = savedSimUi_;
    g_messageNet = savedMessageNet_;
  }

  // A message type: e-mail (flags 1) or news (flags 2), enabled, always passing.
  MessageTypeRecord& Type(uint32_t id, uint8_t flags = 1, uint8_t priority = 5) {
    MessageTypeRecord& r = g_ruleTables.messageTypes.records.at(id);
    r.flags = flags;
    r.enabled = 1;
    r.priority = priority;
    r.frequencyKind = 0;
    return r;
  }
  void SetTemplate(uint32_t id, const char* text, int variant = 0) {
    g_ruleTables.messageTypes.records.at(id).bodyTemplates[variant].reset(TestCopy(text));
  }
  void SetListEntry(TextListId list, int index, const char* text) {
    const int at = TextListInfoOf(list).first + index;
    if (!savedEntries_.count(at)) {
      savedEntries_[at] = g_textLists.entries[at];
      g_textLists.entries[at] = nullptr;
    }
    std::free(g_textLists.entries[at]);
    g_textLists.entries[at] = TestCopy(text);
  }
  void SetRegionName(int index, const char* text) {
    if (!savedRegionNames_.count(index)) {
      savedRegionNames_[index] = TestCopy(g_scenarioText.regionNames[index].get());
    }
    g_scenarioText.regionNames[index].reset(TestCopy(text));
  }
  void SetEmailText(int index, const char* text) {
    if (!savedEmails_.count(index)) savedEmails_[index] = TestCopy(g_scenarioText.emailTexts[index].get());
    g_scenarioText.emailTexts[index].reset(TestCopy(text));
  }

  // The player's messages, newest first.
  std::vector<PlayerMessage*> Messages(int player) {
    std::vector<PlayerMessage*> out;
    ListNode& head = world->messageLists[player];
    for (ListNode* n = head.next(); n && n != &head; n = n->next()) out.push_back(static_cast<PlayerMessage*>(n));
    return out;
  }
  std::vector<uint32_t> TypesOf(int player) {
    std::vector<uint32_t> out;
    for (PlayerMessage* m : Messages(player)) out.push_back(m->typeId);
    return out;
  }

 private:
  MessageTypeTable savedTypes_;
  UiOptions savedOptions_;
  SimUiLink savedSimUi_;
  MessageNetLink savedMessageNet_;
  std::map<int, char*> savedEntries_;
  std::map<int, char*> savedRegionNames_;
  std::map<int, char*> savedEmails_;
};
