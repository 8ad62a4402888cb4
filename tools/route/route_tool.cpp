// Route tool for level designers: replays a route with a trace of the hero, and turns a
// route script into a route, searching the inputs that reach each waypoint over the
// deterministic tick.
//
//   route_tool play <game dir> <map> <route> [every] [shots=T1,T2,...]
//   route_tool make <game dir> <map> <script> <route>
//
// A route script has one step a line ('#' starts a comment):
//   KEYS N          hold KEYS for N ticks: letters U D L R F J in any combination, or -
//   goto C R [opts] search inputs until the hero stands in column C, row R (his feet)
//   finish [opts]   search inputs until the level ends finished
// Options of a search: any (any action counts, not only standing, walking or hanging),
// fire (fire on every other tick), max=N (layers of moves, default 40), width=N (beam
// width, default 24), hurt (taking damage is not penalised).
// Searches fork the process at the current tick, so every candidate runs the engine's own
// tick from the exact state; found inputs are cached in <route>.cache by state hash.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "data/image_io.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "shell/frame.h"
#include "shell/route.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/world_state.h"

namespace {

using TRecords = std::vector<uint8_t>;

struct TProbe {
  int32_t PosX = 0, PosY = 0, JumpSpeed = 0;
  int32_t Health = 0;
  uint8_t Action = 0, Dead = 0, Finished = 0, Reached = 0;
  uint32_t TicksUsed = 0;  // ticks of the candidate played before it stopped
};

TProbe Probe() {
  TProbe p;
  if (World().Player) {
    p.PosX = World().Player->PosX;
    p.PosY = World().Player->PosY;
    p.JumpSpeed = World().Player->JumpSpeed;
    p.Action = World().Player->Action;
    p.Dead = World().Player->DelayedAction == TBraxTovar::Dying;
  }
  p.Health = Game().Health;
  p.Dead |= Game().PlayerIsDead;
  p.Finished = RouteLevelFinished();
  return p;
}

struct TGoal {
  bool Finish = false;
  int Column = 0, Row = 0;
  bool AnyAction = false;
  bool Reached(const TProbe& p) const {
    if (Finish) return p.Finished;
    if (p.Dead) return false;
    if (!AnyAction && p.Action != TBraxTovar::Standing && p.Action != TBraxTovar::Walking &&
        p.Action != TBraxTovar::Hanging)
      return false;
    return p.PosX / 2 == Column && p.PosY / 16 == Row;
  }
  int Distance(const TProbe& p) const {
    if (Finish) return 0;
    return 8 * std::abs(p.PosX - 2 * Column) + std::abs(p.PosY - (16 * Row + 15));
  }
};

// Plays records in a forked child and reports where they led.
struct TRunning {
  pid_t Pid;
  int Fd;
  size_t Index;
};

TRunning Launch(const TRecords& records, const TGoal& goal, size_t index) {
  int fds[2];
  if (pipe(fds) != 0) {
    std::perror("pipe");
    std::exit(1);
  }
  pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    std::exit(1);
  }
  if (pid == 0) {
    close(fds[0]);
    TProbe p = Probe();
    uint32_t used = 0;
    for (size_t i = 0; i + RouteRecordSize <= records.size(); i += RouteRecordSize) {
      PlayRouteTick(&records[i]);
      ++used;
      p = Probe();
      if (p.Dead || p.Finished || goal.Reached(p)) break;
    }
    p.Reached = goal.Reached(p);
    p.TicksUsed = used;
    ssize_t w = write(fds[1], &p, sizeof p);
    _exit(w == ssize_t(sizeof p) ? 0 : 1);
  }
  close(fds[1]);
  return {pid, fds[0], index};
}

std::vector<TProbe> Evaluate(const std::vector<TRecords>& all, const TGoal& goal, int jobs) {
  std::vector<TProbe> out(all.size());
  std::vector<TRunning> running;
  size_t next = 0;
  auto finishOne = [&]() {
    TRunning r = running.front();
    running.erase(running.begin());
    TProbe p;
    p.Dead = 1;
    if (read(r.Fd, &p, sizeof p) != ssize_t(sizeof p)) p.Dead = 1;
    close(r.Fd);
    waitpid(r.Pid, nullptr, 0);
    out[r.Index] = p;
  };
  while (next < all.size() || !running.empty()) {
    while (next < all.size() && int(running.size()) < jobs) {
      running.push_back(Launch(all[next], goal, next));
      ++next;
    }
    finishOne();
  }
  return out;
}

struct TMacro {
  std::string Keys;
  int Ticks;
};
const std::vector<TMacro> Macros = {{"L", 2},   {"L", 6},  {"R", 2},  {"R", 6},   {"-", 3},
                                    {"J", 4},   {"J", 10}, {"LJ", 4}, {"LJ", 10}, {"RJ", 4},
                                    {"RJ", 10}, {"U", 2},  {"D", 2}};

bool ParseKeys(const std::string& keys, uint8_t r[RouteRecordSize]) {
  std::fill(r, r + RouteRecordSize, uint8_t(0));
  if (keys == "-") return true;
  for (char c : keys) {
    const char* order = "UDLRFJ";
    const char* at = std::strchr(order, c);
    if (!at || !*at) return false;
    r[at - order] = 1;
  }
  return !keys.empty();
}

void Append(TRecords& records, const std::string& keys, int ticks, bool fire, int& fireTick) {
  uint8_t r[RouteRecordSize];
  ParseKeys(keys, r);
  for (int i = 0; i < ticks; ++i) {
    if (fire) r[4] = uint8_t(++fireTick % 2);
    records.insert(records.end(), r, r + RouteRecordSize);
  }
}

struct TSearch {
  TGoal Goal;
  bool Fire = false, Hurt = false;
  int MaxLayers = 40, Width = 24, Jobs = 2;
};

struct TNode {
  TRecords Records;
  TProbe End;
  long Score = 0;
};

// Beam search over short moves from the current tick. True with the records that reach
// the goal; false with the records of the closest node.
bool Search(const TSearch& s, TRecords& found, TProbe& best) {
  const TProbe start = Probe();
  std::vector<TNode> beam(1);
  beam[0].End = start;
  std::map<std::tuple<int32_t, int32_t, uint8_t, int32_t>, size_t> seen;
  TNode closest = beam[0];
  closest.Score = s.Goal.Distance(start);
  for (int layer = 0; layer < s.MaxLayers && !beam.empty(); ++layer) {
    std::vector<TRecords> candidates;
    for (const TNode& node : beam)
      for (const TMacro& m : Macros) {
        TRecords r = node.Records;
        int fireTick = int(r.size() / RouteRecordSize);
        Append(r, m.Keys, m.Ticks, s.Fire, fireTick);
        candidates.push_back(std::move(r));
      }
    std::vector<TProbe> probes = Evaluate(candidates, s.Goal, s.Jobs);
    std::vector<TNode> next;
    for (size_t i = 0; i < candidates.size(); ++i) {
      const TProbe& p = probes[i];
      if (p.Reached) {
        found.assign(candidates[i].begin(),
                     candidates[i].begin() + long(p.TicksUsed) * RouteRecordSize);
        best = p;
        return true;
      }
      if (p.Dead || p.Finished) continue;
      const size_t ticks = candidates[i].size() / RouteRecordSize;
      auto key = std::make_tuple(p.PosX, p.PosY, p.Action, p.JumpSpeed);
      auto it = seen.find(key);
      if (it != seen.end() && it->second <= ticks) continue;
      seen[key] = ticks;
      TNode n{std::move(candidates[i]), p, 0};
      n.Score = s.Goal.Distance(p) + long(ticks) / 4 +
                (s.Hurt ? 0 : 4000L * std::max(0, start.Health - p.Health));
      if (n.Score < closest.Score) closest = n;
      next.push_back(std::move(n));
    }
    std::stable_sort(next.begin(), next.end(),
                     [](const TNode& a, const TNode& b) { return a.Score < b.Score; });
    if (int(next.size()) > s.Width) next.resize(size_t(s.Width));
    beam = std::move(next);
    std::fprintf(stderr, "  layer %d: %zu nodes, closest col %d row %d\n", layer + 1, beam.size(),
                 closest.End.PosX / 2, closest.End.PosY / 16);
  }
  found = closest.Records;
  best = closest.End;
  return false;
}

std::string Describe(const TProbe& p) {
  static const char* Actions[] = {"standing", "walking", "jumping",
                                  "falling",  "hanging", "swinging up"};
  char text[200];
  std::snprintf(text, sizeof text, "col %d row %d (x %d y %d) %s health %d%s%s", p.PosX / 2,
                p.PosY / 16, p.PosX, p.PosY, p.Action < 6 ? Actions[p.Action] : "?", p.Health,
                p.Dead ? " DEAD" : "", p.Finished ? " FINISHED" : "");
  return text;
}

std::string Encode(const TRecords& r) {
  std::string out;
  for (size_t i = 0; i + RouteRecordSize <= r.size(); i += RouteRecordSize) {
    int bits = 0;
    for (int k = 0; k < RouteRecordSize; ++k) bits |= (r[i + size_t(k)] ? 1 : 0) << k;
    out += char('0' + bits);  // '0' .. 'o'
  }
  return out;
}

TRecords Decode(const std::string& text) {
  TRecords r;
  for (char c : text) {
    int bits = c - '0';
    for (int k = 0; k < RouteRecordSize; ++k) r.push_back(uint8_t((bits >> k) & 1));
  }
  return r;
}

void Prepare(const std::string& dir) {
  std::string dirOption = "-dir=" + dir;
  std::vector<char*> args = {const_cast<char*>("route_tool"), dirOption.data(),
                             const_cast<char*>("-skip")};
  PrepareProgram(int(args.size()), args.data());
  PlaySettings().GodMode = false;
  StartUpOptions().CheatKeys = false;
  StartHeadlessPlay();
}

// "shots=T1,T2,...": the ticks after which the picture is saved as shot_<tick>.png.
std::vector<uint64_t> ShotTicks(const std::vector<std::string>& args) {
  std::vector<uint64_t> ticks;
  for (const std::string& a : args)
    if (a.rfind("shots=", 0) == 0) {
      std::istringstream list(a.substr(6));
      std::string item;
      while (std::getline(list, item, ','))
        ticks.push_back(std::strtoull(item.c_str(), nullptr, 10));
    }
  return ticks;
}

int Play(int map, const std::string& path, int every, const std::vector<uint64_t>& shots) {
  TRecords records;
  if (!ReadRouteFile(path, records)) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 2;
  }
  if (!StartRouteLevel(map)) return 2;
  auto* headless = dynamic_cast<THeadlessPlatform*>(&Platform());
  if (headless && !shots.empty()) headless->RenderPixels = true;
  std::printf("tick 0: %s\n", Describe(Probe()).c_str());
  uint64_t ticks = 0;
  for (size_t i = 0; i + RouteRecordSize <= records.size() && !RouteLevelOver();
       i += RouteRecordSize) {
    PlayRouteTick(&records[i]);
    ++ticks;
    if (every > 0 && ticks % uint64_t(every) == 0)
      std::printf("tick %llu: %s\n", (unsigned long long)ticks, Describe(Probe()).c_str());
    if (headless && std::find(shots.begin(), shots.end(), ticks) != shots.end())
      SavePng(headless->ShownFrame(), "shot_" + std::to_string(ticks) + ".png", 5);
  }
  std::printf("tick %llu: %s\n", (unsigned long long)ticks, Describe(Probe()).c_str());
  std::printf("%s\n", RouteResultLine(map, RouteLevelFinished(), ticks).c_str());
  return RouteLevelFinished() ? 0 : 3;
}

int Make(int map, const std::string& scriptPath, const std::string& outPath) {
  std::ifstream script(scriptPath);
  if (!script) {
    std::fprintf(stderr, "cannot read %s\n", scriptPath.c_str());
    return 2;
  }
  // The cache: "<state hash> <step text>\t<encoded records>" per line.
  std::map<std::string, std::string> cache;
  {
    std::ifstream in(outPath + ".cache");
    std::string line;
    while (std::getline(in, line)) {
      size_t tab = line.find('\t');
      if (tab != std::string::npos) cache[line.substr(0, tab)] = line.substr(tab + 1);
    }
  }
  std::ofstream cacheOut(outPath + ".cache", std::ios::app);
  if (!StartRouteLevel(map)) return 2;
  const int jobs =
      std::getenv("ROUTE_JOBS") ? std::max(1, std::atoi(std::getenv("ROUTE_JOBS"))) : 2;
  TRecords route;
  std::string line;
  int number = 0, status = 0;
  auto play = [&](const TRecords& r) {
    for (size_t i = 0; i + RouteRecordSize <= r.size() && !RouteLevelOver(); i += RouteRecordSize) {
      PlayRouteTick(&r[i]);
      route.insert(route.end(), r.begin() + long(i), r.begin() + long(i) + RouteRecordSize);
    }
  };
  while (status == 0 && std::getline(script, line)) {
    ++number;
    if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;
    if (RouteLevelOver()) {
      std::fprintf(stderr, "line %d: the level is already over\n", number);
      status = 1;
      break;
    }
    if (first == "goto" || first == "finish") {
      TSearch s;
      s.Jobs = jobs;
      s.Goal.Finish = first == "finish";
      if (!s.Goal.Finish && !(words >> s.Goal.Column >> s.Goal.Row)) {
        std::fprintf(stderr, "line %d: goto needs a column and a row\n", number);
        status = 2;
        break;
      }
      std::string option;
      while (words >> option) {
        if (option == "any")
          s.Goal.AnyAction = true;
        else if (option == "fire")
          s.Fire = true;
        else if (option == "hurt")
          s.Hurt = true;
        else if (option.rfind("max=", 0) == 0)
          s.MaxLayers = std::atoi(option.c_str() + 4);
        else if (option.rfind("width=", 0) == 0)
          s.Width = std::max(1, std::atoi(option.c_str() + 6));
        else {
          std::fprintf(stderr, "line %d: unknown option %s\n", number, option.c_str());
          status = 2;
        }
      }
      if (status) break;
      std::string trimmed = line;
      trimmed.erase(trimmed.find_last_not_of(" \t\r") + 1);
      const std::string key =
          RouteHashText() + " " + trimmed.substr(trimmed.find_first_not_of(" \t"));
      TRecords found;
      if (auto it = cache.find(key); it != cache.end()) {
        found = Decode(it->second);
      } else {
        TProbe best;
        if (!Search(s, found, best)) {
          play(found);
          std::fprintf(stderr, "line %d: search failed; closest: %s\n", number,
                       Describe(best).c_str());
          status = 1;
          break;
        }
        cache[key] = Encode(found);
        cacheOut << key << '\t' << Encode(found) << '\n';
        cacheOut.flush();
      }
      play(found);
    } else {
      int ticks = 0;
      uint8_t r[RouteRecordSize];
      if (!ParseKeys(first, r) || !(words >> ticks) || ticks < 0) {
        std::fprintf(stderr, "line %d: expected KEYS N, goto or finish\n", number);
        status = 2;
        break;
      }
      TRecords step;
      for (int i = 0; i < ticks; ++i) step.insert(step.end(), r, r + RouteRecordSize);
      play(step);
    }
    std::printf("line %d: tick %zu: %s\n", number, route.size() / RouteRecordSize,
                Describe(Probe()).c_str());
    std::fflush(stdout);
  }
  WriteRouteFile(outPath, route);
  std::printf("%s\n",
              RouteResultLine(map, RouteLevelFinished(), route.size() / RouteRecordSize).c_str());
  if (status) return status;
  return RouteLevelFinished() ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() < 4 || (a[0] != "play" && a[0] != "make") || (a[0] == "make" && a.size() < 5)) {
    std::fprintf(stderr,
                 "usage: route_tool play <game dir> <map> <route> [every] [shots=T1,T2,...]\n"
                 "       route_tool make <game dir> <map> <script> <route>\n");
    return 2;
  }
  std::string dir = a[1];
  if (!dir.empty() && dir.back() != '/') dir += '/';
  Prepare(dir);
  const int map = std::atoi(a[2].c_str());
  if (a[0] == "play")
    return Play(map, a[3], a.size() > 4 ? std::atoi(a[4].c_str()) : 0, ShotTicks(a));
  return Make(map, a[3], a[4]);
}
