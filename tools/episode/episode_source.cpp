#include "tools/episode/episode_source.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "data/planar.h"

namespace {

struct TLineReader {
  std::vector<std::string> Lines;
  size_t Next = 0;
  std::string FileName;

  TLineReader(const std::string& text, const std::string& fileName) : FileName(fileName) {
    std::string line;
    for (char c : text) {
      if (c == '\n') {
        Lines.push_back(line);
        line.clear();
      } else if (c != '\r') {
        line += c;
      }
    }
    if (!line.empty()) Lines.push_back(line);
  }
  bool AtEnd() const { return Next >= Lines.size(); }
  // The next line that is not blank and not a comment, trimmed of trailing spaces.
  bool NextContent(std::string& out) {
    while (Next < Lines.size()) {
      std::string line = Lines[Next++];
      while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
      size_t first = line.find_first_not_of(" \t");
      if (first == std::string::npos || line[first] == '#') continue;
      out = line.substr(first);
      return true;
    }
    return false;
  }
  // The next raw line (grid rows keep everything).
  bool NextRaw(std::string& out) {
    if (Next >= Lines.size()) return false;
    out = Lines[Next++];
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
    return true;
  }
  bool Fail(TSourceError& error, const std::string& text) const {
    error.Text = FileName + ":" + std::to_string(Next) + ": " + text;
    return false;
  }
};

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

bool ParseInt(const std::string& text, int& value) {
  try {
    size_t used = 0;
    long v = std::stol(text, &used, 0);
    if (used != text.size()) return false;
    value = int(v);
    return true;
  } catch (...) {
    return false;
  }
}

// Palette index of a colour character, -1 for transparent, -2 for anything else.
int ColourIndex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c == '.') return -1;
  return -2;
}

uint32_t ColourOf(int index) { return index < 0 ? 0u : EgaPalette[index & 15]; }

bool ReadGrid(TLineReader& in, int width, int height, TPixmap& out, TSourceError& error) {
  out = TPixmap(width, height);
  for (int y = 0; y < height; ++y) {
    std::string row;
    if (!in.NextRaw(row)) return in.Fail(error, "the grid ends early");
    if (int(row.size()) != width)
      return in.Fail(error, "a grid row of " + std::to_string(row.size()) + " characters, " +
                                std::to_string(width) + " expected");
    for (int x = 0; x < width; ++x) {
      int index = ColourIndex(row[size_t(x)]);
      if (index == -2)
        return in.Fail(error, std::string("unknown colour '") + row[size_t(x)] + "'");
      out.Set(x, y, ColourOf(index));
    }
  }
  return true;
}

}  // namespace

TPixmap TTileArt::Strip(bool masked) const {
  TPixmap strip(Width, Height * int(Tiles.size()));
  for (size_t i = 0; i < Tiles.size(); ++i) strip.Paste(Tiles[i], 0, int(i) * Height);
  if (!masked)
    for (uint32_t& p : strip.Pixels)
      if ((p >> 24) == 0) p = EgaPalette[0];
  return strip;
}

bool ParseTileArt(const std::string& text, const std::string& fileName, TTileArt& art,
                  TSourceError& error) {
  TLineReader in(text, fileName);
  std::string line;
  int count = -1;
  art = TTileArt();
  std::vector<bool> given, drawn;
  struct TCopy {
    int Tile, Source;
    bool FlipX;
    size_t Line;
  };
  std::vector<TCopy> copies;
  while (in.NextContent(line)) {
    std::vector<std::string> w = Words(line);
    if (w[0] == "size") {
      if (w.size() != 3 || !ParseInt(w[1], art.Width) || !ParseInt(w[2], art.Height) ||
          art.Width < 8 || art.Width % 8 != 0 || art.Height < 1 || art.Height > 255)
        return in.Fail(error, "size wants a width (a multiple of 8) and a height");
    } else if (w[0] == "count") {
      if (w.size() != 2 || !ParseInt(w[1], count) || count < 1 || count > 255)
        return in.Fail(error, "count wants a number from 1 to 255");
      art.Tiles.assign(size_t(count), TPixmap(art.Width, art.Height));
      given.assign(size_t(count), false);
      drawn.assign(size_t(count), false);
    } else if (w[0] == "tile") {
      int k = 0;
      if (count < 0) return in.Fail(error, "tile before count");
      if (w.size() < 2 || !ParseInt(w[1], k) || k < 0 || k >= count)
        return in.Fail(error, "tile number out of range");
      if (given[size_t(k)]) return in.Fail(error, "tile " + std::to_string(k) + " given twice");
      given[size_t(k)] = true;
      if (w.size() >= 4 && w[2] == "=") {
        int j = 0;
        if (!ParseInt(w[3], j) || j < 0 || j >= count || j == k)
          return in.Fail(error, "a copy names a tile out of range");
        copies.push_back({k, j, w.size() >= 5 && w[4] == "flipx", in.Next});
      } else if (!ReadGrid(in, art.Width, art.Height, art.Tiles[size_t(k)], error)) {
        return false;
      } else {
        drawn[size_t(k)] = true;
      }
    } else {
      return in.Fail(error, "unknown line '" + line + "'");
    }
  }
  if (count < 0) return in.Fail(error, "no count");
  // Copies may name tiles given later, or other copies: resolve until nothing changes.
  for (bool progress = true; progress;) {
    progress = false;
    for (TCopy& c : copies) {
      if (drawn[size_t(c.Tile)] || !drawn[size_t(c.Source)]) continue;
      const TPixmap& source = art.Tiles[size_t(c.Source)];
      art.Tiles[size_t(c.Tile)] = c.FlipX ? source.MirroredX() : source;
      drawn[size_t(c.Tile)] = true;
      progress = true;
    }
  }
  for (const TCopy& c : copies)
    if (!drawn[size_t(c.Tile)]) {
      in.Next = c.Line;
      return in.Fail(error,
                     "tile " + std::to_string(c.Tile) + " copies a tile that is never drawn");
    }
  return true;
}

// --- Pictures ------------------------------------------------------------------------

namespace {

struct TCanvas {
  TPixmap& P;
  void Put(int x, int y, uint32_t c) {
    if ((c >> 24) != 0) P.Set(x, y, c);
  }
  void Rect(int x, int y, int w, int h, uint32_t c) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) Put(x + i, y + j, c);
  }
  void Line(int x0, int y0, int x1, int y1, uint32_t c) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
    for (;;) {
      Put(x0, y0, c);
      if (x0 == x1 && y0 == y1) break;
      int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
  }
  void Blit(const TPixmap& src, int x, int y, int scale, bool flip) {
    for (int j = 0; j < src.Height * scale; ++j)
      for (int i = 0; i < src.Width * scale; ++i) {
        int sx = i / scale;
        if (flip) sx = src.Width - 1 - sx;
        Put(x + i, y + j, src.Get(sx, j / scale));
      }
  }
};

bool Colour(const std::string& text, uint32_t& c) {
  if (text.size() != 1 || ColourIndex(text[0]) < 0) return false;
  c = EgaPalette[ColourIndex(text[0])];
  return true;
}

// A small deterministic generator for star fields and noise.
struct TLcg {
  uint32_t State;
  uint32_t Next() {
    State = State * 1103515245u + 12345u;
    return (State >> 16) & 0x7FFF;
  }
};

}  // namespace

bool DrawPicture(const std::string& text, const std::string& fileName, const TArtLibrary& library,
                 TPixmap& picture, TSourceError& error) {
  TLineReader in(text, fileName);
  std::string line;
  TCanvas canvas{picture};
  while (in.NextContent(line)) {
    std::vector<std::string> w = Words(line);
    const std::string& cmd = w[0];
    std::vector<int> n;
    for (size_t i = 1; i < w.size(); ++i) {
      int v = 0;
      if (ParseInt(w[i], v))
        n.push_back(v);
      else
        break;
    }
    auto want = [&](size_t count) { return n.size() >= count; };
    uint32_t c = 0;
    if (cmd == "size") {
      if (!want(2) || n[0] < 1 || n[1] < 1 || n[0] > 1024 || n[1] > 1024)
        return in.Fail(error, "size W H");
      picture = TPixmap(n[0], n[1], EgaPalette[0]);
    } else if (cmd == "fill") {
      if (w.size() != 2 || !Colour(w[1], c)) return in.Fail(error, "fill C");
      canvas.Rect(0, 0, picture.Width, picture.Height, c);
    } else if (cmd == "rect" || cmd == "frame") {
      if (!want(4) || w.size() != 6 || !Colour(w[5], c)) return in.Fail(error, cmd + " X Y W H C");
      if (cmd == "rect") {
        canvas.Rect(n[0], n[1], n[2], n[3], c);
      } else {
        canvas.Rect(n[0], n[1], n[2], 1, c);
        canvas.Rect(n[0], n[1] + n[3] - 1, n[2], 1, c);
        canvas.Rect(n[0], n[1], 1, n[3], c);
        canvas.Rect(n[0] + n[2] - 1, n[1], 1, n[3], c);
      }
    } else if (cmd == "line") {
      if (!want(4) || w.size() != 6 || !Colour(w[5], c))
        return in.Fail(error, "line X0 Y0 X1 Y1 C");
      canvas.Line(n[0], n[1], n[2], n[3], c);
    } else if (cmd == "circle") {
      if (!want(3) || w.size() != 5 || !Colour(w[4], c)) return in.Fail(error, "circle X Y R C");
      for (int y = -n[2]; y <= n[2]; ++y)
        for (int x = -n[2]; x <= n[2]; ++x)
          if (x * x + y * y <= n[2] * n[2]) canvas.Put(n[0] + x, n[1] + y, c);
    } else if (cmd == "stars") {
      // stars SEED COUNT C... : single pixels at deterministic places
      if (!want(2) || w.size() < 4) return in.Fail(error, "stars SEED COUNT C...");
      std::vector<uint32_t> colours;
      for (size_t i = 3; i < w.size(); ++i) {
        if (!Colour(w[i], c)) return in.Fail(error, "stars: bad colour");
        colours.push_back(c);
      }
      TLcg rng{uint32_t(n[0])};
      for (int i = 0; i < n[1]; ++i) {
        int x = int(rng.Next() % uint32_t(picture.Width));
        int y = int(rng.Next() % uint32_t(picture.Height));
        canvas.Put(x, y, colours[rng.Next() % colours.size()]);
      }
    } else if (cmd == "dither") {
      // dither X Y W H C1 C2 : a checkerboard of two colours
      uint32_t c2 = 0;
      if (!want(4) || w.size() != 7 || !Colour(w[5], c) || !Colour(w[6], c2))
        return in.Fail(error, "dither X Y W H C1 C2");
      for (int y = 0; y < n[3]; ++y)
        for (int x = 0; x < n[2]; ++x) canvas.Put(n[0] + x, n[1] + y, ((x + y) & 1) ? c2 : c);
    } else if (cmd == "text") {
      // text X Y SCALE C "TEXT" (C '*' keeps the glyph colours)
      size_t q0 = line.find('"'), q1 = line.rfind('"');
      if (!want(3) || w.size() < 6 || q0 == std::string::npos || q1 <= q0)
        return in.Fail(error, "text X Y SCALE C \"TEXT\"");
      bool keep = w[4] == "*";
      if (!keep && !Colour(w[4], c)) return in.Fail(error, "text: bad colour");
      int x = n[0];
      for (unsigned char ch : line.substr(q0 + 1, q1 - q0 - 1)) {
        auto g = library.Glyphs.find(ch);
        if (g != library.Glyphs.end()) {
          TPixmap glyph = g->second;
          if (!keep)
            for (uint32_t& p : glyph.Pixels)
              if ((p >> 24) != 0 && (p & 0xFFFFFF) != 0) p = c;
          canvas.Blit(glyph, x, n[1], std::max(1, n[2]), false);
        }
        x += 8 * std::max(1, n[2]);
      }
    } else if (cmd == "sprite" || cmd == "tile") {
      // sprite FRAME X Y [SCALE] [flipx]
      const std::vector<TPixmap>& set = cmd == "sprite" ? library.Sprites : library.Tiles;
      if (!want(3) || n[0] < 0 || n[0] >= int(set.size()))
        return in.Fail(error, cmd + " FRAME X Y [SCALE] [flipx]");
      int scale = n.size() >= 4 ? std::max(1, n[3]) : 1;
      canvas.Blit(set[size_t(n[0])], n[1], n[2], scale, w.back() == "flipx");
    } else if (cmd == "grid") {
      // grid X Y W H [SCALE], then H rows of W colour characters
      if (!want(4)) return in.Fail(error, "grid X Y W H [SCALE]");
      TPixmap block;
      if (!ReadGrid(in, n[2], n[3], block, error)) return false;
      canvas.Blit(block, n[0], n[1], n.size() >= 5 ? std::max(1, n[4]) : 1, false);
    } else {
      return in.Fail(error, "unknown command '" + cmd + "'");
    }
  }
  return true;
}

// --- Maps ----------------------------------------------------------------------------

bool ParseLevelMap(const std::string& text, const std::string& fileName,
                   std::vector<uint16_t>& words, TSourceError& error) {
  TLineReader in(text, fileName);
  std::map<char, uint16_t> legend;
  char fill = 0;
  bool haveFill = false;
  std::string line;
  words.assign(128 * 90, 0);
  bool sawMap = false;
  while (in.NextContent(line)) {
    std::vector<std::string> w = Words(line);
    if (w[0] == "fill") {
      if (w.size() != 2 || w[1].size() != 1) return in.Fail(error, "fill C");
      fill = w[1][0];
      haveFill = true;
    } else if (w[0] == "legend") {
      // Lines "C = WORD [comment]" until "end"; C may be any character but space.
      for (;;) {
        std::string entry;
        if (!in.NextRaw(entry)) return in.Fail(error, "legend without end");
        size_t first = entry.find_first_not_of(" \t");
        if (first == std::string::npos ||
            (entry[first] == '#' && entry.find('=') == std::string::npos))
          continue;
        if (entry.substr(first) == "end") break;
        char key = entry[first];
        std::vector<std::string> rest = Words(entry.substr(first + 1));
        int value = 0;
        if (rest.size() < 2 || rest[0] != "=" || !ParseInt(rest[1], value) || value < 0 ||
            value > 0xFFFF)
          return in.Fail(error, "legend lines read C = WORD");
        if (legend.count(key))
          return in.Fail(error, std::string("'") + key + "' twice in the legend");
        legend[key] = uint16_t(value);
      }
    } else if (w[0] == "map") {
      sawMap = true;
      int row = 0;
      for (;;) {
        std::string gridRow;
        if (!in.NextRaw(gridRow)) return in.Fail(error, "map without end");
        if (gridRow == "end") break;
        if (row >= 90) return in.Fail(error, "more than 90 rows");
        if (gridRow.size() > 128) return in.Fail(error, "a row longer than 128 columns");
        for (int col = 0; col < 128; ++col) {
          char ch = col < int(gridRow.size()) ? gridRow[size_t(col)] : fill;
          if (col >= int(gridRow.size()) && !haveFill)
            return in.Fail(error, "a short row without fill");
          auto it = legend.find(ch);
          if (it == legend.end())
            return in.Fail(error, std::string("'") + ch + "' is not in the legend");
          words[size_t(row) * 128 + size_t(col)] = it->second;
        }
        ++row;
      }
      if (row < 90) {
        auto it = legend.find(fill);
        if (!haveFill || it == legend.end())
          return in.Fail(error, "fewer than 90 rows without fill");
        for (int r = row; r < 90; ++r)
          for (int col = 0; col < 128; ++col) words[size_t(r) * 128 + size_t(col)] = it->second;
      }
    } else {
      return in.Fail(error, "unknown line '" + line + "'");
    }
  }
  if (!sawMap) return in.Fail(error, "no map");
  return true;
}

std::vector<uint8_t> EncodeLevelMap(const std::vector<uint16_t>& words) {
  std::vector<uint8_t> bytes(128 * 90 * 2, 0);
  for (size_t i = 0; i < 128 * 90 && i < words.size(); ++i) {
    bytes[2 * i] = uint8_t(words[i] & 0xFF);
    bytes[2 * i + 1] = uint8_t(words[i] >> 8);
  }
  return bytes;
}
