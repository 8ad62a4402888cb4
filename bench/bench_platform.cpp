// Cost of recording and software-rendering a frame of several hundred sprites.
#include <benchmark/benchmark.h>

#include "platform/headless.h"

static void BM_HeadlessFrameOfSprites(benchmark::State& state) {
  THeadlessPlatform platform;
  platform.OpenWindow(640, 400, 0, 60);
  platform.SetVirtualResolution(320, 200);
  TPixmap sheet(16 * 8, 16, 0xFF00AA00u);
  PImage sprites = CreateImage(sheet, 16, 16, 0, 8, ImageMasked);
  for (auto _ : state) {
    platform.Clear();
    for (int i = 0; i < int(state.range(0)); ++i)
      platform.DrawImage(sprites, float((i * 37) % 304), float((i * 53) % 184), i % 8);
    platform.Flip(false);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HeadlessFrameOfSprites)->Arg(100)->Arg(400);
