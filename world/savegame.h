// Savegames (slots 1..9 and the automatic slot "T") and the quick save of the whole level.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/stream.h"
#include "world/actor_list.h"

struct TWorld;

struct TSavegame {
  uint16_t CamX = 0;
  uint16_t CamY = 0;
  uint16_t PlayerX = 0;
  uint16_t PlayerY = 0;
  uint16_t MapNumber = 0;
  uint16_t FirePower = 0;
  uint16_t GotBoots = 0;
  uint16_t GotHooks = 0;
  uint16_t Health = 0;
  uint16_t GotGlove = 0;
  uint16_t HintsActive[12] = {};
  int64_t Score = 0;

  bool WriteToFile(const std::string& path) const;  // through a temporary file
  void WriteToStream(TStream& stream) const;
};

// "SAVED" + 1..9 or "T" + GameExt in the game directory (or the player's directory):
// where it is written, and where it is read.
std::string SavegameFileName(int slot);
std::string SavegameFileToRead(int slot);
// Null when the file cannot be opened or is 45 bytes or shorter.
std::unique_ptr<TSavegame> ReadSavegame(const std::string& path);
std::unique_ptr<TSavegame> ReadSavegame(TStream& stream);

void SaveGame(TWorld& world, int slot);
bool LoadGame(TWorld& world, int slot);  // true when loaded

// The generic object records of the quick save.
void WriteObject(TStream& stream, TObject* object);
PObject ReadObject(TStream& stream);
void WriteActorList(TStream& stream, TActorList& list);
std::unique_ptr<TActorList> ReadActorList(TStream& stream);

std::string QuickSaveFileName();  // "QuickSav" + GameExt, written there
void QuickSave(TWorld& world);
void QuickLoad(TWorld& world);
