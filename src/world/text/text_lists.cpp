#include "world/text/text_lists.h"

#include "app/file_helpers.h"
#include "app/ordinal_suffix.h"
#include "app/text_tokenizer.h"
#include "platform/status.h"

TextLists g_textLists;

namespace {

constexpr TextListInfo kLists[kTextListCount] = {
    {"socials", 7, 0},
    {"cabinets", 6, 7},
    {"politic", 3, 13},
    {"genders", 2, 16},
    {"production", 8, 18},
    {"industry", 4, 26},
    {"products", 12, 30},
    {"productsl", 12, 42},
    {"prodtabs", 12, 54},
    {"produnits", 12, 66},
    {"weather", 16, 78},
    {"weatherground", 4, 94},
    {"weathertemp", 4, 98},
    {"peopleattitude", 5, 102},
    {"defcons", 5, 107},
    {"milranks-army", 10, 112},
    {"milranks-airf", 10, 122},
    {"milranks-navy", 10, 132},
    {"milranks-sub", 10, 142},
    {"milgroups-army", 5, 152},
    {"milgroups-airf", 5, 157},
    {"milgroups-navy", 5, 162},
    {"milgroups-sub", 5, 167},
    {"milclass", 26, 172},
    {"milclassshort", 26, 198},
    {"milclassabbr", 26, 224},
    {"milregions", 33, 250},
    {"milfuels", 9, 283},
    {"milmove", 8, 292},
    {"miltype", 12, 300},
    {"milspecialty", 5, 312},
    {"milbranch", 4, 317},
    {"milbranchunit", 4, 321},
    {"milbranchunitsh", 4, 325},
    {"milplatformtype", 5, 329},
    {"loadmsg", 3, 334},
    {"slotinfo", 6, 337},
    {"statmsg", 4, 343},
    {"hexspec", 16, 347},
    {"hexinfo", 10, 363},
    {"govtype", 5, 373},
    {"diprel", 4, 378},
    {"weaptype", 4, 382},
    {"weapdetail", 4, 386},
    {"weaptarget", 4, 390},
    {"sattypes", 3, 394},
    {"numsuffix", 5, 397},
    {"gametypes", 4, 402},
    {"gamespeed", 4, 406},
    {"gamevictory", 10, 410},
    {"gamediff", 5, 420},
    {"gameresource", 5, 425},
    {"gametechdef", 3, 430},
    {"setadvfogofwar", 2, 433},
    {"setinitialfunds", 4, 435},
    {"setreservelimit", 3, 439},
    {"setaistance", 5, 442},
    {"setspeedcontrol", 2, 447},
    {"offon", 2, 449},
    {"chatrel", 6, 451},
    {"ugstatus", 7, 457},
    {"ugstatshort", 7, 464},
    {"religions", 12, 471},
    {"graphnames", 9, 483},
    {"buildstatus", 8, 492},
    {"emoticons", 7, 500},
    {"emailresponses", 60, 507},
    {"tradeitems", 8, 567},
    {"cabinetopinion", 11, 575},
    {"payfrequency", 5, 586},
    {"emailcategory", 8, 591},
    {"prodheader", 7, 599},
    {"undeployed", 6, 606},
    {"techcategory", 7, 612},
    {"techstatus", 7, 619},
    {"gridtech", 5, 626},
    {"playerstatus", 6, 631},
    {"ordspeed", 4, 637},
    {"ordroute", 4, 641},
    {"ordformation", 4, 645},
    {"ordtactic", 4, 649},
    {"ordimportance", 4, 653},
    {"ordlosstol", 4, 657},
    {"ordcontact", 4, 661},
    {"ordpatrol", 4, 665},
    {"ordinitiative", 4, 669},
    {"ordtarget", 3, 673},
    {"ordobjective", 7, 676},
    {"ordpattype", 2, 683},
    {"ordmistype", 2, 685},
    {"bfcovertop", 4, 687},
    {"bfspytarget", 4, 691},
    {"bffundtarget", 6, 695},
    {"wmaid", 2, 701},
    {"gametbgrid", 1, 703},
    {"uitext", 20, 704},
    {"errortext", 4, 724},
    {"grouplabel", 4, 728},
    {"publicopinion", 5, 732},
    {"hexmaprtpop", 24, 737},
    {"hexmaprtug", 11, 761},
    {"hexmaprtdip", 9, 772},
    {"winlost", 2, 781},
    {"savedirnames", 3, 783},
    {"selecttitles", 3, 786},
    {"polpartyleft", 6, 789},
    {"polpartycenter", 6, 795},
    {"polpartyright", 6, 801},
    {"polpartyother", 6, 807},
    {"minimapmenu", 16, 813},
    {"minimapoptmenu", 10, 829},
    {"currencysymbol", 6, 839},
    {"yesnocap", 2, 845},
    {"wmopinion", 7, 847},
    {"productiontype", 3, 854},
    {"noitems", 2, 857},
    {"monthsinyearl", 12, 859},
    {"monthsinyearsh", 12, 871},
    {"timeparts", 2, 883},
    {"datedays", 2, 885},
    {"dateyears", 2, 887},
    {"dayhalves", 2, 889},
    {"endfill", 4, 891},
    {"localphrases", 90, 895},
    {"localwords", 40, 985},
    {"allowexpimp", 2, 1025},
    {"unitorders", 36, 1027},
    {"wmstatus", 2, 1063},
    {"wmtrend", 2, 1065},
    {"scortchtar", 20, 1067},
};

constexpr int SumOfCounts() {
  int sum = 0;
  for (const TextListInfo& info : kLists) sum += info.count;
  return sum;
}
static_assert(SumOfCounts() == kTextListEntryCount);
static_assert(kTextListCount == 130);

}  // namespace

TextLists::~TextLists() {
  for (char*& entry : entries) FreeAndClear(entry);
}

const TextListInfo& TextListInfoOf(TextListId list) { return kLists[list]; }

int32_t LoadTextLists(TextLists& lists, const char* name) {
  if (!name) return plat::kFail;
  TextTokenizer t;
  if (LoadTextFile("INI\\", t, name, ".INI") < 0 || t.length <= 0) return plat::kFail;
  for (const TextListInfo& info : kLists) {
    char* value = FindKeyword(t, info.key, false);
    if (!value) continue;
    t.cursor = value;
    // Entries never run on into the next line: once the line ends, every
    // further field is an empty text.
    for (int i = 0; i < info.count; ++i) {
      char* text = ReadFieldString(t, "");
      if (!text) continue;  // out of memory: the entry keeps what it had
      FreeAndClear(lists.entries[info.first + i]);
      lists.entries[info.first + i] = text;
    }
  }
  return plat::kOk;
}

const char* TextListEntry(const TextLists& lists, TextListId list, int index) {
  if (list < 0 || list >= kTextListCount) return nullptr;
  const TextListInfo& info = kLists[list];
  if (index < 0 || index >= info.count) return nullptr;
  return lists.entries[info.first + index];
}

const char* TextListText(const TextLists& lists, TextListId list, int index) {
  const char* entry = TextListEntry(lists, list, index);
  return entry ? entry : "";
}

const char* const* OrdinalSuffixTexts(const TextLists& lists) {
  static_assert(kOrdinalSuffixEntries == 5);  // the list's own count
  return &lists.entries[kLists[kListNumsuffix].first];
}
