#include "support_code/win32_test_utils.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "commands/argument_checks.h"
#include "engine/script_check.h"
#include "engine/script_file.h"
#include "host/command_line_parse.h"
#include "support/system_folders.h"
#include "support/wide_text.h"

std::string TestBinDir() {
  const std::string path = ProgramFilePath();
  return path.substr(0, path.find_last_of('\\'));
}

std::string SourceTreePath(const std::string& relative) {
  const char* root = std::getenv("ORQ_SOURCE_DIR");
  if (!root) return "";
  std::string path = "Z:" + std::string(root) + "/" + relative;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

void RemoveFolderTree(const std::string& path) {
  WIN32_FIND_DATAA data;
  UniqueFindHandle find(FindFirstFileA((path + "\\*").c_str(), &data));
  if (find) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      // What a link points to is not the test's (Wine removes an empty folder behind one).
      if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find.Get(), &data));
  }
  find.Reset();
  RemoveDirectoryA(path.c_str());
}

std::string MakeScratchDir(const std::string& name) {
  CreateDirectoryA("C:\\orqtest", nullptr);
  std::string dir = "C:\\orqtest\\" + name;
  RemoveFolderTree(dir);
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

void WriteTextFile(const std::string& path, const std::string& bytes) {
  UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadTextFile(const std::string& path) {
  UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

OrqexRun RunOrqex(const std::string& arguments, DWORD timeoutMs) {
  return RunProgram("\"" + TestBinDir() + "\\Orqex.exe\" " + arguments, timeoutMs);
}

UniqueKernelHandle StartProgram(std::string commandLine, const char* readyEvent) {
  UniqueKernelHandle ready;
  if (readyEvent) ready.Reset(CreateEventA(nullptr, TRUE, FALSE, readyEvent));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return {};
  }
  UniqueKernelHandle thread(info.hThread), process(info.hProcess);
  if (ready) {
    HANDLE both[] = {ready.Get(), process.Get()};
    WaitForMultipleObjects(2, both, FALSE, 20000);
  }
  return process;
}

DWORD WaitExit(const UniqueKernelHandle& process, DWORD ms) {
  DWORD code = 0xFFFFFFFF;
  if (process && WaitForSingleObject(process.Get(), ms) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.Get(), &code);
  }
  return code;
}

StartedProgram::~StartedProgram() {
  if (process && !Ended()) TerminateProcess(process.Get(), 99);
  if (process) WaitForSingleObject(process.Get(), 5000);
}

std::unique_ptr<StartedProgram> StartProgramCopy(const std::string& helper, const std::string& path,
                                                 const std::string& arguments,
                                                 const char* readyEvent) {
  SHCreateDirectoryExA(nullptr, path.substr(0, path.rfind('\\')).c_str(), nullptr);
  EXPECT_TRUE(CopyFileA((TestBinDir() + "\\" + helper).c_str(), path.c_str(), FALSE)) << path;
  auto started = std::make_unique<StartedProgram>();
  started->process = StartProgram("\"" + path + "\" " + arguments, readyEvent);
  EXPECT_TRUE(started->process) << path;
  return started;
}

void CopyOrqexAsNineEight(const std::string& path) {
  EXPECT_TRUE(CopyFileA((TestBinDir() + "\\Orqex.exe").c_str(), path.c_str(), FALSE)) << path;
  const std::string key = "Software\\Wine\\AppDefaults\\" + path.substr(path.rfind('\\') + 1);
  EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Version", REG_SZ, "win98", 6), 0);
}

OrqexRun RunProgram(const std::string& commandLine, DWORD timeoutMs) {
  OrqexRun run;
  UniqueKernelHandle process = StartProgram(commandLine);
  if (!process) return run;
  if (WaitForSingleObject(process.Get(), timeoutMs) == WAIT_TIMEOUT) {
    run.timedOut = true;
    TerminateProcess(process.Get(), 0xFFFFFFFF);
  }
  run.exitCode = WaitExit(process, 5000);
  return run;
}

OrqexRun RunScript(const std::string& dir, const std::string& script,
                   const std::string& extraArgs, const std::string& name) {
  WriteTextFile(dir + "\\" + name, script);
  DeleteFileA((dir + "\\run.log").c_str());
  const OrqexRun run =
      RunOrqex("/Script=" + dir + "\\" + name + " /Log=" + dir + "\\run.log " + extraArgs);
  const HostCommandLine switches = ParseCommandLine("Orqex.exe " + extraArgs);
  // A conditional stop also exits with 0, before the lines after it.
  const bool ranToItsEnd = run.exitCode == 0 &&
      ReadTextFile(dir + "\\run.log").find("finished on a conditional stop") == std::string::npos;
  if (ranToItsEnd && !switches.check) {
    ExpectNoCheckError(script, switches.section.empty() ? kDefaultStartSection : switches.section);
  }
  return run;
}

void ExpectNoCheckError(const std::string& script, const std::string& startSection) {
  for (const CheckFinding& finding :
       CheckScriptText(script, startSection, ArgumentCheckOf).findings) {
    if (finding.code != 0) {
      ADD_FAILURE() << "the check refuses a script that ran: line " << finding.lineNumber << ": "
                    << finding.message << "\n  " << finding.lineText;
    }
  }
}

// Wine gives no usable handle for a Unix process, so the shell writes its status to a file.
int RunUnixShell(const std::string& command) {
  static int runs = 0;
  const std::string status =
      "/tmp/orq_shell_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++runs);
  StartProgram("Z:\\bin\\sh -c \"(" + command + "); echo $? > " + status + "\"");
  std::string windowsPath = "Z:" + status;
  for (char& c : windowsPath) c = c == '/' ? '\\' : c;
  for (int waited = 0; waited < 300 && !FileExists(windowsPath); ++waited) Sleep(100);
  Sleep(100);  // the shell's echo has finished writing
  std::string text = ReadTextFile(windowsPath);
  DeleteFileA(windowsPath.c_str());
  return text.empty() ? -1 : std::atoi(text.c_str());
}

std::string UnixPath(const std::string& windowsPath) {
  using UnixName = char*(CDECL*)(const WCHAR*);
  const auto unixName = reinterpret_cast<UnixName>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
  char* name = unixName ? unixName(WideFromAnsi(windowsPath).c_str()) : nullptr;
  if (!name) return {};
  const std::string unix = name;
  HeapFree(GetProcessHeap(), 0, name);
  return unix;
}

std::vector<std::pair<std::string, DWORD>> RunningProcesses() {
  std::vector<std::pair<std::string, DWORD>> found;
  UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more;
       more = Process32Next(snapshot.Get(), &entry)) {
    found.emplace_back(entry.szExeFile, entry.th32ProcessID);
  }
  return found;
}

std::string ShellFolder(int id) {
  std::string path(MAX_PATH, '\0');
  if (FAILED(SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path.data()))) return "";
  return path.c_str();
}

std::vector<std::string> LogMessages(const std::string& log) {
  static const std::regex kLine(R"(\d\d-\d\d \d\d:\d\d:\d\d   \\Orqex:[0-9a-f]{3,} (.*)\r)");
  std::vector<std::string> messages;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    std::smatch match;
    messages.push_back(std::regex_match(line, match, kLine) ? match[1].str() : "");
  }
  return messages;
}

std::string ShortName(const std::string& path) {
  std::string shortName(MAX_PATH, '\0');
  shortName.resize(GetShortPathNameA(path.c_str(), shortName.data(), MAX_PATH));
  return shortName;
}

DWORD ServiceState(const std::string& name) {
  UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  UniqueServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), SERVICE_QUERY_STATUS));
  SERVICE_STATUS status{};
  return service && QueryServiceStatus(service.Get(), &status) ? status.dwCurrentState : 0;
}
