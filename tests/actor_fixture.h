// The world fixture as the actor tests use it: hints off, full firepower, and small
// helpers to build floors and find the newest object of a class.
#pragma once

#include "actors/effects.h"
#include "world/world_state.h"
#include "world_fixture.h"

class TActorTest : public TWorldTest {
 protected:
  void SetUp() override {
    TWorldTest::SetUp();
    Game().SetHintsActive(0);
    Game().FirePower = 4;
  }

  static void Fill(int firstColumn, int lastColumn, int row, uint16_t word = 0x1800) {
    for (int c = firstColumn; c <= lastColumn; ++c) World().Grid.Tiles[row][c] = word;
  }
  template <class T>
  static std::shared_ptr<T> Last() {
    auto all = ListedObjects<T>(ActorList());
    return all.empty() ? nullptr : all.back();
  }
  // A player shot at (x, y) in object units.
  static PBraxShot Shoot(int32_t x, int32_t y, int direction) {
    SpawnBraxShot(World(), x, y, direction);
    return Last<TBraxShot>();
  }
  static int Count(const std::string& className) { return int(Listed(className).size()); }
};
