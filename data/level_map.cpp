#include "data/level_map.h"

#include <vector>

#include "data/object_codes.h"
#include "data/stream.h"
#include "data/tile_words.h"
#include "shell/log.h"
#include "shell/settings.h"

namespace {

bool InGrid(int32_t x, int32_t y) { return x >= 0 && x <= 255 && y >= 0 && y <= 1439; }

void LogPullingError(uint16_t code, int column, int row, const char* from) {
  LogLine("WARNING :: LoadMap :: pulling error: object code 0x" + HexDigits(code, 4) +
          " at position " + std::to_string(column) + ", " + std::to_string(row) +
          " is pulling from " + from);
}

// First-pass handling of the codes that the map format itself defines.
void ConveyorStart(const TLevelGrid& grid, const TLevelHooks& hooks, uint16_t code, int column,
                   int row) {
  uint16_t endCode = code == ObjectBeltLeftStart ? ObjectBeltLeftEnd : ObjectBeltRightEnd;
  int end = -1;
  for (int c = column + 1; c < MapColumns; ++c)
    if (grid.Tiles[row][c] == endCode) {
      end = c;
      break;
    }
  if (end < 0) {
    end = 127;
    LogLine(std::string("WARNING :: LoadMap :: no end for start of conveyor belt ") +
            (code == ObjectBeltLeftStart ? "<-" : "->") + " at position " + std::to_string(column) +
            ", " + std::to_string(row) + " (belt now ends at 127, " + std::to_string(row) + ")");
  }
  if (hooks.SpawnConveyorBelt)
    hooks.SpawnConveyorBelt(column, row, end, code == ObjectBeltLeftStart ? 0 : 1);
}

void FakeBridge(TLevelGrid& grid, const TLevelHooks& hooks, int column, int row) {
  int k = column;
  for (;;) {
    grid.Tiles[row][k] = FakeBridgeLeftTile;
    ++k;
    if (k >= MapColumns || grid.Tiles[row][k] >= FirstSolidTile) break;
    grid.Tiles[row][k] = FakeBridgeRightTile;
    ++k;
    if (k >= MapColumns - 1 || grid.Tiles[row][k] >= FirstSolidTile ||
        grid.Tiles[row][k + 1] >= FirstSolidTile)
      break;
  }
  if (k - column > 1 && hooks.SpawnFakeBridge) hooks.SpawnFakeBridge(column, row, k - column);
}

// Second pass: the word an object code's cell takes.
void Pull(TLevelGrid& grid, int column, int row) {
  uint16_t code = grid.Tiles[row][column];
  switch (code) {
    case ObjectBeltLeftStart:
    case ObjectBeltLeftEnd:
    case ObjectBeltRightStart:
    case ObjectBeltRightEnd: return;
    case ObjectElevator: grid.Tiles[row][column] = ElevatorShaftTile; return;
    case ObjectExtender: grid.Tiles[row][column] = ExtenderBridgeTile; return;
    case ObjectKeyDoor0:
    case ObjectKeyDoor0 + 1:
    case ObjectKeyDoor0 + 2:
    case ObjectKeyDoor0 + 3: grid.Tiles[row][column] = LockedDoorTile; return;
    case ObjectAlienPlant:
    case ObjectPoster:
    case ObjectChain:
    case ObjectBarrel: grid.Tiles[row][column] = 0; return;
    case ObjectFlameThrowerRight:
    case ObjectCrawlBotWallLeft:
    case ObjectFanBlowingRight:
    case ObjectArrowLeft:
      if (column == MapColumns - 1) return LogPullingError(code, column, row, "right");
      grid.Tiles[row][column] = grid.Tiles[row][column + 1];
      return;
    case ObjectRocket:
    case ObjectEnergyBeam:
    case ObjectLamp:
    case ObjectNail:
    case ObjectFloorSpikes:
      if (row == 0) return LogPullingError(code, column, row, "above");
      grid.Tiles[row][column] = grid.Tiles[row - 1][column];
      return;
    case ObjectCamera:
    case ObjectCeilingSpikes:
      if (row == MapRows - 1) return LogPullingError(code, column, row, "below");
      grid.Tiles[row][column] = grid.Tiles[row + 1][column];
      return;
    default:
      if (column == 0) return LogPullingError(code, column, row, "left");
      grid.Tiles[row][column] = grid.Tiles[row][column - 1];
  }
}

}  // namespace

bool TLevelGrid::IsSolid(int32_t x, int32_t y) const {
  if (!InGrid(x, y)) return true;
  return Tiles[y / 16][x / 2] >= FirstSolidTile;
}

bool TLevelGrid::IsHookable(int32_t x, int32_t y) const {
  if (!InGrid(x, y)) return false;
  return IsHookableWord(Tiles[y / 16][x / 2]);
}

bool LoadMap(TLevelGrid& grid, const std::string& name, const TLevelHooks& hooks) {
  PStream stream = LittleEndianStream(ReadStream(Options().GameDir + name));
  std::vector<uint16_t> words(size_t(MapRows) * MapColumns);
  bool ok = stream && stream->Size() == LevelFileSize;
  if (ok) {
    try {
      for (uint16_t& w : words) w = stream->ReadShort();
    } catch (const TStreamError&) {
      ok = false;
    }
  }
  if (stream) stream->Close();
  if (!ok) {
    LogLine("WARNING :: LoadMap :: cannot read \"" + name + "\" as level file!");
    return false;
  }
  for (int r = 0; r < MapRows; ++r)
    for (int c = 0; c < MapColumns; ++c)
      grid.Tiles[r][c] = words[size_t(r) * MapColumns + size_t(c)];

  if (hooks.ResetActors) hooks.ResetActors();
  for (int r = 0; r < MapRows; ++r)
    for (int c = 0; c < MapColumns; ++c) {
      grid.Mirrors[r][c] = 0;
      uint16_t code = grid.Tiles[r][c];
      if (!IsObjectCode(code)) continue;
      switch (code) {
        case ObjectBeltLeftStart:
        case ObjectBeltRightStart: ConveyorStart(grid, hooks, code, c, r); break;
        case ObjectBeltLeftEnd:
        case ObjectBeltRightEnd: break;
        case ObjectMirror: grid.Mirrors[r][c] = 1; break;
        case ObjectFakeBridge: FakeBridge(grid, hooks, c, r); break;
        default:
          if (hooks.Spawn) hooks.Spawn(code, c, r);
      }
    }
  for (int r = 0; r < MapRows; ++r)
    for (int c = 0; c < MapColumns; ++c)
      if (IsObjectCode(grid.Tiles[r][c])) Pull(grid, c, r);
  if (hooks.PlaceCamera) hooks.PlaceCamera();
  return true;
}
