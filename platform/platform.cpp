#include "platform/platform.h"

#include <algorithm>
#include <atomic>
#include <cmath>

// --- TPixmap ------------------------------------------------------------------------

TPixmap::TPixmap(int width, int height, uint32_t fill)
    : Width(std::max(width, 0)),
      Height(std::max(height, 0)),
      Pixels(size_t(Width) * size_t(Height), fill) {}

void TPixmap::Paste(const TPixmap& src, int x, int y) {
  int x0 = std::max(0, x), y0 = std::max(0, y);
  int x1 = std::min(Width, x + src.Width), y1 = std::min(Height, y + src.Height);
  if (x0 >= x1) return;
  for (int py = y0; py < y1; ++py) {
    const uint32_t* from = src.Pixels.data() + size_t(py - y) * size_t(src.Width) + size_t(x0 - x);
    std::copy(from, from + (x1 - x0), Pixels.data() + size_t(py) * size_t(Width) + size_t(x0));
  }
}

TPixmap TPixmap::Cut(int x, int y, int w, int h) const {
  TPixmap out(w, h);
  // Whole rows of the part inside this pixmap; the rest stays transparent black.
  const int64_t left = std::max<int64_t>(x, 0),
                right = std::min<int64_t>(int64_t(x) + out.Width, Width);
  if (left >= right) return out;
  for (int py = 0; py < out.Height; ++py) {
    const int64_t sy = int64_t(y) + py;
    if (sy < 0 || sy >= Height) continue;
    const uint32_t* from = Pixels.data() + size_t(sy) * size_t(Width);
    std::copy(from + left, from + right,
              out.Pixels.data() + size_t(py) * size_t(out.Width) + size_t(left - x));
  }
  return out;
}

TPixmap TPixmap::MirroredX() const {
  TPixmap out(Width, Height);
  for (int py = 0; py < Height; ++py)
    for (int px = 0; px < Width; ++px)
      out.Pixels[size_t(py) * Width + px] = Pixels[size_t(py) * Width + (Width - 1 - px)];
  return out;
}

// --- Images -------------------------------------------------------------------------

PImage CreateImage(const TPixmap& source, int frameWidth, int frameHeight, int first, int count,
                   int flags) {
  if (source.Width < 1 || source.Height < 1 || frameWidth < 1 || frameHeight < 1 || count < 1 ||
      first < 0)
    return nullptr;
  static std::atomic<uint64_t> NextSerial{1};
  auto image = std::make_shared<TImage>();
  image->FrameWidth = frameWidth;
  image->FrameHeight = frameHeight;
  image->Flags = flags;
  image->Serial = NextSerial++;
  int perRow = std::max(1, source.Width / frameWidth);
  image->Frames.reserve(size_t(count));
  for (int i = 0; i < count; ++i) {
    int n = first + i;
    image->Frames.push_back(
        source.Cut((n % perRow) * frameWidth, (n / perRow) * frameHeight, frameWidth, frameHeight));
  }
  return image;
}

TQuad CommandQuad(const TDrawCommand& c) {
  float w = c.W, h = c.H, x = c.X, y = c.Y;
  if (c.Kind == TCommandKind::DrawImage && c.Image) {
    w = float(c.Image->FrameWidth) * c.ScaleX;
    h = float(c.Image->FrameHeight) * c.ScaleY;
    x -= c.Image->HandleX * c.ScaleX;
    y -= c.Image->HandleY * c.ScaleY;
  }
  TQuad q;
  q.X0 = float(c.View.OffsetX) + x * c.View.ScaleX;
  q.Y0 = float(c.View.OffsetY) + y * c.View.ScaleY;
  q.X1 = float(c.View.OffsetX) + (x + w) * c.View.ScaleX;
  q.Y1 = float(c.View.OffsetY) + (y + h) * c.View.ScaleY;
  return q;
}

// --- TInputState --------------------------------------------------------------------

namespace {
bool ValidKey(int code) { return code > 0 && code < KeyCodeCount; }
bool ValidButton(int button) { return button > 0 && button < MouseButtonCount; }
}  // namespace

void TInputState::KeyPressed(int code) {
  if (!ValidKey(code)) return;
  ++Hits[code];
  Down[code] = true;
  Tapped[code] = true;
}

void TInputState::KeyReleased(int code) {
  if (ValidKey(code)) Down[code] = false;
}

void TInputState::CharTyped(int ch) {
  if (ch > 0 && Chars.size() < 256) Chars.push_back(ch);
}

void TInputState::MouseMoved(int windowX, int windowY) {
  MouseX = windowX;
  MouseY = windowY;
}

void TInputState::MouseButton(int button, bool down) {
  if (!ValidButton(button)) return;
  if (down) ++MouseHits[button];
  MouseIsDown[button] = down;
}

int PadButtonKey(int button) {
  switch (button) {
    case PadUp: return KeyUp;
    case PadDown: return KeyDown;
    case PadLeft: return KeyLeft;
    case PadRight: return KeyRight;
    case PadA: return KeyEnter;
    case PadStart: return KeyF1;
    case PadBack: return KeyEscape;
    default: return 0;
  }
}

void TInputState::PadButton(int button, bool down) {
  if (button < 0 || button >= PadButtonCount || PadIsDown[button] == down) return;
  PadIsDown[button] = down;
  if (down) PadWasTapped[button] = true;
  if (int key = PadButtonKey(button)) {
    if (down)
      KeyPressed(key);
    else
      KeyReleased(key);
  }
}

bool TInputState::PadDown(int button) const {
  return button >= 0 && button < PadButtonCount && PadIsDown[button];
}

int TInputState::KeyHit(int code) {
  if (!ValidKey(code)) return 0;
  int n = Hits[code];
  Hits[code] = 0;
  return n;
}

bool TInputState::KeyDown(int code) const { return ValidKey(code) && Down[code]; }

int TInputState::PeekKeyHits(int code) const { return ValidKey(code) ? Hits[code] : 0; }

int TInputState::NextChar() {
  if (Chars.empty()) return 0;
  int ch = Chars.front();
  Chars.pop_front();
  return ch;
}

int TInputState::MouseHit(int button) {
  if (!ValidButton(button)) return 0;
  int n = MouseHits[button];
  MouseHits[button] = 0;
  return n;
}

bool TInputState::MouseDown(int button) const { return ValidButton(button) && MouseIsDown[button]; }

void TInputState::Flush() {
  std::fill(std::begin(Hits), std::end(Hits), 0);
  std::fill(std::begin(Down), std::end(Down), false);
  std::fill(std::begin(MouseHits), std::end(MouseHits), 0);
  std::fill(std::begin(MouseIsDown), std::end(MouseIsDown), false);
  std::fill(std::begin(PadIsDown), std::end(PadIsDown), false);
  Chars.clear();
  ClearTaps();
}

void TInputState::ClearTaps() {
  std::fill(std::begin(Tapped), std::end(Tapped), false);
  std::fill(std::begin(PadWasTapped), std::end(PadWasTapped), false);
}

bool TInputState::KeyTapped(int code) const { return ValidKey(code) && Tapped[code]; }

bool TInputState::PadTapped(int button) const {
  return button >= 0 && button < PadButtonCount && PadWasTapped[button];
}

void TInputState::FlushHits() {
  std::fill(std::begin(Hits), std::end(Hits), 0);
  std::fill(std::begin(MouseHits), std::end(MouseHits), 0);
  Chars.clear();
}

// --- TPlatform ----------------------------------------------------------------------

TPlatform::~TPlatform() = default;

void TPlatform::SetVirtualResolution(int w, int h) {
  VirtWidth = std::max(w, 1);
  VirtHeight = std::max(h, 1);
  VirtAspect = 0;
  VirtWholeFactor = false;
  LogicalView.ScaleX = float(WinWidth) / float(VirtWidth);
  LogicalView.ScaleY = float(WinHeight) / float(VirtHeight);
  LogicalView.OffsetX = 0;
  LogicalView.OffsetY = 0;
  CurrentView = LogicalView;
  ResetClip();
}

TViewTransform AspectView(int winW, int winH, int virtW, int virtH, float aspect,
                          bool wholeFactor) {
  float w = float(std::max(winW, 0)), h = float(std::max(winH, 1));
  float vw = float(std::max(virtW, 1)), vh = float(std::max(virtH, 1));
  TViewTransform view;
  if (wholeFactor && aspect > 0) {
    // The picture at factor k is k * virtW wide and k * virtW / aspect high.
    int k = std::min(int(w / vw), int(h * aspect / vw + 1e-3f));
    if (k >= 1) {
      float pictureW = vw * float(k), pictureH = pictureW / aspect;
      view.ScaleX = float(k);
      view.ScaleY = pictureH / vh;
      view.OffsetX = int((w - pictureW) / 2);
      view.OffsetY = int((h - std::round(pictureH)) / 2);
      return view;
    }
  }
  float ratio = w / h;
  if (ratio == aspect) {
    view.ScaleX = w / vw;
    view.ScaleY = h / vh;
  } else if (ratio > aspect) {
    float pictureW = aspect * h;
    view.ScaleX = pictureW / vw;
    view.ScaleY = h / vh;
    view.OffsetX = int((w - pictureW) / 2);
  } else {
    float pictureH = w / aspect;
    view.ScaleX = w / vw;
    view.ScaleY = pictureH / vh;
    view.OffsetY = int((h - pictureH) / 2);
  }
  return view;
}

void TPlatform::SetVirtualResolutionAspect(int w, int h, float aspect, bool wholeFactor) {
  VirtWidth = std::max(w, 1);
  VirtHeight = std::max(h, 1);
  VirtAspect = aspect;
  VirtWholeFactor = wholeFactor;
  LogicalView = AspectView(WinWidth, WinHeight, VirtWidth, VirtHeight, aspect, wholeFactor);
  CurrentView = LogicalView;
  ResetClip();
}

TRect TPlatform::PictureRect() const {
  TRect r;
  r.X = LogicalView.OffsetX;
  r.Y = LogicalView.OffsetY;
  r.W = int(std::lround(float(VirtWidth) * LogicalView.ScaleX));
  r.H = int(std::lround(float(VirtHeight) * LogicalView.ScaleY));
  return r;
}

void TPlatform::SetRawScale(float scaleX, float scaleY, int offsetX, int offsetY) {
  CurrentView.ScaleX = scaleX;
  CurrentView.ScaleY = scaleY;
  CurrentView.OffsetX = offsetX;
  CurrentView.OffsetY = offsetY;
}

void TPlatform::RestoreLogicalScale() { CurrentView = LogicalView; }

void TPlatform::SetClip(float x, float y, float w, float h) {
  float x0 = float(CurrentView.OffsetX) + x * CurrentView.ScaleX;
  float y0 = float(CurrentView.OffsetY) + y * CurrentView.ScaleY;
  float x1 = float(CurrentView.OffsetX) + (x + w) * CurrentView.ScaleX;
  float y1 = float(CurrentView.OffsetY) + (y + h) * CurrentView.ScaleY;
  TRect r;
  r.X = int(std::lround(x0));
  r.Y = int(std::lround(y0));
  r.W = std::max(0, int(std::lround(x1)) - r.X);
  r.H = std::max(0, int(std::lround(y1)) - r.Y);
  SetClipWindow(r);
}

void TPlatform::SetClipWindow(const TRect& windowRect) {
  int x0 = std::max(0, windowRect.X), y0 = std::max(0, windowRect.Y);
  int x1 = std::min(WinWidth, windowRect.X + windowRect.W);
  int y1 = std::min(WinHeight, windowRect.Y + windowRect.H);
  ClipRect = {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

void TPlatform::ResetClip() {
  if (VirtWidth > 0)
    SetClipWindow(PictureRect());
  else
    SetClipWindow({0, 0, WinWidth, WinHeight});
}

void TPlatform::Append(TDrawCommand command) {
  command.Colour = Colour;
  command.Alpha = Alpha;
  command.Clip = ClipRect;
  command.View = CurrentView;
  if (TrackBase != 0 && TrackCount < 255) {
    command.Track = (TrackBase << 8) | ++TrackCount;
    command.TrackClip = TrackMovesClip;
  }
  Commands.push_back(std::move(command));
}

void TPlatform::BeginTrack(uint64_t base, bool moveClip) {
  TrackBase = base & 0x00FFFFFFFFFFFFFFull;
  TrackCount = 0;
  TrackMovesClip = moveClip;
}

std::vector<TDrawCommand> TPlatform::TakeCommands() {
  std::vector<TDrawCommand> taken;
  taken.swap(Commands);
  return taken;
}

std::vector<TDrawCommand> InterpolateCommands(const std::vector<TDrawCommand>& previous,
                                              const std::vector<TDrawCommand>& current, float f,
                                              float maxJump) {
  std::vector<TDrawCommand> out = current;
  if (f >= 1 || previous.empty()) return out;
  f = std::max(f, 0.0f);
  // Tracks of the previous tick, sorted for lookup; a track drawn twice is ambiguous.
  std::vector<std::pair<uint64_t, size_t>> index;
  for (size_t i = 0; i < previous.size(); ++i)
    if (previous[i].Track != 0) index.emplace_back(previous[i].Track, i);
  std::sort(index.begin(), index.end());
  const float back = 1 - f;
  auto lerpRect = [back](TRect& to, const TRect& from) {
    to.X += int(std::lround(float(from.X - to.X) * back));
    to.Y += int(std::lround(float(from.Y - to.Y) * back));
  };
  for (TDrawCommand& c : out) {
    if (c.Track == 0) continue;
    auto at = std::lower_bound(index.begin(), index.end(), std::make_pair(c.Track, size_t(0)));
    if (at == index.end() || at->first != c.Track) continue;
    if (std::next(at) != index.end() && std::next(at)->first == c.Track) continue;
    const TDrawCommand& p = previous[at->second];
    if (p.Kind != c.Kind || !(p.View == c.View)) continue;
    const bool window =
        c.Kind == TCommandKind::CaptureRegion || c.Kind == TCommandKind::DrawCaptured;
    float dx, dy, limitX = maxJump, limitY = maxJump;
    if (c.Kind == TCommandKind::CaptureRegion) {
      dx = float(p.Source.X - c.Source.X);
      dy = float(p.Source.Y - c.Source.Y);
    } else {
      dx = p.X - c.X;
      dy = p.Y - c.Y;
    }
    if (window) {
      limitX *= c.View.ScaleX;
      limitY *= c.View.ScaleY;
    }
    float cdx = float(p.Clip.X - c.Clip.X), cdy = float(p.Clip.Y - c.Clip.Y);
    bool clipMoves = c.TrackClip && p.Clip.W == c.Clip.W && p.Clip.H == c.Clip.H;
    if (std::fabs(dx) > limitX || std::fabs(dy) > limitY) continue;
    if (clipMoves &&
        (std::fabs(cdx) > maxJump * c.View.ScaleX || std::fabs(cdy) > maxJump * c.View.ScaleY))
      continue;
    if (window) {
      int sx = int(std::lround(dx * back)), sy = int(std::lround(dy * back));
      c.Source.X += sx;
      c.Source.Y += sy;
      if (c.Kind == TCommandKind::DrawCaptured) {
        c.X += float(sx);
        c.Y += float(sy);
      }
    } else {
      c.X += dx * back;
      c.Y += dy * back;
    }
    if (clipMoves) lerpRect(c.Clip, p.Clip);
  }
  return out;
}

void TPlatform::Clear(uint32_t rgb) {
  TDrawCommand c;
  c.Kind = TCommandKind::Clear;
  Append(c);
  Commands.back().Colour = rgb & 0xFFFFFF;
}

void TPlatform::DrawImage(const PImage& image, float x, float y, int frame) {
  if (!image || frame < 0 || frame >= image->FrameCount()) return;
  TDrawCommand c;
  c.Kind = TCommandKind::DrawImage;
  c.Image = image;
  c.Frame = frame;
  c.X = x;
  c.Y = y;
  c.ScaleX = ImageScaleX;
  c.ScaleY = ImageScaleY;
  Append(std::move(c));
}

void TPlatform::DrawRect(float x, float y, float w, float h) {
  TDrawCommand c;
  c.Kind = TCommandKind::FillRect;
  c.X = x;
  c.Y = y;
  c.W = w;
  c.H = h;
  Append(std::move(c));
}

void TPlatform::CaptureRegion(const TRect& windowRect) {
  TDrawCommand c;
  c.Kind = TCommandKind::CaptureRegion;
  c.Source = windowRect;
  Append(std::move(c));
}

void TPlatform::DrawCaptured(const TRect& src, int x, int y) {
  TDrawCommand c;
  c.Kind = TCommandKind::DrawCaptured;
  c.Source = src;
  c.X = float(x);
  c.Y = float(y);
  Append(std::move(c));
}

void TPlatform::Flip(bool vsync, bool poll) {
  if (!Commands.empty()) ExecuteCommands(Commands);
  Commands.clear();
  SwapWindow(vsync);
  ++FrameCounter;
  if (poll) PollEvents();
}

TPixmap TPlatform::ReadPixels(const TRect& windowRect) {
  if (!Commands.empty()) ExecuteCommands(Commands);
  Commands.clear();
  return ReadBack(windowRect);
}

int TPlatform::MouseX() const {
  float s = LogicalView.ScaleX == 0 ? 1 : LogicalView.ScaleX;
  return int(float(InputState.MouseWindowX() - LogicalView.OffsetX) / s);
}

int TPlatform::MouseY() const {
  float s = LogicalView.ScaleY == 0 ? 1 : LogicalView.ScaleY;
  return int(float(InputState.MouseWindowY() - LogicalView.OffsetY) / s);
}

void TPlatform::WindowResized(int width, int height) {
  WinWidth = width;
  WinHeight = height;
  if (VirtWidth <= 0) {
    ClipRect = {0, 0, WinWidth, WinHeight};
    return;
  }
  if (VirtAspect > 0)
    SetVirtualResolutionAspect(VirtWidth, VirtHeight, VirtAspect, VirtWholeFactor);
  else
    SetVirtualResolution(VirtWidth, VirtHeight);
}

void TPlatform::ResetDrawingState() {
  Colour = 0xFFFFFF;
  Alpha = 1;
  ImageScaleX = ImageScaleY = 1;
  Commands.clear();
  CurrentView = LogicalView = TViewTransform{};
  VirtWidth = VirtHeight = 0;
  VirtAspect = 0;
  VirtWholeFactor = false;
  TrackBase = 0;
  ClipRect = {0, 0, WinWidth, WinHeight};
}

// --- The current platform -----------------------------------------------------------

namespace {
std::unique_ptr<TPlatform>& Current() {
  static std::unique_ptr<TPlatform> platform;
  return platform;
}
}  // namespace

TPlatform& Platform() { return *Current(); }
bool HasPlatform() { return Current() != nullptr; }
void SetPlatform(std::unique_ptr<TPlatform> platform) { Current() = std::move(platform); }
std::unique_ptr<TPlatform> ExchangePlatform(std::unique_ptr<TPlatform> platform) {
  std::swap(Current(), platform);
  return platform;
}
