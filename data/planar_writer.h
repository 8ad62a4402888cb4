// Encoding of ARGB pixmaps into the planar 16-colour files that data/planar.h reads:
// tile files, plane-by-plane pictures and backdrops. Used by the episode builder and by
// test fixtures. Every colour is mapped to the nearest palette entry; where a mask is
// written, a pixel with alpha 0 is transparent (mask bit 0) and any other is opaque.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// The palette index nearest to the colour (exact entries first; RGB distance, the lower
// index on a tie). Alpha is ignored.
int NearestEgaIndex(uint32_t argb);

// A tile file: the tiles stacked top to bottom in strip (8 * widthBytes wide, a multiple
// of height tall), header count / widthBytes / height, then 5-byte groups mask, blue,
// green, red, intensity. Empty when the strip does not fit the sizes or a header value
// would not fit in a byte (1..255).
std::vector<uint8_t> EncodeTileFile(const TPixmap& strip, int widthBytes, int height);

// A picture stored plane by plane: the mask plane first when withMask, then blue, green,
// red and intensity, each (width / 8) * height bytes. Empty when the width is not a
// multiple of 8 or the pixmap is empty.
std::vector<uint8_t> EncodePlanarPicture(const TPixmap& picture, bool withMask);

// A backdrop: a 208 x 160 picture cut into 13 x 10 tiles of 16 x 16 in row order, written
// as a tile file of 130 tiles (20803 bytes). Empty for any other size.
std::vector<uint8_t> EncodeBackdrop(const TPixmap& picture);

// The same written to a file (temporary file and rename). False when the encoding is
// empty or the file cannot be written.
bool WriteTileFile(const std::string& path, const TPixmap& strip, int widthBytes, int height);
bool WritePlanarPicture(const std::string& path, const TPixmap& picture, bool withMask);
bool WriteBackdrop(const std::string& path, const TPixmap& picture);
