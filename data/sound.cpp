// Sound containers, speaker synthesis, playback by priority, replacement sounds and
// WAVE export.
#include "data/sound.h"

#include <algorithm>
#include <map>

#include "shell/log.h"
#include "shell/settings.h"

namespace {

// Which TAudioChannel started the latest sound on each channel number.
std::map<int, uint64_t> ChannelTickets;
uint64_t NextTicket = 1;

TClassicSound Classic[SoundCount];
PSound Replacement[SoundCount];
TAudioChannel ReplacementChannel[SoundCount];
TAudioChannel SpeakerChannel;
uint8_t SpeakerPriority = 0;

const TClassicSound NoSound;

bool AudioReady() { return HasPlatform() && Platform().AudioIsOpen(); }

// The entry name as a file name: path separators and control characters become "_".
std::string SafeFileName(const std::string& name) {
  std::string safe = name;
  for (char& c : safe)
    if (c == '/' || c == '\\' || c == ':' || uint8_t(c) < 32) c = '_';
  return safe;
}

PSound LoadReplacement(int n) {
  const std::string stem = Digits(n, 3);
  PSound sound = Platform().LoadSoundFile(ResolvePathCase(stem + ".wav"));
  if (!sound) sound = Platform().LoadSoundFile(ResolvePathCase(stem + ".ogg"));
  return sound;
}

}  // namespace

// --- Channels ----------------------------------------------------------------------------

bool TAudioChannel::Owned() const {
  if (Channel < 0) return false;
  auto it = ChannelTickets.find(Channel);
  return it != ChannelTickets.end() && it->second == Ticket;
}

bool TAudioChannel::Start(const PSound& sound, bool loop) {
  if (!sound || !HasPlatform()) return false;
  const int channel = Platform().PlaySound(sound, Owned() ? Channel : -1, loop);
  if (channel < 0) return false;
  Channel = channel;
  Ticket = NextTicket++;
  ChannelTickets[channel] = Ticket;
  return true;
}

bool TAudioChannel::Playing() const {
  return Owned() && HasPlatform() && Platform().ChannelPlaying(Channel);
}

void TAudioChannel::Stop() {
  if (Owned() && HasPlatform()) Platform().StopChannel(Channel);
  Channel = -1;
  Ticket = 0;
}

// --- Synthesis ---------------------------------------------------------------------------

std::vector<uint8_t> SynthesizeSpeakerWords(const std::vector<uint16_t>& words) {
  std::vector<uint8_t> samples;
  samples.reserve(words.size() * SamplesPerWord);
  int sign = -1;
  uint32_t counter = 0;
  for (uint16_t d : words) {
    if (d == TuneEnd) break;
    // The timer runs at 2386360 / 2 Hz; a divisor d gives a half period of d * 22050 /
    // 2386360 samples.
    const uint32_t half = uint32_t(uint64_t(d) * SpeakerRate / 2386360);
    for (int i = 0; i < SamplesPerWord; ++i) {
      if (d == 0) {
        samples.push_back(128);
        counter = 0;
      } else {
        samples.push_back(uint8_t(128 + 20 * sign));
        if (++counter >= half) {
          counter = 0;
          sign = -sign;
        }
      }
    }
  }
  return samples;
}

std::vector<uint8_t> SynthesizeSpeakerSound(TStream& file, int words) {
  std::vector<uint16_t> tune;
  if (words > 0) {
    const int64_t left = (file.Size() - file.Pos()) / 2;
    tune.reserve(size_t(std::min<int64_t>(words, std::max<int64_t>(left, 0))));
  }
  try {
    for (int i = 0; i < words; ++i) {
      const uint16_t d = file.ReadShort();
      if (d == TuneEnd) break;
      tune.push_back(d);
    }
  } catch (const TStreamError&) {
    // A tune cut off by the end of the file plays what was read.
  }
  return SynthesizeSpeakerWords(tune);
}

// --- Loading -----------------------------------------------------------------------------

bool LoadSoundEntry(TStream& file, int j, int n) {
  if (n < 0 || n >= SoundCount || j < 0) return false;
  try {
    const int64_t size = file.Size();
    const int64_t entryAt = 16 + 16 * int64_t(j);
    if (entryAt + 16 > size) return false;
    file.Seek(entryAt);
    const uint16_t offset = file.ReadShort();
    const uint8_t priority = file.ReadByte();
    file.ReadByte();
    const std::string name = ReadFixedString(file, 12);

    // Words up to and including the terminator, or up to the end of the file. Memory bound
    // of a sound container: SoundCount tunes of at most MaxTuneWords words, 153 one-byte
    // samples each (5 MB a tune), whatever the file's size.
    int count = 0;
    if (offset < size) {
      const int64_t available = std::min<int64_t>((size - offset) / 2, MaxTuneWords + 1);
      file.Seek(offset);
      while (count < available) {
        ++count;
        if (file.ReadShort() == TuneEnd) break;
      }
      file.Seek(offset);
    }

    LogLine("Sound #" + Digits(n, 2) + ": Name = " + name + " Priority = " + Digits(priority, 3));
    // The terminator is no tone; a tune cut off by the end of the file loses its last word.
    std::vector<uint8_t> samples = SynthesizeSpeakerSound(file, count - 1);

    if (Options().ExportMode) WriteWav(samples, Digits(n, 3) + "-" + SafeFileName(name) + ".wav");

    TClassicSound& sound = Classic[n];
    sound = TClassicSound{};
    sound.Loaded = true;
    sound.Name = name;
    sound.Priority = priority;
    if (HasPlatform()) {
      sound.Sound = Platform().CreateSound(samples, SpeakerRate);
      if (sound.Sound) sound.Sound->Name = name;
    }
    sound.Samples = std::move(samples);
    return true;
  } catch (const TStreamError&) {
    return false;
  }
}

void LoadSounds() {
  LogLine("LoadSounds() started");
  for (int n = 0; n < SoundCount; ++n) {
    Classic[n] = TClassicSound{};
    Replacement[n] = nullptr;
  }

  const char* const stems[2] = {"BRAX1", "BRAX1-B"};
  for (int i = 0; i < 2; ++i) {
    const std::string path = Options().GameDir + stems[i] + Options().GameExt;
    LogText("Trying to open \"" + path + "\"... ");
    PStream raw = ReadStream(path);
    if (!raw) {
      LogLine("ERROR!");
      continue;
    }
    LogLine("ok.");
    PStream file = LittleEndianStream(raw);
    bool magic = false;
    int entries = 0;
    try {
      magic = file->Size() >= 4 && uint32_t(file->ReadInt()) == SoundMagic;
      if (magic && file->Size() >= 8) {
        file->Seek(6);
        entries = file->ReadShort();
      }
    } catch (const TStreamError&) {
      magic = false;
    }
    if (!magic) {
      LogLine("WARNING :: LoadSounds :: " + path +
              " is not a SND file, no sounds were loaded from it");
    } else {
      entries = std::min(entries, SoundsPerContainer);
      for (int j = 0; j < entries; ++j) LoadSoundEntry(*file, j, j + SoundsPerContainer * i);
    }
    file->Close();
  }

  for (int n = 0; n < SoundCount; ++n)
    if (!Classic[n].Loaded) {
      LogLine("WARNING :: LoadSounds :: not all sounds were loaded correctly");
      break;
    }

  if (Options().EnhancedContent && HasPlatform())
    for (int n = 0; n < SoundCount; ++n) Replacement[n] = LoadReplacement(n);

  LogLine("LoadSounds() terminated");
  LogLine("");
}

// --- Playback ----------------------------------------------------------------------------

void PlayBraxSound(int n) {
  if (!PlaySettings().SoundOn || n < 0 || n >= SoundCount || !AudioReady()) return;
  if (PlaySettings().ReplacementMode && Replacement[n]) {
    ReplacementChannel[n].Start(Replacement[n], false);
    return;
  }
  const TClassicSound& sound = Classic[n];
  if (!sound.Sound) {
    LogLine("WARNING :: PlayBraxSound :: trying to play a NULL sound for sound number " +
            std::to_string(n));
    return;
  }
  // One speaker: a sound of lower priority than the one still playing is dropped.
  if (!SpeakerChannel.Playing() || sound.Priority >= SpeakerPriority) {
    if (SpeakerChannel.Start(sound.Sound, false)) SpeakerPriority = sound.Priority;
  }
}

void StopAllSounds() {
  SpeakerChannel.Stop();
  for (TAudioChannel& channel : ReplacementChannel) channel.Stop();
}

// --- Export ------------------------------------------------------------------------------

bool WriteWav(const std::vector<uint8_t>& samples, const std::string& path, int rate) {
  PStream raw = WriteStream(path);
  if (!raw) return false;
  PStream file = LittleEndianStream(raw);
  const int32_t length = int32_t(samples.size());
  try {
    file->WriteString("RIFF");
    file->WriteInt(length + 38);
    file->WriteString("WAVE");
    file->WriteString("fmt ");
    file->WriteInt(18);
    file->WriteShort(1);  // PCM
    file->WriteShort(1);  // mono
    file->WriteInt(rate);
    file->WriteInt(rate);  // one byte per sample
    file->WriteShort(1);
    file->WriteShort(8);
    file->WriteShort(0);
    file->WriteString("data");
    file->WriteInt(length);
    if (!samples.empty()) file->WriteBytes(samples.data(), samples.size());
  } catch (const TStreamError&) {
    file->Close();
    return false;
  }
  file->Close();
  return true;
}

// --- Inspection --------------------------------------------------------------------------

const TClassicSound& ClassicSound(int n) { return n >= 0 && n < SoundCount ? Classic[n] : NoSound; }

PSound ReplacementSound(int n) { return n >= 0 && n < SoundCount ? Replacement[n] : nullptr; }

void ResetSounds() {
  // Forgetting every channel first keeps the platform out of it (it may be a new one).
  ChannelTickets.clear();
  StopAllSounds();
  for (int n = 0; n < SoundCount; ++n) {
    Classic[n] = TClassicSound{};
    Replacement[n] = nullptr;
  }
  SpeakerPriority = 0;
}
