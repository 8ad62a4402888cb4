#include "world/level_draw.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "data/graphics.h"
#include "data/level_map.h"
#include "data/tile_words.h"
#include "platform/keyboard.h"
#include "platform/platform.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "world/game_state.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

int32_t MirrorLineY[201] = {};
int32_t MirrorLineHeight[201] = {};

namespace {
// The map column at the view's left edge. Rounded down: a level start near the left edge
// leaves the camera left of the map, and an odd CamX there must not shift the tiles.
int FirstViewColumn(int32_t camX) { return camX >= 0 ? camX / 2 : (camX - 1) / 2; }

// Drawing tracks of map cells for smooth motion: a tile, the sheen and the reflection of
// a mirror run keep their identity while the camera moves.
enum : uint64_t { TrackTile = 1, TrackSheen = 2, TrackMirror = 3 };
uint64_t CellTrack(uint64_t kind, int column, int row) {
  return kind << 48 | uint64_t(uint16_t(row)) << 16 | uint16_t(column);
}

// --- The sheen of the mirror floors ------------------------------------------------------
// The reflection replaces every pixel of the floor, so a mirror looks like a hole into a
// room below. The sheen draws the tiles under the reflection once more through a screen
// door of diagonal bands two classic pixels wide: half of the floor keeps its own colours,
// in streaks like a polished surface, and the reflection shows between them. Fully opaque
// pixels only, so the GL and the software renderers give the same picture.

bool SheenPixel(int x, int y) { return (x + y) % 4 < 2; }

struct TSheen {
  std::weak_ptr<TImage> Source;
  PImage Image;
};
std::map<std::tuple<uint64_t, const TImage*, int>, TSheen> SheenCache;

// One frame of an image, cut down to the screen-door pixels; null for a missing frame.
// The result is kept, so the renderer uploads it once.
PImage SheenOf(const PImage& source, int frame, int classicWidth, int classicHeight) {
  if (!source || frame < 0 || frame >= source->FrameCount()) return nullptr;
  auto key = std::make_tuple(source->Serial, source.get(), frame);
  auto it = SheenCache.find(key);
  if (it != SheenCache.end() && it->second.Source.lock() == source) return it->second.Image;
  for (auto e = SheenCache.begin(); e != SheenCache.end();)
    e = e->second.Source.expired() ? SheenCache.erase(e) : std::next(e);
  const TPixmap& f = source->Frames[size_t(frame)];
  bool masked = (source->Flags & ImageMasked) != 0;
  TPixmap door(f.Width, f.Height, 0);
  for (int y = 0; y < f.Height; ++y)
    for (int x = 0; x < f.Width; ++x) {
      uint32_t texel = f.Get(x, y);
      // A replacement image has more pixels than the classic frame: same pattern.
      if (!SheenPixel(x * classicWidth / f.Width, y * classicHeight / f.Height)) continue;
      if (masked && (texel >> 24) < 128) continue;
      door.Set(x, y, texel | 0xFF000000u);
    }
  PImage image = CreateImage(door, f.Width, f.Height, 0, 1, source->Flags | ImageMasked);
  if (image) {
    image->HandleX = source->HandleX;
    image->HandleY = source->HandleY;
  }
  SheenCache[key] = {source, image};
  return image;
}

// The screen-door copy of what DrawLevel draws for a map code; backdrops get none.
void DrawSheenTile(const TWorld& world, uint16_t code, float x, float y) {
  int b = code / 32;
  if (b <= SecondBackdropPicture || b > LastBorderPicture) return;
  const PImage* classic = &TileImage;
  const TReplacement* replacement = &TileReplacement;
  int frame = b;
  if (b <= LastAnimatedPicture) {
    frame = b + int(uint32_t(world.State->Timer) % 4);
  } else if (b > LastTilePicture) {
    classic = &BorderTiles;
    replacement = &BorderReplacement;
    frame = b - FirstBorderPicture;
  }
  TPlatform& p = Platform();
  if (PlaySettings().ReplacementMode && replacement->Image) {
    PImage door = SheenOf(replacement->Image, frame, 16, 16);
    if (!door) return;
    p.SetScale(float(replacement->ScaleX), float(replacement->ScaleY));
    p.DrawImage(door, x, y);
    p.SetScale(1, 1);
    return;
  }
  if (PImage door = SheenOf(*classic, frame, 16, 16)) p.DrawImage(door, x, y);
}

// The sheen over a run's reflection (window rectangle filled): the tiles of the mirror
// row and, where the reflection reaches down into it, of the row below.
void DrawMirrorSheen(const TWorld& world, const TRect& filled, int runX, int runW, int viewRow,
                     int lines) {
  if (filled.W <= 0 || filled.H <= 0) return;
  const TGameState& g = *world.State;
  TPlatform& p = Platform();
  const TRect saved = p.Clip();
  int x0 = std::max(filled.X, saved.X), y0 = std::max(filled.Y, saved.Y);
  int x1 = std::min(filled.X + filled.W, saved.X + saved.W);
  int y1 = std::min(filled.Y + filled.H, saved.Y + saved.H);
  if (x1 <= x0 || y1 <= y0) return;
  p.SetClipWindow({x0, y0, x1 - x0, y1 - y0});
  int xFirst = g.CamX % 2 != 0 ? 8 : 16;
  int y = 16 + 16 * viewRow;
  for (int i = viewRow; i <= viewRow + 1 && 16 * (i - viewRow) < lines + 2; ++i)
    for (int j = 0; xFirst + 16 * j < runX + runW; ++j) {
      int cellX = xFirst + 16 * j;
      if (cellX + 16 <= runX) continue;
      int column = FirstViewColumn(g.CamX) + j, row = g.CamY + i;
      if (!InMap(column, row)) continue;
      DrawSheenTile(world, world.Grid.Tiles[row][column], float(cellX),
                    float(y + 16 * (i - viewRow)));
    }
  p.SetClipWindow(saved);
}

}  // namespace

void DrawLevel(const TWorld& world) {
  const TGameState& g = *world.State;
  DrawBackdrop(1, 16, 16);
  bool odd = g.CamX % 2 != 0;
  int columns = odd ? 14 : 13;
  TPlatform& p = Platform();
  // Smooth motion slides the view by up to a tile between two ticks: one more row and
  // column of cells all round, under the frame that is drawn over them.
  const int margin = Options().SmoothMotion ? 1 : 0;
  for (int i = -margin; i < 10 + margin; ++i)
    for (int j = -margin; j < columns + margin; ++j) {
      int column = FirstViewColumn(g.CamX) + j, row = g.CamY + i;
      uint16_t code = 0;
      if (InMap(column, row)) code = world.Grid.Tiles[row][column];
      int b = code / 32;
      float x = float((odd ? 8 : 16) + 16 * j), y = float(16 + 16 * i);
      if (b == BackdropPicture) continue;
      TTrackScope track(p, CellTrack(TrackTile, column, row));
      if (b == SecondBackdropPicture) {
        p.SetClip(x, y, 16, 16);
        DrawBackdrop(2, 16, 16);
        p.ResetClip();
      } else if (b <= LastAnimatedPicture) {
        DrawTile(x, y, b + int(uint32_t(g.Timer) % 4));
      } else if (b <= LastTilePicture) {
        DrawTile(x, y, b);
      } else if (b <= LastBorderPicture) {
        DrawBorderTile(x, y, b - FirstBorderPicture);
      }
    }
}

void DrawStatusBorder(const TWorld& world) {
  TPlatform& p = Platform();
  p.SetColour(0);
  p.DrawRect(240, 16, 64, 160);
  p.DrawRect(0, 192, 320, 8);
  p.SetColour(0xFFFFFF);
  for (int i = 1; i <= 10; ++i) {
    DrawBorderTile(0, float(16 * i), 0);
    DrawBorderTile(224, float(16 * i), 1);
    DrawBorderTile(304, float(16 * i), 10);
  }
  for (int i = 1; i <= 13; ++i) {
    DrawBorderTile(float(16 * i), 0, 2);
    DrawBorderTile(float(16 * i), 176, 3);
  }
  for (int i = 15; i <= 18; ++i)
    for (int y : {0, 40, 80, 128, 176}) DrawBorderTile(float(16 * i), float(y), 8);
  for (int y : {40, 80, 128}) {
    DrawBorderTile(224, float(y), 14);
    DrawBorderTile(304, float(y), 15);
  }
  DrawBorderTile(0, 0, 4);
  DrawBorderTile(0, 176, 7);
  DrawBorderTile(224, 0, 5);
  DrawBorderTile(224, 176, 6);
  DrawBorderTile(304, 0, 9);
  DrawBorderTile(304, 176, 11);
  auto label = [](int first, int last, int x, int y) {
    for (int n = first; n <= last; ++n) DrawBorderTile(float(x + 16 * (n - first)), float(y), n);
  };
  label(26, 29, 88, 176);
  label(30, 32, 248, 128);
  label(33, 35, 248, 80);
  label(38, 39, 256, 0);
  bool blink = world.State->Timer % 2 != 0 && world.State->Health < 2;
  if (blink)
    label(42, 43, 256, 40);
  else
    label(36, 37, 256, 40);
  DrawText("Zyntra Beta 3", 108, 192);
}

void DrawHud(const TWorld& world) {
  const TGameState& g = *world.State;
  std::string score = std::to_string(g.ShownScore() % 100000000u);
  DrawText(std::string(8 - score.size(), '0') + score, 240, 24);
  for (int i = 0; i < int(g.Health) - 1; ++i) DrawSprite(float(240 + 8 * i), 60, SpriteHealthBar);
  if (g.FirePower > 0) {
    for (int i = 0; i < g.FirePower; ++i) DrawSprite(float(240 + 16 * i), 108, SpriteHeroShot);
    DrawSprite(264, 96, SpritePistol);
  }
  for (int i = 0; i < int(KeyKinds) && i < int(g.GotKey.size()); ++i)
    if (g.GotKey[size_t(i)]) DrawSprite(float(240 + 16 * i), 144, SpriteKey + i);
  if (g.GotBoots) DrawSprite(240, 160, SpriteBoots);
  if (g.GotHooks) DrawSprite(256, 160, SpriteHooks);
  if (g.GotGlove) DrawSprite(272, 160, SpriteGlove);
  if (g.GotAccessCard) DrawSprite(288, 160, SpriteAccessCard);
  if (Options().DebugMode) DrawText(g.Letters, 256, 180);
}

TRect DrawMirrorRun(int phase, int x, int y, int w, int n) {
  TPlatform& p = Platform();
  const TViewTransform& v = p.View();
  float sx = v.ScaleX, sy = v.ScaleY;
  int left = int(float(x) * sx + 0.5f);
  int top = int(float(y - 2 * n) * sy + 0.5f);
  int right = int(float(x + w) * sx + 0.5f);
  int bottom = int(float(y) * sy + 0.5f);
  if (right <= left || bottom <= top) return {};
  // Everything drawn so far, as it stands now: the reflection is built from this copy.
  p.CaptureRegion(
      {v.OffsetX + left, v.OffsetY + std::max(0, top), right - left, bottom - std::max(0, top)});
  int destX = v.OffsetX + int(float(x) * sx);
  int destY = v.OffsetY + MirrorLineY[std::clamp(y + 2, 0, 200)];
  const int firstY = destY;
  int line = y - 1 - (phase ? 1 : 0);
  for (int k = 0; k < n; ++k, line -= 2) {
    if (line < 0) {
      destY += std::max(1, int(sy));  // a line above the screen stays empty
      continue;
    }
    int rows = MirrorLineHeight[std::min(line, 200)];
    p.DrawCaptured(
        {v.OffsetX + left, v.OffsetY + MirrorLineY[std::min(line, 200)], right - left, rows}, destX,
        destY);
    destY += rows;
  }
  return {destX, firstY, right - left, destY - firstY};
}

void DrawMirrors(const TWorld& world) {
  if (PlaySettings().NoMirrors) return;
  const TGameState& g = *world.State;
  bool odd = g.CamX % 2 != 0;
  int x0 = odd ? 8 : 16, columns = odd ? 14 : 13;
  int phase = int(uint32_t(g.Timer) % 2);
  TPlatform& p = Platform();
  for (int i = 0; i < 10; ++i) {
    int n = i == 9 ? 14 : 30;
    int runX = -1, runW = 0, runColumn = 0;
    auto finish = [&] {
      if (runX < 0) return;
      runW = std::min(runW, 224 - runX);
      if (runW > 0) {
        p.BeginTrack(CellTrack(TrackMirror, runColumn, g.CamY + i));
        TRect filled = DrawMirrorRun(phase, runX, 16 + 16 * i, runW, n);
        p.EndTrack();
        if (Options().MirrorSheen) {
          p.BeginTrack(CellTrack(TrackSheen, runColumn, g.CamY + i), true);
          DrawMirrorSheen(world, filled, runX, runW, i, n);
          p.EndTrack();
        }
      }
      runX = -1;
    };
    for (int j = 0; j < columns; ++j) {
      int column = FirstViewColumn(g.CamX) + j, row = g.CamY + i;
      bool mirror = InMap(column, row) && world.Grid.Mirrors[row][column];
      if (!mirror) {
        finish();
        continue;
      }
      if (runX < 0) {
        runColumn = column;
        runX = x0 + 16 * j;
        runW = 16;
        if (j == 0 && x0 == 8) {
          runX = 16;
          runW = 8;
        }
      } else {
        runW += 16;
      }
    }
    finish();
  }
}

void RowCalibration() {
  TPlatform& p = Platform();
  const TViewTransform& v = p.View();
  float sy = v.ScaleY;
  if (sy >= 1) {
    TPixmap test(16, 16, 0xFF000000u);
    for (int row = 0; row < 16; ++row) test.Set(row % 2, row, 0xFFFFFFFFu);
    PImage image = CreateImage(test, 16, 16, 0, 1, 0);
    p.Clear(0);
    for (int i = 0; i < 13; ++i) p.DrawImage(image, 0, float(16 * i), 0);
    TRect area{v.OffsetX, v.OffsetY, int(320 * v.ScaleX), int(200 * sy)};
    TPixmap shot = p.ReadPixels(area);
    p.Clear(0);
    int line = -1;
    uint32_t previous = 0;
    for (int row = 0; row < shot.Height && line <= 200; ++row) {
      uint32_t colour = shot.Get(0, row);
      if (row == 0 || colour != previous) {
        if (++line > 200) break;
        MirrorLineY[line] = row;
        MirrorLineHeight[line] = 1;
      } else {
        ++MirrorLineHeight[line];
      }
      previous = colour;
    }
    // Lines the read-back did not reach (line 200 lies just below the picture).
    for (int i = std::max(line + 1, 1); i <= 200; ++i) {
      MirrorLineY[i] = MirrorLineY[i - 1] + MirrorLineHeight[i - 1];
      MirrorLineHeight[i] = std::max(1, int(sy));
    }
    if (line >= 0) return;
  } else {
    LogLine(std::to_string(p.WindowWidth()) + "x" + std::to_string(p.WindowHeight()) +
            "!? You've got to be kidding me!");
    LogLine("");
  }
  for (int i = 0; i <= 200; ++i) MirrorLineY[i] = int(float(i) * sy + 0.5f);
  for (int i = 1; i <= 200; ++i) MirrorLineHeight[i - 1] = MirrorLineY[i] - MirrorLineY[i - 1];
  MirrorLineHeight[200] = std::max(1, int(sy + 0.5f));
}

namespace {
void (*BoxPresenter)() = nullptr;
}  // namespace

void SetBoxPresenter(void (*present)()) { BoxPresenter = present; }

void ShowInfoBox(TWorld& world, const std::string& text, int x, int y, int w, int h,
                 bool needEnter) {
  ResetKeys();
  TPlatform& p = Platform();
  for (int k = 0;; k = (k + 1) % 4) {
    p.Clear(0);
    RedrawGame(world);
    DrawMessageBox(text, float(x), float(y), w, h);
    DrawSprite(float(x + 16 * w), float(y + 16 * h), SpriteBallCursor + k);
    if (BoxPresenter)
      BoxPresenter();
    else
      p.Flip(true);
    if (needEnter ? p.Input().KeyHit(KeyEnter) > 0 : AnyKeyHit()) break;
  }
  ResetKeys();
}
