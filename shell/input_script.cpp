// Scripted input for the headless backend.
#include "shell/input_script.h"

#include <cctype>
#include <cstdint>

#include "data/stream.h"
#include "data/text.h"
#include "platform/headless.h"
#include "shell/log.h"

namespace {

struct TKeyName {
  const char* Name;
  int Code;
};

const TKeyName KeyNames[] = {
    {"ESC", KeyEscape},
    {"ESCAPE", KeyEscape},
    {"ENTER", KeyEnter},
    {"RETURN", KeyEnter},
    {"SPACE", KeySpace},
    {"TAB", KeyTab},
    {"BKSP", KeyBackspace},
    {"UP", KeyUp},
    {"DOWN", KeyDown},
    {"LEFT", KeyLeft},
    {"RIGHT", KeyRight},
    {"HOME", KeyHome},
    {"END", KeyEnd},
    {"PGUP", KeyPageUp},
    {"PGDN", KeyPageDown},
    {"INS", KeyInsert},
    {"DEL", KeyDelete},
    {"LSHIFT", KeyLeftShift},
    {"RSHIFT", KeyRightShift},
    {"LCTRL", KeyLeftControl},
    {"RCTRL", KeyRightControl},
    {"LALT", KeyLeftAlt},
    {"RALT", KeyRightAlt},
    {"COMMA", KeyComma},
    {"PERIOD", KeyPeriod},
};

const TKeyName PadNames[] = {
    {"PAD_UP", PadUp},       {"PAD_DOWN", PadDown}, {"PAD_LEFT", PadLeft}, {"PAD_RIGHT", PadRight},
    {"PAD_A", PadA},         {"PAD_B", PadB},       {"PAD_X", PadX},       {"PAD_Y", PadY},
    {"PAD_START", PadStart}, {"PAD_BACK", PadBack},
};

bool AllDigits(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string Trim(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

// Splits off the first word; rest keeps what follows the single separating space.
std::string NextWord(const std::string& text, std::string& rest) {
  const size_t space = text.find(' ');
  if (space == std::string::npos) {
    rest.clear();
    return text;
  }
  rest = text.substr(space + 1);
  return text.substr(0, space);
}

}  // namespace

int ScriptKeyCode(const std::string& name) {
  const std::string upper = UpperCase(name);
  for (const TKeyName& key : KeyNames) {
    if (upper == key.Name) return key.Code;
  }
  if (upper.size() == 1 && (std::isupper(static_cast<unsigned char>(upper[0])) ||
                            std::isdigit(static_cast<unsigned char>(upper[0])))) {
    return upper[0];  // letters and digits are their own key codes
  }
  if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == 'F' && AllDigits(upper.substr(1))) {
    const int n = std::stoi(upper.substr(1));
    if (n >= 1 && n <= 12) return KeyF1 + n - 1;
  }
  if (upper.size() >= 2 && upper[0] == '#' && AllDigits(upper.substr(1))) {
    const int code = std::stoi(upper.substr(1));
    if (code >= 1 && code < KeyCodeCount) return code;
  }
  return 0;
}

bool ApplyInputScriptLine(const std::string& line, THeadlessPlatform& platform) {
  const std::string text = Trim(line);
  if (text.empty() || text[0] == '#') return true;

  std::string rest;
  std::string word = NextWord(text, rest);
  uint32_t at = 0;
  if (AllDigits(word)) {
    at = uint32_t(std::stoul(word));
    word = NextWord(Trim(rest), rest);
  }
  const std::string command = UpperCase(word);

  if (command == "TYPE") {
    if (rest.empty()) return false;
    platform.TypeText(rest, at);
    return true;
  }
  if (command == "PRESS" || command == "DOWN" || command == "UP") {
    // Controller buttons: pressed and released like keys.
    for (const TKeyName& pad : PadNames) {
      if (UpperCase(Trim(rest)) != pad.Name) continue;
      TScriptedEvent event;
      event.AtMs = at;
      event.Code = pad.Code;
      event.Kind = command == "UP" ? TScriptedEvent::PadRelease : TScriptedEvent::PadPress;
      platform.Script(event);
      if (command == "PRESS") {
        event.AtMs = at + 1;
        event.Kind = TScriptedEvent::PadRelease;
        platform.Script(event);
      }
      return true;
    }
    const int code = ScriptKeyCode(Trim(rest));
    if (code == 0) return false;
    if (command == "PRESS") {
      platform.PressKey(code, at);
    } else {
      TScriptedEvent event;
      event.AtMs = at;
      event.Kind = command == "DOWN" ? TScriptedEvent::Press : TScriptedEvent::Release;
      event.Code = code;
      platform.Script(event);
    }
    return true;
  }
  if (command == "SHOT") {
    if (Trim(rest).empty()) return false;
    platform.ScheduleScreenshot(at, Trim(rest));
    return true;
  }
  if (!Trim(rest).empty()) return false;
  if (command == "CLOSE" || command == "SUSPEND" || command == "RESUME") {
    TScriptedEvent event;
    event.AtMs = at;
    event.Kind = command == "CLOSE"     ? TScriptedEvent::Close
                 : command == "SUSPEND" ? TScriptedEvent::Suspend
                                        : TScriptedEvent::Resume;
    platform.Script(event);
    return true;
  }
  if (command == "FAILWINDOW") {
    platform.FailWindow = true;
    return true;
  }
  if (command == "FAILAUDIO") {
    platform.FailAudio = true;
    return true;
  }
  return false;
}

bool LoadInputScript(const std::string& path, THeadlessPlatform& platform) {
  PStream stream = ReadStream(path);
  if (!stream) {
    LogLine("WARNING :: LoadInputScript :: cannot read \"" + path + "\"");
    return false;
  }
  int number = 0;
  try {
    while (!stream->Eof()) {
      const std::string line = stream->ReadLine();
      ++number;
      if (!ApplyInputScriptLine(line, platform)) {
        LogLine("WARNING :: LoadInputScript :: line " + std::to_string(number) +
                " not understood: " + line);
      }
    }
  } catch (const TStreamError&) {
    // the end of the file came in the middle of reading: what was read stands
  }
  stream->Close();
  return true;
}
