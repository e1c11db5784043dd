#include "app/gfx/bitmap_sets.h"

#include <cstdio>

#include "app/app_object.h"
#include "app/gfx/cursor.h"
#include "app/gfx/gamma_fade.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/surfaces.h"
#include "app/gfx/texture.h"
#include "app/message_pump.h"
#include "platform/texture_loader.h"
#include "platform/window.h"

namespace {

constexpr uint32_t kSplashWaitMs = 2000;
constexpr int32_t kPictureWidth = 1024;
constexpr int32_t kPictureHeight = 768;
constexpr const char* kCursorSheet = "GRAPHICS\\CURSORS.PNG";

// The format a "hires" setting asks for: 8 bits a channel when on, else the
// default (0).
int32_t HiresFormat(uint32_t setting) { return g_app.Flag(setting) ? plat::kFmtA8R8G8B8 : 0; }

Texture* MakeImage(const char* name, int32_t format, float scale = 1.0f) {
  return new Texture(name, format, 0, 0, scale, 0, 0, plat::kFilterNone, 0);
}

// Interface sets live for the whole run: made once, restored afterwards.
void MakeOrRestore(Texture*& slot, const char* name, int32_t format) {
  if (!slot)
    slot = MakeImage(name, format);
  else
    TextureAcquire(slot);
}

// The map's sets are made afresh at every log-on; the previous texture goes.
void Remake(Texture*& slot, Texture* made) {
  delete slot;
  slot = made;
}

void LoadCursorSheet(Renderer& r) {
  if (!r.cursorSheet) {
    uint32_t width = 0, height = 0, fileSize = 0;
    int32_t format = 0;
    ReadPngImageInfo(kCursorSheet, &width, &height, &format, &fileSize);
    if (width == 0) width = r.backBufferDesc.width;
    if (height == 0) height = r.backBufferDesc.height;
    r.cursorSheet = CreateImageSurface(r, width, height, plat::kFmtA8R8G8B8);
    if (r.cursorSheet)
      plat::LoadSurfaceFromFile(r.cursorSheet, nullptr, kCursorSheet, nullptr, plat::kFilterNone, 0, nullptr);
  }
  UpdateHardwareCursor(r, r.cursorCell);
}

bool Skipped() { return StartupScreenSkipped(); }

}  // namespace

bool StartupScreenSkipped() {
  if (g_platform.skip) return true;
  plat::Message msg;
  return plat::PeekWindowMessage(&msg, false) && msg.message == plat::kWmQuit;
}

Texture* MakeLoadingImage(const char* name) { return MakeImage(name, HiresFormat(kSetLoadingbitshires)); }

void PresentFrame(Renderer& renderer) {
  if (renderer.device) renderer.device->Present();
}

void DrawFullScreenImage(Renderer& renderer, Texture* image) {
  if (!renderer.device) return;
  renderer.device->BeginScene();
  // A released image loads again here; one that cannot load shows nothing
  // rather than a blank quad.
  if (image && plat::Succeeded(TextureAcquire(image)) && image->deviceTexture) {
    const plat::Rect source{0, 0, kPictureWidth, kPictureHeight};
    DrawSprite(renderer, image, 0.0f, 0.0f, 1.0f, static_cast<float>(g_platform.clientRect.right),
               static_cast<float>(g_platform.clientRect.bottom), 0xFFFFFFFFu, &source, kFilterModeLinear, nullptr,
               nullptr);
  }
  EndSceneAndFlush(renderer);
  renderer.device->Present();
}

void ApplyCustomRamp(Renderer& renderer) {
  if (!renderer.device || !renderer.baseRamp || !renderer.customRamp) return;
  if (!(renderer.caps.caps2 & plat::kCaps2FullscreenGamma)) return;
  const plat::GammaRamp& custom = *renderer.customRamp;
  bool chosen = false;
  for (int i = 0; i < 256 && !chosen; ++i) chosen = custom.red[i] || custom.green[i] || custom.blue[i];
  renderer.device->SetGammaRamp(0, chosen ? custom : *renderer.baseRamp);
}

int32_t ShowSplashScreens() {
  Renderer& r = g_renderer;
  ApplyCustomRamp(r);
  ClearBackBuffer(r);
  PresentFrame(r);

  Texture* first = MakeLoadingImage("GRAPHICS\\PXSPLASH.PNG");
  DrawFullScreenImage(r, first);
  if (!Skipped()) GammaFadeIn(r, 1);
  delete first;
  Texture* second = MakeLoadingImage("GRAPHICS\\SPLASH.PNG");
  if (!Skipped()) PumpMessages(g_platform, kSplashWaitMs, 1);
  if (!Skipped()) GammaFadeOut(r, 1);

  ClearBackBuffer(r);
  PresentFrame(r);
  ApplyCustomRamp(r);
  // Each splash can be skipped on its own.
  g_platform.skip = 0;

  DrawFullScreenImage(r, second);
  if (!Skipped()) GammaFadeIn(r, 1);
  delete second;
  if (!Skipped()) PumpMessages(g_platform, kSplashWaitMs, 1);
  return 0;
}

int32_t LoadInterfaceBitmapSets(UiBitmaps& b) {
  Renderer& r = g_renderer;
  r.lastError = plat::kOk;
  LoadCursorSheet(r);
  const int32_t sets = HiresFormat(kSetVDBitshires);
  MakeOrRestore(r.bitmapSets[0], "GRAPHICS\\VDBITS0.PNG", sets);
  MakeOrRestore(r.bitmapSets[2], "GRAPHICS\\VDBITS2.PNG", sets);
  MakeOrRestore(r.bitmapSets[4], "GRAPHICS\\VDBITS4.PNG", sets);
  MakeOrRestore(b.cabinet, "GRAPHICS\\CABINET.PNG", 0);
  MakeOrRestore(b.avatar, "GRAPHICS\\AVATAR.PNG", 0);
  const int32_t loading = HiresFormat(kSetLoadingbitshires);
  MakeOrRestore(b.background, "GRAPHICS\\BKGND.PNG", loading);
  MakeOrRestore(b.menuNew, "GRAPHICS\\MENUNEW.PNG", loading);
  return r.lastError;
}

int32_t LoadMapBitmapSets(UiBitmaps& b, int32_t mapEditor) {
  Renderer& r = g_renderer;
  r.lastError = plat::kOk;
  char name[64];
  Remake(b.hexAlpha128, MakeImage("GRAPHICS\\HEXALPHA128.PNG", plat::kFmtA8R8G8B8));
  Remake(b.line, MakeImage("GRAPHICS\\LINE.PNG", plat::kFmtA8R8G8B8));
  Remake(b.closeUp, new Texture(0, 128, 128, 0, 1));
  Remake(b.tbits, MakeImage("-GRAPHICS\\TBITS.PNG", HiresFormat(kSetTbitshires)));
  std::snprintf(name, sizeof name, "%s%d%s", "GRAPHICS\\UGBITS", 0, ".PNG");
  Remake(b.ugbits, MakeImage(name, HiresFormat(kSetUbitshires)));

  const int32_t sets = HiresFormat(kSetVDBitshires);
  MakeOrRestore(r.bitmapSets[1], "GRAPHICS\\VDBITS1.PNG", sets);
  MakeOrRestore(r.bitmapSets[3], "-GRAPHICS\\VDBITS3.PNG", sets);
  for (int set = 4; set <= 7; ++set) {
    std::snprintf(name, sizeof name, "GRAPHICS\\VDBITS%d.PNG", set);
    MakeOrRestore(r.bitmapSets[set], name, sets);
  }
  MakeOrRestore(r.bitmapSets[8], "-GRAPHICS\\VDBITS8.PNG", sets);

  Remake(b.ubits, MakeImage("GRAPHICS\\UBITS.PNG", HiresFormat(kSetUbitshires)));
  Remake(b.ebits, MakeImage("GRAPHICS\\EBITS.PNG", HiresFormat(kSetUbitshires)));
  MakeOrRestore(b.cabinet, "GRAPHICS\\CABINET.PNG", 0);
  MakeOrRestore(b.avatar, "-GRAPHICS\\AVATAR.PNG", 0);

  // Unit and technology pictures are many and mostly unused in a game: held
  // at half size in 4 bits a channel unless the setting asks for full ones.
  const bool fullPictures = g_app.Flag(kSetUnitbitshires);
  const int32_t pictureFormat = fullPictures && g_app.gamerezbpp > 16 ? plat::kFmtA8R8G8B8 : plat::kFmtA4R4G4B4;
  const float pictureScale = fullPictures ? 1.0f : 2.0f;
  for (int n = 0; n < kUnitPictureCount; ++n) {
    std::snprintf(name, sizeof name, "%s%03d%s", "-GRAPHICS\\UNITS\\UNITBITS", n, ".PNG");
    Remake(b.unitPictures[n], MakeImage(name, pictureFormat, pictureScale));
  }
  for (int n = 0; n < kUnitPictureCount; ++n) {
    std::snprintf(name, sizeof name, "%s%03d%s", "-GRAPHICS\\UNITS\\UNITBITS", n, "t.PNG");
    Remake(b.unitPictures2[n], MakeImage(name, pictureFormat, pictureScale));
  }
  for (int n = 0; n < kTechPictureCount; ++n) {
    std::snprintf(name, sizeof name, "%s%02d%s", "-GRAPHICS\\TECHBITS\\Techbits", n, ".PNG");
    Remake(b.techPictures[n], MakeImage(name, pictureFormat, pictureScale));
  }
  if (mapEditor) Remake(b.ugbitsMe, MakeImage("GRAPHICS\\UGBITSME.PNG", 0));
  return r.lastError;
}

void DestroyMapBitmaps(UiBitmaps& b) {
  Texture** single[] = {&b.hexAlpha128, &b.line,  &b.closeUp, &b.tbits,  &b.ugbits,
                        &b.ugbitsMe,    &b.ubits, &b.ebits,   &b.minimap};
  for (Texture** slot : single) Remake(*slot, nullptr);
  for (Texture*& t : b.unitPictures) Remake(t, nullptr);
  for (Texture*& t : b.unitPictures2) Remake(t, nullptr);
  for (Texture*& t : b.techPictures) Remake(t, nullptr);
}

void DestroyUiBitmaps(UiBitmaps& b) {
  DestroyMapBitmaps(b);
  Texture** single[] = {&b.cabinet, &b.avatar, &b.background, &b.menuNew, &b.otherImage};
  for (Texture** slot : single) Remake(*slot, nullptr);
}
