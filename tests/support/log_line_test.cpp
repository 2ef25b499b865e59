#include "support/log_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/log.h"
#include "support/mbcs.h"
#include "support_code/file_bytes.h"

namespace {
const LogTimeStamp kMarch5 = {3, 5, 14, 7, 9};

TEST(LogLine, MessageBytesAreNeverReadAsAFormat) {
  EXPECT_EQ(ComposeLogLine(kMarch5, "\\Orqex", 1, "100%s %n"),
            "03-05 14:07:09   \\Orqex:001 100%s %n\r\n");
}

TEST(LogLine, OnlyABackslashThatIsNoTrailByteSeparatesAndNoPathIsCutToAnotherName) {
  EXPECT_EQ(ProgramNameField("C:\\Program Files\\Orq.ex\\Orqex.exe"), "\\Orqex");
  EXPECT_EQ(ProgramNameField("C:\\x\\my.prog.exe"), "\\my");
  EXPECT_EQ(LogFilePath("C:\\WINDOWS", "logs/run.log"), "C:\\WINDOWS\\logs/run.log");
  const std::string dir = "C:\\" + std::string(240, 'd');
  EXPECT_EQ(LogFilePath(dir, std::string(15, 'n')).size(), 259u);
  EXPECT_EQ(LogFilePath(dir, std::string(19, 'n')), "");  // 263 bytes
  EXPECT_EQ(LogFallbackPath(dir, "C:\\x\\" + std::string(19, 'n')), "");
  EXPECT_EQ(LogFilePath("", "C:\\" + std::string(257, 'n')), "");
  SetAnsiCodePageForTesting(932);
  EXPECT_EQ(LogFilePath("C:\\WINDOWS", "\x95\x5C.log"), "C:\\WINDOWS\\\x95\x5C.log");
  EXPECT_EQ(LogFallbackPath("C:\\TEMP\\", "C:\\\x95\x5C\\\x95\x5C.log"), "C:\\TEMP\\\x95\x5C.log");
  EXPECT_EQ(ProgramNameField("C:\\\x95\x5C.exe"), "\\\x95\x5C");
  SetAnsiCodePageForTesting(0);
}

// Through the entry points to a file named with a full path (used as it is everywhere).
TEST(MainLog, OnlyNonEmptyMessagesAtOrAboveTheThresholdAreWritten) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "orq_MainLog_threshold.log").string();
  std::filesystem::remove(path);
  LogInit(kLogLevelStatus, path);
  LogStatus("%s", "");
  EXPECT_FALSE(std::filesystem::exists(path));

  LogInit(kLogLevelError, path);
  LogStatus("status line");
  LogError("error line");
  EXPECT_EQ(FileBytes(path).find("status line"), std::string::npos);
  EXPECT_NE(FileBytes(path).find(" error line\r\n"), std::string::npos);
  LogInit(kLogLevelStatus, path);
  LogStatus("second status");
  EXPECT_NE(FileBytes(path).find(" second status\r\n"), std::string::npos);

  EXPECT_EQ(LogInit(kLogLevelStatus, std::string(300, 'n')).size(), 259u);
  LogInit(kLogLevelStatus, "");
  std::filesystem::remove(path);
}
}  // namespace
