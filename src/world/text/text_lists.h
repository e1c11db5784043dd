#pragma once
// The game text lists: short category names in the player's language
// (social groups, products, ranks, unit classes, months, menu texts and so
// on), read once at start-up from "INI\" + the language file + ".INI". Each
// list is one line of the file: its key, then its entries separated by commas
// or semicolons (an entry in double quotes may hold commas). Screens pick
// entry i of a list.
//
// An entry the file did not give is null: TextListText turns that into an
// empty text for display.
#include <cstdint>

// The lists, in the order of the block.
enum TextListId : int {
  kListSocials,
  kListCabinets,
  kListPolitic,
  kListGenders,
  kListProduction,
  kListIndustry,
  kListProducts,
  kListProductsl,
  kListProdtabs,
  kListProdunits,
  kListWeather,
  kListWeatherground,
  kListWeathertemp,
  kListPeopleattitude,
  kListDefcons,
  kListMilranksArmy,
  kListMilranksAirf,
  kListMilranksNavy,
  kListMilranksSub,
  kListMilgroupsArmy,
  kListMilgroupsAirf,
  kListMilgroupsNavy,
  kListMilgroupsSub,
  kListMilclass,
  kListMilclassshort,
  kListMilclassabbr,
  kListMilregions,
  kListMilfuels,
  kListMilmove,
  kListMiltype,
  kListMilspecialty,
  kListMilbranch,
  kListMilbranchunit,
  kListMilbranchunitsh,
  kListMilplatformtype,
  kListLoadmsg,
  kListSlotinfo,
  kListStatmsg,
  kListHexspec,
  kListHexinfo,
  kListGovtype,
  kListDiprel,
  kListWeaptype,
  kListWeapdetail,
  kListWeaptarget,
  kListSattypes,
  kListNumsuffix,
  kListGametypes,
  kListGamespeed,
  kListGamevictory,
  kListGamediff,
  kListGameresource,
  kListGametechdef,
  kListSetadvfogofwar,
  kListSetinitialfunds,
  kListSetreservelimit,
  kListSetaistance,
  kListSetspeedcontrol,
  kListOffon,
  kListChatrel,
  kListUgstatus,
  kListUgstatshort,
  kListReligions,
  kListGraphnames,
  kListBuildstatus,
  kListEmoticons,
  kListEmailresponses,
  kListTradeitems,
  kListCabinetopinion,
  kListPayfrequency,
  kListEmailcategory,
  kListProdheader,
  kListUndeployed,
  kListTechcategory,
  kListTechstatus,
  kListGridtech,
  kListPlayerstatus,
  kListOrdspeed,
  kListOrdroute,
  kListOrdformation,
  kListOrdtactic,
  kListOrdimportance,
  kListOrdlosstol,
  kListOrdcontact,
  kListOrdpatrol,
  kListOrdinitiative,
  kListOrdtarget,
  kListOrdobjective,
  kListOrdpattype,
  kListOrdmistype,
  kListBfcovertop,
  kListBfspytarget,
  kListBffundtarget,
  kListWmaid,
  kListGametbgrid,
  kListUitext,
  kListErrortext,
  kListGrouplabel,
  kListPublicopinion,
  kListHexmaprtpop,
  kListHexmaprtug,
  kListHexmaprtdip,
  kListWinlost,
  kListSavedirnames,
  kListSelecttitles,
  kListPolpartyleft,
  kListPolpartycenter,
  kListPolpartyright,
  kListPolpartyother,
  kListMinimapmenu,
  kListMinimapoptmenu,
  kListCurrencysymbol,
  kListYesnocap,
  kListWmopinion,
  kListProductiontype,
  kListNoitems,
  kListMonthsinyearl,
  kListMonthsinyearsh,
  kListTimeparts,
  kListDatedays,
  kListDateyears,
  kListDayhalves,
  kListEndfill,
  kListLocalphrases,
  kListLocalwords,
  kListAllowexpimp,
  kListUnitorders,
  kListWmstatus,
  kListWmtrend,
  kListScortchtar,
  kTextListCount
};

inline constexpr int kTextListEntryCount = 1087;

// A list's key in the file, its entry count and the index of its first entry
// in the block.
struct TextListInfo {
  const char* key;
  int count;
  int first;
};
const TextListInfo& TextListInfoOf(TextListId list);

struct TextLists {
  TextLists() = default;
  ~TextLists();
  TextLists(const TextLists&) = delete;
  TextLists& operator=(const TextLists&) = delete;

  char* entries[kTextListEntryCount] = {};  // owned; null until a file gives them
};

extern TextLists g_textLists;

// "INI\" + name + ".INI". 0, or the generic failure when the file cannot be
// read (every list then stays as it was). A list whose key is missing keeps
// its entries; a list that is found takes exactly its count of fields from
// its line, missing and empty fields becoming empty texts.
int32_t LoadTextLists(TextLists& lists, const char* name);

// Entry `index` of a list, or null when it is unset or out of range.
const char* TextListEntry(const TextLists& lists, TextListId list, int index);
// The same for display: an empty text where there is no entry.
const char* TextListText(const TextLists& lists, TextListId list, int index);
// The five ordinal-suffix texts of the "numsuffix" list, in the order the
// ordinal rule (app/ordinal_suffix.h) indexes them; unset entries are null.
const char* const* OrdinalSuffixTexts(const TextLists& lists);
// The entries of the global lists.
inline const char* TextListText(TextListId list, int index) { return TextListText(g_textLists, list, index); }
