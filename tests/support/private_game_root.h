#pragma once
// The game's data folder as one test process plays it. Test programs run
// side by side in one build folder and read its data at once, so none may
// write there: a program plays in a tree of its own under the temporary
// folder, made once and removed at exit, whose files are hard links to the
// build's (copies where no link can be made). The game writes a file by
// replacing it, which puts the new file in this tree and leaves the
// build's alone; the options folder, written most, is copied outright.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>

#include "platform/paths.h"

namespace private_game_root {
inline std::string& Made() {
  static std::string made;
  return made;
}
inline void RemoveMade() {
  std::error_code ignored;
  if (!Made().empty()) std::filesystem::remove_all(Made(), ignored);
}
}  // namespace private_game_root

// The build's data folder (beside the game), which no test writes.
inline std::filesystem::path SharedGameRoot() { return std::filesystem::path(VD_GAME_EXE).parent_path(); }

// The game's folder seen at `to`: its folders made, its files linked
// (copied under INI, or where a link fails), and a save folder of its own
// left empty: the headless runner's tests write their logs and saves into
// the build's while this reads it.
inline void LinkGameFolder(const std::filesystem::path& to) {
  namespace fs = std::filesystem;
  const fs::path from = SharedGameRoot();
  fs::create_directories(to);
  for (auto it = fs::recursive_directory_iterator(from); it != fs::recursive_directory_iterator(); ++it) {
    const fs::path at = to / fs::relative(it->path(), from);
    if (it->is_directory()) {
      fs::create_directories(at);
      if (it.depth() == 0 && it->path().filename() == "Savegame") it.disable_recursion_pending();
      continue;
    }
    const bool options = *fs::relative(it->path(), from).begin() == "INI";
    std::error_code linked;
    if (!options) fs::create_hard_link(it->path(), at, linked);
    if (options || linked) fs::copy_file(it->path(), at, fs::copy_options::overwrite_existing);
  }
}

// This process's copy of the game's folder.
inline const std::string& PrivateGameRoot() {
  static std::once_flag made;
  std::call_once(made, [] {
    const std::filesystem::path at = std::filesystem::temp_directory_path() /
                                     ("veldrane-game-" + std::to_string(static_cast<long>(::getpid())));
    std::error_code ignored;
    std::filesystem::remove_all(at, ignored);
    LinkGameFolder(at);
    private_game_root::Made() = at.string();
    std::atexit(private_game_root::RemoveMade);
  });
  return private_game_root::Made();
}

// A data root that is the build's folder becomes this process's copy.
inline void PlayInPrivateGameRoot(const std::string& root) {
  std::error_code failed;
  if (std::filesystem::equivalent(root, SharedGameRoot(), failed) && !failed) plat::SetDataRoot(PrivateGameRoot());
}
