// Run-time classes: names, bases, factories and the field walker over declared fields.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "actors/families.h"
#include "world/actor_list.h"
#include "world/game_state.h"
#include "world/player.h"

namespace {

class TModelBase : public TActor {
 public:
  int32_t Speed = 0;
  uint8_t Mode = 0;
  void CheckCollisions() override {}
  ZYNTRA_CLASS(TModelBase)
};
ZYNTRA_DEFINE_CLASS(TModelBase, TActor, ZYNTRA_FIELD(TModelBase, Speed),
                    ZYNTRA_FIELD(TModelBase, Mode))

class TModelFull : public TModelBase {
 public:
  uint16_t Count = 0;
  int64_t Big = 0;
  float Ratio = 0;
  double Precise = 0;
  std::string Label;
  std::vector<uint8_t> Bytes;
  std::vector<uint16_t> Shorts;
  std::vector<int32_t> Ints;
  std::shared_ptr<TActor> Target;          // a reference
  std::shared_ptr<TGameState> NotAnEntry;  // neither saved nor a reference
  uint8_t Timer = 0;                       // hides TGameObject::Timer
  ZYNTRA_CLASS(TModelFull)
};
ZYNTRA_DEFINE_CLASS(TModelFull, TModelBase, ZYNTRA_FIELD(TModelFull, Count),
                    ZYNTRA_FIELD(TModelFull, Big), ZYNTRA_FIELD(TModelFull, Ratio),
                    ZYNTRA_FIELD(TModelFull, Precise), ZYNTRA_FIELD(TModelFull, Label),
                    ZYNTRA_FIELD(TModelFull, Bytes), ZYNTRA_FIELD(TModelFull, Shorts),
                    ZYNTRA_FIELD(TModelFull, Ints), ZYNTRA_FIELD(TModelFull, Target),
                    ZYNTRA_FIELD_UNSAVED(TModelFull, NotAnEntry), ZYNTRA_FIELD(TModelFull, Timer))

// Class names by registry lookup; a class with this name is not part of the program.
class TModelAbstract : public TActor {
  ZYNTRA_CLASS(TModelAbstract)
};
ZYNTRA_DEFINE_CLASS(TModelAbstract, TActor)

using TFieldList = std::vector<std::pair<std::string, std::string>>;

// (name, save type name) of every field, base first; "-" for fields that are not saved and
// "ref:<class>" for references.
TFieldList Walk(const TClassInfo& cls) {
  TFieldList out;
  for (const TFieldInfo* f : cls.AllFields()) {
    std::string type = f->Type == TFieldType::Other       ? "-"
                       : f->Type == TFieldType::Reference ? "ref:" + f->TypeName
                                                          : f->TypeName;
    out.emplace_back(f->Name, type);
  }
  return out;
}

const TFieldList EntryFields = {
    {"SerialNumber", "Int"}, {"ListLink", "-"}, {"DrawIdentity", "-"}, {"Home", "-"}};
const TFieldList ActorFields = {{"SerialNumber", "Int"}, {"ListLink", "-"},  {"DrawIdentity", "-"},
                                {"Home", "-"},           {"PosX", "Int"},    {"PosY", "Int"},
                                {"Timer", "Int"},        {"Active", "Byte"}, {"Frames", "-"},
                                {"CurrentFrame", "Int"}, {"Width", "Int"},   {"Height", "Int"}};

TFieldList Concat(TFieldList a, const TFieldList& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

TEST(ObjectModelTest, FieldsBaseFirstWithSaveTypeNames) {
  EXPECT_EQ(Walk(TListSeparator::StaticClass()), EntryFields);
  EXPECT_EQ(Walk(TActor::StaticClass()), ActorFields);
  EXPECT_EQ(Walk(TInteractiveBackgroundItem::StaticClass()), ActorFields);
  EXPECT_EQ(Walk(TModelFull::StaticClass()), Concat(ActorFields, {{"Speed", "Int"},
                                                                  {"Mode", "Byte"},
                                                                  {"Count", "Short"},
                                                                  {"Big", "Long"},
                                                                  {"Ratio", "Float"},
                                                                  {"Precise", "Double"},
                                                                  {"Label", "String"},
                                                                  {"Bytes", "Byte[]"},
                                                                  {"Shorts", "Short[]"},
                                                                  {"Ints", "Int[]"},
                                                                  {"Target", "ref:TActor"},
                                                                  {"NotAnEntry", "-"},
                                                                  {"Timer", "Byte"}}));
}

TEST(ObjectModelTest, WalkerOverThePlayerAndTheGameState) {
  EXPECT_EQ(Walk(TBraxTovar::StaticClass()), Concat(ActorFields, {{"InvincibilityTimer", "Int"},
                                                                  {"WasHit", "Byte"},
                                                                  {"Action", "Byte"},
                                                                  {"JumpSpeed", "Int"},
                                                                  {"Direction", "Byte"},
                                                                  {"FallingState", "Byte"},
                                                                  {"Somersault", "Byte"},
                                                                  {"LastDeltaX", "Int"},
                                                                  {"DelayedAction", "Byte"},
                                                                  {"DelayTics", "Int"},
                                                                  {"JumpWasDown", "Byte"},
                                                                  {"FireWasDown", "Byte"}}));
  const TFieldList state = {
      {"Health", "Short"},          {"Score", "Long"},       {"FirePower", "Short"},
      {"MapOn", "Short"},           {"CamX", "Int"},         {"CamY", "Int"},
      {"GotBoots", "Short"},        {"GotHooks", "Short"},   {"GotGlove", "Short"},
      {"MessageActive", "Short[]"}, {"Timer", "Int"},        {"GotAccessCard", "Short"},
      {"GotKey", "Short[]"},        {"CamDestY", "Int"},     {"ExitLevel", "Byte"},
      {"PlayerIsDead", "Byte"},     {"Victory", "Byte"},     {"PlayerShotsActive", "Int"},
      {"EnemyShotsActive", "Int"},  {"CamsTotal", "Int"},    {"CamsShot", "Int"},
      {"GotHit", "Byte"},           {"SignsTotal", "Int"},   {"SignsFallen", "Int"},
      {"MissilesTotal", "Int"},     {"MissilesShot", "Int"}, {"LetterBits", "Byte"},
      {"CorrectOrder", "Byte"},     {"Letters", "String"},   {"LetterBonus", "Byte"},
      {"SnakesTotal", "Int"},       {"SnakesShot", "Int"},   {"BunniesTotal", "Int"},
      {"BunniesShot", "Int"}};
  EXPECT_EQ(Walk(TGameState::StaticClass()), state);
}

TEST(ObjectModelTest, AccessorsReachTheDeclaringClassesStorage) {
  TModelFull object;
  const TClassInfo& cls = object.Class();
  *static_cast<int32_t*>(cls.FindField("PosX")->Address(object)) = 17;
  *static_cast<int32_t*>(cls.FindField("Speed")->Address(object)) = -4;
  *static_cast<int64_t*>(cls.FindField("Big")->Address(object)) = int64_t(1) << 40;
  static_cast<std::vector<uint16_t>*>(cls.FindField("Shorts")->Address(object))->push_back(9);
  EXPECT_EQ(object.PosX, 17);
  EXPECT_EQ(object.Speed, -4);
  EXPECT_EQ(object.Big, int64_t(1) << 40);
  EXPECT_EQ(object.Shorts, std::vector<uint16_t>{9});

  // A repeated name finds the most derived declaration; the hidden base field stays.
  const TFieldInfo* timer = cls.FindField("Timer");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Type, TFieldType::Byte);
  *static_cast<uint8_t*>(timer->Address(object)) = 200;
  EXPECT_EQ(object.Timer, 200);
  EXPECT_EQ(object.TGameObject::Timer, 0);
  EXPECT_EQ(cls.FindField("NoSuchField"), nullptr);
}

TEST(ObjectModelTest, ReferencesAcceptOnlyTheirClass) {
  TModelFull object;
  const TFieldInfo* ref = object.Class().FindField("Target");
  ASSERT_NE(ref, nullptr);
  ASSERT_EQ(ref->Type, TFieldType::Reference);
  EXPECT_FALSE(ref->Address);

  auto actor = std::make_shared<TModelBase>();
  EXPECT_TRUE(ref->SetReference(object, actor));
  EXPECT_EQ(object.Target, actor);
  EXPECT_EQ(ref->GetReference(object), actor);

  // A separator is an entry but not an actor: refused, the field keeps its value.
  EXPECT_FALSE(ref->SetReference(object, std::make_shared<TListSeparator>()));
  EXPECT_EQ(object.Target, actor);
  EXPECT_TRUE(ref->SetReference(object, nullptr));
  EXPECT_EQ(object.Target, nullptr);
}

TEST(ObjectModelTest, FindClassFactoriesAndAbstractClasses) {
  for (const char* name :
       {"TObject", "TActorListEntry", "TListSeparator", "TGameObject", "TVisibleObject", "TActor",
        "TInteractiveBackgroundItem", "TGameState", "TBraxTovar"}) {
    const TClassInfo* cls = FindClass(name);
    ASSERT_NE(cls, nullptr) << name;
    EXPECT_EQ(cls->Name(), name);
  }
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  EXPECT_EQ(FindClass("tbraxtovar"), nullptr);  // names are exact

  // Classes with an operation that has no base behaviour cannot be created.
  for (const char* name : {"TObject", "TActor", "TInteractiveBackgroundItem"}) {
    EXPECT_TRUE(FindClass(name)->IsAbstract()) << name;
    EXPECT_EQ(FindClass(name)->Create(), nullptr) << name;
  }
  PObject player = FindClass("TBraxTovar")->Create();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->ClassName(), "TBraxTovar");
  EXPECT_TRUE(player->Is<TActor>());
  EXPECT_TRUE(player->Is<TActorListEntry>());
  EXPECT_FALSE(player->Is<TInteractiveBackgroundItem>());
  EXPECT_EQ(FindClass("TGameObject")->Create()->ClassName(), "TGameObject");
  EXPECT_EQ(FindClass("TGameObject")->Base(), &TActorListEntry::StaticClass());

  // Registering makes a class findable; registering again, or another class of a name
  // already known, changes nothing.
  EXPECT_EQ(FindClass("TModelBase"), nullptr);
  RegisterClass(TModelFull::StaticClass());
  RegisterClass(TModelFull::StaticClass());
  EXPECT_EQ(FindClass("TModelFull"), &TModelFull::StaticClass());
  EXPECT_EQ(FindClass("TModelFull")->Create()->ClassName(), "TModelFull");
  RegisterClass(TModelAbstract::StaticClass());
  EXPECT_TRUE(FindClass("TModelAbstract")->IsAbstract());
  EXPECT_EQ(FindClass("TModelAbstract")->Create(), nullptr);
}

// Every member of every class is listed, saved or marked unsaved: a member missing from its
// class's list would be lost by a quick load without a word.
TEST(ObjectModelTest, ListedFieldsCoverEveryObject) {
  InstallActors();
  ASSERT_NE(FindClass("TWheelBot"), nullptr);
  for (const TClassInfo* cls : AllClasses()) {
    // A class that can be created is one the check can see into.
    EXPECT_EQ(!cls->IsAbstract(), bool(cls->Layout().ConstructedBytes)) << cls->Name();
    EXPECT_EQ(LayoutProblem(*cls), "");
  }
}

TEST(ObjectModelTest, ConstructionDefaults) {
  TGameState state;
  EXPECT_EQ(state.Health, 0);
  EXPECT_EQ(state.FirePower, 0);
  EXPECT_EQ(state.CorrectOrder, 0);
  EXPECT_EQ(state.MessageActive, std::vector<uint16_t>(12, 0));
  EXPECT_EQ(state.GotKey, std::vector<uint16_t>(4, 0));
  EXPECT_TRUE(state.Letters.empty());

  TBraxTovar player;
  EXPECT_EQ(player.Width, 2);
  EXPECT_EQ(player.Height, 32);
  EXPECT_EQ(player.Direction, 1);
  EXPECT_EQ(player.InvincibilityTimer, 21);
  EXPECT_EQ(player.CurrentFrame, 13);
  EXPECT_EQ(player.Action, 0);
  EXPECT_EQ(player.SerialNumber, 0);
  EXPECT_FALSE(player.IsListed());
  ASSERT_EQ(player.Frames.size(), 46u);
  for (int i : {0, 13, 45}) {
    const TSpriteFrame& f = player.Frames[size_t(i)];
    EXPECT_EQ(f.Width, 2);
    EXPECT_EQ(f.OffX, -1);
    EXPECT_EQ(f.OffY, -31);
    EXPECT_EQ(f.SpriteIndices, (std::vector<int32_t>{4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3}));
  }
  TModelBase item;
  EXPECT_EQ(item.Width, 0);
  EXPECT_TRUE(item.Frames.empty());
}
