#include "orqcab/cab_extract.h"

#include <fcntl.h>
#include <fdi.h>

#include <cstdlib>

#include "orqcab/cab_entry_name_parse.h"
#include "orqcab/cab_target.h"
#include "support/mbcs.h"
#include "support/win_handles.h"

namespace {
struct Extraction {
  CabTarget target;
  bool keepExisting = false;
  const FileReport* report = nullptr;
  unsigned count = 0;  // files the cabinet says it holds
  unsigned index = 0;  // files begun
  unsigned done = 0;   // files written or kept
  ExtractOutcome outcome;
  // The file being written (under its temporary name), its place and its name in
  // the cabinet.
  INT_PTR openFile = 0;  // still open
  bool writing = false;  // started and not finished
  std::string openPath;
  std::string openName;
  unsigned long openSize = 0;
  unsigned long long written = 0;
  DWORD writeError = 0;

  void Fail(HRESULT status, std::string message) {
    if (outcome.status >= 0) {
      outcome.status = status;
      outcome.message = std::move(message);
    }
  }
  // A write of the open file failed (FDI may go on to close it as if it were whole).
  void FailWrite() {
    Fail(HRESULT_FROM_WIN32(writeError),
         "Cannot write " + Quoted(openPath) + ": " + Win32Reason(writeError));
  }
};

// The read and write callbacks carry no context: the running extraction of this
// thread.
thread_local Extraction* t_current = nullptr;

FNALLOC(Allocate) { return std::malloc(cb); }
FNFREE(Free) { std::free(pv); }

FNOPEN(Open) {
  // FDI opens only the cabinet, for reading; a device is no cabinet.
  HANDLE file = CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return -1;
  }
  return reinterpret_cast<INT_PTR>(file);
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
  if (t_current && t_current->openFile == hf) t_current->written += done;
  return done;
}

FNCLOSE(Close) {
  if (t_current && t_current->openFile == hf) {  // a temporary file: CabTarget closes it
    t_current->openFile = 0;
    return 0;
  }
  return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1;
}

FNSEEK(Seek) {
  DWORD moved = SetFilePointer(reinterpret_cast<HANDLE>(hf), dist, nullptr, seektype);
  return moved == INVALID_SET_FILE_POINTER ? -1 : static_cast<long>(moved);
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
  if (x.target.Folder().size() + 1 + checked.relativePath.size() >= MAX_PATH) {
    x.Fail(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE),
           "Refused the cabinet entry " + Quoted(name) + ": its path is too long");
    return -1;
  }
  ++x.index;
  CabTarget::Place place;
  std::string message;
  HRESULT status = x.target.Prepare(checked.relativePath, place, message);
  if (FAILED(status)) {
    x.Fail(status, message);
    return -1;
  }
  if (x.keepExisting && place.exists) {
    ++x.done;
    if (*x.report) (*x.report)(x.index, x.count, note.cb, name);
    return 0;  // skipped
  }
  HANDLE file = nullptr;
  status = x.target.CreateTemporary(place, file, message);
  if (FAILED(status)) {
    x.Fail(status, message);
    return -1;
  }
  x.openFile = reinterpret_cast<INT_PTR>(file);
  x.writing = true;
  x.openPath = place.path;
  x.openName = name;
  x.openSize = note.cb;
  x.written = 0;
  x.writeError = 0;
  return x.openFile;
}

INT_PTR FinishFile(Extraction& x, const FDINOTIFICATION& note) {
  HANDLE file = reinterpret_cast<HANDLE>(note.hf);
  if (x.writeError) {
    x.FailWrite();
    return FALSE;
  }
  if (x.written != x.openSize) {  // left open: closed and removed after FDICopy
    x.Fail(HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT),
           "Cannot extract " + Quoted(x.openName) + ": the cabinet is damaged (" +
               std::to_string(x.written) + " of " + std::to_string(x.openSize) + " bytes)");
    return FALSE;
  }
  FILE_BASIC_INFO basic{};
  FILETIME local, stamp;
  if (DosDateTimeToFileTime(note.date, note.time, &local) &&
      LocalFileTimeToFileTime(&local, &stamp)) {
    basic.LastWriteTime.LowPart = stamp.dwLowDateTime;
    basic.LastWriteTime.HighPart = static_cast<LONG>(stamp.dwHighDateTime);
  }
  basic.FileAttributes =
      note.attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
  x.openFile = 0;
  x.writing = false;
  x.target.Written();
  ++x.done;
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
    case fdintPARTIAL_FILE:
      x.Fail(HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED),
             "Refused " + Quoted(pfdin->psz1) + ": it begins in another cabinet");
      return -1;
    case fdintNEXT_CABINET:
      x.Fail(HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED),
             x.writing ? "Refused " + Quoted(x.openName) + ": it continues in another cabinet"
                       : std::string("The cabinet continues in another file"));
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
    case FDIERROR_ALLOC_FAIL:
      return "out of memory";
    default:
      return "the cabinet is damaged";
  }
}

// Opens the cabinet and reads its header; false with the outcome set when it is
// not one that can be installed.
bool ReadHeader(HFDI fdi, const std::string& path, FDICABINETINFO& info, ExtractOutcome& outcome) {
  UniqueKernelHandle cabinet(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!cabinet) {
    const DWORD error = GetLastError();
    outcome.status = HRESULT_FROM_WIN32(error);
    outcome.message = "Cannot open the cabinet " + Quoted(path) + ": " +
                      (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                           ? std::string("it does not exist")
                           : Win32Reason(error));
    return false;
  }
  if (GetFileType(cabinet.Get()) != FILE_TYPE_DISK) {
    outcome.status = HRESULT_FROM_WIN32(ERROR_BAD_DEVICE);
    outcome.message = "Refused the cabinet " + Quoted(path) + ": it is a device";
    return false;
  }
  if (!FDIIsCabinet(fdi, reinterpret_cast<INT_PTR>(cabinet.Get()), &info)) {
    outcome.status = HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    outcome.message = "Not a cabinet: " + Quoted(path);
    return false;
  }
  if (info.cFolders == 0) {
    outcome.status = HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT);
    outcome.message = "Cannot extract " + Quoted(path) + ": the cabinet is damaged (no folders)";
    return false;
  }
  return true;
}
}  // namespace

ExtractOutcome ExtractCabinet(const std::string& cabinetPath, const CabDestination& destination,
                              bool keepExisting, const FileReport& report) {
  Extraction x;
  x.keepExisting = keepExisting;
  x.report = &report;
  // The device test comes before anything is opened: a device may block.
  const std::string full = FullPathOf(cabinetPath);
  if (PathNamesDevice(cabinetPath) || PathNamesDevice(full)) {
    x.outcome.status = HRESULT_FROM_WIN32(ERROR_BAD_DEVICE);
    x.outcome.message = "Refused the cabinet " + Quoted(cabinetPath) + ": it names a device";
    return x.outcome;
  }
  ERF erf{};
  UniqueFdi fdi(FDICreate(Allocate, Free, Open, Read, Write, Close, Seek, cpuUNKNOWN, &erf));
  if (!fdi) {
    x.outcome.status = E_OUTOFMEMORY;
    x.outcome.message = "The cabinet library cannot start";
    return x.outcome;
  }
  FDICABINETINFO info{};
  if (!ReadHeader(fdi.Get(), full.empty() ? cabinetPath : full, info, x.outcome)) {
    return x.outcome;
  }
  x.count = info.cFiles;
  HRESULT status = x.target.Open(destination.base, destination.sub, x.outcome.message);
  x.outcome.folder = x.target.Folder();
  if (FAILED(status)) {
    x.outcome.status = status;
    return x.outcome;
  }
  const std::size_t slash = FindLastChar(full, '\\');
  std::string folder = slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
  std::string file = slash == std::string::npos ? full : full.substr(slash + 1);

  t_current = &x;
  const BOOL copied = FDICopy(fdi.Get(), file.data(), folder.data(), 0, Notify, nullptr, &x);
  t_current = nullptr;
  if (x.writing && x.writeError) x.FailWrite();
  if (!copied) {
    x.Fail(HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT),
           "Cannot extract " + (x.writing ? Quoted(x.openName) + " from " : std::string()) +
               Quoted(full) + ": " + FdiReason(erf.erfOper));
  } else if (x.done != x.count) {
    x.Fail(HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT),
           "Cannot extract " + Quoted(full) + ": the cabinet is damaged (" +
               std::to_string(x.done) + " of " + std::to_string(x.count) + " files)");
  }
  // Nothing installed has changed so far; now every file is moved into place.
  if (x.outcome.status >= 0) {
    x.outcome.status = x.target.Commit(keepExisting, x.outcome.filesWritten, x.outcome.message);
  }
  return x.outcome;
}
