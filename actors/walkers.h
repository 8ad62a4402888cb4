// Walking robots: the wall crawler, the tech bot, the indestructible flame bot, the bunny
// bot, the cannon bot that patrols a ledge and fires at each end, and the wheel bot with
// its periodic flame shield. They find the player's shots by scanning the actor list.
#pragma once

#include <cstdint>

#include "world/actor_list.h"

// Crawls up and down along a wall, one pixel per tick, while on screen.
class TCrawlBot : public TActor {
 public:
  TCrawlBot();

  uint8_t Orientation = 0;  // 0 wall on the left, 1 wall on the right
  int32_t Direction = -1;   // -1 up, +1 down

  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  ZYNTRA_CLASS(TCrawlBot)
};

// Walks one column every three ticks, turns at walls and edges, breaks up when shot.
class TTechBot : public TActor {
 public:
  TTechBot();

  uint8_t Exploding = 0;
  uint8_t Direction = 0;  // 0 left, 1 right

  void Draw() override;
  bool Visible() const override;
  void Update() override;
  void CheckCollisions() override;
  virtual void StartExploding();
  ZYNTRA_CLASS(TTechBot)
};

// Walks everywhere and swallows every shot.
class TFlameBot : public TActor {
 public:
  TFlameBot();

  uint8_t Frame = 0;      // not used by the behaviour
  uint8_t Direction = 0;  // 0 left, 1 right

  void InitSpriteFrames() override;
  void Update() override;
  void CheckCollisions() override;
  ZYNTRA_CLASS(TFlameBot)
};

// Hops along a floor; touching the player makes it spin and then burst.
class TBunnyBot : public TActor {
 public:
  TBunnyBot();

  uint8_t Rotating = 0;
  uint8_t Direction = 0;  // 0 left, 1 right

  void InitSpriteFrames() override;
  void Update() override;
  void CheckCollisions() override;
  virtual void Explode();
  virtual void StartRotating();
  ZYNTRA_CLASS(TBunnyBot)
};

// Patrols a ledge in an eight-step cycle and fires at each end.
class TCannonBot : public TActor {
 public:
  TCannonBot();

  uint8_t Health = 2;
  uint8_t Direction = 0;  // 0 left, 1 right
  uint8_t State = 0;      // step of the patrol cycle, 0..7

  void InitSpriteFrames() override;
  void Update() override;
  void CheckCollisions() override;
  virtual bool BlockedDown() const;
  virtual bool CanGoLeft() const;
  virtual bool CanGoRight() const;
  ZYNTRA_CLASS(TCannonBot)
};

// Rolls back and forth; a flame shield that swallows shots burns half the time.
class TWheelBot : public TActor {
 public:
  TWheelBot();

  uint8_t FlameOn = 0;
  int32_t Direction = 0;  // 0 left, 1 right
  uint8_t Health = 2;

  void InitSpriteFrames() override;
  void Update() override;
  void CheckCollisions() override;
  virtual bool BlockedDown() const;
  virtual bool GoLeft();
  virtual bool GoRight();
  ZYNTRA_CLASS(TWheelBot)
};
