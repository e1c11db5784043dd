#pragma once
// Game paths: the game names files Windows-style, relative to its data root
// ("GRAPHICS\TBITS.PNG"). The resolver turns backslashes into slashes and
// matches each component case-insensitively when the exact name is absent.
// Paths that are absolute or climb out of the data root are refused; empty
// components and "." are skipped, and ".." that stays inside the data root
// goes back a folder, as Windows reads it (without looking at the disk).
// Game names are Windows-1252: they are UTF-8 on the disk, and listings give
// them back in the game's own bytes.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace plat {

void SetDataRoot(const std::string& directory);
const std::string& DataRoot();
// Finds the data root for an executable: the executable's own folder when it
// holds the game's data (an INI or GRAPHICS folder), else the current folder.
std::string FindDataRoot(const char* argv0);

// The real path of an existing file or folder, or nullopt. With forCreate the
// last component may be missing (its folders must exist); it is then kept as
// written.
std::optional<std::string> ResolveGamePath(std::string_view gamePath, bool forCreate = false);

// fopen on a resolved game path ("rb", "wb", "ab" ...); null when refused or failing.
FILE* OpenGameFile(std::string_view gamePath, const char* mode);
// True for an existing file; false for a folder or anything missing or refused.
bool GameFileExists(std::string_view gamePath);
// Creates the folders of a game path as needed (for writers), reusing
// existing folders whose names differ only in case. True when all exist.
bool MakeGameDirectories(std::string_view gameDirectory);
// Lists the names of the entries in a game folder matching a wildcard
// pattern ("*.SAV"; "*" any run, "?" any one character), compared
// case-insensitively; sorted by name ignoring case. With filesOnly, folders are
// left out.
std::vector<std::string> ListGameDirectory(std::string_view gameDirectory, std::string_view pattern,
                                           bool filesOnly = false);

// The most a whole-file reader takes: no game file comes near it (a save of
// the largest map holds a few megabytes), and a larger one would only be
// read to be refused.
inline constexpr uint64_t kMaxReadFileBytes = 134217728;

// The size of a plain file, or nullopt when it is missing, refused or not a
// plain file. Asks the disk only: nothing is read.
std::optional<uint64_t> GameFileSize(std::string_view gamePath);
// Reads a whole file; nullopt when it cannot be read, is not a plain file or
// holds maxBytes or more (checked before anything is read, so that a huge
// or sparse file costs nothing).
std::optional<std::vector<uint8_t>> ReadFileBytes(std::string_view gamePath, uint64_t maxBytes = kMaxReadFileBytes);
// Reads at most `count` bytes from `offset` of a plain file: fewer when the
// file ends first, none past its end; nullopt when it cannot be read.
std::optional<std::vector<uint8_t>> ReadFileRange(std::string_view gamePath, uint64_t offset, size_t count);
// Why a whole file of this path would not be read, in words for a message
// ("the file is missing", "the file holds N bytes, more than ..."); empty
// when it would be.
std::string FileReadRefusal(std::string_view gamePath, uint64_t maxBytes = kMaxReadFileBytes);
// Writes the bytes to a temporary file beside the target and renames it over
// the target, so a failed write never leaves a half-written file: on failure
// the temporary file is removed and the old file stays as it was.
Status WriteFileReplacing(std::string_view gamePath, const void* data, size_t size);
// A set of files written together: each to a temporary file beside its
// target, and only when all are written (and no target is read-only or other
// than a plain file) renamed over their targets. On failure every temporary
// file is removed and, short of a rename failing part way, each target stays
// as it was.
struct FileToWrite {
  std::string_view gamePath;
  const void* data = nullptr;
  size_t size = 0;
};
Status WriteFilesReplacing(std::span<const FileToWrite> files);

// The user's configuration folder: $XDG_CONFIG_HOME/veldrane, else
// ~/.config/veldrane. Not created here.
std::string ConfigDirectory();

}  // namespace plat
