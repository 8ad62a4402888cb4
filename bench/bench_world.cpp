// Game ticks on our episode's first level: the world alone with a null renderer, and the
// whole loop body (tick and drawing into the command list, then presentation).
#include <benchmark/benchmark.h>

#include "actors/families.h"
#include "data/graphics.h"
#include "platform/headless.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "world/game_state.h"
#include "world/world.h"

namespace {

THeadlessPlatform* StartLevel() {
  auto platform = std::make_unique<THeadlessPlatform>();
  THeadlessPlatform* headless = platform.get();
  SetPlatform(std::move(platform));
  headless->RenderPixels = false;
  headless->OpenWindow(640, 400, 0, 60);
  headless->SetVirtualResolution(320, 200);
  ResetSettings();
  GameDir = ZYNTRA_EPISODE_DIR;
  EnhancedContent = false;
  NoMirrors = false;
  LoadEssentialGraphics();
  LoadRemainingGraphics();
  LoadStrings("STRINGS.QZ1.TXT");
  InstallLevelHooks();
  NewGameState(false);
  LoadLevel();
  return headless;
}

// Runs right, jumping now and then, and turns back every 200 ticks.
void Tick(int64_t n) {
  bool right = (n / 200) % 2 == 0;
  GameTick(false, false, !right, right, n % 7 == 0, n % 23 == 0);
}

void BM_GameTick(benchmark::State& state) {
  THeadlessPlatform* p = StartLevel();
  int64_t n = 0;
  for (auto _ : state) {
    Tick(n++);
    p->Flip(false);
  }
  state.SetItemsProcessed(n);
  ReleaseGraphics();
  SetPlatform(nullptr);
}
BENCHMARK(BM_GameTick);

void BM_LoopBodyWithSoftwareRendering(benchmark::State& state) {
  THeadlessPlatform* p = StartLevel();
  p->RenderPixels = true;
  int64_t n = 0;
  for (auto _ : state) {
    p->Clear(0);
    Tick(n++);
    p->Flip(false);
  }
  state.SetItemsProcessed(n);
  ReleaseGraphics();
  SetPlatform(nullptr);
}
BENCHMARK(BM_LoopBodyWithSoftwareRendering);

}  // namespace
