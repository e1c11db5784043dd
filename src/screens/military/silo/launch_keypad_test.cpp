// The launch keypad: entering and checking the code, and what ABORT and
// LAUNCH do to the region's authorisation and the missile.
#include "screens/military/silo/launch_keypad.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/screen_manager.h"
#include "world/id_lookups.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 2;
constexpr uint32_t kMissile = 0x03000010;
using Digits = std::vector<int32_t>;

// A 6 x 6 map with a full-strength missile aimed at hex (4, 1).
class LaunchKeypadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.mapWidth = g_world.mapHeight = 6;
    g_world.cells.assign(36, HexCell{});
    g_world.players[kLocal] = PlayerRecord{};
    g_world.localPlayerRecord = &g_world.players[kLocal];
    g_world.units = nullptr;
    missile_.id = kMissile;
    missile_.owner = kLocal;
    missile_.strength = 1.0f;
    missile_.ordersShown[kFireHex] = PackHex(4, 1);
    InsertUnitInRing(g_world, missile_);
    g_commandLog.Clear();
    for (int32_t id = 21; id <= 24; ++id) form_[std::to_string(id).c_str()]->id = id;
    const auto c = LaunchKeypad::CodeForTests();
    code_.assign(c.begin(), c.end());
  }
  void TearDown() override {
    g_commandLog.Clear();
    g_world.units = nullptr;
    ReindexUnits(g_world);
  }
  void Press(const char* tag) { keypad_.OnCommand(form_[tag], 0); }
  void Enter(const Digits& digits) {
    for (int32_t d : digits) keypad_.OnCommand(form_[d == 0 ? 10 : d], d == 0 ? 10 : d);
  }
  Digits Code(size_t wrongAt = 4) const {
    Digits d = code_;
    if (wrongAt < 4) d[wrongAt] = (d[wrongAt] + 1) % 10;
    return d;
  }
  // INCORRECT, BACKSPACE and LAUNCH shown (their first letters), then the four fields.
  std::string Shown() const {
    std::string s;
    for (const char* tag : {"INCORRECT", "BACKSPACE", "LAUNCH"}) s += form_.Shown(tag) ? tag[0] : '-';
    for (int32_t id = 21; id <= 24; ++id) s += form_[id]->text;
    return s;
  }

  GlobalGuard<int32_t> width_{g_world.mapWidth}, height_{g_world.mapHeight};
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<PlayerRecord*> localRecord_{g_world.localPlayerRecord};
  GlobalGuard<UnitRecord*> ring_{g_world.units};
  GlobalGuard<uint8_t> popups_{g_ui.popupCount}, popupFlags_{g_ui.lastPopupFlags};
  UnitRecord missile_{};
  Digits code_;
  LaunchKeypad keypad_;
  controltest::PanelForm form_{keypad_, "POPUP_KEYPAD",
                               {"BACKSPACE", "ABORT", "LAUNCH", "INCORRECT", "21", "22", "23", "24"},
                               {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}};
};

std::string Text(const Digits& d, size_t n) {
  std::string s;
  for (size_t i = 0; i < 4; ++i) s += i < n ? std::to_string(d[i]) : "_";
  return s;
}

TEST_F(LaunchKeypadTest, DigitsAreCheckedOnceFourAreIn) {
  const Digits right = Code(), wrongLast = Code(3);
  const struct {
    const char* name;
    Digits keys;
    int backspaces;
    Digits more;
    std::string shown;
  } rows[] = {
      {"opened", {}, 0, {}, "---____"},
      {"two digits", {right[0], right[1]}, 0, {}, "-B-" + Text(right, 2)},
      {"right code", right, 0, {}, "--L" + Text(right, 4)},
      {"last digit wrong", wrongLast, 0, {}, "IB-" + Text(wrongLast, 4)},
      {"a fifth digit re-checks the same four", wrongLast, 0, {right[3]}, "IB-" + Text(wrongLast, 4)},
      {"wrong, one taken back", wrongLast, 1, {}, "-B-" + Text(wrongLast, 3)},
      {"the only digit taken back", {right[0]}, 1, {}, "---____"},
      {"wrong, taken back and mended", wrongLast, 1, {right[3]}, "--L" + Text(right, 4)},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    keypad_.OnOpen();
    Enter(r.keys);
    for (int i = 0; i < r.backspaces; ++i) Press("BACKSPACE");
    Enter(r.more);
    EXPECT_EQ(Shown(), r.shown);
  }
}

TEST_F(LaunchKeypadTest, AbortAndLaunchSetTheAuthorisationAndLaunchOnlyAsEntered) {
  const std::vector<uint32_t> launch = {kCmdUnitSetDestination, kCmdUnitSetFireHex, kCmdUnitSetOrdersHeaderBits,
                                        kCmdUnitSetOrderLevel, kCmdAddOrderFlags};
  const struct {
    const char* name;
    Digits keys;
    const char* button;
    uint32_t missile, flagsBefore, flagsAfter;
    std::vector<uint32_t> posted;
  } rows[] = {
      {"abort after the right code", Code(), "ABORT", kMissile, 0, 0, {}},
      {"abort keeps an earlier authorisation", Code(2), "ABORT", kMissile, 1, 1, {}},
      {"launch after a wrong code", Code(2), "LAUNCH", kMissile, 0, 0, {}},
      {"launch without a missile", Code(), "LAUNCH", 0, 0, 1, {}},
      {"launch with a targeted missile", Code(), "LAUNCH", kMissile, 0, 1, launch},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    g_commandLog.Clear();
    g_world.players[kLocal].flags56 = r.flagsBefore;
    keypad_.id = static_cast<intptr_t>(r.missile);
    keypad_.missiles = r.missile ? std::vector<uint32_t>{r.missile} : std::vector<uint32_t>{};
    keypad_.target = 0;
    keypad_.OnOpen();
    Enter(r.keys);
    Press(r.button);
    EXPECT_EQ(g_world.players[kLocal].flags56, r.flagsAfter);
    std::vector<uint32_t> posted;
    for (const GameCommand& c : g_commandLog.Entries()) posted.push_back(c.arg28 == kMissile ? c.id : 0);
    EXPECT_EQ(posted, r.posted);
  }
}

}  // namespace

TEST_F(LaunchKeypadTest, TheKeypadOpensOnlyWhileLaunchesAreNotAuthorised) {
  LaunchKeypad& shared = g_screens.launchKeypad;
  const GlobalGuard<intptr_t> id(shared.id);
  for (const auto& [flags, opens] : {std::pair{0u, true}, std::pair{kPlayerLaunchAuthorised, false}}) {
    shared.id = 0;
    g_world.players[kLocal].flags56 = flags;
    EXPECT_EQ(OpenLaunchKeypad({kMissile}, 0), opens);
    EXPECT_EQ(shared.id, opens ? static_cast<intptr_t>(kMissile) : 0);
  }
}
