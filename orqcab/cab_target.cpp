#include "orqcab/cab_target.h"

#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "support/file_attributes.h"
#include "support/mbcs.h"
#include "support/wide_text.h"

namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Opens the object itself, not what a link points to, and folders too.
constexpr DWORD kLookFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;

// Where the system says the open object is, without a trailing "\"; empty when it
// cannot tell.
std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(handle, path.data(),
                                                   static_cast<DWORD>(path.size()), 0);
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(length + 1);
  }
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// True when the object open as `handle` is a link or junction: it carries the
// reparse attribute, or the system finds it (`actual`, its final path) elsewhere
// than at `expected` (its parent's final path and its own name; not compared when
// either is unknown).
bool IsLink(HANDLE handle, const std::wstring& actual, const std::wstring& expected) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) &&
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return true;
  }
  return !expected.empty() && !actual.empty() && !SameName(actual, expected);
}

std::wstring ChildPath(const std::wstring& parent, const std::string& name) {
  return parent.empty() ? std::wstring() : parent + L"\\" + WideFromAnsi(name);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (name.empty()) return folder;
  const std::size_t last = FindLastChar(folder, '\\');
  return folder + (last != std::string::npos && last + 1 == folder.size() ? "" : "\\") + name;
}

std::wstring Upper(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// The names in `folder` (long and short ones), in upper case.
std::set<std::wstring> NamesIn(const std::string& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileW((WideFromAnsi(folder) + L"\\*").c_str(), &data));
  if (!find) return names;
  do {
    names.insert(Upper(data.cFileName));
    if (data.cAlternateFileName[0]) names.insert(Upper(data.cAlternateFileName));
  } while (FindNextFileW(find.Get(), &data));
  return names;
}

// Files per temporary sub-folder.
constexpr std::size_t kFilesPerStagingFolder = 128;
// Complete temporary files kept open for their move; past this many, or once the
// system has no more handles to give, each is closed when written and opened again
// for its move (under Wine every open file holds descriptors of the host system's).
constexpr std::size_t kHeldFiles = 4096;

// Moves the open file `file` to `name` in the open folder `folder`: only the new
// name is looked up, and something already there (a link included) is replaced
// when `replace`, never followed. A system error code, 0 on success.
DWORD MoveByHandle(HANDLE file, HANDLE folder, const std::string& name, bool replace) {
  using SetInformation = LONG(WINAPI*)(HANDLE, IO_STATUS_BLOCK*, void*, ULONG, int);
  using StatusToError = ULONG(WINAPI*)(LONG);
  static const HMODULE system = GetModuleHandleW(L"ntdll.dll");
  static const auto set = reinterpret_cast<SetInformation>(
      reinterpret_cast<void (*)()>(GetProcAddress(system, "NtSetInformationFile")));
  static const auto toError = reinterpret_cast<StatusToError>(
      reinterpret_cast<void (*)()>(GetProcAddress(system, "RtlNtStatusToDosError")));
  if (!set || !toError) return ERROR_CALL_NOT_IMPLEMENTED;
  constexpr int kFileRenameInformation = 10;
  const std::wstring wide = WideFromAnsi(name);
  const std::size_t bytes = wide.size() * sizeof(WCHAR);
  std::vector<std::byte> buffer(
      std::max(sizeof(FILE_RENAME_INFO), offsetof(FILE_RENAME_INFO, FileName) + bytes));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = replace ? TRUE : FALSE;
  info->RootDirectory = folder;
  info->FileNameLength = static_cast<DWORD>(bytes);
  std::copy_n(reinterpret_cast<const std::byte*>(wide.data()), bytes,
              buffer.data() + offsetof(FILE_RENAME_INFO, FileName));
  IO_STATUS_BLOCK io{};
  const LONG status =
      set(file, &io, info, static_cast<ULONG>(buffer.size()), kFileRenameInformation);
  return status >= 0 ? ERROR_SUCCESS : toError(status);
}

// The last part of a path.
std::string NameOf(const std::string& path) { return path.substr(FindLastChar(path, '\\') + 1); }

DWORD MoveToNewName(HANDLE file, HANDLE folder, const std::string& name) {
  return MoveByHandle(file, folder, name, false);
}

std::string LinkRefusal(const std::string& path) {
  return "Refused " + Quoted(path) + ": it is a link or junction";
}

// An installed file, looked at before it is replaced.
struct FileLook {
  HRESULT status = S_OK;
  bool exists = false;
  DWORD attributes = 0;
  UniqueKernelHandle handle;
};

// Opens what is at `path` for replacing it (`access` added). A file held open by
// another program without leave to delete it is in use; a link, a folder and a
// file with a second hard link are refused.
FileLook LookAtFile(const std::string& path, const std::wstring& expected, DWORD access,
                    std::string& message) {
  FileLook look;
  look.handle.Reset(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES | DELETE | access, kShareAll,
                                nullptr, OPEN_EXISTING, kLookFlags, nullptr));
  if (!look.handle) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return look;
    look.status = HRESULT_FROM_WIN32(error);
    message = "Cannot replace " + Quoted(path) + ": " + Win32Reason(error);
    return look;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(look.handle.Get(), &info)) {
    const DWORD error = GetLastError();
    look.status = HRESULT_FROM_WIN32(error);
    message = "Cannot replace " + Quoted(path) + ": " + Win32Reason(error);
  } else if (IsLink(look.handle.Get(), FinalPath(look.handle.Get()), expected)) {
    look.status = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    message = LinkRefusal(path);
  } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    look.status = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    message = "Cannot replace " + Quoted(path) + ": it is a folder";
  } else if (info.nNumberOfLinks > 1) {
    look.status = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    message = "Refused " + Quoted(path) + ": it has a second name (a hard link)";
  } else {
    look.exists = true;
    look.attributes = info.dwFileAttributes;
  }
  return look;
}

}  // namespace

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

CabTarget::CabTarget() : heldLimit_(kHeldFiles), moves_(MoveToNewName) {}

CabTarget::~CabTarget() {
  Settle();
  for (Pending& pending : pending_) {
    if (pending.moved) {
      // A new file moved in early, still open: the installation failed.
      if (pending.file) {
        PutAttributes(pending.file.Get(), 0);
        RemoveOnClose(pending.file.Get());
      }
      continue;
    }
    pending.file.Reset();
    SetFileAttributesA(pending.temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(pending.temporary.c_str());
  }
  // The sub-folders first, then the temporary folder itself.
  for (auto folder = staging_.rbegin(); folder != staging_.rend(); ++folder) {
    folder->open.handle.Reset();
    RemoveDirectoryA(folder->path.c_str());
  }
}

HRESULT CabTarget::Open(const std::string& base, const std::string& sub, std::string& message) {
  nameSeed_ = GetTickCount() ^ (GetCurrentProcessId() << 16);
  OpenFolder root;
  // Not share-delete: no folder on the way can be renamed away and replaced by a
  // link while files are written below it.
  root.handle.Reset(CreateFileA(base.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!root.handle || !GetFileInformationByHandle(root.handle.Get(), &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    const DWORD error = root.handle ? ERROR_DIRECTORY : GetLastError();
    message = "Cannot open the target folder " + Quoted(base) + ": " + Win32Reason(error);
    return HRESULT_FROM_WIN32(error);
  }
  root.finalPath = FinalPath(root.handle.Get());
  if (sub.empty()) root.names = NamesIn(base);
  folder_ = base;
  folders_.clear();
  folders_.emplace(std::string(), std::move(root));
  if (sub.empty()) return S_OK;
  HRESULT status = S_OK;
  if (!Enter(sub, status, message)) return status;
  // The sub-folder becomes the target; the folders above it stay open.
  OpenFolder target = std::move(folders_.at(sub));
  folders_.erase(sub);
  for (auto& [key, folder] : folders_) above_.push_back(std::move(folder.handle));
  folders_.clear();
  folders_.emplace(std::string(), std::move(target));
  folder_ = Join(base, sub);
  return S_OK;
}

// Opens the folder `path`, which must be at `expected` (see IsLink), and keeps it
// from being renamed or removed while it is open.
HRESULT CabTarget::OpenChecked(const std::string& path, const std::wstring& expected,
                               OpenFolder& folder, std::string& message) {
  folder.handle.Reset(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  kLookFlags, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder.handle || !GetFileInformationByHandle(folder.handle.Get(), &info)) {
    const DWORD error = GetLastError();
    message = "Cannot create the folder " + Quoted(path) + ": " + Win32Reason(error);
    return HRESULT_FROM_WIN32(error);
  }
  folder.finalPath = FinalPath(folder.handle.Get());
  if (IsLink(folder.handle.Get(), folder.finalPath, expected)) {
    message = LinkRefusal(path);
    return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
  }
  if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    message = "Cannot create the folder " + Quoted(path) + ": a file has its name";
    return HRESULT_FROM_WIN32(ERROR_DIRECTORY);
  }
  return S_OK;
}

// The open folder `relative` below the target, created and checked part by part.
const CabTarget::OpenFolder* CabTarget::Enter(const std::string& relative, HRESULT& status,
                                              std::string& message) {
  const OpenFolder* parent = &folders_.at(std::string());
  for (std::size_t start = 0; start < relative.size();) {
    std::size_t end = FindChar(relative, '\\', start);
    if (end == std::string::npos) end = relative.size();
    const std::string key = relative.substr(0, end);
    auto known = folders_.find(key);
    if (known == folders_.end()) {
      const std::string path = Join(folder_, key);
      const bool made = CreateDirectoryA(path.c_str(), nullptr) != FALSE;
      OpenFolder folder;
      status = OpenChecked(path, ChildPath(parent->finalPath, relative.substr(start, end - start)),
                           folder, message);
      if (FAILED(status)) return nullptr;
      if (!made) folder.names = NamesIn(path);
      known = folders_.emplace(key, std::move(folder)).first;
    }
    parent = &known->second;
    start = end + 1;
  }
  return parent;
}

HRESULT CabTarget::Prepare(const std::string& relative, Place& place, std::string& message) {
  const std::size_t slash = FindLastChar(relative, '\\');
  place.folder = slash == std::string::npos ? std::string() : relative.substr(0, slash);
  place.path = Join(folder_, relative);
  HRESULT status = S_OK;
  const OpenFolder* folder = Enter(place.folder, status, message);
  if (!folder) return status;
  const std::string name = NameOf(relative);
  // A name the folder did not hold is not opened: whatever comes there meanwhile is
  // replaced by the move, never written through.
  if (!folder->names.count(Upper(WideFromAnsi(name)))) return S_OK;
  FileLook look = LookAtFile(place.path, ChildPath(folder->finalPath, name), 0, message);
  place.exists = look.exists;
  place.attributes = look.attributes;
  return look.status;
}

// Makes the new folder `name` in `parent` (open and checked as it is made) and
// keeps it open until the installation ends.
HRESULT CabTarget::MakeStagingFolder(const OpenFolder& parent, const std::string& parentPath,
                                     const std::string& name, std::string& message) {
  const std::string path = Join(parentPath, name);
  const std::wstring expected = ChildPath(parent.finalPath, name);  // `parent` may move below
  if (!CreateDirectoryA(path.c_str(), nullptr)) {
    const DWORD error = GetLastError();
    message = "Cannot create the folder " + Quoted(path) + ": " + Win32Reason(error);
    return HRESULT_FROM_WIN32(error);
  }
  staging_.emplace_back();
  staging_.back().path = path;
  return OpenChecked(path, expected, staging_.back().open, message);
}

HRESULT CabTarget::CreateTemporary(const Place& place, HANDLE& file, std::string& message) {
  // New names only, each made here: nothing already there (a link included) is
  // opened or written.
  HRESULT status = S_OK;
  for (int tries = 0; staging_.empty() && tries < 100; ++tries) {
    std::string name(16, '\0');
    name.resize(static_cast<std::size_t>(
        std::snprintf(name.data(), name.size() + 1, "~orq%08lx.tmp", ++nameSeed_ & 0xFFFFFFFFul)));
    status = MakeStagingFolder(folders_.at(std::string()), folder_, name, message);
    if (status != HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS)) break;
  }
  const std::size_t number = pending_.size();
  if (SUCCEEDED(status) && number % kFilesPerStagingFolder == 0) {
    status = MakeStagingFolder(staging_.front().open, staging_.front().path,
                               std::to_string(number / kFilesPerStagingFolder), message);
  }
  if (FAILED(status)) return status;
  const std::string path = Join(staging_.back().path, std::to_string(number) + ".tmp");
  const auto create = [&path] {
    return CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  };
  UniqueKernelHandle created(create());
  if (!created && GetLastError() == ERROR_TOO_MANY_OPEN_FILES && held_ > 0) {
    // New files moved in stay open, to be removed if the installation fails.
    Settle();
    for (Pending& pending : pending_) {
      if (!pending.moved) pending.file.Reset();
    }
    held_ = 0;
    heldLimit_ = 0;
    created.Reset(create());
  }
  if (created) {
    file = created.Get();
    pending_.push_back({path, place, std::move(created), false});
    return S_OK;
  }
  const DWORD error = GetLastError();
  message = "Cannot write " + Quoted(place.path) + " under a temporary name: " + Win32Reason(error);
  return HRESULT_FROM_WIN32(error);
}

void CabTarget::Written() {
  if (pending_.empty()) return;
  Pending& pending = pending_.back();
  if (held_ >= heldLimit_) {
    pending.file.Reset();
    return;
  }
  ++held_;
  if (pending.place.exists) return;  // replaced by Commit
  moves_.Post(pending_.size() - 1, pending.file.Get(),
              folders_.at(pending.place.folder).handle.Get(), NameOf(pending.place.path));
}

void CabTarget::Settle() {
  // A move that failed (something came to the name meanwhile) is done again by Commit.
  for (const auto& [index, error] : moves_.Finish()) {
    if (error == ERROR_SUCCESS) pending_[index].moved = true;
  }
}

// Opens again a temporary file that was closed when written, as nobody else may have
// it meanwhile: not shared, and refused when it became a link or got a second name.
HRESULT CabTarget::Reopen(Pending& pending, std::string& message) {
  pending.file.Reset(CreateFileA(pending.temporary.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0,
                                 nullptr, OPEN_EXISTING, kLookFlags, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!pending.file || !GetFileInformationByHandle(pending.file.Get(), &info)) {
    const DWORD error = GetLastError();
    message = "Cannot write " + Quoted(pending.place.path) + ": " + Win32Reason(error);
    return HRESULT_FROM_WIN32(error);
  }
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
      info.nNumberOfLinks > 1) {
    message = LinkRefusal(pending.temporary);
    return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
  }
  return S_OK;
}

HRESULT CabTarget::Replace(Pending& pending, bool keepExisting, std::string& message) {
  const std::string& path = pending.place.path;
  if (!pending.file) {
    const HRESULT status = Reopen(pending, message);
    if (FAILED(status)) return status;
  }
  const std::string name = NameOf(path);
  const HANDLE folder = folders_.at(pending.place.folder).handle.Get();
  if (keepExisting) {
    const DWORD error = MoveByHandle(pending.file.Get(), folder, name, false);
    if (error == ERROR_SUCCESS) return S_OK;
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return S_FALSE;  // kept
    message = "Cannot write " + Quoted(path) + ": " + Win32Reason(error);
    return HRESULT_FROM_WIN32(error);
  }
  // A read-only file loses the attribute for the move and gets it back if that fails.
  // It is opened and looked at again: what is there now is what is changed.
  DWORD restore = 0;
  std::wstring expected;
  if (pending.place.attributes & FILE_ATTRIBUTE_READONLY) {
    expected = ChildPath(folders_.at(pending.place.folder).finalPath, name);
    FileLook look = LookAtFile(path, expected, FILE_WRITE_ATTRIBUTES, message);
    if (FAILED(look.status)) return look.status;
    if (look.exists && (look.attributes & FILE_ATTRIBUTE_READONLY)) {
      if (!PutAttributes(look.handle.Get(), look.attributes & ~FILE_ATTRIBUTE_READONLY)) {
        const DWORD error = GetLastError();
        message = "Cannot replace " + Quoted(path) + ": " + Win32Reason(error);
        return HRESULT_FROM_WIN32(error);
      }
      restore = look.attributes;
    }
  }
  const DWORD error = MoveByHandle(pending.file.Get(), folder, name, true);
  if (error == ERROR_SUCCESS) return S_OK;
  if (restore) {
    std::string ignored;
    FileLook look = LookAtFile(path, expected, FILE_WRITE_ATTRIBUTES, ignored);
    if (look.exists) PutAttributes(look.handle.Get(), restore);
  }
  message = "Cannot replace " + Quoted(path) + ": " + Win32Reason(error);
  return HRESULT_FROM_WIN32(error);
}

HRESULT CabTarget::Commit(bool keepExisting, unsigned& moved, std::string& message) {
  Settle();
  // The new files moved in stay open until every replacement is done, so that they
  // are removed if one fails; one that a later file of the same name replaces is let
  // go first (nothing replaces a file held open).
  std::set<std::wstring> replaced;
  for (const Pending& pending : pending_) {
    if (!pending.moved) replaced.insert(Upper(WideFromAnsi(pending.place.path)));
  }
  for (Pending& pending : pending_) {
    if (pending.moved && replaced.count(Upper(WideFromAnsi(pending.place.path)))) {
      pending.file.Reset();
    }
  }
  for (Pending& pending : pending_) {
    if (pending.moved) continue;
    const HRESULT status = Replace(pending, keepExisting, message);
    if (FAILED(status)) return status;
    pending.file.Reset();
    if (status == S_OK) pending.moved = true;
  }
  for (Pending& pending : pending_) {
    pending.file.Reset();
    if (pending.moved) ++moved;
  }
  return S_OK;
}
