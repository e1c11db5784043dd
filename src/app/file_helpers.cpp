#include "app/file_helpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/paths.h"

uint8_t* ReadWholeFile(std::string_view path, size_t* byteCount) {
  if (byteCount) *byteCount = 0;
  const auto real = plat::ResolveGamePath(path);
  if (!real) return nullptr;
  // Non-blocking so that a pipe cannot hang the reader; only regular files pass.
  const int fd = ::open(real->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
      static_cast<uint64_t>(st.st_size) >= kMaxWholeFileBytes) {
    ::close(fd);
    return nullptr;
  }
  const size_t size = static_cast<size_t>(st.st_size);
  auto* buffer = static_cast<uint8_t*>(std::calloc(size + 1, 1));
  if (!buffer) {
    ::close(fd);
    return nullptr;
  }
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, buffer + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      std::free(buffer);
      return nullptr;
    }
    if (n == 0) break;  // the file shrank while being read
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  if (done == 0) {
    std::free(buffer);
    return nullptr;
  }
  if (byteCount) *byteCount = done;
  return buffer;
}

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
