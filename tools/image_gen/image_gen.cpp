#include "image_gen.h"

#include <cstdio>

#include "platform/image_loader.h"
#include "platform/paths.h"
#include "sheets.h"

namespace image_gen {

std::vector<ImageFile> AllImages() {
  std::vector<ImageFile> files = {
      {"GRAPHICS\\PXSPLASH.PNG", false, PublisherSplash},
      {"GRAPHICS\\SPLASH.PNG", false, TitleSplash},
      {"GRAPHICS\\MENULOAD.PNG", false, LoadingImage},
      {"GRAPHICS\\MENUNEW.PNG", false, MenuBackground},
      {"GRAPHICS\\BKGND.PNG", false, GameBackground},
      {"GRAPHICS\\CURSORS.PNG", true, CursorSheet},
      {"GRAPHICS\\HEXALPHA128.PNG", true, HexAlphaMask},
      {"GRAPHICS\\LINE.PNG", true, RouteLineTexture},
      {"GRAPHICS\\TBITS.PNG", true, TerrainTiles},
      {"GRAPHICS\\UGBITS0.PNG", true, MapMarkers},
      {"GRAPHICS\\UGBITSME.PNG", true, EditorPalette},
      {"GRAPHICS\\UBITS.PNG", true, UnitBars},
      {"GRAPHICS\\EBITS.PNG", true, EffectFrames},
      {"GRAPHICS\\CABINET.PNG", true, [] { return PortraitSheet(0); }},
      {"GRAPHICS\\AVATAR.PNG", true, [] { return PortraitSheet(1); }},
  };
  char name[64];
  for (int n = 0; n < kUiSheets; ++n) {
    std::snprintf(name, sizeof name, "GRAPHICS\\VDBITS%d.PNG", n);
    files.push_back({name, true, [n] { return UiSheet(n); }});
  }
  for (int n = 0; n < kUnitSheets; ++n) {
    std::snprintf(name, sizeof name, "GRAPHICS\\UNITS\\UNITBITS%03d.PNG", n);
    files.push_back({name, true, [n] { return UnitSheet(n, false); }});
  }
  for (const int n : FacilityPictureNumbers()) {
    std::snprintf(name, sizeof name, "GRAPHICS\\UNITS\\UNITBITS%03d.PNG", n);
    files.push_back({name, true, [n] { return FacilitySheet(n); }});
  }
  for (int n = 0; n < kSecondTableSheets; ++n) {
    std::snprintf(name, sizeof name, "GRAPHICS\\UNITS\\UNITBITS%03dt.PNG", n);
    files.push_back({name, true, [n] { return UnitSheet(n, true); }});
  }
  for (int n = 0; n < 6; ++n) {
    std::snprintf(name, sizeof name, "GRAPHICS\\TECHBITS\\Techbits%02d.PNG", n);
    files.push_back({name, true, [n] { return TechPicture(n); }});
  }
  return files;
}

bool WriteAllImages(const std::string& dataRoot, const std::string& fontDir) {
  SetFontDirectory(fontDir);
  if (TextWidth("A", 12) == 0 || TextWidth("A", 12, true) == 0) {
    std::fprintf(stderr, "image_gen: cannot read the DejaVu faces in %s\n", fontDir.c_str());
    return false;
  }
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(dataRoot);
  bool ok = plat::MakeGameDirectories("GRAPHICS\\UNITS") && plat::MakeGameDirectories("GRAPHICS\\TECHBITS");
  if (!ok) std::fprintf(stderr, "image_gen: cannot make the GRAPHICS folders under %s\n", dataRoot.c_str());
  for (const ImageFile& file : AllImages()) {
    if (!ok) break;
    const Canvas canvas = file.draw();
    std::vector<uint8_t> png;
    if (plat::Failed(plat::EncodePng(canvas.width(), canvas.height(), canvas.pixels().data(), file.alpha, &png)) ||
        plat::Failed(plat::WriteFileReplacing(file.path, png.data(), png.size()))) {
      std::fprintf(stderr, "image_gen: cannot write %s under %s\n", file.path.c_str(), dataRoot.c_str());
      ok = false;
    }
  }
  plat::SetDataRoot(oldRoot);
  return ok;
}

}  // namespace image_gen
