#pragma once
// Shared helpers for tests that run under Wine: scratch folders, files, and whole runs of
// Orqex.exe (which the build puts beside every test program).
#include <windows.h>
#include <string>

// The folder of the running test program, without a trailing backslash.
std::string TestBinDir();
// A fresh, empty folder C:\orqtest\<name> (what a previous run left is removed first).
std::string MakeScratchDir(const std::string& name);
// Removes a folder and everything below it; no error if it is missing.
void RemoveFolderTree(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& bytes);
// The file's bytes; empty when it does not exist.
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);

struct OrqexRun {
  DWORD exitCode = 0xFFFFFFFF;
  bool timedOut = false;
};
// Starts the command line and waits for it to end (ending it after `timeoutMs`).
OrqexRun RunProgram(const std::string& commandLine, DWORD timeoutMs = 60000);
// Starts "<bin>\Orqex.exe <arguments>" and waits for it to end.
OrqexRun RunOrqex(const std::string& arguments, DWORD timeoutMs = 60000);
// Writes `script` to <dir>\<name>, runs it with /Log=<dir>\run.log (plus `extraArgs`) and
// returns the run; the log text is then ReadTextFile(dir + "\\run.log").
OrqexRun RunScript(const std::string& dir, const std::string& script,
                   const std::string& extraArgs = "", const std::string& name = "test.Orq");
