// Decoding a full set of episode graphics made by our writers, and drawing a typical play
// frame (130 tiles, 200 sprites, 40 characters) on the OpenGL backend.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "data/graphics.h"
#include "data/planar.h"
#include "data/planar_writer.h"
#include "platform/headless.h"
#include "platform/sdl_platform.h"
#include "shell/settings.h"

namespace {

namespace fs = std::filesystem;

// A game directory with every tile file of an episode, written once.
const std::string& FixtureDir() {
  static const std::string dir = [] {
    fs::path path = fs::temp_directory_path() / "zyntra_bench_graphics";
    fs::create_directories(path);
    auto strip = [](int count, int height) {
      TPixmap p(16, height * count);
      for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < 16; ++x)
          p.Set(x, y, EgaPalette[(x + y) % 16] & ((x * y) % 7 ? 0xFFFFFFFFu : 0x00FFFFFFu));
      return p;
    };
    std::string d = path.string() + "/";
    WriteTileFile(d + "BORDER.QZ1", strip(44, 16), 2, 16);
    WriteTileFile(d + "FONT1.QZ1", TPixmap(8, 8 * 50, EgaPalette[15]), 1, 8);
    WriteTileFile(d + "FONT2.QZ1", TPixmap(8, 8 * 45, EgaPalette[15]), 1, 8);
    for (const char* stem :
         {"BACK0", "BACK1", "BACK2", "BACK3", "SOLID0", "SOLID1", "SOLID2", "SOLID3", "MAN0",
          "MAN1", "MAN2", "MAN3", "MAN4", "ANIM0", "ANIM1", "ANIM2", "ANIM3", "ANIM4", "ANIM5"})
      WriteTileFile(d + stem + ".QZ1", strip(48, 16), 2, 16);
    for (const char* stem : {"OBJECT0", "OBJECT1", "OBJECT2"})
      WriteTileFile(d + stem + ".QZ1", strip(50, 16), 2, 16);
    WriteTileFile(d + "NUMBERS.QZ1", strip(44, 16), 2, 16);
    TPixmap picture(320, 200, EgaPalette[1]);
    for (const char* stem : {"QZ", "CREDITS", "BRAX", "BADGUY", "END"})
      WritePlanarPicture(d + stem + ".QZ1", picture, false);
    return d;
  }();
  return dir;
}

void LoadAll() {
  StartUpOptions().GameDir = FixtureDir();
  StartUpOptions().GameExt = ".QZ1";
  StartUpOptions().EnhancedContent = false;
  LoadEssentialGraphics();
  LoadRemainingGraphics();
}

void DrawPlayFrame(TPlatform& p) {
  p.Clear(0);
  for (int i = 0; i < 130; ++i)
    DrawTile(float(16 + 16 * (i % 13)), float(16 + 16 * (i / 13)), 192 + i % 100);
  for (int i = 0; i < 200; ++i)
    DrawSprite(float((i * 37) % 208 + 16), float((i * 53) % 160 + 16), (i * 7) % 722);
  DrawText("SCORE 00012345  HEALTH ######  FIRE ####", 0, 192);
}

void BM_DecodeAndBuildEpisodeGraphics(benchmark::State& state) {
  SetPlatform(std::make_unique<THeadlessPlatform>());
  FixtureDir();
  for (auto _ : state) {
    LoadAll();
    benchmark::DoNotOptimize(SpriteImage.get());
  }
  ReleaseGraphics();
  SetPlatform(nullptr);
}
BENCHMARK(BM_DecodeAndBuildEpisodeGraphics)->Unit(benchmark::kMillisecond);

// The first iteration uploads the sets into the atlases; later ones draw from them.
void BM_GlPlayFrame(benchmark::State& state) {
  if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
  SetPlatform(CreateSdlPlatform());
  TPlatform& p = Platform();
  if (!p.OpenWindow(640, 400, 0, 60)) {
    state.SkipWithError("no OpenGL window");
    SetPlatform(nullptr);
    return;
  }
  p.SetVirtualResolution(320, 200);
  LoadAll();
  for (auto _ : state) {
    DrawPlayFrame(p);
    p.Flip(false);
  }
  state.counters["draw_calls"] = SdlPlatformLastDrawCalls(p);
  ReleaseGraphics();
  SetPlatform(nullptr);
}
BENCHMARK(BM_GlPlayFrame)->Unit(benchmark::kMillisecond);

}  // namespace
