#include <gtest/gtest.h>

#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/mbcs.h"
#include "support/log.h"
#include "support/log_line.h"

namespace {
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string message = FormatLogMessage(format, args);
  va_end(args);
  return message;
}

const LogTimeStamp kMarch5 = {3, 5, 14, 7, 9};

TEST(LogLine, LineCarriesTimeProgramAndProcess) {
  EXPECT_EQ(ComposeLogLine(kMarch5, "\\Orqex", 0x1a4, "hello"),
            "03-05 14:07:09   \\Orqex:1a4 hello\r\n");
  // The name is right-aligned in 8 and never cut; the id has at least 3 digits.
  EXPECT_EQ(ComposeLogLine(kMarch5, "\\a", 0x5, "m"), "03-05 14:07:09       \\a:005 m\r\n");
  EXPECT_EQ(ComposeLogLine(kMarch5, "\\orq_support_tests", 0x12345, "m"),
            "03-05 14:07:09 \\orq_support_tests:12345 m\r\n");
  // Message bytes are never read as a format.
  EXPECT_EQ(ComposeLogLine(kMarch5, "\\Orqex", 1, "100%s %n"), "03-05 14:07:09   \\Orqex:001 100%s %n\r\n");
}

TEST(LogLine, MessagesKeepTheirLineBreaksAndAMissingFormatGivesNothing) {
  EXPECT_EQ(Format("a\nb %d", 7), "a\nb 7");
  EXPECT_EQ(Format(nullptr), "");
}

TEST(LogLine, ProgramNameFieldRunsFromTheLastBackslashToTheFirstDotAfterIt) {
  EXPECT_EQ(ProgramNameField("C:\\Program Files\\Orq.ex\\Orqex.exe"), "\\Orqex");
  EXPECT_EQ(ProgramNameField("C:\\x\\my.prog.exe"), "\\my");
  EXPECT_EQ(ProgramNameField("C:\\x\\noext"), "\\noext");
  EXPECT_EQ(ProgramNameField(""), "");
}

TEST(LogLine, OnlyABackslashMakesANameAPath) {
  EXPECT_EQ(LogFilePath("C:\\WINDOWS", "tevagent.log"), "C:\\WINDOWS\\tevagent.log");
  EXPECT_EQ(LogFilePath("C:\\WINDOWS", "logs/run.log"), "C:\\WINDOWS\\logs/run.log");
  EXPECT_EQ(LogFilePath("C:\\WINDOWS", "sub\\run.log"), "sub\\run.log");
  EXPECT_EQ(LogFilePath("C:\\WINDOWS", "C:\\t\\run.log"), "C:\\t\\run.log");
}

TEST(LogLine, PathsBeyond259BytesAreNeverCutToAnotherName) {
  std::string dir = "C:\\" + std::string(240, 'd');
  std::string name(19, 'n');  // dir + "\" + name = 263 bytes
  EXPECT_EQ(LogFilePath(dir, name), "");
  EXPECT_EQ(LogFallbackPath(dir, "C:\\x\\" + name), "");
  EXPECT_EQ(LogFilePath(dir, std::string(15, 'n')).size(), 259u);
  EXPECT_EQ(LogFilePath("", "C:\\" + std::string(257, 'n')), "");
}

TEST(LogLine, ATrailByteIsNoBackslash) {
  SetAnsiCodePageForTesting(932);
  EXPECT_EQ(LogFilePath("C:\\WINDOWS", "\x95\x5C.log"), "C:\\WINDOWS\\\x95\x5C.log");
  EXPECT_EQ(LogFallbackPath("C:\\TEMP\\", "C:\\\x95\x5C\\\x95\x5C.log"), "C:\\TEMP\\\x95\x5C.log");
  EXPECT_EQ(ProgramNameField("C:\\\x95\x5C.exe"), "\\\x95\x5C");
  SetAnsiCodePageForTesting(0);
}

// Through the entry points to a file named with a full path (used as it is everywhere).
class MainLog : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             (std::string("orq_MainLog_") +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log"))
                .string();
    std::filesystem::remove(path_);
  }
  void TearDown() override {
    std::filesystem::remove(path_);
    LogInit(kLogLevelStatus, "");
  }
  std::string Read() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string path_;
};

TEST_F(MainLog, ThresholdKeepsOnlyLevelsAtOrAboveIt) {
  LogInit(7, path_);
  LogStatus("status line");
  LogError("error line");
  std::string text = Read();
  EXPECT_EQ(text.find("status line"), std::string::npos);
  EXPECT_NE(text.find(" error line\r\n"), std::string::npos);

  LogInit(1, path_);
  LogStatus("second status");
  EXPECT_NE(Read().find(" second status\r\n"), std::string::npos);
}

TEST_F(MainLog, AnEmptyNameOrAnEmptyMessageWritesNothing) {
  EXPECT_EQ(LogInit(1, ""), "");
  LogStatus("nowhere");
  LogInit(1, path_);
  LogStatus("%s", "");
  EXPECT_FALSE(std::filesystem::exists(path_));
  // The stored name is cut to 259 bytes.
  EXPECT_EQ(LogInit(1, std::string(300, 'n')).size(), 259u);
}
}  // namespace
