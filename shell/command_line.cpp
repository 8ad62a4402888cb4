// The command line and the settings it gives.
#include "shell/command_line.h"

#include <cctype>
#include <climits>
#include <cstdint>

#include "data/text.h"
#include "shell/settings.h"

namespace {

std::vector<std::string> Arguments;

// The argument without its leading run of "-" and "/".
std::string OptionText(const std::string& argument) {
  const size_t start = argument.find_first_not_of("-/");
  return start == std::string::npos ? std::string() : argument.substr(start);
}

#ifdef _WIN32
constexpr char NativeSeparator = '\\';
#else
constexpr char NativeSeparator = '/';
#endif

// The game directory as typed, ending with exactly the separator it needs. "\" and "/"
// are both accepted; outside Windows "\" becomes "/" so that paths typed the Windows way
// still name directories.
std::string DirectoryPath(std::string path) {
#ifndef _WIN32
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
#endif
  const char last = path.back();
  if (last != '/' && last != '\\') path += NativeSeparator;
  return path;
}

}  // namespace

void SetCommandLine(int argc, char** argv) {
  Arguments.clear();
  for (int i = 0; i < argc; ++i) {
    if (argv[i]) Arguments.emplace_back(argv[i]);
  }
}

void SetCommandLine(const std::vector<std::string>& arguments) { Arguments = arguments; }

const std::vector<std::string>& CommandLine() { return Arguments; }

bool HasOption(const std::string& name) {
  const std::string wanted = UpperCase(name);
  for (const std::string& argument : Arguments) {
    if (UpperCase(OptionText(argument)) == wanted) return true;
  }
  return false;
}

std::string OptionValue(const std::string& name) {
  const std::string prefix = UpperCase(name) + "=";
  for (const std::string& argument : Arguments) {
    const std::string text = OptionText(argument);
    if (UpperCase(text.substr(0, prefix.size())) == prefix) return text.substr(prefix.size());
  }
  return "";
}

int OptionNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t(INT_MAX) + 1) value = int64_t(INT_MAX) + 1;
  }
  if (negative) return int(-value);
  return value > INT_MAX ? INT_MAX : int(value);
}

void ParseCommandLine() {
  std::string value = OptionValue("dir");
  if (!value.empty()) StartUpOptions().GameDir = DirectoryPath(value);

  value = OptionValue("ext");
  if (!value.empty()) StartUpOptions().GameExt = value[0] == '.' ? value : "." + value;

  value = OptionValue("width");
  if (!value.empty()) StartUpOptions().WindowWidth = OptionNumber(value);
  value = OptionValue("height");
  if (!value.empty()) StartUpOptions().WindowHeight = OptionNumber(value);
  value = OptionValue("bpp");
  if (!value.empty()) StartUpOptions().ColourDepth = OptionNumber(value);

  if (!HasOption("nomipmap")) {
    StartUpOptions().MaskedImageFlags |= 4;
    StartUpOptions().PlainImageFlags |= 4;
  }
  if (!HasOption("nofilter")) {
    StartUpOptions().MaskedImageFlags |= 2;
    StartUpOptions().PlainImageFlags |= 2;
  }

  if (HasOption("patch")) StartUpOptions().PatchText = true;
  if (HasOption("keeptitle")) StartUpOptions().KeepTitle = true;
  if (HasOption("export")) StartUpOptions().ExportMode = true;
  if (HasOption("kyzmoraltip")) PlaySettings().GodMode = true;
  if (HasOption("asp")) StartUpOptions().CheatKeys = true;
  if (HasOption("debug")) StartUpOptions().DebugMode = true;
  if (HasOption("nomirrors")) PlaySettings().NoMirrors = true;
  if (HasOption("classic")) StartUpOptions().EnhancedContent = false;
  if (HasOption("fixratio")) StartUpOptions().FixRatio = true;
  // Only a plain number turns these on; anything else leaves them off.
  auto count = [](const std::string& text, int off) {
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text[0])) ? OptionNumber(text)
                                                                              : off;
  };
  StartUpOptions().WarpMap = count(OptionValue("warp"), -1);
  StartUpOptions().TickLimit = count(OptionValue("ticks"), 0);
  // "waitkey", "skip", "headless" and "script" are asked for where they act.
}

std::string HelpText() {
  return "Usage: zyntra [options]   (options start with - or /, names ignore case)\n"
         "  -dir=path      game directory holding the episode files (default: here when it\n"
         "                 holds them, else the installed episode)\n"
         "  -ext=text      episode extension (default .QZ1)\n"
         "  -width=n       window width (default 640)\n"
         "  -height=n      window height (default 400)\n"
         "  -bpp=n         colour depth: 0 opens a window, other values a full screen\n"
         "  -nomipmap      no mip-maps for scaled images\n"
         "  -nofilter      no filtering of scaled images\n"
         "  -patch         patch the episode texts, the exit screen and the title\n"
         "  -keeptitle     with -patch, leave the title picture as it is\n"
         "  -export        write the decoded episode data as PNG, WAV and text files\n"
         "  -kyzmoraltip   the player takes no damage\n"
         "  -asp           enable the held-key cheats during play\n"
         "  -debug         enable the debug keys and timing figures\n"
         "  -nomirrors     do not draw mirrors\n"
         "  -classic       no replacement images, sounds or music (hrp.ini not read)\n"
         "  -fixratio      keep a 4:3 picture inside the window\n"
         "  -waitkey       wait for a key after the window opens\n"
         "  -skip          skip the start-up boxes\n"
         "  -headless      run without a window (tests)\n"
         "  -script=file   scripted input for -headless, one event per line:\n"
         "                   <ms> press|down|up <key>   key: ESC ENTER SPACE F1 A 7 #27 PAD_A ...\n"
         "                   <ms> type <text>           <ms> close|suspend|resume\n"
         "                   <ms> shot <file.png>       failwindow | failaudio   # comment\n"
         "  -levelshot=N   write the whole of map N to levelshotN.png and exit\n"
         "  -warp=N        start a new game on map N, without title and menus\n"
         "  -ticks=N       quit after N ticks of play, logging the state hash\n"
         "  -route=file    with -warp=N: replay a route (6 bytes a tick: up down left right\n"
         "                 fire jump) on map N without window or pacing; prints the result\n"
         "                 and exits with 0 when the level was finished, 3 when not\n"
         "  -recordroute=file  with -warp=N: play map N and record its route into file\n"
         "  -timedemo=file play a demo (or with -warp=N a route) as fast as it draws and\n"
         "                 print the ticks and frames per second\n"
         "  -help          show this text\n"
         "Savegames, quick save, high scores, KEYS, demos, Zyntra.ini, log.txt and screenshots\n"
         "go to the game and working directories; when the game directory is installed or\n"
         "read-only, to $XDG_DATA_HOME/zyntra/<extension>/ (default ~/.local/share/zyntra/QZ1/).\n";
}
