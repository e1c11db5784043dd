#include "platform/gl_cursor.h"

#include <vector>

namespace plat::gl {
namespace {

constexpr uint32_t kMaxCursorSide = 256;

}  // namespace

DeviceCursor::~DeviceCursor() {
  // The window system goes back to its own pointer when the one in use is freed.
  if (cursor_) SDL_FreeCursor(cursor_);
}

Status DeviceCursor::SetImage(uint32_t hotX, uint32_t hotY, Surface* image) {
  if (!image) return kInvalidArg;
  SurfaceDesc desc;
  if (Failed(image->GetDesc(&desc))) return kFail;
  if (desc.format != kFmtA8R8G8B8 || desc.width == 0 || desc.height == 0 || desc.width > kMaxCursorSide ||
      desc.height > kMaxCursorSide || hotX >= desc.width || hotY >= desc.height)
    return kInvalidArg;
  std::vector<uint32_t> pixels(size_t{desc.width} * desc.height);
  const Status read =
      image->ReadPixels(Rect{0, 0, static_cast<int32_t>(desc.width), static_cast<int32_t>(desc.height)}, pixels.data());
  if (Failed(read)) return read;

  // A video driver without pointer images (the offscreen one) makes none;
  // the cursor is still kept, and shows once a driver can.
  SDL_Cursor* made = nullptr;
  if (SDL_WasInit(SDL_INIT_VIDEO)) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), static_cast<int>(desc.width), static_cast<int>(desc.height),
                                           32, static_cast<int>(desc.width * 4), SDL_PIXELFORMAT_ARGB8888);
    if (surface) {
      made = SDL_CreateColorCursor(surface, static_cast<int>(hotX), static_cast<int>(hotY));
      SDL_FreeSurface(surface);
    }
  }
  bool visible;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_.hotX = hotX;
    state_.hotY = hotY;
    state_.width = desc.width;
    state_.height = desc.height;
    state_.image = std::move(pixels);
    visible = state_.visible;
  }
  SDL_Cursor* old = cursor_;
  cursor_ = made;
  // A new image changes only what a shown cursor looks like; whether the
  // pointer shows at all is Show's business (the system cursor may be in use).
  if (visible && cursor_) SDL_SetCursor(cursor_);
  if (old) SDL_FreeCursor(old);
  return kOk;
}

void DeviceCursor::SetPosition(int32_t x, int32_t y) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.x = x;
  state_.y = y;
  ++state_.moves;
}

bool DeviceCursor::Show(bool show) {
  bool before;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    before = state_.visible;
    state_.visible = show;
  }
  Apply();
  return before;
}

void DeviceCursor::GetState(DeviceCursorState* state) {
  if (!state) return;
  std::lock_guard<std::mutex> lock(mutex_);
  *state = state_;
}

void DeviceCursor::Apply() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  bool visible;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    visible = state_.visible;
  }
  if (visible && cursor_) SDL_SetCursor(cursor_);
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace plat::gl
