#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "world/data_file_test_support.h"
#include "records/le_bytes.h"
#include "world/text/editor_imports.h"
#include "world/world.h"

namespace {

using filetest::DataRootScope;

constexpr int32_t kFailCode = static_cast<int32_t>(0x80004005u);

std::string Row(const std::vector<std::string>& cells) {
  std::string row;
  for (size_t i = 0; i < cells.size(); ++i) row += (i ? "," : "") + cells[i];
  return row + "\r\n";
}

class TableImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    ResetWorldDataTables(*world_);
    NewGameData(*world_);
  }
  void Write(const std::string& name, const std::string& text) { root_.dir().Write("CUSTOM/" + name + ".CSV", text); }

  std::string Tables() const {
    const World& w = *world_;
    std::string f(reinterpret_cast<const char*>(w.terrains.data()), w.terrains.size() * sizeof(TerrainRecord));
    f.append(w.people.begin(), w.people.end());
    for (const UnitClassRecord& c : w.unitClasses)
      f.append(reinterpret_cast<const char*>(static_cast<const UnitClassImage*>(&c)), sizeof(UnitClassImage));
    for (const TechRecord& t : w.techs) {
      f.append(reinterpret_cast<const char*>(static_cast<const TechImage*>(&t)), sizeof(TechImage));
      f += t.name.c_str();
    }
    f += std::to_string(w.unitClassHeader.classCount) + "/" + std::to_string(w.techHeader.techCount) + "/" +
         std::to_string(w.designRows.size()) + "/" + std::to_string(w.techRows.size());
    return f;
  }

  DataRootScope root_;
  std::unique_ptr<World> world_;
};

// --- Terrain ----------------------------------------------------------------

std::vector<std::string> TerrainCells(const std::string& name, int seed) {
  std::vector<std::string> c{name};
  for (int i = 0; i < 24; ++i) c.push_back(std::to_string(seed + i) + ".5");  // yields, neighbourhood
  for (std::string v : {"1", "2", "30", "4"}) c.push_back(v);                   // bytes 96..99
  for (std::string v : {"3", "5", "9", "6", "2", "4", "1", "0"}) c.push_back(v);  // climate
  for (int i = 0; i < 8; ++i) c.push_back(std::to_string(10 + i));            // movement
  for (int i = 0; i < 4; ++i) c.push_back(std::to_string(20 + i));            // further values
  for (std::string v : {"33", "34", "35"}) c.push_back(v);                      // 132, 133, 134
  for (std::string v : {"yes", "no", "0", "N", "F", "Y", "no"}) c.push_back(v);  // flags
  for (std::string v : {"64", "32", "96", "64"}) c.push_back(v);               // right, left, bottom, top
  return c;
}

TEST_F(TableImportTest, TerrainLinesFillTheTypesInOrder) {
  Write("TERFILE", "Terrain types\r\nSTARTTERRAIN,rest of the line\r\n" + Row(TerrainCells("Deep Sea", 0)) +
                       Row(TerrainCells("A Terrain Named Long", 100)) + ",,,\r\n" + Row(TerrainCells("Hills", 200)));
  std::string error;
  ASSERT_EQ(ImportTerrainCsv(*world_, "TERFILE", &error), 0) << error;
  const TerrainRecord& t0 = world_->terrains[0];
  EXPECT_STREQ(reinterpret_cast<const char*>(t0.bytes + 100), "Deep Sea");
  EXPECT_FLOAT_EQ(le::LoadF32(t0.bytes + 0), 0.5f);
  EXPECT_FLOAT_EQ(le::LoadF32(t0.bytes + 44), 11.5f);
  EXPECT_FLOAT_EQ(le::LoadF32(t0.bytes + 48), 12.5f);
  EXPECT_FLOAT_EQ(le::LoadF32(t0.bytes + 92), 23.5f);
  EXPECT_EQ(t0.bytes[96], 1);
  EXPECT_EQ(t0.bytes[98], 30);
  EXPECT_EQ(le::Load32(t0.bytes + 116), 0x01426953u);
  EXPECT_EQ(t0.bytes[120], 10);
  EXPECT_EQ(t0.bytes[127], 17);
  EXPECT_EQ(t0.bytes[128], 20);
  EXPECT_EQ(t0.bytes[131], 23);
  EXPECT_EQ(t0.bytes[132], 33);
  EXPECT_EQ(t0.bytes[134], 35);
  EXPECT_EQ(le::Load32(t0.bytes + 136), 0x21u);
  EXPECT_EQ(t0.imageLeft, 32);
  EXPECT_EQ(t0.imageTop, 64);
  EXPECT_EQ(t0.imageRight, 64);
  EXPECT_EQ(t0.imageBottom, 96);
  // A 20-character name keeps 15.
  EXPECT_STREQ(reinterpret_cast<const char*>(world_->terrains[1].bytes + 100), "A Terrain Named");
  EXPECT_FLOAT_EQ(le::LoadF32(world_->terrains[1].bytes + 0), 100.5f);
  // The empty row keeps its place with an empty type on its default tile.
  EXPECT_EQ(world_->terrains[2].bytes[100], 0);
  EXPECT_EQ(world_->terrains[2].imageLeft, 64);
  EXPECT_EQ(world_->terrains[2].imageTop, 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(world_->terrains[3].bytes + 100), "Hills");
  EXPECT_EQ(world_->terrains[255].imageLeft, 32 * 15);
  EXPECT_EQ(world_->terrains[255].imageTop, 32 * 15);
}

TEST_F(TableImportTest, BadTerrainLinesAreRefusedWithTheirLine) {
  const std::string before = Tables();
  auto climate = TerrainCells("Bad", 0);
  climate[1 + 24 + 4 + 2] = "16";  // a climate value above 15
  Write("TERFILE", "STARTTERRAIN\n" + Row(TerrainCells("Good", 0)) + Row(climate));
  std::string error;
  EXPECT_EQ(ImportTerrainCsv(*world_, "TERFILE", &error), kFailCode);
  EXPECT_NE(error.find("CUSTOM\\TERFILE.CSV line 3: column 32 (summer temperature): 16 is outside 0 to 15"),
            std::string::npos)
      << error;
  EXPECT_EQ(Tables(), before);

  auto shortRow = TerrainCells("Short", 0);
  shortRow.pop_back();
  Write("TERFILE", "STARTTERRAIN\n" + Row(shortRow));
  EXPECT_EQ(ImportTerrainCsv(*world_, "TERFILE", &error), kFailCode);
  EXPECT_NE(error.find("line 2: column 63 (tile top) is missing"), std::string::npos) << error;
  EXPECT_EQ(Tables(), before);

  Write("TERFILE", "No keyword here\n" + Row(TerrainCells("Good", 0)));
  EXPECT_EQ(ImportTerrainCsv(*world_, "TERFILE", &error), kFailCode);
  EXPECT_NE(error.find("STARTTERRAIN"), std::string::npos);
  EXPECT_EQ(Tables(), before);
}

TEST_F(TableImportTest, TerrainReadingStopsAfter256Types) {
  std::string text = "STARTTERRAIN\n";
  for (int i = 0; i < 256; ++i) text += Row(TerrainCells("T" + std::to_string(i), 0));
  text += "this line is past the table and is never read\n";
  Write("TERFILE", text);
  ASSERT_EQ(ImportTerrainCsv(*world_, "TERFILE"), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(world_->terrains[255].bytes + 100), "T255");
}

// --- People -----------------------------------------------------------------

TEST_F(TableImportTest, PeopleLinesFillTheirEntries) {
  Write("PPLFILE",
        "Index,Name,Skill\n"
        "5,A person with a long name,1,2,yes,-3,9,11,12,13,14,15,999,17,19,16,18,20,21,0,26,24,25,22,23,27,0,-2,300,"
        "1000\n"
        "\n"
        "255,Last,0,0,no,200,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n");
  std::string error;
  ASSERT_EQ(ImportPeopleCsv(*world_, "PPLFILE", &error), 0) << error;
  const uint8_t* e = world_->people.data() + 5 * 56;
  EXPECT_STREQ(reinterpret_cast<const char*>(e + 40), "A person with a");  // cut to 15
  EXPECT_EQ(e[1], 1);
  EXPECT_EQ(e[2], 2);
  EXPECT_EQ(e[4], 1);
  EXPECT_EQ(e[8], 0xFD);  // -3 kept as a byte
  EXPECT_EQ(e[9], 9);
  EXPECT_EQ(e[10], 0);
  for (int b = 11; b <= 27; ++b) EXPECT_EQ(e[b], b) << b;
  EXPECT_EQ(le::LoadI16(e + 28), -2);
  EXPECT_EQ(le::LoadI16(e + 32), 300);
  EXPECT_EQ(le::LoadI16(e + 30), 1000);
  EXPECT_EQ(world_->people[255 * 56 + 8], 200);
  EXPECT_STREQ(reinterpret_cast<const char*>(world_->people.data() + 255 * 56 + 40), "Last");
  for (size_t b = 0; b < 56; ++b) EXPECT_EQ(world_->people[4 * 56 + b], 0) << b;
}

TEST_F(TableImportTest, BadPeopleLinesAreRefused) {
  const std::string row = ",P,1,2,yes,3,9,11,12,13,14,15,0,17,19,16,18,20,21,0,26,24,25,22,23,27,0,1,2,3\n";
  const std::string before = Tables();
  std::string error;
  Write("PPLFILE", "256" + row);
  EXPECT_EQ(ImportPeopleCsv(*world_, "PPLFILE", &error), kFailCode);
  EXPECT_NE(error.find("line 1: column 1 (index): 256 is outside 0 to 255"), std::string::npos) << error;
  Write("PPLFILE", "3" + row + "3" + row);
  EXPECT_EQ(ImportPeopleCsv(*world_, "PPLFILE", &error), kFailCode);
  EXPECT_NE(error.find("line 2: person 3 is given twice"), std::string::npos) << error;
  Write("PPLFILE", "Heading\n4,P,1,2,yes,3,9,11,12,13,14,15,0,17,19,16,18,20,21,0,26,24,25,22,23,27,0,1,2,40000\n");
  EXPECT_EQ(ImportPeopleCsv(*world_, "PPLFILE", &error), kFailCode);
  EXPECT_NE(error.find("line 2: column 30 (value at 30): 40000 is outside -32768 to 32767"), std::string::npos)
      << error;
  EXPECT_EQ(Tables(), before);
}

// --- Unit classes -----------------------------------------------------------

// Number, name, short name and the 111 field cells, every field 0 but a
// few; then 12 empty cells of the extra block.
std::vector<std::string> ClassCells(int id, const std::string& name, int type) {
  std::vector<std::string> c(3 + 111, "0");
  c[0] = std::to_string(id);
  c[1] = name;
  c[2] = "SHORTNAME";
  c[3] = std::to_string(type);  // type byte (24)
  c[3 + 4] = "12";              // strength per size (28)
  c[3 + 15] = "0xFFFFFFFF";     // availability (56)
  c[3 + 17] = "40";             // speed (66)
  // Flags: the fifth column is bit 6, the twenty-sixth bit 28.
  c[3 + 22 + 4] = "yes";
  c[3 + 22 + 25] = "Y";
  c[3 + 22 + 28] = "1";         // the second flag word
  c[3 + 22 + 29] = "1.5";       // fuel use (80)
  for (int i = 0; i < 12; ++i) c.push_back("");  // no extra block
  return c;
}

TEST_F(TableImportTest, UnitClassLinesFillTheirRecords) {
  auto withExtra = ClassCells(9, "Supply Depot", 24);
  withExtra[withExtra.size() - 12] = "2.5";
  Write("VDUNITS",
        "Units\nMAXNUM,10\nID#,Name,Short\nheading two\nheading three\n" + Row(ClassCells(4, "Light Infantry", 0)) +
            Row(withExtra) + Row(ClassCells(7, "Bad Type", 26)));
  std::string error;
  ASSERT_EQ(ImportUnitsCsv(*world_, "VDUNITS", &error), 0) << error;
  const World& w = *world_;
  ASSERT_EQ(w.unitClasses.size(), 10u);
  EXPECT_EQ(w.unitClassHeader.classCount, 10);
  EXPECT_EQ(w.designRows.size(), 32u * 12u);  // 10 rounded up to 12
  const UnitClassRecord& c = w.unitClasses[4];
  EXPECT_STREQ(c.name, "Light Infantry");
  EXPECT_STREQ(c.name + 16, "SHORTNA");  // short names keep 7
  EXPECT_EQ(c.typeByte, 0);
  EXPECT_EQ(c.strengthPerSize, 12);
  EXPECT_EQ(c.availability, 0xFFFFFFFFu);
  EXPECT_EQ(c.speed, 40);
  EXPECT_EQ(c.flags, 0x10000040u);
  EXPECT_EQ(c.secondFlags, 1u);
  EXPECT_FLOAT_EQ(c.fuelUse, 1.5f);
  EXPECT_FALSE(c.hasExtra);
  EXPECT_EQ(c.extraSlot, 0u);
  EXPECT_TRUE(w.unitClasses[9].hasExtra);
  EXPECT_FLOAT_EQ(le::LoadF32(w.unitClasses[9].extra.data()), 2.5f);
  EXPECT_EQ(w.unitClasses[9].typeByte, 24);
  // A type beyond the 26 leaves the class unnamed; an unlisted class is empty.
  EXPECT_EQ(w.unitClasses[7].name[0], 0);
  EXPECT_EQ(w.unitClasses[7].typeByte, 26);
  EXPECT_EQ(w.unitClasses[5].name[0], 0);
}

TEST_F(TableImportTest, BadUnitClassLinesAreRefused) {
  const std::string head = "MAXNUM,10\nID#\n\n\n";
  const std::string before = Tables();
  std::string error;
  Write("VDUNITS", head + Row(ClassCells(10, "Too Far", 0)));
  EXPECT_EQ(ImportUnitsCsv(*world_, "VDUNITS", &error), kFailCode);
  EXPECT_NE(error.find("line 5: column 1 (class number): 10 is outside 0 to 9"), std::string::npos) << error;
  auto bad = ClassCells(2, "Bad Speed", 0);
  bad[3 + 17] = "fast";
  Write("VDUNITS", head + Row(bad));
  EXPECT_EQ(ImportUnitsCsv(*world_, "VDUNITS", &error), kFailCode);
  EXPECT_NE(error.find("line 5: column 21 (speed): \"fast\" is not a whole number"), std::string::npos) << error;
  auto shortRow = ClassCells(2, "Short", 0);
  shortRow.resize(shortRow.size() - 1);
  Write("VDUNITS", head + Row(shortRow));
  EXPECT_EQ(ImportUnitsCsv(*world_, "VDUNITS", &error), kFailCode);
  EXPECT_NE(error.find("(extra block) is missing"), std::string::npos) << error;
  Write("VDUNITS", head + Row(ClassCells(2, "Twice", 0)) + Row(ClassCells(2, "Twice", 0)));
  EXPECT_EQ(ImportUnitsCsv(*world_, "VDUNITS", &error), kFailCode);
  EXPECT_NE(error.find("line 6: class 2 is given twice"), std::string::npos) << error;
  EXPECT_EQ(Tables(), before);
}

// --- Technology tree --------------------------------------------------------

TEST_F(TableImportTest, TechnologyLinesFillTheTreeInOrder) {
  Write("TECHTREE",
        "MAXNUM,3\nheading one\nheading two\n"
        "0,None,,0,0,0,0,0,0,0,0,0,0,0,0,0,no,no,no,no,no\n"
        "1,Irrigation,\"Water, brought to the fields\",0,0,120.5,1,2000,3,201,10,-5,4,-2,0.25,7,yes,no,yes,no,no\n"
        "\n");
  std::string error;
  ASSERT_EQ(ImportTechTreeCsv(*world_, "TECHTREE", &error), 0) << error;
  const World& w = *world_;
  ASSERT_EQ(w.techs.size(), 4u);
  EXPECT_EQ(w.techHeader.techCount, 4);
  EXPECT_EQ(w.gameState.techCount, 4);
  EXPECT_STREQ(w.techs[0].name.get(), "None");
  EXPECT_EQ(w.techs[0].text.get(), nullptr);  // an empty description is none
  const TechRecord& t = w.techs[1];
  EXPECT_EQ(t.category, 1);
  EXPECT_STREQ(t.name.get(), "Irrigation");
  EXPECT_STREQ(t.text.get(), "Water, brought to the fields");
  EXPECT_FLOAT_EQ(t.researchCost, 120.5f);
  EXPECT_EQ(t.techLevel, 1);
  EXPECT_FLOAT_EQ(t.price, 2000.0f);
  EXPECT_EQ(t.effectCodes[0], 3);
  EXPECT_EQ(t.effectCodes[1], 201);
  EXPECT_EQ(t.effectPercents[0], 10);
  EXPECT_EQ(t.effectPercents[1], -5);
  EXPECT_EQ(t.popularOpinion, 4);
  EXPECT_EQ(t.worldOpinion, -2);
  EXPECT_FLOAT_EQ(t.value32, 0.25f);
  EXPECT_EQ(t.value2, 7);
  EXPECT_EQ(t.flags, 0x5u);
  // The empty row and the missing last row leave empty slots.
  EXPECT_EQ(w.techs[2].category, 0);
  EXPECT_EQ(w.techs[3].name.get(), nullptr);
}

TEST_F(TableImportTest, BadTechnologyLinesAreRefused) {
  const std::string before = Tables();
  std::string error;
  Write("TECHTREE", "MAXNUM,2\n\n\n1,Far,,3,0,0,0,0,0,0,0,0,0,0,0,0,no,no,no,no,no\n");
  EXPECT_EQ(ImportTechTreeCsv(*world_, "TECHTREE", &error), kFailCode);
  EXPECT_NE(error.find("line 4: column 4 (first prerequisite): 3 is outside 0 to 2"), std::string::npos) << error;
  Write("TECHTREE", "MAXNUM,2\n\n\n1,Odd,,0,0,0,0,0,0,0,200,0,0,0,0,0,no,no,no,no,no\n");
  EXPECT_EQ(ImportTechTreeCsv(*world_, "TECHTREE", &error), kFailCode);
  EXPECT_NE(error.find("column 11 (effect percentage): 200 is outside -128 to 127"), std::string::npos) << error;
  Write("TECHTREE", "1,2,3\n");
  EXPECT_EQ(ImportTechTreeCsv(*world_, "TECHTREE", &error), kFailCode);
  EXPECT_NE(error.find("no MAXNUM"), std::string::npos) << error;
  EXPECT_EQ(Tables(), before);
}

}  // namespace
