#include "platform/gl_backbuffer.h"

namespace plat::gl {

bool CreateBackBuffer(uint32_t width, uint32_t height, BackBuffer* out) {
  if (width == 0 || height == 0) return false;
  GLint maxTexture = 0, maxRenderbuffer = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
  const uint32_t limit = static_cast<uint32_t>(maxTexture < maxRenderbuffer ? maxTexture : maxRenderbuffer);
  if (width > limit || height > limit) return false;

  while (glGetError() != GL_NO_ERROR) {
  }
  BackBuffer made;
  made.width = width;
  made.height = height;
  const auto w = static_cast<GLsizei>(width);
  const auto h = static_cast<GLsizei>(height);

  GLint previousTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
  glGenTextures(1, &made.colour);
  glBindTexture(GL_TEXTURE_2D, made.colour);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));

  glGenRenderbuffers(1, &made.depthStencil);
  glBindRenderbuffer(GL_RENDERBUFFER, made.depthStencil);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, w, h);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);

  glGenFramebuffers(1, &made.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, made.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, made.colour, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, made.depthStencil);

  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (!complete || glGetError() != GL_NO_ERROR) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    DestroyBackBuffer(&made);
    return false;
  }

  // A new buffer starts blank rather than with whatever the memory held.
  glDisable(GL_SCISSOR_TEST);
  glViewport(0, 0, w, h);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFFu);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  *out = made;
  return true;
}

void DestroyBackBuffer(BackBuffer* buffer) {
  if (buffer->framebuffer) glDeleteFramebuffers(1, &buffer->framebuffer);
  if (buffer->depthStencil) glDeleteRenderbuffers(1, &buffer->depthStencil);
  if (buffer->colour) glDeleteTextures(1, &buffer->colour);
  *buffer = BackBuffer{};
}

}  // namespace plat::gl
