// Byte-order streams over files and embedded resources, opened by path:
//   "file/path", "incbin::NAME", "littleendian::path", "bigendian::path".
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Raised by a read past the end ("Error reading from stream") or a failed write
// ("Error writing to stream").
class TStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TStream {
 public:
  virtual ~TStream() = default;

  // Raw access; the byte-order wrappers override the multi-byte operations.
  virtual void ReadBytes(void* buffer, size_t count) = 0;
  virtual void WriteBytes(const void* buffer, size_t count) = 0;
  virtual int64_t Pos() = 0;
  virtual void Seek(int64_t pos) = 0;
  virtual int64_t Size() = 0;
  virtual bool Eof() = 0;
  virtual void Close() = 0;

  uint8_t ReadByte();
  virtual uint16_t ReadShort();
  virtual int32_t ReadInt();
  virtual int64_t ReadLong();
  float ReadFloat();
  double ReadDouble();
  // A line up to a line feed; carriage returns are dropped. Raises at end of stream only
  // when nothing at all could be read.
  std::string ReadLine();
  std::vector<uint8_t> ReadAll();  // from the current position to the end

  void WriteByte(uint8_t value);
  virtual void WriteShort(uint32_t value);  // low 16 bits
  virtual void WriteInt(int32_t value);
  virtual void WriteLong(int64_t value);
  void WriteFloat(float value);
  void WriteDouble(double value);
  void WriteLine(const std::string& text);    // text + CR LF
  void WriteString(const std::string& text);  // raw bytes, no line end
};
using PStream = std::shared_ptr<TStream>;

// Null when the file or resource does not exist or cannot be opened in those modes.
// Plain file paths that do not exist are retried case-insensitively per path component.
PStream OpenStream(const std::string& path, bool readable, bool writeable);
PStream ReadStream(const std::string& path);
PStream WriteStream(const std::string& path);
PStream LittleEndianStream(PStream stream);
PStream BigEndianStream(PStream stream);
// A stream over bytes in memory (read and write). Writing past the end extends it.
class TMemoryStream : public TStream {
 public:
  explicit TMemoryStream(std::vector<uint8_t> bytes = {}) : Data(std::move(bytes)) {}
  void ReadBytes(void* buffer, size_t count) override;
  void WriteBytes(const void* buffer, size_t count) override;
  int64_t Pos() override { return Position; }
  void Seek(int64_t pos) override;
  int64_t Size() override { return int64_t(Data.size()); }
  bool Eof() override { return Position >= Data.size(); }
  void Close() override {}
  const std::vector<uint8_t>& Bytes() const { return Data; }

 private:
  std::vector<uint8_t> Data;
  size_t Position = 0;
};
PStream MemoryStream(std::vector<uint8_t> bytes = {});
// Length in bytes, -1 when the file does not exist ("incbin::" and the byte-order
// prefixes are understood).
int64_t FileSize(const std::string& path);
// The existing path for a file name, trying a case-insensitive match of each component
// when the exact name is missing. When only the last component is missing, the resolved
// folder plus that name (so that a new file lands in the existing folder); the path
// unchanged when a folder does not match.
std::string ResolvePathCase(const std::string& path);
// Writes bytes to a temporary file beside path and renames it over path.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// Exactly length bytes; the text up to the first zero byte, or "" when short.
std::string ReadFixedString(TStream& stream, int length);
