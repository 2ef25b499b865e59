// What the file-list walk costs under Wine against the bare copies it orders.
// Prints:
//   BENCH copy_small_ratio <value> x  COPYFILES of 2,000 small files listed in one file-list
//                                     section, over a bare CopyFileA loop doing the same
//                                     copies with the same per-line log writes (goal <= 1.2)
//   BENCH copy_large_ratio <value> x  COPYFILES of one 256 MB file over one CopyFileA
//                                     (goal <= 1.05)
// Each figure is the median of the per-run ratios (after one untimed round, and with the
// two taking turns at going first); every run starts from an empty target folder (emptied
// outside the timing) and is checked for having copied every file. The walk makes a new
// target with a copy that may not overwrite, which Wine carries out faster than the
// overwriting CopyFileA of the bare loop: figures below 1 come from that.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/runner.h"
#include "host/command_families.h"
#include "support/log.h"
#include "support/win_handles.h"
#include "bench/bench_support.h"

namespace {
using Clock = std::chrono::steady_clock;

constexpr unsigned kSmallFiles = 2000;
constexpr std::size_t kSmallBytes = 2048;
constexpr std::size_t kLargeBytes = 256u << 20;
constexpr int kSmallRuns = 7;
constexpr int kLargeRuns = 9;

std::string g_dir;

std::string SmallName(unsigned i) { return "file" + std::to_string(i) + ".dat"; }

void WriteLargeFile(const std::string& path) {
  UniqueKernelHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  std::string chunk(1 << 20, '\0');
  for (std::size_t done = 0; done < kLargeBytes; done += chunk.size()) {
    for (std::size_t i = 0; i < chunk.size(); i += 4096) chunk[i] = static_cast<char>(done >> 20);
    DWORD written = 0;
    WriteFile(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr);
  }
}

// The script: the working folder, one COPYFILES, and the file-list section.
std::string WriteScript(const std::string& name, const std::string& target,
                        const std::vector<std::string>& files) {
  std::string text =
      "[DefaultInstall]\r\nSETWORKDIR " + target + "\r\nCOPYFILES List\r\n[List]\r\n";
  for (const std::string& file : files) text += "FILECIO " + file + "\r\n";
  std::string path = g_dir + "\\" + name;
  WriteFileBytes(path, text);
  return path;
}

void EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA data;
  UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &data));
  if (find) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA((folder + "\\" + data.cFileName).c_str());
      }
    } while (FindNextFileA(find.Get(), &data));
  }
  CreateDirectoryA(folder.c_str(), nullptr);
}

unsigned FilesMissing(const std::string& folder, const std::vector<std::string>& files) {
  unsigned missing = 0;
  for (const std::string& file : files) {
    if (GetFileAttributesA((folder + "\\" + file).c_str()) == INVALID_FILE_ATTRIBUTES) ++missing;
  }
  return missing;
}

void FreshLog() {
  std::string log = g_dir + "\\bench.log";
  DeleteFileA(log.c_str());
  LogInit(kLogLevelStatus, log);
}

double Timed(const char* what, const std::string& target, const std::vector<std::string>& files,
             const std::function<void()>& work) {
  EmptyFolder(target);
  FreshLog();
  auto start = Clock::now();
  work();
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (unsigned missing = FilesMissing(target, files)) {
    std::fprintf(stderr, "%s left %u of %zu files uncopied\n", what, missing, files.size());
  }
  return seconds;
}

void RunEngine(const std::string& script) {
  unsigned status = ExecuteScript(script, "DefaultInstall", g_dir, BuildHandlerTable());
  if (status != 0) std::fprintf(stderr, "script failed with %u\n", status);
}

// The floor: the copies themselves with the line the walk logs for each.
void RunBareLoop(const std::string& source, const std::string& target,
                 const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    std::string from = source + "\\" + file, to = target + "\\" + file;
    LogStatus("FILECIO: %s %s", from.c_str(), to.c_str());
    CopyFileA(from.c_str(), to.c_str(), FALSE);
  }
}

// Median ratio of the engine's time over the bare loop's, run by run.
double Ratio(const char* name, const std::string& source, const std::vector<std::string>& files,
             int runs) {
  const std::string target = g_dir + "\\" + name + "_target";
  const std::string script = WriteScript(std::string(name) + ".Orq", target, files);
  std::vector<double> ratios;
  // One untimed round first: the first copies of a run pay for cold caches and start-up.
  Timed("the engine's warm-up", target, files, [&] { RunEngine(script); });
  Timed("the bare loop's warm-up", target, files, [&] { RunBareLoop(source, target, files); });
  for (int run = 0; run < runs; ++run) {
    // Alternating which goes first evens out what the one leaves the other (the cache, the
    // deleted files' write-back).
    double engine = 0, bare = 0;
    auto timeEngine = [&] {
      engine = Timed("the engine", target, files, [&] { RunEngine(script); });
    };
    auto timeBare = [&] {
      bare = Timed("the bare loop", target, files, [&] { RunBareLoop(source, target, files); });
    };
    if (run % 2 == 0) {
      timeEngine();
      timeBare();
    } else {
      timeBare();
      timeEngine();
    }
    ratios.push_back(engine / bare);
    std::fprintf(stderr, "%s run %d: engine %.3f s, bare loop %.3f s\n", name, run, engine, bare);
  }
  EmptyFolder(target);
  RemoveDirectoryA(target.c_str());
  return Median(ratios);
}
}  // namespace

// Optional arguments: the number of runs of the small and of the large copy.
int main(int argc, char** argv) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  g_dir = std::string(temp) + "orqbench_copy";
  CreateDirectoryA(g_dir.c_str(), nullptr);
  const int smallRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : kSmallRuns;
  const int largeRuns = argc > 2 ? std::max(1, std::atoi(argv[2])) : kLargeRuns;

  std::vector<std::string> small;
  for (unsigned i = 0; i < kSmallFiles; ++i) {
    small.push_back(SmallName(i));
    WriteFileBytes(g_dir + "\\" + small.back(), std::string(kSmallBytes, static_cast<char>(i)));
  }
  double smallRatio = Ratio("small", g_dir, small, smallRuns);
  for (const std::string& file : small) DeleteFileA((g_dir + "\\" + file).c_str());

  const std::vector<std::string> large = {"large.bin"};
  WriteLargeFile(g_dir + "\\large.bin");
  double largeRatio = Ratio("large", g_dir, large, largeRuns);
  DeleteFileA((g_dir + "\\large.bin").c_str());
  for (const char* leftover : {"small.Orq", "large.Orq", "bench.log"}) {
    DeleteFileA((g_dir + "\\" + leftover).c_str());
  }
  RemoveDirectoryA(g_dir.c_str());

  std::printf("BENCH copy_small_ratio %.3f x\n", smallRatio);
  std::printf("BENCH copy_large_ratio %.3f x\n", largeRatio);
  return 0;
}
