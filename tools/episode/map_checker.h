// The map checker of the episode builder. It loads a level map the way the engine does
// (objects take their neighbour's tile, belts, fake bridges) and searches every move of
// the hero tick by tick with the engine's own movement rules (world/player.cpp), together
// with what the level holds: keys and their doors, the hooks, boots, access card and glove,
// elevators, teleporters, fake bridges, cracked blocks and rockets. It reports
//   - an exit door the hero cannot reach from the start,
//   - traps: places the hero can reach and then reach neither the exit, nor the start,
//     nor a hazard that kills him,
//   - the layout figures every level keeps (one start at column 14 or more, an exit, no
//     note next to the start, enough open cells over enough rows and columns).
// episode/README.md ("The map checker") says what the search proves and what it leaves out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Items that stay with the hero from one level to the next.
enum : uint8_t { CarriedHooks = 1, CarriedBoots = 2, CarriedGlove = 4 };

struct TMapCheckOptions {
  // Items the hero may bring from the levels before: traps are also searched for a hero
  // who carries them (the exit must be reachable without them).
  uint8_t Carried = 0;
  // Starts, exits, notes and size; small test maps switch them off.
  bool LayoutFigures = true;
};

struct TMapCell {
  int Column = 0;
  int Row = 0;
};

struct TMapCheckReport {
  std::vector<std::string> Errors;         // "<file>: text", in a fixed order
  std::vector<TMapCell> UnreachableExits;  // exit door cells
  std::vector<TMapCell> Traps;             // per trap: the cell of the hero's feet
  // Per cell (row * 128 + column): 1 where the search had the hero's feet, in any state
  // (the cell of his left half: column X / 2, row Y / 16).
  std::vector<uint8_t> Reached;
  int PassableCells = 0;
  int RowsSpanned = 0;
  int ColumnsSpanned = 0;
  size_t States = 0;  // hero states the search visited
  size_t Worlds = 0;  // distinct states of doors, items, bridges and blocks
};

// The Carried* items whose boxes a map holds.
uint8_t CarriedItemsOf(const std::vector<uint16_t>& words);

// Checks the 128 x 90 words of a map as ParseLevelMap gives them.
TMapCheckReport CheckLevelMap(const std::vector<uint16_t>& words, const std::string& fileName,
                              const TMapCheckOptions& options = {});
