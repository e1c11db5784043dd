#include "app/text_writer.h"

#include <cstring>
#include <string>

#include "platform/fpenv.h"

namespace {

// Each line is built in its own buffer and goes out in one write, so two
// threads writing to different files never share a buffer.
void WriteKeyLine(std::FILE* file, const char* key, const char* valueText) {
  if (!file) return;
  std::string line = key ? key : "";
  line += '\t';
  line += valueText;
  line += ", \r\n";
  std::fwrite(line.data(), 1, line.size(), file);
}

}  // namespace

plat::Status CreateTextFile(const char* directory, ReplacingFile& file, const char* name, const char* extension) {
  std::string path = directory ? directory : "";
  path += name ? name : "";
  path += extension ? extension : "";
  return file.Open(path);
}

void WriteKeyIntLine(std::FILE* file, const char* key, int32_t value) {
  char text[16];
  plat::FormatText(text, sizeof text, "%d", static_cast<int>(value));
  WriteKeyLine(file, key, text);
}

void WriteKeyByteLine(std::FILE* file, const char* key, uint8_t value) {
  char text[8];
  plat::FormatText(text, sizeof text, "%u", static_cast<unsigned>(value));
  WriteKeyLine(file, key, text);
}

void WriteKeyFloatLine(std::FILE* file, const char* key, float value) {
  // The largest float takes 39 digits before the point.
  char text[64];
  plat::FormatText(text, sizeof text, "%f", static_cast<double>(value));
  WriteKeyLine(file, key, text);
}

void WriteFloatField(std::FILE* file, float value) {
  if (!file) return;
  char text[72];
  const int n = plat::FormatText(text, sizeof text, "%f, ", static_cast<double>(value));
  if (n > 0) std::fwrite(text, 1, std::strlen(text), file);
}
