#include "actors/hazards.h"

#include "actors/families.h"
#include "actors/interactive.h"
#include "actors/scenery_helpers.h"
#include "actors/spawn.h"
#include "data/level_map.h"
#include "data/sound.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(TSpikes, TActor,
                    ZYNTRA_FIELD_RANGE(TSpikes, SpriteIndex, 0, SpriteFrameCount - 1))
ZYNTRA_DEFINE_CLASS(TNail, TActor, ZYNTRA_FIELD(TNail, IsRisen))
ZYNTRA_DEFINE_CLASS(TCamera, TActor, ZYNTRA_FIELD_RANGE(TCamera, Orientation, 0, 2))
ZYNTRA_DEFINE_CLASS(TACMESign, TActor,
                    ZYNTRA_FIELD_RANGE(TACMESign, State, TACMESign::Hanging, TACMESign::Falling))
ZYNTRA_DEFINE_CLASS(TReactor, TActor, ZYNTRA_FIELD(TReactor, IsWhite),
                    ZYNTRA_FIELD(TReactor, Health))
ZYNTRA_DEFINE_CLASS(TRocket, TActor,
                    ZYNTRA_FIELD_RANGE(TRocket, State, TRocket::Standing, TRocket::Launched))
ZYNTRA_DEFINE_CLASS(TMine, TActor)
ZYNTRA_DEFINE_CLASS(TJumpingMine, TActor)
ZYNTRA_DEFINE_CLASS(TFlameThrower, TActor, ZYNTRA_FIELD_RANGE(TFlameThrower, Orientation, 0, 1))

const std::vector<const TClassInfo*>& HazardClasses() {
  static const std::vector<const TClassInfo*> classes = {
      &TSpikes::StaticClass(),   &TNail::StaticClass(),        &TCamera::StaticClass(),
      &TACMESign::StaticClass(), &TReactor::StaticClass(),     &TRocket::StaticClass(),
      &TMine::StaticClass(),     &TJumpingMine::StaticClass(), &TFlameThrower::StaticClass(),
  };
  return classes;
}

namespace {

// The map cell (column, row) takes the value of the cell below it (0 below the last row).
// False when the cell lies outside the map.
bool DropCellFromBelow(TLevelGrid& grid, int32_t column, int32_t row) {
  if (!InMap(column, row)) return false;
  grid.Tiles[row][column] = row + 1 < MapRows ? grid.Tiles[row + 1][column] : 0;
  return true;
}

}  // namespace

// --- Static hazards --------------------------------------------------------------------

TSpikes::TSpikes() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TSpikes::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
}

void TSpikes::Draw() { DrawAtActor(*this, SpriteIndex); }

TNail::TNail() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TNail::Update() { IsRisen = 0; }

void TNail::CheckCollisions() {
  if (!TouchesPlayer(*this)) return;
  IsRisen = 1;
  HurtPlayer(World());
}

void TNail::Draw() { DrawAtActor(*this, IsRisen ? SpriteNailRisen : SpriteNailDown); }

TFlameThrower::TFlameThrower() {
  Width = 6;
  Height = 16;
  InitSpriteFrames();
}

// A 65-tick cycle: quiet, an 11-tick warning of the pilot flame, a 20-tick flame, quiet.
void TFlameThrower::Update() {
  ++Timer;
  if (Timer >= 13 && Timer <= 23) {
    CurrentFrame = (Timer - 13) % 2;
    if (Timer == 13 && Visible()) PlayBraxSound(SoundFlameWarning);
  } else if (Timer >= 24 && Timer <= 43) {
    CurrentFrame = 2 + (Timer - 23) % 2;
  } else {
    CurrentFrame = 0;
  }
  if (Timer >= 65 || Timer < 0) Timer = 0;
}

void TFlameThrower::CheckCollisions() {
  if (CurrentFrame > 1 && TouchesPlayer(*this)) HurtPlayer(World());
}

void TFlameThrower::Draw() {
  const int side = Orientation == 1 ? 1 : 0;
  const int first = side ? SpriteFlameThrowerLeft : SpriteFlameThrowerRight;
  const int base = side ? 32 : 0;
  const int step = side ? -16 : 16;
  if (CurrentFrame == 1) {
    DrawAtActor(*this, first, base);  // the pilot flame
  } else if (CurrentFrame == 2 || CurrentFrame == 3) {
    const int s = first + CurrentFrame - 1;  // body, body and tip
    DrawAtActor(*this, s, base);
    DrawAtActor(*this, s, base + step);
    DrawAtActor(*this, s + 2, base + 2 * step);
  }
}

TMine::TMine() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TMine::Update() {
  if (Visible() && !IsSolid(PosX, PosY + 1)) PosY += 8;
}

void TMine::CheckCollisions() {
  if (!TouchesPlayer(*this)) return;
  HurtPlayer(World());
  Explode();
}

void TMine::Draw() { DrawAtActor(*this, SpriteMine); }

void TMine::Explode() {
  PlayBraxSound(SoundBlast);
  SpawnExplosion(World(), PosX, PosY, 0);
  Remove();
}

TJumpingMine::TJumpingMine() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TJumpingMine::Update() {
  static const int32_t Hop[14] = {-16, -12, -8, -4, -1, -1, 0, 0, 1, 1, 4, 8, 12, 16};
  if (!Visible()) return;
  const int32_t phase = ((Timer % 14) + 14) % 14;
  PosY += Hop[phase];
  if (phase == 0) PlayBraxSound(SoundMineHop);
  Timer = (phase + 1) % 14;
}

void TJumpingMine::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
  for (const auto& shot : PlayerShotsHitting(*this, false)) shot->Remove();
}

void TJumpingMine::Draw() { DrawAtActor(*this, SpriteMine); }

// --- Targets ---------------------------------------------------------------------------

TCamera::TCamera() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TCamera::Update() {
  if (!World().Player) return;
  if (World().Player->PosX < PosX - 2)
    Orientation = 0;
  else if (World().Player->PosX > PosX + 2)
    Orientation = 2;
  else
    Orientation = 1;
}

void TCamera::CheckCollisions() {
  auto shots = PlayerShotsHitting(*this, true);
  if (shots.empty()) return;
  PlayBraxSound(SoundRobotHit);
  ScoreFlasher(World(), Flasher100, PosX, PosY);
  SpawnDecoExplosion(World(), PosX, PosY);
  shots.front()->Remove();
  Remove();
  ++Game().CamsShot;
}

void TCamera::Draw() { DrawAtActor(*this, SpriteCamera + (Orientation > 2 ? 1 : Orientation)); }

TACMESign::TACMESign() {
  Width = 4;
  Height = 16;
  InitSpriteFrames();
}

void TACMESign::Update() {
  switch (State) {
    case Hanging:
      if (Visible() && World().Player && PosY < World().Player->PosY &&
          PosX < World().Player->PosX + World().Player->Width &&
          World().Player->PosX < PosX + Width) {
        State = Shaking;
        Timer = 0;
      }
      break;
    case Shaking:
      if (!Visible()) break;
      ++Timer;
      if (Timer < 13) {
        PosY += Timer % 2 ? 1 : -1;
      } else {
        State = Falling;
        PlayBraxSound(SoundSignFalls);
      }
      break;
    case Falling:
      PosY += 12;
      for (int32_t i = 0; i < Width; ++i)
        if (IsSolid(PosX + i, PosY)) {
          Explode();
          break;
        }
      break;
    default: break;
  }
}

void TACMESign::CheckCollisions() {
  if (State != Falling) return;
  if (TouchesPlayer(*this)) HurtPlayer(World());
  // A sign that shattered on the floor in this tick's Update still hurts on contact, but
  // takes no shot: it would count and score a second time.
  if (!IsListed()) return;
  auto shots = PlayerShotsHitting(*this, true);
  if (shots.empty()) return;
  Explode();
  ScoreFlasher(World(), Flasher500, PosX + 1, PosY);
  shots.front()->Remove();
}

void TACMESign::Draw() {
  DrawAtActor(*this, SpriteSignLeft);
  DrawAtActor(*this, SpriteSignRight, 16);
}

void TACMESign::Explode() {
  SpawnSmokeCloud(World(), PosX + 1, PosY);
  SpawnParticles(World(), PosX + 1, PosY);
  PlayBraxSound(SoundExplosion);
  Remove();
  ++Game().SignsFallen;
}

TRocket::TRocket() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TRocket::Draw() {
  DrawAtActor(*this, SpriteRocketNose, 0, -48);
  DrawAtActor(*this, SpriteRocketBody, 0, -32);
  DrawAtActor(*this, SpriteRocketBody, 0, -16);
  DrawAtActor(*this, SpriteRocketBase);
  DrawAtActor(*this, SpriteRocketFinLeft, -16, 0);
  DrawAtActor(*this, SpriteRocketFinRight, 16, 0);
  if (CurrentFrame == 1) {
    DrawAtActor(*this, SpriteRocketTail, 0, 16);
  } else if (CurrentFrame == 2) {
    DrawAtActor(*this, SpriteRocketFlame, 0, 16);
    DrawAtActor(*this, SpriteRocketTail, 0, 32);
  }
}

void TRocket::CheckCollisions() {
  if (State != Standing) return;
  auto shots = PlayerShotsHitting(*this, true);
  if (shots.empty()) return;
  Start();
  shots.front()->Remove();
}

void TRocket::Start() {
  State = Launched;
  Timer = 0;
  PlayBraxSound(SoundRocketLaunch);
  Game().AddScore(200);
}

void TRocket::Update() {
  if (State != Launched) return;
  ++Timer;
  CurrentFrame = Timer % 2;
  if (Timer == 1) SpawnWhiteBall(World(), PosX, PosY + 16);
  if (Timer == 7) PosY -= 16;
  if (Timer >= 8) {
    if (Timer == 8) DestroyGround();
    PosY -= 16;
    CurrentFrame = 2 * (Timer % 2);
    if (BlockedUp()) Explode();
  }
}

bool TRocket::BlockedUp() const { return IsSolid(PosX, PosY - 48); }

// The launch breaks the floor cell under the rocket's starting place.
void TRocket::DestroyGround() {
  const int32_t a = PosX / 2;
  const int32_t t = PosY / 16 + 2;
  if (DropCellFromBelow(World().Grid, a, t)) SpawnParticles(World(), 2 * a, 16 * t + 15);
}

// The nose breaks the ceiling cell it met.
void TRocket::Explode() {
  DropCellFromBelow(World().Grid, PosX / 2, PosY / 16 - 3);
  SpawnParticles(World(), PosX, PosY - 16);
  SpawnParticles(World(), PosX - 1, PosY - 32);
  SpawnParticles(World(), PosX + 1, PosY - 48);
  SpawnParticles(World(), PosX + 2, PosY - 48);
  SpawnParticles(World(), PosX - 2, PosY - 64);
  PlayBraxSound(SoundBlockBreaks);
  Remove();
  ++Game().MissilesShot;
}

TReactor::TReactor() {
  Width = 2;
  Height = 32;
  InitSpriteFrames();
}

void TReactor::Draw() {
  const int sprite =
      IsWhite ? SpriteReactorWhite
              : SpriteReactor + (CurrentFrame >= 0 && CurrentFrame < 5 ? CurrentFrame : 0);
  DrawAtActor(*this, sprite);
  DrawAtActor(*this, sprite, 0, -16);
  DrawAtActor(*this, sprite, 0, -32);
}

void TReactor::Update() {
  IsWhite = 0;
  if (Health > 0) {
    if (Visible()) PlayBraxSound(SoundReactorHum);
    CurrentFrame = (CurrentFrame + 1) % 5;
    return;
  }
  Meltdown();
}

void TReactor::CheckCollisions() {
  if (Health > 0 && TouchesPlayer(*this)) KillPlayer(World(), false);
  for (const auto& shot : PlayerShotsHitting(*this, false)) {
    shot->Remove();
    if (Health == 0) continue;
    --Health;
    IsWhite = 1;
    SpawnParticles(World(), shot->PosX, shot->PosY);
    if (Health == 0) {
      Timer = 0;
      SpawnDecoExplosion(World(), PosX - 1, PosY);
    }
  }
}

// The 31 ticks between the last hit and the explosion.
void TReactor::Meltdown() {
  CurrentFrame = 0;
  ++Timer;
  if (Timer % 4 == 0) SpawnSmokeCloud(World(), PosX + 1, PosY);
  if (Timer % 4 == 2) SpawnSmokeCloud(World(), PosX - 1, PosY);
  auto deco = [this](int32_t dx, int32_t dy) { SpawnDecoExplosion(World(), PosX + dx, PosY + dy); };
  auto ball = [this](int32_t dx, int32_t dy) { SpawnWhiteBall(World(), PosX + dx, PosY + dy); };
  auto part = [this](int32_t dx, int32_t dy) { SpawnParticles(World(), PosX + dx, PosY + dy); };
  auto shard = [this](int32_t dx, int32_t dy) { SpawnMetalShard(World(), PosX + dx, PosY + dy); };
  switch (Timer) {
    case 6: deco(-2, -16); break;
    case 8: deco(1, 32); break;
    case 11:
      deco(0, 16), deco(0, -48), deco(-1, 48);
      ball(0, 16), ball(2, 0);
      break;
    case 15:
      deco(-3, -48), deco(2, 0), deco(1, 32);
      PlayBraxSound(SoundExplosion);
      part(0, 0);
      break;
    case 16:
      PlayBraxSound(SoundExplosion);
      part(4, -32);
      break;
    case 22:
      ball(-2, -16), ball(-3, -32);
      deco(-1, 0), deco(2, 0), deco(1, 32);
      PlayBraxSound(SoundExplosion);
      part(0, 0), part(2, 16), part(-1, -32), part(4, -32);
      break;
    case 27:
      deco(0, 16), deco(0, -48), deco(1, 32);
      ball(-1, 48), ball(2, -16);
      PlayBraxSound(SoundExplosion);
      part(0, 48), part(3, 0);
      shard(2, 24), shard(3, -40);
      break;
    default: break;
  }
  if (Timer >= 31) {
    PlayBraxSound(SoundReactorBlows);
    Explode();
  }
}

void TReactor::Explode() {
  ScoreFlasher(World(), Flasher10000, PosX - 1, PosY);
  ScoreFlasher(World(), Flasher10000, PosX + 1, PosY);
  Remove();
  for (const auto& beam : ListedObjects<TEnergyBeam>(Actors())) beam->Remove();
}
