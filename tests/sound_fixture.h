// A fixture for sound and music tests: the headless platform with audio open, a fresh
// working directory that is also the game directory, and its own log file.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/music.h"
#include "data/sound.h"
#include "data/sound_writer.h"
#include "platform/headless.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "temp_dir.h"

class TSoundTestBase : public ::testing::Test {
 protected:
  void SetUp() override {
    CloseLog();  // the log of this test opens in the temporary directory
    auto platform = std::make_unique<THeadlessPlatform>();
    Headless = platform.get();
    SetPlatform(std::move(platform));
    ASSERT_TRUE(Headless->OpenAudio());
    ResetSettings();
    StartUpOptions().GameDir = Temp.Dir();
    ReplacementIni.Init();
    ResetSounds();
    ResetMusic();
  }
  void TearDown() override {
    ResetSounds();
    ResetMusic();
    ReplacementIni.Init();
    ResetSettings();
    SetPlatform(nullptr);
    CloseLog();
  }

  // The log lines written so far.
  std::vector<std::string> LogLines() const { return TTempDir::LogLines(); }
  int CountLog(const std::string& line) const {
    int count = 0;
    for (const std::string& l : LogLines()) count += l == line;
    return count;
  }

  // Audio events of one kind since the index.
  std::vector<TAudioEvent> Events(TAudioEvent::TKind kind, size_t from = 0) const {
    std::vector<TAudioEvent> found;
    const auto& log = Headless->AudioLog();
    for (size_t i = from; i < log.size(); ++i)
      if (log[i].Kind == kind) found.push_back(log[i]);
    return found;
  }

  TTempDir Temp;
  THeadlessPlatform* Headless = nullptr;
};
