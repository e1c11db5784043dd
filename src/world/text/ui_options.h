#pragma once
// The player's interface preferences: one record, read from the options file
// at start-up and written back whole whenever an option screen changes
// something. The file is keyed text ("INI\" + name + ".INI"), one key a line;
// keys are found anywhere in the text, so order and other lines do not
// matter when reading.
#include <cstddef>
#include <cstdint>
#include <type_traits>

struct UiOptions {
  int32_t tabstay = 0;
  int32_t tabturnstay = 1;
  int32_t sidescreens = 0;
  int32_t minimapfloattop = 1;
  int32_t bnomapbord = 0;
  int32_t btitlebartransp = 0;
  int32_t blistboxstyle = 0;
  int32_t bigmaps = 0;
  int32_t bunitcolor = 0;
  int32_t bunitpcolor = 0;
  int32_t bnewsatbottom = 0;
  int32_t bnewsheadonly = 0;
  int32_t bnoconfirmturn = 0;
  int32_t bspeeddouble = 0;
  int32_t bshowequipinlists = 0;
  int32_t bshowmixedinlists = 1;
  int32_t bshowallulistob = 1;
  int32_t bshowequipulistob = 1;
  int32_t bfullzoom = 0;
  int32_t bunithudon = 1;
  int32_t bunithudmulti = 1;
  int32_t bunithudcenter = 1;
  int32_t bunithudnozoom = 1;
  int32_t bunithudpcolor = 1;
  int32_t bunithudssize = 1;
  int32_t bunithudthinbar = 0;
  int32_t bunitnozoom = 1;
  int32_t bunitdiscon = 0;
  int32_t bunittoponly = 0;
  int32_t buniteffecton = 1;
  int32_t bunitallpath = 1;
  int32_t bdistancehexes = 0;
  int32_t buiresetubuilddef = 0;
  int32_t buishowspecsliders = 0;
  int32_t buiprogbarstyle = 0;
  int32_t bchatpname = 0;
  int32_t chatplayercol = 0;
  int32_t ovshowgrid = 0;
  int32_t ovshowborders = 1;
  // Overlay switches the file does not carry: the one the Q key toggles and
  // three that only the packed mask keeps.
  int32_t ovshowunsaved = 0;
  int32_t ovhiddenA = 1;
  int32_t ovhiddenB = 0;
  int32_t ovhiddenC = 1;
  int32_t ovshowsupply = 0;
  int32_t ovshowownership = 0;
  int32_t ovshowlos = 1;
  int32_t ovshowhighground = 0;
  int32_t ovshowrank = 0;
  int32_t ovshowmunitions = 0;
  int32_t ovshowweather = 0;
  int32_t ovshowgrounddef = 0;
  int32_t ovshowclosecombat = 0;
  int32_t ovshowrangecircle = 0;
  int32_t ovshowrangeline = 0;
  int32_t ovshowcitynames = 0;
  int32_t ovshowgridnolos = 0;
  int32_t bmapshowugsmall = 0;
  int32_t bautoselstack = 0;
  int32_t bautoselrband = 1;
  int32_t bautoselsingle = 1;
  int32_t bunitorderdef = 1;
  int32_t brevwheelzoom = 0;
  int32_t brevmousebuts = 0;
  int32_t brevmapdrag = 0;
  int32_t bdefwheelscroll = 0;
  int32_t bclicklmaptab = 0;
  int32_t bclickrmaptab = 0;
  int32_t bclickrmenu = 1;
  int32_t bmapautopanel2 = 1;
  int32_t bmapkeepopen = 1;
  int32_t bspacecentre = 0;
  int32_t bspacepanels = 1;
  int32_t bshowprevpane = 1;
  int32_t bpanelslide = 0;
  int32_t b24hformat = 0;
  int32_t dayannual = 0;
  int32_t bautopicknext = 0;
  int32_t bautodeployset = 1;
  int32_t bcontinuousset = 1;
  int32_t bsoundmute = 0;
  int32_t bmusicmute = 0;
  int32_t bsoundmuteui = 0;
  int32_t bsoundmutestatus = 0;
  int32_t bsoundmuteemail = 0;
  int32_t bsoundmutenews = 0;
  int32_t bsoundmutevoice = 0;
  int32_t bsoundmuteshot = 0;
  int32_t bsoundmutemove = 0;
  int32_t bwinchat = 0;
  int32_t nomplayautosave = 0;
  int32_t savegameloc = 0;
  int32_t bfilterunits = 0;
  int32_t bfilterunitsviewrep = 0;
  int32_t bfilterunitsviewobsol = 0;
  int32_t bfiltershownbc = 0;
  uint8_t popupalpha = 150;
  uint8_t prodgraphstock = 0;
  uint8_t unitdiscalpha = 150;
  uint32_t playercolor[32] = {
      0xFF646464, 0xFF0064FF, 0xFFE63C3C, 0xFFFFFF00, 0xFF6EFF6E, 0xFFFF7D00, 0xFFFF00FF, 0xFF001996,
      0xFFAA0AD2, 0xFF4BAFFF, 0xFFBE6464, 0xFFA0DC00, 0xFF148C14, 0xFFE1B400, 0xFF3C5A78, 0xFF7DA0BE,
      0xFF00FFFF, 0xFF3CFFAF, 0xFF7D0000, 0xFF969600, 0xFF3CAA82, 0xFFC8A05A, 0xFF64644B, 0xFFA0786E,
      0xFF006464, 0xFF5A2828, 0xFF462864, 0xFF780AAA, 0xFF3C3C3C, 0xFFE6E6E6, 0xFF000000, 0xFF7D3C00};
  uint32_t unitcolor[3] = {0xFFFFFF64, 0xFFAAAAAA, 0xFF64FF64};
  uint32_t pathcolor[4] = {0xC800FF00, 0xC8FF6464, 0xC80000FF, 0xC80000FF};
  uint32_t pathcolordim[4] = {0xC800BE00, 0xC8BE4B4B, 0xC80000D2, 0xC80000D2};
  uint32_t mapbackground = 0xFF285028;
  // The editor's ground under hexes without terrain: by default the ground a
  // game shows there, so that a new, blank map reads as an empty map (not a
  // magenta screen) and a painted one looks as it will in play.
  uint32_t mapeditbackground = 0xFF285028;
  uint32_t mapovlcolor = 0xFFFF0000;
  uint32_t maploscolor = 0x60000000;
  uint32_t mapovlhgcolor = 0xFF00FF00;
  uint32_t mapovlgdcolor = 0xFFFF0000;
  uint32_t mapovlcccolor = 0xFFFF0000;
  uint32_t maphexgrid = 0x80000000;
  uint32_t fontmaincol = 0;
  uint32_t fontdimcol = 0;
  uint32_t fontlabelcol = 0;
  uint32_t fontemailcol = 0xFFFFFF64;
  uint32_t fontstatuscol = 0xFF00FF00;
  uint32_t fontchatcol = 0xFFFFFF64;
  int32_t fontnews = 3;
  int32_t fontemail = 3;
  int32_t fontstatus = 5;
  int32_t fontchat = 1;
  int32_t newslevel = 0;
  int32_t emaillevel = 0;
  int32_t statuslevel = 0;
  int32_t newsdeldays = 7;
  int32_t chatshowtime = 10000;
  int32_t chatshowlines = 6;
  int32_t chatsavehistory = 32;
  int32_t chatsoundnum = 4;
  float mapscrollspeed = 1.0f;
  uint32_t repeatbutms = 0xFA;
  uint32_t repeatmoms = 0x64;
  uint32_t waittooltip = 0xFA;
  int32_t listsliderwidth = 0;
  int32_t unitorderdefault = 1;
  uint8_t usecurrsym = 0;
  uint8_t usecurrspace = 0;
  uint8_t usecurrdecimal = 0;
  uint8_t usecurrresvd = 0;
  int32_t usedateorder = 0;
  int32_t outlogdef = 1;
  int32_t statlineloc = 0;
  int32_t statlinetooltips = 0;
  int32_t statlinehistory = 40;
  int32_t statshowlines = 6;
  int32_t statsoundnum = 0;
  int32_t bemaildelonreply = 0;
  uint32_t emailfiltmask = 0x1F;
  int32_t emaildeldays = 30;
  int32_t autosaveturns = 1;
  int32_t opdef_turntype = 0;
  uint8_t opdifficulty = 2;
  uint8_t opresources = 2;
  int32_t opturnlength = 1440;
  int32_t optbtimer = 180;
  int32_t opstartuptimer = 0;
  uint8_t opinitialfunds = 2;
  uint8_t opreservelimit = 0;
  uint8_t opaistance = 0;
  int32_t opsoundvol = 10000;
  int32_t opmusicvol = 10000;
  int32_t opsounduivol = 10000;
  int32_t opsoundstatusvol = 10000;
  int32_t opsoundemailvol = 10000;
  int32_t opsoundnewsvol = 10000;
  int32_t opsoundvoicevol = 10000;
  int32_t opsoundshotvol = 10000;
  int32_t opsoundmovevol = 10000;
  float gammalevel = 1.0f;
  int32_t speedrateslices[4] = {0, 20, 40, 80};

  // Not in the file: the overlay switches packed most significant bit first
  // (ovshowownership, ovshowborders, ovshowunsaved, ovshowsupply, ovhiddenA,
  // ovhiddenB, ovhiddenC, ovshowgrid); 74 with the defaults.
  uint8_t overlayMask = 74;
  // Interface state the screens keep here; on by default.
  int32_t screenStateOn = 1;
  // Map overlays the filter bar and other screens switch, never saved: the
  // occupation shading, the terrain-value overlay, and the area tags with
  // the mask of tags shown (bit t: area tag t).
  int32_t occupationShading = 0;
  int32_t terrainValueOverlay = 0;
  int32_t areaTagOverlay = 0;
  uint8_t areaTagMask = 0;
  // The map's facility layer (the map editor toggles it) and units layer
  // (the filter bar sets it); not in the file, on after every reset.
  int32_t showFacilityIcons = 1;
  int32_t showUnitsLayer = 1;
};
static_assert(std::is_standard_layout_v<UiOptions>);

extern UiOptions g_uiOptions;

// Every field back to its default.
void ResetUiOptions(UiOptions& options);
// The packed overlay mask from its eight switches.
uint8_t PackOverlayMask(const UiOptions& options);
// "INI\" + name + ".INI". 0, or the generic failure (file missing or empty)
// with the defaults in place. Keys missing from the file keep their defaults.
int32_t LoadUIOptions(UiOptions& options, const char* name);
// Writes every key, replacing the file in one step. 0, or the generic failure
// when the file cannot be made (nothing is written then).
int32_t SaveUIOptions(const UiOptions& options, const char* name);
