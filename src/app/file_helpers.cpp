#include "app/file_helpers.h"

#include <sys/stat.h>

#include <vector>

#include "platform/paths.h"

plat::Status WriteWholeFile(std::string_view path, std::span<const BufferPiece> pieces) {
  size_t total = 0;
  for (const BufferPiece& piece : pieces) {
    if (piece.data) total += piece.size;
  }
  std::vector<uint8_t> bytes;
  bytes.reserve(total);
  for (const BufferPiece& piece : pieces) {
    if (!piece.data) continue;
    const auto* begin = static_cast<const uint8_t*>(piece.data);
    bytes.insert(bytes.end(), begin, begin + piece.size);
  }
  const plat::Status status = plat::WriteFileReplacing(path, bytes.data(), bytes.size());
  return plat::Failed(status) ? plat::kFail : plat::kOk;
}

plat::Status WriteWholeFile(std::string_view path, std::initializer_list<BufferPiece> pieces) {
  return WriteWholeFile(path, std::span<const BufferPiece>(pieces.begin(), pieces.size()));
}

plat::Status WriteBuffers(std::FILE* file, std::span<const BufferPiece> pieces) {
  if (!file) return plat::kFail;
  for (const BufferPiece& piece : pieces) {
    if (piece.data && piece.size) std::fwrite(piece.data, 1, piece.size, file);
  }
  return plat::kOk;
}

plat::Status WriteBuffers(std::FILE* file, std::initializer_list<BufferPiece> pieces) {
  return WriteBuffers(file, std::span<const BufferPiece>(pieces.begin(), pieces.size()));
}

std::FILE* OpenFileForWrite(std::string_view path, bool append) {
  return plat::OpenGameFile(path, append ? "ab" : "wb");
}

ReplacingFile::~ReplacingFile() { Close(); }

plat::Status ReplacingFile::Open(std::string_view path) {
  Close();
  // Refuse at once what could never be written, as creating the file would.
  const auto real = plat::ResolveGamePath(path, true);
  if (!real) return plat::kFail;
  struct stat st{};
  if (::stat(real->c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return plat::kFail;
  file_ = ::open_memstream(&memory_, &memorySize_);
  if (!file_) return plat::kFail;
  path_.assign(path);
  return plat::kOk;
}

plat::Status ReplacingFile::Close() {
  if (!file_) return plat::kFail;
  const bool flushed = std::fclose(file_) == 0;
  file_ = nullptr;
  plat::Status status = plat::kFail;
  if (flushed) status = plat::WriteFileReplacing(path_, memory_, memorySize_);
  std::free(memory_);
  memory_ = nullptr;
  memorySize_ = 0;
  path_.clear();
  return plat::Failed(status) ? plat::kFail : plat::kOk;
}

void ReplacingFile::Discard() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  std::free(memory_);
  memory_ = nullptr;
  memorySize_ = 0;
  path_.clear();
}
