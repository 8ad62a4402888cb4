#include "tools/episode/episode_demo.h"

#include <vector>

#include "shell/demo.h"
#include "shell/route.h"

bool WriteEpisodeDemo(const std::string& routePath, const std::string& demoPath,
                      std::string& error) {
  std::vector<uint8_t> records;
  if (!ReadRouteFile(routePath, records) || records.empty()) {
    error = "cannot read the demo's route " + routePath;
    return false;
  }
  // The program's own recorder writes the file, so it is what a recording would be.
  const size_t ticks = records.size() / RouteRecordSize,
               room = TDemoStream::FullAt / RouteRecordSize;
  if (ticks > room) {
    error = routePath + ": " + std::to_string(ticks) + " ticks do not fit a demo (" +
            std::to_string(room) + ")";
    return false;
  }
  TDemoStream demo;
  demo.Reset(demoPath);
  for (size_t i = 0; i < records.size(); i += RouteRecordSize)
    demo.NextTick(records[i], records[i + 1], records[i + 2], records[i + 3], records[i + 4],
                  records[i + 5]);
  demo.Active = 0;
  if (!demo.WriteToFile()) {
    error = "cannot write " + demoPath;
    return false;
  }
  return true;
}
