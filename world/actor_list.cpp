#include "world/actor_list.h"

#include <algorithm>

#include "data/graphics.h"
#include "data/level_map.h"
#include "platform/platform.h"
#include "shell/settings.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(TActorListEntry, TObject, ZYNTRA_FIELD(TActorListEntry, SerialNumber),
                    ZYNTRA_FIELD_UNSAVED(TActorListEntry, ListLink),
                    ZYNTRA_FIELD_UNSAVED(TActorListEntry, DrawIdentity),
                    ZYNTRA_FIELD_UNSAVED(TActorListEntry, Home))
ZYNTRA_DEFINE_CLASS(TListSeparator, TActorListEntry)
ZYNTRA_DEFINE_CLASS(TGameObject, TActorListEntry,
                    ZYNTRA_FIELD_RANGE(TGameObject, PosX, MinPosX, MaxPosX),
                    ZYNTRA_FIELD_RANGE(TGameObject, PosY, MinPosY, MaxPosY),
                    ZYNTRA_FIELD(TGameObject, Timer), ZYNTRA_FIELD(TGameObject, Active))
ZYNTRA_DEFINE_CLASS(TVisibleObject, TGameObject, ZYNTRA_FIELD_UNSAVED(TVisibleObject, Frames),
                    ZYNTRA_FIELD_RANGE(TVisibleObject, CurrentFrame, 0, SpriteFrameCount - 1))
ZYNTRA_DEFINE_CLASS(TActor, TVisibleObject, ZYNTRA_FIELD_RANGE(TActor, Width, 0, 2 * MapColumns),
                    ZYNTRA_FIELD_RANGE(TActor, Height, 0, 16 * MapRows))
ZYNTRA_DEFINE_CLASS(TInteractiveBackgroundItem, TActor)

// --- Entries -------------------------------------------------------------------------

uint64_t TActorListEntry::NewDrawIdentity() {
  static uint64_t last = 0;
  return ++last;
}

uint64_t ActorTrack(const TActorListEntry& entry) {
  return (uint64_t(4) << 48) | (entry.DrawIdentity & 0xFFFFFFFFFFFFull);
}

void TActorListEntry::Remove() {
  if (!ListLink) return;
  TListLink* link = ListLink;
  ListLink = nullptr;
  Actors().Unlink(link);
}

void DrawAtActor(const TGameObject& object, int sprite, int dx, int dy) {
  const TGameState& g = object.Game();
  DrawSprite(float(8 * (object.PosX - g.CamX) + 16 + dx), float(object.PosY - 16 * g.CamY + 1 + dy),
             sprite);
}

void TVisibleObject::Draw() {
  if (CurrentFrame < 0 || CurrentFrame >= int32_t(Frames.size())) return;
  const TSpriteFrame& f = Frames[size_t(CurrentFrame)];
  if (f.Width < 1) return;
  const TGameState& g = Game();
  for (size_t i = 0; i < f.SpriteIndices.size(); ++i) {
    int32_t x = (PosX - g.CamX + f.OffX) * 8 + 16 + int32_t(i % size_t(f.Width)) * 16;
    int32_t y = PosY + f.OffY - g.CamY * 16 + 16 + int32_t(i / size_t(f.Width)) * 16;
    DrawSprite(float(x), float(y), f.SpriteIndices[i]);
  }
}

void TVisibleObject::SingleSpriteFrames(int32_t first, int32_t count) {
  Frames.clear();
  for (int32_t i = 0; i < count; ++i) {
    TSpriteFrame f;
    f.Width = 1;
    f.OffY = -15;
    f.SpriteIndices = {first + i};
    Frames.push_back(f);
  }
}

void TActor::DrawCollisionBox() {
  TPlatform& p = Platform();
  const TGameState& g = Game();
  int gb = int((uint32_t(g.Timer) * 32u) % 256u);
  p.SetColour(255, gb, gb);
  float x = float((PosX - g.CamX) * 8 + 16);
  float top = float(PosY - g.CamY * 16 + 16 - (Height - 1));
  float bottom = float(PosY - g.CamY * 16 + 16);
  float w = float(Width * 8 - 1);
  float h = float(Height - 1);
  p.DrawRect(x, top, w, 1);
  p.DrawRect(x, top, 1, h);
  p.DrawRect(x, bottom, w, 1);
  p.DrawRect(x + w, top, 1, h);
  p.SetColour(0xFFFFFF);
}

bool TActor::CollidesWith(const TActor& other) const {
  int32_t oX = other.PosX, oW = other.Width, oY = other.PosY, oH = other.Height;
  if (other.Is<TBraxTovar>()) {
    oY -= 8;
    oH -= 8;
  }
  bool horizontal = oX < PosX ? oX + oW > PosX : PosX + Width > oX;
  bool vertical = oY < PosY ? oY > PosY - Height : PosY > oY - oH;
  return horizontal && vertical;
}

bool TActor::Visible() const {
  const TGameState& g = Game();
  return PosY >= g.CamY * 16 && PosY - Height < g.CamY * 16 + 159 && PosX + Width >= g.CamX &&
         PosX <= g.CamX + 26;
}

void TActor::FallingItemCode() {
  if (Visible() && !IsSolid(PosX, PosY + 1)) PosY += 16;
}

// --- The list ------------------------------------------------------------------------

TActorList::TActorList() {
  HeadLink = std::make_shared<TListLink>();
  Head = HeadLink.get();
  Head->Next = std::make_shared<TListLink>();
  Tail = Head->Next.get();
  Tail->Prev = Head;
  Head->Order = 0;
  Tail->Order = UINT64_MAX;
}

// A new link takes an order value between its neighbours'. Steps are small, so that many
// entries added at one place (a level's objects at the end of their layer) still find
// room; when none is left, the whole list is numbered anew at even spacing.
void TActorList::GiveOrder(TListLink* link) {
  constexpr uint64_t MaxStep = uint64_t(1) << 24;
  uint64_t low = link->Prev->Order, high = link->Next->Order;
  if (high - low < 2) {
    uint64_t n = 1;
    for (TListLink* l = First(); !IsEnd(l); l = l->Next.get()) ++n;
    const uint64_t spacing = UINT64_MAX / n;
    uint64_t order = 0;
    for (TListLink* l = First(); !IsEnd(l); l = l->Next.get()) l->Order = order += spacing;
    return;
  }
  link->Order = low + std::min((high - low) / 2, MaxStep);
}

const std::vector<TListLink*>& TActorList::Indexed(const TClassInfo& cls) {
  auto found = Index.find(&cls);
  if (found != Index.end()) return found->second;
  std::vector<TListLink*>& links = Index[&cls];
  for (TListLink* l = First(); !IsEnd(l); l = l->Next.get())
    if (!l->Removed && l->Object && l->Object->IsA(cls)) links.push_back(l);
  return links;
}

TActorList::~TActorList() {
  // Unlink iteratively so that a long chain of links is not freed by deep recursion.
  std::shared_ptr<TListLink> link = std::move(HeadLink);
  while (link) {
    if (link->Object && link->Object->ListLink == link.get()) link->Object->ListLink = nullptr;
    std::shared_ptr<TListLink> next = std::move(link->Next);
    link = std::move(next);
  }
}

void TActorList::InsertBefore(TListLink* position, const PActorListEntry& object) {
  if (!object || !position) return;
  if (object->ListLink) object->Remove();
  auto link = std::make_shared<TListLink>();
  link->Object = object;
  TListLink* prev = position->Prev;
  link->Prev = prev;
  link->Next = prev->Next;  // the shared owner of position
  position->Prev = link.get();
  prev->Next = link;
  if (!object->Is<TListSeparator>()) {
    object->ListLink = link.get();
    if (Owner) object->Home = Owner;
  }
  GiveOrder(link.get());
  for (auto& [cls, links] : Index)
    if (object->IsA(*cls))
      links.insert(
          std::upper_bound(links.begin(), links.end(), link->Order,
                           [](uint64_t order, const TListLink* l) { return order < l->Order; }),
          link.get());
}

void TActorList::AddToLayer(const PActorListEntry& object, int layer) {
  if (layer >= 0 && layer < LayerCount - 1 && Separators[layer])
    InsertBefore(Separators[layer], object);
  else
    InsertBefore(Tail, object);
}

void TActorList::InsertAfter(const PActorListEntry& object, const TActorListEntry& container) {
  TListLink* link = container.ListLink;
  if (!link) {
    AddToLayer(object, LayerObjects);
    return;
  }
  InsertBefore(link->Next.get(), object);
}

void TActorList::Append(const PActorListEntry& object) { InsertBefore(Tail, object); }

bool TActorList::AdoptSeparators() {
  int n = 0;
  for (TListLink* l = First(); !IsEnd(l); l = l->Next.get())
    if (l->Object && l->Object->Is<TListSeparator>()) {
      if (n < LayerCount - 1) Separators[n] = l;
      ++n;
    }
  return n == LayerCount - 1;
}

void TActorList::Unlink(TListLink* link) {
  if (!link || link->Removed || link == Head || link == Tail) return;
  link->Removed = true;
  if (link->Object)
    for (auto& [cls, links] : Index)
      if (link->Object->IsA(*cls)) std::erase(links, link);
  TListLink* prev = link->Prev;
  TListLink* next = link->Next.get();
  next->Prev = prev;
  prev->Next = link->Next;  // the removed link keeps its own Next
  // The list no longer holds the object; a pass standing on the link holds its own copy.
}

std::vector<PActorListEntry> TActorList::Entries() const {
  std::vector<PActorListEntry> out;
  for (TListLink* l = First(); !IsEnd(l); l = l->Next.get())
    if (!l->Removed && l->Object) out.push_back(l->Object);
  return out;
}

size_t TActorList::Count() const {
  size_t n = 0;
  for (TListLink* l = First(); !IsEnd(l); l = l->Next.get())
    if (!l->Removed) ++n;
  return n;
}

void TActorList::Clear() {
  for (const PActorListEntry& e : Entries())
    if (e->Is<TGameObject>()) e->Remove();
  std::shared_ptr<TListLink> link = std::move(Head->Next);
  while (link && link.get() != Tail) {
    if (link->Object && link->Object->ListLink == link.get()) link->Object->ListLink = nullptr;
    std::shared_ptr<TListLink> next = std::move(link->Next);
    link->Removed = true;
    link = std::move(next);
  }
  Head->Next = link;  // the tail
  Tail->Prev = Head;
  for (TListLink*& s : Separators) s = nullptr;
  Index.clear();
}

TActorList& ActorList() { return *World().Actors; }

const PActorListEntry& SharedSeparator() {
  static PActorListEntry separator = std::make_shared<TListSeparator>();
  return separator;
}

void ResetActorList(TWorld& world) {
  world.Actors->Clear();
  auto list = std::make_unique<TActorList>();
  for (int i = 0; i < TActorList::LayerCount - 1; ++i) list->Append(SharedSeparator());
  list->AdoptSeparators();
  world.SetActors(std::move(list));
}

void TickActorList(TActorList& list) {
  // Hold the current link: a removed link keeps its successor.
  std::shared_ptr<TListLink> link = list.FirstShared();
  while (link && !list.IsEnd(link.get())) {
    if (!link->Removed) {
      PActorListEntry object = link->Object;  // alive for the whole visit
      if (auto game = std::dynamic_pointer_cast<TGameObject>(object)) {
        game->Update();
        if (auto actor = std::dynamic_pointer_cast<TActor>(object)) actor->CheckCollisions();
        if (auto visible = std::dynamic_pointer_cast<TVisibleObject>(object))
          if (visible->ListLink) {
            Platform().BeginTrack(ActorTrack(*visible));
            visible->Draw();
            Platform().EndTrack();
          }
      }
    }
    link = link->Next;
  }
}

void DrawActorList(TActorList& list) {
  for (const PActorListEntry& e : list.Entries())
    if (auto visible = std::dynamic_pointer_cast<TVisibleObject>(e)) {
      Platform().BeginTrack(ActorTrack(*visible));
      visible->Draw();
      Platform().EndTrack();
    }
}

void DrawCollisionBoxes(TActorList& list) {
  if (!PlaySettings().ShowCollisionBoxes) return;
  for (const PActorListEntry& e : list.Entries())
    if (auto actor = std::dynamic_pointer_cast<TActor>(e)) actor->DrawCollisionBox();
}
