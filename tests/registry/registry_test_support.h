#pragma once
// Runs script lines through the program's dispatcher in this process and reads effects
// back with the plain registry and profile functions. Every test gets a scratch folder
// and a scratch key named after it, both removed at the end.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "engine/final_status.h"
#include "engine/runner.h"
#include "engine/script_file.h"
#include "engine/script_model.h"
#include "host/command_families.h"
#include "support/log.h"
#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

struct RegistryReadBack {
  bool found = false;
  DWORD type = REG_NONE;
  std::string data;  // raw bytes as stored

  DWORD AsDword() const {
    DWORD value = 0;
    if (data.size() >= sizeof value) memcpy(&value, data.data(), sizeof value);
    return value;
  }
  // A string value without its terminating zero.
  std::string AsString() const { return std::string(data.c_str()); }
};

inline RegistryReadBack ReadRegistryValue(HKEY root, const std::string& subKey,
                                          const std::string& name) {
  RegistryReadBack result;
  UniqueRegKey key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) {
    return result;
  }
  DWORD size = 0;
  if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &result.type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return result;
  }
  result.data.assign(size, '\0');
  result.found =
      RegQueryValueExA(key.Get(), name.c_str(), nullptr, &result.type,
                       reinterpret_cast<BYTE*>(result.data.data()), &size) == ERROR_SUCCESS;
  result.data.resize(size);
  return result;
}

inline bool RegistryKeyExists(HKEY root, const std::string& subKey) {
  UniqueRegKey key;
  return RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// Creates the key (and the levels above it) and, when `name` is given, a value in it.
inline void PutRegistryValue(HKEY root, const std::string& subKey, const char* name = nullptr,
                             DWORD type = REG_SZ, const std::string& bytes = std::string()) {
  UniqueRegKey key;
  ASSERT_EQ(RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                            nullptr),
            ERROR_SUCCESS)
      << subKey;
  if (name) {
    ASSERT_EQ(RegSetValueExA(key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }
}

inline std::string StringBytes(const std::string& text) {
  return std::string(text.c_str(), text.size() + 1);
}
inline std::string DwordBytes(DWORD value) {
  return std::string(reinterpret_cast<char*>(&value), 4);
}

inline std::string IniEntry(const std::string& path, const char* section, const char* key) {
  std::string value(4096, '\0');
  DWORD n = GetPrivateProfileStringA(section, key, "<none>", value.data(),
                                     static_cast<DWORD>(value.size()), path.c_str());
  value.resize(n);
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
    SHDeleteKeyA(HKEY_CURRENT_USER, scratchKey_.c_str());
    LogInit(kLogLevelStatus, dir_ + "\\run.log");
    TheFinalStatus() = FinalStatus{};
  }
  void TearDown() override {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, scratchKey_.c_str());
    SHDeleteKeyA(HKEY_CURRENT_USER, scratchKey_.c_str());
    // The common parent goes with the last test that used it.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OrqTest");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrqTest");
    RemoveFolderTree(dir_);
  }

  // Runs the lines as section DefaultInstall; the context stays for Symbol().
  unsigned Run(std::initializer_list<std::string> lines) {
    std::string text = "[DefaultInstall]\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    ctx_ = std::make_unique<EngineContext>();
    ctx_->handlers = &BuildHandlerTable();
    ctx_->scriptDir = dir_;
    DeleteFileA((dir_ + "\\run.log").c_str());
    unsigned parsed = ParseScript(*ctx_, text);
    EXPECT_EQ(parsed, 0u);
    return parsed ? parsed : ScriptRun(*ctx_, "DefaultInstall");
  }

  // The symbol's value, or "<unset>".
  std::string Symbol(const std::string& name) const {
    const std::string* value = ctx_ ? ctx_->symbols.Find(name) : nullptr;
    return value ? *value : "<unset>";
  }
  // The code of the last reported error (0: nothing reported).
  unsigned Reported() const { return ctx_ ? ctx_->lastError : 0; }
  std::string Log() const { return ReadTextFile(dir_ + "\\run.log"); }

  // "HKLM\Software\OrqTest\<test>" plus an optional tail.
  std::string Key(const std::string& tail = "", const char* prefix = "HKLM\\") const {
    return prefix + scratchKey_ + (tail.empty() ? "" : "\\" + tail);
  }
  std::string Sub(const std::string& tail = "") const {
    return scratchKey_ + (tail.empty() ? "" : "\\" + tail);
  }

  std::string name_;
  std::string dir_;
  std::string scratchKey_;
  std::unique_ptr<EngineContext> ctx_;
};
