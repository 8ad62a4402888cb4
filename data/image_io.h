// PNG and JPEG files to and from ARGB pixmaps (libpng, libjpeg).
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// Reads a PNG or JPEG (by content) from a path (stream paths allowed, e.g. "incbin::e.png").
// Null on any failure; never throws.
PPixmap LoadImageFile(const std::string& path);
PPixmap DecodeImageBytes(const std::vector<uint8_t>& bytes);
// Writes a PNG with the given zlib compression level; false on failure.
bool SavePng(const TPixmap& pixmap, const std::string& path, int compression = 5);
std::vector<uint8_t> EncodePng(const TPixmap& pixmap, int compression = 5);
