#include "ui/interface_images.h"

#include "app/app_object.h"
#include "app/audio/music_player.h"
#include "app/gfx/bitmap_sets.h"
#include "app/gfx/gamma_fade.h"
#include "app/gfx/renderer.h"
#include "app/gfx/texture.h"
#include "ui/screen_manager.h"

namespace {

bool Aborted(const ScreenManager& ui) { return ui.abortHook && ui.abortHook() != 0; }

}  // namespace

int32_t LoadUiBitmaps(ScreenManager& ui) {
  if (Aborted(ui)) return 0;
  return LoadInterfaceBitmapSets(ui.bitmaps);
}

int32_t LoadMapBitmaps(ScreenManager& ui) {
  if (Aborted(ui)) return 0;
  const int32_t result = LoadMapBitmapSets(ui.bitmaps, ui.mode == kUiMapEditor);
  ui.bitmapsLoaded = 1;
  return result;
}

int32_t ShowLoadingScreen(int32_t) {
  ScreenManager& ui = g_ui;
  Renderer& r = g_renderer;
  if (!StartupScreenSkipped()) GammaFadeOut(r, 1);
  ClearBackBuffer(r);
  PresentFrame(r);
  ApplyCustomRamp(r);

  Texture* made = nullptr;
  if (!ui.loadingShown) made = MakeLoadingImage("GRAPHICS\\MENULOAD.PNG");
  DrawFullScreenImage(r, made ? made : ui.bitmaps.menuNew);

  LoadMusic(g_music, "Intro.MP3");
  if (!ui.mapEditor) RunMusic(g_music);

  g_platform.skip = 0;
  GammaFadeIn(r, 1);
  ApplyCustomRamp(r);
  delete made;
  // The settings are written whole at shut-down; there is no key to flush.
  ui.loadingShown = 1;
  return 0;
}

void FadeOutMusic(ScreenManager& ui) {
  FadeOutMusic(g_music);
  TextureDestroy(ui.bitmaps.background);
  TextureDestroy(ui.bitmaps.menuNew);
  TextureDestroy(ui.bitmaps.otherImage);
  TextureDestroy(g_renderer.bitmapSets[2]);
  ClearBackBuffer(g_renderer);
}
