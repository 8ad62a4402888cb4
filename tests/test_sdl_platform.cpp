// The SDL + OpenGL backend in a real (offscreen) window: rendering compared with a
// reference picture, hand-computed pixels and the software renderer; batching; filtering
// without bleeding; input from SDL events; audio through the dummy driver.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "data/image_io.h"
#include "platform/headless.h"
#include "platform/sdl_platform.h"

namespace {

constexpr uint32_t Background = 0xFF203040u;
constexpr uint32_t FrameColours[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};

class TSdlPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Keep explicit choices; otherwise no display and no sound card are needed.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    Sdl = CreateSdlPlatform();
  }

  // Opens the window or skips the test when this machine has no usable OpenGL 3.3.
  bool Open(int width, int height) {
    if (Sdl->OpenWindow(width, height, 0, 60)) return true;
    return false;
  }

  std::unique_ptr<TPlatform> Sdl;
};

#define OPEN_OR_SKIP(w, h) \
  if (!Open(w, h)) GTEST_SKIP() << "no OpenGL 3.3 core window here (the log file says why)"

// Four 8x8 frames: transparent (but red) background, a 6x6 square in the frame's colour,
// one white pixel at (3, 3).
PImage SpriteImage() {
  TPixmap sheet(32, 8, 0x00FF0000u);
  for (int k = 0; k < 4; ++k) {
    for (int y = 1; y < 7; ++y)
      for (int x = 1; x < 7; ++x) sheet.Set(8 * k + x, y, FrameColours[k]);
    sheet.Set(8 * k + 3, 3, 0xFFFFFFFFu);
  }
  return CreateImage(sheet, 8, 8, 0, 4, ImageMasked);
}

// Not masked: its transparent magenta pixel must show as opaque magenta.
PImage UnmaskedImage() {
  TPixmap p(4, 4, 0xFF00FFFFu);
  p.Set(0, 0, 0x00FF00FFu);
  return CreateImage(p, 4, 4, 0, 1, 0);
}

// The reference scene on a 640x400 window with a 320x200 logical screen. midFrame gets a
// read-back taken halfway through the frame.
void DrawScene(TPlatform& p, const PImage& sprites, const PImage& unmasked, TPixmap& midFrame) {
  p.SetVirtualResolution(320, 200);
  p.Clear(Background & 0xFFFFFF);
  for (int k = 0; k < 4; ++k) p.DrawImage(sprites, float(10 + 12 * k), 10, k);

  p.SetColour(0x80FF00);  // modulation
  p.DrawImage(sprites, 60, 10, 0);
  p.SetColour(0xFFFFFF);

  p.SetScale(2, 2);
  p.DrawImage(sprites, 80, 10, 1);
  p.SetScale(1, 1);

  p.SetColour(200, 100, 0);
  p.SetAlpha(0.5f);
  p.DrawRect(10, 40, 40, 20);
  p.SetColour(0xFFFFFF);
  p.SetAlpha(0.25f);
  p.DrawImage(sprites, 20, 44, 1);
  p.SetAlpha(1);

  p.SetClip(120, 40, 20, 10);
  p.SetColour(0x00C000);
  p.DrawRect(110, 30, 50, 50);
  p.SetColour(0xFFFFFF);
  p.DrawImage(sprites, 136, 46, 0);
  p.ResetClip();

  midFrame = p.ReadPixels({240, 80, 40, 20});

  p.DrawImage(unmasked, 200, 10);

  // Capture the sprite row, paint over frame 0, then draw the capture back upside down
  // line by line: the strip must show the row as it was when captured.
  p.CaptureRegion({20, 20, 96, 16});
  p.SetColour(0x101010);
  p.DrawRect(10, 10, 8, 8);
  p.SetColour(0xFFFFFF);
  for (int i = 0; i < 16; ++i) p.DrawCaptured({20, 20 + i, 96, 1}, 20, 140 + 15 - i);
}

int MaxChannelDifference(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift : {0, 8, 16, 24})
    worst = std::max(worst, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
  return worst;
}

TEST_F(TSdlPlatformTest, SceneMatchesReferenceAndHandComputedPixels) {
  OPEN_OR_SKIP(640, 400);
  ASSERT_EQ(Sdl->WindowWidth(), 640);
  ASSERT_EQ(Sdl->WindowHeight(), 400);
  EXPECT_EQ(Sdl->WindowDepth(), 0);
  PImage sprites = SpriteImage(), unmasked = UnmaskedImage();
  TPixmap mid;
  DrawScene(*Sdl, sprites, unmasked, mid);
  TPixmap shot = Sdl->Screenshot();
  ASSERT_EQ(shot.Width, 640);
  ASSERT_EQ(shot.Height, 400);

  // Mid-frame read-back of the clipped area: green fill, the visible quarter of frame 0.
  ASSERT_EQ(mid.Width, 40);
  EXPECT_EQ(mid.Get(0, 0), 0xFF00C000u);
  EXPECT_EQ(mid.Get(39, 0), 0xFF00C000u);
  EXPECT_EQ(mid.Get(34, 14), 0xFFFF0000u);  // window (274, 94): texel (1, 1)
  EXPECT_EQ(mid.Get(39, 19), 0xFFFFFFFFu);  // window (279, 99): texel (3, 3)
  EXPECT_EQ(mid.Get(32, 12), 0xFF00C000u);  // transparent texel over the fill

  auto at = [&](int x, int y) { return shot.Get(x, y); };
  EXPECT_EQ(at(0, 0), Background);
  // Frame 1 at window (44, 20), each texel 2x2.
  EXPECT_EQ(at(44, 20), Background);
  EXPECT_EQ(at(46, 22), FrameColours[1]);
  EXPECT_EQ(at(47, 23), FrameColours[1]);
  EXPECT_EQ(at(50, 26), 0xFFFFFFFFu);
  EXPECT_EQ(at(58, 34), Background);
  // Frame 0 was painted over after the capture.
  EXPECT_EQ(at(22, 22), 0xFF101010u);
  // Modulated by 0x80FF00: red -> 0x800000, white -> 0x80FF00.
  EXPECT_EQ(at(122, 22), 0xFF800000u);
  EXPECT_EQ(at(126, 26), 0xFF80FF00u);
  // Scaled 2x: texel (1, 1) covers window (164..167, 24..27).
  EXPECT_EQ(at(163, 23), Background);
  EXPECT_EQ(at(164, 24), FrameColours[1]);
  EXPECT_EQ(at(167, 27), FrameColours[1]);
  EXPECT_EQ(at(168, 28), FrameColours[1]);
  // Half-transparent fill: (200,100,0) / 2 + (32,48,64) / 2.
  EXPECT_EQ(at(20, 80), 0xFF744A20u);
  EXPECT_EQ(at(99, 119), 0xFF744A20u);
  EXPECT_EQ(at(100, 120), Background);
  // Frame 1 at alpha 0.25 over that: green (0,255,0) -> (87,119,24); white -> (151,119,88).
  EXPECT_LE(MaxChannelDifference(at(42, 90), 0xFF577718u), 1);
  EXPECT_LE(MaxChannelDifference(at(46, 94), 0xFF977758u), 1);
  EXPECT_EQ(at(40, 88), 0xFF744A20u);
  // The clip rectangle window (240, 80, 40, 20).
  EXPECT_EQ(at(239, 80), Background);
  EXPECT_EQ(at(280, 90), Background);
  EXPECT_EQ(at(250, 100), Background);
  EXPECT_EQ(at(280, 98), Background);  // the sprite continues outside the clip: not drawn
  // Unmasked image at window (400, 20), 2x.
  EXPECT_EQ(at(400, 20), 0xFFFF00FFu);
  EXPECT_EQ(at(402, 22), 0xFF00FFFFu);
  // The flipped strip: source row 20 + i lands on row 155 - i.
  EXPECT_EQ(at(22, 153), FrameColours[0]);
  EXPECT_EQ(at(22, 152), FrameColours[0]);
  EXPECT_EQ(at(26, 149), 0xFFFFFFFFu);  // source (26, 26)
  EXPECT_EQ(at(20, 155), Background);
  EXPECT_EQ(at(46, 153), FrameColours[1]);
  EXPECT_EQ(at(20, 139), Background);
  EXPECT_EQ(at(20, 156), Background);

  // The same commands on the software renderer give the same picture.
  THeadlessPlatform soft;
  ASSERT_TRUE(soft.OpenWindow(640, 400, 0, 60));
  TPixmap softMid;
  DrawScene(soft, sprites, unmasked, softMid);
  TPixmap softShot = soft.Screenshot();
  int worst = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 640; ++x) {
      int d = MaxChannelDifference(shot.Get(x, y), softShot.Get(x, y));
      if (d > worst) {
        worst = d;
        firstX = x;
        firstY = y;
      }
    }
  EXPECT_LE(worst, 1) << "largest difference at " << firstX << "," << firstY;

  // The reference picture, compared exactly.
  std::string refPath = std::string(ZYNTRA_SOURCE_DIR) + "/tests/ref/gl_scene.png";
  if (std::getenv("ZYNTRA_WRITE_REFERENCE")) {
    ASSERT_TRUE(SavePng(shot, refPath, 9));
    GTEST_SKIP() << "reference written to " << refPath;
  }
  PPixmap reference = LoadImageFile(refPath);
  ASSERT_TRUE(reference) << refPath;
  ASSERT_EQ(reference->Width, 640);
  ASSERT_EQ(reference->Height, 400);
  size_t differing = 0;
  for (size_t i = 0; i < shot.Pixels.size(); ++i)
    differing += shot.Pixels[i] != reference->Pixels[i];
  EXPECT_EQ(differing, 0u);

  // Presenting keeps the picture: it can still be read back after the swap.
  Sdl->Flip(false);
  EXPECT_EQ(Sdl->Screenshot().Pixels, shot.Pixels);
  // Read-backs outside the window come back black, never overrun.
  TPixmap edge = Sdl->ReadPixels({630, 390, 20, 20});
  ASSERT_EQ(edge.Width, 20);
  EXPECT_EQ(edge.Get(0, 0), Background);
  EXPECT_EQ(edge.Get(15, 15), 0xFF000000u);
}

TEST_F(TSdlPlatformTest, ManyDrawsOfAtlasImagesBatchIntoFewDrawCalls) {
  OPEN_OR_SKIP(320, 200);
  Sdl->SetVirtualResolution(320, 200);
  TPixmap sheet(64, 16, 0xFF808080u);
  PImage a = CreateImage(sheet, 16, 16, 0, 4, ImageMasked);
  PImage b = CreateImage(TPixmap(8, 8, 0xFF102030u), 8, 8, 0, 1, ImageMasked);
  PImage filtered =
      CreateImage(TPixmap(8, 8, 0xFF302010u), 8, 8, 0, 1, ImageMasked | ImageFiltered);

  // Two images of the same kind share an atlas page, so alternating them costs nothing;
  // plain rectangles join the batch.
  Sdl->Clear();
  for (int i = 0; i < 400; ++i) {
    Sdl->DrawImage(i % 2 ? a : b, float(i % 300), float(i % 180), i % 4 % (i % 2 ? 4 : 1));
    if (i % 8 == 0) Sdl->DrawRect(float(i % 100), 5, 3, 3);
  }
  Sdl->Flip(false);
  int calls = SdlPlatformLastDrawCalls(*Sdl);
  EXPECT_GE(calls, 1);
  EXPECT_LE(calls, 3);

  // Different filtering needs different textures: every switch is a new draw call.
  Sdl->Clear();
  for (int i = 0; i < 100; ++i) {
    Sdl->DrawImage(a, float(i), 20);
    Sdl->DrawImage(filtered, float(i), 60);
  }
  Sdl->Flip(false);
  EXPECT_GE(SdlPlatformLastDrawCalls(*Sdl), 100);

  // Images that died give their atlas space back at the next presentation.
  EXPECT_EQ(SdlPlatformCachedImages(*Sdl), 3);
  b.reset();
  filtered.reset();
  Sdl->Flip(false);
  EXPECT_EQ(SdlPlatformCachedImages(*Sdl), 1);
  THeadlessPlatform soft;
  EXPECT_EQ(SdlPlatformLastDrawCalls(soft), -1);
}

TEST_F(TSdlPlatformTest, FilteredImagesDoNotBleedAndMipmapsExist) {
  OPEN_OR_SKIP(320, 200);
  Sdl->SetVirtualResolution(320, 200);
  // Left half opaque blue, right half transparent red: linear filtering must fade the blue
  // to the background, never towards red.
  TPixmap half(4, 4, 0x00FF0000u);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x) half.Set(x, y, 0xFF0000FFu);
  PImage soft = CreateImage(half, 4, 4, 0, 1, ImageMasked | ImageFiltered);
  // Two solid frames side by side in the atlas: drawing one must not pick up the other.
  TPixmap pair(8, 4, 0xFFFF0000u);
  for (int y = 0; y < 4; ++y)
    for (int x = 4; x < 8; ++x) pair.Set(x, y, 0xFF00FF00u);
  PImage neighbours = CreateImage(pair, 4, 4, 0, 2, ImageFiltered);
  // Mip-mapped and drawn at a quarter size: sampling needs the generated levels.
  PImage mip =
      CreateImage(TPixmap(64, 64, 0xFFFF8000u), 64, 64, 0, 1, ImageFiltered | ImageMipmapped);

  Sdl->Clear(0);
  Sdl->SetScale(8, 8);
  Sdl->DrawImage(soft, 10.3f, 10.6f);
  Sdl->DrawImage(neighbours, 60.4f, 10.2f, 0);
  Sdl->SetScale(0.25f, 0.25f);
  Sdl->DrawImage(mip, 120, 10);
  Sdl->SetScale(1, 1);
  TPixmap shot = Sdl->Screenshot();

  int blueSeen = 0, blendedBlue = 0, worstRed = 0;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      uint32_t p = shot.Get(x, y);
      worstRed = std::max(worstRed, int((p >> 16) & 255));
      int blue = int(p & 255);
      blueSeen += blue == 255;
      blendedBlue += blue > 10 && blue < 245;
    }
  EXPECT_LE(worstRed, 1) << "transparent texels bled their colour";
  EXPECT_GT(blueSeen, 50);
  EXPECT_GT(blendedBlue, 0) << "no filtering happened";

  int worstGreen = 0, redSeen = 0;
  for (int y = 5; y < 50; ++y)
    for (int x = 55; x < 100; ++x) {
      uint32_t p = shot.Get(x, y);
      worstGreen = std::max(worstGreen, int((p >> 8) & 255));
      redSeen += (p >> 16 & 255) == 255;
    }
  EXPECT_LE(worstGreen, 1) << "the neighbouring atlas frame bled in";
  EXPECT_GT(redSeen, 500);

  EXPECT_LE(MaxChannelDifference(shot.Get(127, 17), 0xFFFF8000u), 2);
}

TEST_F(TSdlPlatformTest, WindowReopensWithFreshGlObjects) {
  OPEN_OR_SKIP(320, 200);
  PImage image = CreateImage(TPixmap(2, 2, 0xFF123456u), 2, 2, 0, 1, 0);
  Sdl->SetVirtualResolution(320, 200);
  Sdl->DrawImage(image, 5, 5);
  Sdl->Flip(false);
  Sdl->CloseWindow();
  EXPECT_FALSE(Sdl->WindowIsOpen());
  EXPECT_TRUE(Sdl->Screenshot().Pixels.empty());
  Sdl->Flip(false);  // harmless without a window

  ASSERT_TRUE(Sdl->OpenWindow(200, 100, 0, 60));
  EXPECT_EQ(Sdl->WindowWidth(), 200);
  Sdl->SetVirtualResolution(100, 50);
  Sdl->Clear(0x000000);
  Sdl->DrawImage(image, 5, 5);  // uploaded again into the new context
  TPixmap shot = Sdl->Screenshot();
  EXPECT_EQ(shot.Get(10, 10), 0xFF123456u);
  EXPECT_EQ(shot.Get(13, 13), 0xFF123456u);
  EXPECT_EQ(shot.Get(14, 14), 0xFF000000u);

  // Hand-made images with the same serial are still told apart.
  auto handMade = [](uint32_t argb) {
    auto made = std::make_shared<TImage>();
    made->FrameWidth = made->FrameHeight = 1;
    made->Frames.push_back(TPixmap(1, 1, argb));
    return made;
  };
  PImage first = handMade(0xFF0000FFu), second = handMade(0xFF00FF00u);
  Sdl->DrawImage(first, 20, 5);
  Sdl->DrawImage(second, 30, 5);
  shot = Sdl->Screenshot();
  EXPECT_EQ(shot.Get(40, 10), 0xFF0000FFu);
  EXPECT_EQ(shot.Get(60, 10), 0xFF00FF00u);
}

TEST_F(TSdlPlatformTest, KeysTextAndMouseComeFromSdlEvents) {
  OPEN_OR_SKIP(320, 200);
  TInputState& in = Sdl->Input();
  Sdl->PollEvents();
  in.Flush();

  struct {
    const char* Name;
    int Code;
  } keys[] = {{"Keypad 8", 104},   {"Keypad 0", 96},     {"Keypad /", 111},
              {"Keypad .", 110},   {"Keypad Enter", 13}, {"Right Ctrl", 163},
              {"Left Shift", 160}, {"Right Alt", 165},   {"A", 65},
              {"7", 55},           {"F11", 122},         {"`", 192},
              {"[", 219},          {"'", 222},           {"PageDown", 34},
              {"Pause", 19},       {"Space", 32},        {"Left", 37},
              {"CapsLock", 20},    {"Numlock", 144}};
  for (const auto& key : keys) {
    ASSERT_TRUE(SdlPushKeyEvent(key.Name, true)) << key.Name;
    Sdl->PollEvents();
    EXPECT_TRUE(in.KeyDown(key.Code)) << key.Name;
    EXPECT_EQ(in.KeyHit(key.Code), 1) << key.Name;
    ASSERT_TRUE(SdlPushKeyEvent(key.Name, false));
    Sdl->PollEvents();
    EXPECT_FALSE(in.KeyDown(key.Code)) << key.Name;
  }

  // Auto-repeat adds no hits; the key stays down.
  in.Flush();
  SdlPushKeyEvent("Up", true);
  for (int i = 0; i < 3; ++i) SdlPushKeyEvent("Up", true, true);
  Sdl->PollEvents();
  EXPECT_EQ(in.KeyHit(KeyUp), 1);
  EXPECT_TRUE(in.KeyDown(KeyUp));
  SdlPushKeyEvent("Up", false);

  // Typed characters: ASCII text, plus Backspace, Enter and Escape from their keys.
  Sdl->PollEvents();
  in.Flush();
  SdlPushTextEvent("aZ9\xC3\xA9!");
  SdlPushKeyEvent("Backspace", true);
  SdlPushKeyEvent("Backspace", true, true);
  SdlPushKeyEvent("Return", true);
  SdlPushKeyEvent("Escape", true);
  Sdl->PollEvents();
  std::vector<int> typed;
  while (int ch = in.NextChar()) typed.push_back(ch);
  EXPECT_EQ(typed, (std::vector<int>{'a', 'Z', '9', '!', 8, 8, 13, 27}));
  EXPECT_FALSE(SdlPushKeyEvent("No such key", true));

  // Mouse: SDL's right button is our button 2.
  SdlPushMouseButtonEvent(3, true, 100, 50);
  Sdl->PollEvents();
  EXPECT_TRUE(in.MouseDown(2));
  EXPECT_EQ(in.MouseHit(2), 1);
  EXPECT_EQ(in.MouseWindowX(), 100);
  EXPECT_EQ(in.MouseWindowY(), 50);
  SdlPushMouseButtonEvent(1, true, 10, 20);
  SdlPushMouseButtonEvent(1, false, 10, 20);
  SdlPushMouseButtonEvent(3, false, 10, 20);
  Sdl->PollEvents();
  EXPECT_EQ(in.MouseHit(1), 1);
  EXPECT_FALSE(in.MouseDown(1));
  EXPECT_FALSE(in.MouseDown(2));
}

TEST_F(TSdlPlatformTest, ControllerButtonsAndStickBecomePadStateAndMenuKeys) {
  OPEN_OR_SKIP(320, 200);
  TInputState& in = Sdl->Input();
  Sdl->PollEvents();
  in.Flush();
  // A: Enter with it; B: no key; Start: F1; Back: Esc.
  SdlPushControllerButtonEvent(0, true);
  SdlPushControllerButtonEvent(1, true);
  SdlPushControllerButtonEvent(6, true);
  SdlPushControllerButtonEvent(4, true);
  Sdl->PollEvents();
  EXPECT_TRUE(in.PadDown(PadA) && in.PadDown(PadB) && in.PadDown(PadStart) && in.PadDown(PadBack));
  EXPECT_EQ(in.KeyHit(KeyEnter), 1);
  EXPECT_EQ(in.KeyHit(KeyF1), 1);
  EXPECT_EQ(in.KeyHit(KeyEscape), 1);
  for (int b : {0, 1, 6, 4}) SdlPushControllerButtonEvent(b, false);
  Sdl->PollEvents();
  EXPECT_FALSE(in.PadDown(PadA) || in.PadDown(PadB) || in.KeyDown(KeyEnter) ||
               in.KeyDown(KeyEscape));

  // The stick: on past half way, off below a quarter; the pad and the stick together hold
  // a direction until both let go.
  SdlPushControllerAxisEvent(0, -16000);
  Sdl->PollEvents();
  EXPECT_FALSE(in.PadDown(PadLeft));
  SdlPushControllerAxisEvent(0, -16384);
  Sdl->PollEvents();
  EXPECT_TRUE(in.PadDown(PadLeft));
  EXPECT_EQ(in.KeyHit(KeyLeft), 1);
  SdlPushControllerButtonEvent(13, true);  // pad left as well
  SdlPushControllerAxisEvent(0, -9000);    // still past a quarter
  Sdl->PollEvents();
  EXPECT_TRUE(in.PadDown(PadLeft));
  SdlPushControllerAxisEvent(0, 0);
  Sdl->PollEvents();
  EXPECT_TRUE(in.PadDown(PadLeft));  // the pad still holds it
  EXPECT_EQ(in.KeyHit(KeyLeft), 0);
  SdlPushControllerButtonEvent(13, false);
  SdlPushControllerAxisEvent(1, 32767);  // down
  Sdl->PollEvents();
  EXPECT_FALSE(in.PadDown(PadLeft) || in.KeyDown(KeyLeft));
  EXPECT_TRUE(in.PadDown(PadDown) && in.KeyDown(KeyDown));
  EXPECT_FALSE(in.PadDown(PadUp));
  SdlPushControllerAxisEvent(1, 0);
  Sdl->PollEvents();
  EXPECT_FALSE(in.PadDown(PadDown));
}

TEST_F(TSdlPlatformTest, AltEnterTogglesFullScreenAndIsNotAGameKey) {
  OPEN_OR_SKIP(320, 200);
  TInputState& in = Sdl->Input();
  Sdl->PollEvents();
  in.Flush();
  SdlPushKeyEvent("Left Alt", true);
  SdlPushKeyEvent("Return", true);
  SdlPushKeyEvent("Return", false);
  SdlPushKeyEvent("Left Alt", false);
  Sdl->PollEvents();
  EXPECT_EQ(in.KeyHit(KeyEnter), 0);
  EXPECT_EQ(in.NextChar(), 0);
  EXPECT_EQ(in.KeyHit(KeyLeftAlt), 1);
  EXPECT_NE(Sdl->WindowDepth(), 0);

  // Drawing goes on at whatever size full screen gave, and back again.
  Sdl->SetVirtualResolution(320, 200);
  Sdl->Clear(0x445566);
  EXPECT_EQ(Sdl->Screenshot().Get(Sdl->WindowWidth() - 1, Sdl->WindowHeight() - 1), 0xFF445566u);
  Sdl->ToggleFullScreen();
  Sdl->PollEvents();
  EXPECT_EQ(Sdl->WindowDepth(), 0);
  EXPECT_EQ(Sdl->WindowWidth(), 320);
  EXPECT_EQ(Sdl->WindowHeight(), 200);
}

// A minimal 8-bit mono WAVE file.
void WriteWave(const std::string& path, int rate, int samples) {
  std::ofstream f(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
  f.write("RIFF", 4);
  u32(uint32_t(36 + samples));
  f.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(1);
  u32(uint32_t(rate));
  u32(uint32_t(rate));
  u16(1);
  u16(8);
  f.write("data", 4);
  u32(uint32_t(samples));
  for (int i = 0; i < samples; ++i) f.put(char(i % 32 < 16 ? 0x40 : 0xC0));
}

TEST_F(TSdlPlatformTest, AudioPlaysThroughTheMixerOrStaysSilent) {
  std::vector<uint8_t> samples(11025);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(128 + (i % 20 < 10 ? 40 : -40));

  // Before the device opens every call is harmless.
  PSound early = Sdl->CreateSound(samples, 22050);
  ASSERT_TRUE(early);
  EXPECT_EQ(early->LengthMs, 500u);
  EXPECT_EQ(Sdl->PlaySound(early, -1, false), -1);
  Sdl->StopChannel(-1);
  EXPECT_FALSE(Sdl->ChannelPlaying(0));
  EXPECT_FALSE(Sdl->PlayMusicFile("nothing.ogg", true));
  EXPECT_FALSE(Sdl->CreateSound(samples, 0));

  if (!Sdl->OpenAudio()) {
    EXPECT_FALSE(Sdl->AudioIsOpen());
    GTEST_SKIP() << "no audio device, not even the dummy one";
  }
  EXPECT_TRUE(Sdl->AudioIsOpen());
  PSound sound = Sdl->CreateSound(samples, 22050);
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->LengthMs, 500u);
  // Converted to the 44.1 kHz 16-bit stereo device format without losing the tail.
  EXPECT_NEAR(double(SdlSoundBytes(sound)), 11025.0 * 2 * 4, 64);
  PSound odd = Sdl->CreateSound(std::vector<uint8_t>(8000, 200), 8000);
  EXPECT_EQ(odd->LengthMs, 1000u);
  EXPECT_NEAR(double(SdlSoundBytes(odd)), 44100.0 * 4, 44100.0 * 4 * 0.01);

  int channel = Sdl->PlaySound(sound, -1, false);
  ASSERT_GE(channel, 0);
  ASSERT_LT(channel, 32);
  EXPECT_TRUE(Sdl->ChannelPlaying(channel));
  EXPECT_EQ(Sdl->PlaySound(sound, 5, true), 5);
  EXPECT_TRUE(Sdl->ChannelPlaying(5));
  Sdl->StopChannel(5);
  EXPECT_FALSE(Sdl->ChannelPlaying(5));
  Sdl->StopChannel(-1);
  EXPECT_FALSE(Sdl->ChannelPlaying(channel));
  EXPECT_EQ(Sdl->PlaySound(sound, 32, false), -1);
  EXPECT_EQ(Sdl->PlaySound(nullptr, -1, false), -1);

  auto dir = std::filesystem::temp_directory_path() / "zyntra_sdl_audio_test";
  std::filesystem::create_directories(dir);
  std::string wave = (dir / "beep.wav").string();
  WriteWave(wave, 22050, 5512);
  PSound file = Sdl->LoadSoundFile(wave);
  ASSERT_TRUE(file);
  EXPECT_NEAR(double(file->LengthMs), 250.0, 2.0);
  EXPECT_EQ(file->Name, wave);
  EXPECT_FALSE(Sdl->LoadSoundFile((dir / "missing.wav").string()));
  // A header that claims more than the file holds, and a file of neither format, never
  // reach the mixer (it would allocate the claimed 2.4 GB, or leak).
  const std::string lying = (dir / "lying.wav").string();
  WriteWave(lying, 22050, 0);
  {
    std::fstream f(lying, std::ios::in | std::ios::out | std::ios::binary);
    const uint32_t claimed = 0x90000000u;
    f.seekp(40);
    f.write(reinterpret_cast<const char*>(&claimed), 4);
  }
  const std::string junk = (dir / "junk.ogg").string();
  std::ofstream(junk, std::ios::binary) << "Ogg!";
  EXPECT_FALSE(Sdl->LoadSoundFile(lying));
  EXPECT_FALSE(Sdl->LoadSoundFile(junk));
  EXPECT_FALSE(Sdl->PlayMusicFile(junk, false));

  EXPECT_TRUE(Sdl->PlayMusicFile(wave, true));
  EXPECT_TRUE(Sdl->MusicPlaying());
  Sdl->StopMusic();
  EXPECT_FALSE(Sdl->MusicPlaying());
  EXPECT_FALSE(Sdl->PlayMusicFile((dir / "missing.ogg").string(), false));

  // Sounds may outlive the platform; their buffers go with the device.
  Sdl->PlaySound(file, -1, true);
  Sdl.reset();
  EXPECT_EQ(SdlSoundBytes(sound), -1);
  sound.reset();
  file.reset();
  std::filesystem::remove_all(dir);
}

}  // namespace
