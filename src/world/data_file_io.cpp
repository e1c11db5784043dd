#include "world/data_file_io.h"

#include "app/log.h"
#include "platform/paths.h"
#include "world/map_folders.h"
#include "world/world.h"

namespace {

std::string DataPath(const char* folder, std::string_view name, std::string_view extension) {
  std::string path = folder;
  path += name;
  path += extension;
  return path;
}

}  // namespace

std::string DataFileReadPath(std::string_view name, std::string_view extension) {
  const bool custom = ReadsCustomFolder();
  return DataPath(custom ? "CUSTOM\\DATA\\" : "MAPS\\DATA\\", name, extension);
}

std::string DataFileWritePath(std::string_view name, std::string_view extension) {
  return DataPath(InMapEditor() ? "CUSTOM\\DATA\\" : "MAPS\\DATA\\", name, extension);
}

std::optional<std::vector<uint8_t>> ReadDataFile(const std::string& path, std::string* why) {
  // The size is judged before anything is read.
  auto bytes = plat::ReadFileBytes(path);
  if (!bytes || bytes->empty()) {
    std::string reason = plat::FileReadRefusal(path);
    if (reason.empty()) reason = "the file cannot be read";
    LogWrite(g_platform, "File %s could not be read: %s.\n", path.c_str(), reason.c_str());
    if (why) *why = std::move(reason);
    return std::nullopt;
  }
  return bytes;
}

plat::Status WriteDataFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  const size_t slash = path.rfind('\\');
  if (slash != std::string::npos) plat::MakeGameDirectories(path.substr(0, slash));
  if (plat::Failed(plat::WriteFileReplacing(path, bytes.data(), bytes.size()))) {
    LogWrite(g_platform, "File %s could not be written.\n", path.c_str());
    return plat::kFail;
  }
  return plat::kOk;
}

void LogRefusedFile(const std::string& path, const std::string& why) {
  LogWrite(g_platform, "File %s refused: %s.\n", path.c_str(), why.c_str());
}
