// Streams: byte order, protocols, line handling, read and write errors, file lookup.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "data/stream.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

class StreamTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return Temp.Dir() + name; }
  void WriteRaw(const std::string& name, const std::string& bytes) const {
    TTempDir::WriteText(PathOf(name), bytes);
  }
  std::string ReadRaw(const std::string& name) const { return TTempDir::ReadText(PathOf(name)); }

  TTempDir Temp;
  const fs::path Dir = Temp.Dir();
};

std::vector<uint8_t> BytesOf(const PStream& stream) {
  stream->Seek(0);
  return stream->ReadAll();
}

}  // namespace

TEST_F(StreamTest, LittleEndianWritesLeastSignificantByteFirst) {
  PStream stream = LittleEndianStream(MemoryStream());
  stream->WriteShort(0x1234);
  stream->WriteShort(65537);  // only the low 16 bits
  stream->WriteInt(-2);
  stream->WriteLong(0x0102030405060708);
  EXPECT_EQ(BytesOf(stream), (std::vector<uint8_t>{0x34, 0x12, 0x01, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,
                                                   8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST_F(StreamTest, BigEndianReversesMultiByteValues) {
  PStream stream = BigEndianStream(MemoryStream());
  stream->WriteShort(0x1234);
  stream->WriteInt(0x01020304);
  stream->WriteFloat(1.0f);  // 0x3F800000
  EXPECT_EQ(BytesOf(stream), (std::vector<uint8_t>{0x12, 0x34, 1, 2, 3, 4, 0x3F, 0x80, 0, 0}));

  PStream reader = BigEndianStream(MemoryStream({0xAB, 0xCD, 0, 0, 0, 0, 0, 0, 0x01, 0x02}));
  EXPECT_EQ(reader->ReadShort(), 0xABCD);
  EXPECT_EQ(reader->ReadLong(), 0x0102);
  // Asking for little-endian order again takes the wrapper off instead of stacking one.
  PStream again = LittleEndianStream(BigEndianStream(MemoryStream({0x34, 0x12})));
  EXPECT_EQ(again->ReadShort(), 0x1234);
  EXPECT_EQ(LittleEndianStream(nullptr), nullptr);
  EXPECT_EQ(BigEndianStream(nullptr), nullptr);
}

TEST_F(StreamTest, EveryWidthRoundTripsThroughFilesInBothOrders) {
  for (const std::string protocol : {"littleendian::", "bigendian::"}) {
    SCOPED_TRACE(protocol);
    const std::string path = protocol + PathOf("values.bin");
    PStream out = OpenStream(path, false, true);
    ASSERT_NE(out, nullptr);
    out->WriteByte(0xFE);
    out->WriteShort(0xBEEF);
    out->WriteInt(std::numeric_limits<int32_t>::min());
    out->WriteLong(-1234567890123456789);
    out->WriteFloat(-3.25e-7f);
    out->WriteDouble(6.02214076e23);
    out->WriteDouble(-0.0);
    out->WriteFloat(std::numeric_limits<float>::infinity());
    out->WriteBytes("xyz", 3);
    out->Close();
    EXPECT_EQ(FileSize(PathOf("values.bin")), 1 + 2 + 4 + 8 + 4 + 8 + 8 + 4 + 3);

    PStream in = ReadStream(path);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->ReadByte(), 0xFE);
    EXPECT_EQ(in->ReadShort(), 0xBEEF);
    EXPECT_EQ(in->ReadInt(), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(in->ReadLong(), -1234567890123456789);
    EXPECT_EQ(in->ReadFloat(), -3.25e-7f);
    EXPECT_EQ(in->ReadDouble(), 6.02214076e23);
    double zero = in->ReadDouble();
    EXPECT_TRUE(zero == 0.0 && std::signbit(zero));
    EXPECT_EQ(in->ReadFloat(), std::numeric_limits<float>::infinity());
    char tail[3];
    in->ReadBytes(tail, 3);
    EXPECT_EQ(std::string(tail, 3), "xyz");
    EXPECT_TRUE(in->Eof());
  }
  // The file itself is little-endian whichever host wrote it.
  PStream out = OpenStream("littleendian::" + PathOf("order.bin"), false, true);
  out->WriteInt(0x11223344);
  out->Close();
  EXPECT_EQ(ReadRaw("order.bin"), "\x44\x33\x22\x11");
}

TEST_F(StreamTest, ReadingPastTheEndRaises) {
  WriteRaw("six.bin", "\x01\x02\x03\x04\x05\x06");
  PStream file = LittleEndianStream(ReadStream(PathOf("six.bin")));
  ASSERT_NE(file, nullptr);
  file->Seek(4);
  try {
    file->ReadInt();
    FAIL() << "no error for a 32-bit read at the last two bytes";
  } catch (const TStreamError& error) {
    EXPECT_STREQ(error.what(), "Error reading from stream");
  }

  PStream memory = MemoryStream({1, 2});
  EXPECT_THROW(memory->ReadInt(), TStreamError);
  PStream resource = ReadStream("incbin::SHARED.TXT");
  ASSERT_NE(resource, nullptr);
  resource->Seek(resource->Size() - 1);
  EXPECT_THROW(resource->ReadShort(), TStreamError);
  EXPECT_THROW(resource->Seek(resource->Size() + 1), TStreamError);
}

TEST_F(StreamTest, WritingToAReadOnlyStreamRaises) {
  WriteRaw("ro.bin", "abc");
  PStream file = ReadStream(PathOf("ro.bin"));
  ASSERT_NE(file, nullptr);
  try {
    file->WriteByte(1);
    FAIL() << "no error for a write to a read-only file";
  } catch (const TStreamError& error) {
    EXPECT_STREQ(error.what(), "Error writing to stream");
  }
  PStream resource = ReadStream("incbin::SHARED.TXT");
  EXPECT_THROW(resource->WriteInt(0), TStreamError);
  // A write-only file cannot be read back through the same stream.
  PStream writer = WriteStream(PathOf("wo.bin"));
  writer->WriteByte(1);
  writer->Seek(0);
  EXPECT_THROW(writer->ReadByte(), TStreamError);
}

TEST_F(StreamTest, ProtocolsAndMissingFilesGiveNull) {
  PStream shared = OpenStream("incbin::SHARED.TXT", true, false);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->ReadLine(), "% Texts shared by every episode.");
  EXPECT_EQ(FileSize("incbin::SHARED.TXT"), shared->Size());

  EXPECT_EQ(ReadStream("incbin::NOT_EMBEDDED.TXT"), nullptr);
  EXPECT_EQ(OpenStream("incbin::SHARED.TXT", true, true), nullptr);  // resources are read-only
  EXPECT_EQ(ReadStream("littleendian::" + PathOf("missing.bin")), nullptr);
  EXPECT_EQ(ReadStream("bigendian::" + PathOf("missing.bin")), nullptr);
  EXPECT_EQ(ReadStream(PathOf("missing.bin")), nullptr);
  EXPECT_EQ(ReadStream(Temp.Dir()), nullptr);  // a folder is not a file
  WriteRaw("there.bin", "1");
  EXPECT_EQ(ReadStream("zip::" + PathOf("there.bin")), nullptr);
  EXPECT_EQ(ReadStream("::" + PathOf("there.bin")), nullptr);
  EXPECT_NE(ReadStream("littleendian::" + PathOf("there.bin")), nullptr);
  EXPECT_NE(ReadStream("littleendian::incbin::SHARED.TXT"), nullptr);
  EXPECT_EQ(WriteStream(PathOf("no_such_folder/x.bin")), nullptr);
  EXPECT_EQ(FileSize(PathOf("missing.bin")), -1);
  EXPECT_EQ(FileSize("incbin::NOT_EMBEDDED.TXT"), -1);
}

TEST_F(StreamTest, LinesDropCarriageReturnsAndKeepTheLastUnterminatedLine) {
  PStream stream = MemoryStream();
  stream->WriteLine("first");
  stream->WriteString("se\rcond\n\nlast");
  std::vector<uint8_t> written = BytesOf(stream);
  EXPECT_EQ(std::string(written.begin(), written.end()), "first\r\nse\rcond\n\nlast");
  stream->Seek(0);
  EXPECT_EQ(stream->ReadLine(), "first");
  EXPECT_EQ(stream->ReadLine(), "second");
  EXPECT_EQ(stream->ReadLine(), "");
  EXPECT_EQ(stream->ReadLine(), "last");
  EXPECT_TRUE(stream->Eof());
  EXPECT_THROW(stream->ReadLine(), TStreamError);

  PStream empty = MemoryStream();
  EXPECT_TRUE(empty->Eof());
  EXPECT_THROW(empty->ReadLine(), TStreamError);
}

TEST_F(StreamTest, OpeningForWritingCreatesOrTruncates) {
  WriteRaw("data.bin", "0123456789");
  PStream stream = WriteStream(PathOf("data.bin"));
  ASSERT_NE(stream, nullptr);
  stream->WriteString("ab");
  stream->Close();
  EXPECT_EQ(ReadRaw("data.bin"), "ab");

  // Read and write on one stream: positions, sizes and switching directions.
  PStream both = OpenStream(PathOf("both.bin"), true, true);
  ASSERT_NE(both, nullptr);
  both->WriteString("hello world");
  EXPECT_EQ(both->Size(), 11);
  both->Seek(6);
  EXPECT_EQ(both->ReadByte(), 'w');
  both->WriteString("X");
  EXPECT_EQ(both->Pos(), 8);
  both->Seek(0);
  EXPECT_EQ(both->ReadLine(), "hello wXrld");
  EXPECT_TRUE(both->Eof());
  both->Close();
  EXPECT_EQ(ReadRaw("both.bin"), "hello wXrld");
}

TEST_F(StreamTest, FilesAreFoundIgnoringCase) {
  fs::create_directories(Dir / "Game");
  std::ofstream(Dir / "Game" / "LEVEL1.QZ1", std::ios::binary) << "level";

  PStream stream = ReadStream(PathOf("game/level1.qz1"));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->ReadLine(), "level");
  EXPECT_EQ(FileSize(PathOf("GAME/Level1.Qz1")), 5);
  EXPECT_EQ(ResolvePathCase(PathOf("game/level1.qz1")), PathOf("Game/LEVEL1.QZ1"));
  // A new file lands in the existing folder; an unknown folder leaves the path alone.
  EXPECT_EQ(ResolvePathCase(PathOf("game/NEW.QZ1")), PathOf("Game/NEW.QZ1"));
  EXPECT_EQ(ResolvePathCase(PathOf("nowhere/NEW.QZ1")), PathOf("nowhere/NEW.QZ1"));
  // Writing through a differently cased name replaces the existing file.
  PStream writer = WriteStream(PathOf("game/Level1.qz1"));
  ASSERT_NE(writer, nullptr);
  writer->WriteString("new");
  writer->Close();
  EXPECT_EQ(ReadRaw("Game/LEVEL1.QZ1"), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir / "Game"), fs::directory_iterator()), 1);
}

TEST_F(StreamTest, AtomicWriteReplacesTheFileAndLeavesNoTemporary) {
  WriteRaw("save.bin", "old contents, longer than the new ones");
  ASSERT_TRUE(WriteFileAtomically(PathOf("save.bin"), {'n', 'e', 'w'}));
  EXPECT_EQ(ReadRaw("save.bin"), "new");
  ASSERT_TRUE(WriteFileAtomically(PathOf("empty.bin"), {}));
  EXPECT_EQ(FileSize(PathOf("empty.bin")), 0);
  EXPECT_FALSE(WriteFileAtomically(PathOf("no_such_folder/save.bin"), {1}));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"empty.bin", "save.bin"}));
}
