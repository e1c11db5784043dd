// What every device shares: vertex buffers in memory, and the defaults of the
// operations a device that does not draw leaves alone.
#include "platform/graphics_device.h"

#include <new>

namespace plat {

VertexBuffer::VertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool)
    : contents_(std::make_shared<Contents>()) {
  desc_.usage = usage;
  desc_.fvf = fvf;
  desc_.pool = pool;
  desc_.size = length;
  contents_->bytes.assign(length, 0);
}

Status VertexBuffer::Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) {
  if (!data) return kInvalidArg;
  *data = nullptr;
  if (contents_->locked) return kInvalidArg;
  if (size == 0) {
    if (offset > desc_.size) return kInvalidArg;
  } else if (uint64_t{offset} + size > desc_.size) {
    return kInvalidArg;
  }
  contents_->locked = true;
  contents_->lastLockFlags = flags;
  *data = contents_->bytes.data() + offset;
  return kOk;
}

Status VertexBuffer::Unlock() {
  if (!contents_->locked) return kInvalidArg;
  contents_->locked = false;
  return kOk;
}

Status GraphicsDevice::CreateTexture(uint32_t, uint32_t, uint32_t, uint32_t, int32_t, uint32_t,
                                     DeviceTexture** texture) {
  if (texture) *texture = nullptr;
  return kFail;
}

Status GraphicsDevice::CreateImageSurface(uint32_t width, uint32_t height, int32_t format, Surface** surface) {
  if (!surface) return kInvalidArg;
  *surface = CreateMemorySurface(width, height, format);
  return *surface ? kOk : kInvalidArg;
}

Status GraphicsDevice::GetBackBuffer(Surface** surface) {
  if (surface) *surface = nullptr;
  return kFail;
}

Status GraphicsDevice::CopyRects(Surface* source, const Rect* rects, uint32_t count, Surface* dest,
                                 const Point* points) {
  return CopySurfaceRects(source, rects, count, dest, points);
}

Status GraphicsDevice::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                          VertexBuffer** buffer) {
  if (!buffer) return kInvalidArg;
  *buffer = nullptr;
  if (length == 0) return kInvalidArg;
  *buffer = new (std::nothrow) VertexBuffer(length, usage, fvf, pool);
  return *buffer ? kOk : kFail;
}

Status GraphicsDevice::SetRenderState(uint32_t, uint32_t) { return kFail; }
Status GraphicsDevice::GetRenderState(uint32_t, uint32_t*) { return kFail; }
Status GraphicsDevice::SetTextureStageState(uint32_t, uint32_t, uint32_t) { return kFail; }
Status GraphicsDevice::GetTextureStageState(uint32_t, uint32_t, uint32_t*) { return kFail; }
Status GraphicsDevice::SetTexture(uint32_t, DeviceTexture*) { return kFail; }
Status GraphicsDevice::SetPixelShader(uint32_t) { return kFail; }
Status GraphicsDevice::BeginStateBlock() { return kFail; }
Status GraphicsDevice::EndStateBlock(uint32_t* token) {
  if (token) *token = 0;
  return kFail;
}
Status GraphicsDevice::ApplyStateBlock(uint32_t) { return kFail; }
Status GraphicsDevice::DeleteStateBlock(uint32_t) { return kFail; }
Status GraphicsDevice::SetVertexShader(uint32_t) { return kFail; }
Status GraphicsDevice::SetStreamSource(uint32_t, VertexBuffer*, uint32_t) { return kFail; }
Status GraphicsDevice::DrawPrimitive(uint32_t, uint32_t, uint32_t) { return kFail; }
void GraphicsDevice::SetDrawHook(DrawHook) {}
Status GraphicsDevice::SetCursorProperties(uint32_t, uint32_t, Surface*) { return kFail; }
void GraphicsDevice::SetCursorPosition(int32_t, int32_t, uint32_t) {}
bool GraphicsDevice::ShowCursor(bool) { return false; }
void GraphicsDevice::GetCursorState(DeviceCursorState* state) {
  if (state) *state = DeviceCursorState{};
}

}  // namespace plat
