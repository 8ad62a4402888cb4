#include "data/graphics.h"

#include <algorithm>
#include <filesystem>

#include "data/image_io.h"
#include "data/planar.h"
#include "data/stream.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/strings.h"

PImage BorderTiles, FontImage, TitlePicture, CreditsPicture, HeroPicture, VillainPicture,
    EndPicture, TileImage, PanelPattern, SpriteImage, Backdrop1, Backdrop2;
TReplacement BorderReplacement, FontReplacement, TileReplacement, SpriteReplacement;
TReplacement Backdrop1Replacement, Backdrop2Replacement, PanelReplacement;
PImage LeftBorderImage, RightBorderImage;
double SideBarScale = 1;
TIniParser ReplacementIni;

namespace {

constexpr int BackdropFileSize = 20803;  // 3-byte header + 130 tiles of 2 x 16 x 5 bytes
// Memory bound of the replacement image set: every replacement image held at once (border,
// font, tiles, sprites, panel, backdrops, side borders) holds at most 256 MB of frame pixels
// together, so that a few lines of "hrp.ini" cannot exhaust memory. An image that would
// pass the bound is not made (the classic set stays). A picture file being decoded is
// bounded on its own by the image readers (32 Mi pixels, 128 MB).
constexpr int64_t ReplacementSetBytes = int64_t(256) << 20;
constexpr int64_t PixelBytes = int64_t(sizeof(uint32_t));

int64_t ImageBytes(const PImage& image) {
  if (!image) return 0;
  int64_t bytes = 0;
  for (const TPixmap& f : image->Frames) bytes += int64_t(f.Pixels.size()) * PixelBytes;
  return bytes;
}

int64_t HeldReplacementBytes() {
  int64_t bytes = ImageBytes(LeftBorderImage) + ImageBytes(RightBorderImage);
  for (const TReplacement* r :
       {&BorderReplacement, &FontReplacement, &TileReplacement, &SpriteReplacement,
        &Backdrop1Replacement, &Backdrop2Replacement, &PanelReplacement})
    bytes += ImageBytes(r->Image);
  return bytes;
}

// True when frames of w x h pixels, count of them, fit beside the replacement images held;
// otherwise a log line names the image. Checked before anything is cut.
bool ReplacementFits(const std::string& name, int64_t w, int64_t h, int64_t count) {
  const int64_t room = ReplacementSetBytes - HeldReplacementBytes();
  if (w > 0 && h > 0 && count > 0 && w <= room && h <= room / w &&
      count <= room / (w * h * PixelBytes))
    return true;
  LogLine("WARNING :: replacement image \"" + name + "\" (" + std::to_string(count) +
          " frames of " + std::to_string(w) + " x " + std::to_string(h) + ") passes the " +
          std::to_string(ReplacementSetBytes >> 20) +
          " MB bound of the replacement images; the classic image stays");
  return false;
}

std::string EpisodePath(const std::string& stem) {
  return Options().GameDir + stem + Options().GameExt;
}

void ExportPng(const PPixmap& pixmap, const std::string& name) {
  if (Options().ExportMode && pixmap) SavePng(*pixmap, name, 5);
}

void ExportSheet(const PPixmap& strip, int cellW, int cellH, int perRow, const std::string& name) {
  if (Options().ExportMode && strip) ExportPng(ArrangeCells(strip, cellW, cellH, perRow), name);
}

// Pastes the tiles of a tile file into a strip one cell wide at cell first, at most
// maxCount of them, never past the strip's end.
int PasteTiles(TPixmap& strip, const PPixmap& tiles, int tileHeight, int count, int first,
               int cellHeight) {
  if (!tiles || tileHeight < 1) return 0;
  int pasted = 0;
  for (int i = 0; i < count; ++i) {
    int cell = first + i;
    if (cell * cellHeight >= strip.Height) break;
    strip.Paste(tiles->Cut(0, i * tileHeight, tiles->Width, tileHeight), 0, cell * cellHeight);
    ++pasted;
  }
  return pasted;
}

PImage PictureImage(const std::string& stem, PPixmap* keep = nullptr) {
  PPixmap picture = DecodePlanarPicture(EpisodePath(stem), 0, 40, 200, -1, -1);
  if (keep) *keep = picture;
  if (!picture) return nullptr;
  return CreateImage(*picture, picture->Width, picture->Height, 0, 1, Options().DefaultImageFlags);
}

void LogEssentialError(const std::string& stem) {
  LogLine("ERROR :: LoadEssentialGraphics :: cannot read graphics from \"" + stem +
          Options().GameExt + "\"");
}

bool UseReplacement(const TReplacement& r) { return PlaySettings().ReplacementMode && r.Image; }

// Draws frame of the classic image or, when active, the replacement at its scales.
void DrawFromSet(const PImage& classic, const TReplacement& replacement, float x, float y,
                 int frame) {
  TPlatform& p = Platform();
  if (UseReplacement(replacement)) {
    if (frame < 0 || frame >= replacement.Image->FrameCount()) return;
    p.SetScale(float(replacement.ScaleX), float(replacement.ScaleY));
    p.DrawImage(replacement.Image, x, y, frame);
    p.SetScale(1, 1);
    return;
  }
  if (classic) p.DrawImage(classic, x, y, frame);
}

}  // namespace

std::string ReplacementValue(const std::string& section, const std::string& key,
                             const std::string& defaultValue) {
  std::string plain = ReplacementIni.GetString(section, key, defaultValue);
  return ReplacementIni.GetString(section + Options().GameExt, key, plain);
}

TReplacement LoadReplacementImage(const std::string& name, int baseWidth, int baseHeight,
                                  int frames, int flags) {
  TReplacement r;
  std::string file = ReplacementValue(name, "Image", "hq_" + name + ".png");
  const int64_t cellW =
      ParseLeadingInteger(ReplacementValue(name, "TileWidth", std::to_string(int(4 * baseWidth))));
  const int64_t cellH = ParseLeadingInteger(
      ReplacementValue(name, "TileHeight", std::to_string(int(4 * baseHeight))));
  if (cellW < 1 || cellH < 1 || frames < 1) return r;
  // A mistyped cell size must not make the frames exhaust memory.
  if (!ReplacementFits(name, cellW, cellH, frames)) return r;
  PPixmap pixmap = LoadImageFile(file);
  if (!pixmap) return r;
  r.Image = CreateImage(*pixmap, int(cellW), int(cellH), 0, frames, flags);
  if (!r.Image) return r;
  r.ScaleX = double(baseWidth) / cellW;
  r.ScaleY = double(baseHeight) / cellH;
  return r;
}

TReplacement LoadAliasedImage(const std::string& name) {
  TReplacement r;
  std::string file = ReplacementValue("aliases", name, "hq_" + name + ".png");
  PPixmap pixmap = LoadImageFile(file);
  if (!pixmap || !ReplacementFits(name, pixmap->Width, pixmap->Height, 1)) return r;
  r.Image = CreateImage(*pixmap, pixmap->Width, pixmap->Height, 0, 1, Options().PlainImageFlags);
  return r;
}

bool LoadEssentialGraphics() {
  LogLine("LoadEssentialGraphics() started");
  int count = 0, widthBytes = 0, height = 0;
  PPixmap border = LoadTileFile(EpisodePath("BORDER"), false, count, widthBytes, height);
  if (!border || count < 44) {
    LogEssentialError("BORDER");
    return false;
  }
  ExportSheet(border, 8 * widthBytes, height, 24, "_border.png");
  BorderTiles = CreateImage(*border, 8 * widthBytes, height, 0, count, Options().DefaultImageFlags);
  BorderReplacement = {};  // a reload does not count the image it replaces
  if (Options().EnhancedContent)
    BorderReplacement = LoadReplacementImage("border", 16, 16, count, Options().PlainImageFlags);

  int count1 = 0, wb1 = 0, h1 = 0, count2 = 0, wb2 = 0, h2 = 0;
  PPixmap font1 = LoadTileFile(EpisodePath("FONT1"), true, count1, wb1, h1);
  if (!font1) {
    LogEssentialError("FONT1");
    return false;
  }
  PPixmap font2 = LoadTileFile(EpisodePath("FONT2"), true, count2, wb2, h2);
  if (!font2) {
    LogEssentialError("FONT2");
    return false;
  }
  TPixmap strip(8, 8 * FontFrameCount);
  for (int i = 0; i < count1 && 22 + i < FontFrameCount; ++i)
    PasteTiles(strip, std::make_shared<TPixmap>(font1->Cut(0, i * h1, font1->Width, h1)), h1, 1,
               22 + i, 8);
  for (int i = 0; i < count2; ++i) {
    int code = i < 19 ? 72 + i : 97 + (i - 19);
    if (code >= FontFrameCount) break;
    PasteTiles(strip, std::make_shared<TPixmap>(font2->Cut(0, i * h2, font2->Width, h2)), h2, 1,
               code, 8);
  }
  auto fontStrip = std::make_shared<TPixmap>(std::move(strip));
  ExportSheet(fontStrip, 8, 8, 16, "_font.png");
  FontImage = CreateImage(*fontStrip, 8, 8, 0, FontFrameCount, Options().DefaultImageFlags);
  FontReplacement = {};
  if (Options().EnhancedContent)
    FontReplacement =
        LoadReplacementImage("font", 8, 8, FontFrameCount, Options().MaskedImageFlags);
  LogLine("LoadEssentialGraphics() terminated");
  LogLine("");
  return true;
}

void LoadRemainingGraphics() {
  LogLine("LoadRemainingGraphics() started");
  PPixmap title;
  TitlePicture = PictureImage("QZ", &title);
  if (title && Options().PatchText && !Options().KeepTitle) {
    if (PPixmap patch = LoadImageFile("incbin::e.png")) {
      title->Paste(*patch, 240, 17);
      TitlePicture =
          CreateImage(*title, title->Width, title->Height, 0, 1, Options().DefaultImageFlags);
    }
  }
  ExportPng(title, "_QZ" + Options().GameExt + ".png");
  PPixmap picture;
  CreditsPicture = PictureImage("CREDITS", &picture);
  ExportPng(picture, "_CREDITS.png");
  HeroPicture = PictureImage("BRAX", &picture);
  ExportPng(picture, "_BRAX.png");
  VillainPicture = PictureImage("BADGUY", &picture);
  ExportPng(picture, "_BADGUY.png");
  EndPicture = PictureImage("END", &picture);
  ExportPng(picture, "_END" + Options().GameExt + ".png");

  // Tiles: BACK0..3 then SOLID0..3, 48 frames each.
  auto tiles = std::make_shared<TPixmap>(16, 16 * TileFrameCount);
  for (int k = 0; k < 8; ++k) {
    std::string stem = std::string(k < 4 ? "BACK" : "SOLID") + char('0' + k % 4);
    int count = 48, wb = 0, h = 0;
    PPixmap file = LoadTileFile(EpisodePath(stem), false, count, wb, h);
    PasteTiles(*tiles, file, h, count, 48 * k, 16);
  }
  ExportSheet(tiles, 16, 16, 16, "_tiles.png");
  TileImage = CreateImage(*tiles, 16, 16, 0, TileFrameCount, Options().DefaultImageFlags);
  PanelPattern =
      CreateImage(tiles->Cut(0, 2952, 16, 16), 16, 16, 0, 1, Options().DefaultImageFlags);

  // Sprites: MAN0..4, ANIM0..5 (48 each), OBJECT0..2 (50 apart), NUMBERS.
  auto sprites = std::make_shared<TPixmap>(16, 16 * SpriteFrameCount);
  auto pasteSprites = [&](const std::string& stem, int forced, int first) {
    int count = forced, wb = 0, h = 0;
    PPixmap file = LoadTileFile(EpisodePath(stem), true, count, wb, h);
    PasteTiles(*sprites, file, h, count, first, 16);
  };
  for (int k = 0; k < 5; ++k) pasteSprites("MAN" + std::to_string(k), 48, 48 * k);
  for (int k = 0; k < 6; ++k) pasteSprites("ANIM" + std::to_string(k), 48, 240 + 48 * k);
  for (int k = 0; k < 3; ++k) pasteSprites("OBJECT" + std::to_string(k), 0, 528 + 50 * k);
  pasteSprites("NUMBERS", 0, 678);
  ExportSheet(sprites, 16, 16, 16, "_sprites.png");
  SpriteImage = CreateImage(*sprites, 16, 16, 0, SpriteFrameCount, Options().DefaultImageFlags);

  TileReplacement = SpriteReplacement = PanelReplacement = {};
  if (Options().EnhancedContent) {
    TileReplacement =
        LoadReplacementImage("tiles", 16, 16, TileFrameCount, Options().PlainImageFlags);
    SpriteReplacement =
        LoadReplacementImage("sprites", 16, 16, SpriteFrameCount, Options().MaskedImageFlags);
    if (TileReplacement.Image && TileReplacement.Image->FrameCount() > 185 &&
        ReplacementFits("panel", TileReplacement.Image->FrameWidth,
                        TileReplacement.Image->FrameHeight, 1)) {
      const TImage& t = *TileReplacement.Image;
      int h = t.FrameHeight, upper = h - h / 2;
      TPixmap cell(t.FrameWidth, h);
      cell.Paste(t.Frames[184].Cut(0, h / 2, t.FrameWidth, upper), 0, 0);
      cell.Paste(t.Frames[185].Cut(0, 0, t.FrameWidth, h / 2), 0, upper);
      PanelReplacement.Image = CreateImage(cell, t.FrameWidth, h, 0, 1, Options().PlainImageFlags);
      PanelReplacement.ScaleX = TileReplacement.ScaleX;
      PanelReplacement.ScaleY = TileReplacement.ScaleY;
    }
  }
  LogLine("LoadRemainingGraphics() terminated");
  LogLine("");
}

PPixmap LoadBackdropPixmap(const std::string& path) {
  int count = 130, wb = 2, h = 16;
  PPixmap strip = LoadTileFile(path, false, count, wb, h);
  return ArrangeCells(strip, 16, 16, 13);
}

PImage LoadBackdropFile(const std::string& path) {
  PPixmap picture = LoadBackdropPixmap(path);
  if (!picture) return nullptr;
  return CreateImage(*picture, picture->Width, picture->Height, 0, 1, Options().DefaultImageFlags);
}

namespace {
std::string StemOf(const std::string& name) {
  std::string base = name;
  size_t slash = base.find_last_of("/\\");
  if (slash != std::string::npos) base = base.substr(slash + 1);
  size_t dot = base.find_last_of('.');
  if (dot != std::string::npos) base = base.substr(0, dot);
  return base;
}

TReplacement BackdropReplacement(const std::string& name) {
  TReplacement r = LoadAliasedImage(StemOf(name));
  if (r.Image) {
    r.ScaleX = 208.0 / r.Image->FrameWidth;
    r.ScaleY = 160.0 / r.Image->FrameHeight;
  }
  return r;
}
}  // namespace

void LoadBackdrops(const std::string& name1, const std::string& name2) {
  Backdrop1 = LoadBackdropFile(Options().GameDir + name1);
  Backdrop2 = LoadBackdropFile(Options().GameDir + name2);
  Backdrop1Replacement = {};
  Backdrop2Replacement = {};
  if (Options().EnhancedContent) {
    Backdrop1Replacement = BackdropReplacement(name1);
    Backdrop2Replacement = BackdropReplacement(name2);
  }
}

bool LoadBorderImages() {
  if (!Options().EnhancedContent) return false;
  PPixmap left = LoadImageFile(ReplacementValue("borderimages", "left", ""));
  if (!left || left->Height < 1) return false;
  PPixmap right = LoadImageFile(ReplacementValue("borderimages", "right", ""));
  TPixmap rightPixmap = right ? *right : left->MirroredX();
  LeftBorderImage = RightBorderImage = nullptr;
  if (!ReplacementFits("borderimages", int64_t(left->Width) + rightPixmap.Width,
                       std::max(left->Height, rightPixmap.Height), 1))
    return false;
  LeftBorderImage = CreateImage(*left, left->Width, left->Height, 0, 1, Options().PlainImageFlags);
  RightBorderImage = CreateImage(rightPixmap, rightPixmap.Width, rightPixmap.Height, 0, 1,
                                 Options().PlainImageFlags);
  if (!LeftBorderImage || !RightBorderImage) return false;
  LeftBorderImage->HandleX = float(left->Width);
  SideBarScale = double(Platform().WindowHeight()) / left->Height;
  return true;
}

void DrawSideBorders() {
  TPlatform& p = Platform();
  TRect picture = p.PictureRect();
  if (picture.X <= 0 || !LeftBorderImage) return;
  // Full window height, also after a resize.
  float s = LeftBorderImage->FrameHeight > 0
                ? float(p.WindowHeight()) / float(LeftBorderImage->FrameHeight)
                : float(SideBarScale);
  p.SetClipWindow({0, 0, picture.X, p.WindowHeight()});
  p.SetRawScale(s, s, picture.X, 0);
  p.DrawImage(LeftBorderImage, 0, 0, 0);
  int right = picture.X + picture.W;
  p.SetClipWindow({right, 0, p.WindowWidth() - right, p.WindowHeight()});
  p.SetRawScale(s, s, right, 0);
  p.DrawImage(RightBorderImage, 0, 0, 0);
  p.RestoreLogicalScale();
  p.ResetClip();
}

void ExportBackdrops() {
  std::error_code ec;
  std::string dir = Options().GameDir.empty() ? "." : Options().GameDir;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    if (entry.is_regular_file(ec)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    if (std::filesystem::file_size(path, ec) != BackdropFileSize || ec) continue;
    PPixmap picture = LoadBackdropPixmap(path.string());
    if (!picture) continue;
    // Built by appending: GCC 12 warns falsely (-Wrestrict) about "_" + string + ".png".
    std::string name = "_";
    name += path.stem().string();
    name += ".png";
    SavePng(*picture, name, 5);
  }
}

void ReleaseGraphics() {
  BorderTiles = FontImage = TitlePicture = CreditsPicture = HeroPicture = VillainPicture =
      EndPicture = TileImage = PanelPattern = SpriteImage = Backdrop1 = Backdrop2 = nullptr;
  BorderReplacement = FontReplacement = TileReplacement = SpriteReplacement = {};
  Backdrop1Replacement = Backdrop2Replacement = PanelReplacement = {};
  LeftBorderImage = RightBorderImage = nullptr;
  SideBarScale = 1;
}

// --- Drawing -------------------------------------------------------------------------

void DrawSprite(float x, float y, int frame) {
  DrawFromSet(SpriteImage, SpriteReplacement, x, y, frame);
}
void DrawFontChar(float x, float y, int code) {
  DrawFromSet(FontImage, FontReplacement, x, y, code & 255);
}
void DrawTile(float x, float y, int tile) { DrawFromSet(TileImage, TileReplacement, x, y, tile); }
void DrawBorderTile(float x, float y, int n) {
  DrawFromSet(BorderTiles, BorderReplacement, x, y, n);
}

void DrawBackdrop(int which, float x, float y) {
  if (which == 1)
    DrawFromSet(Backdrop1, Backdrop1Replacement, x, y, 0);
  else if (which == 2)
    DrawFromSet(Backdrop2, Backdrop2Replacement, x, y, 0);
}

void DrawPanelPattern() {
  TPlatform& p = Platform();
  int w = std::max(p.VirtualWidth(), 1), h = std::max(p.VirtualHeight(), 1);
  for (int y = 0; y < h; y += 16)
    for (int x = 0; x < w; x += 16)
      DrawFromSet(PanelPattern, PanelReplacement, float(x), float(y), 0);
}

void DrawText(const std::string& text, float x, float y) {
  float cx = x;
  for (unsigned char ch : text) {
    if (ch == 10) {
      cx = x;
      y += 8;
      continue;
    }
    DrawFontChar(cx, y, ch);
    cx += 8;
  }
}

void DrawFrame(float x, float y, int columns, int rows) {
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) DrawBorderTile(x + 16 * c, y + 16 * r, 17);
  for (int r = 1; r < rows; ++r) {
    DrawBorderTile(x, y + 16 * r, 22);
    DrawBorderTile(x + 16 * columns, y + 16 * r, 23);
  }
  for (int c = 1; c < columns; ++c) {
    DrawBorderTile(x + 16 * c, y, 24);
    DrawBorderTile(x + 16 * c, y + 16 * rows, 25);
  }
  DrawBorderTile(x, y, 18);
  DrawBorderTile(x + 16 * columns, y, 19);
  DrawBorderTile(x, y + 16 * rows, 20);
  DrawBorderTile(x + 16 * columns, y + 16 * rows, 21);
}

void DrawMessageBox(const std::string& text, float x, float y, int columns, int rows) {
  DrawFrame(x, y, columns, rows);
  DrawText(text, x + 8, y + 8);
}

void DrawWavyText(int start, float x, float y, int phase) {
  static const int Wave[4] = {-1, 0, 1, 0};
  for (int i = 0; i < 26; ++i) {
    int index = start + i;
    if (index < 0 || index >= int(DemoText.size())) continue;
    DrawFontChar(x + 8 * i, y + float(Wave[((i + phase) % 4 + 4) % 4]),
                 (unsigned char)DemoText[size_t(index)]);
  }
}
