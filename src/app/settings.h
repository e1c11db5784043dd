#pragma once
// The program's machine-wide settings (9 texts, 17 flags, 12 numbers), read
// once at start, changed by the option screens and written back at exit, and
// the command-line options that override the network identity and choose the
// network role or the map editor.
//
// The settings live in a text file, "settings.ini" in the user's
// configuration folder (plat::ConfigDirectory()), made like this:
//
//   [Software\Quellbrook\Veldrane]
//   Player Name=PLAYER
//   Nocutscene=1
//   Gamerezx=1024
//
// The key path names the section; values are read only from that section.
// Each value is one line, Name=value: the name is compared ignoring case and
// blanks around it; a text value is everything after the first '=' as it
// stands; a number is a signed decimal (0 to 4294967295 are taken as the
// 32-bit pattern). A flag counts only its lowest bit. A missing or
// unreadable file, a missing section or value, or a number that does not
// read as one, gives that value's default. Writing keeps every other section
// and line of the file, creates the folder when needed, and replaces the
// file in one step (temporary file, then rename).
#include <cstdint>
#include <span>
#include <string>

#include "app/app_object.h"
#include "platform/status.h"

// The network identity: kept in the network session's record, filled from
// the settings and the command line.
struct NetIdentity {
  char playerName[16] = {};
  char sessionName[260] = {};
  char preferredProvider[260] = {};
  char hostAddress[260] = {};
  char connectAddress[260] = {};
  uint32_t port = 0;
};

// The section of the settings file the program keeps its settings in.
inline constexpr const char* kSettingsKeyPath = "Software\\Quellbrook\\Veldrane";

// The table of settings, which the reader, the writer and their tests go by.
enum class SettingText : uint8_t {
  kPlayerName, kSessionName, kPreferredProvider, kLastHostIp, kLanguageFile, kHapsDirectory, kOptionsFile,
  kSaveGamePath, kPbemGamePath
};

struct TextSetting {
  const char* name;
  SettingText which;
  int maximum;  // characters, without the terminator
  const char* defaultText;  // null for an empty text
};

// A flag (bit set, member null) or a number (member set).
struct NumberSetting {
  const char* name;
  uint32_t bit;
  int32_t AppObject::*member;
  int32_t defaultValue;
};

// The texts and the numbers, each in reading order, and the names in the
// order the writer writes them.
std::span<const TextSetting> TextSettings();
std::span<const NumberSetting> NumberSettings();
std::span<const SettingText> TextWriteOrder();
std::span<const char* const> NumberWriteOrder();
// The buffer that holds a text setting, with its size.
std::span<char> TextSettingSlot(AppObject& app, NetIdentity& net, SettingText which);

// Reads every setting, each falling back to its default.
void LoadRegistrySettings(AppObject& app, NetIdentity& net, const char* keyPath);
// Writes every setting: kOk, kInvalidArg (nothing written) without a key
// path, kFail when the file cannot be written (it then stays as it was).
plat::Status SaveRegistrySettings(AppObject& app, const NetIdentity& net, const char* keyPath);
// Reads one text value while the settings are being read (app.keyHandle set):
// at most `maximum` characters into destination (which holds maximum + 1),
// the default when the value is missing or empty. Returns the length of the
// result plus 1.
int ReadRegistryString(AppObject& app, const char* valueName, int maximum, const char* defaultText,
                       char* destination);

// Points the settings at another file (tests); an empty path restores
// settings.ini in the configuration folder.
void SetSettingsFilePath(const std::string& path);
std::string SettingsFilePath();

// Command line. "-host" names the session (role 1), "-client" the host's
// address (role 2 without -host), "-player" the player, "-port" the port (0
// without it); "-maxplayers" and "-pw" are accepted and change nothing;
// "-mapedit" sets the map-editor flag. An unquoted value runs to the end of
// the line, taking in the options after it; a quoted one ends at its quote.
// netRole: 0 none, 1 host, 2 client (unchanged without -host and -client).
void ParseCommandLine(AppObject& app, NetIdentity& net, int32_t& netRole, int32_t& mapEditorFlag,
                      const char* commandLine);

// "-formedit" asks for the layout editor instead of the game; its value
// (to the end of the line unless quoted, possibly empty) names the form it
// loads first. False without the option.
bool ReadFormEditorOption(const char* commandLine, std::string* name);

// What the program prints for "--help", an argument of its own, before it
// ends with code 0 instead of starting.
extern const char kCommandLineUsage[];
bool CommandLineAsksHelp(int argc, const char* const* argv);
