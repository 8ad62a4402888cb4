// The headless backend: no window, a virtual clock that advances only when the program
// sleeps, scripted input, and drawing and audio recorded for inspection.
#pragma once

#include <map>

#include "platform/platform.h"

// One scripted input event, applied at the first poll at or after its virtual time.
struct TScriptedEvent {
  enum TKind : uint8_t {
    Press,
    Release,
    Char,
    Mouse,
    MouseDown,
    MouseUp,
    Close,
    Suspend,
    Resume,
    PadPress,
    PadRelease
  };
  uint32_t AtMs = 0;
  TKind Kind = Press;
  int Code = 0;  // key code, character, mouse button or controller button
  int X = 0, Y = 0;
};

// One recorded audio call.
struct TAudioEvent {
  enum TKind : uint8_t { Play, Stop, Music, MusicStop };
  uint32_t AtMs = 0;
  TKind Kind = Play;
  std::string Name;  // the sound's or song's name
  int Channel = -1;
  bool Loop = false;
};

class THeadlessSound : public TSound {
 public:
  std::vector<uint8_t> Samples;  // 8-bit samples when made from samples
  int Rate = 0;
};

class THeadlessPlatform : public TPlatform {
 public:
  THeadlessPlatform();

  // Test controls.
  bool FailWindow = false;   // OpenWindow fails
  bool FailAudio = false;    // OpenAudio fails
  uint32_t FrameCostMs = 0;  // virtual time that each presentation takes
  bool RenderPixels = true;  // false: commands are recorded, no pixels are drawn
  void Script(const TScriptedEvent& event);
  void PressKey(int code, uint32_t atMs);  // press now-or-later, release 1 ms later
  void HoldKey(int code, uint32_t fromMs, uint32_t toMs);
  void TypeText(const std::string& text, uint32_t atMs);
  void AdvanceClock(uint32_t ms) { Clock += ms; }
  void ResizeWindow(int width, int height);  // as if the user resized the window
  // The first frame shown at or after atMs goes to ScreenshotSink with the path.
  void ScheduleScreenshot(uint32_t atMs, const std::string& path);
  std::function<void(const TPixmap&, const std::string&)> ScreenshotSink;
  size_t PendingScriptEvents() const { return ScriptQueue.size(); }
  // The command list of the last presented frame, and its picture.
  const std::vector<TDrawCommand>& LastFrame() const { return PresentedCommands; }
  const TPixmap& ShownFrame();
  const std::vector<TAudioEvent>& AudioLog() const { return AudioEvents; }
  std::vector<int> SleepLog;  // every Sleep request, in order
  std::string Title;
  std::vector<std::string> MessageBoxes;

  // TPlatform.
  bool OpenWindow(int width, int height, int depth, int hertz) override;
  void CloseWindow() override;
  bool WindowIsOpen() const override { return Open; }
  void SetWindowTitle(const std::string& title) override { Title = title; }
  bool CloseRequested() override { return CloseFlag; }
  bool Suspended() override { return SuspendedFlag; }
  void ShowMessageBox(const std::string& title, const std::string& text) override;
  void PollEvents() override;
  uint32_t Millisecs() override { return Clock; }
  void Sleep(int ms) override;
  bool OpenAudio() override;
  bool AudioIsOpen() const override { return AudioOpen; }
  PSound CreateSound(const std::vector<uint8_t>& samples, int rate) override;
  PSound LoadSoundFile(const std::string& path) override;
  int PlaySound(const PSound& sound, int channel, bool loop) override;
  void StopChannel(int channel) override;
  bool ChannelPlaying(int channel) override;
  bool PlayMusicFile(const std::string& path, bool loop) override;
  void StopMusic() override;
  bool MusicPlaying() override { return MusicOn; }

 protected:
  void ExecuteCommands(const std::vector<TDrawCommand>& commands) override;
  void SwapWindow(bool vsync) override;
  TPixmap ReadBack(const TRect& windowRect) override;

 private:
  struct TChannel {
    std::string Name;
    uint32_t EndsAt = 0;
    bool Loop = false;
    bool Busy = false;
  };
  static constexpr int ChannelCount = 32;

  uint32_t Clock = 0;
  bool Open = false;
  bool CloseFlag = false;
  bool SuspendedFlag = false;
  bool AudioOpen = false;
  bool MusicOn = false;
  std::multimap<uint32_t, TScriptedEvent> ScriptQueue;  // ordered by time, then insertion
  std::multimap<uint32_t, std::string> Screenshots;
  std::vector<TDrawCommand> LastFrameCommands;  // executed so far in this frame
  std::vector<TDrawCommand> PresentedCommands;
  TPixmap Frame, Capture, Shown;
  // Commands executed but not yet drawn into Frame (drawing waits until pixels are needed),
  // and the commands of a shown picture not drawn yet.
  std::vector<TDrawCommand> Deferred, ShownRecipe;
  bool ShownPending = false;
  static void Render(const std::vector<TDrawCommand>& commands, TPixmap& frame, TPixmap& capture);
  void DrawDeferred();
  std::vector<TAudioEvent> AudioEvents;
  TChannel Channels[ChannelCount];
};
