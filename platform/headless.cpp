#include "platform/headless.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

uint8_t Channel8(uint32_t argb, int shift) { return uint8_t((argb >> shift) & 0xFF); }

// src over dst with opacity a (0..1), rounded to nearest like an 8-bit frame buffer.
uint32_t Blend(uint32_t dst, uint32_t srcRgb, float a) {
  if (a >= 1) return 0xFF000000u | (srcRgb & 0xFFFFFF);
  if (a <= 0) return dst;
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    float s = float(Channel8(srcRgb, shift)), d = float(Channel8(dst, shift));
    int v = int(std::lround(s * a + d * (1 - a)));
    out |= uint32_t(std::clamp(v, 0, 255)) << shift;
  }
  return out;
}

uint32_t Modulate(uint32_t texel, uint32_t colour) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int v =
        int(std::lround(float(Channel8(texel, shift)) * float(Channel8(colour, shift)) / 255.0f));
    out |= uint32_t(v) << shift;
  }
  return out;
}

// Pixel index range [lo, hi) whose centres lie in [a, b).
void CoveredRange(float a, float b, int limitLo, int limitHi, int& lo, int& hi) {
  if (b < a) std::swap(a, b);
  lo = std::max(limitLo, int(std::ceil(a - 0.5f)));
  hi = std::min(limitHi, int(std::ceil(b - 0.5f)));
}

}  // namespace

THeadlessPlatform::THeadlessPlatform() = default;

void THeadlessPlatform::Script(const TScriptedEvent& event) {
  ScriptQueue.emplace(event.AtMs, event);
}

void THeadlessPlatform::PressKey(int code, uint32_t atMs) {
  Script({atMs, TScriptedEvent::Press, code, 0, 0});
  Script({atMs + 1, TScriptedEvent::Release, code, 0, 0});
}

void THeadlessPlatform::HoldKey(int code, uint32_t fromMs, uint32_t toMs) {
  Script({fromMs, TScriptedEvent::Press, code, 0, 0});
  Script({toMs, TScriptedEvent::Release, code, 0, 0});
}

void THeadlessPlatform::TypeText(const std::string& text, uint32_t atMs) {
  for (unsigned char ch : text) Script({atMs, TScriptedEvent::Char, ch, 0, 0});
}

bool THeadlessPlatform::OpenWindow(int width, int height, int depth, int /*hertz*/) {
  if (FailWindow || width < 1 || height < 1 || width > 16384 || height > 16384) return false;
  Open = true;
  WinDepth = depth;
  Frame = TPixmap(width, height, 0xFF000000u);
  Capture = TPixmap(width, height, 0xFF000000u);
  Deferred.clear();
  ShownPending = false;
  ResetDrawingState();
  WindowResized(width, height);
  return true;
}

void THeadlessPlatform::ResizeWindow(int width, int height) {
  if (!Open || width < 1 || height < 1 || width > 16384 || height > 16384) return;
  Frame = TPixmap(width, height, 0xFF000000u);
  Capture = TPixmap(width, height, 0xFF000000u);
  Deferred.clear();
  ShownPending = false;
  WindowResized(width, height);
}

void THeadlessPlatform::CloseWindow() {
  Open = false;
  ResetDrawingState();
}

void THeadlessPlatform::ShowMessageBox(const std::string& title, const std::string& text) {
  MessageBoxes.push_back(title + ": " + text);
}

void THeadlessPlatform::PollEvents() {
  while (!ScriptQueue.empty() && ScriptQueue.begin()->first <= Clock) {
    TScriptedEvent e = ScriptQueue.begin()->second;
    ScriptQueue.erase(ScriptQueue.begin());
    TInputState& in = Input();
    switch (e.Kind) {
      case TScriptedEvent::Press:
        in.KeyPressed(e.Code);
        // As on the real keyboard, these keys also type: a scripted Enter ends a name entry.
        if (e.Code == KeyBackspace || e.Code == KeyEnter || e.Code == KeyEscape)
          in.CharTyped(e.Code);
        break;
      case TScriptedEvent::Release: in.KeyReleased(e.Code); break;
      case TScriptedEvent::Char: in.CharTyped(e.Code); break;
      case TScriptedEvent::Mouse: in.MouseMoved(e.X, e.Y); break;
      case TScriptedEvent::MouseDown: in.MouseButton(e.Code, true); break;
      case TScriptedEvent::MouseUp: in.MouseButton(e.Code, false); break;
      case TScriptedEvent::Close: CloseFlag = true; break;
      case TScriptedEvent::Suspend: SuspendedFlag = true; break;
      case TScriptedEvent::Resume: SuspendedFlag = false; break;
      case TScriptedEvent::PadPress: in.PadButton(e.Code, true); break;
      case TScriptedEvent::PadRelease: in.PadButton(e.Code, false); break;
    }
  }
}

void THeadlessPlatform::Sleep(int ms) {
  SleepLog.push_back(ms);
  if (ms > 0) Clock += uint32_t(ms);
}

// --- Drawing: a small software renderer with nearest sampling ------------------------

void THeadlessPlatform::Render(const std::vector<TDrawCommand>& commands, TPixmap& frame,
                               TPixmap& capture) {
  for (const TDrawCommand& c : commands) {
    int cx0 = std::max(0, c.Clip.X), cy0 = std::max(0, c.Clip.Y);
    int cx1 = std::min(frame.Width, c.Clip.X + c.Clip.W);
    int cy1 = std::min(frame.Height, c.Clip.Y + c.Clip.H);
    switch (c.Kind) {
      case TCommandKind::Clear:
        std::fill(frame.Pixels.begin(), frame.Pixels.end(), 0xFF000000u | c.Colour);
        break;
      case TCommandKind::FillRect: {
        TQuad q = CommandQuad(c);
        int x0, x1, y0, y1;
        CoveredRange(q.X0, q.X1, cx0, cx1, x0, x1);
        CoveredRange(q.Y0, q.Y1, cy0, cy1, y0, y1);
        for (int y = y0; y < y1; ++y)
          for (int x = x0; x < x1; ++x) {
            uint32_t& p = frame.Pixels[size_t(y) * frame.Width + x];
            p = Blend(p, c.Colour, c.Alpha);
          }
        break;
      }
      case TCommandKind::DrawImage: {
        if (!c.Image || c.Frame < 0 || c.Frame >= c.Image->FrameCount()) break;
        const TPixmap& tex = c.Image->Frames[size_t(c.Frame)];
        TQuad q = CommandQuad(c);
        float qw = q.X1 - q.X0, qh = q.Y1 - q.Y0;
        if (qw == 0 || qh == 0 || tex.Width == 0 || tex.Height == 0) break;
        bool masked = (c.Image->Flags & ImageMasked) != 0;
        int x0, x1, y0, y1;
        CoveredRange(q.X0, q.X1, cx0, cx1, x0, x1);
        CoveredRange(q.Y0, q.Y1, cy0, cy1, y0, y1);
        for (int y = y0; y < y1; ++y) {
          int ty = std::clamp(int(std::floor((float(y) + 0.5f - q.Y0) / qh * float(tex.Height))), 0,
                              tex.Height - 1);
          for (int x = x0; x < x1; ++x) {
            int tx = std::clamp(int(std::floor((float(x) + 0.5f - q.X0) / qw * float(tex.Width))),
                                0, tex.Width - 1);
            uint32_t texel = tex.Pixels[size_t(ty) * tex.Width + tx];
            float a = c.Alpha * (masked ? float(texel >> 24) / 255.0f : 1.0f);
            uint32_t& p = frame.Pixels[size_t(y) * frame.Width + x];
            p = Blend(p, Modulate(texel, c.Colour), a);
          }
        }
        break;
      }
      case TCommandKind::CaptureRegion:
        capture.Paste(frame.Cut(c.Source.X, c.Source.Y, c.Source.W, c.Source.H), c.Source.X,
                      c.Source.Y);
        break;
      case TCommandKind::DrawCaptured: {
        int dx = int(c.X), dy = int(c.Y);
        for (int y = 0; y < c.Source.H; ++y)
          for (int x = 0; x < c.Source.W; ++x) {
            int px = dx + x, py = dy + y;
            if (px < cx0 || px >= cx1 || py < cy0 || py >= cy1) continue;
            if (!capture.Contains(c.Source.X + x, c.Source.Y + y)) continue;
            frame.Pixels[size_t(py) * frame.Width + px] =
                capture.Get(c.Source.X + x, c.Source.Y + y) | 0xFF000000u;
          }
        break;
      }
    }
  }
}

void THeadlessPlatform::ExecuteCommands(const std::vector<TDrawCommand>& commands) {
  LastFrameCommands.insert(LastFrameCommands.end(), commands.begin(), commands.end());
  if (!Open || !RenderPixels) return;
  // Pixels are drawn when a picture is asked for; a Clear makes everything before it moot.
  for (const TDrawCommand& c : commands) {
    if (c.Kind == TCommandKind::Clear) Deferred.clear();
    Deferred.push_back(c);
  }
  if (Deferred.size() > 100000) DrawDeferred();
}

void THeadlessPlatform::DrawDeferred() {
  if (Deferred.empty()) return;
  Render(Deferred, Frame, Capture);
  Deferred.clear();
}

const TPixmap& THeadlessPlatform::ShownFrame() {
  if (ShownPending) {
    Shown = TPixmap(Frame.Width, Frame.Height, 0xFF000000u);
    Render(ShownRecipe, Shown, Capture);
    ShownRecipe.clear();
    ShownPending = false;
  }
  return Shown;
}

void THeadlessPlatform::ScheduleScreenshot(uint32_t atMs, const std::string& path) {
  Screenshots.emplace(atMs, path);
}

void THeadlessPlatform::SwapWindow(bool /*vsync*/) {
  // Without pixels there is nothing new to show (and a megabyte less to copy per frame).
  if (RenderPixels) {
    const bool shot = !Screenshots.empty() && Screenshots.begin()->first <= Clock;
    if (!shot && !Deferred.empty() && Deferred.front().Kind == TCommandKind::Clear) {
      // A whole picture in commands: drawn only if someone looks at it.
      ShownRecipe = Deferred;
      ShownPending = true;
    } else {
      DrawDeferred();
      Shown = Frame;
      ShownRecipe.clear();
      ShownPending = false;
    }
  }
  while (!Screenshots.empty() && Screenshots.begin()->first <= Clock) {
    if (ScreenshotSink) ScreenshotSink(Shown, Screenshots.begin()->second);
    Screenshots.erase(Screenshots.begin());
  }
  Clock += FrameCostMs;
  PresentedCommands.swap(LastFrameCommands);
  LastFrameCommands.clear();
}

TPixmap THeadlessPlatform::ReadBack(const TRect& r) {
  if (!Open) return {};
  DrawDeferred();
  TPixmap out = Frame.Cut(r.X, r.Y, r.W, r.H);
  for (uint32_t& p : out.Pixels) p |= 0xFF000000u;
  return out;
}

// --- Audio: calls recorded, a sound plays for its length in virtual time ------------

bool THeadlessPlatform::OpenAudio() {
  AudioOpen = !FailAudio;
  return AudioOpen;
}

PSound THeadlessPlatform::CreateSound(const std::vector<uint8_t>& samples, int rate) {
  if (rate <= 0) return nullptr;
  auto sound = std::make_shared<THeadlessSound>();
  sound->Samples = samples;
  sound->Rate = rate;
  sound->LengthMs = uint32_t(uint64_t(samples.size()) * 1000 / uint64_t(rate));
  return sound;
}

PSound THeadlessPlatform::LoadSoundFile(const std::string& path) {
  // Only existence is checked: the headless backend does not decode audio files.
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return nullptr;
  std::fclose(f);
  auto sound = std::make_shared<THeadlessSound>();
  sound->Name = path;
  sound->LengthMs = 1000;
  return sound;
}

int THeadlessPlatform::PlaySound(const PSound& sound, int channel, bool loop) {
  if (!AudioOpen || !sound || channel >= ChannelCount) return -1;
  if (channel < 0) {
    for (int i = 0; i < ChannelCount; ++i)
      if (!ChannelPlaying(i)) {
        channel = i;
        break;
      }
    if (channel < 0) return -1;
  }
  Channels[channel] = {sound->Name, Clock + sound->LengthMs, loop, true};
  AudioEvents.push_back({Clock, TAudioEvent::Play, sound->Name, channel, loop});
  return channel;
}

void THeadlessPlatform::StopChannel(int channel) {
  if (!AudioOpen) return;
  for (int i = 0; i < ChannelCount; ++i)
    if (channel < 0 || channel == i) Channels[i].Busy = false;
  AudioEvents.push_back({Clock, TAudioEvent::Stop, "", channel, false});
}

bool THeadlessPlatform::ChannelPlaying(int channel) {
  if (channel < 0 || channel >= ChannelCount) return false;
  const TChannel& ch = Channels[channel];
  return ch.Busy && (ch.Loop || Clock < ch.EndsAt);
}

bool THeadlessPlatform::PlayMusicFile(const std::string& path, bool loop) {
  if (!AudioOpen) return false;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  MusicOn = true;
  AudioEvents.push_back({Clock, TAudioEvent::Music, path, -1, loop});
  return true;
}

void THeadlessPlatform::StopMusic() {
  if (!MusicOn) return;
  MusicOn = false;
  AudioEvents.push_back({Clock, TAudioEvent::MusicStop, "", -1, false});
}
