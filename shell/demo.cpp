#include "shell/demo.h"

#include <algorithm>

#include "data/graphics.h"
#include "data/image_io.h"
#include "data/music.h"
#include "data/stream.h"
#include "menus/menu.h"
#include "platform/platform.h"
#include "shell/frame.h"
#include "shell/log.h"
#include "shell/places.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "world/game_state.h"
#include "world/world.h"
#include "world/world_state.h"

TDemoStream DemoRecorder;

bool TDemoStream::WriteToFile() {
  std::vector<uint8_t> bytes;
  bytes.reserve(2 + buffer.size());
  bytes.push_back(uint8_t(index % 256));
  bytes.push_back(uint8_t(index / 256));
  bytes.insert(bytes.end(), buffer.begin(), buffer.end());
  return WriteFileAtomically(url, bytes);
}

void TDemoStream::NextTick(uint8_t up, uint8_t down, uint8_t left, uint8_t right, uint8_t fire,
                           uint8_t jump) {
  if (!Active) return;
  if (index >= FullAt) {
    Stop();
    return;
  }
  const uint8_t record[6] = {up, down, left, right, fire, jump};
  std::copy(record, record + 6, buffer.begin() + index);
  index += 6;
}

void TDemoStream::Reset(const std::string& fileName) {
  index = 0;
  url = fileName;
  Active = 1;
}

void TDemoStream::Stop() {
  if (!Active) return;
  Active = 0;
  WriteToFile();
}

std::string UserDemoFileName() {
  return PlayerFile(TPlace::GameDir, "USERDEMO" + Options().GameExt);
}
std::string UserDemoFileToRead() {
  return PlayerFileToRead(TPlace::GameDir, "USERDEMO" + Options().GameExt);
}
std::string EpisodeDemoFileName() { return Options().GameDir + "MY_DEMO" + Options().GameExt; }

std::vector<uint8_t> ReadDemoFile(const std::string& path) {
  PStream file = LittleEndianStream(ReadStream(path));
  if (!file) return {};
  std::vector<uint8_t> records;
  try {
    size_t n = file->ReadShort();
    // A length beyond the buffer or the file is cut to what both hold, in whole ticks: a
    // demo file costs at most BufferSize (17,000) bytes whatever its size.
    n = std::min<size_t>(n, TDemoStream::BufferSize);
    n = std::min<size_t>(n, size_t(std::max<int64_t>(0, file->Size() - 2)));
    n -= n % 6;
    records.resize(n);
    if (n) file->ReadBytes(records.data(), n);
  } catch (const TStreamError&) {
    records.clear();
  }
  file->Close();
  return records;
}

namespace {

void Playback(const std::string& path, bool episodeDemo) {
  TWorld& world = World();
  GoingInBox->FadeIn(-1, 16);
  NewGameState(world, false);
  world.State->MapOn = uint16_t(episodeDemo ? LastMapNumber() : 0);
  if (!LoadLevel(world)) return;
  ResetKeys();
  std::vector<uint8_t> records = ReadDemoFile(path);
  TMenu* last = records.empty() ? static_cast<TMenu*>(GoingInBox.get()) : GameScreen.get();
  TPlatform& p = Platform();
  TInputState& in = p.Input();
  int scroll = 0, pause = 0;
  bool paused = false;
  for (size_t i = 0; i + 6 <= records.size(); i += 6) {
    if (in.KeyHit(KeyEscape)) break;
    p.Clear(0);
    GameTick(world, records[i], records[i + 1], records[i + 2], records[i + 3], records[i + 4],
             records[i + 5]);
    const uint32_t timer = uint32_t(world.State->Timer);  // the counter may have wrapped
    if (episodeDemo) {
      static const int Wave[4] = {-1, 0, 1, 0};
      for (int c = 0; c < 26; ++c) {
        size_t at = size_t(scroll + c);
        if (at < DemoText.size())
          DrawFontChar(float(16 + 8 * c), float(164 + Wave[(uint32_t(c) + timer) % 4]),
                       (unsigned char)DemoText[at]);
      }
      if (timer % 4 == 0 || timer % 4 == 1) DrawText(AnyKeyText, 24, 80);
    }
    if (timer % 4 == 0) DrawBorderTile(16, 0, 12);
    if (PlaySettings().DemoScreenshots) {
      // The screenshot has drawn the commands already: the frame is shown as it is.
      SavePng(p.Screenshot(), "Screens/Shot" + Digits(int32_t(timer), 4) + ".png", 5);
      PaceFrame(PlaySettings().Speed);
    } else {
      PresentTick(PlaySettings().Speed);
    }
    if (Options().DebugMode) {
      if (in.KeyHit(KeyEnter)) paused = !paused;
      while (paused) {
        PresentFrame();
        if (in.KeyHit(KeyEscape)) {
          paused = false;
          i = records.size();
        } else if (in.KeyHit(KeyEnter)) {
          paused = false;
        } else if (in.KeyHit(KeySpace)) {
          break;
        }
      }
    } else if (AnyKeyHit()) {
      break;
    }
    if (episodeDemo && ++pause >= 40) {
      scroll += 2;
      if (scroll == 496) scroll = 2;
      if (pause == 52) pause = 0;
    }
    if (world.State->PlayerIsDead || world.State->ExitLevel || world.State->Victory) break;
  }
  last->FadeOut(0, 16);
  EnsureMusic(Options().MenuMusicName);
}

}  // namespace

void PlayDemo() { Playback(EpisodeDemoFileName(), true); }
void PlayUserDemo() { Playback(UserDemoFileToRead(), false); }
