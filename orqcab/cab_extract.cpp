#include "orqcab/cab_extract.h"

#include <fcntl.h>
#include <fdi.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/mbcs.h"
#include "orqcab/cab_entry_name_parse.h"
#include "support/win_handles.h"

namespace {
struct Extraction {
  std::string target;
  bool keepExisting = false;
  const FileReport* report = nullptr;
  unsigned count = 0;
  unsigned index = 0;
  ExtractOutcome outcome;
  // The file being written, its path and its name in the cabinet.
  INT_PTR openFile = 0;  // still open
  bool writing = false;  // started and not finished
  std::string openPath;
  std::string openName;
  unsigned long openSize = 0;
  DWORD writeError = 0;

  void Fail(HRESULT status, std::string message) {
    if (outcome.status >= 0) {
      outcome.status = status;
      outcome.message = std::move(message);
    }
  }
};

// The read and write callbacks carry no context: the running extraction of this
// thread.
thread_local Extraction* t_current = nullptr;

FNALLOC(Allocate) { return std::malloc(cb); }
FNFREE(Free) { std::free(pv); }

FNOPEN(Open) {
  // FDI opens only the cabinet, for reading.
  HANDLE file = CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<INT_PTR>(file);
}

FNREAD(Read) {
  DWORD done = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(hf), pv, cb, &done, nullptr)) return static_cast<UINT>(-1);
  return done;
}

FNWRITE(Write) {
  DWORD done = 0;
  if (!WriteFile(reinterpret_cast<HANDLE>(hf), pv, cb, &done, nullptr)) {
    if (t_current) t_current->writeError = GetLastError();
    return static_cast<UINT>(-1);
  }
  if (done != cb) {  // a short write: the disk has no more room
    if (t_current) t_current->writeError = ERROR_DISK_FULL;
    return static_cast<UINT>(-1);
  }
  return done;
}

FNCLOSE(Close) {
  if (t_current && t_current->openFile == hf) t_current->openFile = 0;
  return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1;
}

FNSEEK(Seek) {
  DWORD moved = SetFilePointer(reinterpret_cast<HANDLE>(hf), dist, nullptr, seektype);
  return moved == INVALID_SET_FILE_POINTER ? -1 : static_cast<long>(moved);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Win32Reason(DWORD error) {
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "it is in use";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "the disk is full";
    case ERROR_ACCESS_DENIED:
      return "access is denied";
    default: {
      std::string text(32, '\0');
      text.resize(static_cast<std::size_t>(
          std::snprintf(text.data(), text.size(), "system error %lu", error)));
      return text;
    }
  }
}

// A name the cabinet marks as UTF-8, in the ANSI code page; false when it has
// no exact ANSI form.
bool AnsiName(const char* name, bool utf8, std::string& ansi) {
  if (!utf8) {
    ansi = name;
    return true;
  }
  int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, nullptr, 0);
  if (wideLength <= 0) return false;
  std::wstring wide(wideLength, L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, wide.data(), wideLength);
  BOOL lossy = FALSE;
  int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0,
                                   nullptr, &lossy);
  if (length <= 0 || lossy) return false;
  ansi.assign(length, '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, ansi.data(), length, nullptr,
                      nullptr);
  ansi.resize(length - 1);
  return true;
}

// Creates the folders of `relative` (a checked name) below the target.
void CreateFoldersOf(const std::string& target, const std::string& relative) {
  for (std::size_t slash = FindChar(relative, '\\'); slash != std::string::npos;
       slash = FindChar(relative, '\\', slash + 1)) {
    CreateDirectoryA((target + "\\" + relative.substr(0, slash)).c_str(), nullptr);
  }
}

INT_PTR StartFile(Extraction& x, const FDINOTIFICATION& note) {
  std::string name;
  if (!AnsiName(note.psz1, (note.attribs & _A_NAME_IS_UTF) != 0, name)) {
    x.Fail(HRESULT_FROM_WIN32(ERROR_INVALID_NAME),
           "Refused a cabinet entry whose name has no form in this code page");
    return -1;
  }
  const CabEntryName checked = CheckCabEntryName(name);
  if (!checked.accepted) {
    x.Fail(HRESULT_FROM_WIN32(ERROR_INVALID_NAME),
           "Refused the cabinet entry " + Quoted(name) + ": " + checked.reason);
    return -1;
  }
  const std::string path = x.target + "\\" + checked.relativePath;
  if (path.size() >= MAX_PATH) {
    x.Fail(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE),
           "Refused the cabinet entry " + Quoted(name) + ": its path is too long");
    return -1;
  }
  ++x.index;
  if (x.keepExisting && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (*x.report) (*x.report)(x.index, x.count, note.cb, name);
    return 0;  // skipped
  }
  CreateFoldersOf(x.target, checked.relativePath);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    // A read-only file is replaced too.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
      file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    } else {
      SetLastError(ERROR_ACCESS_DENIED);
    }
  }
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    x.Fail(HRESULT_FROM_WIN32(error), "Cannot write " + Quoted(path) + ": " + Win32Reason(error));
    return -1;
  }
  x.openFile = reinterpret_cast<INT_PTR>(file);
  x.writing = true;
  x.openPath = path;
  x.openName = name;
  x.openSize = note.cb;
  return x.openFile;
}

INT_PTR FinishFile(Extraction& x, const FDINOTIFICATION& note) {
  HANDLE file = reinterpret_cast<HANDLE>(note.hf);
  FILETIME local, stamp;
  if (DosDateTimeToFileTime(note.date, note.time, &local) &&
      LocalFileTimeToFileTime(&local, &stamp)) {
    SetFileTime(file, nullptr, nullptr, &stamp);
  }
  x.openFile = 0;
  x.writing = false;
  CloseHandle(file);
  const DWORD kept =
      note.attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  if (kept) SetFileAttributesA(x.openPath.c_str(), kept);
  ++x.outcome.filesWritten;
  if (*x.report) (*x.report)(x.index, x.count, x.openSize, x.openName);
  return TRUE;
}

FNFDINOTIFY(Notify) {
  Extraction& x = *static_cast<Extraction*>(pfdin->pv);
  switch (fdint) {
    case fdintCOPY_FILE:
      return StartFile(x, *pfdin);
    case fdintCLOSE_FILE_INFO:
      return FinishFile(x, *pfdin);
    case fdintNEXT_CABINET:
      x.Fail(HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED),
             "The cabinet continues in another file, which is not supported");
      return -1;
    default:
      return 0;
  }
}

struct FdiContextTraits {
  static HFDI Invalid() { return nullptr; }
  static bool IsValid(HFDI h) { return h != nullptr; }
  static void Close(HFDI h) { FDIDestroy(h); }
};
using UniqueFdi = UniqueHandle<HFDI, FdiContextTraits>;

std::string FdiReason(int code) {
  switch (code) {
    case FDIERROR_CABINET_NOT_FOUND:
      return "the cabinet was not found";
    case FDIERROR_NOT_A_CABINET:
    case FDIERROR_UNKNOWN_CABINET_VERSION:
      return "the file is not a cabinet";
    case FDIERROR_CORRUPT_CABINET:
    case FDIERROR_BAD_COMPR_TYPE:
    case FDIERROR_MDI_FAIL:
    case FDIERROR_RESERVE_MISMATCH:
    case FDIERROR_WRONG_CABINET:
      return "the cabinet is damaged";
    case FDIERROR_ALLOC_FAIL:
      return "out of memory";
    default:
      return "extraction failed";
  }
}
}  // namespace

ExtractOutcome ExtractCabinet(const std::string& cabinetPath, const std::string& targetFolder,
                              bool keepExisting, const FileReport& report) {
  Extraction x;
  x.target = targetFolder;
  x.keepExisting = keepExisting;
  x.report = &report;
  ERF erf{};
  UniqueFdi fdi(FDICreate(Allocate, Free, Open, Read, Write, Close, Seek, cpuUNKNOWN, &erf));
  if (!fdi) {
    x.outcome.status = E_OUTOFMEMORY;
    x.outcome.message = "The cabinet library cannot start";
    return x.outcome;
  }
  {
    UniqueKernelHandle cabinet(CreateFileA(cabinetPath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!cabinet) {
      const DWORD error = GetLastError();
      x.outcome.status = HRESULT_FROM_WIN32(error);
      x.outcome.message = "Cannot open the cabinet " + Quoted(cabinetPath) + ": " +
                          (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                               ? std::string("it does not exist")
                               : Win32Reason(error));
      return x.outcome;
    }
    FDICABINETINFO info{};
    if (!FDIIsCabinet(fdi.Get(), reinterpret_cast<INT_PTR>(cabinet.Get()), &info)) {
      x.outcome.status = HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
      x.outcome.message = "Not a cabinet: " + Quoted(cabinetPath);
      return x.outcome;
    }
    x.count = info.cFiles;
  }
  const std::size_t slash = FindLastChar(cabinetPath, '\\');
  std::string folder =
      slash == std::string::npos ? std::string() : cabinetPath.substr(0, slash + 1);
  std::string file = slash == std::string::npos ? cabinetPath : cabinetPath.substr(slash + 1);

  t_current = &x;
  const BOOL copied = FDICopy(fdi.Get(), file.data(), folder.data(), 0, Notify, nullptr, &x);
  t_current = nullptr;
  if (x.writing) {  // a write failed: the half-written file goes
    if (x.openFile) CloseHandle(reinterpret_cast<HANDLE>(x.openFile));
    DeleteFileA(x.openPath.c_str());
    if (x.writeError) {
      x.Fail(HRESULT_FROM_WIN32(x.writeError),
             "Cannot write " + Quoted(x.openPath) + ": " + Win32Reason(x.writeError));
    }
  }
  if (!copied) {
    x.Fail(HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT),
           "Cannot extract " + Quoted(cabinetPath) + ": " + FdiReason(erf.erfOper));
  }
  return x.outcome;
}
