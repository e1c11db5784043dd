#pragma once
// Whole-file helpers used by the text and binary writers. Paths are game
// paths ("MAPS\DATA\EUROPE.UNI"), relative to the data root. Files are read
// whole by plat::ReadFileBytes.
//
// Buffers handed out here come from malloc and are released with
// FreeAndClear (or std::free).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "platform/status.h"

// One piece of a file to write. A null data pointer writes nothing.
struct BufferPiece {
  const void* data = nullptr;
  size_t size = 0;
};

// Frees the buffer a slot holds, if any, and nulls the slot.
template <typename T>
void FreeAndClear(T*& slot) {
  std::free(const_cast<void*>(static_cast<const void*>(slot)));
  slot = nullptr;
}

// Creates or replaces the file with the pieces in order. The pieces go to a
// temporary file that is renamed over the target, so a failure leaves the
// old file as it was. Returns kOk or kFail.
plat::Status WriteWholeFile(std::string_view path, std::span<const BufferPiece> pieces);
plat::Status WriteWholeFile(std::string_view path, std::initializer_list<BufferPiece> pieces);

// Writes the pieces in order to an open file. kFail for a null file; write
// errors after that are not reported.
plat::Status WriteBuffers(std::FILE* file, std::span<const BufferPiece> pieces);
plat::Status WriteBuffers(std::FILE* file, std::initializer_list<BufferPiece> pieces);

// Opens a file for writing in place: created or emptied, or with append set,
// opened or created and positioned at its end. Null when it cannot be opened.
// This writes the target directly (the log appends this way); whole files
// that must never be left half-written go through ReplacingFile instead.
std::FILE* OpenFileForWrite(std::string_view path, bool append);

// A file being written whole: what is written collects in memory and
// replaces the target in one step (temporary file, then rename) when the
// file is closed. Closing happens in the destructor too, so content is never
// lost by a forgotten Close; Discard drops it instead.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // kFail when the target cannot be created (its folder is missing or the
  // path is refused). Any file still open here is closed first.
  plat::Status Open(std::string_view path);
  // Null while not open; the writers accept null and write nothing.
  std::FILE* get() const { return file_; }
  bool isOpen() const { return file_ != nullptr; }
  // Writes the collected content over the target. kOk, or kFail when it
  // could not be written (the old file then stays as it was).
  plat::Status Close();
  void Discard();

 private:
  std::FILE* file_ = nullptr;
  char* memory_ = nullptr;
  size_t memorySize_ = 0;
  std::string path_;
};
