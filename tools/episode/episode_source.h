// Readers of the text sources of our built-in episode (episode/): tile art, pictures
// drawn by short commands, and level maps as character grids with a legend.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

// A parse result: the value, or the first error as "file:line: text".
struct TSourceError {
  std::string Text;
};

// Tile art: "size W H", "count N", then "tile K [name]" blocks of H rows of W characters
// ("0"-"9", "A"-"F" palette index, "." transparent) or "tile K = J [flipx]".
struct TTileArt {
  int Width = 16;
  int Height = 16;
  std::vector<TPixmap> Tiles;  // Count tiles; tiles not given are transparent
  // The tiles stacked top to bottom; transparent pixels become opaque black when !masked.
  TPixmap Strip(bool masked) const;
};
bool ParseTileArt(const std::string& text, const std::string& fileName, TTileArt& art,
                  TSourceError& error);

// What pictures may draw from: the font glyphs by character code and the sprite/tile sets.
struct TArtLibrary {
  std::map<int, TPixmap> Glyphs;  // character code -> 8x8 glyph
  std::vector<TPixmap> Sprites;   // by sprite frame number
  std::vector<TPixmap> Tiles;     // by tile frame number
};

// A picture drawn by commands (see episode/README.md).
bool DrawPicture(const std::string& text, const std::string& fileName, const TArtLibrary& library,
                 TPixmap& picture, TSourceError& error);

// A level map: "legend" lines "C = WORD [comment]" up to "end", then "map" and up to 90
// rows of up to 128 characters up to "end"; missing cells take the "fill" character.
bool ParseLevelMap(const std::string& text, const std::string& fileName,
                   std::vector<uint16_t>& words, TSourceError& error);

// 11520 little-endian words, 23040 bytes.
std::vector<uint8_t> EncodeLevelMap(const std::vector<uint16_t>& words);
