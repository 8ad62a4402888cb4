// The OpenGL 3.3 renderer behind the SDL backend: draws command lists into a window-sized
// frame buffer object, with images packed into atlas textures and consecutive quads of
// one texture batched into one draw call. Needs a current GL context for every call
// except construction and destruction.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gl_functions.h"
#include "platform/platform.h"

class TGlRenderer {
 public:
  TGlRenderer() = default;
  TGlRenderer(const TGlRenderer&) = delete;
  TGlRenderer& operator=(const TGlRenderer&) = delete;

  // Loads the GL functions and builds the shader, the vertex buffer and a target of the
  // given size. False with a reason in error.
  bool Init(void* (*getProc)(const char*), int width, int height, std::string& error);
  // Deletes every GL object; the context must still be current.
  void Shutdown();
  bool Ready() const { return Fbo != 0; }

  // A new target size; the old picture is lost (cleared to black).
  void Resize(int width, int height);
  int TargetWidth() const { return Width; }
  int TargetHeight() const { return Height; }

  void Execute(const std::vector<TDrawCommand>& commands);
  // Copies the target into the default frame buffer of the given size (before a swap).
  void PresentTo(int width, int height);
  // A rectangle of the target, top-down ARGB, opaque; outside parts are black.
  TPixmap Read(const TRect& rect);

  // After a presentation: keeps the frame's draw-call count and releases the atlas space
  // of images that no longer exist.
  void EndFrame();
  int LastFrameDrawCalls() const { return LastDrawCalls; }
  // Copies on the GPU (mirrors) in the last presented frame; CPU read-backs ever made.
  int LastFrameCaptures() const { return LastCaptures; }
  int ReadBacks() const { return ReadBackCount; }
  int CachedImages() const { return int(Images.size()); }

 private:
  struct TShelf {
    int Y = 0, Height = 0, NextX = 0;
  };
  struct TPage {
    GLuint Texture = 0;
    int Size = 0;
    int Kind = 0;            // ImageFiltered | ImageMipmapped bits
    int Padding = 1;         // extruded border around each frame
    bool Dedicated = false;  // one frame too big for a shared page
    std::vector<TShelf> Shelves;
    int NextShelfY = 0;
    int LiveImages = 0;
    bool MipmapsStale = false;
  };
  struct TSlot {
    int Page = -1;
    float U0 = 0, V0 = 0, U1 = 0, V1 = 0;
  };
  struct TCachedImage {
    std::weak_ptr<TImage> Owner;
    std::vector<TSlot> Frames;
    std::vector<int> Pages;  // distinct pages holding its frames
  };
  struct TVertex {
    float X, Y, U, V;
    float R, G, B, A;  // premultiplied
    float TexWeight;   // 1 textured, 0 plain colour
  };
  struct TOp {
    enum TKind : uint8_t { Draw, Clear, Capture } Kind = Draw;
    GLuint Texture = 0;  // Draw: 0 when only plain quads so far
    int First = 0, Count = 0;
    TRect Rect;           // Draw: scissor; Capture: source
    uint32_t Colour = 0;  // Clear
  };

  bool BuildProgram(std::string& error);
  bool BuildTarget(int width, int height);
  void DeleteTarget();
  const TCachedImage* EnsureImage(const PImage& image);
  void ReleaseImage(const TCachedImage& entry);
  TSlot Place(const TPixmap& frame, int kind, bool masked, std::vector<int>& pagesUsed);
  bool Allocate(TPage& page, int w, int h, int& x, int& y);
  int NewPage(int kind, int size, bool dedicated);
  bool ClipToTarget(const TRect& rect, TRect& out) const;
  void AddQuad(GLuint texture, const TRect& clip, const TQuad& quad, float u0, float v0, float u1,
               float v1, const float (&colour)[4], float texWeight);

  TGlFunctions Gl;
  int Width = 0, Height = 0;
  int MaxTextureSize = 0;
  int PageSize = 2048;
  GLuint Program = 0, Vao = 0, Vbo = 0;
  GLint ViewSizeUniform = -1;
  GLuint Fbo = 0, TargetTexture = 0, CaptureTexture = 0;
  std::vector<TPage> Pages;
  // By serial and address: hand-made images may share a serial, and a dead image's
  // address may be reused (the weak owner tells them apart).
  using TImageKey = std::pair<uint64_t, const TImage*>;
  std::map<TImageKey, TCachedImage> Images;
  std::vector<TVertex> Vertices;
  std::vector<TOp> Ops;
  int DrawCalls = 0, LastDrawCalls = 0;
  int Captures = 0, LastCaptures = 0, ReadBackCount = 0;
  bool WarnedOversize = false;
};
