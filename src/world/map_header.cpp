#include "world/map_header.h"

#include <cstring>
#include <initializer_list>

#include "platform/clock.h"
#include "records/le_bytes.h"

void SetMapHeaderSizes(MapHeader& header) {
  header.size = kMapHeaderSize;
  header.terrainRecordSize = kTerrainRecordSize;
  header.cellSize = kMapCellImageSize;
  header.labelSize = kHexLabelSize;
  header.version = kMapVersion;
  header.versionTag = kMapVersionTag;
  header.reserved18[0] = header.reserved18[1] = 0;
}

MapHeader MapHeaderWithSizes() {
  MapHeader header{};
  SetMapHeaderSizes(header);
  return header;
}

namespace {

// Each numeric field goes through the byte-order helper; the texts and the
// bytes nobody names travel as they are.
template <typename Visit>
void ForEachWord(Visit&& visit) {
  visit(offsetof(MapHeader, size));
  visit(offsetof(MapHeader, terrainRecordSize));
  visit(offsetof(MapHeader, cellSize));
  visit(offsetof(MapHeader, labelSize));
  for (size_t stamp : {offsetof(MapHeader, created), offsetof(MapHeader, saved)}) {
    visit(stamp + offsetof(FileStamp, date) + offsetof(GameDate, dayNumber));
    visit(stamp + offsetof(FileStamp, milliseconds), 2);
    visit(stamp + offsetof(FileStamp, date) + offsetof(GameDate, year), 2);
  }
  for (size_t off : {offsetof(MapHeader, newMapWord), offsetof(MapHeader, hexScale), offsetof(MapHeader, width),
                     offsetof(MapHeader, height), offsetof(MapHeader, areaWord), offsetof(MapHeader, word148),
                     offsetof(MapHeader, cellCount), offsetof(MapHeader, checksum), offsetof(MapHeader, labelCount),
                     offsetof(MapHeader, startDay), offsetof(MapHeader, tuning), offsetof(MapHeader, tuning) + 4,
                     offsetof(MapHeader, tuning2), offsetof(MapHeader, tuning2) + 4,
                     offsetof(MapHeader, scaleSquared), offsetof(MapHeader, word600), offsetof(MapHeader, scale),
                     offsetof(MapHeader, stringPoolOffset), offsetof(MapHeader, stringPoolSize)})
    visit(off);
}

}  // namespace

void DecodeMapHeader(const uint8_t* image, MapHeader& header) {
  std::memcpy(&header, image, sizeof header);
  auto* out = reinterpret_cast<uint8_t*>(&header);
  ForEachWord([&](size_t off, int width = 4) {
    if (width == 2) {
      const uint16_t v = le::Load16(image + off);
      std::memcpy(out + off, &v, 2);
    } else {
      const uint32_t v = le::Load32(image + off);
      std::memcpy(out + off, &v, 4);
    }
  });
}

void EncodeMapHeader(const MapHeader& header, uint8_t* image) {
  std::memcpy(image, &header, sizeof header);
  const auto* in = reinterpret_cast<const uint8_t*>(&header);
  ForEachWord([&](size_t off, int width = 4) {
    if (width == 2) {
      uint16_t v;
      std::memcpy(&v, in + off, 2);
      le::Store16(image + off, v);
    } else {
      uint32_t v;
      std::memcpy(&v, in + off, 4);
      le::Store32(image + off, v);
    }
  });
}

FileStamp FileStampNow() {
  const plat::LocalTime now = plat::GetLocalTime();
  FileStamp stamp;
  stamp.date.year = static_cast<int16_t>(now.year);
  stamp.date.month = static_cast<uint8_t>(now.month);
  stamp.date.day = static_cast<uint8_t>(now.day);
  DateToDayNumber(stamp.date);
  stamp.hour = static_cast<uint8_t>(now.hour);
  stamp.minute = static_cast<uint8_t>(now.minute);
  stamp.milliseconds = static_cast<uint16_t>(now.second * 1000 + now.milliseconds);
  return stamp;
}
