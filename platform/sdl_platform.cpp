// The real backend: an SDL2 window with an OpenGL 3.3 core context, SDL events as input,
// SDL's clock, and SDL2_mixer for sounds and music.
#include "platform/sdl_platform.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/audio_file.h"
#include "platform/gl_renderer.h"
#include "shell/log.h"

namespace {

constexpr int MixChannels = 32;

class TSdlSound : public TSound {
 public:
  ~TSdlSound() override { FreeChunk(); }
  void FreeChunk() {
    if (Chunk) Mix_FreeChunk(Chunk);
    Chunk = nullptr;
  }
  Mix_Chunk* Chunk = nullptr;
};

// Windows virtual-key code of an SDL key. Letters follow the keyboard layout, as the
// system's own key codes do; everything else goes by position (US layout), and the
// keypad by scancode so that NumLock does not change it.
int KeyCodeFor(SDL_Scancode sc, SDL_Keycode sym) {
  if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + int(sym - SDLK_a);
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + int(sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + int(sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return KeyF1 + int(sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
    return KeyNumpad0 + 1 + int(sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return KeyEnter;
    case SDL_SCANCODE_KP_ENTER: return KeyEnter;
    case SDL_SCANCODE_ESCAPE: return KeyEscape;
    case SDL_SCANCODE_BACKSPACE: return KeyBackspace;
    case SDL_SCANCODE_TAB: return KeyTab;
    case SDL_SCANCODE_SPACE: return KeySpace;
    case SDL_SCANCODE_MINUS: return KeyMinus;
    case SDL_SCANCODE_EQUALS: return KeyEquals;
    case SDL_SCANCODE_LEFTBRACKET: return KeyLeftBracket;
    case SDL_SCANCODE_RIGHTBRACKET: return KeyRightBracket;
    case SDL_SCANCODE_BACKSLASH: return KeyBackslash;
    case SDL_SCANCODE_NONUSHASH: return KeyBackslash;  // same key position
    case SDL_SCANCODE_SEMICOLON: return KeySemicolon;
    case SDL_SCANCODE_APOSTROPHE: return KeyQuote;
    case SDL_SCANCODE_GRAVE: return KeyBackquote;
    case SDL_SCANCODE_COMMA: return KeyComma;
    case SDL_SCANCODE_PERIOD: return KeyPeriod;
    case SDL_SCANCODE_SLASH: return KeySlash;
    case SDL_SCANCODE_NONUSBACKSLASH: return KeyOem102;
    case SDL_SCANCODE_CAPSLOCK: return KeyCapsLock;
    case SDL_SCANCODE_PRINTSCREEN: return 44;
    case SDL_SCANCODE_SCROLLLOCK: return KeyScrollLock;
    case SDL_SCANCODE_PAUSE: return KeyPause;
    case SDL_SCANCODE_INSERT: return KeyInsert;
    case SDL_SCANCODE_HOME: return KeyHome;
    case SDL_SCANCODE_PAGEUP: return KeyPageUp;
    case SDL_SCANCODE_DELETE: return KeyDelete;
    case SDL_SCANCODE_END: return KeyEnd;
    case SDL_SCANCODE_PAGEDOWN: return KeyPageDown;
    case SDL_SCANCODE_RIGHT: return KeyRight;
    case SDL_SCANCODE_LEFT: return KeyLeft;
    case SDL_SCANCODE_DOWN: return KeyDown;
    case SDL_SCANCODE_UP: return KeyUp;
    case SDL_SCANCODE_NUMLOCKCLEAR: return KeyNumLock;
    case SDL_SCANCODE_KP_DIVIDE: return KeyDivide;
    case SDL_SCANCODE_KP_MULTIPLY: return KeyMultiply;
    case SDL_SCANCODE_KP_MINUS: return KeySubtract;
    case SDL_SCANCODE_KP_PLUS: return KeyAdd;
    case SDL_SCANCODE_KP_0: return KeyNumpad0;
    case SDL_SCANCODE_KP_PERIOD: return KeyDecimal;
    case SDL_SCANCODE_LCTRL: return KeyLeftControl;
    case SDL_SCANCODE_RCTRL: return KeyRightControl;
    case SDL_SCANCODE_LSHIFT: return KeyLeftShift;
    case SDL_SCANCODE_RSHIFT: return KeyRightShift;
    case SDL_SCANCODE_LALT: return KeyLeftAlt;
    case SDL_SCANCODE_RALT: return KeyRightAlt;
    case SDL_SCANCODE_LGUI: return 91;
    case SDL_SCANCODE_RGUI: return 92;
    case SDL_SCANCODE_APPLICATION: return 93;
    default: return 0;
  }
}

// SDL's video part and the GL driver start once and stay up for the rest of the process:
// Mesa's drivers leave their allocations unreachable when unloaded, and starting them
// again for every window is slow.
bool StartVideo() {
  static bool started = false;
  if (started) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  SDL_GL_LoadLibrary(nullptr);  // an extra reference: closing the last window keeps it
  // Controllers are optional: without the subsystem the game is played on the keyboard.
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  started = true;
  return true;
}

class TSdlPlatform : public TPlatform {
 public:
  ~TSdlPlatform() override;

  bool OpenWindow(int width, int height, int depth, int hertz) override;
  void CloseWindow() override;
  bool WindowIsOpen() const override { return Window != nullptr; }
  void SetWindowTitle(const std::string& title) override;
  bool CloseRequested() override { return CloseFlag; }
  bool Suspended() override { return Minimised || FocusLost; }
  void ShowMessageBox(const std::string& title, const std::string& text) override;
  void ToggleFullScreen() override;
  bool UsableDesktopSize(int& width, int& height) override;
  int DisplayHertz() override;

  void PollEvents() override;
  uint32_t Millisecs() override { return SDL_GetTicks(); }
  void Sleep(int ms) override {
    if (ms > 0) SDL_Delay(Uint32(ms));
  }

  bool OpenAudio() override;
  bool AudioIsOpen() const override { return AudioOpen; }
  PSound CreateSound(const std::vector<uint8_t>& samples, int rate) override;
  PSound LoadSoundFile(const std::string& path) override;
  int PlaySound(const PSound& sound, int channel, bool loop) override;
  void StopChannel(int channel) override;
  bool ChannelPlaying(int channel) override;
  bool PlayMusicFile(const std::string& path, bool loop) override;
  void StopMusic() override;
  bool MusicPlaying() override { return Music && Mix_PlayingMusic(); }

  int LastDrawCalls() const { return Renderer.LastFrameDrawCalls(); }
  int CachedImages() const { return Renderer.CachedImages(); }
  int LastCaptures() const { return Renderer.LastFrameCaptures(); }
  int ReadBacks() const { return Renderer.ReadBacks(); }

 protected:
  void ExecuteCommands(const std::vector<TDrawCommand>& commands) override;
  void SwapWindow(bool vsync) override;
  TPixmap ReadBack(const TRect& windowRect) override;

 private:
  void HandleKey(const SDL_KeyboardEvent& key, bool down);
  void SyncSize();
  void MouseToDrawable(int& x, int& y) const;
  void CloseAudio();
  void HandleControllerButton(int sdlButton, bool down);
  void HandleControllerAxis(int axis, int value);
  void SetDirection(int direction);
  void CloseControllers();

  SDL_Window* Window = nullptr;
  SDL_GLContext Context = nullptr;
  TGlRenderer Renderer;
  std::string Title = "Zyntra";
  bool CloseFlag = false;
  bool Minimised = false;
  bool FocusLost = false;
  int SwapInterval = -1;  // as last set; -1 unknown
  int FullScreenDepth = 32;
  int WindowedWidth = 0, WindowedHeight = 0;  // size to return to from full screen

  bool AudioOpen = false;
  int DeviceRate = 0, DeviceChannels = 0;
  SDL_AudioFormat DeviceFormat = 0;
  std::vector<std::weak_ptr<TSdlSound>> Sounds;  // to free their chunks with the device
  Mix_Music* Music = nullptr;

  std::vector<SDL_GameController*> Controllers;
  // The directions held on the pad and on the stick; a direction is down while either is.
  bool PadDirection[4] = {}, StickDirection[4] = {};
};

TSdlPlatform::~TSdlPlatform() {
  CloseControllers();
  CloseAudio();
  CloseWindow();
}

// --- Window ---------------------------------------------------------------------------

bool TSdlPlatform::OpenWindow(int width, int height, int depth, int /*hertz*/) {
  if (Window) CloseWindow();
  if (width < 1 || height < 1) return false;
  if (!StartVideo()) {
    LogLine(std::string("ERROR :: OpenWindow :: ") + SDL_GetError());
    return false;
  }
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
  if (depth != 0) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  Window = SDL_CreateWindow(Title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                            height, flags);
  std::string error;
  if (Window) Context = SDL_GL_CreateContext(Window);
  if (!Window || !Context) {
    error = SDL_GetError();
  } else if (SDL_GL_MakeCurrent(Window, Context) != 0) {
    error = SDL_GetError();
  } else {
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(Window, &dw, &dh);
    Renderer.Init(SDL_GL_GetProcAddress, std::max(dw, 1), std::max(dh, 1), error);
  }
  if (!error.empty() || !Renderer.Ready()) {
    LogLine("ERROR :: OpenWindow :: " + (error.empty() ? std::string("no renderer") : error));
    CloseWindow();
    return false;
  }

  WinDepth = depth;
  if (depth != 0) FullScreenDepth = depth;
  WindowedWidth = width;
  WindowedHeight = height;
  SwapInterval = -1;
  CloseFlag = Minimised = FocusLost = false;
  ResetDrawingState();
  WindowResized(Renderer.TargetWidth(), Renderer.TargetHeight());
  SDL_StartTextInput();
  return true;
}

void TSdlPlatform::CloseWindow() {
  if (Context) {
    if (Window) SDL_GL_MakeCurrent(Window, Context);
    Renderer.Shutdown();
    SDL_GL_DeleteContext(Context);
    Context = nullptr;
  }
  if (Window) SDL_DestroyWindow(Window);
  Window = nullptr;
  ResetDrawingState();
}

void TSdlPlatform::SetWindowTitle(const std::string& title) {
  Title = title;
  if (Window) SDL_SetWindowTitle(Window, title.c_str());
}

void TSdlPlatform::ShowMessageBox(const std::string& title, const std::string& text) {
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(), Window) !=
      0)
    LogLine(std::string("WARNING :: ShowMessageBox :: ") + SDL_GetError());
}

void TSdlPlatform::ToggleFullScreen() {
  if (!Window) return;
  bool full = (SDL_GetWindowFlags(Window) & SDL_WINDOW_FULLSCREEN) != 0;
  if (SDL_SetWindowFullscreen(Window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    LogLine(std::string("WARNING :: ToggleFullScreen :: ") + SDL_GetError());
    return;
  }
  WinDepth = full ? 0 : FullScreenDepth;
  if (full && WindowedWidth > 0) SDL_SetWindowSize(Window, WindowedWidth, WindowedHeight);
  SyncSize();
}

int TSdlPlatform::DisplayHertz() {
  SDL_DisplayMode mode{};
  int display = Window ? SDL_GetWindowDisplayIndex(Window) : 0;
  if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0 || mode.refresh_rate < 30)
    return 60;
  return mode.refresh_rate;
}

bool TSdlPlatform::UsableDesktopSize(int& width, int& height) {
  SDL_Rect r{};
  if (!StartVideo() || SDL_GetDisplayUsableBounds(0, &r) != 0 || r.w < 1 || r.h < 1) return false;
  width = r.w;
  height = r.h;
  return true;
}

void TSdlPlatform::SyncSize() {
  if (!Window) return;
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(Window, &dw, &dh);
  if (dw < 1 || dh < 1 || (dw == WinWidth && dh == WinHeight)) return;
  Renderer.Resize(dw, dh);
  WindowResized(dw, dh);
}

// --- Presentation -----------------------------------------------------------------------

void TSdlPlatform::ExecuteCommands(const std::vector<TDrawCommand>& commands) {
  if (Window) Renderer.Execute(commands);
}

void TSdlPlatform::SwapWindow(bool vsync) {
  if (!Window) return;
  int interval = vsync ? 1 : 0;
  if (interval != SwapInterval) {
    SDL_GL_SetSwapInterval(interval);  // may be refused; then the swap just does not wait
    SwapInterval = interval;
  }
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(Window, &dw, &dh);
  Renderer.PresentTo(dw, dh);
  SDL_GL_SwapWindow(Window);
  Renderer.EndFrame();
}

TPixmap TSdlPlatform::ReadBack(const TRect& windowRect) {
  if (!Window) return {};
  return Renderer.Read(windowRect);
}

// --- Input ------------------------------------------------------------------------------

void TSdlPlatform::MouseToDrawable(int& x, int& y) const {
  int ww = 0, wh = 0;
  SDL_GetWindowSize(Window, &ww, &wh);
  if (ww > 0 && wh > 0 && (ww != WinWidth || wh != WinHeight)) {
    x = int(int64_t(x) * WinWidth / ww);
    y = int(int64_t(y) * WinHeight / wh);
  }
}

void TSdlPlatform::HandleKey(const SDL_KeyboardEvent& key, bool down) {
  TInputState& input = Input();
  int code = KeyCodeFor(key.keysym.scancode, key.keysym.sym);
  if (!down) {
    input.KeyReleased(code);
    return;
  }
  bool alt =
      (key.keysym.mod & KMOD_ALT) != 0 || input.KeyDown(KeyLeftAlt) || input.KeyDown(KeyRightAlt);
  if (code == KeyEnter && alt) {  // Alt+Enter belongs to the window, not to the game
    if (!key.repeat) ToggleFullScreen();
    return;
  }
  if (key.repeat) {
    if (code == KeyBackspace) input.CharTyped(KeyBackspace);  // held Backspace keeps erasing
    return;
  }
  input.KeyPressed(code);
  if (code == KeyBackspace || code == KeyEnter || code == KeyEscape) input.CharTyped(code);
}

// --- Game controllers -------------------------------------------------------------------

void TSdlPlatform::HandleControllerButton(int sdlButton, bool down) {
  switch (sdlButton) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      PadDirection[PadUp] = down;
      SetDirection(PadUp);
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      PadDirection[PadDown] = down;
      SetDirection(PadDown);
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      PadDirection[PadLeft] = down;
      SetDirection(PadLeft);
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      PadDirection[PadRight] = down;
      SetDirection(PadRight);
      break;
    case SDL_CONTROLLER_BUTTON_A: Input().PadButton(PadA, down); break;
    case SDL_CONTROLLER_BUTTON_B: Input().PadButton(PadB, down); break;
    case SDL_CONTROLLER_BUTTON_X: Input().PadButton(PadX, down); break;
    case SDL_CONTROLLER_BUTTON_Y: Input().PadButton(PadY, down); break;
    case SDL_CONTROLLER_BUTTON_START: Input().PadButton(PadStart, down); break;
    case SDL_CONTROLLER_BUTTON_BACK: Input().PadButton(PadBack, down); break;
    default: break;
  }
}

// The left stick counts as a direction past half way and lets go below a quarter, so a
// stick resting near the threshold does not flicker.
void TSdlPlatform::HandleControllerAxis(int axis, int value) {
  if (axis != SDL_CONTROLLER_AXIS_LEFTX && axis != SDL_CONTROLLER_AXIS_LEFTY) return;
  const int negative = axis == SDL_CONTROLLER_AXIS_LEFTX ? PadLeft : PadUp;
  const int positive = axis == SDL_CONTROLLER_AXIS_LEFTX ? PadRight : PadDown;
  auto update = [&](int direction, int amount) {
    if (amount >= 16384) StickDirection[direction] = true;
    if (amount < 8192) StickDirection[direction] = false;
    SetDirection(direction);
  };
  update(negative, -value);
  update(positive, value);
}

void TSdlPlatform::SetDirection(int direction) {
  Input().PadButton(direction, PadDirection[direction] || StickDirection[direction]);
}

void TSdlPlatform::CloseControllers() {
  for (SDL_GameController* pad : Controllers) SDL_GameControllerClose(pad);
  Controllers.clear();
}

void TSdlPlatform::PollEvents() {
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
  TInputState& input = Input();
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT: CloseFlag = true; break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE: CloseFlag = true; break;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
          case SDL_WINDOWEVENT_RESIZED:
            if (Window && !(SDL_GetWindowFlags(Window) & SDL_WINDOW_FULLSCREEN))
              SDL_GetWindowSize(Window, &WindowedWidth, &WindowedHeight);
            SyncSize();
            break;
          case SDL_WINDOWEVENT_MINIMIZED: Minimised = true; break;
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_MAXIMIZED: Minimised = false; break;
          case SDL_WINDOWEVENT_FOCUS_LOST: FocusLost = true; break;
          case SDL_WINDOWEVENT_FOCUS_GAINED: FocusLost = false; break;
          default: break;
        }
        break;
      case SDL_KEYDOWN: HandleKey(e.key, true); break;
      case SDL_KEYUP: HandleKey(e.key, false); break;
      case SDL_TEXTINPUT:
        for (const char* p = e.text.text; *p; ++p) {
          unsigned char ch = static_cast<unsigned char>(*p);
          if (ch >= 32 && ch < 127) input.CharTyped(ch);
        }
        break;
      case SDL_MOUSEMOTION: {
        int x = e.motion.x, y = e.motion.y;
        if (Window) MouseToDrawable(x, y);
        input.MouseMoved(x, y);
        break;
      }
      case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which))
          Controllers.push_back(pad);
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        for (size_t i = 0; i < Controllers.size(); ++i) {
          if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(Controllers[i])) !=
              e.cdevice.which)
            continue;
          SDL_GameControllerClose(Controllers[i]);
          Controllers.erase(Controllers.begin() + long(i));
          // Nothing stays held on a controller that is gone.
          for (int d = 0; d < 4; ++d) PadDirection[d] = StickDirection[d] = false;
          for (int b = 0; b < PadButtonCount; ++b) input.PadButton(b, false);
          break;
        }
        break;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP:
        HandleControllerButton(e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
        break;
      case SDL_CONTROLLERAXISMOTION: HandleControllerAxis(e.caxis.axis, e.caxis.value); break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int x = e.button.x, y = e.button.y;
        if (Window) MouseToDrawable(x, y);
        input.MouseMoved(x, y);
        int button = e.button.button == SDL_BUTTON_LEFT    ? 1
                     : e.button.button == SDL_BUTTON_RIGHT ? 2
                                                           : 0;
        if (button) input.MouseButton(button, e.type == SDL_MOUSEBUTTONDOWN);
        break;
      }
      default: break;
    }
  }
}

// --- Audio ------------------------------------------------------------------------------

bool TSdlPlatform::OpenAudio() {
  if (AudioOpen) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    LogLine(std::string("WARNING :: OpenAudio :: ") + SDL_GetError());
    return false;
  }
  Mix_Init(MIX_INIT_OGG);
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
    LogLine(std::string("WARNING :: OpenAudio :: ") + Mix_GetError());
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Uint16 format = 0;
  Mix_QuerySpec(&DeviceRate, &format, &DeviceChannels);
  DeviceFormat = format;
  Mix_AllocateChannels(MixChannels);
  AudioOpen = true;
  return true;
}

void TSdlPlatform::CloseAudio() {
  if (!AudioOpen) return;
  StopMusic();
  Mix_HaltChannel(-1);
  for (auto& weak : Sounds)
    if (auto sound = weak.lock()) sound->FreeChunk();
  Sounds.clear();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  AudioOpen = false;
}

PSound TSdlPlatform::CreateSound(const std::vector<uint8_t>& samples, int rate) {
  if (rate <= 0) return nullptr;
  auto sound = std::make_shared<TSdlSound>();
  sound->LengthMs = uint32_t(uint64_t(samples.size()) * 1000 / uint64_t(rate));
  if (!AudioOpen || samples.empty()) return sound;

  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, AUDIO_U8, 1, rate, DeviceFormat, Uint8(DeviceChannels), DeviceRate) <
      0) {
    LogLine(std::string("WARNING :: CreateSound :: ") + SDL_GetError());
    return sound;
  }
  if (samples.size() > size_t(INT_MAX / std::max(cvt.len_mult, 1))) return sound;
  cvt.len = int(samples.size());
  cvt.buf = static_cast<Uint8*>(SDL_malloc(samples.size() * size_t(std::max(cvt.len_mult, 1))));
  if (!cvt.buf) return sound;
  std::memcpy(cvt.buf, samples.data(), samples.size());
  int bytes = cvt.len;
  if (cvt.needed) {
    if (SDL_ConvertAudio(&cvt) != 0) {
      LogLine(std::string("WARNING :: CreateSound :: ") + SDL_GetError());
      SDL_free(cvt.buf);
      return sound;
    }
    bytes = cvt.len_cvt;
  }
  // A chunk that owns its buffer: Mix_FreeChunk releases both with SDL_free.
  auto* chunk = static_cast<Mix_Chunk*>(SDL_malloc(sizeof(Mix_Chunk)));
  if (!chunk) {
    SDL_free(cvt.buf);
    return sound;
  }
  chunk->allocated = 1;
  chunk->abuf = cvt.buf;
  chunk->alen = Uint32(bytes);
  chunk->volume = MIX_MAX_VOLUME;
  sound->Chunk = chunk;
  std::erase_if(Sounds, [](const std::weak_ptr<TSdlSound>& s) { return s.expired(); });
  Sounds.push_back(sound);
  return sound;
}

PSound TSdlPlatform::LoadSoundFile(const std::string& path) {
  if (!AudioOpen) return nullptr;
  // The library trusts a file's header (a claimed size is allocated before reading) and
  // leaks on some unknown formats: only checked WAVE and Ogg bytes reach it.
  std::string why;
  std::vector<uint8_t> bytes = ReadCheckedAudioFile(path, why);
  if (bytes.empty()) {
    if (!why.empty()) LogLine("WARNING :: sound file \"" + path + "\" refused: " + why);
    return nullptr;
  }
  SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  if (!source) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 0);
  SDL_RWclose(source);  // closed here on every path, whatever the library did
  if (!chunk) {
    LogLine("WARNING :: sound file \"" + path + "\" not loaded: " + SDL_GetError());
    return nullptr;
  }
  auto sound = std::make_shared<TSdlSound>();
  sound->Chunk = chunk;
  sound->Name = path;
  uint64_t frameBytes = uint64_t(SDL_AUDIO_BITSIZE(DeviceFormat) / 8) * uint64_t(DeviceChannels);
  if (frameBytes > 0 && DeviceRate > 0)
    sound->LengthMs = uint32_t(uint64_t(chunk->alen) * 1000 / (frameBytes * uint64_t(DeviceRate)));
  std::erase_if(Sounds, [](const std::weak_ptr<TSdlSound>& s) { return s.expired(); });
  Sounds.push_back(sound);
  return sound;
}

int TSdlPlatform::PlaySound(const PSound& sound, int channel, bool loop) {
  if (!AudioOpen || channel < -1 || channel >= MixChannels) return -1;
  auto* s = dynamic_cast<TSdlSound*>(sound.get());
  if (!s || !s->Chunk) return -1;
  return Mix_PlayChannel(channel, s->Chunk, loop ? -1 : 0);
}

void TSdlPlatform::StopChannel(int channel) {
  if (AudioOpen && channel >= -1 && channel < MixChannels) Mix_HaltChannel(channel);
}

bool TSdlPlatform::ChannelPlaying(int channel) {
  return AudioOpen && channel >= 0 && channel < MixChannels && Mix_Playing(channel) != 0;
}

bool TSdlPlatform::PlayMusicFile(const std::string& path, bool loop) {
  if (!AudioOpen) return false;
  StopMusic();
  std::string why;
  if (ReadCheckedAudioFile(path, why).empty()) {
    if (!why.empty()) LogLine("WARNING :: music file \"" + path + "\" refused: " + why);
    return false;
  }
  Music = Mix_LoadMUS(path.c_str());
  if (!Music) return false;
  if (Mix_PlayMusic(Music, loop ? -1 : 1) != 0) {
    Mix_FreeMusic(Music);
    Music = nullptr;
    return false;
  }
  return true;
}

void TSdlPlatform::StopMusic() {
  if (!Music) return;
  Mix_HaltMusic();
  Mix_FreeMusic(Music);
  Music = nullptr;
}

}  // namespace

std::unique_ptr<TPlatform> CreateSdlPlatform() { return std::make_unique<TSdlPlatform>(); }

int SdlPlatformLastDrawCalls(TPlatform& platform) {
  auto* sdl = dynamic_cast<TSdlPlatform*>(&platform);
  return sdl ? sdl->LastDrawCalls() : -1;
}

int SdlPlatformLastCaptures(TPlatform& platform) {
  auto* sdl = dynamic_cast<TSdlPlatform*>(&platform);
  return sdl ? sdl->LastCaptures() : -1;
}

int SdlPlatformReadBacks(TPlatform& platform) {
  auto* sdl = dynamic_cast<TSdlPlatform*>(&platform);
  return sdl ? sdl->ReadBacks() : -1;
}

int SdlPlatformCachedImages(TPlatform& platform) {
  auto* sdl = dynamic_cast<TSdlPlatform*>(&platform);
  return sdl ? sdl->CachedImages() : -1;
}

int64_t SdlSoundBytes(const PSound& sound) {
  auto* s = dynamic_cast<TSdlSound*>(sound.get());
  return s && s->Chunk ? int64_t(s->Chunk->alen) : -1;
}

bool SdlPushKeyEvent(const std::string& keyName, bool down, bool repeat) {
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
  SDL_Scancode sc = SDL_GetScancodeFromName(keyName.c_str());
  if (sc == SDL_SCANCODE_UNKNOWN) return false;
  SDL_Event e;
  SDL_zero(e);
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.timestamp = SDL_GetTicks();
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.scancode = sc;
  e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
  return SDL_PushEvent(&e) == 1;
}

bool SdlPushTextEvent(const std::string& text) {
  if (!SDL_WasInit(SDL_INIT_EVENTS) || text.size() >= SDL_TEXTINPUTEVENT_TEXT_SIZE) return false;
  SDL_Event e;
  SDL_zero(e);
  e.type = SDL_TEXTINPUT;
  e.text.timestamp = SDL_GetTicks();
  std::memcpy(e.text.text, text.c_str(), text.size() + 1);
  return SDL_PushEvent(&e) == 1;
}

bool SdlPushControllerButtonEvent(int sdlButton, bool down) {
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
  SDL_Event e;
  SDL_zero(e);
  e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
  e.cbutton.timestamp = SDL_GetTicks();
  e.cbutton.button = Uint8(sdlButton);
  e.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
  return SDL_PushEvent(&e) == 1;
}

bool SdlPushControllerAxisEvent(int sdlAxis, int value) {
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
  SDL_Event e;
  SDL_zero(e);
  e.type = SDL_CONTROLLERAXISMOTION;
  e.caxis.timestamp = SDL_GetTicks();
  e.caxis.axis = Uint8(sdlAxis);
  e.caxis.value = Sint16(std::clamp(value, -32768, 32767));
  return SDL_PushEvent(&e) == 1;
}

bool SdlPushMouseButtonEvent(int sdlButton, bool down, int x, int y) {
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
  SDL_Event e;
  SDL_zero(e);
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.timestamp = SDL_GetTicks();
  e.button.button = Uint8(sdlButton);
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  e.button.x = x;
  e.button.y = y;
  return SDL_PushEvent(&e) == 1;
}
