// Words of the tile grid with a meaning of their own: the level loader writes some of them
// in place of object codes, and the level objects rewrite cells with the others while the
// level runs. A tile word is 32 times its tile picture.
#pragma once

#include <cstdint>

constexpr uint16_t FirstSolidTile = 0x1800;    // this word and every higher one is solid
constexpr uint16_t CrackedBlockTile = 0x1800;  // a shot breaks it into rubble
constexpr uint16_t RubbleTile = 0x17E0;
constexpr uint16_t LockedDoorTile = 0x1820;      // under a key door until it opens
constexpr uint16_t ElevatorShaftTile = 0x1AE0;   // under a raised elevator
constexpr uint16_t BeltStartTile = 0x1B80;       // + 32 * phase
constexpr uint16_t BeltMiddleTile = 0x1C00;      // 0x1C20 on odd phases
constexpr uint16_t BeltEndTile = 0x1C40;         // + 32 * phase
constexpr uint16_t FakeBridgeLeftTile = 0x21A0;  // a fake bridge alternates the two halves
constexpr uint16_t FakeBridgeRightTile = 0x21C0;
constexpr uint16_t ExtenderBridgeTile = 0x2FE0;  // laid by an extender, cell by cell

// Tile pictures (a word / 32) by what the level drawing does with them.
constexpr int BackdropPicture = 0;        // the first backdrop shows
constexpr int SecondBackdropPicture = 1;  // the second backdrop shows through the cell
constexpr int LastAnimatedPicture = 46;   // 2..46: + (tick mod 4), four phases each
constexpr int LastTilePicture = 383;      // 47..383: a picture of the tile set
constexpr int FirstBorderPicture = 384;   // 384..435: border tile (picture - 384)
constexpr int LastBorderPicture = 435;
