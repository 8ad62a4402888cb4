#include "shell/frame.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "data/image_io.h"
#include "menus/high_scores.h"
#include "shell/keys.h"
#include "platform/platform.h"
#include "shell/log.h"
#include "shell/places.h"
#include "shell/settings.h"

bool ShowCollisionBoxes = false;
bool DemoScreenshots = false;

namespace {

std::vector<TFrameRoutine>& FrameRoutines() {
  static std::vector<TFrameRoutine> routines;
  return routines;
}

// The 60 Hz software timer: 16 ms a frame plus a remainder of 40/60 ms.
struct TFrameTimer {
  bool Started = false;
  uint32_t Target = 0;
  int Remainder = 0;
};
TFrameTimer Timer60;
bool PacedStarted = false;
uint32_t PreviousPacedFrame = 0;

uint8_t RepeatCounters[KeyCodeCount] = {};
bool AnyKeyIgnored[KeyCodeCount] = {};
int LastAnyKeyCode = 0;

void RunFrameRoutines() {
  // Routines may register others (start-up does); iterate by index over a stable count.
  std::vector<TFrameRoutine>& routines = FrameRoutines();
  for (size_t i = 0, n = routines.size(); i < n; ++i) routines[i]();
}

void WaitForTimer() {
  TPlatform& p = Platform();
  uint32_t now = p.Millisecs();
  if (!Timer60.Started) {
    Timer60 = {true, now, 0};
    return;
  }
  Timer60.Target += 16;
  Timer60.Remainder += 40;
  if (Timer60.Remainder >= 60) {
    Timer60.Remainder -= 60;
    Timer60.Target += 1;
  }
  int32_t wait = int32_t(Timer60.Target - now);
  if (wait <= 0)
    Timer60.Target = now;  // no catching up after a stall
  else
    p.Sleep(wait);
}

}  // namespace

void RegisterFrameRoutine(const TFrameRoutine& routine) { FrameRoutines().push_back(routine); }
void ClearFrameRoutines() { FrameRoutines().clear(); }

void ResetFrameTiming() {
  Timer60 = {};
  PacedStarted = false;
  PreviousPacedFrame = 0;
}

void PresentFrame() {
  RunFrameRoutines();
  TPlatform& p = Platform();
  bool fullScreen = p.WindowDepth() != 0;
  if (!fullScreen) WaitForTimer();
  p.Flip(fullScreen);
}

void PresentFrameUnpaced() {
  RunFrameRoutines();
  Platform().Flip(false);
}

void PaceFrame(uint8_t fps) {
  PresentFrame();
  if (fps == 0) return;
  TPlatform& p = Platform();
  int32_t period = 1000 / fps;
  if (PacedStarted) {
    int32_t elapsed = int32_t(p.Millisecs() - PreviousPacedFrame);
    if (elapsed >= 0 && elapsed < period) p.Sleep(period - elapsed);
  }
  PacedStarted = true;
  PreviousPacedFrame = p.Millisecs();
}

void SaveScreenshotFile() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string folder = PlayerFile(TPlace::WorkDir, "Screenshots");
  fs::create_directories(folder, ec);
  // Numbered on from the highest "zyntra-NNNN.png" already there.
  long highest = 0;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    const std::string name = e.path().filename().string();
    if (name.size() == 15 && name.rfind("zyntra-", 0) == 0 && name.compare(11, 4, ".png") == 0 &&
        std::all_of(name.begin() + 7, name.begin() + 11, [](char c) { return c >= '0' && c <= '9'; }))
      highest = std::max(highest, std::stol(name.substr(7, 4)));
  }
  std::string number = std::to_string(highest + 1);
  if (number.size() < 4) number.insert(0, 4 - number.size(), '0');
  const std::string name = folder + "/zyntra-" + number + ".png";
  if (highest < 9999 && SavePng(Platform().Screenshot(), name, 5))
    LogLine("Screenshot saved as " + name);
  else
    LogLine("ERROR :: Screenshot :: cannot write " + name);
}

volatile std::sig_atomic_t QuitSignal = 0;

void EndOnClose() {
  // What the quit from the menu writes: the high scores, the configuration and the keys.
  LogLine(QuitSignal ? "Quit signal: settings and high scores saved" : "Window closed: settings and high scores saved");
  SaveHighScores(PlayerFile(TPlace::GameDir, "HIGHS" + GameExt));
  SaveConfig();
  EndProgram(0);
}

void FlipHookKeys() {
  TPlatform& p = Platform();
  TInputState& in = p.Input();
  if (in.KeyHit(KeyPrintScreen)) SaveScreenshotFile();
  if (DebugMode) {
    if (in.KeyHit(KeyF2)) ShowCollisionBoxes = !ShowCollisionBoxes;
    if (in.KeyHit(KeyF3)) DemoScreenshots = !DemoScreenshots;
  }
  if (in.KeyHit(KeyF12)) ReplacementMode = !ReplacementMode;
  if (p.CloseRequested() || QuitSignal) EndOnClose();
  while (p.Suspended()) {
    p.Sleep(16);
    p.PollEvents();
    if (p.CloseRequested() || QuitSignal) EndOnClose();
  }
}

void ResetKeys() {
  Platform().Input().Flush();
  for (int i = 1; i < KeyCodeCount; ++i) RepeatCounters[i] = 0;
  LastAnyKeyCode = 0;
}

void DrainKeyHits() {
  TInputState& in = Platform().Input();
  for (int i = 1; i < KeyCodeCount; ++i) in.KeyHit(i);
  LastAnyKeyCode = 0;
}

bool AnyKeyHit() {
  TInputState& in = Platform().Input();
  for (int i = 1; i < KeyCodeCount; ++i) {
    // Ignored keys keep their hits for whoever handles them (F12 for FlipHookKeys).
    if (AnyKeyIgnored[i]) continue;
    if (in.KeyHit(i)) {
      LastAnyKeyCode = i;
      return true;
    }
  }
  return false;
}

int LastAnyKey() { return LastAnyKeyCode; }

void SetAnyKeyIgnored(int code, bool ignored) {
  if (code > 0 && code < KeyCodeCount) AnyKeyIgnored[code] = ignored;
}

bool KeyRepeat(int code, uint8_t delay, uint8_t rate) {
  if (code <= 0 || code >= KeyCodeCount) return false;
  TInputState& in = Platform().Input();
  uint8_t& c = RepeatCounters[code];
  if (in.KeyHit(code)) {
    c = 1;
    return true;
  }
  if (!in.KeyDown(code)) {
    c = 0;
    return false;
  }
  bool result = c == 0 || c == delay;
  if (c == delay) c = uint8_t(delay - rate);
  c = uint8_t(c + 1);
  return result;
}

void WaitAnyKey() {
  ResetKeys();
  for (;;) {
    Platform().Clear();
    PresentFrame();
    if (AnyKeyHit()) return;
  }
}
