// Inspection and event-injection hooks of the SDL + OpenGL backend, for tests and
// diagnostics. Callers never see SDL types: keys are named as SDL names them
// ("Keypad 8", "Left Alt", "Return").
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// GL draw calls of the last presented frame; -1 when the platform is not the SDL one.
int SdlPlatformLastDrawCalls(TPlatform& platform);
// GPU copies of the picture (mirrors) in the last presented frame, and read-backs of
// the picture to the CPU since the window opened; -1 when the platform is not the SDL one.
int SdlPlatformLastCaptures(TPlatform& platform);
int SdlPlatformReadBacks(TPlatform& platform);
// Images whose frames sit in the atlases; -1 when the platform is not the SDL one.
int SdlPlatformCachedImages(TPlatform& platform);
// Bytes of the device-format buffer behind a sound; -1 when it has none.
int64_t SdlSoundBytes(const PSound& sound);

// Put events into SDL's queue as if they came from the system; the next PollEvents
// handles them. False when the key name is unknown or the event queue is not running.
bool SdlPushKeyEvent(const std::string& keyName, bool down, bool repeat = false);
bool SdlPushTextEvent(const std::string& text);
// SDL's button numbering: 1 left, 2 middle, 3 right.
bool SdlPushMouseButtonEvent(int sdlButton, bool down, int x, int y);
// SDL's game controller numbering: buttons A 0, B 1, X 2, Y 3, Back 4, Start 6, pad up 11,
// down 12, left 13, right 14; axes left x 0, left y 1.
bool SdlPushControllerButtonEvent(int sdlButton, bool down);
bool SdlPushControllerAxisEvent(int sdlAxis, int value);
