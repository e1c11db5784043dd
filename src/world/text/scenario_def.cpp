#include "world/text/scenario_def.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/calendar.h"
#include "app/text_tokenizer.h"
#include "world/game_state.h"
#include "world/text/csv_frame.h"
#include "platform/paths.h"
#include "platform/status.h"
#include "records/player_record.h"
#include "world/map_folders.h"
#include "world/world.h"

ScenarioGroupings g_scenarioGroupings;

namespace {

struct SwitchKey {
  const char* key;
  int bit;
};

constexpr SwitchKey kGameFlagKeys[] = {
    {"fogofwar:", 0},         {"teamplay:", 2},         {"norangemult:", 3},         {"advfogofwar:", 4},
    {"nomisrangemult:", 5},   {"nospotrangemult:", 8},  {"nocapitalmove:", 9},       {"limitdareffect:", 10},
    {"limitmareffect:", 11},  {"wminvolve:", 12},       {"wmduse:", 13},             {"fastbuild:", 14},
    {"govchoice:", 15},       {"grouployaltymerge:", 19}, {"groupresearchmerge:", 20},
};

constexpr int kMaxPlayerNumber = 31;
// Feelings between regions are shares and scores of a few units; a
// scenario's starting value beyond this is a typing slip.
constexpr float kFeelingLimit = 1e6f;
constexpr int kMaxTreatyType = 127;

bool AtLineEnd(const char* p) { return !p || *p == '\0' || *p == '\r' || *p == '\n'; }

// Puts the cursor on the keyword's value; false when the keyword is missing.
bool SeekKey(TextTokenizer& t, const char* key) {
  char* value = FindKeyword(t, key, false);
  if (!value) return false;
  t.cursor = value;
  return true;
}

// A number key's value, checked against its field's range: a value that is
// no whole number or lies outside keeps `current`, with a warning naming
// the file, line and key.
int32_t ReadKeyInt(TextTokenizer& t, const char* key, int32_t current, int32_t low, int32_t high) {
  return SeekKey(t, key) ? ReadIntCell(t, current, low, high) : current;
}

uint8_t ReadKeyByte(TextTokenizer& t, const char* key, uint8_t current) {
  return static_cast<uint8_t>(ReadKeyInt(t, key, current, 0, 255));
}

// The years a calendar date of a scenario may name; 0 in a date is "none".
constexpr int32_t kFirstYear = 0;
constexpr int32_t kLastYear = 9999;

// A switch is on when its key is there and its value does not begin with
// 0, F, f, N or n; a missing key or an empty value is off.
bool ReadSwitch(TextTokenizer& t, const char* key) {
  char* value = FindKeyword(t, key, false);
  if (!value || AtLineEnd(value) || *value == ',' || *value == ';') return false;
  return std::strchr("0FfNn", *value) == nullptr;
}

// Three cells year, month, day as a day number.
uint32_t ReadDate(TextTokenizer& t) {
  GameDate date;
  date.year = static_cast<int16_t>(ReadIntCell(t, 0, kFirstYear, kLastYear));
  date.month = static_cast<uint8_t>(ReadIntCell(t, 0, 0, 12));
  date.day = static_cast<uint8_t>(ReadIntCell(t, 0, 0, 31));
  DateToDayNumber(date);
  return static_cast<uint32_t>(date.dayNumber);
}

void ReadMapLinks(TextTokenizer& t, const char* key, uint8_t& count, ScenarioMapLink* links) {
  // The screens walk `count` entries: never more than the list holds.
  if (count > kScenarioMapLinks) count = kScenarioMapLinks;
  if (!SeekKey(t, key)) return;
  for (int i = 0; i < count; ++i) {
    std::free(links[i].mapName);
    links[i].mapName = ReadFieldString(t, "");
    links[i].value1 = ReadIntCell(t, 0, INT32_MIN, INT32_MAX);
    links[i].value2 = ReadIntCell(t, 0, INT32_MIN, INT32_MAX);
  }
}

void ClearGroupings(ScenarioGroupings& g) {
  for (ScenarioGrouping& grouping : g.groupings) grouping = ScenarioGrouping{};
}

void ReadGroupings(TextTokenizer& t, ScenarioSettings& settings, ScenarioGroupings& g) {
  if (!SeekKey(t, "&&GROUPINGS")) return;
  SkipLine(t);
  int32_t count = ReadFieldInt32(t, 0);
  if (count < 0) count = 0;
  if (count > kMaxGroupings) count = kMaxGroupings;
  settings.groupingCount = count;
  SkipLine(t);
  for (int32_t n = 1; n <= count && *t.cursor; ++n) {
    ScenarioGrouping& grouping = g.groupings[n];
    for (int p = 0; p < kGroupingPlayers; ++p) {
      grouping.entries[p].mask |= 1u << p;
      grouping.leader[p] = static_cast<uint8_t>(p);
    }
    const int32_t id = ReadFieldInt32(t, 0);
    if (id == 0) {
      SkipLine(t);
      break;
    }
    grouping.id = id;
    for (int32_t& setting : grouping.settings) setting = ReadFieldInt32(t, 0);
    for (;;) {
      int32_t leader = ReadFieldInt32(t, 0);
      if (leader < 0) leader = 0;
      if (leader == 0 || leader > kMaxPlayerNumber) break;
      for (;;) {
        const int32_t member = ReadFieldInt32(t, 0);
        if (member < 1 || member > kMaxPlayerNumber) break;
        grouping.entries[leader].mask |= 1u << member;
        grouping.entries[member].mask = 0;
        grouping.leader[member] = static_cast<uint8_t>(leader);
      }
      grouping.entries[leader].valueA = ReadFieldInt32(t, 0);
      grouping.entries[leader].valueB = ReadFieldInt32(t, 0);
    }
    SkipLine(t);
  }
}

// The player's key: the two-digit number and the rest.
const char* PlayerKey(char (&buffer)[40], int player, const char* rest) {
  std::snprintf(buffer, sizeof buffer, "%02d%s", player, rest);
  return buffer;
}

// Finds a player's key onward from the section's start; false when it is
// missing or its value is empty.
bool SeekPlayerKey(TextTokenizer& t, char* sectionStart, int player, const char* rest) {
  char key[40];
  t.cursor = sectionStart;
  char* value = FindKeyword(t, PlayerKey(key, player, rest), true);
  if (!value || AtLineEnd(value)) return false;
  t.cursor = value;
  return true;
}

// A list of numbers ended by a missing cell or a number below 1; numbers
// above `highest`, or cells that are no whole number, are passed over with
// a warning naming the cell.
template <typename Each>
void ReadNumberList(TextTokenizer& t, int32_t highest, Each each) {
  for (;;) {
    const char* at = t.cursor;
    if (AtLineEnd(at) || *at == ',' || *at == ';') break;
    const bool whole = CellIsWholeInteger(t);
    const int32_t n = ReadFieldInt32(t, 0);
    if (!whole) {
      LogTextWarning(t, at, "the cell is no whole number; the list ends here.");
      break;
    }
    if (n < 1) break;
    if (n <= highest)
      each(n);
    else
      LogTextWarning(t, at, std::to_string(n) + " is above " + std::to_string(highest) + "; it is passed over.");
  }
}

uint32_t ArmsMask(const char* text) {
  if (std::strchr(text, '*')) return 0xFFFFFFFFu;
  uint32_t mask = 0;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c >= 64; ++c)
    if (*c - 64 <= 31) mask |= 1u << (*c - 64);
  return mask;
}

void ReadPlayerSection(TextTokenizer& t, char* section, PlayerRecord* players, int32_t highest, int p,
                       const ScenarioSettings& settings, TreatyOperation makeTreaty) {
  PlayerRecord& r = players[p];
  const auto byteKey = [&](const char* key, uint8_t& field) {
    if (SeekPlayerKey(t, section, p, key)) field = static_cast<uint8_t>(ReadIntCell(t, field, 0, 255));
  };
  byteKey("music:", r.music);
  if (SeekPlayerKey(t, section, p, "timeoutvictory:"))
    r.timeoutVictory = static_cast<uint8_t>(ReadFieldBool(t, r.timeoutVictory));
  if (SeekPlayerKey(t, section, p, "lossforceend:"))
    r.lossForceEnd = static_cast<uint8_t>(ReadFieldBool(t, r.lossForceEnd));
  if ((settings.head.groupnum == 0 || (settings.campaignFlags & 2u)) && SeekPlayerKey(t, section, p, "startemail:"))
    r.startEmail = static_cast<uint16_t>(ReadIntCell(t, r.startEmail, 0, 65535));
  if (SeekPlayerKey(t, section, p, "electionymd:")) {
    GameDate date;
    const int32_t y = ReadIntCell(t, 0, kFirstYear, kLastYear), m = ReadIntCell(t, 0, 0, 12), d = ReadIntCell(t, 0, 0, 31);
    if (y != 0 && m != 0 && d != 0) {
      date.year = static_cast<int16_t>(y);
      date.month = static_cast<uint8_t>(m);
      date.day = static_cast<uint8_t>(d);
      DateToDayNumber(date);
      r.electionDay = static_cast<uint32_t>(date.dayNumber);
    }
  }
  byteKey("playeraistance:", r.aiStance);
  byteKey("playeragenda:", r.agenda);
  byteKey("govtype:", r.govtype);
  if (SeekPlayerKey(t, section, p, "politic:")) r.politic = static_cast<int8_t>(ReadIntCell(t, r.politic, -128, 127));
  byteKey("avatar:", r.avatar);
  if (SeekPlayerKey(t, section, p, "armsavail:")) {
    char* text = ReadFieldString(t, nullptr);
    if (text && text[0]) r.armsAvail = ArmsMask(text);
    std::free(text);
  }
  struct Feeling {
    const char* key;
    float* values;
  } feelings[] = {{"belli:", r.belligerence}, {"civattitude:", r.civilAttitude}, {"diprelate:", r.diplomaticRelation}};
  for (const Feeling& f : feelings) {
    if (!SeekPlayerKey(t, section, p, f.key)) continue;
    for (int q = 1; q <= highest; ++q) f.values[q] = ReadRealCell(t, f.values[q], -kFeelingLimit, kFeelingLimit);
  }
  if (SeekPlayerKey(t, section, p, "war:")) {
    ReadNumberList(t, kMaxPlayerNumber, [&](int32_t q) {
      r.displayPolicy.hostileMask |= 1u << q;
      r.simPolicy.hostileMask |= 1u << q;
    });
  }
  if (SeekPlayerKey(t, section, p, "ceasefire:")) {
    ReadNumberList(t, kMaxPlayerNumber, [&](int32_t q) {
      for (PlayerPolicyBlock* b : {&r.displayPolicy, &r.simPolicy}) {
        b->ceasefireMask |= 1u << q;
        b->hostileMask &= ~(1u << q);
      }
    });
  }
  for (int q = 1; q <= highest; ++q) {
    char rest[24];
    std::snprintf(rest, sizeof rest, "treaties[%d]:", q);
    if (!SeekPlayerKey(t, section, p, rest)) continue;
    ReadNumberList(t, kMaxTreatyType, [&](int32_t type) {
      if (!makeTreaty) return;
      // A scenario's starting treaties bring their kinds with them but are no
      // act of either side, so they move no feelings or ratings.
      makeTreaty(r, 0, type, true, q, true, false);
      makeTreaty(r, 1, type, true, q, true, false);
    });
  }
}

// Every writer ends a scenario file with a line end; one that stops inside
// a line was cut short, and its later keys are missing. A NUL byte would end
// the text early.
void WarnOfDamagedText(TextTokenizer& t) {
  const size_t size = static_cast<size_t>(t.length);
  if (const void* nul = std::memchr(t.text, '\0', size)) {
    LogTextWarning(t, static_cast<const char*>(nul), "a NUL byte ends the text here; the keys after it are not read.");
    return;
  }
  const char last = t.text[size - 1];
  if (last != '\n' && last != '\r')
    LogTextWarning(t, t.text + size - 1, "the file ends inside a line: it may have been cut short.");
}

}  // namespace

const char* ScenarioDirectory(const char* directory, bool customFolder) {
  if (directory) return directory;
  return customFolder ? "CUSTOM\\" : "Scenario\\";
}

int32_t LoadScenarioDef(ScenarioSettings& settings, ScenarioGroupings& groupings, const char* directory,
                        const char* name, bool customFolder) {
  ClearScenarioSettings(settings);
  ClearGroupings(groupings);
  if (!name) return plat::kFail;
  TextTokenizer t;
  if (LoadTextFile(ScenarioDirectory(directory, customFolder), t, name, ".GMC") < 0 || !t.text || t.length <= 0)
    return plat::kFail;
  WarnOfDamagedText(t);

  settings.gamfile = ReadKeywordString(t, "gamfile:", nullptr);
  settings.gmtfile = ReadKeywordString(t, "gmtfile:", "DEFAULT");
  settings.ttrfile = ReadKeywordString(t, "ttrfile:", "DEFAULT");
  settings.pplfile = ReadKeywordString(t, "pplfile:", "DEFAULT");
  settings.unifile = ReadKeywordString(t, "unifile:", "DEFAULT");
  settings.terfile = ReadKeywordString(t, "terfile:", "DEFAULT");
  settings.playsetfile = ReadKeywordString(t, "playsetfile:", "DEFAULT");
  settings.nextupmap = ReadKeywordString(t, "nextupmap:", nullptr);

  settings.maplevel = ReadKeyInt(t, "maplevel:", 0, 0, INT32_MAX - 1);
  if (ReadKeyInt(t, "mapmission:", 0, 0, INT32_MAX - 1) & 1) settings.campaignFlags |= 2u;
  settings.mapmusic = ReadKeyByte(t, "mapmusic:", 0);
  if (SeekKey(t, "startymd:")) settings.startDay = ReadDate(t);
  if (SeekKey(t, "victoryymd:")) settings.victoryDay = ReadDate(t);
  if (SeekKey(t, "victoryhex:")) {
    settings.victoryHexX = static_cast<int16_t>(ReadIntCell(t, 0, INT16_MIN, INT16_MAX));
    settings.victoryHexY = static_cast<int16_t>(ReadIntCell(t, 0, INT16_MIN, INT16_MAX));
  }

  if (ReadSwitch(t, "campaignstart:")) settings.campaignFlags |= 1u;
  // The scenario's switches are its whole rule word, as its other keys are
  // their fields: a set-up default the scenario does not name is off.
  settings.head.gameFlags = 0;
  for (const SwitchKey& s : kGameFlagKeys)
    if (ReadSwitch(t, s.key)) settings.head.gameFlags |= 1u << s.bit;

  settings.cvictorycond = ReadKeyByte(t, "cvictorycond:", 0);
  settings.numwinchoice = ReadKeyByte(t, "numwinchoice:", 0);
  settings.numlosechoice = ReadKeyByte(t, "numlosechoice:", 0);
  ReadMapLinks(t, "winmaps:", settings.numwinchoice, settings.winmaps);
  ReadMapLinks(t, "losemaps:", settings.numlosechoice, settings.losemaps);

  ScenarioHead& h = settings.head;
  h.svictorycond = ReadKeyByte(t, "svictorycond:", 0);
  h.difficulty = ReadKeyByte(t, "difficulty:", 0);
  h.resources = ReadKeyByte(t, "resources:", 0);
  h.gamelength = ReadKeyByte(t, "gamelength:", 0);
  h.techtreedefault = ReadKeyByte(t, "techtreedefault:", 0);
  h.startyear = ReadKeyInt(t, "startyear:", 0, 0, kLastYear);
  h.turnlength = ReadKeyInt(t, "turnlength:", 0, 0, kGameDayMinutes * kLongestTurnDays);
  h.initialfunds = ReadKeyByte(t, "initialfunds:", 0);
  h.reservelimit = ReadKeyByte(t, "reservelimit:", 0);
  h.aistance = ReadKeyByte(t, "aistance:", 0);
  h.groupnum = ReadKeyByte(t, "groupnum:", 0);

  ReadGroupings(t, settings, groupings);
  return plat::kOk;
}

int32_t LoadScenarioPlayers(PlayerRecord* players, int32_t highestPlayer, const ScenarioSettings& settings,
                            const char* directory, const char* name, bool customFolder, TreatyOperation makeTreaty) {
  if (!players) return plat::kFail;
  const int32_t highest = highestPlayer < kMaxPlayerNumber ? highestPlayer : kMaxPlayerNumber;
  for (int p = 1; p <= highest; ++p) {
    players[p].music = settings.mapmusic;
    if (settings.head.groupnum == 0) players[p].startEmail = static_cast<uint16_t>(p);
  }
  if (!name) return plat::kFail;
  TextTokenizer t;
  if (LoadTextFile(ScenarioDirectory(directory, customFolder), t, name, ".GMC") < 0 || !t.text || t.length <= 0)
    return plat::kFail;
  char* position = t.text;
  for (int p = 1; p <= highest; ++p) {
    char section[24];
    std::snprintf(section, sizeof section, "&&PLAYER%02d", p);
    t.cursor = position;
    char* value = FindKeyword(t, section, true);
    if (!value) continue;
    t.cursor = value;
    SkipLine(t);
    position = t.cursor;
    ReadPlayerSection(t, position, players, highest, p, settings, makeTreaty);
  }
  return plat::kOk;
}

int32_t LoadScenarioDef(World& world, const char* directory, const char* name) {
  return LoadScenarioDef(world.scenario, g_scenarioGroupings, directory, name, ReadsCustomFolder());
}

namespace {

std::string DateCells(uint32_t dayNumber) {
  GameDate date;
  date.dayNumber = static_cast<int32_t>(dayNumber);
  DayNumberToDate(date);
  return std::to_string(date.year) + ", " + std::to_string(date.month) + ", " + std::to_string(date.day);
}

// A name as the reader takes it back: an empty one reads as "DEFAULT", and
// a quote or line end would cut it short, so those are left out.
std::string FileName(const char* name) {
  std::string out;
  for (const char* c = name ? name : ""; *c; ++c)
    if (*c != '"' && *c != '\r' && *c != '\n') out += *c;
  return out.empty() ? std::string("DEFAULT") : out;
}

// A map name in a list of cells: no separator or line end inside it.
std::string Cell(const char* name) {
  std::string out;
  for (const char* c = name ? name : ""; *c; ++c)
    if (*c != ',' && *c != ';' && *c != '"' && *c != '\r' && *c != '\n') out += *c;
  return out;
}

void GroupingLines(std::string& out, const ScenarioSettings& settings, const ScenarioGroupings& groupings) {
  const int32_t count = settings.groupingCount < kMaxGroupings ? settings.groupingCount : kMaxGroupings;
  if (count < 1) return;
  out += "\n&&GROUPINGS\n" + std::to_string(count) + "\n";
  for (int32_t n = 1; n <= count; ++n) {
    const ScenarioGrouping& g = groupings.groupings[n];
    if (g.id == 0) break;
    out += std::to_string(g.id);
    for (int32_t setting : g.settings) out += ", " + std::to_string(setting);
    // Each player who leads others or carries values, its members after it.
    for (int p = 1; p <= kMaxPlayerNumber; ++p) {
      const GroupingEntry& e = g.entries[p];
      const uint32_t members = e.mask & ~(1u << p);
      if (g.leader[p] != p || (members == 0 && e.valueA == 0 && e.valueB == 0)) continue;
      out += ", " + std::to_string(p);
      for (int q = 1; q <= kMaxPlayerNumber; ++q)
        if (members & (1u << q)) out += ", " + std::to_string(q);
      out += ", 0, " + std::to_string(e.valueA) + ", " + std::to_string(e.valueB);
    }
    out += ", 0\n";
  }
}

}  // namespace

std::string ScenarioDefText(const ScenarioSettings& s, const ScenarioGroupings& groupings,
                            const ScenarioDefFiles& files) {
  std::string out;
  const auto line = [&out](const char* key, const std::string& value) {
    out += key;
    out += ' ';
    out += value;
    out += '\n';
  };
  const auto number = [&line](const char* key, int64_t value) { line(key, std::to_string(value)); };
  line("gamfile:", "\"" + FileName(files.gamfile) + "\"");
  line("gmtfile:", FileName(files.gmtfile));
  line("ttrfile:", FileName(files.ttrfile));
  line("pplfile:", FileName(files.pplfile));
  line("unifile:", FileName(files.unifile));
  line("terfile:", FileName(files.terfile));
  line("playsetfile:", FileName(files.playsetfile));
  line("nextupmap:", s.nextupmap && *s.nextupmap ? "\"" + FileName(s.nextupmap) + "\"" : "");
  number("maplevel:", s.maplevel);
  number("mapmission:", (s.campaignFlags & 2u) ? 1 : 0);
  number("mapmusic:", s.mapmusic);
  line("startymd:", DateCells(s.startDay));
  if (s.victoryDay != 0) line("victoryymd:", DateCells(s.victoryDay));
  line("victoryhex:", std::to_string(s.victoryHexX) + ", " + std::to_string(s.victoryHexY));
  line("campaignstart:", (s.campaignFlags & 1u) ? "yes" : "no");
  for (const SwitchKey& k : kGameFlagKeys) line(k.key, (s.head.gameFlags & (1u << k.bit)) ? "yes" : "no");
  const ScenarioHead& h = s.head;
  number("svictorycond:", h.svictorycond);
  number("difficulty:", h.difficulty);
  number("resources:", h.resources);
  number("gamelength:", h.gamelength);
  number("techtreedefault:", h.techtreedefault);
  number("startyear:", h.startyear);
  number("turnlength:", h.turnlength);
  number("initialfunds:", h.initialfunds);
  number("reservelimit:", h.reservelimit);
  number("aistance:", h.aistance);
  number("groupnum:", h.groupnum);
  number("cvictorycond:", s.cvictorycond);
  const auto links = [&](const char* countKey, const char* listKey, uint8_t count, const ScenarioMapLink* list) {
    const int n = count < kScenarioMapLinks ? count : kScenarioMapLinks;
    number(countKey, n);
    if (n == 0) return;
    std::string cells;
    for (int i = 0; i < n; ++i)
      cells += (i ? ", " : "") + Cell(list[i].mapName) + ", " + std::to_string(list[i].value1) + ", " +
               std::to_string(list[i].value2);
    line(listKey, cells);
  };
  links("numwinchoice:", "winmaps:", s.numwinchoice, s.winmaps);
  links("numlosechoice:", "losemaps:", s.numlosechoice, s.losemaps);
  GroupingLines(out, s, groupings);
  return out;
}

int32_t WriteScenarioDef(const std::string& text, const char* directory, const char* name) {
  if (!directory || !name || !*name) return plat::kFail;
  const std::string path = std::string(directory) + name + ".GMC";
  if (!plat::MakeGameDirectories(directory)) return plat::kFail;
  return plat::Failed(plat::WriteFileReplacing(path, text.data(), text.size())) ? plat::kFail : plat::kOk;
}
