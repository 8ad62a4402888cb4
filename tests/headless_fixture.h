// A test fixture with the headless platform installed and a window open.
#pragma once

#include <gtest/gtest.h>

#include "platform/headless.h"
#include "shell/frame.h"
#include "shell/log.h"
#include "shell/settings.h"

class THeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CloseLog();  // the next log line opens log.txt in this test's working directory
    auto platform = std::make_unique<THeadlessPlatform>();
    Headless = platform.get();
    SetPlatform(std::move(platform));
    ResetSettings();
    ClearFrameRoutines();
    ResetFrameTiming();
    ASSERT_TRUE(Headless->OpenWindow(640, 400, 0, 60));
    Headless->SetVirtualResolution(320, 200);
    ResetKeys();
  }
  void TearDown() override {
    CloseLog();
    ClearFrameRoutines();
    SetPlatform(nullptr);
  }

  THeadlessPlatform* Headless = nullptr;
};
