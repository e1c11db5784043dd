#pragma once
// A small world for the offer tests: the pipeline's test world with named
// regional treaties and the mail interface calls of its own, both put back
// as they were when the test ends.
#include <cstdlib>
#include <cstring>
#include <utility>

#include "sim/command_test_world.h"
#include "sim/mail_ui_link.h"
#include "world/text/rule_tables.h"

inline char* TestCopy(const char* text) {
  if (!text) return nullptr;
  char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
  std::strcpy(copy, text);
  return copy;
}

// 2,451,545 is 2 January 2000, a Sunday.
inline constexpr uint32_t kTestDay = 2451545;

struct OfferTestWorld : CommandTestWorld {
  explicit OfferTestWorld(int width = 8, int height = 6) : CommandTestWorld(width, height) {
    savedTreaties_ = std::move(g_ruleTables.rTreatyTypes);
    savedMailUi_ = g_mailUi;
    g_mailUi = MailUiLink{};
    g_ruleTables.rTreatyTypes = TreatyTypeTable(new TreatyTypeEntry[kTreatyTypeCount]);
    world->gameState.currentDay = kTestDay;
  }
  ~OfferTestWorld() {
    g_ruleTables.rTreatyTypes = std::move(savedTreaties_);
    g_mailUi = savedMailUi_;
  }
  OfferTestWorld(const OfferTestWorld&) = delete;
  OfferTestWorld& operator=(const OfferTestWorld&) = delete;

  void NameTreaty(int type, const char* name) { g_ruleTables.rTreatyTypes[type].name.reset(TestCopy(name)); }
  PlayerRecord& P(int p) { return world->players[p]; }

 private:
  TreatyTypeTable savedTreaties_;
  MailUiLink savedMailUi_;
};
