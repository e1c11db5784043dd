#include "sim/safe_file_name.h"

std::string SafeFileNamePart(std::string_view name) {
  std::string out(name);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    const bool separator = c == '/' || c == '\\' || c == ':';
    const bool control = c < 32 || c == 127;
    const bool parentStep = c == '.' && i + 1 < out.size() && out[i + 1] == '.';
    if (separator || control || parentStep) out[i] = '_';
  }
  return out;
}
