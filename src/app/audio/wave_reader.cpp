#include "app/audio/wave_reader.h"

#include <sys/types.h>

#include <cstring>

#include "platform/paths.h"

using plat::kFail;
using plat::kOk;
using plat::Status;

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

bool ReadAt(WaveReader& r, uint64_t offset, void* destination, size_t n) {
  if (offset > r.fileBytes || n > r.fileBytes - offset) return false;
  if (fseeko(r.file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  return std::fread(destination, 1, n, r.file) == n;
}

// Looks for a chunk with the id among the chunks from `start` up to `end`,
// each followed by a pad byte when its size is odd.
bool FindChunk(WaveReader& r, uint32_t id, uint64_t start, uint64_t end, RiffChunk* found) {
  uint64_t at = start;
  while (at + 8 <= end) {
    uint8_t head[8];
    if (!ReadAt(r, at, head, sizeof head)) return false;
    const uint32_t size = Le32(head + 4);
    if (Le32(head) == id) {
      *found = RiffChunk{id, size, 0, at + 8};
      return true;
    }
    at += 8 + static_cast<uint64_t>(size) + (size & 1u);
  }
  return false;
}

// Where the RIFF chunk's contents end: its size, but never past the file.
uint64_t RiffEnd(const WaveReader& r) {
  const uint64_t end = r.riff.dataOffset + r.riff.size;
  return end < r.fileBytes ? end : r.fileBytes;
}

}  // namespace

WaveReader::~WaveReader() { WaveClose(*this); }

void WaveClose(WaveReader& reader) {
  if (reader.file) std::fclose(reader.file);
  reader.file = nullptr;
}

Status WaveReadHeader(WaveReader& r) {
  uint8_t head[12];
  if (!ReadAt(r, 0, head, sizeof head)) return kFail;
  if (Le32(head) != FourCc("RIFF") || Le32(head + 8) != FourCc("WAVE")) return kFail;
  r.riff = RiffChunk{FourCc("RIFF"), Le32(head + 4), FourCc("WAVE"), 8};

  RiffChunk fmt;
  if (!FindChunk(r, FourCc("fmt "), r.riff.dataOffset + 4, RiffEnd(r), &fmt)) return kFail;
  if (fmt.size < 16) return kFail;
  uint8_t basic[16];
  if (!ReadAt(r, fmt.dataOffset, basic, sizeof basic)) return kFail;

  uint16_t extra = 0;
  if (Le16(basic) != plat::kWaveFormatPcm) {
    uint8_t extraSize[2];
    if (fmt.size < 18 || !ReadAt(r, fmt.dataOffset + 16, extraSize, sizeof extraSize)) return kFail;
    extra = Le16(extraSize);
    // The extra bytes must lie inside the chunk, not in whatever follows it.
    if (fmt.size < 18u + extra) return kFail;
  }
  r.format.assign(kWaveFormatRecordBytes + extra, 0);
  std::memcpy(r.format.data(), basic, sizeof basic);
  r.format[16] = static_cast<uint8_t>(extra & 0xFF);
  r.format[17] = static_cast<uint8_t>(extra >> 8);
  if (extra > 0 && !ReadAt(r, fmt.dataOffset + 18, r.format.data() + kWaveFormatRecordBytes, extra))
    return kFail;
  return kOk;
}

Status WaveRewind(WaveReader& r) {
  if (!r.file) return kFail;
  RiffChunk data;
  if (!FindChunk(r, FourCc("data"), r.riff.dataOffset + 4, RiffEnd(r), &data)) return kFail;
  // A data chunk that claims more than the file holds is a cut-off file: its
  // sound would be partly missing, and its size cannot be trusted.
  if (data.dataOffset + data.size > r.fileBytes) return kFail;
  if (fseeko(r.file, static_cast<off_t>(data.dataOffset), SEEK_SET) != 0) return kFail;
  r.data = data;
  r.remaining = data.size;
  return kOk;
}

Status WaveOpen(WaveReader& r, std::string_view gamePath) {
  WaveClose(r);
  r.format.clear();
  r.remaining = 0;
  r.file = plat::OpenGameFile(gamePath, "rb");
  if (!r.file) return kFail;
  off_t length = -1;
  if (fseeko(r.file, 0, SEEK_END) == 0) length = ftello(r.file);
  if (length < 0) {
    WaveClose(r);
    return kFail;
  }
  r.fileBytes = static_cast<uint64_t>(length);
  if (WaveReadHeader(r) < 0 || WaveRewind(r) < 0) {
    r.format.clear();
    WaveClose(r);
    return kFail;
  }
  return kOk;
}

uint32_t WaveRead(WaveReader& r, void* destination, uint32_t n) {
  if (!r.file) return 0;
  if (n > r.remaining) n = r.remaining;
  const size_t got = n > 0 ? std::fread(destination, 1, n, r.file) : 0;
  r.remaining -= static_cast<uint32_t>(got);
  return static_cast<uint32_t>(got);
}

plat::WaveFormat DecodeWaveFormat(const std::vector<uint8_t>& record) {
  plat::WaveFormat f;
  if (record.size() < 16) return f;
  const uint8_t* p = record.data();
  f.formatTag = Le16(p);
  f.channels = Le16(p + 2);
  f.samplesPerSec = Le32(p + 4);
  f.avgBytesPerSec = Le32(p + 8);
  f.blockAlign = Le16(p + 12);
  f.bitsPerSample = Le16(p + 14);
  return f;
}
