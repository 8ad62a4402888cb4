// Routes: the six play inputs of every tick of one level, as a demo holds them but with
// no header and any length. Level designers record them by playing; the golden replays
// of the tests play them back and compare the final state hash.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int RouteRecordSize = 6;  // up, down, left, right, fire, jump; each 0 or 1

// The records of a route file; a trailing partial record is dropped. False when the file
// cannot be read.
bool ReadRouteFile(const std::string& path, std::vector<uint8_t>& records);
bool WriteRouteFile(const std::string& path, const std::vector<uint8_t>& records);

// Starts map N as a demo playback does: a new game state with hints off, the level
// loaded, the keys reset. False when the level does not load.
bool StartRouteLevel(int map);
// One tick of play with the six inputs of a record.
void RouteTick(const uint8_t* record);
// One tick of a replay: the screen cleared, the tick, the presentation without pacing.
void PlayRouteTick(const uint8_t* record);
// The level ended: finished (exit door, key-hole end, victory) or the hero died.
bool RouteLevelOver();
bool RouteLevelFinished();
// The state hash as 16 hex digits.
std::string RouteHashText();
// "Route: map N finished after T ticks, state hash H" (or "not finished").
std::string RouteResultLine(int map, bool finished, uint64_t ticks);

// "route=FILE" with "warp=N": plays the records on map N without pacing or pixels, writes
// the result line to the log and to standard output, and ends the program with status 0
// when the level was finished, 3 when not.
[[noreturn]] void ReplayRoute(int map, const std::string& path);
// "recordroute=FILE" with "warp=N": plays map N with the keys (hints off, as a replay
// starts) and writes every tick's inputs to FILE when the level ends or Esc is hit.
[[noreturn]] void RecordRoute(int map, const std::string& path);

// "timedemo=FILE": plays a demo file (USERDEMO on map 0, any other on the last map) or,
// with "warp=N", a route file on map N, from the map's start as fast as it can with full
// drawing and presentation, then prints and logs "Timedemo: T ticks, F frames in S
// seconds, X ticks/s, Y frames/s, state hash H" and ends the program.
[[noreturn]] void RunTimedemo(const std::string& path, int warpMap);
