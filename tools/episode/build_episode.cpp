// Builds the game directory of our episode from its text sources:
//   build_episode <episode source dir> <output dir>
// The same sources always give byte-identical files.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "data/planar_writer.h"
#include "data/stream.h"
#include "tools/episode/episode_builder.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: build_episode <episode source dir> <output dir>\n");
    return 2;
  }
  TEpisodeBuild build;
  if (!BuildEpisode(argv[1], argv[2], build)) {
    for (const std::string& e : build.Errors) std::fprintf(stderr, "error: %s\n", e.c_str());
    return 1;
  }
  for (const std::string& w : build.Warnings) std::fprintf(stderr, "warning: %s\n", w.c_str());
  std::printf("build_episode: %zu files written to %s\n", build.Written.size(), argv[2]);
  return 0;
}
