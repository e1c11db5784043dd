#include "app/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "app/file_helpers.h"
#include "platform/fpenv.h"

namespace {

std::mutex& LogLock() {
  static std::mutex lock;
  return lock;
}

std::FILE* g_mirror = nullptr;  // under the log's lock

constexpr char kPrefix[] = "VDLOG: ";
constexpr size_t kLineBuffer = 256;  // 255 characters and the terminator

void OpenLocked(PlatformState& platform) {
  if (platform.logFileName[0] == '\0') return;
  if (!platform.logFile) platform.logFile = OpenFileForWrite(platform.logFileName, platform.logNewFile == 0);
  platform.logNewFile = 0;
}

}  // namespace

void SetLogTarget(PlatformState& platform, const char* fileName, bool enabled, bool newFile) {
  std::lock_guard<std::mutex> guard(LogLock());
  const char* name = fileName ? fileName : "";
  const size_t n = strnlen(name, sizeof platform.logFileName - 1);
  std::memcpy(platform.logFileName, name, n);
  platform.logFileName[n] = '\0';
  platform.logEnabled = enabled ? 1 : 0;
  platform.logNewFile = newFile ? 1 : 0;
  // A file still open belongs to the old target: the next line opens the new one.
  if (platform.logFile) {
    std::fclose(static_cast<std::FILE*>(platform.logFile));
    platform.logFile = nullptr;
  }
}

void LogWrite(PlatformState& platform, const char* format, ...) {
  // Formatting needs no lock: the line buffer is the caller's own.
  char line[kLineBuffer];
  std::memcpy(line, kPrefix, sizeof kPrefix);
  va_list args;
  va_start(args, format);
  const int wanted =
      plat::FormatTextV(line + sizeof kPrefix - 1, sizeof line - (sizeof kPrefix - 1), format ? format : "", args);
  va_end(args);
  size_t length = std::strlen(line);
  // A line cut at the buffer's end still ends as a line, marked as cut, so
  // the next one does not run on after it.
  if (wanted > 0 && static_cast<size_t>(wanted) >= sizeof line - (sizeof kPrefix - 1)) {
    constexpr char kCut[] = "...\n";
    std::memcpy(line + sizeof line - sizeof kCut, kCut, sizeof kCut);
    length = sizeof line - 1;
  }

  std::lock_guard<std::mutex> guard(LogLock());
  if (g_mirror) {
    std::fwrite(line, 1, length, g_mirror);
    std::fflush(g_mirror);
  }
  if (!platform.logEnabled) return;
  if (!platform.logFile && platform.logFileName[0] != '\0') OpenLocked(platform);
  if (!platform.logFile) return;
  auto* file = static_cast<std::FILE*>(platform.logFile);
  std::fwrite(line, 1, length, file);
  std::fflush(file);
}

void SetLogMirror(std::FILE* stream) {
  std::lock_guard<std::mutex> guard(LogLock());
  g_mirror = stream;
}

void OpenLogFile(PlatformState& platform) {
  std::lock_guard<std::mutex> guard(LogLock());
  OpenLocked(platform);
}

void CloseLogFile(PlatformState& platform) {
  std::lock_guard<std::mutex> guard(LogLock());
  if (!platform.logFile) return;
  std::fclose(static_cast<std::FILE*>(platform.logFile));
  platform.logFile = nullptr;
}
