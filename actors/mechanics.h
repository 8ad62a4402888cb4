// Level mechanics: elevators, conveyor belts, collapsing bridges, bridge extenders, and
// fans with the wind they blow. Most of them rewrite cells of the tile grid while the level
// runs, so the ordinary solidity tests see the change at once.
//
// Belts, fake bridges and extenders work in map cells: their PosX is a column and their
// PosY a row, not object units.
#pragma once

#include <cstdint>
#include <memory>

#include "data/tile_words.h"
#include "world/actor_list.h"

// A platform the hero raises one tile per press of Up; it sinks back once he steps off.
class TElevator : public TVisibleObject {
 public:
  int32_t InitialY = 0;  // the tile row of its lowest position

  void Draw() override;
  void Update() override;
  virtual void GoUp();
  virtual void GoDown();
  virtual bool PlayerStandsOnMe() const;
  ZYNTRA_CLASS(TElevator)
};

// Animated belt tiles on one row from column PosX to EndX that carry the hero along.
class TConveyorBelt : public TGameObject {
 public:
  uint8_t Width = 0;      // not used by the behaviour
  int32_t EndX = 0;       // last column
  uint8_t Direction = 0;  // 1 carries things right, 0 left

  void Update() override;
  virtual bool PlayerStandsOnMe() const;
  virtual bool PlayerHangsOnMe() const;
  ZYNTRA_CLASS(TConveyorBelt)
};

// A bridge of Width columns that holds the first time and collapses the second time the
// hero steps on it.
class TFakeBridge : public TGameObject {
 public:
  uint8_t Width = 0;
  uint8_t State = 0;  // 0 untouched, 1 stepped on, 2 left, 3 about to fall

  void Update() override;
  virtual bool PlayerStandsOnMe() const;
  ZYNTRA_CLASS(TFakeBridge)
};

// Grows a bridge to the right, one cell per tick, once a glove slot has switched it on.
class TExtender : public TGameObject {
 public:
  void Update() override;
  ZYNTRA_CLASS(TExtender)
};

class TWind;

class TFan : public TActor {
 public:
  TFan();

  std::shared_ptr<TWind> Wind;
  uint8_t State = 0;  // 0 running, 1 shot
  uint8_t ShotTimer = 0;

  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  ZYNTRA_CLASS(TFan)
};

// The invisible stream beside a fan that pushes the hero.
class TWind : public TActor {
 public:
  TWind();

  uint8_t Direction = 0;  // the way the hero is pushed: 1 right, 0 left

  void Draw() override {}
  void CheckCollisions() override;
  ZYNTRA_CLASS(TWind)
};
