// Every screen's form is shipped and holds what its screen looks up: the
// start-up walk over the list of all screens loads each form from the built
// data root, and each tag and id the screen declares is found in it.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/app_object.h"
#include "platform/paths.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/form_file.h"
#include "ui/screen.h"
#include "ui/screen_set.h"

namespace {

TEST(FormManifest, EveryScreensFormHasTheTagsAndIdsItsScreenLooksUp) {
  const std::string oldRoot = plat::DataRoot();
  char oldHaps[sizeof g_app.hapsDirectory];
  std::memcpy(oldHaps, g_app.hapsDirectory, sizeof oldHaps);
  plat::SetDataRoot(std::filesystem::path(VD_GAME_EXE).parent_path().string());
  std::strcpy(g_app.hapsDirectory, "HAPS\\");

  int forms = 0;
  ASSERT_NE(g_screens.titleBar.formName, nullptr);
  LoadScreenListForms(g_screens);
  for (Screen* s = Screen::AllScreens(); s; s = s->nextScreen) {
    if (!s->formName) continue;
    if (!s->form) {
      ADD_FAILURE() << s->formName << ": no form file " << FormFilePath(s->formName);
      continue;
    }
    ++forms;
    EXPECT_EQ(s->currentForm, s->form);
    EXPECT_EQ(s->form->owner, s);
    for (const char* tag : s->lookups.tags)
      EXPECT_NE(FormFindControlByTag(s->form, tag), nullptr) << s->formName << " has no control tagged " << tag;
    for (const int32_t id : s->lookups.ids)
      EXPECT_NE(FormFindControlById(s->form, id), nullptr) << s->formName << " has no control with id " << id;
    delete s->form;
    s->form = s->currentForm = nullptr;
  }
  EXPECT_GE(forms, 3);

  std::memcpy(g_app.hapsDirectory, oldHaps, sizeof oldHaps);
  plat::SetDataRoot(oldRoot);
}

}  // namespace
