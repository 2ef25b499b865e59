// Whole runs through the test agent (tests/helpers/test_agent.cpp), which records every
// call Orqex makes on the agent's interfaces.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

namespace {
struct AgentCase {
  std::string name;
  std::string script;  // empty: no script file is written
  std::string switches;
  DWORD exitCode;
  std::vector<std::string> calls;  // the record, line by line, "Exit" line included
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

DWORD RunAgent(const std::string& record, const std::string& arguments) {
  std::string commandLine = "\"" + TestBinDir() + "\\test_agent.exe\" " + record + " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return 0xFFFFFFFF;
  }
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  WaitForSingleObject(process.Get(), 200000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(process.Get(), &code);
  return code;
}

TEST(AgentLink, TheAgentGetsEveryProgressInOrderAndFinishedOnceWithTheRightValues) {
  const std::string fail = "Finished 0x80004005 Orqex Script: ";
  const std::vector<AgentCase> cases = {
      {"Success",
       "[DefaultInstall]\r\nSET N=files\r\nPROGRESS 10,20,3,Copying %%N%%\r\nPROGRESS 40,50\r\n"
       "SETFINALSTATUS -5, Update failed\r\nPROGRESS -1,99999999999,x,last, not this\r\n",
       "",
       0,
       {"Progress 10 20 3 Copying files", "Progress 40 50 0 ", "Progress -1 2147483647 0 last",
        "Finished 0xFFFFFFFB Update failed", "Exit 0"}},
      {"FailingLine",
       "[DefaultInstall]\r\nSETFINALSTATUS 0,fine\r\nPROGRESS 1,2,3,before\r\nSET X\r\n"
       "PROGRESS 4,5,6,never\r\n",
       "",
       23,
       {"Progress 1 2 3 before", fail + "Nowhere to put value.<br>SET X", "Exit 23"}},
      {"MissingField",
       "[DefaultInstall]\r\nPROGRESS 1,,3,text\r\n",
       "",
       51,
       {fail + "Invalid switch or value supplied in command line parameters.<br>PROGRESS 1,,3,text",
        "Exit 51"}},
      {"NotLoaded", "", "", 9, {fail + "File could not be opened.<br>", "Exit 9"}},
      {"NoStartSection",
       "[Other]\r\nSET A=1\r\n",
       "",
       7,
       {fail + "Unable to find 'Main' section.<br>", "Exit 7"}},
      {"Quiet",
       "[DefaultInstall]\r\nPROGRESS 1,2,3,hidden\r\nSETFINALSTATUS 3,q\r\n",
       "/Quiet",
       0,
       {"Finished 0x00000003 q", "Exit 0"}},
  };
  std::vector<std::string> dirs(cases.size());
  std::vector<DWORD> exits(cases.size());
  std::vector<std::thread> runs;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    dirs[i] = MakeScratchDir("agent_" + cases[i].name);
    if (!cases[i].script.empty()) WriteTextFile(dirs[i] + "\\s.Orq", cases[i].script);
    runs.emplace_back([&, i] {
      exits[i] =
          RunAgent(dirs[i] + "\\calls.txt", "/Script=" + dirs[i] + "\\s.Orq /Log=" + dirs[i] +
                                                "\\run.log " + cases[i].switches);
    });
  }
  for (std::thread& run : runs) run.join();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(exits[i], cases[i].exitCode);
    EXPECT_EQ(Lines(ReadTextFile(dirs[i] + "\\calls.txt")), cases[i].calls);
    RemoveFolderTree(dirs[i]);
  }
}

TEST(AgentLink, WithoutTheSwitchesTheRunIsUnchanged) {
  const std::string dir = MakeScratchDir("agent_NoSwitches");
  OrqexRun run = RunScript(dir,
                           "[DefaultInstall]\r\nPROGRESS 1,2,3,x\r\nSETFINALSTATUS -5,x\r\n"
                           "SET Done=1\r\nPROGRESS 1\r\n");
  EXPECT_EQ(run.exitCode, 51u);  // the missing field still counts
  const std::string log = ReadTextFile(dir + "\\run.log");
  EXPECT_NE(log.find("Executing line 5: PROGRESS 1"), std::string::npos) << log;
  // A packet that is no packet connects nothing and stops nothing.
  run = RunScript(dir, "[DefaultInstall]\r\nPROGRESS 1,2,3,x\r\n", "/CallBack=4D4 /AppUtil=ZZ");
  EXPECT_EQ(run.exitCode, 0u);
  RemoveFolderTree(dir);
}
}  // namespace
