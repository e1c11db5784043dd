#pragma once
// The game reads its options file again at every log-on, and a game that
// ends writes it back. The tests of one program share their process's file
// (support/whole_program.h), so a test that compares what two game starts
// show, or that reads the options' defaults, plays on a file of its own: a
// copy of the process's taken once, or none (every option at its default).
// The file goes at the end; the data root must still be the game's then.
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#include "app/app_object.h"
#include "platform/paths.h"
#include "support/global_guard.h"

class OwnOptionsFile {
 public:
  enum Start { kCopyOfShared, kDefaults };
  explicit OwnOptionsFile(const char* name, Start start = kCopyOfShared) {
    const auto shared = plat::ReadFileBytes(GamePath(g_app.optionsFile));
    std::strncpy(g_app.optionsFile, name, sizeof g_app.optionsFile - 1);
    const std::string own = GamePath(g_app.optionsFile);
    if (const auto path = plat::ResolveGamePath(own, true)) path_ = *path;
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    if (start == kCopyOfShared && shared) {
      EXPECT_EQ(plat::WriteFileReplacing(own, shared->data(), shared->size()), plat::kOk);
    }
  }
  ~OwnOptionsFile() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove(path_, ignored);
  }
  OwnOptionsFile(const OwnOptionsFile&) = delete;
  OwnOptionsFile& operator=(const OwnOptionsFile&) = delete;

 private:
  static std::string GamePath(const char* name) { return std::string("INI\\") + name + ".INI"; }
  const GlobalGuard<decltype(g_app.optionsFile)> name_{g_app.optionsFile};
  std::string path_;
};
