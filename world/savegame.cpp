#include "world/savegame.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "data/graphics.h"
#include "data/level_map.h"
#include "data/music.h"
#include "shell/log.h"
#include "shell/places.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/world.h"
#include "world/world_state.h"

namespace {

// A savegame is read from its first 46 to 70 bytes, whatever the file's size.
constexpr int64_t MinimumSavegameSize = 46;
// A string or array longer than this in a quick save is taken as damage, not data.
constexpr int32_t MaxRecordLength = 1 << 20;
// Bound of a quick save file: 32 MB (a level full of objects saves in a few), read once;
// the objects it makes are bounded by its records (MaxRecordLength entries).
constexpr int64_t MaxQuickSaveBytes = int64_t(32) << 20;

std::string ReadLString(TStream& s) {
  int32_t n = s.ReadInt();
  if (n < 0 || n > MaxRecordLength) throw TStreamError("Error reading from stream");
  std::string text(size_t(n), '\0');
  if (n > 0) s.ReadBytes(text.data(), size_t(n));
  return text;
}

void WriteLString(TStream& s, const std::string& text) {
  s.WriteInt(int32_t(text.size()));
  s.WriteString(text);
}

}  // namespace

// --- Savegames --------------------------------------------------------------------------

void TSavegame::WriteToStream(TStream& s) const {
  for (uint16_t v :
       {CamX, CamY, PlayerX, PlayerY, MapNumber, FirePower, GotBoots, GotHooks, Health, GotGlove})
    s.WriteShort(v);
  for (uint16_t h : HintsActive) s.WriteShort(h);
  s.WriteString(std::to_string(Score));
  s.WriteByte(10);
}

bool TSavegame::WriteToFile(const std::string& path) const {
  PStream memory = MemoryStream();
  WriteToStream(*LittleEndianStream(memory));
  memory->Seek(0);
  return WriteFileAtomically(path, memory->ReadAll());
}

namespace {
std::string SavegameName(int slot) {
  return "SAVED" + (slot == 0 ? std::string("T") : std::to_string(slot)) + Options().GameExt;
}
}  // namespace

std::string SavegameFileName(int slot) { return PlayerFile(TPlace::GameDir, SavegameName(slot)); }
std::string SavegameFileToRead(int slot) {
  return PlayerFileToRead(TPlace::GameDir, SavegameName(slot));
}

std::unique_ptr<TSavegame> ReadSavegame(TStream& raw) {
  TStream* s = &raw;
  auto save = std::make_unique<TSavegame>();
  try {
    uint16_t* fields[10] = {&save->CamX,      &save->CamY,      &save->PlayerX,  &save->PlayerY,
                            &save->MapNumber, &save->FirePower, &save->GotBoots, &save->GotHooks,
                            &save->Health,    &save->GotGlove};
    for (uint16_t* f : fields) *f = s->ReadShort();
    for (uint16_t& h : save->HintsActive) h = s->ReadShort();
    // The score: decimal digits up to a line feed.
    std::string digits;
    for (int i = 0; i < 24; ++i) {
      uint8_t c = s->ReadByte();
      if (c == 10) break;
      digits += char(c);
    }
    save->Score = std::strtoll(digits.c_str(), nullptr, 10);
  } catch (const TStreamError&) {
    return nullptr;
  }
  // The score the game state can hold (its additions cannot overflow from there).
  if (save->Score < 0 || save->Score > DefaultLongBound) return nullptr;
  return save;
}

std::unique_ptr<TSavegame> ReadSavegame(const std::string& path) {
  if (FileSize(path) < MinimumSavegameSize) return nullptr;
  PStream stream = LittleEndianStream(ReadStream(path));
  if (!stream) return nullptr;
  auto save = ReadSavegame(*stream);
  stream->Close();
  return save;
}

void SaveGame(TWorld& world, int slot) {
  if (slot < 0 || slot > 9) {
    LogLine("ERROR :: SaveGame() called with unhandled number!");
    return;
  }
  if (!world.GameStarted) return;
  const TGameState& g = *world.State;
  TSavegame save;
  save.CamX = uint16_t(g.CamX);
  save.CamY = uint16_t(g.CamY);
  if (world.Player) {
    save.PlayerX = uint16_t(world.Player->PosX - g.CamX + 2);
    save.PlayerY = uint16_t(world.Player->PosY - 16 * g.CamY + 16);
  }
  save.MapNumber = g.MapOn;
  save.FirePower = g.FirePower;
  save.GotBoots = g.GotBoots;
  save.GotHooks = g.GotHooks;
  save.Health = g.Health;
  save.GotGlove = g.GotGlove;
  for (size_t i = 0; i < size_t(HintCount) && i < g.MessageActive.size(); ++i)
    save.HintsActive[i] = g.MessageActive[i];
  save.Score = g.ShownScore();  // the saved score is its low 32 bits, unsigned
  save.WriteToFile(SavegameFileName(slot));
}

bool LoadGame(TWorld& world, int slot) {
  if (slot < 0 || slot > 9) {
    LogLine("ERROR :: LoadGame() called with unhandled number!");
    return false;
  }
  std::string name = SavegameFileToRead(slot);
  auto save = ReadSavegame(name);
  if (!save) {
    LogLine("ERROR :: couldn't load savegame \"" + name + "\"");
    return false;
  }
  NewGameState(world, true);
  TGameState& g = *world.State;
  g.MapOn = save->MapNumber;
  g.FirePower = save->FirePower;
  g.GotBoots = save->GotBoots;
  g.GotHooks = save->GotHooks;
  g.Health = save->Health;
  g.GotGlove = save->GotGlove;
  for (size_t i = 0; i < size_t(HintCount) && i < g.MessageActive.size(); ++i)
    g.MessageActive[i] = save->HintsActive[i];
  g.Score = save->Score;
  if (!LoadLevel(world)) return false;
  if (slot >= 1) SaveGame(world, 0);
  return true;
}

// --- Object records ---------------------------------------------------------------------

namespace {

bool Serialized(TFieldType t) { return t != TFieldType::Reference && t != TFieldType::Other; }

void WriteValue(TStream& s, const TFieldInfo& f, TObject& o) {
  void* p = f.Address(o);
  switch (f.Type) {
    case TFieldType::Byte: s.WriteByte(*static_cast<uint8_t*>(p)); break;
    case TFieldType::Short: s.WriteShort(*static_cast<uint16_t*>(p)); break;
    case TFieldType::Int: s.WriteInt(*static_cast<int32_t*>(p)); break;
    case TFieldType::Long: s.WriteLong(*static_cast<int64_t*>(p)); break;
    case TFieldType::Float: s.WriteFloat(*static_cast<float*>(p)); break;
    case TFieldType::Double: s.WriteDouble(*static_cast<double*>(p)); break;
    case TFieldType::String: WriteLString(s, *static_cast<std::string*>(p)); break;
    case TFieldType::ByteArray: {
      auto v = ArrayElements<uint8_t>(f, o);
      s.WriteInt(int32_t(v.size()));
      for (uint8_t x : v) s.WriteByte(x);
      break;
    }
    case TFieldType::ShortArray: {
      auto v = ArrayElements<uint16_t>(f, o);
      s.WriteInt(int32_t(v.size()));
      for (uint16_t x : v) s.WriteShort(x);
      break;
    }
    case TFieldType::IntArray: {
      auto v = ArrayElements<int32_t>(f, o);
      s.WriteInt(int32_t(v.size()));
      for (int32_t x : v) s.WriteInt(x);
      break;
    }
    default: break;
  }
}

// A primitive or string value read by its stored type name, as decimal text; false when the
// type is not a primitive or a string (nothing read).
bool ReadPrimitiveText(TStream& s, const std::string& type, std::string& text) {
  if (type == "Byte")
    text = std::to_string(s.ReadByte());
  else if (type == "Short")
    text = std::to_string(s.ReadShort());
  else if (type == "Int")
    text = std::to_string(s.ReadInt());
  else if (type == "Long")
    text = std::to_string(s.ReadLong());
  else if (type == "Float")
    text = std::to_string(s.ReadFloat());
  else if (type == "Double")
    text = std::to_string(s.ReadDouble());
  else if (type == "String")
    text = ReadLString(s);
  else
    return false;
  return true;
}

// Sets a field from decimal text (a value stored with another type).
void SetFromText(const TFieldInfo& f, TObject& o, const std::string& text) {
  void* p = f.Address(o);
  int64_t i = std::strtoll(text.c_str(), nullptr, 10);
  switch (f.Type) {
    case TFieldType::Byte: *static_cast<uint8_t*>(p) = uint8_t(i); break;
    case TFieldType::Short: *static_cast<uint16_t*>(p) = uint16_t(i); break;
    case TFieldType::Int: *static_cast<int32_t*>(p) = int32_t(i); break;
    case TFieldType::Long: *static_cast<int64_t*>(p) = i; break;
    case TFieldType::Float: *static_cast<float*>(p) = std::strtof(text.c_str(), nullptr); break;
    case TFieldType::Double: *static_cast<double*>(p) = std::strtod(text.c_str(), nullptr); break;
    case TFieldType::String: *static_cast<std::string*>(p) = text; break;
    default: break;
  }
}

template <class T>
void ReadArray(TStream& s, const TFieldInfo& f, TObject& o, T (TStream::*read)()) {
  int32_t count = s.ReadInt();
  if (count > MaxRecordLength) throw TStreamError("Error reading from stream");
  if (f.FixedLength) {
    // A fixed-size array takes its own length and no other: the record is refused.
    if (count != int32_t(f.FixedLength)) {
      LogLine("ReadObject() :: ERROR: " + o.ClassName() + "." + f.Name + " has " +
              std::to_string(count) + " elements (the class holds " +
              std::to_string(f.FixedLength) + ")");
      throw TStreamError("Error reading from stream");
    }
    for (T& x : ArrayElements<T>(f, o)) x = T((s.*read)());
    return;
  }
  if (count < 1) return;
  std::vector<T> v(static_cast<size_t>(count));
  for (T& x : v) x = T((s.*read)());
  *static_cast<std::vector<T>*>(f.Address(o)) = std::move(v);
}

void ReadValue(TStream& s, const TFieldInfo& f, TObject& o) {
  void* p = f.Address(o);
  switch (f.Type) {
    case TFieldType::Byte: *static_cast<uint8_t*>(p) = s.ReadByte(); break;
    case TFieldType::Short: *static_cast<uint16_t*>(p) = s.ReadShort(); break;
    case TFieldType::Int: *static_cast<int32_t*>(p) = s.ReadInt(); break;
    case TFieldType::Long: *static_cast<int64_t*>(p) = s.ReadLong(); break;
    case TFieldType::Float: *static_cast<float*>(p) = s.ReadFloat(); break;
    case TFieldType::Double: *static_cast<double*>(p) = s.ReadDouble(); break;
    case TFieldType::String: *static_cast<std::string*>(p) = ReadLString(s); break;
    case TFieldType::ByteArray: ReadArray<uint8_t>(s, f, o, &TStream::ReadByte); break;
    case TFieldType::ShortArray: ReadArray<uint16_t>(s, f, o, &TStream::ReadShort); break;
    case TFieldType::IntArray: ReadArray<int32_t>(s, f, o, &TStream::ReadInt); break;
    default: break;
  }
}

// Skips a value of an array type that the class does not hold as such, so that the rest of
// the record is still read correctly.
bool SkipArray(TStream& s, const std::string& type) {
  int width = type == "Byte[]" ? 1 : type == "Short[]" ? 2 : type == "Int[]" ? 4 : 0;
  if (!width) return false;
  int32_t count = s.ReadInt();
  if (count > MaxRecordLength) throw TStreamError("Error reading from stream");
  for (int32_t i = 0; i < count; ++i)
    if (width == 1)
      s.ReadByte();
    else if (width == 2)
      s.ReadShort();
    else
      s.ReadInt();
  return true;
}

}  // namespace

void WriteObject(TStream& s, TObject* object) {
  if (!object) return;
  WriteLString(s, object->ClassName());
  std::vector<const TFieldInfo*> fields;
  for (const TFieldInfo* f : object->Class().AllFields())
    if (Serialized(f->Type)) fields.push_back(f);
  s.WriteInt(int32_t(fields.size()));
  for (const TFieldInfo* f : fields) {
    WriteLString(s, f->Name);
    WriteLString(s, f->TypeName);
    WriteValue(s, *f, *object);
  }
}

PObject ReadObject(TStream& s) {
  std::string className = ReadLString(s);
  if (className.empty()) return nullptr;
  const TClassInfo* cls = FindClass(className);
  PObject object = cls ? cls->Create() : nullptr;
  if (!object) LogLine("ReadObject() :: WARNING: reading unknown Type \"" + className + "\"");
  int32_t count = s.ReadInt();
  if (count < 0 || count > 4096) throw TStreamError("Error reading from stream");
  for (int32_t i = 0; i < count; ++i) {
    std::string name = ReadLString(s);
    std::string type = ReadLString(s);
    const TFieldInfo* f = object ? object->Class().FindField(name) : nullptr;
    if (f && Serialized(f->Type) && f->TypeName == type) {
      ReadValue(s, *f, *object);
      continue;
    }
    if (f && Serialized(f->Type) && type.size() > 2 && type.substr(type.size() - 2) == "[]") {
      // An array stored with another element type: skipped whole.
      LogLine("ReadObject() :: WARNING: reading unhandled Type \"" + type + "\" for Field \"" +
              name + "\" in Type \"" + className + "\"");
      LogLine(" -> NO DATA READ!");
      SkipArray(s, type);
      continue;
    }
    std::string text;
    bool read = ReadPrimitiveText(s, type, text);
    if (!read && SkipArray(s, type)) {
      read = true;
      text = "(array skipped)";
    }
    if (!read) text = "NOTHING (no data was read - this may cause the game to crash!)";
    if (f && Serialized(f->Type)) {
      LogLine("ReadObject() :: WARNING: reading \"" + type + "\" value for Field \"" + name + ":" +
              f->TypeName + "\" in Type \"" + className + "\"");
      if (read) SetFromText(*f, *object, text);
    } else {
      LogLine("ReadObject() :: WARNING: reading unknown Field \"" + name + ":" + type +
              "\" for Type \"" + className + "\"");
      LogLine("Value: " + text);
    }
    if (!read) throw TStreamError("Error reading from stream");  // the rest cannot be trusted
  }
  return cls ? object : nullptr;
}

void WriteActorList(TStream& s, TActorList& list) {
  std::vector<PActorListEntry> entries;
  for (TListLink* l = list.First(); !list.IsEnd(l); l = l->Next.get())
    if (!l->Removed && l->Object) entries.push_back(l->Object);
  // Separators are one shared object: each link is numbered in list order, but the object
  // carries only the last number, which is all a reference to it could name.
  for (size_t i = 0; i < entries.size(); ++i) entries[i]->SerialNumber = int32_t(i + 1);
  s.WriteInt(int32_t(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    TActorListEntry& e = *entries[i];
    if (e.Is<TListSeparator>()) e.SerialNumber = int32_t(i + 1);
    WriteObject(s, &e);
    std::vector<std::pair<std::string, int32_t>> refs;
    for (const TFieldInfo* f : e.Class().AllFields())
      if (f->Type == TFieldType::Reference)
        if (PActorListEntry target = f->GetReference(e))
          refs.emplace_back(f->Name, target->SerialNumber);
    s.WriteInt(int32_t(refs.size()));
    for (auto& [name, serial] : refs) {
      WriteLString(s, name);
      s.WriteInt(serial);
    }
  }
}

std::unique_ptr<TActorList> ReadActorList(TStream& s) {
  struct TReference {
    PActorListEntry ReferringObject;
    std::string FieldName;
    int32_t ReferredSerialNumber;
  };
  auto list = std::make_unique<TActorList>();
  std::vector<TReference> references;
  // Each entry with the serial number it was saved with: the separator links all share one
  // object, whose own number may be left over from another list.
  std::vector<std::pair<PActorListEntry, int32_t>> entries;
  int32_t count = s.ReadInt();
  if (count < 0 || count > MaxRecordLength) throw TStreamError("Error reading from stream");
  for (int32_t i = 0; i < count; ++i) {
    PObject object = ReadObject(s);
    auto entry = std::dynamic_pointer_cast<TActorListEntry>(object);
    int32_t serial = entry ? entry->SerialNumber : 0;
    if (entry && entry->Is<TListSeparator>()) entry = SharedSeparator();  // one separator object
    if (entry) {
      list->Append(entry);
      entries.emplace_back(entry, serial);
    }
    int32_t refs = s.ReadInt();
    if (refs < 0 || refs > 4096) throw TStreamError("Error reading from stream");
    for (int32_t r = 0; r < refs; ++r) {
      std::string name = ReadLString(s);
      int32_t target = s.ReadInt();
      references.push_back({entry, name, target});
    }
  }
  for (const TReference& ref : references) {
    if (!ref.ReferringObject) continue;
    const TFieldInfo* f = ref.ReferringObject->Class().FindField(ref.FieldName);
    if (!f || f->Type != TFieldType::Reference) continue;
    for (const auto& [e, serial] : entries)
      if (serial == ref.ReferredSerialNumber) {
        f->SetReference(*ref.ReferringObject, e);
        break;
      }
  }
  return list;
}

// --- Quick save -------------------------------------------------------------------------

std::string QuickSaveFileName() {
  return PlayerFile(TPlace::WorkDir, "QuickSav" + Options().GameExt);
}

void QuickSave(TWorld& world) {
  auto automatic = ReadSavegame(SavegameFileToRead(0));
  if (!automatic) return;  // damaged or missing restart point: nothing sensible to write
  PStream memory = MemoryStream();
  PStream s = LittleEndianStream(memory);
  automatic->WriteToStream(*s);
  for (int r = 0; r < MapRows; ++r)
    for (int c = 0; c < MapColumns; ++c) {
      s->WriteShort(world.Grid.Tiles[r][c]);
      s->WriteByte(world.Grid.Mirrors[r][c]);
    }
  WriteObject(*s, world.State.get());
  WriteActorList(*s, *world.Actors);
  memory->Seek(0);
  WriteFileAtomically(QuickSaveFileName(), memory->ReadAll());
}

void QuickLoad(TWorld& world) {
  const std::string name = PlayerFileToRead(TPlace::WorkDir, "QuickSav" + Options().GameExt);
  PStream s = LittleEndianStream(ReadStream(name));
  if (!s) return;
  if (s->Size() > MaxQuickSaveBytes) {
    LogLine("ERROR :: QuickLoad :: \"" + QuickSaveFileName() + "\" is larger than 32 MB");
    return;
  }
  // Everything is read before anything of the running game is replaced.
  std::unique_ptr<TSavegame> automatic;
  std::vector<uint16_t> tiles(size_t(MapRows) * MapColumns);
  std::vector<uint8_t> mirrors(size_t(MapRows) * MapColumns);
  PGameState state;
  std::unique_ptr<TActorList> list;
  try {
    automatic = ReadSavegame(*s);
    if (!automatic) throw TStreamError("Error reading from stream");
    for (size_t i = 0; i < tiles.size(); ++i) {
      tiles[i] = s->ReadShort();
      mirrors[i] = s->ReadByte();
    }
    state = std::dynamic_pointer_cast<TGameState>(ReadObject(*s));
    if (!state) throw TStreamError("Error reading from stream");
    list = ReadActorList(*s);
    // Checked as a whole: every field of every object within what its class can hold, so
    // that no saved value can make the tick overflow or index past an array.
    std::string problem = FieldOutOfRange(*state);
    int heroes = 0;
    for (const PActorListEntry& e : list->Entries()) {
      if (problem.empty()) problem = FieldOutOfRange(*e);
      if (e->Is<TBraxTovar>()) ++heroes;
    }
    // The game only ever saves a level with its one hero; without him nothing could be played.
    if (problem.empty() && heroes != 1)
      problem = std::to_string(heroes) + " heroes (a level has one)";
    if (!problem.empty()) {
      LogLine("ERROR :: QuickLoad :: \"" + QuickSaveFileName() + "\" holds " + problem);
      throw TStreamError("Error reading from stream");
    }
  } catch (const TStreamError&) {
    LogLine("ERROR :: QuickLoad :: cannot read \"" + name + "\"");
    return;
  }
  s->Close();
  automatic->WriteToFile(SavegameFileName(0));
  for (int r = 0; r < MapRows; ++r)
    for (int c = 0; c < MapColumns; ++c) {
      world.Grid.Tiles[r][c] = tiles[size_t(r) * MapColumns + size_t(c)];
      world.Grid.Mirrors[r][c] = mirrors[size_t(r) * MapColumns + size_t(c)];
    }
  // The old objects leave under the old game state: a shot's Remove must not lower the
  // loaded state's count of live shots.
  world.Actors->Clear();
  world.State = state;
  world.GameStarted = true;
  world.Teleporters[0] = world.Teleporters[1] = nullptr;
  PBraxTovar player;
  int separators = 0;
  for (const PActorListEntry& e : list->Entries()) {
    if (auto visible = std::dynamic_pointer_cast<TVisibleObject>(e)) visible->InitSpriteFrames();
    if (auto p = std::dynamic_pointer_cast<TBraxTovar>(e)) player = p;
    if (e->ClassName() == "TTeleporter") {
      int64_t index = 0;
      GetObjectField(*e, "TeleIndex", index);
      world.Teleporters[index ? 1 : 0] = std::dynamic_pointer_cast<TInteractiveBackgroundItem>(e);
    }
    if (e->Is<TListSeparator>()) {
      if (separators >= 7)
        LogLine("QuickLoad() :: ERROR: unhandled list separator #" + std::to_string(separators));
      ++separators;
    } else if (!e->Is<TGameObject>()) {
      LogLine("QuickLoad() :: ERROR: object is of unhandled type!");
    }
  }
  list->AdoptSeparators();
  world.SetActors(std::move(list));
  world.Player = player;
  size_t n = world.State->MapOn, e = n & ~size_t(1);
  LoadBackdrops(e < BackdropList.size() ? BackdropList[e] : "",
                e + 1 < BackdropList.size() ? BackdropList[e + 1] : "");
  StartLevelMusic(int(n));
}
