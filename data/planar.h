// Decoding of 16-colour planar graphics (tile files and full-screen pictures) into
// ARGB pixmaps. The decoders never throw: a missing, short or nonsensical file gives null.
#pragma once

#include <cstdint>
#include <string>

#include "data/stream.h"
#include "platform/platform.h"

// The 16 colours, index = blue + 2 green + 4 red + 8 intensity.
extern const uint32_t EgaPalette[16];

// Mask flags of both decoders.
enum : uint8_t {
  PlanarHasMask = 1,     // the data carries a mask (per-group byte or a whole plane)
  PlanarInvertMask = 2,  // opaque where the mask bit is 0
  PlanarIgnoreMask = 4,  // every pixel opaque (mask bytes still read and skipped)
};

// Pixmaps larger than this many pixels are refused (no file of the game comes near): the
// memory bound of one tile file, picture or backdrop, 64 MB decoded; decoding reads each
// byte of it once.
constexpr int64_t MaxDecodedPixels = int64_t(1) << 24;

// Colour and alpha of one pixel from its palette index and mask bit.
uint32_t PlanarPixel(int index, bool maskBit, uint8_t flags);

// Decodes rows x widthBytes groups of 5 bytes (mask, blue, green, red, intensity; 4 bytes
// without PlanarHasMask) into a pixmap 8 * widthBytes wide and rows tall. start -1 reads
// from the current position, any other value seeks there first. Null for a null stream,
// sizes below 1 or too large, or data shorter than the sizes demand.
PPixmap DecodeTileStrip(const PStream& stream, uint8_t flags, int widthBytes, int rows,
                        int64_t start = -1);

// Loads a tile file (3-byte header: count, width in bytes, height in rows, then the tiles
// in 5-byte groups). count, widthBytes and height are in/out references: a caller's 0
// takes the header's value, any other value wins; after the header has been read they hold
// the values used. The tiles come stacked top to bottom in one pixmap 8 * widthBytes wide
// and count * height tall, transparency from the mask when masked, opaque otherwise.
// Null when the file is missing, shorter than the sizes demand, or a size is 0.
PPixmap LoadTileFile(const std::string& path, bool masked, int& count, int& widthBytes,
                     int& height);

// Decodes a picture stored plane by plane (mask plane first when PlanarHasMask, then blue,
// green, red, intensity), each plane widthBytes * height bytes in row order. start -1 is
// the beginning of the file; planeSize -1 is the file size divided by 4 (5 with a mask).
PPixmap DecodePlanarPicture(const std::string& path, uint8_t flags, int widthBytes, int height,
                            int64_t start = -1, int64_t planeSize = -1);

// Cuts the pixmap into cellWidth x cellHeight cells (row by row) and lays them out perRow
// to a row in a new pixmap cleared to 0. Null for a null or empty pixmap, a size below 1,
// a pixmap not made of whole cells, or a result that would be too large.
PPixmap ArrangeCells(const PPixmap& pixmap, int cellWidth, int cellHeight, int perRow);
