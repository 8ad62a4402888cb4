// Image sets from episode files made by our writers, replacement images and the drawing
// operations.
#include <filesystem>

#include "data/graphics.h"
#include "data/image_io.h"
#include "data/planar.h"
#include "data/planar_writer.h"
#include "headless_fixture.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "temp_dir.h"

namespace {

// Tile i of a strip is filled with palette colour 1 + (first + i) % 15; with a hole, its
// top-left pixel is transparent.
TPixmap TileStrip(int count, int width, int height, int first = 0, bool hole = false) {
  TPixmap strip(width, height * count);
  for (int i = 0; i < count; ++i)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        strip.Set(x, i * height + y, EgaPalette[1 + (first + i) % 15]);
  if (hole)
    for (int i = 0; i < count; ++i) strip.Set(0, i * height, 0);
  return strip;
}

uint32_t TileColour(int n) { return EgaPalette[1 + n % 15]; }

class TGraphicsTest : public THeadlessTest {
 protected:
  void SetUp() override {
    THeadlessTest::SetUp();
    ReleaseGraphics();
    ReplacementIni.Init();
    StartUpOptions().GameDir = Temp.Dir();
    StartUpOptions().GameExt = ".QZ1";
  }
  void TearDown() override {
    ReleaseGraphics();
    ReplacementIni.Init();
    THeadlessTest::TearDown();
  }
  void WriteTiles(const std::string& stem, int count, int w, int h, int first = 0,
                  bool hole = false) {
    ASSERT_TRUE(WriteTileFile(Options().GameDir + stem + Options().GameExt,
                              TileStrip(count, w, h, first, hole), w / 8, h));
  }
  void WriteEssentials(int borderCount = 44) {
    WriteTiles("BORDER", borderCount, 16, 16);
    WriteTiles("FONT1", 50, 8, 8, 0, true);
    WriteTiles("FONT2", 45, 8, 8, 50, true);
  }
  std::string Log() { return TTempDir::ReadText("log.txt"); }

  TTempDir Temp;
};

TEST_F(TGraphicsTest, EssentialGraphicsFillTheFontByCharacterCode) {
  WriteEssentials();
  ASSERT_TRUE(LoadEssentialGraphics());
  ASSERT_TRUE(BorderTiles);
  EXPECT_EQ(BorderTiles->FrameCount(), 44);
  EXPECT_EQ(BorderTiles->Frames[43].Get(5, 5), TileColour(43));
  ASSERT_TRUE(FontImage);
  ASSERT_EQ(FontImage->FrameCount(), 256);
  EXPECT_EQ(FontImage->Frames[21].Get(3, 3), 0u);             // below FONT1
  EXPECT_EQ(FontImage->Frames[22].Get(3, 3), TileColour(0));  // FONT1 tile 0
  EXPECT_EQ(FontImage->Frames[71].Get(3, 3), TileColour(49));
  EXPECT_EQ(FontImage->Frames[72].Get(3, 3), TileColour(50));  // FONT2 tile 0 is "H"
  EXPECT_EQ(FontImage->Frames[90].Get(3, 3), TileColour(68));  // tile 18 is "Z"
  EXPECT_EQ(FontImage->Frames[91].Get(3, 3), 0u);
  EXPECT_EQ(FontImage->Frames[97].Get(3, 3), TileColour(69));  // tile 19 is "a"
  EXPECT_EQ(FontImage->Frames[122].Get(3, 3), TileColour(94));
  EXPECT_EQ(FontImage->Frames[123].Get(3, 3), 0u);
  EXPECT_EQ(FontImage->Frames[22].Get(0, 0) >> 24, 0u);  // masked: the hole stays
  std::string log = Log();
  EXPECT_NE(log.find("LoadEssentialGraphics() started\r\n"), std::string::npos);
  EXPECT_NE(log.find("LoadEssentialGraphics() terminated\r\n\r\n"), std::string::npos);
}

TEST_F(TGraphicsTest, MissingOrShortEssentialFilesFail) {
  EXPECT_FALSE(LoadEssentialGraphics());
  EXPECT_NE(
      Log().find("ERROR :: LoadEssentialGraphics :: cannot read graphics from \"BORDER.QZ1\""),
      std::string::npos);
  WriteEssentials(43);  // too few border tiles
  EXPECT_FALSE(LoadEssentialGraphics());
  WriteEssentials();
  std::filesystem::remove(Options().GameDir + "FONT2.QZ1");
  EXPECT_FALSE(LoadEssentialGraphics());
  EXPECT_NE(Log().find("cannot read graphics from \"FONT2.QZ1\""), std::string::npos);
  // A border file cut short is treated like a missing one.
  WriteEssentials();
  std::filesystem::resize_file(Options().GameDir + "BORDER.QZ1", 1000);
  EXPECT_FALSE(LoadEssentialGraphics());
}

TEST_F(TGraphicsTest, RemainingGraphicsPlaceFilesAtTheirFrames) {
  for (int k = 0; k < 4; ++k) {
    WriteTiles("BACK" + std::to_string(k), 50, 16, 16, 48 * k);  // 50 in the file, 48 taken
    WriteTiles("SOLID" + std::to_string(k), 48, 16, 16, 192 + 48 * k);
  }
  for (int k = 0; k < 5; ++k) WriteTiles("MAN" + std::to_string(k), 48, 16, 16, 48 * k, true);
  WriteTiles("OBJECT0", 50, 16, 16, 528, true);
  WriteTiles("OBJECT1", 48, 16, 16, 578, true);
  WriteTiles("OBJECT2", 50, 16, 16, 628, true);
  WriteTiles("NUMBERS", 44, 16, 16, 678, true);
  LoadRemainingGraphics();
  ASSERT_TRUE(TileImage);
  EXPECT_EQ(TileImage->FrameCount(), 384);
  EXPECT_EQ(TileImage->Frames[47].Get(1, 1), TileColour(47));
  EXPECT_EQ(TileImage->Frames[48].Get(1, 1), TileColour(48));  // BACK1 starts at 48
  EXPECT_EQ(TileImage->Frames[383].Get(1, 1), TileColour(383));
  // The panel pattern: lower half of tile 184 over the upper half of tile 185.
  ASSERT_TRUE(PanelPattern);
  EXPECT_EQ(PanelPattern->Frames[0].Get(0, 0), TileColour(184));
  EXPECT_EQ(PanelPattern->Frames[0].Get(0, 8), TileColour(185));
  ASSERT_TRUE(SpriteImage);
  EXPECT_EQ(SpriteImage->FrameCount(), 722);
  EXPECT_EQ(SpriteImage->Frames[625].Get(1, 1), TileColour(625));
  EXPECT_EQ(SpriteImage->Frames[626].Get(1, 1), 0u);  // OBJECT1 had 48 tiles
  EXPECT_EQ(SpriteImage->Frames[627].Get(1, 1), 0u);
  EXPECT_EQ(SpriteImage->Frames[628].Get(1, 1), TileColour(628));  // OBJECT2 still at 628
  EXPECT_EQ(SpriteImage->Frames[721].Get(1, 1), TileColour(721));
  EXPECT_EQ(SpriteImage->Frames[240].Get(1, 1), 0u);  // no ANIM files: empty frames
  // Missing pictures leave their sets empty without a word in the log.
  EXPECT_FALSE(TitlePicture);
  EXPECT_EQ(Log().find("WARNING"), std::string::npos);
}

TEST_F(TGraphicsTest, ExportWritesNinePictures) {
  WriteEssentials();
  TPixmap picture(320, 200, EgaPalette[9]);
  for (const char* stem : {"QZ", "CREDITS", "BRAX", "BADGUY", "END"})
    ASSERT_TRUE(WritePlanarPicture(Options().GameDir + stem + Options().GameExt, picture, false));
  for (int k = 0; k < 4; ++k) {
    WriteTiles("BACK" + std::to_string(k), 48, 16, 16);
    WriteTiles("SOLID" + std::to_string(k), 48, 16, 16);
  }
  StartUpOptions().ExportMode = false;
  ASSERT_TRUE(LoadEssentialGraphics());
  LoadRemainingGraphics();
  EXPECT_FALSE(std::filesystem::exists("_border.png"));
  StartUpOptions().ExportMode = true;
  ASSERT_TRUE(LoadEssentialGraphics());
  LoadRemainingGraphics();
  int pngs = 0;
  for (const auto& e : std::filesystem::directory_iterator("."))
    if (e.path().extension() == ".png") ++pngs;
  EXPECT_EQ(pngs, 9);
  PPixmap border = LoadImageFile("_border.png");
  ASSERT_TRUE(border);
  EXPECT_EQ(border->Width, 24 * 16);  // 24 cells a row
  PPixmap title = LoadImageFile("_QZ.QZ1.png");
  ASSERT_TRUE(title);
  EXPECT_EQ(title->Get(10, 10), EgaPalette[9]);
  EXPECT_TRUE(std::filesystem::exists("_END.QZ1.png"));
}

TEST_F(TGraphicsTest, TitlePatchIsPastedOnlyWithPatchAndWithoutKeepTitle) {
  PPixmap patch = LoadImageFile("incbin::e.png");
  ASSERT_TRUE(patch) << "the embedded title patch is missing";
  TPixmap picture(320, 200, EgaPalette[0]);
  ASSERT_TRUE(WritePlanarPicture(Options().GameDir + "QZ" + Options().GameExt, picture, false));
  StartUpOptions().PatchText = true;
  LoadRemainingGraphics();
  ASSERT_TRUE(TitlePicture);
  EXPECT_EQ(TitlePicture->Frames[0].Get(240, 17), patch->Get(0, 0));
  bool changed = false;
  for (int y = 0; y < patch->Height; ++y)
    for (int x = 0; x < patch->Width; ++x)
      changed |= TitlePicture->Frames[0].Get(240 + x, 17 + y) != EgaPalette[0];
  EXPECT_TRUE(changed);
  StartUpOptions().KeepTitle = true;
  LoadRemainingGraphics();
  EXPECT_EQ(TitlePicture->Frames[0].Get(240, 17), EgaPalette[0]);
}

TEST_F(TGraphicsTest, ReplacementCellSizesAndEpisodeSectionsFollowHrpIni) {
  TPixmap sheet(32 * 16, 64 * 24, 0xFF112233u);
  ASSERT_TRUE(SavePng(sheet, "hq_tiles.png"));
  TTempDir::WriteText("hrp.ini", "[tiles]\nTileWidth=32\n");
  ReplacementIni.LoadIniFile("hrp.ini", true);
  TReplacement tiles = LoadReplacementImage("tiles", 16, 16, 384, 0);
  ASSERT_TRUE(tiles.Image);
  EXPECT_EQ(tiles.Image->FrameWidth, 32);
  EXPECT_EQ(tiles.Image->FrameHeight, 64);
  EXPECT_DOUBLE_EQ(tiles.ScaleX, 0.5);
  EXPECT_DOUBLE_EQ(tiles.ScaleY, 0.25);

  // The episode section overrides key by key.
  ASSERT_TRUE(SavePng(TPixmap(64, 64, 0xFF445566u), "other.png"));
  StartUpOptions().GameExt = ".QZ2";
  TTempDir::WriteText("hrp.ini", "[tiles]\nTileWidth=32\n[tiles.QZ2]\nImage=other.png\n");
  ReplacementIni.LoadIniFile("hrp.ini", true);
  tiles = LoadReplacementImage("tiles", 16, 16, 2, 0);
  ASSERT_TRUE(tiles.Image);
  EXPECT_EQ(tiles.Image->FrameWidth, 32);
  EXPECT_EQ(tiles.Image->Frames[0].Get(0, 0), 0xFF445566u);

  EXPECT_FALSE(LoadReplacementImage("sprites", 16, 16, 722, 1).Image);  // no file

  // Absurd cell sizes give no replacement instead of exhausting memory.
  TTempDir::WriteText("hrp.ini", "[tiles]\nTileWidth=100000\nTileHeight=100000\n");
  ReplacementIni.LoadIniFile("hrp.ini", true);
  EXPECT_FALSE(LoadReplacementImage("tiles", 16, 16, 384, 0).Image);
}

// Each entry alone is accepted; together they would pass the bound of the replacement set,
// so the one that does not fit is refused with a log line and its classic image stays.
TEST_F(TGraphicsTest, ReplacementImagesTogetherStayWithinTheirMemoryBound) {
  StartUpOptions().EnhancedContent = true;
  WriteEssentials();
  for (const char* name : {"hq_border.png", "hq_font.png", "hq_tiles.png"})
    ASSERT_TRUE(SavePng(TPixmap(16, 16, 0xFF112233u), name));
  // Border: 44 frames of 1024 x 768 (132 MB); font: 256 of 384 x 384 (144 MB); tiles: 384 of 64
  // x 64.
  TTempDir::WriteText(
      "hrp.ini",
      "[border]\nTileWidth=1024\nTileHeight=768\n[font]\nTileWidth=384\nTileHeight=384\n");
  ReplacementIni.LoadIniFile("hrp.ini", true);
  for (int load = 0; load < 2; ++load) {  // a reload does not count the images it replaces
    ASSERT_TRUE(LoadEssentialGraphics());
    ASSERT_TRUE(BorderReplacement.Image);
    EXPECT_EQ(BorderReplacement.Image->FrameCount(), 44);
    EXPECT_FALSE(FontReplacement.Image);
    ASSERT_TRUE(FontImage);
    EXPECT_EQ(FontImage->FrameCount(), FontFrameCount);
  }
  LoadRemainingGraphics();
  ASSERT_TRUE(TileReplacement.Image);  // room is left for a small set
  EXPECT_EQ(TileReplacement.Image->FrameCount(), TileFrameCount);
  EXPECT_NE(
      Log().find("replacement image \"font\" (256 frames of 384 x 384) passes the 256 MB bound"),
      std::string::npos);
}

TEST_F(TGraphicsTest, DrawingChoosesReplacementAtDrawTimeAndRestoresTheScale) {
  WriteEssentials();
  ASSERT_TRUE(LoadEssentialGraphics());
  TPixmap hq(64, 64 * 44, 0xFFFFFFFFu);
  BorderReplacement.Image = CreateImage(hq, 64, 64, 0, 44, 0);
  BorderReplacement.ScaleX = BorderReplacement.ScaleY = 0.25;
  PlaySettings().ReplacementMode = true;
  DrawBorderTile(16, 32, 5);
  PlaySettings().ReplacementMode = false;
  DrawBorderTile(16, 32, 5);
  EXPECT_EQ(Headless->GetScaleX(), 1.0f);
  Headless->Flip(false);
  const auto& frame = Headless->LastFrame();
  ASSERT_EQ(frame.size(), 2u);
  EXPECT_EQ(frame[0].Image, BorderReplacement.Image);
  EXPECT_EQ(frame[0].ScaleX, 0.25f);
  EXPECT_EQ(frame[1].Image, BorderTiles);
  EXPECT_EQ(frame[1].ScaleX, 1.0f);
  // A null set or a frame outside the set draws nothing.
  DrawSprite(0, 0, 3);
  DrawBorderTile(0, 0, 44);
  Headless->Flip(false);
  EXPECT_TRUE(Headless->LastFrame().empty());
}

TEST_F(TGraphicsTest, TextFramesAndWavyText) {
  WriteEssentials();
  ASSERT_TRUE(LoadEssentialGraphics());
  DrawText("AB\nC", 10, 20);
  Headless->Flip(false);
  auto frame = Headless->LastFrame();
  ASSERT_EQ(frame.size(), 3u);
  EXPECT_EQ(frame[1].Frame, 'B');
  EXPECT_EQ(frame[1].X, 18);
  EXPECT_EQ(frame[2].X, 10);  // the line feed returns to x
  EXPECT_EQ(frame[2].Y, 28);
  DrawText(std::string(1, char(0xE9)), 0, 0);  // codes use their low 8 bits
  Headless->Flip(false);
  EXPECT_EQ(Headless->LastFrame()[0].Frame, 0xE9);

  DrawFrame(56, 32, 12, 8);
  Headless->Flip(false);
  frame = Headless->LastFrame();
  auto at = [&](float x, float y) {
    int tile = -1;
    for (const auto& c : frame)
      if (c.X == x && c.Y == y) tile = c.Frame;  // the last draw wins
    return tile;
  };
  EXPECT_EQ(at(56, 32), 18);
  EXPECT_EQ(at(56 + 192, 32), 19);
  EXPECT_EQ(at(56, 32 + 128), 20);
  EXPECT_EQ(at(56 + 192, 32 + 128), 21);
  EXPECT_EQ(at(56, 64), 22);
  EXPECT_EQ(at(56 + 192, 64), 23);
  EXPECT_EQ(at(72, 32), 24);
  EXPECT_EQ(at(72, 32 + 128), 25);
  EXPECT_EQ(at(72, 48), 17);

  DemoText = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
  DrawWavyText(2, 0, 100, 1);
  Headless->Flip(false);
  frame = Headless->LastFrame();
  ASSERT_EQ(frame.size(), 26u);
  EXPECT_EQ(frame[0].Frame, 'C');
  EXPECT_EQ(frame[0].Y, 100);  // (0 + 1) mod 4 = 1 -> 0
  EXPECT_EQ(frame[1].Y, 101);  // 2 -> +1
  EXPECT_EQ(frame[3].Y, 99);   // 4 mod 4 = 0 -> -1
  EXPECT_EQ(frame[25].X, 200);
}

TEST_F(TGraphicsTest, BackdropsDecodeTo208By160AndExportBySize) {
  TPixmap picture(208, 160, EgaPalette[2]);
  picture.Set(207, 159, EgaPalette[14]);
  ASSERT_TRUE(WriteBackdrop(Options().GameDir + "DROP1.QZ1", picture));
  TTempDir::Write(Options().GameDir + "NOTADROP.QZ1", std::vector<uint8_t>(20802, 0));
  PImage backdrop = LoadBackdropFile(Options().GameDir + "DROP1.QZ1");
  ASSERT_TRUE(backdrop);
  EXPECT_EQ(backdrop->FrameWidth, 208);
  EXPECT_EQ(backdrop->Frames[0].Get(207, 159), EgaPalette[14]);
  StartUpOptions().ExportMode = true;
  ExportBackdrops();
  EXPECT_TRUE(std::filesystem::exists("_DROP1.png"));
  EXPECT_FALSE(std::filesystem::exists("_NOTADROP.png"));
  LoadBackdrops("DROP1.QZ1", "MISSING.QZ1");
  EXPECT_TRUE(Backdrop1);
  EXPECT_FALSE(Backdrop2);
}

TEST_F(TGraphicsTest, SideBordersFillTheBarsOfAWideWindow) {
  ASSERT_TRUE(SavePng(TPixmap(10, 100, 0xFF00FF00u), "left.png"));
  TTempDir::WriteText("hrp.ini", "[borderimages]\nleft=left.png\n");
  ReplacementIni.LoadIniFile("hrp.ini", true);
  Headless->SetVirtualResolutionAspect(320, 200, 4.0f / 3.0f);
  ASSERT_TRUE(LoadBorderImages());
  EXPECT_DOUBLE_EQ(SideBarScale, 4.0);  // 400 / 100
  EXPECT_EQ(LeftBorderImage->HandleX, 10);
  Headless->Clear(0);
  DrawSideBorders();
  TPixmap shot = Headless->Screenshot();
  EXPECT_EQ(shot.Get(52, 10), 0xFF00FF00u);        // left bar, right next to the picture
  EXPECT_EQ(shot.Get(12, 10), 0xFF000000u);        // 40 pixels wide only
  EXPECT_EQ(shot.Get(53 + 533, 10), 0xFF00FF00u);  // right bar: the mirrored left image
  EXPECT_EQ(shot.Get(300, 10), 0xFF000000u);       // nothing inside the picture
  EXPECT_EQ(Headless->Clip(), Headless->PictureRect());
  StartUpOptions().EnhancedContent = false;
  EXPECT_FALSE(LoadBorderImages());
}

}  // namespace
