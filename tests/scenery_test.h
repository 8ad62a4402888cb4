// Shared set-up of the hazard and interactive item tests: a level with a floor, the player
// standing on it, hints off. The tests look at the objects these items create by class name
// and field name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "world/world_state.h"
#include "world_fixture.h"

class TSceneryTest : public TWorldTest {
 protected:
  static constexpr int FloorRow = 8;
  static constexpr uint16_t Wall = 0x1820;

  void SetUp() override {
    TWorldTest::SetUp();
    Game().SetHintsActive(0);
    Game().FirePower = 4;
    for (int c = 0; c < MapColumns; ++c) World().Grid.Tiles[FloorRow][c] = Wall;
    PlacePlayer(2, FloorRow - 1);  // PosX 4, PosY 127
  }

  static size_t Count(const std::string& className) { return Listed(className).size(); }

  // The next info box is closed with Enter.
  void AnswerNextBox() { Headless->PressKey(KeyEnter, Headless->Millisecs() + 40); }
  // Whether the last presented frame showed an info box (its ball cursor).
  bool BoxWasShown() const {
    for (const TDrawn& d : DrawnFrom(Headless->LastFrame(), SpriteImage))
      if (d.Frame >= 613 && d.Frame <= 616) return true;
    return false;
  }
};
