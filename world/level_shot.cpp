#include "world/level_shot.h"

#include "data/graphics.h"
#include "data/image_io.h"
#include "data/level_map.h"
#include "world/game_state.h"
#include "world/world.h"

namespace {

// Pastes a frame with its transparency (alpha 0 pixels are skipped).
void Blit(TPixmap& target, const TPixmap& source, int x, int y) {
  for (int sy = 0; sy < source.Height; ++sy)
    for (int sx = 0; sx < source.Width; ++sx) {
      uint32_t p = source.Get(sx, sy);
      if (p >> 24) target.Set(x + sx, y + sy, p | 0xFF000000u);
    }
}

const TPixmap* FrameOf(const PImage& image, int frame) {
  if (!image || frame < 0 || frame >= image->FrameCount()) return nullptr;
  return &image->Frames[size_t(frame)];
}

}  // namespace

TPixmap DrawWholeLevel(int map) {
  NewGameState(false);
  Game().MapOn = uint16_t(map);
  if (LoadLevel()) return {};
  TPixmap shot(16 * MapColumns, 16 * MapRows, 0xFF000000u);
  for (int row = 0; row < MapRows; ++row)
    for (int column = 0; column < MapColumns; ++column) {
      int b = TileGrid[row][column] / 32, x = 16 * column, y = 16 * row;
      const TPixmap* frame = nullptr;
      if (b <= 1) {
        // The backdrops show through: tiled over the map in their 208 x 160 pieces.
        const PImage& backdrop = b == 0 ? Backdrop1 : Backdrop2;
        if (backdrop) Blit(shot, backdrop->Frames[0].Cut(x % 208, y % 160, 16, 16), x, y);
        continue;
      }
      if (b <= 383) frame = FrameOf(TileImage, b);
      else if (b <= 435) frame = FrameOf(BorderTiles, b % 128);
      if (frame) Blit(shot, *frame, x, y);
    }
  for (const PActorListEntry& entry : ActorList().Entries()) {
    auto object = std::dynamic_pointer_cast<TVisibleObject>(entry);
    if (!object || object->CurrentFrame < 0 || object->CurrentFrame >= int(object->Frames.size())) continue;
    const TSpriteFrame& f = object->Frames[size_t(object->CurrentFrame)];
    if (f.Width < 1) continue;
    for (size_t i = 0; i < f.SpriteIndices.size(); ++i)
      if (const TPixmap* sprite = FrameOf(SpriteImage, f.SpriteIndices[i]))
        Blit(shot, *sprite, (object->PosX + f.OffX) * 8 + int(i % size_t(f.Width)) * 16,
             object->PosY + f.OffY + int(i / size_t(f.Width)) * 16);
  }
  return shot;
}

bool WriteLevelShot(int map) {
  TPixmap shot = DrawWholeLevel(map);
  if (shot.Pixels.empty()) return false;
  return SavePng(shot, "levelshot" + std::to_string(map) + ".png", 5);
}
