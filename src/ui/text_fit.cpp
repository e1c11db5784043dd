#include "ui/text_fit.h"

#include <cctype>
#include <cstring>

#include "app/gfx/fonts.h"

namespace {

constexpr const char* kEllipsis = "...";
constexpr const char* kFigureSigns = "$%+-.,:/ ()MKkmB";

}  // namespace

int32_t TextWidth(BitmapFont* font, const std::string& text) {
  int32_t w = 0, h = 0;
  return plat::Succeeded(MeasureText(font, text.c_str(), &w, &h)) ? w : 0;
}

bool IsFigureText(const std::string& text) {
  bool digit = false;
  for (const char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digit = true;
    } else if (!c || !std::strchr(kFigureSigns, c)) {
      return false;
    }
  }
  return digit;
}

FittedText FitTextToWidth(BitmapFont* font, BitmapFont* smallFont, const std::string& text, int32_t width) {
  if (!font || TextWidth(font, text) <= width) return {font, text};
  if (smallFont && IsFigureText(text) && TextWidth(smallFont, text) <= width) return {smallFont, text};
  // The longest start of the text that leaves room for the ellipsis, with
  // the spaces before the cut dropped.
  const int32_t room = width - TextWidth(font, kEllipsis);
  if (room < 0) return {font, ""};
  // A longer start is never narrower: halve the range of lengths.
  size_t keep = 0, over = text.size();
  while (over - keep > 1) {
    const size_t mid = keep + (over - keep) / 2;
    (TextWidth(font, text.substr(0, mid)) <= room ? keep : over) = mid;
  }
  while (keep > 0 && text[keep - 1] == ' ') --keep;
  return {font, text.substr(0, keep) + kEllipsis};
}
