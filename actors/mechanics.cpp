#include "actors/mechanics.h"

#include <algorithm>

#include "actors/effects.h"
#include "actors/families.h"
#include "actors/spawn.h"
#include "data/level_map.h"
#include "data/sound.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(TElevator, TVisibleObject,
                    ZYNTRA_FIELD_RANGE(TElevator, InitialY, MinPosY / 16, MaxPosY / 16))
ZYNTRA_DEFINE_CLASS(TConveyorBelt, TGameObject, ZYNTRA_FIELD(TConveyorBelt, Width),
                    ZYNTRA_FIELD_RANGE(TConveyorBelt, EndX, MinPosX / 2, MaxPosX / 2),
                    ZYNTRA_FIELD_RANGE(TConveyorBelt, Direction, 0, 1))
ZYNTRA_DEFINE_CLASS(TFakeBridge, TGameObject, ZYNTRA_FIELD(TFakeBridge, Width),
                    ZYNTRA_FIELD_RANGE(TFakeBridge, State, 0, 3))
ZYNTRA_DEFINE_CLASS(TExtender, TGameObject)
ZYNTRA_DEFINE_CLASS(TFan, TActor, ZYNTRA_FIELD(TFan, Wind), ZYNTRA_FIELD_RANGE(TFan, State, 0, 1),
                    ZYNTRA_FIELD(TFan, ShotTimer))
ZYNTRA_DEFINE_CLASS(TWind, TActor, ZYNTRA_FIELD_RANGE(TWind, Direction, 0, 1))

namespace {

void SetCell(TLevelGrid& grid, int32_t column, int32_t row, uint16_t word) {
  if (InMap(column, row)) grid.Tiles[row][column] = word;
}

// The word of a cell; an empty word above the top row.
uint16_t CellWord(const TLevelGrid& grid, int32_t column, int32_t row) {
  return InMap(column, row) ? grid.Tiles[row][column] : 0;
}

// Copies the word of the cell above into the cell (clears a shaft top, drops a bridge).
void PullFromAbove(TLevelGrid& grid, int32_t column, int32_t row) {
  SetCell(grid, column, row, CellWord(grid, column, row - 1));
}

}  // namespace

// --- Elevator ----------------------------------------------------------------------------

void TElevator::Draw() { DrawAtActor(*this, SpriteElevator); }

bool TElevator::PlayerStandsOnMe() const {
  return World().Player && World().Player->PosX == PosX && PosY == World().Player->PosY + 16 &&
         World().Player->Action != TBraxTovar::Hanging;
}

void TElevator::GoUp() {
  SetCell(World().Grid, PosX / 2, PosY / 16 - 1, ElevatorShaftTile);
  PosY -= 16;
}

void TElevator::GoDown() {
  PullFromAbove(World().Grid, PosX / 2, PosY / 16);
  PosY += 16;
}

void TElevator::Update() {
  if (PlayerStandsOnMe())
    ShowHint(World(), HintElevator, false);
  else if (PosY / 16 < InitialY)
    GoDown();
}

// --- Conveyor belt -----------------------------------------------------------------------

bool TConveyorBelt::PlayerStandsOnMe() const {
  return World().Player && 16 * PosY == World().Player->PosY + 1 &&
         2 * PosX - 1 <= World().Player->PosX && World().Player->PosX < 2 * (EndX + 1) &&
         World().Player->Action != TBraxTovar::Hanging;
}

bool TConveyorBelt::PlayerHangsOnMe() const {
  return World().Player && World().Player->PosY == 16 * PosY + World().Player->Height + 15 &&
         2 * PosX - 1 <= World().Player->PosX && World().Player->PosX < 2 * (EndX + 1) &&
         World().Player->Action == TBraxTovar::Hanging;
}

void TConveyorBelt::Update() {
  // The phase runs forward for a belt to the right, backward for one to the left; a hero
  // hanging underneath is dragged the other way.
  int hangingPush;
  if (Direction == 1) {
    Timer = ((Timer + 1) % 4 + 4) % 4;
    hangingPush = 0;
  } else {
    Timer = ((Timer - 1) % 4 + 4) % 4;
    hangingPush = 1;
  }
  if (PlayerHangsOnMe()) World().Player->Push(hangingPush);
  if (PlayerStandsOnMe()) World().Player->Push(Direction);

  SetCell(World().Grid, PosX, PosY, uint16_t(BeltStartTile + 32 * Timer));
  // Only in-map columns are visited, so a belt with wild ends (a hand-edited save) stays cheap.
  for (int32_t c = std::max(PosX, -1) + 1; c < std::min(EndX, MapColumns); ++c)
    SetCell(World().Grid, c, PosY, Timer % 2 ? BeltMiddleTile + 32 : BeltMiddleTile);
  SetCell(World().Grid, EndX, PosY, uint16_t(BeltEndTile + 32 * Timer));
}

// --- Fake bridge -------------------------------------------------------------------------

bool TFakeBridge::PlayerStandsOnMe() const {
  return World().Player && 16 * PosY == World().Player->PosY + 1 &&
         2 * PosX - 1 <= World().Player->PosX && World().Player->PosX <= 2 * PosX - 1 + 2 * Width;
}

void TFakeBridge::Update() {
  switch (State) {
    case 0:
      if (PlayerStandsOnMe()) State = 1;
      break;
    case 1:
      if (!PlayerStandsOnMe()) State = 2;
      break;
    case 2:
      if (!PlayerStandsOnMe()) break;
      State = 3;
      for (int32_t i = 1; i < Width; i += 2)
        SpawnDecoExplosion(World(), 2 * (PosX + i), 16 * PosY + 15);
      break;
    default:
      PlayBraxSound(SoundExplosion);
      for (int32_t i = 0; i < Width; ++i) {
        PullFromAbove(World().Grid, PosX + i, PosY);
        if (i % 2) SpawnParticles(World(), 2 * (PosX + i + 1), 16 * PosY + 15);
      }
      Remove();
      break;
  }
}

// --- Extender ----------------------------------------------------------------------------

void TExtender::Update() {
  if (!Active) return;
  ++PosX;
  if (InMap(PosX, PosY) && World().Grid.Tiles[PosY][PosX] != ExtenderBridgeTile) {
    World().Grid.Tiles[PosY][PosX] = ExtenderBridgeTile;
    SpawnWhiteBall(World(), 2 * PosX, 16 * PosY + 15);
  } else {
    Active = 0;
    Remove();
  }
}

// --- Fan and wind ------------------------------------------------------------------------

TFan::TFan() {
  Width = 2;
  Height = 32;
  InitSpriteFrames();
}

void TFan::Draw() {
  DrawAtActor(*this, SpriteFan + 2 * CurrentFrame, 0, -16);
  DrawAtActor(*this, SpriteFan + 2 * CurrentFrame + 1);
}

void TFan::Update() {
  if (State == 0) {
    CurrentFrame = (CurrentFrame + 1) % 4;
  } else if (ShotTimer < 42) {
    // The blades run down: fewer and fewer steps, then they stand still.
    ++ShotTimer;
    if (ShotTimer == 2 || ShotTimer == 6 || ShotTimer == 12 || ShotTimer == 22)
      CurrentFrame = (CurrentFrame + 1) % 4;
  }
}

void TFan::CheckCollisions() {
  for (const PBraxShot& shot : BraxShotsHitting(*this)) {
    State = 1;
    ShotTimer = 0;
    SpawnSmokeCloud(World(), PosX, PosY - 24);
    PlayBraxSound(SoundRobotHit);
    if (Wind) {
      Game().AddScore(1000);
      Wind->Remove();
      Wind = nullptr;
    }
    shot->Remove();
  }
}

TWind::TWind() {
  Width = 6;
  Height = 32;
  InitSpriteFrames();
}

void TWind::CheckCollisions() {
  if (TouchesPlayer(*this)) World().Player->Push(Direction);
}

// --- Registration ------------------------------------------------------------------------

const std::vector<const TClassInfo*>& MechanicsClasses() {
  static const std::vector<const TClassInfo*> classes = {
      &TElevator::StaticClass(), &TConveyorBelt::StaticClass(), &TFakeBridge::StaticClass(),
      &TExtender::StaticClass(), &TFan::StaticClass(),          &TWind::StaticClass(),
  };
  return classes;
}

void InstallMechanicsHandlers() {
  // Up on an elevator: the hero rides it one tile up, or bumps his head under a ceiling.
  RegisterElevatorHandler([](TBraxTovar& player) {
    for (const auto& elevator : ListedObjects<TElevator>(player.Actors())) {
      if (!elevator->PlayerStandsOnMe()) continue;
      if (player.BlockedUp()) {
        player.HitHead();
      } else {
        PlayBraxSound(SoundElevatorUp);
        player.PosY -= 16;
        TGameState& g = player.Game();
        if (player.PosY - 16 * g.CamY < 64) g.CamDestY = player.PosY / 16 - 6;
        elevator->GoUp();
      }
      return true;
    }
    return false;
  });
}
