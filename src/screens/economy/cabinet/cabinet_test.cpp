// The cabinet: priorities chosen, removed and counted; candidates paged,
// appointed, rejected and browsed; portraits of people outside the cabinet.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/common/owned_test_form.h"
#include "screens/economy/cabinet/cabinet_candidate.h"
#include "screens/economy/cabinet/cabinet_candidates.h"
#include "screens/economy/cabinet/cabinet_priorities_panel.h"
#include "screens/economy/cabinet/cabinet_screen.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/bitmap_control.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/text/policy_fields.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 3;
constexpr int kDept = 2;

// A form of tagged strings (or controls with ids) owned by the screen; taken
// back, out of any host, when the test ends.
struct TestForm : OwnedTestForm {
  TestForm(Screen& owner, std::vector<const char*> tags, std::vector<int32_t> ids = {})
      : OwnedTestForm(owner, new Control(controltest::Init("FORM", &owner, 0, 0, 220, 194))) {
    for (const char* tag : tags) ControlAddChild(root, new StringControl(controltest::Init(tag, &owner, 0, 0, 20, 12), {}));
    for (int32_t id : ids) {
      Control* c = new Control(controltest::Init("", &owner, 0, 0, 20, 12));
      c->id = id;
      ControlAddChild(root, c);
    }
  }
};

class CabinetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.gameState.localPlayer = kLocal;
    g_world.people.assign(kPeopleBlockSize, 0);
    g_commandLog.Clear();
    for (int e = 0; e < kDepartmentItems; ++e) kept_[e] = std::move(Entries()[e]);
  }
  void TearDown() override {
    for (int e = 0; e < kDepartmentItems; ++e) Entries()[e] = std::move(kept_[e]);
    g_commandLog.Clear();
  }
  static DeptPriorityEntry* Entries() { return g_ruleTables.deptPriorities.entries[kDept]; }
  static void SetEntry(int e, uint32_t mask, const char* name) {
    Entries()[e].itemMask = mask;
    Entries()[e].text1.reset(strdup(name));
  }
  static CabinetPolicy& Seat() { return g_world.players[kLocal].displayPolicy.cabinetPolicy[kDept]; }
  static std::vector<intptr_t> Rows(const ListBoxControl* list) {
    std::vector<intptr_t> out;
    for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row)) out.push_back(ListRowValue(row));
    return out;
  }

  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> region_{g_world.players[kLocal]};
  GlobalGuard<std::vector<uint8_t>> people_{g_world.people};
  DeptPriorityEntry kept_[kDepartmentItems];
};

TEST_F(CabinetTest, ChosenPrioritiesAreListedApartRemovedBitByBitAndCounted) {
  SetEntry(1, 0x2, "Alpha");
  SetEntry(2, 0xC, "Beta");
  SetEntry(3, 0x10, "Gamma");
  SetCabinetPriorities(Seat(), 0x18);  // shares a bit with Beta and Gamma
  CabinetPrioritiesPanel& panel = g_screens.cabinetPriorities;
  PriorityPickerPanel& picker = g_screens.priorityPicker;
  const GlobalGuard<intptr_t> panelId(panel.id, kDept), pickerId(picker.id, kDept);
  std::unique_ptr<ListBoxControl> chosen(ListBoxConstruct(0, 0, 200, 100, 0, 1, nullptr));
  std::unique_ptr<ListBoxControl> open(ListBoxConstruct(0, 0, 200, 100, 0, 2, nullptr));
  const GlobalGuard<ListBoxControl*> lists(panel.priorities, chosen.get()), list2(picker.list2, open.get());
  FillCabinetPriorityList(chosen.get(), kDept);
  picker.Refresh();
  EXPECT_EQ(Rows(chosen.get()), (std::vector<intptr_t>{2, 3}));
  EXPECT_EQ(Rows(open.get()), (std::vector<intptr_t>{1}));

  ListSelectItem(0, chosen.get(), ListNextRow(chosen.get(), nullptr), 0);
  Control cancel(controltest::Init("CANCELBUT", &panel, 0, 0, 20, 12));
  panel.OnCommand(&cancel, 0);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].id, kCmdCabSetPriorities);
  EXPECT_EQ(log[0].arg24, 0u);
  EXPECT_EQ(log[0].arg28, static_cast<uint32_t>(kDept));
  EXPECT_EQ(log[0].arg32, 0x10u);  // every bit of Beta's mask cleared

  CabinetScreen cabinet;
  TestForm form(cabinet, {"PHEADER", "PRIORITY"});
  cabinet.id = kDept;
  const struct { uint32_t priorities; const char* count; bool pressed; } rows[] = {
      {0, "0", true}, {0x10, "1", false}, {0x80000001u, "2", true}};
  for (const auto& r : rows) {
    SetCabinetPriorities(Seat(), r.priorities);
    cabinet.Refresh();
    EXPECT_EQ(form["PRIORITY"]->text, r.count);
    EXPECT_EQ(form["PHEADER"]->Selected(), r.pressed) << r.count;
  }
}

TEST_F(CabinetTest, CandidatesArePagedAppointedRejectedAndBrowsedWithinTheCabinet) {
  CabinetPager& pager = g_screens.cabinet;
  const GlobalGuard<int32_t> page(pager.page, 1);
  const GlobalGuard<intptr_t> pagerId(pager.id, kDept);
  SetCabinetId(Seat(), 1, 30);
  std::vector<int32_t> hosts;
  for (int32_t i = 0; i < kCabinetCells; ++i) hosts.push_back(101 + i);
  {
    TestForm form(pager, {}, hosts);
    std::vector<std::unique_ptr<TestForm>> cells;
    for (auto& cell : g_screens.cabinetGrid.screens) cells.push_back(std::make_unique<TestForm>(cell, std::vector<const char*>{}, std::vector<int32_t>{1}));
    pager.OnOpen();
    for (int32_t i = 0; i < kCabinetCells; ++i) {
      CabinetGridPanel& cell = g_screens.cabinetGrid[static_cast<size_t>(i)];
      EXPECT_EQ(cell.id, 25 + i);
      EXPECT_EQ(FormFindControlById(cell.form, 1)->Selected(), 25 + i == 30) << i;
      cell.id = cell.department = 0, cell.host = nullptr;
    }
  }

  CandidateBioScreen& bio = g_screens.cabinetBio;
  const GlobalGuard<intptr_t> bioId(bio.id, kDept);
  const GlobalGuard<int32_t> candidate(bio.candidate);
  const GlobalGuard<bool> viewOnly(bio.viewOnly);
  const GlobalGuard<int32_t> outcome(bio.outcome);
  TestForm form(bio, {"PREVBUT", "NEXTBUT", "REJECTBUT", "ACCEPTBUT", "CLOSE"});
  // Which buttons an opening shows: previous, next, reject, accept.
  const struct { int32_t candidate; bool viewOnly; const char* shown; } openings[] = {
      {1, false, "-NRA"}, {36, false, "P-RA"}, {7, false, "PNRA"}, {7, true, "----"}};
  for (const auto& o : openings) {
    bio.candidate = o.candidate, bio.viewOnly = o.viewOnly;
    bio.OnOpen();
    std::string shown;
    for (const char* tag : {"PREVBUT", "NEXTBUT", "REJECTBUT", "ACCEPTBUT"}) shown += form[tag]->Hidden() ? '-' : tag[0];
    EXPECT_EQ(shown, o.shown) << o.candidate;
  }
  // A button, the candidate shown, then the candidate after, whether the
  // pager opened again (its id set back from -1) and the command posted.
  const struct { const char* button; int32_t before, after; bool pager; uint32_t posted; } clicks[] = {
      {"ACCEPTBUT", 7, 7, false, kCmdCabSetSid}, {"REJECTBUT", 7, 7, true, 0}, {"CLOSE", 7, 7, false, 0},
      {"PREVBUT", 1, 1, false, 0},  {"NEXTBUT", 36, 36, false, 0}, {"NEXTBUT", 5, 6, false, 0}};
  for (const auto& c : clicks) {
    SCOPED_TRACE(c.button);
    g_commandLog.Clear();
    bio.candidate = c.before, bio.viewOnly = false, bio.id = kDept;
    bio.OnOpen();
    pager.id = -1;
    bio.OnCommand(form[c.button], 0);
    EXPECT_EQ(bio.candidate, c.after);
    EXPECT_EQ(pager.id, c.pager ? kDept : -1);
    EXPECT_EQ(pager.page, 1);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), c.posted ? 1u : 0u);
    if (c.posted) {
      EXPECT_EQ(log[0].id, c.posted);
      EXPECT_EQ(log[0].arg28, static_cast<uint32_t>(kDept));
      EXPECT_EQ(log[0].arg32, 1u);
      EXPECT_EQ(log[0].arg36, 7u);
    }
  }
}

TEST_F(CabinetTest, OnlyCandidatesOneToThirtySixHavePortraitsAndNames) {
  std::memcpy(g_world.people.data() + 5 * kPeopleEntrySize + candidate_at::kName, "Rhea", 4);
  const struct { int32_t candidate; bool portrait; const char* name; } rows[] = {
      {0, false, ""}, {37, false, ""}, {5, true, "Rhea"}};
  for (const auto& r : rows) {
    BitmapControl picture;
    picture.pictureSlot = &g_ui.bitmaps.avatar;
    picture.images[0].set = 0;  // the form's sheet
    Control caption(controltest::Init("NAME", nullptr, 0, 0, 20, 12));
    ShowCandidatePortrait(r.candidate, &picture, &caption);
    EXPECT_EQ(picture.pictureSlot == &g_ui.bitmaps.cabinet, r.portrait) << r.candidate;
    EXPECT_EQ(picture.pictureSlot != nullptr, r.portrait) << r.candidate;
    if (!r.portrait) {
      EXPECT_LT(picture.images[0].set, 0) << r.candidate << ": nothing else drawn";
    }
    EXPECT_EQ(caption.text, r.name);
  }
}

}  // namespace
