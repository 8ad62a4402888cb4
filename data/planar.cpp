// Planar 16-colour decoding: each pixel's colour index has one bit in each of four
// planes (blue, green, red, intensity), eight pixels to a byte, bit 7 leftmost.
#include "data/planar.h"

#include <array>
#include <vector>

const uint32_t EgaPalette[16] = {
    0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA, 0xFFAA5500, 0xFFAAAAAA,
    0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF, 0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF,
};

namespace {

// Eight pixels from four plane bytes and a mask byte.
void DecodeGroup(const uint8_t planes[4], uint8_t mask, uint8_t flags, uint32_t* out) {
  for (int pixel = 0; pixel < 8; ++pixel) {
    int bit = 7 - pixel;
    int index = 0;
    for (int plane = 0; plane < 4; ++plane) index |= ((planes[plane] >> bit) & 1) << plane;
    out[pixel] = PlanarPixel(index, (mask >> bit) & 1, flags);
  }
}

bool SizeAcceptable(int widthBytes, int rows) {
  return widthBytes >= 1 && rows >= 1 && int64_t(widthBytes) * 8 * rows <= MaxDecodedPixels;
}

}  // namespace

uint32_t PlanarPixel(int index, bool maskBit, uint8_t flags) {
  uint32_t argb = EgaPalette[index & 15];
  if (!(flags & PlanarHasMask)) maskBit = true;
  bool opaque = (flags & PlanarIgnoreMask) || (maskBit != bool(flags & PlanarInvertMask));
  return opaque ? argb : argb & 0x00FFFFFF;
}

PPixmap DecodeTileStrip(const PStream& stream, uint8_t flags, int widthBytes, int rows,
                        int64_t start) {
  if (!stream || !SizeAcceptable(widthBytes, rows)) return nullptr;
  try {
    if (start != -1) stream->Seek(start);
    const size_t groupSize = (flags & PlanarHasMask) ? 5 : 4;
    const size_t groups = size_t(widthBytes) * size_t(rows);
    // Refuse before allocating when the data cannot be there.
    if (stream->Size() - stream->Pos() < int64_t(groups * groupSize)) return nullptr;
    std::vector<uint8_t> data(groups * groupSize);
    stream->ReadBytes(data.data(), data.size());

    auto pixmap = std::make_shared<TPixmap>(widthBytes * 8, rows, 0);
    const uint8_t* group = data.data();
    uint32_t* out = pixmap->Pixels.data();
    for (size_t i = 0; i < groups; ++i, group += groupSize, out += 8) {
      if (groupSize == 5)
        DecodeGroup(group + 1, group[0], flags, out);
      else
        DecodeGroup(group, 0xFF, flags, out);
    }
    return pixmap;
  } catch (const TStreamError&) {
    return nullptr;
  }
}

PPixmap LoadTileFile(const std::string& path, bool masked, int& count, int& widthBytes,
                     int& height) {
  PStream stream = ReadStream(path);
  if (!stream) return nullptr;
  uint8_t header[3];
  try {
    stream->ReadBytes(header, sizeof header);
  } catch (const TStreamError&) {
    return nullptr;
  }
  if (count == 0) count = header[0];
  if (widthBytes == 0) widthBytes = header[1];
  if (height == 0) height = header[2];
  if (count < 1 || height < 1 || int64_t(count) * height > MaxDecodedPixels) return nullptr;
  uint8_t flags = masked ? PlanarHasMask : PlanarHasMask | PlanarIgnoreMask;
  return DecodeTileStrip(stream, flags, widthBytes, count * height);
}

PPixmap DecodePlanarPicture(const std::string& path, uint8_t flags, int widthBytes, int height,
                            int64_t start, int64_t planeSize) {
  if (!SizeAcceptable(widthBytes, height)) return nullptr;
  PStream stream = ReadStream(path);
  if (!stream) return nullptr;
  try {
    const bool hasMask = flags & PlanarHasMask;
    const int64_t fileSize = stream->Size();
    if (start == -1) start = stream->Pos();
    if (planeSize == -1) planeSize = fileSize / (hasMask ? 5 : 4);
    if (start < 0 || planeSize < 0 || start > fileSize || planeSize > fileSize) return nullptr;
    const int64_t planeBytes = int64_t(widthBytes) * height;
    const int64_t maskSize = hasMask ? planeSize : 0;
    // The last plane must end inside the file.
    if (start + maskSize + 3 * planeSize + planeBytes > fileSize) return nullptr;

    std::array<std::vector<uint8_t>, 5> planes;  // 0..3 colour planes, 4 the mask
    planes[4].assign(size_t(planeBytes), 0xFF);
    if (hasMask) {
      stream->Seek(start);
      stream->ReadBytes(planes[4].data(), planes[4].size());
    }
    for (int k = 0; k < 4; ++k) {
      planes[k].resize(size_t(planeBytes));
      stream->Seek(start + maskSize + k * planeSize);
      stream->ReadBytes(planes[k].data(), planes[k].size());
    }

    auto pixmap = std::make_shared<TPixmap>(widthBytes * 8, height, 0);
    uint32_t* out = pixmap->Pixels.data();
    for (size_t i = 0; i < size_t(planeBytes); ++i, out += 8) {
      const uint8_t group[4] = {planes[0][i], planes[1][i], planes[2][i], planes[3][i]};
      DecodeGroup(group, planes[4][i], flags, out);
    }
    return pixmap;
  } catch (const TStreamError&) {
    return nullptr;
  }
}

PPixmap ArrangeCells(const PPixmap& pixmap, int cellWidth, int cellHeight, int perRow) {
  if (!pixmap || cellWidth < 1 || cellHeight < 1 || perRow < 1) return nullptr;
  const int width = pixmap->Width, height = pixmap->Height;
  if (width < 1 || height < 1 || width % cellWidth || height % cellHeight) return nullptr;
  if (pixmap->Pixels.size() != size_t(width) * size_t(height)) return nullptr;
  const int across = width / cellWidth;
  const int64_t cells = int64_t(across) * (height / cellHeight);
  const int64_t rowsOut = (cells + perRow - 1) / perRow;
  const int64_t widthOut = int64_t(perRow) * cellWidth, heightOut = rowsOut * cellHeight;
  if (widthOut > MaxDecodedPixels || widthOut * heightOut > MaxDecodedPixels) return nullptr;

  auto result = std::make_shared<TPixmap>(int(widthOut), int(heightOut), 0);
  for (int64_t cell = 0; cell < cells; ++cell) {
    const int srcX = int(cell % across) * cellWidth, srcY = int(cell / across) * cellHeight;
    const int dstX = int(cell % perRow) * cellWidth, dstY = int(cell / perRow) * cellHeight;
    for (int y = 0; y < cellHeight; ++y) {
      const uint32_t* from = &pixmap->Pixels[size_t(srcY + y) * width + srcX];
      uint32_t* to = &result->Pixels[size_t(dstY + y) * widthOut + dstX];
      std::copy(from, from + cellWidth, to);
    }
  }
  return result;
}
