// Planar decoders and writers: group decoding, mask rules, file layouts, round trips.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/planar.h"
#include "data/planar_writer.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t Black = 0xFF000000, Blue = 0xFF0000AA, White = 0xFFFFFFFF;

class PlanarTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    TTempDir::Write(Temp.Dir() + name, bytes);
    return Temp.Dir() + name;
  }

  TTempDir Temp;
  const fs::path Dir = Temp.Dir();
};

// A deterministic picture of palette colours; with transparency, some pixels keep their
// colour bits with alpha 0, as the decoder produces them.
TPixmap TestPicture(int width, int height, bool transparency) {
  TPixmap pixmap(width, height, 0);
  uint32_t seed = 12345;
  for (uint32_t& pixel : pixmap.Pixels) {
    seed = seed * 1103515245 + 12345;
    pixel = EgaPalette[(seed >> 16) & 15];
    if (transparency && ((seed >> 24) & 3) == 0) pixel &= 0x00FFFFFF;
  }
  return pixmap;
}

std::vector<uint32_t> DecodeOneGroup(std::vector<uint8_t> bytes, uint8_t flags) {
  PPixmap pixmap = DecodeTileStrip(MemoryStream(std::move(bytes)), flags, 1, 1);
  return pixmap ? pixmap->Pixels : std::vector<uint32_t>{};
}

// A tile file with the given header and count * height * widthBytes groups.
std::vector<uint8_t> TileFile(int headerCount, int widthBytes, int height, int tiles) {
  std::vector<uint8_t> bytes = {uint8_t(headerCount), uint8_t(widthBytes), uint8_t(height)};
  for (int i = 0; i < tiles * height * widthBytes; ++i)
    bytes.insert(bytes.end(), {0xFF, uint8_t(i), 0, 0, 0});  // blue plane counts up
  return bytes;
}

}  // namespace

TEST_F(PlanarTest, PlaneBitsMakeThePaletteIndex) {
  EXPECT_EQ(DecodeOneGroup({0xFF, 0x00, 0x00, 0x00}, 0), std::vector<uint32_t>(8, Blue));
  std::vector<uint32_t> expected(8, Black);
  expected[0] = White;
  EXPECT_EQ(DecodeOneGroup({0x80, 0x80, 0x80, 0x80}, 0), expected);
  // Bit 0 is the rightmost pixel; each plane is one bit of the index.
  std::vector<uint32_t> mixed = DecodeOneGroup({0x01, 0x01, 0x00, 0x01}, 0);
  ASSERT_EQ(mixed.size(), 8u);
  EXPECT_EQ(mixed[7], EgaPalette[11]);
  EXPECT_EQ(mixed[6], Black);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(EgaPalette[i] >> 24, 0xFFu);
  EXPECT_EQ(EgaPalette[6], 0xFFAA5500u);
}

TEST_F(PlanarTest, MaskFlagsDecideTransparency) {
  const std::vector<uint8_t> group = {0x0F, 0xFF, 0x00, 0x00, 0x00};  // mask, then blue
  std::vector<uint32_t> masked = DecodeOneGroup(group, PlanarHasMask);
  ASSERT_EQ(masked.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(masked[i], i < 4 ? 0x000000AAu : Blue) << i;

  std::vector<uint32_t> inverted = DecodeOneGroup(group, PlanarHasMask | PlanarInvertMask);
  ASSERT_EQ(inverted.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(inverted[i], i < 4 ? Blue : 0x000000AAu) << i;

  EXPECT_EQ(DecodeOneGroup(group, PlanarHasMask | PlanarIgnoreMask),
            std::vector<uint32_t>(8, Blue));
  // Without mask data a group is four bytes and every pixel is opaque.
  PPixmap two = DecodeTileStrip(MemoryStream({0xFF, 0, 0, 0, 0, 0, 0, 0x80}), 0, 1, 2);
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(two->Get(0, 0), Blue);
  EXPECT_EQ(two->Get(0, 1), EgaPalette[8]);
}

TEST_F(PlanarTest, TileStripSeeksReadsOnAndRefusesShortOrSillyInput) {
  PStream stream = MemoryStream({9, 9, 0xFF, 0, 0, 0, 0x80, 0, 0, 0});
  PPixmap first = DecodeTileStrip(stream, 0, 1, 1, 2);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Get(7, 0), Blue);
  PPixmap second = DecodeTileStrip(stream, 0, 1, 1);  // carries on where the first ended
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Get(0, 0), Blue);
  EXPECT_EQ(second->Get(1, 0), Black);

  EXPECT_EQ(DecodeTileStrip(nullptr, 0, 1, 1), nullptr);
  EXPECT_EQ(DecodeTileStrip(MemoryStream({1, 2, 3}), 0, 1, 1), nullptr);
  EXPECT_EQ(DecodeTileStrip(MemoryStream({1, 2, 3, 4}), 0, 0, 1), nullptr);
  EXPECT_EQ(DecodeTileStrip(MemoryStream({1, 2, 3, 4}), 0, 1, -1), nullptr);
  EXPECT_EQ(DecodeTileStrip(MemoryStream({1, 2, 3, 4}), 0, 1, 1, 1), nullptr);
  EXPECT_EQ(DecodeTileStrip(MemoryStream({1, 2, 3, 4}), 0, 1, 1, 99), nullptr);
  EXPECT_EQ(DecodeTileStrip(MemoryStream({1, 2, 3, 4}), 0, 100000, 100000), nullptr);
}

TEST_F(PlanarTest, TileFileSizesComeFromTheHeaderUnlessForced) {
  const std::string path = Write("tiles.bin", TileFile(50, 1, 8, 50));
  int count = 0, widthBytes = 0, height = 0;
  PPixmap all = LoadTileFile(path, false, count, widthBytes, height);
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(count, 50);
  EXPECT_EQ(widthBytes, 1);
  EXPECT_EQ(height, 8);
  EXPECT_EQ(all->Width, 8);
  EXPECT_EQ(all->Height, 400);

  count = 48;
  widthBytes = height = 0;
  PPixmap forced = LoadTileFile(path, true, count, widthBytes, height);
  ASSERT_NE(forced, nullptr);
  EXPECT_EQ(count, 48);
  EXPECT_EQ(forced->Height, 48 * 8);
  // Group i has blue plane byte i: row 3 of tile 2 is group 19 = 0b00010011.
  EXPECT_EQ(forced->Get(3, 19), Blue);
  EXPECT_EQ(forced->Get(2, 19), Black);
  EXPECT_EQ(forced->Get(4, 19), Black);
  const auto firstTiles = all->Pixels.begin() + long(forced->Pixels.size());
  EXPECT_EQ(forced->Pixels, std::vector<uint32_t>(all->Pixels.begin(), firstTiles));
}

TEST_F(PlanarTest, BadTileFilesGiveNull) {
  int count = 0, widthBytes = 0, height = 0;
  EXPECT_EQ(LoadTileFile((Dir / "missing.bin").string(), true, count, widthBytes, height), nullptr);

  const std::vector<uint8_t> good = TileFile(3, 2, 4, 3);
  for (size_t length = 0; length < good.size(); ++length) {
    count = widthBytes = height = 0;
    const std::string path = Write("short.bin", {good.begin(), good.begin() + long(length)});
    EXPECT_EQ(LoadTileFile(path, true, count, widthBytes, height), nullptr) << length;
  }
  count = widthBytes = height = 0;
  EXPECT_NE(LoadTileFile(Write("whole.bin", good), true, count, widthBytes, height), nullptr);

  for (const auto& header : {TileFile(0, 1, 8, 1), TileFile(1, 0, 8, 1), TileFile(1, 1, 0, 1)}) {
    count = widthBytes = height = 0;
    EXPECT_EQ(LoadTileFile(Write("zero.bin", header), true, count, widthBytes, height), nullptr);
  }
  // A header demanding far more data than the file holds is refused before decoding.
  count = widthBytes = height = 0;
  EXPECT_EQ(
      LoadTileFile(Write("huge.bin", TileFile(255, 255, 255, 1)), true, count, widthBytes, height),
      nullptr);
  count = -1;
  widthBytes = height = 0;
  EXPECT_EQ(LoadTileFile(Write("negative.bin", good), true, count, widthBytes, height), nullptr);
}

TEST_F(PlanarTest, PictureFindsItsPlanesAtPlaneSizeSteps) {
  // Plane k is set only in row k, so a wrong plane offset shows in the wrong row.
  std::vector<uint8_t> bytes(32000, 0);
  for (int k = 0; k < 4; ++k) std::fill_n(bytes.begin() + k * 8000 + k * 40, 40, uint8_t(0xFF));
  const std::string path = Write("picture.bin", bytes);
  PPixmap picture = DecodePlanarPicture(path, 0, 40, 200);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width, 320);
  EXPECT_EQ(picture->Height, 200);
  EXPECT_EQ(picture->Get(0, 0), EgaPalette[1]);
  EXPECT_EQ(picture->Get(319, 1), EgaPalette[2]);
  EXPECT_EQ(picture->Get(100, 2), EgaPalette[4]);
  EXPECT_EQ(picture->Get(200, 3), EgaPalette[8]);
  EXPECT_EQ(picture->Get(5, 4), Black);

  // Explicit start and plane size: a 2 x 1 picture after a 10-byte prefix, planes 3 apart.
  std::vector<uint8_t> small(10 + 5 * 3 + 2, 0);
  small[10] = 0xF0;              // mask plane
  small[13] = 0xFF;              // blue
  small[10 + 4 * 3 + 1] = 0x01;  // intensity, second byte
  const std::string smallPath = Write("small.bin", small);
  PPixmap masked = DecodePlanarPicture(smallPath, PlanarHasMask, 2, 1, 10, 3);
  ASSERT_NE(masked, nullptr);
  EXPECT_EQ(masked->Get(0, 0), Blue);
  EXPECT_EQ(masked->Get(4, 0), 0x000000AAu);
  EXPECT_EQ(masked->Get(15, 0), EgaPalette[8] & 0x00FFFFFF);
}

TEST_F(PlanarTest, BadPicturesGiveNull) {
  EXPECT_EQ(DecodePlanarPicture((Dir / "missing.bin").string(), 0, 40, 200), nullptr);
  // Automatic plane sizes follow the file (31999 bytes: planes of 7999, still readable);
  // a file too short for its planes is refused.
  const std::string shortPath = Write("short.bin", std::vector<uint8_t>(31999, 0));
  EXPECT_NE(DecodePlanarPicture(shortPath, 0, 40, 200), nullptr);
  EXPECT_EQ(DecodePlanarPicture(shortPath, 0, 40, 200, -1, 8000), nullptr);
  const std::string shorterPath = Write("shorter.bin", std::vector<uint8_t>(30000, 0));
  EXPECT_EQ(DecodePlanarPicture(shorterPath, 0, 40, 200), nullptr);
  const std::string path = Write("picture.bin", std::vector<uint8_t>(32000, 0));
  EXPECT_NE(DecodePlanarPicture(path, 0, 40, 200), nullptr);
  EXPECT_EQ(DecodePlanarPicture(path, PlanarHasMask, 40, 200), nullptr);  // 6400-byte planes
  EXPECT_EQ(DecodePlanarPicture(path, 0, 0, 200), nullptr);
  EXPECT_EQ(DecodePlanarPicture(path, 0, 40, 200, 1), nullptr);
  EXPECT_EQ(DecodePlanarPicture(path, 0, 40, 200, 0, INT64_MAX), nullptr);
  EXPECT_EQ(DecodePlanarPicture(path, 0, 40, 200, INT64_MAX, 8000), nullptr);
  EXPECT_EQ(DecodePlanarPicture(path, 0, 40, 200, -5, 8000), nullptr);
}

TEST_F(PlanarTest, ArrangeCellsLaysOutCellsRowByRow) {
  auto strip = std::make_shared<TPixmap>(16, 2080, 0);
  for (int cell = 0; cell < 130; ++cell) strip->Set(3, cell * 16 + 5, 0xFF000000u | cell);
  PPixmap sheet = ArrangeCells(strip, 16, 16, 13);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->Width, 208);
  EXPECT_EQ(sheet->Height, 160);
  for (int cell = 0; cell < 130; ++cell)
    ASSERT_EQ(sheet->Get((cell % 13) * 16 + 3, (cell / 13) * 16 + 5), 0xFF000000u | cell) << cell;

  // Back to one column, and a partial last row left cleared.
  PPixmap back = ArrangeCells(sheet, 16, 16, 1);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Pixels, strip->Pixels);
  PPixmap wide = ArrangeCells(strip, 16, 16, 100);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide->Width, 1600);
  EXPECT_EQ(wide->Height, 32);
  EXPECT_EQ(wide->Get(29 * 16 + 3, 16 + 5), 0xFF000000u | 129);
  EXPECT_EQ(wide->Get(30 * 16 + 3, 16 + 5), 0u);

  EXPECT_EQ(ArrangeCells(nullptr, 16, 16, 13), nullptr);
  EXPECT_EQ(ArrangeCells(strip, 0, 16, 13), nullptr);
  EXPECT_EQ(ArrangeCells(strip, 16, 16, 0), nullptr);
  EXPECT_EQ(ArrangeCells(strip, 16, 15, 13), nullptr);
  EXPECT_EQ(ArrangeCells(strip, 5, 16, 13), nullptr);
  EXPECT_EQ(ArrangeCells(strip, 1, 1, 1 << 30), nullptr);
  EXPECT_EQ(ArrangeCells(std::make_shared<TPixmap>(), 16, 16, 13), nullptr);
}

TEST_F(PlanarTest, NearestPaletteIndex) {
  for (int i = 0; i < 16; ++i) EXPECT_EQ(NearestEgaIndex(EgaPalette[i] & 0x00FFFFFF), i);
  EXPECT_EQ(NearestEgaIndex(0xFF010203), 0);
  EXPECT_EQ(NearestEgaIndex(0xFFA0A0A0), 7);
  EXPECT_EQ(NearestEgaIndex(0xFFF0F060), 14);
  EXPECT_EQ(NearestEgaIndex(0x800000FF), 1);  // alpha plays no part
}

TEST_F(PlanarTest, TileFileRoundTrip) {
  const TPixmap strip = TestPicture(24, 5 * 10, true);
  const std::vector<uint8_t> bytes = EncodeTileFile(strip, 3, 10);
  ASSERT_EQ(bytes.size(), 3u + 5 * 10 * 3 * 5);
  EXPECT_EQ(bytes[0], 5);
  EXPECT_EQ(bytes[1], 3);
  EXPECT_EQ(bytes[2], 10);
  const std::string path = (Dir / "TILES.QZ1").string();
  ASSERT_TRUE(WriteTileFile(path, strip, 3, 10));

  int count = 0, widthBytes = 0, height = 0;
  PPixmap masked = LoadTileFile(path, true, count, widthBytes, height);
  ASSERT_NE(masked, nullptr);
  EXPECT_EQ(masked->Pixels, strip.Pixels);

  count = widthBytes = height = 0;
  PPixmap opaque = LoadTileFile(path, false, count, widthBytes, height);
  ASSERT_NE(opaque, nullptr);
  for (size_t i = 0; i < strip.Pixels.size(); ++i)
    ASSERT_EQ(opaque->Pixels[i], strip.Pixels[i] | 0xFF000000u) << i;

  EXPECT_TRUE(EncodeTileFile(strip, 2, 10).empty());                      // width does not match
  EXPECT_TRUE(EncodeTileFile(strip, 3, 7).empty());                       // not whole tiles
  EXPECT_TRUE(EncodeTileFile(TestPicture(8, 256, false), 1, 1).empty());  // 256 tiles
  EXPECT_FALSE(WriteTileFile(path, strip, 2, 10));
}

TEST_F(PlanarTest, PlanarPictureRoundTrip) {
  const TPixmap picture = TestPicture(320, 200, false);
  const std::vector<uint8_t> plain = EncodePlanarPicture(picture, false);
  ASSERT_EQ(plain.size(), 32000u);
  const std::string path = (Dir / "PIC.QZ1").string();
  ASSERT_TRUE(WritePlanarPicture(path, picture, false));
  PPixmap decoded = DecodePlanarPicture(path, 0, 40, 200);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->Pixels, picture.Pixels);

  const TPixmap cutout = TestPicture(64, 20, true);
  ASSERT_EQ(EncodePlanarPicture(cutout, true).size(), 5u * 8 * 20);
  ASSERT_TRUE(WritePlanarPicture(path, cutout, true));
  PPixmap masked = DecodePlanarPicture(path, PlanarHasMask, 8, 20);
  ASSERT_NE(masked, nullptr);
  EXPECT_EQ(masked->Pixels, cutout.Pixels);

  EXPECT_TRUE(EncodePlanarPicture(TestPicture(12, 4, false), false).empty());
  EXPECT_TRUE(EncodePlanarPicture(TPixmap(), false).empty());
}

TEST_F(PlanarTest, BackdropRoundTripThroughTheTileLoader) {
  const TPixmap picture = TestPicture(208, 160, false);
  const std::vector<uint8_t> bytes = EncodeBackdrop(picture);
  ASSERT_EQ(bytes.size(), 20803u);
  const std::string path = (Dir / "DROP0.QZ1").string();
  ASSERT_TRUE(WriteBackdrop(path, picture));

  int count = 130, widthBytes = 2, height = 16;
  PPixmap strip = LoadTileFile(path, false, count, widthBytes, height);
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->Width, 16);
  EXPECT_EQ(strip->Height, 2080);
  PPixmap sheet = ArrangeCells(strip, 16, 16, 13);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->Width, 208);
  EXPECT_EQ(sheet->Height, 160);
  EXPECT_EQ(sheet->Pixels, picture.Pixels);

  EXPECT_TRUE(EncodeBackdrop(TestPicture(320, 200, false)).empty());
  EXPECT_FALSE(WriteBackdrop(path + "x", TestPicture(16, 16, false)));
  EXPECT_FALSE(fs::exists(path + "x"));
}
