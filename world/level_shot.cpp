#include "world/level_shot.h"

#include <memory>

#include "data/graphics.h"
#include "data/image_io.h"
#include "data/level_map.h"
#include "data/tile_words.h"
#include "platform/headless.h"
#include "shell/settings.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/world.h"
#include "world/world_state.h"

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

TPixmap DrawTiles(const TWorld& world) {
  TPixmap shot(16 * MapColumns, 16 * MapRows, 0xFF000000u);
  for (int row = 0; row < MapRows; ++row)
    for (int column = 0; column < MapColumns; ++column) {
      int b = world.Grid.Tiles[row][column] / 32, x = 16 * column, y = 16 * row;
      const TPixmap* frame = nullptr;
      if (b <= SecondBackdropPicture) {
        // The backdrops show through: tiled over the map in their 208 x 160 pieces.
        const PImage& backdrop = b == BackdropPicture ? Backdrop1 : Backdrop2;
        if (backdrop) Blit(shot, backdrop->Frames[0].Cut(x % 208, y % 160, 16, 16), x, y);
        continue;
      }
      if (b <= LastTilePicture)
        frame = FrameOf(TileImage, b);
      else if (b <= LastBorderPicture)
        frame = FrameOf(BorderTiles, b - FirstBorderPicture);
      if (frame) Blit(shot, *frame, x, y);
    }
  return shot;
}

// Every object draws itself as in play, each with a camera of its own that shows it well
// inside the view (objects skip drawing when they think they are out of sight). The view
// offset then puts each camera's view at its place on the map, so the whole map is
// covered. The commands go to a headless platform of the map's size, which is current
// only while the objects draw.
void DrawObjects(TWorld& world, TPixmap& shot) {
  auto canvas = std::make_unique<THeadlessPlatform>();
  if (!canvas->OpenWindow(shot.Width, shot.Height, 0, 60)) return;
  std::unique_ptr<TPlatform> previous = ExchangePlatform(std::move(canvas));
  TPlatform& p = Platform();
  p.DrawImage(CreateImage(shot, shot.Width, shot.Height, 0, 1, 0), 0, 0);
  TGameState& g = *world.State;
  const int32_t camX = g.CamX, camY = g.CamY;
  // Replacement images are drawn at their own resolution; the picture is in classic pixels.
  const bool replacements = PlaySettings().ReplacementMode;
  PlaySettings().ReplacementMode = false;
  for (const PActorListEntry& entry : world.Actors->Entries()) {
    auto object = std::dynamic_pointer_cast<TVisibleObject>(entry);
    if (!object) continue;
    g.CamX = object->PosX - 12;
    g.CamY = object->PosY / 16 - 5;
    // Logical (16, 16) is the view's top-left corner: the map cell (CamX / 2, CamY).
    p.SetRawScale(1, 1, 8 * g.CamX - 16, 16 * g.CamY - 16);
    // The hero as he stands, not blinking through the start flicker.
    if (object.get() == world.Player.get())
      object->TVisibleObject::Draw();
    else
      object->Draw();
    p.SetColour(0xFFFFFF);
    p.SetAlpha(1);
    p.SetScale(1, 1);
    p.ResetClip();
  }
  PlaySettings().ReplacementMode = replacements;
  g.CamX = camX;
  g.CamY = camY;
  p.RestoreLogicalScale();
  shot = p.ReadPixels({0, 0, shot.Width, shot.Height});
  ExchangePlatform(std::move(previous));
}

}  // namespace

TPixmap DrawWholeLevel(TWorld& world, int map) {
  NewGameState(world, false);
  world.State->MapOn = uint16_t(map);
  if (!LoadLevel(world)) return {};
  TPixmap shot = DrawTiles(world);
  DrawObjects(world, shot);
  return shot;
}

bool WriteLevelShot(TWorld& world, int map) {
  TPixmap shot = DrawWholeLevel(world, map);
  if (shot.Pixels.empty()) return false;
  return SavePng(shot, "levelshot" + std::to_string(map) + ".png", 5);
}
