#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/log.h"
#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

namespace {
const char* const kAgentKey = "SOFTWARE\\Tevlin\\Agent";
constexpr DWORD kDefaultLimit = 2097152;

std::string TestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

std::string WindowsDir() {
  char dir[MAX_PATH];
  UINT n = GetWindowsDirectoryA(dir, MAX_PATH);
  return std::string(dir, n);
}

std::string TempDir() {
  char dir[MAX_PATH + 1];
  DWORD n = GetTempPathA(MAX_PATH + 1, dir);
  return std::string(dir, n);
}

void FillFile(const std::string& path, DWORD size) { WriteTextFile(path, std::string(size, 'f')); }

// One line's bytes as the writer makes them, without its time stamp and process fields.
std::string Tail(const std::string& message) { return " " + message + "\r\n"; }

// Saves the log-limit values and the key on entry, restores them on exit.
class SavedAgentValues {
 public:
  SavedAgentValues() {
    HKEY probe = nullptr;
    keyExisted_ =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAgentKey, 0, KEY_READ, &probe) == ERROR_SUCCESS;
    if (probe) RegCloseKey(probe);
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAgentKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                    key_.Put(), nullptr);
    for (Saved& s : saved_) {
      DWORD size = 0;
      s.present =
          RegQueryValueExA(key_.Get(), s.name, nullptr, &s.type, nullptr, &size) == ERROR_SUCCESS;
      s.data.resize(size);
      if (s.present) RegQueryValueExA(key_.Get(), s.name, nullptr, &s.type, s.data.data(), &size);
      RegDeleteValueA(key_.Get(), s.name);
    }
  }
  ~SavedAgentValues() {
    for (Saved& s : saved_) {
      RegDeleteValueA(key_.Get(), s.name);
      if (s.present) {
        RegSetValueExA(key_.Get(), s.name, 0, s.type, s.data.data(),
                       static_cast<DWORD>(s.data.size()));
      }
    }
    key_.Reset();
    if (!keyExisted_) RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAgentKey);
  }
  void SetDword(const char* name, DWORD value) {
    RegSetValueExA(key_.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
  }
  // Values stay set only around the lines that need them: other programs in this Windows
  // installation log meanwhile and obey them too.
  void Clear() {
    for (Saved& s : saved_) RegDeleteValueA(key_.Get(), s.name);
  }
  void SetRaw(const char* name, DWORD type, const std::vector<BYTE>& bytes) {
    RegSetValueExA(key_.Get(), name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
  }

 private:
  struct Saved {
    explicit Saved(const char* valueName) : name(valueName) {}
    const char* name;
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
  };
  Saved saved_[2] = {Saved("dwMaxLogfileSize"), Saved("dwMaxLog2fileSize")};
  UniqueRegKey key_;
  bool keyExisted_ = false;
};

// The limits and the second log are shared by the whole installation: these tests take
// turns, also when run as separate processes at the same time.
class SettingsTurn {
 public:
  SettingsTurn() : mutex_(CreateMutexA(nullptr, FALSE, "OrqLogFileTestSettingsTurn")) {
    if (mutex_) WaitForSingleObject(mutex_.Get(), 60000);
  }
  ~SettingsTurn() {
    if (mutex_) ReleaseMutex(mutex_.Get());
  }

 private:
  UniqueKernelHandle mutex_;
};

class LogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir("LogFile_" + TestName());
    path_ = dir_ + "\\run.log";
    agentPath_ = WindowsDir() + "\\" + kAgentLogName;
    agentBefore_ = ReadTextFile(agentPath_);
    agentExisted_ = FileExists(agentPath_);
  }
  void TearDown() override {
    LogInit(kLogLevelStatus, "");
    if (agentExisted_) {
      WriteTextFile(agentPath_, agentBefore_);
    } else {
      DeleteFileA(agentPath_.c_str());
    }
    RemoveFolderTree(dir_);
  }
  SettingsTurn turn_;  // first: taken before the values are saved, given back after
  std::string dir_, path_, agentPath_, agentBefore_;
  bool agentExisted_ = false;
  SavedAgentValues values_;
};

TEST_F(LogFile, LineHasTheLocalTimeProgramNameAndProcessId) {
  SYSTEMTIME before, after;
  GetLocalTime(&before);
  LogInit(kLogLevelStatus, path_);
  LogStatus("hello %d\nsecond part", 42);
  GetLocalTime(&after);

  char pid[16];
  std::snprintf(pid, sizeof pid, "%03lx", GetCurrentProcessId());
  const std::string fields =
      " \\orq_support_tests:" + std::string(pid) + " hello 42\nsecond part\r\n";
  std::string text = ReadTextFile(path_);
  ASSERT_EQ(text.size(), 14 + fields.size()) << text;
  EXPECT_EQ(text.substr(14), fields);
  auto stamp = [](const SYSTEMTIME& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%02d-%02d %02d:%02d:%02d", t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return std::string(s);
  };
  std::string written = text.substr(0, 14);
  EXPECT_TRUE(written >= stamp(before) && written <= stamp(after)) << written;
}

TEST_F(LogFile, LongMessagesAreCutAndEmptyOnesWriteNothing) {
  LogInit(kLogLevelStatus, path_);
  LogStatus("%s", "");
  EXPECT_FALSE(FileExists(path_));
  LogStatus("%s", std::string(5000, 'x').c_str());
  std::string text = ReadTextFile(path_);
  EXPECT_EQ(text.size(), 3071u);
  EXPECT_EQ(text.substr(text.size() - 4), "xxxx");
}

TEST_F(LogFile, DefaultLimitEmptiesOnlyAFileLargerThan2MiB) {
  LogInit(kLogLevelStatus, path_);
  FillFile(path_, kDefaultLimit);
  LogStatus("at the limit");
  std::string text = ReadTextFile(path_);
  EXPECT_EQ(text.substr(0, kDefaultLimit), std::string(kDefaultLimit, 'f'));
  EXPECT_EQ(text.substr(text.size() - Tail("at the limit").size()), Tail("at the limit"));

  FillFile(path_, kDefaultLimit + 1);
  LogStatus("past the limit");
  text = ReadTextFile(path_);
  EXPECT_LT(text.size(), 100u);
  EXPECT_EQ(text.substr(text.size() - Tail("past the limit").size()), Tail("past the limit"));
  EXPECT_EQ(text.find('f'), std::string::npos);
}

TEST_F(LogFile, MainLimitCountsMegabytesAndIsReadAtEveryLine) {
  LogInit(kLogLevelStatus, path_);
  LogStatus("first");
  values_.SetDword("dwMaxLogfileSize", 0);
  LogStatus("second");
  LogStatus("third");
  values_.Clear();
  std::string text = ReadTextFile(path_);
  EXPECT_EQ(text.find("first"), std::string::npos);
  EXPECT_EQ(text.find("second"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - Tail("third").size()), Tail("third"));
  EXPECT_LT(text.size(), 60u);

  FillFile(path_, 5 * 1048576);
  values_.SetDword("dwMaxLogfileSize", 5);
  LogStatus("kept");
  values_.Clear();
  std::string text5 = ReadTextFile(path_);
  EXPECT_EQ(text5.find_first_not_of('f'), 5u * 1048576);
  EXPECT_EQ(text5.substr(text5.size() - Tail("kept").size()), Tail("kept"));
  FillFile(path_, 5 * 1048576 + 1);
  values_.SetDword("dwMaxLogfileSize", 5);
  LogStatus("emptied");
  values_.Clear();
  EXPECT_LT(ReadTextFile(path_).size(), 60u);

  // 4096 MB overflows 32 bits to a limit of 0.
  FillFile(path_, 1);
  values_.SetDword("dwMaxLogfileSize", 4096);
  LogStatus("wrapped");
  values_.Clear();
  EXPECT_EQ(ReadTextFile(path_).find("ffff"), std::string::npos);
}

TEST_F(LogFile, LimitValueIsAnyFourByteValueAndTheDefaultOtherwise) {
  LogInit(kLogLevelStatus, path_);
  // Eight bytes do not count: the default applies and a small file is appended to.
  FillFile(path_, 10);
  values_.SetRaw("dwMaxLogfileSize", REG_QWORD, std::vector<BYTE>(8, 0));
  LogStatus("qword");
  values_.Clear();
  EXPECT_EQ(ReadTextFile(path_).substr(0, 10), std::string(10, 'f'));
  // Four bytes of any type are read as the number.
  values_.SetRaw("dwMaxLogfileSize", REG_BINARY, std::vector<BYTE>(4, 0));
  LogStatus("binary");
  values_.Clear();
  EXPECT_EQ(ReadTextFile(path_).find("ffff"), std::string::npos);
}

TEST_F(LogFile, SecondLogHasItsOwnLimitInBytes) {
  FillFile(agentPath_, 5);
  values_.SetDword("dwMaxLog2fileSize", 5);
  AgentLog("agent at limit");
  values_.Clear();
  EXPECT_EQ(ReadTextFile(agentPath_).substr(0, 5), "fffff");
  FillFile(agentPath_, 6);
  values_.SetDword("dwMaxLog2fileSize", 5);
  AgentLog("agent past limit");
  values_.Clear();
  std::string text = ReadTextFile(agentPath_);
  EXPECT_EQ(text.find('f'), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - Tail("agent past limit").size()), Tail("agent past limit"));

  // The main log does not obey the second log's value.
  LogInit(kLogLevelStatus, path_);
  FillFile(path_, 6);
  values_.SetDword("dwMaxLog2fileSize", 5);
  LogStatus("main");
  values_.Clear();
  EXPECT_EQ(ReadTextFile(path_).substr(0, 6), "ffffff");
}

TEST_F(LogFile, NameWithoutBackslashLivesInTheWindowsDirectory) {
  const std::string name = "orq_LogFile_bare_name.log";
  const std::string inWindows = WindowsDir() + "\\" + name;
  DeleteFileA(inWindows.c_str());
  LogInit(kLogLevelStatus, name);
  LogStatus("bare name");
  std::string text = ReadTextFile(inWindows);
  DeleteFileA(inWindows.c_str());
  EXPECT_EQ(text.substr(text.size() - Tail("bare name").size()), Tail("bare name"));
}

TEST_F(LogFile, LogHeldOpenByAnotherHandleGoesToTheTempFolderCopy) {
  const std::string held = dir_ + "\\orq_LogFile_held.log";
  const std::string copy = TempDir() + "orq_LogFile_held.log";
  DeleteFileA(copy.c_str());
  UniqueKernelHandle holder(CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  LogInit(kLogLevelStatus, held);
  LogStatus("while held");
  holder.Reset();
  std::string text = ReadTextFile(copy);
  DeleteFileA(copy.c_str());
  EXPECT_EQ(ReadTextFile(held), "");
  ASSERT_GE(text.size(), Tail("while held").size());
  EXPECT_EQ(text.substr(text.size() - Tail("while held").size()), Tail("while held"));
}

TEST_F(LogFile, WritingALineKeepsTheCallersLastError) {
  LogInit(kLogLevelStatus, path_);
  SetLastError(1234);
  LogStatus("first line creates the file");
  EXPECT_EQ(GetLastError(), 1234u);
  LogStatus("second line opens an existing file");
  EXPECT_EQ(GetLastError(), 1234u);
  LogInit(kLogLevelStatus, "Q:\\no\\such\\folder\\");
  LogStatus("lost");
  EXPECT_EQ(GetLastError(), 1234u);
}

TEST_F(LogFile, AgentLogLastErrorWritesTheSystemTextAndKeepsTheCode) {
  const std::string file = dir_ + "\\locked.txt";
  WriteTextFile(file, "x");
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::size_t start = ReadTextFile(agentPath_).size();
  ASSERT_FALSE(DeleteFileA(file.c_str()));
  ASSERT_EQ(GetLastError(), 5u);

  EXPECT_EQ(AgentLogLastError("Cannot delete %s", file.c_str()), 5u);
  EXPECT_EQ(GetLastError(), 5u);

  char* system = nullptr;
  FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, 5, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&system), 0,
      nullptr);
  ASSERT_NE(system, nullptr);
  const std::string systemText = system;
  LocalFree(system);
  std::string added = ReadTextFile(agentPath_).substr(start);
  std::size_t caller = added.find(Tail("Cannot delete " + file));
  std::size_t detail = added.find(Tail("GetLastError returned 5[5h] : " + systemText));
  EXPECT_NE(caller, std::string::npos) << added;
  EXPECT_NE(detail, std::string::npos) << added;
  EXPECT_LT(caller, detail);
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);

  // A code without a system text says why the text is missing.
  SetLastError(0x2000BEEF);
  EXPECT_EQ(AgentLogLastError("custom code"), 0x2000BEEFu);
  EXPECT_EQ(GetLastError(), 0x2000BEEFu);
  added = ReadTextFile(agentPath_).substr(start);
  EXPECT_NE(added.find(" GetLastError returned 536919791[2000beefh] : error in FormatMessage "),
            std::string::npos)
      << added;
}
}  // namespace
