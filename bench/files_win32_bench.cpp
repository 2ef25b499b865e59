// What REMOVEDIRRECURSIVE costs under Wine against the bare walk it orders.
// Prints:
//   BENCH remove_tree_ratio <value> x  a one-line script removing a tree of 2,000 files in
//                                      20 folders, over a bare FindFirstFileA /
//                                      DeleteFileA / RemoveDirectoryA walk of the same tree
// Each side runs several times on a freshly made tree (making it is not timed); the figure
// is the ratio of the medians, and the spread of each side goes to the error output.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;
constexpr int kRuns = 3;
const std::string kDir = "C:\\orqbench_files";
const std::string kTree = kDir + "\\tree";

void MakeTree() {
  CreateDirectoryA(kTree.c_str(), nullptr);
  for (int f = 0; f < kFolders; ++f) {
    std::string folder = kTree + "\\folder" + std::to_string(f);
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < kFilesPerFolder; ++i) {
      WriteFileBytes(folder + "\\file" + std::to_string(i) + ".dat", "some bytes");
    }
  }
}

void BareWalk(const std::string& folder) {
  WIN32_FIND_DATAA found;
  {
    UniqueFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &found));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.Get(), &found)) {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string entry = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        BareWalk(entry);
      } else {
        DeleteFileA(entry.c_str());
      }
    }
  }
  RemoveDirectoryA(folder.c_str());
}

std::vector<double> TimeRuns(const std::function<void()>& work) {
  std::vector<double> seconds;
  for (int run = 0; run < kRuns; ++run) {
    MakeTree();
    auto start = Clock::now();
    work();
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    if (GetFileAttributesA(kTree.c_str()) != INVALID_FILE_ATTRIBUTES) {
      std::fprintf(stderr, "a run left the tree behind\n");
      BareWalk(kTree);
    }
  }
  return seconds;
}

void Spread(const char* what, std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  std::fprintf(stderr, "%s: median %.4f s, fastest %.4f s, slowest %.4f s\n", what, Median(seconds),
               seconds.front(), seconds.back());
}
}  // namespace

int main() {
  CreateDirectoryA(kDir.c_str(), nullptr);
  std::string script = kDir + "\\remove.Orq";
  WriteFileBytes(script, "[DefaultInstall]\r\nREMOVEDIRRECURSIVE " + kTree + "\r\n");
  std::string log = kDir + "\\bench.log";
  LogInit(kLogLevelStatus, log);

  std::vector<double> engine, bare;
  // Interleaved, so that a slow spell of the machine hits both sides alike.
  for (int round = 0; round < 2; ++round) {
    for (double s : TimeRuns([&] {
           if (unsigned status =
                   ExecuteScript(script, "DefaultInstall", kDir, BuildHandlerTable())) {
             std::fprintf(stderr, "script failed with %u\n", status);
           }
         })) {
      engine.push_back(s);
    }
    for (double s : TimeRuns([] { BareWalk(kTree); })) bare.push_back(s);
  }
  Spread("REMOVEDIRRECURSIVE", engine);
  Spread("bare walk", bare);
  std::printf("BENCH remove_tree_ratio %.3f x\n", Median(engine) / Median(bare));
  DeleteFileA(script.c_str());
  DeleteFileA(log.c_str());
  RemoveDirectoryA(kDir.c_str());
  return 0;
}
