// Demos: every new game is recorded tick by tick into the user demo; the episode's demo
// and the user demo play back through the world tick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TDemoStream {
 public:
  static constexpr int BufferSize = 17000;
  static constexpr int FullAt = 16986;  // 2831 ticks

  std::vector<uint8_t> buffer = std::vector<uint8_t>(BufferSize, 0);
  int32_t index = 0;
  uint8_t Active = 0;
  std::string url;

  virtual ~TDemoStream() = default;
  virtual bool WriteToFile();
  virtual void NextTick(uint8_t up, uint8_t down, uint8_t left, uint8_t right, uint8_t fire,
                        uint8_t jump);
  virtual void Reset(const std::string& fileName);
  virtual void Stop();
};

// The one recorder of the program run.
extern TDemoStream DemoRecorder;

std::string UserDemoFileName();     // "USERDEMO" + GameExt of the game (or player's) directory
std::string UserDemoFileToRead();   // the same, where it is read
std::string EpisodeDemoFileName();  // GameDir + "MY_DEMO" + GameExt
// Reads a demo's records: at most the 17000-byte buffer, never past the file's end.
std::vector<uint8_t> ReadDemoFile(const std::string& path);

void PlayDemo();
void PlayUserDemo();
