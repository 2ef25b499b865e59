#pragma once
// Shared helpers for tests under Wine; the build puts Orqex.exe beside every test program.
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/win_handles.h"

// The folder of the running test program, without a trailing backslash.
std::string TestBinDir();
// The Z: name of a file of the source tree ($ORQ_SOURCE_DIR); empty when that is not set.
std::string SourceTreePath(const std::string& relative);
// A fresh, empty folder C:\orqtest\<name> (what a previous run left is removed first).
std::string MakeScratchDir(const std::string& name);
// Removes a folder and everything below it; no error if it is missing.
void RemoveFolderTree(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& bytes);
// The file's bytes; empty when it does not exist.
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);

// The started process (empty if none); with `readyEvent`, once it set that event or ended.
UniqueKernelHandle StartProgram(std::string commandLine, const char* readyEvent = nullptr);
// The exit code of a process that ends within `ms`; 0xFFFFFFFF otherwise.
DWORD WaitExit(const UniqueKernelHandle& process, DWORD ms = 60000);

// A started program, ended (terminated if still running) when its owner goes.
struct StartedProgram {
  UniqueKernelHandle process;
  bool Ended(DWORD waitMs = 0) const {
    return WaitForSingleObject(process.Get(), waitMs) == WAIT_OBJECT_0;
  }
  DWORD ExitCode() const { return WaitExit(process, 0); }
  ~StartedProgram();
};
// Starts a copy of `helper` at `path`, so that searches by path find exactly it.
std::unique_ptr<StartedProgram> StartProgramCopy(const std::string& helper, const std::string& path,
                                                 const std::string& arguments,
                                                 const char* readyEvent = nullptr);
// A windowless program that lives for a minute.
inline std::unique_ptr<StartedProgram> StartIdleCopy(const std::string& path) {
  return StartProgramCopy("exit_after_delay.exe", path, "60000");
}
// Runs a Unix shell command through Z:\bin\sh: its exit status, -1 when none within 30 s.
int RunUnixShell(const std::string& command);
// The Unix name of a Windows path (its last part need not exist); empty when Wine has none.
std::string UnixPath(const std::string& windowsPath);
// Every process of this prefix: its program's file name and its id.
std::vector<std::pair<std::string, DWORD>> RunningProcesses();
// A shell folder's path (CSIDL_...), or "" when the shell has none.
std::string ShellFolder(int id);
// The short form of an existing path ("" when the system has none).
std::string ShortName(const std::string& path);
// A service's state, or 0 when the service manager knows no such service.
DWORD ServiceState(const std::string& name);

// Copies Orqex.exe to `path`, a file name that Wine then reports Windows 98 to.
void CopyOrqexAsNineEight(const std::string& path);

struct OrqexRun {
  DWORD exitCode = 0xFFFFFFFF;
  bool timedOut = false;
};
// Starts a program and waits for it to end (terminated after `timeoutMs`).
OrqexRun RunProgram(const std::string& commandLine, DWORD timeoutMs = 60000);
// Starts "<bin>\Orqex.exe <arguments>" and waits for it to end.
OrqexRun RunOrqex(const std::string& arguments, DWORD timeoutMs = 60000);
// Runs <dir>\<name> logging to <dir>\run.log; a script that ran to its end must check clean.
OrqexRun RunScript(const std::string& dir, const std::string& script,
                   const std::string& extraArgs = "", const std::string& name = "test.Orq");

// An error the check found in a script that works would stop an author's pipeline.
void ExpectNoCheckError(const std::string& script, const std::string& startSection);

// The message part of each line of a run log ("" for a line that does not have the log's form).
std::vector<std::string> LogMessages(const std::string& log);
