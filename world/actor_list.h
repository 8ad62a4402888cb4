// The base classes of every level object and the layered actor list.
//
// Units: x and widths in half-tiles (8 pixels), y and heights in pixels; PosY is the
// object's bottom pixel row. The list is one doubly linked list of links with seven
// separator links dividing it into layers 0..7.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "data/level_map.h"
#include "world/object_model.h"

// Positions a quick save may give an object: the map and as much again on every side
// (x in half-tiles, y in pixels; objects placed by cell use the same bounds for columns
// and rows).
constexpr int64_t MinPosX = -2 * MapColumns, MaxPosX = 4 * MapColumns;
constexpr int64_t MinPosY = -16 * MapRows, MaxPosY = 32 * MapRows;

struct TListLink;
struct TWorld;
class TBraxTovar;
class TGameState;
class TActorList;

class TActorListEntry : public TObject {
 public:
  int32_t SerialNumber = 0;
  TListLink* ListLink = nullptr;  // own position in the list; none when not listed
  // Drawing only, never saved or hashed: tells this object apart from one tick to the
  // next, so that smooth motion slides its sprites and no other's.
  uint64_t DrawIdentity = NewDrawIdentity();
  static uint64_t NewDrawIdentity();
  TWorld* Home = nullptr;  // the world whose list took this object

  // The world this object belongs to: the one whose list it was put in, kept after it
  // leaves the list so that a removed object finishes its tick there; the program's world
  // before it is first listed. Objects reach the level, the hero and the game state here.
  TWorld& World() const;
  TGameState& Game() const;
  TActorList& Actors() const;
  // The tile tests on the level of this object's world (x in half-tiles, y in pixels).
  bool IsSolid(int32_t x, int32_t y) const;
  bool IsHookable(int32_t x, int32_t y) const;

  // Slot 1: takes the entry out of the list. Harmless when not listed.
  virtual void Remove();
  bool IsListed() const { return ListLink != nullptr; }
  ZYNTRA_CLASS(TActorListEntry)
};

class TListSeparator : public TActorListEntry {
  ZYNTRA_CLASS(TListSeparator)
};

class TGameObject : public TActorListEntry {
 public:
  int32_t PosX = 0;
  int32_t PosY = 0;
  int32_t Timer = 0;
  uint8_t Active = 0;

  virtual void Update() {}
  ZYNTRA_CLASS(TGameObject)
};

// One 16 x 16 sprite with its bottom row on the object's PosY, moved by (dx, dy) pixels.
void DrawAtActor(const TGameObject& object, int sprite, int dx = 0, int dy = 0);

struct TSpriteFrame {
  int32_t Width = 0;  // sprites per row
  int32_t OffX = 0;   // half-tiles from PosX to the frame's left edge
  int32_t OffY = 0;   // pixels from PosY to the frame's top edge
  std::vector<int32_t> SpriteIndices;
};

class TVisibleObject : public TGameObject {
 public:
  std::vector<TSpriteFrame> Frames;
  int32_t CurrentFrame = 0;

  virtual void Draw();
  virtual void InitSpriteFrames() {}
  // Fills Frames with count frames of one sprite each: first, first + 1, ...
  void SingleSpriteFrames(int32_t first, int32_t count);
  ZYNTRA_CLASS(TVisibleObject)
};

class TActor : public TVisibleObject {
 public:
  int32_t Width = 0;
  int32_t Height = 0;

  virtual void DrawCollisionBox();
  virtual void CheckCollisions() = 0;
  virtual bool CollidesWith(const TActor& other) const;
  virtual bool Visible() const;
  virtual void FallingItemCode();
  ZYNTRA_CLASS(TActor)
};

class TInteractiveBackgroundItem : public TActor {
 public:
  TInteractiveBackgroundItem() {
    Width = 2;
    Height = 16;
  }
  // What the hero's Up does to the item he touches; upOnly when no other button is held
  // (the doors he walks through want Up alone). False ends the whole use at once, before
  // the items after this one in the list (a key hole without its key); items that Up does
  // nothing to return true.
  virtual bool Use(TBraxTovar& /*player*/, bool /*upOnly*/) { return true; }
  // The item's switch, thrown from anywhere, not only by the hero's Up: a teleporter lights
  // up as the hero arrives at it, the villain's monitor comes on as he walks past a
  // trigger, a door opens. Use may throw it; items without a switch ignore it.
  virtual void Activate() {}
  ZYNTRA_CLASS(TInteractiveBackgroundItem)
};

// One position in the list. A removed link keeps its successor so that a pass standing on
// it continues with the entry that followed it.
struct TListLink {
  PActorListEntry Object;
  TListLink* Prev = nullptr;
  std::shared_ptr<TListLink> Next;
  bool Removed = false;
  uint64_t Order = 0;  // grows along the list: compares two links' positions at once
};

class TActorList {
 public:
  TActorList();
  TWorld* Owner = nullptr;  // the world that holds this list: the home of what it takes in
  ~TActorList();
  TActorList(const TActorList&) = delete;
  TActorList& operator=(const TActorList&) = delete;

  static constexpr int LayerCount = 8;
  // Inserts at the end of layer 0..7 (before separator n; layer 7 at the end).
  void AddToLayer(const PActorListEntry& object, int layer);
  // Inserts right after another entry's link (a goodie out of its container).
  void InsertAfter(const PActorListEntry& object, const TActorListEntry& container);
  // Appends at the end, separators included (reading a quick save).
  void Append(const PActorListEntry& object);
  // Marks the separator links as the layer bounds, in the order met (after Append).
  bool AdoptSeparators();
  void Unlink(TListLink* link);

  // Every listed entry in list order, separators included.
  std::vector<PActorListEntry> Entries() const;
  // The links of every listed entry of class cls (or derived from it), in list order. The
  // first call for a class walks the list once; from then on the list keeps the index as
  // entries come and go, so that what an object looks for every tick (the player's shots)
  // costs the few entries found, not a walk over the whole list. The reference stays valid
  // as long as the list.
  const std::vector<TListLink*>& Indexed(const TClassInfo& cls);
  size_t Count() const;
  TListLink* First() const { return Head->Next.get(); }
  std::shared_ptr<TListLink> FirstShared() const { return Head->Next; }
  bool IsEnd(const TListLink* link) const { return link == nullptr || link == Tail; }
  // Calls Remove on every game object and drops every link.
  void Clear();

 private:
  std::shared_ptr<TListLink> HeadLink;
  TListLink* Head;
  TListLink* Tail;
  TListLink* Separators[LayerCount - 1] = {};
  std::map<const TClassInfo*, std::vector<TListLink*>> Index;
  void InsertBefore(TListLink* position, const PActorListEntry& object);
  void GiveOrder(TListLink* link);
};

// The list of the program's world (World().Actors).
TActorList& ActorList();
// Removes every object, starts a new list with the seven separators.
void ResetActorList(TWorld& world);

// The layers of the list, in the order they are updated and drawn (back to front).
constexpr int LayerBackground = 0;  // decorations, exit doors, elevators
constexpr int LayerWallItems = 1;   // key holes, slots, notes, the villain's monitor
constexpr int LayerHero = 2;        // the hero and his shots
constexpr int LayerEffects = 3;     // popups, smoke, dust, particles, shards
constexpr int LayerObjects = 4;     // pickups, hazards, walking robots, robot shots
constexpr int LayerFlyers = 5;      // flying robots, the villain, the snake
constexpr int LayerFront = 6;       // reactors, teleporters, fireballs, flashes
constexpr int LayerMechanics = 7;   // extenders, fake bridges, conveyor belts (not drawn)
// The one separator object of the program run.
const PActorListEntry& SharedSeparator();

// The drawing track of an object's sprites (see TPlatform::BeginTrack).
uint64_t ActorTrack(const TActorListEntry& entry);

// The tick pass: Update, CheckCollisions and Draw object by object in list order.
void TickActorList(TActorList& list);
// Draw only, for still pictures.
void DrawActorList(TActorList& list);
// Outlines every actor's box when the collision-box display is on.
void DrawCollisionBoxes(TActorList& list);

// Calls f for every listed object of class T (or derived from it) in list order, without
// copying the list; f returns true to stop. f must not add to or remove from the list.
template <class T, class F>
void ForEachListed(TActorList& list, F&& f) {
  const std::vector<TListLink*>& links = list.Indexed(T::StaticClass());
  for (size_t i = 0; i < links.size(); ++i)
    if (f(std::static_pointer_cast<T>(links[i]->Object))) return;
}

// Every listed object of class T, in list order.
template <class T>
std::vector<std::shared_ptr<T>> ListedObjects(TActorList& list) {
  std::vector<std::shared_ptr<T>> out;
  ForEachListed<T>(list, [&](const std::shared_ptr<T>& t) {
    out.push_back(t);
    return false;
  });
  return out;
}
