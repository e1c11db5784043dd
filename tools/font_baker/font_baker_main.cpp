// Bakes the game's bitmap fonts under a data root:
//   font_baker DATA_ROOT [FONT_DIR]
// FONT_DIR holds the DejaVu faces (by default where fonts-dejavu-core puts
// them).
#include <cstdio>

#include "font_baker.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: font_baker DATA_ROOT [FONT_DIR]\n");
    return 2;
  }
  return font_baker::WriteAllFonts(argv[1], argc == 3 ? argv[2] : font_baker::kDefaultFontDir) ? 0 : 1;
}
