#pragma once
// Textures: every image of the program. A texture is made blank at a size or
// from an image file; a file name beginning with "-" is remembered and loaded
// only when the texture is first acquired. A texture whose file cannot be
// loaded keeps no device texture and no name, and draws untextured.
#include <cstdint>

#include "app/list_node.h"
#include "platform/graphics_device.h"
#include "platform/image_loader.h"

inline constexpr size_t kTextureNameSize = 64;  // 63 characters and the terminator

class Texture : public ListNode {
 public:
  // A texture without an image; TextureCreateFromFile gives it one.
  Texture() = default;
  // A blank texture (width and height 0 mean 256), made at once.
  Texture(int32_t format, uint32_t width, uint32_t height, uint32_t renderTarget, uint32_t useBackBufferFormat);
  // TextureCreateFromFile at construction.
  Texture(const char* name, int32_t format, uint32_t width, uint32_t height, float scale, uint32_t colourKey,
          uint32_t renderTarget, uint32_t filter, uint32_t useBackBufferFormat);
  // Releases the device texture (TextureDestroy).
  ~Texture() override;

  plat::DeviceTexture* deviceTexture = nullptr;  // owned; null when there is no image
  char name[kTextureNameSize] = {};              // the image file; empty for a blank texture
  plat::SurfaceDesc desc;                        // level 0, read after each creation or load
  plat::ImageInfo imageInfo;                     // what the file held
  uint32_t renderTarget = 0;                     // a render target in the default pool
  uint32_t colourKey = 0;                        // 0: none
  uint32_t filter = 0;                           // 1 none, 2 point, 3 linear
  uint32_t useBackBufferFormat = 0;
  int32_t format = 0;  // the pixel format asked for
  float scale = 1.0f;  // the image is held at its size divided by this
};

// Sets the texture up for a file (or blank when the name is empty) and loads
// it, unless the name begins with "-": then only the rest of the name is
// kept until TextureAcquire. Width and height 0 take the file's size.
plat::Status TextureCreateFromFile(Texture* texture, const char* name, int32_t format, uint32_t width,
                                   uint32_t height, float scale, uint32_t colourKey, uint32_t renderTarget,
                                   uint32_t filter, uint32_t useBackBufferFormat);
// Makes the blank device texture at the size (OverrideSqTex and the scale
// applied).
plat::Status TextureCreate(Texture* texture, uint32_t width, uint32_t height);
// Loads the named file at the size (0 takes the file's; OverrideSqTex and
// the scale applied). On failure the name is dropped and the renderer's last
// error set.
plat::Status TextureLoadFromFile(Texture* texture, uint32_t width, uint32_t height);
// Makes sure the device texture exists (loads a deferred file, makes again a
// render target that a device reset lost). Non-negative on success; 0 for a
// null texture.
plat::Status TextureAcquire(Texture* texture);
// Releases the device texture.
void TextureDestroy(Texture* texture);

// The format a constructor uses for format 0: 4 bits a channel when the
// game runs in 16 bits, else 8.
int32_t DefaultTextureFormat();
