// The image generator: every file at its size and layout, the same bytes on
// every run, and the cells the drawing code relies on.
#include "image_gen.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "form_source.h"
#include "platform/image_loader.h"
#include "platform/window.h"
#include "sheets.h"
#include "ui/bitmap_control.h"
#include "ui/control_frame.h"
#include "ui/control_tree.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using image_gen::Canvas;

int RunTool(const std::string& arguments) {
  const std::string command = std::string(VD_IMAGE_GEN_EXE) + " " + arguments + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t buf[65536];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + got);
    std::fclose(f);
  }
  return bytes;
}

std::string Slashed(std::string gamePath) {
  for (char& c : gamePath)
    if (c == '\\') c = '/';
  return gamePath;
}

uint32_t Alpha(uint32_t argb) { return argb >> 24; }

// The box around the pixels of a rectangle whose alpha is at least half.
struct Box {
  int32_t left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
  int32_t width() const { return right < 0 ? 0 : right - left + 1; }
  int32_t height() const { return bottom < 0 ? 0 : bottom - top + 1; }
};

Box InkBox(const Canvas& c, int32_t x0, int32_t y0, int32_t w, int32_t h) {
  Box b;
  for (int32_t y = y0; y < y0 + h; ++y)
    for (int32_t x = x0; x < x0 + w; ++x)
      if (Alpha(c.At(static_cast<uint32_t>(x), static_cast<uint32_t>(y))) >= 0x80) {
        b.left = std::min(b.left, x);
        b.top = std::min(b.top, y);
        b.right = std::max(b.right, x);
        b.bottom = std::max(b.bottom, y);
      }
  return b;
}

// Mirroring a hex left to right swaps its upper-left and upper-right
// neighbours (and the lower ones); top to bottom swaps upper and lower.
uint32_t Mirror(uint32_t mask, bool x, bool y) {
  const int mx[6] = {2, 1, 0, 5, 4, 3}, my[6] = {3, 4, 5, 0, 1, 2};
  uint32_t out = mask;
  if (x) {
    uint32_t m = 0;
    for (int d = 0; d < 6; ++d)
      if (out >> d & 1u) m |= 1u << mx[d];
    out = m;
  }
  if (y) {
    uint32_t m = 0;
    for (int d = 0; d < 6; ++d)
      if (out >> d & 1u) m |= 1u << my[d];
    out = m;
  }
  return out;
}

// Checks the sizes of the files written under a data root: those the
// drawing code cuts cells from, and the pictures it stretches.
void ExpectSizes(const std::string& root) {
  const std::map<std::string, std::pair<uint32_t, uint32_t>> sizes = {
      {"PXSPLASH", {1024, 768}}, {"SPLASH", {1024, 768}},     {"MENULOAD", {1024, 768}}, {"MENUNEW", {1024, 768}},
      {"BKGND", {1024, 768}},    {"CURSORS", {288, 32}},      {"HEXALPHA128", {128, 128}}, {"LINE", {16, 16}},
      {"TBITS", {512, 480}},     {"UGBITS0", {1024, 1024}},   {"UGBITSME", {256, 256}},  {"UBITS", {256, 32}},
      {"EBITS", {512, 256}},     {"CABINET", {490, 504}},     {"AVATAR", {490, 504}},
  };
  for (const image_gen::ImageFile& f : image_gen::AllImages()) {
    const std::string path = Slashed(f.path);
    const std::vector<uint8_t> png = ReadAll(root + "/" + path);
    plat::DecodedImage image;
    ASSERT_EQ(plat::DecodeImage(png.data(), png.size(), &image), plat::kOk) << path;
    const std::string stem = fs::path(path).stem().string();
    std::pair<uint32_t, uint32_t> want;
    if (sizes.count(stem))
      want = sizes.at(stem);
    else if (stem.rfind("VDBITS", 0) == 0)
      want = {512, 512};
    else if (stem.rfind("UNITBITS", 0) == 0)
      want = {504, 420};
    else if (stem.rfind("Techbits", 0) == 0)
      want = {102, 102};
    else
      ADD_FAILURE() << "unexpected file " << path;
    EXPECT_EQ(image.info.width, want.first) << path;
    EXPECT_EQ(image.info.height, want.second) << path;
    // What the drawing code draws must be there to draw (a sheet of small
    // overlays is the sparsest).
    uint32_t opaque = 0;
    for (uint32_t p : image.pixels) opaque += Alpha(p) >= 0x80;
    EXPECT_GT(opaque, image.pixels.size() / 200) << path;
    if (!f.alpha) {
      EXPECT_EQ(opaque, image.pixels.size()) << path;
    }
  }
}


// The tool is run twice only (it is the slowest part of these tests): both
// runs give the same bytes, and the files have their sizes.
TEST(ImageGenTest, TheToolWritesEveryFileAtItsSizeWithTheSameBytesEveryRun) {
  TempDir first, second;
  ASSERT_EQ(RunTool(first.path() + " " + VD_DEJAVU_DIR), 0);
  ASSERT_EQ(RunTool(second.path()), 0);
  std::set<std::string> expected;
  for (const image_gen::ImageFile& f : image_gen::AllImages()) expected.insert(Slashed(f.path));
  // 24 pictures and sets, 48 symbol sheets in each table, the facilities'
  // sheets, 6 technologies.
  EXPECT_EQ(expected.size(), 126u + image_gen::FacilityPictureNumbers().size());
  std::set<std::string> written;
  for (const auto& entry : fs::recursive_directory_iterator(first.path())) {
    if (!entry.is_regular_file()) continue;
    const std::string relative = fs::relative(entry.path(), first.path()).string();
    written.insert(relative);
    const std::vector<uint8_t> a = ReadAll(entry.path().string());
    ASSERT_FALSE(a.empty()) << relative;
    EXPECT_EQ(a, ReadAll(second.path() + "/" + relative)) << relative;
  }
  EXPECT_EQ(written, expected);
  ExpectSizes(first.path());
}

TEST(ImageGenTest, TheToolRefusesBadArgumentsAndMissingFaces) {
  EXPECT_EQ(RunTool(""), 2);
  TempDir dir;
  EXPECT_EQ(RunTool(dir.path() + " " + dir.path()), 1);
}

TEST(ImageGenTest, TheCursorSheetHasAnArrowAtCellZeroAndATargetAtCellFour) {
  const Canvas c = image_gen::CursorSheet();
  // The arrow's tip is on the hot spot (0, 0).
  EXPECT_GE(Alpha(c.At(1, 1)), 0x80u);
  const Box arrow = InkBox(c, 0, 0, 32, 32);
  EXPECT_LE(arrow.left, 1);
  EXPECT_LE(arrow.top, 1);
  EXPECT_GT(arrow.height(), arrow.width());
  // The target is centred on its hot spot (15, 15): opaque there, clear at
  // the cell's corners, as wide as high.
  EXPECT_GE(Alpha(c.At(128 + 15, 15)), 0x80u);
  EXPECT_EQ(Alpha(c.At(128 + 1, 1)), 0u);
  EXPECT_EQ(Alpha(c.At(128 + 30, 30)), 0u);
  const Box target = InkBox(c, 128, 0, 32, 32);
  EXPECT_EQ(target.left - 128 + target.right - 128, 30);  // symmetric about 15
  EXPECT_EQ(target.width(), target.height());
  for (int32_t cell = 0; cell < 9; ++cell) EXPECT_GT(InkBox(c, cell * 32, 0, 32, 32).width(), 8) << cell;
}

TEST(ImageGenTest, TheHexMaskIsClearInsideTheSevenHexesAndOpaqueOutside) {
  const Canvas c = image_gen::HexAlphaMask();
  // The selected hex's and the neighbours' centres (map pixels scaled to the
  // mask's 64 rows).
  for (const auto& [x, y] : {std::pair<uint32_t, uint32_t>{36, 32}, {18, 21}, {54, 21}, {18, 42}, {54, 42}, {36, 11},
                             {36, 53}})
    EXPECT_EQ(Alpha(c.At(x, y)), 0u) << x << "," << y;
  // Outside the flower: the corners, the notches between the outer hexes,
  // and everything past the close-up's 72 x 64.
  for (const auto& [x, y] : {std::pair<uint32_t, uint32_t>{0, 0}, {71, 0}, {0, 63}, {71, 63}, {3, 32}, {68, 32},
                             {100, 20}, {20, 100}})
    EXPECT_EQ(Alpha(c.At(x, y)), 255u) << x << "," << y;
  // The edge is smooth: some pixels are partly clear.
  uint32_t partial = 0;
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 72; ++x) partial += Alpha(c.At(x, y)) > 0 && Alpha(c.At(x, y)) < 255;
  EXPECT_GT(partial, 20u);
}

TEST(ImageGenTest, BorderPiecesAgreeWithEveryEntryOfTheBorderTable) {
  std::set<uint32_t> seen;
  for (int piece = 0; piece < image_gen::kBorderPieces; ++piece) {
    const uint32_t edges = image_gen::BorderPieceEdges(piece);
    EXPECT_NE(edges, 0u) << piece;
    EXPECT_TRUE(seen.insert(edges).second) << "piece " << piece << " repeats another";
  }
  EXPECT_EQ(image_gen::BorderPieceEdges(0), 0x01u);   // upper-left alone
  EXPECT_EQ(image_gen::BorderPieceEdges(18), 0x3Fu);  // all six
  for (uint32_t mask = 1; mask < 64; ++mask) {
    const image_gen::BorderPiece p = image_gen::BorderPieceFor(mask);
    ASSERT_GE(p.piece, 0);
    ASSERT_LT(p.piece, image_gen::kBorderPieces);
    EXPECT_EQ(Mirror(image_gen::BorderPieceEdges(p.piece), p.flipX, p.flipY), mask) << mask;
  }
  // Piece 1 is the upper edge alone: ink in the top of its cell only.
  const Canvas c = image_gen::MapMarkers();
  const Box upper = InkBox(c, 64, 512, 64, 64);
  EXPECT_GT(upper.width(), 16);
  EXPECT_LT(upper.bottom - 512, 16);
}

TEST(ImageGenTest, ButtonFramePiecesFillTheColumnsTheFrameDrawerReads) {
  const Canvas sheet = image_gen::UiSheet(0);
  const int32_t top = kFramePieceTop, bottom = kFramePieceTop + kFramePieceHeight;
  struct Row {
    int32_t left;
    bool sunken;
  };
  for (const Row& row : {Row{kFramePieceLeft, false}, Row{kFramePieceSelectedLeft, true}}) {
    const int32_t right = row.left + kFramePieceWidth;
    for (int32_t y = top; y < bottom; ++y)
      for (int32_t x = row.left; x < right; ++x)
        ASSERT_EQ(sheet.At(x, y) >> 24, 0xFFu) << x << "," << y;  // opaque over the whole piece
    // The bevel: lighter than the face at the top left when raised,
    // darker when sunken.
    const auto brightness = [&](int32_t x, int32_t y) { return (sheet.At(x, y) >> 8) & 0xFFu; };
    const uint32_t face = brightness(row.left + 32, top + 8);
    EXPECT_EQ(brightness(row.left, top) > face, !row.sunken) << row.left;
    EXPECT_EQ(brightness(right - 1, bottom - 1) < face, !row.sunken) << row.left;
  }
  // Nothing of a piece spills past its columns into the gap between them.
  EXPECT_NE(sheet.At(kFramePieceLeft + kFramePieceWidth, top + 8), sheet.At(kFramePieceLeft + 32, top + 8));
}

TEST(ImageGenTest, MarkersAndRoutePiecesSitWhereTheMapTakesThem) {
  const Canvas c = image_gen::MapMarkers();
  // Marker 3 (shading) is a filled hex: its centre opaque, its corners clear.
  EXPECT_EQ(Alpha(c.At(11 * 64 + 32, 640 + 32)), 255u);
  EXPECT_EQ(Alpha(c.At(11 * 64 + 1, 640 + 1)), 0u);
  // Marker 1 (cursor) is an outline: clear in the middle.
  EXPECT_EQ(Alpha(c.At(9 * 64 + 32, 640 + 32)), 0u);
  EXPECT_GT(InkBox(c, 9 * 64, 640, 64, 64).width(), 40);
  // Unit-route piece 1 runs from the centre upward; piece 4 downward.
  const Box up = InkBox(c, 64, 640, 64, 64), down = InkBox(c, 4 * 64, 640, 64, 64);
  EXPECT_LT(up.top - 640, 12);
  EXPECT_LE(up.bottom - 640, 36);
  EXPECT_GE(down.top - 640, 28);
  EXPECT_GT(down.bottom - 640, 52);
  // Bends join two edges: bend 7 (the bend table's entry for the upper and
  // the lower neighbour) runs through the cell from top to bottom, bend 4
  // (upper-left and lower-left) stays in its left half.
  for (int32_t row : {704, 832, 960}) {
    const Box through = InkBox(c, 7 * 64, row, 64, 64);
    EXPECT_GT(through.height(), 48) << row;
    const Box left = InkBox(c, 4 * 64, row, 64, 64);
    EXPECT_LE(left.right - 4 * 64, 36) << row;
  }
}

TEST(ImageGenTest, UnitPicturesTurnWithTheirFacing) {
  const Canvas tank = image_gen::UnitSheet(0, false);
  // Facing 0 points up (taller than wide), facing 6 to the side.
  const Box f0 = InkBox(tank, 0, 0, 168, 84), f6 = InkBox(tank, 0, 2 * 84, 168, 84);
  EXPECT_GT(f0.height(), f0.width());
  EXPECT_GT(f6.width(), f6.height());
  // Every facing's cell (0 to 12) of a tank, foot soldiers, an aircraft, a
  // ship and a stock (with its overlay) stays inside the 48 x 44 pixels
  // around the cell's centre that the map, drawing the frame at half size,
  // lays over the unit's own hex. The class's own picture (cell 14) is for
  // panels and keeps its size.
  for (const int sheet : {8, 2, 18, 30, 44}) {
    for (const bool overlay : {false, true}) {
      const Canvas c = image_gen::UnitSheet(sheet, overlay);
      // Cell 14 faces as cell 6 does, larger.
      const Box own = InkBox(c, 336, 336, 168, 84), side = InkBox(c, 0, 168, 168, 84);
      EXPECT_GT(own.width(), side.width()) << sheet;
      EXPECT_GT(own.height(), side.height()) << sheet;
      for (int cell = 0; cell <= 12; ++cell) {
        const int32_t x0 = (cell % 3) * 168, y0 = (cell / 3) * 84;
        const Box b = InkBox(c, x0, y0, 168, 84);
        EXPECT_GE(b.left, x0 + 84 - 24) << sheet << " cell " << cell;
        EXPECT_GE(b.top, y0 + 42 - 22) << sheet << " cell " << cell;
        EXPECT_LE(b.right, x0 + 84 + 24) << sheet << " cell " << cell;
        EXPECT_LE(b.bottom, y0 + 42 + 22) << sheet << " cell " << cell;
      }
    }
  }
}

// What a hex shows of a symbol: the 24 x 22 map pixels around the hex's
// centre, the symbol's frame (source) stretched over width x height map
// pixels centred there, each pixel the mean of 4 x 4 samples, its colour
// weighted by its alpha as the map blends it over the ground.
std::vector<uint32_t> HexShows(const Canvas& sheet, plat::Rect source, float width, float height) {
  std::vector<uint32_t> out;
  const double sx = (source.right - source.left) / double(width), sy = (source.bottom - source.top) / double(height);
  const double cx = (source.left + source.right) / 2.0, cy = (source.top + source.bottom) / 2.0;
  for (int y = -11; y < 11; ++y)
    for (int x = -12; x < 12; ++x) {
      uint32_t sum[3] = {};
      for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
          const auto u = static_cast<uint32_t>(cx + (x + (i + 0.5) / 4) * sx);
          const auto v = static_cast<uint32_t>(cy + (y + (j + 0.5) / 4) * sy);
          const uint32_t p = sheet.At(u, v);
          for (int k = 0; k < 3; ++k) sum[k] += (p >> (16 - 8 * k) & 0xFFu) * Alpha(p) / 255;
        }
      out.push_back((sum[0] / 16) << 16 | (sum[1] / 16) << 8 | sum[2] / 16);
    }
  return out;
}

// The share (in percent) of the hex's pixels that differ by more than a
// quarter of full scale in some channel.
int PercentDiffering(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int differ = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift <= 16; shift += 8) {
      const int d = int(a[i] >> shift & 0xFFu) - int(b[i] >> shift & 0xFFu);
      if (d > 64 || d < -64) {
        ++differ;
        break;
      }
    }
  return differ * 100 / int(a.size());
}

TEST(ImageGenTest, FacilityKindsLookUnlikeEachOtherAndUnlikeUnits) {
  // Facilities as the map draws them: cell 0, 168 x 84 over 48 x 30; units
  // facing 0, 164 x 80 over 82 x 40. Capital, port, air base, silo,
  // research centre, heavy industry and depot; a tank, foot soldiers, an
  // aircraft and a ship.
  struct Row { const char* what; int number; bool facility; };
  const Row rows[] = {
      {"capital", 4003, true}, {"port", 4006, true},       {"air base", 4015, true},  {"silo", 4011, true},
      {"research", 4037, true}, {"industry", 4033, true},  {"depot", 4004, true},     {"tank", 8, false},
      {"infantry", 2, false},  {"aircraft", 18, false},    {"ship", 30, false},
  };
  std::vector<std::vector<uint32_t>> shown;
  for (const Row& r : rows) {
    if (r.facility) {
      const int n = image_gen::FacilityPictureNumber(r.number);
      ASSERT_TRUE(image_gen::IsFacilityPicture(n)) << r.what;
      shown.push_back(HexShows(image_gen::FacilitySheet(n), {0, 0, 168, 84}, 48, 30));
    } else {
      shown.push_back(HexShows(image_gen::UnitSheet(r.number, false), {2, 2, 166, 82}, 82, 40));
    }
  }
  // Two facilities, or a facility and a unit, differ over at least a fifth
  // of the hex.
  for (size_t i = 0; i < std::size(rows); ++i)
    for (size_t j = i + 1; j < std::size(rows); ++j) {
      if (!rows[i].facility) continue;
      EXPECT_GE(PercentDiffering(shown[i], shown[j]), 20) << rows[i].what << " and " << rows[j].what;
    }
}

TEST(ImageGenTest, SettlementsShowTheCapitalAtCellTwelveOnly) {
  struct Row { int classNumber; bool capitalCell; };
  const Row rows[] = {{4000, true}, {4002, true}, {4003, true}, {4006, false}, {4033, false}};
  for (const Row& r : rows) {
    const Canvas sheet = image_gen::FacilitySheet(image_gen::FacilityPictureNumber(r.classNumber));
    const auto plain = HexShows(sheet, {0, 0, 168, 84}, 48, 30);
    // Cells 1 and 12 against cell 0: a facility does not turn.
    EXPECT_EQ(HexShows(sheet, {168, 0, 336, 84}, 48, 30), plain) << r.classNumber;
    const auto capital = HexShows(sheet, {0, 336, 168, 420}, 48, 30);
    EXPECT_EQ(capital != plain, r.capitalCell) << r.classNumber;
  }
}

TEST(ImageGenTest, PortraitCellsEachHoldAFace) {
  const Canvas sheet = image_gen::PortraitSheet(0);
  for (uint32_t cell = 0; cell < 63; ++cell) {
    const uint32_t x = (cell % 7) * 70 + 35, y = (cell / 7) * 56 + 27;
    EXPECT_EQ(Alpha(sheet.At(x, y)), 255u) << cell;
  }
}

// The sample's terrain table, read as the importer reads it: a blank row
// keeps its place (an empty type), the row after STARTTERRAIN is type 0.
struct TerrainLine {
  int index;
  std::string name;
  bool water;
  int right, left, bottom, top;
};
std::vector<TerrainLine> SampleTerrains() {
  std::vector<TerrainLine> lines;
  FILE* f = std::fopen(VD_TERRAIN_TABLE, "rb");
  if (!f) return lines;
  char buffer[4096];
  bool started = false;
  int index = 0;
  while (std::fgets(buffer, sizeof buffer, f)) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (!started) {
      started = line.rfind("STARTTERRAIN", 0) == 0;
      continue;
    }
    std::vector<std::string> cells;
    for (size_t at = 0;;) {
      const size_t comma = line.find(',', at);
      cells.push_back(line.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
      if (comma == std::string::npos) break;
      at = comma + 1;
    }
    if (cells.size() >= 63)
      lines.push_back({index, cells[0], cells[52] == "yes", std::stoi(cells[59]), std::stoi(cells[60]),
                       std::stoi(cells[61]), std::stoi(cells[62])});
    ++index;
  }
  std::fclose(f);
  return lines;
}

TEST(ImageGenTest, EachSampleTerrainsPictureIsItsOwnCellAndLooksLikeItsKind) {
  const std::vector<TerrainLine> terrains = SampleTerrains();
  ASSERT_EQ(terrains.size(), 14u) << VD_TERRAIN_TABLE;
  const Canvas sheet = image_gen::TerrainTiles();
  std::set<uint32_t> looks;
  for (const TerrainLine& t : terrains) {
    SCOPED_TRACE(t.name);
    // The palette picks terrain r x 16 + c from cell (c, r): the table must
    // point each terrain at that same cell.
    const int left = 32 * (t.index % 16), top = 32 * (t.index / 16);
    EXPECT_EQ(t.left, left);
    EXPECT_EQ(t.top, top);
    EXPECT_EQ(t.right, left + 32);
    EXPECT_EQ(t.bottom, top + 32);
    // Water is blue, land is not: the hex's middle pixel.
    const uint32_t pixel = sheet.At(static_cast<uint32_t>(left + 16), static_cast<uint32_t>(top + 8));
    const uint32_t r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    EXPECT_EQ(pixel >> 24, 0xFFu);
    EXPECT_EQ(b > r + 40 && b > g, t.water) << std::hex << pixel;
    looks.insert(pixel & 0xF0F0F0u);
  }
  // No two terrains share a picture, and type 0 has none.
  EXPECT_EQ(looks.size(), terrains.size());
  EXPECT_EQ(sheet.At(16, 16) >> 24, 0u);
}

}  // namespace

namespace {

std::string FormText(const std::string& name) {
  std::ifstream in(std::string(VD_FORMS_DIR) + "/" + name + ".form", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Pixels of the cell's inside that are not its ground: a drawn mark covers
// much of it, a numbered cell only its small label.
int32_t CellInk(const Canvas& sheet, int cell) {
  const int32_t x0 = cell % 8 * 64, y0 = cell / 8 * 64;
  const uint32_t ground = sheet.At(static_cast<uint32_t>(x0 + 7), static_cast<uint32_t>(y0 + 7));
  int32_t ink = 0;
  for (int32_t y = y0 + 6; y < y0 + 58; ++y)
    for (int32_t x = x0 + 6; x < x0 + 58; ++x)
      ink += sheet.At(static_cast<uint32_t>(x), static_cast<uint32_t>(y)) != ground;
  return ink;
}

constexpr int32_t kDrawnInk = 52 * 52 / 8;

}  // namespace

// The marks the unit and production rows show by tag: each form's picture is
// a whole cell of the icon set, a cell no other mark or icon takes, with a
// drawing in it (a cell left numbered has too little ink to pass).
TEST(ImageGenTest, EachRowMarkIsItsOwnDrawnCellOfTheIconSet) {
  const struct {
    const char* form;
    const char* tag;
    int cell;
  } rows[] = {
      {"MILITARY_PROGRESS", "CARGOICON", image_gen::kCargoMarkCell},
      {"MILITARY_PROGRESS", "MISICON", image_gen::kMissileMarkCell},
      {"MILITARY_PROGRESS", "LANDEDICON", image_gen::kLandedMarkCell},
      {"MILITARY_PROGRESS", "RESICON", image_gen::kResearchMarkCell},
      {"MISSILE_PROGRESS", "TARGICON", image_gen::kTargetMarkCell},
  };
  image_gen::SetFontDirectory(VD_DEJAVU_DIR);
  const Canvas sheet = image_gen::UiSheet(image_gen::kIconSheet);
  std::set<int> taken = {image_gen::kLongRangeIconCell};
  for (int id = 0; id < 1000; ++id)
    if (image_gen::IconCell(id) >= 0) taken.insert(image_gen::IconCell(id));
  EXPECT_LT(CellInk(sheet, 63), kDrawnInk) << "a numbered cell reads as empty";
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.form) + " " + r.tag);
    const FormSource source = ParseFormSource(FormText(r.form), r.form);
    ASSERT_TRUE(source.root) << source.error;
    const auto* mark = dynamic_cast<const BitmapControl*>(FormFindControlByTag(source.root.get(), r.tag));
    ASSERT_NE(mark, nullptr) << "the mark is a picture";
    const int32_t x0 = r.cell % 8 * 64, y0 = r.cell / 8 * 64;
    const plat::Rect& from = mark->images[0].source;
    EXPECT_EQ(mark->images[0].set, image_gen::kIconSheet);
    EXPECT_EQ(std::vector<int32_t>({from.left, from.top, from.right, from.bottom}),
              std::vector<int32_t>({x0, y0, x0 + 64, y0 + 64}));
    EXPECT_TRUE(taken.insert(r.cell).second) << "cell " << r.cell << " is another's";
    EXPECT_GE(CellInk(sheet, r.cell), kDrawnInk) << "cell " << r.cell << " is drawn";
  }
}
