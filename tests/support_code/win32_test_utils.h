#pragma once
// Shared helpers for tests that run under Wine: scratch folders, files, and whole runs of
// Orqex.exe (which the build puts beside every test program).
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/win_handles.h"

// The folder of the running test program, without a trailing backslash.
std::string TestBinDir();
// The Windows name (through Z:) of a file of the source tree named by the environment
// variable ORQ_SOURCE_DIR; empty when that is not set.
std::string SourceTreePath(const std::string& relative);
// A fresh, empty folder C:\orqtest\<name> (what a previous run left is removed first).
std::string MakeScratchDir(const std::string& name);
// Removes a folder and everything below it; no error if it is missing.
void RemoveFolderTree(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& bytes);
// The file's bytes; empty when it does not exist.
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);

// Starts `commandLine` and returns its process (empty if it cannot start); with
// `readyEvent`, once the program has set that event (or ended).
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
// Copies the program `helper` from beside the tests to `path` (creating its folders) and
// starts it there with `arguments`, so that searches by path find exactly it; with
// `readyEvent`, once the program has set that event.
std::unique_ptr<StartedProgram> StartProgramCopy(const std::string& helper, const std::string& path,
                                                 const std::string& arguments,
                                                 const char* readyEvent = nullptr);
// A windowless program that lives for a minute.
inline std::unique_ptr<StartedProgram> StartIdleCopy(const std::string& path) {
  return StartProgramCopy("exit_after_delay.exe", path, "60000");
}
// Runs a Unix shell command from inside Wine (to make links, mount a small disk ...)
// through Z:\bin\sh and returns its exit status (-1 when none came within 30 s).
int RunUnixShell(const std::string& command);
// The Unix name of a Windows path (its last part need not exist); empty when Wine has none.
std::string UnixPath(const std::string& windowsPath);
// Every process of this prefix: its program's file name and its id.
std::vector<std::pair<std::string, DWORD>> RunningProcesses();
// A shell folder's path (CSIDL_...), or "" when the shell has none.
std::string ShellFolder(int id);

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
// Writes `script` to <dir>\<name>, runs it with /Log=<dir>\run.log (plus `extraArgs`) and
// returns the run; the log text is then ReadTextFile(dir + "\\run.log"). A script that
// ran to its end (no error, no conditional stop) is also put through ExpectNoCheckError.
OrqexRun RunScript(const std::string& dir, const std::string& script,
                   const std::string& extraArgs = "", const std::string& name = "test.Orq");

// A script that ran to its end must pass the script check: an error found there would stop
// an author's pipeline over a script that works. Adds a test failure for each error found.
void ExpectNoCheckError(const std::string& script, const std::string& startSection);

// The message part of each line of a run log ("" for a line that does not have the log's form).
std::vector<std::string> LogMessages(const std::string& log);
