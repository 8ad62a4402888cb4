// Builds the text-mode font image and the exit screens from their text sources:
//   build_textmode <source dir> <output dir>
// reads font.txt and every DOSTEXT.<ext>.txt of the source dir and writes ascii.png
// (128 x 256, 1-bit palette PNG, 16 x 16 glyphs of 8 x 16 in code order) and the
// 4000-byte text-mode memory images DOSTEXT.<ext>. The formats are described in
// episode/README.md. The same sources always give byte-identical files.
#include <png.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int GlyphWidth = 8;
constexpr int GlyphHeight = 16;
constexpr int ScreenColumns = 80;
constexpr int ScreenRows = 25;

// Unicode code point of every code-page-437 character (0 for code 0; 32-126 are ASCII).
// Screen sources are written in UTF-8 with these characters.
const uint16_t CodePage437[256] = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  // 00
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  // 10
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
    0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027,  // 20
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  // 30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,  // 40
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F,
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,  // 50
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,  // 60
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,  // 70
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302,
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

struct TFont {
  // One byte per glyph row, the leftmost pixel in bit 7 (the PNG's 1-bit packing).
  std::array<std::array<uint8_t, GlyphHeight>, 256> Rows{};
  std::array<bool, 256> Defined{};
};

struct TProblems {
  std::vector<std::string> Lines;
  void Add(const fs::path& file, int line, const std::string& text) {
    Lines.push_back(file.filename().string() + ":" + std::to_string(line) + ": " + text);
  }
};

bool ReadLines(const fs::path& path, std::vector<std::string>& lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return true;
}

bool Skippable(const std::string& line) { return line.empty() || line[0] == '%'; }

// The words of a line, split at spaces.
std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

bool ParseNumber(const std::string& text, int base, int& value) {
  if (text.empty()) return false;
  size_t used = 0;
  try {
    value = std::stoi(text, &used, base);
  } catch (...) {
    return false;
  }
  return used == text.size();
}

// --- Font --------------------------------------------------------------------------------

void ParseFont(const fs::path& path, const std::vector<std::string>& lines, TFont& font,
               TProblems& problems) {
  size_t i = 0;
  while (i < lines.size()) {
    const std::string& line = lines[i];
    const int lineNumber = int(i) + 1;
    ++i;
    if (Skippable(line)) continue;
    const std::vector<std::string> words = Words(line);
    int code = -1;
    if (words.size() < 2 || words[0] != "glyph" || !ParseNumber(words[1], 10, code) || code < 0 ||
        code > 255) {
      problems.Add(path, lineNumber, "expected \"glyph N\" with N from 0 to 255");
      continue;
    }
    if (font.Defined[size_t(code)])
      problems.Add(path, lineNumber, "glyph " + words[1] + " given twice");
    font.Defined[size_t(code)] = true;
    for (int row = 0; row < GlyphHeight; ++row, ++i) {
      if (i >= lines.size()) {
        problems.Add(path, int(i), "glyph " + words[1] + " has fewer than 16 rows");
        return;
      }
      const std::string& pixels = lines[i];
      if (pixels.size() != GlyphWidth || pixels.find_first_not_of("#.") != std::string::npos) {
        problems.Add(path, int(i) + 1, "a glyph row is 8 characters of \"#\" and \".\"");
        continue;
      }
      uint8_t bits = 0;
      for (int x = 0; x < GlyphWidth; ++x)
        if (pixels[size_t(x)] == '#') bits = uint8_t(bits | (0x80 >> x));
      font.Rows[size_t(code)][size_t(row)] = bits;
    }
  }
}

// libpng reports errors by longjmp; this routine keeps only plain locals in its frame.
bool WriteFontPng(const TFont& font, const fs::path& path) {
  FILE* file = std::fopen(path.string().c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    std::fclose(file);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, 16 * GlyphWidth, 16 * GlyphHeight, 1, PNG_COLOR_TYPE_PALETTE,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[2] = {{0, 0, 0}, {255, 255, 255}};
  png_set_PLTE(png, info, palette, 2);
  png_write_info(png, info);
  // An image row holds one glyph row of 16 codes: one byte per glyph.
  png_byte row[16];
  for (int y = 0; y < 16 * GlyphHeight; ++y) {
    for (int column = 0; column < 16; ++column)
      row[column] = font.Rows[size_t((y / GlyphHeight) * 16 + column)][size_t(y % GlyphHeight)];
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

// --- Screens -----------------------------------------------------------------------------

// Decodes UTF-8; false on a malformed sequence.
bool DecodeUtf8(const std::string& text, std::vector<uint32_t>& points) {
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t lead = uint8_t(text[i++]);
    int extra = 0;
    uint32_t point = lead;
    if ((lead & 0xE0) == 0xC0) {
      extra = 1, point = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, point = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, point = lead & 0x07;
    } else if (lead >= 0x80) {
      return false;
    }
    for (int k = 0; k < extra; ++k, ++i) {
      if (i >= text.size() || (uint8_t(text[i]) & 0xC0) != 0x80) return false;
      point = (point << 6) | (uint8_t(text[i]) & 0x3F);
    }
    points.push_back(point);
  }
  return true;
}

std::string CodePointName(uint32_t point) {
  char name[16];
  std::snprintf(name, sizeof(name), "U+%04X", unsigned(point));
  return name;
}

int CodeOf(uint32_t point) {
  for (int code = 1; code < 256; ++code)
    if (CodePage437[code] == point) return code;
  return -1;
}

// The 80 cells between the two "|" of a grid row, as code points.
bool GridRow(const std::string& line, std::vector<uint32_t>& cells) {
  std::vector<uint32_t> points;
  if (!DecodeUtf8(line, points)) return false;
  if (points.size() != ScreenColumns + 2 || points.front() != '|' || points.back() != '|')
    return false;
  cells.assign(points.begin() + 1, points.end() - 1);
  return true;
}

bool ParseScreen(const fs::path& path, const std::vector<std::string>& lines, const TFont& font,
                 std::vector<uint8_t>& memory, TProblems& problems) {
  const size_t before = problems.Lines.size();
  std::map<uint32_t, int> attributes;                                // colour key -> attribute byte
  std::vector<std::pair<int, std::vector<uint32_t>>> text, colours;  // line number, cells
  size_t i = 0;
  auto readGrid = [&](std::vector<std::pair<int, std::vector<uint32_t>>>& grid,
                      const std::string& name) {
    if (!grid.empty()) problems.Add(path, int(i), "\"" + name + "\" given twice");
    grid.clear();
    for (int row = 0; row < ScreenRows; ++row, ++i) {
      std::vector<uint32_t> cells;
      if (i >= lines.size() || !GridRow(lines[i], cells)) {
        problems.Add(path, int(i) + 1,
                     "\"" + name + "\" needs 25 rows of \"|\", 80 characters and \"|\"");
        return;
      }
      grid.emplace_back(int(i) + 1, cells);
    }
  };
  while (i < lines.size()) {
    const std::string& line = lines[i];
    ++i;
    if (Skippable(line)) continue;
    const std::vector<std::string> words = Words(line);
    if (words[0] == "text" && words.size() == 1) {
      readGrid(text, "text");
    } else if (words[0] == "colours" && words.size() == 1) {
      readGrid(colours, "colours");
    } else if (words[0] == "attr") {
      int value = -1;
      std::vector<uint32_t> key;
      if (words.size() < 3 || !DecodeUtf8(words[1], key) || key.size() != 1 || key[0] == '|' ||
          words[2].size() != 2 || !ParseNumber(words[2], 16, value)) {
        problems.Add(path, int(i), "expected \"attr K HH\": one key character, two hex digits");
      } else if (!attributes.emplace(key[0], value).second) {
        problems.Add(path, int(i), "colour key " + words[1] + " given twice");
      }
    } else {
      problems.Add(path, int(i), "expected \"attr\", \"text\" or \"colours\"");
    }
  }
  if (text.empty()) problems.Add(path, int(lines.size()), "no \"text\" grid");
  if (colours.empty()) problems.Add(path, int(lines.size()), "no \"colours\" grid");
  if (problems.Lines.size() != before) return false;

  memory.assign(ScreenColumns * ScreenRows * 2, 0);
  for (int row = 0; row < ScreenRows; ++row) {
    for (int column = 0; column < ScreenColumns; ++column) {
      const size_t at = size_t(row * ScreenColumns + column) * 2;
      const uint32_t point = text[size_t(row)].second[size_t(column)];
      const int code = CodeOf(point);
      if (code < 0) {
        problems.Add(path, text[size_t(row)].first,
                     "column " + std::to_string(column) + ": " + CodePointName(point) +
                         " is not a code-page-437 character");
      } else if (!font.Defined[size_t(code)]) {
        problems.Add(
            path, text[size_t(row)].first,
            "column " + std::to_string(column) + ": the font has no glyph " + std::to_string(code));
      } else {
        memory[at] = uint8_t(code);
      }
      const uint32_t key = colours[size_t(row)].second[size_t(column)];
      auto found = attributes.find(key);
      if (found == attributes.end()) {
        std::string keyText = key < 128 ? std::string(1, char(key)) : CodePointName(key);
        problems.Add(
            path, colours[size_t(row)].first,
            "column " + std::to_string(column) + ": colour key " + keyText + " has no \"attr\"");
      } else {
        memory[at + 1] = uint8_t(found->second);
      }
    }
  }
  return problems.Lines.size() == before;
}

bool WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: build_textmode <source dir> <output dir>\n");
    return 2;
  }
  const fs::path source(argv[1]), output(argv[2]);
  std::error_code error;
  fs::create_directories(output, error);

  TProblems problems;
  TFont font;
  std::vector<std::string> lines;
  if (!ReadLines(source / "font.txt", lines)) {
    std::fprintf(stderr, "build_textmode: cannot read %s\n",
                 (source / "font.txt").string().c_str());
    return 1;
  }
  ParseFont(source / "font.txt", lines, font, problems);

  // Every DOSTEXT.<ext>.txt, in name order.
  std::vector<fs::path> screens;
  for (const auto& entry : fs::directory_iterator(source, error)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && name.rfind("DOSTEXT.", 0) == 0 && name.size() > 12 &&
        name.compare(name.size() - 4, 4, ".txt") == 0)
      screens.push_back(entry.path());
  }
  std::sort(screens.begin(), screens.end());

  std::vector<std::pair<fs::path, std::vector<uint8_t>>> outputs;
  for (const fs::path& screen : screens) {
    lines.clear();
    std::vector<uint8_t> memory;
    if (!ReadLines(screen, lines)) {
      problems.Add(screen, 0, "cannot read");
    } else if (ParseScreen(screen, lines, font, memory, problems)) {
      outputs.emplace_back(output / screen.stem(), memory);  // DOSTEXT.<ext>
    }
  }
  if (!problems.Lines.empty()) {
    for (const std::string& line : problems.Lines)
      std::fprintf(stderr, "error: %s\n", line.c_str());
    return 1;
  }
  if (!WriteFontPng(font, output / "ascii.png")) {
    std::fprintf(stderr, "build_textmode: cannot write %s\n",
                 (output / "ascii.png").string().c_str());
    return 1;
  }
  for (const auto& [path, memory] : outputs) {
    if (!WriteBytes(path, memory)) {
      std::fprintf(stderr, "build_textmode: cannot write %s\n", path.string().c_str());
      return 1;
    }
  }
  std::printf("build_textmode: ascii.png and %zu screens written to %s\n", outputs.size(),
              output.string().c_str());
  return 0;
}
