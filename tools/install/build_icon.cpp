// The program's icon, drawn from our built episode: the hero standing, facing right
// (sprite frames 52-55 of MAN1), cut to the pixels he covers, scaled up by whole steps
// without smoothing and centred on a transparent square.
//   build_icon <episode folder>/ <extension> <size> <out.png>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/image_io.h"
#include "data/planar.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: build_icon <episode folder>/ <extension> <size> <out.png>\n", stderr);
    return 2;
  }
  const std::string file = std::string(argv[1]) + "MAN1" + argv[2];
  const int size = std::atoi(argv[3]);
  int count = 0, widthBytes = 0, height = 0;
  PPixmap tiles = LoadTileFile(file, true, count, widthBytes, height);
  if (!tiles || count < 8 || widthBytes != 2 || height != 16 || size < 32) {
    std::fprintf(stderr, "build_icon: no 16x16 hero sprites in %s\n", file.c_str());
    return 1;
  }
  // Tiles 4-7: top left, top right, bottom left, bottom right.
  TPixmap hero(32, 32);
  for (int i = 0; i < 4; ++i)
    hero.Paste(tiles->Cut(0, (4 + i) * 16, 16, 16), (i % 2) * 16, (i / 2) * 16);

  int left = 32, top = 32, right = -1, bottom = -1;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (hero.Get(x, y) >> 24) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  if (right < 0) {
    std::fprintf(stderr, "build_icon: the hero sprites in %s are empty\n", file.c_str());
    return 1;
  }
  const int w = right - left + 1, h = bottom - top + 1;
  const int scale = std::max(1, std::min(size / w, size / h));
  const int x0 = (size - w * scale) / 2, y0 = (size - h * scale) / 2;
  TPixmap icon(size, size);
  for (int y = 0; y < h * scale; ++y)
    for (int x = 0; x < w * scale; ++x)
      icon.Set(x0 + x, y0 + y, hero.Get(left + x / scale, top + y / scale));
  if (!SavePng(icon, argv[4], 9)) {
    std::fprintf(stderr, "build_icon: cannot write %s\n", argv[4]);
    return 1;
  }
  return 0;
}
