#pragma once
// Where the binary data files live and how they are read and written whole.
// Readers use "MAPS\DATA\" outside the map editor unless a custom scenario
// is played, else "CUSTOM\DATA\"; writers use "MAPS\DATA\" outside the map
// editor, else "CUSTOM\DATA\".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct World;

std::string DataFileReadPath(std::string_view name, std::string_view extension);
std::string DataFileWritePath(std::string_view name, std::string_view extension);

// The whole file, or nullopt with a log line naming it when it is missing,
// empty or of plat::kMaxReadFileBytes or more (judged before it is read); `why` gets the reason.
std::optional<std::vector<uint8_t>> ReadDataFile(const std::string& path, std::string* why = nullptr);

// Writes the bytes to a temporary file renamed over the target, making the
// folders as needed; kFail with a log line naming the file when it cannot.
plat::Status WriteDataFile(const std::string& path, const std::vector<uint8_t>& bytes);

// The log line of a file that was read but refused.
void LogRefusedFile(const std::string& path, const std::string& why);
