#pragma once
// What the cabinet tests share: OrqCab.exe registered in the test prefix, the engine
// run in this process with COM entered, a copy of the test cabinet in the scratch
// folder, and the Params= text in its hexadecimal form.
#include <windows.h>

#include <string>

#include "commands/interaction/restart_families.h"
#include "engine/host_values.h"
#include "support_code/script_test.h"
#include "tools/cabinet_writer.h"

inline const char* const kOrqCabKey = "SOFTWARE\\Orqex\\OrqCab";

inline std::string HexParams(const std::string& text) {
  std::string hex;
  for (unsigned char c : text) hex += "0123456789ABCDEF"[c >> 4], hex += "0123456789ABCDEF"[c & 15];
  return hex;
}

inline void RegisterOrqCab(const char* action) {
  ASSERT_EQ(RunProgram("\"" + TestBinDir() + "\\OrqCab.exe\" " + action).exitCode, 0u) << action;
}

// The files of the test cabinet.
inline const std::vector<CabinetEntry>& TestCabinetEntries() {
  static const std::vector<CabinetEntry> entries = {
      {"readme.txt", 1000}, {"bin\\tool.dat", 70000}, {"docs\\deep\\note.txt", 3}};
  return entries;
}

// The silence limit of these tests (the product's is 60 s); the programs they start
// inherit it.
constexpr DWORD kSilenceMs = 10000;

class CabinetTest : public ScriptTest {
 protected:
  static void SetUpTestSuite() {
    RegisterOrqCab("/RegServer");
    SetEnvironmentVariableA("ORQEX_TEST_CAB_SILENCE_MS", std::to_string(kSilenceMs).c_str());
  }
  // Every test is a run of its own, with an installer of its own.
  void SetUp() override {
    ScriptTest::SetUp();
    CoInitialize(nullptr);
    TheHostValues().rawParams.clear();
    cab_ = dir_ + "\\test.cab";
    ASSERT_TRUE(WriteCabinet(cab_, TestCabinetEntries()));
  }
  void TearDown() override {
    TheHostValues().rawParams.clear();
    ReleaseRunCabInstaller();
    CoUninitialize();
    ScriptTest::TearDown();
  }
  std::string cab_;
};
