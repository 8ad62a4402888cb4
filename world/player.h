// The hero, the one actor that the user controls.
#pragma once

#include <functional>
#include <string>

#include "world/actor_list.h"

class TBraxTovar : public TActor {
 public:
  TBraxTovar();

  int32_t InvincibilityTimer = 0;
  uint8_t WasHit = 0;
  uint8_t Action = 0;  // 0 standing, 1 walking, 2 jumping, 3 falling, 4 hanging, 5 swinging up
  int32_t JumpSpeed = 0;
  uint8_t Direction = 0;  // 0 left, 1 right
  uint8_t FallingState = 0;
  uint8_t Somersault = 0;
  int32_t LastDeltaX = 0;
  uint8_t DelayedAction = 0;  // 0 none, 4 dying, 8/9 teleporting, 16 leaving
  int32_t DelayTics = 0;
  uint8_t JumpWasDown = 0;
  uint8_t FireWasDown = 0;

  enum : uint8_t { Standing, Walking, Jumping, Falling, Hanging, SwingingUp };
  // The hero's frames (CurrentFrame) when facing left; d is Direction (1 when facing right).
  static constexpr int32_t FrameWalk = 0;           // 4d + 0..3
  static constexpr int32_t FrameShootStanding = 3;  // 4d + 3, the last walking phase
  static constexpr int32_t FrameJump = 8;           // d + 8
  static constexpr int32_t FrameFall = 10;          // d + 10
  static constexpr int32_t FrameStand = 12;         // d + 12
  static constexpr int32_t FrameSomersault = 14;    // 7d + 14..20
  static constexpr int32_t FrameHang = 28;          // 4d + 28..31
  static constexpr int32_t FrameShootHanging = 36;  // d + 36
  static constexpr int32_t FrameSwingUp = 38;       // 3d + 38..40
  static constexpr int32_t FrameHit = 44;           // d + 44
  static constexpr int32_t FrameCount = 46;
  enum : uint8_t {
    NoDelayedAction = 0,
    Dying = 4,
    TeleportingFrom0 = 8,
    TeleportingFrom1 = 9,
    Leaving = 16
  };
  static constexpr int32_t DyingTics = 30;   // from the fatal hit to PlayerIsDead
  static constexpr int32_t TransitTics = 8;  // stepping into a teleporter or the exit door
  static constexpr int32_t HitInvincibilityTics = 21;  // also at the start of a level
  static constexpr int32_t Hidden = -1;  // InvincibilityTimer: not drawn until a new hero

  void InitSpriteFrames() override;
  void Draw() override;
  void CheckCollisions() override {}

  virtual bool BlockedDown() const;
  virtual bool BlockedUp() const;
  virtual bool BlockedLeft() const;
  virtual bool BlockedRight() const;
  virtual void Push(int direction);
  virtual void SnapToGridY();
  virtual void StartFalling();
  virtual void StartJumping();
  virtual void Land(bool withDust);
  virtual void HitHead();
  virtual void MyUpdate();
  virtual void SwingUp();
  virtual void Hurt();
  virtual void Die();
  virtual void StartTeleportingFrom(int index);
  virtual void TeleportFrom(int index);
  virtual void UseInteractiveObjects(bool upOnly);
  virtual void ActOnInput(bool up, bool down, bool left, bool right, bool fire, bool jump);

  ZYNTRA_CLASS(TBraxTovar)

 private:
  void RunDelayedAction();
  void FrameDuringAir(int notSomersaultFrame);
};
using PBraxTovar = std::shared_ptr<TBraxTovar>;

// The one player of the level (null before the first level).
// The actor's collision box meets the player's.
bool TouchesPlayer(const TActor& actor);

bool HurtPlayer(TWorld& world);
void KillPlayer(TWorld& world, bool force);

// Elevators: the level mechanics register how the hero rides one when Up is held, before
// he uses the interactive items he touches (TInteractiveBackgroundItem::Use). An elevator is
// not such an item: the hero stands on it rather than touching it, and at most one is
// ridden, so the ride is one routine over the elevators rather than a method of each.
// The handler returns true when the player stood on an elevator (only one is handled).
using TElevatorHandler = std::function<bool(TBraxTovar& player)>;
void RegisterElevatorHandler(const TElevatorHandler& handler);
