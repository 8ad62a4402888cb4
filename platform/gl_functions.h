// The OpenGL 3.3 core functions the renderer uses, loaded at run time through the
// context's loader (SDL_GL_GetProcAddress), so the program never links libGL and runs
// on GLX and EGL alike. The GL header is included for types and constants only.
#pragma once

#include <SDL2/SDL_opengl.h>

#include <string>

// X(return type, name without the "gl" prefix, parameter list)
#define ZYNTRA_GL_FUNCTIONS(X)                                                                   \
  X(const GLubyte*, GetString, (GLenum name))                                                    \
  X(void, GetIntegerv, (GLenum pname, GLint * data))                                             \
  X(GLenum, GetError, (void))                                                                    \
  X(void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height))                           \
  X(void, Scissor, (GLint x, GLint y, GLsizei width, GLsizei height))                            \
  X(void, Enable, (GLenum cap))                                                                  \
  X(void, Disable, (GLenum cap))                                                                 \
  X(void, BlendFuncSeparate, (GLenum srcRgb, GLenum dstRgb, GLenum srcAlpha, GLenum dstAlpha))   \
  X(void, ClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a))                              \
  X(void, Clear, (GLbitfield mask))                                                              \
  X(void, PixelStorei, (GLenum pname, GLint param))                                              \
  X(void, GenTextures, (GLsizei n, GLuint * textures))                                           \
  X(void, DeleteTextures, (GLsizei n, const GLuint* textures))                                   \
  X(void, BindTexture, (GLenum target, GLuint texture))                                          \
  X(void, ActiveTexture, (GLenum texture))                                                       \
  X(void, TexParameteri, (GLenum target, GLenum pname, GLint param))                             \
  X(void, TexImage2D,                                                                            \
    (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,            \
     GLint border, GLenum format, GLenum type, const void* pixels))                              \
  X(void, TexSubImage2D,                                                                         \
    (GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, \
     GLenum type, const void* pixels))                                                           \
  X(void, CopyTexSubImage2D,                                                                     \
    (GLenum target, GLint level, GLint xOffset, GLint yOffset, GLint x, GLint y, GLsizei width,  \
     GLsizei height))                                                                            \
  X(void, GenerateMipmap, (GLenum target))                                                       \
  X(void, ReadPixels,                                                                            \
    (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* data))   \
  X(void, GenFramebuffers, (GLsizei n, GLuint * ids))                                            \
  X(void, DeleteFramebuffers, (GLsizei n, const GLuint* ids))                                    \
  X(void, BindFramebuffer, (GLenum target, GLuint framebuffer))                                  \
  X(void, FramebufferTexture2D,                                                                  \
    (GLenum target, GLenum attachment, GLenum texTarget, GLuint texture, GLint level))           \
  X(GLenum, CheckFramebufferStatus, (GLenum target))                                             \
  X(void, BlitFramebuffer,                                                                       \
    (GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0, GLint dstX1,  \
     GLint dstY1, GLbitfield mask, GLenum filter))                                               \
  X(void, GenBuffers, (GLsizei n, GLuint * buffers))                                             \
  X(void, DeleteBuffers, (GLsizei n, const GLuint* buffers))                                     \
  X(void, BindBuffer, (GLenum target, GLuint buffer))                                            \
  X(void, BufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage))          \
  X(void, GenVertexArrays, (GLsizei n, GLuint * arrays))                                         \
  X(void, DeleteVertexArrays, (GLsizei n, const GLuint* arrays))                                 \
  X(void, BindVertexArray, (GLuint array))                                                       \
  X(void, EnableVertexAttribArray, (GLuint index))                                               \
  X(void, VertexAttribPointer,                                                                   \
    (GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,                \
     const void* pointer))                                                                       \
  X(GLuint, CreateShader, (GLenum type))                                                         \
  X(void, ShaderSource,                                                                          \
    (GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths))          \
  X(void, CompileShader, (GLuint shader))                                                        \
  X(void, GetShaderiv, (GLuint shader, GLenum pname, GLint * params))                            \
  X(void, GetShaderInfoLog, (GLuint shader, GLsizei size, GLsizei * length, GLchar * log))       \
  X(void, DeleteShader, (GLuint shader))                                                         \
  X(GLuint, CreateProgram, (void))                                                               \
  X(void, AttachShader, (GLuint program, GLuint shader))                                         \
  X(void, LinkProgram, (GLuint program))                                                         \
  X(void, GetProgramiv, (GLuint program, GLenum pname, GLint * params))                          \
  X(void, GetProgramInfoLog, (GLuint program, GLsizei size, GLsizei * length, GLchar * log))     \
  X(void, DeleteProgram, (GLuint program))                                                       \
  X(void, UseProgram, (GLuint program))                                                          \
  X(GLint, GetUniformLocation, (GLuint program, const GLchar* name))                             \
  X(void, Uniform1i, (GLint location, GLint value))                                              \
  X(void, Uniform2f, (GLint location, GLfloat x, GLfloat y))                                     \
  X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count))

struct TGlFunctions {
#define ZYNTRA_GL_DECLARE(ret, name, params) ret(APIENTRY* name) params = nullptr;
  ZYNTRA_GL_FUNCTIONS(ZYNTRA_GL_DECLARE)
#undef ZYNTRA_GL_DECLARE

  // Resolves every function with getProc ("glName"). False when one is missing; missing
  // then holds its name.
  bool Load(void* (*getProc)(const char*), std::string& missing) {
#define ZYNTRA_GL_LOAD(ret, name, params)                              \
  name = reinterpret_cast<ret(APIENTRY*) params>(getProc("gl" #name)); \
  if (!name) {                                                         \
    missing = "gl" #name;                                              \
    return false;                                                      \
  }
    ZYNTRA_GL_FUNCTIONS(ZYNTRA_GL_LOAD)
#undef ZYNTRA_GL_LOAD
    return true;
  }
};
