// PNG and JPEG reading and writing: exact PNG round trips, the other PNG colour types,
// JPEG decoding, and refusal of damaged input.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <random>

#include <jpeglib.h>
#include <png.h>

#include "data/image_io.h"

namespace {

// A PNG of any colour type, written with libpng from raw packed rows.
std::vector<uint8_t> RawPng(int width, int height, int bitDepth, int colourType,
                            const std::vector<std::vector<uint8_t>>& rows,
                            const std::vector<png_color>& palette = {},
                            const std::vector<uint8_t>& paletteAlpha = {}) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng could not write the fixture";
    return {};
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t n) {
        auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        v->insert(v->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bitDepth, colourType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  if (!paletteAlpha.empty())
    png_set_tRNS(png, info, paletteAlpha.data(), int(paletteAlpha.size()), nullptr);
  png_write_info(png, info);
  for (const auto& row : rows) png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> MakeJpeg(int width, int height, bool grey, uint32_t (*pixel)(int x, int y)) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(size_t(width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    int y = int(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      uint32_t rgb = pixel(x, y);
      if (grey) {
        row[size_t(x)] = uint8_t(rgb);
      } else {
        row[size_t(x) * 3] = uint8_t(rgb >> 16);
        row[size_t(x) * 3 + 1] = uint8_t(rgb >> 8);
        row[size_t(x) * 3 + 2] = uint8_t(rgb);
      }
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

uint32_t Quadrants(int x, int y) {
  if (y < 8) return x < 8 ? 0xE01010 : 0x10E010;
  return x < 8 ? 0x1010E0 : 0xF0F0F0;
}

void ExpectNear(uint32_t actual, uint32_t expected, int tolerance, const char* what) {
  for (int shift : {0, 8, 16, 24}) {
    int a = int((actual >> shift) & 255), e = int((expected >> shift) & 255);
    EXPECT_LE(std::abs(a - e), tolerance)
        << what << ": got " << std::hex << actual << " expected about " << expected;
  }
}

TPixmap TestPattern() {
  TPixmap p(7, 5);
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x)
      p.Set(x, y,
            uint32_t(x * 37 + y * 11) << 24 | uint32_t(x * 40) << 16 | uint32_t(y * 60) << 8 |
                uint32_t((x ^ y) * 30));
  p.Set(0, 0, 0x00FF00FFu);  // fully transparent but coloured: the colour must survive
  p.Set(6, 4, 0xFFFFFFFFu);
  p.Set(3, 2, 0x80123456u);
  return p;
}

TEST(TImageIoTest, PngRoundTripIsExactAtEveryCompressionLevel) {
  TPixmap original = TestPattern();
  for (int level : {0, 5, 9}) {
    std::vector<uint8_t> bytes = EncodePng(original, level);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes[1], 'P');
    PPixmap decoded = DecodeImageBytes(bytes);
    ASSERT_TRUE(decoded) << "level " << level;
    EXPECT_EQ(decoded->Width, 7);
    EXPECT_EQ(decoded->Height, 5);
    EXPECT_EQ(decoded->Pixels, original.Pixels) << "level " << level;
  }
  // Out-of-range levels are clamped, not refused.
  EXPECT_EQ(DecodeImageBytes(EncodePng(original, 42))->Pixels, original.Pixels);
  EXPECT_GT(EncodePng(original, 0).size(), EncodePng(original, 9).size());
}

TEST(TImageIoTest, SavedPngLoadsBackFromFile) {
  auto dir = std::filesystem::temp_directory_path() / "zyntra_image_io_test";
  std::filesystem::create_directories(dir);
  std::string path = (dir / "pattern.png").string();
  TPixmap original = TestPattern();
  ASSERT_TRUE(SavePng(original, path));
  PPixmap loaded = LoadImageFile(path);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Pixels, original.Pixels);
  EXPECT_FALSE(LoadImageFile((dir / "missing.png").string()));
  // Embedded resources load through their stream paths.
  PPixmap embedded = LoadImageFile("incbin::e.png");
  ASSERT_TRUE(embedded);
  EXPECT_EQ(embedded->Width, 16);
  EXPECT_EQ(embedded->Height, 12);
  EXPECT_FALSE(LoadImageFile("incbin::no_such_resource.png"));
  EXPECT_FALSE(SavePng(original, (dir / "no_such_folder" / "x.png").string()));
  EXPECT_FALSE(SavePng(TPixmap(), (dir / "empty.png").string()));
  EXPECT_TRUE(EncodePng(TPixmap(0, 3)).empty());
  std::filesystem::remove_all(dir);
}

TEST(TImageIoTest, PaletteWithTransparencyDecodesToArgb) {
  std::vector<png_color> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
  std::vector<uint8_t> alpha = {255, 128, 0};  // entry 3 has no alpha: opaque
  // 2 bits per pixel: 4 pixels per byte, first pixel in the high bits.
  std::vector<std::vector<uint8_t>> rows = {{0b00011011}, {0b11100100}};
  PPixmap p = DecodeImageBytes(RawPng(4, 2, 2, PNG_COLOR_TYPE_PALETTE, rows, palette, alpha));
  ASSERT_TRUE(p);
  ASSERT_EQ(p->Width, 4);
  ASSERT_EQ(p->Height, 2);
  EXPECT_EQ(p->Get(0, 0), 0xFFFF0000u);
  EXPECT_EQ(p->Get(1, 0), 0x8000FF00u);
  EXPECT_EQ(p->Get(2, 0), 0x000000FFu);
  EXPECT_EQ(p->Get(3, 0), 0xFF0A141Eu);
  EXPECT_EQ(p->Get(0, 1), 0xFF0A141Eu);
  EXPECT_EQ(p->Get(3, 1), 0xFFFF0000u);
}

TEST(TImageIoTest, GreyAndSixteenBitPngsDecode) {
  // 1-bit grey: black and white.
  PPixmap bits = DecodeImageBytes(RawPng(8, 1, 1, PNG_COLOR_TYPE_GRAY, {{0b10100000}}));
  ASSERT_TRUE(bits);
  EXPECT_EQ(bits->Get(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(bits->Get(1, 0), 0xFF000000u);
  EXPECT_EQ(bits->Get(2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(bits->Get(7, 0), 0xFF000000u);

  // 8-bit grey with alpha.
  PPixmap ga =
      DecodeImageBytes(RawPng(2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {{0x40, 0xFF, 0xC0, 0x10}}));
  ASSERT_TRUE(ga);
  EXPECT_EQ(ga->Get(0, 0), 0xFF404040u);
  EXPECT_EQ(ga->Get(1, 0), 0x10C0C0C0u);

  // 16-bit RGB: big-endian samples scaled to 8 bits.
  PPixmap deep = DecodeImageBytes(
      RawPng(1, 1, 16, PNG_COLOR_TYPE_RGB, {{0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00}}));
  ASSERT_TRUE(deep);
  EXPECT_EQ(deep->Get(0, 0), 0xFFFF8000u);

  // 16-bit RGBA keeps the alpha channel.
  PPixmap deepAlpha = DecodeImageBytes(RawPng(1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA,
                                              {{0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x7F, 0xFF}}));
  ASSERT_TRUE(deepAlpha);
  EXPECT_EQ(deepAlpha->Get(0, 0), 0x7F00FF00u);
}

TEST(TImageIoTest, JpegDecodesWithApproximateColours) {
  PPixmap colour = DecodeImageBytes(MakeJpeg(16, 16, false, Quadrants));
  ASSERT_TRUE(colour);
  ASSERT_EQ(colour->Width, 16);
  ASSERT_EQ(colour->Height, 16);
  ExpectNear(colour->Get(3, 3), 0xFFE01010u, 16, "top left");
  ExpectNear(colour->Get(12, 3), 0xFF10E010u, 16, "top right");
  ExpectNear(colour->Get(3, 12), 0xFF1010E0u, 16, "bottom left");
  ExpectNear(colour->Get(12, 12), 0xFFF0F0F0u, 16, "bottom right");

  PPixmap grey =
      DecodeImageBytes(MakeJpeg(8, 8, true, [](int x, int) { return uint32_t(x * 32); }));
  ASSERT_TRUE(grey);
  ExpectNear(grey->Get(4, 4), 0xFF808080u, 8, "grey");
  EXPECT_EQ(grey->Get(4, 4) & 0xFF, (grey->Get(4, 4) >> 16) & 0xFF) << "grey expands to equal RGB";
}

TEST(TImageIoTest, DamagedInputGivesNull) {
  std::vector<uint8_t> png = EncodePng(TestPattern());
  std::vector<uint8_t> jpeg = MakeJpeg(16, 16, false, Quadrants);
  ASSERT_TRUE(DecodeImageBytes(png));
  ASSERT_TRUE(DecodeImageBytes(jpeg));

  EXPECT_FALSE(DecodeImageBytes({}));
  EXPECT_FALSE(DecodeImageBytes({0x89, 'P', 'N', 'G'}));
  EXPECT_FALSE(DecodeImageBytes({0xFF, 0xD8, 0xFF}));

  // Truncated anywhere before the image data ends.
  for (size_t cut : {size_t(8), size_t(20), size_t(33), png.size() / 2, png.size() - 20})
    EXPECT_FALSE(DecodeImageBytes(std::vector<uint8_t>(png.begin(), png.begin() + long(cut))))
        << "PNG cut at " << cut;
  for (size_t cut : {size_t(4), size_t(100), jpeg.size() / 2, jpeg.size() - 40})
    EXPECT_FALSE(DecodeImageBytes(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + long(cut))))
        << "JPEG cut at " << cut;

  // A flipped byte inside a chunk breaks its checksum.
  std::vector<uint8_t> corrupt = png;
  corrupt[corrupt.size() / 2] ^= 0x55;
  EXPECT_FALSE(DecodeImageBytes(corrupt));

  // A header claiming a huge picture is refused before anything is allocated for it.
  std::vector<uint8_t> huge = png;
  huge[16] = 0x7F;  // IHDR width, most significant byte
  EXPECT_FALSE(DecodeImageBytes(huge));

  // Random bytes, alone and behind each format's signature, never crash.
  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> bytes(size_t(random() % 600));
    for (uint8_t& b : bytes) b = uint8_t(random());
    if (round % 3 == 1) bytes.insert(bytes.begin(), png.begin(), png.begin() + 8);
    if (round % 3 == 2) bytes.insert(bytes.begin(), {0xFF, 0xD8, 0xFF, 0xE0});
    PPixmap p = DecodeImageBytes(bytes);
    if (p) {
      EXPECT_EQ(p->Pixels.size(), size_t(p->Width) * size_t(p->Height));
    }
  }
}

}  // namespace
