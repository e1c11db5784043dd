#include "platform/text_encoding.h"

namespace plat {
namespace {

// Bytes 0x80-0x9F by code point; 0 marks the unassigned ones.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 character at text[i], advancing i; nullopt for a
// malformed, overlong or surrogate sequence.
std::optional<uint32_t> NextCodePoint(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  uint32_t cp = 0, least = 0;
  if ((lead & 0xE0) == 0xC0) extra = 1, cp = lead & 0x1F, least = 0x80;
  else if ((lead & 0xF0) == 0xE0) extra = 2, cp = lead & 0x0F, least = 0x800;
  else if ((lead & 0xF8) == 0xF0) extra = 3, cp = lead & 0x07, least = 0x10000;
  else return std::nullopt;
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size()) return std::nullopt;
    const auto next = static_cast<unsigned char>(text[i++]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  return cp;
}

}  // namespace

uint32_t Windows1252CodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
  return byte;
}

int Windows1252ByteOf(uint32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<int>(codePoint);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] != 0 && kHigh[i] == codePoint) return 0x80 + i;
  }
  return -1;
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const uint32_t cp = Windows1252CodePoint(byte);
    AppendUtf8(cp != 0 || byte == 0 ? cp : byte, &out);
  }
  return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto cp = NextCodePoint(text, i);
    if (!cp) return std::nullopt;
    // An unassigned byte came out as its Latin-1 twin and goes back so.
    int byte = Windows1252ByteOf(*cp);
    if (byte < 0 && *cp >= 0x80 && *cp <= 0x9F && Windows1252CodePoint(static_cast<unsigned char>(*cp)) == 0)
      byte = static_cast<int>(*cp);
    if (byte < 0) return std::nullopt;
    out.push_back(static_cast<char>(byte));
  }
  return out;
}

}  // namespace plat
