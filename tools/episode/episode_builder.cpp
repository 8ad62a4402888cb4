#include "tools/episode/episode_builder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "data/object_codes.h"
#include "data/planar_writer.h"
#include "data/sound_writer.h"
#include "data/stream.h"
#include "tools/episode/episode_demo.h"
#include "tools/episode/episode_source.h"
#include "tools/episode/map_checker.h"

namespace {

namespace fs = std::filesystem;

const std::string Ext = ".QZ1";
// The level that the demo plays on: the last of the levels list.
const std::string DemoRoute = "worldalc.qz1.route";

std::string HexCode(int code) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", code);
  return text;
}

struct TArtFile {
  std::string Stem;
  bool Masked;
  int FirstSprite;  // engine frame of tile 0 in the sprite set, -1 when not a sprite file
  int FirstTile;    // engine frame of tile 0 in the tile set, -1 when not a tile file
  int Forced;       // tiles the engine takes (0: the file's count)
};

std::vector<TArtFile> ArtFiles() {
  std::vector<TArtFile> files = {
      {"BORDER", false, -1, -1, 0}, {"FONT1", true, -1, -1, 0}, {"FONT2", true, -1, -1, 0}};
  for (int k = 0; k < 4; ++k) files.push_back({"BACK" + std::to_string(k), false, -1, 48 * k, 48});
  for (int k = 0; k < 4; ++k)
    files.push_back({"SOLID" + std::to_string(k), false, -1, 192 + 48 * k, 48});
  for (int k = 0; k < 5; ++k) files.push_back({"MAN" + std::to_string(k), true, 48 * k, -1, 48});
  for (int k = 0; k < 6; ++k)
    files.push_back({"ANIM" + std::to_string(k), true, 240 + 48 * k, -1, 48});
  for (int k = 0; k < 3; ++k)
    files.push_back({"OBJECT" + std::to_string(k), true, 528 + 50 * k, -1, 0});
  files.push_back({"NUMBERS", true, 678, -1, 0});
  return files;
}

bool ReadText(const fs::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool Write(TEpisodeBuild& build, const fs::path& outDir, const std::string& name,
           const std::vector<uint8_t>& bytes) {
  if (bytes.empty() || !WriteFileAtomically((outDir / name).string(), bytes)) {
    build.Errors.push_back("cannot write " + name);
    return false;
  }
  build.Written.push_back(name);
  return true;
}

// Sorted list of the .txt sources in a folder.
std::vector<fs::path> Sources(const fs::path& dir) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.is_regular_file() && e.path().extension() == ".txt") out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

bool BuildEpisode(const std::string& sourceDir, const std::string& outputDir,
                  TEpisodeBuild& build) {
  fs::path src(sourceDir), out(outputDir);
  std::error_code ec;
  fs::create_directories(out, ec);

  // Tile art, and the library that pictures draw from.
  TArtLibrary library;
  library.Sprites.assign(722, TPixmap(16, 16));
  library.Tiles.assign(384, TPixmap(16, 16));
  for (const TArtFile& file : ArtFiles()) {
    fs::path path = src / "art" / (file.Stem + ".txt");
    std::string text;
    if (!ReadText(path, text)) {
      build.Warnings.push_back("no art for " + file.Stem);
      continue;
    }
    TTileArt art;
    TSourceError error;
    if (!ParseTileArt(text, path.filename().string(), art, error)) {
      build.Errors.push_back(error.Text);
      continue;
    }
    Write(build, out, file.Stem + Ext,
          EncodeTileFile(art.Strip(file.Masked), art.Width / 8, art.Height));
    int taken =
        file.Forced ? std::min<int>(file.Forced, int(art.Tiles.size())) : int(art.Tiles.size());
    for (int i = 0; i < taken; ++i) {
      if (file.FirstSprite >= 0 && file.FirstSprite + i < 722)
        library.Sprites[size_t(file.FirstSprite + i)] = art.Tiles[size_t(i)];
      if (file.FirstTile >= 0 && file.FirstTile + i < 384)
        library.Tiles[size_t(file.FirstTile + i)] = art.Tiles[size_t(i)];
    }
    for (int i = 0; i < int(art.Tiles.size()); ++i) {
      if (file.Stem == "FONT1" && 22 + i < 256) library.Glyphs[22 + i] = art.Tiles[size_t(i)];
      if (file.Stem == "FONT2") {
        int code = i < 19 ? 72 + i : 97 + (i - 19);
        if (code < 256) library.Glyphs[code] = art.Tiles[size_t(i)];
      }
    }
  }

  // Full-screen pictures (320 x 200) and backdrops (208 x 160).
  for (const char* stem : {"QZ", "CREDITS", "BRAX", "BADGUY", "END"}) {
    fs::path path = src / "pictures" / (std::string(stem) + ".txt");
    std::string text;
    if (!ReadText(path, text)) {
      build.Warnings.push_back(std::string("no picture ") + stem);
      continue;
    }
    TPixmap picture(320, 200, 0xFF000000u);
    TSourceError error;
    if (!DrawPicture(text, path.filename().string(), library, picture, error)) {
      build.Errors.push_back(error.Text);
      continue;
    }
    if (picture.Width != 320 || picture.Height != 200) {
      build.Errors.push_back(path.filename().string() + ": a picture is 320 x 200");
      continue;
    }
    Write(build, out, stem + Ext, EncodePlanarPicture(picture, false));
  }
  for (const fs::path& path : Sources(src / "backdrops")) {
    std::string text;
    ReadText(path, text);
    TPixmap picture(208, 160, 0xFF000000u);
    TSourceError error;
    if (!DrawPicture(text, path.filename().string(), library, picture, error)) {
      build.Errors.push_back(error.Text);
      continue;
    }
    if (picture.Width != 208 || picture.Height != 160) {
      build.Errors.push_back(path.filename().string() + ": a backdrop is 208 x 160");
      continue;
    }
    Write(build, out, path.stem().string() + ".qz1", EncodeBackdrop(picture));
  }

  // Level maps: each is written, then checked (exits, traps, layout figures). A map that
  // fails the check is still written, so that its designer can look at it and play it.
  // The hooks, boots and glove stay with the hero, so the maps before a map (in the order
  // of their names) tell what he may bring into it.
  uint8_t carried = 0;
  std::vector<bool> codesUsed(LastObjectCode - FirstObjectCode + 1, false);
  for (const fs::path& path : Sources(src / "maps")) {
    std::string text;
    ReadText(path, text);
    std::vector<uint16_t> words;
    TSourceError error;
    if (!ParseLevelMap(text, path.filename().string(), words, error)) {
      build.Errors.push_back(error.Text);
      continue;
    }
    Write(build, out, path.stem().string() + ".qz1", EncodeLevelMap(words));
    TMapCheckOptions options;
    options.Carried = carried;
    TMapCheckReport check = CheckLevelMap(words, path.filename().string(), options);
    build.Errors.insert(build.Errors.end(), check.Errors.begin(), check.Errors.end());
    carried |= CarriedItemsOf(words);
    for (uint16_t word : words)
      if (word >= FirstObjectCode && word <= LastObjectCode)
        codesUsed[word - FirstObjectCode] = true;
  }
  // Every kind of object appears in some level.
  for (int code = FirstObjectCode; code <= LastObjectCode; ++code)
    if (!codesUsed[size_t(code - FirstObjectCode)])
      build.Errors.push_back("no level uses the object code " + HexCode(code));
  // The episode's demo is the route of the last map of the levels list.
  if (std::string error; !WriteEpisodeDemo((src / "routes" / DemoRoute).string(),
                                           (out / ("MY_DEMO" + Ext)).string(), error))
    build.Errors.push_back(error);
  else
    build.Written.push_back("MY_DEMO" + Ext);
  // Sounds: the two speaker containers.
  std::string soundText;
  if (!ReadText(src / "sounds.txt", soundText)) {
    build.Warnings.push_back("no sounds.txt");
  } else {
    TSoundContainers sounds = BuildSoundContainersFromText(soundText);
    if (!sounds.Ok()) {
      build.Errors.push_back("sounds.txt: " + sounds.Error);
    } else {
      Write(build, out, "BRAX1" + Ext, sounds.First);
      Write(build, out, "BRAX1-B" + Ext, sounds.Second);
    }
  }
  return build.Errors.empty();
}
