#include "placeholder_forms.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

namespace {

constexpr size_t kMaxTagLength = 31;
constexpr size_t kControlTagLength = 12;

bool IsFormName(const std::string& tag) {
  return !tag.empty() && tag.size() <= kMaxTagLength && std::all_of(tag.begin(), tag.end(), [](char c) {
           return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
         });
}

}  // namespace

PlaceholderList ParsePlaceholderList(const std::string& text, const std::string& listName) {
  PlaceholderList out;
  std::set<std::string> seen;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t begin = line.find_first_not_of(" \t");
    if (begin == std::string::npos || line[begin] == '#') continue;
    const std::string tag = line.substr(begin, line.find_last_not_of(" \t") + 1 - begin);
    const std::string where = listName + ":" + std::to_string(number) + ": ";
    if (!IsFormName(tag)) {
      out.error = where + "\"" + tag + "\" is no form name (letters, digits and _, at most 31)";
      out.tags.clear();
      return out;
    }
    if (!seen.insert(tag).second) {
      out.error = where + tag + " is listed twice";
      out.tags.clear();
      return out;
    }
    out.tags.push_back(tag);
  }
  return out;
}

std::string PlaceholderFormSource(const std::string& tag) {
  return "form save=1 stamp=2026-12-08T12:00:00.000\n\nbox " + tag.substr(0, kControlTagLength) +
         " rect=0,0,200,120 fill=0xFF1C2630\n";
}
