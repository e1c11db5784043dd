// Paints a map's background picture from its terrain:
// map_imagery GAME-FOLDER MAP-NAME.
#include <cstdio>
#include <string>

#include "map_imagery.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: map_imagery GAME-FOLDER MAP-NAME\n");
    return 2;
  }
  plat::SetDataRoot(argv[1]);
  std::string error;
  if (!map_imagery::WriteMapPicture(argv[2], error)) {
    std::fprintf(stderr, "map_imagery: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
