// Level maps: the 128 x 90 grid of tile words, the mirror cells, the tile tests, and the
// loading of a level file (object codes become objects through hooks that the world
// supplies; this layer creates no objects itself).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "data/object_codes.h"

constexpr int MapColumns = 128;
constexpr int MapRows = 90;
constexpr int64_t LevelFileSize = 23040;

// Whether (column, row) is a cell of the map.
constexpr bool InMap(int32_t column, int32_t row) {
  return column >= 0 && column < MapColumns && row >= 0 && row < MapRows;
}
// The object position of a cell: its left half-tile and its bottom pixel row.
constexpr int32_t CellX(int column) { return 2 * column; }
constexpr int32_t CellY(int row) { return 16 * row + 15; }

// The cells of a level: its tile words and the cells that show a mirror. The world holds
// the one in play.
struct TLevelGrid {
  uint16_t Tiles[MapRows][MapColumns] = {};
  uint8_t Mirrors[MapRows][MapColumns] = {};
  // x in half-tiles, y in pixels; outside the map is solid and not hookable.
  bool IsSolid(int32_t x, int32_t y) const;
  bool IsHookable(int32_t x, int32_t y) const;
};

inline bool IsObjectCode(uint16_t word) {
  return word >= FirstObjectCode && word <= LastObjectCode;
}
inline bool IsHookableWord(uint16_t word) {
  return (word >= 0x1B80 && word <= 0x1CA0) || word >= 0x2EE0;
}

// What the world does for a level being loaded (empty entries do nothing).
struct TLevelHooks {
  std::function<void()> ResetActors;                              // empty list + provisional player
  std::function<void(uint16_t code, int column, int row)> Spawn;  // one object code
  std::function<void(int column, int row, int endColumn, int direction)> SpawnConveyorBelt;
  std::function<void(int column, int row, int width)> SpawnFakeBridge;
  std::function<void()> PlaceCamera;  // after the second pass
};

// Reads GameDir + name into the grid and spawns its objects through the hooks. True when
// loaded; on failure the grid and the objects are left as they were.
bool LoadMap(TLevelGrid& grid, const std::string& name, const TLevelHooks& hooks);
