#pragma once
// The system's folders and the program's own path, as strings (Windows build only).
// Each is empty when the system call fails or the result does not fit its path buffer.
#include <string>

std::string WindowsFolder();    // GetWindowsDirectoryA, no trailing backslash
std::string SystemFolder();     // GetSystemDirectoryA
std::string CurrentFolder();    // GetCurrentDirectoryA
std::string TempFolder();       // GetTempPathA, ends with a backslash
std::string ProgramFilePath();  // the running program file, GetModuleFileNameA
// The full path of `path` (GetFullPathNameA: relative parts resolved, "/" read as "\"), of
// whatever length; empty when the system cannot make one. Callers with a path bound compare
// the result's size with it.
std::string FullPathOf(const std::string& path);
