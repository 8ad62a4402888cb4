#include "actors/flyers.h"

#include <algorithm>

#include "actors/effects.h"
#include "actors/families.h"
#include "actors/spawn.h"
#include "data/graphics.h"
#include "data/level_map.h"
#include "data/sound.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(THoverBot, TActor, ZYNTRA_FIELD_RANGE(THoverBot, SpinIndex, 0, 3),
                    ZYNTRA_FIELD(THoverBot, IsCrashing), ZYNTRA_FIELD(THoverBot, CrashVelY),
                    ZYNTRA_FIELD(THoverBot, IsShooting))
ZYNTRA_DEFINE_CLASS(TJumpBot, TActor, ZYNTRA_FIELD(TJumpBot, Health),
                    ZYNTRA_FIELD_RANGE(TJumpBot, JumpDir, 0, 1), ZYNTRA_FIELD(TJumpBot, JumpTimer),
                    ZYNTRA_FIELD_RANGE(TJumpBot, Direction, 0, 1),
                    ZYNTRA_FIELD_RANGE(TJumpBot, SmokeTimer, 0, 3))
ZYNTRA_DEFINE_CLASS(THelicopter, TActor, ZYNTRA_FIELD(THelicopter, Health),
                    ZYNTRA_FIELD_RANGE(THelicopter, Direction, -1, 1),
                    ZYNTRA_FIELD_RANGE(THelicopter, InitialY, MinPosY, MaxPosY),
                    ZYNTRA_FIELD(THelicopter, IsLowering), ZYNTRA_FIELD(THelicopter, CanMove))
ZYNTRA_DEFINE_CLASS(TDrMalvex, TActor, ZYNTRA_FIELD(TDrMalvex, IsExploding),
                    ZYNTRA_FIELD(TDrMalvex, FloatDir), ZYNTRA_FIELD(TDrMalvex, Health))
ZYNTRA_DEFINE_CLASS(TSnakeBot, TActor, ZYNTRA_FIELD(TSnakeBot, StartDelay))

const std::vector<const TClassInfo*>& FlyerClasses() {
  static const std::vector<const TClassInfo*> classes = {
      &THoverBot::StaticClass(), &TJumpBot::StaticClass(),  &THelicopter::StaticClass(),
      &TDrMalvex::StaticClass(), &TSnakeBot::StaticClass(),
  };
  return classes;
}

namespace {

// The player's shots that the actor touches, in list order; only the first when firstOnly.
std::vector<std::shared_ptr<TActor>> ShotsHitting(const TActor& actor, bool firstOnly) {
  std::vector<std::shared_ptr<TActor>> hits;
  ForEachListed<TBraxShot>(actor.Actors(), [&](const PBraxShot& shot) {
    if (!actor.CollidesWith(*shot)) return false;
    hits.push_back(shot);
    return firstOnly;
  });
  return hits;
}

}  // namespace

// --- Hover bot ---------------------------------------------------------------------------

THoverBot::THoverBot() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

bool THoverBot::BlockedDown() const {
  return IsSolid(PosX, PosY + 17) || IsSolid(PosX + 1, PosY + 17);
}

void THoverBot::Update() {
  Timer = (Timer + 1) % 20;
  if (IsCrashing) {
    SpawnSmokeCloud(World(), PosX, PosY);
    PosY += CrashVelY;
    PosX += 1;
    CrashVelY += 2;
    if (IsSolid(PosX, PosY) || IsSolid(PosX + 1, PosY)) {
      SpawnDecoExplosion(World(), PosX, PosY);
      SpawnParticles(World(), PosX, PosY);
      PlayBraxSound(SoundExplosion);
      Remove();
    }
    return;
  }
  if (!Visible()) return;
  SpinIndex = uint8_t(Timer % 4);
  // Keep the rotor's bottom row free and the row under it solid.
  if (IsSolid(PosX, PosY + 16) || IsSolid(PosX + 1, PosY + 16))
    PosY -= 1;
  else if (!BlockedDown())
    PosY += 1;

  if (SpinIndex == 0) {
    if (BlockedDown()) SpawnDust(World(), PosX, PosY + 16);
    if (World().Player && World().Player->PosX != PosX) {
      const bool left = World().Player->PosX < PosX;
      if (left ? CurrentFrame > 0 : CurrentFrame < 5) {
        CurrentFrame += left ? -1 : 1;  // still turning
      } else {
        if (!IsSolid(left ? PosX - 1 : PosX + Width, PosY)) {
          const bool touchedBefore = TouchesPlayer(*this);
          PosX += left ? -1 : 1;
          if (!touchedBefore && TouchesPlayer(*this)) {
            HurtPlayer(World());
            Crash();
            return;
          }
        }
        IsShooting = Timer == 0;
      }
    }
  } else if (SpinIndex == 1 && IsShooting) {
    if (CurrentFrame == 0)
      SpawnEnemyShot(World(), PosX - 2, PosY - 2, 0);
    else if (CurrentFrame == 5)
      SpawnEnemyShot(World(), PosX + 2, PosY - 2, 1);
    IsShooting = 0;
  }
}

void THoverBot::Draw() {
  if (!Visible()) return;
  DrawAtActor(*this, SpriteHoverBotBody + CurrentFrame);
  DrawAtActor(*this, SpriteHoverBotRotor + SpinIndex, 0, 16);
}

void THoverBot::Crash() {
  Game().AddScore(200);
  PlayBraxSound(SoundRobotHit);
  SpawnDecoExplosion(World(), PosX, PosY);
  IsCrashing = 1;
  SpinIndex = 0;
  CurrentFrame = 0;
  CrashVelY = -8;
}

void THoverBot::CheckCollisions() {
  if (IsCrashing) return;
  if (TouchesPlayer(*this)) {
    // Touched from the side or below hurts; landed on from above it just crashes.
    if (World().Player->PosY >= PosY + 16) HurtPlayer(World());
    Crash();
    return;
  }
  for (const auto& shot : ShotsHitting(*this, true)) {
    Crash();
    shot->Remove();
  }
}

// --- Jump bot ----------------------------------------------------------------------------

namespace {
constexpr int32_t JumpDy[14] = {-32, -16, -8, -4, -2, -1, -1, 0, 0, 0, 0, 1, 1, 0};
constexpr int32_t JumpDx[14] = {1, 2, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0};
}  // namespace

TJumpBot::TJumpBot() {
  Width = 2;
  Height = 32;
  InitSpriteFrames();
}

void TJumpBot::InitSpriteFrames() {
  // Per facing: standing, about to fire, in the air (three sprites tall).
  // Sprites from the first of the facing: the head row is shared by the first two frames.
  static const std::vector<int32_t> spritesOfFrame[3] = {
      {0, 1, 2, 3}, {0, 1, 4, 5}, {6, 7, 8, 9, 10, 11}};
  Frames.clear();
  for (int i = 0; i < 6; ++i) {
    TSpriteFrame f;
    f.Width = 2;
    f.OffX = -1;
    f.OffY = (i == 2 || i == 5) ? -47 : -31;
    const int32_t first = i < 3 ? SpriteJumpBotLeft : SpriteJumpBotRight;
    for (int32_t k : spritesOfFrame[i % 3]) f.SpriteIndices.push_back(first + k);
    Frames.push_back(f);
  }
}

bool TJumpBot::BlockedDown() const {
  for (int32_t i = 0; i < Width; ++i)
    if (IsSolid(PosX + i, PosY + 1)) return true;
  return false;
}

bool TJumpBot::BlockedUp() const {
  for (int32_t i = 0; i < Width; ++i)
    if (IsSolid(PosX + i, PosY - 40)) return true;
  return false;
}

void TJumpBot::StartFalling() {
  Timer = 40;
  JumpTimer = 14;
  CurrentFrame = 3 * Direction + 2;
}

void TJumpBot::FacePlayer() {
  if (World().Player) Direction = World().Player->PosX >= PosX + Width ? 1 : 0;
}

void TJumpBot::Update() {
  if (!Active) {
    if (!Visible()) return;
    Active = 1;
  }
  ++Timer;
  SmokeTimer = uint8_t((SmokeTimer + 1) % 4);
  if (SmokeTimer == 0) {
    if (Health < 3) SpawnSmokeCloud(World(), PosX - 1, PosY - 24);
    if (Health < 2) SpawnSmokeCloud(World(), PosX + 1, PosY - 24);
  }

  if (Timer < 23) {  // standing
    if (!BlockedDown()) {
      StartFalling();
      return;
    }
    if (PosY % 16 == 1) PosY -= 2;  // a landing ends two rows into the floor
    FacePlayer();
    CurrentFrame = 3 * Direction;
    if (Timer == 11) CurrentFrame = 3 * Direction + 1;
    if (Timer == 12) {
      if (Direction == 0)
        SpawnEnemyShot(World(), PosX - 2, PosY - 3, 0);
      else
        SpawnEnemyShot(World(), PosX + 2, PosY - 3, 1);
    }
    return;
  }

  if (Timer == 23) {
    JumpDir = Direction;
    JumpTimer = 0;
  }
  CurrentFrame = 3 * Direction + 2;
  const bool ceiling = IsSolid(PosX, PosY - 40) || IsSolid(PosX + 1, PosY - 40);
  const bool wallRight = IsSolid(PosX + 3, PosY);
  const bool wallLeft = IsSolid(PosX - 2, PosY);

  if (JumpTimer < 14) {
    if (ceiling) {
      PosY = 16 * (PosY / 16) + 15;
      JumpTimer = 14;  // counted on to 15 below, so it does not turn to the player
    } else {
      const size_t step = size_t(std::max(JumpTimer, 0));  // a loaded value may be anything
      PosY += JumpDy[step];
      if (JumpDir == 0 && !wallLeft) PosX -= JumpDx[step];
      if (JumpDir == 1 && !wallRight) PosX += JumpDx[step];
    }
    if (++JumpTimer == 14) {
      FacePlayer();
      CurrentFrame = 3 * Direction + 2;
    }
    return;
  }

  // Descent, a tile per tick.
  if (!BlockedDown()) PosY += 16;
  if (BlockedDown()) {
    CurrentFrame = 3 * Direction;
    Timer = 0;
  }
}

void TJumpBot::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
  for (const auto& shot : ShotsHitting(*this, false)) {
    shot->Remove();
    if (Health > 0) --Health;
    if (Health == 0) {
      Explode();
      break;
    }
  }
}

void TJumpBot::Explode() {
  Game().AddScore(2000);
  SpawnDecoExplosion(World(), PosX, PosY);
  SpawnDecoExplosion(World(), PosX, PosY - 16);
  SpawnDecoExplosion(World(), PosX + 1, PosY - 8);
  SpawnDecoExplosion(World(), PosX + 1, PosY - 16);
  SpawnParticles(World(), PosX + 1, PosY);
  SpawnParticles(World(), PosX - 1, PosY - 16);
  SpawnParticles(World(), PosX, PosY - 32);
  PlayBraxSound(SoundExplosion);
  Remove();
}

// --- Helicopter ----------------------------------------------------------------------------

THelicopter::THelicopter() {
  Width = 4;
  Height = 16;
  InitSpriteFrames();
}

void THelicopter::InitSpriteFrames() {
  // Rotor row (two phases per heading) over the body row (one per heading).
  Frames.clear();
  for (int32_t i = 0; i < 6; ++i) {
    TSpriteFrame f;
    f.Width = 4;
    f.OffX = -2;
    f.OffY = -23;
    for (int32_t k = 0; k < 4; ++k) f.SpriteIndices.push_back(SpriteHelicopterRotor + 4 * i + k);
    for (int32_t k = 0; k < 4; ++k)
      f.SpriteIndices.push_back(SpriteHelicopterBody + 4 * (i / 2) + k);
    Frames.push_back(f);
  }
}

bool THelicopter::Visible() const {
  const int32_t camX = Game().CamX, camY = Game().CamY;
  return PosY >= 16 * camY && PosY - Height < 16 * camY + 159 && PosX + Width + 2 >= camX &&
         PosX <= camX + 28;
}

bool THelicopter::BlockedDown() const {
  for (int32_t i = 1; i <= Width; ++i)
    if (IsSolid(PosX + i, PosY + 9)) return true;
  return false;
}

void THelicopter::Update() {
  Timer = (Timer + 1) % 4;
  if (Visible()) {
    if (!Active) {
      Active = 1;
      InitialY = PosY;
    }
    PlayBraxSound(SoundHelicopter);
  }
  if (!Active) return;

  if (Health < 4 && Timer == 0) SpawnSmokeCloud(World(), PosX + 1, PosY - 4);
  if (Health < 3 && Timer == 1) SpawnSmokeCloud(World(), PosX - 2, PosY - 4);
  if (Health < 2 && Timer == 2) SpawnSmokeCloud(World(), PosX, PosY - 8);

  if (Health == 0) {  // shot down: falls until it hits the ground
    for (int32_t i = 1; i <= Width; ++i)
      if (IsSolid(PosX + i, PosY + 8)) {
        Explode();
        return;
      }
    PosY += 4;
  } else {
    // The lowest point of a dive (or the ground) sets the cruising height 44 pixels above it.
    if (BlockedDown() || PosY >= InitialY + 44) {
      IsLowering = 0;
      InitialY = PosY - 44;
    }
    if (IsLowering)
      PosY += 2;
    else if (PosY > InitialY)
      PosY -= 2;
  }

  if (World().Player) {
    if (World().Player->PosX < PosX + 1) {
      Direction = -1;
    } else if (World().Player->PosX == PosX + 1) {
      Direction = 0;
      if (PosY == InitialY) IsLowering = 1;  // dives only from cruising height
    } else {
      Direction = 1;
    }
  }
  CurrentFrame = 2 * (Direction + 1) + Timer % 2;

  if (CanMove == 0) {
    CanMove = 1;
  } else if (Direction == -1 && !IsSolid(PosX - 4, PosY)) {
    PosX -= 1;
    CanMove = 0;
  } else if (Direction == 1 && !IsSolid(PosX + Width + 2, PosY)) {
    PosX += 1;
    CanMove = 0;
  }
}

void THelicopter::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
  for (const auto& shot : ShotsHitting(*this, false)) {
    shot->Remove();
    if (Health > 0) --Health;
  }
}

void THelicopter::Explode() {
  PlayBraxSound(SoundExplosion);
  Game().AddScore(5000);
  SpawnDecoExplosion(World(), PosX, PosY);
  SpawnDecoExplosion(World(), PosX + 4, PosY);
  SpawnDecoExplosion(World(), PosX + 1, PosY - 16);
  SpawnDecoExplosion(World(), PosX + 2, PosY - 16);
  SpawnDecoExplosion(World(), PosX + 6, PosY - 8);
  Remove();
}

// --- The villain ---------------------------------------------------------------------------

namespace {
constexpr int32_t FloatDy[12] = {16, 11, 8, 4, 2, 1, -1, -2, -4, -8, -11, -16};
}  // namespace

TDrMalvex::TDrMalvex() {
  Width = 3;
  Height = 16;
  InitSpriteFrames();
}

void TDrMalvex::InitSpriteFrames() {
  // Two frames for each facing; the frames of a facing share their top row.
  static const int32_t spritesOfFrame[2][4] = {{0, 1, 2, 3}, {0, 1, 4, 5}};
  Frames.clear();
  for (int32_t i = 0; i < 4; ++i) {
    TSpriteFrame f;
    f.Width = 2;
    f.OffY = -31;
    for (int32_t k : spritesOfFrame[i % 2])
      f.SpriteIndices.push_back(SpriteVillain + 6 * (i / 2) + k);
    Frames.push_back(f);
  }
}

bool TDrMalvex::BlockedLeft() const { return IsSolid(PosX - 1, PosY - 16); }
bool TDrMalvex::BlockedRight() const { return IsSolid(PosX + Width, PosY - 16); }

void TDrMalvex::Update() {
  const bool facingRight = World().Player && World().Player->PosX >= PosX + 2;
  CurrentFrame = Game().Timer % 2 + (facingRight ? 2 : 0);

  if (Health == 0) {
    if (IsExploding == 0) {
      PosY -= 16;  // flies away
    } else if (IsSolid(PosX, PosY - 16)) {
      PlayBraxSound(SoundVillainCrash);
      Remove();
      Game().Victory = 2;
    } else {
      PosY += 4;
    }
    return;
  }

  if (Timer % 4 != 0) {
    if (Health < 9) SpawnSmokeCloud(World(), PosX + 2, PosY - 8);
    if (Health < 5) SpawnSmokeCloud(World(), PosX + 1, PosY - 12);
  }
  // A 92-tick cycle: a shot at ticks 5 and 68, a float along FloatDy from 31 and from 77.
  ++Timer;
  if (Timer == 5 || Timer == 68) {
    if (facingRight)
      SpawnEnemyShot(World(), PosX + 4, PosY, 1);
    else
      SpawnEnemyShot(World(), PosX - 1, PosY, 0);
  } else if ((Timer >= 31 && Timer <= 42) || (Timer >= 77 && Timer <= 88)) {
    const int32_t step = Timer <= 42 ? Timer - 31 : Timer - 77;
    if (step == 0) FloatDir = facingRight ? 1 : -1;
    PosY += FloatDy[step];
    if (FloatDir < 0 && !BlockedLeft()) PosX -= 1;
    if (FloatDir > 0 && !BlockedRight()) PosX += 1;
  } else if (Timer == 92) {
    Timer = 0;
  }
}

void TDrMalvex::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
  for (const auto& shot : ShotsHitting(*this, false)) {
    SpawnWhiteBall(World(), PosX + 2, PosY - 16);
    shot->Remove();
    if (Health > 0) --Health;
    if (Health == 0 && IsExploding == 0) {
      PlayBraxSound(SoundVillainHit);
      Game().Victory = 1;
      if (World().Player) World().Player->InvincibilityTimer = -2;
      break;
    }
  }
}

// --- Snake ---------------------------------------------------------------------------------

namespace {
// One lap of the closed path; both tables sum to 0.
constexpr int32_t SnakeDx[39] = {0,  -1, -1, -2, -2, -2, -1, -1, 0, 1, 1, 2, 2,
                                 2,  1,  1,  1,  1,  1,  1,  2,  1, 1, 1, 0, -1,
                                 -1, -2, -2, -2, -1, 0,  0,  0,  0, 0, 0, 0, 0};
constexpr int32_t SnakeDy[39] = {8,  8,  8, 8, 0, -8, -8, -8, -16, -8, -8, -8,  0,
                                 8,  8,  8, 8, 8, 8,  8,  8,  0,   -8, -8, -16, -8,
                                 -8, -8, 0, 8, 8, 8,  0,  0,  0,   0,  0,  0,   0};
}  // namespace

TSnakeBot::TSnakeBot() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TSnakeBot::Update() {
  if (StartDelay > 0) {
    PosX += 2;
    --StartDelay;
  } else {
    const size_t t = size_t(Timer) % 39;
    PosX += SnakeDx[t];
    PosY += SnakeDy[t];
    Timer = int32_t((t + 1) % 39);
  }
  CurrentFrame = (CurrentFrame + 1) % 8;
}

void TSnakeBot::Draw() { DrawAtActor(*this, SpriteSnake + CurrentFrame); }

void TSnakeBot::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
  for (const auto& shot : ShotsHitting(*this, true)) {
    SpawnParticles(World(), PosX, PosY);
    PlayBraxSound(SoundExplosion);
    Game().AddScore(1000);
    Remove();
    shot->Remove();
    TGameState& g = Game();
    ++g.SnakesShot;
    if (g.SnakesShot == g.SnakesTotal) g.AddScore(10000);  // the last segment
  }
}
