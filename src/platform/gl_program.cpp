#include "platform/gl_program.h"

namespace plat::gl {
namespace {

GLuint CompileShader(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

GLuint LinkProgram(const char* vertexSource, const char* fragmentSource) {
  const GLuint vs = CompileShader(GL_VERTEX_SHADER, vertexSource);
  const GLuint fs = CompileShader(GL_FRAGMENT_SHADER, fragmentSource);
  GLuint program = 0;
  if (vs && fs) {
    program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
      glDeleteProgram(program);
      program = 0;
    }
  }
  if (vs) glDeleteShader(vs);
  if (fs) glDeleteShader(fs);
  return program;
}

}  // namespace plat::gl
