// The layout editor on the form the game ships for it: every control it
// binds is there, and a shipped form opens in its work area.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/app_object.h"
#include "platform/paths.h"
#include "support/private_game_root.h"
#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/form_editor.h"

TEST(FormEditorForm, BindsEveryControlAndOpensAShippedForm) {
  const std::string oldRoot = plat::DataRoot();
  GlobalGuard<char[16]> haps(g_app.hapsDirectory);
  plat::SetDataRoot(PrivateGameRoot());
  std::strcpy(g_app.hapsDirectory, "HAPS\\");
  FormEditorScreen editor;
  ASSERT_TRUE(editor.Open(nullptr, "FORMEDIT", "TITLEBAR"));
  for (const FormBinding& b : editor.Bindings()) EXPECT_TRUE(!b.target || *b.target) << b.name;
  ASSERT_NE(editor.editedForm, nullptr);
  EXPECT_EQ(editor.editedForm->parent, editor.workArea);
  EXPECT_EQ(EditorFieldText(editor.fields[kFieldTag]), "TITLEBAR");
  EXPECT_EQ(EditorFieldText(editor.statusLine).rfind("File Loaded.  ", 0), 0u) << EditorFieldText(editor.statusLine);
  editor.Close();
  plat::SetDataRoot(oldRoot);
}
