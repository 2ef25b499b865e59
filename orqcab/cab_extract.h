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
};

// index (1-based), the cabinet's file count, the file's size and its name in
// the cabinet.
using FileReport = std::function<void(unsigned index, unsigned count, unsigned long size,
                                      const std::string& name)>;

// Writes every file of `cabinetPath` below `targetFolder` (which must exist),
// creating the folders the names hold. A name that would leave the folder
// (CheckCabEntryName) ends the extraction with a failure before anything is
// written for it. `keepExisting`: files already there stay and are reported as
// done. A file left half-written by a failure is removed.
ExtractOutcome ExtractCabinet(const std::string& cabinetPath, const std::string& targetFolder,
                              bool keepExisting, const FileReport& report);
