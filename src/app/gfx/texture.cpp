#include "app/gfx/texture.h"

#include <algorithm>
#include <cstring>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/surfaces.h"
#include "platform/texture_loader.h"

namespace {

constexpr uint32_t kFilterNone = plat::kFilterNone;
constexpr uint32_t kFilterLinear = plat::kFilterLinear;

int32_t ResolveFormat(int32_t format, uint32_t useBackBufferFormat) {
  if (useBackBufferFormat) return g_renderer.backBufferDesc.format;
  return format == 0 ? DefaultTextureFormat() : format;
}

void ReleaseDeviceTexture(Texture* texture) {
  if (!texture->deviceTexture) return;
  ForgetSpriteTexture(g_renderer, texture->deviceTexture);
  delete texture->deviceTexture;
  texture->deviceTexture = nullptr;
}

// Takes a newly made device texture, or the failure.
plat::Status Adopt(Texture* texture, plat::Status made, plat::DeviceTexture* deviceTexture) {
  if (plat::Failed(made) || !deviceTexture) {
    delete deviceTexture;
    texture->deviceTexture = nullptr;
    const plat::Status failure = plat::Failed(made) ? made : plat::kFail;
    g_renderer.lastError = failure;
    return failure;
  }
  texture->deviceTexture = deviceTexture;
  deviceTexture->GetLevelDesc(0, &texture->desc);
  return made;
}

// The blank device texture at exactly this size.
plat::Status CreateBlankAt(Texture* texture, uint32_t width, uint32_t height) {
  ReleaseDeviceTexture(texture);
  plat::GraphicsDevice* device = g_renderer.device;
  if (!device) return Adopt(texture, plat::kFail, nullptr);
  plat::DeviceTexture* made = nullptr;
  const plat::Status s = plat::CreateBlankTexture(
      device, width, height, 1, texture->renderTarget ? plat::kUsageRenderTarget : 0, texture->format,
      texture->renderTarget ? plat::kPoolDefault : plat::kPoolManaged, &made);
  return Adopt(texture, s, made);
}

plat::Status LoadAt(Texture* texture, uint32_t width, uint32_t height, uint32_t filter) {
  ReleaseDeviceTexture(texture);
  plat::GraphicsDevice* device = g_renderer.device;
  if (!device) return plat::kFail;
  plat::DeviceTexture* made = nullptr;
  plat::Status s = plat::CreateTextureFromFile(
      device, texture->name, width, height, g_renderer.mipLevels, texture->renderTarget ? plat::kUsageRenderTarget : 0,
      texture->format, plat::kPoolManaged, filter, plat::kLoaderDefault, texture->colourKey, &texture->imageInfo, &made);
  if (plat::Failed(s) || !made) {
    delete made;
    return plat::Failed(s) ? s : plat::kFail;
  }
  texture->deviceTexture = made;
  made->GetLevelDesc(0, &texture->desc);
  return s;
}

bool NameIsSet(const Texture* texture) { return texture->name[0] != '\0'; }

}  // namespace

int32_t DefaultTextureFormat() { return g_app.gamerezbpp == 16 ? plat::kFmtA4R4G4B4 : plat::kFmtA8R8G8B8; }

Texture::Texture(int32_t format, uint32_t width, uint32_t height, uint32_t renderTarget,
                 uint32_t useBackBufferFormat) {
  this->renderTarget = renderTarget;
  this->useBackBufferFormat = useBackBufferFormat;
  this->format = ResolveFormat(format, useBackBufferFormat);
  TextureCreate(this, width == 0 ? 256 : width, height == 0 ? 256 : height);
}

Texture::Texture(const char* name, int32_t format, uint32_t width, uint32_t height, float scale, uint32_t colourKey,
                 uint32_t renderTarget, uint32_t filter, uint32_t useBackBufferFormat) {
  TextureCreateFromFile(this, name, format, width, height, scale, colourKey, renderTarget, filter,
                        useBackBufferFormat);
}

Texture::~Texture() { TextureDestroy(this); }

plat::Status TextureCreateFromFile(Texture* texture, const char* name, int32_t format, uint32_t width,
                                   uint32_t height, float scale, uint32_t colourKey, uint32_t renderTarget,
                                   uint32_t filter, uint32_t useBackBufferFormat) {
  if (!texture) return plat::kInvalidArg;
  texture->renderTarget = renderTarget;
  texture->useBackBufferFormat = useBackBufferFormat;
  texture->format = ResolveFormat(format, useBackBufferFormat);
  texture->scale = scale;
  texture->colourKey = colourKey;
  texture->filter = filter;
  texture->name[0] = '\0';
  if (!name || !*name) return TextureCreate(texture, width, height);

  const bool deferred = name[0] == '-';
  const char* file = deferred ? name + 1 : name;
  // A name that does not fit would be cut into the name of another file.
  if (std::strlen(file) >= kTextureNameSize) {
    ReleaseDeviceTexture(texture);
    g_renderer.lastError = plat::kInvalidArg;
    return plat::kInvalidArg;
  }
  std::strcpy(texture->name, file);
  if (deferred) return plat::kOk;
  return TextureLoadFromFile(texture, width, height);
}

plat::Status TextureCreate(Texture* texture, uint32_t width, uint32_t height) {
  if (!texture) return plat::kInvalidArg;
  if (g_app.Flag(kSetOverrideSqTex)) width = height = std::max(width, height);
  if (texture->scale != 1.0f) {
    width = static_cast<uint32_t>(static_cast<float>(width) / texture->scale);
    height = static_cast<uint32_t>(static_cast<float>(height) / texture->scale);
  }
  return CreateBlankAt(texture, width, height);
}

plat::Status TextureLoadFromFile(Texture* texture, uint32_t width, uint32_t height) {
  if (!texture) return plat::kInvalidArg;
  uint32_t filter = texture->filter;
  const bool scaled = texture->scale != 1.0f;
  plat::Status s = plat::kOk;
  if (scaled && (width == 0 || height == 0)) {
    uint32_t w = 0, h = 0, fileSize = 0;
    int32_t fmt = 0;
    if (std::strstr(texture->name, ".PNG") && plat::Succeeded(ReadPngImageInfo(texture->name, &w, &h, &fmt, &fileSize))) {
      width = w;
      height = h;
    } else {
      // No PNG header to read the size from (a JPEG, a lower-case name):
      // the image's size comes from loading it, so that it is still held at
      // its size divided by the scale, as the drawing code counts on.
      s = LoadAt(texture, 0, 0, filter);
      width = texture->desc.width;
      height = texture->desc.height;
    }
  }
  const bool square = g_app.Flag(kSetOverrideSqTex);
  if (plat::Succeeded(s)) {
    if (square) width = height = std::max(width, height);
    if (scaled) {
      width = static_cast<uint32_t>(static_cast<float>(width) / texture->scale);
      height = static_cast<uint32_t>(static_cast<float>(height) / texture->scale);
      if (filter == kFilterNone) filter = kFilterLinear;
    }
    s = LoadAt(texture, width, height, filter);
  }
  if (plat::Succeeded(s) && square && texture->desc.width != texture->desc.height) {
    const uint32_t side = std::max(texture->desc.width, texture->desc.height);
    s = LoadAt(texture, side, side, filter);
  }
  if (plat::Failed(s)) {
    ReleaseDeviceTexture(texture);
    texture->name[0] = '\0';  // the file is not tried again
    g_renderer.lastError = s;
  }
  return s;
}

plat::Status TextureAcquire(Texture* texture) {
  if (!texture) return plat::kOk;
  if (texture->deviceTexture) {
    if (texture->desc.pool != plat::kPoolDefault) return plat::kOk;
    // A default-pool texture is made again only when a reset has lost it:
    // making it on every call would throw away what was copied into it.
    if (!texture->deviceTexture->IsLost()) return plat::kOk;
  }
  if (NameIsSet(texture)) return TextureLoadFromFile(texture, texture->desc.width, texture->desc.height);
  if (texture->desc.width > 0) return CreateBlankAt(texture, texture->desc.width, texture->desc.height);
  ReleaseDeviceTexture(texture);
  return plat::kOk;
}

void TextureDestroy(Texture* texture) {
  if (texture) ReleaseDeviceTexture(texture);
}
