// The unit tool as the author uses it: its tab opened from the editor's
// bar, a class picked with a click on its row of the class list, and the
// class's picture then drawn in the tool panel; a kind button of the land
// page, named for the kind it lists.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "shell/shell.h"
#include "editor/editor_class_lists.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "platform/paths.h"
#include "screens/main/map/map_units.h"
#include "screens/screen_set.h"
#include "support/private_game_root.h"
#include "support/editor_program_guard.h"
#include "support/global_guard.h"
#include "support/whole_program.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/map_folders.h"
#include "world/world.h"

namespace {

std::vector<uint32_t> PixelsIn(const plat::Rect& at) {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  if (g_renderer.device->ReadBackBuffer(&pixels, &width, &height) != plat::kOk) return {};
  std::vector<uint32_t> out;
  for (int32_t y = at.top; y < at.bottom; ++y)
    for (int32_t x = at.left; x < at.right; ++x)
      out.push_back(pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)] & 0xFFFFFFu);
  return out;
}

TEST(EditorUnitPicture, AClassPickedInTheToolsClassListHasItsPictureDrawnInTheToolPanel) {
  struct Restores {
    std::string root = plat::DataRoot();
    ~Restores() {
      ShutdownApplication(g_app);
      plat::SetDataRoot(root);
    }
  };
  const EditorProgramGuard editorGuard;
  plat::SetDataRoot(PrivateGameRoot());
  PrepareWholeProgram();
  g_ui.mapEditor = 1;
  Restores restores;
  ASSERT_EQ(InitApplication(g_app), 0);
  PumpWholeProgram();

  ClickControl(FormFindControlById(g_screens.mapEditCmdBar.currentForm, 8));
  PumpWholeProgram();
  ASSERT_EQ(g_editorMap.mode, 8);
  // The tool keeps its page for the run: the land page is asked for.
  ClickControl(FormFindControlById(g_screens.unitToolPanel.currentForm, 10));
  PumpWholeProgram();
  Control* picture = g_screens.unitToolPanel.currentForm
                         ? FormFindControlByTag(g_screens.unitToolPanel.currentForm, "UNITPIC")
                         : nullptr;
  ListBoxControl* list = g_screens.equipmentListPanel.list;
  ASSERT_TRUE(picture && list);
  const plat::Rect at = ControlAbsoluteRect(picture);

  // A row whose class is pictured on another sheet than the class the
  // opened list chose, a sheet not drawn before: a click there makes its
  // class the tool's, named and pictured in the panel.
  const int32_t opened = EditorUnitClass();
  ASSERT_GT(opened, 0);
  const auto symbol = [](int32_t c) { return ClassSymbol(g_world.unitClasses[static_cast<size_t>(c)]); };
  int row = 0, chosen = 0;
  for (const Control* r = ListNextRow(list, nullptr); r && row < 8; r = ListNextRow(list, r), ++row)
    if (symbol(r->id) != symbol(opened)) {
      chosen = r->id;
      break;
    }
  ASSERT_NE(chosen, 0) << "the land list's first rows share one picture";
  ClickControl(list, row);
  PumpWholeProgram();
  EXPECT_EQ(EditorUnitClass(), chosen);
  EXPECT_EQ(EditorBrushClass(), chosen);
  const char* name = g_world.unitClasses[static_cast<size_t>(chosen)].name;
  EXPECT_EQ(FormFindControlByTag(g_screens.unitToolPanel.currentForm, "EQUIPNAME")->text,
            std::string(name, strnlen(name, sizeof g_world.unitClasses[0].name)));

  const std::vector<uint32_t> drawn = PixelsIn(at);
  ASSERT_FALSE(drawn.empty());
  EXPECT_GT(std::set<uint32_t>(drawn.begin(), drawn.end()).size(), 8u) << "a picture, not the panel's fill";

  // The land page's kind buttons are named for the kinds of class they
  // list: the sample's Light Tanks are of kind 2, "Tank", and that button
  // lists them with tanks only.
  Control* tanks = FormFindControlById(g_screens.equipmentListPanel.currentForm, 102);
  ASSERT_TRUE(tanks);
  EXPECT_EQ(tanks->text, "Tank");
  ClickControl(tanks);
  PumpWholeProgram();
  bool lightTanks = false;
  for (const Control* r = ListNextRow(list, nullptr); r; r = ListNextRow(list, r)) {
    const UnitClassRecord& cls = g_world.unitClasses[static_cast<size_t>(r->id)];
    lightTanks = lightTanks || std::string(cls.name, strnlen(cls.name, sizeof cls.name)) == "Light Tanks";
    EXPECT_EQ(cls.typeByte, 2) << cls.name;
  }
  EXPECT_TRUE(lightTanks);
}

}  // namespace
