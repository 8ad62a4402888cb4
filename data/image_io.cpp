#include "data/image_io.h"

// jpeglib.h needs FILE and size_t declared first.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <new>

#include "data/stream.h"

// libpng and libjpeg report errors by longjmp. Each routine that calls them keeps only
// plain C locals in its own frame; every C++ object it fills belongs to the caller, so a
// jump never skips a destructor.

namespace {

// Garbage headers can claim enormous sizes; refuse them before allocating.
constexpr uint32_t MaxSide = 16384;
constexpr uint64_t MaxPixels = uint64_t(1) << 25;

bool SizeAcceptable(uint64_t width, uint64_t height) {
  return width >= 1 && height >= 1 && width <= MaxSide && height <= MaxSide &&
         width * height <= MaxPixels;
}

// --- PNG ---------------------------------------------------------------------------------

struct TPngRead {
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  size_t Pos = 0;
  uint32_t Width = 0, Height = 0;
  std::vector<uint8_t> Rgba;
  std::vector<png_bytep> Rows;
};

void PngReadBytes(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<TPngRead*>(png_get_io_ptr(png));
  if (count > source->Size - source->Pos) png_error(png, "unexpected end of data");
  std::memcpy(out, source->Data + source->Pos, count);
  source->Pos += count;
}

void PngError(png_structp png, png_const_charp /*message*/) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

bool DecodePng(TPngRead& d) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &d, PngReadBytes);
  png_set_user_limits(png, MaxSide, MaxSide);
  png_read_info(png, info);

  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
  if (!SizeAcceptable(width, height)) png_error(png, "image too large");

  // Every colour type becomes 8-bit RGBA.
  bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (bitDepth == 16) png_set_scale_16(png);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTrns) png_set_tRNS_to_alpha(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if (!(colourType & PNG_COLOR_MASK_ALPHA) && !hasTrns) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "unexpected row layout");

  d.Width = width;
  d.Height = height;
  d.Rgba.resize(size_t(width) * height * 4);
  d.Rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) d.Rows[y] = d.Rgba.data() + size_t(y) * width * 4;
  png_read_image(png, d.Rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

struct TPngWrite {
  uint32_t Width = 0, Height = 0;
  int Level = 5;
  std::vector<png_bytep> Rows;
  std::vector<uint8_t> Out;
};

void PngWriteBytes(png_structp png, png_bytep data, size_t count) {
  auto* sink = static_cast<TPngWrite*>(png_get_io_ptr(png));
  try {
    sink->Out.insert(sink->Out.end(), data, data + count);
  } catch (const std::bad_alloc&) {
    png_error(png, "out of memory");
  }
}

void PngFlush(png_structp) {}

bool EncodePngRows(TPngWrite& w) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &w, PngWriteBytes, PngFlush);
  png_set_compression_level(png, w.Level);
  png_set_IHDR(png, info, w.Width, w.Height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, w.Rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

// --- JPEG --------------------------------------------------------------------------------

struct TJpegError {
  jpeg_error_mgr Manager;
  jmp_buf Jump;
  bool Truncated;
};

void JpegErrorExit(j_common_ptr info) {
  longjmp(reinterpret_cast<TJpegError*>(info->err)->Jump, 1);
}

// Warnings are silent; a premature end of data marks the image as unusable.
void JpegMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
    reinterpret_cast<TJpegError*>(info->err)->Truncated = true;
}

struct TJpegRead {
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  uint32_t Width = 0, Height = 0;
  std::vector<uint8_t> Rgb;
};

bool DecodeJpeg(TJpegRead& d) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof(cinfo));
  TJpegError error;
  std::memset(&error, 0, sizeof(error));
  cinfo.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JpegErrorExit;
  error.Manager.emit_message = JpegMessage;
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, d.Data, static_cast<unsigned long>(d.Size));
  jpeg_read_header(&cinfo, TRUE);
  if (!SizeAcceptable(cinfo.image_width, cinfo.image_height)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 3) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  d.Width = cinfo.output_width;
  d.Height = cinfo.output_height;
  d.Rgb.resize(size_t(d.Width) * d.Height * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = d.Rgb.data() + size_t(cinfo.output_scanline) * d.Width * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return !error.Truncated;
}

}  // namespace

PPixmap DecodeImageBytes(const std::vector<uint8_t>& bytes) {
  static const uint8_t PngMagic[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  try {
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), PngMagic, 8) == 0) {
      TPngRead d;
      d.Data = bytes.data();
      d.Size = bytes.size();
      if (!DecodePng(d)) return nullptr;
      auto pixmap = std::make_shared<TPixmap>(int(d.Width), int(d.Height));
      const uint8_t* p = d.Rgba.data();
      for (uint32_t& out : pixmap->Pixels) {
        out = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        p += 4;
      }
      return pixmap;
    }
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
      TJpegRead d;
      d.Data = bytes.data();
      d.Size = bytes.size();
      if (!DecodeJpeg(d)) return nullptr;
      auto pixmap = std::make_shared<TPixmap>(int(d.Width), int(d.Height));
      const uint8_t* p = d.Rgb.data();
      for (uint32_t& out : pixmap->Pixels) {
        out = 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        p += 3;
      }
      return pixmap;
    }
  } catch (const std::bad_alloc&) {
  }
  return nullptr;
}

PPixmap LoadImageFile(const std::string& path) {
  try {
    PStream stream = ReadStream(path);
    if (!stream) return nullptr;
    // Bound of one picture file: 128 MB of file, read whole, and 32 Mi decoded pixels
    // (128 MB, MaxPixels); a larger file is not read.
    constexpr int64_t MaxImageFileBytes = int64_t(128) << 20;
    if (stream->Size() > MaxImageFileBytes) return nullptr;
    std::vector<uint8_t> bytes = stream->ReadAll();
    stream->Close();
    return DecodeImageBytes(bytes);
  } catch (const std::exception&) {
    return nullptr;
  }
}

std::vector<uint8_t> EncodePng(const TPixmap& pixmap, int compression) {
  if (pixmap.Width < 1 || pixmap.Height < 1 ||
      pixmap.Pixels.size() != size_t(pixmap.Width) * size_t(pixmap.Height))
    return {};
  std::vector<uint8_t> rgba(pixmap.Pixels.size() * 4);
  uint8_t* p = rgba.data();
  for (uint32_t argb : pixmap.Pixels) {
    *p++ = uint8_t(argb >> 16);
    *p++ = uint8_t(argb >> 8);
    *p++ = uint8_t(argb);
    *p++ = uint8_t(argb >> 24);
  }
  TPngWrite w;
  w.Width = uint32_t(pixmap.Width);
  w.Height = uint32_t(pixmap.Height);
  w.Level = std::clamp(compression, 0, 9);
  w.Rows.resize(size_t(pixmap.Height));
  for (int y = 0; y < pixmap.Height; ++y)
    w.Rows[size_t(y)] = rgba.data() + size_t(y) * pixmap.Width * 4;
  if (!EncodePngRows(w)) return {};
  return std::move(w.Out);
}

bool SavePng(const TPixmap& pixmap, const std::string& path, int compression) {
  std::vector<uint8_t> bytes = EncodePng(pixmap, compression);
  return !bytes.empty() && WriteFileAtomically(path, bytes);
}
