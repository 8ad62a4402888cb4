// Game ticks on our episode's levels: the whole loop body (the tick with its drawing into
// the command list, then presentation) with a null renderer and with software rendering.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "actors/families.h"
#include "data/graphics.h"
#include "data/level_map.h"
#include "platform/headless.h"
#include "shell/frame.h"
#include "shell/route.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "world/actor_list.h"
#include "world/game_state.h"
#include "world/level_draw.h"
#include "world/world.h"
#include "world/world_state.h"

namespace {

THeadlessPlatform* StartLevel(int map = 0) {
  auto platform = std::make_unique<THeadlessPlatform>();
  THeadlessPlatform* headless = platform.get();
  SetPlatform(std::move(platform));
  headless->RenderPixels = false;
  headless->OpenWindow(640, 400, 0, 60);
  headless->SetVirtualResolution(320, 200);
  ResetSettings();
  StartUpOptions().GameDir = ZYNTRA_EPISODE_DIR;
  StartUpOptions().EnhancedContent = false;
  PlaySettings().NoMirrors = false;
  LoadEssentialGraphics();
  LoadRemainingGraphics();
  LoadStrings("STRINGS.QZ1.TXT");
  InstallActors();
  SetBoxPresenter(PresentFrame);
  // Notes and other boxes wait for Enter: it is pressed at once.
  ClearFrameRoutines();
  RegisterFrameRoutine([headless] { headless->PressKey(KeyEnter, headless->Millisecs()); });
  NewGameState(World(), false);
  Game().MapOn = uint16_t(map);
  LoadLevel(World());
  return headless;
}

// Runs right, jumping now and then, and turns back every 200 ticks.
void Tick(int64_t n) {
  bool right = (n / 200) % 2 == 0;
  GameTick(World(), false, false, !right, right, n % 7 == 0, n % 23 == 0);
}

// The loop body on map N (the argument): the tick with its drawing into the command list,
// and the presentation with a null renderer. Every map of the first episode, so the
// busiest one shows.
void BM_GameTick(benchmark::State& state) {
  THeadlessPlatform* p = StartLevel(int(state.range(0)));
  state.counters["actors"] = double(ActorList().Entries().size());
  int64_t n = 0;
  for (auto _ : state) {
    Tick(n++);
    p->Flip(false);
  }
  state.SetItemsProcessed(n);
  ReleaseGraphics();
  ClearFrameRoutines();
  SetPlatform(nullptr);
}
BENCHMARK(BM_GameTick)->DenseRange(0, 20, 2);

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
  ClearFrameRoutines();
  SetPlatform(nullptr);
}
BENCHMARK(BM_LoopBodyWithSoftwareRendering);

// A level whose first `rows` rows hold object codes in every cell, all 90 codes in turn
// (every row: the whole map of 11,520 objects), written into the temporary directory.
std::string ObjectMapFile(int rows) {
  std::string path =
      (std::filesystem::temp_directory_path() / ("zyntra_bench_objects" + std::to_string(rows)))
          .string();
  std::ofstream out(path, std::ios::binary);
  for (int r = 0; r < MapRows; ++r)
    for (int c = 0; c < MapColumns; ++c) {
      const uint16_t word = r < rows ? uint16_t(0x3000 + (r * MapColumns + c) % 0x5A) : 0;
      out.put(char(word & 0xFF)).put(char(word >> 8));
    }
  return path;
}

bool LoadObjectMap(const std::string& path) {
  const std::string dir = Options().GameDir;
  StartUpOptions().GameDir.clear();
  const bool failed = !LoadMap(World(), path);
  StartUpOptions().GameDir = dir;
  return !failed;
}

// Ticks of a level full of objects: a tick must stay linear in the number of objects
// (the argument is the number of rows full of objects).
void BM_ObjectMapTick(benchmark::State& state) {
  THeadlessPlatform* p = StartLevel(0);
  const std::string path = ObjectMapFile(int(state.range(0)));
  if (!LoadObjectMap(path)) state.SkipWithError("map not loaded");
  state.counters["actors"] = double(ActorList().Count());
  int64_t n = 0;
  for (auto _ : state) {
    Tick(n++);
    p->Flip(false);
  }
  state.SetItemsProcessed(n);
  std::filesystem::remove(path);
  ReleaseGraphics();
  ClearFrameRoutines();
  SetPlatform(nullptr);
}
BENCHMARK(BM_ObjectMapTick)->Arg(22)->Arg(45)->Arg(90)->Unit(benchmark::kMillisecond);

// Loading such a level: linear in the number of objects as well.
void BM_ObjectMapLoad(benchmark::State& state) {
  StartLevel(0);
  const std::string path = ObjectMapFile(int(state.range(0)));
  for (auto _ : state)
    if (!LoadObjectMap(path)) state.SkipWithError("map not loaded");
  state.counters["actors"] = double(ActorList().Count());
  std::filesystem::remove(path);
  ReleaseGraphics();
  ClearFrameRoutines();
  SetPlatform(nullptr);
}
BENCHMARK(BM_ObjectMapLoad)->Arg(22)->Arg(45)->Arg(90)->Unit(benchmark::kMillisecond);

}  // namespace

// Route replays as the golden replays run them: the level from its start with the inputs of
// its route, tick, drawing into the command list and presentation, until the level ends.
// Items are ticks, so items per second are replayed ticks per second.
void BM_RouteReplay(benchmark::State& state) {
  static const char* const Names[] = {"worldal1", "worldal2", "worldal3", "worldal4",
                                      "worldal5", "worldal6", "worldal7", "worldal8",
                                      "worldal9", "worldala", "worldalb", "worldalc"};
  const int map = int(state.range(0));
  const char* name = Names[map < 2 ? map : map / 2 + 1];
  std::vector<uint8_t> records;
  if (!ReadRouteFile(std::string(ZYNTRA_SOURCE_DIR) + "/episode/routes/" + name + ".qz1.route",
                     records)) {
    state.SkipWithError("no route");
    return;
  }
  THeadlessPlatform* p = StartLevel(map);
  int64_t ticks = 0;
  for (auto _ : state) {
    StartRouteLevel(map);
    for (size_t i = 0; i + RouteRecordSize <= records.size() && !RouteLevelOver();
         i += RouteRecordSize) {
      RouteTick(&records[i]);
      p->Flip(false);
      ++ticks;
    }
  }
  state.SetItemsProcessed(ticks);
  ReleaseGraphics();
  ClearFrameRoutines();
  SetPlatform(nullptr);
}
BENCHMARK(BM_RouteReplay)->Arg(0)->Arg(1)->DenseRange(2, 20, 2)->Unit(benchmark::kMillisecond);
