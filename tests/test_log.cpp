#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/stream.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "tests/log_stamp.h"

namespace fs = std::filesystem;

namespace {

// Every test runs in a fresh temporary working directory, so "log.txt" is its own.
class TLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CloseLog();
    ClearPendingError();
    ResetSettings();
    Previous = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "zyntra_log_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Directory = pattern;
    fs::current_path(Directory);
  }
  void TearDown() override {
    CloseLog();
    ClearPendingError();
    SetExitHook(nullptr);
    fs::current_path(Previous);
    std::error_code error;
    fs::remove_all(Directory, error);
  }

  static std::string LogBytes() {
    std::ifstream file("log.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  // The lines of the log; every line must end with CR LF.
  static std::vector<std::string> LogLines() {
    const std::string bytes = LogBytes();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
      const size_t end = bytes.find("\r\n", start);
      if (end == std::string::npos) {
        ADD_FAILURE() << "unterminated last line: " << bytes.substr(start);
        break;
      }
      lines.push_back(bytes.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }

  fs::path Previous;
  fs::path Directory;
};

TEST_F(TLogTest, NothingLoggedCreatesNoFile) {
  SetPendingError("ERROR: never shown");
  CloseLog();
  EXPECT_FALSE(LogIsOpen());
  EXPECT_FALSE(fs::exists("log.txt"));
}

TEST_F(TLogTest, HeaderUsesTheTitleOfTheMomentAndLinesEndWithCrLf) {
  StartUpOptions().WindowTitle = "Zyntra - Episode";
  LogLine("GameDir = x/");
  LogText("Starting Graphics... ");
  LogLine("ok");
  LogLine("caf\xE9");  // one byte per character, kept as it is
  ASSERT_TRUE(LogIsOpen());

  // Everything is on disk before the log closes.
  std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Zyntra - Episode - Log File");
  EXPECT_EQ(lines[1], std::string(lines[0].size(), '='));
  EXPECT_TRUE(IsStampLine(lines[2], "Created: ")) << lines[2];
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "GameDir = x/");
  EXPECT_EQ(lines[5], "Starting Graphics... ok");
  EXPECT_EQ(lines[6], "caf\xE9");

  // A later title change does not touch the header.
  StartUpOptions().WindowTitle = "Other";
  CloseLog();
  lines = LogLines();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Zyntra - Episode - Log File");
  EXPECT_EQ(lines[7], "");
  EXPECT_TRUE(IsStampLine(lines[8], "Closed: ")) << lines[8];
  EXPECT_FALSE(LogIsOpen());
}

TEST_F(TLogTest, PendingErrorIsFramedAtClose) {
  LogText("Starting Graphics... ");
  SetPendingError("ERROR: invalid graphics mode!");
  CloseLog();
  const std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 10u);
  const size_t n = lines.size();
  EXPECT_EQ(lines[n - 7], "Starting Graphics... ");
  EXPECT_EQ(lines[n - 6], "");
  EXPECT_EQ(lines[n - 5], std::string(40, '='));
  EXPECT_EQ(lines[n - 4], "ERROR: invalid graphics mode!");
  EXPECT_EQ(lines[n - 3], std::string(40, '='));
  EXPECT_EQ(lines[n - 2], "");
  EXPECT_TRUE(IsStampLine(lines[n - 1], "Closed: "));
}

TEST_F(TLogTest, ClearedErrorLeavesNoBlock) {
  SetPendingError("ERROR: invalid graphics mode!");
  LogLine("ok");
  ClearPendingError();
  EXPECT_EQ(PendingError(), "");
  CloseLog();
  const std::string bytes = LogBytes();
  EXPECT_EQ(bytes.find("===================================="), std::string::npos);
  EXPECT_NE(bytes.find("ok\r\n\r\nClosed: "), std::string::npos);
}

TEST_F(TLogTest, LogAfterCloseStartsAFreshFile) {
  LogLine("first run");
  CloseLog();
  LogLine("second run");
  const std::string bytes = LogBytes();
  EXPECT_EQ(bytes.find("first run"), std::string::npos);
  EXPECT_EQ(bytes.rfind("Zyntra - Log File\r\n", 0), 0u);
  EXPECT_NE(bytes.find("second run\r\n"), std::string::npos);
}

TEST_F(TLogTest, UncreatableLogIsSkippedAndRetried) {
  fs::create_directory("log.txt");
  LogLine("lost");
  LogText("lost too");
  EXPECT_FALSE(LogIsOpen());
  SetPendingError("ERROR: nowhere to go");
  CloseLog();
  EXPECT_TRUE(fs::is_directory("log.txt"));

  fs::remove("log.txt");
  ClearPendingError();
  LogLine("found");
  EXPECT_TRUE(LogIsOpen());
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[4], "found");
}

int ExitStatusSeen = -1;
struct TExitCalled {};
void ThrowingExitHook(int status) {
  ExitStatusSeen = status;
  throw TExitCalled{};
}

TEST_F(TLogTest, EndProgramClosesTheLogBeforeExiting) {
  SetExitHook(ThrowingExitHook);
  ExitStatusSeen = -1;
  LogLine("running");
  EXPECT_THROW(EndProgram(3), TExitCalled);
  EXPECT_EQ(ExitStatusSeen, 3);
  EXPECT_FALSE(LogIsOpen());
  const std::vector<std::string> lines = LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(IsStampLine(lines.back(), "Closed: "));
}

TEST(TNumberTextTest, DigitsKeepTheLastDigits) {
  EXPECT_EQ(Digits(123, 2), "23");
  EXPECT_EQ(Digits(5, 0), "");
  EXPECT_EQ(Digits(7, 4), "0007");
  EXPECT_EQ(Digits(0, 3), "000");
  EXPECT_EQ(Digits(2147483647, 10), "2147483647");
  EXPECT_EQ(HexDigits(255, 4), "00FF");
  EXPECT_EQ(HexDigits(0xABCDEF, 2), "EF");
  EXPECT_EQ(HexDigits(0, 0), "");
  EXPECT_EQ(HexDigits(-1, 16), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(HexDigits(-1, 18), "00FFFFFFFFFFFFFFFF");
  EXPECT_EQ(HexDigits(int64_t(0x123456789A), 10), "123456789A");
}

TEST(TReadFixedStringTest, ZeroByteCutsAndShortStreamGivesNothing) {
  PStream stream = MemoryStream({'A', 'B', 0, 'C', 'D', 'E', 0xE9});
  EXPECT_EQ(ReadFixedString(*stream, 4), "AB");
  EXPECT_EQ(stream->Pos(), 4);  // the whole field is consumed
  EXPECT_EQ(ReadFixedString(*stream, 2), "DE");
  EXPECT_EQ(ReadFixedString(*stream, 0), "");
  EXPECT_EQ(ReadFixedString(*stream, 5), "");  // only one byte left
  EXPECT_TRUE(stream->Eof());
  EXPECT_EQ(ReadFixedString(*stream, 1), "");

  PStream high = MemoryStream({0xE9, 'x'});
  EXPECT_EQ(ReadFixedString(*high, 2), "\xE9x");
  PStream empty = MemoryStream({0, 'x'});
  EXPECT_EQ(ReadFixedString(*empty, 2), "");
}

}  // namespace
