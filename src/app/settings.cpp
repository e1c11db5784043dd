#include "app/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/paths.h"

namespace {

// ---- the values ---------------------------------------------------------

using Text = SettingText;

// In reading order.
constexpr TextSetting kTexts[] = {
    {"Player Name", Text::kPlayerName, 15, "PLAYER"},
    {"Session Name", Text::kSessionName, 259, "New Game"},
    {"Preferred Provider", Text::kPreferredProvider, 259, nullptr},
    {"Last Host IP", Text::kLastHostIp, 259, "255.255.255.255"},
    {"Language File", Text::kLanguageFile, 15, "LOCALEN"},
    {"HAPS Directory", Text::kHapsDirectory, 15, "HAPS\\"},
    {"Options File", Text::kOptionsFile, 15, "Options"},
    {"SaveGame Path", Text::kSaveGamePath, 255, "Savegame\\"},
    {"PBEMGame Path", Text::kPbemGamePath, 255, "PBEM\\"},
};

constexpr Text kTextWriteOrder[] = {Text::kPlayerName,   Text::kSessionName,  Text::kPreferredProvider,
                                    Text::kLastHostIp,   Text::kLanguageFile, Text::kSaveGamePath,
                                    Text::kPbemGamePath, Text::kOptionsFile,  Text::kHapsDirectory};

constexpr NumberSetting kNumbers[] = {
    {"Nocutscene", kSetNocutscene, nullptr, 1},
    {"Nonumanim", kSetNonumanim, nullptr, 1},
    {"Noswoosh", kSetNoswoosh, nullptr, 1},
    {"Nosoundinit", kSetNosoundinit, nullptr, 0},
    {"Nomusicinit", kSetNomusicinit, nullptr, 0},
    {"VDBitshires", kSetVDBitshires, nullptr, 1},
    {"Tbitshires", kSetTbitshires, nullptr, 1},
    {"Ubitshires", kSetUbitshires, nullptr, 1},
    {"Unitbitshires", kSetUnitbitshires, nullptr, 1},
    {"Loadingbitshires", kSetLoadingbitshires, nullptr, 1},
    {"Mapbackhires", kSetMapbackhires, nullptr, 1},
    {"Mapbasehires", kSetMapbasehires, nullptr, 1},
    {"Backbufhires", kSetBackbufhires, nullptr, 1},
    {"Minimapbasevidmem", kSetMinimapbasevidmem, nullptr, 1},
    {"UseHWCursor", kSetUseHWCursor, nullptr, 0},
    {"OverrideSqTex", kSetOverrideSqTex, nullptr, 0},
    {"OverrideCurThreadDef", kSetOverrideCurThreadDef, nullptr, 0},
    {"Gamerezx", 0, &AppObject::gamerezx, 1024},
    {"Gamerezy", 0, &AppObject::gamerezy, 768},
    {"Gamerezbpp", 0, &AppObject::gamerezbpp, 32},
    {"Gameadapternum", 0, &AppObject::gameadapternum, 0},
    {"Gamerezref", 0, &AppObject::gamerezref, 0},
    {"Gamerezaa", 0, &AppObject::gamerezaa, 0},
    {"SoundSimDef", 0, &AppObject::soundSimDef, 4},
    {"SoundMinOverlap", 0, &AppObject::soundMinOverlap, 75},
    {"SysACKSlices", 0, &AppObject::sysACKSlices, 15},
    {"SysSleepTurnprocDef", 0, &AppObject::sysSleepTurnprocDef, 5},
    {"SysSleepSkipDef", 0, &AppObject::sysSleepSkipDef, 0},
    {"SysTimePeriod", 0, &AppObject::sysTimePeriod, 0},
};

constexpr const char* kNumberReadOrder[] = {
    "Nocutscene",    "Nonumanim",        "Noswoosh",      "Nosoundinit",  "Nomusicinit",         "Gamerezx",
    "Gamerezy",      "Gamerezbpp",       "Gameadapternum", "Gamerezref",  "Gamerezaa",           "VDBitshires",
    "Mapbasehires",  "Tbitshires",       "Ubitshires",    "Unitbitshires", "Backbufhires",       "Minimapbasevidmem",
    "Mapbackhires",  "Loadingbitshires", "UseHWCursor",   "OverrideSqTex", "OverrideCurThreadDef", "SoundSimDef",
    "SoundMinOverlap", "SysACKSlices",   "SysSleepTurnprocDef", "SysSleepSkipDef", "SysTimePeriod"};

constexpr const char* kNumberWriteOrder[] = {
    "Nocutscene",    "Nonumanim",        "Noswoosh",      "Nosoundinit",  "Nomusicinit",         "Gamerezx",
    "Gamerezy",      "Gamerezbpp",       "Gameadapternum", "Gamerezref",  "Gamerezaa",           "VDBitshires",
    "Mapbasehires",  "Tbitshires",       "Ubitshires",    "Unitbitshires", "Mapbackhires",       "Loadingbitshires",
    "Backbufhires",  "Minimapbasevidmem", "UseHWCursor",  "OverrideSqTex", "OverrideCurThreadDef", "SoundSimDef",
    "SoundMinOverlap", "SysACKSlices",   "SysSleepTurnprocDef", "SysSleepSkipDef", "SysTimePeriod"};

static_assert(std::size(kNumbers) == 29 && std::size(kNumberReadOrder) == 29 && std::size(kNumberWriteOrder) == 29);
static_assert(std::size(kTexts) == 9 && std::size(kTextWriteOrder) == 9);

constexpr bool SameName(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

constexpr const NumberSetting* FindNumber(const char* name) {
  for (const NumberSetting& setting : kNumbers) {
    if (SameName(setting.name, name)) return &setting;
  }
  return nullptr;
}

constexpr bool OrderNamesEveryNumberOnce(const char* const (&order)[29]) {
  for (const char* name : order) {
    if (!FindNumber(name)) return false;
    int count = 0;
    for (const char* other : order) count += SameName(name, other) ? 1 : 0;
    if (count != 1) return false;
  }
  return true;
}
static_assert(OrderNamesEveryNumberOnce(kNumberReadOrder) && OrderNamesEveryNumberOnce(kNumberWriteOrder));

const TextSetting& FindText(Text which) {
  for (const TextSetting& setting : kTexts) {
    if (setting.which == which) return setting;
  }
  return kTexts[0];
}

// The destination of a text value and the size of its buffer.
template <typename Identity>
auto TextSlot(AppObject& app, Identity& net, Text which) {
  struct Slot {
    decltype(&net.playerName[0]) text;
    size_t capacity;
  };
  switch (which) {
    case Text::kPlayerName: return Slot{net.playerName, sizeof net.playerName};
    case Text::kSessionName: return Slot{net.sessionName, sizeof net.sessionName};
    case Text::kPreferredProvider: return Slot{net.preferredProvider, sizeof net.preferredProvider};
    case Text::kLastHostIp: return Slot{net.hostAddress, sizeof net.hostAddress};
    case Text::kLanguageFile: return Slot{app.languageFile, sizeof app.languageFile};
    case Text::kHapsDirectory: return Slot{app.hapsDirectory, sizeof app.hapsDirectory};
    case Text::kOptionsFile: return Slot{app.optionsFile, sizeof app.optionsFile};
    case Text::kSaveGamePath: return Slot{app.saveGamePath, sizeof app.saveGamePath};
    case Text::kPbemGamePath: break;
  }
  return Slot{app.pbemGamePath, sizeof app.pbemGamePath};
}

// ---- the file -------------------------------------------------------------

constexpr size_t kMaxSettingsFileBytes = 1 << 20;  // far beyond anything the game writes

std::mutex& PathLock() {
  static std::mutex lock;
  return lock;
}

std::string& PathOverride() {
  static std::string path;
  return path;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The section a header line names, or nullopt when the line is no header.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return Trim(line.substr(1, line.size() - 2));
}

// The name of a value line, or nullopt when the line holds no '='.
std::optional<std::string_view> ValueName(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

// The file's lines without their line ends; nullopt when it cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content;
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    content.append(chunk, static_cast<size_t>(in.gcount()));
    if (content.size() > kMaxSettingsFileBytes) return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// Lines [begin, end) hold the section's values: begin is after its header.
struct SectionRange {
  size_t begin = 0;
  size_t end = 0;
};

std::optional<SectionRange> FindSection(const std::vector<std::string>& lines, std::string_view keyPath) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (!name || !EqualsIgnoreCase(*name, keyPath)) continue;
    SectionRange range{i + 1, i + 1};
    while (range.end < lines.size() && !SectionName(lines[range.end])) ++range.end;
    return range;
  }
  return std::nullopt;
}

// The line of a value in the section, or nullopt.
std::optional<size_t> FindValue(const std::vector<std::string>& lines, SectionRange range, std::string_view name) {
  for (size_t i = range.begin; i < range.end; ++i) {
    const auto lineName = ValueName(lines[i]);
    if (lineName && EqualsIgnoreCase(*lineName, name)) return i;
  }
  return std::nullopt;
}

std::string_view ValueText(const std::string& line) { return std::string_view(line).substr(line.find('=') + 1); }

// A 32-bit number: a signed decimal; 2^31 to 2^32 - 1 give their bit pattern.
std::optional<int32_t> ParseNumber(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (negative ? value > (uint64_t{1} << 31) : value > UINT32_MAX) return std::nullopt;
  const uint32_t bits = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  return static_cast<int32_t>(bits);
}

// Writes the file whole beside itself and renames it into place.
bool WriteFileReplacing(const std::string& path, const std::string& content) {
  const std::filesystem::path target(path);
  std::error_code ec;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
  if (ec) return false;
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = true;
  size_t done = 0;
  while (ok && done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

// What the settings reader has open while app.keyHandle is set: the file's
// lines and the section of the key.
struct OpenKey {
  std::vector<std::string> lines;
  SectionRange section;
};

OpenKey*& CurrentKey() {
  static OpenKey* key = nullptr;
  return key;
}

std::optional<std::string_view> QueryValue(const AppObject& app, const char* name) {
  const OpenKey* key = CurrentKey();
  if (!app.keyHandle || !key || !name) return std::nullopt;
  const auto line = FindValue(key->lines, key->section, name);
  if (!line) return std::nullopt;
  return ValueText(key->lines[*line]);
}

void CopyCut(char* destination, std::string_view text, size_t maximum) {
  const size_t n = std::min(text.size(), maximum);
  std::memcpy(destination, text.data(), n);
  destination[n] = '\0';
}

}  // namespace

std::span<const TextSetting> TextSettings() { return kTexts; }
std::span<const NumberSetting> NumberSettings() { return kNumbers; }
std::span<const SettingText> TextWriteOrder() { return kTextWriteOrder; }
std::span<const char* const> NumberWriteOrder() { return kNumberWriteOrder; }

std::span<char> TextSettingSlot(AppObject& app, NetIdentity& net, SettingText which) {
  const auto slot = TextSlot(app, net, which);
  return {slot.text, slot.capacity};
}

void SetSettingsFilePath(const std::string& path) {
  std::lock_guard<std::mutex> guard(PathLock());
  PathOverride() = path;
}

std::string SettingsFilePath() {
  {
    std::lock_guard<std::mutex> guard(PathLock());
    if (!PathOverride().empty()) return PathOverride();
  }
  return (std::filesystem::path(plat::ConfigDirectory()) / "settings.ini").string();
}

int ReadRegistryString(AppObject& app, const char* valueName, int maximum, const char* defaultText,
                       char* destination) {
  if (!destination) return 0;
  const size_t limit = maximum > 0 ? static_cast<size_t>(maximum) : 0;
  destination[0] = '\0';
  if (const auto value = QueryValue(app, valueName)) {
    // A text ends at its first NUL, as a stored string would.
    CopyCut(destination, value->substr(0, value->find('\0')), limit);
  }
  if (destination[0] == '\0' && defaultText) CopyCut(destination, defaultText, limit);
  return static_cast<int>(std::strlen(destination)) + 1;
}

void LoadRegistrySettings(AppObject& app, NetIdentity& net, const char* keyPath) {
  OpenKey key;
  app.keyHandle = 0;
  if (keyPath && *keyPath) {
    if (auto lines = ReadLines(SettingsFilePath())) {
      if (const auto section = FindSection(*lines, keyPath)) {
        key.lines = std::move(*lines);
        key.section = *section;
        CurrentKey() = &key;
        app.keyHandle = 1;
      }
    }
  }

  for (const TextSetting& setting : kTexts) {
    const auto slot = TextSlot(app, net, setting.which);
    const int maximum = std::min(setting.maximum, static_cast<int>(slot.capacity) - 1);
    ReadRegistryString(app, setting.name, maximum, setting.defaultText, slot.text);
  }
  for (const char* name : kNumberReadOrder) {
    const NumberSetting& setting = *FindNumber(name);
    int32_t value = setting.defaultValue;
    if (const auto text = QueryValue(app, setting.name)) {
      if (const auto number = ParseNumber(*text)) value = *number;
    }
    if (setting.member) {
      app.*setting.member = value;
    } else {
      app.SetFlag(setting.bit, (value & 1) != 0);
    }
  }

  CurrentKey() = nullptr;
  app.keyHandle = 0;
}

plat::Status SaveRegistrySettings(AppObject& app, const NetIdentity& net, const char* keyPath) {
  if (!keyPath || !*keyPath) return plat::kInvalidArg;
  const std::string path = SettingsFilePath();
  // Everything else in the file stays as it was; a file that cannot be read
  // is replaced.
  std::vector<std::string> lines = ReadLines(path).value_or(std::vector<std::string>{});
  auto section = FindSection(lines, keyPath);
  if (!section) {
    if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
    lines.push_back(std::string("[") + keyPath + "]");
    section = SectionRange{lines.size(), lines.size()};
  }
  app.keyHandle = 1;

  const auto setValue = [&](const char* name, std::string_view value) {
    std::string line = std::string(name) + "=" + std::string(value);
    if (const auto at = FindValue(lines, *section, name)) {
      lines[*at] = std::move(line);
      return;
    }
    // New values go after the section's last non-empty line.
    size_t insertAt = section->end;
    while (insertAt > section->begin && Trim(lines[insertAt - 1]).empty()) --insertAt;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    ++section->end;
  };

  for (Text which : kTextWriteOrder) {
    const TextSetting& setting = FindText(which);
    const auto slot = TextSlot(app, net, which);
    std::string_view text(slot.text, strnlen(slot.text, slot.capacity));
    // One value a line: a line end can never be part of a stored text.
    text = text.substr(0, text.find_first_of("\r\n"));
    setValue(setting.name, text);
  }
  for (const char* name : kNumberWriteOrder) {
    const NumberSetting& setting = *FindNumber(name);
    const int32_t value = setting.member ? app.*setting.member : (app.Flag(setting.bit) ? 1 : 0);
    setValue(setting.name, std::to_string(value));
  }

  std::string content;
  for (const std::string& line : lines) {
    content += line;
    content += '\n';
  }
  const bool written = WriteFileReplacing(path, content);
  app.keyHandle = 0;
  return written ? plat::kOk : plat::kFail;
}
