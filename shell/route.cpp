#include "shell/route.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "data/graphics.h"
#include "data/stream.h"
#include "data/text.h"
#include "platform/platform.h"
#include "shell/demo.h"
#include "shell/frame.h"
#include "shell/keys.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "world/game_state.h"
#include "world/world.h"
#include "world/world_state.h"

namespace {

// Longer files are cut here: a million ticks are about seventeen hours of play. The memory
// bound of a route (6 MB); a replay's time is one tick per record.
constexpr std::streamsize MaxRouteBytes = 6'000'000;

bool Held(uint8_t value) { return value != 0; }

}  // namespace

bool ReadRouteFile(const std::string& path, std::vector<uint8_t>& records) {
  records.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  records.resize(size_t(MaxRouteBytes) + 1);
  in.read(reinterpret_cast<char*>(records.data()), MaxRouteBytes + 1);
  const std::streamsize got = in.gcount();
  if (in.bad()) {
    records.clear();
    return false;
  }
  if (got > MaxRouteBytes)
    LogLine("WARNING :: Route :: \"" + path + "\" is cut to its first million ticks");
  size_t n = size_t(std::min(got, MaxRouteBytes));
  if (n % RouteRecordSize != 0)
    LogLine("WARNING :: Route :: \"" + path + "\" ends with a partial record; it is ignored");
  n -= n % RouteRecordSize;
  records.resize(n);
  return true;
}

bool WriteRouteFile(const std::string& path, const std::vector<uint8_t>& records) {
  return WriteFileAtomically(path, records);
}

bool StartRouteLevel(int map) {
  NewGameState(World(), false);
  Game().MapOn = uint16_t(std::clamp(map, 0, 0xFFFF));
  if (!LoadLevel(World())) return false;
  ResetKeys();
  return true;
}

void RouteTick(const uint8_t* r) {
  GameTick(World(), Held(r[0]), Held(r[1]), Held(r[2]), Held(r[3]), Held(r[4]), Held(r[5]));
}

void PlayRouteTick(const uint8_t* record) {
  Platform().Clear(0);
  RouteTick(record);
  PresentFrameUnpaced();
}

bool RouteLevelFinished() {
  const TGameState& g = Game();
  return g.ExitLevel || g.Victory;
}

bool RouteLevelOver() { return RouteLevelFinished() || Game().PlayerIsDead; }

std::string RouteHashText() {
  char hash[40];
  std::snprintf(hash, sizeof hash, "%016llx",
                static_cast<unsigned long long>(WorldStateHash(World())));
  return hash;
}

std::string RouteResultLine(int map, bool finished, uint64_t ticks) {
  return "Route: map " + std::to_string(map) + (finished ? " finished" : " not finished") +
         " after " + std::to_string(ticks) + " ticks, state hash " + RouteHashText();
}

namespace {

[[noreturn]] void EndRoute(int map, bool finished, uint64_t ticks) {
  const std::string line = RouteResultLine(map, finished, ticks);
  LogLine(line);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  EndProgram(finished ? 0 : 3);
}

}  // namespace

void ReplayRoute(int map, const std::string& path) {
  std::vector<uint8_t> records;
  if (!ReadRouteFile(path, records)) LogLine("ERROR :: Route :: cannot read \"" + path + "\"");
  if (!StartRouteLevel(map)) {
    LogLine("ERROR :: Route :: map " + std::to_string(map) + " does not load");
    EndRoute(map, false, 0);
  }
  uint64_t ticks = 0;
  for (size_t i = 0; i + RouteRecordSize <= records.size() && !RouteLevelOver();
       i += RouteRecordSize) {
    PlayRouteTick(&records[i]);
    ++ticks;
  }
  EndRoute(map, RouteLevelFinished(), ticks);
}

void RecordRoute(int map, const std::string& path) {
  LogLine("Recording a route of map " + std::to_string(map) + " into \"" + path + "\"");
  if (!StartRouteLevel(map)) {
    LogLine("ERROR :: Route :: map " + std::to_string(map) + " does not load");
    EndProgram(3);
  }
  TPlatform& p = Platform();
  TInputState& in = p.Input();
  std::vector<uint8_t> records;
  while (!RouteLevelOver()) {
    p.Clear(0);
    uint8_t r[RouteRecordSize];
    ReadPlayInputs(r);  // as the game loop reads them
    RouteTick(r);
    records.insert(records.end(), r, r + RouteRecordSize);
    DrawBorderTile(16, 0, 16);  // the recording mark
    // Speed changes pacing only; everything else that would change the level (hints,
    // quick save and load, restart, cheats) is not offered while recording.
    if (in.KeyDown(KeyPeriod) && PlaySettings().Speed < 20) ++PlaySettings().Speed;
    if (in.KeyDown(KeyComma) && PlaySettings().Speed > 8) --PlaySettings().Speed;
    PresentTick(PlaySettings().Speed);
    if (in.KeyHit(KeyEscape) || p.CloseRequested()) break;
  }
  if (!WriteRouteFile(path, records)) LogLine("ERROR :: Route :: cannot write \"" + path + "\"");
  EndRoute(map, RouteLevelFinished(), records.size() / RouteRecordSize);
}

void RunTimedemo(const std::string& path, int warpMap) {
  std::vector<uint8_t> records;
  int map = warpMap;
  if (warpMap >= 0) {
    if (!ReadRouteFile(path, records)) LogLine("ERROR :: Timedemo :: cannot read \"" + path + "\"");
  } else {
    map = UpperCase(path).find("USERDEMO") != std::string::npos ? 0 : LastMapNumber();
    records = ReadDemoFile(path);
    if (records.empty()) LogLine("ERROR :: Timedemo :: no ticks in \"" + path + "\"");
  }
  if (!StartRouteLevel(map)) {
    LogLine("ERROR :: Timedemo :: map " + std::to_string(map) + " does not load");
    EndProgram(1);
  }
  uint64_t ticks = 0, frames = 0;
  // The measure is of the machine, so it reads the real clock; nothing in the game does.
  const auto start = std::chrono::steady_clock::now();
  for (size_t i = 0; i + RouteRecordSize <= records.size() && !RouteLevelOver();
       i += RouteRecordSize) {
    Platform().Clear(0);
    RouteTick(&records[i]);
    ++ticks;
    // With smooth motion, as many frames a tick as a 60 Hz display shows at the default speed.
    frames += uint64_t(PresentTickUnpaced(4));
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double per = seconds > 0 ? 1.0 / seconds : 0;
  char line[200];
  std::snprintf(
      line, sizeof line,
      "Timedemo: %llu ticks, %llu frames in %.3f seconds, %.0f ticks/s, %.0f frames/s, state hash ",
      static_cast<unsigned long long>(ticks), static_cast<unsigned long long>(frames), seconds,
      double(ticks) * per, double(frames) * per);
  const std::string text = line + RouteHashText();
  LogLine(text);
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
  EndProgram(0);
}
