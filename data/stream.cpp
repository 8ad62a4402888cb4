// Streams over files, embedded resources and memory, plus the byte-order wrappers.
#include "data/stream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "data/resources.h"

namespace fs = std::filesystem;

namespace {

const char* const ReadErrorText = "Error reading from stream";
const char* const WriteErrorText = "Error writing to stream";

[[noreturn]] void ThrowReadError() { throw TStreamError(ReadErrorText); }
[[noreturn]] void ThrowWriteError() { throw TStreamError(WriteErrorText); }

// A file opened through stdio. Position and length are tracked here so that Eof and
// Size cost nothing per call (only this stream writes to the file while it is open).
class TFileStream : public TStream {
 public:
  TFileStream(FILE* file, bool readable, bool writeable, int64_t length)
      : File(file), Readable(readable), Writeable(writeable), Length(length) {}
  ~TFileStream() override { Close(); }

  void ReadBytes(void* buffer, size_t count) override {
    if (count == 0) return;
    if (!File || !Readable) ThrowReadError();
    SwitchTo(false);
    size_t got = std::fread(buffer, 1, count, File);
    Position += int64_t(got);
    if (got != count) ThrowReadError();
  }

  void WriteBytes(const void* buffer, size_t count) override {
    if (count == 0) return;
    if (!File || !Writeable) ThrowWriteError();
    SwitchTo(true);
    size_t put = std::fwrite(buffer, 1, count, File);
    Position += int64_t(put);
    Length = std::max(Length, Position);
    if (put != count) ThrowWriteError();
  }

  int64_t Pos() override { return Position; }

  void Seek(int64_t pos) override {
    if (!File || pos < 0 || fseeko(File, off_t(pos), SEEK_SET) != 0) ThrowReadError();
    Position = pos;
    LastWasWrite = Writing::Unknown;
  }

  int64_t Size() override { return Length; }
  bool Eof() override { return Position >= Length; }

  void Close() override {
    if (File) {
      std::fclose(File);
      File = nullptr;
    }
  }

 private:
  enum class Writing { Unknown, Yes, No };

  // stdio needs a positioning call between a write and a following read or vice versa.
  void SwitchTo(bool write) {
    Writing want = write ? Writing::Yes : Writing::No;
    if (LastWasWrite != Writing::Unknown && LastWasWrite != want)
      fseeko(File, off_t(Position), SEEK_SET);
    LastWasWrite = want;
  }

  FILE* File;
  bool Readable;
  bool Writeable;
  int64_t Position = 0;
  int64_t Length;
  Writing LastWasWrite = Writing::Unknown;
};

// A read-only view of an embedded resource.
class TResourceStream : public TStream {
 public:
  explicit TResourceStream(const TEmbeddedResource& resource)
      : Data(resource.Data), Length(resource.Size) {}

  void ReadBytes(void* buffer, size_t count) override {
    if (count == 0) return;
    if (count > Length - Position) {
      Position = Length;
      ThrowReadError();
    }
    std::memcpy(buffer, Data + Position, count);
    Position += count;
  }
  void WriteBytes(const void*, size_t count) override {
    if (count) ThrowWriteError();
  }
  int64_t Pos() override { return int64_t(Position); }
  void Seek(int64_t pos) override {
    if (pos < 0 || uint64_t(pos) > Length) ThrowReadError();
    Position = size_t(pos);
  }
  int64_t Size() override { return int64_t(Length); }
  bool Eof() override { return Position >= Length; }
  void Close() override {}

 private:
  const unsigned char* Data;
  size_t Length;
  size_t Position = 0;
};

// The value with its bytes in reverse order.
template <typename T>
T ByteSwap(T value) {
  auto bytes = std::bit_cast<std::array<uint8_t, sizeof(T)>>(value);
  std::reverse(bytes.begin(), bytes.end());
  return std::bit_cast<T>(bytes);
}

// Reverses the bytes of every multi-byte value of the stream it wraps.
class TSwappedStream : public TStream {
 public:
  explicit TSwappedStream(PStream inner) : Inner(std::move(inner)) {}

  void ReadBytes(void* buffer, size_t count) override { Inner->ReadBytes(buffer, count); }
  void WriteBytes(const void* buffer, size_t count) override { Inner->WriteBytes(buffer, count); }
  int64_t Pos() override { return Inner->Pos(); }
  void Seek(int64_t pos) override { Inner->Seek(pos); }
  int64_t Size() override { return Inner->Size(); }
  bool Eof() override { return Inner->Eof(); }
  void Close() override { Inner->Close(); }

  uint16_t ReadShort() override { return ByteSwap(Inner->ReadShort()); }
  int32_t ReadInt() override { return ByteSwap(Inner->ReadInt()); }
  int64_t ReadLong() override { return ByteSwap(Inner->ReadLong()); }
  void WriteShort(uint32_t value) override { Inner->WriteShort(ByteSwap(uint16_t(value))); }
  void WriteInt(int32_t value) override { Inner->WriteInt(ByteSwap(value)); }
  void WriteLong(int64_t value) override { Inner->WriteLong(ByteSwap(value)); }

  const PStream& Unwrapped() const { return Inner; }

 private:
  PStream Inner;
};

// The stream in host byte order (a swapping wrapper is taken off).
PStream HostOrder(const PStream& stream) {
  if (auto swapped = std::dynamic_pointer_cast<TSwappedStream>(stream)) return swapped->Unwrapped();
  return stream;
}

// Splits "protocol::rest"; false for a plain path.
bool SplitProtocol(const std::string& path, std::string& protocol, std::string& rest) {
  size_t at = path.find("::");
  if (at == std::string::npos) return false;
  protocol = path.substr(0, at);
  rest = path.substr(at + 2);
  return true;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

// The entry of folder whose name matches name ignoring case; the alphabetically first
// when several do, so the choice does not depend on the directory order.
bool FindIgnoringCase(const fs::path& folder, const std::string& name, fs::path& found) {
  std::error_code error;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
  if (error) return false;
  std::string best;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    std::string entry = it->path().filename().string();
    if (SameNameIgnoringCase(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  if (best.empty()) return false;
  found = folder / best;
  return true;
}

PStream OpenFile(const std::string& path, bool readable, bool writeable) {
  std::string resolved = ResolvePathCase(path);
  std::error_code error;
  if (!writeable && !fs::is_regular_file(resolved, error)) return nullptr;
  const char* mode = writeable ? (readable ? "w+b" : "wb") : "rb";
  FILE* file = std::fopen(resolved.c_str(), mode);
  if (!file) return nullptr;
  int64_t length = 0;
  if (!writeable) {
    if (fseeko(file, 0, SEEK_END) != 0 || (length = ftello(file)) < 0 ||
        fseeko(file, 0, SEEK_SET) != 0) {
      std::fclose(file);
      return nullptr;
    }
  }
  return std::make_shared<TFileStream>(file, readable, writeable, length);
}

}  // namespace

// --- TStream ------------------------------------------------------------------------------

uint8_t TStream::ReadByte() {
  uint8_t value;
  ReadBytes(&value, 1);
  return value;
}

// The plain operations use the host's byte order; the wrappers reorder.
uint16_t TStream::ReadShort() {
  uint16_t value;
  ReadBytes(&value, sizeof value);
  return value;
}

int32_t TStream::ReadInt() {
  int32_t value;
  ReadBytes(&value, sizeof value);
  return value;
}

int64_t TStream::ReadLong() {
  int64_t value;
  ReadBytes(&value, sizeof value);
  return value;
}

// Reals go through the integer operations so that they follow the stream's byte order.
float TStream::ReadFloat() { return std::bit_cast<float>(ReadInt()); }
double TStream::ReadDouble() { return std::bit_cast<double>(ReadLong()); }

std::string TStream::ReadLine() {
  if (Eof()) ThrowReadError();
  std::string line;
  while (!Eof()) {
    char ch = char(ReadByte());
    if (ch == '\n') break;
    if (ch != '\r') line += ch;
  }
  return line;
}

std::vector<uint8_t> TStream::ReadAll() {
  int64_t left = Size() - Pos();
  if (left <= 0) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(left));
  ReadBytes(bytes.data(), bytes.size());
  return bytes;
}

void TStream::WriteByte(uint8_t value) { WriteBytes(&value, 1); }

void TStream::WriteShort(uint32_t value) {
  uint16_t low = uint16_t(value);
  WriteBytes(&low, sizeof low);
}

void TStream::WriteInt(int32_t value) { WriteBytes(&value, sizeof value); }
void TStream::WriteLong(int64_t value) { WriteBytes(&value, sizeof value); }
void TStream::WriteFloat(float value) { WriteInt(std::bit_cast<int32_t>(value)); }
void TStream::WriteDouble(double value) { WriteLong(std::bit_cast<int64_t>(value)); }

void TStream::WriteLine(const std::string& text) {
  WriteString(text);
  WriteBytes("\r\n", 2);
}

void TStream::WriteString(const std::string& text) { WriteBytes(text.data(), text.size()); }

// --- TMemoryStream ------------------------------------------------------------------------

void TMemoryStream::ReadBytes(void* buffer, size_t count) {
  if (count == 0) return;
  if (Position > Data.size() || count > Data.size() - Position) {
    Position = Data.size();
    ThrowReadError();
  }
  std::memcpy(buffer, Data.data() + Position, count);
  Position += count;
}

void TMemoryStream::WriteBytes(const void* buffer, size_t count) {
  if (count == 0) return;
  if (Position + count > Data.size()) Data.resize(Position + count);
  std::memcpy(Data.data() + Position, buffer, count);
  Position += count;
}

void TMemoryStream::Seek(int64_t pos) {
  // Seeking beyond the end is allowed; a write there fills the gap with zeros.
  if (pos < 0) ThrowReadError();
  Position = size_t(pos);
}

PStream MemoryStream(std::vector<uint8_t> bytes) {
  return std::make_shared<TMemoryStream>(std::move(bytes));
}

// --- Opening ------------------------------------------------------------------------------

PStream OpenStream(const std::string& path, bool readable, bool writeable) {
  if (!readable && !writeable) return nullptr;
  std::string protocol, rest;
  if (!SplitProtocol(path, protocol, rest)) return OpenFile(path, readable, writeable);
  if (protocol == "incbin") {
    if (writeable) return nullptr;
    const TEmbeddedResource* resource = FindEmbeddedResource(rest);
    return resource ? std::make_shared<TResourceStream>(*resource) : nullptr;
  }
  if (protocol == "littleendian") return LittleEndianStream(OpenStream(rest, readable, writeable));
  if (protocol == "bigendian") return BigEndianStream(OpenStream(rest, readable, writeable));
  return nullptr;
}

PStream ReadStream(const std::string& path) { return OpenStream(path, true, false); }
PStream WriteStream(const std::string& path) { return OpenStream(path, false, true); }

PStream LittleEndianStream(PStream stream) {
  if (!stream) return nullptr;
  PStream host = HostOrder(stream);
  if constexpr (std::endian::native == std::endian::little)
    return host;
  else
    return std::make_shared<TSwappedStream>(host);
}

PStream BigEndianStream(PStream stream) {
  if (!stream) return nullptr;
  PStream host = HostOrder(stream);
  if constexpr (std::endian::native == std::endian::big)
    return host;
  else
    return std::make_shared<TSwappedStream>(host);
}

// --- Files --------------------------------------------------------------------------------

std::string ResolvePathCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  fs::path original(path);
  fs::path resolved = original.root_path();
  fs::path relative = original.relative_path();
  std::vector<fs::path> parts(relative.begin(), relative.end());
  for (size_t i = 0; i < parts.size(); ++i) {
    const fs::path& part = parts[i];
    if (part.empty()) continue;  // a trailing separator
    fs::path next = resolved / part;
    if (Exists(next) || part == "." || part == "..") {
      resolved = next;
      continue;
    }
    fs::path found;
    if (FindIgnoringCase(resolved, part.string(), found)) {
      resolved = found;
    } else if (i + 1 == parts.size()) {
      return next.string();  // a new file in an existing folder
    } else {
      return path;
    }
  }
  return resolved.string();
}

int64_t FileSize(const std::string& path) {
  std::string protocol, rest;
  if (SplitProtocol(path, protocol, rest)) {
    if (protocol == "incbin") {
      const TEmbeddedResource* resource = FindEmbeddedResource(rest);
      return resource ? int64_t(resource->Size) : -1;
    }
    if (protocol == "littleendian" || protocol == "bigendian") return FileSize(rest);
    return -1;
  }
  std::error_code error;
  fs::path resolved = ResolvePathCase(path);
  if (!fs::is_regular_file(resolved, error)) return -1;
  auto size = fs::file_size(resolved, error);
  return error ? -1 : int64_t(size);
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string target = ResolvePathCase(path);
  std::string temporary = target + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  bool ok = (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
  ok = (std::fflush(file) == 0) && ok;
  ok = ok && fsync(fileno(file)) == 0;  // the data is on disk before the name points at it
  ok = (std::fclose(file) == 0) && ok;
  std::error_code error;
  if (ok) fs::rename(temporary, target, error);
  if (!ok || error) {
    fs::remove(temporary, error);
    return false;
  }
  return true;
}

std::string ReadFixedString(TStream& stream, int length) {
  if (length <= 0) return "";
  std::string bytes;
  try {
    const int64_t left = stream.Size() - stream.Pos();
    const int64_t wanted = length;
    const size_t count = size_t(left < wanted ? (left > 0 ? left : 0) : wanted);
    bytes.resize(count);
    if (count > 0) stream.ReadBytes(bytes.data(), count);
  } catch (const TStreamError&) {
    return "";
  }
  if (bytes.size() < size_t(length)) return "";
  const size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}
