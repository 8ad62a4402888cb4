#include "world/player.h"

#include <algorithm>

#include "data/level_map.h"
#include "data/sound.h"
#include "shell/settings.h"
#include "world/game_state.h"
#include "world/sounds.h"
#include "world/world.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(TBraxTovar, TActor, ZYNTRA_FIELD(TBraxTovar, InvincibilityTimer),
                    ZYNTRA_FIELD(TBraxTovar, WasHit),
                    ZYNTRA_FIELD_RANGE(TBraxTovar, Action, 0, TBraxTovar::SwingingUp),
                    ZYNTRA_FIELD_RANGE(TBraxTovar, JumpSpeed, -16, 16),
                    ZYNTRA_FIELD_RANGE(TBraxTovar, Direction, 0, 1),
                    ZYNTRA_FIELD(TBraxTovar, FallingState), ZYNTRA_FIELD(TBraxTovar, Somersault),
                    ZYNTRA_FIELD(TBraxTovar, LastDeltaX),
                    ZYNTRA_FIELD_RANGE(TBraxTovar, DelayedAction, 0, TBraxTovar::Leaving),
                    ZYNTRA_FIELD(TBraxTovar, DelayTics), ZYNTRA_FIELD(TBraxTovar, JumpWasDown),
                    ZYNTRA_FIELD(TBraxTovar, FireWasDown))

namespace {

TElevatorHandler& ElevatorHandler() {
  static TElevatorHandler handler;
  return handler;
}

}  // namespace

void RegisterElevatorHandler(const TElevatorHandler& handler) { ElevatorHandler() = handler; }

TBraxTovar::TBraxTovar() {
  Width = 2;
  Height = 32;
  Direction = 1;
  InvincibilityTimer = HitInvincibilityTics;
  CurrentFrame = FrameStand + 1;  // facing right
  InitSpriteFrames();
}

void TBraxTovar::InitSpriteFrames() {
  Frames.clear();
  for (int32_t i = 0; i < FrameCount; ++i) {
    TSpriteFrame f;
    f.Width = 2;
    f.OffX = -1;
    f.OffY = -31;
    f.SpriteIndices = {4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3};
    Frames.push_back(f);
  }
}

void TBraxTovar::Draw() {
  if (InvincibilityTimer % 2 == 0) TVisibleObject::Draw();
}

bool TBraxTovar::BlockedDown() const {
  return IsSolid(PosX, PosY + 1) || IsSolid(PosX + 1, PosY + 1);
}

bool TBraxTovar::BlockedUp() const {
  return IsSolid(PosX, PosY - Height) || IsSolid(PosX + 1, PosY - Height);
}

bool TBraxTovar::BlockedLeft() const {
  for (int32_t y = PosY - 31; y <= PosY - 7; ++y)
    if (IsSolid(PosX - 1, y)) return true;
  return false;
}

bool TBraxTovar::BlockedRight() const {
  for (int32_t y = PosY - 31; y <= PosY - 7; ++y)
    if (IsSolid(PosX + 2, y)) return true;
  return false;
}

void TBraxTovar::Push(int direction) {
  if (direction == 0) {
    if (!BlockedLeft()) --PosX;
  } else if (!BlockedRight()) {
    ++PosX;
  }
}

void TBraxTovar::SnapToGridY() {
  // Floor division: the player may stand above the map's top row while jumping.
  int32_t row = PosY >= 0 ? PosY / 16 : -((15 - PosY) / 16);
  int32_t r = PosY - 16 * row;
  PosY = r >= 8 ? 16 * row + 15 : 16 * row - 1;
}

void TBraxTovar::FrameDuringAir(int notSomersaultFrame) {
  if (Somersault > 0) {
    // Somersault counts down from 13: two ticks for each of the seven phases.
    CurrentFrame = FrameSomersault + 7 * Direction + 7 - (Somersault + 1) / 2;
    --Somersault;
  } else {
    CurrentFrame = notSomersaultFrame;
  }
}

void TBraxTovar::StartFalling() {
  if (BlockedDown()) {
    Land(true);
    return;
  }
  if (Somersault == 0) CurrentFrame = FrameFall + Direction;
  Timer = 0;
  Action = Falling;
  FallingState = 0;
  JumpSpeed = 8;
}

void TBraxTovar::StartJumping() {
  Timer = 0;
  if (Game().GotBoots) {
    JumpSpeed = -15;
    if (Game().Timer % 4 == 0 && Action == Walking) {
      Somersault = 13;
      CurrentFrame = FrameSomersault + 7 * Direction;
    }
  } else {
    JumpSpeed = -13;
  }
  Action = Jumping;
  PlayBraxSound(SoundJump);
}

void TBraxTovar::Land(bool withDust) {
  CurrentFrame = FrameStand + Direction;
  Timer = 0;
  Action = Standing;
  if (IsSolid(PosX, PosY) || IsSolid(PosX + 1, PosY)) PosY = 16 * (PosY / 16 - 1) + 15;
  if (withDust && WorldSpawns().Dust) WorldSpawns().Dust(World(), PosX, PosY);
  PlayBraxSound(SoundLand);
  Game().CamDestY = PosY / 16 - 6;
  Somersault = 0;
}

void TBraxTovar::HitHead() {
  Somersault = 0;
  int32_t y = PosY - Height - 7;
  if (Game().GotHooks && (IsHookable(PosX, y) || IsHookable(PosX + 1, y))) {
    PosY = 16 * (y / 16) + Height + 15;
    Action = Hanging;
    Timer = 0;
    CurrentFrame = FrameHang + 4 * Direction;
    PlayBraxSound(SoundHookGrip);
    Game().CamDestY = PosY / 16 - 6;
    return;
  }
  if (BlockedDown()) {
    Land(false);
  } else {
    PosY += 8;
    StartFalling();
  }
  PlayBraxSound(SoundHeadBump);
}

void TBraxTovar::MyUpdate() {
  if (InvincibilityTimer > 0) --InvincibilityTimer;
  int d = Direction;
  switch (Action) {
    case Standing:
    case Walking:
      if (Action == Standing) CurrentFrame = FrameStand + d;
      if (!BlockedDown()) {
        PosY += 8;
        StartFalling();
      }
      break;
    case Hanging:
      if (!IsHookable(PosX, PosY - Height) && !IsHookable(PosX + 1, PosY - Height)) {
        if (BlockedDown()) {
          Land(true);
        } else {
          StartFalling();
          PosY += 8;
        }
      }
      break;
    case Jumping:
      ++Timer;
      FrameDuringAir(FrameJump + d);
      if (Timer > 9) {
        StartFalling();
        PosY += 8;
      } else {
        int32_t y = PosY - Height - 7;
        if (IsSolid(PosX, y) || IsSolid(PosX + 1, y)) {
          HitHead();
        } else if (JumpSpeed <= -2) {
          PosY += JumpSpeed;
          JumpSpeed += 2;
        } else if (PosY % 16 != 15) {
          PosY -= 1;
        }
      }
      if (BlockedDown() && Action != Hanging) Land(true);
      break;
    case Falling: {
      if (BlockedDown()) {
        Land(true);
        break;
      }
      FrameDuringAir(FrameFall + d);
      PosY += JumpSpeed;
      int32_t camTop = 16 * Game().CamY;
      if (PosY - camTop >= 120) JumpSpeed = 16;
      if (PosY - camTop >= 139) Game().CamDestY = Game().CamY + 1;
      if (BlockedDown()) Land(true);
      break;
    }
    case SwingingUp:
      if (Timer < 3) {
        PosY -= 16;
        CurrentFrame = FrameSwingUp + 3 * d + Timer;
        ++Timer;
        if (Timer == 3) {
          Action = Standing;
          Game().CamDestY = PosY / 16 - 6;
        }
      }
      break;
    default: break;
  }
}

void TBraxTovar::SwingUp() {
  Timer = 0;
  Action = SwingingUp;
}

void TBraxTovar::Hurt() {
  PlayBraxSound(SoundHurt);
  InvincibilityTimer = HitInvincibilityTics;
  WasHit = 1;
}

void TBraxTovar::Die() {
  if (DelayedAction == Dying) return;
  WasHit = 1;
  DelayedAction = Dying;
  DelayTics = DyingTics;
}

void TBraxTovar::StartTeleportingFrom(int index) {
  DelayedAction = uint8_t(TeleportingFrom0 + index);
  DelayTics = TransitTics;
  PlayBraxSound(SoundTeleport);
}

void TBraxTovar::TeleportFrom(int index) {
  const auto& destination = World().Teleporters[index == 0 ? 1 : 0];
  if (destination) {
    PosX = destination->PosX;
    PosY = destination->PosY;
    destination->Activate();
  } else {
    // A level with one teleporter: the player goes to the map's corner rather than nowhere.
    PosX = 0;
    PosY = 0;
  }
  TGameState& g = Game();
  g.CamX = std::min(MaxCamX, std::max(0, PosX - 14));
  g.CamY = std::min(MaxCamY, std::max(0, PosY / 16 - 6));
  g.CamDestY = g.CamY;
}

void TBraxTovar::UseInteractiveObjects(bool upOnly) {
  if (ElevatorHandler()) ElevatorHandler()(*this);  // at most one elevator is ridden
  for (const PActorListEntry& e : Actors().Entries()) {
    auto item = std::dynamic_pointer_cast<TInteractiveBackgroundItem>(e);
    if (!item || !item->IsListed() || !CollidesWith(*item)) continue;
    if (!item->Use(*this, upOnly)) return;
  }
}

void TBraxTovar::RunDelayedAction() {
  switch (DelayedAction) {
    case Dying: {
      if (WasHit) {
        WasHit = 0;
        CurrentFrame = FrameHit + Direction;
      } else {
        InvincibilityTimer = Hidden;
      }
      auto burst = [this](std::initializer_list<std::pair<int32_t, int32_t>> points) {
        PlayBraxSound(SoundExplosion);
        if (auto particles = WorldSpawns().Particles)
          for (auto [dx, dy] : points) particles(World(), PosX + dx, PosY + dy);
      };
      switch (DelayTics) {
        case 29: burst({{1, -16}}); break;
        case 26: burst({{-2, 0}, {3, 0}}); break;
        case 25: burst({{3, 0}}); break;
        case 24: burst({{1, -16}}); break;
        case 23: burst({{1, 0}}); break;
        case 18: burst({{3, 0}}); break;
        case 14: burst({{-2, 0}}); break;
        case 13: burst({{3, 0}}); break;
        default: break;
      }
      break;
    }
    case Leaving:
      if (DelayTics < 4) InvincibilityTimer = Hidden;
      break;
    default: break;
  }
  if (DelayTics > 0) return;
  switch (DelayedAction) {
    case Dying:
      PlayBraxSound(SoundHeroDead);
      Game().PlayerIsDead = 1;
      break;
    case TeleportingFrom0:
    case TeleportingFrom1: TeleportFrom(DelayedAction - TeleportingFrom0); break;
    case Leaving: Game().ExitLevel = 1; break;
    default: break;
  }
  DelayedAction = NoDelayedAction;
}

void TBraxTovar::ActOnInput(bool up, bool down, bool left, bool right, bool fire, bool jump) {
  MyUpdate();
  if (DelayTics > 0) {
    --DelayTics;
    RunDelayedAction();
    return;
  }
  int d = Direction;
  int32_t startX = PosX;
  bool wanted = (left || right) && !(Action == Hanging && fire);
  if (wanted) {
    if (left && !right) {
      if (Direction == 0) {
        if (!BlockedLeft()) --PosX;
      } else {
        Direction = 0;
      }
    } else if (right && !left) {
      if (Direction == 1) {
        if (!BlockedRight()) ++PosX;
      } else {
        Direction = 1;
      }
    }
    d = Direction;
    if (Action == Standing) {
      Action = Walking;
      Timer = 0;
    }
    if (Action == Walking) {
      Timer = (Timer + 1) % 8;
      if (Timer % 2 == 1) {
        PlayBraxSound(SoundFootstep);
        CurrentFrame = FrameWalk + 4 * d + Timer / 2;
      }
    } else if (Action == Hanging) {
      Timer = (Timer + 1) % 8;
      if (Timer % 2 == 1) {
        PlayBraxSound(SoundHookGrip);
        CurrentFrame = FrameHang + 4 * d + Timer / 2;
      }
    }
  } else if (Action == Walking) {
    Action = Standing;
    CurrentFrame = FrameStand + d;
  }
  LastDeltaX = PosX - startX;

  if (up) {
    UseInteractiveObjects(!left && !right && !jump);
    if (Action == Hanging) {
      if (IsSolid(PosX, PosY - 48) || IsSolid(PosX + 1, PosY - 48))
        PlayBraxSound(SoundHeadBump);
      else if (IsSolid(PosX, PosY - 64) || IsSolid(PosX + 1, PosY - 64))
        StartFalling();
      else
        SwingUp();
    }
  }
  if (down && Action == Hanging) StartFalling();
  if (fire) {
    if (Action == Standing)
      CurrentFrame = FrameShootStanding + 4 * d;
    else if (Action == Hanging)
      CurrentFrame = FrameShootHanging + d;
    if (!FireWasDown && Game().PlayerShotsActive < Game().FirePower && WorldSpawns().BraxShot)
      WorldSpawns().BraxShot(World(), PosX, 16 * ((PosY - 29) / 16) + 19, Direction);
  }
  if (jump && !JumpWasDown && (Action == Standing || Action == Walking)) StartJumping();
  JumpWasDown = jump;
  FireWasDown = fire;
  if (WasHit) {
    WasHit = 0;
    if (Action == Jumping || Action == Hanging) StartFalling();
    CurrentFrame = FrameHit + Direction;
  }
}

bool HurtPlayer(TWorld& world) {
  if (!world.Player || world.Player->InvincibilityTimer != 0 || PlaySettings().GodMode)
    return false;
  TGameState& g = *world.State;
  g.GotHit = 1;
  if (g.Health > 1) {
    --g.Health;
    world.Player->Hurt();
  } else {
    KillPlayer(world, false);
  }
  return true;
}

void KillPlayer(TWorld& world, bool force) {
  if (PlaySettings().GodMode && !force) return;
  world.State->Health = 0;
  if (world.Player) world.Player->Die();
}

bool TouchesPlayer(const TActor& actor) {
  const auto& player = actor.World().Player;
  return player && actor.CollidesWith(*player);
}
