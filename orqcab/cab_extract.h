#pragma once
// Extraction of a cabinet file with the system's cabinet library (FDI of
// cabinet.dll).
#include <windows.h>

#include <functional>
#include <string>

struct ExtractOutcome {
  HRESULT status = S_OK;  // negative on failure
  std::string message;    // names the file or the reason on failure
  unsigned filesWritten = 0;
  std::string folder;     // the target folder
};

// index (1-based), the cabinet's file count, the file's size and its name in
// the cabinet.
using FileReport = std::function<void(unsigned index, unsigned count, unsigned long size,
                                      const std::string& name)>;

// Where a cabinet goes: an existing base folder and a sub-folder below it (a checked
// relative name, may be empty, created when missing).
struct CabDestination {
  std::string base;
  std::string sub;
  bool empty() const { return base.empty(); }
};

// Writes every file of `cabinetPath` into `destination`, creating the folders that
// its sub-folder and the names in the cabinet hold (CabTarget: nothing is
// written through a link, and installed files change only once the whole cabinet
// has been read). A cabinet path naming a device, a file that is no cabinet or
// holds no folders, and a cabinet continued from or into another file are refused;
// a name that would leave the folder or reach a device (CheckCabEntryName) ends
// the extraction with a failure before anything is written for it. A file is
// checked against its size in the cabinet. `keepExisting`: files already there
// stay and are reported as done.
ExtractOutcome ExtractCabinet(const std::string& cabinetPath, const CabDestination& destination,
                              bool keepExisting, const FileReport& report);
