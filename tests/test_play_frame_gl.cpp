// Play frames of our episode's first level on the OpenGL backend: a frame with the status
// panel and HUD, and a frame over the mirror floor in the classic look and with the sheen.
// Each must equal the software renderer's picture (filtering is nearest), the classic ones
// their reference pictures, and the mirrors must be copied on the GPU without reading the
// picture back to the CPU.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "actors/families.h"
#include "data/graphics.h"
#include "data/image_io.h"
#include "platform/headless.h"
#include "platform/sdl_platform.h"
#include "shell/frame.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "world/game_state.h"
#include "world/level_draw.h"
#include "world/player.h"
#include "world/world.h"
#include "world/world_state.h"

namespace {

struct TFrames {
  TPixmap Play, Mirror, Sheen;
  int MirrorCaptures = 0;          // capture commands in the mirror frame's list
  std::vector<TRect> Reflections;  // window rectangles the mirror strips were drawn to
  int ReadBacksDuringPlay = -1;
  int GpuCaptures = -1;
};

void Ticks(int count) {
  for (int i = 0; i < count; ++i) GameTick(World(), false, false, false, false, false, false);
}

void Present() { Platform().Flip(false); }

// The same steps on whichever platform is current.
TFrames PlayFrames(bool gl) {
  TPlatform& p = Platform();
  p.SetVirtualResolution(320, 200);
  RowCalibration();
  NewGameState(World(), false);
  Game().MapOn = 0;
  EXPECT_TRUE(LoadLevel(World()));
  Game().AddScore(4200);
  Game().Health = 5;
  Ticks(9);  // the start flicker leaves the hero shown (timer 21 - 9 is even)
  TFrames frames;
  p.Clear(0);
  RedrawGame(World());
  frames.Play = p.Screenshot();

  // Over the mirror floor of row 13: the hero stands on it, the camera settles.
  World().Player->PosX = 100;
  World().Player->PosY = 13 * 16 - 1;
  Game().CamX = World().Player->PosX - 14;
  Game().CamY = World().Player->PosY / 16 - 4;
  Ticks(12);
  int readBacks = gl ? SdlPlatformReadBacks(p) : 0;
  for (int i = 0; i < 3; ++i) {
    p.Clear(0);
    RedrawGame(World());
    if (i < 2) Present();
  }
  for (const TDrawCommand& c : p.PendingCommands()) {
    if (c.Kind == TCommandKind::CaptureRegion) ++frames.MirrorCaptures;
    if (c.Kind == TCommandKind::DrawCaptured)
      frames.Reflections.push_back({int(c.X), int(c.Y), c.Source.W, c.Source.H});
  }
  if (gl) {
    frames.GpuCaptures = SdlPlatformLastCaptures(p);
    frames.ReadBacksDuringPlay = SdlPlatformReadBacks(p) - readBacks;
  }
  frames.Mirror = p.Screenshot();

  // The same frame with the sheen on the mirror floor.
  StartUpOptions().MirrorSheen = true;
  p.Clear(0);
  RedrawGame(World());
  frames.Sheen = p.Screenshot();
  StartUpOptions().MirrorSheen = false;
  return frames;
}

void ExpectReference(const TPixmap& picture, const std::string& name) {
  std::string path = std::string(ZYNTRA_SOURCE_DIR) + "/tests/ref/" + name;
  if (std::getenv("ZYNTRA_WRITE_REFERENCE")) {
    ASSERT_TRUE(SavePng(picture, path));
    return;
  }
  PPixmap reference = LoadImageFile(path);
  ASSERT_TRUE(reference) << path;
  EXPECT_EQ(reference->Width, picture.Width);
  EXPECT_TRUE(reference->Pixels == picture.Pixels) << name << " differs from the reference";
}

TEST(TPlayFrameGlTest, FirstLevelAndMirrorMatchReferencesWithoutReadBack) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  CloseLog();
  ResetSettings();
  StartUpOptions().GameDir = ZYNTRA_EPISODE_DIR;
  StartUpOptions().EnhancedContent = false;
  StartUpOptions().MirrorSheen = false;  // the references hold the classic look
  std::unique_ptr<TPlatform> gl = CreateSdlPlatform();
  if (!gl->OpenWindow(640, 400, 0, 60)) GTEST_SKIP() << "no OpenGL 3.3 core window here";
  SetPlatform(std::move(gl));
  ASSERT_TRUE(LoadEssentialGraphics());
  LoadRemainingGraphics();
  LoadStrings("STRINGS.QZ1.TXT");
  InstallActors();
  SetBoxPresenter(PresentFrame);
  TFrames fromGl = PlayFrames(true);

  auto software = std::make_unique<THeadlessPlatform>();
  software->RenderPixels = true;
  ASSERT_TRUE(software->OpenWindow(640, 400, 0, 60));
  SetPlatform(std::move(software));
  TFrames fromSoftware = PlayFrames(false);

  // The mirror frame really has mirrors, copied on the GPU, and nothing came back to the
  // CPU while the frames were drawn and shown.
  EXPECT_GT(fromSoftware.MirrorCaptures, 0);
  EXPECT_EQ(fromGl.MirrorCaptures, fromSoftware.MirrorCaptures);
  EXPECT_EQ(fromGl.GpuCaptures, fromGl.MirrorCaptures);
  EXPECT_EQ(fromGl.ReadBacksDuringPlay, 0);

  ASSERT_EQ(fromGl.Play.Width, 640);
  ASSERT_EQ(fromGl.Play.Height, 400);
  EXPECT_TRUE(fromGl.Play.Pixels == fromSoftware.Play.Pixels)
      << "play frame: GL and software differ";
  EXPECT_TRUE(fromGl.Mirror.Pixels == fromSoftware.Mirror.Pixels)
      << "mirror frame: GL and software differ";
  EXPECT_FALSE(fromGl.Play.Pixels == fromGl.Mirror.Pixels);
  ExpectReference(fromGl.Play, "play_frame.png");
  ExpectReference(fromGl.Mirror, "mirror_frame.png");

  // The sheen: the same in both renderers, and a change of the reflected pixels only.
  EXPECT_TRUE(fromGl.Sheen.Pixels == fromSoftware.Sheen.Pixels)
      << "sheen frame: GL and software differ";
  ASSERT_EQ(fromGl.Sheen.Width, fromGl.Mirror.Width);
  ASSERT_EQ(fromGl.Sheen.Height, fromGl.Mirror.Height);
  int changed = 0, outside = 0;
  for (int y = 0; y < fromGl.Sheen.Height; ++y)
    for (int x = 0; x < fromGl.Sheen.Width; ++x) {
      if (fromGl.Sheen.Get(x, y) == fromGl.Mirror.Get(x, y)) continue;
      ++changed;
      bool reflected = false;
      for (const TRect& r : fromSoftware.Reflections)
        reflected = reflected || (x >= r.X && x < r.X + r.W && y >= r.Y && y < r.Y + r.H);
      outside += !reflected;
    }
  EXPECT_GT(changed, 1000);
  EXPECT_EQ(outside, 0);

  ReleaseGraphics();
  SetPlatform(nullptr);
  CloseLog();
}

}  // namespace
