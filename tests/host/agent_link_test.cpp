// Whole runs through the test agent, which records every call on the agent's interfaces.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "support_code/win32_test_utils.h"

namespace {
TEST(AgentLink, TheAgentGetsEveryProgressInOrderAndFinishedOnceWithTheRightValues) {
  const std::string fail = "Finished 0x80004005 Orqex Script: ";
  const struct {
    std::string name, script, switches;  // no script: no file is written
    std::vector<std::string> calls;      // the record; its "Exit" line is the exit code
  } cases[] = {
      {"Success",
       "[DefaultInstall]\r\nSET N=files\r\nPROGRESS 10,20,3,Copying %%N%%\r\nPROGRESS 40,50\r\n"
       "STARTUSERAPP prog one.exe /x , 42\r\nCLOSEUSERAPP  prog one.exe\r\n"
       "SETFINALSTATUS -5, Update failed\r\nPROGRESS -1,99999999999,x,last, not this\r\n",
       "",
       {"Progress 10 20 3 Copying files", "Progress 40 50 0 ",
        "StartApplication 42 prog one.exe /x", "CloseApplication 30000 -1 prog one.exe|",
        "Progress -1 2147483647 0 last", "Finished 0xFFFFFFFB Update failed", "Exit 0"}},
      {"FailingLine",
       "[DefaultInstall]\r\nSETFINALSTATUS 0,fine\r\nPROGRESS 1,2,3,before\r\nSET X\r\n"
       "PROGRESS 4,5,6,never\r\n",
       "",
       {"Progress 1 2 3 before", fail + "Nowhere to put value.<br>SET X", "Exit 23"}},
      {"NotLoaded", "", "", {fail + "File could not be opened.<br>", "Exit 9"}},
      {"NoScriptNamed", "", "/Quiet /Script=", {"Exit 57"}},  // no run, so no Finished
      {"NoStartSection", "[Other]\r\nSET A=1\r\n", "",
       {fail + "Unable to find 'Main' section.<br>", "Exit 7"}},
      {"Quiet",  // of the application calls only the close is asked for
       "[DefaultInstall]\r\nPROGRESS 1,2,3,hidden\r\nSTARTUSERAPP p.exe,1\r\nCLOSEUSERAPP p.exe\r\n"
       "SETFINALSTATUS 3,q\r\n",
       "/Quiet",
       {"CloseApplication 30000 -1 p.exe|", "Finished 0x00000003 q", "Exit 0"}},
      {"WhatIf",  // progress still goes out; the held-back message box blocks nothing
       "[DefaultInstall]\r\nPROGRESS 1,2,3,seen\r\nSHOWMSG hello\r\nSETFINALSTATUS 0,done\r\n",
       "/WhatIf",
       {"Progress 1 2 3 seen", "Finished 0x00000000 WhatIf run: nothing on this machine was changed. done",
        "Exit 0"}},
      {"CheckTellsTheAgentNothing",  // a check runs no line and sends nothing
       "[DefaultInstall]\r\nPROGRESS 1,2,3,never\r\nCALL Missing\r\n", "/Check", {"Exit 4"}},
      {"PacketsThatAreNoPackets",  // the later switches win: nothing connects, the run goes on
       "[DefaultInstall]\r\nPROGRESS 1,2,3,x\r\nSTARTUSERAPP p.exe,1\r\nCLOSEUSERAPP p.exe\r\n"
       "SETFINALSTATUS -5,x\r\n",
       "/CallBack=4D4 /AppUtil=ZZ", {"Exit 0"}}};
  std::vector<std::string> dirs;
  std::vector<std::thread> runs;
  for (const auto& one : cases) {
    const std::string dir = dirs.emplace_back(MakeScratchDir("agent_" + one.name));
    if (!one.script.empty()) WriteTextFile(dir + "\\s.Orq", one.script);
    runs.emplace_back([command = "\"" + TestBinDir() + "\\test_agent.exe\" " + dir +
                                 "\\calls.txt /Script=" + dir + "\\s.Orq /Log=" + dir +
                                 "\\run.log " + one.switches] { RunProgram(command, 200000); });
  }
  for (std::thread& run : runs) run.join();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].name);
    std::string calls;
    for (const std::string& call : cases[i].calls) calls += call + "\r\n";
    EXPECT_EQ(ReadTextFile(dirs[i] + "\\calls.txt"), calls);
    RemoveFolderTree(dirs[i]);
  }
}
}  // namespace
