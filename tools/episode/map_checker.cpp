#include "tools/episode/map_checker.h"

#include <algorithm>
#include <deque>
#include <map>
#include <numeric>

#include "actors/mechanics.h"
#include "data/level_map.h"

namespace {

constexpr int Columns = MapColumns;
constexpr int Rows = MapRows;
constexpr int HalfTiles = 2 * MapColumns;  // x of the hero, in object units
constexpr int Pixels = 16 * MapRows;       // y of the hero, in pixels

// A shot flies until it leaves the screen, which is 13 columns wide with the hero 5 to 7
// columns from its left edge: 8 columns is the most it can reach on either side.
constexpr int ShotReach = 8;
constexpr int NoteWalk = 12;  // columns of walking from the start that must stay note-free
constexpr int MinimumStartColumn = 14;
constexpr int MinimumPassable = 3500;
constexpr int MinimumRows = 60;
constexpr int MinimumColumns = 110;
constexpr size_t StateLimit = 3000000;
constexpr size_t ReportedTraps = 8;

constexpr uint16_t CrackedBlock = 0x1800;
constexpr uint16_t BrokenBlock = 0x17E0;
constexpr uint16_t KeyDoorTile = 0x1820;
constexpr uint16_t FakeBridgeLeft = 0x21A0;
constexpr uint16_t FakeBridgeRight = 0x21C0;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((b - 1 - a) / b); }
size_t At(int column, int row) { return size_t(row) * Columns + size_t(column); }
bool IsSolidWord(uint16_t word) { return word >= 0x1800; }

// --- The map as the engine loads it (data/level_map.cpp) ------------------------------

struct TPlaced {
  uint16_t Code;
  int Column, Row;
};

struct TBridge {
  int Column, Row, Width;
};

struct TLoaded {
  std::vector<uint16_t> Words;   // after the load
  std::vector<TPlaced> Objects;  // the codes that spawn objects, in load order
  std::vector<TBridge> Bridges;
};

void Pull(std::vector<uint16_t>& g, int c, int r) {
  uint16_t& cell = g[At(c, r)];
  switch (cell) {
    case 0x3002:
    case 0x3003:
    case 0x3004:
    case 0x3005: return;
    case 0x3001: cell = ElevatorShaftTile; return;
    case 0x3036: cell = ExtenderBridgeTile; return;
    case 0x304C:
    case 0x304D:
    case 0x304E:
    case 0x304F: cell = KeyDoorTile; return;
    case 0x3028:
    case 0x303D:
    case 0x303E:
    case 0x303F: cell = 0; return;
    case 0x3009:
    case 0x3016:
    case 0x301C:
    case 0x3027:
      if (c < Columns - 1) cell = g[At(c + 1, r)];
      return;
    case 0x3007:
    case 0x301A:
    case 0x3025:
    case 0x302C:
    case 0x3058:
      if (r > 0) cell = g[At(c, r - 1)];
      return;
    case 0x3024:
    case 0x3059:
      if (r < Rows - 1) cell = g[At(c, r + 1)];
      return;
    default:
      if (c > 0) cell = g[At(c - 1, r)];
  }
}

TLoaded LoadLikeTheEngine(const std::vector<uint16_t>& words) {
  TLoaded out;
  out.Words = words;
  out.Words.resize(size_t(Rows) * Columns, 0);
  std::vector<uint16_t>& g = out.Words;
  struct TBelt {
    int Column, Row, End;
  };
  std::vector<TBelt> belts;
  for (int r = 0; r < Rows; ++r)
    for (int c = 0; c < Columns; ++c) {
      uint16_t code = g[At(c, r)];
      if (!IsObjectCode(code)) continue;
      switch (code) {
        case 0x3002:
        case 0x3004: {
          uint16_t endCode = code == 0x3002 ? 0x3003 : 0x3005;
          int end = Columns - 1;
          for (int k = c + 1; k < Columns; ++k)
            if (g[At(k, r)] == endCode) {
              end = k;
              break;
            }
          belts.push_back({c, r, end});
          break;
        }
        case 0x3003:
        case 0x3005:
        case 0x3014: break;
        case 0x3019: {
          int k = c;
          for (;;) {
            g[At(k, r)] = FakeBridgeLeft;
            ++k;
            if (k >= Columns || IsSolidWord(g[At(k, r)])) break;
            g[At(k, r)] = FakeBridgeRight;
            ++k;
            if (k >= Columns - 1 || IsSolidWord(g[At(k, r)]) || IsSolidWord(g[At(k + 1, r)])) break;
          }
          if (k - c > 1) out.Bridges.push_back({c, r, k - c});
          break;
        }
        default: out.Objects.push_back({code, c, r});
      }
    }
  for (int r = 0; r < Rows; ++r)
    for (int c = 0; c < Columns; ++c)
      if (IsObjectCode(g[At(c, r)])) Pull(g, c, r);
  // Running belts show their own tiles from start to end (all solid hook ceilings).
  for (const TBelt& b : belts) {
    g[At(b.Column, b.Row)] = BeltStartTile;
    for (int c = b.Column + 1; c < b.End; ++c) g[At(c, b.Row)] = BeltMiddleTile;
    g[At(b.End, b.Row)] = BeltEndTile;
  }
  return out;
}

// --- What the search knows of the level --------------------------------------------------

// Things the hero's body can touch.
enum TTouchKind : uint8_t {
  TouchExit,
  TouchStart,
  TouchDeadly,
  TouchPickup,
  TouchHole,
  TouchCardSlot,
  TouchGloveSlot,
  TouchTeleporter,
  TouchNote
};
struct TTouch {
  uint8_t Kind;
  uint16_t Index;
};

enum TItem : uint8_t { ItemHooks, ItemBoots, ItemGlove, ItemCard, ItemKey };
struct TPickup {
  uint8_t Item, Key;
};
struct TKeyed {
  int Key, Column, Row;
};
struct TElevator {
  int Column, RestRow;
};
struct TCell {
  int Column, Row;
};
struct TExtender {
  int Column, Row, End;  // the bridge fills the columns between Column and End
};
struct TRocket {
  int Column, Row, Ceiling;  // Ceiling: the row its nose breaks, -1 for none
};
struct TTeleporter {
  bool Present = false;
  int X = 0, Y = 0;
};

// The world flags: items held and used, pickups taken, bridge states, blocks broken, rockets
// launched. One byte each; a world is interned by its flags.
enum : size_t {
  FlagHooks,
  FlagBoots,
  FlagGlove,
  FlagCard,
  FlagKey0,
  FlagFieldsOff = FlagKey0 + 4,
  FlagExtended,
  FlagDoor0,
  FlagFirstObject = FlagDoor0 + 4
};

struct TWorld {
  std::string Flags;
  std::vector<uint8_t> Cells;  // bit 0 solid, bit 1 hook ceiling
  uint64_t Broken = 0;         // cracked-block groups
  uint64_t Launched = 0;       // rockets
};

// The hero in one tick: the fields of TBraxTovar that matter for moving. Standing and
// walking behave alike and are one action here.
enum TAction : uint8_t { Grounded, Jumping, Falling, Hanging, SwingingUp };
struct THero {
  int X = 0, Y = 0;
  uint8_t Action = Grounded;
  int Timer = 0, Speed = 0;
  int Elevator = 0, ElevatorRow = 0;  // the elevator off its rest (index + 1) and its top row
  uint32_t World = 0;
};

constexpr int MaxElevators = 15;
constexpr uint32_t MaxWorlds = 4096;  // each holds a copy of the grid

uint64_t Pack(const THero& h) {
  return uint64_t(h.X) | uint64_t(h.Y) << 8 | uint64_t(h.Action) << 19 | uint64_t(h.Timer) << 22 |
         uint64_t(h.Speed + 16) << 26 | uint64_t(h.Elevator) << 32 | uint64_t(h.ElevatorRow) << 36 |
         uint64_t(h.World) << 43;
}

THero Unpack(uint64_t k) {
  THero h;
  h.X = int(k & 0xFF);
  h.Y = int((k >> 8) & 0x7FF);
  h.Action = uint8_t((k >> 19) & 7);
  h.Timer = int((k >> 22) & 15);
  h.Speed = int((k >> 26) & 63) - 16;
  h.Elevator = int((k >> 32) & 15);
  h.ElevatorRow = int((k >> 36) & 127);
  h.World = uint32_t(k >> 43);
  return h;
}

// Open addressing from packed states to their numbers.
class TStateTable {
 public:
  TStateTable() { Grow(1 << 16); }
  // The number of the key, or `next` when it is new (and then stored).
  uint32_t FindOrAdd(uint64_t key, uint32_t next) {
    if (2 * (Count + 1) > Keys.size()) Grow(2 * Keys.size());
    size_t i = Slot(key);
    while (Ids[i] != Empty) {
      if (Keys[i] == key) return Ids[i];
      i = (i + 1) & Mask;
    }
    Keys[i] = key;
    Ids[i] = next;
    ++Count;
    return next;
  }

 private:
  static constexpr uint32_t Empty = 0xFFFFFFFFu;
  std::vector<uint64_t> Keys;
  std::vector<uint32_t> Ids;
  size_t Mask = 0, Count = 0;
  int Shift = 0;
  size_t Slot(uint64_t key) const { return size_t((key * 0x9E3779B97F4A7C15ull) >> Shift); }
  void Grow(size_t size) {
    std::vector<uint64_t> keys(size);
    std::vector<uint32_t> ids(size, Empty);
    std::swap(keys, Keys);
    std::swap(ids, Ids);
    Mask = size - 1;
    Shift = 64;
    for (size_t s = size; s > 1; s >>= 1) --Shift;
    for (size_t i = 0; i < ids.size(); ++i) {
      if (ids[i] == Empty) continue;
      size_t j = Slot(keys[i]);
      while (Ids[j] != Empty) j = (j + 1) & Mask;
      Keys[j] = keys[i];
      Ids[j] = ids[i];
    }
  }
};

struct TStepResult {
  THero Hero;
  bool Valid = true;
  bool UpMatters = false, DownMatters = false, JumpMatters = false;
};

const char* const KeyNames[4] = {"red key", "green key", "blue key", "yellow key"};

class TChecker {
 public:
  TChecker(const std::vector<uint16_t>& words, const std::string& fileName,
           const TMapCheckOptions& options)
      : File(fileName), Options(options), Level(LoadLikeTheEngine(words)) {}

  TMapCheckReport Run() {
    Collect();
    if (Options.LayoutFigures) CheckFigures();
    if (Starts.empty()) return Finish();
    Search();
    if (Options.LayoutFigures) CheckNotes();
    return Finish();
  }

 private:
  std::string File;
  TMapCheckOptions Options;
  TLoaded Level;
  TMapCheckReport Report;

  std::vector<TCell> Starts, Exits, Notes, Fields;
  std::vector<TPickup> Pickups;
  std::vector<TKeyed> Holes, Doors;
  std::vector<TCell> CardSlots, GloveSlots;
  std::vector<TElevator> Elevators;
  std::vector<TExtender> Extenders;
  std::vector<TRocket> Rockets;
  TTeleporter Teleporters[2];
  std::vector<int> ClusterOf;  // per cell, the group of touching cracked blocks; -1 elsewhere
  int Clusters = 0;
  std::vector<int> RocketAt;      // per cell
  std::vector<uint8_t> NearShot;  // per cell: a block or rocket within a shot of this row
  size_t FlagCount = 0;
  bool ItemMatters[4] = {true, true, true, true};

  // Per half-tile column and row, what a hero there touches (offsets into TouchList).
  std::vector<uint32_t> TouchOffsets;
  std::vector<TTouch> TouchList;

  std::deque<TWorld> Worlds;
  std::map<std::string, uint32_t> WorldIds;

  TStateTable Table;
  std::vector<uint64_t> Keys;
  std::vector<uint8_t> Goals;  // bit 0 exit, 1 start, 2 hazard, 3 leaves the map
  std::vector<uint32_t> EdgeFrom, EdgeTo;
  std::vector<uint64_t> Successors;
  size_t FirstCarriedState = 0;
  bool GaveUp = false;

  // The tick being simulated.
  const TWorld* W = nullptr;
  std::string StepFlags;
  bool FlagsChanged = false;
  int LiftColumn = -1, LiftTop = 0, LiftRest = 0;

  std::string Where(int column, int row) const {
    return "column " + std::to_string(column) + " row " + std::to_string(row);
  }
  void Error(const std::string& text) { Report.Errors.push_back(File + ": " + text); }

  size_t PickupFlag(size_t i) const { return FlagFirstObject + i; }
  size_t BridgeFlag(size_t i) const { return FlagFirstObject + Pickups.size() + i; }
  size_t ClusterFlag(size_t i) const {
    return FlagFirstObject + Pickups.size() + Level.Bridges.size() + i;
  }
  size_t RocketFlag(size_t i) const { return ClusterFlag(size_t(Clusters)) + i; }

  // --- Setting up ---------------------------------------------------------------------

  bool BaseSolid(int column, int row) const {
    if (column < 0 || column >= Columns || row < 0 || row >= Rows) return true;
    return IsSolidWord(Level.Words[At(column, row)]);
  }

  void Collect() {
    std::vector<std::vector<TTouch>> touches(size_t(HalfTiles) * Rows);
    // A box of half-tiles [x0, x1) and rows [r0, r1].
    auto mark = [&](int x0, int x1, int r0, int r1, uint8_t kind, size_t index) {
      for (int r = std::max(0, r0); r <= std::min(Rows - 1, r1); ++r)
        for (int x = std::max(0, x0); x < std::min(HalfTiles, x1); ++x)
          touches[size_t(r) * HalfTiles + size_t(x)].push_back({kind, uint16_t(index)});
    };
    auto markCell = [&](int c, int r, uint8_t kind, size_t index) {
      mark(2 * c, 2 * c + 2, r, r, kind, index);
    };
    auto restRow = [&](int c, int r) {
      while (!BaseSolid(c, r + 1)) ++r;
      return r;
    };
    auto addPickup = [&](uint8_t item, uint8_t key, int c, int r) {
      markCell(c, r, TouchPickup, Pickups.size());
      Pickups.push_back({item, key});
    };
    // Items that open nothing in this level are left out: they would only multiply worlds.
    bool hooks = false;
    for (uint16_t w : Level.Words) hooks = hooks || IsHookableWord(w);
    for (const TPlaced& o : Level.Objects) hooks = hooks || o.Code == 0x3036;
    bool cards = false, gloves = false, extenders = false;
    bool keys[4] = {false, false, false, false};
    for (const TPlaced& o : Level.Objects) {
      cards = cards || o.Code == 0x3034;
      gloves = gloves || o.Code == 0x3035;
      extenders = extenders || o.Code == 0x3036;
      if (o.Code >= 0x3048 && o.Code <= 0x304B) keys[o.Code - 0x3048] = true;
    }
    ItemMatters[ItemHooks] = hooks;
    ItemMatters[ItemBoots] = true;
    ItemMatters[ItemGlove] = gloves && extenders;
    ItemMatters[ItemCard] = cards;
    for (const TPlaced& o : Level.Objects) {
      const int c = o.Column, r = o.Row;
      switch (o.Code) {
        case 0x3032: Starts.push_back({c, r}); break;
        case 0x3011:
          mark(2 * c + 1, 2 * c + 3, r - 1, r, TouchExit, Exits.size());
          Exits.push_back({c, r});
          break;
        case 0x3040:
          markCell(c, r, TouchNote, Notes.size());
          Notes.push_back({c, r});
          break;
        // Hazards that hurt on every touch: standing in them kills.
        case 0x3058:
        case 0x3059:
        case 0x302C:
        case 0x301A: markCell(c, r, TouchDeadly, 0); break;
        case 0x3009: mark(2 * c, 2 * c + 6, r, r, TouchDeadly, 0); break;
        case 0x300A: mark(2 * c - 4, 2 * c + 2, r, r, TouchDeadly, 0); break;
        case 0x302B: mark(2 * c, 2 * c + 2, r - 1, r, TouchDeadly, 0); break;
        case 0x3031:
          mark(2 * c, 2 * c + 2, r - 3, r, TouchDeadly, 0);
          break;  // it hops 42 pixels
        // Boxes fall to the floor below them; shot open, they leave their item there.
        case 0x3008:
          if (ItemMatters[ItemHooks]) addPickup(ItemHooks, 0, c, restRow(c, r));
          break;
        case 0x3006: addPickup(ItemBoots, 0, c, restRow(c, r)); break;
        case 0x3020:
          if (ItemMatters[ItemGlove]) addPickup(ItemGlove, 0, c, restRow(c, r));
          break;
        case 0x3033:
          if (ItemMatters[ItemCard]) addPickup(ItemCard, 0, c, restRow(c, r));
          break;
        case 0x3044:
        case 0x3045:
        case 0x3046:
        case 0x3047:
          if (keys[o.Code - 0x3044]) addPickup(ItemKey, uint8_t(o.Code - 0x3044), c, r);
          break;
        case 0x3048:
        case 0x3049:
        case 0x304A:
        case 0x304B:
          markCell(c, r, TouchHole, Holes.size());
          Holes.push_back({o.Code - 0x3048, c, r});
          break;
        case 0x304C:
        case 0x304D:
        case 0x304E:
        case 0x304F: Doors.push_back({o.Code - 0x304C, c, r}); break;
        case 0x3034:
          markCell(c, r, TouchCardSlot, CardSlots.size());
          CardSlots.push_back({c, r});
          break;
        case 0x3035:
          markCell(c, r, TouchGloveSlot, GloveSlots.size());
          GloveSlots.push_back({c, r});
          break;
        case 0x302F:
        case 0x3030: {
          int i = o.Code - 0x302F;
          Teleporters[i] = {true, 2 * (c + 1), 16 * r + 15};
          break;
        }
        case 0x3001:
          if (Elevators.size() < MaxElevators) Elevators.push_back({c, r});
          break;
        case 0x3021: Fields.push_back({c, r}); break;
        case 0x3036: {
          int end = c + 1;
          while (end < Columns && Level.Words[At(end, r)] != ExtenderBridgeTile) ++end;
          Extenders.push_back({c, r, end});
          break;
        }
        case 0x3007: {
          int ceiling = -1;
          for (int p = r - 5; p >= 0; --p)
            if (BaseSolid(c, p)) {
              ceiling = p;
              break;
            }
          Rockets.push_back({c, r, ceiling});
          break;
        }
        default: break;
      }
    }
    for (int i = 0; i < 2; ++i)
      if (Teleporters[i].Present)
        mark(Teleporters[i].X, Teleporters[i].X + 2, Teleporters[i].Y / 16, Teleporters[i].Y / 16,
             TouchTeleporter, size_t(i));
    if (!Starts.empty()) markCell(Starts.back().Column, Starts.back().Row, TouchStart, 0);
    if (Rockets.size() > 64) Rockets.resize(64);

    TouchOffsets.assign(touches.size() + 1, 0);
    for (size_t i = 0; i < touches.size(); ++i) {
      TouchOffsets[i + 1] = TouchOffsets[i] + uint32_t(touches[i].size());
      TouchList.insert(TouchList.end(), touches[i].begin(), touches[i].end());
    }

    // Groups of touching cracked blocks: a shot that reaches one of them breaks them all.
    ClusterOf.assign(size_t(Rows) * Columns, -1);
    for (int r = 0; r < Rows; ++r)
      for (int c = 0; c < Columns; ++c) {
        if (Level.Words[At(c, r)] != CrackedBlock || ClusterOf[At(c, r)] >= 0) continue;
        int id = std::min(Clusters, 63);
        if (Clusters < 64) ++Clusters;
        std::vector<TCell> todo = {{c, r}};
        ClusterOf[At(c, r)] = id;
        while (!todo.empty()) {
          TCell t = todo.back();
          todo.pop_back();
          const TCell next[4] = {{t.Column - 1, t.Row},
                                 {t.Column + 1, t.Row},
                                 {t.Column, t.Row - 1},
                                 {t.Column, t.Row + 1}};
          for (const TCell& n : next) {
            if (n.Column < 0 || n.Column >= Columns || n.Row < 0 || n.Row >= Rows) continue;
            if (Level.Words[At(n.Column, n.Row)] != CrackedBlock ||
                ClusterOf[At(n.Column, n.Row)] >= 0)
              continue;
            ClusterOf[At(n.Column, n.Row)] = id;
            todo.push_back(n);
          }
        }
      }
    RocketAt.assign(size_t(Rows) * Columns, -1);
    for (size_t i = 0; i < Rockets.size(); ++i)
      RocketAt[At(Rockets[i].Column, Rockets[i].Row)] = int(i);
    NearShot.assign(size_t(Rows) * Columns, 0);
    for (int r = 0; r < Rows; ++r)
      for (int c = 0; c < Columns; ++c) {
        if (ClusterOf[At(c, r)] < 0 && RocketAt[At(c, r)] < 0) continue;
        for (int k = std::max(0, r - 1); k <= r; ++k)
          for (int x = std::max(0, c - ShotReach - 1);
               x <= std::min(Columns - 1, c + ShotReach + 1); ++x)
            NearShot[At(x, k)] = 1;
      }
    FlagCount = RocketFlag(Rockets.size());
  }

  // --- Worlds ------------------------------------------------------------------------

  uint32_t InternWorld(const std::string& flags) {
    auto it = WorldIds.find(flags);
    if (it != WorldIds.end()) return it->second;
    if (Worlds.size() >= MaxWorlds) {
      GaveUp = true;
      return 0;
    }
    TWorld w;
    w.Flags = flags;
    std::vector<uint16_t> g = Level.Words;
    for (const TKeyed& d : Doors)
      if (flags[FlagDoor0 + size_t(d.Key)] && d.Column > 0)
        g[At(d.Column, d.Row)] = g[At(d.Column - 1, d.Row)];
    if (flags[FlagExtended])
      for (const TExtender& e : Extenders)
        for (int c = e.Column + 1; c < e.End; ++c) g[At(c, e.Row)] = ExtenderBridgeTile;
    for (size_t i = 0; i < Level.Bridges.size(); ++i) {
      const TBridge& b = Level.Bridges[i];
      if (flags[BridgeFlag(i)] < 4) continue;
      for (int c = b.Column; c < b.Column + b.Width; ++c)
        g[At(c, b.Row)] = b.Row > 0 ? g[At(c, b.Row - 1)] : 0;
    }
    for (int i = 0; i < Clusters; ++i)
      if (flags[ClusterFlag(size_t(i))]) w.Broken |= uint64_t(1) << i;
    if (w.Broken)
      for (size_t p = 0; p < g.size(); ++p)
        if (ClusterOf[p] >= 0 && (w.Broken >> ClusterOf[p] & 1)) g[p] = BrokenBlock;
    for (size_t i = 0; i < Rockets.size(); ++i) {
      if (!flags[RocketFlag(i)]) continue;
      w.Launched |= uint64_t(1) << i;
      const TRocket& k = Rockets[i];
      if (k.Row + 1 < Rows)
        g[At(k.Column, k.Row + 1)] = k.Row + 2 < Rows ? g[At(k.Column, k.Row + 2)] : 0;
      if (k.Ceiling >= 0) g[At(k.Column, k.Ceiling)] = g[At(k.Column, k.Ceiling + 1)];
    }
    w.Cells.resize(g.size());
    for (size_t p = 0; p < g.size(); ++p)
      w.Cells[p] = uint8_t((IsSolidWord(g[p]) ? 1 : 0) | (IsHookableWord(g[p]) ? 2 : 0));
    Worlds.push_back(std::move(w));
    uint32_t id = uint32_t(Worlds.size() - 1);
    WorldIds.emplace(flags, id);
    return id;
  }

  char Flag(size_t i) const { return FlagsChanged ? StepFlags[i] : W->Flags[i]; }
  void SetFlag(size_t i, char value) {
    if (Flag(i) == value) return;
    if (!FlagsChanged) {
      StepFlags = W->Flags;
      FlagsChanged = true;
    }
    StepFlags[i] = value;
  }

  // --- The engine's tests on the grid (data/level_map.cpp, world/player.cpp) ---------

  void Enter(const THero& h) {
    W = &Worlds[h.World];
    FlagsChanged = false;
    SyncLift(h);
  }
  void SyncLift(const THero& h) {
    if (h.Elevator) {
      LiftColumn = Elevators[size_t(h.Elevator - 1)].Column;
      LiftTop = h.ElevatorRow;
      LiftRest = Elevators[size_t(h.Elevator - 1)].RestRow;
    } else {
      LiftColumn = -1;
    }
  }
  bool Solid(int x, int y) const {
    if (x < 0 || x >= HalfTiles || y < 0 || y >= Pixels) return true;
    int c = x >> 1, r = y >> 4;
    if (W->Cells[At(c, r)] & 1) return true;
    return c == LiftColumn && r >= LiftTop && r < LiftRest;  // a raised elevator's column
  }
  bool Hook(int x, int y) const {
    if (x < 0 || x >= HalfTiles || y < 0 || y >= Pixels) return false;
    return (W->Cells[At(x >> 1, y >> 4)] & 2) != 0;
  }
  bool BlockedDown(const THero& h) const { return Solid(h.X, h.Y + 1) || Solid(h.X + 1, h.Y + 1); }
  bool BlockedUp(const THero& h) const { return Solid(h.X, h.Y - 32) || Solid(h.X + 1, h.Y - 32); }
  // The engine tests every pixel from Y - 31 to Y - 7; one per row decides the same.
  bool BlockedSide(const THero& h, int x) const {
    for (int r = FloorDiv(h.Y - 31, 16); r <= FloorDiv(h.Y - 7, 16); ++r)
      if (Solid(x, std::max(h.Y - 31, 16 * r))) return true;
    return false;
  }

  void Land(THero& h) const {
    h.Action = Grounded;
    h.Timer = 0;
    if (Solid(h.X, h.Y) || Solid(h.X + 1, h.Y)) h.Y = 16 * (h.Y / 16 - 1) + 15;
  }
  void StartFalling(THero& h) const {
    if (BlockedDown(h)) {
      Land(h);
      return;
    }
    h.Timer = 0;
    h.Action = Falling;
    h.Speed = 8;
  }
  void HitHead(THero& h) const {
    int y = h.Y - 39;
    if (Flag(FlagHooks) && (Hook(h.X, y) || Hook(h.X + 1, y))) {
      h.Y = 16 * (y / 16) + 32 + 15;
      h.Action = Hanging;
      h.Timer = 0;
      return;
    }
    if (BlockedDown(h)) {
      Land(h);
    } else {
      h.Y += 8;
      StartFalling(h);
    }
  }

  // TBraxTovar::MyUpdate. A fall turns fast (JumpSpeed 16) once the hero is low on the
  // screen, which hangs on the camera; the search keeps every fall slow. A slow fall lands
  // on every floor a fast one lands on, and drifts further sideways.
  void MyUpdate(THero& h) const {
    switch (h.Action) {
      case Grounded:
        if (!BlockedDown(h)) {
          h.Y += 8;
          StartFalling(h);
        }
        break;
      case Hanging:
        if (!Hook(h.X, h.Y - 32) && !Hook(h.X + 1, h.Y - 32)) {
          if (BlockedDown(h)) {
            Land(h);
          } else {
            StartFalling(h);
            h.Y += 8;
          }
        }
        break;
      case Jumping:
        ++h.Timer;
        if (h.Timer > 9) {
          StartFalling(h);
          h.Y += 8;
        } else {
          int y = h.Y - 39;
          if (Solid(h.X, y) || Solid(h.X + 1, y)) {
            HitHead(h);
          } else if (h.Speed <= -2) {
            h.Y += h.Speed;
            h.Speed += 2;
          } else if (h.Y % 16 != 15) {
            h.Y -= 1;
          }
        }
        if (BlockedDown(h) && h.Action != Hanging) Land(h);
        break;
      case Falling:
        if (BlockedDown(h)) {
          Land(h);
          break;
        }
        h.Y += h.Speed;
        if (BlockedDown(h)) Land(h);
        break;
      case SwingingUp:
        if (h.Timer < 3) {
          h.Y -= 16;
          ++h.Timer;
          if (h.Timer == 3) h.Action = Grounded;
        }
        break;
      default: break;
    }
  }

  // Calls `visit` for everything the hero's body touches (TActor::CollidesWith: the hero's
  // box is half-tiles X and X + 1, pixels Y - 31 to Y - 8).
  template <class F>
  void ForEachTouch(int x, int y, F visit) const {
    int r0 = std::max(0, FloorDiv(y - 31, 16)), r1 = std::min(Rows - 1, FloorDiv(y - 8, 16));
    for (int hx = std::max(0, x); hx <= std::min(HalfTiles - 1, x + 1); ++hx)
      for (int r = r0; r <= r1; ++r) {
        size_t i = size_t(r) * HalfTiles + size_t(hx);
        for (uint32_t t = TouchOffsets[i]; t < TouchOffsets[i + 1]; ++t) visit(TouchList[t]);
      }
  }
  static bool Touches(int x0, int x1, int row, const THero& h) {
    return h.X < x1 && h.X + 2 > x0 && 16 * row <= h.Y - 8 && 16 * row + 15 >= h.Y - 31;
  }

  int ElevatorUnder(const THero& h) const {
    if (h.Action == Hanging) return -1;
    for (size_t e = 0; e < Elevators.size(); ++e) {
      int row = h.Elevator == int(e) + 1 ? h.ElevatorRow : Elevators[e].RestRow;
      if (h.X == 2 * Elevators[e].Column && h.Y == 16 * row - 1) return int(e);
    }
    return -1;
  }

  // One tick of TBraxTovar::ActOnInput and of the objects that act on the hero after it.
  // Ignored: the turn that a change of direction costs, the jump key having to be released
  // between jumps, damage, enemies, wind and belt pushes.
  TStepResult Step(const THero& start, int dx, bool up, bool down, bool jump) {
    TStepResult out;
    THero h = start;
    Enter(h);
    MyUpdate(h);
    const int startX = h.X;
    if (dx < 0 && !BlockedSide(h, h.X - 1)) --h.X;
    if (dx > 0 && !BlockedSide(h, h.X + 2)) ++h.X;
    const int lastDeltaX = h.X - startX;

    const int elevator = ElevatorUnder(h);
    bool usable = false;
    ForEachTouch(h.X, h.Y, [&](TTouch t) {
      usable = usable || t.Kind == TouchHole || t.Kind == TouchCardSlot ||
               t.Kind == TouchGloveSlot || t.Kind == TouchTeleporter;
    });
    out.UpMatters = elevator >= 0 || usable || h.Action == Hanging;
    if (up) {
      if (elevator >= 0) {
        if (BlockedUp(h)) {
          HitHead(h);
        } else {
          int row =
              h.Elevator == elevator + 1 ? h.ElevatorRow : Elevators[size_t(elevator)].RestRow;
          h.Y -= 16;
          h.Elevator = elevator + 1;
          h.ElevatorRow = row - 1;
          SyncLift(h);
        }
      }
      const bool upOnly = dx == 0 && !jump;
      int teleportTo = -1;
      ForEachTouch(h.X, h.Y, [&](TTouch t) {
        switch (t.Kind) {
          case TouchHole: {
            size_t k = size_t(Holes[t.Index].Key);
            if (Flag(FlagKey0 + k) && !Flag(FlagDoor0 + k)) {
              SetFlag(FlagDoor0 + k, 1);
              SetFlag(FlagKey0 + k, 0);
            }
            break;
          }
          case TouchCardSlot:
            if (Flag(FlagCard) && !Flag(FlagFieldsOff)) {
              SetFlag(FlagFieldsOff, 1);
              SetFlag(FlagCard, 0);
            }
            break;
          case TouchGloveSlot:
            if (Flag(FlagGlove)) SetFlag(FlagExtended, 1);
            break;
          case TouchTeleporter:
            if (upOnly && Teleporters[1 - t.Index].Present) teleportTo = 1 - t.Index;
            break;
          default: break;
        }
      });
      // He arrives after eight ticks of lightning, in which he keeps moving where he was;
      // the search lets him arrive standing, whatever he was doing.
      if (teleportTo >= 0) {
        h.X = Teleporters[teleportTo].X;
        h.Y = Teleporters[teleportTo].Y;
        h.Action = Grounded;
        h.Timer = h.Speed = 0;
      }
      if (h.Action == Hanging) {
        if (Solid(h.X, h.Y - 48) || Solid(h.X + 1, h.Y - 48)) {
          // bumps his head
        } else if (Solid(h.X, h.Y - 64) || Solid(h.X + 1, h.Y - 64)) {
          StartFalling(h);
        } else {
          h.Action = SwingingUp;
          h.Timer = 0;
        }
      }
    }
    out.DownMatters = h.Action == Hanging;
    if (down && h.Action == Hanging) StartFalling(h);
    out.JumpMatters = h.Action == Grounded;
    if (jump && h.Action == Grounded) {
      h.Timer = 0;
      h.Speed = Flag(FlagBoots) ? -15 : -13;
      h.Action = Jumping;
    }

    // The objects' turn: force fields push back, fake bridges count steps, a left elevator
    // sinks, pickups are taken.
    if (!Flag(FlagFieldsOff))
      for (const TCell& f : Fields) {
        if (lastDeltaX > 0 && Touches(2 * f.Column - 1, 2 * f.Column + 1, f.Row, h)) --h.X;
        if (lastDeltaX < 0 && Touches(2 * f.Column + 1, 2 * f.Column + 3, f.Row, h)) ++h.X;
      }
    for (size_t i = 0; i < Level.Bridges.size(); ++i) {
      const TBridge& b = Level.Bridges[i];
      const bool on =
          16 * b.Row == h.Y + 1 && 2 * b.Column - 1 <= h.X && h.X <= 2 * b.Column - 1 + 2 * b.Width;
      const char state = Flag(BridgeFlag(i));
      char next = state;
      if (state == 0 && on) next = 1;
      if (state == 1 && !on) next = 2;
      if (state == 2 && on) next = 3;
      if (state == 3) next = 4;
      SetFlag(BridgeFlag(i), next);
    }
    if (h.Elevator) {
      const TElevator& e = Elevators[size_t(h.Elevator - 1)];
      bool on = h.Action != Hanging && h.X == 2 * e.Column && h.Y == 16 * h.ElevatorRow - 1;
      if (!on && ++h.ElevatorRow >= e.RestRow) h.Elevator = h.ElevatorRow = 0;
    }
    if (h.X < 0 || h.X >= HalfTiles || h.Y < 0 || h.Y >= Pixels) {
      out.Valid = false;
      return out;
    }
    // The hooks, boots and glove stay once taken; a card or key is spent, so its pickup
    // remembers that it is gone.
    ForEachTouch(h.X, h.Y, [&](TTouch t) {
      if (t.Kind != TouchPickup) return;
      const TPickup& p = Pickups[t.Index];
      switch (p.Item) {
        case ItemHooks: SetFlag(FlagHooks, 1); return;
        case ItemBoots: SetFlag(FlagBoots, 1); return;
        case ItemGlove: SetFlag(FlagGlove, 1); return;
        default: break;
      }
      if (Flag(PickupFlag(t.Index))) return;
      SetFlag(PickupFlag(t.Index), 1);
      SetFlag(p.Item == ItemCard ? FlagCard : FlagKey0 + p.Key, 1);
    });
    if (FlagsChanged) h.World = InternWorld(StepFlags);
    BreakWhatShotsReach(h);
    out.Hero = h;
    return out;
  }

  // The cracked-block groups and rockets a shot of the hero reaches (TBraxShot::Update):
  // the shot flies along the row of his upper body and breaks cracked blocks in that row
  // and the one below.
  void ShotTargets(const THero& h, uint64_t& clusters, uint64_t& rockets) const {
    clusters = rockets = 0;
    const int shotY = 16 * ((h.Y - 29) / 16) + 19;
    const int k = FloorDiv(shotY - 8, 16);
    if (k < 0 || k >= Rows || !NearShot[At(std::min(Columns - 1, h.X / 2), k)]) return;
    const TWorld& w = Worlds[h.World];
    auto hits = [&](int c) {
      for (int row = k; row <= std::min(k + 1, Rows - 1); ++row) {
        int id = ClusterOf[At(c, row)];
        if (id >= 0 && !(w.Broken >> id & 1)) {
          clusters |= uint64_t(1) << id;
          return true;
        }
      }
      for (int row = k; row <= std::min(k + 1, Rows - 1); ++row) {
        int id = RocketAt[At(c, row)];
        if (id >= 0 && !(w.Launched >> id & 1)) {
          rockets |= uint64_t(1) << id;
          return true;
        }
      }
      return (w.Cells[At(c, k)] & 1) != 0;
    };
    for (int c = FloorDiv(h.X + 2, 2), n = 0; c < Columns && n < ShotReach; ++c, ++n)
      if (hits(c)) break;
    for (int c = FloorDiv(h.X - 1, 2), n = 0; c >= 0 && n < ShotReach; --c, ++n)
      if (hits(c)) break;
  }

  // The hero shoots every cracked block and rocket as soon as he can: in the state that
  // reaches a group of blocks they are gone, a rocket has flown and broken the floor under
  // it and the ceiling above. (Were these choices kept open, every subset of them would
  // be a world of its own.)
  void BreakWhatShotsReach(THero& h) {
    if (!Clusters && Rockets.empty()) return;
    for (int round = 0; round < 128; ++round) {
      uint64_t clusters = 0, rockets = 0;
      ShotTargets(h, clusters, rockets);
      if (!clusters && !rockets) return;
      std::string flags = Worlds[h.World].Flags;
      for (int i = 0; i < Clusters; ++i)
        if (clusters >> i & 1) flags[ClusterFlag(size_t(i))] = 1;
      for (size_t i = 0; i < Rockets.size(); ++i)
        if (rockets >> i & 1) flags[RocketFlag(i)] = 1;
      h.World = InternWorld(flags);
    }
  }

  // --- The search ----------------------------------------------------------------------

  uint8_t GoalOf(const THero& h) const {
    uint8_t goal = 0;
    ForEachTouch(h.X, h.Y, [&](TTouch t) {
      if (t.Kind == TouchExit) goal |= 1;
      if (t.Kind == TouchStart) goal |= 2;
      if (t.Kind == TouchDeadly) goal |= 4;
    });
    return goal;
  }

  static THero Normal(THero h) {
    if (h.Action == Grounded || h.Action == Hanging) h.Timer = h.Speed = 0;
    if (h.Action == Falling) h.Timer = 0, h.Speed = 8;
    if (h.Action == SwingingUp) h.Speed = 0;
    if (!h.Elevator) h.ElevatorRow = 0;
    return h;
  }

  uint32_t Add(uint64_t key) {
    uint32_t id = Table.FindOrAdd(key, uint32_t(Keys.size()));
    if (id == Keys.size()) {
      Keys.push_back(key);
      Goals.push_back(GoalOf(Unpack(key)));
    }
    return id;
  }

  void Expand(uint32_t id) {
    const THero s = Unpack(Keys[id]);
    std::vector<uint64_t>& next = Successors;
    next.clear();
    auto emit = [&](const TStepResult& r) {
      // A move that takes the hero out of the map (the engine lets him into walls: he moves
      // while he swings up, and a landing inside a wall lifts him a row) is not followed;
      // the search counts it as a way out rather than judge where it ends.
      if (!r.Valid) {
        Goals[id] |= 8;
        return;
      }
      uint64_t key = Pack(Normal(r.Hero));
      if (key != Keys[id] && std::find(next.begin(), next.end(), key) == next.end())
        next.push_back(key);
    };
    for (int dx = -1; dx <= 1; ++dx) {
      const TStepResult plain = Step(s, dx, false, false, false);
      for (int up = 0; up <= 1; ++up) {
        if (up && !plain.UpMatters) continue;
        const TStepResult withUp = up ? Step(s, dx, true, false, false) : plain;
        for (int down = 0; down <= 1; ++down) {
          if (down && !withUp.DownMatters) continue;
          const TStepResult r = down ? Step(s, dx, up, true, false) : withUp;
          emit(r);
          if (r.JumpMatters) emit(Step(s, dx, up, down, true));
        }
      }
    }
    for (uint64_t key : next) {
      EdgeFrom.push_back(id);
      EdgeTo.push_back(Add(key));
    }
  }

  void Explore(size_t from) {
    for (size_t i = from; i < Keys.size(); ++i) {
      if (Keys.size() > StateLimit || GaveUp) {
        GaveUp = true;
        return;
      }
      Expand(uint32_t(i));
    }
  }

  THero StartHero(uint8_t carried) {
    THero h;
    h.X = 2 * Starts.back().Column;
    h.Y = 16 * Starts.back().Row + 15;
    std::string flags(FlagCount, 0);
    if ((carried & CarriedHooks) && ItemMatters[ItemHooks]) flags[FlagHooks] = 1;
    if (carried & CarriedBoots) flags[FlagBoots] = 1;
    if ((carried & CarriedGlove) && ItemMatters[ItemGlove]) flags[FlagGlove] = 1;
    h.World = InternWorld(flags);
    BreakWhatShotsReach(h);
    return h;
  }

  // The cell of the hero's feet, on the side of his floor or hook when he stands on two.
  TMapCell FeetCell(const THero& h) {
    Enter(h);
    int column = h.X / 2;
    if (h.X % 2) {
      bool left = h.Action == Hanging ? Hook(h.X, h.Y - 32) : Solid(h.X, h.Y + 1);
      if (!left) column = (h.X + 1) / 2;
    }
    return {column, h.Y / 16};
  }

  std::string Holding(const THero& h) const {
    const std::string& f = Worlds[h.World].Flags;
    std::vector<std::string> items;
    if (f[FlagHooks]) items.push_back("hooks");
    if (f[FlagBoots]) items.push_back("boots");
    if (f[FlagGlove]) items.push_back("glove");
    if (f[FlagCard]) items.push_back("access card");
    for (size_t k = 0; k < 4; ++k)
      if (f[FlagKey0 + k]) items.push_back(KeyNames[k]);
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
      text += (i == 0 ? "the " : i + 1 == items.size() ? " and the " : ", the ") + items[i];
    return text;
  }

  void Search() {
    const THero start = StartHero(0);
    Add(Pack(Normal(start)));
    Explore(0);
    const size_t firstPhase = Keys.size();
    FirstCarriedState = firstPhase;
    const THero carried = StartHero(Options.Carried);
    if (carried.World != start.World && !GaveUp) {
      Add(Pack(Normal(carried)));
      Explore(firstPhase);
    }
    Report.States = Keys.size();
    Report.Worlds = Worlds.size();
    Report.Reached.assign(size_t(Rows) * Columns, 0);
    for (uint64_t key : Keys) {
      const THero h = Unpack(key);
      Report.Reached[At(h.X / 2, h.Y / 16)] = 1;
    }
    if (GaveUp) {
      Error("the checker gave up after " + std::to_string(Keys.size()) + " hero states and " +
            std::to_string(Worlds.size()) + " worlds; the map is too complex for it");
      return;
    }

    // Exits: each door must be reached from the start by a hero who brings nothing.
    std::vector<bool> reached(Exits.size(), false);
    for (size_t i = 0; i < firstPhase; ++i) {
      if (!(Goals[i] & 1)) continue;
      THero h = Unpack(Keys[i]);
      ForEachTouch(h.X, h.Y, [&](TTouch t) {
        if (t.Kind == TouchExit) reached[t.Index] = true;
      });
    }
    for (size_t i = 0; i < Exits.size(); ++i)
      if (!reached[i]) {
        Report.UnreachableExits.push_back({Exits[i].Column, Exits[i].Row});
        Error("the exit door cannot be reached from the start (the door at " +
              Where(Exits[i].Column, Exits[i].Row) + ")");
      }

    // Which states lead to the exit, the start or a deadly hazard: backwards over the edges.
    const size_t count = Keys.size();
    std::vector<uint32_t> first(count + 1, 0), from(EdgeFrom.size());
    for (uint32_t t : EdgeTo) ++first[t + 1];
    for (size_t i = 0; i < count; ++i) first[i + 1] += first[i];
    std::vector<uint32_t> fill(first.begin(), first.end() - 1);
    for (size_t e = 0; e < EdgeFrom.size(); ++e) from[fill[EdgeTo[e]]++] = EdgeFrom[e];
    std::vector<uint8_t> out(count, 0);
    std::vector<uint32_t> todo;
    for (size_t i = 0; i < count; ++i)
      if (Goals[i]) {
        out[i] = 1;
        todo.push_back(uint32_t(i));
      }
    while (!todo.empty()) {
      uint32_t t = todo.back();
      todo.pop_back();
      for (uint32_t e = first[t]; e < first[t + 1]; ++e)
        if (!out[from[e]]) {
          out[from[e]] = 1;
          todo.push_back(from[e]);
        }
    }
    ReportTraps(out);
  }

  // Where the hero comes to rest: standing on a floor or hanging from a hook ceiling.
  bool AtRest(const THero& h) {
    Enter(h);
    if (h.Action == Grounded) return BlockedDown(h);
    return h.Action == Hanging && (Hook(h.X, h.Y - 32) || Hook(h.X + 1, h.Y - 32));
  }

  // The trapped states are those that lead to no goal; every one of them leads into a
  // closed group (a strongly connected component nothing leaves). Each closed group, or
  // several that share places (the same pit with other items in hand), is one trap.
  void ReportTraps(const std::vector<uint8_t>& out) {
    const size_t count = Keys.size();
    const uint32_t none = 0xFFFFFFFFu;
    std::vector<uint32_t> firstOut(count + 1, 0);
    for (uint32_t f : EdgeFrom) ++firstOut[f + 1];
    for (size_t i = 0; i < count; ++i) firstOut[i + 1] += firstOut[i];

    // Tarjan's components over the trapped states, without recursion.
    std::vector<uint32_t> index(count, none), low(count, none), component(count, none);
    std::vector<uint8_t> onStack(count, 0);
    std::vector<uint32_t> stack;
    struct TFrame {
      uint32_t State, Edge;
    };
    std::vector<TFrame> frames;
    uint32_t counter = 0, components = 0;
    for (uint32_t root = 0; root < count; ++root) {
      if (out[root] || index[root] != none) continue;
      index[root] = low[root] = counter++;
      stack.push_back(root);
      onStack[root] = 1;
      frames.push_back({root, firstOut[root]});
      while (!frames.empty()) {
        const uint32_t v = frames.back().State;
        if (frames.back().Edge < firstOut[v + 1]) {
          const uint32_t w = EdgeTo[frames.back().Edge++];
          if (out[w]) continue;
          if (index[w] == none) {
            index[w] = low[w] = counter++;
            stack.push_back(w);
            onStack[w] = 1;
            frames.push_back({w, firstOut[w]});
          } else if (onStack[w]) {
            low[v] = std::min(low[v], index[w]);
          }
          continue;
        }
        frames.pop_back();
        if (!frames.empty()) low[frames.back().State] = std::min(low[frames.back().State], low[v]);
        if (low[v] != index[v]) continue;
        for (;;) {
          const uint32_t w = stack.back();
          stack.pop_back();
          onStack[w] = 0;
          component[w] = components;
          if (w == v) break;
        }
        ++components;
      }
    }
    if (!components) return;
    std::vector<uint8_t> closed(components, 1);
    for (size_t v = 0; v < count; ++v)
      if (!out[v])
        for (uint32_t e = firstOut[v]; e < firstOut[v + 1]; ++e)
          if (component[EdgeTo[e]] != component[v]) closed[component[v]] = 0;

    // The resting places of the closed groups; groups that share a place are one trap.
    std::vector<uint32_t> group(components);
    std::iota(group.begin(), group.end(), 0u);
    auto root = [&](uint32_t g) {
      while (group[g] != g) g = group[g] = group[group[g]];
      return g;
    };
    std::map<size_t, uint32_t> componentAt;  // cell -> a closed component resting there
    struct TPlace {
      uint32_t Component;
      size_t Cell;
      uint32_t State;
    };
    std::vector<TPlace> places;
    std::vector<uint32_t> firstState(components, none);
    for (uint32_t v = 0; v < count; ++v) {
      if (out[v] || !closed[component[v]]) continue;
      const uint32_t c = component[v];
      if (firstState[c] == none) firstState[c] = v;
      const THero h = Unpack(Keys[v]);
      if (!AtRest(h)) continue;
      const TMapCell cell = FeetCell(h);
      const size_t at =
          At(std::clamp(cell.Column, 0, Columns - 1), std::clamp(cell.Row, 0, Rows - 1));
      places.push_back({c, at, v});
      auto [it, fresh] = componentAt.emplace(at, c);
      if (!fresh) {
        uint32_t a = root(it->second), b = root(c);
        if (a != b) group[std::max(a, b)] = std::min(a, b);
      }
    }
    struct TTrap {
      uint32_t FirstState = 0xFFFFFFFFu;
      std::map<size_t, uint32_t> Cells;  // cell -> first state resting there
    };
    std::map<uint32_t, TTrap> traps;
    for (uint32_t c = 0; c < components; ++c)
      if (closed[c]) {
        TTrap& t = traps[root(c)];
        t.FirstState = std::min(t.FirstState, firstState[c]);
      }
    for (const TPlace& p : places) traps[root(p.Component)].Cells.emplace(p.Cell, p.State);
    std::vector<const TTrap*> ordered;
    for (const auto& [key, t] : traps) ordered.push_back(&t);
    std::sort(ordered.begin(), ordered.end(),
              [](const TTrap* a, const TTrap* b) { return a->FirstState < b->FirstState; });
    size_t reported = 0;
    for (const TTrap* t : ordered) {
      // The place shown is where the hero first came to rest in it.
      size_t at = 0;
      uint32_t best = none;
      int minColumn = Columns, maxColumn = -1, minRow = Rows, maxRow = -1;
      for (const auto& [cell, v] : t->Cells) {
        const int c = int(cell % Columns), r = int(cell / Columns);
        minColumn = std::min(minColumn, c);
        maxColumn = std::max(maxColumn, c);
        minRow = std::min(minRow, r);
        maxRow = std::max(maxRow, r);
        if (v < best) {
          best = v;
          at = cell;
        }
      }
      if (best == none) {  // no resting place: shown where its first state is
        best = t->FirstState;
        const TMapCell cell = FeetCell(Unpack(Keys[best]));
        at = At(std::clamp(cell.Column, 0, Columns - 1), std::clamp(cell.Row, 0, Rows - 1));
        minColumn = maxColumn = int(at % Columns);
        minRow = maxRow = int(at / Columns);
      }
      const int c = int(at % Columns), r = int(at / Columns);
      Report.Traps.push_back({c, r});
      if (reported++ >= ReportedTraps) continue;
      const THero h = Unpack(Keys[best]);
      const size_t n = std::max<size_t>(1, t->Cells.size());
      std::string detail = std::to_string(n) + (n == 1 ? " place" : " places");
      if (n > 1)
        detail += ", columns " + std::to_string(minColumn) + "-" + std::to_string(maxColumn) +
                  ", rows " + std::to_string(minRow) + "-" + std::to_string(maxRow);
      if (h.Action == Hanging) detail += "; hanging there";
      const std::string holding = Holding(h);
      if (!holding.empty()) detail += "; holding " + holding;
      if (best >= FirstCarriedState) detail += "; with items brought from an earlier level";
      Error("trap: the hero can reach " + Where(c, r) + " and cannot get out (" + detail + ")");
    }
    if (ordered.size() > ReportedTraps)
      Error("trap: " + std::to_string(ordered.size() - ReportedTraps) + " more traps");
  }

  // --- Layout figures ------------------------------------------------------------------

  void CheckFigures() {
    if (Starts.empty()) Error("no player start (0x3032)");
    if (Starts.size() > 1)
      Error(std::to_string(Starts.size()) + " player starts (0x3032); a level has one");
    if (Exits.empty()) Error("no exit door (0x3011)");
    if (!Starts.empty() && Starts.back().Column < MinimumStartColumn)
      Error("the player start is at column " + std::to_string(Starts.back().Column) +
            "; it must be at column " + std::to_string(MinimumStartColumn) + " or more");
    int passable = 0, minRow = Rows, maxRow = -1, minColumn = Columns, maxColumn = -1;
    for (int r = 0; r < Rows; ++r)
      for (int c = 0; c < Columns; ++c) {
        if (IsSolidWord(Level.Words[At(c, r)])) continue;
        ++passable;
        minRow = std::min(minRow, r);
        maxRow = std::max(maxRow, r);
        minColumn = std::min(minColumn, c);
        maxColumn = std::max(maxColumn, c);
      }
    Report.PassableCells = passable;
    Report.RowsSpanned = maxRow >= minRow ? maxRow - minRow + 1 : 0;
    Report.ColumnsSpanned = maxColumn >= minColumn ? maxColumn - minColumn + 1 : 0;
    if (passable < MinimumPassable)
      Error(std::to_string(passable) + " passable cells; a level has at least " +
            std::to_string(MinimumPassable));
    if (Report.RowsSpanned < MinimumRows)
      Error("the passable cells span " + std::to_string(Report.RowsSpanned) +
            " rows; a level spans at least " + std::to_string(MinimumRows));
    if (Report.ColumnsSpanned < MinimumColumns)
      Error("the passable cells span " + std::to_string(Report.ColumnsSpanned) +
            " columns; a level spans at least " + std::to_string(MinimumColumns));
  }

  // A note the hero touches within NoteWalk columns of walking from where he lands at the
  // start, without a jump or a drop.
  void CheckNotes() {
    if (Notes.empty()) return;
    THero h = StartHero(0);
    for (int tick = 0; tick < 400 && h.Action != Grounded; ++tick) {
      TStepResult r = Step(h, 0, false, false, false);
      if (!r.Valid) return;
      h = r.Hero;
    }
    if (h.Action != Grounded) return;
    std::vector<int> distance(HalfTiles, -1);
    std::vector<int> todo = {h.X};
    distance[size_t(h.X)] = 0;
    for (size_t i = 0; i < todo.size(); ++i) {
      THero at = h;
      at.X = todo[i];
      for (int dx = -1; dx <= 1; dx += 2) {
        TStepResult r = Step(at, dx, false, false, false);
        if (!r.Valid || r.Hero.Action != Grounded || r.Hero.Y != h.Y ||
            distance[size_t(r.Hero.X)] >= 0)
          continue;
        distance[size_t(r.Hero.X)] = distance[size_t(todo[i])] + 1;
        if (distance[size_t(r.Hero.X)] < 2 * NoteWalk) todo.push_back(r.Hero.X);
      }
    }
    std::vector<int> nearest(Notes.size(), -1);
    for (int x = 0; x < HalfTiles; ++x) {
      if (distance[size_t(x)] < 0) continue;
      ForEachTouch(x, h.Y, [&](TTouch t) {
        if (t.Kind != TouchNote) return;
        int& d = nearest[t.Index];
        if (d < 0 || distance[size_t(x)] < d) d = distance[size_t(x)];
      });
    }
    // A note k columns away is touched after 2k - 1 steps of half a column.
    for (size_t i = 0; i < Notes.size(); ++i)
      if (nearest[i] >= 0 && (nearest[i] + 1) / 2 < NoteWalk)
        Error("the note at " + Where(Notes[i].Column, Notes[i].Row) + " is " +
              std::to_string((nearest[i] + 1) / 2) + " columns' walk from the start; notes stay " +
              std::to_string(NoteWalk) + " columns' walk or more away");
  }

  TMapCheckReport Finish() { return std::move(Report); }
};

}  // namespace

uint8_t CarriedItemsOf(const std::vector<uint16_t>& words) {
  uint8_t items = 0;
  for (uint16_t w : words) {
    if (w == 0x3008) items |= CarriedHooks;
    if (w == 0x3006) items |= CarriedBoots;
    if (w == 0x3020) items |= CarriedGlove;
  }
  return items;
}

TMapCheckReport CheckLevelMap(const std::vector<uint16_t>& words, const std::string& fileName,
                              const TMapCheckOptions& options) {
  return TChecker(words, fileName, options).Run();
}
