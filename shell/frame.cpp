#include "shell/frame.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "data/image_io.h"
#include "menus/high_scores.h"
#include "platform/platform.h"
#include "shell/keys.h"
#include "shell/log.h"
#include "shell/places.h"
#include "shell/settings.h"

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

// The commands of the last tick shown with smooth motion; empty when something else was
// presented since (then the next tick is not slid from it).
std::vector<TDrawCommand> PreviousTick;

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
  PreviousTick.clear();
}

void PresentFrame() {
  PreviousTick.clear();
  RunFrameRoutines();
  TPlatform& p = Platform();
  bool fullScreen = p.WindowDepth() != 0;
  if (!fullScreen) WaitForTimer();
  p.Flip(fullScreen);
}

void PresentFrameUnpaced() {
  PreviousTick.clear();
  RunFrameRoutines();
  Platform().Flip(false);
}

namespace {

// One frame of the tick current at fraction f of its period. Only the tick's first frame
// polls events, as the one presentation of a tick does without smooth motion: a key
// reaches the same tick either way.
void PresentBetweenTicks(const std::vector<TDrawCommand>& current, float f, bool vsync,
                         bool first) {
  TPlatform& p = Platform();
  p.SetCommands(PreviousTick.empty() ? current : InterpolateCommands(PreviousTick, current, f));
  RunFrameRoutines();
  p.Flip(vsync, first);
}

}  // namespace

void PresentTick(uint8_t fps) {
  if (!Options().SmoothMotion || fps == 0) {
    PaceFrame(fps);
    return;
  }
  TPlatform& p = Platform();
  std::vector<TDrawCommand> current = p.TakeCommands();
  // The ticks keep the times they have without smooth motion: the 60 Hz timer in a window
  // first, as PresentFrame waits for it.
  if (p.WindowDepth() == 0) WaitForTimer();
  const int32_t period = 1000 / fps;
  // The tick's period began where the previous one ended. As with PaceFrame, a first tick
  // or one that comes too late gets no period: one frame, and the next tick follows.
  const uint32_t start = PreviousPacedFrame;
  const int32_t late = int32_t(p.Millisecs() - start);
  if (!PacedStarted || late < 0 || late >= period) {
    PresentBetweenTicks(current, 1, true, true);
    PacedStarted = true;
    PreviousPacedFrame = p.Millisecs();
    PreviousTick = std::move(current);
    return;
  }
  const uint32_t end = start + uint32_t(period);
  // Frames at the display's rate: vsync paces them; where it does not, a sleep does.
  const int32_t slot = std::max(1, 1000 / std::max(1, p.DisplayHertz()));
  for (int frame = 0;; ++frame) {
    const uint32_t shown = p.Millisecs();
    PresentBetweenTicks(current, float(int32_t(shown - start)) / float(period), true, frame == 0);
    const uint32_t now = p.Millisecs();
    const int32_t left = int32_t(end - now);
    if (left <= 0) break;
    const uint32_t next = shown + uint32_t(slot);
    if (int32_t(next - end) >= 0) {
      p.Sleep(left);  // the next tick's first frame comes first
      break;
    }
    if (int32_t(next - now) > 0) p.Sleep(int32_t(next - now));
  }
  PacedStarted = true;
  PreviousPacedFrame = p.Millisecs();
  PreviousTick = std::move(current);
}

int PresentTickUnpaced(int frames) {
  if (!Options().SmoothMotion || frames <= 1) {
    PresentFrameUnpaced();
    return 1;
  }
  std::vector<TDrawCommand> current = Platform().TakeCommands();
  for (int i = 1; i <= frames; ++i)
    PresentBetweenTicks(current, float(i) / float(frames), false, i == 1);
  PreviousTick = std::move(current);
  return frames;
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
        std::all_of(name.begin() + 7, name.begin() + 11,
                    [](char c) { return c >= '0' && c <= '9'; }))
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
  LogLine(QuitSignal ? "Quit signal: settings and high scores saved"
                     : "Window closed: settings and high scores saved");
  SaveHighScores(PlayerFile(TPlace::GameDir, "HIGHS" + Options().GameExt));
  SaveConfig();
  EndProgram(0);
}

void FlipHookKeys() {
  TPlatform& p = Platform();
  TInputState& in = p.Input();
  if (in.KeyHit(KeyPrintScreen)) SaveScreenshotFile();
  if (Options().DebugMode) {
    if (in.KeyHit(KeyF2)) PlaySettings().ShowCollisionBoxes = !PlaySettings().ShowCollisionBoxes;
    if (in.KeyHit(KeyF3)) PlaySettings().DemoScreenshots = !PlaySettings().DemoScreenshots;
  }
  if (in.KeyHit(KeyF12)) PlaySettings().ReplacementMode = !PlaySettings().ReplacementMode;
  if (p.CloseRequested() || QuitSignal) EndOnClose();
  while (p.Suspended()) {
    p.Sleep(16);
    p.PollEvents();
    if (p.CloseRequested() || QuitSignal) EndOnClose();
  }
}

void WaitAnyKey() {
  ResetKeys();
  for (;;) {
    Platform().Clear();
    PresentFrame();
    if (AnyKeyHit()) return;
  }
}
