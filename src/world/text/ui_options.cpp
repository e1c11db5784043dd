#include "world/text/ui_options.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/text_tokenizer.h"
#include "app/text_writer.h"
#include "platform/fpenv.h"
#include "platform/status.h"

UiOptions g_uiOptions;

namespace {

enum Kind : uint8_t {
  kYesNo,      // 32-bit switch written as an integer line
  kYesNoByte,  // 32-bit switch written as a byte line from its low byte
  kInt,        // 32-bit integer
  kByte,       // 8-bit unsigned integer
  kNumber,     // 32-bit word written in hexadecimal, read with base prefixes
  kFloat,
  kColorList,  // words written in hexadecimal, read with base prefixes
  kIntList,    // 32-bit integers
};

struct OptionKey {
  const char* key;
  Kind kind;
  size_t offset;
  int count;
};

// The file's keys in the order they are written.
constexpr OptionKey kKeys[] = {
    {"tabstay", kYesNo, offsetof(UiOptions, tabstay), 1},
    {"tabturnstay", kYesNo, offsetof(UiOptions, tabturnstay), 1},
    {"sidescreens", kYesNo, offsetof(UiOptions, sidescreens), 1},
    {"minimapfloattop", kYesNo, offsetof(UiOptions, minimapfloattop), 1},
    {"bnomapbord", kYesNo, offsetof(UiOptions, bnomapbord), 1},
    {"btitlebartransp", kYesNo, offsetof(UiOptions, btitlebartransp), 1},
    {"blistboxstyle", kYesNo, offsetof(UiOptions, blistboxstyle), 1},
    {"bigmaps", kYesNo, offsetof(UiOptions, bigmaps), 1},
    {"bunitcolor", kYesNo, offsetof(UiOptions, bunitcolor), 1},
    {"bunitpcolor", kYesNo, offsetof(UiOptions, bunitpcolor), 1},
    {"bnewsatbottom", kYesNo, offsetof(UiOptions, bnewsatbottom), 1},
    {"bnewsheadonly", kYesNo, offsetof(UiOptions, bnewsheadonly), 1},
    {"bnoconfirmturn", kYesNo, offsetof(UiOptions, bnoconfirmturn), 1},
    {"bspeeddouble", kYesNo, offsetof(UiOptions, bspeeddouble), 1},
    {"bshowequipinlists", kYesNo, offsetof(UiOptions, bshowequipinlists), 1},
    {"bshowmixedinlists", kYesNo, offsetof(UiOptions, bshowmixedinlists), 1},
    {"bshowallulistob", kYesNo, offsetof(UiOptions, bshowallulistob), 1},
    {"bshowequipulistob", kYesNo, offsetof(UiOptions, bshowequipulistob), 1},
    {"bfullzoom", kYesNo, offsetof(UiOptions, bfullzoom), 1},
    {"bunithudon", kYesNo, offsetof(UiOptions, bunithudon), 1},
    {"bunithudmulti", kYesNo, offsetof(UiOptions, bunithudmulti), 1},
    {"bunithudcenter", kYesNo, offsetof(UiOptions, bunithudcenter), 1},
    {"bunithudnozoom", kYesNo, offsetof(UiOptions, bunithudnozoom), 1},
    {"bunithudpcolor", kYesNo, offsetof(UiOptions, bunithudpcolor), 1},
    {"bunithudssize", kYesNo, offsetof(UiOptions, bunithudssize), 1},
    {"bunithudthinbar", kYesNo, offsetof(UiOptions, bunithudthinbar), 1},
    {"bunitnozoom", kYesNo, offsetof(UiOptions, bunitnozoom), 1},
    {"bunitdiscon", kYesNo, offsetof(UiOptions, bunitdiscon), 1},
    {"bunittoponly", kYesNo, offsetof(UiOptions, bunittoponly), 1},
    {"buniteffecton", kYesNo, offsetof(UiOptions, buniteffecton), 1},
    {"bunitallpath", kYesNo, offsetof(UiOptions, bunitallpath), 1},
    {"bdistancehexes", kYesNo, offsetof(UiOptions, bdistancehexes), 1},
    {"buiresetubuilddef", kYesNo, offsetof(UiOptions, buiresetubuilddef), 1},
    {"buishowspecsliders", kYesNo, offsetof(UiOptions, buishowspecsliders), 1},
    {"buiprogbarstyle", kYesNo, offsetof(UiOptions, buiprogbarstyle), 1},
    {"bchatpname", kYesNo, offsetof(UiOptions, bchatpname), 1},
    {"chatplayercol", kYesNo, offsetof(UiOptions, chatplayercol), 1},
    {"ovshowgrid", kYesNo, offsetof(UiOptions, ovshowgrid), 1},
    {"ovshowborders", kYesNo, offsetof(UiOptions, ovshowborders), 1},
    {"ovshowsupply", kYesNo, offsetof(UiOptions, ovshowsupply), 1},
    {"ovshowownership", kYesNo, offsetof(UiOptions, ovshowownership), 1},
    {"ovshowlos", kYesNo, offsetof(UiOptions, ovshowlos), 1},
    {"ovshowhighground", kYesNo, offsetof(UiOptions, ovshowhighground), 1},
    {"ovshowrank", kYesNo, offsetof(UiOptions, ovshowrank), 1},
    {"ovshowmunitions", kYesNo, offsetof(UiOptions, ovshowmunitions), 1},
    {"ovshowweather", kYesNo, offsetof(UiOptions, ovshowweather), 1},
    {"ovshowgrounddef", kYesNo, offsetof(UiOptions, ovshowgrounddef), 1},
    {"ovshowclosecombat", kYesNo, offsetof(UiOptions, ovshowclosecombat), 1},
    {"ovshowrangecircle", kYesNo, offsetof(UiOptions, ovshowrangecircle), 1},
    {"ovshowrangeline", kYesNo, offsetof(UiOptions, ovshowrangeline), 1},
    {"ovshowcitynames", kYesNo, offsetof(UiOptions, ovshowcitynames), 1},
    {"ovshowgridnolos", kYesNo, offsetof(UiOptions, ovshowgridnolos), 1},
    {"bmapshowugsmall", kYesNo, offsetof(UiOptions, bmapshowugsmall), 1},
    {"bautoselstack", kYesNo, offsetof(UiOptions, bautoselstack), 1},
    {"bautoselrband", kYesNo, offsetof(UiOptions, bautoselrband), 1},
    {"bautoselsingle", kYesNo, offsetof(UiOptions, bautoselsingle), 1},
    {"bunitorderdef", kYesNo, offsetof(UiOptions, bunitorderdef), 1},
    {"brevwheelzoom", kYesNo, offsetof(UiOptions, brevwheelzoom), 1},
    {"brevmousebuts", kYesNo, offsetof(UiOptions, brevmousebuts), 1},
    {"brevmapdrag", kYesNo, offsetof(UiOptions, brevmapdrag), 1},
    {"bdefwheelscroll", kYesNo, offsetof(UiOptions, bdefwheelscroll), 1},
    {"bclicklmaptab", kYesNo, offsetof(UiOptions, bclicklmaptab), 1},
    {"bclickrmaptab", kYesNo, offsetof(UiOptions, bclickrmaptab), 1},
    {"bclickrmenu", kYesNo, offsetof(UiOptions, bclickrmenu), 1},
    {"bmapautopanel2", kYesNo, offsetof(UiOptions, bmapautopanel2), 1},
    {"bmapkeepopen", kYesNo, offsetof(UiOptions, bmapkeepopen), 1},
    {"bspacecentre", kYesNo, offsetof(UiOptions, bspacecentre), 1},
    {"bspacepanels", kYesNo, offsetof(UiOptions, bspacepanels), 1},
    {"bshowprevpane", kYesNo, offsetof(UiOptions, bshowprevpane), 1},
    {"bpanelslide", kYesNo, offsetof(UiOptions, bpanelslide), 1},
    {"b24hformat", kYesNo, offsetof(UiOptions, b24hformat), 1},
    {"dayannual", kYesNo, offsetof(UiOptions, dayannual), 1},
    {"bautopicknext", kYesNo, offsetof(UiOptions, bautopicknext), 1},
    {"bautodeployset", kYesNo, offsetof(UiOptions, bautodeployset), 1},
    {"bcontinuousset", kYesNo, offsetof(UiOptions, bcontinuousset), 1},
    {"bsoundmute", kYesNo, offsetof(UiOptions, bsoundmute), 1},
    {"bmusicmute", kYesNo, offsetof(UiOptions, bmusicmute), 1},
    {"bsoundmuteui", kYesNo, offsetof(UiOptions, bsoundmuteui), 1},
    {"bsoundmutestatus", kYesNo, offsetof(UiOptions, bsoundmutestatus), 1},
    {"bsoundmuteemail", kYesNo, offsetof(UiOptions, bsoundmuteemail), 1},
    {"bsoundmutenews", kYesNo, offsetof(UiOptions, bsoundmutenews), 1},
    {"bsoundmutevoice", kYesNo, offsetof(UiOptions, bsoundmutevoice), 1},
    {"bsoundmuteshot", kYesNo, offsetof(UiOptions, bsoundmuteshot), 1},
    {"bsoundmutemove", kYesNo, offsetof(UiOptions, bsoundmutemove), 1},
    {"bwinchat", kYesNo, offsetof(UiOptions, bwinchat), 1},
    {"nomplayautosave", kYesNo, offsetof(UiOptions, nomplayautosave), 1},
    {"savegameloc", kInt, offsetof(UiOptions, savegameloc), 1},
    {"bfilterunits", kYesNo, offsetof(UiOptions, bfilterunits), 1},
    {"bfilterunitsviewrep", kYesNo, offsetof(UiOptions, bfilterunitsviewrep), 1},
    {"bfilterunitsviewobsol", kYesNo, offsetof(UiOptions, bfilterunitsviewobsol), 1},
    {"bfiltershownbc", kYesNo, offsetof(UiOptions, bfiltershownbc), 1},
    {"popupalpha", kByte, offsetof(UiOptions, popupalpha), 1},
    {"prodgraphstock", kByte, offsetof(UiOptions, prodgraphstock), 1},
    {"unitdiscalpha", kByte, offsetof(UiOptions, unitdiscalpha), 1},
    {"playercolor", kColorList, offsetof(UiOptions, playercolor), 32},
    {"unitcolor", kColorList, offsetof(UiOptions, unitcolor), 3},
    {"pathcolor", kColorList, offsetof(UiOptions, pathcolor), 4},
    {"pathcolordim", kColorList, offsetof(UiOptions, pathcolordim), 4},
    {"mapbackground", kNumber, offsetof(UiOptions, mapbackground), 1},
    {"mapeditbackground", kNumber, offsetof(UiOptions, mapeditbackground), 1},
    {"mapovlcolor", kNumber, offsetof(UiOptions, mapovlcolor), 1},
    {"maploscolor", kNumber, offsetof(UiOptions, maploscolor), 1},
    {"mapovlhgcolor", kNumber, offsetof(UiOptions, mapovlhgcolor), 1},
    {"mapovlgdcolor", kNumber, offsetof(UiOptions, mapovlgdcolor), 1},
    {"mapovlcccolor", kNumber, offsetof(UiOptions, mapovlcccolor), 1},
    {"maphexgrid", kNumber, offsetof(UiOptions, maphexgrid), 1},
    {"fontmaincol", kNumber, offsetof(UiOptions, fontmaincol), 1},
    {"fontdimcol", kNumber, offsetof(UiOptions, fontdimcol), 1},
    {"fontlabelcol", kNumber, offsetof(UiOptions, fontlabelcol), 1},
    {"fontemailcol", kNumber, offsetof(UiOptions, fontemailcol), 1},
    {"fontstatuscol", kNumber, offsetof(UiOptions, fontstatuscol), 1},
    {"fontchatcol", kNumber, offsetof(UiOptions, fontchatcol), 1},
    {"fontnews", kInt, offsetof(UiOptions, fontnews), 1},
    {"fontemail", kInt, offsetof(UiOptions, fontemail), 1},
    {"fontstatus", kInt, offsetof(UiOptions, fontstatus), 1},
    {"fontchat", kInt, offsetof(UiOptions, fontchat), 1},
    {"newslevel", kInt, offsetof(UiOptions, newslevel), 1},
    {"emaillevel", kInt, offsetof(UiOptions, emaillevel), 1},
    {"statuslevel", kInt, offsetof(UiOptions, statuslevel), 1},
    {"newsdeldays", kInt, offsetof(UiOptions, newsdeldays), 1},
    {"chatshowtime", kInt, offsetof(UiOptions, chatshowtime), 1},
    {"chatshowlines", kInt, offsetof(UiOptions, chatshowlines), 1},
    {"chatsavehistory", kInt, offsetof(UiOptions, chatsavehistory), 1},
    {"chatsoundnum", kInt, offsetof(UiOptions, chatsoundnum), 1},
    {"mapscrollspeed", kFloat, offsetof(UiOptions, mapscrollspeed), 1},
    {"repeatbutms", kNumber, offsetof(UiOptions, repeatbutms), 1},
    {"repeatmoms", kNumber, offsetof(UiOptions, repeatmoms), 1},
    {"waittooltip", kNumber, offsetof(UiOptions, waittooltip), 1},
    {"listsliderwidth", kInt, offsetof(UiOptions, listsliderwidth), 1},
    {"unitorderdefault", kInt, offsetof(UiOptions, unitorderdefault), 1},
    {"usecurrsym", kByte, offsetof(UiOptions, usecurrsym), 1},
    {"usecurrspace", kByte, offsetof(UiOptions, usecurrspace), 1},
    {"usecurrdecimal", kByte, offsetof(UiOptions, usecurrdecimal), 1},
    {"usecurrresvd", kByte, offsetof(UiOptions, usecurrresvd), 1},
    {"usedateorder", kInt, offsetof(UiOptions, usedateorder), 1},
    {"outlogdef", kYesNoByte, offsetof(UiOptions, outlogdef), 1},
    {"statlineloc", kInt, offsetof(UiOptions, statlineloc), 1},
    {"statlinetooltips", kYesNoByte, offsetof(UiOptions, statlinetooltips), 1},
    {"statlinehistory", kInt, offsetof(UiOptions, statlinehistory), 1},
    {"statshowlines", kInt, offsetof(UiOptions, statshowlines), 1},
    {"statsoundnum", kInt, offsetof(UiOptions, statsoundnum), 1},
    {"bemaildelonreply", kYesNo, offsetof(UiOptions, bemaildelonreply), 1},
    {"emailfiltmask", kNumber, offsetof(UiOptions, emailfiltmask), 1},
    {"emaildeldays", kInt, offsetof(UiOptions, emaildeldays), 1},
    {"autosaveturns", kInt, offsetof(UiOptions, autosaveturns), 1},
    {"opdef_turntype", kInt, offsetof(UiOptions, opdef_turntype), 1},
    {"opdifficulty", kByte, offsetof(UiOptions, opdifficulty), 1},
    {"opresources", kByte, offsetof(UiOptions, opresources), 1},
    {"opturnlength", kInt, offsetof(UiOptions, opturnlength), 1},
    {"optbtimer", kInt, offsetof(UiOptions, optbtimer), 1},
    {"opstartuptimer", kInt, offsetof(UiOptions, opstartuptimer), 1},
    {"opinitialfunds", kByte, offsetof(UiOptions, opinitialfunds), 1},
    {"opreservelimit", kByte, offsetof(UiOptions, opreservelimit), 1},
    {"opaistance", kByte, offsetof(UiOptions, opaistance), 1},
    {"opsoundvol", kInt, offsetof(UiOptions, opsoundvol), 1},
    {"opmusicvol", kInt, offsetof(UiOptions, opmusicvol), 1},
    {"opsounduivol", kInt, offsetof(UiOptions, opsounduivol), 1},
    {"opsoundstatusvol", kInt, offsetof(UiOptions, opsoundstatusvol), 1},
    {"opsoundemailvol", kInt, offsetof(UiOptions, opsoundemailvol), 1},
    {"opsoundnewsvol", kInt, offsetof(UiOptions, opsoundnewsvol), 1},
    {"opsoundvoicevol", kInt, offsetof(UiOptions, opsoundvoicevol), 1},
    {"opsoundshotvol", kInt, offsetof(UiOptions, opsoundshotvol), 1},
    {"opsoundmovevol", kInt, offsetof(UiOptions, opsoundmovevol), 1},
    {"gammalevel", kFloat, offsetof(UiOptions, gammalevel), 1},
    {"speedrateslices", kIntList, offsetof(UiOptions, speedrateslices), 4},
};
static_assert(sizeof kKeys / sizeof kKeys[0] == 165);

template <typename T>
T& FieldAt(UiOptions& options, size_t offset) {
  return *reinterpret_cast<T*>(reinterpret_cast<char*>(&options) + offset);
}
template <typename T>
const T& FieldAt(const UiOptions& options, size_t offset) {
  return *reinterpret_cast<const T*>(reinterpret_cast<const char*>(&options) + offset);
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// "unitcolor" also ends the word "bunitcolor", whose line the writer puts
// first; the colours are taken only from a line that begins with the key.
char* FindKeywordAtLineStart(TextTokenizer& t, const char* keyword) {
  const size_t length = std::strlen(keyword);
  for (const char* p = t.text; p && (p = std::strstr(p, keyword)); ++p) {
    if (p != t.text && !IsLineEnd(p[-1])) continue;
    const char* after = p + length;
    const char c = *after;
    if (c != ' ' && c != ',' && c != ';' && c != '=' && c != '\t' && !IsLineEnd(c) && c != '\0') continue;
    while (*after == ' ' || *after == ',' || *after == ';' || *after == '=' || *after == '\t') ++after;
    t.notFound = 0;
    return const_cast<char*>(after);
  }
  t.notFound = 1;
  return nullptr;
}

// A switch is off when its value begins with 0, F, f, N or n, and on for
// anything else, a key with nothing after it included.
int32_t ReadSwitch(const char* value) {
  return std::strchr("0FfNn", *value) && *value != '\0' ? 0 : 1;
}

void ReadKey(TextTokenizer& t, const OptionKey& k, UiOptions& options) {
  char* value = std::strcmp(k.key, "unitcolor") == 0 ? FindKeywordAtLineStart(t, k.key) : FindKeyword(t, k.key, false);
  if (!value) return;
  t.cursor = value;
  switch (k.kind) {
    case kYesNo:
    case kYesNoByte:
      FieldAt<int32_t>(options, k.offset) = ReadSwitch(value);
      break;
    case kInt:
      FieldAt<int32_t>(options, k.offset) = ReadFieldInt32(t, 0);
      break;
    case kByte:
      FieldAt<uint8_t>(options, k.offset) = ReadFieldInt(t, 0);
      break;
    case kNumber:
      FieldAt<uint32_t>(options, k.offset) = static_cast<uint32_t>(ReadFieldLong(t, 0));
      break;
    case kFloat:
      FieldAt<float>(options, k.offset) = ReadFieldFloat(t, 0.0f);
      break;
    case kColorList:
      for (int i = 0; i < k.count; ++i) {
        uint32_t& slot = (&FieldAt<uint32_t>(options, k.offset))[i];
        slot = static_cast<uint32_t>(ReadFieldLong(t, static_cast<int32_t>(slot)));
      }
      break;
    case kIntList:
      for (int i = 0; i < k.count; ++i) {
        int32_t& slot = (&FieldAt<int32_t>(options, k.offset))[i];
        slot = ReadFieldInt32(t, slot);
      }
      break;
  }
}

void WriteHexField(std::FILE* file, uint32_t value) {
  char text[16];
  plat::FormatText(text, sizeof text, "0x%X, ", static_cast<unsigned>(value));
  std::fputs(text, file);
}

void WriteKey(std::FILE* file, const OptionKey& k, const UiOptions& options) {
  switch (k.kind) {
    case kYesNo:
    case kInt:
      WriteKeyIntLine(file, k.key, FieldAt<int32_t>(options, k.offset));
      break;
    case kYesNoByte:
      WriteKeyByteLine(file, k.key, static_cast<uint8_t>(FieldAt<int32_t>(options, k.offset) & 0xFF));
      break;
    case kByte:
      WriteKeyByteLine(file, k.key, FieldAt<uint8_t>(options, k.offset));
      break;
    case kFloat:
      WriteKeyFloatLine(file, k.key, FieldAt<float>(options, k.offset));
      break;
    case kNumber:
    case kColorList:
      std::fputs(k.key, file);
      std::fputc('\t', file);
      for (int i = 0; i < k.count; ++i) WriteHexField(file, (&FieldAt<uint32_t>(options, k.offset))[i]);
      std::fputs("\r\n", file);
      break;
    case kIntList: {
      std::fputs(k.key, file);
      std::fputc('\t', file);
      for (int i = 0; i < k.count; ++i) {
        char text[16];
        plat::FormatText(text, sizeof text, "%d, ", static_cast<int>((&FieldAt<int32_t>(options, k.offset))[i]));
        std::fputs(text, file);
      }
      std::fputs("\r\n", file);
      break;
    }
  }
}

}  // namespace

void ResetUiOptions(UiOptions& options) {
  std::memset(static_cast<void*>(&options), 0, sizeof options);
  options = UiOptions{};
}

uint8_t PackOverlayMask(const UiOptions& o) {
  const int32_t switches[8] = {o.ovshowownership, o.ovshowborders, o.ovshowunsaved, o.ovshowsupply,
                               o.ovhiddenA,       o.ovhiddenB,     o.ovhiddenC,     o.ovshowgrid};
  uint32_t mask = 0;
  for (int32_t s : switches) mask = (mask << 1) | (s ? 1u : 0u);
  return static_cast<uint8_t>(mask);
}

int32_t LoadUIOptions(UiOptions& options, const char* name) {
  ResetUiOptions(options);
  if (!name) return plat::kFail;
  TextTokenizer t;
  if (LoadTextFile("INI\\", t, name, ".INI") < 0 || t.length <= 0) return plat::kFail;
  for (const OptionKey& k : kKeys) ReadKey(t, k, options);
  options.overlayMask = PackOverlayMask(options);
  return plat::kOk;
}

int32_t SaveUIOptions(const UiOptions& options, const char* name) {
  if (!name) return plat::kFail;
  ReplacingFile file;
  if (CreateTextFile("INI\\", file, name, ".INI") < 0) return plat::kFail;
  for (const OptionKey& k : kKeys) WriteKey(file.get(), k, options);
  std::fputs("\r\n", file.get());
  std::fputc('\0', file.get());
  return file.Close();
}
