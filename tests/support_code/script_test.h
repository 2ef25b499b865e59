#pragma once
// Script lines run in this process; each test gets a scratch folder and key of its own.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/final_status.h"
#include "engine/runner.h"
#include "engine/script_file.h"
#include "engine/script_model.h"
#include "host/command_families.h"
#include "support/log.h"
#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

// A value's type and bytes as stored; {REG_NONE, ""} when it is missing.
using StoredValue = std::pair<DWORD, std::string>;
// A string value with its terminating zero.
inline StoredValue Sz(const std::string& text) {
  return {REG_SZ, std::string(text.c_str(), text.size() + 1)};
}
inline StoredValue Dword(DWORD value) {
  return {REG_DWORD, std::string(reinterpret_cast<char*>(&value), sizeof value)};
}

// Values another program also writes may grow between two reads.
inline StoredValue ReadRegistryValue(HKEY root, const std::string& subKey, const char* name) {
  UniqueRegKey key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) {
    return {REG_NONE, ""};
  }
  DWORD type = REG_NONE, size = 4096;
  std::string data(size, '\0');
  LONG result;
  while ((result = RegQueryValueExA(key.Get(), name, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &size)) ==
         ERROR_MORE_DATA) {
    data.resize(size);
  }
  if (result != ERROR_SUCCESS) return {REG_NONE, ""};
  return {type, data.substr(0, size)};
}

inline bool RegistryKeyExists(HKEY root, const std::string& subKey) {
  UniqueRegKey key;
  return RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// Creates the key (and the levels above it) and, when `name` is given, a value in it.
inline void PutRegistryValue(HKEY root, const std::string& subKey, const char* name = nullptr,
                             const StoredValue& value = {}) {
  UniqueRegKey key;
  ASSERT_EQ(RegCreateKeyA(root, subKey.c_str(), key.Put()), ERROR_SUCCESS) << subKey;
  if (name) {
    ASSERT_EQ(RegSetValueExA(key.Get(), name, 0, value.first,
                             reinterpret_cast<const BYTE*>(value.second.data()),
                             static_cast<DWORD>(value.second.size())),
              ERROR_SUCCESS);
  }
}

// The entry through the profile functions, or "<none>".
inline std::string IniEntry(const std::string& path, const char* section, const char* key) {
  std::string value(4096, '\0');
  value.resize(GetPrivateProfileStringA(section, key, "<none>", value.data(), 4096, path.c_str()));
  return value;
}

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    name_ = std::string(info->test_suite_name()) + "_" + info->name();
    dir_ = MakeScratchDir(name_);
    scratchKey_ = "Software\\OrqTest\\" + name_;
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, scratchKey_.c_str());
    LogInit(kLogLevelStatus, dir_ + "\\run.log");
    TheFinalStatus() = FinalStatus{};
  }
  void TearDown() override {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, scratchKey_.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OrqTest");  // goes with the last test
    RemoveFolderTree(dir_);
  }

  // Runs the lines as section DefaultInstall; the context stays for Symbol().
  unsigned Run(const std::vector<std::string>& lines) {
    std::string text = "[DefaultInstall]\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    ctx_ = std::make_unique<EngineContext>();
    ctx_->handlers = &BuildHandlerTable();
    ctx_->scriptDir = dir_;
    DeleteFileA((dir_ + "\\run.log").c_str());
    unsigned parsed = ParseScript(*ctx_, text);
    EXPECT_EQ(parsed, 0u);
    const unsigned status = parsed ? parsed : ScriptRun(*ctx_, "DefaultInstall");
    if (status == 0) ExpectNoCheckError(text, "DefaultInstall");
    return status;
  }

  // The symbol's value, or "<unset>".
  std::string Symbol(const std::string& name) const {
    const std::string* value = ctx_ ? ctx_->symbols.Find(name) : nullptr;
    return value ? *value : "<unset>";
  }
  std::string Log() const { return ReadTextFile(dir_ + "\\run.log"); }

  // Runs `before` and the lines in one section; each line's symbol must hold its answer.
  using Answer = std::pair<std::string, std::string>;
  void ExpectAnswers(const std::vector<Answer>& rows, std::vector<std::string> before = {}) {
    for (const auto& [line, answer] : rows) before.push_back(line);
    ASSERT_EQ(Run(before), 0u) << Log();
    for (const auto& [line, answer] : rows) {
      std::size_t start = line.find(' ') + 1;
      EXPECT_EQ(Symbol(line.substr(start, line.find('=') - start)), answer) << line;
    }
  }

  // Each line alone ends its section with its code (logged as an error when `reported`).
  using Failure = std::pair<std::string, unsigned>;
  void ExpectFailures(const std::vector<Failure>& rows, bool reported = true) {
    for (const auto& [line, code] : rows) {
      SCOPED_TRACE(line);
      EXPECT_EQ(Run({line, "SET After=1"}), code);
      EXPECT_EQ(ctx_->lastError, reported ? code : 0u);
      EXPECT_EQ(Symbol("After"), "<unset>");
      EXPECT_EQ(Log().find("Error:") != std::string::npos, reported) << Log();
    }
  }

  // "HKLM\Software\OrqTest\<test>" plus an optional tail; Sub() is the same without "HKLM\".
  std::string Key(const std::string& tail = "") const { return "HKLM\\" + Sub(tail); }
  std::string Sub(const std::string& tail = "") const {
    return scratchKey_ + (tail.empty() ? "" : "\\" + tail);
  }
  StoredValue Value(const char* name, const std::string& tail = "") const {
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub(tail), name);
  }

  std::string name_;
  std::string dir_;
  std::string scratchKey_;
  std::unique_ptr<EngineContext> ctx_;
};
