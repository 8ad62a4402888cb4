// A play-like frame drawn from image sets loaded from files our writers made: tiles,
// sprites, text and a message box, on the OpenGL backend. The read-back must equal the
// reference picture and the software renderer's picture.
#include <gtest/gtest.h>

#include <cstdlib>

#include "data/graphics.h"
#include "data/image_io.h"
#include "data/planar.h"
#include "data/planar_writer.h"
#include "platform/headless.h"
#include "platform/sdl_platform.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "temp_dir.h"

namespace {

// Tile i: a diagonal stripe pattern in two palette colours that depend on i; with holes,
// every pixel on the other diagonal is transparent.
TPixmap PatternStrip(int count, int size, bool holes) {
  TPixmap strip(size, size * count);
  for (int i = 0; i < count; ++i)
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        uint32_t c = EgaPalette[((x + y) / 3 + i) % 2 ? 1 + i % 15 : 15 - i % 15];
        if (holes && x == size - 1 - y) c &= 0x00FFFFFFu;
        strip.Set(x, i * size + y, c);
      }
  return strip;
}

void WriteSets(const std::string& dir) {
  WriteTileFile(dir + "BORDER.QZ1", PatternStrip(44, 16, false), 2, 16);
  WriteTileFile(dir + "FONT1.QZ1", PatternStrip(50, 8, true), 1, 8);
  WriteTileFile(dir + "FONT2.QZ1", PatternStrip(45, 8, true), 1, 8);
  for (int k = 0; k < 4; ++k) {
    WriteTileFile(dir + "BACK" + std::to_string(k) + ".QZ1", PatternStrip(48, 16, false), 2, 16);
    WriteTileFile(dir + "SOLID" + std::to_string(k) + ".QZ1", PatternStrip(48, 16, false), 2, 16);
  }
  WriteTileFile(dir + "MAN0.QZ1", PatternStrip(48, 16, true), 2, 16);
}

void DrawScene() {
  Platform().Clear(0x102030);
  for (int i = 0; i < 26; ++i)
    DrawTile(float(16 + 16 * (i % 13)), float(16 + 16 * (i / 13)), 190 + i);
  for (int i = 0; i < 8; ++i) DrawSprite(float(20 + 23 * i), float(60 + 5 * i), i * 5);
  DrawText("Zyntra 0123\nBRAX", 16, 100);
  DrawMessageBox("BOX", 200, 120, 5, 2);
}

TPixmap Render(TPlatform& platform) {
  platform.SetVirtualResolution(320, 200);
  DrawScene();
  return platform.Screenshot();
}

TEST(TGraphicsGlTest, PlayFrameMatchesReferenceAndSoftwareRenderer) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  TTempDir temp;
  CloseLog();
  WriteSets(temp.Dir());
  std::unique_ptr<TPlatform> gl = CreateSdlPlatform();
  if (!gl->OpenWindow(640, 400, 0, 60)) GTEST_SKIP() << "no OpenGL 3.3 core window here";
  SetPlatform(std::move(gl));
  ResetSettings();
  StartUpOptions().GameDir = temp.Dir();
  StartUpOptions().EnhancedContent = false;
  ASSERT_TRUE(LoadEssentialGraphics());
  LoadRemainingGraphics();
  TPixmap fromGl = Render(Platform());
  EXPECT_LE(SdlPlatformLastDrawCalls(Platform()), 3) << "the sets should batch";

  auto software = std::make_unique<THeadlessPlatform>();
  ASSERT_TRUE(software->OpenWindow(640, 400, 0, 60));
  SetPlatform(std::move(software));
  TPixmap fromSoftware = Render(Platform());

  ASSERT_EQ(fromGl.Width, 640);
  ASSERT_EQ(fromGl.Height, 400);
  EXPECT_EQ(fromGl.Pixels, fromSoftware.Pixels);
  // Hand-checked spots: a tile's first pixel, a sprite's hole showing the tile below, the
  // clear colour, a corner of the box frame.
  EXPECT_EQ(fromGl.Get(32, 32), 0xFF000000u | EgaPalette[15 - (190 % 48) % 15]);  // BACK3 tile 46
  EXPECT_EQ(fromGl.Get(2, 2), 0xFF102030u);
  EXPECT_EQ(fromGl.Get(400, 240), 0xFF000000u | EgaPalette[15 - 18 % 15]);

  std::string refPath = std::string(ZYNTRA_SOURCE_DIR) + "/tests/ref/graphics_scene.png";
  if (std::getenv("ZYNTRA_WRITE_REFERENCE")) {
    ASSERT_TRUE(SavePng(fromGl, refPath));
    GTEST_SKIP() << "reference written to " << refPath;
  }
  PPixmap reference = LoadImageFile(refPath);
  ASSERT_TRUE(reference) << refPath;
  EXPECT_EQ(reference->Pixels, fromGl.Pixels);
  ReleaseGraphics();
  SetPlatform(nullptr);
  CloseLog();
}

}  // namespace
