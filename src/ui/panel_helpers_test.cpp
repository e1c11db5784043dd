// The panel helpers: placeholders replaced by real lists and text boxes,
// side-panel parts, file and CSV listings, and the release commands.
#include "ui/panel_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/scroller.h"
#include "world/map_data.h"
#include "world/world.h"

namespace {

using controltest::Init;
using controltest::RecordingScreen;

std::vector<std::string> RowTexts(const ListBoxControl* list) {
  std::vector<std::string> out;
  for (Control* r = ListNextRow(list, nullptr); r; r = ListNextRow(list, r)) out.push_back(r->text);
  return out;
}

TEST(PanelHelpers, APlaceholderIsReplacedWhereverItMatches) {
  struct Case {
    const char* what;
    const char* rootTag;
    const char* query;
    int32_t id;
    bool replacesRoot;
    bool found;
  };
  const Case cases[] = {
      {"the root's own tag", "LIST", "LIST", 0, true, true},
      {"a child's tag", "FORM", "LIST", 0, false, true},
      {"the root's own id", "FORM", nullptr, 9, true, true},
      {"a child's id", "FORM", nullptr, 4, false, true},
      {"no match", "FORM", "NONE", 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingScreen screen;
    Control container(Init("HOST", &screen, 0, 0, 300, 300));
    auto* root = new Control(Init(c.rootTag, &screen, 10, 20, 200, 100, kCtlOwnsText));
    root->id = 9;
    auto* child = new Control(Init("LIST", &screen, 5, 5, 50, 40, kCtlOwnsText));
    child->id = 4;
    ControlAddChild(&container, root);
    ControlAddChild(root, child);
    Control* placeholder = c.replacesRoot ? root : child;
    const plat::Rect where = placeholder->rect;
    ListBoxControl* list = MakeListBox(c.query, c.id, root, kListIndicators, &screen);
    ASSERT_EQ(list != nullptr, c.found);
    if (!list) continue;
    EXPECT_EQ(list->parent, c.replacesRoot ? &container : root);
    EXPECT_EQ(list->rect.left, where.left);
    EXPECT_EQ(list->rect.bottom, where.bottom);
    EXPECT_TRUE(ControlTagMatches(list->tag, c.replacesRoot ? c.rootTag : "LIST"));
    EXPECT_EQ(list->scroller->arrowFill[0], 0) << "the thin scroller's arrows show no fill";
    // The placeholder (marked for deletion) is gone with what it held: the
    // only LIST left is the new one, when it took that tag.
    const bool listTagged = ControlTagMatches(list->tag, "LIST");
    EXPECT_EQ(FindControlByTag(container.firstChild, "LIST", kAnyDepth, 1), listTagged ? list : nullptr);
  }
}

TEST(PanelHelpers, SidePanelsShowTheirPlacedPart) {
  struct Case {
    int32_t placement;
    bool full, top, bottom;
  };
  const Case cases[] = {{kPanelFull, true, false, false}, {kPanelTop, false, true, false},
                        {kPanelBottom, false, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.placement);
    RecordingScreen screen;
    screen.form = new Control(Init("PANEL", &screen, 0, 0, 100, 300));
    for (const char* part : {"FULL", "TOP", "BOTTOM"})
      ControlAddChild(screen.form, new Control(Init(part, &screen, 0, 0, 100, 100)));
    PlaceSidePanel(0, &screen, c.placement);
    EXPECT_EQ(!FormFindControlByTag(screen.form, "FULL")->Hidden(), c.full);
    EXPECT_EQ(!FormFindControlByTag(screen.form, "TOP")->Hidden(), c.top);
    EXPECT_EQ(!FormFindControlByTag(screen.form, "BOTTOM")->Hidden(), c.bottom);
    EXPECT_FALSE(screen.form->Hidden());
    delete screen.form;
  }
  // A form that is itself the part asked for stays shown.
  RecordingScreen screen;
  screen.form = new Control(Init("TOP", &screen, 0, 0, 100, 300));
  PlaceSidePanel(0, &screen, kPanelTop);
  EXPECT_FALSE(screen.form->Hidden());
  delete screen.form;
}

TEST(PanelHelpers, TopAndBottomSidePanelsShareTheSideBoxAndAFullOnePutsThemOut) {
  Control box(Init("SIDE", nullptr, 0, 125, 224, 250));
  const GlobalGuard<Control*> slot(g_ui.rightBoxes[1], &box);
  RecordingScreen a, b, c;
  a.form = new Control(Init("A", &a, 0, 0, 224, 120));
  b.form = new Control(Init("B", &b, 0, 0, 224, 100));
  c.form = new Control(Init("C", &c, 0, 0, 224, 250));
  // Placed screen and placement; the box's forms in drawing order and where
  // the placed form stands.
  struct Row { RecordingScreen* screen; int32_t placement; std::vector<Control*> held; int32_t top; };
  const Row rows[] = {
      {&a, kPanelTop, {a.form}, 0},          {&b, kPanelBottom, {a.form, b.form}, 150},
      {&a, kPanelTop, {a.form, b.form}, 0},  {&b, kPanelBottom, {a.form, b.form}, 150},
      {&c, kPanelFull, {c.form}, 0},         {&b, kPanelBottom, {b.form}, 150},
      {&a, kPanelTop, {a.form, b.form}, 0},  {&c, kPanelTop, {c.form, b.form}, 0},
      {&a, kPanelBottom, {c.form, a.form}, 130},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.screen->form->tag << " placed " << r.placement);
    PlaceSidePanel(0, r.screen, r.placement);
    std::vector<Control*> held;
    Control* first = box.firstChild;
    for (Control* f = first; f && held.size() < 4; f = f->NextInRing() == first ? nullptr : f->NextInRing()) {
      held.push_back(f);
      EXPECT_EQ(f->parent, &box);
    }
    EXPECT_EQ(held, r.held);
    EXPECT_EQ(r.screen->form->rect.top, r.top);
  }
  while (Control* f = box.firstChild) f->Unlink();
  delete a.form;
  delete b.form;
  delete c.form;
}

class FileListing : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
  }
  void TearDown() override { plat::SetDataRoot(old_); }
  TempDir dir_;
  std::string old_;
  std::unique_ptr<ListBoxControl> list_{ListBoxConstruct(0, 0, 100, 100, 0, 1, nullptr)};
};

TEST_F(FileListing, FilesListWithoutTheirExtensionAndFoldersAreSkipped) {
  dir_.Write("SAVE/GAME1.SAV", "x");
  dir_.Write("SAVE/Zeta.sav", "x");
  dir_.Write("SAVE/NOTES.TXT", "x");
  dir_.Write("SAVE/X.SAV/inside", "x");  // a folder named like a save
  EXPECT_EQ(ListFiles("SAVE/", list_.get(), ".SAV"), 2);
  EXPECT_EQ(RowTexts(list_.get()), (std::vector<std::string>{"GAME1", "Zeta"}));
  EXPECT_EQ(ListNextRow(list_.get(), ListNextRow(list_.get(), nullptr))->id, 2) << "numbered from 1";
  EXPECT_EQ(ListFiles("NOWHERE/", list_.get(), ".SAV"), 0);
}

TEST_F(FileListing, CsvListsTakeEachLinesFirstField) {
  dir_.Write("NAMES.CSV", "Alpha,1,2\n,skipped\n\"Beta, the second\",3\nGamma\n");
  EXPECT_EQ(LoadCsvList("NAMES", list_.get()), 3);
  EXPECT_EQ(RowTexts(list_.get()), (std::vector<std::string>{"Alpha", "Beta, the second", "Gamma"}));
  EXPECT_EQ(LoadCsvList("MISSING", list_.get()), static_cast<int32_t>(plat::kFail));
}

TEST(PanelHelpers, ReleasingAUnitPostsItsThreeStateBitsThenTheDisband) {
  const GlobalGuard<GameState> state(g_world.gameState);
  g_commandLog.Clear();
  g_world.gameState.localPlayer = 2;
  UnitRecord unit{};
  unit.id = 0x02000033u;
  PostUnitReleaseCommands(unit);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  struct Want {
    uint32_t id, a28, a32, a36;
  };
  const Want want[] = {{kCmdUnitSetStateBits, unit.id, 0x80000000u, 0},
                       {kCmdUnitSetStateBits, unit.id, 0x40000000u, 1},
                       {kCmdUnitSetStateBits, unit.id, 0x20000000u, 1},
                       {kCmdDisbandUnit, unit.id, 0, 0}};
  ASSERT_EQ(log.size(), std::size(want));
  for (size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].id, want[i].id);
    EXPECT_EQ(log[i].arg28, want[i].a28);
    EXPECT_EQ(log[i].arg32, want[i].a32);
    EXPECT_EQ(log[i].arg36, want[i].a36);
  }
  g_commandLog.Clear();
}

}  // namespace
