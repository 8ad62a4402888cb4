#include "platform/keyboard.h"

#include "platform/platform.h"

namespace {
uint8_t RepeatCounters[KeyCodeCount] = {};
bool AnyKeyIgnored[KeyCodeCount] = {};
int LastAnyKeyCode = 0;
}  // namespace

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
