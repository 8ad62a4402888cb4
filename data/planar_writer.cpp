// Planar encoders, the inverse of data/planar.cpp.
#include "data/planar_writer.h"

#include "data/planar.h"
#include "data/stream.h"

namespace {

constexpr int BackdropColumns = 13, BackdropRows = 10, BackdropTile = 16;

// The four plane bytes and the mask byte of the eight pixels at (x, y).. (x + 7, y).
void EncodeGroup(const TPixmap& pixmap, int x, int y, uint8_t planes[4], uint8_t& mask) {
  planes[0] = planes[1] = planes[2] = planes[3] = 0;
  mask = 0;
  const uint32_t* row = &pixmap.Pixels[size_t(y) * pixmap.Width + x];
  for (int pixel = 0; pixel < 8; ++pixel) {
    const int bit = 7 - pixel;
    const int index = NearestEgaIndex(row[pixel]);
    for (int plane = 0; plane < 4; ++plane) planes[plane] |= ((index >> plane) & 1) << bit;
    if (row[pixel] >> 24) mask |= 1 << bit;
  }
}

bool WellFormed(const TPixmap& pixmap) {
  return pixmap.Width > 0 && pixmap.Height > 0 &&
         pixmap.Pixels.size() == size_t(pixmap.Width) * size_t(pixmap.Height);
}

bool WriteEncoded(const std::string& path, const std::vector<uint8_t>& bytes) {
  return !bytes.empty() && WriteFileAtomically(path, bytes);
}

}  // namespace

int NearestEgaIndex(uint32_t argb) {
  const uint32_t rgb = argb & 0xFFFFFF;
  int best = 0;
  int64_t bestDistance = INT64_MAX;
  for (int i = 0; i < 16; ++i) {
    const uint32_t entry = EgaPalette[i] & 0xFFFFFF;
    if (entry == rgb) return i;
    int64_t distance = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int64_t d = int64_t((rgb >> shift) & 255) - int64_t((entry >> shift) & 255);
      distance += d * d;
    }
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

std::vector<uint8_t> EncodeTileFile(const TPixmap& strip, int widthBytes, int height) {
  if (!WellFormed(strip) || widthBytes < 1 || widthBytes > 255 || height < 1 || height > 255)
    return {};
  if (strip.Width != widthBytes * 8 || strip.Height % height) return {};
  const int count = strip.Height / height;
  if (count > 255) return {};

  std::vector<uint8_t> bytes = {uint8_t(count), uint8_t(widthBytes), uint8_t(height)};
  bytes.reserve(3 + size_t(strip.Height) * widthBytes * 5);
  for (int y = 0; y < strip.Height; ++y) {
    for (int group = 0; group < widthBytes; ++group) {
      uint8_t planes[4], mask;
      EncodeGroup(strip, group * 8, y, planes, mask);
      bytes.insert(bytes.end(), {mask, planes[0], planes[1], planes[2], planes[3]});
    }
  }
  return bytes;
}

std::vector<uint8_t> EncodePlanarPicture(const TPixmap& picture, bool withMask) {
  if (!WellFormed(picture) || picture.Width % 8) return {};
  const int widthBytes = picture.Width / 8;
  const size_t planeBytes = size_t(widthBytes) * picture.Height;
  const int planeCount = withMask ? 5 : 4;
  std::vector<uint8_t> bytes(planeBytes * planeCount);
  // The colour planes follow the optional mask plane.
  const size_t first = withMask ? planeBytes : 0;
  for (int y = 0; y < picture.Height; ++y) {
    for (int group = 0; group < widthBytes; ++group) {
      uint8_t planes[4], mask;
      EncodeGroup(picture, group * 8, y, planes, mask);
      const size_t offset = size_t(y) * widthBytes + group;
      if (withMask) bytes[offset] = mask;
      for (int k = 0; k < 4; ++k) bytes[first + k * planeBytes + offset] = planes[k];
    }
  }
  return bytes;
}

std::vector<uint8_t> EncodeBackdrop(const TPixmap& picture) {
  if (!WellFormed(picture) || picture.Width != BackdropColumns * BackdropTile ||
      picture.Height != BackdropRows * BackdropTile)
    return {};
  // Tiles in row order, stacked into one strip a tile wide.
  TPixmap strip(BackdropTile, BackdropColumns * BackdropRows * BackdropTile, 0);
  for (int tile = 0; tile < BackdropColumns * BackdropRows; ++tile) {
    const int srcX = (tile % BackdropColumns) * BackdropTile;
    const int srcY = (tile / BackdropColumns) * BackdropTile;
    for (int y = 0; y < BackdropTile; ++y)
      for (int x = 0; x < BackdropTile; ++x)
        strip.Pixels[size_t(tile * BackdropTile + y) * BackdropTile + x] =
            picture.Pixels[size_t(srcY + y) * picture.Width + srcX + x];
  }
  return EncodeTileFile(strip, BackdropTile / 8, BackdropTile);
}

bool WriteTileFile(const std::string& path, const TPixmap& strip, int widthBytes, int height) {
  return WriteEncoded(path, EncodeTileFile(strip, widthBytes, height));
}

bool WritePlanarPicture(const std::string& path, const TPixmap& picture, bool withMask) {
  return WriteEncoded(path, EncodePlanarPicture(picture, withMask));
}

bool WriteBackdrop(const std::string& path, const TPixmap& picture) {
  return WriteEncoded(path, EncodeBackdrop(picture));
}
