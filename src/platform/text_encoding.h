#pragma once
// The game's 8-bit text is Windows-1252; the host's file names are UTF-8.
// These convert between the two where game names meet the disk.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

// The code point a Windows-1252 byte stands for; 0 for the five bytes that
// page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D).
uint32_t Windows1252CodePoint(unsigned char byte);
// The Windows-1252 byte of a code point, or -1 when the page has none.
int Windows1252ByteOf(uint32_t codePoint);

// Windows-1252 bytes as UTF-8. Unassigned bytes have no character and are
// kept as the Latin-1 character of the same number, so every name converts.
std::string Windows1252ToUtf8(std::string_view text);
// UTF-8 back to Windows-1252; nullopt when the text is not valid UTF-8 or
// holds a character the page cannot show.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

}  // namespace plat
