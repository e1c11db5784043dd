#pragma once
// Draws every image file of the game's "GRAPHICS\" folder and writes them as
// PNG under a data root. Deterministic: the same build writes the same bytes.
#include <functional>
#include <string>
#include <vector>

#include "canvas.h"

namespace image_gen {

struct ImageFile {
  std::string path;  // game path ("GRAPHICS\TBITS.PNG")
  bool alpha;        // written with its alpha channel
  std::function<Canvas()> draw;
};

// Every file, in the order written.
std::vector<ImageFile> AllImages();

// Writes every file under the data root (the faces for text from fontDir);
// false (with a message on stderr) when one cannot be written.
bool WriteAllImages(const std::string& dataRoot, const std::string& fontDir);

}  // namespace image_gen
