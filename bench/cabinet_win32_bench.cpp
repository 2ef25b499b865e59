// What INSTALLCAB costs against the extraction it orders. A cabinet of 2,000
// files (64 MB) is made with the system's cabinet writer; then, in turns, a
// bare FDI extraction of it into one folder and a one-line script "INSTALLCAB
// R=<cabinet>" run by the engine, which has OrqCab.exe (registered here)
// extract it into another, reporting progress. The timed INSTALLCAB lines share
// one OrqCab, as the lines of one run do; the first line of a run, which starts
// the server, is timed apart. Prints:
//   BENCH cab_extract_ratio <value> x   the median INSTALLCAB time over the
//   median bare time
// Every run starts from an empty folder and is checked for all 2,000 files.
#include <windows.h>
// after windows.h
#include <fdi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/interaction/restart_families.h"
#include "engine/runner.h"
#include "host/command_families.h"
#include "support/log.h"
#include "support/win_handles.h"
#include "tools/cabinet_writer.h"
#include "bench/bench_support.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr unsigned kFiles = 2000;
constexpr std::size_t kFileSize = 64u * 1024 * 1024 / kFiles;
constexpr int kRuns = 3;
const std::string kDir = "C:\\orqbench_cab";

FNALLOC(Allocate) { return std::malloc(cb); }
FNFREE(Free) { std::free(pv); }
FNOPEN(Open) {
  HANDLE file =
      CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<INT_PTR>(file);
}
FNREAD(Read) {
  DWORD done = 0;
  return ReadFile(reinterpret_cast<HANDLE>(hf), pv, cb, &done, nullptr) ? done
                                                                        : static_cast<UINT>(-1);
}
FNWRITE(Write) {
  DWORD done = 0;
  return WriteFile(reinterpret_cast<HANDLE>(hf), pv, cb, &done, nullptr) ? done
                                                                         : static_cast<UINT>(-1);
}
FNCLOSE(Close) { return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1; }
FNSEEK(Seek) {
  return static_cast<long>(SetFilePointer(reinterpret_cast<HANDLE>(hf), dist, nullptr, seektype));
}
FNFDINOTIFY(Notify) {
  const std::string& target = *static_cast<const std::string*>(pfdin->pv);
  if (fdint == fdintCOPY_FILE) {
    HANDLE file = CreateFileA((target + "\\" + pfdin->psz1).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<INT_PTR>(file);
  }
  if (fdint == fdintCLOSE_FILE_INFO) {
    CloseHandle(reinterpret_cast<HANDLE>(pfdin->hf));
    return TRUE;
  }
  return 0;
}

bool BareExtract(const std::string& target) {
  ERF erf{};
  HFDI fdi = FDICreate(Allocate, Free, Open, Read, Write, Close, Seek, cpuUNKNOWN, &erf);
  std::string name = "big.cab", folder = kDir + "\\";
  std::string context = target;
  BOOL done = FDICopy(fdi, name.data(), folder.data(), 0, Notify, nullptr, &context);
  FDIDestroy(fdi);
  return done != FALSE;
}

// Extracts into the cabinet's own folder (the first number, 0).
bool InstallCab() {
  const std::string script = kDir + "\\bench.Orq";
  UniqueKernelHandle file(
      CreateFileA(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const std::string text = "[DefaultInstall]\r\nINSTALLCAB R=" + kDir + "\\big.cab\r\n";
  DWORD written = 0;
  WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  file.Reset();
  return ExecuteScript(script, "DefaultInstall", kDir, BuildHandlerTable()) == 0;
}

unsigned CountFiles(const std::string& folder) {
  WIN32_FIND_DATAA data;
  unsigned count = 0;
  UniqueFindHandle find(FindFirstFileA((folder + "\\f*.bin").c_str(), &data));
  if (find) {
    do ++count;
    while (FindNextFileA(find.Get(), &data));
  }
  return count;
}

void EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA data;
  UniqueFindHandle find(FindFirstFileA((folder + "\\f*.bin").c_str(), &data));
  if (find) {
    do DeleteFileA((folder + "\\" + data.cFileName).c_str());
    while (FindNextFileA(find.Get(), &data));
  }
}

}  // namespace

int main() {
  std::string program(MAX_PATH, '\0');
  program.resize(GetModuleFileNameA(nullptr, program.data(), MAX_PATH));
  const std::string bin = program.substr(0, program.rfind('\\'));
  if (RunAndWait("\"" + bin + "\\OrqCab.exe\" /RegServer") != 0) {
    std::fprintf(stderr, "OrqCab.exe cannot be registered\n");
    return 1;
  }
  CreateDirectoryA(kDir.c_str(), nullptr);
  std::vector<CabinetEntry> entries;
  for (unsigned i = 0; i < kFiles; ++i)
    entries.push_back({"f" + std::to_string(i) + ".bin", kFileSize});
  if (!WriteCabinet(kDir + "\\big.cab", entries)) {
    std::fprintf(stderr, "the cabinet cannot be written\n");
    return 1;
  }
  CoInitialize(nullptr);
  LogInit(kLogLevelStatus, kDir + "\\bench.log");
  const std::string bare = kDir + "\\bare";
  CreateDirectoryA(bare.c_str(), nullptr);
  std::vector<double> bareTimes, engineTimes;
  const auto first = Clock::now();
  if (!InstallCab() || CountFiles(kDir) != kFiles) {
    std::fprintf(stderr, "the first INSTALLCAB is incomplete (%u files)\n", CountFiles(kDir));
    return 1;
  }
  const double firstTime = std::chrono::duration<double>(Clock::now() - first).count();
  for (int run = 0; run < kRuns; ++run) {
    EmptyFolder(bare);
    auto start = Clock::now();
    bool ok = BareExtract(bare);
    bareTimes.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    if (!ok || CountFiles(bare) != kFiles) {
      std::fprintf(stderr, "bare extraction incomplete\n");
      return 1;
    }
    EmptyFolder(kDir);
    DeleteFileA((kDir + "\\bench.log").c_str());
    start = Clock::now();
    ok = InstallCab();
    engineTimes.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    if (!ok || CountFiles(kDir) != kFiles) {
      std::fprintf(stderr, "INSTALLCAB incomplete (%u files)\n", CountFiles(kDir));
      return 1;
    }
  }
  EmptyFolder(bare);
  EmptyFolder(kDir);
  for (int run = 0; run < kRuns; ++run) {
    std::printf("run %d: bare %.3f s, INSTALLCAB %.3f s\n", run, bareTimes[run], engineTimes[run]);
  }
  std::printf("bare FDI %.3f s, INSTALLCAB %.3f s (the run's first, with the server's start: "
              "%.3f s)\n",
              Median(bareTimes), Median(engineTimes), firstTime);
  std::printf("BENCH cab_extract_ratio %.3f x\n", Median(engineTimes) / Median(bareTimes));
  ReleaseRunCabInstaller();
  CoUninitialize();
  return 0;
}
