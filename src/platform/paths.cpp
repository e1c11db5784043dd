#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "platform/text_encoding.h"

namespace plat {
namespace {

std::string& DataRootStorage() {
  static std::string root = ".";
  return root;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Game names are ASCII in practice; letters beyond ASCII compare exactly.
bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// Sorts as the Windows file search did on its file systems: by the upper-cased
// name, and by the exact bytes where two names differ only in case.
bool LessForListing(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(AsciiUpper(a[i]));
    const auto cb = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

// '*' matches any run of characters, '?' any one; letters ignore case.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0;
  size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool IsDirectory(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

// Splits a game path into its components, "\" and "/" alike, dropping empty
// ones and "." and resolving ".." against the components before it, the way
// Windows normalises a path. Refuses absolute paths ("\x", "/x", "C:x",
// "\\server\share"), NUL bytes, and any ".." that would leave the data root.
std::optional<std::vector<std::string>> SplitGamePath(std::string_view gamePath) {
  if (gamePath.find('\0') != std::string_view::npos) return std::nullopt;
  if (!gamePath.empty() && (gamePath.front() == '\\' || gamePath.front() == '/')) return std::nullopt;
  if (gamePath.size() >= 2 && gamePath[1] == ':' &&
      ((gamePath[0] >= 'A' && gamePath[0] <= 'Z') || (gamePath[0] >= 'a' && gamePath[0] <= 'z'))) {
    return std::nullopt;
  }
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= gamePath.size()) {
    size_t end = gamePath.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = gamePath.size();
    const std::string_view part = gamePath.substr(start, end - start);
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.emplace_back(part);
    }
    start = end + 1;
  }
  return parts;
}

// The entry of `directory` that `name` stands for: the exact name when it
// exists, else the first (in listing order) whose name differs only in case,
// a folder when one is wanted. Empty when there is none.
std::string FindEntry(const std::string& directory, const std::string& name, bool wantDirectory) {
  const std::string exact = Join(directory, name);
  if (wantDirectory ? IsDirectory(exact) : Exists(exact)) return name;
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return {};
  std::vector<std::string> candidates;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view entryName = entry->d_name;
    if (entryName != name && EqualsIgnoreCase(entryName, name)) candidates.emplace_back(entryName);
  }
  ::closedir(dir);
  std::sort(candidates.begin(), candidates.end(), LessForListing);
  for (const std::string& candidate : candidates) {
    const std::string full = Join(directory, candidate);
    if (wantDirectory ? IsDirectory(full) : Exists(full)) return candidate;
  }
  return {};
}

// The entry on disk for one component of a game path: the game writes
// Windows-1252 and the disk holds UTF-8 names, but a name written raw by an
// older build is still found under its own bytes.
std::string FindDiskEntry(const std::string& directory, const std::string& gameName, bool wantDirectory) {
  const std::string diskName = Windows1252ToUtf8(gameName);
  std::string found = FindEntry(directory, diskName, wantDirectory);
  if (found.empty() && diskName != gameName) found = FindEntry(directory, gameName, wantDirectory);
  return found;
}

// A name from the disk as the game reads it; a name that is not UTF-8, or
// holds what Windows-1252 cannot show, keeps its bytes.
std::string GameNameOf(std::string_view diskName) {
  auto name = Utf8ToWindows1252(diskName);
  return name ? *name : std::string(diskName);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

void SyncDirectory(const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // durability of the rename only; the data is already safe
  ::close(fd);
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// True when the folder holds the game's data: an INI or GRAPHICS folder, in
// any case.
bool HoldsGameData(const std::string& directory) {
  return !directory.empty() &&
         (!FindEntry(directory, "INI", true).empty() || !FindEntry(directory, "GRAPHICS", true).empty());
}

std::string RealDirectory(const std::string& directory) {
  char buffer[PATH_MAX];
  if (::realpath(directory.c_str(), buffer) != nullptr) return buffer;
  return directory;
}

}  // namespace

void SetDataRoot(const std::string& directory) {
  std::string root = directory.empty() ? std::string(".") : directory;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  DataRootStorage() = std::move(root);
}

const std::string& DataRoot() { return DataRootStorage(); }

std::string FindDataRoot(const char* argv0) {
  char exe[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) {
    exe[n] = '\0';
    const std::string directory = DirectoryOf(exe);
    if (HoldsGameData(directory)) return directory;
  }
  // The name it was started by may be a link placed in the data root.
  if (argv0 != nullptr && std::strchr(argv0, '/') != nullptr) {
    const std::string directory = DirectoryOf(argv0);
    if (HoldsGameData(directory)) return RealDirectory(directory);
  }
  return RealDirectory(".");
}

std::optional<std::string> ResolveGamePath(std::string_view gamePath, bool forCreate) {
  const auto parts = SplitGamePath(gamePath);
  if (!parts) return std::nullopt;
  std::string path = DataRoot();
  for (size_t i = 0; i < parts->size(); ++i) {
    const std::string& part = (*parts)[i];
    const bool last = i + 1 == parts->size();
    const std::string found = FindDiskEntry(path, part, !last);
    if (!found.empty()) {
      path = Join(path, found);
    } else if (last && forCreate && IsDirectory(path)) {
      path = Join(path, Windows1252ToUtf8(part));
    } else {
      return std::nullopt;
    }
  }
  if (parts->empty() && !IsDirectory(path)) return std::nullopt;
  return path;
}

FILE* OpenGameFile(std::string_view gamePath, const char* mode) {
  if (mode == nullptr) return nullptr;
  const bool creates = std::strchr(mode, 'w') != nullptr || std::strchr(mode, 'a') != nullptr;
  const auto path = ResolveGamePath(gamePath, creates);
  if (!path) return nullptr;
  FILE* file = std::fopen(path->c_str(), mode);
  if (file == nullptr) return nullptr;
  struct stat st{};
  if (::fstat(::fileno(file), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

bool GameFileExists(std::string_view gamePath) {
  const auto path = ResolveGamePath(gamePath);
  return path && Exists(*path) && !IsDirectory(*path);
}

bool MakeGameDirectories(std::string_view gameDirectory) {
  const auto parts = SplitGamePath(gameDirectory);
  if (!parts) return false;
  std::string path = DataRoot();
  if (!IsDirectory(path)) return false;
  for (const std::string& part : *parts) {
    const std::string found = FindDiskEntry(path, part, true);
    if (!found.empty()) {
      path = Join(path, found);
      continue;
    }
    path = Join(path, Windows1252ToUtf8(part));
    // Another writer may make the same folder at the same moment.
    if (::mkdir(path.c_str(), 0777) != 0 && !(errno == EEXIST && IsDirectory(path))) return false;
  }
  return true;
}

std::vector<std::string> ListGameDirectory(std::string_view gameDirectory, std::string_view pattern,
                                           bool filesOnly) {
  std::vector<std::string> names;
  const auto path = ResolveGamePath(gameDirectory);
  if (!path) return names;
  DIR* dir = ::opendir(path->c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view diskName = entry->d_name;
    if (diskName == "." || diskName == "..") continue;
    std::string name = GameNameOf(diskName);
    if (!WildcardMatch(pattern, name)) continue;
    if (filesOnly && IsDirectory(Join(*path, std::string(diskName)))) continue;
    names.push_back(std::move(name));
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(), LessForListing);
  return names;
}

namespace {

// Opens a plain file for reading, non-blocking so that a pipe in the data
// folders cannot hang the reader (it is refused); -1 when refused.
int OpenPlainFile(std::string_view gamePath, uint64_t& size) {
  const auto path = ResolveGamePath(gamePath);
  if (!path) return -1;
  const int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    ::close(fd);
    return -1;
  }
  size = static_cast<uint64_t>(st.st_size);
  return fd;
}

// Reads up to `count` bytes at `offset` into `out`; false on a read error.
bool ReadAt(int fd, uint64_t offset, uint64_t count, std::vector<uint8_t>& out) {
  uint8_t chunk[65536];
  while (count > 0) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(count, sizeof chunk));
    const ssize_t n = ::pread(fd, chunk, want, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;  // the file shrank while being read
    out.insert(out.end(), chunk, chunk + n);
    offset += static_cast<uint64_t>(n);
    count -= static_cast<uint64_t>(n);
  }
  return true;
}

}  // namespace

std::optional<uint64_t> GameFileSize(std::string_view gamePath) {
  uint64_t size = 0;
  const int fd = OpenPlainFile(gamePath, size);
  if (fd < 0) return std::nullopt;
  ::close(fd);
  return size;
}

std::optional<std::vector<uint8_t>> ReadFileBytes(std::string_view gamePath, uint64_t maxBytes) {
  uint64_t size = 0;
  const int fd = OpenPlainFile(gamePath, size);
  if (fd < 0) return std::nullopt;
  if (size >= maxBytes) {
    ::close(fd);
    return std::nullopt;
  }
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(size));
  // A file that grows while it is read stops at the limit all the same.
  const bool read = ReadAt(fd, 0, maxBytes, bytes);
  ::close(fd);
  if (!read || bytes.size() >= maxBytes) return std::nullopt;
  return bytes;
}

std::optional<std::vector<uint8_t>> ReadFileRange(std::string_view gamePath, uint64_t offset, size_t count) {
  uint64_t size = 0;
  const int fd = OpenPlainFile(gamePath, size);
  if (fd < 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  const bool read = offset >= size || ReadAt(fd, offset, std::min<uint64_t>(count, size - offset), bytes);
  ::close(fd);
  if (!read) return std::nullopt;
  return bytes;
}

std::string FileReadRefusal(std::string_view gamePath, uint64_t maxBytes) {
  const auto size = GameFileSize(gamePath);
  if (!size) return GameFileExists(gamePath) ? "the file cannot be read" : "the file is missing";
  if (*size == 0) return "the file is empty";
  if (*size >= maxBytes)
    return "the file holds " + std::to_string(*size) + " bytes, more than the " + std::to_string(maxBytes - 1) +
           " a game file may hold";
  return {};
}

Status WriteFileReplacing(std::string_view gamePath, const void* data, size_t size) {
  const FileToWrite file{gamePath, data, size};
  return WriteFilesReplacing(std::span<const FileToWrite>(&file, 1));
}

Status WriteFilesReplacing(std::span<const FileToWrite> files) {
  struct Staged {
    std::string target, directory, temp;
  };
  std::vector<Staged> staged;
  staged.reserve(files.size());
  for (const FileToWrite& file : files) {
    if (file.data == nullptr && file.size != 0) return kInvalidArg;
    const auto parts = SplitGamePath(file.gamePath);
    if (!parts || parts->empty()) return kInvalidArg;  // the data root itself is no file
    const auto target = ResolveGamePath(file.gamePath, true);
    if (!target) return kFail;
    // A file its owner marked read-only is kept: the rename below would
    // replace it whatever its mode, so the mode is looked at here (its bits,
    // not access(), which lets root write anything). Whatever is not a plain
    // file is refused here too, before any file of the set is replaced.
    struct stat existing {};
    if (::stat(target->c_str(), &existing) == 0 &&
        (!S_ISREG(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0))
      return kFail;
    staged.push_back(Staged{*target, DirectoryOf(*target), {}});
  }
  const auto discard = [&staged] {
    for (const Staged& s : staged)
      if (!s.temp.empty()) ::unlink(s.temp.c_str());
  };

  // Every file is written whole under a fresh name in its target's own
  // folder (so that the rename stays on one file system), created with the
  // usual permissions less the user's umask; only then are they renamed.
  static std::atomic<uint32_t> counter{0};
  for (size_t i = 0; i < staged.size(); ++i) {
    Staged& s = staged[i];
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      s.temp = Join(s.directory, ".vdwrite-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)));
      fd = ::open(s.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
      s.temp.clear();
      discard();
      return kFail;
    }
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(files[i].data), files[i].size);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
      discard();
      return kFail;
    }
  }
  for (Staged& s : staged) {
    if (::rename(s.temp.c_str(), s.target.c_str()) != 0) {
      discard();
      return kFail;
    }
    s.temp.clear();
  }
  for (const Staged& s : staged) SyncDirectory(s.directory);
  return kOk;
}

std::string ConfigDirectory() {
  // The base directory specification ignores relative settings.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return Join(xdg, "veldrane");
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return Join(home, ".config/veldrane");
  struct passwd entry{};
  struct passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] != '\0') {
    return Join(found->pw_dir, ".config/veldrane");
  }
  return ".config/veldrane";
}

}  // namespace plat
