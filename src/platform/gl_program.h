#pragma once
// Compiling and linking the device's GLSL programs.
#include <epoxy/gl.h>

namespace plat::gl {

// A linked program from the two sources, or 0 when either stage fails to
// compile or the program fails to link (nothing is left behind then).
GLuint LinkProgram(const char* vertexSource, const char* fragmentSource);

}  // namespace plat::gl
