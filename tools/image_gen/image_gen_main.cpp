// Draws the game's images under a data root:
//   image_gen DATA_ROOT [FONT_DIR]
// FONT_DIR holds the DejaVu faces for the pictures' titles.
#include <cstdio>

#include "image_gen.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: image_gen DATA_ROOT [FONT_DIR]\n");
    return 2;
  }
  return image_gen::WriteAllImages(argv[1], argc == 3 ? argv[2] : "/usr/share/fonts/truetype/dejavu") ? 0 : 1;
}
