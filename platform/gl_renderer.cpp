#include "platform/gl_renderer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "shell/log.h"

namespace {

const char* const VertexShaderSource = R"(#version 330 core
layout(location = 0) in vec2 Position;
layout(location = 1) in vec2 TexCoord;
layout(location = 2) in vec4 Colour;
layout(location = 3) in float TexWeight;
uniform vec2 ViewSize;
out vec2 Uv;
out vec4 Tint;
out float Weight;
void main() {
  Uv = TexCoord;
  Tint = Colour;
  Weight = TexWeight;
  gl_Position = vec4(Position.x * 2.0 / ViewSize.x - 1.0, 1.0 - Position.y * 2.0 / ViewSize.y,
                     0.0, 1.0);
}
)";

// Textures hold premultiplied colour; the tint is premultiplied too.
const char* const FragmentShaderSource = R"(#version 330 core
in vec2 Uv;
in vec4 Tint;
in float Weight;
uniform sampler2D Atlas;
out vec4 FragColour;
void main() {
  FragColour = mix(vec4(1.0), texture(Atlas, Uv), Weight) * Tint;
}
)";

constexpr int KindMask = ImageFiltered | ImageMipmapped;

void PremultipliedTint(uint32_t rgb, float alpha, float (&out)[4]) {
  float a = std::clamp(alpha, 0.0f, 1.0f);
  out[0] = float((rgb >> 16) & 255) / 255.0f * a;
  out[1] = float((rgb >> 8) & 255) / 255.0f * a;
  out[2] = float(rgb & 255) / 255.0f * a;
  out[3] = a;
}

// One ARGB pixel as premultiplied RGBA bytes in memory order.
uint32_t PremultipliedRgba(uint32_t argb, bool masked) {
  uint32_t a = masked ? argb >> 24 : 255;
  auto channel = [a](uint32_t c) { return (c * a + 127) / 255; };
  uint32_t r = channel((argb >> 16) & 255), g = channel((argb >> 8) & 255), b = channel(argb & 255);
  const uint8_t bytes[4] = {uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)};
  uint32_t out;
  static_assert(sizeof(out) == sizeof(bytes));
  std::memcpy(&out, bytes, sizeof(out));
  return out;
}

}  // namespace

bool TGlRenderer::Init(void* (*getProc)(const char*), int width, int height, std::string& error) {
  std::string missing;
  if (!Gl.Load(getProc, missing)) {
    error = "missing OpenGL function " + missing;
    return false;
  }
  GLint maxSize = 0;
  Gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  MaxTextureSize = maxSize;
  PageSize = std::min(2048, MaxTextureSize);
  if (PageSize < 64) {
    error = "texture size limit too small";
    return false;
  }
  if (!BuildProgram(error)) return false;

  Gl.GenVertexArrays(1, &Vao);
  Gl.GenBuffers(1, &Vbo);
  Gl.BindVertexArray(Vao);
  Gl.BindBuffer(GL_ARRAY_BUFFER, Vbo);
  const GLsizei stride = sizeof(TVertex);
  Gl.EnableVertexAttribArray(0);
  Gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride,
                         reinterpret_cast<void*>(offsetof(TVertex, X)));
  Gl.EnableVertexAttribArray(1);
  Gl.VertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                         reinterpret_cast<void*>(offsetof(TVertex, U)));
  Gl.EnableVertexAttribArray(2);
  Gl.VertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride,
                         reinterpret_cast<void*>(offsetof(TVertex, R)));
  Gl.EnableVertexAttribArray(3);
  Gl.VertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, stride,
                         reinterpret_cast<void*>(offsetof(TVertex, TexWeight)));

  if (!BuildTarget(width, height)) {
    error = "cannot create the frame buffer object";
    Shutdown();
    return false;
  }
  if (GLenum e = Gl.GetError(); e != GL_NO_ERROR) {
    error = "OpenGL error " + std::to_string(e) + " during set-up";
    Shutdown();
    return false;
  }
  return true;
}

bool TGlRenderer::BuildProgram(std::string& error) {
  auto compile = [&](GLenum type, const char* source) -> GLuint {
    GLuint shader = Gl.CreateShader(type);
    Gl.ShaderSource(shader, 1, &source, nullptr);
    Gl.CompileShader(shader);
    GLint ok = 0;
    Gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char log[1024] = {};
      Gl.GetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
      error = std::string("shader does not compile: ") + log;
      Gl.DeleteShader(shader);
      return 0;
    }
    return shader;
  };
  GLuint vs = compile(GL_VERTEX_SHADER, VertexShaderSource);
  if (!vs) return false;
  GLuint fs = compile(GL_FRAGMENT_SHADER, FragmentShaderSource);
  if (!fs) {
    Gl.DeleteShader(vs);
    return false;
  }
  Program = Gl.CreateProgram();
  Gl.AttachShader(Program, vs);
  Gl.AttachShader(Program, fs);
  Gl.LinkProgram(Program);
  Gl.DeleteShader(vs);
  Gl.DeleteShader(fs);
  GLint ok = 0;
  Gl.GetProgramiv(Program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[1024] = {};
    Gl.GetProgramInfoLog(Program, sizeof(log) - 1, nullptr, log);
    error = std::string("shader program does not link: ") + log;
    Gl.DeleteProgram(Program);
    Program = 0;
    return false;
  }
  Gl.UseProgram(Program);
  ViewSizeUniform = Gl.GetUniformLocation(Program, "ViewSize");
  Gl.Uniform1i(Gl.GetUniformLocation(Program, "Atlas"), 0);
  return true;
}

bool TGlRenderer::BuildTarget(int width, int height) {
  Width = std::clamp(width, 1, MaxTextureSize);
  Height = std::clamp(height, 1, MaxTextureSize);
  auto makeTexture = [&](const void* pixels) {
    GLuint texture = 0;
    Gl.GenTextures(1, &texture);
    Gl.BindTexture(GL_TEXTURE_2D, texture);
    Gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    Gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    Gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    Gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    Gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    Gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Width, Height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    return texture;
  };
  // Opaque black everywhere, as a cleared frame would be.
  std::vector<uint32_t> black(size_t(Width) * size_t(Height), PremultipliedRgba(0xFF000000u, true));
  TargetTexture = makeTexture(black.data());
  CaptureTexture = makeTexture(black.data());

  Gl.GenFramebuffers(1, &Fbo);
  Gl.BindFramebuffer(GL_FRAMEBUFFER, Fbo);
  Gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, TargetTexture, 0);
  if (Gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    DeleteTarget();
    return false;
  }
  return true;
}

void TGlRenderer::DeleteTarget() {
  if (Fbo) Gl.DeleteFramebuffers(1, &Fbo);
  if (TargetTexture) Gl.DeleteTextures(1, &TargetTexture);
  if (CaptureTexture) Gl.DeleteTextures(1, &CaptureTexture);
  Fbo = TargetTexture = CaptureTexture = 0;
}

void TGlRenderer::Shutdown() {
  if (!Gl.DeleteTextures) return;  // never initialised
  DeleteTarget();
  for (TPage& page : Pages)
    if (page.Texture) Gl.DeleteTextures(1, &page.Texture);
  Pages.clear();
  Images.clear();
  if (Vbo) Gl.DeleteBuffers(1, &Vbo);
  if (Vao) Gl.DeleteVertexArrays(1, &Vao);
  if (Program) Gl.DeleteProgram(Program);
  Vbo = Vao = Program = 0;
  Width = Height = 0;
}

void TGlRenderer::Resize(int width, int height) {
  if (!Program || (width == Width && height == Height)) return;
  DeleteTarget();
  if (!BuildTarget(width, height))
    LogLine("ERROR :: Resize :: cannot create the frame buffer object");
}

// --- Atlas ----------------------------------------------------------------------------

int TGlRenderer::NewPage(int kind, int size, bool dedicated) {
  int index = -1;
  for (size_t i = 0; i < Pages.size(); ++i)
    if (Pages[i].Texture == 0) index = int(i);
  if (index < 0) {
    index = int(Pages.size());
    Pages.emplace_back();
  }
  TPage& page = Pages[size_t(index)];
  page = TPage{};
  page.Size = size;
  page.Kind = kind;
  page.Dedicated = dedicated;
  page.Padding = (kind & ImageMipmapped) ? 4 : 1;
  Gl.GenTextures(1, &page.Texture);
  Gl.BindTexture(GL_TEXTURE_2D, page.Texture);
  bool linear = (kind & ImageFiltered) != 0;
  GLint mag = linear ? GL_LINEAR : GL_NEAREST;
  GLint min = mag;
  if (kind & ImageMipmapped) min = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST;
  Gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
  Gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
  Gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  Gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  Gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  return index;
}

// Shelf packing: the best-fitting shelf, or a new one when the best wastes much height.
bool TGlRenderer::Allocate(TPage& page, int w, int h, int& x, int& y) {
  TShelf* best = nullptr;
  for (TShelf& shelf : page.Shelves)
    if (shelf.Height >= h && shelf.NextX + w <= page.Size && (!best || shelf.Height < best->Height))
      best = &shelf;
  bool canOpen = page.NextShelfY + h <= page.Size && w <= page.Size;
  if (!best || (best->Height > h + h / 2 + 2 && canOpen)) {
    if (!canOpen) return false;
    page.Shelves.push_back({page.NextShelfY, h, 0});
    page.NextShelfY += h;
    best = &page.Shelves.back();
  }
  x = best->NextX;
  y = best->Y;
  best->NextX += w;
  return true;
}

TGlRenderer::TSlot TGlRenderer::Place(const TPixmap& frame, int kind, bool masked,
                                      std::vector<int>& pagesUsed) {
  TSlot slot;
  if (frame.Width < 1 || frame.Height < 1 ||
      frame.Pixels.size() != size_t(frame.Width) * size_t(frame.Height))
    return slot;
  int pad = (kind & ImageMipmapped) ? 4 : 1;
  int w = frame.Width + 2 * pad, h = frame.Height + 2 * pad;
  int x = 0, y = 0, pageIndex = -1;
  if (w <= PageSize && h <= PageSize) {
    for (size_t i = 0; i < Pages.size() && pageIndex < 0; ++i) {
      TPage& page = Pages[i];
      if (page.Texture && !page.Dedicated && page.Kind == kind && Allocate(page, w, h, x, y))
        pageIndex = int(i);
    }
    if (pageIndex < 0) {
      pageIndex = NewPage(kind, PageSize, false);
      Allocate(Pages[size_t(pageIndex)], w, h, x, y);
    }
  } else if (w <= MaxTextureSize && h <= MaxTextureSize) {
    pageIndex = NewPage(kind, std::max(w, h), true);
    Allocate(Pages[size_t(pageIndex)], w, h, x, y);
  } else {
    if (!WarnedOversize)
      LogLine("WARNING :: DrawImage :: image frame of " + std::to_string(frame.Width) + "x" +
              std::to_string(frame.Height) + " exceeds the texture size limit");
    WarnedOversize = true;
    return slot;
  }

  // Premultiplied texels with the frame's edges extruded into the padding, so filtering
  // never pulls in a neighbour's colour or the colour of a transparent texel.
  std::vector<uint32_t> texels(size_t(w) * size_t(h));
  for (int py = 0; py < h; ++py) {
    int sy = std::clamp(py - pad, 0, frame.Height - 1);
    for (int px = 0; px < w; ++px) {
      int sx = std::clamp(px - pad, 0, frame.Width - 1);
      texels[size_t(py) * w + px] =
          PremultipliedRgba(frame.Pixels[size_t(sy) * frame.Width + sx], masked);
    }
  }
  TPage& page = Pages[size_t(pageIndex)];
  Gl.BindTexture(GL_TEXTURE_2D, page.Texture);
  Gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
  Gl.TexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  if (kind & ImageMipmapped) page.MipmapsStale = true;

  float size = float(page.Size);
  slot.Page = pageIndex;
  slot.U0 = float(x + pad) / size;
  slot.V0 = float(y + pad) / size;
  slot.U1 = float(x + pad + frame.Width) / size;
  slot.V1 = float(y + pad + frame.Height) / size;
  if (std::find(pagesUsed.begin(), pagesUsed.end(), pageIndex) == pagesUsed.end())
    pagesUsed.push_back(pageIndex);
  return slot;
}

const TGlRenderer::TCachedImage* TGlRenderer::EnsureImage(const PImage& image) {
  TImageKey key{image->Serial, image.get()};
  auto it = Images.find(key);
  if (it != Images.end()) {
    if (it->second.Owner.lock() == image) return &it->second;
    // A dead image lived at this address: start again.
    ReleaseImage(it->second);
    Images.erase(it);
  }
  TCachedImage entry;
  entry.Owner = image;
  int kind = image->Flags & KindMask;
  bool masked = (image->Flags & ImageMasked) != 0;
  entry.Frames.reserve(image->Frames.size());
  for (const TPixmap& frame : image->Frames)
    entry.Frames.push_back(Place(frame, kind, masked, entry.Pages));
  for (int page : entry.Pages) ++Pages[size_t(page)].LiveImages;
  return &(Images[key] = std::move(entry));
}

void TGlRenderer::ReleaseImage(const TCachedImage& entry) {
  for (int index : entry.Pages) {
    TPage& page = Pages[size_t(index)];
    if (--page.LiveImages > 0) continue;
    if (page.Dedicated) {
      Gl.DeleteTextures(1, &page.Texture);
      page = TPage{};
    } else {
      page.Shelves.clear();
      page.NextShelfY = 0;
      page.LiveImages = 0;
    }
  }
}

void TGlRenderer::EndFrame() {
  LastDrawCalls = DrawCalls;
  DrawCalls = 0;
  LastCaptures = Captures;
  Captures = 0;
  for (auto it = Images.begin(); it != Images.end();) {
    if (it->second.Owner.expired()) {
      ReleaseImage(it->second);
      it = Images.erase(it);
    } else {
      ++it;
    }
  }
}

// --- Drawing ----------------------------------------------------------------------------

bool TGlRenderer::ClipToTarget(const TRect& rect, TRect& out) const {
  int x0 = std::max(0, rect.X), y0 = std::max(0, rect.Y);
  int x1 = std::min(Width, rect.X + rect.W), y1 = std::min(Height, rect.Y + rect.H);
  if (x1 <= x0 || y1 <= y0) return false;
  out = {x0, y0, x1 - x0, y1 - y0};
  return true;
}

void TGlRenderer::AddQuad(GLuint texture, const TRect& clip, const TQuad& q, float u0, float v0,
                          float u1, float v1, const float (&c)[4], float texWeight) {
  TOp* op = Ops.empty() ? nullptr : &Ops.back();
  bool joins = op && op->Kind == TOp::Draw && op->Rect == clip &&
               (texture == 0 || op->Texture == 0 || op->Texture == texture);
  if (!joins) {
    Ops.push_back({});
    op = &Ops.back();
    op->Kind = TOp::Draw;
    op->First = int(Vertices.size());
    op->Rect = clip;
  }
  if (texture) op->Texture = texture;
  const TVertex corners[4] = {
      {q.X0, q.Y0, u0, v0, c[0], c[1], c[2], c[3], texWeight},
      {q.X1, q.Y0, u1, v0, c[0], c[1], c[2], c[3], texWeight},
      {q.X1, q.Y1, u1, v1, c[0], c[1], c[2], c[3], texWeight},
      {q.X0, q.Y1, u0, v1, c[0], c[1], c[2], c[3], texWeight},
  };
  for (int i : {0, 1, 2, 0, 2, 3}) Vertices.push_back(corners[i]);
  op->Count += 6;
}

void TGlRenderer::Execute(const std::vector<TDrawCommand>& commands) {
  if (!Fbo) return;
  // Upload new images first, so that uploads never split a batch.
  for (const TDrawCommand& c : commands)
    if (c.Kind == TCommandKind::DrawImage && c.Image) EnsureImage(c.Image);
  for (TPage& page : Pages)
    if (page.MipmapsStale && page.Texture) {
      Gl.BindTexture(GL_TEXTURE_2D, page.Texture);
      Gl.GenerateMipmap(GL_TEXTURE_2D);
      page.MipmapsStale = false;
    }

  Vertices.clear();
  Ops.clear();
  for (const TDrawCommand& c : commands) {
    TRect clip;
    switch (c.Kind) {
      case TCommandKind::Clear: {
        TOp op;
        op.Kind = TOp::Clear;
        op.Colour = c.Colour;
        Ops.push_back(op);
        break;
      }
      case TCommandKind::CaptureRegion: {
        TOp op;
        op.Kind = TOp::Capture;
        if (!ClipToTarget(c.Source, op.Rect)) break;
        Ops.push_back(op);
        break;
      }
      case TCommandKind::FillRect: {
        if (!ClipToTarget(c.Clip, clip)) break;
        float tint[4];
        PremultipliedTint(c.Colour, c.Alpha, tint);
        AddQuad(0, clip, CommandQuad(c), 0, 0, 0, 0, tint, 0);
        break;
      }
      case TCommandKind::DrawImage: {
        if (!c.Image || !ClipToTarget(c.Clip, clip)) break;
        auto it = Images.find(TImageKey{c.Image->Serial, c.Image.get()});
        if (it == Images.end() || c.Frame < 0 || c.Frame >= int(it->second.Frames.size())) break;
        const TSlot& slot = it->second.Frames[size_t(c.Frame)];
        if (slot.Page < 0) break;
        float tint[4];
        PremultipliedTint(c.Colour, c.Alpha, tint);
        AddQuad(Pages[size_t(slot.Page)].Texture, clip, CommandQuad(c), slot.U0, slot.V0, slot.U1,
                slot.V1, tint, 1);
        break;
      }
      case TCommandKind::DrawCaptured: {
        // The capture texture holds rows bottom-up, as the frame buffer does.
        TRect source;
        if (!ClipToTarget(c.Clip, clip) || !ClipToTarget(c.Source, source)) break;
        float x = float(int(c.X) + source.X - c.Source.X);
        float y = float(int(c.Y) + source.Y - c.Source.Y);
        TQuad q{x, y, x + float(source.W), y + float(source.H)};
        float w = float(Width), h = float(Height);
        const float white[4] = {1, 1, 1, 1};
        AddQuad(CaptureTexture, clip, q, float(source.X) / w, float(Height - source.Y) / h,
                float(source.X + source.W) / w, float(Height - source.Y - source.H) / h, white, 1);
        break;
      }
    }
  }
  if (Ops.empty()) return;

  Gl.BindFramebuffer(GL_FRAMEBUFFER, Fbo);
  Gl.Viewport(0, 0, Width, Height);
  Gl.UseProgram(Program);
  Gl.Uniform2f(ViewSizeUniform, float(Width), float(Height));
  Gl.BindVertexArray(Vao);
  Gl.BindBuffer(GL_ARRAY_BUFFER, Vbo);
  if (!Vertices.empty())
    Gl.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(Vertices.size() * sizeof(TVertex)), Vertices.data(),
                  GL_STREAM_DRAW);
  Gl.ActiveTexture(GL_TEXTURE0);
  Gl.Enable(GL_BLEND);
  Gl.BlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  for (const TOp& op : Ops) {
    switch (op.Kind) {
      case TOp::Clear:
        Gl.Disable(GL_SCISSOR_TEST);
        Gl.ClearColor(float((op.Colour >> 16) & 255) / 255.0f,
                      float((op.Colour >> 8) & 255) / 255.0f, float(op.Colour & 255) / 255.0f,
                      1.0f);
        Gl.Clear(GL_COLOR_BUFFER_BIT);
        break;
      case TOp::Capture:
        Gl.BindTexture(GL_TEXTURE_2D, CaptureTexture);
        Gl.CopyTexSubImage2D(GL_TEXTURE_2D, 0, op.Rect.X, Height - op.Rect.Y - op.Rect.H, op.Rect.X,
                             Height - op.Rect.Y - op.Rect.H, op.Rect.W, op.Rect.H);
        ++Captures;
        break;
      case TOp::Draw:
        Gl.Enable(GL_SCISSOR_TEST);
        Gl.Scissor(op.Rect.X, Height - op.Rect.Y - op.Rect.H, op.Rect.W, op.Rect.H);
        // A batch of plain quads samples nothing; any complete texture will do.
        Gl.BindTexture(GL_TEXTURE_2D, op.Texture ? op.Texture : CaptureTexture);
        Gl.DrawArrays(GL_TRIANGLES, op.First, op.Count);
        ++DrawCalls;
        break;
    }
  }
  Gl.Disable(GL_SCISSOR_TEST);
}

void TGlRenderer::PresentTo(int width, int height) {
  if (!Fbo) return;
  Gl.Disable(GL_SCISSOR_TEST);
  Gl.BindFramebuffer(GL_READ_FRAMEBUFFER, Fbo);
  Gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  Gl.BlitFramebuffer(0, 0, Width, Height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  Gl.BindFramebuffer(GL_FRAMEBUFFER, Fbo);
}

TPixmap TGlRenderer::Read(const TRect& rect) {
  if (!Fbo || rect.W < 1 || rect.H < 1) return {};
  ++ReadBackCount;
  TPixmap out(rect.W, rect.H, 0xFF000000u);
  TRect r;
  if (!ClipToTarget(rect, r)) return out;
  std::vector<uint8_t> rgba(size_t(r.W) * size_t(r.H) * 4);
  Gl.BindFramebuffer(GL_READ_FRAMEBUFFER, Fbo);
  Gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
  Gl.ReadPixels(r.X, Height - r.Y - r.H, r.W, r.H, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  Gl.BindFramebuffer(GL_FRAMEBUFFER, Fbo);
  for (int row = 0; row < r.H; ++row) {
    const uint8_t* src = rgba.data() + size_t(r.H - 1 - row) * size_t(r.W) * 4;
    for (int x = 0; x < r.W; ++x, src += 4)
      out.Set(r.X - rect.X + x, r.Y - rect.Y + row,
              0xFF000000u | uint32_t(src[0]) << 16 | uint32_t(src[1]) << 8 | src[2]);
  }
  return out;
}
