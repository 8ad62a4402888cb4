#include "fuzz/fuzz_common.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "data/image_io.h"
#include "platform/headless.h"
#include "shell/log.h"
#include "shell/route.h"
#include "shell/settings.h"
#include "shell/startup.h"

namespace fs = std::filesystem;

namespace {

// A small picture that "hrp.ini" seeds name as a replacement image.
void WriteSmallImage(const std::string& path, int width, int height) {
  TPixmap pixmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixmap.Pixels[size_t(y) * size_t(width) + size_t(x)] = 0xFF000000u | uint32_t(x * 40 + y);
  SavePng(pixmap, path, 1);
}

std::string MakeDir() {
  // Every run writes its input as a file: memory-backed /dev/shm where there is one.
  std::string pattern =
      access("/dev/shm", W_OK) == 0 ? "/dev/shm/zyntra-fuzz-XXXXXX" : "/tmp/zyntra-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    std::abort();
  }
  const std::string dir = pattern + "/";
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(ZYNTRA_EPISODE_DIR, ec))
    if (entry.is_regular_file())
      fs::copy_file(entry.path(), dir + entry.path().filename().string(), ec);
  if (chdir(dir.c_str()) != 0) std::abort();
  WriteSmallImage(dir + "small.png", 16, 16);
  WriteSmallImage(dir + "strip.png", 16, 64);
  // The temporary directory goes when the process ends normally.
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(fs::current_path(ignored), ignored);
  });
  return dir;
}

}  // namespace

const std::string& FuzzDir() {
  static const std::string dir = [] {
    const std::string d = MakeDir();
    ResetSettings();
    StartUpOptions().GameDir = d;
    auto platform = std::make_unique<THeadlessPlatform>();
    platform->RenderPixels = false;
    SetPlatform(std::move(platform));
    Platform().OpenWindow(640, 400, 0, 60);
    Platform().SetVirtualResolution(320, 200);
    return d;
  }();
  return dir;
}

void WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size) {
  std::ofstream out(FuzzDir() + name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

void RemoveFuzzFile(const std::string& name) {
  std::error_code ec;
  fs::remove(FuzzDir() + name, ec);
}

void StartFuzzGame() {
  static const bool started = [] {
    const std::string dir = "-dir=" + FuzzDir();
    std::vector<char*> args = {const_cast<char*>("zyntra_fuzz"), const_cast<char*>(dir.c_str()),
                               const_cast<char*>("-skip")};
    PrepareProgram(int(args.size()), args.data());
    StartHeadlessPlay();
    return true;
  }();
  (void)started;
}

void PlayTicks(int n, const uint8_t* records, size_t size) {
  static const uint8_t none[RouteRecordSize] = {};
  for (int i = 0; i < n && !RouteLevelOver(); ++i) {
    const size_t at = size_t(i) * RouteRecordSize;
    if (records && at + RouteRecordSize > size) break;
    // As a replay plays it: each tick's drawing is presented, so that no frame's commands
    // (and the images they hold) pile up.
    PlayRouteTick(records ? records + at : none);
  }
}

void TrimLog() {
  static unsigned runs = 0;
  if (++runs % 512 == 0) CloseLog();
}
