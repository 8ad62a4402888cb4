// Savegames and the quick save: the record layout, loading a slot, the generic object
// records, references between objects, and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/object_codes.h"
#include "world/savegame.h"
#include "world/world_state.h"
#include "world_fixture.h"

namespace {

class TTestTarget : public TActor {
 public:
  int32_t Value = 0;
  void CheckCollisions() override {}
  ZYNTRA_CLASS(TTestTarget)
};
ZYNTRA_DEFINE_CLASS(TTestTarget, TActor, ZYNTRA_FIELD(TTestTarget, Value))

// Every kind of saved field and two references.
class TTestHolder : public TActor {
 public:
  uint8_t B = 0;
  uint16_t S = 0;
  int32_t I = 0;
  int64_t L = 0;
  float F = 0;
  double D = 0;
  std::string Text = "default";
  std::vector<uint8_t> Bytes;
  std::vector<uint16_t> Shorts;
  std::vector<int32_t> Ints = {5};
  std::shared_ptr<TTestTarget> Target;
  std::shared_ptr<TActor> Other;
  void CheckCollisions() override {}
  ZYNTRA_CLASS(TTestHolder)
};
ZYNTRA_DEFINE_CLASS(TTestHolder, TActor, ZYNTRA_FIELD(TTestHolder, B), ZYNTRA_FIELD(TTestHolder, S),
                    ZYNTRA_FIELD(TTestHolder, I), ZYNTRA_FIELD(TTestHolder, L),
                    ZYNTRA_FIELD(TTestHolder, F), ZYNTRA_FIELD(TTestHolder, D),
                    ZYNTRA_FIELD(TTestHolder, Text), ZYNTRA_FIELD(TTestHolder, Bytes),
                    ZYNTRA_FIELD(TTestHolder, Shorts), ZYNTRA_FIELD(TTestHolder, Ints),
                    ZYNTRA_FIELD(TTestHolder, Target), ZYNTRA_FIELD(TTestHolder, Other))

// Fixed-size arrays, one of each kind.
class TTestFixed : public TActor {
 public:
  std::array<uint16_t, 3> Lamps{};
  int32_t Steps[2] = {};
  void CheckCollisions() override {}
  ZYNTRA_CLASS(TTestFixed)
};
ZYNTRA_DEFINE_CLASS(TTestFixed, TActor, ZYNTRA_FIELD(TTestFixed, Lamps),
                    ZYNTRA_FIELD_RANGE(TTestFixed, Steps, -5, 5))

std::vector<uint8_t> ReadBytes(const std::string& path) {
  const std::string text = TTempDir::ReadText(path);
  return {text.begin(), text.end()};
}

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

void PutLString(TStream& s, const std::string& text) {
  s.WriteInt(int32_t(text.size()));
  s.WriteString(text);
}

}  // namespace

class SavegameTest : public TWorldTest {
 protected:
  void SetUp() override {
    TWorldTest::SetUp();
    RegisterClass(TTestTarget::StaticClass());
    RegisterClass(TTestHolder::StaticClass());
    RegisterClass(TTestFixed::StaticClass());
    auto map = EmptyMap();
    Floor(map, 9);
    Put(map, 7, 8, ObjectHero);
    Put(map, 20, 5, ObjectMirror);
    WriteMap("q.qz1", map);
    LevelList = {"q.qz1"};
  }
  static PStream Memory() { return LittleEndianStream(MemoryStream()); }
  static PStream Rewind(const PStream& s) {
    s->Seek(0);
    return s;
  }
};

// --- Savegames ---------------------------------------------------------------------------------

TEST_F(SavegameTest, RecordLayoutAndShortestFile) {
  TGameState& g = Game();
  PlacePlayer(10, 6);  // PosX 20, PosY 111
  g.CamX = 3;
  g.CamY = 4;
  g.MapOn = 2;
  g.FirePower = 3;
  g.GotBoots = 1;
  g.Health = 7;
  g.GotGlove = 1;
  g.MessageActive[1] = 0;
  g.MessageActive[11] = 0;
  SaveGame(World(), 4);
  auto bytes = ReadBytes(Temp.Dir() + "SAVED4.QZ1");
  ASSERT_EQ(bytes.size(), 46u);
  const uint16_t head[10] = {3, 4, 20 - 3 + 2, 111 - 64 + 16, 2, 3, 1, 0, 7, 1};
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(Le16(bytes, 2 * i), head[i]) << i;
  for (size_t h = 0; h < 12; ++h)
    EXPECT_EQ(Le16(bytes, 20 + 2 * h), h == 1 || h == 11 ? 0 : 1) << h;
  EXPECT_EQ(bytes[44], '0');
  EXPECT_EQ(bytes[45], 10);

  g.Score = 1234567;
  SaveGame(World(), 0);
  bytes = ReadBytes(Temp.Dir() + "SAVEDT.QZ1");
  EXPECT_EQ(std::string(bytes.begin() + 44, bytes.end()), "1234567\n");
  auto save = ReadSavegame(SavegameFileName(0));
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(save->Score, 1234567);
  EXPECT_EQ(save->PlayerY, 111 - 64 + 16);
  EXPECT_EQ(save->HintsActive[11], 0);

  // Only the low 32 bits of the score are saved, as an unsigned number.
  g.Score = (int64_t(1) << 32) + 5;
  SaveGame(World(), 1);
  bytes = ReadBytes(Temp.Dir() + "SAVED1.QZ1");
  EXPECT_EQ(std::string(bytes.begin() + 44, bytes.end()), "5\n");
  g.Score = 0xFFFFFFFFll;
  SaveGame(World(), 1);
  EXPECT_EQ(ReadSavegame(SavegameFileName(1))->Score, 4294967295ll);
}

TEST_F(SavegameTest, ShortMissingAndUnhandledSlots) {
  SaveGame(World(), 5);
  auto bytes = ReadBytes(Temp.Dir() + "SAVED5.QZ1");
  ASSERT_EQ(bytes.size(), 46u);
  EXPECT_NE(ReadSavegame(SavegameFileName(5)), nullptr);
  bytes.pop_back();
  TTempDir::Write(Temp.Dir() + "SAVED5.QZ1", bytes);
  EXPECT_EQ(ReadSavegame(SavegameFileName(5)), nullptr);

  PGameState before = World().State;
  EXPECT_FALSE(LoadGame(World(), 5));
  EXPECT_EQ(CountLog("ERROR :: couldn't load savegame \"" + SavegameFileName(5) + "\""), 1);
  EXPECT_FALSE(LoadGame(World(), 6));
  EXPECT_EQ(CountLog("ERROR :: couldn't load savegame \"" + SavegameFileName(6) + "\""), 1);
  EXPECT_EQ(World().State, before);

  SaveGame(World(), 10);
  EXPECT_EQ(CountLog("ERROR :: SaveGame() called with unhandled number!"), 1);
  EXPECT_FALSE(std::filesystem::exists(Temp.Dir() + "SAVED10.QZ1"));
  EXPECT_FALSE(LoadGame(World(), 10));
  EXPECT_EQ(CountLog("ERROR :: LoadGame() called with unhandled number!"), 1);
}

TEST_F(SavegameTest, LoadGameRestartsTheMapAtItsStart) {
  TSavegame save;
  save.CamX = 100;
  save.CamY = 50;
  save.PlayerX = 30;
  save.PlayerY = 90;
  save.MapNumber = 0;
  save.FirePower = 3;
  save.GotBoots = 1;
  save.GotHooks = 1;
  save.Health = 4;
  save.GotGlove = 1;
  for (uint16_t& h : save.HintsActive) h = 0;
  save.HintsActive[2] = 1;
  save.Score = 987654;
  ASSERT_TRUE(save.WriteToFile(SavegameFileName(2)));

  Game().GotKey[1] = 1;
  Game().GotAccessCard = 1;
  PGameState before = World().State;
  ASSERT_TRUE(LoadGame(World(), 2));
  TGameState& g = Game();
  EXPECT_NE(World().State, before);  // a new game state
  EXPECT_EQ(g.FirePower, 3);
  EXPECT_EQ(g.Health, 4);
  EXPECT_EQ(g.GotBoots + g.GotHooks + g.GotGlove, 3);
  EXPECT_EQ(g.GotAccessCard, 0);
  EXPECT_EQ(g.GotKey[1], 0);
  EXPECT_EQ(g.Score, 987654);
  EXPECT_TRUE(g.HintIsActive(2));
  EXPECT_FALSE(g.HintIsActive(3));
  ASSERT_NE(World().Player, nullptr);
  EXPECT_EQ(World().Player->PosX, 14);  // the map's start, not the saved position
  EXPECT_EQ(World().Player->PosY, 143);
  EXPECT_EQ(g.CamX, 0);
  // A numbered slot also becomes the restart point.
  auto automatic = ReadSavegame(SavegameFileName(0));
  ASSERT_NE(automatic, nullptr);
  EXPECT_EQ(automatic->Score, 987654);
  EXPECT_EQ(automatic->Health, 4);

  save.MapNumber = 3;  // no such map
  ASSERT_TRUE(save.WriteToFile(SavegameFileName(3)));
  EXPECT_FALSE(LoadGame(World(), 3));
}

// --- Object records ----------------------------------------------------------------------------

TEST_F(SavegameTest, ObjectRecordsRoundTripEveryFieldType) {
  TTestHolder holder;
  holder.PosX = -7;
  holder.Active = 1;
  holder.CurrentFrame = 3;
  holder.Width = 4;
  holder.B = 200;
  holder.S = 65000;
  holder.I = -123456;
  holder.L = -(int64_t(1) << 40);
  holder.F = 1.5f;
  holder.D = -2.25;
  holder.Text = "Zyntra";
  holder.Bytes = {1, 2, 255};
  holder.Shorts = {0, 65535};
  holder.Ints = {-1, 7, 1 << 30};
  PStream s = Memory();
  WriteObject(*s, &holder);
  WriteObject(*s, nullptr);  // writes nothing
  s->WriteInt(0);            // an empty class name: no object
  auto copy = std::dynamic_pointer_cast<TTestHolder>(ReadObject(*Rewind(s)));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->PosX, -7);
  EXPECT_EQ(copy->Active, 1);
  EXPECT_EQ(copy->CurrentFrame, 3);
  EXPECT_EQ(copy->Width, 4);
  EXPECT_EQ(copy->B, 200);
  EXPECT_EQ(copy->S, 65000);
  EXPECT_EQ(copy->I, -123456);
  EXPECT_EQ(copy->L, -(int64_t(1) << 40));
  EXPECT_EQ(copy->F, 1.5f);
  EXPECT_EQ(copy->D, -2.25);
  EXPECT_EQ(copy->Text, "Zyntra");
  EXPECT_EQ(copy->Bytes, holder.Bytes);
  EXPECT_EQ(copy->Shorts, holder.Shorts);
  EXPECT_EQ(copy->Ints, holder.Ints);
  EXPECT_EQ(ReadObject(*s), nullptr);
  EXPECT_TRUE(s->Eof());
  EXPECT_FALSE(LogContains("ReadObject"));
}

// A fixed-size array is stored as a vector is, length first, and is read back only with its
// own length: any other refuses the record.
TEST_F(SavegameTest, FixedSizeArraysRoundTripAndRefuseOtherLengths) {
  // A hand-made record with the vector encoding: class, field count, then each field's name,
  // type name, length and elements.
  auto written = [](const std::vector<uint16_t>& lamps) {
    PStream raw = MemoryStream();
    PStream s = LittleEndianStream(raw);
    PutLString(*s, "TTestFixed");
    s->WriteInt(2);
    PutLString(*s, "Lamps");
    PutLString(*s, "Short[]");
    s->WriteInt(int32_t(lamps.size()));
    for (uint16_t x : lamps) s->WriteShort(x);
    PutLString(*s, "Steps");
    PutLString(*s, "Int[]");
    s->WriteInt(2);
    s->WriteInt(-5);
    s->WriteInt(4);
    raw->Seek(0);
    return raw->ReadAll();
  };
  const std::vector<uint8_t> good = written({7, 0, 65535});
  auto fixed =
      std::dynamic_pointer_cast<TTestFixed>(ReadObject(*LittleEndianStream(MemoryStream(good))));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->Lamps, (std::array<uint16_t, 3>{7, 0, 65535}));
  EXPECT_EQ(fixed->Steps[0], -5);
  EXPECT_EQ(fixed->Steps[1], 4);

  // Written back, the two fields come out as they went in.
  PStream raw = MemoryStream();
  WriteObject(*LittleEndianStream(raw), fixed.get());
  raw->Seek(0);
  const std::vector<uint8_t> bytes = raw->ReadAll();
  const std::vector<uint8_t> fields(good.begin() + 4 + 10 + 4, good.end());
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), fields.begin(), fields.end()), bytes.end());
  EXPECT_EQ(FieldOutOfRange(*fixed), "");
  fixed->Steps[1] = 6;
  EXPECT_EQ(FieldOutOfRange(*fixed), "TTestFixed.Steps = [1] 6 (allowed -5 to 5)");

  for (const std::vector<uint16_t>& lamps :
       {std::vector<uint16_t>{1, 2, 3, 4}, std::vector<uint16_t>{1, 2}, std::vector<uint16_t>{}}) {
    const std::string problem = "ReadObject() :: ERROR: TTestFixed.Lamps has " +
                                std::to_string(lamps.size()) + " elements (the class holds 3)";
    EXPECT_THROW(ReadObject(*LittleEndianStream(MemoryStream(written(lamps)))), TStreamError)
        << problem;
    EXPECT_EQ(CountLog(problem), 1) << problem;
  }
}

TEST_F(SavegameTest, ReadObjectToleratesOtherFieldsAndClasses) {
  PStream s = Memory();
  // A class that does not exist: its fields are read and reported, the result is none.
  PutLString(*s, "TNoSuchThing");
  s->WriteInt(2);
  PutLString(*s, "Speed");
  PutLString(*s, "Int");
  s->WriteInt(5);
  PutLString(*s, "Name");
  PutLString(*s, "String");
  PutLString(*s, "abc");
  // A known class with a changed field type, a field that is gone, an array that is gone,
  // and an empty array.
  PutLString(*s, "TTestHolder");
  s->WriteInt(5);
  PutLString(*s, "I");
  PutLString(*s, "Short");
  s->WriteShort(300);
  PutLString(*s, "Gone");
  PutLString(*s, "Int");
  s->WriteInt(9);
  PutLString(*s, "Old");
  PutLString(*s, "Int[]");
  s->WriteInt(3);
  for (int32_t v : {1, 2, 3}) s->WriteInt(v);
  PutLString(*s, "Ints");
  PutLString(*s, "Int[]");
  s->WriteInt(0);
  PutLString(*s, "Text");
  PutLString(*s, "String");
  PutLString(*s, "kept");

  Rewind(s);
  EXPECT_EQ(ReadObject(*s), nullptr);
  auto holder = std::dynamic_pointer_cast<TTestHolder>(ReadObject(*s));
  ASSERT_NE(holder, nullptr);
  EXPECT_TRUE(s->Eof());
  EXPECT_EQ(holder->I, 300);
  EXPECT_EQ(holder->Ints,
            std::vector<int32_t>{5});  // an empty array leaves the field as constructed
  EXPECT_EQ(holder->Text, "kept");

  EXPECT_EQ(CountLog("ReadObject() :: WARNING: reading unknown Type \"TNoSuchThing\""), 1);
  EXPECT_EQ(
      CountLog(
          "ReadObject() :: WARNING: reading unknown Field \"Speed:Int\" for Type \"TNoSuchThing\""),
      1);
  EXPECT_EQ(CountLog("Value: 5"), 1);
  EXPECT_EQ(CountLog("ReadObject() :: WARNING: reading unknown Field \"Name:String\" for Type "
                     "\"TNoSuchThing\""),
            1);
  EXPECT_EQ(CountLog("Value: abc"), 1);
  EXPECT_EQ(CountLog("ReadObject() :: WARNING: reading \"Short\" value for Field \"I:Int\" in Type "
                     "\"TTestHolder\""),
            1);
  EXPECT_EQ(
      CountLog(
          "ReadObject() :: WARNING: reading unknown Field \"Gone:Int\" for Type \"TTestHolder\""),
      1);
  EXPECT_EQ(CountLog("Value: 9"), 1);
  EXPECT_EQ(
      CountLog(
          "ReadObject() :: WARNING: reading unknown Field \"Old:Int[]\" for Type \"TTestHolder\""),
      1);
}

TEST_F(SavegameTest, ActorListBlockWithReferences) {
  ResetActorList(World());
  PStream empty = Memory();
  WriteActorList(*empty, ActorList());
  Rewind(empty);
  EXPECT_EQ(empty->ReadInt(), 7);  // the separators are always written
  for (int i = 0; i < 7; ++i) {
    auto separator = ReadObject(*empty);
    ASSERT_NE(separator, nullptr);
    EXPECT_EQ(separator->ClassName(), "TListSeparator");
    EXPECT_EQ(empty->ReadInt(), 0);
  }
  EXPECT_TRUE(empty->Eof());

  auto target = std::make_shared<TTestTarget>();
  target->Value = 31;
  auto holder = std::make_shared<TTestHolder>();
  holder->Target = target;
  holder->Other = std::make_shared<TTestTarget>();  // not listed: its link is not kept
  ActorList().AddToLayer(holder, 1);
  ActorList().AddToLayer(target, 4);
  PStream s = Memory();
  WriteActorList(*s, ActorList());
  EXPECT_EQ(holder->SerialNumber, 2);
  EXPECT_EQ(target->SerialNumber, 6);
  auto list = ReadActorList(*Rewind(s));
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(s->Eof());
  auto entries = list->Entries();
  ASSERT_EQ(entries.size(), 9u);
  auto holderCopy = std::dynamic_pointer_cast<TTestHolder>(entries[1]);
  auto targetCopy = std::dynamic_pointer_cast<TTestTarget>(entries[5]);
  ASSERT_NE(holderCopy, nullptr);
  ASSERT_NE(targetCopy, nullptr);
  EXPECT_NE(holderCopy, holder);
  EXPECT_EQ(holderCopy->Target, targetCopy);
  EXPECT_EQ(targetCopy->Value, 31);
  EXPECT_EQ(holderCopy->Other, nullptr);
  EXPECT_EQ(holderCopy->ListLink->Object, holderCopy);
  for (size_t i : {0u, 2u, 3u, 4u, 6u, 7u, 8u}) EXPECT_EQ(entries[i], SharedSeparator()) << i;
}

TEST_F(SavegameTest, ReferencesResolveWhateverTheSeparatorLastCarried) {
  // The target ends up with the number that the separator object carries after a second,
  // differently laid out list was written.
  auto target = std::make_shared<TTestTarget>();
  auto holder = std::make_shared<TTestHolder>();
  holder->Target = target;
  ActorList().AddToLayer(target, 7);
  ActorList().AddToLayer(holder, 7);
  PStream first = Memory();
  WriteActorList(*first, ActorList());
  ASSERT_EQ(target->SerialNumber, 8);

  ResetActorList(World());
  ActorList().AddToLayer(std::make_shared<TTestTarget>(), 0);
  PStream second = Memory();
  WriteActorList(*second, ActorList());
  ASSERT_EQ(SharedSeparator()->SerialNumber, 8);

  auto list = ReadActorList(*Rewind(first));
  auto entries = list->Entries();
  ASSERT_EQ(entries.size(), 9u);
  auto holderCopy = std::dynamic_pointer_cast<TTestHolder>(entries[8]);
  ASSERT_NE(holderCopy, nullptr);
  EXPECT_EQ(holderCopy->Target, entries[7]);
}

// --- Quick save ----------------------------------------------------------------------------------

class QuickSaveTest : public SavegameTest {
 protected:
  void SetUp() override {
    SavegameTest::SetUp();
    ASSERT_TRUE(LoadLevel(World()));
    SaveGame(World(), 0);
    TGameState& g = Game();
    g.Score = 1234567;
    g.Timer = 42;
    g.CamX = 12;
    g.GotKey[2] = 1;
    g.MessageActive[5] = 0;
    g.Letters = "BR";
    g.FirePower = 2;
    World().Grid.Tiles[5][5] = 0x1234;
    World().Grid.Mirrors[6][6] = 1;
    World().Player->PosX = 33;
    World().Player->Action = TBraxTovar::Falling;
    World().Player->JumpSpeed = 16;
    Target = std::make_shared<TTestTarget>();
    Target->Value = 77;
    Target->PosY = 500;
    Holder = std::make_shared<TTestHolder>();
    Holder->Text = "saved";
    Holder->Ints = {3};  // the length the class makes it with
    Holder->L = 1ll << 33;
    Holder->Target = Target;
    ActorList().AddToLayer(Target, 4);
    ActorList().AddToLayer(Holder, 5);
    SpawnBraxShot(World(), 10, 100, 1);  // one player shot alive
    ASSERT_EQ(g.PlayerShotsActive, 1);
  }
  // Replaces everything the quick save holds.
  void Scramble() {
    ResetActorList(World());
    NewGameState(World(), false);
    ClearGrids();
    World().Grid.Tiles[1][1] = 0x2000;
    World().Player = nullptr;
    PlacePlayer(2, 2);
  }
  static std::string QuickName() { return QuickSaveFileName(); }

  std::shared_ptr<TTestTarget> Target;
  std::shared_ptr<TTestHolder> Holder;
};

TEST_F(QuickSaveTest, RoundTripRestoresTheWholeLevel) {
  const uint64_t hash = WorldStateHash(World());
  const std::string layout = [] {
    std::string out;
    for (const PActorListEntry& e : ActorList().Entries()) out += e->ClassName() + " ";
    return out;
  }();
  QuickSave(World());
  ASSERT_TRUE(std::filesystem::exists(QuickName()));
  std::filesystem::remove(SavegameFileName(0));
  Scramble();
  ASSERT_NE(WorldStateHash(World()), hash);

  QuickLoad(World());
  EXPECT_EQ(WorldStateHash(World()), hash);
  std::string loaded;
  for (const PActorListEntry& e : ActorList().Entries()) loaded += e->ClassName() + " ";
  EXPECT_EQ(loaded, layout);
  EXPECT_EQ(World().Grid.Tiles[5][5], 0x1234);
  EXPECT_EQ(World().Grid.Tiles[1][1], 0);
  EXPECT_EQ(World().Grid.Mirrors[6][6], 1);
  EXPECT_EQ(World().Grid.Mirrors[5][20], 1);
  EXPECT_EQ(Game().Letters, "BR");
  EXPECT_EQ(Game().Score, 1234567);
  EXPECT_EQ(Game().PlayerShotsActive, 1);  // the shot of the saved level is still counted
  EXPECT_EQ(Game().MessageActive[5], 0);

  // The player global is the loaded player, with its frames rebuilt.
  auto players = Listed("TBraxTovar");
  ASSERT_EQ(players.size(), 1u);
  EXPECT_EQ(World().Player, players[0]);
  EXPECT_EQ(World().Player->PosX, 33);
  EXPECT_EQ(World().Player->Frames.size(), 46u);
  // The reference leads to the loaded target object.
  auto holders = Listed("TTestHolder");
  auto targets = Listed("TTestTarget");
  ASSERT_EQ(holders.size(), 1u);
  ASSERT_EQ(targets.size(), 1u);
  auto holder = std::dynamic_pointer_cast<TTestHolder>(holders[0]);
  EXPECT_NE(holder, Holder);
  EXPECT_EQ(holder->Target, targets[0]);
  EXPECT_EQ(holder->Text, "saved");
  EXPECT_EQ(holder->L, 1ll << 33);
  // The restart point came back from inside the quick save.
  EXPECT_NE(ReadSavegame(SavegameFileName(0)), nullptr);
  // The layers work on in the loaded list.
  auto late = std::make_shared<TTestTarget>();
  ActorList().AddToLayer(late, 3);
  EXPECT_EQ(LayerOf(late.get()), 3);
  EXPECT_EQ(LayerOf(holder.get()), 5);
}

TEST_F(QuickSaveTest, FileHoldsAllEntriesSeparatorsIncluded) {
  QuickSave(World());
  PStream s = LittleEndianStream(ReadStream(QuickName()));
  ASSERT_NE(s, nullptr);
  auto record = ReadSavegame(*s);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->Score, 0);  // the automatic slot as written at the level start
  EXPECT_EQ(s->Pos(), 46);
  s->Seek(46 + 34560);
  auto state = ReadObject(*s);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->ClassName(), "TGameState");
  int32_t count = s->ReadInt();
  EXPECT_GE(count, 7);
  EXPECT_EQ(size_t(count), ActorList().Count());
}

TEST_F(QuickSaveTest, DamagedFilesChangeNothing) {
  QuickSave(World());
  const auto good = ReadBytes(QuickName());
  const std::vector<uint8_t> automatic = ReadBytes(SavegameFileName(0));
  std::vector<std::vector<uint8_t>> damaged;
  const size_t objects = 46 + 34560;
  ASSERT_GT(good.size(), objects + 100);
  for (size_t cut : {size_t(0), size_t(30), size_t(46 + 1000), objects + 10,
                     objects + (good.size() - objects) / 2, good.size() - 1})
    damaged.emplace_back(good.begin(), good.begin() + std::ptrdiff_t(cut));
  auto huge = good;
  huge[46 + 34560] = 0xFF;  // the game state's class name length becomes huge
  huge[46 + 34560 + 3] = 0x7F;
  damaged.push_back(huge);

  Scramble();
  const uint64_t hash = WorldStateHash(World());
  const PGameState state = World().State;
  const PBraxTovar player = World().Player;
  for (size_t i = 0; i < damaged.size(); ++i) {
    TTempDir::Write(QuickName(), damaged[i]);
    QuickLoad(World());
    EXPECT_EQ(WorldStateHash(World()), hash) << i;
    EXPECT_EQ(World().State, state) << i;
    EXPECT_EQ(World().Player, player) << i;
    EXPECT_TRUE(player->IsListed()) << i;
    EXPECT_EQ(ReadBytes(SavegameFileName(0)), automatic) << i;
  }
  EXPECT_EQ(CountLog("ERROR :: QuickLoad :: cannot read \"" + QuickName() + "\""),
            int(damaged.size()));

  // No file: nothing at all.
  std::filesystem::remove(QuickName());
  QuickLoad(World());
  EXPECT_EQ(WorldStateHash(World()), hash);
}

// A quick save is checked as a whole against what each class can hold: one value the tick
// cannot survive (an int32 extreme, an index past its array, an array of another length)
// refuses the file with a log line naming class and field, and nothing is replaced; so does
// a level without its one hero.
TEST_F(QuickSaveTest, ValuesTheClassesCannotHoldRefuseTheFile) {
  auto dust = CreateObject("TDust");
  auto belt = CreateObject("TConveyorBelt");
  auto hole = CreateObject("TKeyHole");
  ASSERT_TRUE(dust && belt && hole);
  for (const auto& o : {dust, belt, hole}) ActorList().AddToLayer(o, 4);
  TGameState& g = Game();
  const int32_t height = World().Player->Height;
  struct TCase {
    std::string Problem;
    std::function<void(bool)> Damage;  // false mends
  };
  const std::vector<TCase> cases = {
      {"TBraxTovar.Height = 2147483647 (allowed 0 to 1440)",
       [&](bool d) { World().Player->Height = d ? INT32_MAX : height; }},
      {"TGameState.Timer = 2147483647 (allowed 0 to 1073741824)",
       [&](bool d) { g.Timer = d ? INT32_MAX : 42; }},
      {"TDust.CurrentFrame = 2147483647 (allowed 0 to 721)",
       [&](bool d) { SetObjectField(*dust, "CurrentFrame", d ? INT32_MAX : 1); }},
      {"TConveyorBelt.EndX = -2147483648 (allowed -128 to 256)",
       [&](bool d) { SetObjectField(*belt, "EndX", d ? INT32_MIN : 3); }},
      {"TKeyHole.KeyNum = 200 (allowed 0 to 3)",
       [&](bool d) { SetObjectField(*hole, "KeyNum", d ? 200 : 1); }},
      {"TGameState.GotKey has 5 elements (the class holds 4)",
       [&](bool d) { g.GotKey.resize(d ? 5 : 4); }},
      {"0 heroes (a level has one)",
       [&](bool d) {
         if (d)
           World().Player->Remove();
         else
           ActorList().AddToLayer(World().Player, LayerHero);
       }},
  };
  std::vector<std::vector<uint8_t>> damaged;
  for (const TCase& c : cases) {
    c.Damage(true);
    QuickSave(World());
    c.Damage(false);
    damaged.push_back(ReadBytes(QuickName()));
  }
  QuickSave(World());
  const auto good = ReadBytes(QuickName());
  const uint64_t saved = WorldStateHash(World());

  Scramble();
  const uint64_t hash = WorldStateHash(World());
  const PGameState state = World().State;
  for (size_t i = 0; i < cases.size(); ++i) {
    TTempDir::Write(QuickName(), damaged[i]);
    QuickLoad(World());
    EXPECT_EQ(WorldStateHash(World()), hash) << cases[i].Problem;
    EXPECT_EQ(World().State, state) << cases[i].Problem;
    EXPECT_EQ(CountLog("ERROR :: QuickLoad :: \"" + QuickName() + "\" holds " + cases[i].Problem),
              1)
        << cases[i].Problem;
  }
  TTempDir::Write(QuickName(), good);
  QuickLoad(World());
  EXPECT_EQ(WorldStateHash(World()), saved);
  EXPECT_EQ(Game().GotKey.size(), 4u);
}

TEST_F(QuickSaveTest, LoadingOverALiveShotKeepsTheSavedCount) {
  QuickSave(World());
  SpawnBraxShot(World(), 12, 100, 0);  // the running level fires again before the load
  ASSERT_EQ(Game().PlayerShotsActive, 2);
  QuickLoad(World());
  EXPECT_EQ(Listed("TBraxShot").size(), 1u);
  EXPECT_EQ(Game().PlayerShotsActive, 1);
}

TEST_F(QuickSaveTest, UnexpectedEntriesAreReported) {
  PStream raw = MemoryStream();
  PStream s = LittleEndianStream(raw);
  ReadSavegame(SavegameFileName(0))->WriteToStream(*s);
  for (int i = 0; i < MapRows * MapColumns; ++i) {
    s->WriteShort(0x0020);
    s->WriteByte(0);
  }
  WriteObject(*s, World().State.get());
  s->WriteInt(10);
  TListSeparator separator;
  for (int i = 0; i < 8; ++i) {
    WriteObject(*s, &separator);
    s->WriteInt(0);
  }
  TActorListEntry bare;
  WriteObject(*s, &bare);
  s->WriteInt(0);
  TBraxTovar hero;
  hero.PosX = 99;
  WriteObject(*s, &hero);
  s->WriteInt(0);
  raw->Seek(0);
  TTempDir::Write(QuickName(), raw->ReadAll());

  QuickLoad(World());
  EXPECT_EQ(CountLog("QuickLoad() :: ERROR: unhandled list separator #7"), 1);
  EXPECT_EQ(CountLog("QuickLoad() :: ERROR: object is of unhandled type!"), 1);
  EXPECT_EQ(World().Grid.Tiles[0][0], 0x20);
  ASSERT_NE(World().Player, nullptr);
  EXPECT_EQ(World().Player->PosX, 99);
  EXPECT_EQ(ActorList().Count(), 10u);
}
