#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/log.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

namespace {
const char* const kAgentKey = "SOFTWARE\\Tevlin\\Agent";
constexpr DWORD kMiB = 1048576;

// The text ends with the line the writer makes of `message` (after its time and process).
bool EndsWithLine(const std::string& text, const std::string& message) {
  const std::string end = " " + message + "\r\n";
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The limits and the second log are the installation's: test programs take turns at them.
class LogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    WaitForSingleObject(turn_.Get(), 60000);
    dir_ = MakeScratchDir(std::string("LogFile_") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    path_ = dir_ + "\\run.log";
    agentExisted_ = FileExists(agentPath_);
    agentBefore_ = ReadTextFile(agentPath_);
    RegCreateKeyA(HKEY_LOCAL_MACHINE, kAgentKey, key_.Put());
    for (const char* limit : {"dwMaxLogfileSize", "dwMaxLog2fileSize"})
      RegDeleteValueA(key_.Get(), limit);
  }
  void TearDown() override {
    LogInit(kLogLevelStatus, "");
    agentExisted_ ? WriteTextFile(agentPath_, agentBefore_) : void(DeleteFileA(agentPath_.c_str()));
    RemoveFolderTree(dir_);
    ReleaseMutex(turn_.Get());
  }

  UniqueKernelHandle turn_{CreateMutexA(nullptr, FALSE, "OrqLogFileTestSettingsTurn")};
  UniqueRegKey key_;
  bool agentExisted_ = false;
  std::string dir_, path_, agentPath_ = WindowsFolder() + "\\" + kAgentLogName, agentBefore_;
};

TEST_F(LogFile, LineHasTheLocalTimeProgramNameAndProcessIdAndIsCutAt3071Bytes) {
  auto stamp = [] {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char s[32];
    std::snprintf(s, sizeof s, "%02d-%02d %02d:%02d:%02d", t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return std::string(s);
  };
  const std::string before = stamp();
  LogInit(kLogLevelStatus, path_);
  LogStatus("hello %d\nsecond part", 42);
  const std::string after = stamp();
  char pid[16];
  std::snprintf(pid, sizeof pid, "%03lx", GetCurrentProcessId());
  const std::string text = ReadTextFile(path_);
  EXPECT_EQ(text.substr(14),
            " \\orq_support_tests:" + std::string(pid) + " hello 42\nsecond part\r\n");
  EXPECT_TRUE(text.substr(0, 14) >= before && text.substr(0, 14) <= after) << text;

  DeleteFileA(path_.c_str());
  LogStatus("%s", std::string(5000, 'x').c_str());
  EXPECT_EQ(ReadTextFile(path_).size(), 3071u);
}

TEST_F(LogFile, SizeLimitsAreReadAtEveryLineAndEmptyOnlyAFileLargerThanThem) {
  struct Row {
    bool agentLog;
    const char* value;  // nullptr: no value, the default of 2 MiB applies
    DWORD type;
    ULONGLONG limit;
    DWORD fileSize;
    bool kept;
  } rows[] = {
      {false, nullptr, 0, 0, 2 * kMiB, true},
      {false, nullptr, 0, 0, 2 * kMiB + 1, false},
      {false, "dwMaxLogfileSize", REG_DWORD, 5, 5 * kMiB, true},  // counts megabytes
      {false, "dwMaxLogfileSize", REG_DWORD, 5, 5 * kMiB + 1, false},
      {false, "dwMaxLogfileSize", REG_DWORD, 4096, 1, false},  // 4096 MiB wraps to 0 in 32 bits
      {false, "dwMaxLogfileSize", REG_QWORD, 0, 10, true},     // eight bytes do not count
      {false, "dwMaxLogfileSize", REG_BINARY, 0, 1, false},    // four bytes of any type do
      {true, "dwMaxLog2fileSize", REG_DWORD, 5, 6, false},     // counts bytes
      {false, "dwMaxLog2fileSize", REG_DWORD, 5, 6, true},  // not the main log's value
  };
  LogInit(kLogLevelStatus, path_);
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.value ? row.value : "default") << " " << row.limit
                                    << " file " << row.fileSize);
    const std::string& file = row.agentLog ? agentPath_ : path_;
    WriteTextFile(file, std::string(row.fileSize, 'f'));
    if (row.value) {
      RegSetValueExA(key_.Get(), row.value, 0, row.type, reinterpret_cast<const BYTE*>(&row.limit),
                     row.type == REG_QWORD ? 8 : 4);
    }
    row.agentLog ? AgentLog("line") : LogStatus("line");
    if (row.value) RegDeleteValueA(key_.Get(), row.value);
    const std::string text = ReadTextFile(file);
    EXPECT_EQ(text.find_first_not_of('f'), row.kept ? row.fileSize : 0u);
    EXPECT_TRUE(EndsWithLine(text, "line"));
  }
}

TEST_F(LogFile, BareNameLivesInTheWindowsFolderAndAHeldLogGoesToTheTempFolderCopy) {
  const std::string inWindows = WindowsFolder() + "\\orq_LogFile_bare_name.log";
  DeleteFileA(inWindows.c_str());
  LogInit(kLogLevelStatus, "orq_LogFile_bare_name.log");
  LogStatus("bare name");
  const std::string bare = ReadTextFile(inWindows);
  DeleteFileA(inWindows.c_str());
  EXPECT_TRUE(EndsWithLine(bare, "bare name")) << bare;

  const std::string copy = TempFolder() + "orq_held.log";
  const std::string held = dir_ + "\\orq_held.log";
  DeleteFileA(copy.c_str());
  UniqueKernelHandle holder(CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  LogInit(kLogLevelStatus, held);
  LogStatus("while held");
  holder.Reset();
  const std::string copied = ReadTextFile(copy);
  DeleteFileA(copy.c_str());
  EXPECT_EQ(ReadTextFile(held), "");
  EXPECT_TRUE(EndsWithLine(copied, "while held")) << copied;
}

TEST_F(LogFile, LinesKeepTheCallersLastErrorAndAgentLogLastErrorWritesItsSystemText) {
  SetLastError(1234);
  // Creating the file, appending to it, and failing to open anything.
  for (const std::string& name : {path_, path_, std::string("Q:\\no\\such\\folder\\")}) {
    LogInit(kLogLevelStatus, name);
    LogStatus("line");
    EXPECT_EQ(GetLastError(), 1234u) << name;
  }

  const std::size_t start = ReadTextFile(agentPath_).size();
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(AgentLogLastError("Cannot delete %s", "x.txt"), 5u);
  EXPECT_EQ(GetLastError(), 5u);
  SetLastError(0x2000BEEF);  // a code without a system text
  EXPECT_EQ(AgentLogLastError("custom code"), 0x2000BEEFu);

  std::string system(1024, '\0');
  system.resize(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               5, 0, system.data(), 1024, nullptr));
  const std::string detail = " GetLastError returned 5[5h] : " + system + "\r\n";
  const std::string added = ReadTextFile(agentPath_).substr(start);
  const std::size_t detailAt = added.find(detail);
  EXPECT_NE(detailAt, std::string::npos) << added;
  EXPECT_LT(added.find(" Cannot delete x.txt\r\n"), detailAt) << added;
  EXPECT_NE(added.find(" GetLastError returned 536919791[2000beefh] : error in "
                       "FormatMessage "),
            std::string::npos)
      << added;
}
}  // namespace
