// Shared set-up of the hazard and interactive item tests: a level with a floor, the player
// standing on it, hints off, and stand-ins for the effect and mechanics classes that these
// items create by name (used only when the program does not have the real class yet, so the
// tests look at such objects by class name and field name only).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "world_fixture.h"

namespace SceneryStandIns {

class TSceneryEffect : public TVisibleObject {
  ZYNTRA_CLASS(TSceneryEffect)
};
inline ZYNTRA_DEFINE_CLASS(TSceneryEffect, TVisibleObject)

#define SCENERY_EFFECT(Name)                \
  class Name : public TSceneryEffect {      \
    ZYNTRA_CLASS(Name)                      \
  };                                        \
  inline ZYNTRA_DEFINE_CLASS(Name, TSceneryEffect)
SCENERY_EFFECT(TSmokeCloud)
SCENERY_EFFECT(TDecoExplosion)
SCENERY_EFFECT(TWhiteBall)
SCENERY_EFFECT(TMetalShard)
#undef SCENERY_EFFECT

class TExplosion : public TActor {
 public:
  int32_t Direction = 0;
  void CheckCollisions() override {}
  ZYNTRA_CLASS(TExplosion)
};
inline ZYNTRA_DEFINE_CLASS(TExplosion, TActor, ZYNTRA_FIELD(TExplosion, Direction))

class TEnemyShot : public TActor {
 public:
  uint8_t Direction = 0;
  TEnemyShot() {
    Width = 2;
    Height = 16;
  }
  void CheckCollisions() override {}
  ZYNTRA_CLASS(TEnemyShot)
};
inline ZYNTRA_DEFINE_CLASS(TEnemyShot, TActor, ZYNTRA_FIELD(TEnemyShot, Direction))

class TExtender : public TGameObject {
  ZYNTRA_CLASS(TExtender)
};
inline ZYNTRA_DEFINE_CLASS(TExtender, TGameObject)

inline void RegisterAll() {
  RegisterClass(TSmokeCloud::StaticClass());
  RegisterClass(TDecoExplosion::StaticClass());
  RegisterClass(TWhiteBall::StaticClass());
  RegisterClass(TMetalShard::StaticClass());
  RegisterClass(TExplosion::StaticClass());
  RegisterClass(TEnemyShot::StaticClass());
  RegisterClass(TExtender::StaticClass());
}

}  // namespace SceneryStandIns

class TSceneryTest : public TWorldTest {
 protected:
  static constexpr int FloorRow = 8;
  static constexpr uint16_t Wall = 0x1820;

  void SetUp() override {
    TWorldTest::SetUp();
    SceneryStandIns::RegisterAll();
    Game().SetHintsActive(0);
    Game().FirePower = 4;
    for (int c = 0; c < MapColumns; ++c) TileGrid[FloorRow][c] = Wall;
    PlacePlayer(2, FloorRow - 1);  // PosX 4, PosY 127
  }

  template <class T>
  static std::shared_ptr<T> Only() {
    auto all = ListedObjects<T>();
    EXPECT_EQ(all.size(), 1u);
    return all.empty() ? nullptr : all.front();
  }
  static size_t Count(const std::string& className) { return Listed(className).size(); }

  // A player shot as the shot spawn makes it (the live count goes up by one).
  static std::shared_ptr<TActor> AddShot(int32_t x, int32_t y) {
    auto shot = std::dynamic_pointer_cast<TActor>(CreateObject("TBraxShot"));
    if (!shot) return nullptr;
    shot->PosX = x;
    shot->PosY = y;
    shot->Width = 2;
    shot->Height = 16;
    AddToLayer(shot, 2);
    ++Game().PlayerShotsActive;
    return shot;
  }

  // Sprites drawn by one Draw call: (x, y, frame).
  std::vector<TDrawn> DrawnBy(TVisibleObject& object) {
    Present();  // drop whatever was drawn before
    object.Draw();
    return DrawnFrom(Present(), SpriteImage);
  }

  // The next info box is closed with Enter.
  void AnswerNextBox() { Headless->PressKey(KeyEnter, Headless->Millisecs() + 40); }
  // Whether the last presented frame showed an info box (its ball cursor).
  bool BoxWasShown() const {
    for (const TDrawn& d : DrawnFrom(Headless->LastFrame(), SpriteImage))
      if (d.Frame >= 613 && d.Frame <= 616) return true;
    return false;
  }
};
