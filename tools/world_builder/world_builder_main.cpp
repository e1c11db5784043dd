// Builds the sample world: world_builder SOURCE-FOLDER GAME-FOLDER.
// With --preview SOURCE-FOLDER it only prints the generated map, a letter
// per hex (region digits on land, terrain letters with -t).
#include <cstdio>
#include <cstring>

#include "platform/paths.h"
#include "bench_world.h"
#include "world_builder.h"

namespace {

int Preview(const char* source, bool terrain) {
  plat::SetDataRoot(source);
  worldgen::WorldLayout layout;
  worldgen::GeneratedMap map;
  std::string error;
  if (!worldgen::ReadWorldLayout("WORLD", layout, error) || !worldgen::GenerateMap(layout, map, error)) {
    std::fprintf(stderr, "world_builder: %s\n", error.c_str());
    return 1;
  }
  static const char kLetters[] = "~-oPGFJHMDTISR";
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width; ++x) {
      const size_t i = map.Index({x, y});
      const int owner = map.owner[i];
      char c = kLetters[map.role[i]];
      if (!terrain && !map.IsWater({x, y}) && owner) c = static_cast<char>('0' + owner);
      std::putchar(c);
    }
    std::putchar('\n');
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--preview") == 0)
    return Preview(argv[2], argc > 3 && std::strcmp(argv[3], "-t") == 0);
  if (argc == 6 && std::strcmp(argv[1], "--bench") == 0) {
    // world_builder --bench SAMPLE-SOURCE DATA-FOLDER WORK-FOLDER GAME-FOLDER
    worldgen::BuildSummary summary;
    std::string error;
    if (!worldgen::WriteBenchSources(argv[2], argv[3], argv[4], error) ||
        !worldgen::BuildSampleWorld(std::string(argv[4]) + "/world", argv[5], summary, error)) {
      std::fprintf(stderr, "world_builder: %s\n", error.c_str());
      return 1;
    }
    std::printf("world_builder: benchmark world %d x %d hexes, %d regions, %d units\n", summary.width, summary.height,
                summary.regions, summary.placed.units);
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: world_builder SOURCE-FOLDER GAME-FOLDER\n       world_builder --preview SOURCE-FOLDER [-t]\n"
                 "       world_builder --bench SAMPLE-SOURCE DATA-FOLDER WORK-FOLDER GAME-FOLDER\n");
    return 2;
  }
  worldgen::BuildSummary summary;
  std::string error;
  if (!worldgen::BuildSampleWorld(argv[1], argv[2], summary, error)) {
    std::fprintf(stderr, "world_builder: %s\n", error.c_str());
    return 1;
  }
  std::printf("world_builder: %d x %d hexes, %d regions, %d towns, %d villages, %d facilities, %d units, "
              "%d rivers, %d unit classes, %d technologies, %d people\n",
              summary.width, summary.height, summary.regions, summary.placed.towns, summary.placed.villages,
              summary.placed.facilities, summary.placed.units, summary.rivers, summary.unitClasses,
              summary.technologies, summary.people);
  return 0;
}
