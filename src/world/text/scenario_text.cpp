#include "world/text/scenario_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_object.h"
#include "app/text_tokenizer.h"
#include "platform/status.h"
#include "world/text/scenario_def.h"
#include "world/world.h"

ScenarioText g_scenarioText;

namespace {

char* CopyText(const char* text) {
  const size_t size = std::strlen(text);
  auto* copy = static_cast<char*>(std::malloc(size + 1));
  if (copy) std::memcpy(copy, text, size + 1);
  return copy;
}

// Finds a section onward from the cursor and puts the cursor on the line
// after its keyword; false, with the cursor kept, when it is not there.
bool EnterSection(TextTokenizer& t, const char* keyword) {
  char* value = FindKeyword(t, keyword, true);
  if (!value) return false;
  t.cursor = value;
  SkipLine(t);
  return true;
}

// A section whose text is the first cell of the line after its keyword.
void ReadSectionText(TextTokenizer& t, const char* keyword, OwnedText& slot) {
  if (EnterSection(t, keyword)) slot.reset(ReadFieldString(t, ""));
}

bool StartsSection(const char* cell) { return cell[0] == '&' && cell[1] == '&'; }

void ReadRegionNames(TextTokenizer& t, ScenarioText& text) {
  if (!EnterSection(t, "&&REGIONS")) return;
  for (int i = 0; i < kScenarioRegionNames && *t.cursor; ++i) {
    char* lineStart = t.cursor;
    char* name = ReadFieldString(t, nullptr);
    // A blank line ends the list; so does the next section's keyword, which
    // must stay there to be found.
    if (!name || !name[0] || StartsSection(name)) {
      std::free(name);
      t.cursor = lineStart;
      return;
    }
    text.regionNames[i].reset(name);
    SkipLine(t);
  }
}

void ReadGroupingNames(TextTokenizer& t, ScenarioText& text) {
  if (!EnterSection(t, "&&GROUPINGS")) return;
  for (int g = 0; g < kScenarioGroupingNames && *t.cursor; ++g) {
    char* lineStart = t.cursor;
    char* name = ReadFieldString(t, nullptr);
    if (!name || !name[0] || name[0] == ' ' || name[0] == '&') {
      std::free(name);
      t.cursor = lineStart;
      break;
    }
    text.groupingNames[g].reset(name);
    for (OwnedText& entry : text.groupingEntryNames[g]) entry.reset(ReadFieldString(t, nullptr));
    SkipLine(t);
  }
  // The line after the list goes, unless it opens the next section.
  if (*t.cursor && !StartsSection(t.cursor)) SkipLine(t);
}

void NameUnnamedGroupings(ScenarioText& text, const ScenarioSettings& settings, const ScenarioGroupings& groupings) {
  int32_t count = settings.groupingCount;
  if (count > kScenarioGroupingNames) count = kScenarioGroupingNames;
  for (int g = 1; g <= count; ++g) {
    if (text.groupingNames[g - 1]) continue;
    char name[32];
    std::snprintf(name, sizeof name, "%d Players", static_cast<int>(groupings.groupings[g].settings[0]));
    text.groupingNames[g - 1].reset(CopyText(name));
  }
}

// Every occurrence of a numbered section: the number after the keyword picks
// the slot for the next line's text.
void ReadNumberedTexts(TextTokenizer& t, const char* keyword, OwnedText (&slots)[kScenarioNumberedTexts]) {
  while (char* value = FindKeyword(t, keyword, true)) {
    t.cursor = value;
    const int32_t n = ReadFieldInt32(t, -1);
    SkipLine(t);
    if (n >= 0 && n < kScenarioNumberedTexts) slots[n].reset(ReadFieldString(t, ""));
  }
}

}  // namespace

void FreeScenarioText(ScenarioText& text) {
  text.scenarioName.reset();
  for (OwnedText& s : text.regionNames) s.reset();
  for (OwnedText& s : text.groupingNames) s.reset();
  for (auto& row : text.groupingEntryNames)
    for (OwnedText& s : row) s.reset();
  text.briefText.reset();
  text.notesText.reset();
  for (OwnedText& s : text.customNotes) s.reset();
  for (OwnedText& s : text.emailTexts) s.reset();
  for (auto& kind : text.endTexts)
    for (OwnedText& s : kind) s.reset();
  text.designerNotes.reset();
  text.textLoaded = 0;
}

int32_t LoadScenarioText(ScenarioText& text, const ScenarioSettings& settings, const ScenarioGroupings& groupings,
                         const char* language, const char* name) {
  FreeScenarioText(text);
  TextTokenizer t;
  const std::string directory = std::string("Localize\\") + (language ? language : "") + "\\";
  if (!name || LoadTextFile(directory.c_str(), t, name, ".GMT") < 0 || !t.text || t.length <= 0) {
    text.scenarioName.reset(CopyText(settings.gamfile ? settings.gamfile : ""));
    return plat::kFail;
  }
  t.cursor = t.text;
  ReadSectionText(t, "&&SCENNAME", text.scenarioName);
  ReadRegionNames(t, text);
  ReadGroupingNames(t, text);
  NameUnnamedGroupings(text, settings, groupings);
  ReadSectionText(t, "&&BRIEF", text.briefText);
  ReadSectionText(t, "&&NOTES", text.notesText);
  ReadNumberedTexts(t, "&&CUSTOMNOTES", text.customNotes);
  ReadNumberedTexts(t, "&&EMAIL", text.emailTexts);
  static const char* const kKinds[kScenarioEndKinds] = {"SCEN", "CAMP", "MP"};
  static const char* const kEnds[kScenarioEndTexts] = {"WIN", "LOSE", "UNIFYWIN", "UNIFYLOSE"};
  for (int k = 0; k < kScenarioEndKinds; ++k) {
    for (int e = 0; e < kScenarioEndTexts; ++e) {
      const std::string keyword = std::string("&&") + kKinds[k] + kEnds[e];
      ReadSectionText(t, keyword.c_str(), text.endTexts[k][e]);
    }
  }
  ReadSectionText(t, "&&DESIGNERNOTES", text.designerNotes);
  text.textLoaded = 1;
  return plat::kOk;
}

int32_t LoadScenarioText(World& world, const char* name) {
  const char* language = g_app.languageFile[0] ? g_app.languageFile : "LOCALEN";
  return LoadScenarioText(g_scenarioText, world.scenario, g_scenarioGroupings, language, name);
}
