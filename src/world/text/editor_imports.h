#pragma once
// The map editor's CSV imports: scenario designers keep a scenario's numbers
// in spreadsheets and bring them in as "CUSTOM\" + name + ".CSV". The region
// import fills the region records and the world economy; the other four
// rebuild the terrain, people, unit-class and technology tables, from which
// the editor then writes the binary data files.
//
// Each returns 0, or the generic failure with the world unchanged: when the
// file cannot be read, and when a cell is not what its column needs (not a
// number, outside its range, or missing from a short line). The reason,
// naming the file and the line, goes to the log and, when asked, to *error.
// Empty cells take their column's default (the region import keeps the
// field's value). A row holding nothing but blanks and separators is passed
// over, except in the terrain and technology tables, whose rows are in table
// order: there it keeps its place as an empty entry.
#include <cstdint>
#include <string>

struct World;

// Region data. "NUMPLAYERSINFILE" N and "STARTPLAYER" S choose the regions
// S to S+N-1 (S at least 1, S+N at most the game's player count). The
// region table is rebuilt: fresh records, a fresh economy block, local
// player 1, record 0 the world supplier (kind 1, loyalty 1), the chosen
// regions kind 2 with their own numbers; the highest player becomes the
// last chosen region, S+N-1 (the loops over regions stop there). Then
// every key line ("govtype;", "loyalty;", "efficiency[3];", "wmcost[0];",
// "pname[16];" and the rest), found at the start of a line, holds one cell
// per chosen region after the key (the world-market keys one cell).
int32_t ReadPlayerCsv(World& world, const char* name, std::string* error = nullptr);

// Terrain types: after the line of "STARTTERRAIN", one terrain a line, in
// table order, up to 256: name; 12 yields; 12 neighbourhood values; the 4
// bytes at 96 (98 the population level); 8 climate values 0 to 15 (winter,
// spring, summer, autumn temperatures, then rains); 8 movement values; 4
// further values; the bytes at 132, 133 and 134; 7 yes/no flags (bits 0 to
// 6 of the flags at 136, bit 0 water); the tile rectangle as right, left,
// bottom, top. Types no line names stay empty with their default tiles.
int32_t ImportTerrainCsv(World& world, const char* name, std::string* error = nullptr);

// People: one person a line: index 0 to 255, name (at most 15 characters,
// at byte 40 of the entry), then the bytes at 1, 2, a yes/no at 4, a whole
// number kept as the byte at 8, the bytes at 9, 11 to 15, a whole number
// the entry does not keep, the bytes at 17, 19, 16, 18, 20, 21, another
// unkept number, the bytes at 26, 24, 25, 22, 23, 27, another unkept
// number, then the 16-bit values at 28, 32 and 30. Entries no line names
// stay empty.
int32_t ImportPeopleCsv(World& world, const char* name, std::string* error = nullptr);

// Unit and facility classes: "MAXNUM" gives the class count; the line of
// "ID#" and the two after it are headings; then one class a line: its
// number (0 to count - 1), name (at most 15 characters), short name (at
// most 7, at byte 16), then the record's fields in the order of its layout
// (see kUnitClassColumns in the .cpp), 28 yes/no flags and one more, and
// 12 reals of the class's extra block (the block is kept when any of them
// is given). A type byte of 26 or more leaves the class without a name, so
// it cannot be built.
int32_t ImportUnitsCsv(World& world, const char* name, std::string* error = nullptr);

// Technology tree: "MAXNUM" gives N; after the line of "MAXNUM" and the two
// after it, N + 1 technologies one a line, in table order: the first byte
// (its category), name, description, the two prerequisites (0 to N), the
// research cost, the level byte, the price, the two effect codes (0 to 255)
// and their two percentages (-128 to 127), popular and world opinion, the
// value at 32, the 16-bit value at 2, and 5 yes/no flags (bits 0 to 4).
int32_t ImportTechTreeCsv(World& world, const char* name, std::string* error = nullptr);
