#include "form_source.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "ui/bitmap_control.h"
#include "ui/box_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"

void ControlTreeDeleter::operator()(Control* c) const { delete c; }

namespace {

// ---------------------------------------------------------------- kinds

struct KindName {
  int16_t kind;
  const char* name;
};
constexpr KindName kKindNames[] = {
    {kKindNull, "null"},       {kKindBox, "box"},         {kKindText, "text"},          {kKindString, "string"},
    {kKindPlainBitmap, "plainbitmap"}, {kKindIcon, "icon"}, {kKindBitmap, "bitmap"},   {kKindAnim, "anim"},
    {kKindEdit, "edit"},       {kKindEditNumber, "editnum"}, {kKindListBox, "listbox"}, {kKindScroller, "scroller"},
    {kKindSlideBar, "slidebar"}, {kKindTextBox, "textbox"},
};

std::optional<int16_t> KindFromName(const std::string& word) {
  for (const KindName& k : kKindNames)
    if (word == k.name) return k.kind;
  if (!word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }) &&
      word.size() <= 5) {
    const long v = std::stol(word);
    if (v <= 32767) return static_cast<int16_t>(v);
  }
  return std::nullopt;
}

std::string KindToName(int16_t kind) {
  for (const KindName& k : kKindNames)
    if (k.kind == kind) return k.name;
  return std::to_string(kind);
}

bool IsStringKind(int16_t k) { return k == kKindText || k == kKindString || k == kKindEdit; }
bool IsTextKind(int16_t k) { return k == kKindText || k == kKindEdit; }

// A control of the kind as the compiler makes it before its attributes:
// what every omitted attribute takes.
Control* MakeDefault(int16_t kind) {
  switch (kind) {
    case kKindNull: {
      auto* c = new BoxControl(ControlInit{});
      c->kind = kKindNull;
      return c;
    }
    case kKindBox:
      return new BoxControl(ControlInit{});
    case kKindString:
      return new StringControl(ControlInit{.kind = kKindString}, StringInit{});
    case kKindText:
      return new TextControl(ControlInit{.kind = kKindText}, StringInit{});
    case kKindEdit:
      return new EditControl(ControlInit{.kind = kKindEdit}, StringInit{}, StringInit{}.bufferSize, 0);
    case kKindBitmap:
      return new BitmapControl(ControlInit{}, BitmapImage{0, {}}, BitmapImage{}, BitmapImage{});
    case kKindSlideBar: {
      auto* c = new SlideBarControl;
      c->state = kStateDirty;
      return c;
    }
    default:
      return new Control(ControlInit{.kind = kind});
  }
}

// ---------------------------------------------------------------- attributes

// One attribute of a control line: either numbers (one to six values, of
// one width) or a text. The same table parses and prints, so whatever the
// compiler accepts the decompiler writes and the other way round.
enum class Width { k8, k16, k32 };
struct Attribute {
  const char* name;
  bool (*applies)(int16_t kind);
  int count = 0;          // numbers; 0 for a text
  Width width = Width::k32;
  bool hex = false;
  bool replicate = false;  // trailing values may be left out: the last given repeats
  std::function<std::vector<int64_t>(const Control&)> get;
  std::function<void(Control&, const std::vector<int64_t>&)> set;
  std::function<std::optional<std::string>(const Control&)> getText;
  std::function<void(Control&, const std::string&)> setText;
};

bool Any(int16_t) { return true; }
bool Strings(int16_t k) { return IsStringKind(k); }
bool Texts(int16_t k) { return IsTextKind(k); }
bool Edits(int16_t k) { return k == kKindEdit; }
bool Bitmaps(int16_t k) { return k == kKindBitmap; }
bool SlideBars(int16_t k) { return k == kKindSlideBar; }

template <typename T>
T& As(Control& c) {
  return static_cast<T&>(c);
}
template <typename T>
const T& As(const Control& c) {
  return static_cast<const T&>(c);
}

Attribute Numbers(const char* name, bool (*applies)(int16_t), int count, Width width, bool hex,
                  std::function<std::vector<int64_t>(const Control&)> get,
                  std::function<void(Control&, const std::vector<int64_t>&)> set, bool replicate = false) {
  Attribute a;
  a.name = name;
  a.applies = applies;
  a.count = count;
  a.width = width;
  a.hex = hex;
  a.replicate = replicate;
  a.get = std::move(get);
  a.set = std::move(set);
  return a;
}

Attribute Text(const char* name, bool (*applies)(int16_t), std::function<std::optional<std::string>(const Control&)> get,
               std::function<void(Control&, const std::string&)> set) {
  Attribute a;
  a.name = name;
  a.applies = applies;
  a.getText = std::move(get);
  a.setText = std::move(set);
  return a;
}

// An optional text that is empty for none.
std::optional<std::string> Opt(const std::string& s) { return s.empty() ? std::nullopt : std::optional(s); }

std::vector<int64_t> RectValues(const plat::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
plat::Rect RectOf(const std::vector<int64_t>& v) {
  return plat::Rect{static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1]), static_cast<int32_t>(v[2]),
                    static_cast<int32_t>(v[3])};
}
uint32_t U(int64_t v) { return static_cast<uint32_t>(v); }

// A bitmap image's set: -1 (none) prints as "none".
constexpr int64_t kNoSet = -1;

const std::vector<Attribute>& Attributes() {
  static const std::vector<Attribute> table = [] {
    std::vector<Attribute> t;
    // Common fields.
    t.push_back(Numbers("rect", Any, 4, Width::k32, false, [](const Control& c) { return RectValues(c.rect); },
                        [](Control& c, const auto& v) { c.rect = RectOf(v); }));
    t.push_back(Numbers("flags", Any, 1, Width::k32, true, [](const Control& c) { return std::vector<int64_t>{c.flags}; },
                        [](Control& c, const auto& v) { c.flags = U(v[0]); }));
    t.push_back(Numbers("state", Any, 1, Width::k32, true, [](const Control& c) { return std::vector<int64_t>{c.state}; },
                        [](Control& c, const auto& v) { c.state = U(v[0]); }));
    t.push_back(Numbers("style", Any, 1, Width::k8, false,
                        [](const Control& c) { return std::vector<int64_t>{c.frameStyle}; },
                        [](Control& c, const auto& v) { c.frameStyle = static_cast<uint8_t>(v[0]); }));
    t.push_back(Numbers(
        "width", Any, 3, Width::k8, false,
        [](const Control& c) { return std::vector<int64_t>{c.outlineWidths[0], c.outlineWidths[1], c.outlineWidths[2]}; },
        [](Control& c, const auto& v) {
          for (int i = 0; i < 3; ++i) c.outlineWidths[i] = static_cast<uint8_t>(v[i]);
        },
        true));
    t.push_back(Numbers(
        "fill", Any, 3, Width::k32, true,
        [](const Control& c) { return std::vector<int64_t>{c.fills[0], c.fills[1], c.fills[2]}; },
        [](Control& c, const auto& v) {
          for (int i = 0; i < 3; ++i) c.fills[i] = U(v[i]);
        },
        true));
    t.push_back(Numbers(
        "outline", Any, 3, Width::k32, true,
        [](const Control& c) { return std::vector<int64_t>{c.outlines[0], c.outlines[1], c.outlines[2]}; },
        [](Control& c, const auto& v) {
          for (int i = 0; i < 3; ++i) c.outlines[i] = U(v[i]);
        },
        true));
    t.push_back(Numbers("id", Any, 1, Width::k32, false, [](const Control& c) { return std::vector<int64_t>{c.id}; },
                        [](Control& c, const auto& v) { c.id = static_cast<int32_t>(v[0]); }));
    // The control's text; the string kinds show theirs and keep the record's
    // own text as "recordtext".
    t.push_back(Text(
        "text", Any,
        [](const Control& c) { return c.hasText || !c.text.empty() ? std::optional(c.text) : std::nullopt; },
        [](Control& c, const std::string& s) {
          c.text = s;
          c.hasText = true;
        }));
    t.push_back(Text(
        "recordtext", Strings, [](const Control& c) { return Opt(As<StringControl>(c).recordText); },
        [](Control& c, const std::string& s) { As<StringControl>(c).recordText = s; }));
    // The string kinds.
    t.push_back(Text(
        "selected", Strings, [](const Control& c) { return Opt(As<StringControl>(c).selectedText); },
        [](Control& c, const std::string& s) { As<StringControl>(c).selectedText = s; }));
    t.push_back(Numbers(
        "buffer", Strings, 1, Width::k32, false,
        [](const Control& c) { return std::vector<int64_t>{As<StringControl>(c).bufferSize}; },
        [](Control& c, const auto& v) { As<StringControl>(c).bufferSize = U(v[0]); }));
    t.push_back(Numbers(
        "font", Strings, 1, Width::k32, false,
        [](const Control& c) { return std::vector<int64_t>{As<StringControl>(c).fontSlot}; },
        [](Control& c, const auto& v) { As<StringControl>(c).fontSlot = U(v[0]); }));
    t.push_back(Numbers(
        "bytes", Strings, 4, Width::k8, false,
        [](const Control& c) {
          const auto& b = As<StringControl>(c).bytes;
          return std::vector<int64_t>{b[0], b[1], b[2], b[3]};
        },
        [](Control& c, const auto& v) {
          for (int i = 0; i < 4; ++i) As<StringControl>(c).bytes[i] = static_cast<uint8_t>(v[i]);
        }));
    t.push_back(Numbers(
        "word1", Strings, 1, Width::k32, true,
        [](const Control& c) { return std::vector<int64_t>{As<StringControl>(c).word1}; },
        [](Control& c, const auto& v) { As<StringControl>(c).word1 = U(v[0]); }));
    t.push_back(Numbers(
        "align", Strings, 1, Width::k32, true,
        [](const Control& c) { return std::vector<int64_t>{As<StringControl>(c).alignment}; },
        [](Control& c, const auto& v) { As<StringControl>(c).alignment = U(v[0]); }));
    t.push_back(Numbers(
        "colour", Strings, 2, Width::k32, true,
        [](const Control& c) {
          const auto& s = As<StringControl>(c);
          return std::vector<int64_t>{s.textColour, s.selectedTextColour};
        },
        [](Control& c, const auto& v) {
          As<StringControl>(c).textColour = U(v[0]);
          As<StringControl>(c).selectedTextColour = U(v[1]);
        },
        true));
    t.push_back(Numbers(
        "word2", Strings, 1, Width::k32, true,
        [](const Control& c) { return std::vector<int64_t>{As<StringControl>(c).word2}; },
        [](Control& c, const auto& v) { As<StringControl>(c).word2 = U(v[0]); }));
    // The text kinds.
    t.push_back(Text(
        "source", Texts, [](const Control& c) { return Opt(As<TextControl>(c).sourceText); },
        [](Control& c, const std::string& s) { As<TextControl>(c).sourceText = s; }));
    t.push_back(Text(
        "selsource", Texts, [](const Control& c) { return Opt(As<TextControl>(c).selectedSourceText); },
        [](Control& c, const std::string& s) { As<TextControl>(c).selectedSourceText = s; }));
    t.push_back(Numbers(
        "words", Texts, 6, Width::k32, true,
        [](const Control& c) {
          const auto& w = As<TextControl>(c).words;
          return std::vector<int64_t>(w, w + 6);
        },
        [](Control& c, const auto& v) {
          for (int i = 0; i < 6; ++i) As<TextControl>(c).words[i] = U(v[i]);
        }));
    t.push_back(Numbers(
        "word3", Texts, 1, Width::k32, true,
        [](const Control& c) { return std::vector<int64_t>{As<TextControl>(c).word3}; },
        [](Control& c, const auto& v) { As<TextControl>(c).word3 = U(v[0]); }));
    t.push_back(Text(
        "extra", Texts, [](const Control& c) { return Opt(As<TextControl>(c).extra); },
        [](Control& c, const std::string& s) { As<TextControl>(c).extra = s; }));
    // The edit field.
    t.push_back(Text(
        "editextra", Edits, [](const Control& c) { return Opt(As<EditControl>(c).extraEdit); },
        [](Control& c, const std::string& s) { As<EditControl>(c).extraEdit = s; }));
    t.push_back(Numbers(
        "editsize", Edits, 1, Width::k32, false,
        [](const Control& c) { return std::vector<int64_t>{As<EditControl>(c).editSize}; },
        [](Control& c, const auto& v) { As<EditControl>(c).editSize = U(v[0]); }));
    t.push_back(Numbers(
        "classes", Edits, 1, Width::k32, true,
        [](const Control& c) { return std::vector<int64_t>{As<EditControl>(c).classes}; },
        [](Control& c, const auto& v) { As<EditControl>(c).classes = U(v[0]); }));
    // The bitmap: a set (0-8, or none for the selected and focused looks)
    // and a source rectangle per look.
    const char* setNames[3] = {"set", "selset", "focset"};
    const char* imageNames[3] = {"image", "selimage", "focimage"};
    for (int look = 0; look < 3; ++look) {
      t.push_back(Numbers(
          setNames[look], Bitmaps, 1, Width::k32, false,
          [look](const Control& c) { return std::vector<int64_t>{As<BitmapControl>(c).images[look].set}; },
          [look](Control& c, const auto& v) { As<BitmapControl>(c).images[look].set = static_cast<int32_t>(v[0]); }));
      t.push_back(Numbers(
          imageNames[look], Bitmaps, 4, Width::k32, false,
          [look](const Control& c) { return RectValues(As<BitmapControl>(c).images[look].source); },
          [look](Control& c, const auto& v) { As<BitmapControl>(c).images[look].source = RectOf(v); }));
    }
    t.push_back(Numbers(
        "frames", Bitmaps, 5, Width::k8, false,
        [](const Control& c) {
          const auto& b = As<BitmapControl>(c);
          return std::vector<int64_t>{b.frameCount, b.frame, b.frameDelay, b.delayCounter, b.framesPerRow};
        },
        [](Control& c, const auto& v) {
          auto& b = As<BitmapControl>(c);
          b.frameCount = static_cast<uint8_t>(v[0]);
          b.frame = static_cast<uint8_t>(v[1]);
          b.frameDelay = static_cast<uint8_t>(v[2]);
          b.delayCounter = static_cast<uint8_t>(v[3]);
          b.framesPerRow = static_cast<uint8_t>(v[4]);
        }));
    t.push_back(Numbers(
        "spare", Bitmaps, 3, Width::k8, false,
        [](const Control& c) {
          const auto& s = As<BitmapControl>(c).spare;
          return std::vector<int64_t>{s[0], s[1], s[2]};
        },
        [](Control& c, const auto& v) {
          for (int i = 0; i < 3; ++i) As<BitmapControl>(c).spare[i] = static_cast<uint8_t>(v[i]);
        }));
    // The slide bar.
    using SlideField = uint16_t SlideBarControl::*;
    const std::pair<const char*, SlideField> slideFields[] = {
        {"position", &SlideBarControl::position},   {"default", &SlideBarControl::defaultPosition},
        {"low", &SlideBarControl::lowMark},         {"notches", &SlideBarControl::notches},
        {"high", &SlideBarControl::highMark},       {"remembered", &SlideBarControl::rememberedPosition},
        {"thumb", &SlideBarControl::thumbLength},   {"exponent", &SlideBarControl::exponent}};
    for (const auto& entry : slideFields) {
      const SlideField field = entry.second;
      t.push_back(Numbers(
          entry.first, SlideBars, 1, Width::k16, false,
          [field](const Control& c) { return std::vector<int64_t>{As<SlideBarControl>(c).*field}; },
          [field](Control& c, const auto& v) { As<SlideBarControl>(c).*field = static_cast<uint16_t>(v[0]); }));
    }
    t.push_back(Numbers(
        "maximum", SlideBars, 1, Width::k32, true,
        [](const Control& c) { return std::vector<int64_t>{As<SlideBarControl>(c).maximum}; },
        [](Control& c, const auto& v) { As<SlideBarControl>(c).maximum = U(v[0]); }));
    return t;
  }();
  return table;
}

const Attribute* FindAttribute(const std::string& name) {
  for (const Attribute& a : Attributes())
    if (name == a.name) return &a;
  return nullptr;
}

// ---------------------------------------------------------------- text

// Printable ASCII stays; quotes, backslashes and every other byte are escaped.
std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (const unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out + "\"";
}

bool IsBareWord(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
  });
}

std::string FormatValue(int64_t v, Width width, bool hex) {
  char buffer[32];
  if (hex) {
    const int digits = width == Width::k8 ? 2 : width == Width::k16 ? 4 : 8;
    std::snprintf(buffer, sizeof buffer, "0x%0*" PRIX64, digits, static_cast<uint64_t>(v) & 0xFFFFFFFFu);
  } else {
    std::snprintf(buffer, sizeof buffer, "%" PRId64, v);
  }
  return buffer;
}

// A line cut into words; a quoted part (alone or after "key=") is one word,
// unescaped, and marked as quoted.
struct Word {
  std::string text;
  bool quoted = false;  // the value after '=' (or the whole word) was quoted
  std::string key;      // for key=value words
  bool hasKey = false;
};

bool SplitLine(const std::string& line, std::vector<Word>& words, std::string& error) {
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size() || line[i] == '#') return true;
    Word w;
    std::string raw;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '"') raw += line[i++];
    const size_t eq = raw.find('=');
    if (eq != std::string::npos) {
      w.key = raw.substr(0, eq);
      w.hasKey = true;
      raw = raw.substr(eq + 1);
    }
    if (i < line.size() && line[i] == '"') {
      if (!raw.empty()) {
        error = "a quote inside a word";
        return false;
      }
      ++i;
      w.quoted = true;
      bool closed = false;
      while (i < line.size()) {
        const char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c != '\\') {
          raw += c;
          continue;
        }
        if (i >= line.size()) break;
        const char e = line[i++];
        if (e == 'n') {
          raw += '\n';
        } else if (e == 't') {
          raw += '\t';
        } else if (e == '"' || e == '\\') {
          raw += e;
        } else if (e == 'x' && i + 2 <= line.size() && std::isxdigit(static_cast<unsigned char>(line[i])) &&
                   std::isxdigit(static_cast<unsigned char>(line[i + 1]))) {
          raw += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
          i += 2;
        } else {
          error = std::string("an unknown escape \\") + e;
          return false;
        }
      }
      if (!closed) {
        error = "a text without its closing quote";
        return false;
      }
      if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#') {
        error = "a word right after a closing quote";
        return false;
      }
    }
    w.text = raw;
    words.push_back(std::move(w));
  }
}

std::optional<int64_t> ParseNumber(const std::string& s) {
  if (s.empty()) return std::nullopt;
  const bool negative = s[0] == '-';
  const std::string body = negative ? s.substr(1) : s;
  const bool hex = body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X');
  const std::string digits = hex ? body.substr(2) : body;
  if (digits.empty() || digits.size() > (hex ? 8u : 10u)) return std::nullopt;
  for (const char c : digits)
    if (!(hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
      return std::nullopt;
  const int64_t v = std::stoll(digits, nullptr, hex ? 16 : 10);
  return negative ? -v : v;
}

bool InWidth(int64_t v, Width width) {
  switch (width) {
    case Width::k8: return v >= 0 && v <= 0xFF;
    case Width::k16: return v >= 0 && v <= 0xFFFF;
    case Width::k32: return v >= INT32_MIN && v <= 0xFFFFFFFFll;
  }
  return false;
}

// ---------------------------------------------------------------- header

constexpr size_t kFreeHeaderDwords[] = {0, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 19, 20};

bool ParseStamp(const std::string& s, plat::LocalTime& t) {
  unsigned y, mo, d, h, mi, sec, ms;
  char tail;
  if (std::sscanf(s.c_str(), "%u-%u-%uT%u:%u:%u.%u%c", &y, &mo, &d, &h, &mi, &sec, &ms, &tail) != 7) return false;
  if (y > 0xFFFF || mo > 0xFF || d > 0xFF || h > 0xFF || mi > 0xFF || sec > 65 || ms > 999) return false;
  t = plat::LocalTime{static_cast<uint16_t>(y), static_cast<uint16_t>(mo), 0, static_cast<uint16_t>(d),
                      static_cast<uint16_t>(h), static_cast<uint16_t>(mi), static_cast<uint16_t>(sec),
                      static_cast<uint16_t>(ms)};
  return true;
}

std::string PrintStamp(const FormHeader& h) {
  const uint32_t date = h.dwords[kFormStampDate], time = h.dwords[kFormStampTime];
  const uint32_t ms = time >> 16;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02uT%02u:%02u:%02u.%03u", date & 0xFFFF, (date >> 16) & 0xFF,
                date >> 24, time & 0xFF, (time >> 8) & 0xFF, ms / 1000, ms % 1000);
  return buffer;
}

// ---------------------------------------------------------------- parsing

// What a line implies where it leaves a field out: a text kind shows its
// text as its source, a control made hidden starts hidden. The printer
// leaves out what these give. The string kinds own their texts whatever
// the flags say, as the loader makes them.
void FillImplied(Control& c, bool sourceGiven, bool stateGiven) {
  if (IsStringKind(c.kind)) c.flags |= kCtlOwnsText;
  if (IsTextKind(c.kind) && !sourceGiven) As<TextControl>(c).sourceText = c.text;
  if (!stateGiven && (c.flags & kCtlStartHidden)) c.state |= kStateHidden;
}

class Parser {
 public:
  Parser(const std::string& name) : name_(name) {}

  FormSource Run(const std::string& text) {
    FormSource out;
    out.stamp = plat::LocalTime{2026, 1, 0, 1, 0, 0, 0, 0};
    std::istringstream in(text);
    std::string line;
    bool sawHeader = false;
    std::vector<std::pair<int, Control*>> open;  // indentation, control
    while (std::getline(in, line)) {
      ++lineNumber_;
      std::vector<Word> words;
      std::string error;
      if (!SplitLine(line, words, error)) return Fail(out, error);
      if (words.empty()) continue;
      const size_t indent = line.find_first_not_of(' ');
      if (line[indent] == '\t') return Fail(out, "indentation by tabs; indent by two spaces a level");
      const Word& head = words[0];
      if (head.hasKey || head.quoted) return Fail(out, "a line begins with a kind, \"form\" or \"look\"");
      if (head.text == "form") {
        if (sawHeader || root_) return Fail(out, "a second form line, or one after the controls");
        sawHeader = true;
        if (!ParseHeader(words, out)) return Fail(out, error_);
        continue;
      }
      if (head.text == "look") {
        if (words.size() < 2 || words[1].hasKey || words[1].quoted || !IsBareWord(words[1].text))
          return Fail(out, "a look needs a name");
        looks_[words[1].text] = std::vector<Word>(words.begin() + 2, words.end());
        continue;
      }
      const std::optional<int16_t> kind = KindFromName(head.text);
      if (!kind) return Fail(out, "unknown kind \"" + head.text + "\"");
      if (indent % 2) return Fail(out, "indentation that is not a multiple of two spaces");
      const int level = static_cast<int>(indent / 2);
      while (!open.empty() && open.back().first >= level) open.pop_back();
      if (level == 0 && root_) return Fail(out, "a second root control; a form has one");
      if (level > 0 && (open.empty() || open.back().first != level - 1))
        return Fail(out, "indented deeper than one level below its parent");
      Control* c = MakeDefault(*kind);
      if (level == 0)
        root_.reset(c);
      else
        ControlAddChild(open.back().second, c);
      if (!ParseControl(*c, words)) return Fail(out, error_);
      open.push_back({level, c});
    }
    if (!root_) return Fail(out, "no control");
    out.root = std::move(root_);
    return out;
  }

 private:
  FormSource Fail(FormSource& out, const std::string& reason) {
    FormSource failed;
    failed.error = name_ + ":" + std::to_string(lineNumber_) + ": " + reason;
    (void)out;
    return failed;
  }
  bool Error(const std::string& reason) {
    error_ = reason;
    return false;
  }

  bool ParseHeader(const std::vector<Word>& words, FormSource& out) {
    uint32_t save = 1;
    for (size_t i = 1; i < words.size(); ++i) {
      const Word& w = words[i];
      if (!w.hasKey) return Error("the form line takes key=value words");
      if (w.key == "stamp") {
        if (!ParseStamp(w.text, out.stamp)) return Error("a stamp is written 2026-03-14T09:30:15.250");
        continue;
      }
      const std::optional<int64_t> v = ParseNumber(w.text);
      if (!v || !InWidth(*v, Width::k32)) return Error("\"" + w.key + "\" needs a 32-bit number");
      if (w.key == "save") {
        if (*v < 1) return Error("the save count of a written form is 1 or more");
        save = static_cast<uint32_t>(*v);
        continue;
      }
      bool known = false;
      for (const size_t d : kFreeHeaderDwords)
        if (w.key == "d" + std::to_string(d)) {
          out.header.dwords[d] = static_cast<uint32_t>(*v);
          known = true;
        }
      if (!known) return Error("unknown header word \"" + w.key + "\"");
    }
    out.header.dwords[kFormSaveCount] = save - 1;
    return true;
  }

  bool ParseControl(Control& c, const std::vector<Word>& words) {
    size_t i = 1;
    if (i < words.size() && !words[i].hasKey) {
      if (!words[i].quoted && !IsBareWord(words[i].text)) return Error("a tag is a bare word or a quoted text");
      if (words[i].text.size() > kTagSize) return Error("the tag \"" + words[i].text + "\" is longer than 12");
      SetControlTag(&c, words[i].text.c_str());
      ++i;
    }
    // A look only gives defaults: its words go first, whatever their place on
    // the line, so what the line writes for the control itself (a radio
    // group's flags, a start-hidden bit) is applied last and stands.
    std::vector<Word> attributes, own;
    for (; i < words.size(); ++i) {
      const Word& w = words[i];
      if (!w.hasKey) return Error("\"" + w.text + "\" where a key=value word belongs");
      if (w.key == "look") {
        const auto look = looks_.find(w.text);
        if (look == looks_.end()) return Error("no look named \"" + w.text + "\" above");
        attributes.insert(attributes.end(), look->second.begin(), look->second.end());
      } else {
        own.push_back(w);
      }
    }
    attributes.insert(attributes.end(), own.begin(), own.end());
    bool sourceGiven = false, stateGiven = false;
    for (const Word& w : attributes) {
      sourceGiven |= w.key == "source";
      stateGiven |= w.key == "state";
    }
    for (const Word& w : attributes)
      if (!ApplyAttribute(c, w)) return false;
    FillImplied(c, sourceGiven, stateGiven);
    return CheckLimits(c);
  }

  bool ApplyAttribute(Control& c, const Word& w) {
    const Attribute* a = FindAttribute(w.key);
    if (!a) return Error("unknown attribute \"" + w.key + "\"");
    if (!a->applies(c.kind)) return Error("\"" + w.key + "\" does not belong to a " + KindToName(c.kind));
    if (!a->count) {
      if (!w.quoted) return Error("\"" + w.key + "\" takes a quoted text");
      a->setText(c, w.text);
      return true;
    }
    if (w.quoted) return Error("\"" + w.key + "\" takes numbers");
    std::vector<int64_t> values;
    std::string rest = w.text;
    size_t at = 0;
    while (true) {
      const size_t comma = rest.find(',', at);
      const std::string part = rest.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
      std::optional<int64_t> v = ParseNumber(part);
      if (!v && part == "none" && (w.key == "selset" || w.key == "focset")) v = kNoSet;
      if (!v || (!InWidth(*v, a->width) && *v != kNoSet))
        return Error("\"" + part + "\" is not a value of \"" + w.key + "\"");
      values.push_back(*v);
      if (comma == std::string::npos) break;
      at = comma + 1;
    }
    // Missing trailing values repeat the last one given.
    while (a->replicate && static_cast<int>(values.size()) < a->count) values.push_back(values.back());
    if (static_cast<int>(values.size()) != a->count)
      return Error("\"" + w.key + "\" takes " + std::to_string(a->count) + " values");
    a->set(c, values);
    return true;
  }

  // What the loader would cut or reset is refused here.
  bool CheckLimits(const Control& c) {
    if (IsStringKind(c.kind)) {
      const auto& s = As<StringControl>(c);
      if (s.fontSlot > 15) return Error("font slot " + std::to_string(s.fontSlot) + " is above 15");
      std::vector<std::pair<const char*, const std::string*>> texts = {{"text", &s.text}, {"selected", &s.selectedText}};
      if (IsTextKind(c.kind)) {
        const auto& t = As<TextControl>(c);
        texts.insert(texts.end(), {{"source", &t.sourceText}, {"selsource", &t.selectedSourceText}, {"extra", &t.extra}});
      }
      if (c.kind == kKindEdit) texts.push_back({"editextra", &As<EditControl>(c).extraEdit});
      for (const auto& [what, text] : texts)
        if (s.bufferSize && text->size() > s.bufferSize)
          return Error(std::string(what) + " of " + std::to_string(text->size()) + " characters is longer than its buffer of " +
                       std::to_string(s.bufferSize));
    }
    if (c.kind == kKindBitmap) {
      const auto& b = As<BitmapControl>(c);
      for (int look = 0; look < 3; ++look) {
        const int32_t set = b.images[look].set;
        if (set > 8 || set < (look == 0 ? 0 : -1))
          return Error("texture slot " + std::to_string(set) + " is outside 0 to 8");
      }
    }
    return true;
  }

  std::string name_;
  int lineNumber_ = 0;
  std::string error_;
  ControlTree root_;
  std::map<std::string, std::vector<Word>> looks_;
};

// ---------------------------------------------------------------- printing

void PrintControl(std::ostringstream& out, const Control& c, int level) {
  out << std::string(static_cast<size_t>(level) * 2, ' ') << KindToName(c.kind);
  const std::string tag(c.tag, strnlen(c.tag, kTagSize));
  if (!tag.empty()) out << ' ' << (IsBareWord(tag) ? tag : Quote(tag));
  // The control as the compiler makes it from a line with no attributes,
  // with what this control's text and flags imply.
  ControlTree blank(MakeDefault(c.kind));
  const uint32_t defaultFlags = blank->flags;
  blank->text = c.text;
  blank->flags = c.flags;
  FillImplied(*blank, false, false);
  blank->text.clear();
  blank->flags = defaultFlags;
  for (const Attribute& a : Attributes()) {
    if (!a.applies(c.kind)) continue;
    if (!a.count) {
      const std::optional<std::string> value = a.getText(c);
      if (value != a.getText(*blank) && value) out << ' ' << a.name << '=' << Quote(*value);
      continue;
    }
    const std::vector<int64_t> values = a.get(c);
    if (values == a.get(*blank)) continue;
    out << ' ' << a.name << '=';
    size_t shown = values.size();
    while (a.replicate && shown > 1 && values[shown - 1] == values[shown - 2]) --shown;
    for (size_t i = 0; i < shown; ++i) {
      if (i) out << ',';
      if (values[i] == kNoSet && (std::strcmp(a.name, "selset") == 0 || std::strcmp(a.name, "focset") == 0))
        out << "none";
      else
        out << FormatValue(values[i], a.width, a.hex);
    }
  }
  out << '\n';
  if (const Control* child = c.firstChild) {
    do {
      PrintControl(out, *child, level + 1);
      child = child->NextInRing();
    } while (child && child != c.firstChild);
  }
}

}  // namespace

FormSource ParseFormSource(const std::string& text, const std::string& sourceName) {
  return Parser(sourceName).Run(text);
}

std::string PrintFormSource(const FormHeader& header, const Control* root) {
  std::ostringstream out;
  out << "form save=" << header.dwords[kFormSaveCount] << " stamp=" << PrintStamp(header);
  for (const size_t d : kFreeHeaderDwords)
    if (header.dwords[d]) out << " d" << d << '=' << FormatValue(header.dwords[d], Width::k32, true);
  out << '\n';
  if (root) PrintControl(out, *root, 0);
  return out.str();
}

std::vector<uint8_t> CompileFormSource(const std::string& text, const std::string& sourceName, std::string* error) {
  FormSource source = ParseFormSource(text, sourceName);
  if (!source.root) {
    if (error) *error = source.error;
    return {};
  }
  StampClock clock(source.stamp);
  plat::SetClockSource(&clock);
  std::vector<uint8_t> image = BuildFormImage(source.header, source.root.get());
  plat::SetClockSource(nullptr);
  return image;
}
