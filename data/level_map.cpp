#include "data/level_map.h"

#include <vector>

#include "data/object_codes.h"
#include "data/stream.h"
#include "data/tile_words.h"
#include "shell/log.h"
#include "shell/settings.h"

uint16_t TileGrid[MapRows][MapColumns] = {};
uint8_t MirrorGrid[MapRows][MapColumns] = {};

namespace {

TLevelHooks Hooks;

bool InGrid(int32_t x, int32_t y) { return x >= 0 && x <= 255 && y >= 0 && y <= 1439; }

void LogPullingError(uint16_t code, int column, int row, const char* from) {
  LogLine("WARNING :: LoadMap :: pulling error: object code 0x" + HexDigits(code, 4) +
          " at position " + std::to_string(column) + ", " + std::to_string(row) +
          " is pulling from " + from);
}

// First-pass handling of the codes that the map format itself defines.
void ConveyorStart(uint16_t code, int column, int row) {
  uint16_t endCode = code == ObjectBeltLeftStart ? ObjectBeltLeftEnd : ObjectBeltRightEnd;
  int end = -1;
  for (int c = column + 1; c < MapColumns; ++c)
    if (TileGrid[row][c] == endCode) {
      end = c;
      break;
    }
  if (end < 0) {
    end = 127;
    LogLine(std::string("WARNING :: LoadMap :: no end for start of conveyor belt ") +
            (code == ObjectBeltLeftStart ? "<-" : "->") + " at position " + std::to_string(column) +
            ", " + std::to_string(row) + " (belt now ends at 127, " + std::to_string(row) + ")");
  }
  if (Hooks.SpawnConveyorBelt)
    Hooks.SpawnConveyorBelt(column, row, end, code == ObjectBeltLeftStart ? 0 : 1);
}

void FakeBridge(int column, int row) {
  int k = column;
  for (;;) {
    TileGrid[row][k] = FakeBridgeLeftTile;
    ++k;
    if (k >= MapColumns || TileGrid[row][k] >= FirstSolidTile) break;
    TileGrid[row][k] = FakeBridgeRightTile;
    ++k;
    if (k >= MapColumns - 1 || TileGrid[row][k] >= FirstSolidTile ||
        TileGrid[row][k + 1] >= FirstSolidTile)
      break;
  }
  if (k - column > 1 && Hooks.SpawnFakeBridge) Hooks.SpawnFakeBridge(column, row, k - column);
}

// Second pass: the word an object code's cell takes.
void Pull(int column, int row) {
  uint16_t code = TileGrid[row][column];
  switch (code) {
    case ObjectBeltLeftStart:
    case ObjectBeltLeftEnd:
    case ObjectBeltRightStart:
    case ObjectBeltRightEnd: return;
    case ObjectElevator: TileGrid[row][column] = ElevatorShaftTile; return;
    case ObjectExtender: TileGrid[row][column] = ExtenderBridgeTile; return;
    case ObjectKeyDoor0:
    case ObjectKeyDoor0 + 1:
    case ObjectKeyDoor0 + 2:
    case ObjectKeyDoor0 + 3: TileGrid[row][column] = LockedDoorTile; return;
    case ObjectAlienPlant:
    case ObjectPoster:
    case ObjectChain:
    case ObjectBarrel: TileGrid[row][column] = 0; return;
    case ObjectFlameThrowerRight:
    case ObjectCrawlBotWallLeft:
    case ObjectFanBlowingRight:
    case ObjectArrowLeft:
      if (column == MapColumns - 1) return LogPullingError(code, column, row, "right");
      TileGrid[row][column] = TileGrid[row][column + 1];
      return;
    case ObjectRocket:
    case ObjectEnergyBeam:
    case ObjectLamp:
    case ObjectNail:
    case ObjectFloorSpikes:
      if (row == 0) return LogPullingError(code, column, row, "above");
      TileGrid[row][column] = TileGrid[row - 1][column];
      return;
    case ObjectCamera:
    case ObjectCeilingSpikes:
      if (row == MapRows - 1) return LogPullingError(code, column, row, "below");
      TileGrid[row][column] = TileGrid[row + 1][column];
      return;
    default:
      if (column == 0) return LogPullingError(code, column, row, "left");
      TileGrid[row][column] = TileGrid[row][column - 1];
  }
}

}  // namespace

bool IsSolid(int32_t x, int32_t y) {
  if (!InGrid(x, y)) return true;
  return TileGrid[y / 16][x / 2] >= FirstSolidTile;
}

bool IsHookable(int32_t x, int32_t y) {
  if (!InGrid(x, y)) return false;
  return IsHookableWord(TileGrid[y / 16][x / 2]);
}

void SetLevelHooks(const TLevelHooks& hooks) { Hooks = hooks; }

bool LoadMap(const std::string& name) {
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
    for (int c = 0; c < MapColumns; ++c) TileGrid[r][c] = words[size_t(r) * MapColumns + size_t(c)];

  if (Hooks.ResetActors) Hooks.ResetActors();
  for (int r = 0; r < MapRows; ++r)
    for (int c = 0; c < MapColumns; ++c) {
      MirrorGrid[r][c] = 0;
      uint16_t code = TileGrid[r][c];
      if (!IsObjectCode(code)) continue;
      switch (code) {
        case ObjectBeltLeftStart:
        case ObjectBeltRightStart: ConveyorStart(code, c, r); break;
        case ObjectBeltLeftEnd:
        case ObjectBeltRightEnd: break;
        case ObjectMirror: MirrorGrid[r][c] = 1; break;
        case ObjectFakeBridge: FakeBridge(c, r); break;
        default:
          if (Hooks.Spawn) Hooks.Spawn(code, c, r);
      }
    }
  for (int r = 0; r < MapRows; ++r)
    for (int c = 0; c < MapColumns; ++c)
      if (IsObjectCode(TileGrid[r][c])) Pull(c, r);
  if (Hooks.PlaceCamera) Hooks.PlaceCamera();
  return true;
}
