// The layered actor list and its tick pass; the box, on-screen and falling tests of actors.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "world/world_state.h"
#include "world_fixture.h"

namespace {

std::vector<std::string> Trace;

// An actor that writes what happens to it into Trace and may act during its visit.
class TProbe : public TActor {
 public:
  std::string Name;
  std::function<void(TProbe&)> OnUpdate, OnCollide;
  int Removes = 0;

  void Update() override {
    Trace.push_back("U" + Name);
    if (OnUpdate) OnUpdate(*this);
  }
  void CheckCollisions() override {
    Trace.push_back("C" + Name);
    if (OnCollide) OnCollide(*this);
  }
  void Draw() override { Trace.push_back("D" + Name); }
  void Remove() override {
    ++Removes;
    TActor::Remove();
  }
  ZYNTRA_CLASS(TProbe)
};
ZYNTRA_DEFINE_CLASS(TProbe, TActor)

// Takes part in the tick but has no box and is not drawn.
class TPlainProbe : public TGameObject {
 public:
  std::string Name;
  void Update() override { Trace.push_back("U" + Name); }
  ZYNTRA_CLASS(TPlainProbe)
};
ZYNTRA_DEFINE_CLASS(TPlainProbe, TGameObject)

// A plain actor for the box tests.
class TBoxActor : public TActor {
 public:
  TBoxActor(int32_t x = 0, int32_t y = 0, int32_t w = 0, int32_t h = 0) {
    PosX = x;
    PosY = y;
    Width = w;
    Height = h;
  }
  void CheckCollisions() override {}
  ZYNTRA_CLASS(TBoxActor)
};
ZYNTRA_DEFINE_CLASS(TBoxActor, TActor)

std::shared_ptr<TProbe> Probe(const std::string& name, int layer) {
  auto p = std::make_shared<TProbe>();
  p->Name = name;
  ActorList().AddToLayer(p, layer);
  return p;
}

// Names of the listed probes, "|" for each separator.
std::string Layout() {
  std::string out;
  for (const PActorListEntry& e : ActorList().Entries()) {
    if (e->Is<TListSeparator>())
      out += "|";
    else if (auto p = std::dynamic_pointer_cast<TProbe>(e))
      out += p->Name;
    else
      out += "?";
  }
  return out;
}

}  // namespace

class ActorListTest : public TWorldTest {
 protected:
  void SetUp() override {
    TWorldTest::SetUp();
    Trace.clear();
  }
};

TEST_F(ActorListTest, LayersInsertionAndInsertAfter) {
  EXPECT_EQ(Layout(), "|||||||");
  EXPECT_EQ(ActorList().Count(), 7u);
  Probe("a", 7);
  Probe("b", 3);
  auto c = Probe("c", 0);
  Probe("d", 3);
  Probe("e", 6);
  Probe("f", 7);
  // Layer n is the stretch before separator n; new objects go to the end of their layer.
  EXPECT_EQ(Layout(), "c|||bd|||e|af");
  EXPECT_EQ(LayerOf(c.get()), 0);

  auto g = std::make_shared<TProbe>();
  g->Name = "g";
  ActorList().InsertAfter(g, *c);  // right after the container, ahead of the layer's end
  auto h = std::make_shared<TProbe>();
  h->Name = "h";
  ActorList().InsertAfter(h, *c);
  EXPECT_EQ(Layout(), "chg|||bd|||e|af");
  ASSERT_NE(g->ListLink, nullptr);
  EXPECT_EQ(g->ListLink->Object, g);

  // A container that is not listed: the goodie goes to layer 4.
  auto loose = std::make_shared<TProbe>();
  auto i = std::make_shared<TProbe>();
  i->Name = "i";
  ActorList().InsertAfter(i, *loose);
  EXPECT_EQ(LayerOf(i.get()), 4);
}

TEST_F(ActorListTest, PassVisitsUpdateCollideDrawObjectByObject) {
  Probe("b", 4);
  Probe("a", 2);
  auto plain = std::make_shared<TPlainProbe>();
  plain->Name = "p";
  ActorList().AddToLayer(plain, 3);
  TickActorList(ActorList());
  EXPECT_EQ(Trace, (std::vector<std::string>{"Ua", "Ca", "Da", "Up", "Ub", "Cb", "Db"}));
  Trace.clear();
  DrawActorList(ActorList());
  EXPECT_EQ(Trace, (std::vector<std::string>{"Da", "Db"}));
}

TEST_F(ActorListTest, RemovalDuringThePass) {
  auto a = Probe("a", 4);
  auto b = Probe("b", 4);
  auto c = Probe("c", 4);
  auto d = Probe("d", 4);
  // a removes itself in Update: no collision check would matter, but no Draw; the pass goes on.
  a->OnUpdate = [](TProbe& self) { self.Remove(); };
  // b removes the entry right after it: c is skipped in this pass.
  b->OnCollide = [&](TProbe&) { c->Remove(); };
  TickActorList(ActorList());
  EXPECT_EQ(Trace, (std::vector<std::string>{"Ua", "Ca", "Ub", "Cb", "Db", "Ud", "Cd", "Dd"}));
  EXPECT_EQ(Layout(), "||||bd|||");

  // Removing itself and the next one in the same visit: the pass continues after both.
  Trace.clear();
  b->OnCollide = [&](TProbe& self) {
    d->Remove();
    self.Remove();
  };
  auto e = Probe("e", 5);
  TickActorList(ActorList());
  EXPECT_EQ(Trace, (std::vector<std::string>{"Ub", "Cb", "Ue", "Ce", "De"}));
  EXPECT_EQ(Layout(), "|||||e||");
}

TEST_F(ActorListTest, AdditionsDuringThePass) {
  auto enemy = Probe("e", 4);
  int spawned = 0;
  enemy->OnUpdate = [&](TProbe&) {
    if (spawned++) return;
    Probe("s", 3);  // a smoke cloud: before the current position, next tick
    Probe("t", 4);  // a shot of the same layer: after it, this tick
    Probe("m", 7);
  };
  TickActorList(ActorList());
  EXPECT_EQ(Trace,
            (std::vector<std::string>{"Ue", "Ce", "De", "Ut", "Ct", "Dt", "Um", "Cm", "Dm"}));
  Trace.clear();
  TickActorList(ActorList());
  EXPECT_EQ(Trace.front(), "Us");
}

TEST_F(ActorListTest, RemoveIsHarmlessTwiceAndObjectsLiveWhileReferenced) {
  auto a = Probe("a", 4);
  std::weak_ptr<TProbe> watch = a;
  a->Remove();
  EXPECT_FALSE(a->IsListed());
  a->Remove();
  EXPECT_EQ(Layout(), "|||||||");
  EXPECT_EQ(ActorList().Count(), 7u);

  // Held by another object only: removal from the list does not destroy it.
  {
    auto b = Probe("b", 4);
    watch = b;
  }
  auto target = watch.lock();
  ASSERT_NE(target, nullptr);
  target->Remove();
  std::shared_ptr<TActor> reference = target;
  target.reset();
  EXPECT_FALSE(watch.expired());
  reference.reset();
  EXPECT_TRUE(watch.expired());

  // Re-adding a listed object moves it.
  auto c = Probe("c", 1);
  ActorList().AddToLayer(c, 5);
  EXPECT_EQ(Layout(), "|||||c||");
}

TEST_F(ActorListTest, ResetRemovesEveryObjectAndLeavesTheSeparators) {
  auto a = Probe("a", 0);
  auto b = Probe("b", 7);
  std::weak_ptr<TProbe> gone = Probe("c", 4);
  ResetActorList(World());
  EXPECT_EQ(a->Removes, 1);
  EXPECT_EQ(b->Removes, 1);
  EXPECT_FALSE(a->IsListed());
  EXPECT_TRUE(gone.expired());
  EXPECT_EQ(Layout(), "|||||||");
  // All seven links refer to the one separator of the program run.
  for (const PActorListEntry& e : ActorList().Entries()) EXPECT_EQ(e, SharedSeparator());
  Probe("d", 2);
  EXPECT_EQ(Layout(), "||d|||||");
}

TEST_F(ActorListTest, DrawPlacesFrameSpritesRelativeToTheCamera) {
  auto object = std::make_shared<TVisibleObject>();
  TSpriteFrame frame;
  frame.Width = 2;
  frame.OffX = -1;
  frame.OffY = -31;
  frame.SpriteIndices = {10, 11, 12};
  object->Frames = {TSpriteFrame{}, frame};
  object->CurrentFrame = 1;
  object->PosX = 20;
  object->PosY = 100;
  Game().CamX = 4;
  Game().CamY = 2;
  object->Draw();
  // x = (20 - 4 - 1) * 8 + 16 = 136, y = 100 - 31 - 32 + 16 = 53.
  EXPECT_EQ(DrawnFrom(Present(), SpriteImage),
            (std::vector<TDrawn>{{136, 53, 10}, {152, 53, 11}, {136, 69, 12}}));
  object->CurrentFrame = 2;  // outside the frames: nothing
  object->Draw();
  object->CurrentFrame = 0;  // a frame without sprites
  object->Draw();
  EXPECT_TRUE(DrawnFrom(Present(), SpriteImage).empty());
}

TEST_F(ActorListTest, CollisionIgnoresTheBottomOfThePlayerOnly) {
  PlacePlayer(5, 5);  // PosX 10, PosY 95, 2 x 32
  const TBraxTovar& p = *World().Player;
  TBoxActor low(10, 95, 2, 8), taller(10, 95, 2, 9);
  EXPECT_FALSE(low.CollidesWith(p));
  EXPECT_TRUE(taller.CollidesWith(p));
  // The player's own test uses its full box.
  EXPECT_TRUE(p.CollidesWith(low));

  // Touching edges do not overlap, one half-tile of overlap does.
  EXPECT_FALSE(TBoxActor(12, 95, 2, 16).CollidesWith(p));
  EXPECT_TRUE(TBoxActor(11, 95, 2, 16).CollidesWith(p));
  EXPECT_FALSE(TBoxActor(8, 95, 2, 16).CollidesWith(p));
  EXPECT_TRUE(TBoxActor(9, 95, 2, 16).CollidesWith(p));
  // Vertically: the player's reduced box covers rows 64..87.
  EXPECT_FALSE(TBoxActor(10, 63, 2, 10).CollidesWith(p));
  EXPECT_TRUE(TBoxActor(10, 64, 2, 10).CollidesWith(p));
  EXPECT_TRUE(TBoxActor(10, 200, 2, 114).CollidesWith(p));
  EXPECT_FALSE(TBoxActor(10, 200, 2, 113).CollidesWith(p));

  // Two ordinary actors: plain box overlap both ways.
  TBoxActor a(0, 50, 4, 10), b(3, 45, 1, 1);
  EXPECT_TRUE(a.CollidesWith(b));
  EXPECT_TRUE(b.CollidesWith(a));
  EXPECT_FALSE(a.CollidesWith(TBoxActor(4, 50, 1, 10)));
  EXPECT_FALSE(a.CollidesWith(TBoxActor(0, 40, 4, 10)));
  EXPECT_TRUE(a.CollidesWith(TBoxActor(0, 41, 4, 10)));
}

TEST_F(ActorListTest, VisibleIsInclusiveAtTheEdges) {
  Game().CamX = 0;
  Game().CamY = 0;
  EXPECT_TRUE(TBoxActor(-2, 20, 2, 16).Visible());  // right edge at 0
  EXPECT_FALSE(TBoxActor(-3, 20, 2, 16).Visible());
  EXPECT_TRUE(TBoxActor(26, 20, 2, 16).Visible());
  EXPECT_FALSE(TBoxActor(27, 20, 2, 16).Visible());
  Game().CamX = 10;
  Game().CamY = 3;
  EXPECT_TRUE(TBoxActor(36, 48, 2, 16).Visible());
  EXPECT_FALSE(TBoxActor(37, 48, 2, 16).Visible());
  EXPECT_FALSE(TBoxActor(20, 47, 2, 16).Visible());  // bottom row above the view
  EXPECT_TRUE(TBoxActor(20, 222, 2, 16).Visible());  // 222 - 16 < 48 + 159
  EXPECT_FALSE(TBoxActor(20, 223, 2, 16).Visible());
}

TEST_F(ActorListTest, FallingItemsFallOnlyOnScreenAndTestTheLeftHalf) {
  World().Grid.Tiles[10][20] = 0x1800;  // under the right half of the item only
  World().Grid.Tiles[12][19] = 0x1800;
  TBoxActor item(39, 16 * 7 + 15, 2, 16);
  Game().CamY = 2;
  Game().CamX = 60;  // the item is off screen
  item.FallingItemCode();
  EXPECT_EQ(item.PosY, 127);
  Game().CamX = 30;
  std::vector<int32_t> steps;
  for (int i = 0; i < 5; ++i) {
    item.FallingItemCode();
    steps.push_back(item.PosY);
  }
  // Row 10 holds it only under its right half: it falls on to row 12.
  EXPECT_EQ(steps, (std::vector<int32_t>{143, 159, 175, 191, 191}));

  TBoxActor other(40, 143, 2, 16);
  other.FallingItemCode();
  other.FallingItemCode();
  EXPECT_EQ(other.PosY, 159);
  TBoxActor above(40, 31, 2, 16);  // bottom row above the view (CamY 2)
  above.FallingItemCode();
  EXPECT_EQ(above.PosY, 31);
}
