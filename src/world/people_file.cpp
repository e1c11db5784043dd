#include "world/people_file.h"

#include <cstring>

#include "world/data_checksum.h"
#include "world/data_file_io.h"
#include "records/le_bytes.h"
#include "world/text/people_bio.h"
#include "world/world.h"

bool CheckPplImage(std::span<const uint8_t> image, std::string& why) {
  if (image.size() < kPplFileSize) {
    why = "it holds " + std::to_string(image.size()) + " of its " + std::to_string(kPplFileSize) + " bytes";
    return false;
  }
  return true;
}

plat::Status ReadPplFile(World& world, std::string_view name, std::span<const uint8_t> buffer) {
  const bool fromFile = buffer.data() == nullptr;
  const std::string path = fromFile ? DataFileReadPath(name, ".PPL") : std::string(name);
  std::optional<std::vector<uint8_t>> file;
  if (fromFile) {
    file = ReadDataFile(path);
    if (!file) return plat::kFail;
    buffer = *file;
  }
  std::string why;
  if (!CheckPplImage(buffer, why)) {
    LogRefusedFile(path, why);
    return plat::kFail;
  }
  PeopleHeader header;
  std::memcpy(&header, buffer.data(), sizeof header);
  std::vector<uint8_t> people(kPeopleBlockSize);
  for (size_t j = 0; j < kPeopleEntries; ++j)
    std::memcpy(people.data() + j * kPeopleEntrySize, buffer.data() + kPplEntriesAt + j * kPplSlot,
                kPeopleEntrySize);

  world.people.swap(people);
  world.peopleHeader = header;
  if (fromFile) world.peopleHeader.checksum = DataFileChecksum(buffer.data(), buffer.size());
  // The biographies are a separate text file; a missing one leaves them as they were.
  const std::string bioName(name);
  (void)LoadPeopleBio(g_peopleBio, bioName.c_str());
  return plat::kOk;
}

std::vector<uint8_t> BuildPplImage(World& world) {
  world.peopleHeader.saved = FileStampNow();
  std::vector<uint8_t> out(kPplFileSize, 0);
  std::memcpy(out.data(), &world.peopleHeader, sizeof(PeopleHeader));
  le::Store32(out.data() + offsetof(PeopleHeader, checksum), 0);  // the loaded copy carries it
  const size_t have = world.people.size() / kPeopleEntrySize;
  for (size_t j = 0; j < kPeopleEntries && j < have; ++j)
    std::memcpy(out.data() + kPplEntriesAt + j * kPplSlot, world.people.data() + j * kPeopleEntrySize,
                kPeopleEntrySize);
  return out;
}

plat::Status WritePplFile(World& world, std::string_view name) {
  return WriteDataFile(DataFileWritePath(name, ".PPL"), BuildPplImage(world));
}
